#include "ai/InfluenceGrid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "AIFixture.h"
#include "ai/UnitTraits.h"
#include "core/EventReceiver.h"
#include "core/PointNode.h"
#include "map/SightGrid.h"

namespace {

// Cells of 4 × 4 sight cells (64 px) on a 768 × 640 map: 3 columns, 3 rows, the last row 128
// px high.
constexpr int kCell = 256;

struct SeenRecorder : EventReceiver {
    void OnEvent(int32_t kind, void*, void* b) override {
        if (kind == 9) seen.push_back(static_cast<GameObject*>(b)->id);
    }
    std::vector<SimId> seen;
};

// A viewer of the team standing at a point, for the sight grid only.
struct Viewer : TestObject {
    Viewer(int team, const Point& at) : TestObject(team, 900 + team, at) {
        viewingPlayer = team;
        sensors.viewer = 1;
    }
};

}  // namespace

TEST(InfluenceGrid, CellsCoverTheMapWithAClippedLastRowAndNothingOutside) {
    AIWorld land;
    InfluenceGrid grid(land.world, kCell, kCell);
    ASSERT_EQ(grid.Rows(), 3);
    ASSERT_EQ(grid.Columns(), 3);
    struct Case {
        Point p;
        int row, column;  // -1: none
    };
    const Case cases[] = {{{0, 0}, 0, 0},      {{255, 255}, 0, 0}, {{256, 300}, 1, 1},
                          {{767, 639}, 2, 2},  {{700, 640}, 2, 2}, {{768, 10}, -1, -1},
                          {{10, 768}, -1, -1}, {{-1, 10}, -1, -1}, {{10, -1}, -1, -1}};
    for (const Case& c : cases) {
        InfluenceCell* cell = grid.CellAt(c.p);
        if (c.row < 0) {
            EXPECT_EQ(cell, nullptr) << c.p.x << "," << c.p.y;
            continue;
        }
        ASSERT_NE(cell, nullptr) << c.p.x << "," << c.p.y;
        EXPECT_EQ(cell->row, c.row);
        EXPECT_EQ(cell->column, c.column);
    }
    const Rect last = grid.CellRect(*grid.CellAt(2, 2));
    EXPECT_EQ(last, Rect(Point(512, 512), Size(256, 128)));
    EXPECT_EQ(grid.CellCentre(*grid.CellAt(2, 2)), Point(640, 576));
    // Every open tile is counted once, in the cell of its centre: all but the land's border
    // ring of edge ground; the clipped corner cell holds 4 × 8 tiles less its border.
    int open = 0;
    std::vector<InfluenceCell*> all;
    grid.AllCells(all);
    for (InfluenceCell* cell : all)
        open += cell->openTiles;
    EXPECT_EQ(open, 22 * 18);
    // The list holds the nine cells, each where its row and column find it.
    ASSERT_EQ(all.size(), 9u);
    for (InfluenceCell* cell : all)
        EXPECT_EQ(grid.CellAt(cell->row, cell->column), cell);
    EXPECT_EQ(grid.CellAt(2, 2)->openTiles, 3 * 7);
    NodeList centres;
    grid.TileCentres(*grid.CellAt(2, 2), centres);
    EXPECT_EQ(centres.Count(), 8 * 4);
    EXPECT_EQ(static_cast<PointNode*>(centres.First())->value, Point(528, 528));
    centres.DeleteAll();
    // Cells that are not whole tiles: a tile centre on the cell's top or left edge is inside.
    InfluenceGrid odd(land.world, 48, 48);
    odd.TileCentres(*odd.CellAt(1, 1), centres);
    std::vector<Point> got;
    for (ListNode* n = centres.First(); n; n = centres.Next(n))
        got.push_back(static_cast<PointNode*>(n)->value);
    EXPECT_EQ(got, (std::vector<Point>{{48, 48}, {80, 48}, {48, 80}, {80, 80}}));
    centres.DeleteAll();
}

TEST(InfluenceGrid, RingsKeepToTheGridRowByRow) {
    AIWorld land;
    InfluenceGrid grid(land.world, kCell, kCell);
    auto ring = [&](int row, int column, int r, int whole) {
        std::vector<InfluenceCell*> out;
        grid.CellsInRing(*grid.CellAt(row, column), out, r, whole);
        std::vector<std::pair<int, int>> places;
        for (InfluenceCell* c : out)
            places.push_back({c->row, c->column});
        return places;
    };
    using Places = std::vector<std::pair<int, int>>;
    EXPECT_EQ(ring(1, 1, 0, 0), (Places{{1, 1}}));
    EXPECT_EQ(ring(0, 0, 1, 1), (Places{{0, 0}, {0, 1}, {1, 0}, {1, 1}}));
    EXPECT_EQ(ring(0, 0, 1, 0), (Places{{0, 1}, {1, 0}, {1, 1}}));
    EXPECT_EQ(ring(1, 1, 1, 0).size(), 8u);
    EXPECT_EQ(ring(2, 2, 2, 0), (Places{{0, 0}, {0, 1}, {0, 2}, {1, 0}, {2, 0}}));
    EXPECT_TRUE(ring(0, 0, 3, 0).empty());
}

