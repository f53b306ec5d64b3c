// The panel buttons and lists: the design button's hand-over, the build button and the
// production list's cancel against a factory, disabled buttons; and a whole run through the
// World's mode switch.
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/ChassisTemplate.h"
#include "catalogue/DesignGroup.h"
#include "catalogue/DesignLibrary.h"
#include "catalogue/VehicleDesign.h"
#include "core/Bitmap.h"
#include "core/DisplayBase.h"
#include "core/KeyCodes.h"
#include "core/SpriteSet.h"
#include "core/VoicePool.h"
#include "map/TerrainMap.h"
#include "net/NetworkPlay.h"
#include "objects/FactoryProduction.h"
#include "screens/FrontEndScreenFactory.h"
#include "screens/battle/BattleOverlays.h"
#include "screens/battle/BattleScreenFixture.h"
#include "screens/battle/DesignPanels.h"
#include "screens/battle/FakeFactory.h"
#include "ui/Button.h"
#include "ui/ScrollList.h"

namespace {

VehicleDesign* AddDesign(DesignLibrary& library, const char* name, int complete) {
    VehicleDesign* design = library.AddDesign('V');
    std::snprintf(design->name, sizeof design->name, "%s", name);
    design->complete = complete;
    return design;
}

std::vector<std::string> Names(const std::vector<std::unique_ptr<VehicleDesign>>& designs) {
    std::vector<std::string> out;
    for (const auto& d : designs)
        out.push_back(d->name);
    return out;
}

}  // namespace

TEST_F(BattleScreenTest, TheBuildListCountsOnlyDesignsListedForBuilding) {
    auto owned = std::make_unique<FakeFactory>(land->Centre(5, 5));
    FakeFactory* factory = owned.get();
    world().AddBuilding(std::move(owned));
    DesignLibrary& library = *world().designLibrary;
    const int before = library.CountAvailable();
    AddDesign(library, "unfinished", 0);
    AddDesign(library, "first", 1);
    AddDesign(library, "second", 1);
    // Pick the second listed design: the unfinished one before it must not count.
    int listed = 0;
    for (VehicleDesign* d = library.FirstAvailable(); d; d = library.NextAvailable(d))
        listed += d->complete == 1;
    ASSERT_GE(library.CountAvailable(), before + 3);
    VehicleDesign* expected = nullptr;
    int expectedRow = 0;
    int n = 0;
    for (VehicleDesign* d = library.FirstAvailable(); d; d = library.NextAvailable(d)) {
        if (d->complete != 1) continue;
        if (std::string(d->name) == "second") {
            screen->buildList->SetCount(listed);
            screen->buildList->SetSelection(n);
            expected = d;
            expectedRow = n;
        }
        ++n;
    }
    ASSERT_TRUE(expected);
    EXPECT_EQ(screen->SelectedBuildDesign(), expected);
    // Choosing that row in the list tells the controller the design's name.
    auto controller = std::make_unique<RecordingController>();
    RecordingController* told = controller.get();
    world().SetTeamController(1, std::move(controller));
    screen->buildPanelOpen = 1;
    screen->buildList->SetSelection(0);
    screen->buildList->top = expectedRow;
    const Point rowAt = screen->buildList->listRect.origin + Point(4, 6);
    Click(rowAt);
    ASSERT_EQ(told->kinds, std::vector<int32_t>{BattleScreen::kEventDesignChosen});
    EXPECT_STREQ(static_cast<const char*>(told->arguments[0]), "second");
    // The build button queues a copy at the front, with Ctrl at the end.
    screen->buildPanelOpen = 1;
    Click(screen->buttons[BattleScreen::kBuildButton]->Centre());
    Modifiers(0, 1, 0);
    Click(screen->buttons[BattleScreen::kBuildButton]->Centre());
    Modifiers(0, 0, 0);
    EXPECT_EQ(Names(factory->queue), (std::vector<std::string>{"second", "second"}));
    EXPECT_EQ(factory->fronts, (std::vector<int>{1, 0}));
    // A right click on the production list cancels its selected row: row 0 is the job in
    // progress, then the queue from the job built next.
    factory->current = std::make_unique<VehicleDesign>('V');
    std::snprintf(factory->queue[0]->name, 16, "q0");
    std::snprintf(factory->queue[1]->name, 16, "q1");
    for (int selection : {0, 1, 2}) {
        screen->productionList->SetCount(3);
        const Point row = screen->productionList->listRect.origin + Point(4, 4 + 12 * selection);
        Post(InputKind::ButtonDown, row, 'R');
        Post(InputKind::ButtonUp, row, 'R');
        screen->HandleEvents(16);
    }
    EXPECT_EQ(factory->cancelled, (std::vector<std::string>{"current", "q1", "q0"}));
    // A job just begun shows the progress bar's first frame over the panel.
    ChassisValues values;
    values.buildTime = 8000;
    ChassisTemplate chassis(values);
    factory->current->chassis = &chassis;
    factory->remaining = 8000;
    ASSERT_NE(screen->progressBar, nullptr);
    auto panel = [&](SpriteSet* frame0) {
        screen->panelBitmap->RedirectDrawing();
        screen->DrawBuildPanel();
        if (frame0) {
            display->SetClipRect(Rect(Point(0, 0), Size(128, 480)));
            frame0->DrawFrameAt(screen->PanelPictureOrigin(), 0);
        }
        display->ClearRedirect();
        const uint8_t* p = screen->panelBitmap->Pixels();
        return std::vector<uint8_t>(p, p + screen->panelBitmap->ByteCount());
    };
    const std::vector<uint8_t> shown = panel(nullptr);
    std::unique_ptr<SpriteSet> bar = std::move(screen->progressBar);
    EXPECT_NE(panel(nullptr), shown);
    EXPECT_EQ(panel(bar.get()), shown);
    screen->progressBar = std::move(bar);
    factory->current->chassis = nullptr;
    // The design button hands the picked design to the design screen.
    Click(screen->buttons[BattleScreen::kDesignButton]->Centre());
    EXPECT_EQ(library.selected, expected);
    EXPECT_EQ(world().requestedMode, static_cast<int>(GameMode::DesignFromBattle));
}

