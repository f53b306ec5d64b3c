#include "screens/battle/OptionsMenu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "catalogue/TemplateCatalogue.h"
#include "core/DisplayBase.h"
#include "core/KeyCodes.h"
#include "core/MusicPlayer.h"
#include "net/CommandReceivers.h"
#include "net/NetworkPlay.h"
#include "objects/CommandBuffer.h"
#include "screens/battle/OverlayTestSupport.h"
#include "support/FakeSoundDevice.h"
#include "ui/TextField.h"
#include "world/MissionStats.h"
#include "world/SavedGameIndex.h"
#include "world/Scenario.h"

namespace {

class OptionsMenuTest : public OverlayTest {
protected:
    void SetUp() override {
        OverlayTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        SpeedAdjustment = 0;
    }
    void TearDown() override {
        SpeedAdjustment = 0;
        OverlayTest::TearDown();
    }
    // A game in play that can be saved.
    void StartGame(int mission = 1) {
        World& w = *f->world;
        w.scenario = std::make_unique<Scenario>();
        w.scenario->missionNumber = mission;
        w.teamStats[1] = std::make_unique<MissionStats>();
    }
    OptionsMenu& OpenMenu() {
        OptionsMenu& menu = Open<OptionsMenu>();
        return menu;
    }
    // The queued events one by one as the battle screen passes them, then one tick; the tick's
    // result (0: close the overlay).
    int Run(OptionsMenu& menu) {
        while (std::unique_ptr<InputEvent> event = f->events.Take())
            menu.HandleEvent(*event);
        const int result = menu.Update(16);
        menu.Draw(16);
        return result;
    }
    int ClickOn(OptionsMenu& menu, const Point& p) {
        MoveTo(p);
        Post(InputKind::ButtonDown, p, 'L');
        Post(InputKind::ButtonUp, p, 'L');
        return Run(menu);
    }
    int ClickWidget(OptionsMenu& menu, int index) {
        return ClickOn(menu, menu.WidgetOf(index)->hitRect.Centre());
    }
    void Type(OptionsMenu& menu, const std::string& text) {
        ClickOn(menu, menu.TitleField()->rect.Centre());
        for (char c : text)
            Post(InputKind::Key, Point(), c);
        Post(InputKind::Key, Point(), kKeyEnter);
        Run(menu);
    }
};

TEST_F(OptionsMenuTest, SpeedSliderPositionsGiveSpeedsAndOnlyAChangeIsWritten) {
    OptionsMenu& menu = OpenMenu();
    // Opening at each speed places the knob where it maps back to that speed: nothing written.
    for (int speed = 1; speed <= 5; ++speed) {
        SpeedAdjustment = 3 - speed;
        menu.Activate();
        EXPECT_EQ(menu.WidgetOf(OptionsMenu::kSpeedSlider)->GetValue(), speed * 20 - 9);
        EXPECT_EQ(Run(menu), 1);
        EXPECT_EQ(SpeedAdjustment, 3 - speed);
        EXPECT_EQ(Option("SPEED"), "") << speed;
    }
    const struct {
        int value, speed;
    } cases[] = {{0, 1}, {1, 1}, {20, 1}, {21, 2}, {80, 4}, {81, 5}, {100, 5}};
    CommandBuffer& commands = f->world->Commands();
    commands.SetEnabled(1);
    for (const auto& c : cases) {
        SpeedAdjustment = 0;
        menu.Activate();
        menu.WidgetOf(OptionsMenu::kSpeedSlider)->SetValue(c.value);
        const size_t before = commands.Size();
        Run(menu);
        // The other machines hear of the change: the new speed ends the record.
        ASSERT_GT(commands.Size(), before) << c.value;
        EXPECT_EQ(commands.Data()[commands.Size() - 1], c.speed) << c.value;
        // The World plays it, speed 3 noted as left just now.
        const int32_t now = f->world->recentDead.nowMs;
        EXPECT_TRUE(f->world->speedPlayed.InPlay(0, now, 0)) << c.value;
        EXPECT_FALSE(f->world->speedPlayed.InPlay(0, now + 1, 0)) << c.value;
        EXPECT_EQ(SpeedAdjustment, 3 - c.speed) << c.value;
        EXPECT_EQ(Option("SPEED"), std::to_string(c.speed)) << c.value;
    }
}

// A peer's speed (kinds 25 and 40) is the game's whatever is loaded: it was taken only while
// the menu was, so a guest at the set-up kept its own.
TEST_F(OptionsMenuTest, APeersSpeedIsTakenWithOrWithoutTheMenuAndHeldToTheFiveSpeeds) {
    const struct { int global, taken; } cases[] = {{-2, -2}, {2, 2}, {0, 0}, {-250, -2}, {3, 2}};
    for (bool loaded : {false, true}) {
        OptionsMenu* menu = loaded ? &OpenMenu() : nullptr;
        for (const auto& c : cases) {
            GameReceivers().SetGameSpeed(c.global);
            EXPECT_EQ(SpeedAdjustment, c.taken) << c.global << " " << loaded;
            // The menu opened now shows it, and keeps it.
            if (menu) {
                menu->Activate();
                Run(*menu);
                EXPECT_EQ(SpeedAdjustment, c.taken) << c.global;
            }
        }
        if (menu) menu->Unload();
    }
}

TEST_F(OptionsMenuTest, DraggingTheVolumeKnobSetsTheDeviceAndTheSetting) {
    FakeSoundDevice device;
    device.masterVolume = 100;
    OptionsMenu& menu = OpenMenu();
    menu.Activate();
    Button& knob = *menu.WidgetOf(OptionsMenu::kVolumeSlider);
    EXPECT_EQ(knob.GetValue(), 100);
    const Point grip = knob.Centre();
    // Mouse events are the overlay's, used or not.
    EXPECT_EQ(menu.HandleEvent(InputEvent(InputKind::MouseMove, Point(5, 5), 0)), 1);
    MoveTo(grip);
    Post(InputKind::ButtonDown, grip, 'L');
    // Far past the left end of the travel: the knob stops there.
    MoveTo(Point(0, grip.y));
    Post(InputKind::ButtonUp, Point(0, grip.y), 'L');
    Run(menu);
    EXPECT_EQ(knob.GetValue(), 0);
    EXPECT_EQ(device.masterVolume, 0);
    EXPECT_EQ(Option("VOLUME"), "0");
    // Released off the knob: no action, no sound.
    EXPECT_EQ(Sounds(), "0 accept, 0 refuse");
}

TEST_F(OptionsMenuTest, OneTitleSavedTwiceKeepsOneFile) {
    StartGame();
    OptionsMenu& menu = OpenMenu();
    menu.Activate();
    EXPECT_STREQ(menu.Title(), "untitled");
    Type(menu, "Dune");
    EXPECT_STREQ(menu.Title(), "dune");
    Sounds();
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(ClickWidget(menu, OptionsMenu::kSave), 1);
        EXPECT_EQ(Sounds(), "1 accept, 0 refuse");
    }
    ASSERT_EQ(f->world->savedGames->Count(), 1);
    EXPECT_STREQ(f->world->savedGames->At(0)->Title(), "dune");
    EXPECT_TRUE(std::filesystem::exists(Path("0.scn")));
    EXPECT_FALSE(std::filesystem::exists(Path("1.scn")));
    // Opened again on the saved game, the overlay shows its title; without the index of saved
    // games the title is not known.
    menu.Activate();
    EXPECT_STREQ(menu.Title(), "dune");
    std::unique_ptr<SavedGameIndex> index = std::move(f->world->savedGames);
    menu.Activate();
    EXPECT_STREQ(menu.Title(), "untitled");
    f->world->savedGames = std::move(index);
}

