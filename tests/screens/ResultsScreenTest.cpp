#include "screens/ResultsScreen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/Bitmap.h"
#include "core/KeyCodes.h"
#include "core/ResourceFile.h"
#include "core/TextWriter.h"
#include "objects/CommandBuffer.h"
#include "screens/FrontEndTestFixture.h"
#include "screens/HighScoreTable.h"
#include "screens/NextMissionPrompt.h"
#include "support/MemoryLink.h"
#include "ui/Button.h"
#include "ui/TextField.h"
#include "world/GameFlow.h"
#include "world/MissionStats.h"
#include "world/Scenario.h"

namespace {

constexpr uint8_t kBarColour = 100;
constexpr uint8_t kListBar = 55;
constexpr int kButtonCursor = 0x22;
constexpr int kArrowCursor = 0x23;

class ResultsTest : public FrontEndTest {
protected:
    ResultsScreen& Results(int won, MissionStats* record) {
        f->world->gameFlow->won = won;
        return Open<ResultsScreen>(*f->world, record);
    }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i)
            Frame();
    }
    // A skirmish in play with a local colour, as the results follow one.
    void InPlay(int mission = 0) {
        f->world->scenario = std::make_unique<Scenario>();
        f->world->scenario->missionNumber = mission;
        f->world->scenario->colour = 3;
        f->world->scenario->teamColours[1] = 3;
    }
    std::string ScoreFile() { return ReadFile(Path("score.dat")); }
    // The value colour in the results font.
    bool ShowsValue(Point at, const std::string& text, int x0, int y0, int x1, int y1) {
        TextWriter font(ResultsScreen::kFontPack);
        return FrontEndTest::Shows(font, at, text, 126, x0, y0, x1, y1);
    }
    int PressNothing() {
        Post(InputKind::MouseMove, Point(100, 100), 0);
        Post(InputKind::ButtonDown, Point(100, 100), 'L');
        return Frame();
    }
    int PlainKey() { return Key('x'); }
    int PressDone() {
        return Click(static_cast<ResultsScreen&>(*screen).ButtonOf(ResultsScreen::kDone));
    }
    int PressEnter() { return Key(kKeyEnter); }
    int PressEscape() { return Key(kKeyEscape); }
    int PressCtrlQ() {
        f->events.ctrlDown = 1;
        const int result = Key('q');
        f->events.ctrlDown = 0;
        return result;
    }
    int EmptyChat() {
        Key('u');
        if (!static_cast<ResultsScreen&>(*screen).ChatOpen()) return -1;
        return Key(kKeyEnter);
    }
    MissionStats stats;
};

TEST_F(ResultsTest, ValuesCountUpByOneAndTheBarStopsAtTheTop) {
    InPlay();
    stats.kills = 150;
    stats.losses = 3;
    ResultsScreen& r = Results(0, &stats);
    Frame();
    EXPECT_EQ(r.ShownScore(), std::min(ResultsScreen::kScoreStep, r.TotalScore()));
    Frame();
    EXPECT_EQ(r.ShownScore(), std::min(2 * ResultsScreen::kScoreStep, r.TotalScore()));
    EXPECT_EQ(r.Shown(2), 2);
    Ticks(48);
    EXPECT_EQ(r.Shown(2), 50);
    EXPECT_NE(Pixel(380, 108), kBarColour);
    EXPECT_EQ(Pixel(380, 344), kBarColour);
    Ticks(110);
    EXPECT_EQ(r.Shown(2), 150);
    EXPECT_EQ(r.Shown(3), 3);
    EXPECT_EQ(Pixel(380, 108), kBarColour);
    // A lost game asks; the table never opens.
    EXPECT_NE(r.Prompt(), nullptr);
    EXPECT_EQ(r.NameField(), nullptr);
}

