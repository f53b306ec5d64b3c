#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/ChassisTemplate.h"
#include "catalogue/DesignLibrary.h"
#include "catalogue/MountTemplate.h"
#include "catalogue/VehicleDesign.h"
#include "core/Bitmap.h"
#include "core/ColourBox.h"
#include "core/DisplayBase.h"
#include "core/InputEvent.h"
#include "core/KeyCodes.h"
#include "core/ResourceFile.h"
#include "core/StringTable.h"
#include "core/TextWriter.h"
#include "map/TerrainMap.h"
#include "objects/Goal.h"
#include "screens/battle/BattleScreenFixture.h"
#include "screens/battle/FakeFactory.h"
#include "ui/Button.h"
#include "ui/ScrollList.h"
#include "world/MissionStats.h"
#include "world/Scenario.h"

namespace {

class TestMount : public MountTemplate {
public:
    TestMount() : MountTemplate(Values()) {}
    MountKind GetMountKind() const override { return MountKind::Weapon; }
    static MountValues Values() {
        MountValues v;
        v.name = "GUN";
        return v;
    }
};

// A goal the debug panel lists as a place.
class ListedGoal : public Goal {
public:
    explicit ListedGoal(const SimId& owner) : Goal(owner, 1, 1) {}
    int GetType() const override { return 1; }
    int IsDone() override { return 0; }
};

// A goal of any type, done or not, with a stored target.
class TypedGoal : public Goal {
public:
    TypedGoal(const SimId& owner, int type, int done, const SimId& target = SimId())
        : Goal(owner, 1, 1), type(type), done(done), target(target) {}
    int GetType() const override { return type; }
    int IsDone() override { return done; }
    GoalFields StoredFields() const override {
        GoalFields f;
        f.id = target;
        return f;
    }
    int type, done;
    SimId target;
};

// A unit that guards a point, is blocked by one object and was last fired at by another.
class BusyUnit : public TestObject {
public:
    using TestObject::TestObject;
    int IsGuarding() override { return guarding; }
    Point GetGuardPoint() override { return Point(123, 456); }
    void GetBlockingSim(SimId& out) override { out = blocking; }
    GameObject* GetLastAttacker() override { return attacker; }
    int guarding = 0;
    SimId blocking;
    GameObject* attacker = nullptr;
};

using BattleScreenPanelTest = BattleScreenTest;

TEST(BattleScreenBars, FramesStayWithinTheBar) {
    const int n = 11;
    const struct {
        int32_t (*frame)(int32_t, int32_t);
        int32_t value, expected;
    } cases[] = {
        {BattleScreen::RankBarFrame, 64, -1},    {BattleScreen::RankBarFrame, 65, 0},
        {BattleScreen::RankBarFrame, 83, 6},     {BattleScreen::RankBarFrame, 100, 10},
        {BattleScreen::RankBarFrame, 500, 10},   {BattleScreen::DamageBarFrame, 0, -1},
        {BattleScreen::DamageBarFrame, 1, 0},    {BattleScreen::DamageBarFrame, 50, 5},
        {BattleScreen::DamageBarFrame, 99, 10},  {BattleScreen::DamageBarFrame, 100, 10},
        {BattleScreen::DamageBarFrame, 101, 10},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.frame(c.value, n), c.expected) << c.value;
    // Progress over a build time of 10 s: time left 0 is a full bar, more than the build time
    // an empty one.
    const struct {
        int32_t remaining, expected;
    } progress[] = {{0, 10}, {1, 10}, {5000, 5}, {10000, 0}, {25000, 0}};
    for (const auto& p : progress)
        EXPECT_EQ(BattleScreen::ProgressBarFrame(10000, p.remaining, n), p.expected) << p.remaining;
    EXPECT_EQ(BattleScreen::ProgressBarFrame(0, 0, n), -1);
    EXPECT_EQ(BattleScreen::RankBarFrame(90, 0), -1);
}

TEST_F(BattleScreenPanelTest, ASevenHardpointChassisGetsSevenSelectorsAndItsOwnSeventhRegion) {
    ChassisValues values;
    values.hardpointCount = 7;
    for (int i = 0; i < 7; ++i)
        values.secondPoints[static_cast<size_t>(i)] = Point(20 + 12 * i, 130 + 10 * i);
    values.unitPanelIcon = 30;
    ChassisTemplate chassis(values);
    TestMount gun;
    VehicleDesign design('V');
    design.chassis = &chassis;
    for (auto& h : design.hardpoints)
        h = &gun;
    design.hardpoints[3] = nullptr;
    TestObject* unit = Unit(1, Point(300, 300));
    unit->design = &design;
    unit->SetSelected(1);
    screen->buildPanelOpen = 0;
    screen->DrawControlPanel();
    ASSERT_EQ(screen->partSelectorCount, 7);
    for (int i = 0; i < 7; ++i) {
        const Point screenPoint = values.secondPoints[static_cast<size_t>(i)] + Point(512, 0);
        // A hardpoint without a part is no selector.
        if (i == 3) {
            EXPECT_EQ(screen->partSelectors[3], Rect());
            continue;
        }
        EXPECT_EQ(screen->partSelectors[static_cast<size_t>(i)].Centre(), screenPoint) << i;
        EXPECT_EQ(screen->HitTest(screenPoint), BattleScreen::PartSelectorRegion(i)) << i;
    }
    EXPECT_NE(BattleScreen::PartSelectorRegion(6), BattleScreen::kNoRegion);
    // Nothing selected, nothing to hit.
    unit->SetSelected(0);
    screen->DrawControlPanel();
    EXPECT_EQ(screen->partSelectorCount, 0);
}

TEST_F(BattleScreenPanelTest, AnIconOutsideTheLoadedOnesDrawsNothing) {
    ChassisValues values;
    TestObject* unit = Unit(1, Point(300, 300));
    auto pixels = [&](int32_t icon) {
        values.unitPanelIcon = icon;
        ChassisTemplate chassis(values);
        VehicleDesign design('V');
        design.chassis = &chassis;
        screen->panelBitmap->RedirectDrawing();
        display->SetClipRect(Rect(Point(0, 0), Size(128, 480)));
        ColourBox(0, Size(128, 480)).DrawAt(Point(0, 0));
        screen->DrawUnitPanel(&design, 0, 0, nullptr, unit);
        display->ClearRedirect();
        const uint8_t* p = screen->panelBitmap->Pixels();
        return std::vector<uint8_t>(p, p + screen->panelBitmap->ByteCount());
    };
    const std::vector<uint8_t> none = pixels(-1);
    EXPECT_NE(pixels(27), none);
    EXPECT_NE(pixels(41), none);
    for (int32_t icon : {26, 42, 45, 1000})
        EXPECT_EQ(pixels(icon), none) << icon;
}

TEST_F(BattleScreenPanelTest, TheMiniMapCentresAMapNarrowerThanItsWindow) {
    Open(OpenLand(60, 200));
    screen->buildPanelOpen = 0;
    screen->sideTab = 0;
    const struct {
        int scale, offsetX, originX;
    } cases[] = {{1, (110 - 60) / 2, 0}, {2, 0, 60 * 32 - 55 * 32}};
    for (const auto& c : cases) {
        screen->miniMapScale = c.scale;
        screen->viewOrigin = Point(60 * 32 - 512, 0);
        screen->DrawControlPanel();
        EXPECT_EQ(screen->miniMapOffset.x, c.offsetX) << c.scale;
        EXPECT_EQ(screen->miniMapOrigin.x, c.originX) << c.scale;
        EXPECT_EQ(screen->miniMapOffset.y, 0);
    }
    // At 1:1 the revealed map fills exactly its 60 columns of the tab.
    world().terrain->SetRevealAll(1);
    screen->miniMapScale = 1;
    screen->DrawControlPanel();
    const uint8_t* row = screen->panelBitmap->Pixels() + 380 * screen->panelBitmap->RowStride();
    int ground = 0;
    for (int x = 0; x < 128; ++x)
        ground += row[x] == screen->miniMapColours['c'] || row[x] == screen->miniMapColours['e'];
    EXPECT_EQ(ground, 60);
}

// The margins that centre a short or a narrow map are taken off before the click becomes a
// cell.
TEST_F(BattleScreenPanelTest, AClickOnTheMiniMapCentresTheViewOnTheCellUnderIt) {
    for (const auto& [columns, rows] : {std::pair{200, 20}, std::pair{60, 200}}) {
        Open(OpenLand(columns, rows));
        screen->buildPanelOpen = 0;
        screen->sideTab = 0;
        screen->miniMapScale = 1;
        screen->DrawControlPanel();
        ASSERT_GT(screen->miniMapOffset.x + screen->miniMapOffset.y, 0) << columns;
        const Point cell(7, 5);
        const Point at = screen->miniMapRect.origin + screen->miniMapOffset + cell;
        EXPECT_EQ(screen->MiniMapClick(InputEvent(InputKind::ButtonDown, at, 'L')), 1);
        const Size tile = TileSize();
        const Size view = screen->ViewExtent();
        EXPECT_EQ(screen->wantedOrigin,
                  Point(screen->miniMapOrigin.x + cell.x * tile.w - (view.w >> 1),
                        screen->miniMapOrigin.y + cell.y * tile.h - (view.h >> 1)))
            << columns;
    }
}

TEST_F(BattleScreenPanelTest, TheDebugPanelGivesASquadAndAPurposeALineEach) {
    TestObject* unit = Unit(1, Point(300, 300));
    screen->debugWatch = unit->id;
    const int width = static_cast<int>(screen->panelBitmap->ByteCount() / 480);
    // The panel's rows from y on, n rows of them.
    auto rows = [&](int y, int n) {
        screen->DrawSimDebugPanel();
        display->ClearRedirect();
        const uint8_t* p = screen->panelBitmap->Pixels() + y * width;
        return std::vector<uint8_t>(p, p + n * width);
    };
    // From y 20 the centre, radius, damage and ore lines; each line a squad or a purpose adds
    // above them moves them down 10 rows.
    const std::vector<uint8_t> plain = rows(20, 40);
    ASSERT_NE(plain, std::vector<uint8_t>(plain.size(), 254));
    unit->Add(7, 1);
    EXPECT_EQ(rows(30, 40), plain);
    unit->SetPurpose(3);
    EXPECT_EQ(rows(40, 40), plain);
    unit->Remove(0);
    unit->SetPurpose(0);
    EXPECT_EQ(rows(20, 40), plain);
    // Goal lines stop at the panel's foot: the last one stands on row 470, none on 480.
    for (int i = 0; i < 60; ++i)
        unit->goals.PushFront(std::make_unique<ListedGoal>(unit->id));
    EXPECT_NE(rows(462, 8), std::vector<uint8_t>(8 * width, 254));
    EXPECT_EQ(rows(472, 8), std::vector<uint8_t>(8 * width, 254));
    unit->goals.Clear();
    screen->debugWatch = SimId();
}

TEST_F(BattleScreenPanelTest, TheScaleAndZoomButtonsShowTheFacesOfTheOtherSetting) {
    screen->buildPanelOpen = 0;
    auto panel = [&] {
        const uint8_t* p = screen->panelBitmap->Pixels();
        return std::vector<uint8_t>(p, p + screen->panelBitmap->ByteCount());
    };
    const struct {
        int scale, zoom;
        int scaleButton, zoomButton;
    } cases[] = {{1, 0, BattleScreen::kMiniMapScale2Button, BattleScreen::kZoom2Button},
                 {2, 1, BattleScreen::kMiniMapScale1Button, BattleScreen::kZoom1Button}};
    for (const auto& c : cases) {
        screen->miniMapScale = c.scale;
        screen->zoom = c.zoom;
        screen->DrawControlPanel();
        // A click lands on the button that shows, wherever the two faces share a place.
        for (int button : {c.scaleButton, c.zoomButton})
            EXPECT_EQ(
                screen->HitTest(screen->buttons[static_cast<size_t>(button)]->Bounds().Centre()),
                button);
        const std::vector<uint8_t> drawn = panel();
        // Drawing the expected faces over the panel changes nothing; the 1:1 face over the 1:2
        // one does (the sample zoom faces, and the 1:2 face over the 1:1, look alike).
        const int otherScale = c.scaleButton == BattleScreen::kMiniMapScale1Button
                                   ? BattleScreen::kMiniMapScale2Button
                                   : BattleScreen::kMiniMapScale1Button;
        for (const auto& [button, expected] :
             {std::pair{c.scaleButton, true}, std::pair{c.zoomButton, true},
              std::pair{otherScale, c.scale == 2}}) {
            ASSERT_EQ(screen->panelBitmap->RedirectDrawing(), 1);
            display->SetClipRect(Rect(Point(0, 0), screen->panelRect.extent));
            const Point offset = screen->panelRect.origin;
            screen->buttons[static_cast<size_t>(button)]->Draw(&offset);
            display->ClearRedirect();
            EXPECT_EQ(panel() == drawn, expected) << c.scale << " " << button;
            screen->DrawControlPanel();
        }
        // A click on the scale face that shows takes its scale; the marks grow with it.
        const Point at = screen->buttons[static_cast<size_t>(c.scaleButton)]->Bounds().Centre();
        screen->sideTab = 0;
        Click(at);
        const int taken = c.scale == 1 ? 2 : 1;
        EXPECT_EQ(screen->miniMapScale, taken) << c.scale;
        EXPECT_EQ(screen->miniMapMarkFactor, 2 * taken) << c.scale;
    }
}

TEST_F(BattleScreenPanelTest, TheBuildListCountsTheDesignsItShowsAndSelectsItsFirstRow) {
    DesignLibrary& library = *world().designLibrary;
    for (int i = 0; i < 4; ++i)
        library.AddDesign('V')->complete = i == 2 ? 1 : 0;
    screen->buildPanelOpen = 1;
    screen->designListFlag = 1;
    screen->currentList = screen->buildList.get();
    screen->buildList->SetSelection(-1);
    screen->DrawControlPanel();
    EXPECT_EQ(screen->buildList->count, 1);
    EXPECT_EQ(screen->buildList->selection, 0);
    EXPECT_NE(screen->SelectedBuildDesign(), nullptr);
    EXPECT_EQ(screen->SelectedBuildDesign()->complete, 1);
    // Without a library (none is loaded yet) the list is left as it stands.
    std::unique_ptr<DesignLibrary> held = std::move(world().designLibrary);
    screen->buildList->SetCount(3);
    screen->DrawControlPanel();
    EXPECT_EQ(screen->buildList->count, 3);
    world().designLibrary = std::move(held);
}

TEST_F(BattleScreenPanelTest, TabsWithoutAGameRecordOrAFactoryStayEmpty) {
    screen->buildPanelOpen = 0;
    world().scenario->factoryPlaced[1] = 1;
    world().teamStats[1].reset();
    auto tabArea = [&](int tab) {
        screen->sideTab = tab;
        screen->DrawControlPanel();
        std::vector<uint8_t> out;
        const uint8_t* p = screen->panelBitmap->Pixels();
        const int stride = screen->panelBitmap->RowStride();
        for (int y = 332; y <= 438; ++y)
            out.insert(out.end(), p + y * stride + 9, p + y * stride + 119);
        return out;
    };
    const std::vector<uint8_t> miniMap = tabArea(0);
    EXPECT_EQ(tabArea(1), miniMap);
    EXPECT_NE(tabArea(2), miniMap);
    world().scenario->factoryPlaced[1] = 0;
    EXPECT_NE(tabArea(0), miniMap);
    world().teamStats[1] = std::make_unique<MissionStats>();
    EXPECT_NE(tabArea(1), miniMap);
    // The placed flag is the local team's own; a team outside the table has placed none (the
    // fields round the table are filled so that a read beyond it would be seen).
    Scenario& scenario = *world().scenario;
    std::fill(std::begin(scenario.factoryPlaced), std::end(scenario.factoryPlaced), 1);
    std::fill(std::begin(scenario.lineBuffer), std::end(scenario.lineBuffer), 'x');
    std::fill(std::begin(scenario.startOrder), std::end(scenario.startOrder), 1);
    const struct {
        int team, placed;
        bool miniMap;
    } cases[] = {{0, 1, false}, {0, 0, true}, {-1, 1, true}, {World::kTeams, 1, true}};
    for (const auto& c : cases) {
        screen->localTeam = c.team;
        if (c.team >= 0 && c.team < World::kTeams) scenario.factoryPlaced[c.team] = c.placed;
        EXPECT_EQ(tabArea(0) != miniMap, c.miniMap) << c.team << " " << c.placed;
    }
    screen->localTeam = 1;
}

TEST_F(BattleScreenPanelTest, ThePlayersTabShowsAColourBoxForEachPlayerAndNoMore) {
    screen->buildPanelOpen = 0;
    screen->sideTab = 2;
    for (int k = 1; k <= 4; ++k)
        world().scenario->teamColours[k] = 200 + k;
    const Point tab = screen->miniMapRect.origin - screen->panelRect.origin;
    const Point boxes[4] = {Point(16, 22), Point(70, 22), Point(16, 62), Point(70, 62)};
    // Pixels of the colour inside player k's box, and inside the whole tab.
    auto counts = [&](int k) {
        const uint8_t* p = screen->panelBitmap->Pixels();
        const int stride = screen->panelBitmap->RowStride();
        const uint8_t colour = static_cast<uint8_t>(200 + k);
        const Point box = tab + boxes[k - 1];
        int inBox = 0, inTab = 0;
        for (int y = tab.y; y < tab.y + screen->miniMapRect.extent.h; ++y) {
            for (int x = tab.x; x < tab.x + screen->miniMapRect.extent.w; ++x) {
                if (p[y * stride + x] != colour) continue;
                ++inTab;
                inBox += x >= box.x && x < box.x + 32 && y >= box.y && y < box.y + 32 ? 1 : 0;
            }
        }
        return std::pair{inBox, inTab};
    };
    // The title over the boxes, and each player's number beside its box.
    ClearStringTable();
    ASSERT_EQ(LoadStringTable("7a1.str"), 1);
    ASSERT_STRNE(GetString(223), "");
    const Rect clip(tab, screen->miniMapRect.extent);
    const Point labels[4] = {Point(4, 32), Point(58, 32), Point(4, 72), Point(58, 72)};
    const char* numbers[4] = {"1:", "2:", "3:", "4:"};
    for (int players : {1, 2, 4}) {
        screen->playerCount = players;
        screen->DrawControlPanel();
        for (int k = 1; k <= 4; ++k) {
            const auto [inBox, inTab] = counts(k);
            EXPECT_EQ(inBox, k <= players ? 32 * 32 : 0) << players << " " << k;
            EXPECT_EQ(inTab, inBox) << players << " " << k;
        }
        for (int k = 1; k <= 4; ++k) {
            EXPECT_EQ(PanelShowsText(clip, tab + labels[k - 1], numbers[k - 1]), k <= players)
                << players << " " << k;
        }
        EXPECT_TRUE(PanelShowsText(clip, tab + Point(4, 15), GetString(223))) << players;
        EXPECT_FALSE(PanelShowsText(clip, tab + Point(6, 15), GetString(223))) << players;
        EXPECT_FALSE(PanelShowsText(clip, tab + Point(4, 32), "4:")) << players;
    }
    ClearStringTable();
}

TEST_F(BattleScreenPanelTest, TheListButtonShowsTheOtherListAndAClickSwitchesToIt) {
    // The build panel stays open only while the team has a factory.
    AddFactory(land->Centre(5, 5));
    screen->buildPanelOpen = 1;
    auto panel = [&] {
        const uint8_t* p = screen->panelBitmap->Pixels();
        return std::vector<uint8_t>(p, p + screen->panelBitmap->ByteCount());
    };
    auto faceShown = [&](int button) {
        const std::vector<uint8_t> drawn = panel();
        EXPECT_EQ(screen->panelBitmap->RedirectDrawing(), 1);
        display->SetClipRect(Rect(Point(0, 0), screen->panelRect.extent));
        const Point offset = screen->panelRect.origin;
        screen->buttons[static_cast<size_t>(button)]->Draw(&offset);
        display->ClearRedirect();
        const bool same = panel() == drawn;
        screen->DrawControlPanel();
        return same;
    };
    DesignLibrary& library = *world().designLibrary;
    const struct {
        int flag, shown, hidden;
        bool hiddenLooksAlike;  // the sample groups face is empty unless highlighted
        int next;
    } cases[] = {
        {1, BattleScreen::kDesignGroupsButton, BattleScreen::kSingleDesignsButton, false, 0},
        {0, BattleScreen::kSingleDesignsButton, BattleScreen::kDesignGroupsButton, true, 1}};
    for (const auto& c : cases) {
        screen->designListFlag = c.flag;
        screen->DrawControlPanel();
        EXPECT_TRUE(faceShown(c.shown)) << c.flag;
        EXPECT_EQ(faceShown(c.hidden), c.hiddenLooksAlike) << c.flag;
        const Point at = screen->buttons[static_cast<size_t>(c.shown)]->Bounds().Centre();
        EXPECT_EQ(screen->HitTest(at), c.shown) << c.flag;
        Click(at);
        EXPECT_EQ(screen->designListFlag, c.next) << c.flag;
        EXPECT_EQ(screen->buildList->count,
                  c.next == 1 ? library.CountAvailable() : library.groups.Count())
            << c.flag;
    }
    // The group list drawn picks its first group when none is picked.
    library.AddGroup();
    library.AddGroup();
    screen->designListFlag = 0;
    screen->buildList->SetSelection(-1);
    screen->DrawControlPanel();
    EXPECT_EQ(screen->buildList->count, library.groups.Count());
    EXPECT_EQ(screen->buildList->selection, 0);
    // Without a library either list, switched to, is empty.
    std::unique_ptr<DesignLibrary> held = std::move(world().designLibrary);
    for (const auto& c : cases) {
        screen->designListFlag = c.flag;
        screen->buildList->SetCount(5);
        Click(screen->buttons[static_cast<size_t>(c.shown)]->Bounds().Centre());
        EXPECT_EQ(screen->designListFlag, c.next) << c.flag;
        EXPECT_EQ(screen->buildList->count, 0) << c.flag;
    }
    world().designLibrary = std::move(held);
}

TEST_F(BattleScreenPanelTest, TheDebugPanelNamesEachGoalAndWhatStopsOrHitTheUnit) {
    auto made = std::make_unique<BusyUnit>(1, 40, land->Centre(30, 30));
    BusyUnit* unit = made.get();
    std::unique_ptr<GameObject> owned = std::move(made);
    ASSERT_EQ(world().AddSim(owned), 1);
    TestObject* shooter = Unit(41, land->Centre(30, 34), 2);
    screen->debugWatch = unit->id;
    const int width = static_cast<int>(screen->panelBitmap->ByteCount() / 480);
    TextWriter& font = *world().font;
    // Whether the panel shows the text as the line at y: the rows the text alone touches are
    // the panel's.
    auto shows = [&](int y, const std::string& text) {
        Bitmap alone(Size(width, 480));
        alone.RedirectDrawing();
        ColourBox(254, Size(width, 480)).DrawAt(Point(0, 0));
        font.DrawText(Point(1, y), text.c_str(), 10);
        display->ClearRedirect();
        const uint8_t* expected = alone.Pixels();
        const uint8_t* panel = screen->panelBitmap->Pixels();
        int inked = 0;
        for (int row = 0; row < 480; ++row) {
            const uint8_t* e = expected + row * width;
            if (std::all_of(e, e + width, [](uint8_t v) { return v == 254; })) continue;
            ++inked;
            if (!std::equal(e, e + width, panel + row * width)) return false;
        }
        return inked > 0;
    };
    auto draw = [&] {
        screen->DrawSimDebugPanel();
        display->ClearRedirect();
    };
    // Nothing stops or guards the unit: the goals start at row 120.
    const struct {
        int type, done;
        SimId target;
        const char* text;
    } goals[] = {
        {2, 0, SimId(), "Target: NULL P"}, {2, 1, SimId(2, 77), "Target: 2,77 S"},
        {3, 0, SimId(), "Mining P"},       {4, 0, SimId(), "Scavenge P"},
        {5, 0, SimId(), "Repair P"},       {6, 0, SimId(), "Unload P"},
        {7, 0, SimId(), "Transport P"},    {8, 1, SimId(), "Refuel S"},
        {9, 0, SimId(), "Goal 9 P"},
    };
    for (const auto& g : goals)
        unit->goals.PushBack(std::make_unique<TypedGoal>(unit->id, g.type, g.done, g.target));
    draw();
    EXPECT_TRUE(shows(80, "GOALS:"));
    for (size_t i = 0; i < std::size(goals); ++i)
        EXPECT_TRUE(shows(120 + 10 * static_cast<int>(i), goals[i].text)) << goals[i].text;
    // Guarding, a waiting path search, a blocker and a shooter each take a line of their own
    // and move the goals down; a blocked front goal and an active one are marked.
    unit->guarding = 1;
    unit->blocking = SimId(3, 9);
    unit->attacker = shooter;
    unit->routeWait = 1;
    world().QueuePathRequest(unit);
    unit->goals.BlockFront();
    unit->goals.Next(unit->goals.Front())->active = 1;
    draw();
    EXPECT_TRUE(shows(70, "Guarding: 123,456"));
    EXPECT_TRUE(shows(90, "GOALS:"));
    EXPECT_TRUE(shows(100, "Best Path Q: 1 P"));
    EXPECT_TRUE(shows(120, "Blocking Sim: 3,9"));
    EXPECT_TRUE(shows(140, "Sim That Fired: 2,41"));
    EXPECT_TRUE(shows(160, "Target: NULL P B"));
    EXPECT_TRUE(shows(170, "Target: 2,77 S !"));
    EXPECT_TRUE(shows(240, "Goal 9 P"));
    // A halted computer player is told at the panel's foot.
    aiHalted = 1;
    draw();
    aiHalted = 0;
    EXPECT_TRUE(shows(480, "ENEMY PAUSED"));
    unit->goals.Clear();
    screen->debugWatch = SimId();
}

// The figures the panel writes, each drawn again where and how its rule puts it: the panel does
// not change. Two pixels to the right, or in another colour, it does: the figure is there and
// nowhere near. The factory's counters light up while it has credit; rank shows in fives,
// damage in tens; the build panel shows the seconds left of the job in progress.
TEST_F(BattleScreenPanelTest, EachFigureStandsWhereItsRulePutsIt) {
    auto owned = std::make_unique<FakeFactory>(land->Centre(50, 50));
    FakeFactory* factory = owned.get();
    world().AddBuilding(std::move(owned));
    factory->stored = 1234;
    factory->cargo = 56;
    TestObject* unit = Unit(1, Point(300, 300));
    unit->skill = 870;
    unit->damage = Meter(100, 47);
    unit->SetSelected(1);
    ChassisValues values;
    values.buildTime = 8000;
    ChassisTemplate chassis(values);
    factory->current = std::make_unique<VehicleDesign>('V');
    factory->current->chassis = &chassis;
    factory->remaining = 12345;
    TextWriter& font = *world().font;
    auto panel = [&] {
        const uint8_t* p = screen->panelBitmap->Pixels();
        return std::vector<uint8_t>(p, p + screen->panelBitmap->ByteCount());
    };
    struct Figure {
        const char* name;
        int buildPanel, credit;
        Rect clip;
        Point at;
        const char* text;
        int colour;
    };
    const Figure figures[] = {
        {"store", 0, 0, Rect(Point(76, 22), Point(113, 31)), Point(78, 31), "01234", 10},
        {"cargo", 0, 0, Rect(Point(9, 22), Point(46, 31)), Point(11, 31), "00056", 10},
        {"store with credit", 1, 1, Rect(Point(76, 22), Point(113, 31)), Point(78, 31), "01234", 9},
        {"cargo with credit", 0, 1, Rect(Point(9, 22), Point(46, 31)), Point(11, 31), "00056", 9},
        {"rank", 0, 0, Rect(Point(55, 229), Point(74, 239)), Point(55, 239), "85", 10},
        {"damage", 0, 0, Rect(Point(55, 270), Point(74, 280)), Point(55, 280), "40", 10},
        {"seconds left", 1, 0, Rect(Point(15, 351), Point(31, 363)), Point(15, 361), "012", 10},
    };
    for (const Figure& f : figures) {
        screen->buildPanelOpen = f.buildPanel;
        factory->credit = f.credit;
        auto unchangedBy = [&](const Point& shift, int colour) {
            screen->DrawControlPanel();
            const std::vector<uint8_t> drawn = panel();
            screen->panelBitmap->RedirectDrawing();
            display->SetClipRect(f.clip);
            font.DrawText(f.at + shift, f.text, colour);
            display->ClearRedirect();
            return panel() == drawn;
        };
        EXPECT_TRUE(unchangedBy(Point(), f.colour)) << f.name;
        EXPECT_FALSE(unchangedBy(Point(2, 0), f.colour)) << f.name;
        EXPECT_FALSE(unchangedBy(Point(), f.colour == 10 ? 9 : 10)) << f.name;
    }
    factory->current->chassis = nullptr;
}

// The layout table: each panel button's rectangle (both corners inclusive) and its state
// pictures from the large or the small panel pack, each placed by its own origin; the two lists'
// rectangles, row height and text colour; the mini-map's and the panel's rectangles.
TEST_F(BattleScreenPanelTest, EachButtonAndListHasTheRectangleAndPicturesOfTheLayout) {
    auto corners = [](int x0, int y0, int x1, int y1) {
        return Rect(Point(x0, y0), Size(x1 - x0 + 1, y1 - y0 + 1));
    };
    ResourceFile large;
    ResourceFile small;
    ASSERT_EQ(large.Open("7a1ugxxx99s999.msp", ResourceFile::OpenMode::Pack), 1);
    ASSERT_EQ(small.Open("7a0ugxxx99s999.msp", ResourceFile::OpenMode::Pack), 1);
    // Whether a button's picture is the pack's entry (row -1: no picture).
    auto is = [](Image* shown, ResourceFile& pack, int row) {
        if (row < 0) return shown == nullptr;
        auto* picture = dynamic_cast<Bitmap*>(shown);
        if (!picture || !pack.SelectEntry(0, row)) return false;
        Bitmap entry(&pack);
        return picture->Origin() == entry.Origin() && picture->GetSize() == entry.GetSize() &&
               std::equal(entry.Pixels(), entry.Pixels() + entry.ByteCount(), picture->Pixels(),
                          picture->Pixels() + picture->ByteCount());
    };
    const struct {
        int id, x0, y0, x1, y1;
        bool large;
        int highlighted, pressed, normal;
    } rows[] = {
        {0, 573, 67, 637, 89, true, 5, -1, -1},     {1, 512, 67, 573, 89, true, 6, 8, -1},
        {2, 582, 344, 639, 368, true, 11, -1, -1},  {3, 573, 46, 637, 67, true, 1, 7, -1},
        {4, 558, 292, 588, 322, false, 4, -1, -1},  {5, 558, 292, 588, 322, false, 6, -1, 5},
        {6, 518, 292, 543, 322, false, 1, -1, -1},  {7, 518, 292, 543, 322, false, 3, -1, 2},
        {8, 599, 292, 628, 322, false, 68, -1, -1}, {9, 527, 255, 624, 270, true, 14, -1, 13},
        {10, 527, 255, 624, 270, true, 12, -1, -1}, {11, 490, 383, 512, 447, false, 7, -1, -1},
        {12, 512, 46, 573, 89, true, 4, -1, 3},     {13, 512, 46, 573, 89, true, 2, -1, -1},
        {14, 8, 448, 68, 472, true, 16, -1, -1},    {15, 75, 448, 138, 472, true, 17, -1, -1},
        {16, 145, 448, 210, 472, true, 18, -1, -1}, {17, 429, 448, 494, 472, true, 22, -1, -1},
        {18, 216, 448, 280, 472, true, 19, -1, -1}, {19, 288, 448, 351, 472, true, 20, -1, -1},
        {20, 356, 448, 422, 472, true, 21, 64, -1}, {21, 500, 448, 564, 472, true, 23, 25, -1},
        {22, 572, 448, 632, 472, true, 24, 26, -1},
    };
    for (const auto& r : rows) {
        const Button& b = *screen->buttons[static_cast<size_t>(r.id)];
        ResourceFile& pack = r.large ? large : small;
        EXPECT_EQ(b.Bounds(), corners(r.x0, r.y0, r.x1, r.y1)) << r.id;
        EXPECT_EQ(b.id, r.id);
        EXPECT_EQ(b.mode, Button::kOrigin) << r.id;
        EXPECT_TRUE(is(b.Picture(0), pack, r.highlighted)) << r.id;
        EXPECT_TRUE(is(b.Picture(1), pack, r.pressed)) << r.id;
        EXPECT_EQ(b.Picture(2), nullptr) << r.id;
        EXPECT_TRUE(is(b.Picture(3), pack, r.normal)) << r.id;
    }
    const struct {
        ScrollList* list;
        Rect rows, up, down;
        int upPicture, downPicture;
    } lists[] = {{screen->productionList.get(), corners(523, 377, 632, 428),
                  corners(518, 371, 635, 377), corners(518, 431, 635, 440), 16, 17},
                 {screen->buildList.get(), corners(523, 281, 632, 333), corners(518, 274, 635, 282),
                  corners(518, 335, 635, 342), 14, 15}};
    for (const auto& l : lists) {
        ASSERT_NE(l.list, nullptr);
        EXPECT_EQ(l.list->listRect, l.rows);
        EXPECT_EQ(l.list->upRect, l.up);
        EXPECT_EQ(l.list->downRect, l.down);
        EXPECT_EQ(l.list->lineHeight, 12);
        EXPECT_EQ(l.list->visibleRows, l.rows.extent.h / 12);
        EXPECT_EQ(l.list->font, world().font.get());
        EXPECT_TRUE(is(l.list->UpButton()->Picture(0), small, l.upPicture));
        EXPECT_TRUE(is(l.list->DownButton()->Picture(0), small, l.downPicture));
    }
    EXPECT_EQ(screen->miniMapRect, corners(521, 332, 630, 438));
    EXPECT_EQ(screen->panelRect, Rect(Point(512, 0), Size(128, 480)));
    EXPECT_EQ(screen->panelBitmap->GetSize(), Size(128, 480));
}

// A unit's panel draws a busy-dock picture over the unit's for each dock whose area is taken:
// docks 0 .. 2 for a carrier ('g'), the repair docks for a repair unit ('k'), none for other
// roles; and the marker of the selected hardpoint at that hardpoint's point.
TEST_F(BattleScreenPanelTest, TakenDocksAndTheSelectedHardpointAreMarkedOnTheUnitPanel) {
    struct DockUnit : TestObject {
        using TestObject::TestObject;
        int IsDockAreaFree(int index, const Point&) override { return taken.count(index) ? 0 : 1; }
        int SelectedPartIndex() override { return part; }
        std::set<int> taken;
        int part = -1;
    };
    auto made = std::make_unique<DockUnit>(1, 77, Point(160, 160));
    DockUnit* unit = made.get();
    unit->sensors.viewer = 0;
    std::unique_ptr<GameObject> owned = std::move(made);
    ASSERT_EQ(world().AddSim(owned), 1);
    unit->SetSelected(1);
    ChassisValues values;
    values.unitPanelIcon = -1;
    values.hardpointCount = 2;
    values.secondPoints[0] = Point(30, 150);
    values.secondPoints[1] = Point(90, 170);
    // A part without a name: nothing is written over the marker.
    struct NamelessMount : MountTemplate {
        NamelessMount() : MountTemplate(MountValues()) {}
        MountKind GetMountKind() const override { return MountKind::Weapon; }
    } gun;
    screen->buildPanelOpen = 0;
    auto panel = [&] {
        const uint8_t* p = screen->panelBitmap->Pixels();
        return std::vector<uint8_t>(p, p + screen->panelBitmap->ByteCount());
    };
    // The panel with nothing marked, and the given pictures drawn over it.
    auto markedBy = [&](const std::vector<Bitmap*>& pictures, Image* marker, const Point& at) {
        unit->taken.clear();
        unit->part = -1;
        screen->DrawControlPanel();
        screen->panelBitmap->RedirectDrawing();
        display->SetClipRect(Rect(Point(9, 112), Point(116, 213)));
        for (Bitmap* b : pictures)
            b->DrawAt(screen->PanelPictureOrigin());
        if (marker) marker->Draw(at);
        display->ClearRedirect();
        return panel();
    };
    auto dock = [&](int i) { return screen->dockPictures[static_cast<size_t>(i)].get(); };
    const struct {
        char role;
        std::set<int> taken;
        std::vector<int> shown;
    } cases[] = {
        {'g', {0, 2}, {0, 2}}, {'g', {1}, {1}},   {'k', {0, 1}, {3, 4}},
        {'k', {1, 2}, {4}},    {'a', {0, 1}, {}},
    };
    for (const auto& c : cases) {
        values.role = c.role;
        ChassisTemplate chassis(values);
        VehicleDesign design('V');
        design.chassis = &chassis;
        design.hardpoints[0] = &gun;
        design.hardpoints[1] = &gun;
        unit->design = &design;
        std::vector<Bitmap*> pictures;
        for (int i : c.shown)
            pictures.push_back(dock(i));
        const std::vector<uint8_t> expected = markedBy(pictures, nullptr, Point());
        unit->taken = c.taken;
        screen->DrawControlPanel();
        EXPECT_EQ(panel(), expected) << c.role << " " << c.taken.size();
        for (int part : {0, 1}) {
            const std::vector<uint8_t> marked =
                markedBy({}, screen->hardpointMarkers[static_cast<size_t>(part)].get(),
                         values.secondPoints[static_cast<size_t>(part)]);
            unit->part = part;
            screen->DrawControlPanel();
            const std::vector<uint8_t> shown = panel();
            EXPECT_EQ(shown, marked) << part;
            EXPECT_NE(shown, markedBy({}, nullptr, Point())) << part;
        }
        unit->design = nullptr;
    }
}

// The mini-map's ground: a cell under a land feature shows the colour of 'p', any other the
// colour of its terrain letter, and a cell never seen that of 'X'.
TEST_F(BattleScreenPanelTest, TheMiniMapShowsFeaturesTerrainAndTheUnknown) {
    LandLayout layout = OpenLand(20, 20, {"", "", "", "rrrrrrrr", "wwwwwwww"});
    layout.withFeatures = true;
    layout.features.push_back({6, 6, 0});
    layout.features.push_back({3, 2, 0});
    Open(layout);
    screen->buildPanelOpen = 0;
    screen->sideTab = 0;
    screen->miniMapScale = 1;
    TerrainMap& terrain = *world().terrain;
    auto colourAt = [&](int row, int column) { return MiniMapColourAt(column, row); };
    terrain.SetRevealAll(1);
    const auto& colours = screen->miniMapColours;
    ASSERT_NE(colours['p'], colours['r']);
    ASSERT_NE(colours['p'], colours['w']);
    EXPECT_EQ(colourAt(6, 6), colours['p']);
    EXPECT_EQ(colourAt(3, 2), colours['p']);
    EXPECT_EQ(colourAt(3, 3), colours['r']);
    EXPECT_EQ(colourAt(4, 6), colours['w']);
    EXPECT_EQ(colourAt(10, 10), colours[static_cast<uint8_t>(terrain.TerrainTypeAt(10, 10))]);
    terrain.SetRevealAll(0);
    ASSERT_LT(terrain.Visibility(3, 3), 0);
    ASSERT_NE(colours['X'], colours['r']);
    ASSERT_NE(colours['X'], colours['p']);
    EXPECT_EQ(colourAt(3, 3), colours['X']);
    EXPECT_EQ(colourAt(6, 6), colours['X']);
}

// Objects on the mini-map: wrecks, kind 5 and ore deposits by their own colours, units by
// their team colour (an empty one as 254); a hidden enemy shows only once the map is revealed.
TEST_F(BattleScreenPanelTest, TheMiniMapColoursEachObjectByItsKindOrTeam) {
    Open(OpenLand(30, 30));
    screen->buildPanelOpen = 0;
    screen->sideTab = 0;
    screen->miniMapScale = 1;
    world().terrain->SetRevealAll(1);
    records.owned = {{2, 1}};
    auto colourAt = [&](const Point& p) { return MiniMapColourAt(p.x / 32, p.y / 32); };
    const struct {
        const char* name;
        int kind, team, teamColour, hidden, reveal;
        int colour;  // -1: the ground's
    } cases[] = {
        {"wreck", 3, 0, 40, 0, 0, 81},          {"kind 5", 5, 0, 40, 0, 0, 53},
        {"ore deposit", 9, 0, 40, 0, 0, 109},   {"own unit", 1, 1, 40, 0, 0, 40},
        {"no team colour", 1, 1, 0, 0, 0, 254}, {"enemy", 1, 2, 44, 0, 0, 44},
        {"hidden enemy", 1, 2, 44, 1, 0, -1},   {"hidden enemy, revealed", 1, 2, 44, 1, 1, 44},
    };
    const Point at = land->Centre(15, 15);
    const int ground = colourAt(at);
    int serial = 600;
    for (const auto& c : cases) {
        RemoveObjects();
        screen->SetRevealMap(c.reveal);
        TestObject* o = Unit(serial++, at, c.team, c.kind);
        o->teamRecord = ValueTriple(c.team, c.teamColour);
        o->stealth.hidden = c.hidden;
        EXPECT_EQ(colourAt(at), c.colour < 0 ? ground : c.colour) << c.name;
    }
    screen->SetRevealMap(0);
    // At 2:1 every cell is a block of 2 x 2 pixels of the colour it has at 1:1.
    world().terrain->SetRevealAll(1);
    RemoveObjects();
    Unit(serial++, at, 1)->teamRecord = ValueTriple(1, 40);
    const Point tab = screen->miniMapRect.origin - screen->panelRect.origin;
    const uint8_t* pixels = screen->panelBitmap->Pixels();
    const int stride = screen->panelBitmap->RowStride();
    screen->DrawControlPanel();
    const Point single = tab + screen->miniMapOffset;
    std::vector<uint8_t> cells;
    for (int row = 0; row < 30; ++row)
        for (int column = 0; column < 30; ++column)
            cells.push_back(pixels[(single.y + row) * stride + single.x + column]);
    ASSERT_GT(std::count(cells.begin(), cells.end(), 40), 0);
    screen->miniMapScale = 2;
    screen->DrawControlPanel();
    const Point twice = tab + screen->miniMapOffset;
    // The view's outline (colour 100) lies over other cells at each scale: those are left out.
    int differing = 0, compared = 0;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 60; ++x) {
            const uint8_t shown = pixels[(twice.y + y) * stride + twice.x + x];
            const uint8_t cell = cells[y / 2 * 30 + x / 2];
            if (shown == 100 || cell == 100) continue;
            ++compared;
            differing += shown != cell;
        }
    }
    EXPECT_GT(compared, 3000);
    EXPECT_EQ(differing, 0);
    // The row under the blocks and the column beside them are the tab's own, as an empty tab
    // (the status tab without a record) shows them.
    auto edges = [&] {
        std::vector<uint8_t> out;
        for (int i = 0; i <= 60; ++i) {
            out.push_back(pixels[(twice.y + 60) * stride + twice.x + i]);
            out.push_back(pixels[(twice.y + i) * stride + twice.x + 60]);
        }
        return out;
    };
    const std::vector<uint8_t> besideMap = edges();
    world().teamStats[1].reset();
    screen->sideTab = 1;
    screen->DrawControlPanel();
    EXPECT_EQ(besideMap, edges());
    RemoveObjects();
}

