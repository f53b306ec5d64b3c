// Selection and orders on the map: the rubber band in every direction, the ring spread of a
// move, the order each kind of target gets, and the right button clearing the selection.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "catalogue/ChassisTemplate.h"
#include "catalogue/VehicleDesign.h"
#include "core/DisplayBase.h"
#include "screens/battle/BattleScreenFixture.h"

namespace {

std::vector<int> Selected(const std::vector<TestObject*>& units) {
    std::vector<int> out;
    for (TestObject* u : units) {
        if (u->selected) out.push_back(u->id.serial);
    }
    return out;
}

}  // namespace

TEST_F(BattleScreenTest, ABandSelectsExactlyTheOwnUnitsInsideItInEveryDirection) {
    for (int zoom : {0, 1}) {
        screen->SetZoom(zoom);
        screen->CentreOn(Point(3200, 3200));
        const Point a(100, 100);
        const Point b(300, 260);
        const Point ma = screen->ScreenToMap(a);
        const Point mb = screen->ScreenToMap(b);
        // On both corners, just inside, just outside; another team's and the factory inside.
        std::vector<TestObject*> units = {Unit(1, ma),
                                          Unit(2, mb),
                                          Unit(3, Point(ma.x, mb.y)),
                                          Unit(4, Point(ma.x + 5, ma.y + 9)),
                                          Unit(5, Point(ma.x - 1, ma.y + 10)),
                                          Unit(6, Point(mb.x + 1, mb.y)),
                                          Unit(7, Point(ma.x + 10, ma.y - 1)),
                                          Unit(8, Point(ma.x + 20, ma.y + 20), 2)};
        TestObject* factory = AddFactory(Point(ma.x + 30, ma.y + 30));
        const std::pair<Point, Point> drags[] = {
            {a, b}, {b, a}, {Point(a.x, b.y), Point(b.x, a.y)}, {Point(b.x, a.y), Point(a.x, b.y)}};
        for (const auto& [from, to] : drags) {
            screen->DeselectAll();
            Drag(from, to);
            EXPECT_EQ(Selected(units), (std::vector<int>{1, 2, 3, 4})) << zoom;
            EXPECT_EQ(factory->selected, 0);
            EXPECT_EQ(screen->rubberBanding, 0);
        }
        // The right button clears the selection and orders nothing.
        Click(Point(400, 400), 'R');
        EXPECT_TRUE(Selected(units).empty());
        for (TestObject* u : units)
            EXPECT_TRUE(u->given.empty());
        RemoveObjects();
    }
}

