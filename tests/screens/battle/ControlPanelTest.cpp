#include "screens/battle/ControlPanel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "catalogue/VehicleDesign.h"
#include "core/BitmapEncoder.h"
#include "core/InputEvent.h"
#include "core/PackWriter.h"
#include "core/ResourceFile.h"
#include "core/SpriteSet.h"
#include "core/TextWriter.h"
#include "support/DisplayFixtures.h"
#include "world/WorldTestFixture.h"

namespace {

constexpr int kRowLeft = 100;
constexpr int kRowWidth = 200;

// Rows are 20 pixels apart from y = 50; the knob is the row's first 19 pixels.
Rect RowAt(int row) {
    return Rect(Point(kRowLeft, 50 + 20 * row), Size(kRowWidth, 18));
}
Point InRow(int row) {
    return RowAt(row).origin + Point(150, 5);
}

class ControlPanelTest : public ::testing::Test {
protected:
    void SetUp() override { f.world->font = std::make_unique<TextWriter>(MakeTestFont()); }
    Button* AddOption(int group, int row) {
        return panel.AddButton(RowAt(row).origin, 19, 18, nullptr, {}, {}, {}, 1, Point(), Point(),
                               group, RowAt(row));
    }
    Button* AddSlider(int group, int y) {
        return panel.AddButton(Point(200, y), 38, 27, nullptr, {}, {}, {}, 3, Point(200, y),
                               Point(400, y), group, Rect());
    }
    int Mouse(InputKind kind, const Point& p) {
        return panel.HandleMouse(InputEvent(kind, p, 'L'));
    }
    void Click(const Point& p) {
        Mouse(InputKind::ButtonDown, p);
        Mouse(InputKind::ButtonUp, p);
    }