TEST_F(BattleScreenTest, TheTutorialDisablesTheDesignButtonsSilently) {
    world().scenario->missionNumber = 12;
    screen->Unload();
    ASSERT_EQ(screen->LoadForTeam(1, 'V'), 1);
    EXPECT_EQ(screen->buttons[BattleScreen::kDesignButton]->enabled, 0);
    EXPECT_EQ(screen->buttons[BattleScreen::kDesignGroupsButton]->enabled, 0);
    const int requested = world().requestedMode;
    Click(screen->buttons[BattleScreen::kDesignButton]->Centre());
    EXPECT_EQ(world().requestedMode, requested);
    EXPECT_EQ(screen->pressedRegion, BattleScreen::kNoRegion);
}

// Without a scenario the view starts at the origin with one player; a peer's reveal toggle
// reaches the screen and the map through the network hook.
TEST_F(BattleScreenTest, AltF4EndsTheEventPassAndLeavesTheRestQueued) {
    Modifiers(0, 0, 1);
    Post(InputKind::Key, Point(), kKeyF4);
    Post(InputKind::Key, Point(), 't');
    EXPECT_EQ(screen->HandleEvents(16), 0);
    EXPECT_EQ(world().requestedMode, static_cast<int>(GameMode::Quit));
    std::unique_ptr<InputEvent> rest = events.Take();
    ASSERT_NE(rest, nullptr);
    EXPECT_EQ(rest->param, 't');
    EXPECT_EQ(events.Take(), nullptr);
    // The key itself is not used: its handler answers 0 with the quit requested.
    world().requestedMode = 0;
    int32_t silent = 0;
    EXPECT_EQ(screen->HandleKey(InputEvent(InputKind::Key, Point(), kKeyF4), silent), 0);
    EXPECT_EQ(world().requestedMode, static_cast<int>(GameMode::Quit));
}

