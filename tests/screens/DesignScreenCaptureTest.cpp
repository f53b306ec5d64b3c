// The design screen at its main states, drawn headless on the sample set and presented. With
// QX_CAPTURE set the frames are written there as PNG files for a person to look at.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "catalogue/ChassisTemplate.h"
#include "catalogue/MountTemplate.h"
#include "catalogue/TextScan.h"
#include "catalogue/WeaponTemplate.h"
#include "core/Bitmap.h"
#include "core/Palette.h"
#include "core/ResourceFile.h"
#include "core/SpriteSet.h"
#include "core/StringTable.h"
#include "platform/Capture.h"
#include "screens/DesignScreenTestFixture.h"
#include "support/TextCheck.h"
#include "ui/ScrollList.h"
#include "world/World.h"

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
    EXPECT_TRUE(winx_WritePalettedPng(path.string(), display.FrontPage(), 640, 480, 640, rgb));
}

class DesignCaptureTest : public DesignScreenTest {
protected:
    uint8_t At(int x, int y) const { return f->display.FrontPage()[y * 640 + x]; }
    // Draws a frame and presents it, as the World's tick does.
    void Show() {
        Frame();
        f->display.Present();
    }
    // The colour a pack picture gives a screen pixel, drawn alone on a cleared page.
    uint8_t Alone(const char* pack, int row, int x, int y) {
        std::fill(f->display.BackPage(), f->display.BackPage() + 640 * 480, 0);
        f->display.SetClipRect(Rect(Point(0, 0), Size(640, 480)));
        ResourceFile file;
        EXPECT_EQ(file.Open(pack, ResourceFile::OpenMode::Pack), 1);
        EXPECT_EQ(file.SelectEntry(0, row), 1);
        Bitmap(&file).DrawAt(Point(0, 0));
        f->display.ResetClipRect();
        return f->display.BackPage()[y * 640 + x];
    }
};

TEST_F(DesignCaptureTest, EachPanelShowsItsOwnPictures) {
    Open();
    Show();
    Capture(f->display, "design-parts");
    // The category column shows in the parts panel; the chassis button is the pressed one.
    const uint8_t chassisButton = At(57, 35);
    EXPECT_EQ(chassisButton, Alone(DesignScreen::kLargePack, 2, 57, 35));

    ClickButton(26);
    f->display.Present();
    Capture(f->display, "design-library");
    // The library backdrop covers the category column, which is not drawn.
    EXPECT_EQ(At(57, 35), Alone(DesignScreen::kLargePack, 29, 57, 35));
    EXPECT_NE(At(57, 35), chassisButton);
    // The selected row of the design list is written in colour 9, the others in 10.
    const ScrollList& list = *screen->DesignList();
    auto colours = [&](int row, int colour) {
        int n = 0;
        const int top = list.listRect.origin.y + 4 + (row - list.top) * list.lineHeight;
        for (int y = top; y < top + list.lineHeight; ++y)
            for (int x = list.listRect.origin.x; x < list.listRect.origin.x + 100; ++x)
                n += At(x, y) == colour;
        return n;
    };
    ASSERT_GT(list.selection, 0);
    EXPECT_GT(colours(list.selection, 9), 0);
    EXPECT_EQ(colours(list.selection, 10), 0);
    EXPECT_GT(colours(list.selection - 1, 10), 0);
    EXPECT_EQ(colours(list.selection - 1, 9), 0);

    ClickButton(25);
    f->display.Present();
    Capture(f->display, "design-settings");
    // The first settings page is pressed and its panel's title is drawn.
    EXPECT_EQ(At(60, 57), Alone(DesignScreen::kLargePack, 38, 60, 57));
    EXPECT_EQ(At(175, 135), Alone(DesignScreen::kLargePack, 60, 175, 135));

    ClickButton(24);
    // A design with a chassis, a drive and a part carried over the preview.
    screen->PickEntry(FindInList(ChassisList, 'V', 'c'), 0);
    screen->PickEntry(screen->Next(1, nullptr), 1);
    screen->PickEntry(FindWeaponTemplate('V', 'd'), 3);
    Move(Point(330, 240));
    Show();
    Capture(f->display, "design-parts-built");
    EXPECT_NE(screen->ShownHardpointPanel(), nullptr);
}