// The refresh against a plain recount: every cell, team and counter, and event 9 for the
// visible unallied objects in the order the lists hold them.
TEST(InfluenceGrid, RefreshEqualsABruteForceRecountOnRandomLayouts) {
    for (int layout = 0; layout < 100; ++layout) {
        AIWorld land;
        SeedRandom(1000 + layout);
        const int owner = RandomRange(1, 4);
        if (RandomRange(0, 1)) land.world.Ally(SimId(owner, 0), SimId(owner % 4 + 1, 0));
        const char roles[] = {'a', 'f', 'k', 'h', 't'};
        const int units = RandomRange(0, 60);
        std::vector<GameObject*> objects;
        for (int i = 0; i < units; ++i) {
            const int team = RandomRange(1, 4);
            const Point at(RandomRange(-100, 900), RandomRange(-100, 800));
            AIUnit* unit = RandomRange(0, 5) == 0
                               ? land.AddStructure(team, at, RandomRange(0, 5))
                               : land.AddUnit(team, at, roles[RandomRange(0, 4)]);
            unit->fire = RandomRange(0, 50);
            unit->SetHealth(RandomRange(1, 200), RandomRange(0, 100));
            unit->destroyed = RandomRange(0, 6) == 0;
            objects.push_back(unit);
        }
        for (int team = 1; team <= 4; ++team) {
            if (RandomRange(0, 1) == 0) continue;
            FakeFactory* f = land.AddFactory(team, Point(RandomRange(0, 767), RandomRange(0, 639)));
            f->fire = RandomRange(0, 30);
            f->SetHealth(500, RandomRange(0, 400));
        }
        std::vector<std::unique_ptr<Viewer>> viewers;
        for (int v = 0; v < 3; ++v) {
            viewers.push_back(
                std::make_unique<Viewer>(owner, Point(RandomRange(0, 767), RandomRange(0, 639))));
            land.world.sight->AddViewer(viewers.back().get(), viewers.back()->GetPosition());
        }

        InfluenceGrid grid(land.world, kCell, kCell);
        SeenRecorder recorder;
        grid.Refresh(owner, recorder);

        // The recount.
        int32_t expected[3][3][InfluenceCell::kCounters][5] = {};
        std::vector<SimId> expectedSeen;
        auto unallied = [&](int team) {
            return team != owner && !land.world.AreAllied(owner, team);
        };
        auto recount = [&](GameObject* o, int team, int fireCounter) {
            const Point p = o->GetPosition();
            if (p.x >= 0 && p.y >= 0 && p.x < 3 * kCell && p.y < 3 * kCell) {
                auto& cell = expected[p.y / kCell][p.x / kCell];
                cell[fireCounter][team] += o->GetFirePower();
                cell[fireCounter + 1][team] += o->damage.Max() - o->damage.Value();
                if (fireCounter == 2) ++cell[1][team];
            }
            if (unallied(o->GetTeam()) && land.world.sight->IsRectVisible(o->GetFootprint(), owner))
                expectedSeen.push_back(o->id);
        };
        for (int team = 1; team <= 4; ++team) {
            NodeList& list = land.world.sims[team];
            for (ListNode* n = list.First(); n; n = list.Next(n)) {
                GameObject* o = static_cast<ObjectNode*>(n)->Object();
                if (o->IsDestroyed()) continue;
                const char role = unit_traits::RoleOf(o);
                recount(o, team,
                        role == 'f' || role == 'k'    ? 6
                        : unit_traits::IsStructure(o) ? 8
                                                      : 2);
            }
            if (GameObject* f = land.world.TeamFactory(team)) recount(f, team, 4);
        }
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                for (int k = 1; k < InfluenceCell::kCounters; ++k)
                    for (int t = 1; t <= 4; ++t)
                        ASSERT_EQ(grid.CellAt(r, c)->Counter(k, t), expected[r][c][k][t])
                            << "layout " << layout << " cell " << r << "," << c << " counter " << k
                            << " team " << t;
        ASSERT_EQ(recorder.seen, expectedSeen) << "layout " << layout;

        // The sums read the same counters: all cells through the list and through the totals.
        std::vector<InfluenceCell*> all;
        grid.AllCells(all);
        for (int filter = 0; filter <= 4; ++filter) {
            for (int32_t mask : {1, 2, 4, 8, 0xff}) {
                int32_t v1 = 0, h1 = 0, v2 = 0, h2 = 0;
                grid.SumCategories(all, owner, v1, h1, filter, mask);
                grid.SumAllCells(owner, v2, h2, filter, mask);
                ASSERT_EQ(v1, v2);
                ASSERT_EQ(h1, h2);
            }
        }
        int32_t enemies = 0;
        for (InfluenceCell* cell : all)
            enemies += grid.EnemyTotal(*cell, owner);
        int32_t unalliedTotal = 0;
        for (int t = 1; t <= 4; ++t)
            if (unallied(t)) unalliedTotal += grid.TotalOf(t);
        EXPECT_EQ(enemies, unalliedTotal);
        for (auto& v : viewers)
            land.world.sight->RemoveViewer(v.get(), v->GetPosition());
    }
}