TEST_F(ResultsTest, TheFourValuesTheScoreAndTheTimeAreWrittenInTheirBoxes) {
    // The time as hours (two places, blank-padded), minutes and seconds; a clock that shows
    // less than nothing shows nothing.
    const struct {
        int32_t baseMs;
        const char* time;
    } cases[] = {{3725000, " 1:02:05"},
                 {3725999, " 1:02:05"},
                 {45296000, "12:34:56"},
                 {59000, " 0:00:59"},
                 {-5000, " 0:00:00"}};
    const Point values[4] = {{92, 92}, {214, 92}, {343, 92}, {465, 92}};
    for (const auto& c : cases) {
        if (screen) {
            screen->Unload();
            screen.reset();
        }
        InPlay();
        stats.kills = 7;
        stats.losses = 2;
        stats.baseTime = c.baseMs;
        ResultsScreen& r = Results(0, &stats);
        Ticks(9);
        ASSERT_EQ(r.Shown(2), 7);
        ASSERT_EQ(r.Shown(3), 2);
        for (int v = 0; v < 4; ++v) {
            const Point at = values[v];
            EXPECT_TRUE(ShowsValue(at, std::to_string(r.Shown(v)), at.x - 4, at.y - 16, at.x + 40,
                                   at.y + 4))
                << v << " " << r.Shown(v);
        }
        EXPECT_TRUE(ShowsValue(Point(92, 427), c.time, 80, 411, 200, 431)) << c.time;
        EXPECT_TRUE(ShowsValue(Point(268, 442), std::to_string(r.ShownScore()), 262, 426, 345, 446))
            << r.ShownScore();
    }
}

TEST_F(ResultsTest, EachActionIsHeardWithItsSoundAndTheCountTicksOncePerFrame) {
    // The count ticks (the refusal sound) once in every frame in which anything grew.
    InPlay();
    stats.kills = 2;
    stats.losses = 1;
    ResultsScreen& counting = Results(0, &stats);
    sounds.Clear();
    Frame();
    EXPECT_EQ(sounds.refused, 1);
    Ticks(120);
    ASSERT_EQ(counting.ShownScore(), counting.TotalScore());
    sounds.Clear();
    Ticks(2);
    EXPECT_EQ(sounds.refused, 0);
    EXPECT_EQ(sounds.accepted, 0);
    // With nothing counting (no record): what each action plays, in a network game.
    World& w = *f->world;
    w.networkGame = 1;
    const struct {
        const char* what;
        std::function<int()> act;
        int result, accepted, refused;
    } cases[] = {
        {"click on nothing", [this] { return PressNothing(); }, 1, 0, 1},
        {"key taken by nobody", [this] { return PlainKey(); }, 1, 0, 0},
        {"done", [this] { return PressDone(); }, 0, 1, 0},
        {"enter", [this] { return PressEnter(); }, 0, 1, 0},
        {"escape", [this] { return PressEscape(); }, 0, 1, 0},
        {"ctrl+q", [this] { return PressCtrlQ(); }, 0, 1, 0},
        {"chat opened and an empty one closed", [this] { return EmptyChat(); }, 1, 2, 0},
    };
    for (const auto& c : cases) {
        screen->Unload();
        screen.reset();
        Results(1, nullptr);
        sounds.Clear();
        EXPECT_EQ(c.act(), c.result) << c.what;
        EXPECT_EQ(sounds.accepted, c.accepted) << c.what;
        EXPECT_EQ(sounds.refused, c.refused) << c.what;
    }
    w.networkGame = 0;
}