TEST_F(BattleScreenTest, WithoutAScenarioTheScreenStillRunsAndPeersRevealTheMap) {
    world().scenario.reset();
    screen->Unload();
    ASSERT_EQ(screen->LoadForTeam(1, 'V'), 1);
    EXPECT_EQ(screen->viewOrigin, Point(0, 0));
    EXPECT_EQ(screen->playerCount, 1);
    screen->PlayVoice(BattleScreen::kSelectVoice);
    Click(Point(300, 300));
    EXPECT_TRUE(Frame());
    ASSERT_TRUE(TheNetworkHooks().setRevealMap);
    TheNetworkHooks().setRevealMap(1);
    EXPECT_EQ(screen->revealMap, 1);
    EXPECT_EQ(world().terrain->RevealAll(), 1);
    // The view still moves, with no scenario to keep its origin.
    screen->CentreOn(Point(3000, 3000));
    EXPECT_EQ(screen->viewOrigin, screen->wantedOrigin);
    EXPECT_GT(screen->viewOrigin.x, 0);
    screen->Unload();
    EXPECT_FALSE(TheNetworkHooks().setRevealMap);
}

// Without terrain the view fits the sight grid and sensed enemies have no tints; without the
// voice pool the voices play and stop on their own, and unloading leaves none playing.
TEST_F(BattleScreenTest, WithoutTerrainOrVoicesTheScreenStillLoadsSpeaksAndUnloads) {
    std::unique_ptr<TerrainMap> terrain = std::move(world().terrain);
    std::unique_ptr<VoicePool> voices = std::move(world().voices);
    screen->Unload();
    ASSERT_EQ(screen->LoadForTeam(1, 'V'), 1);
    EXPECT_EQ(screen->viewRect, screen->FitViewToMap(0));
    for (const auto& tint : screen->sensedTints)
        EXPECT_EQ(tint, nullptr);
    screen->PlayVoice(BattleScreen::kSelectVoice);
    EXPECT_EQ(screen->voicePlaying, screen->soundBanks[BattleScreen::kSelectVoice][0].get());
    screen->PlayVoice(BattleScreen::kGuardVoice);
    const auto& guard = screen->soundBanks[BattleScreen::kGuardVoice];
    EXPECT_TRUE(std::any_of(guard.begin(), guard.end(), [&](const auto& sound) {
        return sound.get() == screen->voicePlaying;
    }));
    screen->Unload();
    EXPECT_EQ(screen->voicePlaying, nullptr);
    world().terrain = std::move(terrain);
    world().voices = std::move(voices);
    ASSERT_EQ(screen->LoadForTeam(1, 'V'), 1);
    for (const auto& tint : screen->sensedTints)
        EXPECT_NE(tint, nullptr);
}

// A chassis of seven hardpoints: the seventh selector has a region code of its own and selects
// part 6 of the selection.
TEST_F(BattleScreenTest, TheSeventhPartSelectorIsHitAndSelectsItsPart) {
    screen->buildPanelOpen = 0;
    screen->partSelectorCount = 7;
    for (int i = 0; i < 7; ++i)
        screen->partSelectors[static_cast<size_t>(i)] = Rect(Point(40 + 20 * i, 200), Size(16, 16));
    for (int i = 0; i < 7; ++i) {
        const int32_t region = screen->HitTest(Point(48 + 20 * i, 208));
        EXPECT_NE(region, BattleScreen::kNoRegion);
        EXPECT_EQ(BattleScreen::PartSelectorOf(region), i);
    }
    struct Picker : TestObject {
        using TestObject::TestObject;
        void SelectPart(int index) override { picked.push_back(index); }
        std::vector<int> picked;
    };
    auto made = std::make_unique<Picker>(1, 77, land->Centre(3, 3), 1, 24);
    Picker* unit = made.get();
    unit->selected = 1;
    std::unique_ptr<GameObject> owned = std::move(made);
    ASSERT_EQ(world().AddSim(owned), 1);
    world().paused = 0;
    Post(InputKind::ButtonDown, Point(48 + 20 * 6, 208), 'L');
    Post(InputKind::ButtonUp, Point(48 + 20 * 6, 208), 'L');
    screen->HandleEvents(16);
    EXPECT_EQ(unit->picked, std::vector<int>{6});
}