TEST_F(OptionsMenuTest, AFailedSaveIsReportedAndTheOverlayStaysOpen) {
    const struct {
        bool game;
        const char* title;
    } cases[] = {{false, "No game"}, {true, "   "}};
    for (const auto& c : cases) {
        if (c.game) StartGame();
        OptionsMenu& menu = OpenMenu();
        menu.Activate();
        Type(menu, c.title);
        f->world->statusText[0] = 0;
        Sounds();
        EXPECT_EQ(ClickWidget(menu, OptionsMenu::kSave), 1) << c.title;
        // The status line chimes with its message; the button itself is refused.
        EXPECT_EQ(Sounds(), "1 accept, 1 refuse") << c.title;
        EXPECT_STREQ(f->world->statusText, World::MessageLine(World::kSaveFailedLine));
        EXPECT_EQ(f->world->savedGames->Count(), 0);
    }
}

TEST_F(OptionsMenuTest, SavingIsOfferedOnlyInASinglePlayerGameOutsideTheTutorial) {
    const struct {
        int network, mission;
        bool offered;
    } cases[] = {{1, 1, false}, {0, 12, false}, {0, 1, true}};
    for (const auto& c : cases) {
        StartGame(c.mission);
        f->world->networkGame = c.network;
        OptionsMenu& menu = OpenMenu();
        menu.Activate();
        EXPECT_EQ(menu.TitleField() != nullptr, c.offered);
        EXPECT_EQ(menu.WidgetOf(OptionsMenu::kSave)->enabled, c.offered ? 1 : 0);
        EXPECT_STREQ(menu.Title(), c.offered ? "untitled" : "");
        Sounds();
        ClickWidget(menu, OptionsMenu::kSave);
        EXPECT_EQ(Sounds(), c.offered ? "1 accept, 0 refuse" : "0 accept, 1 refuse");
        EXPECT_EQ(f->world->savedGames->Count(), c.offered ? 1 : 0);
        f->world->networkGame = 0;
    }
}

