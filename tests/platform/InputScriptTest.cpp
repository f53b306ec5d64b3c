#include "platform/InputScript.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/ScriptHooks.h"
#include "platform/VirtualKeys.h"
#include "support/ScopedWorkingDir.h"

namespace {

using Kind = winx_ScriptStep::Kind;

std::string ParseError(const std::string& text) {
    winx_InputScript script;
    std::string error;
    EXPECT_EQ(script.Parse(text, "test.qxs", error), 0) << text;
    EXPECT_TRUE(script.Steps().empty());
    return error;
}

std::vector<winx_ScriptStep> ParseSteps(const std::string& text) {
    winx_InputScript script;
    std::string error;
    EXPECT_EQ(script.Parse(text, "test.qxs", error), 1) << error;
    return script.Steps();
}

}  // namespace

TEST(InputScript, StepsCarryTheTimeOfTheWaitsBeforeThem) {
    auto steps = ParseSteps(
        "# opening comment\n"
        "\n"
        "move 10 20\n"
        "wait 100\n"
        "click R 639 479\n"
        "wait 50 ms\n"
        "key F5\n"
        "capture title-1\n"
        "quit\n");
    using Step = std::tuple<Kind, uint32_t, uint32_t, int, int, std::string>;
    std::vector<Step> seen;
    for (const auto& step : steps)
        seen.emplace_back(step.kind, step.atMs, step.value, step.x, step.y, step.name);
    // A click is a press and a release at one time; a key is a down and an up.
    const std::vector<Step> expected = {{Kind::MouseMove, 0, 0, 10, 20, ""},
                                        {Kind::ButtonDown, 100, 'R', 639, 479, ""},
                                        {Kind::ButtonUp, 100, 'R', 639, 479, ""},
                                        {Kind::KeyDown, 150, VK_F1 + 4, 0, 0, ""},
                                        {Kind::KeyUp, 150, VK_F1 + 4, 0, 0, ""},
                                        {Kind::Capture, 150, 0, 0, 0, "title-1"},
                                        {Kind::Quit, 150, 0, 0, 0, ""}};
    EXPECT_EQ(seen, expected);
}

TEST(InputScript, KeysByNameLetterDigitOrNumber) {
    EXPECT_EQ(winx_InputScript::VirtualKeyByName("shift"), VK_SHIFT);
    EXPECT_EQ(winx_InputScript::VirtualKeyByName("VK_CONTROL"), VK_CONTROL);
    EXPECT_EQ(winx_InputScript::VirtualKeyByName("Alt"), VK_MENU);
    EXPECT_EQ(winx_InputScript::VirtualKeyByName("F12"), VK_F12);
    EXPECT_EQ(winx_InputScript::VirtualKeyByName("backspace"), VK_BACK);
    EXPECT_EQ(winx_InputScript::VirtualKeyByName("a"), static_cast<uint32_t>('A'));
    // A single digit is the digit key; a VK number has two or more digits.
    EXPECT_EQ(winx_InputScript::VirtualKeyByName("3"), static_cast<uint32_t>('3'));
    EXPECT_EQ(winx_InputScript::VirtualKeyByName("08"), VK_BACK);
    EXPECT_EQ(winx_InputScript::VirtualKeyByName("116"), VK_F1 + 4);
    EXPECT_EQ(winx_InputScript::VirtualKeyByName("254"), 254u);
    EXPECT_EQ(winx_InputScript::VirtualKeyByName("255"), 0u);
    EXPECT_EQ(winx_InputScript::VirtualKeyByName("01"), 1u);
    EXPECT_EQ(winx_InputScript::VirtualKeyByName("00"), 0u);
    EXPECT_EQ(winx_InputScript::VirtualKeyByName("F13"), 0u);
    EXPECT_EQ(winx_InputScript::VirtualKeyByName("VK_"), 0u);
    EXPECT_EQ(winx_InputScript::VirtualKeyByName("?"), 0u);
}

