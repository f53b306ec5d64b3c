#include <gtest/gtest.h>

#include <algorithm>

#include "catalogue/ChassisTemplate.h"
#include "catalogue/MountTemplate.h"
#include "catalogue/WeaponTemplate.h"
#include "core/Bitmap.h"
#include "screens/DesignScreenTestFixture.h"
#include "screens/HardpointPanel.h"
#include "support/TextCheck.h"

namespace {

// A panel of three buttons for a two-hardpoint chassis (Trooper: capacities 1 and 3).
class HardpointPanelTest : public DesignScreenTest {
protected:
    void SetUp() override {
        DesignScreenTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        chassis = static_cast<ChassisTemplate*>(FindInList(ChassisList, 'V', 'b'));
        small = FindWeaponTemplate('V', 'a');
        large = FindWeaponTemplate('V', 'd');
        ASSERT_TRUE(chassis && small && large);
        ASSERT_EQ(chassis->hardpointCount, 2);
        ASSERT_EQ(small->mountSize, 1);
        ASSERT_EQ(large->mountSize, 2);
        ASSERT_NE(large->panelBitmap, nullptr);
        for (int h = 0; h < 3; ++h)
            panel.AddHardpointButton(At(h), 17, 17, h, (h + 1) % 2, nullptr, {}, {}, {}, h);
        panel.EnableAll(1);
        ASSERT_EQ(design.SetPrimaryPart(chassis), 1);
    }
    static Point At(int h) { return Point(500 + 30 * h, 60 + 40 * h); }
    static Point Inside(int h) { return At(h) + Point(8, 8); }
    int Mouse(InputKind kind, int h, MountTemplate* part, int32_t button = 'L') {
        return panel.HandleMouse(InputEvent(kind, Inside(h), button), design, part);
    }
    // Press on a button and release far from it.
    void PressAndRelease(int h, MountTemplate* part) {
        Mouse(InputKind::ButtonDown, h, part);
        panel.HandleMouse(InputEvent(InputKind::ButtonUp, Point(5, 5), 'L'), design, part);
    }