TEST_F(DesignCaptureTest, EachEntryIsDrawnInsideItsOwnButton) {
    Open();
    // The three entry buttons' pixels on the chassis page and on the weapons page.
    auto shown = [&](int category) {
        screen->FillFirstPage(category);
        Show();
        std::vector<std::vector<uint8_t>> out(3);
        for (int i = 0; i < 3; ++i) {
            const Rect r = screen->ButtonOf(27 + i)->Bounds();
            for (int y = r.origin.y; y < r.origin.y + r.extent.h; ++y)
                for (int x = r.origin.x; x < r.origin.x + r.extent.w; ++x)
                    out[i].push_back(At(x, y));
        }
        return out;
    };
    const auto chassis = shown(0);
    const auto weapons = shown(3);
    for (int i = 0; i < 3; ++i)
        EXPECT_NE(chassis[i], weapons[i]) << i;
}

TEST_F(DesignCaptureTest, EachEntryNameStandsAtTheFootOfItsButton) {
    Open();
    for (const int category : {0, 3}) {
        screen->FillFirstPage(category);
        Frame();
        int named = 0;
        for (int i = 0; i < 3; ++i) {
            const Template* entry = screen->VisibleEntry(i);
            if (!entry || !entry->Name()) continue;
            ++named;
            const Rect r = screen->ButtonOf(27 + i)->Bounds();
            const Point at(r.origin.x + 2, r.origin.y + r.extent.h - 2);
            EXPECT_TRUE(ShowsText(f->display, *f->world->font, at, entry->Name(), 10, at.x - 1,
                                  at.y - 10, r.origin.x + r.extent.w - 1,
                                  r.origin.y + r.extent.h - 1))
                << category << " " << i;
        }
        EXPECT_GT(named, 0) << category;
    }
}

TEST_F(DesignCaptureTest, TheQuestionNamesOneDesignOrBothOnItsOwnLine) {
    // The same name: line 7 with it at (180, 230); two names: line 8 with both at (180, 222).
    for (const bool same : {true, false}) {
        SCOPED_TRACE(same);
        Open();
        ClickButton(26);
        ClickButton(24);
        std::snprintf(Library().selected->name, 128, "%s", "alpha");
        std::snprintf(Edited().name, 128, "%s", same ? "alpha" : "beta");
        screen->editState = DesignScreen::kChanged;
        ClickButton(14);
        ASSERT_EQ(screen->question, 14);
        Frame();
        const std::string text = same ? FormatText(GetString(7), {"alpha"})
                                      : FormatText(GetString(8), {"alpha", "beta"});
        ASSERT_FALSE(text.empty());
        const Point at = same ? Point(180, 230) : Point(180, 222);
        EXPECT_TRUE(ShowsText(f->display, *f->world->font, at, text, 110, 180, 210, 460, 250));
        screen->Unload();
        screen.reset();
    }
}