TEST_F(ResultsTest, EachBarRisesInItsOwnColumnToItsValue) {
    ResourceFile pack;
    ASSERT_TRUE(pack.Open(ResultsScreen::kSmallPack, ResourceFile::OpenMode::Pack));
    ASSERT_TRUE(pack.SelectEntry(0, 3));
    Bitmap bar(&pack);
    const int height = bar.GetSize().h;
    const int width = bar.GetSize().w;
    ASSERT_GT(height, 100);
    InPlay();
    stats.kills = 37;
    stats.losses = 64;
    stats.unitsMade = 100;
    ResultsScreen& r = Results(0, &stats);
    Ticks(110);
    // Columns (110..158), (232..279), (361..407), (482..530), 106..346 high: the bar drawn at
    // x 124, 246, 375, 496, its top at 346 - height x value / 100; looked at in its middle.
    const int lefts[4] = {124, 246, 375, 496};
    for (int v = 0; v < 4; ++v) {
        const int value = std::clamp(r.Shown(v), 0, 100);
        const int top = std::max(346 - height * value / 100, 106);
        const int x = lefts[v] + width / 2;
        if (value > 0) {
            EXPECT_EQ(Pixel(x, top), kBarColour) << v;
            EXPECT_EQ(Pixel(x, 345), kBarColour) << v;
        }
        EXPECT_NE(Pixel(x, top - 1), kBarColour) << v;
    }
    EXPECT_EQ(r.Shown(2), 37);
    EXPECT_EQ(r.Shown(3), 64);
}

TEST_F(ResultsTest, GoOnReplaysTheMissionWithItsColourAndNoBriefing) {
    // By Enter, and by a click on the prompt's button.
    for (const bool click : {false, true}) {
        if (screen) {
            screen->Unload();
            screen.reset();
        }
        f->world->pendingScenario.reset();
        f->world->requestedMode = 0;
        InPlay(3);
        ResultsScreen& r = Results(0, &stats);
        ASSERT_NE(r.Prompt(), nullptr);
        EXPECT_EQ(click ? Click(r.Prompt()->ButtonOf(NextMissionPrompt::kGoOn)) : Key(kKeyEnter),
                  0);
        ASSERT_NE(f->world->pendingScenario, nullptr) << click;
        EXPECT_EQ(f->world->pendingScenario->missionNumber, 3);
        EXPECT_EQ(f->world->pendingScenario->colour, 3);
        EXPECT_EQ(f->world->pendingScenario->briefingShown, 1);
        EXPECT_EQ(f->world->requestedMode, static_cast<int>(GameMode::StartScenario));
    }
}

TEST_F(ResultsTest, InANetworkGameGoOnIsGreyAndEnterLeadsToTheMenu) {
    InPlay();
    f->world->networkGame = 1;
    ResultsScreen& r = Results(0, &stats);
    EXPECT_EQ(r.Prompt()->ButtonOf(NextMissionPrompt::kGoOn)->enabled, 0);
    EXPECT_EQ(Key(kKeyEnter), 0);
    EXPECT_EQ(f->world->requestedMode, static_cast<int>(GameMode::MainMenu));
    EXPECT_EQ(f->world->pendingScenario, nullptr);
    f->world->networkGame = 0;
}