TEST(InputScript, TextAndCharPostCharacters) {
    auto steps = ParseSteps("text \"a \\\"b\\\\\"\nchar 13\n");
    ASSERT_EQ(steps.size(), 6u);
    std::string typed;
    for (const auto& step : steps) {
        EXPECT_EQ(step.kind, Kind::Char);
        typed.push_back(static_cast<char>(step.value));
    }
    EXPECT_EQ(typed, "a \"b\\\r");
    // Capitals are typed with Shift held down around each run of them.
    const std::vector<std::pair<Kind, uint32_t>> capitals = {
        {Kind::KeyDown, VK_SHIFT}, {Kind::Char, 'A'},       {Kind::Char, 'B'},
        {Kind::KeyUp, VK_SHIFT},   {Kind::Char, 'c'},       {Kind::KeyDown, VK_SHIFT},
        {Kind::Char, 'D'},         {Kind::KeyUp, VK_SHIFT},
    };
    std::vector<std::pair<Kind, uint32_t>> got;
    for (const auto& step : ParseSteps("text \"ABcD\"\n"))
        got.emplace_back(step.kind, step.value);
    EXPECT_EQ(got, capitals);
    // Both ends of the capitals take Shift; the characters just outside them do not.
    const std::vector<std::pair<Kind, uint32_t>> ends = {
        {Kind::Char, '@'}, {Kind::KeyDown, VK_SHIFT}, {Kind::Char, 'A'}, {Kind::KeyUp, VK_SHIFT},
        {Kind::Char, '['}, {Kind::KeyDown, VK_SHIFT}, {Kind::Char, 'Z'}, {Kind::KeyUp, VK_SHIFT},
    };
    got.clear();
    for (const auto& step : ParseSteps("text \"@A[Z\"\n"))
        got.emplace_back(step.kind, step.value);
    EXPECT_EQ(got, ends);
}

TEST(InputScript, KeywordsAreCaseInsensitiveAndFocusLinesParse) {
    auto steps = ParseSteps("DEACTIVATE\r\nWait 10\r\nActivate\r\nKEYDOWN ctrl\r\n");
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps[0].kind, Kind::Deactivate);
    EXPECT_EQ(steps[1].kind, Kind::Activate);
    EXPECT_EQ(steps[1].atMs, 10u);
    EXPECT_EQ(steps[2].value, VK_CONTROL);
}

TEST(InputScript, ErrorsNameTheFileAndLine) {
    EXPECT_EQ(ParseError("move 1 1\n\njump 3\n"), "test.qxs:3: unknown command 'jump'");
    EXPECT_EQ(ParseError("key NOSUCHKEY\n"), "test.qxs:1: unknown key 'NOSUCHKEY'");
    EXPECT_EQ(ParseError("key\n"), "test.qxs:1: usage: key KEY");
    EXPECT_EQ(ParseError("move 640 10\n"), "test.qxs:1: position outside the 640 x 480 picture");
    EXPECT_EQ(ParseError("move 10 -1\n"), "test.qxs:1: a position is two numbers: x y");
    EXPECT_EQ(ParseError("click X 1 1\n"), "test.qxs:1: the button is L, M or R");
    EXPECT_EQ(ParseError("wait soon\n"), "test.qxs:1: 'wait' needs a number of milliseconds");
    EXPECT_EQ(ParseError("wait 5 s\n"), "test.qxs:1: usage: wait N [ms]");
    EXPECT_EQ(ParseError("wait 3600001\n"), "test.qxs:1: a wait may last at most 3600000 ms");
    // Nine digits make a number, ten never do.
    EXPECT_EQ(ParseError("wait 000003600\nwait 0000003600\n"),
              "test.qxs:2: 'wait' needs a number of milliseconds");
    EXPECT_EQ(ParseError("char 0\n"), "test.qxs:1: a character code is 1 to 255");
    EXPECT_EQ(ParseError("text \"open\n"), "test.qxs:1: text is missing its closing quote");
    EXPECT_EQ(ParseError("text \"x\" y\n"), "test.qxs:1: unexpected words after the text");
    EXPECT_EQ(ParseError("quit now\n"), "test.qxs:1: 'quit' takes no arguments");
    EXPECT_NE(ParseError("capture ../escape\n").find("test.qxs:1: a capture name"),
              std::string::npos);
    EXPECT_NE(ParseError("capture .hidden\n").find("test.qxs:1: a capture name"),
              std::string::npos);
}

