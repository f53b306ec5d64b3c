#include "platform/ChecksumRequest.h"

#include <fcntl.h>
#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <deque>

namespace {

std::deque<std::string>& Requests() {
    static std::deque<std::string> requests;
    return requests;
}

}  // namespace

void winx_RequestChecksum(const std::string& name) {
    Requests().push_back(name);
}

std::string winx_TakeChecksumRequest() {
    if (Requests().empty()) return {};
    std::string name = Requests().front();
    Requests().pop_front();
    return name;
}

namespace {

bool WriteAtomically(const std::string& path, const std::string& text) {
    const std::string temporary = path + ".tmp";
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const bool written =
        write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) && fsync(fd) == 0;
    close(fd);
    if (!written || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace

bool winx_WriteChecksumFile(const std::string& name, uint64_t value) {
    const char* directory = std::getenv("QX_CAPTURE");
    const std::string base = directory && directory[0] ? std::string(directory) + "/" : "";
    char text[32];
    const int length = std::snprintf(text, sizeof text, "%016" PRIx64 "\n", value);
    return WriteAtomically(base + name + ".txt", std::string(text, static_cast<size_t>(length)));
}

std::string winx_ChecksumListingDirectory() {
    const char* directory = std::getenv("QX_CHECKSUM_LISTING");
    return directory ? directory : "";
}

bool winx_WriteChecksumListing(const std::string& name, const std::string& text) {
    const std::string directory = winx_ChecksumListingDirectory();
    if (directory.empty()) return false;
    return WriteAtomically(directory + "/" + name + "-" + std::to_string(getpid()) + ".txt", text);
}
