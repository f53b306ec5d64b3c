#include "support/ScopedWorkingDir.h"

#include <filesystem>
#include <fstream>
#include <sstream>

ScopedWorkingDir::ScopedWorkingDir() {
    previous = std::filesystem::current_path().string();
    std::filesystem::current_path(directory.Path());
}

// The directory itself goes with its TempDirectory, after the old working directory is back.
ScopedWorkingDir::~ScopedWorkingDir() {
    std::error_code ignored;
    std::filesystem::current_path(previous, ignored);
}

void ScopedWorkingDir::WriteFile(const std::string& name, const std::string& contents) const {
    std::filesystem::path file = std::filesystem::path(Path()) / name;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out << contents;
}

std::string ScopedWorkingDir::ReadFile(const std::string& name) const {
    std::ifstream in(std::filesystem::path(Path()) / name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool ScopedWorkingDir::Exists(const std::string& name) const {
    return std::filesystem::exists(std::filesystem::path(Path()) / name);
}