TEST_F(ResultsTest, AWinOpensTheTableTheNameIsSavedAndASecondEnterLeaves) {
    InPlay();
    WriteFile(Path("score.dat"), "best\n999999\n");
    ResultsScreen& r = Results(1, &stats);
    EXPECT_EQ(r.Prompt(), nullptr);
    Ticks(60);
    ASSERT_NE(r.NameField(), nullptr);
    EXPECT_EQ(r.ButtonOf(ResultsScreen::kSave)->enabled, 1);
    // Each typed letter goes into the name and keeps the screen.
    for (const char c : std::string("ann"))
        EXPECT_EQ(Key(c), 1) << c;
    // The rows best first in the list (colour 10).
    char mine[32];
    std::snprintf(mine, sizeof mine, "%06d   - ann", r.TotalScore());
    EXPECT_TRUE(Shows(*f->world->font, Point(212 + 2, 303 + 2 + 12), "999999   - best", 10, 213,
                      304, 422, 316));
    EXPECT_TRUE(Shows(*f->world->font, Point(212 + 2, 303 + 2 + 24), mine, 10, 213, 317, 422, 328));
    Frame();
    // Arrow keys belong to the field while it is active; a click elsewhere lets it go, and then
    // they move the list's bar, within the table's two rows.
    auto barOn = [&](int row) { return Pixel(300, 303 + 4 + 12 * row + 6) == kListBar; };
    Key(kKeyDown);
    EXPECT_TRUE(barOn(0));
    Click(Point(100, 100));
    EXPECT_EQ(r.NameField()->active, 0);
    // The pointer is a hand over the list, the arrow beside it.
    for (const auto& [at, shape] : std::vector<std::pair<Point, int>>{
             {Point(300, 330), kButtonCursor}, {Point(300, 380), kArrowCursor}}) {
        Post(InputKind::MouseMove, at, 0);
        Frame();
        EXPECT_EQ(f->display.cursorShape, shape) << at.y;
    }
    // Let go, the field draws nothing of its own: the typed name shows in its row (colour 34),
    // where the field writes it, two pixels above the row's end.
    EXPECT_TRUE(Shows(*f->world->font, Point(183, 212), "ann", 34, 182, 200, 453, 213));
    Frame();
    for (const auto& [key, row] : std::vector<std::pair<int, int>>{
             {kKeyUp, 0}, {'x', 0}, {kKeyDown, 1}, {kKeyDown, 1}, {kKeyUp, 0}}) {
        Key(key);
        EXPECT_TRUE(barOn(row)) << key;
        EXPECT_FALSE(barOn(1 - row)) << key;
    }
    EXPECT_EQ(Key(kKeyEnter), 1);
    EXPECT_EQ(r.NameField(), nullptr);
    EXPECT_EQ(ScoreFile(), "ann\n" + std::to_string(r.TotalScore()) + "\nbest\n999999\n");
    EXPECT_EQ(Key(kKeyEnter), 0);
}

TEST_F(ResultsTest, TheTimeRatingCountsTheMissionOrThePlayersOfTheGame) {
    // 100 minutes against a par of the mission's number times 3 minutes, or 10 minutes per
    // opponent in a skirmish (the network's players, else the computer's and the own).
    const struct {
        int mission, enemies, networkPlayers, rating;
    } cases[] = {{0, 1, 0, 55}, {0, 3, 0, 65}, {0, 1, 3, 60}, {3, 3, 0, 54}};
    MissionStats::totalEffort = 1000;
    for (const auto& c : cases) {
        if (screen) {
            screen->Unload();
            screen.reset();
        }
        InPlay(c.mission);
        f->world->scenario->computerPlayers = c.enemies;
        f->world->scenario->networkPlayers = c.networkPlayers;
        stats.buildEffort = 100;
        stats.baseTime = 6000000;
        ResultsScreen& r = Results(0, &stats);
        Ticks(70);
        EXPECT_EQ(r.Shown(1), c.rating) << c.mission << " " << c.enemies << " " << c.networkPlayers;
        const int players = c.networkPlayers ? c.networkPlayers : c.enemies + 1;
        EXPECT_EQ(r.TotalScore(), HighScoreTable::ClampScore(stats.TotalScore(c.mission, players)));
    }
    MissionStats::ClearTotals();
}

TEST_F(ResultsTest, TheTableOpensInTheTickTheScoreReachesItsTotal) {
    InPlay();
    stats.kills = 40;
    stats.losses = 1;
    stats.unitsMade = 10;
    ResultsScreen& r = Results(1, &stats);
    const int total = r.TotalScore();
    ASSERT_GT(total, 2 * ResultsScreen::kScoreStep) << "a score that takes several ticks";
    const int ticks = (total + ResultsScreen::kScoreStep - 1) / ResultsScreen::kScoreStep;
    Ticks(ticks - 1);
    EXPECT_LT(r.ShownScore(), total);
    EXPECT_EQ(r.NameField(), nullptr);
    Frame();
    EXPECT_EQ(r.ShownScore(), total);
    EXPECT_NE(r.NameField(), nullptr);
}

