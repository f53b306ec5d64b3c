// Every campaign row and the tutorial of the made scenario pack hold what their mission's script
// and the player's side of the mission need, checked on the World the game itself builds from
// the row: the objects by team and kind, the header, and every point a script names inside the
// land and reachable.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FirstMinerWatch.h"
#include "MissionPackWorld.h"
#include "ai/UnitTraits.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/VehicleDesign.h"
#include "map/ObjectKinds.h"
#include "map/PathGrid.h"
#include "map/SightGrid.h"
#include "map/TerrainMap.h"
#include "objects/FactoryProduction.h"
#include "support/MadeAssets.h"
#include "world/ScenarioController.h"

namespace {

using mission_pack::MissionPackWorld;
namespace traits = unit_traits;

enum class Has {
    Word,       // units with purpose word value
    Jobs,       // the team's factory with at least count queued jobs (value 1: a structure's)
    Structure,  // deploying units of structure code value (-1 any), deployed or not
    Deployed,   // deployed structures of code value
    Role,       // units of chassis role letter value
    Object,     // the object (team, value) of kind count
    Players,    // an E record: a controller targeting team value
    Acting,     // units not of chassis 'k' whose designs act on their own
};

struct Want {
    int row, team;
    Has what;
    int value, count;
};

// The table of rows, team by team. Rows 10 and 21 and the tutorial check more below.
const Want kWants[] = {
    {0, 2, Has::Word, 9, 2},
    {1, 2, Has::Word, 7, 2},
    {1, 2, Has::Word, 40, 1},
    {2, 2, Has::Jobs, 0, 1},
    {3, 2, Has::Jobs, 0, 1},
    {3, 1, Has::Structure, 3, 1},
    {4, 2, Has::Jobs, 0, 0},
    {4, 2, Has::Role, 'f', 1},
    {4, 3, Has::Jobs, 0, 0},
    {4, 3, Has::Players, 2, 1},
    {4, 3, Has::Word, 7, 2},
    {5, 2, Has::Jobs, 0, 0},
    {5, 1, Has::Role, 'k', 1},
    {6, 2, Has::Word, 7, 1},
    {6, 2, Has::Word, 9, 2},
    {7, 1, Has::Object, 54, ObjectKind::kUnit},
    {7, 2, Has::Jobs, 0, 1},
    {7, 2, Has::Word, 6, 2},
    {7, 2, Has::Word, 40, 2},
    {7, 2, Has::Word, 10, 2},
    {7, 2, Has::Role, 'k', 1},
    {8, 2, Has::Jobs, 0, 0},
    {8, 2, Has::Players, 0, 1},
    {8, 4, Has::Jobs, 0, 1},
    {8, 4, Has::Players, 0, 1},
    {8, 2, Has::Word, 2, 2},
    {8, 4, Has::Word, 2, 2},
    {9, 2, Has::Acting, 0, 3},
    {9, 1, Has::Acting, 0, 2},
    {11, 2, Has::Word, 7, 2},
    {12, 2, Has::Word, 7, 2},
    {12, 2, Has::Word, 40, 1},
    {12, 2, Has::Word, 5, 1},
    {13, 2, Has::Jobs, 0, 1},
    {14, 2, Has::Jobs, 1, 1},
    {15, 2, Has::Word, 10, 1},
    {15, 2, Has::Word, 11, 1},
    {15, 2, Has::Word, 12, 1},
    {15, 0, Has::Object, 10, ObjectKind::kOreDeposit},
    {16, 2, Has::Jobs, 0, 0},
    {16, 2, Has::Structure, -1, 1},
    {16, 2, Has::Word, 7, 1},
    {16, 2, Has::Word, 40, 1},
    {16, 2, Has::Word, 4, 1},
    {17, 2, Has::Jobs, 0, 0},
    {17, 2, Has::Structure, -1, 1},
    {17, 2, Has::Word, 7, 1},
    {17, 2, Has::Word, 40, 1},
    {17, 2, Has::Word, 4, 1},
    {18, 2, Has::Object, 67, ObjectKind::kUnit},
    {18, 2, Has::Object, 68, ObjectKind::kUnit},
    {18, 2, Has::Deployed, 4, 1},
    {18, 2, Has::Word, 2, 2},
    {20, 2, Has::Word, 8, 2},
    {20, 2, Has::Role, 't', 2},
    {21, 3, Has::Jobs, 0, 0},
    {21, 3, Has::Object, 60, ObjectKind::kUnit},
    {21, 3, Has::Object, 61, ObjectKind::kUnit},
    {21, 3, Has::Deployed, 4, 1},
    {21, 3, Has::Word, 10, 1},
    {21, 3, Has::Word, 11, 1},
    {22, 0, Has::Object, 127, ObjectKind::kOreDeposit},
    {22, 1, Has::Jobs, 0, 0},
    {22, 2, Has::Deployed, -1, 2},
};

// Rows whose team 2 is grouped by grouping A: words 7, 1, exactly one 40, a structure of 0.
const int kGroupingA[] = {2, 3, 4, 5, 10, 13, 14, 19, 20, 21};

// Points the scripts name (map pixels), each reachable by the ground units of that team.
struct Spot {
    int row, team, x, y;
};
const Spot kSpots[] = {
    {0, 2, 2736, 752},   {0, 2, 624, 1200},  {0, 2, 464, 240},   {6, 2, 5328, 3952},
    {6, 2, 4912, 4112},  {6, 2, 2896, 4112}, {6, 2, 1488, 4112}, {6, 2, 816, 3952},
    {6, 2, 2896, 3952},  {11, 2, 2960, 304}, {11, 2, 2576, 464}, {11, 2, 1936, 528},
    {11, 2, 912, 816},   {11, 2, 336, 1456}, {14, 2, 144, 464},  {18, 2, 3728, 112},
    {18, 2, 5072, 1168}, {18, 2, 6320, 912},
};

// What a briefing promises its land shows, on the land the World loads for the row: `letter`
// across the land between the two factories, on a column of the map where it leaves at most
// `open` cells (the border aside), through which a ground route leads; or `letter` within
// kBesideCells of team 2's factory; or round it, met by at least six of eight straight lines
// out of it.
enum class Shows { Across, Beside, Round };
struct Promise {
    int row;
    Shows what;
    char letter;
    int open;
};
constexpr int kBesideCells = 6;
const Promise kPromises[] = {
    {1, Shows::Across, 'r', 4},   // V2: hold the pass
    {2, Shows::Beside, 'w', 0},   // V3: the factory by the lake
    {3, Shows::Beside, 'r', 0},   // V4: below the mesa
    {5, Shows::Across, 'w', 32},  // V6: beyond the bay
    {12, Shows::Across, 'w', 4},  // T2: Cinder Ford
    {14, Shows::Across, 'r', 8},  // T4: beyond the ridge
    {16, Shows::Round, 'r', 0},   // T6: in the crater
    {18, Shows::Across, 'w', 8},  // T8: across the river
    {19, Shows::Across, 'r', 4},  // T9: break through the gate
};

// The tutorial's designs: the local factory pays for all of them.
const char* const kTutorialBuilds[] = {
    "VPfaa-----399199212299Miner",           "VWau------399199212299Scout Infrared",
    "VPmv------399199212299Detection Relay", "VHcedb----399199212299Assault Hover",
    "VHcedb----399199212299Assault Hover",   "VHcedb----399199212299Assault Hover",
    "VPqhh-----399199212299Weapon Relay",    "VHcedb----399199212299Assault Hover",
    "VHcedb----399199212299Assault Hover",   "VHcedb----399199212299Assault Hover",
};

class MissionPackRows : public MadeAssetsTest {
protected:
    void SetUp() override {
        MadeAssetsTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        pack =
            std::make_unique<MissionPackWorld>(Local(), Volume(MadeAssets::kVolumes[0]) / "Data");
    }
    void TearDown() override { pack.reset(); }