// An enemy the mini-map cannot show (its cells unseen, or stealth in force) shows by the local
// team's sensors: answering B seen through sensor C as 67 before anything else, answering A seen
// through sensor A as 100 unless hidden from A, answering C seen through sensor B as 41 unless
// hidden from B; a sensor of another kind shows nothing.
TEST_F(BattleScreenPanelTest, TheMiniMapColoursSensedEnemiesBySensor) {
    Open(OpenLand(30, 30));
    screen->buildPanelOpen = 0;
    screen->sideTab = 0;
    screen->miniMapScale = 1;
    screen->SetRevealMap(0);
    records.owned = {{2, 1}, {1, 0}};
    TerrainMap& terrain = *world().terrain;
    const int row = 15, column = 15;
    auto colourAt = [&] { return MiniMapColourAt(column, row); };
    const struct {
        const char* name;
        bool seen;                         // the enemy's cells are seen now
        int hidden, hiddenA, hiddenB;      // its stealth
        int answersA, answersB, answersC;  // the detections it answers
        std::vector<int> sensors;          // the local team's: 1 A, 2 B, 3 C
        int colour;                        // -1: the ground's
    } cases[] = {
        {"A by A", false, 0, 0, 0, 1, 0, 0, {1}, 100},
        {"A by A, generally hidden", true, 1, 0, 0, 1, 0, 0, {1}, 100},
        {"A by A, hidden from A", false, 0, 1, 0, 1, 0, 0, {1}, -1},
        {"A by B", false, 0, 0, 0, 1, 0, 0, {2}, -1},
        {"A by C", false, 0, 0, 0, 1, 0, 0, {3}, -1},
        {"B by C, hidden from all", true, 1, 1, 1, 0, 1, 0, {3}, 67},
        {"B by A", false, 0, 0, 0, 0, 1, 0, {1}, -1},
        {"B by B", false, 0, 0, 0, 0, 1, 0, {2}, -1},
        {"C by B", false, 0, 0, 0, 0, 0, 1, {2}, 41},
        {"C by B, hidden from B", false, 0, 0, 1, 0, 0, 1, {2}, -1},
        {"C by B, hidden from A", false, 0, 1, 0, 0, 0, 1, {2}, 41},
        {"C by A", false, 0, 0, 0, 0, 0, 1, {1}, -1},
        {"C by C", false, 0, 0, 0, 0, 0, 1, {3}, -1},
        {"answering all, every sensor", false, 0, 0, 0, 1, 1, 1, {1, 2, 3}, 67},
        {"answering A and C, sensors A and B", false, 0, 0, 0, 1, 0, 1, {1, 2}, 100},
        {"hidden from A, sensors A and B", false, 0, 1, 0, 1, 0, 1, {1, 2}, 41},
        {"seen, not hidden", true, 0, 0, 0, 1, 1, 1, {1, 2, 3}, 44},
        {"no sensor", false, 0, 0, 0, 1, 1, 1, {}, -1},
    };
    int serial = 700;
    for (const auto& c : cases) {
        RemoveObjects();
        if (c.seen) terrain.AddVisibility(row, column, 1);
        const int ground = colourAt();
        TestObject* enemy = Unit(serial++, land->Centre(row, column), 2);
        enemy->teamRecord = ValueTriple(2, 44);
        enemy->stealth.hidden = c.hidden;
        enemy->stealth.hiddenA = c.hiddenA;
        enemy->stealth.hiddenB = c.hiddenB;
        enemy->detectable[0] = c.answersA;
        enemy->detectable[1] = c.answersB;
        enemy->detectable[2] = c.answersC;
        // Beyond two cells, so that standing by it does not give the enemy away.
        int offset = 5;
        for (int sensor : c.sensors)
            AddSensor(serial++, land->Centre(row + offset++, column), sensor);
        EXPECT_EQ(colourAt(), c.colour < 0 ? ground : c.colour) << c.name;
        if (c.seen) terrain.AddVisibility(row, column, -1);
    }
    RemoveObjects();
}

