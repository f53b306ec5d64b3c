// Walks arbitrary bytes as a received command stream: every header is checked against the
// bytes left, and every field of every command is read without leaving its command.
#include <cstddef>
#include <cstdint>

#include "objects/CommandBuffer.h"
#include "objects/CommandReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CommandReader reader(data, size);
    CommandHeader header;
    char text[CommandBuffer::kMaxCommand];
    while (reader.NextCommand(header)) {
        if (header.length < CommandBuffer::kHeaderSize) __builtin_trap();
        if (reader.CommandEnd() > size) __builtin_trap();
        // Mix the readers the executor uses over the payload.
        switch (header.kind % 4) {
            case 0:
                reader.ReadPoint();
                reader.ReadId();
                break;
            case 1:
                reader.ReadW32();
                reader.ReadI16();
                break;
            case 2:
                reader.ReadByte();
                reader.ReadText(text, sizeof text);
                break;
            default:
                reader.ReadU16();
                reader.ReadText(text, 4);
                break;
        }
        if (reader.Position() > reader.CommandEnd()) __builtin_trap();
    }
    return 0;
}
