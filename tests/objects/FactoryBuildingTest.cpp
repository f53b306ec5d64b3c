// The factory: paying for and building queued designs, rolling them out, cancelling, the
// unfold states and their footprint, self-repair, records, and a mirror fed the owner's
// commands.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "SimTestSupport.h"
#include "catalogue/BuildingTemplate.h"
#include "catalogue/CatalogueMedia.h"
#include "catalogue/CatalogueServices.h"
#include "catalogue/EffectTemplate.h"
#include "catalogue/TemplateCatalogue.h"
#include "core/Image.h"
#include "core/ResourceFile.h"
#include "core/Settings.h"
#include "core/Sound.h"
#include "core/SpriteSet.h"
#include "core/StringTable.h"
#include "map/LandFixture.h"
#include "map/TerrainMap.h"
#include "objects/BuildingCreation.h"
#include "objects/CommandReader.h"
#include "objects/ExplosionEffect.h"
#include "objects/FactoryBuilding.h"
#include "objects/FactoryProduction.h"
#include "objects/LocationGoal.h"
#include "objects/ObjectTestSupport.h"
#include "objects/OreDeposit.h"
#include "objects/PartAttachment.h"
#include "objects/RecordLinesSupport.h"
#include "objects/SquadManoeuvre.h"
#include "objects/TargetGoal.h"
#include "support/DisplayFixtures.h"
#include "support/FakeClock.h"
#include "support/FakeObjectWorld.h"
#include "support/MadeAssets.h"
#include "support/SampleCatalogueWorld.h"
#include "support/TempDirectory.h"
#include "support/TopLevels.h"
#include "ui/ScreenBase.h"

namespace {

constexpr int kFirstCost = 100;
constexpr int kSecondCost = 200;
constexpr int kBuildTime = 1000;

// Applies the owner's ledgers (kind 55) to a copy of its factory as the command executor does.
void ReplayLedger(const std::vector<uint8_t>& bytes, FactoryBuilding& copy) {
    CommandReader r(bytes.data(), bytes.size());
    CommandHeader h;
    while (r.NextCommand(h)) {
        if (h.kind == static_cast<int>(CommandKind::FactoryLedger)) {
            const int32_t cargo = r.ReadW32();
            const int32_t store = r.ReadW32();
            const int32_t credit = r.ReadW32();
            copy.ApplyLedger(cargo, store, credit);
        }
        r.SkipCommand();
    }
}

// The building's pictures and sounds are made by the tests themselves.
class NoMedia : public CatalogueMedia {
public:
    std::unique_ptr<SpriteSet> LoadGrid(const std::string&) override { return nullptr; }
    std::unique_ptr<SpriteSet> LoadColumn(const std::string&) override { return nullptr; }
    std::unique_ptr<SpriteSet> LoadRow(const std::string&) override { return nullptr; }
    std::unique_ptr<Sound> MakeSound(int32_t) override { return nullptr; }
};

class ScalingController : public EventLog {
public:
    int32_t ScaleByLevel(int32_t value) override { return value * 3 / 4; }
};

class Factory : public ::testing::Test {
protected:
    Factory() {
        SetCatalogueMedia(&media);
        BuildingValues v;
        v.letter = 'V';
        v.hitPoints = 2000;
        v.partCount = 1;
        v.extraPartCount = 1;
        v.doorFrameCount = 4;
        v.doorMountTable.assign(8, Point(5, 6));
        ChassisValues c;
        c.clan = 'V';
        c.role = 'z';
        c.strength = 2000;
        c.hardpointCount = 2;
        c.capacities.assign(2, 9);
        c.mountOffsets.assign(32, Point(1, 1));
        building = std::make_unique<BuildingTemplate>(v, std::make_unique<ChassisTemplate>(c),
                                                      kit.drive.get());
        building->bodyAnimation = std::make_unique<SpriteSet>(6);
        building->bodyAnimation->SetFrame(std::make_unique<Image>(Size(192, 160)), 5);
        building->doorAnimation = std::make_unique<SpriteSet>(4);
        kit.chassis->firstCost = kFirstCost;
        kit.chassis->secondCost = kSecondCost;
        kit.chassis->buildTime = kBuildTime;
        flyer = std::make_unique<PartTemplate>('V', 'F', 0, 0, 0, 100, 1);
        flyer->layer = 2;
        world.commands.SetEnabled(1);
        world.makers.setCarrierPartner = [this](GameObject* carrier, const SimId& partner) {
            pairs.push_back({carrier->id, partner});
        };
    }

    ~Factory() override { SetCatalogueMedia(nullptr); }

    std::unique_ptr<FactoryBuilding> Make(int local = 1, int team = 1, int serial = 1) {
        auto design = std::make_unique<VehicleDesign>('V');
        design->drive = kit.drive.get();
        design->chassis = building->chassis.get();
        auto f = std::make_unique<FactoryBuilding>(Point(1000, 1000), SimId(team, serial),
                                                   building.get(), std::move(design), nullptr);
        f->SetLocal(local);
        return f;
    }

    void Tick(FactoryBuilding& f, int ms = 100) {
        clock.Advance(static_cast<uint32_t>(ms));
        f.Update(ms);
    }

    // Ticks until the state is reached; the ticks taken, or -1 after the limit.
    int TickUntil(FactoryBuilding& f, int unfold, int limit = 400) {
        for (int i = 1; i <= limit; ++i) {
            Tick(f);
            if (f.unfoldState == unfold) return i;
        }
        return -1;
    }

    std::unique_ptr<FactoryBuilding> OpenFactory(int cargo = 10000, int store = 10000) {
        auto f = Make();
        f->AddResources(cargo, 0);
        f->Deposit(store);
        EXPECT_GT(TickUntil(*f, FactoryProduction::kOpen), 0);
        return f;
    }

    std::unique_ptr<VehicleDesign> Job(PartTemplate* drive = nullptr) {
        auto d = kit.Design();
        if (drive) d->drive = drive;
        return d;
    }

    std::vector<int> Kinds() { return CommandKinds(world.commands); }