// The production list's rows: the job in progress, then the queue from the job built next; the
// build list's rows: the designs listed for building. The selected row of the current list is
// written in the highlight colour, every other row in the text colour. Each row is checked by
// writing it again as expected (nothing changes) and with another text (something does).
TEST_F(BattleScreenPanelTest, TheListsShowTheirRowsInOrderWithTheCurrentRowHighlighted) {
    auto owned = std::make_unique<FakeFactory>(land->Centre(50, 50));
    FakeFactory* factory = owned.get();
    world().AddBuilding(std::move(owned));
    auto named = [](const char* name) {
        auto d = std::make_unique<VehicleDesign>('V');
        std::snprintf(d->name, sizeof d->name, "%s", name);
        return d;
    };
    factory->current = named("NOW");
    factory->queue.push_back(named("FIRST"));
    factory->queue.push_back(named("NEXT"));
    DesignLibrary& library = *world().designLibrary;
    for (VehicleDesign* d = library.FirstAvailable(); d; d = library.NextAvailable(d))
        d->complete = 0;
    VehicleDesign* hidden = library.AddDesign('V');
    std::snprintf(hidden->name, sizeof hidden->name, "HIDDEN");
    VehicleDesign* shown = library.AddDesign('V');
    std::snprintf(shown->name, sizeof shown->name, "SHOWN");
    shown->complete = 1;
    screen->buildPanelOpen = 1;
    screen->designListFlag = 1;
    const Point offset = screen->panelRect.origin;
    auto panel = [&] {
        const uint8_t* p = screen->panelBitmap->Pixels();
        return std::vector<uint8_t>(p, p + screen->panelBitmap->ByteCount());
    };
    auto unchangedBy = [&](ScrollList& list, int row, const char* text, int colour) {
        screen->DrawControlPanel();
        const std::vector<uint8_t> drawn = panel();
        screen->panelBitmap->RedirectDrawing();
        list.Draw(row, text, colour, &offset);
        display->ClearRedirect();
        return panel() == drawn;
    };
    ScrollList& jobs = *screen->productionList;
    ScrollList& designs = *screen->buildList;
    for (ScrollList* current : {&jobs, &designs}) {
        screen->currentList = current;
        jobs.SetCount(3);
        jobs.SetSelection(1);
        designs.SetCount(1);
        designs.SetSelection(0);
        const int jobHighlight = current == &jobs ? 9 : 10;
        const int designHighlight = current == &designs ? 9 : 10;
        EXPECT_TRUE(unchangedBy(jobs, 0, "NOW", 10));
        EXPECT_TRUE(unchangedBy(jobs, 1, "NEXT", jobHighlight));
        EXPECT_TRUE(unchangedBy(jobs, 2, "FIRST", 10));
        EXPECT_TRUE(unchangedBy(designs, 0, "SHOWN", designHighlight));
        EXPECT_FALSE(unchangedBy(jobs, 1, "FIRST", jobHighlight));
        EXPECT_FALSE(unchangedBy(jobs, 1, "NEXT", 19 - jobHighlight));
        EXPECT_FALSE(unchangedBy(designs, 0, "HIDDEN", designHighlight));
        EXPECT_FALSE(unchangedBy(designs, 0, "SHOWN", 19 - designHighlight));
        EXPECT_EQ(jobs.count, 3);
        EXPECT_EQ(designs.count, 1);
    }
}

