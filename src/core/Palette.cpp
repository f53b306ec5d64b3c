#include "core/Palette.h"

#include <string>

#include "core/ResourceFile.h"

Palette::Palette(ResourceFile* stream) {
    Read(stream);
}

void Palette::Read(ResourceFile* stream) {
    if (!stream) return;
    uint8_t bytes[768];
    int32_t count = sizeof bytes;
    stream->Read(count, bytes);
    // A short read leaves the count of the bytes that came.
    for (int32_t i = 0; i + 2 < count && i < 768; i += 3) {
        entries[i / 3] = Rgb{bytes[i], bytes[i + 1], bytes[i + 2]};
    }
}

uint8_t Palette::FindNearestColour(const Rgb& colour) const {
    int best = 9;
    int32_t bestDistance = INT32_MAX;
    for (int i = 9; i <= 254; ++i) {
        if (i == 111) continue;
        int dr = colour.r - entries[i].r;
        int dg = colour.g - entries[i].g;
        int db = colour.b - entries[i].b;
        int32_t distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
            // Nothing comes nearer than the colour itself, and a tie keeps the lower index.
            if (distance == 0) break;
        }
    }
    return static_cast<uint8_t>(best);
}

namespace {

std::unique_ptr<Palette> ReadPalette(const char* name, int32_t column, int32_t row, bool needsPack,
                                     std::string* fault) {
    ResourceFile file;
    if (!(needsPack ? file.OpenPack(name) : file.Open(name, 1, 0))) {
        if (fault) *fault = file.Fault();
        return nullptr;
    }
    // A pack opened by name reads nothing until an entry is selected.
    if (file.IsPack() && !file.SelectEntry(column, row)) {
        if (fault)
            *fault = file.Path() + ": no entry at column " + std::to_string(column) + ", row " +
                     std::to_string(row);
        return nullptr;
    }
    if (file.Size() == 0) {
        if (fault) *fault = file.Path() + ": is empty";
        return nullptr;
    }
    auto palette = std::make_unique<Palette>(&file);
    file.Close();
    return palette;
}

}  // namespace

std::unique_ptr<Palette> LoadPalette(const char* name, int32_t column, int32_t row,
                                     std::string* fault) {
    return ReadPalette(name, column, row, false, fault);
}

std::unique_ptr<Palette> LoadPackPalette(const char* name, int32_t column, int32_t row,
                                         std::string* fault) {
    return ReadPalette(name, column, row, true, fault);
}
