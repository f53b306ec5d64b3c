#include "support/WindowCheck.h"

#include <cstring>

#include "core/Palette.h"
#include "core/winx_Display.h"
#include "platform/SdlVideo.h"

std::vector<uint32_t> WindowPixels() {
    std::vector<uint32_t> pixels;
    int width = 0, height = 0;
    if (!winx_ReadWindowPixels(winx_Renderer(), pixels, width, height)) pixels.clear();
    return pixels;
}

std::vector<uint32_t> WindowPixelsOfWholePresent(winx_Display& screen, Palette& palette) {
    // Through the renderer's own scaling, every row converted afresh (a palette changed and
    // restored), as pages went before they went in part.
    screen.AllowPartialPresents(false);
    const Rgb kept = palette.entries[1];
    for (int pass = 0; pass < 2; ++pass) {
        palette.entries[1] =
            pass == 0 ? Rgb{static_cast<uint8_t>(kept.r ^ 0x55), kept.g, kept.b} : kept;
        screen.SetPalette(&palette);
        std::memcpy(screen.BackPage(), screen.FrontPage(), 640 * 480);
        screen.Present();
    }
    screen.AllowPartialPresents(true);
    return WindowPixels();
}

std::string PartialPresentMismatch(winx_Display& screen, Palette& palette, int frames) {
    uint32_t seed = 12345;
    auto next = [&seed](uint32_t range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % range;
    };
    for (int frame = 0; frame < frames; ++frame) {
        // A page of its own first, so that the window holds the page the change is made to
        // whatever the comparison before left it with.
        std::memcpy(screen.BackPage(), screen.FrontPage(), 640 * 480);
        screen.BackPage()[next(640 * 480)] ^= 0x21;
        screen.Present();
        std::memcpy(screen.BackPage(), screen.FrontPage(), 640 * 480);
        uint8_t* page = screen.BackPage();
        const int kind = frame % 5;
        if (kind == 0) {  // one row, anywhere (the edges of the scaling periods included)
            const uint32_t y = next(480);
            page[y * 640 + next(640)] ^= static_cast<uint8_t>(1 + next(255));
        } else if (kind == 1) {  // scattered rows, more than the bands the video keeps
            for (int i = 0; i < 40; ++i)
                page[next(480) * 640 + next(640)] = static_cast<uint8_t>(next(256));
        } else if (kind == 2) {  // a band of rows
            const uint32_t first = next(480), rows = 1 + next(30);
            for (uint32_t y = first; y < first + rows && y < 480; ++y)
                std::memset(page + y * 640, static_cast<int>(next(256)), 640);
        } else if (kind == 3) {  // every row
            for (int i = 0; i < 640 * 480; ++i)
                page[i] = static_cast<uint8_t>(i * 7 + frame);
        } else {  // the palette alone
            palette.entries[3 + frame % 200] =
                Rgb{static_cast<uint8_t>(next(256)), static_cast<uint8_t>(frame), 9};
            screen.SetPalette(&palette);
        }
        screen.Present();
        const std::vector<uint32_t> partial = WindowPixels();
        const std::vector<uint32_t> whole = WindowPixelsOfWholePresent(screen, palette);
        if (partial.empty() || partial.size() != whole.size())
            return "the window could not be read";
        for (size_t i = 0; i < partial.size(); ++i) {
            if (partial[i] != whole[i]) {
                return "frame " + std::to_string(frame) + " (kind " + std::to_string(kind) +
                       "): window pixel " + std::to_string(i) + " differs";
            }
        }
    }
    return {};
}
