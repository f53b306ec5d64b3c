#include "platform/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

winx_InstanceLock::~winx_InstanceLock() {
    Release();
}

winx_InstanceLock::Result winx_InstanceLock::Acquire(const std::string& path) {
    Release();
    problem.clear();
    int file = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (file < 0) {
        problem = std::strerror(errno);
        return Result::Unavailable;
    }
    // flock locks belong to the open file, so a second open in this process conflicts too.
    int status;
    do {
        status = flock(file, LOCK_EX | LOCK_NB);
    } while (status != 0 && errno == EINTR);
    if (status != 0) {
        int error = errno;
        close(file);
        if (error == EWOULDBLOCK) return Result::HeldElsewhere;
        problem = std::strerror(error);
        return Result::Unavailable;
    }
    fd = file;
    return Result::Acquired;
}

void winx_InstanceLock::Release() {
    if (fd < 0) return;
    close(fd);
    fd = -1;
}