TEST_F(BattleScreenTest, AMoveSpreadsTheSelectionOnRingsByDistance) {
    screen->CentreOn(Point(3200, 3200));
    const Point click(256, 240);
    const Point p = screen->ScreenToMap(click);
    std::vector<TestObject*> units;
    for (int i = 0; i < 12; ++i) {
        // Far away, farther with every unit, listed in no order of distance.
        const int step = (i * 7) % 12;
        units.push_back(Unit(10 + i, Point(p.x + 900 + 40 * step, p.y - 700 - 3 * step)));
        units.back()->selected = 1;
    }
    std::vector<TestObject*> byDistance = units;
    auto distance = [&](TestObject* u) {
        return std::hypot(u->position.x - p.x, u->position.y - p.y);
    };
    std::sort(byDistance.begin(), byDistance.end(),
              [&](TestObject* x, TestObject* y) { return distance(x) < distance(y); });
    const int rings[12] = {0, 64, 128, 128, 192, 192, 256, 256, 256, 256, 320, 320};
    const struct {
        int shift, ctrl, code, flags;
    } cases[] = {{0, 0, 10, 6}, {1, 0, 1, 6 | 9}, {0, 1, 10, 4}, {1, 1, 1, 4 | 9}};
    for (const auto& c : cases) {
        Modifiers(c.shift, c.ctrl, 0);
        for (TestObject* u : units)
            u->given.clear();
        Click(click);
        for (int i = 0; i < 12; ++i) {
            ASSERT_EQ(byDistance[i]->given.size(), 1u);
            const PlayerOrder& o = byDistance[i]->given[0];
            EXPECT_EQ(o.code, c.code);
            EXPECT_EQ(o.flags, c.flags);
            EXPECT_NEAR(std::hypot(o.p.x - p.x, o.p.y - p.y), rings[i], 1.0) << i;
        }
    }
    Modifiers(0, 0, 0);
    // The controller hears of every unit ordered.
    auto controller = std::make_unique<RecordingController>();
    RecordingController* told = controller.get();
    world().SetTeamController(1, std::move(controller));
    Click(click);
    EXPECT_EQ(told->kinds, std::vector<int32_t>(12, BattleScreen::kEventOrderGiven));
    // A unit inside its ring goes to its own place.
    for (TestObject* u : units)
        u->selected = 0;
    TestObject* near = Unit(40, Point(p.x + 10, p.y));
    TestObject* nearer = Unit(41, Point(p.x + 30, p.y + 20));
    near->selected = nearer->selected = 1;
    Click(click);
    EXPECT_EQ(near->given.at(0).p, p);
    EXPECT_EQ(nearer->given.at(0).p, nearer->position);
    // A selected factory goes to the click itself, after the units, and is told of too.
    TestObject* factory = AddFactory(Point(p.x + 600, p.y + 600));
    factory->selected = 1;
    told->kinds.clear();
    Modifiers(1, 0, 0);
    Click(click);
    Modifiers(0, 0, 0);
    ASSERT_EQ(factory->given.size(), 1u);
    EXPECT_EQ(factory->given[0].code, 1);
    EXPECT_EQ(factory->given[0].flags, 6 | 9);
    EXPECT_EQ(factory->given[0].p, p);
    EXPECT_EQ(told->kinds, std::vector<int32_t>(3, BattleScreen::kEventOrderGiven));
    // A unit led by another passes the order to its leader alone.
    TestObject* leader = Unit(42, Point(p.x + 200, p.y + 200));
    near->delegateId = leader->id;
    nearer->given.clear();
    factory->selected = 0;
    Click(click);
    ASSERT_EQ(leader->given.size(), 1u);
    EXPECT_EQ(leader->given[0].code, 10);
    EXPECT_EQ(leader->given[0].flags, 4);
    EXPECT_EQ(leader->given[0].p, p);
    EXPECT_TRUE(nearer->given.empty());
}

TEST_F(BattleScreenTest, UnknownGroundIsOrderedAndKnownClosedGroundRefused) {
    Open(OpenLand(20, 20, {"", "", "", "", "", "", "", "", "", "", "ppppppppppppppppp"}));
    TestObject* u = Unit(1, Point(100, 100));
    u->selected = 1;
    const Point closed = screen->MapToScreen(Point(200, 10 * 32 + 16));
    Click(closed);  // never seen: the order goes out
    ASSERT_EQ(u->given.size(), 1u);
    world().terrain->AddVisibility(10, 6, 1);
    Click(closed);
    EXPECT_EQ(u->given.size(), 1u);
}