    NoMedia media;
    FakeClock clock{1000};
    FakeObjectWorld world{100, 100};
    SimKit kit;
    std::unique_ptr<BuildingTemplate> building;
    std::unique_ptr<PartTemplate> flyer;
    std::vector<std::pair<SimId, SimId>> pairs;
};

TEST_F(Factory, BuildsTheLastQueuedJobFirstAndBlocksOnOneItCannotPay) {
    auto f = OpenFactory(kFirstCost - 1);
    EXPECT_EQ(f->QueueJob(nullptr, 0), 0);
    auto a = Job();
    auto b = Job();
    VehicleDesign* second = b.get();
    f->QueueJob(std::move(a), 0);
    f->QueueJob(std::move(b), 0);
    Tick(*f);
    EXPECT_EQ(f->ProductionState(), 0);
    f->AddResources(1, 0);
    Tick(*f);
    EXPECT_EQ(f->CurrentJob(), second);
    EXPECT_EQ(f->QueuedJobCount(), 1);
    EXPECT_EQ(f->GetCargo(), 0);
    EXPECT_EQ(f->GetStored(), 10000 - kSecondCost);

    // The store holds the same line: one short blocks, the exact price starts the job.
    auto g = OpenFactory(10000, kSecondCost - 1);
    g->QueueJob(Job(), 0);
    Tick(*g);
    EXPECT_EQ(g->ProductionState(), 0);
    g->Deposit(1);
    Tick(*g);
    EXPECT_EQ(g->ProductionState(), 1);
    EXPECT_EQ(g->GetStored(), 0);
    EXPECT_EQ(g->GetCargo(), 10000 - kFirstCost);
}

TEST_F(Factory, TheStoreStopsAtItsCapacityAndShowsItsShareRounded) {
    constexpr int kFull = FactoryBuilding::kCapacity;
    auto f = Make();
    EXPECT_EQ(f->GetStoredPercent(), 0);
    EXPECT_EQ(f->Deposit(kFull / 200 - 1), kFull / 200 - 1);  // just under half a percent
    EXPECT_EQ(f->GetStoredPercent(), 0);
    EXPECT_EQ(f->Deposit(1), 1);
    EXPECT_EQ(f->GetStoredPercent(), 1);
    EXPECT_EQ(f->Deposit(kFull - kFull / 200 - 1), kFull - kFull / 200 - 1);
    EXPECT_EQ(f->Deposit(5), 1);
    EXPECT_EQ(f->Deposit(1), 0);
    EXPECT_EQ(f->store, kFull);
    EXPECT_EQ(f->GetStoredPercent(), 100);
    f->storeCapacity = 0;
    EXPECT_EQ(f->GetStoredPercent(), 0);
}

TEST_F(Factory, BuildTimeFollowsTheCreditShareAndTheController) {
    struct Case {
        int credit;
        bool controller;
        int time;
    } cases[] = {{0, false, 1000}, {100, false, 500}, {150, false, 250}, {199, false, 0},
                 {200, false, 0},  {500, false, 0},   {0, true, 750},    {100, true, 375}};
    for (const Case& c : cases) {
        ScalingController controller;
        world.controllers[1] = c.controller ? &controller : nullptr;
        auto f = OpenFactory();
        f->AddResources(0, c.credit);
        f->QueueJob(Job(), 1);
        Tick(*f);
        EXPECT_EQ(f->RemainingTime(), c.time) << c.credit << " " << c.controller;
        // The credit pays first; the store pays the rest.
        EXPECT_EQ(f->GetCredit(), std::max(0, c.credit - kSecondCost));
        EXPECT_EQ(f->GetStore(), 10000 - std::max(0, kSecondCost - c.credit));
        world.controllers[1] = nullptr;
    }
    // The unit is done when its time is used up to the millisecond, not a millisecond before.
    auto f = OpenFactory();
    f->QueueJob(Job(), 1);
    Tick(*f);
    ASSERT_EQ(f->RemainingTime(), 1000);
    Tick(*f, 999);
    EXPECT_EQ(f->RemainingTime(), 1);
    EXPECT_EQ(f->ProductionState(), 1);
    Tick(*f, 1);
    EXPECT_EQ(f->ProductionState(), 2);
}

TEST_F(Factory, CancelRefundsExactlyAndTellsThePeers) {
    for (int ticks : {1, 9, 10}) {
        auto f = OpenFactory(1000, 1000);
        f->AddResources(0, 50);
        f->QueueJob(Job(), 0);
        for (int i = 0; i < ticks; ++i)
            Tick(*f);
        ASSERT_NE(f->CurrentJob(), nullptr);
        world.commands.Rewind();
        EXPECT_EQ(f->CancelJob(nullptr), 1);
        EXPECT_EQ(f->GetCargo(), 1000);
        EXPECT_EQ(f->GetStored(), 1050);
        EXPECT_EQ(f->HasProduct(), 0);
        EXPECT_EQ(f->ProductionState(), 0);
        EXPECT_TRUE(world.reservations.empty()) << ticks;
        ASSERT_FALSE(Kinds().empty());
        EXPECT_EQ(Kinds().back(), 3);
        EXPECT_EQ(f->CancelJob(nullptr), 0);
    }
    // Cancelled while folding, it goes on folding.
    auto f = OpenFactory(1000, 1000);
    f->QueueJob(Job(), 0);
    Tick(*f);
    f->StepUnfold();
    ASSERT_EQ(f->unfoldState, 5);
    EXPECT_EQ(f->CancelJob(nullptr), 1);
    EXPECT_EQ(f->unfoldState, 5);
}

TEST_F(Factory, JobWithoutChassisIsRefundedAndDropped) {
    auto f = OpenFactory(1000, 1000);
    auto job = Job();
    job->chassis = nullptr;
    kit.drive->firstCost = 7;
    kit.drive->secondCost = 9;
    f->QueueJob(std::move(job), 0);
    Tick(*f);
    Tick(*f);
    EXPECT_EQ(f->ProductionState(), 0);
    EXPECT_EQ(f->CurrentJob(), nullptr);
    EXPECT_EQ(f->GetCargo(), 1000);
    EXPECT_EQ(f->GetStored(), 1000);
    for (int kind : Kinds())
        EXPECT_NE(kind, 3);
}

TEST_F(Factory, ProductRollsOutToTheReservedPointAndIsReleased) {
    ScalingController controller;
    world.controllers[1] = &controller;
    auto f = OpenFactory();
    f->AddResources(0, kSecondCost);
    f->QueueJob(Job(flyer.get()), 0);
    Tick(*f);
    Tick(*f);
    ASSERT_TRUE(f->product);
    EXPECT_EQ(f->product->collision.layer, 1);
    EXPECT_EQ(f->product->facing, 14);
    Sim* product = f->product.get();
    ASSERT_GT(TickUntil(*f, 7), 0);
    const int opening = TickUntil(*f, 8);
    ASSERT_GT(opening, 0);
    ASSERT_GT(TickUntil(*f, 9), 0);
    EXPECT_EQ(f->product, nullptr);
    ASSERT_EQ(world.ownedSims.size(), 1u);
    EXPECT_EQ(world.ownedSims[0].get(), product);
    EXPECT_EQ(product->GetPosition(), f->GetPosition() + FactoryBuilding::kRollOutOffset);
    EXPECT_EQ(product->collision.layer, 2);
    EXPECT_EQ(controller.Count(1), 1);
    EXPECT_TRUE(world.reservations.empty());
    EXPECT_EQ(f->ProductionState(), 0);
    // The door shuts frame by frame as it opened; the factory stands open again only when the
    // closing has stopped, a door period (500 ms, five ticks) after the first frame shows, where
    // the opening counted as done on its last frame.
    EXPECT_EQ(TickUntil(*f, 4), opening + 1000 / FactoryBuilding::kDoorFps / 100);
}

TEST_F(Factory, FirstCarrierQueuesAFreePartnerAndTheSecondIsPaired) {
    kit.chassis->role = 'g';
    auto f = OpenFactory();
    f->QueueJob(Job(), 0);
    ASSERT_GT(TickUntil(*f, 9), 0);
    ASSERT_EQ(f->QueuedJobCount(), 1);
    EXPECT_EQ(f->QueuedJob(0)->SumPartField5(), 0);
    const int cargo = f->GetCargo();
    ASSERT_GT(TickUntil(*f, 4), 0);
    ASSERT_GT(TickUntil(*f, 9), 0);
    EXPECT_EQ(f->GetCargo(), cargo);
    ASSERT_EQ(world.ownedSims.size(), 2u);
    const SimId first = world.ownedSims[0]->id;
    const SimId second = world.ownedSims[1]->id;
    ASSERT_EQ(pairs.size(), 2u);
    EXPECT_EQ(pairs[0], std::make_pair(second, first));
    EXPECT_EQ(pairs[1], std::make_pair(first, second));
    EXPECT_EQ(f->QueuedJobCount(), 0);
}

TEST_F(Factory, UnfoldsFromFacingTenInFourTurningTicksAndMovesItsFootprint) {
    // Only the local team hears its factory unfold.
    building->firstSound = std::make_unique<Sound>(1);
    for (int team : {2, 1}) {
        auto other = Make(1, team, 5);
        ASSERT_GT(TickUntil(*other, FactoryProduction::kOpen), 0);
        EXPECT_EQ(world.played.size(), team == 1 ? 1u : 0u);
    }
    // A copy unfolds when told, once.
    auto copy = Make(0, 1, 6);
    for (int i = 0; i < 2; ++i) {
        copy->ApplyUnfoldState(1);
        EXPECT_EQ(copy->unfoldState, 1);
    }
    world.gridCalls.clear();
    auto f = Make();
    f->facing = 10;
    EXPECT_EQ(f->GetRadius(), 48);
    EXPECT_EQ(f->FindFreeDock(nullptr, 2), -1);
    std::vector<int> facings;
    Tick(*f);
    EXPECT_EQ(f->GetRadius(), 80);
    ASSERT_EQ(world.gridCalls.size(), 2u);
    EXPECT_EQ(world.gridCalls[0].radius, 0);
    EXPECT_EQ(world.gridCalls[1].p, Point(1032, 968));
    EXPECT_EQ(world.gridCalls[1].radius, 80);
    facings.push_back(f->facing);
    while (f->unfoldState == 1) {
        Tick(*f);
        facings.push_back(f->facing);
    }
    EXPECT_EQ(facings, (std::vector<int>{11, 12, 13, 14}));
    EXPECT_EQ(f->FindFreeDock(nullptr, 2), -1);
    ASSERT_GT(TickUntil(*f, 4), 0);
    EXPECT_EQ(f->FindFreeDock(nullptr, 2), 0);
    EXPECT_EQ(f->GetSize(), Size(192, 160));
    EXPECT_EQ(f->GetCentre(), Point(1032, 968));
    // A move order folds it back onto its position with the folded radius.
    world.gridCalls.clear();
    f->ExecuteOrder(Sim::kOrderMove, 0, Point(200, 200), SimId(), 0);
    Tick(*f);
    ASSERT_EQ(world.gridCalls.size(), 2u);
    EXPECT_EQ(world.gridCalls[0].p, Point(1032, 968));
    EXPECT_EQ(world.gridCalls[0].radius, 80);
    EXPECT_EQ(world.gridCalls[1].p, Point(1000, 1000));
    EXPECT_EQ(world.gridCalls[1].radius, 48);
    EXPECT_EQ(f->GetRadius(), 48);
    EXPECT_EQ(f->FindFreeDock(nullptr, 2), -1);
}

// A folded factory sets up where it stands when idle or only attacking (a wreck in its way);
// a move keeps it folded.
TEST_F(Factory, AFoldedFactoryUnfoldsIdleOrAttackingButNotWhileMoving) {
    TestUnit wreck(0, 77, Point(1100, 1000));
    wreck.kind = 3;
    world.Add(&wreck);
    const struct {
        int goal;  // 0 none, 1 attack, 2 move
        bool unfolds;
    } rows[] = {{0, true}, {1, true}, {2, false}};
    for (const auto& row : rows) {
        auto f = Make();
        if (row.goal == 1)
            f->AddGoal(std::make_unique<TargetGoal>(f->id, wreck.id, Point(), 1, 1), 1);
        if (row.goal == 2)
            f->AddGoal(std::make_unique<LocationGoal>(f->id, Point(200, 200), 10, 1, 1), 1);
        Tick(*f);
        EXPECT_EQ(f->unfoldState != FactoryProduction::kFolded, row.unfolds) << row.goal;
    }
    world.Forget(&wreck);
}

namespace {

class CountingRule : public SquadManoeuvre {
public:
    explicit CountingRule(int* runs) : runs(runs) {}
    int GetType() const override { return 1; }
    int Execute(Sim&) override {
        ++*runs;
        return 0;
    }
    int* runs;
};

}  // namespace

// The factory's own rules run while it is folded, turning or open, never while its body or
// door moves.
TEST_F(Factory, ItsRulesRunOnlyFoldedTurningOrOpen) {
    auto f = Make();
    int runs = 0;
    f->AddManoeuvre(new CountingRule(&runs));
    std::vector<int> ran;
    for (int state = 0; state <= 9; ++state) {
        runs = 0;
        f->unfoldState = state;
        f->RunManoeuvreList();
        if (runs > 0) ran.push_back(state);
    }
    EXPECT_EQ(ran, (std::vector<int>{0, 1, 4}));
}

// Unfolding needs the wider footprint free and folding the narrow one: a blocker there is asked
// aside and the factory waits; once free, the owner tells the peers the new state. A copy
// changes its footprint only on that word, and only from the state it fits.
TEST_F(Factory, ABlockedFootprintIsAskedClearAndACopyFollowsTheOwnersWord) {
    constexpr int kTurning = 1;
    constexpr int kStartFolding = 5;
    // A World that names who stands in a refused place.
    struct NamingWorld : FakeObjectWorld {
        NamingWorld() : FakeObjectWorld(100, 100) { commands.SetEnabled(1); }
        int CanPlace(GameObject* o, const Point& p, GameObject** blocker, int relaxed,
                     int radius) override {
            const int free = FakeObjectWorld::CanPlace(o, p, blocker, relaxed, radius);
            if (!free && blocker) *blocker = placementBlocker;
            return free;
        }
    } world;
    int asked = 0;
    world.makers.moveBlockerAside = [&asked](GameObject*, GameObject*, int) { return ++asked; };
    TestUnit blocker(2, 60, Point(10, 10));
    auto f = Make();
    for (GameObject* named :
         {static_cast<GameObject*>(nullptr), static_cast<GameObject*>(&blocker)}) {
        world.blocked = {f->UnfoldedCentre()};
        world.placementBlocker = named;
        world.commands.Rewind();
        f->StepUnfold();
        EXPECT_EQ(f->unfoldState, FactoryProduction::kFolded);
        EXPECT_EQ(asked, named ? 1 : 0);
        EXPECT_TRUE(CommandKinds(world.commands).empty());
    }
    world.blocked.clear();
    f->StepUnfold();
    EXPECT_EQ(f->unfoldState, kTurning);
    EXPECT_EQ(Recorded(world.commands), ExpectedCommand(1, f->id).I16(kTurning).Bytes());

    auto open = OpenFactory();
    world.blocked = {open->GetPosition()};
    world.placementBlocker = &blocker;
    world.commands.Rewind();
    open->StepUnfold();
    EXPECT_EQ(open->unfoldState, FactoryProduction::kOpen);
    EXPECT_EQ(asked, 2);
    world.blocked.clear();
    open->StepUnfold();
    EXPECT_EQ(open->unfoldState, kStartFolding);
    EXPECT_EQ(Recorded(world.commands), ExpectedCommand(1, open->id).I16(kStartFolding).Bytes());

    auto copy = Make(0, 1, 7);
    copy->ApplyUnfoldState(kStartFolding);  // folded already: nothing to fold
    EXPECT_EQ(copy->unfoldState, FactoryProduction::kFolded);
    world.gridCalls.clear();
    copy->ApplyUnfoldState(kTurning);
    EXPECT_EQ(copy->unfoldState, kTurning);
    ASSERT_EQ(world.gridCalls.size(), 2u);
    EXPECT_EQ(world.gridCalls[0].sign, -1);
    EXPECT_EQ(world.gridCalls[1].p, copy->UnfoldedCentre());
    EXPECT_EQ(world.gridCalls[1].radius, FactoryBuilding::kUnfoldedRadius);
    copy->unfoldState = FactoryProduction::kOpen;
    world.gridCalls.clear();
    copy->ApplyUnfoldState(kTurning);  // not folded: no second turn
    EXPECT_EQ(copy->unfoldState, FactoryProduction::kOpen);
    EXPECT_TRUE(world.gridCalls.empty());
    copy->ApplyUnfoldState(kStartFolding);
    EXPECT_EQ(copy->unfoldState, kStartFolding);
    ASSERT_EQ(world.gridCalls.size(), 2u);
    EXPECT_EQ(world.gridCalls[0].p, copy->UnfoldedCentre());
    EXPECT_EQ(world.gridCalls[0].radius, FactoryBuilding::kUnfoldedRadius);
    EXPECT_EQ(world.gridCalls[1].p, copy->GetPosition());
    EXPECT_EQ(world.gridCalls[1].radius, FactoryBuilding::kFoldedRadius);
    EXPECT_TRUE(CommandKinds(world.commands).size() <= 1u);
}

TEST_F(Factory, RepairsFiveEveryHalfSecondAboveFivePercent) {
    auto f = Make();
    f->damage.SetValue(1000);
    for (int i = 0; i < 4; ++i)
        Tick(*f, 250);
    EXPECT_EQ(f->damage.Value(), 990);
    int damageCommands = 0;
    for (int kind : Kinds())
        damageCommands += kind == 6 ? 1 : 0;
    EXPECT_EQ(damageCommands, 2);
    f->damage.SetValue(100);
    for (int i = 0; i < 4; ++i)
        Tick(*f, 500);
    EXPECT_EQ(f->damage.Value(), 100);
}

TEST_F(Factory, DrawsTenEveryHalfSecondWhileOpenOnItsDepositAndOnlyWhatTheStoreHolds) {
    OreDeposit deposit(Point(1032, 968), Size(400, 400), nullptr, CollisionFilter(0, 0, 0, 0, 0),
                       SimId(0, 77));
    deposit.amount = 3000;
    world.Add(&deposit);
    world.oreDeposit = &deposit;
    auto f = Make();
    f->Deposit(FactoryBuilding::kCapacity - 25);
    EXPECT_EQ(f->IsMining(), 0);
    ASSERT_GT(TickUntil(*f, 4), 0);
    EXPECT_EQ(f->HasProductReady(), 1);
    EXPECT_EQ(f->MinedDeposit(), &deposit);
    const int before = deposit.amount;
    std::vector<int> stores;
    for (int i = 0; i < 4; ++i) {
        Tick(*f, 500);
        stores.push_back(f->GetStore() - (FactoryBuilding::kCapacity - 25));
    }
    EXPECT_EQ(stores, (std::vector<int>{10, 20, 25, 25}));
    EXPECT_EQ(before - deposit.amount, 25);
    // Folding ends the mining.
    f->ExecuteOrder(Sim::kOrderMove, 0, Point(200, 200), SimId(), 0);
    Tick(*f);
    EXPECT_EQ(f->MinedDeposit(), nullptr);
}

// Opening, the factory mines the nearest deposit only when its unfolded centre lies within the
// deposit's bounds, edges included.
TEST_F(Factory, MinesOnlyADepositWhoseBoundsHoldItsCentre) {
    const Point centre(1032, 968);
    const struct {
        Point origin;  // of the deposit's 400 x 400 bounds
        bool mined;
    } rows[] = {{centre, true},
                {centre + Point(1, 0), false},
                {centre + Point(0, 1), false},
                {centre - Point(399, 399), true},
                {centre - Point(400, 399), false},
                {centre - Point(399, 400), false}};
    for (const auto& row : rows) {
        OreDeposit deposit(row.origin + Point(200, 200), Size(400, 400), nullptr,
                           CollisionFilter(0, 0, 0, 0, 0), SimId(0, 77));
        ASSERT_EQ(deposit.GetBounds().origin, row.origin);
        world.Add(&deposit);
        world.oreDeposit = &deposit;
        auto f = Make();
        ASSERT_GT(TickUntil(*f, FactoryProduction::kOpen), 0);
        ASSERT_EQ(f->GetCentre(), centre);
        EXPECT_EQ(f->MinedDeposit(), row.mined ? &deposit : nullptr)
            << row.origin.x - centre.x << "," << row.origin.y - centre.y;
        world.oreDeposit = nullptr;
        world.Forget(&deposit);
    }
}

// The owner's stream, applied to a copy of the factory on another machine, leaves the copy with
// the owner's cargo, store and credit after every tick: payments when a job starts (a free job
// pays nothing), refunds, bonuses, deliveries and mining, none computed by the copy itself.
TEST_F(Factory, ACopyFedTheOwnersStreamHoldsItsLedgerAfterEveryTick) {
    OreDeposit deposit(Point(1032, 968), Size(400, 400), nullptr, CollisionFilter(0, 0, 0, 0, 0),
                       SimId(0, 77));
    deposit.amount = 3000;
    world.Add(&deposit);
    world.oreDeposit = &deposit;
    world.network = 1;
    auto owner = OpenFactory(1000, 1000);
    auto copy = Make(0);
    copy->unfoldState = FactoryProduction::kOpen;
    auto ledger = [](FactoryBuilding& f) {
        return std::vector<int>{f.GetCargo(), f.GetStore(), f.GetCredit()};
    };
    auto settle = [&](const char* step) {
        const std::vector<uint8_t> sent(world.commands.Data(),
                                        world.commands.Data() + world.commands.Size());
        world.commands.Rewind();
        ReplayLedger(sent, *copy);
        EXPECT_EQ(ledger(*copy), ledger(*owner)) << step;
    };
    settle("opened");
    const std::vector<int> opened = ledger(*owner);
    owner->AddResources(0, 50);
    settle("bonus");
    // Paid at the start of the job, long before the unit exists.
    owner->QueueJob(Job(), 0);
    Tick(*owner);
    ASSERT_EQ(owner->ProductionState(), 1);
    settle("paid");
    EXPECT_NE(ledger(*copy), opened);
    EXPECT_EQ(owner->CancelJob(nullptr), 1);
    settle("refunded");
    auto free = Job();
    free->noCharge = 1;
    const std::vector<int> beforeFree = ledger(*owner);
    owner->QueueJob(std::move(free), 0);
    Tick(*owner);
    ASSERT_EQ(owner->ProductionState(), 1);
    EXPECT_EQ(ledger(*owner), beforeFree);
    settle("free job");
    EXPECT_EQ(owner->ReceiveDelivery(30, 2), 60);
    settle("delivery");
    for (int i = 0; i < 4; ++i) {
        Tick(*owner, 500);
        settle("mining");
    }
    EXPECT_GT(owner->GetStore(), beforeFree[1]);
    // A copy mines nothing and sends nothing of its own.
    const std::vector<int> held = ledger(*copy);
    Tick(*copy, 500);
    EXPECT_EQ(ledger(*copy), held);
    EXPECT_EQ(world.commands.Size(), 0u);
}

TEST_F(Factory, HitsWithinTenSecondsSoundOneAlert) {
    int voices = 0;
    world.makers.playVoice = [&voices](int bank) { voices += bank == 6 ? 1 : 0; };
    auto f = Make();
    for (int i = 0; i < 3; ++i) {
        f->Explode(10, nullptr, Point());
        clock.Advance(3000);
    }
    EXPECT_EQ(voices, 1);
    clock.Advance(1000);
    f->Explode(10, nullptr, Point());
    EXPECT_EQ(voices, 2);
    f->teamRecord.second = 2;
    clock.Advance(20000);
    f->Explode(10, nullptr, Point());
    EXPECT_EQ(voices, 2);
}

// A destroyed factory leaves its death blast at its centre at once, four more about its position
// at 300 to 600 ms and one more at its centre at 450 ms, all moved by the hit's offset; a hit it
// lives through leaves none. Its owner's screen shakes unless the player turned shaking off.
TEST_F(Factory, ADestroyedFactoryBlastsAboutItselfAndShakesOnlyItsOwnersScreen) {
    ScreenFixture screen;
    const int32_t frames[1] = {0};
    EffectTemplate death('V', 'd', 70, "", -1, 10, 1, frames, 0, nullptr);
    const Point offset(2, 3);
    struct Row {
        int team, destroyed, quiet;
        int shakes;
    };
    const Row rows[] = {{1, 1, 0, 1}, {1, 0, 0, 1}, {2, 1, 0, 0}, {1, 1, 1, 0}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.team * 100 + row.destroyed * 10 + row.quiet);
        world.effects.clear();
        screen.screen.shakeFlag = 0;
        noShake = row.quiet;
        auto f = Make(1, row.team, 5);
        f->deathEffect = &death;
        if (row.destroyed == 1) f->damage.SetValue(f->damage.Max() + 1);
        f->Explode(0, nullptr, offset);
        noShake = 0;
        EXPECT_EQ(screen.screen.shakeFlag, row.shakes);
        std::vector<std::pair<Point, int>> blasts, expected;
        for (const auto& e : world.effects) {
            auto* blast = dynamic_cast<ExplosionEffect*>(e.get());
            ASSERT_NE(blast, nullptr);
            blasts.push_back({blast->position, blast->startDelay});
        }
        if (row.destroyed == 1) {
            const Point p = f->GetPosition() + offset;
            expected = {{f->GetCentre() + offset, 70}, {p + Point(50, -50), 300},
                        {p + Point(130, -80), 400},    {p + Point(25, -125), 500},
                        {p + Point(50, 25), 600},      {f->GetCentre() + offset, 450}};
        }
        EXPECT_EQ(blasts, expected);
    }
    // A unit being built inside goes up with it, at its own centre.
    auto f = OpenFactory();
    f->deathEffect = &death;
    f->QueueJob(Job(), 0);
    for (int i = 0; i < 100 && f->HasProduct() == 0; ++i)
        Tick(*f);
    ASSERT_EQ(f->HasProduct(), 1);
    world.effects.clear();
    f->damage.SetValue(f->damage.Max() + 1);
    f->Explode(0, nullptr, offset);
    ASSERT_EQ(world.effects.size(), 7u);
    auto* last = dynamic_cast<ExplosionEffect*>(world.effects.back().get());
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->position, f->product->GetCentre() + offset);
    EXPECT_EQ(last->startDelay, 70);
}

