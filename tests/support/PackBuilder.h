#pragma once
// Builds pack files in memory for tests: give entries at (column, row), get the bytes of a
// pack with its big-endian directory and the entry data laid out after it in directory order.
// Entries not given are absent (offset 0). Raw directory values can be forced to make
// malformed packs.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using Bytes = std::vector<uint8_t>;

void AppendU16BE(Bytes& out, uint16_t value);
void AppendU32BE(Bytes& out, uint32_t value);
Bytes BytesOf(std::string_view text);

class PackBuilder {
public:
    PackBuilder(uint16_t columns, uint16_t rows) : columns(columns), rows(rows) {}

    PackBuilder& Entry(int column, int row, Bytes data);
    PackBuilder& Entry(int column, int row, std::string_view text);
    // Writes these directory values for the entry instead of the computed ones.
    PackBuilder& RawDirectory(int column, int row, uint32_t offset, uint32_t length);

    Bytes Build() const;
    // The file offset of directory entry (column, row).
    size_t DirectoryOffset(int column, int row) const;

private:
    uint16_t columns;
    uint16_t rows;
    std::map<std::pair<int, int>, Bytes> entries;                         // (row, column)
    std::map<std::pair<int, int>, std::pair<uint32_t, uint32_t>> forced;  // (row, column)
};