    int Count(int team, Has what, int value) {
        World& w = *pack->world;
        if (what == Has::Jobs) {
            FactoryProduction* f = AsFactoryProduction(w.TeamFactory(team));
            if (!f) return -1;
            int structures = 0;
            for (int i = 0; i < f->QueuedJobCount(); ++i) {
                VehicleDesign* job = f->QueuedJob(i);
                structures += job && job->chassis && job->chassis->IsDeployable() == 1;
            }
            return value == 1 ? structures : f->QueuedJobCount();
        }
        if (what == Has::Object) {
            GameObject* o = w.FindObject(SimId(team, value));
            return o ? o->GetKind() : -1;
        }
        if (what == Has::Players) {
            auto* c = dynamic_cast<ScenarioController*>(w.controllers[team].get());
            return c && c->TargetTeam() == value ? 1 : 0;
        }
        int n = 0;
        for (GameObject* o : pack->Objects(team)) {
            const VehicleDesign* d = o->GetDesign();
            switch (what) {
                case Has::Word:
                    n += pack->Purpose(o) == value;
                    break;
                case Has::Structure:
                    n += traits::IsStructure(o) && (value < 0 || traits::StructureType(o) == value);
                    break;
                case Has::Deployed:
                    n += o->GetKind() == ObjectKind::kDeployed &&
                         (value < 0 || traits::StructureType(o) == value);
                    break;
                case Has::Role:
                    n += traits::RoleOf(o) == value;
                    break;
                case Has::Acting:
                    n += d && traits::RoleOf(o) != 'k' &&
                         (d->parameters[0] == 1 || d->parameters[0] == 3 || d->parameters[0] == 5 ||
                          d->parameters[4] == 3);
                    break;
                default:
                    break;
            }
        }
        return n;
    }