TEST_F(ResultsTest, AZeroTotalStillOpensTheTableAndNoRecordOpensNone) {
    // Every part of the score at nothing: more losses than kills, a slow and costly game.
    stats.kills = 1;
    stats.losses = 5;
    stats.unitsMade = 1;
    stats.buildEffort = 1000;
    stats.baseTime = 1000000000;
    MissionStats::totalUnits = 10;
    MissionStats::totalEffort = 1000;
    MissionStats::totalCost = 0;
    ResultsScreen& r = Results(1, &stats);
    MissionStats::ClearTotals();
    EXPECT_EQ(r.TotalScore(), 0);
    Frame();
    EXPECT_NE(r.NameField(), nullptr);
    screen->Unload();
    screen.reset();
    ResultsScreen& bare = Results(1, nullptr);
    Ticks(3);
    EXPECT_EQ(bare.TotalScore(), 0);
    EXPECT_EQ(bare.Shown(0) + bare.Shown(1) + bare.Shown(2) + bare.Shown(3), 0);
    EXPECT_EQ(bare.NameField(), nullptr);
    // With no table to save, Save stays grey: it takes neither the pointer nor a click.
    Button* save = bare.ButtonOf(ResultsScreen::kSave);
    Button* done = bare.ButtonOf(ResultsScreen::kDone);
    ASSERT_EQ(save->enabled, 0);
    for (const auto& [at, shape] :
         std::vector<std::pair<Point, int>>{{save->Centre(), kArrowCursor},
                                            {done->Centre(), kButtonCursor},
                                            {Point(100, 100), kArrowCursor}}) {
        Post(InputKind::MouseMove, at, 0);
        Frame();
        EXPECT_EQ(f->display.cursorShape, shape);
    }
    EXPECT_EQ(Click(save), 1);
    EXPECT_EQ(Click(done), 0);
}

TEST_F(ResultsTest, ADamagedOrUnwritableTableIsToldOnTheStatusLine) {
    WriteFile(Path("score.dat"), "kept\n5\nodd\n");
    ResultsScreen& r = Results(1, &stats);
    Ticks(60);
    // The rows that read whole are kept, and the player reads how many; nothing has moved yet.
    EXPECT_EQ(std::string(f->world->statusText),
              HighScoreTable::DamagedMessage(HighScoreTable::kLeftInPlaceLine, 1));
    EXPECT_NE(std::string(f->world->statusText)
                  .find("left in place and not written over. Rows "
                        "kept: 1"),
              std::string::npos);
    ASSERT_EQ(r.Table().Rows().size(), 2u);
    EXPECT_EQ(Pixel(300, 12), f->world->statusColour);
    if (std::filesystem::exists("/dev/full")) {
        std::filesystem::create_symlink("/dev/full", Path("score.dat.tmp"));
        EXPECT_EQ(Key(kKeyEnter), 1);
        EXPECT_STREQ(f->world->statusText, GetString(HighScoreTable::kSaveFailedLine));
        EXPECT_EQ(ScoreFile(), "kept\n5\nodd\n");
        EXPECT_FALSE(std::filesystem::exists(Path("score.dat.bad")));
        EXPECT_EQ(r.NameField(), nullptr);
        std::filesystem::remove(Path("score.dat.tmp"));
        screen->Unload();
        screen.reset();
        Results(1, &stats);
        Ticks(60);
    }
    // Only a save that set it aside says it is kept aside.
    EXPECT_EQ(Key(kKeyEnter), 1);
    EXPECT_EQ(std::string(f->world->statusText),
              HighScoreTable::DamagedMessage(HighScoreTable::kKeptAsideLine, 1));
    EXPECT_NE(std::string(f->world->statusText).find("kept aside. Rows kept: 1"),
              std::string::npos);
    EXPECT_EQ(ReadFile(Path("score.dat.bad")), "kept\n5\nodd\n");
}

