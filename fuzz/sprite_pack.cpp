// Reads arbitrary bytes as a sprite pack, from memory, through every sprite-set loader (column,
// row, grid, streamed, from a row of an open pack) and a font, and draws what they hold.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "core/MemoryDisplay.h"
#include "core/ResourceFile.h"
#include "core/SpriteSet.h"
#include "core/TextWriter.h"

namespace {

void DrawAll(SpriteSet& set) {
    for (int32_t n = -1; n <= set.Count(); ++n) {
        set.DrawFrame(Point(100, 100), n);
        set.DrawFrameShadeFilled(Point(5, 5), n, 3);
        if (Image* frame = set.SubImage(n)) frame->DrawAt(Point(630, 470));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static MemoryDisplay* screen = new MemoryDisplay();
    // The loaders by name end the program on a file that is not a pack or whose directory is
    // refused; the pack is opened here, so such bytes are simply passed over.
    auto file = std::make_shared<ResourceFile>();
    if (!file->OpenBytes(data, size) || !file->IsPack()) return 0;
    screen->SetClipRect(Rect(Point(0, 0), Size(640, 480)));
    DrawAll(*LoadSpriteSetColumn(*file));
    DrawAll(*LoadSpriteSetRow(*file));
    auto grid = LoadSpriteGrid(*file);
    for (int32_t r = 0; r < grid->Count(); ++r) {
        if (auto* row = static_cast<SpriteSet*>(grid->SubImage(r))) DrawAll(*row);
    }
    for (int32_t row = 0; row < 3; ++row) {
        if (auto set = LoadSpriteSetFromRow(row, file.get())) DrawAll(*set);
    }
    TextWriter font(LoadSpriteSetColumn(*file));
    font.DrawText(Point(10, 400), "Quarnex 0123\nline two", 5);
    font.TextWidth("width");
    DrawAll(*OpenStreamedSpriteSet(file));
    screen->ResetClipRect();
    return 0;
}