// Every kind of target under a left click, with the keys held, and what the selection gets.
TEST_F(BattleScreenTest, EachTargetGetsItsOrder) {
    screen->SetRevealMap(1);
    records.owned = {{1, 4}};
    ChassisValues carrierValues;
    carrierValues.role = 'g';
    ChassisTemplate carrierChassis(carrierValues);
    VehicleDesign carrierDesign('V');
    carrierDesign.chassis = &carrierChassis;
    const Point click(256, 224);  // a cell corner, where the targets stand
    const Point p = screen->ScreenToMap(click);
    struct Case {
        const char* name;
        int kind, team, controller;
        bool carrier;
        int shift, ctrl, alt;
        int selectedKind;  // of the one selected unit
        int code, flags;   // the order the selected unit gets (0: none)
        bool atTarget;     // its point is the target's position (else (0, 0) or p)
    } cases[] = {
        {"wreck", 3, 0, 0, false, 0, 0, 0, 1, 10, 4, false},
        {"wreck with Ctrl", 3, 0, 0, false, 0, 1, 0, 1, 2, 4, false},
        {"repair unit", 2, 1, 1, false, 0, 0, 0, 1, 7, 6, false},
        {"carrier", 1, 1, 1, true, 0, 0, 0, 1, 11, 6, false},
        {"lone repairer", 1, 1, 1, false, 0, 0, 0, 2, 7, 6, true},
        {"escort", 1, 1, 1, false, 0, 0, 1, 1, 8, 0, false},
        {"guard", 1, 1, 1, false, 0, 1, 1, 1, 3, 0, false},
        {"enemy", 1, 2, 2, false, 0, 0, 0, 1, 2, 6, false},
        {"enemy with Shift and Ctrl", 1, 2, 2, false, 1, 1, 0, 1, 2, 4 | 9, false},
        {"captured", 1, 2, 1, false, 0, 0, 0, 1, 0, 0, false},
    };
    int serial = 100;
    for (const Case& c : cases) {
        RemoveObjects();
        TestObject* target = Unit(serial++, p, c.team, c.kind);
        target->teamRecord.second = c.controller;
        if (c.carrier) target->design = &carrierDesign;
        TestObject* unit = Unit(serial++, Point(p.x + 400, p.y), 1, c.selectedKind);
        unit->selected = 1;
        Modifiers(c.shift, c.ctrl, c.alt);
        Click(click);
        Modifiers(0, 0, 0);
        if (c.code == 0) {
            EXPECT_TRUE(unit->given.empty()) << c.name;
        } else {
            ASSERT_EQ(unit->given.size(), 1u) << c.name;
            EXPECT_EQ(unit->given[0].code, c.code) << c.name;
            EXPECT_EQ(unit->given[0].flags, c.flags) << c.name;
            if (c.atTarget) {
                EXPECT_EQ(unit->given[0].p, target->position) << c.name;
            }
            if (c.kind != 3) {
                EXPECT_EQ(unit->given[0].target, target->id) << c.name;
            }
        }
        if (std::string(c.name) == "captured") {
            EXPECT_EQ(target->newTeams, std::vector<int>{1});
            EXPECT_EQ(target->selected, 1);
        }
    }
    // Clicks on own units that give no order move the selection instead.
    const struct {
        const char* name;
        int shift;
        int selectedKind, targetKind, targetSelected;
        int unitAfter, targetAfter;
    } selections[] = {
        {"Shift adds an own unit", 1, 1, 1, 0, 1, 1},
        {"Shift takes a selected one out", 1, 1, 1, 1, 1, 0},
        {"an own unit without an order is selected alone", 0, 1, 1, 0, 0, 1},
        {"a lone repairer hands over to a repair unit", 0, 2, 2, 0, 0, 1},
    };
    for (const auto& c : selections) {
        RemoveObjects();
        TestObject* target = Unit(serial++, p, 1, c.targetKind);
        target->selected = c.targetSelected;
        TestObject* unit = Unit(serial++, Point(p.x + 400, p.y), 1, c.selectedKind);
        unit->selected = 1;
        Modifiers(c.shift, 0, 0);
        Click(click);
        Modifiers(0, 0, 0);
        EXPECT_TRUE(unit->given.empty()) << c.name;
        EXPECT_EQ(unit->selected, c.unitAfter) << c.name;
        EXPECT_EQ(target->selected, c.targetAfter) << c.name;
    }
    // A selection whose second unit is grouped: the first unit, then the group, are ordered.
    RemoveObjects();
    TestObject* enemy = Unit(300, p, 2);
    auto groupObject = std::make_unique<TestObject>(1, 310, Point(50, 50), 11);
    TestObject* group = groupObject.get();
    world().AddGroup(std::move(groupObject));
    // The list runs newest first: first, grouped, rest.
    TestObject* rest = Unit(301, Point(p.x + 300, p.y));
    TestObject* grouped = Unit(302, Point(p.x + 300, p.y + 40));
    TestObject* first = Unit(303, Point(p.x + 300, p.y + 80));
    grouped->groupId = group->id;
    for (TestObject* u : {rest, grouped, first})
        u->selected = 1;
    Click(click);
    EXPECT_EQ(first->given.size(), 1u);
    EXPECT_TRUE(grouped->given.empty());
    EXPECT_TRUE(rest->given.empty());
    ASSERT_EQ(group->given.size(), 1u);
    EXPECT_EQ(group->given[0].target, enemy->id);
}

