#include "core/Palette.h"

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
        }
    }
    return static_cast<uint8_t>(best);
}

std::unique_ptr<Palette> LoadPalette(const char* name, int32_t column, int32_t row) {
    ResourceFile file;
    if (!file.Open(name, 1, 0)) return nullptr;
    // A pack opened by name reads nothing until an entry is selected.
    if (file.Size() == 0 && !file.SelectEntry(column, row)) return nullptr;
    auto palette = std::make_unique<Palette>(&file);
    file.Close();
    return palette;
}
