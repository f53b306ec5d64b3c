// Feeds arbitrary bytes to ResourceFile as a file, straight from memory: the pack directory
// probe, every entry's window, number and block reads, and line reading.
#include <cstddef>
#include <cstdint>

#include "core/ResourceFile.h"

namespace {

void ReadWindow(ResourceFile& file) {
    uint16_t word;
    uint32_t value;
    file.ReadU16(&word);
    file.ReadU32(&value);
    char buffer[300];
    int32_t count = 37;
    file.Read(count, buffer);
    if (count < 0 || count > 37) __builtin_trap();
    for (int i = 0; i < 64; ++i) {
        const int n = file.ReadLine(static_cast<int32_t>(sizeof buffer), buffer);
        if (n < 0 || n >= static_cast<int>(sizeof buffer)) __builtin_trap();
        if (n == 0 && file.Tell() >= file.Size()) break;
    }
    file.ReadDataLine(8, buffer);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ResourceFile file;
    if (!file.OpenBytes(data, size)) return 0;
    if (file.Columns() == 0 && file.Rows() == 0) {
        ReadWindow(file);
    } else {
        int tried = 0;
        for (int row = -1; row <= file.Rows() && tried < 64; ++row) {
            for (int column = -1; column <= file.Columns() && tried < 64; ++column, ++tried) {
                if (file.SelectEntry(column, row)) ReadWindow(file);
            }
        }
    }
    // A seek anywhere, then reads that must stay inside the window.
    if (size >= 2) {
        file.Seek(data[size - 1] * 16 + data[size - 2]);
        char buffer[16];
        int32_t count = 16;
        file.Read(count, buffer);
        if (count < 0) __builtin_trap();
        file.Skip(3);
    }
    return 0;
}