    // A ground unit of the team that can go somewhere, null without one.
    GameObject* Walker(int team) {
        for (GameObject* o : pack->Objects(team))
            if (o->GetKind() == ObjectKind::kUnit && !traits::IsStructure(o)) return o;
        return nullptr;
    }
    // One cell or more inside the land, and reachable by the team's walker.
    void ExpectReachable(int team, const Point& p) {
        World& w = *pack->world;
        const Size cells = w.terrain->SizeInCells();
        const Size extent = w.terrain->PixelExtent();
        const int cw = extent.w / cells.w, ch = extent.h / cells.h;
        EXPECT_TRUE(p.x >= cw && p.y >= ch && p.x < extent.w - cw && p.y < extent.h - ch)
            << p.x << "," << p.y;
        GameObject* walker = Walker(team);
        ASSERT_NE(walker, nullptr) << "team " << team;
        EXPECT_EQ(w.pathGrid->HasPath(walker, walker->GetPosition(), p), 1)
            << "team " << team << " to " << p.x << "," << p.y;
    }

    // The open cells of the narrowest column between the two factories, and whether that
    // column holds anything but the letter and open ground.
    void ExpectPromise(const Promise& promise) {
        World& w = *pack->world;
        int ownRow = 0, ownColumn = 0, row = 0, column = 0;
        w.terrain->PixelToCell(w.TeamFactory(1)->GetPosition(), ownRow, ownColumn);
        w.terrain->PixelToCell(w.TeamFactory(2)->GetPosition(), row, column);
        const Size cells = w.terrain->SizeInCells();
        auto letterAt = [&](int r, int c) { return w.terrain->TerrainTypeAt(r, c); };
        if (promise.what == Shows::Across) {
            int narrowest = cells.h;
            for (int c = std::min(ownColumn, column) + 1; c < std::max(ownColumn, column); ++c) {
                int open = 0;
                for (int r = 1; r + 1 < cells.h; ++r)
                    open += letterAt(r, c) != promise.letter;
                narrowest = std::min(narrowest, open);
            }
            EXPECT_GE(narrowest, 1);
            EXPECT_LE(narrowest, promise.open);
            GameObject* walker = Walker(1);
            ASSERT_NE(walker, nullptr);
            EXPECT_EQ(w.pathGrid->HasPath(walker, walker->GetPosition(),
                                          w.TeamFactory(2)->GetPosition() + Point(0, 96)),
                      1);
            return;
        }
        if (promise.what == Shows::Beside) {
            int found = 0;
            for (int r = row - kBesideCells; r <= row + kBesideCells; ++r)
                for (int c = column - kBesideCells; c <= column + kBesideCells; ++c)
                    found += letterAt(r, c) == promise.letter;
            EXPECT_GE(found, 4) << "cell " << row << "," << column;
            return;
        }
        int met = 0;
        for (int dr = -1; dr <= 1; ++dr) {
            for (int dc = -1; dc <= 1; ++dc) {
                if (dr == 0 && dc == 0) continue;
                int r = row, c = column;
                while (r > 0 && c > 0 && r + 1 < cells.h && c + 1 < cells.w &&
                       letterAt(r, c) != promise.letter) {
                    r += dr;
                    c += dc;
                }
                met += letterAt(r, c) == promise.letter;
            }
        }
        EXPECT_GE(met, 6);
    }

