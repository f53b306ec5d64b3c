#include "screens/TitleScreen.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/BitmapEncoder.h"
#include "core/KeyCodes.h"
#include "core/MovieBase.h"
#include "core/PackWriter.h"
#include "core/Palette.h"
#include "core/ResourceFile.h"
#include "core/Settings.h"
#include "support/DisplayFixtures.h"
#include "world/WorldTestFixture.h"

namespace {

constexpr uint8_t kTitleColour = 77;

// A movie player that opens what it is told to and plays until the test says it has ended.
class ScriptedMoviePlayer : public MovieBase {
public:
    int Open(const char* path) override {
        opened.push_back(path);
        return openResult;
    }
    void RequestPlay() override { playing = 1; }
    std::vector<std::string> opened;
    int openResult = 1;
};

class TitleScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteAssets();
        f.world->moviesDir = "d:\\Assets\\Movies\\";
    }
    // The palette pack and the title picture.
    void WriteAssets() {
        std::filesystem::create_directory("Assets");
        ResourceFile::SetAssetPath(".\\Assets\\");
        WriteBytes("Assets/7a0txxxx99s999.pal", MarkedPalettePack(27, kTitleColour));
        const std::vector<uint8_t> pixels(640 * 480, kTitleColour);
        PackWriter title(1, 1);
        title.SetEntry(0, 0, EncodeRawBitmap(pixels.data(), 640, 480, 640));
        WriteBytes("Assets/7a1utxxx00s000.msp", title.Build());
    }
    void TearDown() override {
        moviesOff = 0;
        ResourceFile::SetAssetPath("");
    }
    // One frame as the World runs it: events, update, drawing.
    int Frame() {
        const int handled = screen.HandleEvents(16);
        const int updated = screen.Update(16);
        screen.Draw(16);
        return handled && updated;
    }
    void Key(int32_t code) { f.events.Post(InputKind::Key, Point(5, 5), code); }
    bool TitleShows() const { return f.display.BackPage()[640 * 240 + 320] == kTitleColour; }
    // Loaded with movies off and run to the title picture.
    void ShowTitle() {
        moviesOff = 1;
        ASSERT_EQ(screen.Load(), 1);
        Frame();
        Frame();
        ASSERT_EQ(screen.GetPhase(), TitleScreen::Phase::ShowTitle);
    }

    WorldFixture f;
    ScriptedMoviePlayer player;
    TitleScreen screen;
};

TEST_F(TitleScreenTest, WithMoviesOffTheTitleShowsFromTheSecondFrameAndTheMenuFollowsAMinuteLater) {
    moviesOff = 1;
    f.display.cursorShape = 5;
    ASSERT_EQ(screen.Load(), 1);
    // Loading installs the title palette and hides the cursor.
    ASSERT_NE(f.display.GetPalette(), nullptr);
    EXPECT_EQ(f.display.GetPalette()->entries[kTitleColour].r, TitleScreen::kTitlePaletteRow);
    EXPECT_EQ(f.display.cursorShape, TitleScreen::kNoCursor);
    EXPECT_EQ(Frame(), 1);
    EXPECT_FALSE(TitleShows());
    EXPECT_EQ(Frame(), 1);
    EXPECT_TRUE(TitleShows());
    EXPECT_EQ(f.display.cursorShape, TitleScreen::kArrowCursor);
    EXPECT_TRUE(player.opened.empty());
    f.clock.Advance(59999);
    EXPECT_EQ(Frame(), 1);
    f.clock.Advance(1);
    f.world->requestedMode = 0;
    EXPECT_EQ(Frame(), 0);
    EXPECT_EQ(f.world->requestedMode, static_cast<int>(GameMode::MainMenu));
}

TEST_F(TitleScreenTest, IntroPlaysFromTheMovieDirectoryAndEventsWaitForTheTitle) {
    ASSERT_EQ(screen.Load(), 1);
    Key('x');
    EXPECT_EQ(Frame(), 1);
    ASSERT_EQ(player.opened.size(), 1u);
    EXPECT_EQ(player.opened[0], "d:\\Assets\\Movies\\intro.mov");
    EXPECT_EQ(screen.GetPhase(), TitleScreen::Phase::IntroPlaying);
    // While the movie plays the key stays queued.
    EXPECT_EQ(Frame(), 1);
    EXPECT_FALSE(f.events.IsEmpty());
    player.playing = 0;
    EXPECT_EQ(Frame(), 1);
    EXPECT_EQ(screen.GetPhase(), TitleScreen::Phase::StartWait);
    EXPECT_FALSE(f.events.IsEmpty());
    EXPECT_EQ(Frame(), 1);
    EXPECT_EQ(screen.GetPhase(), TitleScreen::Phase::ShowTitle);
    // Now the waiting key leaves for the menu.
    EXPECT_EQ(Frame(), 0);
    EXPECT_EQ(f.world->requestedMode, static_cast<int>(GameMode::MainMenu));
    EXPECT_TRUE(f.events.IsEmpty());
}

