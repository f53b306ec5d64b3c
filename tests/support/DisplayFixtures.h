#pragma once
// Shared fixtures for drawing tests: a memory display with the whole screen as clip, page
// checksums, hand-made bitmap streams, a small test font and a scratch directory for packs.
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "core/MemoryDisplay.h"
#include "core/Point.h"
#include "core/Size.h"
#include "support/TempDirectory.h"

class SpriteSet;
class PackWriter;

// FNV-1a over the bytes.
uint32_t Checksum(const uint8_t* bytes, size_t count);

// A stored coded bitmap: the 18-byte header and the given item bytes.
std::vector<uint8_t> CodedBitmap(const Size& frame, const Point& origin, const Size& picture,
                                 std::initializer_list<int> items);
std::vector<uint8_t> CodedBitmap(const Size& frame, const Point& origin, const Size& picture,
                                 const std::vector<uint8_t>& items);

// A 3 x 5 pixel font scaled by `scale`, one glyph per code 0..127 (lower case drawn as upper
// case): the strokes are shade areas, so text takes the colour it is drawn in.
std::unique_ptr<SpriteSet> MakeTestFont(int scale = 1);
// The same glyphs as pack entries (0, code) for loaders that read a font pack.
void AddTestFontEntries(PackWriter& pack, int scale = 1);
// The stored picture of one glyph.
std::vector<uint8_t> TestGlyph(char c, int scale = 1);

// A palette pack of one column whose row r gives colour `marked` the value (r, r, r) and every
// other colour black, so a test can tell which row was installed.
std::vector<uint8_t> MarkedPalettePack(int rows, uint8_t marked);
// Writes the bytes as the whole file.
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// A fresh directory under the system's temporary directory, removed with its contents.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    const std::filesystem::path& Path() const { return path; }
    // The directory as the asset directory of ResourceFile (with a trailing slash).
    void UseAsAssetPath() const;

private:
    TempDirectory directory;
    std::filesystem::path path;
};

// A memory display whose back page starts zeroed and whose clip is the whole screen; cursor
// hidden so presents leave the pages as drawn.
class ScreenFixture {
public:
    ScreenFixture();
    ~ScreenFixture();
    uint8_t At(int x, int y) const { return screen.BackPage()[y * 640 + x]; }
    uint8_t* Back() { return screen.BackPage(); }
    void FullClip();
    // Number of back-page pixels that differ from `value`.
    int CountNot(uint8_t value) const;

    MemoryDisplay screen;
};