TEST(InfluenceGrid, StrongestEnemyCellIsTheFirstLargestAndNullWithoutEnemies) {
    AIWorld land;
    InfluenceGrid grid(land.world, kCell, kCell);
    SeenRecorder recorder;
    land.AddUnit(1, Point(600, 600), 'a', 40);
    grid.Refresh(1, recorder);
    EXPECT_EQ(grid.StrongestEnemyCell(1), nullptr);
    land.AddUnit(2, Point(300, 10), 'a', 20);
    land.AddUnit(2, Point(10, 300), 'a', 20);
    land.AddFactory(3, Point(600, 100))->fire = 5;
    grid.Refresh(1, recorder);
    InfluenceCell* strongest = grid.StrongestEnemyCell(1);
    ASSERT_NE(strongest, nullptr);
    EXPECT_EQ(strongest->row, 0);
    EXPECT_EQ(strongest->column, 1);
    // An allied team is no enemy.
    land.world.Ally(SimId(1, 0), SimId(2, 0));
    grid.Refresh(1, recorder);
    EXPECT_EQ(grid.StrongestEnemyCell(1), grid.CellAt(0, 2));
    grid.NoteAttack(Point(700, 700));
    grid.NoteAttack(Point(-5, 0));
    EXPECT_EQ(grid.CellAt(2, 2)->attackCount, 1);
    // Combat units counted per team; no team outside 1 .. 4.
    EXPECT_EQ(grid.TotalOf(1), 1);
    EXPECT_EQ(grid.TotalOf(2), 2);
    EXPECT_EQ(grid.TotalOf(0), 0);
    EXPECT_EQ(grid.TotalOf(InfluenceCell::kTeams), 0);
    // A team's own sum is its own units only; a team outside 1 .. 4 owns nothing.
    std::vector<InfluenceCell*> all;
    grid.AllCells(all);
    int32_t ownValue = 0, ownHealth = 0, teamValue = 0, teamHealth = 0;
    grid.OwnSum(all, 1, ownValue, ownHealth, 0xff);
    grid.SumCategories(all, 1, teamValue, teamHealth, 1, 0xff);
    EXPECT_GT(ownHealth, 0);
    EXPECT_EQ(ownValue, teamValue);
    EXPECT_EQ(ownHealth, teamHealth);
    for (int32_t team : {0, -1, InfluenceCell::kTeams}) {
        int32_t value = 0, health = 0;
        grid.OwnSum(all, team, value, health, 0xff);
        EXPECT_EQ(value, 0) << team;
        EXPECT_EQ(health, 0) << team;
    }
}

// A destructible lies in the cell its position falls in: edges belong to the cell they start.
TEST(InfluenceGrid, ADestructibleLiesInTheCellOfItsPosition) {
    AIWorld land;
    InfluenceGrid grid(land.world, kCell, kCell);
    InfluenceCell& middle = *grid.CellAt(1, 1);
    EXPECT_EQ(grid.DestructibleIn(middle), nullptr);
    struct Case {
        Point at;
        bool inside;
    };
    int serial = 800;
    for (const Case& c :
         {Case{{255, 300}, false}, Case{{300, 255}, false}, Case{{512, 300}, false},
          Case{{300, 512}, false}, Case{{256, 256}, true}, Case{{511, 511}, true}}) {
        auto rock = std::make_unique<TestObject>(0, serial++, c.at, 5);
        GameObject* raw = rock.get();
        std::unique_ptr<GameObject> owned = std::move(rock);
        ASSERT_EQ(land.world.AddDestructible(owned), 1);
        EXPECT_EQ(grid.DestructibleIn(middle) == raw, c.inside) << c.at.x << "," << c.at.y;
        raw->SetPosition(Point(700, 600));
    }
    EXPECT_EQ(grid.DestructibleIn(middle), nullptr);
    EXPECT_NE(grid.DestructibleIn(*grid.CellAt(2, 2)), nullptr);
    // Off the map's top or left edge is in no cell, though it divides down to the first.
    std::unique_ptr<GameObject> off = std::make_unique<TestObject>(0, 890, Point(100, 100), 5);
    GameObject* raw = off.get();
    ASSERT_EQ(land.world.AddDestructible(off), 1);
    raw->SetPosition(Point(-10, 10));
    EXPECT_EQ(grid.DestructibleIn(*grid.CellAt(0, 0)), nullptr);
    raw->SetPosition(Point(10, -10));
    EXPECT_EQ(grid.DestructibleIn(*grid.CellAt(0, 0)), nullptr);
    raw->SetPosition(Point(10, 10));
    EXPECT_EQ(grid.DestructibleIn(*grid.CellAt(0, 0)), raw);
}