// The sample catalogue's factory, made as the scenario code makes it, and its sample designs.
class SampleFactory : public SampleCatalogueWorld {
protected:
    std::unique_ptr<FactoryBuilding> Make(int local = 1, int serial = 1) {
        return CreateBuildingSim('V', SimId(1, serial), Point(1000, 1000), local);
    }
    static std::unique_ptr<VehicleDesign> Job() {
        return std::make_unique<VehicleDesign>("VPfaa-----");
    }
    void Tick(FactoryBuilding& f, int ms = 100) {
        clock.Advance(static_cast<uint32_t>(ms));
        f.Update(ms);
    }
    int TickUntil(FactoryBuilding& f, int unfold, int limit = 400) {
        for (int i = 1; i <= limit; ++i) {
            Tick(f);
            if (f.unfoldState == unfold) return i;
        }
        return -1;
    }
    std::vector<int> Kinds() { return CommandKinds(world.commands); }
};

TEST_F(SampleFactory, BuildingLettersMakeTheirFactoryOrNothing) {
    auto made = CreateBuildingSim('V', SimId(2, 5), Point(640, 640), 0);
    ASSERT_TRUE(made);
    EXPECT_EQ(made->local, 0);
    EXPECT_EQ(made->GetKind(), 4);
    EXPECT_EQ(made->damage.Max(), FindBuildingTemplate('V')->hitPoints);
    ASSERT_TRUE(made->GetDesign() && made->GetDesign()->chassis);
    EXPECT_EQ(made->GetDesign()->chassis, FindBuildingTemplate('V')->chassis.get());
    EXPECT_EQ(CreateBuildingSim('Q', SimId(2, 6), Point(640, 640), 1), nullptr);
    EXPECT_EQ(CreateBuildingSim('V', SimId(7, 6), Point(640, 640), 1), nullptr);
    // Teams 0 to 4 exist; one step outside either end makes nothing.
    for (int team : {-1, 5})
        EXPECT_EQ(CreateBuildingSim('V', SimId(team, 6), Point(), 1), nullptr);
    for (int team : {0, 4})
        EXPECT_NE(CreateBuildingSim('V', SimId(team, 6), Point(), 1), nullptr);
}

