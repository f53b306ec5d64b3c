#pragma once
// A fresh temporary directory made the working directory for the object's life; the old
// working directory comes back and the temporary one is removed with its contents.
#include <string>

#include "support/TempDirectory.h"

class ScopedWorkingDir {
public:
    ScopedWorkingDir();
    ~ScopedWorkingDir();
    ScopedWorkingDir(const ScopedWorkingDir&) = delete;
    ScopedWorkingDir& operator=(const ScopedWorkingDir&) = delete;

    const std::string& Path() const { return directory.Path(); }
    // Writes a file (relative to the directory) with the given contents.
    void WriteFile(const std::string& name, const std::string& contents) const;
    // The file's contents; empty when it does not exist.
    std::string ReadFile(const std::string& name) const;
    bool Exists(const std::string& name) const;

private:
    TempDirectory directory;
    std::string previous;
};