TEST(InputScript, RefusesOverlongLinesAndScripts) {
    EXPECT_EQ(ParseError("quit\n# " + std::string(5000, 'x') + "\n"),
              "test.qxs:2: line longer than 4096 characters");
    // The limit counts the line's own bytes, without its line end.
    EXPECT_EQ(ParseSteps("# " + std::string(4094, 'x') + "\nquit\n").size(), 1u);
    EXPECT_EQ(ParseError("# " + std::string(4095, 'x') + "\nquit\n"),
              "test.qxs:1: line longer than 4096 characters");
    std::string endless;
    for (int i = 0; i < 600; ++i)
        endless += "wait 3600000\n";
    EXPECT_EQ(ParseError(endless), "test.qxs:597: the script runs too long");
    // A NUL would cut the line short unseen: the line is refused, even in a comment.
    EXPECT_EQ(ParseError("quit\n# a" + std::string(1, '\0') + "b\n"),
              "test.qxs:2: line holds a NUL character");
}

TEST(InputScript, LoadReportsAMissingFile) {
    ScopedWorkingDir dir;
    winx_InputScript script;
    std::string error;
    EXPECT_EQ(script.Load("missing.qxs", error), 0);
    EXPECT_EQ(error.rfind("missing.qxs: cannot open the script", 0), 0u) << error;
    dir.WriteFile("bad.qxs", "quit\nfly\n");
    EXPECT_EQ(script.Load("bad.qxs", error), 0);
    EXPECT_EQ(error, "bad.qxs:2: unknown command 'fly'");
    // A script of exactly 1 MiB loads; one byte more is refused.
    std::string full = "quit\n";
    while (full.size() < winx_InputScript::kMaxFileBytes) {
        const size_t room = winx_InputScript::kMaxFileBytes - full.size();
        full += "#" + std::string(std::min<size_t>(4000, room - 2), 'x') + "\n";
    }
    ASSERT_EQ(full.size(), winx_InputScript::kMaxFileBytes);
    dir.WriteFile("full.qxs", full);
    EXPECT_EQ(script.Load("full.qxs", error), 1) << error;
    dir.WriteFile("over.qxs", full + "\n");
    EXPECT_EQ(script.Load("over.qxs", error), 0);
    EXPECT_EQ(error, "over.qxs: the script is larger than 1 MiB");
    dir.WriteFile("good.qxs", "key A\n");
    EXPECT_EQ(script.Load("good.qxs", error), 1);
    EXPECT_EQ(script.Steps().size(), 2u);
}

TEST(InputScript, PollRunsDueStepsFromTheFirstPoll) {
    winx_InputScript script;
    std::string error;
    ASSERT_EQ(script.Parse("char 65\nwait 30\nchar 66\nwait 30\nchar 67\n", "s", error), 1);
    std::string ran;
    auto run = [&](const winx_ScriptStep& step) { ran.push_back(static_cast<char>(step.value)); };
    // The script's time starts at the first poll, wherever the clock stands.
    EXPECT_EQ(script.MsUntilNextStep(12345), 0u);
    script.Poll(0xFFFFFFF0u, run);
    EXPECT_EQ(ran, "A");
    EXPECT_EQ(script.MsUntilNextStep(0xFFFFFFF0u), 30u);
    script.Poll(0xFFFFFFF0u + 29, run);
    EXPECT_EQ(ran, "A");
    EXPECT_EQ(script.MsUntilNextStep(0xFFFFFFF0u + 29), 1u);
    EXPECT_EQ(script.MsUntilNextStep(0xFFFFFFF0u + 31), 0u);
    // A step that is not ready holds it and every later one.
    script.Poll(0xFFFFFFF0u + 40, run, [](const winx_ScriptStep&) { return false; });
    EXPECT_EQ(ran, "A");
    script.Poll(0xFFFFFFF0u + 30, run);  // wraps past 2^32
    EXPECT_EQ(ran, "AB");
    EXPECT_EQ(script.Finished(), 0);
    script.Poll(0xFFFFFFF0u + 500, run);
    EXPECT_EQ(ran, "ABC");
    EXPECT_EQ(script.Finished(), 1);
    EXPECT_EQ(script.MsUntilNextStep(0), UINT32_MAX);
}

