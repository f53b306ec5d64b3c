// The id index and the gathered team structures answer exactly as walking the lists does,
// while units wander, die, are added (some under ids already in use), change hands, deploy and
// undeploy, and groups come and go.
#include <algorithm>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "world/RegistryTestFixture.h"
#include "world/WanderingUnit.h"

namespace {

constexpr int kColumns = 48;
constexpr int kRows = 48;
constexpr int kUnits = 120;
constexpr int kTicks = 1500;
constexpr int kCodes = 6;

class LookupIndex : public ::testing::Test {
protected:
    LookupIndex() {
        world.setDeployKind = [](GameObject* o, int kind) {
            static_cast<TestObject*>(o)->kind = kind;
        };
        world.structureCodeOf = [](GameObject* o) { return o->id.serial % kCodes; };
    }

    void AddWalker(const SimId& reuse = SimId()) {
        std::uniform_int_distribution<int> cell(1, kColumns - 2);
        std::uniform_int_distribution<int> team(0, 4);
        for (int attempt = 0; attempt < 100; ++attempt) {
            auto walker = std::make_unique<WanderingUnit>(world, random, team(random), nextSerial,
                                                          land.Centre(cell(random), cell(random)));
            if (!reuse.IsNull()) walker->id = reuse;
            WanderingUnit* raw = walker.get();
            std::unique_ptr<GameObject> owned = std::move(walker);
            if (world.AddSim(owned) == 1) {
                ids.push_back(raw->id);
                ++nextSerial;
                walkers.push_back(raw);
                return;
            }
        }
    }

    void ChangeHands(WanderingUnit* w, int team) {
        world.RemoveFromGrids(w, w->GetPosition(), 0);
        world.MoveSimToTeam(w, w->GetTeam(), team);
        w->teamRecord = ValueTriple(team);
        w->GetCollision()->team = team;
        world.AddToGrids(w, w->GetPosition(), 0);
    }

    void ExpectTheListAnswers(int tick) {
        for (const SimId& id : ids) {
            GameObject* scanned = world.ScanForObject(id);
            ASSERT_EQ(world.FindObject(id), scanned)
                << "tick " << tick << " id " << id.team << "," << id.serial;
            if (scanned && scanned->id == id) ++found;
        }
        for (int team = 0; team < World::kTeams; ++team) {
            for (int code = 0; code < kCodes; ++code) {
                const int scanned = world.ScanForStructure(team, code);
                ASSERT_EQ(world.TeamHasStructure(team, code), scanned)
                    << "tick " << tick << " team " << team << " code " << code;
                structures += scanned;
            }
        }
    }

    std::mt19937 random{1312};
    WorldOnLand land{GeneratedLand(random, kColumns, kRows)};
    World& world = land.world;
    std::vector<WanderingUnit*> walkers;
    std::vector<TestObject*> groups;
    // Every id ever listed, and a few never used.
    std::vector<SimId> ids{SimId(0, 999999), SimId(4, 0)};
    int nextSerial = 1;
    int found = 0;
    int structures = 0;
};

}  // namespace

TEST_F(LookupIndex, AnswersAsTheListsOverALongRunOfChanges) {
    for (int i = 0; i < kUnits; ++i)
        AddWalker();
    std::uniform_int_distribution<int> percent(0, 99);
    std::uniform_int_distribution<int> team(0, 4);
    int deployed = 0;
    for (int tick = 1; tick <= kTicks; ++tick) {
        world.pathSearchesThisTick = 0;
        auto any = [&] {
            std::uniform_int_distribution<size_t> pick(0, walkers.size() - 1);
            return walkers[pick(random)];
        };
        if (percent(random) < 8 && !walkers.empty()) {
            // Dies in this tick's update; until then it is still listed.
            WanderingUnit* victim = any();
            victim->destroyed = 1;
            walkers.erase(std::find(walkers.begin(), walkers.end(), victim));
            ExpectTheListAnswers(tick);
        }
        if (percent(random) < 8) {
            // Now and then under an id in use or once used.
            std::uniform_int_distribution<size_t> old(0, ids.size() - 1);
            AddWalker(percent(random) < 30 ? ids[old(random)] : SimId());
        }
        if (percent(random) < 5 && !walkers.empty()) ChangeHands(any(), team(random));
        if (percent(random) < 6 && !walkers.empty()) {
            WanderingUnit* w = any();
            if (w->kind == 7) {
                world.UndeploySim(w);
            } else {
                world.DeploySim(w);
                ++deployed;
            }
        }
        if (percent(random) < 3) {
            auto group = std::make_unique<TestObject>(0, nextSerial++, Point(0, 0));
            ids.push_back(group->id);
            groups.push_back(group.get());
            ASSERT_EQ(world.AddGroup(std::move(group)), 1);
        }
        if (percent(random) < 3 && !groups.empty()) {
            groups.back()->destroyed = 1;
            groups.pop_back();
        }
        world.UpdateObjects(16);
        ExpectTheListAnswers(tick);
        if (HasFatalFailure()) return;
    }
    // The run met every road: deployed structures, listed ids and duplicates.
    EXPECT_GT(deployed, 50);
    EXPECT_GT(structures, kTicks);
    EXPECT_GT(found, kTicks * kUnits / 2);
}
