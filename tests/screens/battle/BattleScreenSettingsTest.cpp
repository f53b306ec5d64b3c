// The unit panel's settings pages with one unit and with several, the repair order, the voices
// of a team that lost its factory, and a disabled panel button's silence.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <vector>

#include "BattleScreenFixture.h"
#include "catalogue/VehicleDesign.h"
#include "core/KeyCodes.h"
#include "core/Sound.h"
#include "core/VoicePool.h"
#include "screens/battle/ControlPanel.h"
#include "screens/battle/DesignPanels.h"
#include "ui/Button.h"
#include "ui/ScrollList.h"

namespace {

class HeardSound : public Sound {
public:
    HeardSound(int entry, int& plays) : Sound(entry), plays(plays) {}
    void Play(int /*loop*/) override { ++plays; }
    int& plays;
};

// The design screen's four settings pages as the battle screen reaches them: page 12 has the
// two sliders at list positions 2 and 3 (the list runs from the last button added) and group
// 2's rows; the other pages have option rows of their groups only.
class FakeDesignPanels : public ScreenBase, public DesignPanels {
public:
    FakeDesignPanels() {
        for (auto& p : panels)
            p = std::make_unique<ControlPanel>(nullptr);
        auto row = [](ControlPanel& panel, int group, int y) {
            panel.AddButton(Point(20, y), 19, 18, nullptr, {}, {}, {}, 1, Point(), Point(), group,
                            Rect(Point(20, y), Size(150, 18)));
        };
        for (int y = 0; y < 5; ++y)
            row(*panels[0], 0, 100 + 20 * y);
        for (int y = 0; y < 3; ++y)
            row(*panels[1], 4, 100 + 20 * y);
        // Page 12: the sliders of settings 3 and 1, then group 2's two rows.
        for (int group : {3, 1})
            panels[2]->AddButton(Point(200, 100 + 40 * group), 38, 27, nullptr, {}, {}, {},
                                 Button::kHorizontalSlider, Point(200, 100 + 40 * group),
                                 Point(300, 100 + 40 * group), group, Rect());
        row(*panels[2], 2, 200);
        row(*panels[2], 2, 220);
        for (int y = 0; y < 2; ++y)
            row(*panels[3], 6, 100 + 20 * y);
        for (int y = 0; y < 2; ++y)
            row(*panels[3], 5, 200 + 20 * y);
    }
    ControlPanel* GetControlPanel(int32_t code) override {
        const int i = code == 9 ? 0 : code == 10 ? 1 : code == 12 ? 2 : code == 13 ? 3 : -1;
        return i < 0 ? nullptr : panels[static_cast<size_t>(i)].get();
    }
    void DrawDesignSettings(const VehicleDesign&) override {}
    Button* SettingsPageButton(int32_t) override { return nullptr; }

    std::unique_ptr<ControlPanel> panels[4];
};

class BattleSettingsTest : public BattleScreenTest {
protected:
    void SetUp() override {
        BattleScreenTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        auto owned = std::make_unique<FakeDesignPanels>();
        panels = owned.get();
        world().designScreen = std::move(owned);
    }
    void TearDown() override {
        if (screen) screen->activePanel = nullptr;
        world().designScreen.reset();
        BattleScreenTest::TearDown();
    }
    // The list positions of the pressed options of a group.
    static std::vector<int> Pressed(ControlPanel& panel, int group) {
        std::vector<int> at;
        for (int k = 0; k < panel.Count(); ++k) {
            Button* b = panel.ButtonAt(k);
            if (b->id == group && b->pressed && b->mode != Button::kHorizontalSlider)
                at.push_back(k);
        }
        return at;
    }
    void ShowPage(int code) {
        screen->ShowSettingsPage(BattleScreen::kPage9Region + code - 9);
        ASSERT_EQ(screen->activePanel, panels->GetControlPanel(code));
    }

