// The map view: coordinates both ways, edge scrolling to the map's edges at every zoom, a map
// smaller than the view, and zoom changes that keep the centre.
#include <string>
#include <utility>
#include <vector>

#include "catalogue/TemplateCatalogue.h"
#include "core/Bitmap.h"
#include "core/ColourBox.h"
#include "core/DisplayBase.h"
#include "core/MemoryDisplay.h"
#include "core/Settings.h"
#include "core/StringTable.h"
#include "core/TextWriter.h"
#include "core/WindowProc.h"
#include "map/TerrainMap.h"
#include "objects/BuildingCreation.h"
#include "objects/FactoryBuilding.h"
#include "objects/Goal.h"
#include "screens/FrontEndScreenFactory.h"
#include "screens/battle/BattleScreenFixture.h"
#include "screens/battle/FakeFactory.h"
#include "world/ScreenFactory.h"

namespace {

// Rests the mouse at a point until the view stops moving; the origin it stopped at.
Point ScrollUntilStill(BattleScreenTest& t, BattleScreen& screen, const Point& at) {
    t.Post(InputKind::MouseMove, at, 0);
    Point last(-1, -1);
    for (int frame = 0; frame < 400 && !(screen.viewOrigin == last); ++frame) {
        last = screen.viewOrigin;
        t.Frame();
    }
    return screen.viewOrigin;
}

// The zones, pointed at where no button of the bottom strip lies.
struct Zone {
    Point mouse;
    int dx, dy;  // -1 toward 0, +1 toward the far edge, 0 unchanged
};
const Zone kZones[] = {{{5, 240}, -1, 0},  {{630, 240}, 1, 0}, {{256, 5}, 0, -1},
                       {{284, 470}, 0, 1}, {{5, 5}, -1, -1},   {{630, 5}, 1, -1},
                       {{3, 470}, -1, 1},  {{636, 470}, 1, 1}};

// A watched object whose movement, guard, blocker and attacker the test sets.
class Watched : public FakeFactory {
public:
    using FakeFactory::FakeFactory;
    int IsMoving() override { return moving; }
    int IsWaiting() override { return waiting; }
    int IsGuarding() override { return guarding; }
    Point GetGuardPoint() override { return guard; }
    void GetBlockingSim(SimId& out) override { out = blocking; }
    GameObject* GetLastAttacker() override { return attacker; }
    int moving = 0;
    int waiting = 0;
    int guarding = 0;
    Point guard;
    SimId blocking;
    GameObject* attacker = nullptr;
};

// A goal of a type, finished or not, at a place or aimed at an object.
class ListedGoal : public Goal {
public:
    ListedGoal(const SimId& owner, int type, int done, const Point& at = Point(),
               const SimId& target = SimId())
        : Goal(owner, 1, 1), type(type), done(done), at(at), target(target) {}
    int GetType() const override { return type; }
    int IsDone() override { return done; }
    Point GetLocation() override { return at; }
    GoalFields StoredFields() const override {
        GoalFields fields;
        fields.id = target;
        return fields;
    }
    int type, done;
    Point at;
    SimId target;
};

}  // namespace

TEST_F(BattleScreenTest, MapToScreenInvertsScreenToMapAtEveryZoom) {
    screen->CentreOn(Point(3000, 2000));
    for (int zoom = 0; zoom <= 2; ++zoom) {
        screen->SetZoom(zoom);
        for (const Point& p : {Point(0, 0), Point(17, 311), Point(511, 479), Point(256, 3)}) {
            const Point map = screen->ScreenToMap(p);
            EXPECT_EQ(screen->MapToScreen(map), p) << zoom;
            EXPECT_EQ(map.x, screen->viewOrigin.x + (p.x << zoom));
        }
        // A drawn part snaps its anchor to the zoom's grid, then adds its own offset whole, so
        // mounts keep their shape when zoomed out.
        const int step = 1 << zoom;
        EXPECT_EQ(screen->SnapToZoom(Point(4 * step + step - 1, 2 * step), Point(3, -5)),
                  Point(4 * step + 3, 2 * step - 5))
            << zoom;
        EXPECT_EQ(screen->SnapToZoom(Point(7, 9), Point(0, 0)),
                  Point(7 >> zoom << zoom, 9 >> zoom << zoom))
            << zoom;
    }
}

