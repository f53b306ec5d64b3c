#pragma once
// A scratch folder for the fuzz targets whose code under test works only on files: made once
// and removed with everything in it when the fuzzing process ends, so runs leave nothing
// behind.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

class FuzzScratch {
public:
    // In memory (/dev/shm) where there is one: a file made, synced and renamed for every input
    // costs a disk an inode and a flush each time, many times the cost of the reading.
    explicit FuzzScratch(const std::string& stem) {
        for (const char* base : {"/dev/shm", ""}) {
            std::error_code ec;
            const std::filesystem::path under =
                *base ? std::filesystem::path(base) : std::filesystem::temp_directory_path(ec);
            std::string pattern = (under / (stem + "-XXXXXX")).string();
            if (!ec && mkdtemp(pattern.data())) {
                path = pattern;
                return;
            }
        }
    }
    ~FuzzScratch() {
        std::error_code ignored;
        if (!path.empty()) std::filesystem::remove_all(path, ignored);
    }
    FuzzScratch(const FuzzScratch&) = delete;
    FuzzScratch& operator=(const FuzzScratch&) = delete;

    // Empty when no folder could be made: the target then has nowhere to write.
    const std::filesystem::path& Path() const { return path; }
    // The folder with a trailing '/', as asset directories are given.
    std::string Directory() const { return path.string() + "/"; }

private:
    std::filesystem::path path;
};