// The view's outline on the mini-map: colour 100, one mini-map cell per 32 map pixels of the
// view's origin and extent, times the scale.
TEST_F(BattleScreenPanelTest, TheMiniMapOutlinesTheViewAtEachScale) {
    Open(OpenLand(30, 30));
    screen->buildPanelOpen = 0;
    screen->sideTab = 0;
    world().terrain->SetRevealAll(1);
    screen->viewOrigin = Point(128, 64);
    for (int scale : {1, 2}) {
        screen->miniMapScale = scale;
        screen->DrawControlPanel();
        const uint8_t* pixels = screen->panelBitmap->Pixels();
        const int stride = screen->panelBitmap->RowStride();
        const Point corner = screen->miniMapRect.origin - screen->panelRect.origin +
                             screen->miniMapOffset + Point(4 * scale, 2 * scale);
        auto at = [&](int dx, int dy) {
            return static_cast<int>(pixels[(corner.y + dy) * stride + corner.x + dx]);
        };
        const int w = 16 * scale;
        const int h = 15 * scale;
        for (const auto& [dx, dy] : {std::pair{0, 0}, std::pair{w - 1, 0}, std::pair{0, h - 1},
                                     std::pair{w - 1, h - 1}, std::pair{w / 2, 0}})
            EXPECT_EQ(at(dx, dy), 100) << scale << " " << dx << "," << dy;
        for (const auto& [dx, dy] : {std::pair{-1, 0}, std::pair{w, 0}, std::pair{0, -1},
                                     std::pair{0, h}, std::pair{1, 1}})
            EXPECT_NE(at(dx, dy), 100) << scale << " " << dx << "," << dy;
    }
    // On a map wider and taller than the tab the window starts past the map's first cells: the
    // outline lies at the view's cells counted from the window's first.
    Open(OpenLand(200, 200));
    screen->buildPanelOpen = 0;
    screen->sideTab = 0;
    world().terrain->SetRevealAll(1);
    screen->viewOrigin = Point(100 * 32, 120 * 32);
    for (int scale : {1, 2}) {
        screen->miniMapScale = scale;
        screen->DrawControlPanel();
        ASSERT_GT(screen->miniMapOrigin.x, 0) << scale;
        ASSERT_GT(screen->miniMapOrigin.y, 0) << scale;
        const uint8_t* pixels = screen->panelBitmap->Pixels();
        const int stride = screen->panelBitmap->RowStride();
        const Point cells((100 * 32 - screen->miniMapOrigin.x) / 32,
                          (120 * 32 - screen->miniMapOrigin.y) / 32);
        const Point corner = screen->miniMapRect.origin - screen->panelRect.origin +
                             screen->miniMapOffset + Point(cells.x * scale, cells.y * scale);
        EXPECT_EQ(pixels[corner.y * stride + corner.x], 100) << scale;
        EXPECT_EQ(pixels[corner.y * stride + corner.x + 16 * scale - 1], 100) << scale;
        EXPECT_NE(pixels[(corner.y + 1) * stride + corner.x + 1], 100) << scale;
    }
}

