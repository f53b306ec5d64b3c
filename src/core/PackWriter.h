#pragma once
// Builds pack files: the magic, a directory of columns x rows (offset, length) entries and the
// entry data behind it, all numbers big-endian. Used by the asset maker and by tests that need
// packs of their own.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class PackWriter {
public:
    static constexpr uint32_t kMagic = 0x2ACE2ACE;
    static constexpr size_t kHeaderSize = 8;
    static constexpr size_t kEntrySize = 8;

    PackWriter(int columns, int rows);
    virtual ~PackWriter();

    int Columns() const { return columns; }
    int Rows() const { return rows; }

    // Stores the data of entry (column, row); false (and nothing stored) outside the directory.
    // An entry given empty data is present with length 0; an entry never set is absent.
    bool SetEntry(int column, int row, std::vector<uint8_t> data);
    bool HasEntry(int column, int row) const;

    // The whole file; empty when the pack would not fit the 32-bit offsets.
    std::vector<uint8_t> Build() const;
    // Writes Build() to the path; false when the pack is too large or the file cannot be written.
    bool WriteFile(const std::string& path) const;

private:
    int columns;
    int rows;
    std::vector<std::optional<std::vector<uint8_t>>> entries;
};