TEST_F(SampleFactory, RecordsReadBackAsWrittenAndBadLinesChangeNothing) {
    auto f = Make();
    f->AddResources(0, 321);
    f->Deposit(4567);
    f->QueueJob(Job(), 0);
    auto named = Job();
    std::strcpy(named->name, "Second");
    named->named = 1;
    f->QueueJob(std::move(named), 0);
    f->remainingTime = 0;
    f->Parse('W', (std::string("250 ") + Job()->CodeString()).c_str());
    TempDirectory dir;
    auto write = [&dir](FactoryBuilding& factory) {
        return WrittenRecordLines(factory, dir.Path() + "/factory.txt", 512);
    };
    const std::vector<std::string> first = write(*f);
    auto g = Make();
    ReadRecordLines(*g, first);
    EXPECT_EQ(write(*g), first);
    EXPECT_EQ(g->ProductionState(), 1);
    EXPECT_EQ(g->RemainingTime(), 250);
    // Bad codes, a missing blank and huge numbers change nothing (or stay in range).
    const std::vector<std::string> before = write(*g);
    for (auto [key, value] : std::vector<std::pair<char, const char*>>{
             {'W', "77"}, {'W', "5 ???"}, {'H', "Z??"}, {'H', ""}, {'i', "nonsense"}, {'a', "x"}}) {
        g->Parse(key, value);
    }
    EXPECT_EQ(write(*g), before);
    // A factory without a job takes none from a job line without a time, a blank or a design,
    // and no ore from a store line without a number.
    auto idle = Make();
    const std::vector<std::string> idleBefore = write(*idle);
    const std::string noTime = std::string("x ") + Job()->CodeString();
    const std::string noBlank = std::string("250") + Job()->CodeString();
    for (const char* line : {noTime.c_str(), noBlank.c_str(), "77", "5 ???"})
        idle->Parse('W', line);
    idle->Parse('O', "x");
    EXPECT_EQ(idle->ProductionState(), 0);
    EXPECT_EQ(write(*idle), idleBefore);
    g->Parse('a', "99999999999");
    EXPECT_EQ(g->GetCredit(), FactoryBuilding::kMaxRecordAmount);
    g->Parse('a', "-5");
    EXPECT_EQ(g->GetCredit(), 0);
}