// A table that cannot be read (a directory in its place) is told by name when it opens; this
// game's row is shown, and saving it says it was not written. Nothing is moved or written.
TEST_F(ResultsTest, ATableThatCannotBeReadShowsTheRowButNeverWritesIt) {
    std::filesystem::create_directory(Path("score.dat"));
    ResultsScreen& r = Results(1, &stats);
    Ticks(60);
    EXPECT_EQ(std::string(f->world->statusText),
              HighScoreTable::UnreadableMessage(HighScoreTable::kUnreadableLine));
    ASSERT_EQ(r.Table().Rows().size(), 1u);
    EXPECT_EQ(Key(kKeyEnter), 1);
    EXPECT_EQ(std::string(f->world->statusText),
              HighScoreTable::UnreadableMessage(HighScoreTable::kNotWrittenLine));
    EXPECT_TRUE(std::filesystem::is_directory(Path("score.dat")));
    EXPECT_TRUE(std::filesystem::is_empty(Path("score.dat")));
    EXPECT_FALSE(std::filesystem::exists(Path("score.dat.bad")));
}

TEST_F(ResultsTest, AltF4AndCtrlQEndTheScreenAtOnce) {
    const struct {
        int alt, ctrl;
        int32_t key;
        GameMode mode;
    } cases[] = {
        {1, 0, kKeyF4, GameMode::Quit},
        {0, 1, 'q', GameMode::MainMenu},
        {0, 1, 17, GameMode::MainMenu},
    };
    for (const auto& c : cases) {
        if (screen) {
            screen->Unload();
            screen.reset();
        }
        Results(1, nullptr);
        f->world->requestedMode = 0;
        f->events.altDown = c.alt;
        f->events.ctrlDown = c.ctrl;
        EXPECT_EQ(Key(c.key), 0) << c.key;
        EXPECT_EQ(f->world->requestedMode, static_cast<int>(c.mode)) << c.key;
    }
    f->events.altDown = f->events.ctrlDown = 0;
}

TEST_F(ResultsTest, ChatLinesAreCutAndOnlyNetworkGamesChat) {
    EXPECT_EQ(ResultsScreen::ChatLine("host", "hi"), "[host]: hi");
    EXPECT_EQ(ResultsScreen::ChatLine(nullptr, "hi"), "hi");
    EXPECT_EQ(ResultsScreen::ChatLine(std::string(200, 'h').c_str(), "hi").size(), 127u);
    for (const size_t length : {126u, 127u, 128u})
        EXPECT_EQ(ResultsScreen::ChatLine(nullptr, std::string(length, 'a').c_str()),
                  std::string(std::min<size_t>(length, 127), 'a'));
    ResultsScreen& r = Results(0, &stats);
    Key('u');
    EXPECT_EQ(r.ChatOpen(), 0);
}

