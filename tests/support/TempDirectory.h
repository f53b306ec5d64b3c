#pragma once
// A fresh directory under the system's temporary directory for a test's files, removed with
// its contents when the object goes, also when the test fails. A process that ends through
// exit() (a fatal error under test, a death test's child) removes at its end the directories
// it made and did not remove, never those of the process it was forked from. Every test
// scratch directory is one of these.
#include <string>
#include <string_view>

#include "support/PackBuilder.h"

class TempDirectory {
public:
    TempDirectory();
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    // The directory, without a trailing slash.
    const std::string& Path() const { return path; }
    // Writes the bytes to name (subdirectories are created) and answers the full path.
    std::string Write(const std::string& name, const Bytes& data) const;
    std::string Write(const std::string& name, std::string_view text) const;

private:
    std::string path;
};