TEST_F(BattleScreenTest, TheBuildKeyQueuesThePickedDesignOrTheFinishedDesignsOfAGroup) {
    auto owned = std::make_unique<FakeFactory>(land->Centre(5, 5));
    FakeFactory* factory = owned.get();
    world().AddBuilding(std::move(owned));
    DesignLibrary& library = *world().designLibrary;
    DesignGroup* group = library.AddGroup();
    ASSERT_NE(group, nullptr);
    for (const auto& [name, complete] :
         std::vector<std::pair<const char*, int>>{{"g1", 1}, {"g2", 0}, {"g3", 1}})
        group->Add(AddDesign(library, name, complete));
    const int groupRow = library.IndexOfGroup(group);
    auto press = [&](int32_t key) {
        Post(InputKind::Key, Point(320, 240), key);
        screen->HandleEvents(16);
    };
    // The group list: each finished member goes to the front of the jobs, Ctrl or not.
    screen->buildPanelOpen = 1;
    screen->designListFlag = 0;
    screen->buildList->SetCount(groupRow + 1);
    screen->buildList->SetSelection(groupRow);
    press('B');
    EXPECT_EQ(Names(factory->queue), (std::vector<std::string>{"g3", "g1"}));
    EXPECT_EQ(factory->fronts, (std::vector<int>{1, 1}));
    // With the build panel shut the key queues nothing.
    screen->buildPanelOpen = 0;
    press('B');
    EXPECT_EQ(factory->queue.size(), 2u);
    // The design list: the picked design alone, at the front with B and at the end with Ctrl+B.
    factory->queue.clear();
    factory->fronts.clear();
    screen->buildPanelOpen = 1;
    screen->designListFlag = 1;
    screen->buildList->SetCount(library.CountAvailable());
    screen->buildList->SetSelection(0);
    VehicleDesign* picked = screen->SelectedBuildDesign();
    ASSERT_NE(picked, nullptr);
    press('B');
    press(2);
    ASSERT_EQ(factory->queue.size(), 2u);
    EXPECT_EQ(factory->fronts, (std::vector<int>{1, 0}));
    for (const auto& job : factory->queue)
        EXPECT_STREQ(job->CodeString(), picked->CodeString());
    // A right click on a production row cancels that row's job: with no job in progress the
    // rows start at the job built next; a row past the jobs cancels nothing.
    std::snprintf(factory->queue[0]->name, 16, "q0");
    std::snprintf(factory->queue[1]->name, 16, "q1");
    auto cancel = [&](int row) {
        screen->productionList->SetCount(4);
        const Point at = screen->productionList->listRect.origin + Point(4, 4 + 12 * row);
        Post(InputKind::ButtonDown, at, 'R');
        Post(InputKind::ButtonUp, at, 'R');
        screen->HandleEvents(16);
    };
    // A left click only picks the list.
    screen->productionList->SetCount(4);
    Click(screen->productionList->listRect.origin + Point(4, 4));
    EXPECT_TRUE(factory->cancelled.empty());
    EXPECT_EQ(screen->currentList, screen->productionList.get());
    for (int row : {0, 1, 2})
        cancel(row);
    EXPECT_EQ(factory->cancelled, (std::vector<std::string>{"q1", "q0"}));
    factory->current = std::make_unique<VehicleDesign>('V');
    cancel(3);
    EXPECT_EQ(factory->cancelled.size(), 2u);
    cancel(2);
    EXPECT_EQ(factory->cancelled, (std::vector<std::string>{"q1", "q0", "q0"}));
}

