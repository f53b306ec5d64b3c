#include <gtest/gtest.h>

#include "screens/DesignScreenTestFixture.h"

namespace {

TEST_F(DesignScreenTest, OpensOnTheSampleSetAndDrawsEveryPanel) {
    Open();
    EXPECT_EQ(screen->PanelModeNow(), DesignScreen::kParts);
    for (int frame = 0; frame < 3; ++frame)
        EXPECT_EQ(Frame(), 1);
    EXPECT_EQ(ClickButton(26), 1);
    EXPECT_EQ(screen->PanelModeNow(), DesignScreen::kLibrary);
    EXPECT_EQ(ClickButton(25), 1);
    EXPECT_EQ(screen->PanelModeNow(), DesignScreen::kSettings);
}

}  // namespace
