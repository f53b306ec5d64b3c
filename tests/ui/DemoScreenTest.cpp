// A small demo screen drawn headless through every layer the screens use (font text, buttons,
// a list, a text field, the busy indicator), checked
// by pixels whose place and colour follow from the drawing's description.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "core/Bitmap.h"
#include "core/BitmapEncoder.h"
#include "core/BusyIndicator.h"
#include "core/ColourBox.h"
#include "core/EventQueue.h"
#include "core/InputEvent.h"
#include "core/KeyCodes.h"
#include "core/OutlineRect.h"
#include "core/SpriteSet.h"
#include "core/TextWriter.h"
#include "support/DisplayFixtures.h"
#include "support/FakeClock.h"
#include "ui/Button.h"
#include "ui/ScrollList.h"
#include "ui/TextField.h"

namespace {

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
