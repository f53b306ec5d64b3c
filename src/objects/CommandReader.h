#pragma once
// Reads commands back from bytes received: the 7-byte header and the fields of the command
// format, little endian. It never reads outside the bytes it was given: a read past the end
// answers 0 (-1 for ReadByte) and marks the reader failed.
#include <cstddef>
#include <cstdint>

#include "core/Point.h"
#include "core/SimId.h"

struct CommandHeader {
    int32_t length = 0;
    int32_t kind = 0;
    SimId id;
};

class CommandReader {
public:
    CommandReader(const uint8_t* data, size_t size) : data(data), size(size) {}

    // The next command's header, leaving the reader at its payload, and the payload's end in
    // CommandEnd; 0 at the end of the bytes or when the length byte cannot be a command (below
    // 7 or past the bytes left), which ends the stream.
    int NextCommand(CommandHeader& header);
    // Moves to the end of the current command (the start of the next).
    void SkipCommand() { position = commandEnd; }
    size_t CommandEnd() const { return commandEnd; }
    size_t Position() const { return position; }
    int Failed() const { return failed; }

    int ReadU8();
    // n8: 255 comes back as -1.
    int ReadByte();
    // Sign-extended, so (-1, -1) comes back as it went.
    int32_t ReadI16();
    int32_t ReadU16();
    int32_t ReadW32();
    Point ReadPoint();
    // The team is an n8: the null id comes back as (-1, -1).
    SimId ReadId();
    // Up to the NUL (not past the current command), cut at room - 1 characters; the length.
    int ReadText(char* out, int room);

private:
    const uint8_t* data;
    size_t size;
    size_t position = 0;
    size_t commandEnd = 0;
    int failed = 0;
};