// Each panel and strip button, clicked, does what the player reads on it.
TEST_F(BattleScreenTest, EachPanelAndStripButtonDoesWhatItShows) {
    TestObject* factory = AddFactory(land->Centre(100, 100));
    TestObject* unit = Unit(1, land->Centre(40, 40));
    unit->SetSelected(1);
    unit->special = 1;
    auto controller = std::make_unique<RecordingController>();
    RecordingController* told = controller.get();
    world().SetTeamController(1, std::move(controller));
    auto click = [&](int id) {
        Click(screen->buttons[static_cast<size_t>(id)]->Bounds().Centre());
    };
    screen->buildPanelOpen = 0;
    screen->bottomStripShown = 1;
    // The bottom strip's orders go to the selection.
    const struct {
        int button;
        int32_t order;
        SimId target;
    } orders[] = {{BattleScreen::kGuardButton, BattleScreen::kOrderGuard, SimId()},
                  {BattleScreen::kRepairButton, BattleScreen::kOrderRepair, SimId()},
                  {BattleScreen::kToFactoryButton, BattleScreen::kOrderTarget, factory->id}};
    for (const auto& o : orders) {
        click(o.button);
        ASSERT_FALSE(unit->given.empty()) << o.button;
        EXPECT_EQ(unit->given.back().code, o.order) << o.button;
        EXPECT_EQ(unit->given.back().target, o.target) << o.button;
    }
    EXPECT_EQ(unit->given.size(), 3u);
    click(BattleScreen::kSpecialActionButton);
    EXPECT_EQ(unit->specialActions, 1);
    click(BattleScreen::kMarkersButton);
    EXPECT_EQ(screen->showAllMarkers, 1);
    // Centre on the factory: it ends up in the middle of the view.
    click(BattleScreen::kCentreFactoryButton);
    Frame();
    const Point middle =
        screen->viewOrigin + Point(screen->viewRect.extent.w / 2, screen->viewRect.extent.h / 2);
    EXPECT_LT(std::abs(middle.x - factory->position.x), 32);
    EXPECT_LT(std::abs(middle.y - factory->position.y), 32);
    EXPECT_EQ(screen->tracking, 0);
    click(BattleScreen::kStripToggleButton);
    EXPECT_EQ(screen->bottomStripShown, 0);
    // Hidden, the strip's buttons take no click.
    EXPECT_NE(screen->HitTest(screen->buttons[BattleScreen::kGuardButton]->Bounds().Centre()),
              BattleScreen::kGuardButton);
    click(BattleScreen::kStripToggleButton);
    EXPECT_EQ(screen->bottomStripShown, 1);
    // The side panel: a scale button on another tab goes back to the mini-map first.
    screen->sideTab = 1;
    screen->miniMapScale = 1;
    click(BattleScreen::kMiniMapScale2Button);
    EXPECT_EQ(screen->sideTab, 0);
    EXPECT_EQ(screen->miniMapScale, 1);
    screen->zoom = 0;
    click(BattleScreen::kZoom2Button);
    EXPECT_EQ(screen->zoom, 1);
    click(BattleScreen::kZoom1Button);
    EXPECT_EQ(screen->zoom, 0);
    click(BattleScreen::kOptionsButton);
    EXPECT_EQ(screen->optionsOpen, 1);
    click(BattleScreen::kOptionsButton);
    EXPECT_EQ(screen->optionsOpen, 0);
    click(BattleScreen::kUnitPanelButton);
    EXPECT_EQ(screen->unitPanelOpen, 1);
    click(BattleScreen::kUnitPanelButton);
    EXPECT_EQ(screen->unitPanelOpen, 0);
    // A right click on the map drops the selection, and with it the open unit panel.
    click(BattleScreen::kUnitPanelButton);
    ASSERT_EQ(screen->unitPanelOpen, 1);
    Click(Point(100, 100), 'R');
    EXPECT_EQ(unit->selected, 0);
    EXPECT_EQ(screen->unitPanelOpen, 0);
    EXPECT_EQ(screen->activePanel, nullptr);
    click(BattleScreen::kUnitPanelButton);
    EXPECT_EQ(screen->unitPanelOpen, 0);
    unit->SetSelected(1);
    told->kinds.clear();
    // The build panel's buttons share their lower half with the unit panel's: the upper half
    // is theirs.
    for (int id : {BattleScreen::kOpenBuildPanelButton, BattleScreen::kCloseBuildPanelButton}) {
        const Rect r = screen->buttons[static_cast<size_t>(id)]->Bounds();
        Click(r.origin + Point(r.extent.w / 2, 4));
        EXPECT_EQ(screen->buildPanelOpen, id == BattleScreen::kOpenBuildPanelButton ? 1 : 0);
    }
    EXPECT_EQ(told->kinds, (std::vector<int32_t>{BattleScreen::kEventBuildPanelOpened,
                                                 BattleScreen::kEventBuildPanelClosed}));
    // Destroy hits the selection; pause stops the game.
    click(BattleScreen::kDestroyButton);
    EXPECT_EQ(unit->hits, std::vector<int>{0});
    click(BattleScreen::kPauseButton);
    EXPECT_EQ(world().paused, 1);
    // The design button ends the battle's event pass and hides the pointer on the way out.
    const Point design = screen->buttons[BattleScreen::kDesignButton]->Bounds().Centre();
    Post(InputKind::MouseMove, design, 0);
    Post(InputKind::ButtonDown, design, 'L');
    Post(InputKind::ButtonUp, design, 'L');
    EXPECT_EQ(screen->HandleEvents(16), 0);
    EXPECT_EQ(screen->cursorShape, BattleScreen::kNoCursor);
    EXPECT_EQ(world().requestedMode, static_cast<int>(GameMode::DesignFromBattle));
}

