#include "support/PackBuilder.h"

void AppendU16BE(Bytes& out, uint16_t value) {
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value));
}

void AppendU32BE(Bytes& out, uint32_t value) {
    AppendU16BE(out, static_cast<uint16_t>(value >> 16));
    AppendU16BE(out, static_cast<uint16_t>(value));
}

Bytes BytesOf(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

PackBuilder& PackBuilder::Entry(int column, int row, Bytes data) {
    entries[{row, column}] = std::move(data);
    return *this;
}

PackBuilder& PackBuilder::Entry(int column, int row, std::string_view text) {
    return Entry(column, row, BytesOf(text));
}

PackBuilder& PackBuilder::RawDirectory(int column, int row, uint32_t offset, uint32_t length) {
    forced[{row, column}] = {offset, length};
    return *this;
}

size_t PackBuilder::DirectoryOffset(int column, int row) const {
    return 8 + (static_cast<size_t>(row) * columns + static_cast<size_t>(column)) * 8;
}

Bytes PackBuilder::Build() const {
    Bytes out;
    AppendU32BE(out, 0x2ACE2ACE);
    AppendU16BE(out, columns);
    AppendU16BE(out, rows);
    uint32_t dataOffset = static_cast<uint32_t>(DirectoryOffset(0, rows));
    Bytes data;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            uint32_t offset = 0;
            uint32_t length = 0;
            if (auto it = entries.find({row, column}); it != entries.end()) {
                offset = dataOffset + static_cast<uint32_t>(data.size());
                length = static_cast<uint32_t>(it->second.size());
                data.insert(data.end(), it->second.begin(), it->second.end());
            }
            if (auto it = forced.find({row, column}); it != forced.end()) {
                offset = it->second.first;
                length = it->second.second;
            }
            AppendU32BE(out, offset);
            AppendU32BE(out, length);
        }
    }
    out.insert(out.end(), data.begin(), data.end());
    return out;
}
