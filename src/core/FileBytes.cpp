#include "core/FileBytes.h"

#include <algorithm>

#include "core/ResourceFile.h"

// What stands at a kept file's name, and what becomes of it:
//   nothing: Missing; the first save writes the file.
//   a regular file read whole: Read; found wrong by its reader, it is damaged, and the reader
//     may set it aside (unchanged) at its next save.
//   something that gives no bytes (no permission, a link to nothing, a directory, a FIFO, a
//     read that fails or ends short): Unreadable. It may hold everything whole (the game run
//     as another user, a disk that fails for a moment), so it is never written over nor moved
//     aside. Taking it for damaged would set it aside and write a file of this run's remains
//     in its place, which the player's rows, titles or designs would never be read from again.
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
    int32_t count = std::min(read.size, std::max(limit, 0));
    read.bytes.assign(static_cast<size_t>(count), '\0');
    if (count > 0 && !file.Read(count, read.bytes.data())) {
        read.outcome = Outcome::Unreadable;
        read.fault = read.path + ": cannot be read";
        read.bytes.clear();
        return read;
    }
    read.outcome = Outcome::Read;
    return read;
}