// The cursor over each region, and over the map by what lies under it and what is selected.
TEST_F(BattleScreenTest, TheCursorShowsWhatAClickWouldDo) {
    const struct {
        int32_t region, shape;
    } regions[] = {
        {BattleScreen::kLeftEdge, 17},          {BattleScreen::kTopLeftEdge, 18},
        {BattleScreen::kBottomLeftEdge, 24},    {BattleScreen::kRightEdge, 21},
        {BattleScreen::kTopRightEdge, 20},      {BattleScreen::kBottomRightEdge, 22},
        {BattleScreen::kTopEdge, 19},           {BattleScreen::kBottomEdge, 23},
        {BattleScreen::kMiniMapRegion, 33},     {BattleScreen::kDesignButton, 34},
        {BattleScreen::kControlAreaRegion, 34}, {BattleScreen::kNoRegion, 34},
    };
    for (const auto& r : regions)
        EXPECT_EQ(screen->CursorFor(r.region, Point()), r.shape) << r.region;
    // The shape chosen for the region under the mouse reaches the display.
    screen->hoverRegion = BattleScreen::kTopRightEdge;
    screen->ChooseCursor(Point());
    EXPECT_EQ(screen->cursorShape, 20);
    EXPECT_EQ(display->cursorShape, 20);
    screen->SetRevealMap(1);
    const Point p(256, 224);
    struct Case {
        const char* name;
        int targetKind, targetTeam, controller;  // kind 0: no target
        int selectedKind, weapons;               // selectedKind 0: nothing selected
        int shift, ctrl, paused;
        int shape;
        int alt = 0, secondKind = 0, filterKind = 2;  // secondKind: a second selected unit
    } cases[] = {
        {"paused", 1, 2, 2, 1, 1, 0, 0, 1, 36},
        {"nothing", 0, 0, 0, 0, 0, 0, 0, 0, 34},
        {"move", 0, 0, 0, 1, 0, 0, 0, 0, 2},
        {"move, Shift", 0, 0, 0, 1, 0, 1, 0, 0, 3},
        {"move, Ctrl", 0, 0, 0, 1, 0, 0, 1, 0, 4},
        {"move, both", 0, 0, 0, 1, 0, 1, 1, 0, 5},
        {"ore deposit", 9, 0, 0, 1, 0, 0, 0, 0, 2},
        {"wreck, Ctrl", 3, 0, 0, 1, 0, 0, 1, 0, 7},
        {"attack", 1, 2, 2, 1, 1, 0, 0, 0, 7},
        {"attack, Shift", 1, 2, 2, 1, 1, 1, 0, 0, 8},
        {"attack, Ctrl", 1, 2, 2, 1, 1, 0, 1, 0, 9},
        {"unarmed", 1, 2, 2, 1, 0, 0, 0, 0, 34},
        {"capture", 1, 2, 2, 6, 0, 0, 0, 0, 40},
        {"own, Shift", 1, 1, 1, 1, 0, 1, 0, 0, 1},
        {"captured", 1, 2, 1, 1, 1, 0, 0, 0, 41},
        {"own repairer", 2, 1, 1, 1, 0, 0, 0, 0, 13},
        {"own repairer, by a repairer", 2, 1, 1, 2, 0, 0, 0, 0, 0},
        {"own unit", 1, 1, 1, 1, 0, 0, 0, 0, 0},
        {"own unit, by a repairer", 1, 1, 1, 2, 0, 0, 0, 0, 13},
        {"own unit, by a repairer and another", 1, 1, 1, 2, 0, 0, 0, 0, 0, 0, 1},
        {"attack, both", 1, 2, 2, 1, 1, 1, 1, 0, 10},
        {"wreck", 3, 0, 0, 1, 0, 0, 0, 0, 2},
        {"destructible, Ctrl", 5, 0, 0, 1, 0, 0, 1, 0, 7},
        {"land feature", 10, 0, 0, 1, 0, 0, 0, 0, 2},
        {"no footprint", 1, 2, 2, 1, 1, 0, 0, 0, 34, 0, 0, 1},
        {"own unit, Alt", 1, 1, 1, 1, 0, 0, 0, 0, 14, 1},
        {"own unit, Alt and Ctrl", 1, 1, 1, 1, 0, 0, 1, 0, 11, 1},
        {"own unit, Alt, nothing selected", 1, 1, 1, 0, 0, 0, 0, 0, 34, 1},
        {"capture, with another unit", 1, 2, 2, 6, 0, 0, 0, 0, 34, 0, 1},
    };
    int serial = 500;
    for (const Case& c : cases) {
        RemoveObjects();
        if (c.targetKind) {
            TestObject* target =
                Place(std::make_unique<TestObject>(c.targetTeam, serial++, Point(160, 160),
                                                   c.targetKind, 24, 0, c.filterKind),
                      p);
            target->teamRecord.second = c.controller;
        }
        if (c.selectedKind) {
            TestObject* unit = Unit(serial++, Point(p.x + 400, p.y), 1, c.selectedKind);
            unit->selected = 1;
            unit->weapons = c.weapons;
        }
        if (c.secondKind)
            Unit(serial++, Point(p.x + 400, p.y + 100), 1, c.secondKind)->selected = 1;
        world().paused = c.paused;
        Modifiers(c.shift, c.ctrl, c.alt);
        EXPECT_EQ(screen->CursorFor(BattleScreen::kMapViewRegion, p), c.shape) << c.name;
    }
    Modifiers(0, 0, 0);
    world().paused = 0;
    // An own carrier takes units only while the team holds a structure of code 4, and never
    // units of kind 7.
    ChassisValues carrierValues;
    carrierValues.role = 'g';
    ChassisTemplate carrierChassis(carrierValues);
    VehicleDesign carrierDesign('V');
    carrierDesign.chassis = &carrierChassis;
    const struct {
        int selectedKind, structure, shape;
    } carrierCases[] = {{1, 1, 38}, {7, 1, 0}, {1, 0, 0}};
    for (const auto& c : carrierCases) {
        RemoveObjects();
        records.owned.clear();
        if (c.structure) records.owned.insert({1, 4});
        TestObject* carrier = Unit(serial++, p, 1, 1);
        carrier->teamRecord.second = 1;
        carrier->design = &carrierDesign;
        TestObject* unit = Unit(serial++, Point(p.x + 400, p.y), 1, c.selectedKind);
        unit->selected = 1;
        EXPECT_EQ(screen->CursorFor(BattleScreen::kMapViewRegion, p), c.shape) << c.selectedKind;
    }
    // A selected factory is one more of the selection: armed, it attacks; beside a repairer the
    // selection is no longer one repairer.
    const struct {
        int targetTeam, repairer, weapons, shape;
    } factoryCases[] = {{2, 0, 0, 34}, {2, 0, 1, 7}, {1, 1, 0, 0}};
    for (const auto& c : factoryCases) {
        RemoveObjects();
        TestObject* factory = AddFactory(Point(p.x + 300, p.y + 200));
        factory->selected = 1;
        factory->weapons = c.weapons;
        Unit(serial++, p, c.targetTeam)->teamRecord.second = c.targetTeam;
        if (c.repairer) Unit(serial++, Point(p.x + 400, p.y), 1, 2)->selected = 1;
        EXPECT_EQ(screen->CursorFor(BattleScreen::kMapViewRegion, p), c.shape) << c.weapons;
    }
    RemoveObjects();
    records.owned.clear();
}

