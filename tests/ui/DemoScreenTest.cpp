// A small demo screen drawn headless through every layer the screens use (font text, buttons,
// a list, a text field, sprites at three zooms and with effects, the busy indicator). Each
// presented frame is captured as a PNG and its front page checked against stored checksums.
//
// The checksums in golden/demo_screen.txt are written by this test itself when run with
// QX_UPDATE_GOLDEN=1; the PNGs under <build>/captures/ are what a person looks at before
// accepting them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "core/Bitmap.h"
#include "core/BitmapEncoder.h"
#include "core/BusyIndicator.h"
#include "core/ColourBox.h"
#include "core/EventQueue.h"
#include "core/InputEvent.h"
#include "core/KeyCodes.h"
#include "core/OutlineRect.h"
#include "core/Palette.h"
#include "core/Settings.h"
#include "core/ShadeTable.h"
#include "core/SpriteSet.h"
#include "core/TextWriter.h"
#include "platform/Capture.h"
#include "support/DisplayFixtures.h"
#include "support/FakeClock.h"
#include "ui/Button.h"
#include "ui/ScrollList.h"
#include "ui/TextField.h"

namespace {

const std::filesystem::path kGolden =
    std::filesystem::path(QX_SOURCE_DIR) / "tests/ui/golden/demo_screen.txt";
const std::filesystem::path kCaptures = std::filesystem::path(QX_BINARY_DIR) / "captures";

// Sixteen ramps of sixteen shades: ramp r has hue r * 22.5 degrees, shade 0 darkest.
Palette* DemoPalette() {
    auto* p = new Palette();
    for (int i = 1; i < 255; ++i) {
        const int ramp = i / 16, shade = i % 16;
        const double hue = ramp * 22.5 * 3.14159265 / 180.0;
        const double level = 40.0 + shade * 13.0;
        auto channel = [&](double phase) {
            return static_cast<uint8_t>(
                std::clamp(level * (0.6 + 0.4 * std::cos(hue + phase)), 0.0, 255.0));
        };
        p->entries[i] = Rgb{channel(0.0), channel(2.094), channel(4.189)};
    }
    return p;
}

constexpr uint8_t kTransparent = 0;
constexpr uint8_t kShade = 1;

// A round unit seen from above: a ringed body, a gun barrel and a shadow to the lower right.
std::vector<uint8_t> UnitSprite() {
    const int size = 48;
    std::vector<uint8_t> pixels(size * size, kTransparent);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double dx = x - 20.5, dy = y - 20.5;
            const double r = std::sqrt(dx * dx + dy * dy);
            const double sx = x - 26.5, sy = y - 26.5;
            uint8_t& p = pixels[y * size + x];
            if (r < 17) {
                p = r < 6    ? 0x2F
                    : r < 12 ? static_cast<uint8_t>(0x44 + static_cast<int>(r) % 4)
                             : 0x6C;
            } else if (std::sqrt(sx * sx + sy * sy) < 18) {
                p = kShade;
            }
            if (y >= 19 && y <= 22 && x >= 20 && x <= 44) p = 0x9E;
        }
    }
    BitmapPlacement placement{0, 0, 48, 48};
    return EncodeBitmap(pixels.data(), size, size, size, placement,
                        BitmapKeys{kTransparent, kShade});
}

// A button face: a bordered plate in one ramp.
std::unique_ptr<Image> Plate(int w, int h, int ramp) {
    std::vector<uint8_t> pixels(w * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const bool edge = x == 0 || y == 0 || x == w - 1 || y == h - 1;
            pixels[y * w + x] = static_cast<uint8_t>(ramp * 16 + (edge ? 15 : 6 + (y * 6) / h));
        }
    }
    std::vector<uint8_t> stored = EncodeBitmap(pixels.data(), w, h, w);
    return std::make_unique<Bitmap>(stored.data(), stored.size());
}

class DemoScreen : public ::testing::Test, public ScreenFixture {
protected:
    DemoScreen() {
        savedFlip = flipEnabled;
        flipEnabled = 1;
        screen.SetPalette(DemoPalette());
        std::filesystem::create_directories(kCaptures);
        setenv("QX_CAPTURE", kCaptures.c_str(), 1);
        std::ifstream in(kGolden);
        std::string name;
        std::string sum;
        while (in >> name >> sum)
            golden[name] = sum;
    }
    ~DemoScreen() override {
        unsetenv("QX_CAPTURE");
        flipEnabled = savedFlip;
        if (std::getenv("QX_UPDATE_GOLDEN")) {
            std::ofstream out(kGolden);
            for (const auto& [name, sum] : golden)
                out << name << ' ' << sum << '\n';
        }
    }

    // Presents the frame, captures it and checks its front page against the stored checksum.
    void Capture(const std::string& name) {
        winx_RequestCapture(name);
        screen.Present();
        ASSERT_TRUE(std::filesystem::exists(kCaptures / (name + ".png")));
        char sum[16];
        std::snprintf(sum, sizeof sum, "%08x", Checksum(screen.FrontPage(), 640 * 480));
        if (std::getenv("QX_UPDATE_GOLDEN")) {
            golden[name] = sum;
            return;
        }
        ASSERT_TRUE(golden.count(name)) << "no stored checksum for " << name;
        EXPECT_EQ(golden[name], sum) << "capture " << name << " changed; see " << kCaptures;
    }