TEST_F(OptionsMenuTest, ButtonsCloseTheOverlayOnlyWhenTheyEndOrLeaveIt) {
    const struct {
        bool game;
        int widget;
        int result, requested, missionText;
    } cases[] = {
        {true, OptionsMenu::kQuit, 0, 2, 0},
        {true, OptionsMenu::kRestart, 0, 9, 0},
        {false, OptionsMenu::kRestart, 0, 2, 0},  // nothing to restart: back to the menu
        {true, OptionsMenu::kMissionText, 0, 1, 1},
        {false, OptionsMenu::kMissionText, 1, 1, 0},  // no mission, no text
        {true, OptionsMenu::kMusic, 1, 1, 0},
    };
    for (const auto& c : cases) {
        f->world->scenario.reset();
        if (c.game) StartGame();
        f->world->requestedMode = 1;
        OptionsMenu& menu = OpenMenu();
        menu.Activate();
        Sounds();
        EXPECT_EQ(ClickWidget(menu, c.widget), c.result) << c.widget;
        EXPECT_EQ(f->world->requestedMode, c.requested) << c.widget;
        EXPECT_EQ(menu.MissionTextRequested(), c.missionText) << c.widget;
        EXPECT_EQ(Sounds(), "1 accept, 0 refuse");
    }
}

TEST_F(OptionsMenuTest, PressesOutsideTheWidgetsAreRefusedAndKeysPassUnlessTyped) {
    OptionsMenu& menu = OpenMenu();
    menu.Activate();
    EXPECT_EQ(ClickOn(menu, Point(150, 380)), 1);
    EXPECT_EQ(Sounds(), "0 accept, 1 refuse");
    // Only the seven widgets are there to find.
    EXPECT_EQ(menu.WidgetOf(-1), nullptr);
    EXPECT_EQ(menu.WidgetOf(OptionsMenu::kWidgets), nullptr);
    EXPECT_NE(menu.WidgetOf(OptionsMenu::kWidgets - 1), nullptr);
    // Pressed on a button, released off it: nothing happens.
    const Point on = menu.WidgetOf(OptionsMenu::kQuit)->hitRect.Centre();
    MoveTo(on);
    Post(InputKind::ButtonDown, on, 'L');
    Post(InputKind::ButtonUp, Point(150, 380), 'L');
    EXPECT_EQ(Run(menu), 1);
    // Over a widget the pointer shows, elsewhere the arrow.
    EXPECT_EQ(f->display.cursorShape, 0x22);
    MoveTo(Point(150, 380));
    EXPECT_EQ(Run(menu), 1);
    EXPECT_EQ(f->display.cursorShape, 0x23);
    // Esc is the battle screen's while nobody types; Alt+F4 quits from here.
    EXPECT_EQ(menu.HandleEvent(InputEvent(InputKind::Key, Point(), kKeyEscape)), 0);
    f->events.altDown = 1;
    EXPECT_EQ(menu.HandleEvent(InputEvent(InputKind::Key, Point(), kKeyF4)), 1);
    EXPECT_EQ(f->world->requestedMode, static_cast<int>(GameMode::Quit));
}