// Ground the selection cannot enter refuses a move, once it is known; a selected factory is
// asked as the units are, and a wreck on such ground is no place to go either.
TEST_F(BattleScreenTest, TheCursorRefusesKnownGroundTheSelectionCannotEnter) {
    Open(OpenLand(20, 20, {"", "", "eeeeeeee"}));
    const Point ground = land->Centre(2, 3);
    ASSERT_EQ(world().terrain->TerrainTypeAtPixel(ground), 'e');
    const struct {
        int reveal;
        bool factory, wreck;
        int shape;
        int sight = 0;  // 1 the cell is in sight, 2 it was seen before (the last case)
    } cases[] = {{1, false, false, 6},    {0, false, false, 2},   {1, true, false, 6},
                 {0, true, false, 2},     {1, false, true, 6},    {0, false, true, 2},
                 {0, false, false, 6, 1}, {0, false, false, 6, 2}};
    int serial = 700;
    for (const auto& c : cases) {
        RemoveObjects();
        screen->SetRevealMap(c.reveal);
        if (c.factory)
            AddFactory(land->Centre(10, 10))->selected = 1;
        else
            Unit(serial++, land->Centre(10, 10))->selected = 1;
        if (c.wreck) Unit(serial++, ground, 0, 3);
        if (c.sight) world().terrain->AddVisibility(2, 3, 1);
        if (c.sight == 2) world().terrain->AddVisibility(2, 3, -1);
        EXPECT_EQ(screen->CursorFor(BattleScreen::kMapViewRegion, ground), c.shape)
            << c.reveal << c.factory << c.wreck << c.sight;
        if (c.sight == 1) world().terrain->AddVisibility(2, 3, -1);
    }
    screen->SetRevealMap(0);
}