// The status tab: its title, the row labels, and the figures beside them (combat and time
// ratings, kills, losses, the time played as hours:minutes:seconds), each where the tab puts it.
TEST_F(BattleScreenPanelTest, TheStatusTabWritesItsFiguresBesideTheirLabels) {
    screen->buildPanelOpen = 0;
    screen->sideTab = 1;
    ClearStringTable();
    ASSERT_EQ(LoadStringTable("7a1.str"), 1);
    ASSERT_STRNE(GetString(221), "");
    ASSERT_STRNE(GetString(222), "");
    world().teamStats[1] = std::make_unique<MissionStats>();
    MissionStats& stats = *world().teamStats[1];
    stats.kills = 7;
    stats.losses = 3;
    stats.baseTime = (1 * 3600 + 2 * 60 + 3) * 1000 + 999;
    ASSERT_EQ(stats.ElapsedTotal() / 1000, 3723);
    const Scenario& scenario = *world().scenario;
    char figures[96];
    std::snprintf(
        figures, sizeof figures, "% 4d\n% 4d\n% 4d\n% 4d\n%02d:%02d:%02d",
        std::clamp(stats.CombatRating(), 0, 100),
        std::clamp(stats.TimeRating(scenario.missionNumber, scenario.PlayerCount()), 0, 100), 7, 3,
        1, 2, 3);
    const Point tab = screen->miniMapRect.origin - screen->panelRect.origin;
    const Rect clip(tab, screen->miniMapRect.extent);
    auto unchangedBy = [&](const Point& at, const char* text) {
        return PanelShowsText(clip, at, text);
    };
    EXPECT_TRUE(unchangedBy(tab + Point(4, 15), GetString(221)));
    EXPECT_TRUE(unchangedBy(tab + Point(44, 40), GetString(222)));
    EXPECT_TRUE(unchangedBy(tab + Point(0, 40), figures));
    EXPECT_FALSE(unchangedBy(tab + Point(2, 40), figures));
    figures[std::strlen(figures) - 1] = '4';
    EXPECT_FALSE(unchangedBy(tab + Point(0, 40), figures));
    EXPECT_FALSE(unchangedBy(tab + Point(46, 40), GetString(222)));
    // The tab reads the local team's record, team 0's too; a team outside the table has none.
    world().teamStats[0] = std::move(world().teamStats[1]);
    screen->localTeam = 0;
    EXPECT_TRUE(unchangedBy(tab + Point(4, 15), GetString(221)));
    screen->localTeam = World::kTeams;
    EXPECT_FALSE(unchangedBy(tab + Point(4, 15), GetString(221)));
    screen->localTeam = 1;
    ClearStringTable();
}