// Applies the owner's factory commands to a mirror as the command executor would.
void Replay(const std::vector<uint8_t>& bytes, FactoryBuilding& mirror) {
    CommandReader r(bytes.data(), bytes.size());
    CommandHeader h;
    char text[256];
    while (r.NextCommand(h)) {
        switch (h.kind) {
            case 1:
                mirror.ApplyUnfoldState(r.ReadI16());
                break;
            case 3: {
                const SimId unit = r.ReadId();
                const int colour = r.ReadByte();
                r.ReadText(text, sizeof text);
                mirror.ApplyNewProduct(text, unit, colour);
                break;
            }
            case 4:
                mirror.MoveProduct(r.ReadPoint());
                break;
            case 5:
                mirror.ReleaseProduct();
                break;
            case 27:
                r.ReadText(text, sizeof text);
                mirror.RefitFromText(text);
                break;
            case 38:
                mirror.ReserveExit(r.ReadPoint());
                break;
            default:
                break;
        }
        r.SkipCommand();
    }
}

TEST_F(SampleFactory, MirrorFedTheOwnersCommandsReleasesTheSameUnitAtTheSamePoint) {
    auto owner = Make();
    owner->AddResources(10000, 10000);
    ASSERT_GT(TickUntil(*owner, FactoryProduction::kOpen), 0);
    auto mirror = Make(0, 1);
    world.commands.Rewind();
    owner->QueueJob(Job(), 0);
    ASSERT_GT(TickUntil(*owner, 9), 0);
    ASSERT_EQ(world.ownedSims.size(), 1u);
    const GameObject* built = world.ownedSims[0].get();
    const std::vector<uint8_t> sent(world.commands.Data(),
                                    world.commands.Data() + world.commands.Size());
    world.commands.Rewind();
    mirror->unfoldState = FactoryProduction::kOpen;
    Replay(sent, *mirror);
    ASSERT_EQ(world.ownedSims.size(), 2u);
    const GameObject* mirrored = world.ownedSims[1].get();
    EXPECT_EQ(mirrored->id, built->id);
    EXPECT_EQ(mirrored->position, built->position);
    EXPECT_EQ(mirrored->local, 0);
    EXPECT_EQ(mirror->HasProduct(), 0);
    EXPECT_TRUE(world.reservations.empty());
    // The mirror answered the exit point once.
    int answers = 0;
    for (int kind : Kinds())
        answers += kind == 39 ? 1 : 0;
    EXPECT_EQ(answers, 1);
}

TEST_F(SampleFactory, MirrorDropsACancelledProductAndAStaleRetry) {
    auto mirror = Make(0);
    auto job = Job();
    mirror->ApplyNewProduct(job->CodeString(), SimId(1, 500), 3);
    ASSERT_EQ(mirror->HasProduct(), 1);
    world.blocked.push_back(Point(10, 10));
    mirror->ReserveExit(Point(10, 10));
    EXPECT_EQ(mirror->reservationPending, 1);
    // The copy retries every tick until the place is free, then answers the owner once.
    world.commands.Rewind();
    Tick(*mirror);
    EXPECT_EQ(mirror->reservationPending, 1);
    EXPECT_TRUE(world.reservations.empty());
    world.blocked.clear();
    Tick(*mirror);
    Tick(*mirror);
    EXPECT_EQ(mirror->reservationPending, 0);
    ASSERT_EQ(world.reservations.size(), 1u);
    EXPECT_EQ(world.reservations[0].second, Point(10, 10));
    EXPECT_EQ(Kinds(), std::vector<int>{39});
    world.blocked.push_back(Point(10, 10));
    mirror->ReserveExit(Point(10, 10));
    EXPECT_EQ(mirror->reservationPending, 1);
    EXPECT_TRUE(world.reservations.empty());
    mirror->ReserveExit(Point(-1, -1));
    EXPECT_EQ(mirror->reservationPending, 0);
    mirror->ReserveExit(Point(20, 20));
    mirror->ReserveExit(Point(30, 30));
    EXPECT_EQ(world.reservations.size(), 1u);
    mirror->unfoldState = 8;  // its door stood open for the product
    mirror->ApplyNewProduct("", SimId(), 0);
    EXPECT_EQ(mirror->HasProduct(), 0);
    EXPECT_EQ(mirror->unfoldState, FactoryProduction::kOpen);
    EXPECT_TRUE(world.reservations.empty());
    // A code without a chassis makes nothing; a release without a product only drops the
    // placeholder.
    mirror->ApplyNewProduct("V??", SimId(1, 501), 3);
    EXPECT_EQ(mirror->HasProduct(), 0);
    mirror->ReserveExit(Point(40, 40));
    mirror->ReleaseProduct();
    EXPECT_TRUE(world.reservations.empty());
    EXPECT_TRUE(world.ownedSims.empty());
}

// An aircraft waits in a copy's factory on the ground layer and takes to the air once the owner
// releases it; a ground unit stays on the ground, and a unit the World refuses is not lifted.
TEST_F(SampleFactory, AMirroredAircraftWaitsLowAndFliesOnceReleased) {
    struct Row {
        const char* code;
        int accepted;
        int waiting, released;  // layers
    };
    const Row rows[] = {{"VAp", 1, 1, 2}, {"VPfaa-----", 1, 1, 1}, {"VAp", 0, 1, -1}};
    int32_t serial = 500;
    for (const Row& row : rows) {
        auto mirror = Make(0);
        world.acceptSims = row.accepted;
        world.ownedSims.clear();
        mirror->ApplyNewProduct(row.code, SimId(1, ++serial), 3);
        ASSERT_EQ(mirror->HasProduct(), 1) << row.code;
        Sim* product = mirror->product.get();
        EXPECT_EQ(product->collision.layer, row.waiting) << row.code;
        EXPECT_EQ(product->local, 0);
        EXPECT_EQ(product->teamRecord.third, 3);
        mirror->ReleaseProduct();
        EXPECT_EQ(mirror->HasProduct(), 0);
        ASSERT_EQ(world.ownedSims.size(), row.accepted == 1 ? 1u : 0u) << row.code;
        if (row.accepted == 1) {
            EXPECT_EQ(world.ownedSims[0].get(), product);
            EXPECT_EQ(product->collision.layer, row.released) << row.code;
        }
        world.Forget(product);
    }
}

TEST_F(SampleFactory, RefitTakesTheHardpointsTheChassisHasAndRebuildsTheParts) {
    auto f = Make(0);
    const char* warden = "VTdddfa---";
    auto fit = std::make_unique<VehicleDesign>(warden);
    const ChassisTemplate* chassis = f->GetDesign()->chassis;
    ASSERT_EQ(f->RefitFromText(warden), 1);
    int fitted = 0;
    for (int h = 0; h < VehicleDesign::kHardpoints; ++h) {
        const bool fits = h < chassis->hardpointCount && fit->hardpoints[h] &&
                          VehicleDesign::FitsHardpoint(fit->hardpoints[h], h, chassis);
        EXPECT_EQ(f->GetDesign()->hardpoints[h], fits ? fit->hardpoints[h] : nullptr) << h;
        fitted += fits ? 1 : 0;
    }
    EXPECT_GT(fitted, 0);
    EXPECT_EQ(f->Parts().Count(), fitted);
    EXPECT_EQ(f->RefitFromText("garbage"), 0);
    EXPECT_EQ(f->RefitFromText(""), 0);
    // The factory's own code, as record 'i' and command 27 carry it, reads back whole.
    const std::string own = f->GetDesign()->CodeString();
    auto g = Make(0, 2);
    ASSERT_EQ(g->RefitFromText(own.c_str()), 1);
    EXPECT_EQ(std::string(g->GetDesign()->CodeString()), own);
    EXPECT_EQ(g->Parts().Count(), fitted);
}