TEST_F(DesignCaptureTest, TheStatusLineIsFramedTwiceRoundItsBox) {
    Open();
    f->world->statusColour = 3;
    const uint8_t box = 3;
    const uint8_t text = static_cast<uint8_t>(f->world->ColourOf(3));
    ASSERT_NE(box, text);
    TextWriter& font = *f->world->font;
    // The design library's lines, with either file's name, are drawn whole in the free band
    // between the statistics and the panels, in every panel mode: nothing else the screen draws
    // changes (the tab column and the statistics' heading row among it), and the band showed
    // the background and the panel's backdrop alone before.
    const Rect band = DesignScreen::kFreeStatusBand;
    const int x0 = band.origin.x - 2, y0 = band.origin.y - 2;
    const int x1 = band.origin.x + band.extent.w + 1, y1 = band.origin.y + band.extent.h + 1;
    auto page = [&] {
        return std::vector<uint8_t>(f->display.BackPage(), f->display.BackPage() + 640 * 480);
    };
    auto pictures = [&](std::vector<int> rows) {
        std::fill(f->display.BackPage(), f->display.BackPage() + 640 * 480, 0);
        f->display.SetClipRect(Rect(Point(0, 0), Size(640, 480)));
        for (int row : rows) {
            ResourceFile file;
            EXPECT_EQ(file.Open(DesignScreen::kLargePack, ResourceFile::OpenMode::Pack), 1);
            EXPECT_EQ(file.SelectEntry(0, row), 1);
            Bitmap(&file).DrawAt(Point(0, 0));
        }
        f->display.ResetClipRect();
        return page();
    };
    const struct {
        int tab;
        std::vector<int> backdrop;
    } panels[] = {{26, {0, 29}}, {25, {0, 30}}, {24, {0}}};
    for (const auto& p : panels) {
        SCOPED_TRACE(p.tab);
        f->world->statusText[0] = 0;
        ClickButton(p.tab);
        const std::vector<uint8_t> bare = page();
        const std::vector<uint8_t> plain = pictures(p.backdrop);
        int drawnInBand = 0;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                drawnInBand += bare[y * 640 + x] != plain[y * 640 + x];
        EXPECT_EQ(drawnInBand, 0);
        for (const int line : {World::kUnreadableDesignsLine, World::kDesignsNotWrittenLine}) {
            for (const char* file : {"V.vdf", "T.vdf"}) {
                const std::string said = std::string(World::MessageLine(line)) + " " + file;
                SCOPED_TRACE(said);
                EXPECT_LE(1 + font.TextWidth(said.c_str()), band.extent.w);
                std::snprintf(f->world->statusText, sizeof f->world->statusText, "%s",
                              said.c_str());
                Frame();
                const std::vector<uint8_t> shown = page();
                int changed = 0;
                for (int i = 0; i < 640 * 480; ++i) {
                    const int x = i % 640, y = i / 640;
                    if (x < x0 || x > x1 || y < y0 || y > y1) changed += shown[i] != bare[i];
                }
                EXPECT_EQ(changed, 0);
                EXPECT_EQ(shown[y0 * 640 + x0], box);
                EXPECT_EQ(shown[(y0 + 1) * 640 + x0 + 1], text);
                EXPECT_TRUE(ShowsText(
                    f->display, font, Point(band.origin.x + 1, band.origin.y + band.extent.h - 3),
                    said, text, band.origin.x, band.origin.y, band.origin.x + band.extent.w - 1,
                    band.origin.y + band.extent.h - 1));
            }
        }
    }
    // A line too long for the band (a chat message) keeps the row across the top of the
    // screen.
    const std::string chat = "[host]: " + std::string(60, 'w');
    ASSERT_GT(1 + font.TextWidth(chat.c_str()), band.extent.w);
    std::snprintf(f->world->statusText, sizeof f->world->statusText, "%s", chat.c_str());
    Show();
    // The box is 620 by 15 at (10, 10); the inner frame one pixel round it, the outer two.
    for (const auto& [x, y, colour] : std::vector<std::tuple<int, int, uint8_t>>{{629, 17, box},
                                                                                 {630, 17, text},
                                                                                 {631, 17, box},
                                                                                 {9, 17, text},
                                                                                 {8, 17, box},
                                                                                 {300, 9, text},
                                                                                 {300, 25, text},
                                                                                 {300, 26, box},
                                                                                 {300, 8, box}})
        EXPECT_EQ(At(x, y), colour) << x << "," << y;
    // An open chat line takes the outer frame and the box in the player's colour; the line's
    // field (colour 34) draws its own frame over the inner one.
    f->world->networkGame = 1;
    f->world->localPlayer.third = 5;
    Key('U');
    const uint8_t own = 5;
    const uint8_t field = 34;
    Show();
    for (const auto& [x, y, colour] : std::vector<std::tuple<int, int, uint8_t>>{{631, 17, own},
                                                                                 {630, 17, field},
                                                                                 {9, 17, field},
                                                                                 {8, 17, own},
                                                                                 {300, 25, field},
                                                                                 {300, 26, own},
                                                                                 {300, 12, own},
                                                                                 {629, 17, own}})
        EXPECT_EQ(At(x, y), colour) << x << "," << y;
    f->world->networkGame = 0;
}

TEST_F(DesignCaptureTest, AQuestionNamesDesignsWithoutReadingTheirNamesAsFormats) {
    Open();
    ClickButton(26);
    ClickButton(24);
    std::snprintf(Library().selected->name, 128, "%s", "%s%n%s");
    std::snprintf(Edited().name, 128, "%s", "%d%s");
    screen->editState = DesignScreen::kChanged;
    ClickButton(14);
    ASSERT_EQ(screen->question, 14);
    Show();
    Capture(f->display, "design-question");
    int lettered = 0;
    for (int y = 210; y <= 250; ++y)
        for (int x = 180; x <= 460; ++x)
            lettered += At(x, y) == 110;
    EXPECT_GT(lettered, 0);
}