// The structure indicators: one picture per structure code the local team owns, in the order of
// codes 3, 4, 2, 0, 1, 5; another team's structures show nothing. The header of the tab shown
// is drawn over the panel.
TEST_F(BattleScreenPanelTest, TheSidePanelShowsTheTeamsStructuresAndTheTabsHeader) {
    screen->buildPanelOpen = 0;
    screen->sideTab = 1;
    auto panel = [&] {
        const uint8_t* p = screen->panelBitmap->Pixels();
        return std::vector<uint8_t>(p, p + screen->panelBitmap->ByteCount());
    };
    auto withPictures = [&](const std::vector<Bitmap*>& pictures) {
        records.owned.clear();
        screen->DrawControlPanel();
        screen->panelBitmap->RedirectDrawing();
        display->SetClipRect(Rect(Point(0, 0), screen->panelRect.extent));
        for (Bitmap* b : pictures)
            b->DrawAt(screen->PanelPictureOrigin());
        display->ClearRedirect();
        return panel();
    };
    auto indicator = [&](int k) { return screen->structurePictures[static_cast<size_t>(k)].get(); };
    const struct {
        std::set<std::pair<int, int>> owned;
        std::vector<int> shown;
    } cases[] = {
        {{{1, 3}}, {0}}, {{{1, 4}}, {1}}, {{{1, 2}}, {2}},        {{{1, 0}}, {3}},
        {{{1, 1}}, {4}}, {{{1, 5}}, {5}}, {{{2, 3}, {2, 5}}, {}}, {{{1, 0}, {1, 5}}, {3, 5}},
    };
    for (const auto& c : cases) {
        std::vector<Bitmap*> pictures;
        for (int k : c.shown)
            pictures.push_back(indicator(k));
        const std::vector<uint8_t> expected = withPictures(pictures);
        records.owned = c.owned;
        screen->DrawControlPanel();
        EXPECT_EQ(panel(), expected) << c.shown.size();
    }
    records.owned.clear();
    for (int tab : {0, 1, 2}) {
        screen->sideTab = tab;
        const std::vector<uint8_t> drawn = withPictures({});
        EXPECT_EQ(withPictures({screen->tabHeaders[static_cast<size_t>(tab)].get()}), drawn) << tab;
    }
}

