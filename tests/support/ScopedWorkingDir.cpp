#include "support/ScopedWorkingDir.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

ScopedWorkingDir::ScopedWorkingDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qx-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary directory");
    path = pattern;
    previous = std::filesystem::current_path().string();
    std::filesystem::current_path(path);
}

ScopedWorkingDir::~ScopedWorkingDir() {
    std::error_code ignored;
    std::filesystem::current_path(previous, ignored);
    std::filesystem::remove_all(path, ignored);
}

void ScopedWorkingDir::WriteFile(const std::string& name, const std::string& contents) const {
    std::filesystem::path file = std::filesystem::path(path) / name;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out << contents;
}

std::string ScopedWorkingDir::ReadFile(const std::string& name) const {
    std::ifstream in(std::filesystem::path(path) / name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool ScopedWorkingDir::Exists(const std::string& name) const {
    return std::filesystem::exists(std::filesystem::path(path) / name);
}