TEST_F(ResultsTest, TheLostMissionPromptShowsItsButtonsAndLeavesForTheMenu) {
    // The pointer over each place, alone and in a network game (where "go on" is grey).
    for (const int network : {0, 1}) {
        if (screen) {
            screen->Unload();
            screen.reset();
        }
        InPlay();
        f->world->networkGame = network;
        ResultsScreen& r = Results(0, &stats);
        NextMissionPrompt& prompt = *r.Prompt();
        const Point leave = prompt.ButtonOf(NextMissionPrompt::kLeave)->Centre();
        const Point goOn = prompt.ButtonOf(NextMissionPrompt::kGoOn)->Centre();
        for (const auto& [at, shape] :
             std::vector<std::pair<Point, int>>{{leave, kButtonCursor},
                                                {goOn, network ? kArrowCursor : kButtonCursor},
                                                {Point(100, 100), kArrowCursor}}) {
            Post(InputKind::MouseMove, at, 0);
            Frame();
            EXPECT_EQ(f->display.cursorShape, shape) << network << " " << at.y;
        }
        // A press that leaves the button before its release chooses nothing.
        f->world->requestedMode = 0;
        Post(InputKind::MouseMove, leave, 0);
        Post(InputKind::ButtonDown, leave, 'L');
        Post(InputKind::ButtonUp, Point(100, 100), 'L');
        EXPECT_EQ(Frame(), 1);
        EXPECT_EQ(f->world->requestedMode, 0);
        // A press outside the buttons and a release on one chooses nothing either.
        Post(InputKind::MouseMove, Point(100, 100), 0);
        Post(InputKind::ButtonDown, Point(100, 100), 'L');
        Post(InputKind::ButtonUp, leave, 'L');
        EXPECT_EQ(Frame(), 1);
        EXPECT_EQ(f->world->requestedMode, 0);
        EXPECT_EQ(Click(leave), 0);
        EXPECT_EQ(f->world->requestedMode, static_cast<int>(GameMode::MainMenu));
        EXPECT_EQ(f->world->pendingScenario, nullptr);
    }
    f->world->networkGame = 0;
    // Escape, its control-key twin and Ctrl+Q leave too, Alt+F4 quits; any other key stays.
    const struct {
        int32_t key;
        int ctrl, alt;
        GameMode mode;  // None: the prompt stays
    } keys[] = {{'x', 0, 0, GameMode::None},
                {'q', 0, 0, GameMode::None},
                {kKeyEscape, 0, 0, GameMode::MainMenu},
                {17, 0, 0, GameMode::MainMenu},
                {'q', 1, 0, GameMode::MainMenu},
                {kKeyF4, 0, 0, GameMode::None},
                {kKeyF4, 0, 1, GameMode::Quit}};
    for (const auto& k : keys) {
        screen->Unload();
        screen.reset();
        InPlay();
        Results(0, &stats);
        f->world->requestedMode = 0;
        f->events.ctrlDown = k.ctrl;
        f->events.altDown = k.alt;
        const bool ends = k.mode != GameMode::None;
        EXPECT_EQ(Key(k.key), ends ? 0 : 1) << k.key;
        f->events.ctrlDown = f->events.altDown = 0;
        EXPECT_EQ(f->world->requestedMode, static_cast<int>(k.mode)) << k.key;
    }
}

TEST_F(ResultsTest, ThePromptsAnswersTakeClicksAcrossTheirWholeRows) {
    // Leave over (269,220)-(386,240), go on over (269,253)-(386,273), corners included.
    const struct {
        Point at;
        GameMode mode;  // None: the prompt stays
    } cases[] = {
        {{269, 220}, GameMode::MainMenu},      {{386, 240}, GameMode::MainMenu},
        {{268, 230}, GameMode::None},          {{387, 230}, GameMode::None},
        {{300, 219}, GameMode::None},          {{300, 246}, GameMode::None},
        {{269, 253}, GameMode::StartScenario}, {{386, 273}, GameMode::StartScenario},
        {{300, 274}, GameMode::None},          {{387, 263}, GameMode::None},
    };
    for (const auto& c : cases) {
        if (screen) {
            screen->Unload();
            screen.reset();
        }
        f->world->pendingScenario.reset();
        InPlay(3);
        Results(0, &stats);
        f->world->requestedMode = 0;
        EXPECT_EQ(Click(c.at), c.mode == GameMode::None ? 1 : 0) << c.at.x << "," << c.at.y;
        EXPECT_EQ(f->world->requestedMode, static_cast<int>(c.mode)) << c.at.x << "," << c.at.y;
    }
}

TEST_F(ResultsTest, ANetworkGamesPromptCarriesItsOverlayAndALocalOneDoesNot) {
    ResourceFile pack;
    ASSERT_TRUE(pack.Open(NextMissionPrompt::kPack, ResourceFile::OpenMode::Pack));
    ASSERT_TRUE(pack.SelectEntry(0, 1));
    Bitmap overlay(&pack);
    // Drawn again over the screen, the overlay changes nothing only where it already shows.
    for (const int network : {1, 0}) {
        if (screen) {
            screen->Unload();
            screen.reset();
        }
        InPlay();
        f->world->networkGame = network;
        Results(0, &stats);
        Frame();
        const std::vector<uint8_t> shown(f->display.BackPage(), f->display.BackPage() + 640 * 480);
        f->display.SetClipRect(Rect(Point(0, 0), Size(640, 480)));
        overlay.DrawAt(Point(0, 0));
        const std::vector<uint8_t> again(f->display.BackPage(), f->display.BackPage() + 640 * 480);
        EXPECT_EQ(again == shown, network == 1) << network;
    }
    f->world->networkGame = 0;
}

