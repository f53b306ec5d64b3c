#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "platform/InputScript.h"
#include "platform/ScriptHooks.h"

namespace {

using Kind = winx_ScriptStep::Kind;

struct Ran {
    std::vector<Kind> kinds;
    std::vector<uint32_t> at;
};

TEST(ScriptAwait, LinesAfterAnAwaitAreTimedFromTheModeAndATimeoutRunsTheAwait) {
    winx_InputScript script;
    std::string error;
    ASSERT_EQ(script.Parse("wait 10\nawait 6 100\nkey A\nwait 20\ndestroy 2\n", "s", error), 1)
        << error;
    Ran ran;
    uint32_t now = 1000;
    auto run = [&](const winx_ScriptStep& step) {
        ran.kinds.push_back(step.kind);
        ran.at.push_back(now);
    };
    winx_SetScriptGameMode(2);
    for (; now <= 1060; now += 10)
        script.Poll(now, run);
    EXPECT_TRUE(ran.kinds.empty());
    EXPECT_EQ(script.MsUntilNextStep(now), 16u);
    winx_SetScriptGameMode(6);
    for (; now <= 1200; now += 10)
        script.Poll(now, run);
    ASSERT_EQ(ran.kinds.size(), 3u);
    EXPECT_EQ(ran.kinds[0], Kind::KeyDown);
    EXPECT_EQ(ran.at[0], 1070u);
    EXPECT_EQ(ran.kinds[2], Kind::Destroy);
    EXPECT_EQ(ran.at[2], 1090u);
    EXPECT_EQ(script.Steps()[3].value, 2u);

    winx_InputScript late;
    ASSERT_EQ(late.Parse("await 3 50\nquit\n", "s", error), 1);
    ran = Ran();
    for (now = 0; now <= 100; now += 10)
        late.Poll(now, run);
    ASSERT_FALSE(ran.kinds.empty());
    EXPECT_EQ(ran.kinds[0], Kind::Await);
    EXPECT_EQ(ran.at[0], 50u);
    EXPECT_EQ(late.Steps()[0].x, 50);

    // A key named in the await is pressed once a second until the mode comes.
    winx_InputScript pressing;
    ASSERT_EQ(pressing.Parse("await 3 5000 RETURN\nquit\n", "s", error), 1) << error;
    ran = Ran();
    winx_SetScriptGameMode(2);
    for (now = 0; now < 2500; now += 100)
        pressing.Poll(now, run);
    winx_SetScriptGameMode(3);
    pressing.Poll(now, run);
    const std::vector<Kind> pressed = {Kind::KeyDown, Kind::KeyUp, Kind::KeyDown, Kind::KeyUp,
                                       Kind::Quit};
    EXPECT_EQ(ran.kinds, pressed);
    EXPECT_EQ(ran.at, (std::vector<uint32_t>{1000, 1000, 2000, 2000, 2500}));

    // A click instead of the key: the button goes down and up where the line says.
    winx_InputScript clicking;
    ASSERT_EQ(clicking.Parse("await 3 5000 CLICK r 639 12\nquit\n", "s", error), 1) << error;
    std::vector<winx_ScriptStep> clicks;
    winx_SetScriptGameMode(2);
    for (now = 0; now < 1500; now += 100)
        clicking.Poll(now, [&](const winx_ScriptStep& step) { clicks.push_back(step); });
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(clicks[0].kind, Kind::ButtonDown);
    EXPECT_EQ(clicks[1].kind, Kind::ButtonUp);
    for (const winx_ScriptStep& click : clicks)
        EXPECT_EQ(std::tuple(click.value, click.x, click.y), std::tuple(uint32_t{'R'}, 639, 12));
    winx_SetScriptGameMode(0);
}

// A network battle stands paused until every factory is placed, then runs, and a player's
// pause stops it again: a script that waits for each state in turn meets each one. So does
// one that waits for what the World tells of the teams: a unit count met by the team named
// (or any), a factory that fell once this battle saw it stand (kept on the results screen,
// forgotten when the next battle starts).
TEST(ScriptAwait, BattleAndTeamStatesAreWaitedForAndNotAModeNumber) {
    winx_InputScript script;
    std::string error;
    ASSERT_EQ(script.Parse("await running 5000\nkey A\nawait PAUSED 5000\nkey B\n"
                           "await Running 5000\nkey C\nawait units any 3 5000\nkey D\n"
                           "await units 2 2 5000\nkey E\nawait fallen 3 5000\nkey F\n"
                           "await fallen 4 5000\nkey G\n",
                           "s", error),
              1)
        << error;
    std::vector<uint32_t> pressedAt, timedOutAt;
    uint32_t now = 0;
    auto run = [&](const winx_ScriptStep& step) {
        if (step.kind == Kind::KeyDown) pressedAt.push_back(now);
        if (step.kind == Kind::Await) timedOutAt.push_back(now);
    };
    struct Phase {
        int mode;
        winx_ScriptBattle battle;
        uint32_t until;
        int units[4];
        bool stands[4];
    };
    constexpr auto kPaused = winx_ScriptBattle::Paused;
    constexpr auto kOn = winx_ScriptBattle::Running;
    // In the battle's mode, paused before play, and the mode number 102 means nothing.
    const Phase phases[] = {{102, winx_ScriptBattle::None, 100, {}, {}},
                            {3, kPaused, 200, {}, {}},
                            {3, kOn, 300, {}, {}},
                            {3, kPaused, 400, {}, {}},
                            {3, kOn, 500, {}, {}},
                            {3, kOn, 600, {2, 2, 0, 0}, {false, true, false, true}},
                            {3, kOn, 700, {0, 1, 0, 3}, {false, true, true, true}},
                            {3, kOn, 800, {0, 2, 0, 3}, {false, true, true, true}},
                            {3, kOn, 900, {0, 2, 0, 3}, {false, true, false, true}},
                            {6, winx_ScriptBattle::None, 1000, {}, {}}};
    for (const Phase& phase : phases) {
        winx_SetScriptGameMode(phase.mode);
        winx_SetScriptBattle(phase.battle);
        for (int team = 1; team <= 4; ++team)
            winx_SetScriptTeam(team, phase.units[team - 1], phase.stands[team - 1]);
        for (; now < phase.until; now += 10)
            script.Poll(now, run);
    }
    EXPECT_EQ(pressedAt, (std::vector<uint32_t>{200, 300, 400, 600, 700, 800, 900}));
    EXPECT_EQ(script.Steps()[0].value, winx_ScriptStep::kAwaitRunning);
    EXPECT_EQ(script.Steps()[3].value, winx_ScriptStep::kAwaitPaused);
    EXPECT_TRUE(timedOutAt.empty());

    // Out of a battle neither comes, and the await runs when its time is up.
    winx_InputScript late;
    ASSERT_EQ(late.Parse("await paused 50\n", "s", error), 1) << error;
    winx_SetScriptBattle(winx_ScriptBattle::None);
    for (now = 0; now <= 100; now += 10)
        late.Poll(now, run);
    ASSERT_FALSE(timedOutAt.empty());
    EXPECT_EQ(timedOutAt[0], 50u);
    // The next battle has seen no factory stand: none has fallen.
    winx_SetScriptBattle(kOn);
    EXPECT_FALSE(winx_ScriptFactoryFell(4));
    ASSERT_EQ(late.Parse("await fallen 4 50\n", "s", error), 1) << error;
    timedOutAt.clear();
    for (now = 0; now <= 100; now += 10)
        late.Poll(now, run);
    EXPECT_EQ(timedOutAt.empty() ? 0u : timedOutAt[0], 50u);
    EXPECT_EQ(
        std::tuple(winx_ScriptTeamUnits(0), winx_ScriptTeamUnits(5), winx_ScriptFactoryFell(5)),
        std::tuple(0, 0, false));
    winx_SetScriptBattle(winx_ScriptBattle::None);
    winx_SetScriptGameMode(0);
}

TEST(ScriptAwait, BadAwaitsAndDestroysNameTheLine) {
    const char* const bad[] = {"await",
                               "await 0",
                               "await 11",
                               "await 101",
                               "await 102",
                               "await pause",
                               "await 2 0",
                               "await 2 1 NOKEY",
                               "await 2 1 RETURN 4",
                               "await paused 0",
                               "destroy",
                               "destroy 5",
                               "destroy x",
                               "await 3 9 click L 1",
                               "await 3 9 click X 1 1",
                               "await 3 9 click L 640 1",
                               "await 3 9 press L 1 1",
                               "await 3 9 RETURN L 1 1"};
    for (const char* line : bad) {
        winx_InputScript script;
        std::string error;
        EXPECT_EQ(script.Parse(std::string("wait 1\n") + line + "\n", "s.qxs", error), 0) << line;
        EXPECT_EQ(error.rfind("s.qxs:2: ", 0), 0u) << error;
    }
    winx_InputScript script;
    std::string error;
    ASSERT_EQ(script.Parse("AWAIT 9\nDestroy 0\n", "s", error), 1) << error;
    EXPECT_EQ(script.Steps()[0].x, static_cast<int>(winx_InputScript::kDefaultAwaitMs));
    winx_RequestDestroy(3);
    winx_RequestDestroy(0);
    EXPECT_EQ(winx_TakeDestroyRequest(), 3);
    EXPECT_EQ(winx_TakeDestroyRequest(), 0);
    EXPECT_EQ(winx_TakeDestroyRequest(), -1);
}

}  // namespace
