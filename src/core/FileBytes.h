#pragma once
// The bytes of a file the player keeps (the saved-game list, the high scores, the design
// libraries), read whole, and what stood in its place: nothing, something that gives no bytes,
// or a file that was read. Whether the bytes are right is the reader's to say; only a file
// that was read can be damaged.
#include <cstdint>
#include <string>

struct FileBytes {
    enum class Outcome { Missing, Unreadable, Read };

    // Reads the file at the name (relative to the asset directory) up to limit bytes; size is
    // the whole file's, so that a reader tells a file beyond its bound.
    static FileBytes Of(const char* name, int32_t limit);

    bool Missing() const { return outcome == Outcome::Missing; }
    bool Unreadable() const { return outcome == Outcome::Unreadable; }

    Outcome outcome = Outcome::Missing;
    std::string bytes;
    int32_t size = 0;
    // The path read, and why it could not be read.
    std::string path;
    std::string fault;
};
