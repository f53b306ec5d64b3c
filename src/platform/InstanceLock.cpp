#include "platform/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

winx_InstanceLock::~winx_InstanceLock() {
    Release();
}

winx_InstanceLock::Result winx_InstanceLock::Acquire(const std::string& lockPath) {
    Release();
    problem.clear();
    // A holder that removes the file lets go after the removal: a file locked here may be one
    // already removed, while another holder locks the new file at the name. Such a lock is
    // given up and the name's file tried again.
    for (int attempt = 0; attempt < 8; ++attempt) {
        const int file =
            open(lockPath.c_str(),
                 O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644);
        if (file < 0) {
            problem = std::strerror(errno);
            return Result::Unavailable;
        }
        struct stat held {};
        if (fstat(file, &held) != 0 || !S_ISREG(held.st_mode)) {
            problem = "is not a regular file";
            close(file);
            return Result::Unavailable;
        }
        // flock locks belong to the open file, so a second open in this process conflicts too.
        int status;
        do {
            status = flock(file, LOCK_EX | LOCK_NB);
        } while (status != 0 && errno == EINTR);
        if (status != 0) {
            const int error = errno;
            close(file);
            if (error == EWOULDBLOCK) return Result::HeldElsewhere;
            problem = std::strerror(error);
            return Result::Unavailable;
        }
        struct stat named {};
        if (lstat(lockPath.c_str(), &named) == 0 && named.st_dev == held.st_dev &&
            named.st_ino == held.st_ino) {
            fd = file;
            path = lockPath;
            return Result::Acquired;
        }
        close(file);
    }
    return Result::HeldElsewhere;
}

void winx_InstanceLock::Release() {
    if (fd < 0) return;
    close(fd);
    fd = -1;
}

void winx_InstanceLock::ReleaseAndRemove() {
    if (fd >= 0) unlink(path.c_str());
    Release();
}
