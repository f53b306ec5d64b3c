#include "platform/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

winx_InstanceLock::~winx_InstanceLock() {
    Release();
}

winx_InstanceLock::Result winx_InstanceLock::Acquire(const std::string& path) {
    Release();
    int file = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (file < 0) return Result::Unavailable;
    // flock locks belong to the open file, so a second open in this process conflicts too.
    int status;
    do {
        status = flock(file, LOCK_EX | LOCK_NB);
    } while (status != 0 && errno == EINTR);
    if (status != 0) {
        int error = errno;
        close(file);
        return error == EWOULDBLOCK ? Result::HeldElsewhere : Result::Unavailable;
    }
    fd = file;
    return Result::Acquired;
}

void winx_InstanceLock::Release() {
    if (fd < 0) return;
    close(fd);
    fd = -1;
}