// The factory's unit panel warns of a taken build area, a taken or missing dock and a product
// that is not ready, each with its own picture over the factory's.
TEST_F(BattleScreenTest, TheFactoryPanelShowsAWarningForEachThingInItsWay) {
    auto owned = std::make_unique<FakeFactory>(land->Centre(5, 5));
    FakeFactory* factory = owned.get();
    world().AddBuilding(std::move(owned));
    ChassisValues values;
    values.unitPanelIcon = -1;
    ChassisTemplate chassis(values);
    VehicleDesign design('V');
    design.chassis = &chassis;
    factory->design = &design;
    factory->selected = 1;
    screen->buildPanelOpen = 0;
    auto panel = [&] {
        screen->DrawControlPanel();
        const uint8_t* p = screen->panelBitmap->Pixels();
        return std::vector<uint8_t>(p, p + screen->panelBitmap->ByteCount());
    };
    // The panel without warnings with the given ones drawn over it.
    auto withWarnings = [&](std::initializer_list<int> shown) {
        screen->DrawControlPanel();
        screen->panelBitmap->RedirectDrawing();
        display->SetClipRect(Rect(Point(9, 112), Point(116, 213)));
        for (int k : shown)
            screen->factoryWarnings[static_cast<size_t>(k)]->DrawAt(screen->PanelPictureOrigin());
        display->ClearRedirect();
        const uint8_t* p = screen->panelBitmap->Pixels();
        return std::vector<uint8_t>(p, p + screen->panelBitmap->ByteCount());
    };
    const struct {
        const char* name;
        int buildAreaFree, freeDock, dockAreaFree, productReady;
        std::initializer_list<int> warnings;
    } cases[] = {
        {"nothing in the way", 1, 0, 1, 1, {}}, {"build area taken", 0, 0, 1, 1, {0}},
        {"no free dock", 1, -1, 1, 1, {1}},     {"dock area taken", 1, 0, 0, 1, {1}},
        {"no product", 1, 0, 1, 0, {2}},        {"everything", 0, -1, 0, 0, {0, 1, 2}},
    };
    for (const auto& c : cases) {
        factory->buildAreaFree = 1;
        factory->freeDock = 0;
        factory->dockAreaFree = 1;
        factory->productReady = 1;
        const std::vector<uint8_t> expected = withWarnings(c.warnings);
        factory->buildAreaFree = c.buildAreaFree;
        factory->freeDock = c.freeDock;
        factory->dockAreaFree = c.dockAreaFree;
        factory->productReady = c.productReady;
        EXPECT_EQ(panel(), expected) << c.name;
    }
    factory->design = nullptr;
}

