#include "core/AtomicWriter.h"

#include "platform/AtomicFile.h"
#include "platform/Paths.h"
#include "platform/RegularFile.h"

namespace {

std::string TargetPath(const char* name, int plainPath) {
    return winx_NativePath(plainPath ? std::string(name)
                                     : std::string(ResourceFile::AssetPath()) + name);
}

}  // namespace

void AtomicWriter::RemoveLeftover(const char* name, int plainPath) {
    if (!name || !*name) return;
    DiscardTemporaryFile(AtomicTemporaryPath(TargetPath(name, plainPath)));
}

AtomicWriter::AtomicWriter(const char* name, int plainPath) : plainPath(plainPath) {
    if (!name || !*name) return;
    this->name = name;
    target = TargetPath(name, plainPath);
    temporary = AtomicTemporaryPath(target);
    if (AtomicFileFaultAt(AtomicFileStage::Open)) return;
    file.plainPath = 1;
    if (!file.Open(temporary.c_str(), ResourceFile::OpenMode::WriteBinary)) {
        // The temporary name is the game's own: a FIFO, device or link to one left there is
        // taken away (never written through), and this save answers 0.
        if (winx_IsSpecialFile(temporary) && !winx_IsDirectory(temporary))
            DiscardTemporaryFile(temporary);
        temporary.clear();
    }
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

int AtomicWriter::CommitOver(bool damaged) {
    if (!damaged) return Commit();
    if (committed || !file.IsOpen()) return 0;
    ResourceFile names;
    names.plainPath = plainPath;
    std::string aside;
    const int kept = names.KeepAside(name.c_str(), aside);
    const bool bothNames = kept == ResourceFile::kKeptUnderBothNames;
    if (!kept || (bothNames && AtomicFileFaultAt(AtomicFileStage::Stop))) {
        // Nothing is written over the damaged file by this writer, not even by a later Commit.
        file.Close();
        DiscardTemporaryFile(temporary);
        temporary.clear();
        return 0;
    }
    if (Commit()) return 1;
    if (aside.empty()) return 0;
    // The damaged file never left its name: only the second one goes.
    if (bothNames)
        names.Delete(aside.c_str());
    else
        names.Rename(aside.c_str(), name.c_str());
    return 0;
}
