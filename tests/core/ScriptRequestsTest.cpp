// What the World reports to a headless run's script each tick.
#include "core/ScriptRequests.h"

#include <gtest/gtest.h>

#include "platform/ScriptHooks.h"

TEST(ScriptRequests, TheBattleStateFollowsWhetherABattleIsOnAndPaused) {
    struct Case {
        bool inBattle;
        bool paused;
        winx_ScriptBattle state;
    };
    // Out of a battle a pause flag left over from the last one means nothing.
    const Case cases[] = {{false, false, winx_ScriptBattle::None},
                          {false, true, winx_ScriptBattle::None},
                          {true, true, winx_ScriptBattle::Paused},
                          {true, false, winx_ScriptBattle::Running}};
    for (const Case& c : cases) {
        ReportScriptBattle(c.inBattle, c.paused);
        EXPECT_EQ(winx_ScriptBattleState(), c.state) << c.inBattle << c.paused;
    }
    ReportScriptGameMode(7);
    EXPECT_EQ(winx_ScriptGameMode(), 7);
    ReportScriptGameMode(0);
    ReportScriptBattle(false, false);
}
