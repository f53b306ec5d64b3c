// Two machines of a network game in one process, each a World, the second fed the first's
// message stream: a team whose factory is gone has one owner for its units, and the machine that
// runs them tells the others where they stand, so that both hold the same units afterwards. A
// factory's pieces take the value its owner tells, even when the word comes before this
// machine's own death pass has made them. A death the word brings at a pause counts at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/BuildingTemplate.h"
#include "catalogue/CatalogueMedia.h"
#include "catalogue/ChassisTemplate.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/VehicleDesign.h"
#include "map/ObjectKinds.h"
#include "net/StreamMachine.h"
#include "objects/SimTestSupport.h"
#include "world/MemoryCatalogueMedia.h"

namespace {

// A copy that dies, as a unit's or a factory's does, once its owner's damage passes its most.
struct MortalCopy : TestObject {
    using TestObject::TestObject;
    void ApplyDamageState(int32_t value, int32_t, char, char, char) override {
        if (value > damage.Max()) destroyed = 1;
    }
};

// One machine, with the units it holds.
struct Machine : StreamMachine {
    explicit Machine(const std::vector<int>& peerTeams) : StreamMachine(peerTeams) {}

    TestObject* Unit(int team, int serial, int row, int column, int local, int damage) {
        TestObject* unit = land.AddUnit(team, serial, row, column);
        unit->local = local;
        unit->damage.SetMax(100);
        unit->damage.SetValue(damage);
        return unit;
    }
    // This machine's listing of the units (list 1), one line each.
    std::vector<std::string> Units() {
        SetObjectWorld(&world);
        return ListingLines("1 ");
    }
};

// Player 3 is lost and its factory was gone before: the host (the authority, the lowest player)
// takes its units over and tells where each stands, which player 2's copies, stale by the lost
// machine's last words, then take. One owner, the same units on both.
TEST(DeadFactoryStream, AfterTheTakersStreamBothHoldTheLostTeamsUnitsAlike) {
    Machine host({2, 3});
    Machine second({1, 3});
    TestObject* hostCopy = host.Unit(3, 1, 3, 3, 0, 80);
    TestObject* secondCopy = second.Unit(3, 1, 3, 6, 0, 95);
    second.world.localPlayer = ValueTriple(2);
    for (Machine* m : {&host, &second}) {
        SetObjectWorld(&m->world);
        static_cast<MemoryLink*>(m->world.peerSlots[1].peerLink)->lost = 1;
        m->world.CheckPeers();
    }
    EXPECT_NE(host.Units(), second.Units());
    second.Apply(host, [](int) {});
    EXPECT_EQ(hostCopy->local, 1);
    EXPECT_EQ(secondCopy->local, 0);
    EXPECT_EQ(secondCopy->GetPosition(), hostCopy->GetPosition());
    EXPECT_EQ(host.Units(), second.Units());
    SetObjectWorld(nullptr);
}

// Player 2's factory is shot down while player 2 plays on: both death passes run, player 2
// keeps its units (the host, though the lowest player left, does not take them while player 2
// plays the team) and tells where they came to rest; the host's copies follow.
TEST(DeadFactoryStream, AFactoryDeadWhileItsMachinePlaysLeavesOneOwnerAndOneState) {
    Machine host({2});
    Machine second({1});
    TestObject* hostCopy = host.Unit(2, 1, 3, 3, 0, 70);
    TestObject* own = second.Unit(2, 1, 3, 6, 1, 90);
    for (Machine* m : {&host, &second}) {
        m->land.records.allBelowEmpty = 1;
        auto factory = std::make_unique<TestObject>(2, 20, m->land.Centre(8, 8), 4, 24);
        factory->local = m == &second ? 1 : 0;
        factory->destroyed = 1;
        m->world.AddBuilding(std::move(factory));
        SetObjectWorld(&m->world);
        m->world.UpdateObjects(16);
    }
    EXPECT_EQ(hostCopy->local, 0) << "two machines own the unit";
    EXPECT_EQ(own->local, 1);
    host.Apply(second, [](int) {});
    EXPECT_EQ(hostCopy->GetPosition(), own->GetPosition());
    EXPECT_EQ(host.Units(), second.Units());
    SetObjectWorld(nullptr);
}

// A factory that dies as a unit does: its fatal damage goes out as it is dealt.
class FactorySim : public Sim {
public:
    using Sim::Sim;
    int GetKind() override { return ObjectKind::kFactory; }
};

// Player 2's factory is shot down on its own machine: its fatal damage goes out ahead of where
// its units came to rest, so the host, whose copy of the factory stood until the damage came,
// takes the snapshots before its own death pass has run.
TEST(DeadFactoryStream, TheFactorysFatalDamageComesAheadOfItsUnitsSnapshots) {
    SimKit kit;
    Machine host({2});
    Machine second({1});
    TestObject* hostCopy = host.Unit(2, 1, 3, 3, 0, 70);
    TestObject* own = second.Unit(2, 1, 3, 6, 1, 90);
    Sim* factories[2] = {};
    for (Machine* m : {&host, &second}) {
        SetObjectWorld(&m->world);
        auto factory =
            std::make_unique<FactorySim>(m->land.Centre(8, 8), SimId(2, 20), kit.Design());
        factory->local = m == &second ? 1 : 0;
        factories[m == &second ? 1 : 0] = factory.get();
        m->world.AddBuilding(std::move(factory));
    }
    SetObjectWorld(&second.world);
    factories[1]->TakeDamage(nullptr, SimId(), nullptr, 0);
    second.world.UpdateObjects(16);
    std::vector<int> kinds;
    host.Apply(second, [&kinds, &host](int kind) {
        kinds.push_back(kind);
        // No death pass ran here: the copy of the factory is still listed.
        EXPECT_NE(host.world.TeamFactory(2), nullptr);
    });
    const auto damage = std::find(kinds.begin(), kinds.end(), 6);
    const auto snapshot = std::find(kinds.begin(), kinds.end(), 57);
    ASSERT_NE(snapshot, kinds.end());
    EXPECT_LT(damage, snapshot);
    EXPECT_EQ(factories[0]->IsDestroyed(), 1);
    EXPECT_EQ(hostCopy->GetPosition(), own->GetPosition());
    SetObjectWorld(nullptr);
}

// The owner's fatal damage (kind 6) reaches a copy while this machine stands paused, before or
// after its pause began: the paused tick's death pass takes the copy before the pause's
// checksum, so the loss, the team's end and the listing agree with the owner's, whose death
// pass ran before its pause. The living copies beside it stand still, and a used-up wreck
// counts as nobody's loss.
TEST(DeadFactoryStream, ADeathHeardAtAPauseCountsBeforeThePausesChecksum) {
    const struct {
        const char* what;
        int kind;
        bool pausedFirst;
    } cases[] = {
        {"a unit, the pause first", 1, true},
        {"a unit, the word first", 1, false},
        {"a deployed structure", 7, true},
        {"a capture unit", 6, false},
        {"the factory", 4, true},
        {"a used-up wreck, no loss", 3, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Machine owner({3});
        Machine copy({2});
        owner.world.localPlayer = ValueTriple(2);
        copy.world.localPlayer = ValueTriple(3);
        const int radius = c.kind == 4 ? 24 : 16;
        auto dying = std::make_unique<TestObject>(2, 70, copy.land.Centre(6, 6), c.kind, radius);
        auto mirror = std::make_unique<MortalCopy>(2, 70, dying->GetPosition(), c.kind, radius);
        TestObject* own = dying.get();
        MortalCopy* copied = mirror.get();
        copied->local = 0;
        auto place = [&](World& world, std::unique_ptr<GameObject> made) {
            if (c.kind != 4)
                return c.kind == 3 ? world.AddWreck(std::move(made)) : world.AddSim(made);
            world.AddBuilding(std::move(made));
            return 1;
        };
        ASSERT_EQ(place(owner.world, std::move(dying)), 1);
        ASSERT_EQ(place(copy.world, std::move(mirror)), 1);
        owner.Unit(2, 71, 2, 2, 1, 10);
        TestObject* living = copy.Unit(2, 71, 2, 2, 0, 10);
        copy.world.inGame = 1;
        copy.world.paused = c.pausedFirst ? 1 : 0;
        SetObjectWorld(&owner.world);
        own->destroyed = 1;
        owner.world.commands->SendDamage(own, 101, 101, '-', '-', '-');
        owner.world.UpdateObjects(16);
        copy.Apply(owner);
        // A wreck is used up by its salvager's last word instead.
        if (c.kind == 3) copied->destroyed = 1;
        ASSERT_EQ(copied->destroyed, 1);
        ASSERT_NE(copy.world.FindObject(SimId(2, 70)), nullptr) << "taken before the tick";
        copy.world.paused = 1;
        copy.world.Tick(1000);
        EXPECT_EQ(copy.world.FindObject(SimId(2, 70)), nullptr);
        const int loss = c.kind == 3 ? 0 : 1;
        EXPECT_EQ(copy.land.records.losses[2], loss);
        EXPECT_EQ(owner.land.records.losses[2], loss);
        EXPECT_EQ(copy.land.records.emptied, owner.land.records.emptied);
        EXPECT_EQ(copy.land.records.emptied.size(), c.kind == 4 ? 1u : 0u);
        EXPECT_EQ(copy.Units(), owner.Units());
        EXPECT_EQ(copy.ListingLines("2 "), owner.ListingLines("2 "));
        EXPECT_EQ(living->updates, 0);
        // A second paused tick finds nobody left to count.
        copy.world.Tick(1100);
        EXPECT_EQ(copy.land.records.losses[2], loss);
    }
    SetObjectWorld(nullptr);
}

// The factory's owner tells each piece's value as it makes it; a copy whose death pass has not
// run yet keeps the word and applies it to the piece it makes, above the value its own ledger
// gave. Only piece ids are kept, and only so many.
TEST(DeadFactoryStream, APiecesValueToldBeforeThePieceIsMadeIsTakenWhenItIs) {
    MemoryCatalogueMedia media;
    SetCatalogueMedia(&media);
    ChassisValues chassisValues;
    chassisValues.clan = 'V';
    chassisValues.role = 'b';
    chassisValues.firstCost = 1000;
    auto chassis = std::make_unique<ChassisTemplate>(chassisValues);
    BuildingValues values;
    values.letter = 'V';
    ListNode* record =
        new BuildingTemplate(values, std::make_unique<ChassisTemplate>(chassisValues), nullptr);
    BuildingList.PushBack(record);
    Machine copy({2});
    copy.world.makeWreck = [](const WreckDescription& d) -> std::unique_ptr<GameObject> {
        auto wreck = std::make_unique<TestObject>(d.id.team, d.id.serial, d.position, 3,
                                                  std::max(d.size.w, d.size.h) / 2);
        wreck->SetCargoCapacity(0);
        return wreck;
    };
    VehicleDesign design{'V'};
    design.chassis = chassis.get();
    const SimId factoryId(2, 17);
    const SimId first = World::WreckPieceId(factoryId, 0);
    // Told by the owner's snapshot, before the piece exists here.
    {
        Machine owner({1});
        CommandBuffer& out = *owner.world.commands;
        auto piece = std::make_unique<TestObject>(first.team, first.serial, Point(10, 10), 3, 4);
        piece->SetCargoCapacity(500);
        piece->AddCargo(450);
        out.SendSimSnapshot(piece.get());
        copy.Apply(owner, [](int) {});
    }
    // A unit's id is not a piece's: not kept.
    copy.world.KeepEarlyPieceValue(SimId(2, 5), 999);
    ASSERT_EQ(copy.world.earlyPieceValues.size(), 1u);
    SetObjectWorld(&copy.world);
    auto factory = std::make_unique<TestObject>(2, 17, Point(200, 200), 4, 24);
    factory->design = &design;
    factory->local = 0;
    factory->SetCargoCapacity(1000);
    factory->AddCargo(200);
    factory->destroyed = 1;
    copy.world.AddBuilding(std::move(factory));
    copy.world.UpdateObjects(16);
    GameObject* told = copy.world.FindWreckById(first);
    GameObject* untold = copy.world.FindWreckById(World::WreckPieceId(factoryId, 1));
    ASSERT_NE(told, nullptr);
    ASSERT_NE(untold, nullptr);
    EXPECT_EQ(told->GetCargo(), 450);
    EXPECT_EQ(untold->GetCargo(), 400);
    EXPECT_TRUE(copy.world.earlyPieceValues.empty());
    // Bounded: the oldest goes.
    for (int i = 0; i < static_cast<int>(World::kMaxEarlyPieceValues) + 3; ++i)
        copy.world.KeepEarlyPieceValue(World::WreckPieceId(SimId(3, i), 0), i);
    EXPECT_EQ(copy.world.earlyPieceValues.size(), World::kMaxEarlyPieceValues);
    EXPECT_EQ(copy.world.earlyPieceValues.front().second, 3);
    copy.world.ClearObjects();
    record->Unlink();
    delete record;
    SetCatalogueMedia(nullptr);
    SetObjectWorld(nullptr);
}

}  // namespace
