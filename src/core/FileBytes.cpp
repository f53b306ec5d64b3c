#include "core/FileBytes.h"

#include <algorithm>
#include <cstdint>

#include "core/ResourceFile.h"

// What stands at a kept file's name, and what becomes of it:
//   nothing: Missing; the first save writes the file.
//   a regular file read whole: Read; found wrong by its reader, it is damaged, and the reader
//     may set it aside (unchanged) at its next save.
//   something that gives no bytes (no permission, a link to nothing, a directory, a FIFO, a
//     read that fails or ends short, a file that reports 0 bytes and fails its read):
//     Unreadable. It may hold everything whole (the game run as another user, a disk that
//     fails for a moment), so it is never written over nor moved aside. Taking it for damaged
//     would set it aside and write a file of this run's remains in its place, which the
//     player's rows, titles or designs would never be read from again.
FileBytes FileBytes::Of(const char* name, int32_t limit) {
    FileBytes read;
    ResourceFile file;
    if (!file.Open(name, ResourceFile::OpenMode::ReadBinary)) {
        read.outcome = file.Absent() ? Outcome::Missing : Outcome::Unreadable;
        read.path = file.Path();
        read.fault = file.Fault();
        return read;
    }
    read.path = file.Path();
    read.size = std::max(file.Size(), 0);
    const int32_t bound = std::max(limit, 0);
    int readWhole = 1;
    if (read.size == 0) {
        // A size of 0 is only what the file system reports: a file under /proc holds bytes
        // all the same, and one such as /proc/self/mem fails every read. The file is read to
        // its end, one byte past the bound at most, so that its size still tells a file beyond
        // the bound.
        readWhole = file.ReadToEnd(bound < INT32_MAX ? bound + 1 : bound, read.bytes);
        read.size = static_cast<int32_t>(read.bytes.size());
        if (read.bytes.size() > static_cast<size_t>(bound)) read.bytes.resize(bound);
    } else {
        int32_t count = std::min(read.size, bound);
        read.bytes.assign(static_cast<size_t>(count), '\0');
        if (count > 0) readWhole = file.Read(count, read.bytes.data());
    }
    if (!readWhole) {
        read.outcome = Outcome::Unreadable;
        read.fault = read.path + ": cannot be read";
        read.bytes.clear();
        return read;
    }
    read.outcome = Outcome::Read;
    return read;
}