TEST_F(BattleScreenTest, EdgeScrollingStopsExactlyAtTheMapEdgeAtEveryZoom) {
    for (int zoom = 0; zoom <= 2; ++zoom) {
        screen->SetZoom(zoom);
        const int farX = 6400 - (512 << zoom);
        const int farY = 6400 - (480 << zoom);
        for (const Zone& z : kZones) {
            screen->CentreOn(Point(3200, 3200));
            const Point start = screen->viewOrigin;
            const Point end = ScrollUntilStill(*this, *screen, z.mouse);
            EXPECT_EQ(end.x, z.dx < 0   ? 0
                             : z.dx > 0 ? farX
                                        : start.x)
                << zoom << " " << z.mouse.x << "," << z.mouse.y;
            EXPECT_EQ(end.y, z.dy < 0   ? 0
                             : z.dy > 0 ? farY
                                        : start.y)
                << zoom << " " << z.mouse.x << "," << z.mouse.y;
            EXPECT_EQ(end.x % 32, 0);
            EXPECT_EQ(end.y % 32, 0);
            // The scenario keeps where the view stands (a saved game opens there).
            EXPECT_EQ(world().scenario->viewOrigin, end);
        }
    }
    // Resting on the map itself stops the scroll.
    screen->CentreOn(Point(3200, 3200));
    const Point still = ScrollUntilStill(*this, *screen, Point(200, 200));
    EXPECT_EQ(still, screen->viewOrigin);
}

// One frame with the mouse resting in a zone moves the view by the scroll step (64) shifted by
// the zoom, in the zone's direction, and lets tracking go; a mouse moving on into the unit
// panel's control area keeps the scroll going, one moving onto the map stops it.
TEST_F(BattleScreenTest, EachEdgeZoneScrollsOneStepPerFrameAtTheZoom) {
    for (int zoom : {0, 1}) {
        screen->SetZoom(zoom);
        for (const Zone& z : kZones) {
            screen->CentreOn(Point(3200, 3200));
            const Point start = screen->viewOrigin;
            screen->tracking = 1;
            Post(InputKind::MouseMove, z.mouse, 0);
            Frame();
            const int step = 64 << zoom;
            EXPECT_EQ(screen->viewOrigin, Point(start.x + z.dx * step, start.y + z.dy * step))
                << zoom << " " << z.mouse.x << "," << z.mouse.y;
            EXPECT_EQ(screen->tracking, 0);
        }
    }
    screen->SetZoom(0);
    screen->CentreOn(Point(3200, 3200));
    const Point start = screen->viewOrigin;
    screen->unitPanelOpen = 1;
    Post(InputKind::MouseMove, Point(5, 240), 0);
    Post(InputKind::MouseMove, Point(300, 300), 0);
    Frame();
    EXPECT_EQ(screen->viewOrigin, Point(start.x - 64, start.y));
    screen->unitPanelOpen = 0;
    Post(InputKind::MouseMove, Point(300, 300), 0);
    Frame();
    EXPECT_EQ(screen->viewOrigin, Point(start.x - 64, start.y));
    // Zoom shifts outside 0 .. 2 change nothing.
    for (int bad : {-1, 3}) {
        screen->SetZoom(bad);
        EXPECT_EQ(screen->zoom, 0);
    }
}

TEST_F(BattleScreenTest, AMapSmallerThanTheViewIsCentredWithAMargin) {
    Open(OpenLand(10, 6));  // 320 x 192 pixels
    const Rect expected(Point(96, 144), Size(320, 192));
    EXPECT_EQ(screen->viewRect, expected);
    EXPECT_EQ(screen->ScreenToMap(Point(96, 144)), Point(0, 0));
    EXPECT_EQ(screen->MapToScreen(Point(319, 191)), Point(415, 335));
    for (const Zone& z : kZones)
        EXPECT_EQ(ScrollUntilStill(*this, *screen, z.mouse), Point(0, 0))
            << z.mouse.x << "," << z.mouse.y;
    Frame();
    const uint8_t* frame = land->screen.BackPage();
    auto at = [&](int x, int y) { return frame[y * 640 + x]; };
    EXPECT_EQ(at(20, 100), 254);
    EXPECT_EQ(at(450, 300), 254);
    EXPECT_NE(at(200, 200), 254);
    // Zoomed out the map shrinks and stays centred, its origin 0.
    screen->SetZoom(1);
    EXPECT_EQ(screen->viewRect, Rect(Point(176, 192), Size(160, 96)));
    EXPECT_EQ(screen->viewOrigin, Point(0, 0));
    // Without its terrain the World's sight grid gives the map's size, and the fit is the same.
    std::unique_ptr<TerrainMap> terrain = std::move(world().terrain);
    EXPECT_EQ(screen->FitViewToMap(0), expected);
    EXPECT_EQ(screen->FitViewToMap(1), Rect(Point(176, 192), Size(160, 96)));
    // A zoom then fits the view the same way, with no terrain to tell.
    screen->SetZoom(0);
    EXPECT_EQ(screen->viewRect, expected);
    screen->SetZoom(1);
    EXPECT_EQ(screen->viewRect, Rect(Point(176, 192), Size(160, 96)));
    world().terrain = std::move(terrain);
}

