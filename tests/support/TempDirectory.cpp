#include "support/TempDirectory.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>

TempDirectory::TempDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qxtestXXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary directory");
    path = pattern;
}

TempDirectory::~TempDirectory() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
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
