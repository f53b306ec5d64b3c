// The design screen's group commands when the library holds no group: nothing to open, close
// or delete, and the screen goes on.
#include <gtest/gtest.h>

#include "DesignScreenTestFixture.h"
#include "catalogue/DesignGroup.h"
#include "ui/ScrollList.h"

namespace {

using DesignGroupCommandTest = DesignScreenTest;

TEST_F(DesignGroupCommandTest, GroupCommandsWithoutAGroupDoNothing) {
    Open();
    ClickButton(26);
    ASSERT_EQ(screen->PanelModeNow(), DesignScreen::kLibrary);
    // Delete every group through the screen.
    for (int guard = 0; Library().groups.Count() > 0 && guard < 100; ++guard)
        screen->SelectCategory(21, 1);
    ASSERT_EQ(Library().groups.Count(), 0);
    for (int command : {20, 21, 18}) {
        SCOPED_TRACE(command);
        EXPECT_EQ(screen->SelectCategory(command, 1), 1);
        EXPECT_EQ(screen->GroupList()->count, 0);
        EXPECT_EQ(Library().groups.Count(), 0);
    }
    EXPECT_EQ(Frame(), 1);
}

}  // namespace