    HardpointPanel panel{nullptr};
    VehicleDesign design{'V'};
    ChassisTemplate* chassis = nullptr;
    MountTemplate* small = nullptr;
    MountTemplate* large = nullptr;
};

TEST_F(HardpointPanelTest, APartCarriedOverAHardpointShowsPressedOnlyWhereItFits) {
    // Capacity 1, 3, and a third button the chassis has no hardpoint for.
    const int fitsLarge[3] = {0, 1, 0};
    for (int h = 0; h < 3; ++h) {
        EXPECT_EQ(Mouse(InputKind::MouseMove, h, large), 1);
        EXPECT_EQ(panel.ButtonOf(h)->pressed, fitsLarge[h]) << h;
        EXPECT_EQ(Mouse(InputKind::MouseMove, h, small), 1);
        EXPECT_EQ(panel.ButtonOf(h)->pressed, h < 2 ? 1 : 0) << h;
    }
    // Leaving a button clears it; without a part nothing is shown pressed.
    panel.HandleMouse(InputEvent(InputKind::MouseMove, Point(5, 5), 0), design, small);
    EXPECT_EQ(panel.ButtonOf(1)->pressed, 0);
    Mouse(InputKind::MouseMove, 1, nullptr);
    EXPECT_EQ(panel.ButtonOf(1)->pressed, 0);
}

TEST_F(HardpointPanelTest, AReleaseAnywhereAssignsAndARefusalChangesNothing) {
    EXPECT_EQ(panel.AssignPart(design, large), 0);
    PressAndRelease(1, large);
    EXPECT_EQ(panel.AssignPart(design, large), 1);
    EXPECT_EQ(design.hardpoints[1], large);
    EXPECT_EQ(panel.pictures[1], static_cast<Image*>(large->panelBitmap.get()));
    ASSERT_NE(panel.labels[1], nullptr);
    EXPECT_STREQ(panel.labels[1], large->shortText->c_str());
    // The release is used up.
    EXPECT_EQ(panel.AssignPart(design, large), 0);

    // Too large for hardpoint 0, and hardpoint 2 does not exist on this chassis.
    PressAndRelease(0, small);
    ASSERT_EQ(panel.AssignPart(design, small), 1);
    for (int h : {0, 2}) {
        PressAndRelease(h, large);
        EXPECT_EQ(panel.AssignPart(design, large), 0) << h;
    }
    EXPECT_EQ(design.hardpoints[0], small);
    EXPECT_EQ(panel.pictures[0], static_cast<Image*>(small->panelBitmap.get()));
    EXPECT_STREQ(panel.labels[0], small->shortText->c_str());
    EXPECT_EQ(design.hardpoints[2], nullptr);
    // A panel without buttons takes no event and answers every tick as placed, touching nothing.
    HardpointPanel bare{nullptr};
    EXPECT_EQ(bare.HandleMouse(InputEvent(InputKind::ButtonUp, Inside(1), 'L'), design, large), 0);
    EXPECT_EQ(bare.AssignPart(design, large), 1);
    EXPECT_EQ(design.hardpoints[0], small);
    EXPECT_EQ(bare.pictures[0], nullptr);
}

TEST_F(HardpointPanelTest, AssigningWithoutAPartClearsTheHardpoint) {
    PressAndRelease(1, small);
    ASSERT_EQ(panel.AssignPart(design, small), 1);
    Mouse(InputKind::ButtonDown, 1, nullptr, 'R');
    Mouse(InputKind::ButtonUp, 1, nullptr, 'R');
    EXPECT_EQ(panel.AssignPart(design, nullptr), 1);
    EXPECT_EQ(design.hardpoints[1], nullptr);
    EXPECT_EQ(panel.pictures[1], nullptr);
    EXPECT_EQ(panel.labels[1], nullptr);
    // A disabled panel takes no press.
    panel.EnableAll(0);
    EXPECT_EQ(Mouse(InputKind::ButtonDown, 1, small), 0);
}

TEST_F(HardpointPanelTest, DrawsPicturesAndLabelsOnTheirSides) {
    std::fill(f->display.BackPage(), f->display.BackPage() + 640 * 480, 0);
    f->display.SetClipRect(Rect(Point(0, 0), Size(640, 480)));
    PressAndRelease(0, small);
    ASSERT_EQ(panel.AssignPart(design, small), 1);
    PressAndRelease(1, small);
    ASSERT_EQ(panel.AssignPart(design, small), 1);
    panel.Draw(Point(0, 0));
    const int label = static_cast<int>(small->shortText->size());
    // Hardpoint 0 writes right of its picture, hardpoint 1 (side 0) left of it.
    auto inked = [&](int x0, int x1, int y) {
        int n = 0;
        for (int x = x0; x < x1; ++x)
            for (int dy = -8; dy <= 3; ++dy)
                n += f->display.BackPage()[(y + dy) * 640 + x] == HardpointPanel::kLabelColour;
        return n;
    };
    const Point p0 = panel.picturePoints[0];
    const Point p1 = panel.picturePoints[1];
    EXPECT_GT(inked(p0.x + 12, p0.x + 12 + 6 * label, p0.y + 3), 0);
    EXPECT_GT(inked(p1.x - 6 * label - 12, p1.x - 12, p1.y + 3), 0);
    EXPECT_EQ(inked(p1.x + 12, p1.x + 40, p1.y + 3), 0);
    // Exactly the label, 12 pixels right of the picture's point, or ending 12 pixels left of it
    // at six pixels a letter; three pixels below it.
    const std::string text = *small->shortText;
    const Point right = p0 + Point(12, 3);
    const Point left(p1.x - 6 * label - 12, p1.y + 3);
    for (const Point& at : {right, left})
        EXPECT_TRUE(ShowsText(f->display, *f->world->font, at, text, HardpointPanel::kLabelColour,
                              at.x - 2, at.y - 11, at.x + 6 * label + 2, at.y + 2))
            << at.x << "," << at.y;
}

// The screen shows the panel the chassis names, from the first layout to the last, with the
// edited design's parts on its hardpoints and its buttons usable; a name outside the layouts
// shows none. The panel shown before loses its pictures and its buttons.
TEST_F(HardpointPanelTest, TheScreenShowsEveryLayoutItHasAndNoneOutside) {
    Open();
    VehicleDesign& edited = Edited();
    ASSERT_EQ(edited.SetPrimaryPart(chassis), 1);
    edited.hardpoints[0] = small;
    const struct {
        int index, shown;
    } cases[] = {{0, 0},
                 {DesignScreen::kHardpointPanels - 1, DesignScreen::kHardpointPanels - 1},
                 {-1, -1},
                 {1, 1},
                 {DesignScreen::kHardpointPanels, -1},
                 {0, 0}};
    HardpointPanel* before = nullptr;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        screen->ShowHardpointPanel(c.index);
        EXPECT_EQ(screen->shownHardpointPanel, c.shown);
        HardpointPanel* shown = screen->ShownHardpointPanel();
        ASSERT_EQ(shown != nullptr, c.shown >= 0);
        if (before && before != shown) {
            EXPECT_EQ(before->pictures[0], nullptr);
            for (int h = 0; h < HardpointPanel::kHardpoints; ++h)
                if (Button* b = before->ButtonOf(h)) {
                    EXPECT_EQ(b->enabled, 0) << h;
                }
        }
        if (shown) {
            ASSERT_NE(shown->ButtonOf(0), nullptr);
            EXPECT_EQ(shown->ButtonOf(0)->enabled, 1);
            EXPECT_EQ(shown->pictures[0], small->panelBitmap.get());
            EXPECT_STREQ(shown->labels[0], small->shortText->c_str());
            EXPECT_EQ(shown->pictures[1], nullptr);
        }
        before = shown;
    }
    edited.hardpoints[0] = nullptr;
}

}  // namespace