TEST_F(ResultsTest, InANetworkGameUOrCtrlF1ToF4OpenAChatLineAndEnterSendsIt) {
    InPlay();
    World& w = *f->world;
    w.networkGame = 1;
    w.localPlayer.third = 3;
    MemoryLink link;
    w.peerSlots[0].peerLink = &link;
    w.Commands().SetEnabled(1);
    ResultsScreen& r = Results(1, nullptr);
    // The bytes the next chat line adds to the outgoing commands.
    auto sent = [&](size_t before) {
        return std::string(reinterpret_cast<const char*>(w.Commands().Data()) + before,
                           w.Commands().Size() - before);
    };
    const struct {
        int32_t key;
        int addressee;  // -1: the key opens no chat line
    } cases[] = {{'u', 0}, {'U', 0}, {kKeyCtrlF1, 1}, {kKeyCtrlF1 + 3, 4}, {kKeyCtrlF1 + 4, -1},
                 {'x', -1}};
    for (const auto& c : cases) {
        EXPECT_EQ(Key(c.key), 1) << c.key;
        EXPECT_EQ(r.ChatOpen(), c.addressee >= 0 ? 1 : 0) << c.key;
        if (c.addressee < 0) continue;
        // The line shows in the own colour across the top.
        EXPECT_EQ(Pixel(8, 8), 3);
        EXPECT_EQ(Pixel(620, 17), 3);
        EXPECT_EQ(Pixel(8, 26), 3);
        // Inside it the line's own frame, and the box is the own colour right up to it.
        EXPECT_EQ(Pixel(9, 9), 10);
        EXPECT_EQ(Pixel(630, 25), 10);
        EXPECT_EQ(Pixel(300, 11), 3);
        const size_t before = w.Commands().Size();
        Key('h');
        Key('i');
        // Enter belongs to the line while it is open: the screen stays.
        EXPECT_EQ(Key(kKeyEnter), 1) << c.key;
        EXPECT_EQ(r.ChatOpen(), 0);
        const std::string text = std::string(1, '\x03') + static_cast<char>(c.addressee) + "[" +
                                 link.HostName() + "]: hi";
        EXPECT_NE(sent(before).find(text), std::string::npos) << c.key;
        EXPECT_NE(Pixel(620, 17), 3);
    }
    // An empty line sends nothing.
    Key('u');
    const size_t before = w.Commands().Size();
    Key(kKeyEnter);
    EXPECT_EQ(r.ChatOpen(), 0);
    EXPECT_EQ(w.Commands().Size(), before);
    w.peerSlots[0].peerLink = nullptr;
    w.Commands().SetEnabled(0);
    w.networkGame = 0;
}

TEST_F(ResultsTest, TheSaveButtonStoresTheNameAndTheScreenStaysUntilDone) {
    InPlay();
    ResultsScreen& r = Results(1, &stats);
    Ticks(60);
    ASSERT_NE(r.NameField(), nullptr);
    // Each typed letter goes into the name and keeps the screen.
    for (const char c : std::string("bo"))
        EXPECT_EQ(Key(c), 1) << c;
    EXPECT_EQ(Click(r.ButtonOf(ResultsScreen::kSave)), 1);
    EXPECT_EQ(r.NameField(), nullptr);
    EXPECT_EQ(r.ButtonOf(ResultsScreen::kSave)->enabled, 0);
    EXPECT_EQ(ScoreFile(), "bo\n" + std::to_string(r.TotalScore()) + "\n");
    EXPECT_EQ(Click(r.ButtonOf(ResultsScreen::kDone)), 0);
    EXPECT_EQ(ScoreFile(), "bo\n" + std::to_string(r.TotalScore()) + "\n");
}

}  // namespace
