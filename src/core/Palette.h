#pragma once
// 256 RGB colours read from a palette file or pack entry; the display installs one at a time.
// FindNearestColour maps any colour to the closest index that shading may use.
#include <cstdint>
#include <memory>
#include <string>

class ResourceFile;

struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    bool operator==(const Rgb& other) const = default;
};

class Palette {
public:
    // All black.
    Palette() = default;
    // All black, then Read.
    explicit Palette(ResourceFile* stream);
    Palette(const Palette& other) = default;
    Palette& operator=(const Palette& other) = default;
    virtual ~Palette() = default;

    // 768 bytes of red, green, blue for entries 0 to 255; entries that cannot be read keep
    // their colours.
    void Read(ResourceFile* stream);

    // The nearest of the indices 9 to 254 except 111 (0 to 8, 111 and 255 have fixed roles);
    // the lower index wins a tie.
    uint8_t FindNearestColour(const Rgb& colour) const;

    Rgb entries[256];
};

// Opens a palette by name: a plain 768-byte file, or a pack whose entry (column, row) holds
// the 768 bytes. Null when the file cannot be opened or the entry is missing; fault (when
// given) then names the file and what was wrong.
std::unique_ptr<Palette> LoadPalette(const char* name, int32_t column = 0, int32_t row = 0,
                                     std::string* fault = nullptr);
// The same for a name that must be a pack: a plain file is refused.
std::unique_ptr<Palette> LoadPackPalette(const char* name, int32_t column, int32_t row,
                                         std::string* fault = nullptr);
