#include "platform/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// The descriptor, or -1 with the reason.
enum class OpenFor { Reading, Writing, Appending };

int OpenRegular(const std::string& path, OpenFor purpose, std::string& why) {
    const bool write = purpose != OpenFor::Reading;
    // No O_TRUNC here: a device in the name's place must be refused before anything is done
    // to it. O_NONBLOCK makes a FIFO without a writer (or, for writing, a reader) answer at
    // once instead of waiting.
    int flags = (write ? O_WRONLY | O_CREAT : O_RDONLY) | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    if (purpose == OpenFor::Appending) flags |= O_APPEND;
    const int fd = ::open(path.c_str(), flags, 0644);
    if (fd < 0) {
        why = std::strerror(errno);
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        why = S_ISDIR(st.st_mode) ? "is a directory" : "is not a regular file";
        ::close(fd);
        return -1;
    }
    // A regular file never blocks; reads and writes go on in the ordinary way.
    const int status = ::fcntl(fd, F_GETFL);
    if (status < 0 || ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0 ||
        (purpose == OpenFor::Writing && ::ftruncate(fd, 0) != 0)) {
        why = std::strerror(errno);
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

std::FILE* winx_OpenRegularFile(const std::string& path, const char* mode, std::string& why) {
    why.clear();
    const OpenFor purpose = !mode            ? OpenFor::Reading
                            : mode[0] == 'w' ? OpenFor::Writing
                            : mode[0] == 'a' ? OpenFor::Appending
                                             : OpenFor::Reading;
    const int fd = OpenRegular(path, purpose, why);
    if (fd < 0) return nullptr;
    std::FILE* file = ::fdopen(fd, purpose == OpenFor::Writing     ? "wb"
                                   : purpose == OpenFor::Appending ? "ab"
                                                                   : "rb");
    if (!file) {
        why = std::strerror(errno);
        ::close(fd);
    }
    return file;
}

int winx_IsReadableRegularFile(const std::string& path) {
    std::string why;
    const int fd = OpenRegular(path, OpenFor::Reading, why);
    if (fd < 0) return 0;
    ::close(fd);
    return 1;
}

int winx_IsSpecialFile(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return 0;
    return S_ISREG(st.st_mode) ? 0 : 1;
}

int winx_IsDirectory(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? 1 : 0;
}

int winx_PathExists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? 1 : 0;
}

int winx_RenameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 1;
    if (errno == EEXIST) return 0;
    if (errno != EINVAL && errno != ENOSYS) return -1;
    // A file system without the no-replace rename: a hard link fails on a taken name the same
    // way, and anything it cannot link (a directory) is moved once its new name is seen free.
    if (::link(from.c_str(), to.c_str()) == 0) {
        if (::unlink(from.c_str()) == 0) return 1;
        ::unlink(to.c_str());
        return -1;
    }
    if (errno == EEXIST) return 0;
    if (errno != EPERM && errno != EXDEV && errno != ENOTSUP && errno != EMLINK) return -1;
    if (winx_PathExists(to)) return 0;
    return std::rename(from.c_str(), to.c_str()) == 0 ? 1 : -1;
}

int winx_LinkNoReplace(const std::string& from, const std::string& to) {
    if (::link(from.c_str(), to.c_str()) == 0) return 1;
    if (errno == EEXIST) return 0;
    if (errno == EPERM || errno == EXDEV || errno == ENOTSUP || errno == EMLINK || errno == ENOSYS)
        return -2;
    return -1;
}

namespace {

int OpenNew(const std::string& path, std::string& why) {
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0644);
    if (fd < 0) why = std::strerror(errno);
    return fd;
}

}  // namespace

int winx_WriteNewFile(const std::string& path, const void* data, size_t size, std::string& why) {
    why.clear();
    const int fd = OpenNew(path, why);
    if (fd < 0) return 0;
    const auto* bytes = static_cast<const char*>(data);
    size_t done = 0;
    int failure = 0;
    while (done < size && !failure) {
        const ssize_t n = ::write(fd, bytes + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        // A write that takes nothing without an error is a full device.
        if (n <= 0) failure = n < 0 ? errno : ENOSPC;
        if (n > 0) done += static_cast<size_t>(n);
    }
    if (failure) {
        why = std::strerror(failure);
    } else if (::fsync(fd) != 0) {
        why = std::strerror(errno);
    }
    if (::close(fd) != 0 && why.empty()) why = std::strerror(errno);
    if (why.empty()) return 1;
    ::unlink(path.c_str());
    return 0;
}

int winx_CreateNewFile(const std::string& path, std::string& why) {
    why.clear();
    const int fd = OpenNew(path, why);
    if (fd < 0) return 0;
    ::close(fd);
    return 1;
}

int winx_SyncPath(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return 0;
    const int ok = ::fsync(fd) == 0 ? 1 : 0;
    ::close(fd);
    return ok;
}