// A part's name under its hardpoint: ending 15 pixels right of a point left of x 62, starting
// 10 pixels left of any other, 15 pixels below it, in the part-name colour.
TEST_F(BattleScreenPanelTest, EachPartsNameStandsBesideItsHardpoint) {
    TestMount gun;
    TestObject* unit = Unit(1, Point(300, 300));
    unit->SetSelected(1);
    screen->buildPanelOpen = 0;
    TextWriter& font = *world().font;
    const int width = font.TextWidth("GUN");
    auto panel = [&] {
        const uint8_t* p = screen->panelBitmap->Pixels();
        return std::vector<uint8_t>(p, p + screen->panelBitmap->ByteCount());
    };
    for (const Point& point : {Point(61, 150), Point(62, 150), Point(90, 170)}) {
        ChassisValues values;
        values.unitPanelIcon = -1;
        values.hardpointCount = 1;
        values.secondPoints[0] = point;
        ChassisTemplate chassis(values);
        VehicleDesign design('V');
        design.chassis = &chassis;
        design.hardpoints[0] = &gun;
        unit->design = &design;
        const Point at(point.x < 62 ? point.x + 15 - width : point.x - 10, point.y + 15);
        auto unchangedBy = [&](const Point& shift, int colour) {
            screen->DrawControlPanel();
            const std::vector<uint8_t> drawn = panel();
            screen->panelBitmap->RedirectDrawing();
            display->SetClipRect(Rect(Point(9, 112), Point(116, 213)));
            font.DrawText(at + shift, "GUN", colour);
            display->ClearRedirect();
            return panel() == drawn;
        };
        EXPECT_TRUE(unchangedBy(Point(), 110)) << point.x;
        EXPECT_FALSE(unchangedBy(Point(2, 0), 110)) << point.x;
        EXPECT_FALSE(unchangedBy(Point(), 10)) << point.x;
        unit->design = nullptr;
    }
}

