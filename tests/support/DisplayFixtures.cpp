#include "support/DisplayFixtures.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <utility>

#include "core/Bitmap.h"
#include "core/BitmapEncoder.h"
#include "core/Image.h"
#include "core/PackWriter.h"
#include "core/ResourceFile.h"
#include "core/SpriteSet.h"

uint32_t Checksum(const uint8_t* bytes, size_t count) {
    uint32_t hash = 2166136261u;
    for (size_t i = 0; i < count; ++i) {
        hash ^= bytes[i];
        hash *= 16777619u;
    }
    return hash;
}

std::vector<uint8_t> CodedBitmap(const Size& frame, const Point& origin, const Size& picture,
                                 const std::vector<uint8_t>& items) {
    std::vector<uint8_t> out =
        BitmapHeader(frame.w, frame.h, origin.x, origin.y, picture.w, picture.w, picture.h, 1);
    out.insert(out.end(), items.begin(), items.end());
    return out;
}

std::vector<uint8_t> CodedBitmap(const Size& frame, const Point& origin, const Size& picture,
                                 std::initializer_list<int> items) {
    std::vector<uint8_t> bytes;
    for (int v : items)
        bytes.push_back(static_cast<uint8_t>(v));
    return CodedBitmap(frame, origin, picture, bytes);
}

namespace {

// Each glyph: five rows of three columns, top to bottom; other characters are blank.
constexpr std::pair<char, const char*> kGlyphs[] = {
    {'0', "### #.# #.# #.# ###"}, {'1', ".#. ##. .#. .#. ###"}, {'2', "##. ..# .#. #.. ###"},
    {'3', "##. ..# .#. ..# ##."}, {'4', "#.# #.# ### ..# ..#"}, {'5', "### #.. ##. ..# ##."},
    {'6', ".## #.. ### #.# ###"}, {'7', "### ..# .#. .#. .#."}, {'8', "### #.# ### #.# ###"},
    {'9', "### #.# ### ..# ##."}, {'A', ".#. #.# ### #.# #.#"}, {'B', "##. #.# ##. #.# ##."},
    {'C', ".## #.. #.. #.. .##"}, {'D', "##. #.# #.# #.# ##."}, {'E', "### #.. ##. #.. ###"},
    {'F', "### #.. ##. #.. #.."}, {'G', ".## #.. #.# #.# .##"}, {'H', "#.# #.# ### #.# #.#"},
    {'I', "### .#. .#. .#. ###"}, {'J', "..# ..# ..# #.# .#."}, {'K', "#.# #.# ##. #.# #.#"},
    {'L', "#.. #.. #.. #.. ###"}, {'M', "#.# ### ### #.# #.#"}, {'N', "##. #.# #.# #.# #.#"},
    {'O', ".#. #.# #.# #.# .#."}, {'P', "##. #.# ##. #.. #.."}, {'Q', ".#. #.# #.# ##. .##"},
    {'R', "##. #.# ##. #.# #.#"}, {'S', ".## #.. .#. ..# ##."}, {'T', "### .#. .#. .#. .#."},
    {'U', "#.# #.# #.# #.# ###"}, {'V', "#.# #.# #.# #.# .#."}, {'W', "#.# #.# ### ### #.#"},
    {'X', "#.# #.# .#. #.# #.#"}, {'Y', "#.# #.# .#. .#. .#."}, {'Z', "### ..# .#. #.. ###"},
    {'.', "... ... ... ... .#."}, {',', "... ... ... .#. #.."}, {':', "... .#. ... .#. ..."},
    {'!', ".#. .#. .#. ... .#."}, {'?', "##. ..# .#. ... .#."}, {'-', "... ... ### ... ..."},
    {'+', "... .#. ### .#. ..."}, {'/', "..# ..# .#. #.. #.."}, {'(', ".#. #.. #.. #.. .#."},
    {')', ".#. ..# ..# ..# .#."}, {'%', "#.# ..# .#. #.. #.#"}, {'\'', ".#. .#. ... ... ..."}};

const char* GlyphRows(char c) {
    for (const auto& [glyph, rows] : kGlyphs) {
        if (glyph == c) return rows;
    }
    return "... ... ... ... ...";
}

constexpr uint8_t kStroke = 1;

}  // namespace

std::vector<uint8_t> TestGlyph(char c, int scale) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    const char* rows = GlyphRows(c);
    // Three columns and a space, five rows and a gap; the strokes are shade pixels.
    const int w = 4 * scale;
    const int h = 6 * scale;
    std::vector<uint8_t> pixels(static_cast<size_t>(w * h), 0);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            int gx = x / scale, gy = y / scale;
            if (gx < 3 && gy < 5 && rows[gy * 4 + gx] == '#') pixels[y * w + x] = kStroke;
        }
    }
    return EncodeBitmap(pixels.data(), w, h, w, BitmapPlacement{}, BitmapKeys{0, kStroke});
}

std::unique_ptr<SpriteSet> MakeTestFont(int scale) {
    auto font = std::make_unique<SpriteSet>(128);
    for (int code = 32; code < 128; ++code) {
        std::vector<uint8_t> glyph = TestGlyph(static_cast<char>(code), scale);
        font->SetFrame(std::make_unique<Bitmap>(glyph.data(), glyph.size()), code);
    }
    return font;
}

void AddTestFontEntries(PackWriter& pack, int scale) {
    for (int code = 32; code < 128 && code < pack.Rows(); ++code) {
        pack.SetEntry(0, code, TestGlyph(static_cast<char>(code), scale));
    }
}

std::vector<uint8_t> MarkedPalettePack(int rows, uint8_t marked) {
    PackWriter pack(1, rows);
    for (int row = 0; row < rows; ++row) {
        std::vector<uint8_t> entry(768, 0);
        entry[3 * marked] = entry[3 * marked + 1] = entry[3 * marked + 2] =
            static_cast<uint8_t>(row);
        pack.SetEntry(0, row, entry);
    }
    return pack.Build();
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

ScratchDir::ScratchDir() : path(directory.Path()) {}

ScratchDir::~ScratchDir() = default;

void ScratchDir::UseAsAssetPath() const {
    ResourceFile::SetAssetPath((path.string() + "/").c_str());
}

ScreenFixture::ScreenFixture() {
    screen.cursorShape = -1;
    ImageZoom = 0;
    FullClip();
}

ScreenFixture::~ScreenFixture() {
    ImageZoom = 0;
}

void ScreenFixture::FullClip() {
    screen.SetClipRect(Rect(Point(0, 0), Size(640, 480)));
}

int ScreenFixture::CountNot(uint8_t value) const {
    int n = 0;
    for (int i = 0; i < 640 * 480; ++i)
        n += screen.BackPage()[i] != value;
    return n;
}