    void Clear(uint8_t colour) {
        FullClip();
        ColourBox(colour, Size(640, 480)).DrawAt(Point(0, 0));
    }

    int32_t savedFlip = 1;
    std::map<std::string, std::string> golden;
    EventQueue queue;
    TextWriter font{MakeTestFont(2)};
};

TEST_F(DemoScreen, WidgetsDrawTheirStates) {
    Clear(0x13);
    font.DrawText(Point(40, 50), "QUARNEX DISPLAY TEST", 0xEF);
    font.DrawText(Point(40, 74), "Buttons, list and text field\nin the test font", 0xCC);

    const char* labels[4] = {"NORMAL", "LIT", "PRESSED", "OFF"};
    for (int i = 0; i < 4; ++i) {
        Button b;
        b.rect = Rect(Point(40 + i * 130, 120), Size(120, 30));
        b.SetPictures(Plate(120, 30, 11), Plate(120, 30, 5), Plate(120, 30, 3), Plate(120, 30, 8));
        if (i == 1) b.SetHighlighted(1);
        if (i == 2) b.SetPressed(1);
        if (i == 3) b.SetEnabled(0);
        FullClip();
        b.Draw();
        font.DrawText(b.rect.origin + Point(10, 22), labels[i], 0xFE);
    }

    ScrollList list(Rect(Point(40, 180), Size(220, 150)), 16, &font, 0x57);
    list.SetCount(20);
    list.SetSelection(3);
    list.SetScrollPercent(10);
    for (int i = 0; i < 20; ++i) {
        std::string line = "LINE " + std::to_string(i + 1);
        list.Draw(i, line.c_str(), i == list.selection ? 0xFE : 0xDC);
    }
    FullClip();
    OutlineRect(0x4F, Size(222, 152)).DrawAt(Point(39, 179));

    TextField field(Point(300, 200), 300, 16, 0, 0x3C, &font);
    char owner[128] = "edit me";
    field.HandleEvent(InputEvent(InputKind::ButtonDown, Point(310, 205), 'L'), owner);
    field.HandleEvent(InputEvent(InputKind::Key, Point(), kKeyLeft), owner);
    field.HandleEvent(InputEvent(InputKind::Key, Point(), kKeyLeft), owner);
    field.Draw(0xFE);
    FullClip();
    screen.DrawDashedLine(0xAF, 2, 6, 4, 3, Point(300, 260), Point(600, 330));
    screen.DrawLine(0xEF, 1, Point(300, 340), Point(600, 340));
    screen.ResetClipRect();
    Capture("demo_widgets");
}

TEST_F(DemoScreen, SpritesAtThreeZoomsAndEffects) {
    Clear(0x86);
    std::vector<uint8_t> stored = UnitSprite();
    Bitmap unit(stored.data(), stored.size());
    ShadeTable darker(-50, *screen.GetPalette());
    ShadeTable lighter(60, *screen.GetPalette());
    FullClip();
    for (int zoom = 0; zoom < 3; ++zoom) {
        ImageZoom = zoom;
        unit.Draw(Point(80 + zoom * 90, 80));
        unit.DrawShaded(Point(80 + zoom * 90, 180), darker);
        unit.DrawTinted(Point(80 + zoom * 90, 280), lighter, 0);
        unit.DrawSilhouette(Point(80 + zoom * 90, 380), 0x2A, 1);
    }
    ImageZoom = 0;
    // Clipped at the edge of a clip rectangle.
    screen.SetClipRect(Rect(Point(400, 60), Size(60, 60)));
    unit.Draw(Point(400, 60));
    FullClip();
    font.DrawText(Point(360, 200), "1:1  1:2  1:4", 0xFE);
    screen.ResetClipRect();
    Capture("demo_sprites");
}

TEST_F(DemoScreen, BusyIndicatorShowsItsFramesOnACleanScreen) {
    FakeClock clock(100);
    Clear(0x77);
    auto frames = std::make_unique<SpriteSet>(2);
    frames->SetFrame(std::make_unique<ColourBox>(0x5E, Size(60, 20)), 0);
    frames->SetFrame(std::make_unique<ColourBox>(0x9E, Size(20, 60)), 1);
    BusyIndicator busy(std::move(frames));
    screen.cursorShape = 0;
    busy.Enable(1);  // clears both pages and hides the cursor
    EXPECT_EQ(screen.cursorShape, -1);
    winx_RequestCapture("demo_busy_first");
    busy.Tick();
    clock.Advance(1000);
    winx_RequestCapture("demo_busy_second");
    busy.Tick();
    busy.Enable(0);
    for (const char* name : {"demo_busy_first", "demo_busy_second"}) {
        ASSERT_TRUE(std::filesystem::exists(kCaptures / (std::string(name) + ".png")));
    }
    // The second frame replaced nothing of the first on a flipping chain: each page holds one.
    Capture("demo_busy_after");
}

}  // namespace