TEST_F(DesignCaptureTest, EntriesWithoutFramesAndLayoutsOutOfRangeDrawNothing) {
    Open();
    // A chassis whose panel pictures hold no frame, naming a layout the screen does not have.
    auto* chassis = static_cast<ChassisTemplate*>(screen->VisibleEntry(0));
    ASSERT_NE(chassis, nullptr);
    chassis->panelPictures = std::make_unique<SpriteSet>(0);
    chassis->designPanelIndex = 15;
    screen->FillFirstPage(0);
    Show();
    ClickButton(27);
    EXPECT_EQ(Edited().chassis, chassis);
    EXPECT_EQ(screen->ShownHardpointPanel(), nullptr);
    EXPECT_EQ(screen->shownHardpointPanel, -1);
    Show();
    Move(Point(320, 250));
    Post(InputKind::ButtonDown, Point(320, 250), 'R');
    EXPECT_EQ(Frame(), 1);
}

// A part page marks each entry with the icon of its mount size, at the button's top right; a
// page of chassis or drives marks none.
TEST_F(DesignCaptureTest, EachPartEntryCarriesItsMountSizeIconAtTheTopRight) {
    Open();
    // Where the icon of the size lies, drawn alone on a cleared page at the entry's corner.
    auto iconPixels = [&](int size, const Rect& r, const Point& shift) {
        std::fill(f->display.BackPage(), f->display.BackPage() + 640 * 480, 0);
        f->display.SetClipRect(r);
        ResourceFile file;
        EXPECT_EQ(file.Open(DesignScreen::kSmallPack, ResourceFile::OpenMode::Pack), 1);
        EXPECT_EQ(file.SelectEntry(0, 66 + size), 1);
        Bitmap icon(&file);
        const int right = r.origin.x + r.extent.w - 1;
        icon.DrawAt(Point(right + 2 - icon.FrameSize().w, r.origin.y + 1) - icon.Origin() + shift);
        f->display.ResetClipRect();
        std::vector<std::pair<int, uint8_t>> inked;
        for (int y = r.origin.y; y < r.origin.y + r.extent.h; ++y)
            for (int x = r.origin.x; x < r.origin.x + r.extent.w; ++x)
                if (const uint8_t c = f->display.BackPage()[y * 640 + x])
                    inked.push_back({y * 640 + x, c});
        return inked;
    };
    int marked = 0;
    for (int category = 3; category <= 6; ++category) {
        ASSERT_EQ(screen->SelectCategory(category, 1), 1);
        Show();
        const std::vector<uint8_t> shown(f->display.FrontPage(),
                                         f->display.FrontPage() + 640 * 480);
        for (int i = 0; i < 3; ++i) {
            const auto* entry = dynamic_cast<const MountTemplate*>(screen->VisibleEntry(i));
            if (!entry || entry->mountSize < 1 || entry->mountSize > 4) continue;
            const Rect r = screen->ButtonOf(27 + i)->Bounds();
            auto matches = [&](const Point& shift) {
                const auto inked = iconPixels(entry->mountSize, r, shift);
                EXPECT_FALSE(inked.empty());
                return std::all_of(inked.begin(), inked.end(),
                                   [&](const auto& p) { return shown[p.first] == p.second; });
            };
            EXPECT_TRUE(matches(Point(0, 0))) << category << " " << i;
            EXPECT_FALSE(matches(Point(-2, 0))) << category << " " << i;
            ++marked;
        }
    }
    EXPECT_GT(marked, 0);
    // The other pages carry no icon of any size there.
    for (int category = 0; category < 3; ++category) {
        ASSERT_EQ(screen->SelectCategory(category, 1), 1);
        Show();
        const std::vector<uint8_t> shown(f->display.FrontPage(),
                                         f->display.FrontPage() + 640 * 480);
        for (int i = 0; i < 3; ++i) {
            if (!screen->VisibleEntry(i)) continue;
            const Rect r = screen->ButtonOf(27 + i)->Bounds();
            for (int size = 1; size <= 4; ++size) {
                const auto inked = iconPixels(size, r, Point(0, 0));
                EXPECT_FALSE(std::all_of(inked.begin(), inked.end(),
                                         [&](const auto& p) { return shown[p.first] == p.second; }))
                    << category << " " << i << " " << size;
            }
        }
    }
}

}  // namespace