// A battle opened through the World's mode switch, as every game starts (the tutorial, a
// campaign mission, a skirmish): the view opens where the scenario puts it, on the player's
// folded factory, whose cells are seen, and stays there for the opening seconds unless the
// mouse is seen resting in a scroll zone. A mouse no move has placed yet rests nowhere.
TEST_F(BattleScreenTest, ABattleOpensOnItsFactoryUntilTheMouseIsSeenInAScrollZone) {
    ClearStringTable();
    ASSERT_EQ(LoadStringTable("7a1.str"), 1);
    ASSERT_EQ(LoadTemplateCatalogue("7a.pts"), 1);
    FrontEndScreenFactory screens;
    ScreenFactory* previous = RegisteredScreenFactory();
    RegisterScreenFactory(&screens);
    World& w = world();
    std::unique_ptr<GameObject> made =
        CreateBuildingSim('V', w.NewSimId(1), land->Centre(100, 100), 1);
    ASSERT_TRUE(made);
    GameObject* factory = made.get();
    w.AddBuilding(std::move(made));
    const Point at = factory->GetPosition();
    const Point start(at.x - 250 - (at.x - 250) % 32, at.y - 250 - (at.y - 250) % 32);
    const Point pointerBefore = cursorPosition;
    const int32_t placedBefore = display->cursorPlaced;
    const struct {
        bool moved;      // a mouse move has told where the mouse is
        Point pointer;   // where
        Point expected;  // the view origin 5 s later
    } rows[] = {
        {false, Point(0, 0), start},
        {true, Point(256, 240), start},
        // A mouse really resting in the top-left corner scrolls the view there, as ever.
        {true, Point(0, 0), Point(0, 0)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.moved) + " " + std::to_string(row.pointer.x));
        w.scenario->viewOrigin = at - Point(250, 250);
        display->cursorPlaced = 0;
        cursorPosition = Point(0, 0);
        if (row.moved)
            WindowProc(nullptr, WM_MOUSEMOVE, 0, winx_MakePointParam(row.pointer.x, row.pointer.y));
        while (events.Take()) {
        }
        w.requestedMode = static_cast<int>(GameMode::Battle);
        w.ApplyModeChange();
        auto* battle = dynamic_cast<BattleScreen*>(w.currentScreen);
        ASSERT_TRUE(battle);
        driven = battle;
        // The first drawn frame and the one 5 s on (312 frames of 16 ms).
        for (int frame = 0; frame <= 312; ++frame) {
            Frame();
            if (frame != 0 && frame != 312) continue;
            const Point o = battle->viewOrigin;
            const Rect view(o, battle->ViewExtent());
            const bool inView = at.x >= o.x && at.y >= o.y && at.x <= view.BottomRight().x &&
                                at.y <= view.BottomRight().y;
            // The first drawn frame shows the factory whatever the mouse, on seen ground.
            EXPECT_EQ(inView, frame == 0 || row.expected == start) << frame;
            EXPECT_EQ(w.terrain->RectVisibility(view), inView ? 1 : -1) << frame;
            EXPECT_GE(w.terrain->VisibilityAtPixel(at), 1);
        }
        EXPECT_EQ(battle->viewOrigin, row.expected);
        driven = nullptr;
        // Quitting discards the screens and keeps the objects.
        w.requestedMode = static_cast<int>(GameMode::Quit);
        w.ApplyModeChange();
    }
    cursorPosition = pointerBefore;
    display->cursorPlaced = placedBefore;
    RegisterScreenFactory(previous);
    RemoveObjects();
    ClearTemplateCatalogue();
    ClearStringTable();
}

TEST_F(BattleScreenTest, ZoomKeepsTheCentreWithinACell) {
    for (const Point& centre : {Point(3200, 3200), Point(1111, 4321), Point(4000, 2500)}) {
        screen->SetZoom(0);
        screen->CentreOn(centre);
        for (int zoom : {1, 0, 2, 1}) {
            const Size before = screen->ViewExtent();
            const Point was(screen->viewOrigin.x + before.w / 2,
                            screen->viewOrigin.y + before.h / 2);
            screen->SetZoom(zoom);
            const Size after = screen->ViewExtent();
            const Point now(screen->viewOrigin.x + after.w / 2, screen->viewOrigin.y + after.h / 2);
            EXPECT_LE(std::abs(now.x - was.x), 32) << centre.x << " " << zoom;
            EXPECT_LE(std::abs(now.y - was.y), 32) << centre.x << " " << zoom;
        }
    }
}