// A hidden enemy under the pointer is no target (the click is a move) until the map is
// revealed or an own unit stands beside it.
TEST_F(BattleScreenTest, AHiddenEnemyIsNoTargetUntilSomethingRevealsIt) {
    records.owned = {{2, 1}};
    const int row = 30;
    const int column = 30;
    const Point at = land->Centre(row, column);
    world().terrain->AddVisibility(row, column, 1);
    const struct {
        const char* name;
        int hidden, reveal;
        bool neighbour;
        int code;
    } cases[] = {
        {"seen enemy", 0, 0, false, 2},
        {"hidden enemy", 1, 0, false, 10},
        {"hidden enemy, map revealed", 1, 1, false, 2},
        {"hidden enemy, own unit beside it", 1, 0, true, 2},
    };
    int serial = 500;
    for (const auto& c : cases) {
        RemoveObjects();
        screen->SetRevealMap(c.reveal);
        screen->CentreOn(at);
        TestObject* enemy = Unit(serial++, at, 2);
        enemy->teamRecord.second = 2;
        enemy->stealth.hidden = c.hidden;
        if (c.neighbour) Unit(serial++, land->Centre(row, column + 1));
        TestObject* unit = Unit(serial++, land->Centre(row + 12, column + 12));
        unit->selected = 1;
        Click(screen->MapToScreen(at));
        ASSERT_EQ(unit->given.size(), 1u) << c.name;
        EXPECT_EQ(unit->given[0].code, c.code) << c.name;
    }
    screen->SetRevealMap(0);
    // Hidden or not, an own unit and one another team has taken over are always seen.
    records.owned = {{1, 1}, {2, 1}};
    const struct { int team, controller, seen; } owners[] = {{1, 1, 1}, {2, 1, 1}, {2, 2, 0}};
    for (const auto& o : owners) {
        RemoveObjects();
        TestObject* hidden = Unit(serial++, at, o.team);
        hidden->teamRecord.second = o.controller;
        hidden->stealth.hidden = 1;
        EXPECT_EQ(screen->IsTargetVisible(hidden, row, column), o.seen) << o.team << o.controller;
    }
    EXPECT_EQ(screen->IsTargetVisible(nullptr, row, column), 0);
    world().terrain->AddVisibility(row, column, -1);
}

namespace {

// A chassis that deploys into a structure.
class DeployableChassis : public ChassisTemplate {
public:
    using ChassisTemplate::ChassisTemplate;
    int IsDeployable() const override { return 1; }
};

}  // namespace

// Over a selected own unit that deploys, the cursor offers to deploy it where its footprint
// may be built on; a selection holding a deploying unit asks no repair of an own repairer.
TEST_F(BattleScreenTest, TheCursorOffersToDeployASelectedDeployerWhereItMayBuild) {
    // Row 12 is rough ground, where nothing is built.
    std::vector<std::string> letters(12);
    letters.push_back(std::string(20, 'r'));
    Open(OpenLand(200, 200, letters));
    screen->SetRevealMap(1);
    DeployableChassis chassis{ChassisValues()};
    VehicleDesign deployer('V');
    deployer.chassis = &chassis;
    const struct {
        const char* name;
        int targetKind;
        bool targetDeploys, targetSelected;
        int row;              // at column 8
        int selectedDeploys;  // selected units besides the target: -1 none, 0 plain, 1 deploys
        int shape;
    } cases[] = {
        {"selected deployer", 1, true, true, 7, -1, 39},
        {"deployer not selected", 1, true, false, 7, -1, 0},
        {"selected deployer on rough ground", 1, true, true, 12, -1, 0},
        {"own repairer, by a deployer", 2, false, false, 7, 1, 0},
        {"own repairer, by a plain unit", 2, false, false, 7, 0, 13},
    };
    int serial = 800;
    for (const auto& c : cases) {
        RemoveObjects();
        const Point at = land->Centre(c.row, 8);
        TestObject* target = Unit(serial++, at, 1, c.targetKind);
        target->teamRecord.second = 1;
        if (c.targetDeploys) target->design = &deployer;
        target->selected = c.targetSelected ? 1 : 0;
        if (c.selectedDeploys >= 0) {
            TestObject* unit = Unit(serial++, land->Centre(7, 20));
            unit->selected = 1;
            if (c.selectedDeploys) unit->design = &deployer;
        }
        EXPECT_EQ(screen->CursorFor(BattleScreen::kMapViewRegion, at), c.shape) << c.name;
    }
    RemoveObjects();
    screen->SetRevealMap(0);
}