TEST_F(OptionsMenuTest, ALongSavedTitleIsShortenedWhenShown) {
    StartGame();
    const std::string longTitle(100, 'x');
    SavedGameEntry* entry = f->world->savedGames->FindOrCreate(longTitle.c_str());
    ASSERT_NE(entry, nullptr);
    f->world->scenario->SetFileName(entry->FileName());
    OptionsMenu& menu = OpenMenu();
    menu.Activate();
    EXPECT_EQ(std::string(menu.Title()), longTitle.substr(0, OptionsMenu::kShownTitle));
}

TEST_F(OptionsMenuTest, MusicSwitchesTheMusicAndItsOptionEachWay) {
    World& w = *f->world;
    // The music pack of the first volume; the music starts off.
    const std::filesystem::path sounds = Volume(MadeAssets::kVolumes[0]) / "Sounds";
    ASSERT_TRUE(std::filesystem::exists(sounds / MusicPlayer::kPackName));
    w.music = std::make_unique<MusicPlayer>(sounds.string() + "/");
    OptionsMenu& menu = OpenMenu();
    menu.Activate();
    ASSERT_EQ(w.music->IsOn(), 0);
    for (const int on : {1, 0, 1}) {
        EXPECT_EQ(ClickWidget(menu, OptionsMenu::kMusic), 1) << on;
        EXPECT_EQ(Option("MUSIC"), on ? "YES" : "NO") << on;
        EXPECT_EQ(w.music->IsOn(), on) << on;
    }
    w.music.reset();
}

// What the overlay writes: the game speed over its slider as one digit, the volume as three,
// both seven pixels left of and three below the knob's centre in the value colour; the title in
// its field, one pixel in, its baseline two above the field's foot. Each is checked by writing it
// again (nothing changes) and two pixels to the right (something does).
TEST_F(OptionsMenuTest, TheSlidersShowTheirValuesAndTheFieldItsTitle) {
    StartGame();
    OptionsMenu& menu = OpenMenu();
    menu.Activate();
    Type(menu, "dawn");
    ASSERT_STREQ(menu.Title(), "dawn");
    Button* speed = menu.WidgetOf(OptionsMenu::kSpeedSlider);
    Button* volume = menu.WidgetOf(OptionsMenu::kVolumeSlider);
    ASSERT_TRUE(speed && volume);
    ASSERT_EQ(OptionsMenu::SpeedOfSlider(speed->GetValue()), 3);
    char volumeText[8];
    std::snprintf(volumeText, sizeof volumeText, "%3d", volume->GetValue());
    const Rect field = menu.TitleField()->rect;
    TextWriter& font = *f->world->font;
    uint8_t* page = f->display.BackPage();
    auto unchangedBy = [&](const Point& at, const char* text, int colour, const Rect& clip) {
        menu.Draw(16);
        const std::vector<uint8_t> drawn(page, page + 640 * 480);
        display->SetClipRect(clip);
        font.DrawText(at, text, colour);
        display->ResetClipRect();
        return std::equal(drawn.begin(), drawn.end(), page);
    };
    const struct {
        const char* name;
        Point at;
        const char* text;
        int colour;
        Rect clip;
    } texts[] = {
        {"speed", speed->Centre() + Point(-7, 3), "3", OptionsMenu::kValueColour,
         OptionsMenu::Bounds()},
        {"volume", volume->Centre() + Point(-7, 3), volumeText, OptionsMenu::kValueColour,
         OptionsMenu::Bounds()},
        {"title", Point(field.origin.x + 1, field.origin.y + field.extent.h - 2), "dawn",
         OptionsMenu::kTitleColour, field},
    };
    for (const auto& t : texts) {
        EXPECT_TRUE(unchangedBy(t.at, t.text, t.colour, t.clip)) << t.name;
        EXPECT_FALSE(unchangedBy(t.at + Point(2, 0), t.text, t.colour, t.clip)) << t.name;
    }
}

}  // namespace