// The design marked in the current list shows its figures beside their labels under the
// preview: the two part sums and the build time in seconds.
TEST_F(BattleScreenPanelTest, TheMarkedDesignShowsItsFiguresUnderThePreview) {
    ClearStringTable();
    ASSERT_EQ(LoadStringTable("7a1.str"), 1);
    ASSERT_STRNE(GetString(224), "");
    auto owned = std::make_unique<FakeFactory>(land->Centre(50, 50));
    world().AddBuilding(std::move(owned));
    DesignLibrary& library = *world().designLibrary;
    for (VehicleDesign* d = library.FirstAvailable(); d; d = library.NextAvailable(d))
        d->complete = 0;
    ChassisValues values;
    values.buildTime = 8000;
    ChassisTemplate chassis(values);
    VehicleDesign* design = library.AddDesign('V');
    design->complete = 1;
    design->chassis = &chassis;
    screen->buildPanelOpen = 1;
    screen->designListFlag = 1;
    screen->currentList = screen->buildList.get();
    screen->buildList->SetCount(1);
    screen->buildList->SetSelection(0);
    char figures[48];
    std::snprintf(figures, sizeof figures, "%d\n%d\n%d", design->SumPartField6(),
                  design->SumPartField5(), 8);
    ASSERT_EQ(design->SumPartField7(), 8000);
    auto unchangedBy = [&](const Point& at, const char* text) {
        return PanelShowsText(Rect(Point(22, 216), Point(106, 246)), at, text);
    };
    EXPECT_TRUE(unchangedBy(Point(24, 226), GetString(224)));
    EXPECT_TRUE(unchangedBy(Point(68, 226), figures));
    EXPECT_FALSE(unchangedBy(Point(70, 226), figures));
    EXPECT_FALSE(unchangedBy(Point(26, 226), GetString(224)));
    // Not the current list: nothing marked, no figures.
    screen->currentList = screen->productionList.get();
    EXPECT_FALSE(unchangedBy(Point(68, 226), figures));
    design->chassis = nullptr;
    ClearStringTable();
}

}  // namespace