    FakeDesignPanels* panels = nullptr;
};

TEST_F(BattleSettingsTest, OneUnitShowsItsSettingsAndSeveralShowNothingChosen) {
    VehicleDesign first('V'), second('V');
    first.parameters = {1, 40, 0, 70, 2, 0, 3, 0, 0};
    second.parameters = {3, 20, 1, 10, 0, 1, 0, 0, 0};
    TestObject* a = Unit(1, Point(100, 100));
    TestObject* b = Unit(2, Point(200, 100));
    a->design = &first;
    b->design = &second;

    a->selected = 1;
    ShowPage(9);
    EXPECT_EQ(Pressed(*panels->panels[0], 0), std::vector<int>{1});
    ShowPage(12);
    ControlPanel& page12 = *panels->panels[2];
    // The sliders at list positions 2 and 3 take settings 1 and 3.
    ASSERT_EQ(page12.ButtonAt(2)->id, 1);
    ASSERT_EQ(page12.ButtonAt(3)->id, 3);
    EXPECT_EQ(page12.ButtonAt(2)->GetValue(), 40);
    EXPECT_EQ(page12.ButtonAt(3)->GetValue(), 70);
    EXPECT_EQ(page12.valuesVisible, 1);
    EXPECT_EQ(Pressed(page12, 2), std::vector<int>{0});
    ShowPage(13);
    EXPECT_EQ(Pressed(*panels->panels[3], 6), std::vector<int>{3});
    EXPECT_EQ(Pressed(*panels->panels[3], 5), std::vector<int>{0});

    // Two units (of two designs) selected: every group of every page shows nothing chosen, and
    // the sliders hide their values.
    b->selected = 1;
    ShowPage(9);
    EXPECT_TRUE(Pressed(*panels->panels[0], 0).empty());
    ShowPage(12);
    EXPECT_TRUE(Pressed(page12, 2).empty());
    EXPECT_EQ(page12.valuesVisible, 0);
    ShowPage(13);
    EXPECT_TRUE(Pressed(*panels->panels[3], 5).empty());
    EXPECT_TRUE(Pressed(*panels->panels[3], 6).empty());
    // Only the shown page is enabled.
    EXPECT_EQ(panels->panels[0]->ButtonAt(0)->enabled, 0);
    EXPECT_EQ(panels->panels[3]->ButtonAt(0)->enabled, 1);
}

TEST_F(BattleSettingsTest, RepairOrdersSkipTheRepairUnitsAndSpeakOnlyWhenSomeoneWent) {
    TestObject* tank = Unit(1, Point(100, 100), 1, 1);
    TestObject* repairer = Unit(2, Point(200, 100), 1, 2);
    repairer->selected = 1;
    screen->SendForRepair();
    EXPECT_TRUE(repairer->given.empty());
    EXPECT_EQ(screen->voicePlaying, nullptr);
    tank->selected = 1;
    screen->SendForRepair();
    EXPECT_TRUE(repairer->given.empty());
    ASSERT_EQ(tank->given.size(), 1u);
    EXPECT_EQ(tank->given[0].code, 7);
    EXPECT_EQ(tank->given[0].target, SimId());
    EXPECT_EQ(screen->voicePlaying, screen->soundBanks[BattleScreen::kRepairVoice][0].get());
}

TEST_F(BattleSettingsTest, ATeamWhoseFactoryWasPlacedAndIsGoneHearsNoVoice) {
    world().scenario->factoryPlaced[1] = 1;
    screen->PlayVoice(BattleScreen::kSelectVoice);
    EXPECT_EQ(screen->voicePlaying, nullptr);
    EXPECT_EQ(world().voices->Count(), 0);
    // Another team's lost factory does not matter, nor a factory never placed.
    world().scenario->factoryPlaced[1] = 0;
    world().scenario->factoryPlaced[2] = 1;
    screen->PlayVoice(BattleScreen::kSelectVoice);
    EXPECT_EQ(screen->voicePlaying, screen->soundBanks[BattleScreen::kSelectVoice][0].get());
    screen->StopVoice();
    world().scenario->factoryPlaced[1] = 1;
    AddFactory(Point(300, 300));
    screen->PlayVoice(BattleScreen::kMoveVoice);
    EXPECT_EQ(screen->voicePlaying, screen->soundBanks[BattleScreen::kMoveVoice][0].get());
    // A team outside the scenario's table has placed no factory and hears its voices (the
    // fields round the table read as a placed factory, so that a read beyond it would be heard).
    Scenario& scenario = *world().scenario;
    std::fill(std::begin(scenario.startOrder), std::end(scenario.startOrder), 1);
    std::fill(std::begin(scenario.lineBuffer), std::end(scenario.lineBuffer), 0);
    const int32_t placed = 1;
    std::memcpy(scenario.lineBuffer, &placed, sizeof placed);
    for (int team : {-1, Scenario::kTeams}) {
        screen->StopVoice();
        screen->localTeam = team;
        screen->PlayVoice(BattleScreen::kSelectVoice);
        EXPECT_EQ(screen->voicePlaying, screen->soundBanks[BattleScreen::kSelectVoice][0].get())
            << team;
    }
    screen->localTeam = 1;
}

TEST_F(BattleSettingsTest, PressingADisabledButtonIsSilent) {
    int accepted = 0, refused = 0;
    world().confirmSound = std::make_unique<HeardSound>(23, accepted);
    world().refuseSound = std::make_unique<HeardSound>(24, refused);
    world().scenario->missionNumber = 12;
    screen->Unload();
    ASSERT_EQ(screen->LoadForTeam(1, 'V'), 1);
    ASSERT_EQ(screen->buttons[BattleScreen::kDesignButton]->enabled, 0);
    // The design-groups button stands on the open build panel, with single designs listed.
    for (int id : {BattleScreen::kDesignButton, BattleScreen::kDesignGroupsButton}) {
        screen->buildPanelOpen = 1;
        screen->designListFlag = 1;
        const Point at = screen->buttons[id]->Centre();
        ASSERT_EQ(screen->HitTest(at), id);
        Click(at);
        EXPECT_EQ(accepted + refused, 0) << id;
        EXPECT_EQ(screen->pressedRegion, BattleScreen::kNoRegion) << id;
    }
    EXPECT_EQ(screen->voicePlaying, nullptr);
    // An enabled one is heard.
    Click(screen->buttons[BattleScreen::kOptionsButton]->Centre());
    EXPECT_GT(accepted, 0);
    EXPECT_EQ(refused, 0);
    // The strip's toggles are heard as taken on their release too; pause pauses.
    for (int id : {BattleScreen::kMarkersButton, BattleScreen::kTrackingButton,
                   BattleScreen::kPauseButton}) {
        const Point at = screen->buttons[id]->Centre();
        ASSERT_EQ(screen->HitTest(at), id);
        accepted = refused = 0;
        Click(at);
        EXPECT_GT(accepted, 0) << id;
        EXPECT_EQ(refused, 0) << id;
    }
    EXPECT_EQ(world().paused, 1);
    // Each toggle is drawn pressed exactly while its state is on.
    ASSERT_EQ(screen->showAllMarkers, 1);
    for (int on : {1, 0}) {
        screen->showAllMarkers = on;
        screen->tracking = 1 - on;
        world().paused = on;
        screen->Draw(16);
        EXPECT_EQ(screen->buttons[BattleScreen::kMarkersButton]->pressed, on);
        EXPECT_EQ(screen->buttons[BattleScreen::kTrackingButton]->pressed, 1 - on);
        EXPECT_EQ(screen->buttons[BattleScreen::kPauseButton]->pressed, on);
    }
}

// A selected object that names a delegate hands the whole move to it, and a target that names
// one is replaced by it.
TEST_F(BattleSettingsTest, OrdersGoThroughADelegateObject) {
    screen->CentreOn(Point(3200, 3200));
    screen->SetRevealMap(1);
    const Point click(256, 240);
    const Point p = screen->ScreenToMap(click);
    TestObject* plain = Unit(1, Point(p.x + 300, p.y));
    TestObject* delegating = Unit(2, Point(p.x + 340, p.y));
    TestObject* carrier = Unit(3, Point(p.x + 600, p.y + 200));
    delegating->delegateId = carrier->id;
    plain->selected = delegating->selected = 1;
    Click(click);
    EXPECT_TRUE(plain->given.empty());
    EXPECT_TRUE(delegating->given.empty());
    ASSERT_EQ(carrier->given.size(), 1u);
    EXPECT_EQ(carrier->given[0].code, BattleScreen::kOrderMove);
    EXPECT_EQ(carrier->given[0].flags, BattleScreen::kFlagsCtrl);
    EXPECT_EQ(carrier->given[0].p, p);
    EXPECT_EQ(carrier->given[0].target, SimId());
    EXPECT_EQ(screen->voicePlaying, screen->soundBanks[BattleScreen::kMoveVoice][0].get());

    // An enemy that names another as its delegate: the attack goes to that one.
    delegating->selected = 0;
    TestObject* shown = Unit(10, p, 2);
    TestObject* behind = Unit(11, Point(p.x - 300, p.y - 300), 2);
    shown->delegateId = behind->id;
    Click(click);
    ASSERT_EQ(plain->given.size(), 1u);
    EXPECT_EQ(plain->given[0].target, behind->id);
}

// The watched object's debug panel covers the whole side panel with its lines until the object
// is gone; then the watch ends and the control panel is back.
TEST_F(BattleSettingsTest, TheDebugPanelShowsTheWatchedObjectUntilItIsGone) {
    TestObject* watched = Unit(5, Point(400, 400));
    screen->debugWatch = watched->id;
    Frame();
    auto panelColours = [&] {
        std::map<int, int> counts;
        const uint8_t* frame = land->screen.BackPage();
        // Above the buttons that the screen draws over the panel afterwards.
        for (int y = 0; y < 440; ++y) {
            for (int x = 512; x < 640; ++x)
                ++counts[frame[y * 640 + x]];
        }
        return counts;
    };
    auto linesAt = [&](int top, int bottom) {
        int ink = 0;
        const uint8_t* frame = land->screen.BackPage();
        for (int y = top; y <= bottom; ++y) {
            for (int x = 512; x < 640; ++x)
                ink += frame[y * 640 + x] == 10;
        }
        return ink;
    };
    std::map<int, int> colours = panelColours();
    // Only the fill and the text colour (the cursor stays off the panel).
    EXPECT_EQ(colours.size(), 2u);
    EXPECT_GT(colours[254], 100 * 440);
    // "Team", "Center", "Radius", "Pct Damage", "Ore", the motion line and "GOALS:".
    EXPECT_GT(linesAt(0, 10), 0);
    EXPECT_GT(linesAt(11, 20), 0);
    EXPECT_GT(linesAt(21, 30), 0);
    EXPECT_GT(linesAt(31, 40), 0);
    EXPECT_GT(linesAt(41, 50), 0);
    EXPECT_GT(linesAt(51, 60), 0);
    EXPECT_EQ(linesAt(61, 70), 0);
    EXPECT_GT(linesAt(71, 80), 0);
    RemoveObjects();
    Frame();
    EXPECT_TRUE(screen->debugWatch.IsNull());
    Frame();
    EXPECT_GT(panelColours().size(), 2u);
}

// A click on a row of the shown page sets that row's value in the selected unit's design.
TEST_F(BattleSettingsTest, AClickOnASettingsRowSetsItInTheSelectedUnitsDesign) {
    VehicleDesign design('V');
    design.parameters = {1, 40, 0, 70, 2, 0, 3, 0, 0};
    TestObject* unit = Unit(1, Point(100, 100));
    unit->design = &design;
    unit->selected = 1;
    screen->unitPanelOpen = 1;
    ShowPage(9);
    ControlPanel& page = *panels->panels[0];
    ASSERT_EQ(Pressed(page, 0), std::vector<int>{1});
    // The row at y 140 reaches into the control area, which starts at (156, 136).
    const Point row(160, 145);
    ASSERT_EQ(screen->HitTest(row), BattleScreen::kControlAreaRegion);
    Click(row);
    const std::vector<int> pressed = Pressed(page, 0);
    ASSERT_EQ(pressed.size(), 1u);
    EXPECT_NE(pressed[0], 1);
    EXPECT_EQ(design.parameters[0], pressed[0]);
    EXPECT_EQ(design.parameters[1], 40);
    // Without a shown page a press there is refused and changes nothing.
    screen->activePanel = nullptr;
    design.parameters[0] = 1;
    Click(row);
    EXPECT_EQ(design.parameters[0], 1);
    unit->design = nullptr;
}

// The feedback sound of each event: accepted or refused as the handler answers, nothing for a
// modifier key, a silent key, a press on a list, a voice, or a release with no action of its
// own (the map, the mini-map, a list, or away from what was pressed).
TEST_F(BattleSettingsTest, EachEventSoundsAcceptedRefusedOrNothing) {
    int accepted = 0, refused = 0;
    world().confirmSound = std::make_unique<HeardSound>(23, accepted);
    world().refuseSound = std::make_unique<HeardSound>(24, refused);
    TestObject* unit = Unit(1, land->Centre(40, 40));
    screen->CentreOn(unit->position);
    const Point options = screen->buttons[BattleScreen::kOptionsButton]->Centre();
    const Point unitPanel = screen->buttons[BattleScreen::kUnitPanelButton]->Centre();
    const Point map(200, 200);
    const Point miniMap = screen->miniMapRect.Centre();
    const Point list = screen->productionList->listRect.origin + Point(4, 4);
    const Point nothing(560, 200);
    auto key = [&](int32_t code) { Post(InputKind::Key, map, code); };
    auto press = [&](const Point& at, int32_t button) {
        Post(InputKind::MouseMove, at, 0);
        Post(InputKind::ButtonDown, at, button);
    };
    auto release = [&](const Point& at, int32_t button) { Post(InputKind::ButtonUp, at, button); };
    const struct {
        const char* name;
        int selected, buildPanel;
        std::function<void()> post;
        int accepted, refused;
    } cases[] = {
        {"Shift alone", 0, 1, [&] { key(kKeyShift); }, 0, 0},
        {"a key taken", 0, 1, [&] { key('v'); }, 1, 0},
        {"a key refused", 0, 1, [&] { key('q'); }, 0, 1},
        {"a silent key", 0, 1, [&] { key(kKeyUp); }, 0, 0},
        {"a key that speaks", 1, 1, [&] { key('g'); }, 0, 0},
        {"a button clicked", 0, 1, [&] { press(options, 'L'), release(options, 'L'); }, 2, 0},
        {"a button refusing its release", 0, 1,
         [&] { press(unitPanel, 'L'), release(unitPanel, 'L'); }, 1, 1},
        {"a button released away", 0, 1, [&] { press(options, 'L'), release(map, 'L'); }, 1, 0},
        {"a right click on the map", 1, 1, [&] { press(map, 'R'), release(map, 'R'); }, 1, 0},
        {"a move order", 1, 1, [&] { press(map, 'L'), release(map, 'L'); }, 0, 0},
        {"a rubber band", 0, 1, [&] { press(map, 'L'), release(map, 'L'); }, 1, 0},
        {"a mini-map click", 0, 0, [&] { press(miniMap, 'L'), release(miniMap, 'L'); }, 1, 0},
        {"a list picked", 0, 1, [&] { press(list, 'L'), release(list, 'L'); }, 0, 0},
        {"a press on nothing", 0, 1, [&] { press(nothing, 'L'), release(nothing, 'L'); }, 0, 1},
        {"a button opening the unit panel", 1, 1,
         [&] { press(unitPanel, 'L'), release(unitPanel, 'L'); }, 2, 0},
    };
    for (const auto& c : cases) {
        unit->SetSelected(c.selected);
        screen->buildPanelOpen = c.buildPanel;
        screen->sideTab = 0;
        screen->optionsOpen = 0;
        screen->StopVoice();
        c.post();
        accepted = refused = 0;
        screen->HandleEvents(16);
        EXPECT_EQ(accepted, c.accepted) << c.name;
        EXPECT_EQ(refused, c.refused) << c.name;
    }
    EXPECT_EQ(screen->optionsOpen, 0);
    EXPECT_EQ(screen->unitPanelOpen, 1);
    screen->CloseUnitPanel();
    // Every enabled panel and strip button is taken on its press and on its release, even with
    // nothing to act on.
    unit->SetSelected(0);
    screen->buildPanelOpen = 0;
    for (int id : {8, 11, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 20, 22, 22}) {
        const Point at = screen->buttons[static_cast<size_t>(id)]->Bounds().origin + Point(4, 4);
        ASSERT_EQ(screen->HitTest(at), id);
        press(at, 'L');
        release(at, 'L');
        accepted = refused = 0;
        screen->HandleEvents(16);
        EXPECT_EQ(accepted, 2) << id;
        EXPECT_EQ(refused, 0) << id;
    }
    EXPECT_EQ(world().paused, 0);
    // So are the side panel's scale and zoom buttons, the list buttons of the open build panel,
    // the unit panel button closing the panel, tracking switched off, and the design button.
    // Two pairs share their places: the zoom buttons and the list buttons each show the other
    // view's, so each pair is clicked in turn.
    const struct {
        int id, buildPanel, unitPanel, tracking;
    } more[] = {{4, 0, 0, 0}, {5, 0, 0, 0}, {7, 0, 0, 0},  {6, 0, 0, 0}, {10, 1, 0, 0},
                {9, 1, 0, 0}, {1, 0, 1, 0}, {21, 0, 0, 1}, {0, 0, 0, 0}};
    for (const auto& m : more) {
        screen->buildPanelOpen = m.buildPanel;
        screen->unitPanelOpen = m.unitPanel;
        screen->tracking = m.tracking;
        screen->sideTab = 0;
        const Point at = screen->buttons[static_cast<size_t>(m.id)]->Bounds().Centre();
        ASSERT_EQ(screen->HitTest(at), m.id);
        press(at, 'L');
        release(at, 'L');
        accepted = refused = 0;
        screen->HandleEvents(16);
        EXPECT_EQ(accepted, 2) << m.id;
        EXPECT_EQ(refused, 0) << m.id;
    }
    EXPECT_EQ(screen->unitPanelOpen, 0);
    EXPECT_EQ(screen->tracking, 0);
    // A part selector is taken on its press and its release.
    screen->buildPanelOpen = 0;
    screen->partSelectorCount = 1;
    screen->partSelectors[0] = Rect(Point(40, 200), Size(16, 16));
    ASSERT_EQ(screen->HitTest(Point(48, 208)), BattleScreen::PartSelectorRegion(0));
    press(Point(48, 208), 'L');
    release(Point(48, 208), 'L');
    accepted = refused = 0;
    screen->HandleEvents(16);
    EXPECT_EQ(accepted, 2);
    EXPECT_EQ(refused, 0);
}

}  // namespace
