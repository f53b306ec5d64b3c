#pragma once
// Keeps a second copy of the program from running in the same working directory: an
// exclusive lock on a file there, held for the life of the object (and of the process).
#include <string>

class winx_InstanceLock {
public:
    enum class Result { Acquired, HeldElsewhere, Unavailable };

    winx_InstanceLock() = default;
    ~winx_InstanceLock();
    winx_InstanceLock(const winx_InstanceLock&) = delete;
    winx_InstanceLock& operator=(const winx_InstanceLock&) = delete;

    // Creates the file when missing; a link, directory or FIFO at the name is not followed or
    // created through. HeldElsewhere when another holder (another process or another lock
    // object) has it; Unavailable when the file cannot be opened at all.
    Result Acquire(const std::string& path);
    void Release();
    // Removes the file, then lets go: for a lock file in a folder that is not the program's
    // own. A later holder locks a new file, never the removed one.
    void ReleaseAndRemove();
    // Why the last Acquire answered Unavailable.
    const std::string& Problem() const { return problem; }

private:
    int fd = -1;
    std::string path;
    std::string problem;
};