// Folded, the owner's factory reloads the weapons it was fitted with; a copy leaves them to the
// owner's word.
TEST_F(SampleFactory, AFoldedFactoryReloadsItsWeaponsOnlyOnItsOwnersMachine) {
    for (const int local : {0, 1}) {
        auto f = Make(local, 10 + local);
        ASSERT_EQ(f->RefitFromText("VTdddfa---"), 1);
        ASSERT_EQ(f->unfoldState, FactoryProduction::kFolded);
        auto* weapon = static_cast<PartAttachment*>(f->GetArmedPart(0));
        ASSERT_NE(weapon, nullptr);
        weapon->reload.current = 100;
        f->UpdateParts(16);
        EXPECT_EQ(weapon->reload.current, local == 1 ? 84 : 100) << local;
    }
}

TEST_F(Factory, DeliveriesAndQueuedCancelsMoveOnlyWhatTheyShould) {
    auto f = Make();
    struct Delivery {
        int n, factor, added;
    } deliveries[] = {{10, 2, 20}, {0, 3, 0}, {5, 0, 0}, {-5, 2, 0}, {200000, 1, 99980}};
    for (const Delivery& d : deliveries)
        EXPECT_EQ(f->ReceiveDelivery(d.n, d.factor), d.added) << d.n << " x " << d.factor;
    auto a = Job();
    VehicleDesign* queued = a.get();
    f->QueueJob(std::move(a), 0);
    f->carrierPartner = SimId(1, 9);
    VehicleDesign stranger('V');
    EXPECT_EQ(f->CancelJob(&stranger), 0);
    EXPECT_EQ(f->QueuedJobCount(), 1);
    EXPECT_EQ(f->CancelJob(queued), 1);
    EXPECT_EQ(f->QueuedJobCount(), 0);
    EXPECT_TRUE(f->carrierPartner.IsNull());
    EXPECT_EQ(f->GetCargo(), FactoryBuilding::kCapacity);
    f->AddResources(0, 5);
    f->Parse('a', nullptr);
    EXPECT_EQ(f->GetCredit(), 5);
}

// Moving, the owner's factory takes the whole load of a live wreck it passes within 16 pixels,
// keeps twice that, and tells the peers what it took; a copy waits for that word.
TEST_F(Factory, ReclaimsAWreckItPassesAndTellsThePeersWhatItTook) {
    struct Row {
        const char* name;
        int local;
        Point offset;  // the wreck from the factory's new place
        int load;
        bool destroyed;
        int taken;
    };
    const Row rows[] = {
        {"within reach", 1, {15, 0}, 300, false, 300},
        {"a load of one", 1, {0, -15}, 1, false, 1},
        {"just out of reach", 1, {16, 0}, 300, false, 0},
        {"destroyed", 1, {5, 0}, 300, true, 0},
        {"on a copy", 0, {5, 0}, 300, false, 0},
    };
    for (const Row& row : rows) {
        auto f = Make(row.local);
        const Point to = f->GetPosition() + Point(200, 0);
        TestUnit wreck(0, 77, to + row.offset);
        wreck.kind = 3;
        wreck.AddCargo(row.load);
        if (row.destroyed) wreck.Destroy();
        world.Add(&wreck);
        world.commands.Rewind();
        f->MoveTo(to);
        EXPECT_EQ(f->GetPosition(), to) << row.name;
        EXPECT_EQ(f->GetCargo(), 2 * row.taken) << row.name;
        EXPECT_EQ(wreck.GetCargo(), row.load - row.taken) << row.name;
        const std::vector<uint8_t> told =
            row.taken > 0 ? ExpectedCommand(23, f->id).Id(wreck.id).W32(row.taken).Bytes()
                          : std::vector<uint8_t>{};
        EXPECT_EQ(Recorded(world.commands), told) << row.name;
        world.Forget(&wreck);
    }
    // A wreck the World offers with nothing left in it is passed by without a word.
    struct EmptyWreckWorld : FakeObjectWorld {
        GameObject* FindNearestWreck(GameObject*, int) override { return offered; }
        GameObject* offered = nullptr;
    } emptyWorld;
    auto f = Make();
    TestUnit empty(0, 78, f->GetPosition());
    empty.kind = 3;
    emptyWorld.offered = &empty;
    emptyWorld.commands.SetEnabled(1);
    f->MoveTo(f->GetPosition() + Point(1, 0));
    EXPECT_EQ(f->GetCargo(), 0);
    EXPECT_EQ(emptyWorld.commands.Size(), 0u);
}

TEST_F(Factory, DoorWaitsForEveryPeerAndABlockedExitIsClearedOnce) {
    world.network = 1;
    world.players = 3;
    auto f = OpenFactory();
    f->QueueJob(Job(), 0);
    f->AddResources(0, kSecondCost);
    for (int i = 0; i < 4; ++i)
        Tick(*f);
    ASSERT_EQ(f->ProductionState(), 3);
    EXPECT_EQ(world.reservations.size(), 1u);
    f->CountExitAck();
    Tick(*f);
    Tick(*f);
    EXPECT_EQ(f->unfoldState, FactoryProduction::kOpen);
    f->CountExitAck();
    Tick(*f);
    Tick(*f);
    EXPECT_EQ(f->unfoldState, 7);
    // A wreck in the exit is attacked with one goal; any other blocker is asked aside. A friend
    // on its way that stands behind another unit is taken as blocked for the push once the
    // product has waited five seconds (stepping aside or not), unless it is hostile; one that
    // is not standing is left to its way. With the blocker, every other friend standing on the
    // roll-out square is asked off it (the crowd boxing it in), a hostile one or one off the
    // square never. A blocker that took its step aside is left to take it.
    int asked = 0, moves = 0, nowMs = 0;
    // When each unit was last pushed, and the shortest time between two pushes of one unit.
    std::map<int32_t, int> lastPushMs;
    int closestPushesMs = 1 << 30;
    // The push moves nothing here, so the mark it was asked with stays to be seen; where it
    // reports a move, the mark leaves an errand (a step aside is replaced by the push).
    world.makers.moveBlockerAside = [&](GameObject*, GameObject* other, int) {
        ++asked;
        if (moves == 1) {
            if (auto it = lastPushMs.find(other->id.serial); it != lastPushMs.end())
                closestPushesMs = std::min(closestPushesMs, nowMs - it->second);
            lastPushMs[other->id.serial] = nowMs;
        }
        return moves;
    };
    const struct {
        int kind;
        int onItsWay, behind, aside, hostile, tickMs;
        int blocked;  // the blocker's front after 20 ticks
        int crowdHostile;
        int crowdBlocked;  // the front of a friend standing on the square behind the blocker
        int moves;
    } cases[] = {{3, 0, 0, 0, 0, 500, 0, 0, 0, 0}, {1, 0, 0, 0, 0, 500, 0, 0, 1, 0},
                 {1, 1, 0, 0, 0, 500, 0, 0, 1, 0}, {1, 1, 1, 0, 0, 500, 1, 0, 1, 0},
                 {1, 1, 1, 0, 0, 200, 0, 0, 0, 0}, {1, 1, 1, 1, 0, 500, 1, 0, 1, 0},
                 {1, 1, 1, 0, 1, 500, 0, 0, 0, 0}, {1, 1, 1, 0, 0, 500, 1, 1, 0, 0},
                 {1, 1, 1, 0, 0, 500, 0, 0, 0, 1}, {1, 1, 1, 1, 0, 500, 0, 0, 0, 1}};
    for (const auto& c : cases) {
        const int kind = c.kind;
        asked = 0;
        moves = c.moves;
        auto g = Make(1, 1, 5);
        g->AddResources(10000, 10000);
        ASSERT_GT(TickUntil(*g, FactoryProduction::kOpen), 0);
        const Point rollOut = g->GetPosition() + FactoryBuilding::kRollOutOffset;
        Sim blocker(Point(10, 10), SimId(2, 50 + kind), kit.Design());
        world.Add(&blocker);
        world.placementBlocker = &blocker;
        world.blocked.push_back(rollOut);
        struct WreckLike : Sim {
            using Sim::Sim;
            int GetKind() override { return 3; }
        } wreck(Point(10, 10), SimId(0, 60), kit.Design());
        world.Add(&wreck);
        if (kind == 3) world.placementBlocker = &wreck;
        if (c.onItsWay == 1) {
            blocker.goals.PushBack(std::make_unique<LocationGoal>(blocker.id, Point(), 0, 1, 1));
            blocker.goals.Front()->movedAside = c.aside;
        }
        if (c.behind == 1) blocker.blockingSim = wreck.id;
        blocker.teamRecord.first = g->teamRecord.first + c.hostile;
        // Friends on their way behind the blocker: one at the square's corner, one just off it.
        Sim near(rollOut + Point(60, 60), SimId(1, 70), kit.Design());
        Sim far(rollOut + Point(100, -100), SimId(1, 71), kit.Design());
        for (Sim* crowd : {&near, &far}) {
            world.Add(crowd, true);
            crowd->goals.PushBack(std::make_unique<LocationGoal>(crowd->id, Point(), 0, 1, 1));
            crowd->blockingSim = blocker.id;
            crowd->teamRecord.first = g->teamRecord.first + c.crowdHostile;
        }
        g->QueueJob(Job(), 0);
        lastPushMs.clear();
        closestPushesMs = 1 << 30;
        for (int i = 0; i < 20; ++i) {
            nowMs = i * c.tickMs;
            Tick(*g, c.tickMs);
            for (Sim* s : {&blocker, &near, &far})
                s->friendWay.Count(c.tickMs);
        }
        EXPECT_EQ(g->ProductionState(), 3);
        EXPECT_EQ(g->goals.IsEmpty(), kind == 3 ? 0 : 1);
        EXPECT_EQ(asked > 0, kind == 1);
        // A friend that took its step aside is asked again only once it has had the time to
        // take it, by the door's ask aside or its ask off the square: never twice in kAsideMs,
        // and not at every update.
        if (c.moves == 1) {
            EXPECT_GE(closestPushesMs, Sim::kAsideMs);
            EXPECT_GE(asked, 2);
        }
        EXPECT_EQ(blocker.goals.IsFrontBlocked(), c.blocked)
            << c.onItsWay << c.behind << c.aside << c.hostile << " " << c.tickMs;
        EXPECT_EQ(near.goals.IsFrontBlocked(), c.crowdBlocked)
            << c.kind << c.onItsWay << c.hostile << c.crowdHostile << " " << c.tickMs;
        EXPECT_EQ(far.goals.IsFrontBlocked(), 0);
        world.blocked.clear();
        for (Sim* o : {&blocker, static_cast<Sim*>(&wreck), &near, &far})
            world.Forget(o);
        g->ClearGoals();
    }
}

