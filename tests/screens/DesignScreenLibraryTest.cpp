// The design screen's library upkeep and its settings panels: the remembered design when
// designs went away, a design value no option row holds, the selected group's colour, and a
// row chosen in an empty library.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "DesignScreenTestFixture.h"
#include "catalogue/DesignGroup.h"
#include "core/KeyCodes.h"
#include "core/MemoryDisplay.h"
#include "screens/battle/ControlPanel.h"
#include "support/TextCheck.h"
#include "ui/ScrollList.h"

namespace {

using DesignLibraryTest = DesignScreenTest;

// The palette indices of one list row's pixels.
int CountInRow(const MemoryDisplay& display, const ScrollList& list, int row, int colour) {
    int n = 0;
    const Rect r = list.listRect;
    for (int y = r.origin.y + row * list.lineHeight; y < r.origin.y + (row + 1) * list.lineHeight;
         ++y) {
        for (int x = r.origin.x; x < r.origin.x + r.extent.w; ++x)
            n += display.BackPage()[y * 640 + x] == colour;
    }
    return n;
}

TEST_F(DesignLibraryTest, TheRememberedDesignMovesUpByTheDesignsThatWentAway) {
    Open();
    ClickButton(26);
    screen->DesignList()->SetSelection(4);
    Key(kKeyDown);
    VehicleDesign* fifth = Library().selected;
    ASSERT_EQ(fifth, Library().AvailableAt(5));
    ASSERT_TRUE(fifth);
    screen->Deactivate();
    ASSERT_EQ(screen->rememberedIndex, 5);
    // Two designs went while the screen was away, and nothing is selected now.
    Library().selected = nullptr;
    screen->rememberedCount += 2;
    screen->Activate();
    EXPECT_EQ(screen->DesignList()->selection, 3);
    EXPECT_EQ(Library().selected, Library().AvailableAt(3));
    // A selection made elsewhere (the battle's build list) wins over the remembered one.
    screen->Deactivate();
    Library().selected = fifth;
    screen->rememberedCount += 2;
    screen->Activate();
    EXPECT_EQ(screen->DesignList()->selection, 5);
    // Designs that came while away were added after it, so the remembered row stays.
    screen->Deactivate();
    Library().selected = nullptr;
    screen->rememberedCount -= 2;
    screen->Activate();
    EXPECT_EQ(screen->DesignList()->selection, 5);
    EXPECT_EQ(Library().selected, fifth);
}

TEST_F(DesignLibraryTest, ADesignValueThatNoRowHoldsShowsNothingChosen) {
    Open();
    ControlPanel* standing = screen->GetControlPanel(9);
    ASSERT_TRUE(standing);
    auto pressedInGroup0 = [&] {
        int pressed = 0, at = -1;
        for (int k = 0; k < standing->Count(); ++k) {
            Button* b = standing->ButtonAt(k);
            if (b->id == 0 && b->pressed) {
                ++pressed;
                at = k;
            }
        }
        return std::pair<int, int>(pressed, at);
    };
    Edited().parameters[0] = 2;
    screen->RefreshPanels();
    EXPECT_EQ(pressedInGroup0(), std::make_pair(1, 2));
    Edited().parameters[0] = 40;
    screen->RefreshPanels();
    EXPECT_EQ(pressedInGroup0().first, 0);
}

TEST_F(DesignLibraryTest, TheSelectedGroupIsWrittenInItsOwnColour) {
    Open();
    DesignGroup* second = Library().AddGroup();
    ASSERT_TRUE(second);
    second->SetName("Second");
    ClickButton(26);
    ASSERT_EQ(screen->PanelModeNow(), DesignScreen::kLibrary);
    ScrollList& groups = *screen->GroupList();
    for (int selected = 0; selected < 2; ++selected) {
        groups.SetSelection(selected);
        Frame();
        const int other = 1 - selected;
        EXPECT_GT(CountInRow(f->display, groups, selected, 9), 0) << selected;
        EXPECT_EQ(CountInRow(f->display, groups, selected, 10), 0) << selected;
        EXPECT_GT(CountInRow(f->display, groups, other, 10), 0) << selected;
        EXPECT_EQ(CountInRow(f->display, groups, other, 9), 0) << selected;
    }
}

TEST_F(DesignLibraryTest, EachDesignAndMemberNameIsWrittenOnItsRowInItsColour) {
    Open();
    ClickButton(26);
    ASSERT_EQ(screen->PanelModeNow(), DesignScreen::kLibrary);
    ScrollList& designs = *screen->DesignList();
    const int rows = std::min(designs.count, designs.visibleRows);
    ASSERT_GE(rows, 2);
    // Row r's text at (left + 2, top + 2 + (r + 1) x line height); the chosen row in 9, the
    // others in 10.
    auto rowShows = [&](ScrollList& list, int row, const char* name, int colour) {
        const Rect r = list.listRect;
        const int y = r.origin.y + 2 + (row + 1) * list.lineHeight;
        return ShowsText(f->display, *f->world->font, Point(r.origin.x + 2, y), name, colour,
                         r.origin.x + 1, y - list.lineHeight + 1, r.origin.x + r.extent.w - 2, y);
    };
    for (const int chosen : {0, 1}) {
        designs.top = 0;
        designs.SetSelection(chosen);
        Frame();
        for (int row = 0; row < rows; ++row)
            EXPECT_TRUE(
                rowShows(designs, row, Library().AvailableAt(row)->name, row == chosen ? 9 : 10))
                << chosen << " " << row;
    }
    // An open group lists its members and writes its own name over the list.
    ClickButton(19);
    DesignGroup* group = screen->selectedGroup;
    ASSERT_NE(group, nullptr);
    group->SetName("Raiders");
    for (int i = 0; i < 2; ++i) {
        designs.SetSelection(i);
        ClickButton(17);
    }
    ClickButton(20);
    ASSERT_EQ(screen->groupOpen, 1);
    ScrollList& members = *screen->GroupList();
    members.SetSelection(1);
    Frame();
    EXPECT_TRUE(rowShows(members, 0, group->AvailableAt(0)->name, 10));
    EXPECT_TRUE(
        ShowsText(f->display, *f->world->font, Point(376, 150), "Raiders", 10, 375, 140, 491, 155));
    Frame();
    EXPECT_TRUE(rowShows(members, 1, group->AvailableAt(1)->name, 9));
    // A member clicked in the group's list is chosen in the list of all designs as well.
    for (const int row : {0, 1, 0}) {
        const Rect r = members.listRect;
        Click(Point(r.origin.x + 20,
                    r.origin.y + 2 + row * members.lineHeight + members.lineHeight / 2));
        VehicleDesign* member = group->AvailableAt(row);
        EXPECT_EQ(members.selection, row);
        EXPECT_EQ(designs.selection, Library().IndexOfAvailable(member)) << row;
        EXPECT_EQ(Library().selected, member) << row;
    }
    // On the parts and settings panels the edited design's name stands in its box.
    for (const int panel : {24, 25}) {
        ClickButton(panel);
        ASSERT_NE(screen->EditedDesign(), nullptr);
        EXPECT_TRUE(ShowsText(f->display, *f->world->font, Point(230, 422),
                              screen->EditedDesign()->name, 10, 222, 407, 412, 423))
            << panel;
    }
}

// In the library Up and Down step through the rows and wrap at both ends; the row's design
// becomes the chosen one, the screen's and the library's.
TEST_F(DesignLibraryTest, TheArrowsStepThroughTheRowsAndWrapAtBothEnds) {
    Open();
    ClickButton(26);
    ASSERT_EQ(screen->PanelModeNow(), DesignScreen::kLibrary);
    const int count = Library().CountAvailable();
    ASSERT_GE(count, 3);
    screen->DesignList()->SetSelection(0);
    const struct {
        int32_t key;
        int row;
    } steps[] = {{kKeyUp, count - 1}, {kKeyUp, count - 2}, {kKeyDown, count - 1},
                 {kKeyDown, 0},       {kKeyDown, 1},       {kKeyUp, 0}};
    for (const auto& s : steps) {
        EXPECT_EQ(Key(s.key), 1);
        EXPECT_EQ(screen->DesignList()->selection, s.row) << s.key;
        EXPECT_EQ(Library().selected, Library().AvailableAt(s.row)) << s.row;
        EXPECT_EQ(screen->selectedDesign, Library().selected) << s.row;
    }
}

TEST_F(DesignLibraryTest, ARowChosenInAnEmptyLibraryChoosesNothing) {
    Open();
    ClickButton(26);
    ASSERT_EQ(screen->PanelModeNow(), DesignScreen::kLibrary);
    while (VehicleDesign* d = Library().FirstAvailable())
        Library().DeleteDesign(d);
    Library().selected = nullptr;
    // The designs went behind the screen's back: it must not keep pointing at one.
    screen->selectedDesign = nullptr;
    // The keys that step through the rows find none to step to.
    EXPECT_EQ(Key(kKeyDown), 1);
    EXPECT_EQ(Key(kKeyUp), 1);
    EXPECT_EQ(Library().selected, nullptr);
}

// With the library gone the library panel's lists take no press, so its buttons still work.
TEST_F(DesignLibraryTest, WithoutALibraryThePanelsButtonsStillTakeTheirClicks) {
    Open();
    ClickButton(26);
    ASSERT_EQ(screen->PanelModeNow(), DesignScreen::kLibrary);
    std::unique_ptr<DesignLibrary> library = std::move(f->world->designLibrary);
    ClickButton(24);
    EXPECT_EQ(screen->PanelModeNow(), DesignScreen::kParts);
    f->world->designLibrary = std::move(library);
}

}  // namespace
