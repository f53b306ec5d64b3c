#include "core/PackWriter.h"

#include <algorithm>
#include <fstream>
#include <limits>

namespace {

void PutU16(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    out[at] = static_cast<uint8_t>(value >> 8);
    out[at + 1] = static_cast<uint8_t>(value);
}

void PutU32(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    PutU16(out, at, value >> 16);
    PutU16(out, at + 2, value & 0xFFFF);
}

}  // namespace

PackWriter::PackWriter(int columnCount, int rowCount)
    : columns(std::clamp(columnCount, 0, 0xFFFF)),
      rows(std::clamp(rowCount, 0, 0xFFFF)),
      entries(static_cast<size_t>(columns) * static_cast<size_t>(rows)) {}

PackWriter::~PackWriter() = default;

bool PackWriter::SetEntry(int column, int row, std::vector<uint8_t> data) {
    if (column < 0 || column >= columns || row < 0 || row >= rows) return false;
    entries[static_cast<size_t>(row) * columns + column] = std::move(data);
    return true;
}

bool PackWriter::HasEntry(int column, int row) const {
    if (column < 0 || column >= columns || row < 0 || row >= rows) return false;
    return entries[static_cast<size_t>(row) * columns + column].has_value();
}

std::vector<uint8_t> PackWriter::Build() const {
    const size_t directoryEnd = kHeaderSize + entries.size() * kEntrySize;
    size_t total = directoryEnd;
    for (const auto& entry : entries) {
        if (entry) total += entry->size();
    }
    if (total > std::numeric_limits<uint32_t>::max()) return {};

    std::vector<uint8_t> out(directoryEnd);
    out.reserve(total);
    PutU32(out, 0, kMagic);
    PutU16(out, 4, static_cast<uint32_t>(columns));
    PutU16(out, 6, static_cast<uint32_t>(rows));
    for (size_t i = 0; i < entries.size(); ++i) {
        if (!entries[i]) continue;  // offset 0 marks the entry absent
        // The data always lies behind the directory, so a present entry never gets offset 0.
        PutU32(out, kHeaderSize + i * kEntrySize, static_cast<uint32_t>(out.size()));
        PutU32(out, kHeaderSize + i * kEntrySize + 4, static_cast<uint32_t>(entries[i]->size()));
        out.insert(out.end(), entries[i]->begin(), entries[i]->end());
    }
    return out;
}

bool PackWriter::WriteFile(const std::string& path) const {
    const std::vector<uint8_t> bytes = Build();
    if (bytes.empty()) return false;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) return false;
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    file.close();
    return static_cast<bool>(file);
}
