#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace {

AtomicFileStage fault = AtomicFileStage::None;

int SyncPath(const std::string& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0) return 0;
    const int ok = ::fsync(fd) == 0 ? 1 : 0;
    ::close(fd);
    return ok;
}

std::string DirectoryOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

}  // namespace

std::string AtomicTemporaryPath(const std::string& target) {
    return target + ".tmp";
}

int CommitTemporaryFile(const std::string& temporary, const std::string& target) {
    if (AtomicFileFaultAt(AtomicFileStage::Sync) || !SyncPath(temporary, O_RDONLY)) {
        DiscardTemporaryFile(temporary);
        return 0;
    }
    if (AtomicFileFaultAt(AtomicFileStage::Rename) ||
        std::rename(temporary.c_str(), target.c_str()) != 0) {
        DiscardTemporaryFile(temporary);
        return 0;
    }
    // The rename is in place; a directory that cannot be synced (some file systems refuse)
    // does not undo it.
    SyncPath(DirectoryOf(target), O_RDONLY | O_DIRECTORY);
    return 1;
}

void DiscardTemporaryFile(const std::string& temporary) {
    std::remove(temporary.c_str());
}

void SetAtomicFileFault(AtomicFileStage stage) {
    fault = stage;
}

bool AtomicFileFaultAt(AtomicFileStage stage) {
    return fault != AtomicFileStage::None && fault == stage;
}