// What a left click says back: each order's voice (none for an escort), the waypoint marker at
// the clicked map point for a move; and a click on a selected own unit that deploys makes it
// deploy or, deployed (kind 7), undeploy, unless Shift is held.
TEST_F(BattleScreenTest, EachClickSpeaksItsVoiceAndADeployerDeploys) {
    screen->SetRevealMap(1);
    DeployableChassis chassis{ChassisValues()};
    VehicleDesign deployer('V');
    deployer.chassis = &chassis;
    const Point click(256, 224);
    const Point p = screen->ScreenToMap(click);
    const struct {
        const char* name;
        int targetKind, targetTeam;  // kind 0: open ground
        bool deploys;
        int shift, ctrl, alt;
        int voice;  // -1 none
        int deployed, undeployed;
    } cases[] = {
        {"move", 0, 0, false, 0, 0, 0, BattleScreen::kMoveVoice, 0, 0},
        {"attack", 1, 2, false, 0, 0, 0, BattleScreen::kAttackVoice, 0, 0},
        {"repair at a repair unit", 2, 1, false, 0, 0, 0, BattleScreen::kRepairVoice, 0, 0},
        {"guard a unit", 1, 1, false, 0, 1, 1, BattleScreen::kGuardUnitVoice, 0, 0},
        {"escort", 1, 1, false, 0, 0, 1, -1, 0, 0},
        {"select an own unit", 1, 1, false, 0, 0, 0, BattleScreen::kSelectVoice, 0, 0},
        {"deploy", 1, 1, true, 0, 0, 0, -1, 1, 0},
        {"undeploy", 7, 1, true, 0, 0, 0, -1, 0, 1},
        {"Shift takes a deployer out", 1, 1, true, 1, 0, 0, -1, 0, 0},
    };
    int serial = 700;
    for (const auto& c : cases) {
        RemoveObjects();
        screen->StopVoice();
        screen->markerPoint = Point();
        TestObject* target = nullptr;
        if (c.targetKind) {
            target = Unit(serial++, p, c.targetTeam, c.targetKind);
            target->teamRecord.second = c.targetTeam;
            if (c.deploys) {
                target->design = &deployer;
                target->selected = 1;
            }
        }
        TestObject* unit = Unit(serial++, Point(p.x + 400, p.y));
        unit->selected = 1;
        Modifiers(c.shift, c.ctrl, c.alt);
        Click(click);
        Modifiers(0, 0, 0);
        if (c.voice < 0) {
            EXPECT_EQ(screen->voicePlaying, nullptr) << c.name;
        } else {
            const auto& bank = screen->soundBanks[static_cast<size_t>(c.voice)];
            EXPECT_TRUE(std::any_of(bank.begin(), bank.end(), [&](const auto& s) {
                return s.get() == screen->voicePlaying;
            })) << c.name;
        }
        EXPECT_EQ(screen->markerPoint, c.targetKind ? Point() : p) << c.name;
        if (target) {
            EXPECT_EQ(target->deploys, c.deployed) << c.name;
            EXPECT_EQ(target->undeploys, c.undeployed) << c.name;
            if (c.deploys) {
                EXPECT_EQ(target->selected, c.shift ? 0 : 1) << c.name;
            }
        }
    }
    RemoveObjects();
}

// Alt on an own unit orders every other selected unit, never the target itself; a carrier takes
// aboard only while the team owns a structure of code 4 and never a unit of kind 7 (both then
// fall back to selecting the carrier alone).
TEST_F(BattleScreenTest, EscortsSkipTheTargetAndBoardingNeedsTheStructure) {
    screen->SetRevealMap(1);
    ChassisValues carrierValues;
    carrierValues.role = 'g';
    ChassisTemplate carrierChassis(carrierValues);
    VehicleDesign carrierDesign('V');
    carrierDesign.chassis = &carrierChassis;
    const Point click(256, 224);
    const Point p = screen->ScreenToMap(click);
    TestObject* target = Unit(800, p);
    TestObject* other = Unit(801, Point(p.x + 300, p.y));
    target->selected = other->selected = 1;
    Modifiers(0, 0, 1);
    Click(click);
    Modifiers(0, 0, 0);
    EXPECT_TRUE(target->given.empty());
    ASSERT_EQ(other->given.size(), 1u);
    EXPECT_EQ(other->given[0].code, BattleScreen::kOrderEscort);
    const struct {
        int structure, selectedKind;
        int boards;
    } cases[] = {{1, 1, 1}, {0, 1, 0}, {1, 7, 0}};
    int serial = 810;
    for (const auto& c : cases) {
        RemoveObjects();
        records.owned.clear();
        if (c.structure) records.owned.insert({1, 4});
        TestObject* carrier = Unit(serial++, p);
        carrier->design = &carrierDesign;
        TestObject* unit = Unit(serial++, Point(p.x + 300, p.y), 1, c.selectedKind);
        unit->selected = 1;
        Click(click);
        EXPECT_EQ(unit->given.size(), static_cast<size_t>(c.boards))
            << c.structure << c.selectedKind;
        if (c.boards) {
            EXPECT_EQ(unit->given[0].code, BattleScreen::kOrderBoard);
        }
        EXPECT_EQ(unit->selected, c.boards) << c.structure << c.selectedKind;
        EXPECT_EQ(carrier->selected, c.boards ? 0 : 1) << c.structure << c.selectedKind;
    }
    records.owned.clear();
    RemoveObjects();
}

