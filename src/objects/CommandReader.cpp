#include "objects/CommandReader.h"

#include "objects/CommandBuffer.h"

int CommandReader::NextCommand(CommandHeader& header) {
    position = commandEnd;
    if (position >= size) return 0;
    const size_t left = size - position;
    const int length = data[position];
    if (length < CommandBuffer::kHeaderSize || static_cast<size_t>(length) > left) {
        failed = 1;
        commandEnd = size;
        return 0;
    }
    commandEnd = position + static_cast<size_t>(length);
    header.length = ReadU8();
    header.kind = ReadU8();
    header.id = ReadId();
    return 1;
}

int CommandReader::ReadU8() {
    const size_t limit = commandEnd > 0 ? commandEnd : size;
    if (position >= limit || position >= size) {
        failed = 1;
        return 0;
    }
    return data[position++];
}

int CommandReader::ReadByte() {
    const int v = ReadU8();
    return v == 255 ? -1 : v;
}

int32_t CommandReader::ReadU16() {
    const int32_t low = ReadU8();
    return low | (ReadU8() << 8);
}

int32_t CommandReader::ReadI16() {
    return static_cast<int16_t>(static_cast<uint16_t>(ReadU16()));
}

int32_t CommandReader::ReadW32() {
    const uint32_t low = static_cast<uint32_t>(ReadU16());
    const uint32_t high = static_cast<uint32_t>(ReadU16());
    return static_cast<int32_t>(low | (high << 16));
}

Point CommandReader::ReadPoint() {
    const int32_t x = ReadI16();
    return Point(x, ReadI16());
}

SimId CommandReader::ReadId() {
    const int32_t team = ReadByte();
    return SimId(team, ReadW32());
}

int CommandReader::ReadText(char* out, int room) {
    int n = 0;
    for (;;) {
        const int c = ReadU8();
        if (failed || c == 0) break;
        if (out && n < room - 1) out[n] = static_cast<char>(c);
        ++n;
    }
    if (out && room > 0) out[n < room - 1 ? n : room - 1] = '\0';
    return n < room - 1 ? n : (room > 0 ? room - 1 : 0);
}
