#include "support/TempDirectory.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <stdexcept>
#include <system_error>

namespace {

// The directories still standing, each with the process that made it.
class StandingDirectories {
public:
    ~StandingDirectories() {
        for (const auto& [path, maker] : made) {
            std::error_code ignored;
            if (maker == getpid()) std::filesystem::remove_all(path, ignored);
        }
    }
    void Add(const std::string& path) {
        const std::lock_guard<std::mutex> guard(lock);
        made[path] = getpid();
    }
    void Remove(const std::string& path) {
        const std::lock_guard<std::mutex> guard(lock);
        made.erase(path);
    }

private:
    std::mutex lock;
    std::map<std::string, pid_t> made;
};

StandingDirectories& Standing() {
    static StandingDirectories standing;
    return standing;
}

}  // namespace

TempDirectory::TempDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qxtestXXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary directory");
    path = pattern;
    Standing().Add(path);
}

TempDirectory::~TempDirectory() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
    Standing().Remove(path);
}

std::string TempDirectory::Write(const std::string& name, const Bytes& data) const {
    const std::filesystem::path full = std::filesystem::path(path) / name;
    std::error_code ec;
    std::filesystem::create_directories(full.parent_path(), ec);
    std::ofstream out(full, std::ios::binary);
    out.write(reinterpret_cast<const char*>(data.data()),
              static_cast<std::streamsize>(data.size()));
    return full.string();
}

std::string TempDirectory::Write(const std::string& name, std::string_view text) const {
    return Write(name, BytesOf(text));
}