// The owner opens the door once every other player has answered: the player count less one,
// counted when the answers are weighed, so a player who leaves lowers it.
TEST_F(Factory, TheDoorWaitsForEveryOtherPlayerAndALeaverLowersTheCount) {
    world.network = 1;
    const struct {
        int players;
        int answers;
        int playersAfter;
        int agreed;
    } rows[] = {{3, 1, 3, 0}, {3, 2, 3, 1}, {3, 1, 2, 1}, {4, 2, 4, 0}, {4, 2, 2, 1}, {2, 0, 2, 0}};
    for (const auto& row : rows) {
        world.players = row.players;
        world.reservations.clear();
        auto f = OpenFactory();
        f->QueueJob(Job(), 0);
        f->AddResources(0, kSecondCost);
        for (int i = 0; i < 4; ++i)
            Tick(*f);
        ASSERT_EQ(f->ProductionState(), 3);
        EXPECT_EQ(f->exitAgreed, 0);
        for (int i = 0; i < row.answers; ++i)
            f->CountExitAck();
        world.players = row.playersAfter;
        Tick(*f);
        EXPECT_EQ(f->exitAgreed, row.agreed) << row.players << " " << row.answers;
    }
}

// A job read from a record goes only into a factory that has none.
TEST_F(SampleFactory, AJobLineIsRefusedWhileTheFactoryHasAJob) {
    auto f = Make();
    f->QueueJob(Job(), 0);
    f->remainingTime = 0;
    f->Parse('W', (std::string("250 ") + Job()->CodeString()).c_str());
    ASSERT_EQ(f->ProductionState(), 1);
    VehicleDesign* job = f->CurrentJob();
    ASSERT_NE(job, nullptr);
    const int remaining = f->RemainingTime();
    f->Parse('W', (std::string("999 ") + Job()->CodeString()).c_str());
    EXPECT_EQ(f->CurrentJob(), job);
    EXPECT_EQ(f->RemainingTime(), remaining);
}

TEST_F(Factory, RollOutSquareAndMountsFollowTheMapAndTheState) {
    auto f = Make();
    struct Square {
        Point at;
        int free;
    } squares[] = {{{192, -64}, 1},   {{191, -64}, 0},   {{192, -65}, 0},  {{3264, 1000}, 1},
                   {{3265, 1000}, 0}, {{1000, 3008}, 1}, {{1000, 3009}, 0}};
    for (const Square& q : squares)
        EXPECT_EQ(f->IsBuildAreaFreeAt(q.at), q.free) << q.at.x << "," << q.at.y;
    // Unfolded elsewhere, it would stand as far from that place as it does from its own.
    EXPECT_EQ(f->UnfoldedCentre(), Point(1032, 968));
    EXPECT_EQ(f->UnfoldedCentreAt(Point(200, 300)), Point(232, 268));
    const Point base0 = f->Sim::GetMountOffset(0);
    const Point base1 = f->Sim::GetMountOffset(1);
    building->bodyOffset = Point(4, -6);
    auto g = Make();
    ASSERT_GT(TickUntil(*g, 3), 0);
    EXPECT_EQ(g->GetMountOffset(0), base0);
    EXPECT_EQ(g->GetMountOffset(1), base1 + Point(4, -6));
    g->unfoldState = 8;
    EXPECT_EQ(g->GetMountOffset(1), Point(5, 6));
    EXPECT_EQ(g->GetMountOffset(9), Point());
}

TEST_F(Factory, IsReachedThroughItsProductionInterfaceOnly) {
    auto f = Make();
    GameObject plain(Point(), 0, Size(1, 1), nullptr, 0, CollisionFilter(0, 0, 0, 0, 0),
                     SimId(1, 2), 0, 1);
    EXPECT_EQ(AsFactoryProduction(f.get()), static_cast<FactoryProduction*>(f.get()));
    EXPECT_EQ(AsFactoryProduction(&plain), nullptr);
    world.factories[1] = f.get();
    EXPECT_EQ(TeamFactoryProduction(1), static_cast<FactoryProduction*>(f.get()));
    EXPECT_EQ(TeamFactoryProduction(2), nullptr);
    // Through it: the pause, the building area on the map, and the unloading dock of an open
    // factory only.
    FactoryProduction* production = f.get();
    production->SetProductionPaused(1);
    EXPECT_EQ(production->IsProductionPaused(), 1);
    production->SetProductionPaused(0);
    EXPECT_EQ(production->IsProductionPaused(), 0);
    EXPECT_EQ(production->IsBuildAreaFree(), 1);
    f->SetPosition(Point(0, 0));  // the building area round the exit leaves the map
    EXPECT_EQ(production->IsBuildAreaFree(), 0);
    f->SetPosition(Point(1000, 1000));
    EXPECT_EQ(production->FindUnloadDock(), -1);
    auto open = OpenFactory();
    FactoryProduction* opened = open.get();
    const int dock = opened->FindUnloadDock();
    ASSERT_GE(dock, 0);
    EXPECT_EQ(opened->DockPoint(dock), open->GetDockPoint(dock));
}

}  // namespace