// The debug panel of a watched object: a line each ten pixels down the side panel, the optional
// ones (squad, purpose, a factory's store and job, guard, blocker, attacker) taking their place
// only when there is something to show, and nothing else on the panel.
TEST_F(BattleScreenTest, TheDebugPanelListsTheWatchedObjectLineByLine) {
    using Lines = std::vector<std::pair<int, std::string>>;
    auto panel = [&] {
        const uint8_t* p = screen->panelBitmap->Pixels();
        return std::vector<uint8_t>(p, p + screen->panelBitmap->ByteCount());
    };
    auto shown = [&] {
        display->SetClipRect(Rect(Point(0, 0), Size(128, 480)));
        screen->DrawSimDebugPanel();
        return panel();
    };
    auto expected = [&](const Lines& lines) {
        screen->panelBitmap->RedirectDrawing();
        display->SetClipRect(Rect(Point(0, 0), Size(128, 480)));
        ColourBox(254, Size(128, 480)).DrawAt(Point(0, 0));
        for (const auto& [y, text] : lines)
            world().font->DrawText(Point(1, y), text.c_str(), 10);
        display->ClearRedirect();
        return panel();
    };
    auto made = std::make_unique<Watched>(land->Centre(9, 9));
    Watched* o = made.get();
    o->kind = 1;
    o->position = Point(300, 400);
    o->damage = Meter(200, 50);
    o->cargo = 30;
    o->cargoCapacity = 40;
    std::unique_ptr<GameObject> owned = std::move(made);
    ASSERT_EQ(world().AddSim(owned), 1);
    screen->debugWatch = o->id;
    // Nothing optional: the lines every object has and the goals' head, and nothing else.
    Lines plain = {{10, "Team: 1 Sim: 900"},
                   {20, "Center: 300,400"},
                   {30, "Radius: 24"},
                   {40, "Pct Damage: 25"},
                   {50, "Ore: 30  Pct: 75"},
                   {60, "Not Moving"},
                   {80, "GOALS:"}};
    const std::vector<uint8_t> plainShown = shown();
    EXPECT_EQ(plainShown, expected(plain));
    // Everything: a factory at work in a squad, moving, guarding, blocked and shot at, with
    // three goals and the computer players halted.
    o->kind = 4;
    o->stored = 77;
    o->current = std::make_unique<VehicleDesign>('V');
    o->remaining = 12345;
    o->Add(5, 1);
    o->SetPurpose(3);
    o->moving = 1;
    o->guarding = 1;
    o->guard = Point(5, 6);
    o->blocking = SimId(2, 9);
    TestObject attacker(2, 8, Point(50, 50));
    o->attacker = &attacker;
    o->goals.PushBack(std::make_unique<ListedGoal>(o->id, 1, 1, Point(7, 8)));
    o->goals.PushBack(std::make_unique<ListedGoal>(o->id, 2, 0));
    auto aimed = std::make_unique<ListedGoal>(o->id, 2, 0, Point(), SimId(3, 4));
    aimed->active = 1;
    o->goals.PushBack(std::move(aimed));
    o->goals.BlockFront();
    aiHalted = 1;
    const std::vector<uint8_t> full = shown();
    aiHalted = 0;
    EXPECT_EQ(full, expected({{10, "Team: 1 Sim: 900"},
                              {20, "Mission: 5"},
                              {30, "Purpose: 3"},
                              {40, "Center: 300,400"},
                              {50, "Radius: 24"},
                              {60, "Pct Damage: 25"},
                              {70, "Ore: 30  Pct: 75"},
                              {80, "Coolar: 77"},
                              {90, "Building: 012"},
                              {100, "Moving"},
                              {110, "Guarding: 5,6"},
                              {130, "GOALS:"},
                              {150, "Blocking Sim: 2,9"},
                              {170, "Sim That Fired: 2,8"},
                              {190, "Loc: 7,8 S B"},
                              {200, "Target: NULL P"},
                              {210, "Target: 3,4 P !"},
                              {480, "ENEMY PAUSED"}}));
    // Waiting, without a factory's job or a guard.
    o->goals.Clear();
    o->current.reset();
    o->moving = 0;
    o->waiting = 1;
    o->guarding = 0;
    o->blocking = SimId();
    o->attacker = nullptr;
    EXPECT_EQ(shown(), expected({{10, "Team: 1 Sim: 900"},
                                 {20, "Mission: 5"},
                                 {30, "Purpose: 3"},
                                 {40, "Center: 300,400"},
                                 {50, "Radius: 24"},
                                 {60, "Pct Damage: 25"},
                                 {70, "Ore: 30  Pct: 75"},
                                 {80, "Coolar: 77"},
                                 {90, "Not Moving (WAITING)"},
                                 {110, "GOALS:"}}));
    o->attacker = nullptr;
}
