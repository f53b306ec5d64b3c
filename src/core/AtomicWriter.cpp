#include "core/AtomicWriter.h"

#include "platform/AtomicFile.h"
#include "platform/Paths.h"

AtomicWriter::AtomicWriter(const char* name, int plainPath) {
    if (!name || !*name) return;
    target = winx_NativePath(plainPath ? std::string(name)
                                       : std::string(ResourceFile::AssetPath()) + name);
    temporary = AtomicTemporaryPath(target);
    if (AtomicFileFaultAt(AtomicFileStage::Open)) return;
    file.plainPath = 1;
    if (!file.Open(temporary.c_str(), ResourceFile::OpenMode::WriteBinary)) temporary.clear();
}

AtomicWriter::~AtomicWriter() {
    if (committed || temporary.empty()) return;
    file.Close();
    DiscardTemporaryFile(temporary);
}

int AtomicWriter::Commit() {
    if (committed || !file.IsOpen()) return 0;
    const int written = file.Failed() ? 0 : 1;
    const int closed = file.Close();
    if (!written || !closed || AtomicFileFaultAt(AtomicFileStage::Write)) return 0;
    committed = true;
    return CommitTemporaryFile(temporary, target);
}
