// The state checksum: the same game in another list order agrees; what peers share changes it,
// what each machine keeps for itself does not.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "catalogue/VehicleDesign.h"
#include "core/Settings.h"
#include "core/ValueTriple.h"
#include "map/ObjectKinds.h"
#include "objects/Artifact.h"
#include "objects/FactoryProduction.h"
#include "objects/OreDeposit.h"
#include "objects/UnitVariantsSupport.h"
#include "platform/ChecksumRequest.h"
#include "support/MemoryLink.h"
#include "support/ScopedWorkingDir.h"
#include "support/TempDirectory.h"
#include "world/MissionStats.h"
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

// Every machine holds a factory's store and a deposit's ore alike now (their owners send every
// change), so they count for every kind of object.
TEST(StateChecksum, TheStoresOfFactoriesAndDepositsCount) {
    for (int kind : {ObjectKind::kFactory, ObjectKind::kOreDeposit, ObjectKind::kUnit,
                     ObjectKind::kDestructible}) {
        Game a({1}), b({1});
        a.Unit(1)->kind = b.Unit(1)->kind = kind;
        b.Unit(1)->stored += 50;
        EXPECT_NE(a.land.world.StateChecksum(), b.land.world.StateChecksum()) << kind;
    }
}

// The digest as the checksum's file describes it, computed here on its own: a splitmix step
// per field, the objects' digests summed, then the world's fields.
uint64_t Step(uint64_t h, int64_t value) {
    uint64_t z = h + 0x9E3779B97F4A7C15ull + static_cast<uint64_t>(value);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}
uint64_t Described(int list, std::initializer_list<int64_t> fields) {
    uint64_t h = Step(0, list);
    for (int64_t v : fields)
        h = Step(h, v);
    return h;
}

TEST(StateChecksum, ASmallStateHasTheDescribedDigest) {
    WorldOnLand land{OpenLand(12, 10)};
    World& world = land.world;
    TestObject* unit = land.AddUnit(1, 7, 2, 3);
    unit->teamRecord.first = 1;
    unit->teamRecord.second = 1;
    unit->teamRecord.third = 3;
    unit->damage.SetMax(100);
    unit->damage.SetValue(40);
    unit->cargoCapacity = 50;
    unit->cargo = 12;
    unit->facing = 5;
    auto well = std::make_unique<TestObject>(0, 8, land.Centre(5, 5), ObjectKind::kOreDeposit);
    TestObject* deposit = well.get();
    deposit->teamRecord = ValueTriple(0);
    deposit->damage.SetMax(0);
    deposit->damage.SetValue(0);
    deposit->stored = 500;
    std::unique_ptr<GameObject> owned = std::move(well);
    ASSERT_EQ(world.AddOreDeposit(owned), 1);
    for (auto& row : world.alliance)
        for (int32_t& cell : row)
            cell = 0;
    world.alliance[1][2] = world.alliance[2][1] = World::kAllied;
    world.paused = 1;
    world.scenario.reset();
    land.records.scenario = 0;
    const Point u = land.Centre(2, 3);
    const Point d = land.Centre(5, 5);
    ASSERT_EQ(unit->position, u);
    ASSERT_EQ(deposit->position, d);
    // Units are list 1, deposits list 12; the fields in the file's order: id team and serial,
    // kind, team record, position, damage and its limit, cargo, store, credit, facing.
    // Then layer, upgrades, deployed, unfold, effect and job, all 0 here.
    const uint64_t objects =
        Described(1, {1, 7, 1, 1, 1, 3, u.x, u.y, 40, 100, 12, 0, 0, 5, 0, 0, 0, 0, 0, 0}) +
        Described(12, {0, 8, 9, 0, 0, 0, d.x, d.y, 0, 0, 0, 500, 0, 0, 0, 0, 0, 0, 0, 0});
    uint64_t h = Step(0, static_cast<int64_t>(objects));
    for (int a = 0; a < World::kTeams; ++a)
        for (int b = 0; b < World::kTeams; ++b)
            h = Step(h, (a == 1 && b == 2) || (a == 2 && b == 1) ? World::kAllied : 0);
    h = Step(h, 1);
    // No scenario: the player count is -1.
    h = Step(h, -1);
    // The game records of teams 0 .. 4: losses, units made, effort and cost; team 3 has one,
    // the others none (-1 each).
    world.teamStats[3] = std::make_unique<MissionStats>();
    world.teamStats[3]->losses = 2;
    world.teamStats[3]->Tally(30, 40);
    for (int team = 0; team < World::kTeams; ++team) {
        const std::array<int64_t, 4> counters = team == 3 ? std::array<int64_t, 4>{2, 1, 30, 40}
                                                          : std::array<int64_t, 4>{-1, -1, -1, -1};
        for (int64_t v : counters)
            h = Step(h, v);
    }
    EXPECT_EQ(world.StateChecksum(), h);
    // The listing for comparing machines names the same fields, sorted, and changes nothing.
    std::string listing;
    EXPECT_EQ(world.StateChecksum(&listing), h);
    auto line = [](int list, std::initializer_list<int64_t> fields) {
        std::string text = std::to_string(list);
        for (int64_t v : fields)
            text += " " + std::to_string(v);
        return text + "\n";
    };
    const std::string allied = std::to_string(World::kAllied);
    EXPECT_EQ(listing,
              "local 1 paused 1 players -1\nalliances 0 0 0 0 0 0 0 " + allied + " 0 0 0 " +
                  allied + " 0 0 0 0 0 0 0 0 0 0 0 0 0\n" +
                  "records -1 -1 -1 -1 -1 -1 -1 -1 -1 -1 -1 -1 2 1 30 40 -1 -1 -1 -1\n" +
                  line(1, {1, 7, 1, 1, 1, 3, u.x, u.y, 40, 100, 12, 0, 0, 5, 0, 0, 0, 0, 0, 0}) +
                  line(12, {0, 8, 9, 0, 0, 0, d.x, d.y, 0, 0, 0, 500, 0, 0, 0, 0, 0, 0, 0, 0}));
}