    std::unique_ptr<MissionPackWorld> pack;
};

TEST_F(MissionPackRows, EveryRowHoldsWhatItsMissionNeeds) {
    // Each row's land and its two factories' places: rows with a place of their own share it
    // with no other row.
    struct Field {
        int land;
        Point own, enemy;
    };
    std::vector<Field> fields;
    for (int row = 0; row < 23; ++row) {
        SCOPED_TRACE("row " + std::to_string(row));
        ASSERT_EQ(pack->Start(row, 22u), 1);
        World& w = *pack->world;
        const Scenario& s = *w.scenario;
        const bool tutorial = row == 22;
        const bool secondClan = row >= 11 && !tutorial;
        EXPECT_EQ(s.missionNumber, tutorial ? 12 : (secondClan ? row - 10 : row + 1));
        EXPECT_EQ(s.clanLetter, secondClan ? 'T' : 'V');
        EXPECT_EQ(s.difficulty, 1);
        const bool last = row == 10 || row == 21;
        if (!tutorial) {
            EXPECT_EQ(w.ClanTechLevel('V') == 8 && w.ClanTechLevel('T') == 8, last);
        }
        ASSERT_NE(w.TeamFactory(1), nullptr);
        // The player's side is never the computer's, though the tutorial's script guides it.
        EXPECT_EQ(w.controllers[s.localTeam] != nullptr, tutorial);
        EXPECT_FALSE(w.PlaysForComputer(s.localTeam));

        // Every computer team: a factory (none in the tutorial), its rally point on open,
        // reachable ground; every placed or queued design within its clan's tech level.
        for (int team = 2; team < World::kTeams; ++team) {
            auto* c = dynamic_cast<ScenarioController*>(w.controllers[team].get());
            EXPECT_EQ(c != nullptr, !tutorial && w.TeamFactory(team) != nullptr) << team;
            EXPECT_EQ(w.PlaysForComputer(team), w.controllers[team] != nullptr) << team;
            if (tutorial) {
                EXPECT_EQ(w.TeamFactory(team), nullptr);
            }
            if (!c || !w.TeamFactory(team)) continue;
            Point rally;
            c->GetRallyPoint(rally);
            // V5's ally is of the player's own clan; every opponent is of the other.
            EXPECT_EQ(c->ClanLetter() == s.clanLetter, row == 4 && team == 3) << team;
            ExpectReachable(team, rally);
            // The player's units reach every base.
            ExpectReachable(1, rally);
        }
        // Every object of a side stands on open ground, whatever the land draws round it.
        for (int team = 1; team < World::kTeams; ++team) {
            for (GameObject* o : pack->Objects(team)) {
                int r = 0, c = 0;
                w.terrain->PixelToCell(o->GetPosition(), r, c);
                EXPECT_EQ(w.terrain->TerrainTypeAt(r, c), 'c')
                    << "team " << team << " at " << r << "," << c;
                VehicleDesign* d = o->GetDesign();
                if (d && o->GetKind() != ObjectKind::kFactory) {
                    EXPECT_LE(d->requiredLevel, w.ClanTechLevel(d->clan)) << d->code << d->name;
                }
            }
        }

        for (const Want& want : kWants) {
            if (want.row != row) continue;
            const int n = Count(want.team, want.what, want.value);
            if (want.what == Has::Object)
                EXPECT_EQ(n, want.count) << "team " << want.team << " serial " << want.value;
            else
                EXPECT_GE(n, want.count) << "team " << want.team << " kind "
                                         << static_cast<int>(want.what) << " " << want.value;
        }
        for (int a : kGroupingA) {
            if (a != row) continue;
            const int team = 2;
            EXPECT_GE(Count(team, Has::Word, 7), 1);
            EXPECT_GE(Count(team, Has::Word, 1), 1);
            EXPECT_EQ(Count(team, Has::Word, 40), 1);
            int deploying = 0;
            for (GameObject* o : pack->Objects(team))
                deploying += traits::IsStructure(o) && pack->Purpose(o) == 0;
            EXPECT_GE(deploying, 1);
        }
        // The script's points, for its units and for the player's, who meets them there.
        for (const Spot& spot : kSpots) {
            if (spot.row != row) continue;
            ExpectReachable(spot.team, Point(spot.x, spot.y));
            ExpectReachable(1, Point(spot.x, spot.y));
        }
        for (const Promise& promise : kPromises)
            if (promise.row == row) ExpectPromise(promise);
        GameObject* enemy = w.TeamFactory(2);
        fields.push_back({s.landNumber, w.TeamFactory(1)->GetPosition(),
                          enemy ? enemy->GetPosition() : Point(-1, -1)});

        // V5: team 3 fights beside the player against team 2.
        if (row == 4) {
            EXPECT_EQ(w.AreAllied(1, 3), 1);
            EXPECT_EQ(w.AreAllied(2, 3), 0);
        }
        if (row == 8) {
            EXPECT_EQ(w.AreAllied(2, 4), 0);
        }
        // The marked ore: where the local factory can drive to and unfold, away from its start.
        for (const auto& [deposit, far] : {std::pair{10, 15}, std::pair{127, 22}}) {
            if (far != row) continue;
            GameObject* ore = w.FindObject(SimId(0, deposit));
            ASSERT_NE(ore, nullptr);
            GameObject* factory = w.TeamFactory(1);
            const Point p = ore->GetPosition();
            EXPECT_EQ(AsFactoryProduction(factory)->CanUnfoldAt(p), 1);
            EXPECT_EQ(w.pathGrid->HasPath(factory, factory->GetPosition(), p), 1);
            EXPECT_GT(
                std::abs(p.x - factory->GetPosition().x) + std::abs(p.y - factory->GetPosition().y),
                640);
            if (tutorial) {
                EXPECT_EQ(w.sight->IsVisible(p, 1), 0);
            }
        }
        if (tutorial) {
            for (int serial : {176, 177, 179, 180, 182, 183}) {
                GameObject* o = w.FindObject(SimId(2, serial));
                ASSERT_NE(o, nullptr) << serial;
                EXPECT_TRUE(o->GetKind() == ObjectKind::kUnit ||
                            o->GetKind() == ObjectKind::kDeployed);
            }
            int first = 0, second = 0;
            for (const char* code : kTutorialBuilds) {
                VehicleDesign d(code);
                EXPECT_LE(d.requiredLevel, w.ClanTechLevel('V')) << code;
                first += d.SumPartField5();
                second += d.SumPartField6();
            }
            EXPECT_GE(w.TeamFactory(1)->GetCargo(), first);
            EXPECT_GE(w.TeamFactory(1)->GetStored(), second);
        }
    }
    ASSERT_EQ(fields.size(), 23u);
    // Missions 1 to 3 of the first clan: three fields.
    for (int a = 0; a < 3; ++a) {
        for (int b = a + 1; b < 3; ++b) {
            EXPECT_NE(fields[a].land, fields[b].land) << a << " " << b;
            EXPECT_NE(fields[a].own, fields[b].own) << a << " " << b;
            EXPECT_NE(fields[a].enemy, fields[b].enemy) << a << " " << b;
        }
    }
    // No two campaign missions on one field: the same land with both factories where another's
    // stand.
    for (int a = 0; a < 22; ++a) {
        for (int b = a + 1; b < 22; ++b) {
            EXPECT_FALSE(fields[a].land == fields[b].land && fields[a].own == fields[b].own &&
                         fields[a].enemy == fields[b].enemy)
                << "rows " << a << " and " << b;
        }
    }
    for (const Promise& promise : kPromises) {
        for (size_t other = 0; other < fields.size(); ++other) {
            if (static_cast<int>(other) != promise.row) {
                EXPECT_NE(fields[other].land, fields[promise.row].land)
                    << promise.row << " " << other;
            }
        }
    }
}

}  // namespace

// The player's first Miner, left to itself, brings ore in within two game-minutes of standing
// clear of its factory, on the first mission of each clan and in the tutorial, where the player
// builds it.
TEST_F(MissionPackRows, ThePlayersFirstMinerBringsOreInUnordered) {
    for (int row : {0, 11, 22}) {
        SCOPED_TRACE("row " + std::to_string(row));
        ASSERT_EQ(pack->Start(row, 22u), 1);
        World& w = *pack->world;
        if (row == 22) {
            FactoryProduction* own = AsFactoryProduction(w.TeamFactory(1));
            ASSERT_NE(own, nullptr);
            ASSERT_EQ(own->QueueJob(std::make_unique<VehicleDesign>("VPfaa-----"), 0), 1);
        }
        FirstMinerWatch miner(w, 1);
        const int64_t begun = pack->Now();
        while (!miner.Over(pack->Now()) && (miner.Out() || pack->Now() - begun < 3 * 60 * 1000)) {
            pack->Step();
            miner.Step(pack->Now());
        }
        EXPECT_TRUE(miner.Out());
        EXPECT_TRUE(miner.delivered || miner.lost) << "out at " << miner.outAtMs << " ms";
    }
}
