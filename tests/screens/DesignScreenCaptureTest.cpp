// The design screen at its main states, drawn headless on the sample set. With QX_CAPTURE set
// the frames are written there as PNG files for a person to look at.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/Palette.h"
#include "platform/Capture.h"
#include "screens/DesignScreenTestFixture.h"

namespace {

void Capture(const MemoryDisplay& display, const std::string& name) {
    const char* directory = std::getenv("QX_CAPTURE");
    if (!directory || !*directory || !display.GetPalette()) return;
    uint8_t rgb[256 * 3];
    for (int i = 0; i < 256; ++i) {
        rgb[3 * i] = display.GetPalette()->entries[i].r;
        rgb[3 * i + 1] = display.GetPalette()->entries[i].g;
        rgb[3 * i + 2] = display.GetPalette()->entries[i].b;
    }
    const std::filesystem::path path = std::filesystem::path(directory) / (name + ".png");
    EXPECT_TRUE(winx_WritePalettedPng(path.string(), display.BackPage(), 640, 480, 640, rgb));
}

TEST_F(DesignScreenTest, CapturesThePanels) {
    Open();
    Frame();
    Capture(f->display, "design-parts");
    ClickButton(26);
    Capture(f->display, "design-library");
    ClickButton(25);
    Capture(f->display, "design-settings");
}

}  // namespace
