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

TEST_F(TitleScreenTest, LoadInstallsTheTitlePaletteAndHidesTheCursor) {
    f.display.cursorShape = 5;
    ASSERT_EQ(screen.Load(), 1);
    ASSERT_NE(f.display.GetPalette(), nullptr);
    EXPECT_EQ(f.display.GetPalette()->entries[kTitleColour].r, TitleScreen::kTitlePaletteRow);
    EXPECT_EQ(f.display.cursorShape, TitleScreen::kNoCursor);
    screen.Unload();
}

TEST_F(TitleScreenTest, WithMoviesOffTheTitleShowsFromTheSecondFrameAndTheMenuFollowsAMinuteLater) {
    moviesOff = 1;
    ASSERT_EQ(screen.Load(), 1);
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

TEST_F(TitleScreenTest, ModifierKeysAloneDoNotLeave) {
    ShowTitle();
    Key(kKeyShift);
    Key(kKeyCtrl);
    Key(kKeyAlt);
    f.events.Post(InputKind::MouseMove, Point(1, 1), 0);
    f.events.Post(InputKind::ButtonUp, Point(1, 1), 'L');
    EXPECT_EQ(Frame(), 1);
    EXPECT_TRUE(f.events.IsEmpty());
}

TEST_F(TitleScreenTest, EscRequestsQuitAndAnyOtherKeyOrAClickTheMenu) {
    ShowTitle();
    Key(kKeyEscape);
    EXPECT_EQ(Frame(), 0);
    EXPECT_EQ(f.world->requestedMode, static_cast<int>(GameMode::Quit));

    Key(kKeyEnter);
    EXPECT_EQ(Frame(), 0);
    EXPECT_EQ(f.world->requestedMode, static_cast<int>(GameMode::MainMenu));

    f.world->requestedMode = 0;
    f.events.Post(InputKind::ButtonDown, Point(1, 1), 'R');
    EXPECT_EQ(Frame(), 0);
    EXPECT_EQ(f.world->requestedMode, static_cast<int>(GameMode::MainMenu));
}

TEST_F(TitleScreenTest, ALaterEventReplacesAnEarlierRequest) {
    ShowTitle();
    Key('q');
    Key(kKeyEscape);
    EXPECT_EQ(Frame(), 0);
    EXPECT_EQ(f.world->requestedMode, static_cast<int>(GameMode::Quit));
}

TEST_F(TitleScreenTest, AltF4QuitsAtOnceLeavingLaterEventsQueued) {
    ShowTitle();
    f.events.altDown = 1;
    Key(kKeyF4);
    Key('x');
    EXPECT_EQ(Frame(), 0);
    EXPECT_EQ(f.world->requestedMode, static_cast<int>(GameMode::Quit));
    EXPECT_FALSE(f.events.IsEmpty());
    f.events.altDown = 0;
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