// Each command's limits from both sides: "" where the line parses, else its message.
TEST(InputScript, EachLimitHoldsFromBothSides) {
    const char* const kAwaitTeamUsage =
        "usage: await units TEAM|any COUNT [MS] | await fallen TEAM [MS] (TEAM 1 to 4, COUNT 1 to "
        "1000, MS 1 to 2147483647)";
    const char* const kCraftUsage =
        "usage: craft hits TEAM COUNT | weapon TEAM | wrecks COUNT VALUE | mark old|future|huge "
        "TICKS | pause PLAYER | factoryhits TEAM COUNT [WEAPON] | factoryshots TEAM COUNT "
        "[WEAPON] | goals COUNT (TEAM and PLAYER 1 to 4, COUNT and TICKS 1 to 1000, VALUE 1 to "
        "100000, goals 1 to 100000, WEAPON a clan and a role letter)";
    const std::string longName(64, 'n');
    const struct {
        std::string line;
        const char* error;
    } cases[] = {
        {"move 639 479", ""},
        {"move 639 480", "position outside the 640 x 480 picture"},
        {"move 640 0", "position outside the 640 x 480 picture"},
        {"move 1", "usage: move X Y"},
        {"click l 0 0", ""},
        {"down M 1 1", ""},
        {"up LL 1 1", "the button is L, M or R"},
        {"click L 1", "usage: click L|M|R X Y"},
        {"click L 640 0", "position outside the 640 x 480 picture"},
        {"down R 0 480", "position outside the 640 x 480 picture"},
        {"wait 3600000", ""},
        {"wait 5 MS", ""},
        {"wait", "usage: wait N [ms]"},
        {"char 1", ""},
        {"char 255", ""},
        {"char 256", "a character code is 1 to 255"},
        {"char", "usage: char CODE"},
        {"keydown", "usage: keydown KEY"},
        {"key 254", ""},
        {"await 1", ""},
        {"await 10 1 RETURN", ""},
        {"await 0", "a game mode is 1 to 10, paused or running"},
        {"await 11", "a game mode is 1 to 10, paused or running"},
        {"await 5 0", "an await lasts 1 to 2147483647 ms"},
        {"await 5 0 RETURN", "an await lasts 1 to 2147483647 ms"},
        {"await 5 999999999", ""},
        {"await 5 10 NOKEY", "unknown key NOKEY"},
        {"await", "usage: await MODE [MS [KEY | click L|M|R X Y]]"},
        {"await 1 2 A B", "usage: await MODE [MS [KEY | click L|M|R X Y]]"},
        {"await units 4 1000 1", ""},
        {"await UNITS any 1", ""},
        {"await fallen 1", ""},
        {"await fallen 4 999999999", ""},
        {"await units 0 1", kAwaitTeamUsage},
        {"await units 5 1", kAwaitTeamUsage},
        {"await units 1 0", kAwaitTeamUsage},
        {"await units 1 1001", kAwaitTeamUsage},
        {"await units 1 1 0", kAwaitTeamUsage},
        {"await units 1", kAwaitTeamUsage},
        {"await units 1 1 1 1", kAwaitTeamUsage},
        {"await fallen any", kAwaitTeamUsage},
        {"await fallen 1 0", kAwaitTeamUsage},
        {"await fallen 1 1000000000", kAwaitTeamUsage},
        {"await fallen", kAwaitTeamUsage},
        {"destroy 0", ""},
        {"destroy 4 FACTORY", ""},
        {"destroy 2 units", ""},
        {"destroy 5", "usage: destroy TEAM [factory|units] (TEAM 0 to 4)"},
        {"destroy 1 base", "usage: destroy TEAM [factory|units] (TEAM 0 to 4)"},
        {"destroy", "usage: destroy TEAM [factory|units] (TEAM 0 to 4)"},
        {"artifact 1 1", ""},
        {"artifact 4 5", ""},
        {"artifact 0 1", "usage: artifact TEAM EFFECT (TEAM 1 to 4, EFFECT 1 to 5)"},
        {"artifact 5 1", "usage: artifact TEAM EFFECT (TEAM 1 to 4, EFFECT 1 to 5)"},
        {"artifact 1 0", "usage: artifact TEAM EFFECT (TEAM 1 to 4, EFFECT 1 to 5)"},
        {"artifact 1 6", "usage: artifact TEAM EFFECT (TEAM 1 to 4, EFFECT 1 to 5)"},
        {"artifact 1", "usage: artifact TEAM EFFECT (TEAM 1 to 4, EFFECT 1 to 5)"},
        {"spare 4", ""},
        {"spare 0", "usage: spare TEAM (TEAM 1 to 4)"},
        {"spare 1 factory", "usage: spare TEAM (TEAM 1 to 4)"},
        {"WOUND 1", ""},
        {"wound 5", "usage: wound TEAM (TEAM 1 to 4)"},
        {"wound", "usage: wound TEAM (TEAM 1 to 4)"},
        {"Attack 4", ""},
        {"attack 0", "usage: attack TEAM (TEAM 1 to 4)"},
        {"attack 1 2", "usage: attack TEAM (TEAM 1 to 4)"},
        {"forge 1", ""},
        {"forge 0", "usage: forge TEAM (TEAM 1 to 4)"},
        {"forge 5", "usage: forge TEAM (TEAM 1 to 4)"},
        {"forge 2 3", "usage: forge TEAM (TEAM 1 to 4)"},
        {"craft hits 1 1000", ""},
        {"craft hits 0 1", kCraftUsage},
        {"craft hits 1 1001", kCraftUsage},
        {"craft factoryhits 1 100", ""},
        {"craft FactoryShots 4 1000", ""},
        {"craft factoryshots 5 1", kCraftUsage},
        {"craft factoryshots 1 7 Vb", ""},
        {"craft factoryhits 1 7 Vb", ""},
        {"craft factoryshots 1 7 V", kCraftUsage},
        {"craft hits 1 7 Vb", kCraftUsage},
        {"craft weapon 4", ""},
        {"craft weapon 4 1", kCraftUsage},
        {"craft wrecks 61 100000", ""},
        {"craft wrecks 61 100001", kCraftUsage},
        {"craft mark HUGE 1", ""},
        {"craft mark new 1", kCraftUsage},
        {"craft shell old 1", kCraftUsage},
        {"craft mark old 0", kCraftUsage},
        {"craft pause 5", kCraftUsage},
        {"craft goals 100000", ""},
        {"craft goals 100001", kCraftUsage},
        {"craft", kCraftUsage},
        {"pause", ""},
        {"resume 1", "'resume' takes no arguments"},
        {"capture " + longName, ""},
        {"capture " + longName + "n",
         "a capture name is 1 to 64 of A-Z a-z 0-9 _ - . and starts with no dot"},
        {"capture a.b_c-D9", ""},
        {"capture a/b", "a capture name is 1 to 64 of A-Z a-z 0-9 _ - . and starts with no dot"},
        {"checksum", "usage: checksum NAME"},
        {"capture", "usage: capture NAME"},
        {"checksum end.1", ""},
        {"text \"~ !\"", ""},
        {"text \"a\\nb\"", "only \\\" and \\\\ are escapes"},
        {"text \"\x7f\"", "text holds printable ASCII characters only"},
        {"text \"a\\", "text is missing its closing quote"},
        {"text abc", "usage: text \"characters\""},
        {"text", "usage: text \"characters\""},
        {"activate now", "'activate' takes no arguments"},
        {"\t  # indented comment", ""},
        {"  quit  \r", ""},
    };
    for (const auto& c : cases) {
        winx_InputScript script;
        std::string error;
        const int parsed = script.Parse(c.line + "\n", "s", error);
        if (*c.error == '\0') {
            EXPECT_EQ(parsed, 1) << c.line << ": " << error;
        } else {
            EXPECT_EQ(parsed, 0) << c.line;
            EXPECT_EQ(error, std::string("s:1: ") + c.error) << c.line;
        }
    }
    // What the accepted lines carry.
    auto steps = ParseSteps(
        "await 10 250 RETURN\ndestroy 4 factory\nartifact 3 5\nchar 255\nforge 4\ncraft "
        "wrecks 61 835\ncraft mark future 30\ncraft pause 3\ncraft goals 9000\npause\nRESUME\n"
        "await units any 3 400\nawait units 2 1000\nawait fallen 4\nwound 2\nattack 3\n");
    ASSERT_EQ(steps.size(), 16u);
    const std::vector<std::tuple<Kind, uint32_t, int, int, int>> teamSteps = {
        {Kind::Await, winx_ScriptStep::kAwaitUnits, 400, 0, 3},
        {Kind::Await, winx_ScriptStep::kAwaitUnits, 600000, 2, 1000},
        {Kind::Await, winx_ScriptStep::kAwaitFallen, 600000, 4, 1},
        {Kind::Wound, 2u, 0, 0, 0},
        {Kind::Attack, 3u, 0, 0, 0}};
    for (size_t i = 0; i < teamSteps.size(); ++i) {
        const winx_ScriptStep& step = steps[11 + i];
        EXPECT_EQ(std::tie(step.kind, step.value, step.x, step.awaitTeam, step.awaitCount),
                  teamSteps[i])
            << i;
    }
    EXPECT_EQ(std::tie(steps[4].kind, steps[4].value), std::make_tuple(Kind::Forge, 4u));
    const std::vector<std::tuple<Kind, uint32_t, int, int>> crafted = {
        {Kind::Craft, static_cast<uint32_t>(winx_CraftedWord::Wrecks), 61, 835},
        {Kind::Craft, static_cast<uint32_t>(winx_CraftedWord::Mark), 1, 30},
        {Kind::Craft, static_cast<uint32_t>(winx_CraftedWord::OneLinkPause), 3, 0},
        {Kind::Craft, static_cast<uint32_t>(winx_CraftedWord::Goals), 9000, 0},
        {Kind::Barrier, 1u, 0, 0},
        {Kind::Barrier, 0u, 0, 0}};
    for (size_t i = 0; i < crafted.size(); ++i)
        EXPECT_EQ(std::tie(steps[5 + i].kind, steps[5 + i].value, steps[5 + i].x, steps[5 + i].y),
                  crafted[i])
            << i;
    EXPECT_EQ(std::tie(steps[0].kind, steps[0].value, steps[0].x, steps[0].y),
              std::make_tuple(Kind::Await, 10u, 250, static_cast<int>(VK_RETURN)));
    EXPECT_EQ(std::tie(steps[1].kind, steps[1].value, steps[1].x),
              std::make_tuple(Kind::Destroy, 4u, 1));
    EXPECT_EQ(std::tie(steps[2].kind, steps[2].value, steps[2].x),
              std::make_tuple(Kind::Artifact, 3u, 5));
    EXPECT_EQ(std::tie(steps[3].kind, steps[3].value), std::make_tuple(Kind::Char, 255u));
    // An await without a limit waits ten minutes, and no key.
    steps = ParseSteps("await 2\ndestroy 1\n");
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0].x, 600000);
    EXPECT_EQ(steps[0].y, 0);
    EXPECT_EQ(steps[1].x, 0);
}
