#include <gtest/gtest.h>

#include "core/KeyCodes.h"
#include "screens/battle/BattleScreenFixture.h"
#include "screens/battle/DesignPanels.h"
#include "screens/battle/OptionsMenu.h"
#include "ui/Button.h"

namespace {

class BattleOverlaysTest : public BattleScreenTest {
protected:
    void Press(int32_t key) {
        Post(InputKind::Key, Point(300, 200), key);
        Frame();
    }
    OptionsMenu& Menu() { return static_cast<OptionsMenu&>(*screen->optionsMenu); }
};

TEST_F(BattleOverlaysTest, TheMissionTextButtonClosesTheMenuAndOpensTheTextUntilAnswered) {
    world().scenario->missionNumber = 3;
    Press(kKeyEscape);
    ASSERT_EQ(screen->optionsOpen, 1);
    Click(Menu().WidgetOf(OptionsMenu::kMissionText)->hitRect.Centre());
    EXPECT_EQ(screen->optionsOpen, 0);
    ASSERT_TRUE(screen->missionText);
    // The dialog takes every key of a batch and the last one decides: Esc then V leaves it open
    // (and V never reaches the battle); Esc alone answers it and the screen goes on.
    Post(InputKind::Key, Point(300, 200), kKeyEscape);
    Post(InputKind::Key, Point(300, 200), 'v');
    EXPECT_EQ(Frame(), 1);
    EXPECT_TRUE(screen->missionText);
    EXPECT_EQ(screen->showAllMarkers, 0);
    Press(kKeyEscape);
    EXPECT_FALSE(screen->missionText);
    EXPECT_EQ(screen->showAllMarkers, 0);
}

TEST_F(BattleOverlaysTest, QuitInTheMenuEndsTheScreenForTheMainMenu) {
    Press(kKeyEscape);
    Click(Menu().WidgetOf(OptionsMenu::kQuit)->hitRect.Centre());
    EXPECT_EQ(screen->goOn, 0);
    EXPECT_EQ(world().requestedMode, static_cast<int>(GameMode::MainMenu));
}

}  // namespace

// Without a World there are no design panels to find (and nothing is read through it).
TEST(DesignPanelsLookup, NoneWithoutAWorld) {
    ASSERT_EQ(TheWorld(), nullptr);
    EXPECT_EQ(FindDesignPanels(), nullptr);
}