// The hit test on both sides of every limit: the edge zones (x < 16, x > 624, y < 16, y > 464,
// none while a band is dragged), the unit panel's control area (156, 136)-(478, 378) inclusive,
// the options overlay, the mini-map by tab, the lists' rectangles, and the view.
TEST_F(BattleScreenTest, TheHitTestAnswersEachRegionUpToItsEdges) {
    using B = BattleScreen;
    const Rect options = OptionsMenuBounds();
    const Point optionsEnd = options.origin + Point(options.extent.w - 1, options.extent.h - 1);
    const struct {
        Point p;
        int unitPanel, optionsOpen, buildPanel, tab, band;
        int32_t region;
    } cases[] = {
        {{15, 240}, 0, 0, 1, 0, 0, B::kLeftEdge},
        {{16, 240}, 0, 0, 1, 0, 0, B::kMapViewRegion},
        {{15, 240}, 0, 0, 1, 0, 1, B::kMapViewRegion},
        {{625, 240}, 0, 0, 1, 0, 0, B::kRightEdge},
        {{624, 240}, 0, 0, 1, 0, 0, B::kNoRegion},
        {{256, 15}, 0, 0, 1, 0, 0, B::kTopEdge},
        {{256, 16}, 0, 0, 1, 0, 0, B::kMapViewRegion},
        {{284, 465}, 0, 0, 1, 0, 0, B::kBottomEdge},
        {{284, 464}, 0, 0, 1, 0, 0, B::kMapViewRegion},
        {{5, 5}, 0, 0, 1, 0, 0, B::kTopLeftEdge},
        {{5, 470}, 0, 0, 1, 0, 0, B::kBottomLeftEdge},
        {{630, 5}, 0, 0, 1, 0, 0, B::kTopRightEdge},
        {{636, 475}, 0, 0, 1, 0, 0, B::kBottomRightEdge},
        {{156, 136}, 1, 0, 1, 0, 0, B::kControlAreaRegion},
        {{478, 378}, 1, 0, 1, 0, 0, B::kControlAreaRegion},
        {{155, 200}, 1, 0, 1, 0, 0, B::kMapViewRegion},
        {{479, 200}, 1, 0, 1, 0, 0, B::kMapViewRegion},
        {{300, 135}, 1, 0, 1, 0, 0, B::kMapViewRegion},
        {{300, 379}, 1, 0, 1, 0, 0, B::kMapViewRegion},
        {{300, 200}, 0, 0, 1, 0, 0, B::kMapViewRegion},
        {options.origin, 0, 1, 1, 0, 0, B::kOptionsRegion},
        {optionsEnd, 0, 1, 1, 0, 0, B::kOptionsRegion},
        {options.origin - Point(1, 0), 0, 1, 1, 0, 0, B::kMapViewRegion},
        {options.origin, 0, 0, 1, 0, 0, B::kMapViewRegion},
        {{521, 332}, 0, 0, 0, 0, 0, B::kMiniMapRegion},
        {{630, 438}, 0, 0, 0, 0, 0, B::kMiniMapRegion},
        {{521, 332}, 0, 0, 0, 1, 0, B::kNoRegion},
        {{520, 332}, 0, 0, 0, 0, 0, B::kNoRegion},
        {{600, 438}, 0, 0, 0, 0, 0, B::kMiniMapRegion},
        {{600, 439}, 0, 0, 0, 0, 0, B::kNoRegion},
        {{523, 281}, 0, 0, 1, 0, 0, B::kBuildListRegion},
        {{518, 274}, 0, 0, 1, 0, 0, B::kBuildListRegion},
        {{635, 342}, 0, 0, 1, 0, 0, B::kBuildListRegion},
        {{523, 377}, 0, 0, 1, 0, 0, B::kProductionListRegion},
        {{518, 371}, 0, 0, 1, 0, 0, B::kProductionListRegion},
        {{635, 440}, 0, 0, 1, 0, 0, B::kProductionListRegion},
        {{523, 377}, 0, 0, 0, 0, 0, B::kMiniMapRegion},
    };
    for (const auto& c : cases) {
        screen->unitPanelOpen = c.unitPanel;
        screen->optionsOpen = c.optionsOpen;
        screen->buildPanelOpen = c.buildPanel;
        screen->sideTab = c.tab;
        screen->rubberBanding = c.band;
        EXPECT_EQ(screen->HitTest(c.p), c.region) << c.p.x << "," << c.p.y;
    }
    screen->unitPanelOpen = screen->optionsOpen = screen->rubberBanding = 0;
}

