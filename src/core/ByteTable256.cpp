#include "core/ByteTable256.h"

#include "core/ResourceFile.h"

ByteTable256::ByteTable256() : table(256 * 256, 0) {}

ByteTable256::ByteTable256(ResourceFile* stream) : ByteTable256() {
    if (!stream) return;
    uint8_t flagByte = 0;
    int32_t count = 1;
    if (stream->Read(count, &flagByte)) flag = static_cast<int8_t>(flagByte);
    count = static_cast<int32_t>(table.size());
    stream->Read(count, table.data());
}