// An attack: each selected unit before a grouped one is ordered and reported to the controller,
// the selected factory is ordered after them without a report; Ctrl+K destroys the selection and
// the selected factory, making an invulnerable one vulnerable first, with one voice.
TEST_F(BattleScreenTest, AnAttackAndADestroyReachTheSelectedFactoryToo) {
    screen->SetRevealMap(1);
    const Point click(256, 224);
    const Point p = screen->ScreenToMap(click);
    TestObject* enemy = Unit(900, p, 2);
    enemy->teamRecord.second = 2;
    TestObject* unit = Unit(901, Point(p.x + 300, p.y));
    TestObject* factory = AddFactory(Point(p.x + 600, p.y + 600));
    unit->selected = factory->selected = 1;
    auto controller = std::make_unique<RecordingController>();
    RecordingController* told = controller.get();
    world().SetTeamController(1, std::move(controller));
    Click(click);
    for (TestObject* o : {unit, factory}) {
        ASSERT_EQ(o->given.size(), 1u);
        EXPECT_EQ(o->given[0].code, BattleScreen::kOrderTarget);
        EXPECT_EQ(o->given[0].target, enemy->id);
    }
    EXPECT_EQ(told->kinds, std::vector<int32_t>{BattleScreen::kEventOrderGiven});
    EXPECT_EQ(told->arguments, std::vector<void*>{unit});
    unit->invulnerable = 1;
    factory->invulnerable = 1;
    screen->StopVoice();
    screen->DestroySelected();
    EXPECT_EQ(unit->invulnerable, 0);
    EXPECT_EQ(factory->invulnerable, 0);
    EXPECT_EQ(unit->hits, std::vector<int>{0});
    EXPECT_EQ(factory->hits, std::vector<int>{0});
    EXPECT_EQ(screen->voicePlaying, screen->soundBanks[BattleScreen::kDestroyVoice][0].get());
    // The factory alone is destroyed without a voice.
    unit->selected = 0;
    screen->StopVoice();
    screen->DestroySelected();
    EXPECT_EQ(factory->hits, (std::vector<int>{0, 0}));
    EXPECT_EQ(screen->voicePlaying, nullptr);
}

// The nearest unit takes the click itself and the next the first ring, whichever side of the
// click each stands on, across or along the map.
TEST_F(BattleScreenTest, TheNearestUnitOnEitherSideTakesTheClickItself) {
    screen->CentreOn(Point(3200, 3200));
    const Point click(256, 240);
    const Point p = screen->ScreenToMap(click);
    const struct {
        Point far, near;
    } cases[] = {
        {Point(p.x, p.y - 300), Point(p.x, p.y + 200)},
        {Point(p.x, p.y + 300), Point(p.x, p.y - 200)},
        {Point(p.x - 300, p.y), Point(p.x + 200, p.y)},
        {Point(p.x + 300, p.y), Point(p.x - 200, p.y)},
    };
    int serial = 950;
    for (const auto& c : cases) {
        RemoveObjects();
        TestObject* far = Unit(serial++, c.far);
        TestObject* near = Unit(serial++, c.near);
        far->selected = near->selected = 1;
        Click(click);
        ASSERT_EQ(near->given.size(), 1u);
        ASSERT_EQ(far->given.size(), 1u);
        EXPECT_EQ(near->given[0].p, p) << c.near.x << "," << c.near.y;
        const Point away((c.far.x > p.x) - (c.far.x < p.x), (c.far.y > p.y) - (c.far.y < p.y));
        EXPECT_EQ(far->given[0].p, Point(p.x + 64 * away.x, p.y + 64 * away.y))
            << c.far.x << "," << c.far.y;
    }
    RemoveObjects();
}