namespace {

struct DrawCall {
    int tag;
    Point at;
    bool operator==(const DrawCall& o) const { return tag == o.tag && at == o.at; }
};

// A picture that notes where it is drawn in the team's colours (tag) or as a shadow (-tag).
class NotingImage : public Image {
public:
    NotingImage(std::vector<DrawCall>& log, int tag) : Image(Size(192, 160)), log(log), tag(tag) {}
    void DrawShadeFilled(const Point& c, int32_t) override { log.push_back({tag, c}); }
    void DrawTinted(const Point& c, const ShadeTable&, int32_t) override {
        log.push_back({-tag, c});
    }
    std::vector<DrawCall>& log;
    int tag;
};

// A map view at a zoom shift, its origin at the map's (0, 0).
class ZoomedView : public ScreenBase {
public:
    explicit ZoomedView(int shift) { zoom = shift; }
    Point MapToScreen(const Point& p) override { return Point(p.x >> zoom, p.y >> zoom); }
};

class FactoryDrawing : public Factory {
protected:
    FactoryDrawing() {
        for (int i = 0; i < 6; ++i)
            building->bodyAnimation->SetFrame(std::make_unique<NotingImage>(log, 300 + i), i);
        for (int i = 0; i < 4; ++i)
            building->doorAnimation->SetFrame(std::make_unique<NotingImage>(log, 400 + i), i);
        building->bodyOffset = Point(4, -6);
        building->doorOffset = Point(-8, 2);
    }
    std::vector<DrawCall> Drawn(FactoryBuilding& f, ScreenBase& view, bool under) {
        log.clear();
        if (under)
            f.DrawUnder(view);
        else
            f.Draw(view);
        return log;
    }
    std::vector<DrawCall> Sensed(FactoryBuilding& f, ScreenBase& view, const ShadeTable* table) {
        log.clear();
        f.DrawSensed(view, table);
        return log;
    }
    std::vector<DrawCall> log;
};

TEST_F(FactoryDrawing, BodyAndDoorFramesStandAtTheirOffsetsAtEveryZoom) {
    LandFixture files;
    LandLayout layout;
    layout.columns = 10;
    layout.rows = 10;
    layout.letters.assign(10, std::string(10, 'c'));
    files.WriteLand(layout);
    world.terrain = std::make_unique<TerrainMap>();
    world.terrain->SetDiscDataPath(files.Path().c_str());
    world.terrain->SetLocalDataPath(files.Path().c_str());
    world.terrain->Load("edit.lnd");
    for (int shift : {0, 1, 2}) {
        ZoomedView view(shift);
        auto f = Make();
        f->AddResources(10000, 10000);
        const Point body = f->GetPosition() + Point(4, -6);
        const Point door = f->GetPosition() + Point(-8, 2);
        auto at = [shift](const Point& p) { return Point(p.x >> shift, p.y >> shift); };
        EXPECT_TRUE(Drawn(*f, view, false).empty());
        ASSERT_GT(TickUntil(*f, 3), 0);
        Tick(*f);
        const int frame = f->bodyAnimation.frame;
        EXPECT_EQ(Drawn(*f, view, false), (std::vector<DrawCall>{{300 + frame, at(body)}}));
        EXPECT_EQ(Drawn(*f, view, true),
                  (std::vector<DrawCall>{{-(300 + frame), at(body + Point(10, 10))}}));
        // Sensed, the body frame is tinted where it stands; without a table nothing shows.
        const ShadeTable* tint = world.terrain->ShadeTable2();
        EXPECT_EQ(Sensed(*f, view, tint), (std::vector<DrawCall>{{-(300 + frame), at(body)}}));
        EXPECT_TRUE(Sensed(*f, view, nullptr).empty());
        ASSERT_GT(TickUntil(*f, 4), 0);
        EXPECT_EQ(Drawn(*f, view, false), (std::vector<DrawCall>{{305, at(body)}}));
        f->QueueJob(Job(), 0);
        ASSERT_GT(TickUntil(*f, 8), 0);
        // The product inside draws first, then the open door over it.
        const std::vector<DrawCall> open = Drawn(*f, view, false);
        ASSERT_FALSE(open.empty());
        EXPECT_EQ(open.back(), (DrawCall{403, at(door)}));
        EXPECT_EQ(Drawn(*f, view, true).back(), (DrawCall{-403, at(door + Point(10, 10))}));
        const std::vector<DrawCall> sensed = Sensed(*f, view, tint);
        ASSERT_FALSE(sensed.empty());
        EXPECT_EQ(sensed.back(), (DrawCall{-403, at(door)}));
    }
}

// A picture that notes where it is drawn plainly.
class PlainNote : public Image {
public:
    PlainNote(std::vector<DrawCall>& log, int tag) : Image(Size(8, 8)), log(log), tag(tag) {}
    void Draw(const Point& c) override { log.push_back({tag, c}); }
    std::vector<DrawCall>& log;
    int tag;
};

// Folded, the factory shows its own parts at the chassis' mounts; open, its extra parts too, moved
// by the body's offset; with the door moving, every part stands on the door's mount point.
// Set up, a factory shows its level bar while selected or once when asked (as after a hit).
TEST_F(FactoryDrawing, TheLevelBarShowsWhileSelectedOrOnceWhenAsked) {
    class Bar : public Image {
    public:
        Bar(std::vector<DrawCall>& log, int tag) : Image(Size(8, 8)), log(log), tag(tag) {}
        void Draw(const Point& c) override { log.push_back({tag, c}); }
        std::vector<DrawCall>& log;
        int tag;
    };
    SpriteSet bar(5);
    for (int i = 0; i < 5; ++i)
        bar.SetFrame(std::make_unique<Bar>(log, 500 + i), i);
    LevelBarPictures = &bar;
    auto f = OpenFactory();
    f->damage.SetValue(f->damage.Max() * 45 / 100);
    ZoomedView view(0);
    const struct {
        int selected, asked;
        bool shown;
    } rows[] = {{0, 0, false}, {1, 0, true}, {0, 1, true}, {1, 1, true}};
    for (const auto& row : rows) {
        f->selected = row.selected;
        f->drawFlag = row.asked;
        std::vector<DrawCall> bars;
        for (const DrawCall& d : Drawn(*f, view, true))
            if (d.tag >= 500 && d.tag < 600) bars.push_back(d);
        // 45 percent: band 2, at the top-left corner moved by (32, 32).
        const Point corner = f->GetPosition() - Point(f->GetSize().w / 2, f->GetSize().h / 2);
        const std::vector<DrawCall> expected =
            row.shown ? std::vector<DrawCall>{{502, corner + Point(32, 32)}}
                      : std::vector<DrawCall>{};
        EXPECT_EQ(bars, expected) << row.selected << row.asked;
        EXPECT_EQ(f->drawFlag, 0);
    }
    f->selected = 0;
    LevelBarPictures = nullptr;
}

// Set up and selected, the factory's marker spans its unfolded body round its unfolded centre,
// scaled by the zoom, in the warning colour past 89 percent damage; unselected there is none.
TEST_F(FactoryDrawing, TheSelectionMarkerSpansTheUnfoldedBodyAtEveryZoom) {
    ScreenFixture screen;
    auto f = OpenFactory();
    const struct {
        int shift, selected, damagePercent, colour;
    } rows[] = {{2, 0, 0, 0}, {2, 1, 0, 100}, {3, 1, 0, 100}, {3, 1, 95, 9}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.shift * 100 + row.selected * 10 + row.damagePercent);
        std::memset(screen.Back(), 0, 640 * 480);
        ZoomedView view(row.shift);
        f->selected = row.selected;
        f->damage.SetValue(f->damage.Max() * row.damagePercent / 100);
        Drawn(*f, view, true);
        // The body's frames are 192 x 160.
        const Rect box(view.MapToScreen(f->GetCentre()), Size(192 >> row.shift, 160 >> row.shift),
                       'c');
        const Point br = box.BottomRight();
        EXPECT_EQ(screen.CountNot(0), row.selected ? 2 * 15 : 0);
        EXPECT_EQ(screen.At(box.origin.x, br.y), row.colour);
        EXPECT_EQ(screen.At(box.origin.x, br.y - 7), row.colour);
        EXPECT_EQ(screen.At(br.x, br.y), row.colour);
        EXPECT_EQ(screen.At(br.x - 7, br.y), row.colour);
    }
    f->selected = 0;
}

TEST_F(FactoryDrawing, ExtraPartsShowOnlyOpenAndFollowTheBodyOrTheDoor) {
    MountTemplate* parts[2] = {kit.Sensor('u'), kit.Sensor('v')};
    for (int p = 0; p < 2; ++p) {
        auto pictures = std::make_unique<SpriteSet>(16);
        for (int f = 0; f < 16; ++f)
            pictures->SetFrame(std::make_unique<PlainNote>(log, 700 + 100 * p), f);
        parts[p]->mapPictures = std::move(pictures);
    }
    auto design = std::make_unique<VehicleDesign>('V');
    design->drive = kit.drive.get();
    design->chassis = building->chassis.get();
    design->hardpoints[0] = parts[0];
    design->hardpoints[1] = parts[1];
    FactoryBuilding f(Point(1000, 1000), SimId(1, 1), building.get(), std::move(design), nullptr);
    f.SetLocal(1);
    f.AddResources(10000, 10000);
    ZoomedView view(0);
    const auto partsDrawn = [&] {
        std::vector<DrawCall> out;
        for (const DrawCall& d : Drawn(f, view, false))
            if (d.tag >= 700) out.push_back(d);
        return out;
    };
    const Point at = f.GetPosition();
    EXPECT_EQ(partsDrawn(), (std::vector<DrawCall>{{700, at + Point(1, 1)}}));
    ASSERT_GT(TickUntil(f, FactoryProduction::kOpen), 0);
    EXPECT_EQ(partsDrawn(),
              (std::vector<DrawCall>{{700, at + Point(1, 1)}, {800, at + Point(5, -5)}}));
    f.QueueJob(Job(), 0);
    ASSERT_GT(TickUntil(f, 8), 0);
    EXPECT_EQ(partsDrawn(),
              (std::vector<DrawCall>{{700, at + Point(-3, 8)}, {800, at + Point(-3, 8)}}));
}

}  // namespace
