// A seeded scripted game over a real mesh of three and four machines: units move, fields are
// hit, land features fall, the game pauses and players chat, each change made by one machine
// and sent to the others; after each change has arrived every machine's state checksum agrees.
// A machine that dies mid-game leaves the others agreeing, the lowest-numbered player having
// taken its team over.
#include <gtest/gtest.h>

#include <random>

#include "core/StringTable.h"
#include "net/Mesh.h"
#include "objects/CommandBuffer.h"
#include "objects/DestructibleObject.h"
#include "objects/LandFeature.h"

namespace {

class MeshGameTest : public MeshTest {
protected:
    // Every machine makes the same map: a unit per player (its own one owned), three fields
    // and two land features, all made by every machine as the scenario does.
    void SetUpGame(int players) {
        for (auto& m : machines) {
            const int own = m->screen->PlayerNumber();
            m->world.localPlayer = ValueTriple(own);
            m->land.records.players = players;
            // Nobody plays below player 1: only its machine takes a lost team over.
            m->land.records.allBelowEmpty = own == 1 ? 1 : 0;
            for (int team = 1; team <= players; ++team) {
                TestObject* unit = m->land.AddUnit(team, 100 + team, 2 + team, 2);
                unit->local = team == own ? 1 : 0;
            }
            for (int f = 0; f < 3; ++f) {
                std::unique_ptr<GameObject> field = std::make_unique<DestructibleObject>(
                    m->land.Centre(9, 3 + 3 * f), nullptr, SimId(0, 200 + f));
                field->local = 0;
                field->SetCargoCapacity(1000);
                field->AddCargo(500);
                m->world.AddDestructible(field);
            }
            for (int f = 0; f < 2; ++f) {
                auto feature = std::make_unique<LandFeature>(m->land.Centre(1, 10 + 2 * f),
                                                             Size(32, 32), SimId(0, 300 + f));
                feature->local = 0;
                m->world.AddLandFeature(std::move(feature));
            }
        }
    }
    GameObject* Find(Machine& m, const SimId& id) { return m.world.FindObject(id); }

    // One change by one machine, as its player or its units make it.
    void Act(Machine& m, std::mt19937& random) {
        SetObjectWorld(&m.world);
        const int own = m.screen->PlayerNumber();
        switch (random() % 5) {
            case 0: {
                GameObject* unit = Find(m, SimId(own, 100 + own));
                const Point to = m.land.Centre(1 + static_cast<int>(random() % 10),
                                               1 + static_cast<int>(random() % 14));
                if (m.world.PlaceObject(unit, to, nullptr) == 1) {
                    unit->facing = static_cast<int>(random() % 16);
                    m.world.commands->SendSimState(unit);
                }
                break;
            }
            case 1:
                Find(m, SimId(0, 200 + static_cast<int>(random() % 3)))
                    ->TakeDamage(nullptr, SimId(), nullptr, 1 + static_cast<int>(random() % 40));
                break;
            case 2:
                Find(m, SimId(0, 300 + static_cast<int>(random() % 2)))
                    ->TakeDamage(nullptr, SimId(), nullptr, 5);
                break;
            case 3:
                m.world.TogglePause();
                break;
            default:
                m.world.commands->SendMessage(own, 0, "hello");
                break;
        }
    }
    bool AllAgree() {
        uint64_t first = 0;
        bool any = false;
        for (auto& m : machines) {
            if (!m) continue;
            const uint64_t sum = m->world.StateChecksum();
            if (any && sum != first) return false;
            first = sum;
            any = true;
        }
        return true;
    }
    // Every machine in turn makes changes; after each, the others get it before the next.
    void Play(std::mt19937& random, int changes) {
        for (int i = 0; i < changes; ++i) {
            std::vector<Machine*> alive;
            for (auto& m : machines)
                if (m) alive.push_back(m.get());
            Act(*alive[random() % alive.size()], random);
            ASSERT_TRUE(TickUntil([&] { return AllAgree(); })) << "change " << i;
        }
    }
};

TEST_F(MeshGameTest, EveryMachineEndsWithTheSameState) {
    for (int players : {3, 4}) {
        SCOPED_TRACE(players);
        machines.clear();
        ASSERT_TRUE(Mesh(players));
        SetUpGame(players);
        ASSERT_TRUE(AllAgree());
        std::mt19937 random(20261206u + static_cast<unsigned>(players));
        const uint64_t start = machines[0]->world.StateChecksum();
        Play(random, 40);
        EXPECT_NE(machines[0]->world.StateChecksum(), start);
    }
}

TEST_F(MeshGameTest, SurvivorsOfALostMachineAgreeAndTheFirstPlayerTakesItsTeam) {
    ASSERT_TRUE(Mesh(4));
    SetUpGame(4);
    std::mt19937 random(7u);
    Play(random, 15);
    SetStringTableText(std::string(305, '\r') + "Player %d stopped answering.\r");
    // The machine of player 3 dies.
    for (auto& m : machines)
        if (m->screen->PlayerNumber() == 3) m.reset();
    ASSERT_TRUE(TickUntil([&] {
        return std::all_of(machines.begin(), machines.end(),
                           [](const auto& m) { return !m || m->world.PeerCount() == 2; });
    }));
    ASSERT_TRUE(TickUntil([&] { return AllAgree(); }));
    for (auto& m : machines) {
        if (!m) continue;
        EXPECT_EQ(m->land.records.players, 3);
        EXPECT_STREQ(m->world.statusText, "Player 3 stopped answering.");
        // Its own loss and the takeover's report both empty the slot.
        const std::vector<int>& emptied = m->land.records.emptied;
        EXPECT_EQ(std::set<int>(emptied.begin(), emptied.end()), std::set<int>{3});
        // Only player 1's machine runs the lost team now.
        EXPECT_EQ(Find(*m, SimId(3, 103))->local, m->screen->PlayerNumber() == 1 ? 1 : 0);
    }
    Play(random, 15);
    ClearStringTable();
}

}  // namespace