// The same objects in other lists are another state: each list salts its objects.
TEST(StateChecksum, AnObjectCountsDifferentlyInAnotherList) {
    auto build = [](bool swapped) {
        auto land = std::make_unique<WorldOnLand>(OpenLand(12, 10));
        auto first = std::make_unique<TestObject>(0, 30, land->Centre(2, 2), 3);
        auto second = std::make_unique<TestObject>(0, 31, land->Centre(6, 6), 3);
        std::unique_ptr<GameObject> a = std::move(first);
        std::unique_ptr<GameObject> b = std::move(second);
        if (swapped) std::swap(a, b);
        land->world.AddWreck(std::move(a));
        land->world.AddDestructible(b);
        return land->world.StateChecksum();
    };
    EXPECT_NE(build(false), build(true));
}

// Each team's buildings are listed once, in the buildings' list, whatever team they belong to.
TEST(StateChecksum, ATeamsBuildingIsListedOnceAsABuilding) {
    for (int team : {0, World::kTeams - 1}) {
        WorldOnLand land{OpenLand(12, 10)};
        land.world.AddBuilding(std::make_unique<TestObject>(team, 40, land.Centre(4, 4), 2));
        std::string listing;
        land.world.StateChecksum(&listing);
        const std::string prefix =
            std::to_string(World::kChecksumBuildings) + " " + std::to_string(team) + " 40 ";
        size_t lines = 0, buildings = 0;
        for (size_t at = 0; at < listing.size();) {
            const size_t end = listing.find('\n', at);
            const std::string row = listing.substr(at, end - at);
            at = end == std::string::npos ? listing.size() : end + 1;
            if (row.rfind("local", 0) == 0 || row.rfind("alliances", 0) == 0 ||
                row.rfind("records", 0) == 0)
                continue;
            ++lines;
            if (row.rfind(prefix, 0) == 0) ++buildings;
        }
        EXPECT_EQ(lines, 1u) << "team " << team << ":\n" << listing;
        EXPECT_EQ(buildings, 1u) << "team " << team << ":\n" << listing;
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

// A factory whose unfold state and product a test sets.
class ShownFactory : public TestObject, public FactoryProduction {
public:
    ShownFactory(int team, int serial, const Point& at) : TestObject(team, serial, at, 4, 24) {}
    GameObject* AsObject() override { return this; }
    VehicleDesign* CurrentJob() override { return job.get(); }
    int32_t RemainingTime() override { return 0; }
    int QueuedJobCount() override { return 0; }
    VehicleDesign* QueuedJob(int) override { return nullptr; }
    int QueueJob(std::unique_ptr<VehicleDesign>, int) override { return 0; }
    int CancelJob(VehicleDesign*) override { return 0; }
    int HasProduct() override { return product; }
    int ProductionState() override { return product ? 2 : 0; }
    int IsProductionPaused() override { return 0; }
    void SetProductionPaused(int) override {}
    int32_t GetCredit() override { return 0; }
    int32_t GetStore() override { return 0; }
    void AddResources(int32_t, int32_t) override {}
    int UnfoldState() override { return unfold; }
    void StepUnfold() override {}
    Point UnfoldedCentre() override { return position; }
    Point UnfoldedCentreAt(const Point& p) override { return p; }
    Size UnfoldedSize() override { return Size(64, 64); }
    int CanUnfoldAt(const Point&) override { return 1; }
    int IsBuildAreaFreeAt(const Point&) override { return 1; }
    int IsBuildAreaFree() override { return 1; }
    int HasProductReady() override { return 0; }
    GameObject* MinedDeposit() override { return nullptr; }
    int FindUnloadDock() override { return -1; }
    Point DockPoint(int) override { return position; }
    int32_t ReceiveDelivery(int32_t, int32_t) override { return 0; }

    std::unique_ptr<VehicleDesign> job;
    int product = 0;
    int unfold = FactoryProduction::kOpen;
};

// One machine's state with an object of every sort whose own fields count: a unit, a deploying
// unit, a flyer, a lying artifact, a factory with a product inside, and the game records.
struct Shown {
    Shown() {
        SetObjectWorld(&world);
        unit = List(std::make_unique<Sim>(land.Centre(3, 3), SimId(1, 1),
                                          kit.Design(kit.ground.get(), kit.plain.get())));
        deploying = List(std::make_unique<DeployingSim>(
            land.Centre(3, 8), SimId(1, 2), kit.Design(kit.ground.get(), kit.structures[1].get())));
        deploying->deployState = DeployingSim::kDeployed;
        flyer = List(std::make_unique<AirSim>(land.Centre(8, 3), SimId(2, 3),
                                              kit.Design(kit.lander.get(), kit.plain.get())));
        auto made = std::make_unique<ShownFactory>(2, 4, land.Centre(14, 14));
        factory = made.get();
        factory->job = std::make_unique<VehicleDesign>('V');
        std::snprintf(factory->job->name, sizeof factory->job->name, "%s", "Lancer");
        factory->product = 1;
        world.AddBuilding(std::move(made));
        std::unique_ptr<GameObject> lying =
            std::make_unique<Artifact>(land.Centre(8, 8), Size(16, 16), nullptr, nullptr,
                                       CollisionFilter(5, 0, 0, 0, 0), SimId(0, 5), 2);
        artifact = static_cast<Artifact*>(lying.get());
        EXPECT_EQ(world.AddArtifact(lying), 1);
        for (auto& stats : world.teamStats) {
            stats = std::make_unique<MissionStats>();
            stats->losses = 1;
            stats->Tally(10, 20);
            stats->kills = 3;
        }
    }
    ~Shown() {
        world.ClearObjects();
        SetObjectWorld(nullptr);
    }
    template <class Unit>
    Unit* List(std::unique_ptr<Unit> made) {
        Unit* raw = made.get();
        std::unique_ptr<GameObject> owned = std::move(made);
        EXPECT_EQ(world.AddSim(owned), 1);
        return raw;
    }

    FakeClock clock{1000};
    SpecialKit kit;
    WorldOnLand land{OpenLand(20, 20)};
    World& world = land.world;
    Sim* unit = nullptr;
    DeployingSim* deploying = nullptr;
    AirSim* flyer = nullptr;
    ShownFactory* factory = nullptr;
    Artifact* artifact = nullptr;
};

// Each field a player sees changes the digest when one machine holds it otherwise; what runs on
// each machine's clock between two of the owner's words does not.
TEST(StateChecksum, EachSharedFieldCountsAndEachMachinesOwnStageDoesNot) {
    uint64_t same = 0;
    {
        Shown a;
        same = a.world.StateChecksum();
        Shown b;
        ASSERT_EQ(b.world.StateChecksum(), same);
    }
    struct Change {
        const char* what;
        bool counts;
        std::function<void(Shown&)> apply;
    };
    const Change changes[] = {
        {"a unit's layer", true, [](Shown& s) { s.unit->collision.layer = 2; }},
        {"a unit's upgrade", true, [](Shown& s) { s.unit->AddUpgrade(); }},
        {"a packing up begun", true,
         [](Shown& s) { s.deploying->deployState = DeployingSim::kUndeploying; }},
        {"a unit mobile again", true,
         [](Shown& s) { s.deploying->deployState = DeployingSim::kMobile; }},
        {"a factory folding", true, [](Shown& s) { s.factory->unfold = 5; }},
        {"a factory folded", true, [](Shown& s) { s.factory->unfold = 0; }},
        {"a product's design", true,
         [](Shown& s) { std::snprintf(s.factory->job->name, 8, "%s", "Pike"); }},
        {"no product", true, [](Shown& s) { s.factory->product = 0; }},
        {"an artifact's effect", true, [](Shown& s) { s.artifact->effectType = 4; }},
        {"a flyer's layer change its owner holds", true,
         [](Shown& s) { s.flyer->reservation = SimId(0, 99); }},
        {"a team's losses", true, [](Shown& s) { s.world.teamStats[2]->losses = 2; }},
        {"a team's units made", true, [](Shown& s) { s.world.teamStats[1]->unitsMade = 5; }},
        {"a team's build effort", true, [](Shown& s) { s.world.teamStats[4]->buildEffort = 9; }},
        {"a team's build cost", true, [](Shown& s) { s.world.teamStats[0]->buildCost = 9; }},
        {"a team without records", true, [](Shown& s) { s.world.teamStats[3].reset(); }},
        // Each machine's own.
        {"a team's kills", false, [](Shown& s) { s.world.teamStats[2]->kills = 7; }},
        {"a mission clock", false, [](Shown& s) { s.world.teamStats[1]->StartClock(); }},
        {"a unit's skill", false, [](Shown& s) { s.unit->skill += 10; }},
        {"a flyer's height", false, [](Shown& s) { s.flyer->altitude += 5; }},
        {"the deploy animation", false,
         [](Shown& s) { s.deploying->deployState = DeployingSim::kDeploying; }},
        {"the unfold animation", false, [](Shown& s) { s.factory->unfold = 3; }},
        {"the door", false, [](Shown& s) { s.factory->unfold = 8; }},
    };
    for (const Change& c : changes) {
        SCOPED_TRACE(c.what);
        Shown g;
        c.apply(g);
        if (c.counts)
            EXPECT_NE(g.world.StateChecksum(), same);
        else
            EXPECT_EQ(g.world.StateChecksum(), same);
    }
}

// A flyer between two layers counts the one it goes to: its owner holds the place there until
// the copies have moved, and a copy refused the place keeps trying for it.
TEST(StateChecksum, AFlyerBetweenLayersCountsTheOneItGoesTo) {
    const auto digest = [](const std::function<void(AirSim&)>& set) {
        Shown s;
        set(*s.flyer);
        return s.world.StateChecksum();
    };
    const uint64_t up = digest([](AirSim& f) {
        f.local = 0;
        f.collision.layer = f.airLayer;
    });
    EXPECT_EQ(digest([](AirSim& f) {
                  f.local = 1;
                  f.collision.layer = f.lowLayer;
                  f.reservation = SimId(0, 99);
              }),
              up);
    EXPECT_EQ(digest([](AirSim& f) {
                  f.local = 0;
                  f.collision.layer = f.lowLayer;
                  f.changeConfirmed = 0;
                  f.pendingLayer = f.airLayer;
              }),
              up);
    // Coming down likewise; and a copy with no change pending counts where it stands.
    const uint64_t down = digest([](AirSim& f) {
        f.local = 0;
        f.collision.layer = f.lowLayer;
    });
    EXPECT_NE(down, up);
    EXPECT_EQ(digest([](AirSim& f) {
                  f.local = 1;
                  f.collision.layer = f.airLayer;
                  f.reservation = SimId(0, 99);
              }),
              down);
    EXPECT_EQ(digest([](AirSim& f) {
                  f.local = 0;
                  f.collision.layer = f.lowLayer;
                  f.changeConfirmed = 1;
                  f.pendingLayer = f.airLayer;
              }),
              down);
}

// The job a factory builds is its owner's alone until the unit is made; a product inside counts
// its design, listed as its digest.
TEST(StateChecksum, OnlyAMadeProductsDesignCounts) {
    Shown owner, copy;
    for (Shown* s : {&owner, &copy})
        s->factory->product = 0;
    copy.factory->job.reset();
    EXPECT_EQ(owner.world.StateChecksum(), copy.world.StateChecksum());
    owner.factory->product = 1;
    std::string listing;
    owner.world.StateChecksum(&listing);
    const std::string code = owner.factory->job->CodeString();
    uint64_t fnv = 0xCBF29CE484222325ull;
    for (char ch : code)
        fnv = (fnv ^ static_cast<uint8_t>(ch)) * 0x100000001B3ull;
    EXPECT_NE(listing.find(" 4 0 " + std::to_string(static_cast<int64_t>(fnv)) + "\n"),
              std::string::npos)
        << listing;
}

}  // namespace

// In a network game a request waits for a pause, and there for every peer's mark of that
// pause (a peer whose link is lost or closed counts as marked) and, off the authority, for the
// end of the authority's deposit amounts, which are held until then; the authority sends its
// amounts once the marks are in. A pause that lifts first writes the request at once and
// traces it: it is never carried to the next pause.
TEST(StateChecksum, ANetworkGameWritesAPausesChecksumOnceEveryPeerHasMarkedIt) {
    const SimId deposit(0, 80);
    const char* const kLifted = "Checksum held written as the pause lifted";
    // The steps: p the pause key; a, b a mark from slot 0, 1 of the pause this machine stands
    // in (or of the next one while it runs); o, h slot 0's mark of the pause before, of a huge
    // number; x, y slot 0's amount 77, 55 for the deposit, z one for no deposit here; e the
    // end of slot 0's amounts, one of them; l slot 1's link lost; c slot 0's link lost and
    // closed; ? a checksum asked for and a tick. g: this machine plays team 4 from here, so
    // that slot 0's player (team 2) is the authority; q a pause received from slot 1; 1, 2
    // slot 0's mark of pause 1, 2.
    struct Row {
        const char* what;
        int host;
        const char* steps;
        bool written;
        // What the trace holds (nothing when null).
        const char* trace;
        // The deposit's ore afterwards (10 at the start); whether this machine sent the amounts
        // of the pause it stands in.
        int ore;
        int amountsSent;
    };
    const Row rows[] = {
        {"the game runs", 1, "ab?", false, nullptr, 10, 0},
        {"paused, no mark in", 1, "p?", false, nullptr, 10, 0},
        {"one mark of two", 1, "pa?", false, nullptr, 10, 0},
        {"every mark", 1, "pab?", true, nullptr, 10, 1},
        {"marks that came before the pause", 1, "abq?", true, nullptr, 10, 1},
        {"marks of a pause that never came here, then this machine's own", 1, "abp?", false,
         nullptr, 10, 0},
        {"the same, then the peers' marks of this machine's pause", 1, "abpab?", true, nullptr, 10,
         1},
        {"a mark of the pause before", 1, "pabppa?", false, nullptr, 10, 0},
        {"a lost link", 1, "pal?", true, nullptr, 10, 1},
        // Closing slot 0 moves slot 1 down with its mark.
        {"a closed link", 1, "pbc?", true, nullptr, 10, 1},
        {"lifted before every mark", 1, "pa?p", true, kLifted, 10, 0},
        {"asked ahead of a pause lifted at once", 1, "?pp", true, kLifted, 10, 0},
        {"off the authority, before its amounts", 0, "pab?", false, nullptr, 10, 0},
        {"off the authority, amounts held for a mark", 0, "paxe?", false, nullptr, 10, 0},
        {"off the authority, amounts and marks in", 0, "paxeb?", true, nullptr, 77, 0},
        {"off the authority, amounts before the sender's mark", 0, "pbxea?", false, nullptr, 10, 0},
        {"amounts while the game runs", 0, "axe?", false, nullptr, 10, 0},
        {"off the authority, a deposit named twice", 0, "paxyeb?", true,
         "Deposit amounts: 2 of 1 came", 77, 0},
        {"off the authority, a short list", 0, "paeb?", false, "Deposit amounts: 0 of 1 came", 10,
         0},
        {"off the authority, a list naming no deposit here", 0, "pazeb?", false,
         "Deposit amounts: 1 of 1 came, 0 known here", 10, 0},
        {"an old mark sent again", 1, "pabo?", true, nullptr, 10, 1},
        {"a huge mark", 1, "phb?", false, nullptr, 10, 0},
        {"a huge mark, then the next pause", 1, "hpb?", false, nullptr, 10, 0},
        // A pause within a pause, come before the authority's mark of the first: the count
        // goes back with that mark and on with the next. In a pause that reached this machine
        // alone, the authority's mark of its next sets the count.
        {"a second pause before the authority's mark of the first", 0, "gpbq1xe2bxe?", true,
         nullptr, 77, 0},
        {"the authority's pause within one of this machine's own", 0, "gpq1bxe?", true, nullptr, 77,
         0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ScopedWorkingDir directory;
        setenv("QX_CAPTURE", directory.Path().c_str(), 1);
        traceOn = 1;
        Game g({1, 2});
        World& world = g.land.world;
        std::vector<MemoryLink*> links;
        world.makeLink = [&links] {
            auto link = std::make_unique<MemoryLink>();
            links.push_back(link.get());
            return std::unique_ptr<CommLink>(std::move(link));
        };
        for (int team : {2, 3}) {
            world.AddPeer();
            world.peerSlots[team - 2].peerTeam = team;
        }
        world.StartRecording();
        world.networkHost = row.host;
        world.pauseLocked = 0;
        world.paused = 0;
        std::unique_ptr<GameObject> well = std::make_unique<OreDeposit>(
            g.land.Centre(5, 5), Size(64, 32), nullptr, CollisionFilter(0, 0, 0, 0, 0), deposit);
        well->Deposit(10);
        ASSERT_EQ(world.AddOreDeposit(well), 1);
        int now = 1000;
        for (const char* step = row.steps; *step; ++step) {
            const int32_t number = world.pauseNumber + (world.markedPause == 0 ? 1 : 0);
            switch (*step) {
                case 'p':
                    world.TogglePause();
                    break;
                case 'a':
                    world.NotePauseMark(0, number);
                    break;
                case 'b':
                    world.NotePauseMark(1, number);
                    break;
                case 'g':
                    world.localPlayer = ValueTriple(4);
                    break;
                case 'q':
                    world.SetPaused(1), world.MarkPause();
                    break;
                case '1':
                case '2':
                    world.NotePauseMark(0, *step - '0');
                    break;
                case 'o':
                case 'h':
                    world.NotePauseMark(0, *step == 'o' ? number - 1 : 0x7FFFFFFF);
                    break;
                case 'x':
                case 'y':
                    world.NoteDepositAmount(0, deposit, *step == 'x' ? 77 : 55);
                    break;
                case 'z':
                    world.NoteDepositAmount(0, SimId(0, 81), 66);
                    break;
                case 'e':
                    world.NoteDepositAmount(0, SimId(), 1);
                    break;
                case 'l':
                    links[1]->lost = 1;
                    break;
                case 'c':
                    links[0]->lost = 1, world.CheckPeers();
                    break;
                default:
                    winx_RequestChecksum("held"), world.Tick(now += 20);
            }
        }
        world.Tick(now += 20);
        traceOn = 0;
        unsetenv("QX_CAPTURE");
        EXPECT_EQ(directory.Exists("held.txt"), row.written);
        const std::string trace = directory.ReadFile("zvd.out");
        if (row.trace)
            EXPECT_NE(trace.find(row.trace), std::string::npos) << trace;
        else if (row.written)
            EXPECT_EQ(trace, "Checksum held written at battle ms 0\n");
        else
            EXPECT_EQ(trace, "");
        EXPECT_EQ(world.FindOreDeposit(deposit)->GetStored(), row.ore);
        EXPECT_EQ(world.amountsSent, row.amountsSent);
        world.pendingChecksums.clear();
        world.ClosePeers(nullptr);
    }
}