TEST_F(TitleScreenTest, AMovieThatCannotBeOpenedIsSkipped) {
    player.openResult = 0;
    ASSERT_EQ(screen.Load(), 1);
    Frame();
    EXPECT_EQ(player.opened.size(), 1u);
    EXPECT_EQ(screen.GetPhase(), TitleScreen::Phase::StartWait);
}

TEST_F(TitleScreenTest, IRestartsTheIntroAndTheWait) {
    ShowTitle();
    f.clock.Advance(59000);
    Key('i');
    EXPECT_EQ(Frame(), 1);
    EXPECT_EQ(screen.GetPhase(), TitleScreen::Phase::StartWait);
    Frame();
    f.clock.Advance(59000);
    EXPECT_EQ(Frame(), 1);
    EXPECT_EQ(screen.GetPhase(), TitleScreen::Phase::ShowTitle);
    // With movies on, I plays the intro again.
    moviesOff = 0;
    Key('I');
    Frame();
    EXPECT_EQ(player.opened.size(), 1u);
    EXPECT_EQ(screen.GetPhase(), TitleScreen::Phase::IntroPlaying);
}

// On the title: modifiers, moves and releases are used up without leaving; Esc or Alt+F4 ask
// to quit, any other key or a click for the menu; the last event of a frame decides, and
// Alt+F4 leaves at once with later events still queued.
TEST_F(TitleScreenTest, EventsOnTheTitleChooseWhereToGo) {
    struct Event {
        InputKind kind;
        int32_t code;
    };
    const struct Case {
        std::vector<Event> events;
        bool alt;
        int result;
        GameMode mode;
        bool queueEmpty;
    } cases[] = {
        {{{InputKind::Key, kKeyShift},
          {InputKind::Key, kKeyCtrl},
          {InputKind::Key, kKeyAlt},
          {InputKind::MouseMove, 0},
          {InputKind::ButtonUp, 'L'}},
         false,
         1,
         GameMode::Title,
         true},
        {{{InputKind::Key, kKeyEscape}}, false, 0, GameMode::Quit, true},
        {{{InputKind::Key, kKeyEnter}}, false, 0, GameMode::MainMenu, true},
        {{{InputKind::ButtonDown, 'R'}}, false, 0, GameMode::MainMenu, true},
        {{{InputKind::Key, 'q'}, {InputKind::Key, kKeyEscape}}, false, 0, GameMode::Quit, true},
        {{{InputKind::Key, kKeyF4}, {InputKind::Key, 'x'}}, true, 0, GameMode::Quit, false},
        // F4 without Alt is any other key.
        {{{InputKind::Key, kKeyF4}}, false, 0, GameMode::MainMenu, true},
    };
    ShowTitle();
    for (const Case& c : cases) {
        f.world->requestedMode = static_cast<int>(GameMode::Title);
        f.events.altDown = c.alt ? 1 : 0;
        for (const Event& e : c.events)
            f.events.Post(e.kind, Point(1, 1), e.code);
        EXPECT_EQ(Frame(), c.result) << int(c.mode);
        EXPECT_EQ(f.world->requestedMode, static_cast<int>(c.mode));
        EXPECT_EQ(f.events.IsEmpty(), c.queueEmpty);
        f.events.altDown = 0;
        f.events.DeleteAll();
    }
}

TEST_F(TitleScreenTest, AMissingTitlePictureOrPaletteIsFatal) {
    for (const char* pack : {"Assets/7a1utxxx00s000.msp", "Assets/7a0txxxx99s999.pal"}) {
        SCOPED_TRACE(pack);
        WriteAssets();
        std::filesystem::remove(pack);
        EXPECT_EXIT(screen.Load(), ::testing::ExitedWithCode(255), "Resource Missing");
    }
}

}  // namespace
