// A small demo screen drawn headless through every layer the screens use (font text, buttons,
// a list, a text field, sprites at three zooms and with effects, the busy indicator), checked
// by pixels whose place and colour follow from the drawing's description.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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
#include "support/DisplayFixtures.h"
#include "support/FakeClock.h"
#include "ui/Button.h"
#include "ui/ScrollList.h"
#include "ui/TextField.h"

namespace {

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
    DemoScreen() { screen.SetPalette(DemoPalette()); }

    void Clear(uint8_t colour) {
        FullClip();
        ColourBox(colour, Size(640, 480)).DrawAt(Point(0, 0));
    }

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
    // The title's Q (glyph pixels doubled): row 0 is ".#.", row 1 "#.#", pen top 50 - 12.
    EXPECT_EQ(At(40, 38), 0x13);
    EXPECT_EQ(At(42, 38), 0xEF);
    EXPECT_EQ(At(40, 40), 0xEF);
    // Each button shows its state's plate: border ramp * 16 + 15, row 5 of 30 is shade 7.
    const int ramps[4] = {8, 11, 5, 3};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(At(40 + i * 130, 120), ramps[i] * 16 + 15) << labels[i];
        EXPECT_EQ(At(155 + i * 130, 125), ramps[i] * 16 + 7) << labels[i];
    }
    // Scrolled down one line, the selected fourth line is on the third row: its bar runs
    // from y = 180 + 2 * 16 + 4 across the list; the row above has none.
    EXPECT_EQ(At(250, 216), 0x57);
    EXPECT_EQ(At(250, 231), 0x57);
    EXPECT_EQ(At(250, 215), 0x13);
    EXPECT_EQ(At(39, 179), 0x4F);
    EXPECT_EQ(At(260, 330), 0x4F);
    EXPECT_EQ(At(299, 199), 0x3C);  // the active field's outline
    EXPECT_EQ(At(450, 340), 0xEF);
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
    // The 48 x 48 frame is centred, its corner at the centre less 24, 12 and 6 at 1:1, 1:2
    // and 1:4. The picture's block (16..19, 20..23) lies in the body's core, left of the
    // barrel: at each zoom a screen pixel showing only that block.
    // The block (36..39, 36..39) lies in the shadow only: shaded draws darken the ground there.
    const Point core[3] = {Point(72, 76), Point(166, 78), Point(258, 79)};
    const Point shadow[3] = {Point(92, 92), Point(176, 86), Point(263, 83)};
    for (int zoom = 0; zoom < 3; ++zoom) {
        EXPECT_EQ(At(core[zoom].x, core[zoom].y), 0x2F) << zoom;
        EXPECT_EQ(At(core[zoom].x, core[zoom].y + 100), 0x2F) << zoom;
        EXPECT_EQ(At(shadow[zoom].x, shadow[zoom].y + 100), darker.entries[0x86]) << zoom;
        EXPECT_EQ(At(core[zoom].x, core[zoom].y + 200), lighter.entries[0x86]) << zoom;
        EXPECT_EQ(At(core[zoom].x, core[zoom].y + 300), 0x2A) << zoom;
    }
    EXPECT_EQ(At(96, 76), 0x9E);   // the barrel
    EXPECT_EQ(At(76, 62), 0x6C);   // the outer ring
    EXPECT_EQ(At(56, 56), 0x86);   // the transparent corner
    EXPECT_EQ(At(400, 60), 0x2F);  // the clipped copy starts at the clip corner
    EXPECT_EQ(At(399, 59), 0x86);
    EXPECT_EQ(At(362, 188), 0xFE);  // the caption's first 1
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
    busy.Tick();
    clock.Advance(1000);
    busy.Tick();
    busy.Enable(0);
    EXPECT_EQ(screen.cursorShape, 0);
    // Each page of the flipping chain holds one frame, centred on (320, 240), on black.
    const uint8_t* pages[2] = {screen.FrontPage(), screen.BackPage()};
    const uint8_t colours[2] = {0x9E, 0x5E};
    for (int page = 0; page < 2; ++page) {
        const uint8_t* p = pages[page];
        EXPECT_EQ(p[0], 0) << page;
        EXPECT_EQ(p[240 * 640 + 320], colours[page]) << page;
        // The tall frame covers x 310 to 329, the wide one y 230 to 249.
        EXPECT_EQ(p[240 * 640 + 300], page == 1 ? 0x5E : 0) << page;
        EXPECT_EQ(p[215 * 640 + 320], page == 0 ? 0x9E : 0) << page;
    }
}

}  // namespace