// A mouse move over the map turns the selection's chosen parts toward the map point under it
// (not while paused, not while a band is dragged, which follows the mouse instead); after the
// batch the visible object under the mouse is marked for its hover drawing.
TEST_F(BattleScreenTest, TheMouseOverTheMapAimsTheSelectionAndMarksWhatItHovers) {
    struct Aimer : TestObject {
        using TestObject::TestObject;
        void AimSelectedPart(const Point& p) override { aims.push_back(p); }
        std::vector<Point> aims;
    };
    auto aimer = [&](int serial, const Point& at) {
        return Place(std::make_unique<Aimer>(1, serial, Point(160, 160)), at);
    };
    screen->CentreOn(land->Centre(40, 40));
    Aimer* chosen = aimer(1, land->Centre(40, 40));
    Aimer* other = aimer(2, land->Centre(40, 44));
    chosen->SetSelected(1);
    const Point q(300, 200);
    auto move = [&](const Point& at) {
        Post(InputKind::MouseMove, at, 0);
        screen->HandleEvents(16);
    };
    move(q);
    EXPECT_EQ(chosen->aims, std::vector<Point>{screen->ScreenToMap(q)});
    EXPECT_TRUE(other->aims.empty());
    world().paused = 1;
    move(q);
    EXPECT_EQ(chosen->aims.size(), 1u);
    world().paused = 0;
    screen->rubberBanding = 1;
    screen->bandAnchor = Point(100, 100);
    move(q);
    EXPECT_EQ(chosen->aims.size(), 1u);
    EXPECT_EQ(screen->band, Rect(Point(100, 100), q));
    screen->rubberBanding = 0;
    // Hover: only over a point the team sees.
    const Point over = screen->MapToScreen(other->position);
    other->drawFlag = 0;
    move(over);
    EXPECT_EQ(other->drawFlag, 0);
    screen->SetRevealMap(1);
    move(over);
    EXPECT_EQ(other->drawFlag, 1);
    other->drawFlag = 0;
    move(Point(560, 200));
    EXPECT_EQ(other->drawFlag, 0);
    screen->SetRevealMap(0);
}
