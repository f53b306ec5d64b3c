// The state checksum: the same game in another list order agrees; what peers share changes it,
// what each machine keeps for itself does not.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "map/ObjectKinds.h"
#include "platform/ChecksumRequest.h"
#include "support/TempDirectory.h"
#include "world/RegistryTestFixture.h"
#include "world/Scenario.h"

namespace {

struct Game {
    // Three units added in the given order of serials.
    explicit Game(std::initializer_list<int> serials) {
        for (int serial : serials)
            units.push_back(land.AddUnit(serial % 2 + 1, serial, serial, serial + 1));
    }
    TestObject* Unit(int serial) {
        for (TestObject* u : units)
            if (u->id.serial == serial) return u;
        return nullptr;
    }
    WorldOnLand land{OpenLand(12, 10)};
    std::vector<TestObject*> units;
};

TEST(StateChecksum, SharedStateCountsAndLocalStateDoesNot) {
    Game a({1, 2, 3});
    Game b({3, 1, 2});
    const uint64_t same = a.land.world.StateChecksum();
    EXPECT_EQ(b.land.world.StateChecksum(), same);
    // Machine-local: the owner flag, the selection.
    b.Unit(2)->local = 0;
    b.Unit(3)->selected = 1;
    EXPECT_EQ(b.land.world.StateChecksum(), same);
    struct Change {
        const char* what;
        std::function<void(Game&)> apply;
    };
    const Change changes[] = {
        {"position", [](Game& g) { g.Unit(1)->position.x += 1; }},
        {"damage", [](Game& g) { g.Unit(2)->damage.Add(1); }},
        {"cargo", [](Game& g) { g.Unit(3)->cargo += 1; }},
        {"stored", [](Game& g) { g.Unit(3)->stored = 7; }},
        {"facing", [](Game& g) { g.Unit(1)->facing = 3; }},
        {"team record", [](Game& g) { g.Unit(1)->teamRecord.third = 4; }},
        {"id", [](Game& g) { g.Unit(1)->id.serial = 9; }},
        {"kind", [](Game& g) { g.Unit(2)->kind = 5; }},
        {"alliance", [](Game& g) { g.land.world.alliance[1][2] = World::kAllied; }},
        {"pause", [](Game& g) { g.land.world.paused = 1 - g.land.world.paused; }},
        {"players", [](Game& g) { g.land.records.players = 2; }},

    };
    for (const Change& c : changes) {
        SCOPED_TRACE(c.what);
        Game g({1, 2, 3});
        c.apply(g);
        EXPECT_NE(g.land.world.StateChecksum(), same);
    }
}

// Only a factory's owner mines the deposit at its feet and pays from the factory's store.
TEST(StateChecksum, TheStoresOfFactoriesAndDepositsAreEachMachinesOwn) {
    const struct {
        int kind;
        bool counts;
    } cases[] = {{ObjectKind::kFactory, false},
                 {ObjectKind::kOreDeposit, false},
                 {ObjectKind::kUnit, true},
                 {ObjectKind::kDestructible, true}};
    for (const auto& c : cases) {
        Game a({1}), b({1});
        a.Unit(1)->kind = b.Unit(1)->kind = c.kind;
        b.Unit(1)->stored += 50;
        EXPECT_EQ(a.land.world.StateChecksum() != b.land.world.StateChecksum(), c.counts) << c.kind;
        b.Unit(1)->cargo += 1;
        EXPECT_NE(a.land.world.StateChecksum(), b.land.world.StateChecksum()) << c.kind;
    }
}

TEST(StateChecksum, TheScenariosPlayerSlotsCount) {
    Game a({1});
    Game b({1});
    for (Game* g : {&a, &b})
        g->land.world.scenario = std::make_unique<Scenario>();
    EXPECT_EQ(a.land.world.StateChecksum(), b.land.world.StateChecksum());
    char& slot = b.land.world.scenario->playerSlots[2];
    slot = slot == 'T' ? 'V' : 'T';
    EXPECT_NE(a.land.world.StateChecksum(), b.land.world.StateChecksum());
    b.land.world.scenario->playerSlots[2] = a.land.world.scenario->playerSlots[2];
    b.land.world.scenario->teamColours[2] = Scenario::kDroppedPlayerColour;
    EXPECT_NE(a.land.world.StateChecksum(), b.land.world.StateChecksum());
}

TEST(StateChecksum, TheTickAfterARequestWritesIt) {
    TempDirectory directory;
    setenv("QX_CAPTURE", directory.Path().c_str(), 1);
    Game g({1, 2});
    winx_RequestChecksum("tick");
    g.land.world.Tick(1000);
    unsetenv("QX_CAPTURE");
    std::ifstream file(directory.Path() + "/tick.txt");
    std::string text;
    std::getline(file, text);
    char expected[17];
    std::snprintf(expected, sizeof expected, "%016llx",
                  static_cast<unsigned long long>(g.land.world.StateChecksum()));
    EXPECT_EQ(text, expected);
    std::remove((directory.Path() + "/tick.txt").c_str());
}

}  // namespace
