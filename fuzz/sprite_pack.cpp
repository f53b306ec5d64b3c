// Reads arbitrary bytes as a sprite pack through every sprite-set loader (column, row, grid,
// streamed, from a row of an open pack) and a font, and draws what they hold.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/MemoryDisplay.h"
#include "core/ResourceFile.h"
#include "core/SpriteSet.h"
#include "core/TextWriter.h"

namespace {

const std::string& Directory() {
    static const std::string directory = [] {
        char pattern[] = "/tmp/qx-fuzz-sprites-XXXXXX";
        const char* made = mkdtemp(pattern);
        return std::string(made ? made : "/tmp") + "/";
    }();
    return directory;
}

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
    ResourceFile::SetAssetPath(Directory().c_str());
    const std::string path = Directory() + "pack.msp";
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    } else {
        return 0;
    }
    // The loaders end the program on a file that is not a pack or whose directory is refused.
    ResourceFile file;
    if (!file.OpenPack("pack.msp")) return 0;
    screen->SetClipRect(Rect(Point(0, 0), Size(640, 480)));
    DrawAll(*LoadSpriteSetColumn("pack.msp"));
    DrawAll(*LoadSpriteSetRow("pack.msp"));
    auto grid = LoadSpriteGrid("pack.msp");
    for (int32_t r = 0; r < grid->Count(); ++r) {
        if (auto* row = static_cast<SpriteSet*>(grid->SubImage(r))) DrawAll(*row);
    }
    DrawAll(*OpenStreamedSpriteSet("pack.msp"));
    for (int32_t row = 0; row < 3; ++row) {
        if (auto set = LoadSpriteSetFromRow(row, &file)) DrawAll(*set);
    }
    TextWriter font("pack.msp");
    font.DrawText(Point(10, 400), "Quarnex 0123\nline two", 5);
    font.TextWidth("width");
    screen->ResetClipRect();
    return 0;
}