    WorldFixture f;
    ControlPanel panel{nullptr};
    VehicleDesign design{'V'};
};

TEST_F(ControlPanelTest, OptionValuesAreListPositionsCountedFromTheLastButtonAdded) {
    for (int row = 0; row < 4; ++row)
        AddOption(6, row);
    AddOption(5, 4);
    AddOption(5, 5);
    panel.EnableAll(1);
    // Rows from the top: group 6 takes 5, 4, 3, 2; group 5 takes 1, 0.
    const int expected[6] = {5, 4, 3, 2, 1, 0};
    for (int row = 0; row < 6; ++row) {
        const int group = row < 4 ? 6 : 5;
        // Start from another value the parameter can hold (parameter 6 keeps to 2 .. 5).
        const int other = group == 6 ? (expected[row] == 5 ? 2 : 5) : 1 - expected[row];
        design.SetParameter(group, other);
        Click(InRow(row));
        EXPECT_EQ(panel.OnRelease(design), 1) << "row " << row;
        EXPECT_EQ(design.parameters[group], expected[row]) << "row " << row;
        // The release stays until the panel is refreshed, and reports no change again.
        EXPECT_EQ(panel.OnRelease(design), 0);
        // Only the row just released shows selected in its group.
        for (int r = 0; r < 6; ++r) {
            if ((r < 4 ? 6 : 5) == group) {
                EXPECT_EQ(panel.ButtonAt(expected[r])->pressed, r == row ? 1 : 0);
            }
        }
    }
}

TEST_F(ControlPanelTest, PressingPlaysFeedbackAndReleasingAnywhereApplies) {
    AddOption(0, 0);
    AddOption(0, 1);
    panel.EnableAll(1);
    EXPECT_EQ(Mouse(InputKind::ButtonDown, Point(5, 5)), 0);
    EXPECT_EQ(Mouse(InputKind::ButtonDown, InRow(0)), 1);
    EXPECT_EQ(panel.ButtonAt(1)->highlighted, 1);
    // Released far from the row: the pressed option still applies.
    EXPECT_EQ(Mouse(InputKind::ButtonUp, Point(630, 470)), 1);
    EXPECT_EQ(panel.ButtonAt(1)->highlighted, 0);
    design.SetParameter(0, 0);
    EXPECT_EQ(panel.OnRelease(design), 1);
    EXPECT_EQ(design.parameters[0], 1);
    // A disabled panel takes nothing.
    panel.EnableAll(0);
    EXPECT_EQ(Mouse(InputKind::ButtonDown, InRow(1)), 0);
}

TEST_F(ControlPanelTest, ASliderDraggedPastItsTravelStopsAtTheEndAndShowsAtMost99) {
    Button* slider = AddSlider(1, 100);
    EXPECT_EQ(panel.current, slider);
    Mouse(InputKind::ButtonDown, Point(210, 110));
    Mouse(InputKind::MouseMove, Point(900, 300));
    EXPECT_EQ(slider->rect.origin, Point(400, 100));
    EXPECT_EQ(slider->GetValue(), 100);
    Mouse(InputKind::ButtonUp, Point(900, 300));
    design.SetParameter(1, 0);
    EXPECT_EQ(panel.OnRelease(design), 1);
    EXPECT_EQ(design.parameters[1], 99);
    Mouse(InputKind::ButtonDown, Point(410, 110));
    Mouse(InputKind::MouseMove, Point(-500, 110));
    EXPECT_EQ(slider->rect.origin, Point(200, 100));
    Mouse(InputKind::ButtonUp, Point(0, 0));
    EXPECT_EQ(panel.OnRelease(design), 1);
    EXPECT_EQ(design.parameters[1], 0);

    // The value is written "%2d" left of the knob's centre, capped at 99; -1 hides it.
    ScreenFixture screen;
    panel.SetSliderValue(1, 0, 100);
    panel.Draw(Point(0, 0));
    std::vector<uint8_t> drawn(screen.Back(), screen.Back() + 640 * 480);
    std::memset(screen.Back(), 0, 640 * 480);
    f.world->font->DrawText(slider->Centre() + Point(-7, 3), "99", ControlPanel::kValueColour);
    EXPECT_EQ(std::memcmp(drawn.data(), screen.Back(), drawn.size()), 0);
    EXPECT_GT(screen.CountNot(0), 0);
    std::memset(screen.Back(), 0, 640 * 480);
    panel.SetSliderValue(1, 0, -1);
    panel.Draw(Point(0, 0));
    EXPECT_EQ(screen.CountNot(0), 0);
}

TEST_F(ControlPanelTest, APositionWithoutARowOfTheGroupShowsNothingChosenInIt) {
    AddOption(4, 0);
    AddOption(4, 1);
    AddOption(0, 2);
    AddOption(0, 3);
    Button* slider = AddSlider(1, 300);
    panel.EnableAll(1);
    // Positions: 0 the slider, 1 and 2 group 0, 3 and 4 group 4.
    panel.SelectInGroup(0, 2);
    panel.SelectInGroup(4, 4);
    EXPECT_EQ(panel.current, panel.ButtonAt(4));
    // Position 2 belongs to group 0: group 4 shows nothing, group 0 keeps its choice.
    panel.SelectInGroup(4, 2);
    EXPECT_EQ(panel.ButtonAt(3)->pressed + panel.ButtonAt(4)->pressed, 0);
    EXPECT_EQ(panel.ButtonAt(2)->pressed, 1);
    EXPECT_EQ(panel.current, nullptr);
    // Several units that differ (-1), and a position past the list, clear group 0 alike.
    panel.SelectInGroup(0, 1);
    panel.SelectInGroup(0, -1);
    EXPECT_EQ(panel.ButtonAt(1)->pressed + panel.ButtonAt(2)->pressed, 0);
    panel.SelectInGroup(4, 3);
    panel.SelectInGroup(4, 9);
    EXPECT_EQ(panel.ButtonAt(3)->pressed, 0);
    // The slider and its pressed state are no group's option.
    EXPECT_EQ(slider->pressed, 1);
    // A press after nothing was chosen applies as usual; a refresh drops a pending release.
    design.SetParameter(4, 0);
    Click(InRow(1));
    EXPECT_EQ(panel.OnRelease(design), 1);
    EXPECT_EQ(design.parameters[4], 3);
    Click(InRow(3));
    panel.SelectInGroup(0, -1);
    EXPECT_EQ(panel.OnRelease(design), 0);
}

TEST_F(ControlPanelTest, AnUprightSliderFollowsThePointerUpAndDownWithinItsTravel) {
    Button* slider =
        panel.AddButton(Point(200, 100), 38, 27, nullptr, {}, {}, {}, Button::kVerticalSlider,
                        Point(200, 100), Point(200, 300), 1, Rect());
    const struct {
        Point press, move;
        Point origin;
        int value;
    } drags[] = {{Point(210, 110), Point(900, 150), Point(200, 140), 20},
                 {Point(210, 150), Point(0, 900), Point(200, 300), 100},
                 {Point(210, 310), Point(210, -500), Point(200, 100), 0}};
    for (const auto& d : drags) {
        Mouse(InputKind::ButtonDown, d.press);
        EXPECT_EQ(Mouse(InputKind::MouseMove, d.move), 1);
        EXPECT_EQ(slider->rect.origin, d.origin) << d.move.y;
        EXPECT_EQ(slider->GetValue(), d.value) << d.move.y;
        EXPECT_EQ(panel.valuesVisible, 1);
        Mouse(InputKind::ButtonUp, d.move);
    }
    // Released, the knob stays where the pointer goes.
    Mouse(InputKind::MouseMove, Point(210, 250));
    EXPECT_EQ(slider->rect.origin, Point(200, 100));
}

// The background drawn with offset (0, 0) stands at its own place, the screen's top left;
// any other offset is the picture's centre.
TEST_F(ControlPanelTest, TheBackgroundStandsAtItsPlaceOrIsCentredOnTheOffset) {
    const std::vector<uint8_t> pixels(4 * 2, 9);
    PackWriter writer(1, 1);
    writer.SetEntry(0, 0, EncodeRawBitmap(pixels.data(), 4, 2, 4));
    const std::vector<uint8_t> bytes = writer.Build();
    ResourceFile pack;
    ASSERT_EQ(pack.OpenBytes(bytes.data(), bytes.size()), 1);
    ASSERT_EQ(pack.SelectEntry(0, 0), 1);
    ControlPanel pictured(&pack);
    ScreenFixture screen;
    const struct {
        Point offset, topLeft;
    } cases[] = {{Point(0, 0), Point(0, 0)}, {Point(100, 50), Point(98, 49)}};
    for (const auto& c : cases) {
        std::memset(screen.Back(), 0, 640 * 480);
        pictured.Draw(c.offset);
        EXPECT_EQ(screen.CountNot(0), 8) << c.offset.x;
        EXPECT_EQ(screen.At(c.topLeft.x, c.topLeft.y), 9) << c.offset.x;
        EXPECT_EQ(screen.At(c.topLeft.x + 3, c.topLeft.y + 1), 9) << c.offset.x;
    }
}

}  // namespace
