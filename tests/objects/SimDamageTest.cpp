// A unit's hits: damage by direction and shields, where the hit shows, rocket freezes, the
// attacker's credit, the controller's events and the mirrors' road.
#include <gtest/gtest.h>

#include <climits>

#include "catalogue/TemplateCatalogue.h"
#include "objects/CommandReader.h"
#include "objects/DefencePart.h"
#include "objects/ObjectLand.h"
#include "objects/SimTestSupport.h"

namespace {

class SimDamage : public ::testing::Test {
protected:
    SimDamage() { world.controllers[1] = &events; }

    Sim* Add(std::unique_ptr<Sim> sim) {
        Sim* raw = sim.get();
        std::unique_ptr<GameObject> owned = std::move(sim);
        world.AddSim(owned);
        return raw;
    }

    ObjectLand land{20, 20};
    FakeObjectWorld& world = land.world;
    SimKit kit;
    EventLog events;
    const Point at{320, 320};
};

// The damage command a hit sends: the value left and the amount, then the three letters.
struct SentDamage {
    int32_t value = -1, amount = -1;
    int explosion = 0, second = 0, third = 0;
    int count = 0;
};

SentDamage DamageSent(const CommandBuffer& buffer) {
    SentDamage out;
    CommandReader r(buffer.Data(), buffer.Size());
    CommandHeader h;
    while (r.NextCommand(h)) {
        if (h.kind == 6) {
            ++out.count;
            out.value = r.ReadW32();
            out.amount = r.ReadW32();
            out.explosion = r.ReadU8();
            out.second = r.ReadU8();
            out.third = r.ReadU8();
        }
        r.SkipCommand();
    }
    return out;
}

TEST_F(SimDamage, DirectionShieldsAndOffsetShapeTheHit) {
    struct Row {
        const char* name;
        int value;
        Point attacker;            // relative; (0, 0) for none
        std::vector<int> shields;  // per shield: 1 active matching, 0 inactive, 2 other letter
        int damage;
        Point offset;
        int facing = 0;
    };
    const Point ahead(-100, 0), side(0, -100), behind(100, 0), none(0, 0);
    const std::vector<Row> rows = {
        {"ahead", 20, ahead, {}, 15, Point(-20, 0)},
        {"side", 20, side, {}, 18, Point(0, -20)},
        {"behind", 20, behind, {}, 20, Point(20, 0)},
        {"no attacker", 20, none, {}, 15, Point(0, 0)},
        {"small ahead", 3, ahead, {}, 3, Point(-20, 0)},
        {"small side", 3, side, {}, 3, Point(0, -20)},
        {"small behind", 3, behind, {}, 3, Point(20, 0)},
        {"one shield", 20, ahead, {1}, 3, Point(-60, 0)},
        {"two shields", 20, ahead, {1, 1}, 0, Point(-60, 0)},
        {"inactive shield", 20, ahead, {0}, 15, Point(-20, 0)},
        {"other shield", 20, ahead, {2}, 15, Point(-20, 0)},
        // One facing off is still ahead, two is the side.
        {"ahead at one", 20, ahead, {}, 15, Point(-20, 0), 1},
        {"side at two", 20, ahead, {}, 18, Point(-20, 0), 2},
        // Six facings off is still the side, seven is behind.
        {"side at six", 20, behind, {}, 18, Point(20, 0), 2},
        {"behind at seven", 20, behind, {}, 20, Point(20, 0), 1},
        // The difference wraps round: fifteen facings off is one, ten is six.
        {"ahead across north", 20, ahead, {}, 15, Point(-20, 0), 15},
        {"side across north", 20, side, {}, 18, Point(0, -20), 14},
        // Enemies face to face that hurt nothing: each matching shield quarters the hit again,
        // so three stop the heaviest shell (32), beam (24) and missile (46) of the sample
        // weapons even from behind, while two still let the shell through.
        {"three shields stop a shell", 32, behind, {1, 1, 1}, 0, Point(60, 0)},
        {"three shields stop a beam", 24, behind, {1, 1, 1}, 0, Point(60, 0)},
        {"three shields stop a missile", 46, behind, {1, 1, 1}, 0, Point(60, 0)},
        {"two shields pass a shell", 32, behind, {1, 1}, 2, Point(60, 0)},
        {"a stray third shield", 32, behind, {1, 1, 2}, 2, Point(60, 0)},
        // Two stop the sample's lightest gun (16) from ahead or the side; from behind a point
        // passes.
        {"two shields stop the light gun ahead", 16, ahead, {1, 1}, 0, Point(-60, 0)},
        {"two shields stop the light gun aside", 16, side, {1, 1}, 0, Point(0, -60)},
        {"two shields pass a point of the light gun behind", 16, behind, {1, 1}, 1, Point(60, 0)},
    };
    WeaponTemplate* weapons[47] = {};
    int serial = 10;
    for (const Row& row : rows) {
        if (!weapons[row.value]) weapons[row.value] = kit.Weapon({.firePower = row.value});
        std::vector<MountTemplate*> parts;
        for (int s : row.shields)
            parts.push_back(kit.Defence(s == 2 ? 'z' : 'b'));
        Sim* sim = Add(kit.MakeSim(1, serial++, at, parts));
        sim->facing = row.facing;
        for (int i = 0; i < static_cast<int>(row.shields.size()); ++i)
            sim->GetPart(i)->active = row.shields[static_cast<size_t>(i)] == 0 ? 0 : 1;
        std::unique_ptr<Sim> attacker =
            row.attacker == none ? nullptr : kit.MakeSim(2, serial++, at + row.attacker);
        // Asking what a hit would take strikes no shield.
        EXPECT_EQ(sim->HitBy(*weapons[row.value], attacker.get()), row.damage) << row.name;
        for (int i = 0; i < static_cast<int>(row.shields.size()); ++i)
            EXPECT_EQ(sim->GetDefencePart(i)->effectOn, 0) << row.name;
        EXPECT_EQ(sim->ComputeDamage(weapons[row.value], attacker.get()), row.damage) << row.name;
        EXPECT_EQ(sim->HitOffset(weapons[row.value], attacker.get()), row.offset) << row.name;
        for (int i = 0; i < static_cast<int>(row.shields.size()); ++i) {
            auto* shield = sim->GetDefencePart(i);
            EXPECT_EQ(shield->effectOn, row.shields[static_cast<size_t>(i)] == 1 ? 1 : 0)
                << row.name;
        }
    }
}

TEST_F(SimDamage, ARocketFreezesThePartsForFiveSecondsAndASecondRestartsIt) {
    WeaponTemplate* rocket = kit.Weapon({.firePower = 4});
    rocket->freezeFlag = 1;
    WeaponTemplate* gun = kit.Weapon({.firePower = 4});
    Sim* sim = Add(kit.MakeSim(1, 1, at, {gun}));
    sim->TakeDamage(rocket, SimId(), nullptr, 0);
    EXPECT_EQ(sim->partsFrozenTime, 5000);
    const int facing = sim->GetPart(0)->facing;
    sim->facing = 8;
    sim->Update(1000);
    EXPECT_EQ(sim->partsFrozenTime, 4000);
    EXPECT_EQ(sim->GetPart(0)->facing, facing);  // no part stepped
    sim->TakeDamage(rocket, SimId(), nullptr, 0);
    EXPECT_EQ(sim->partsFrozenTime, 5000);
}

TEST_F(SimDamage, KillsAndHitsCreditOnlyAnExistingAttacker) {
    WeaponTemplate* gun = kit.Weapon({.firePower = 60});
    Sim* target = Add(kit.MakeSim(1, 1, at));
    Sim* shooter = Add(kit.MakeSim(2, 2, at + Point(100, 0)));
    const int start = shooter->skill;
    target->TakeDamage(gun, shooter->id, nullptr, 0);
    EXPECT_EQ(shooter->skill, start + 1);
    EXPECT_EQ(events.Count(7), 1);
    EXPECT_EQ(events.Count(0), 1);
    EXPECT_EQ(target->lastAttacker, shooter->id);
    target->TakeDamage(gun, shooter->id, nullptr, 0);
    EXPECT_EQ(target->IsDestroyed(), 1);
    EXPECT_EQ(shooter->skill, start + 11);
    EXPECT_EQ(events.Count(2), 1);
    EXPECT_EQ(events.Count(0), 1);  // the same attacker again: no new sighting
    EXPECT_EQ(world.teamCounts[2], 1);

    // A shooter that is gone earns nothing and breaks nothing.
    Sim* other = Add(kit.MakeSim(1, 3, at + Point(0, 100)));
    for (int hit = 0; hit < 3; ++hit)
        other->TakeDamage(gun, SimId(2, 99), nullptr, 0);
    EXPECT_EQ(other->IsDestroyed(), 1);

    // A mirrored shooter is credited through the owner's machine.
    world.commands.SetEnabled(1);
    Sim* mirror = Add(kit.MakeSim(2, 4, at + Point(-100, 0)));
    mirror->local = 0;
    Sim* third = Add(kit.MakeSim(1, 5, at + Point(0, -100)));
    third->TakeDamage(gun, mirror->id, nullptr, 0);
    const std::vector<int> kinds = CommandKinds(world.commands);
    EXPECT_NE(std::find(kinds.begin(), kinds.end(), 22), kinds.end());
    EXPECT_EQ(mirror->skill, start);
}

TEST_F(SimDamage, NoWeaponAmountZeroKillsAndTheSimLeavesTheGridsOnce) {
    Sim* sim = Add(kit.MakeSim(1, 1, at));
    const int removes = world.gridRemoves;
    sim->TakeDamage(nullptr, SimId(), nullptr, 0);
    EXPECT_EQ(sim->damage.Value(), sim->damage.Max() + 1);
    EXPECT_EQ(world.gridRemoves, removes + 1);
    sim->Destroy();
    sim->ApplyDamageState(500, 1, 'X', 'V', 'a');
    sim->TakeDamage(nullptr, SimId(), nullptr, 5);
    EXPECT_EQ(world.gridRemoves, removes + 1);
    // The death explosion is listed in the World, not attached.
    EXPECT_EQ(world.positionNotes, 1);

    Sim* mirror = Add(kit.MakeSim(1, 2, at + Point(100, 0)));
    mirror->local = 0;
    mirror->ApplyDamageState(mirror->damage.Max() + 1, 1, '-', '-', '-');
    EXPECT_EQ(mirror->IsDestroyed(), 1);
    EXPECT_EQ(world.gridRemoves, removes + 2);
}

TEST_F(SimDamage, AMirrorOnlyReportsTheHitAndAnUnknownReportIsIgnored) {
    world.commands.SetEnabled(1);
    WeaponTemplate* gun = kit.Weapon({.firePower = 20});
    Sim* mirror = Add(kit.MakeSim(1, 1, at));
    mirror->local = 0;
    mirror->TakeDamage(gun, SimId(2, 7), nullptr, 0);
    EXPECT_EQ(mirror->damage.Value(), 0);
    EXPECT_EQ(CommandKinds(world.commands), std::vector<int>{7});

    Sim* owned = Add(kit.MakeSim(1, 2, at + Point(100, 0)));
    owned->ApplyHit('-', '-', '-', SimId(2, 7));
    owned->ApplyHit('q', 'j', 'V', SimId(2, 7));
    EXPECT_EQ(owned->IsDestroyed(), 0);
    EXPECT_EQ(owned->damage.Value(), 0);
}

TEST_F(SimDamage, IgnoringAttackersStillReportsButKeepsTheLastAttacker) {
    WeaponTemplate* gun = kit.Weapon({.firePower = 8});
    Sim* sim = Add(kit.MakeSim(1, 1, at));
    sim->ignoreAttackers = 1;
    sim->TakeDamage(gun, Add(kit.MakeSim(2, 2, at + Point(90, 0)))->id, nullptr, 0);
    EXPECT_EQ(events.Count(0), 1);
    EXPECT_TRUE(sim->lastAttacker.IsNull());
    EXPECT_EQ(events.Count(8), 1);
}

// A hit without a weapon (a scenario's or a script's) deals its amount as it is; amount 0 kills,
// even at the largest maximum. An invulnerable unit keeps its damage but the peers still hear
// the amount.
TEST_F(SimDamage, AHitWithoutAWeaponDealsItsAmountOrKillsAndTellsThePeers) {
    struct Row {
        const char* name;
        int32_t max, amount;
        int invulnerable;
        int32_t value;  // left after the hit
        int destroyed;
        int32_t sentAmount;
    };
    const Row rows[] = {
        {"scratch", 100, 5, 0, 5, 0, 5},
        {"to the maximum", 100, 100, 0, 100, 0, 100},
        {"one past", 100, 101, 0, 101, 1, 101},
        {"kill", 100, 0, 0, 101, 1, 101},
        {"kill at the largest maximum", INT32_MAX, 0, 0, INT32_MAX, 1, INT32_MAX},
        {"invulnerable scratch", 100, 5, 1, 0, 0, 5},
        {"invulnerable kill", 100, 0, 1, 0, 0, 101},
    };
    world.commands.SetEnabled(1);
    int serial = 40;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        world.commands.Rewind();
        events.codes.clear();
        Sim* sim = Add(kit.MakeSim(1, serial++, at));
        sim->damage.SetMax(row.max);
        sim->invulnerable = row.invulnerable;
        sim->TakeDamage(nullptr, SimId(), nullptr, row.amount);
        sim->invulnerable = 0;
        EXPECT_EQ(sim->IsDestroyed(), row.destroyed);
        EXPECT_EQ(sim->damage.Value(), row.value);
        const SentDamage sent = DamageSent(world.commands);
        EXPECT_EQ(sent.count, 1);
        EXPECT_EQ(sent.value, row.value);
        EXPECT_EQ(sent.amount, row.sentAmount);
        EXPECT_EQ(sent.explosion, '-');
        EXPECT_EQ(sent.second, '-');
        EXPECT_EQ(sent.third, '-');
        // The controller hears of a loss, and of no weapon.
        EXPECT_EQ(events.Count(2), row.destroyed);
        EXPECT_EQ(events.Count(8), 0);
    }
}

// The owner's damage word on a copy flashes the copy's shields the weapon named: active ones of
// the weapon's kind only, and none for a weapon the catalogue does not know.
TEST_F(SimDamage, AMirrorFlashesTheShieldsTheOwnersWordNames) {
    WeaponTemplate* gun = kit.Weapon({.role = 's', .firePower = 20, .kind = 'b'});
    WeaponList.PushBack(gun);  // leaves the list when the kit ends
    Sim* mirror =
        Add(kit.MakeSim(1, 1, at, {kit.Defence('b'), kit.Defence('b'), kit.Defence('z')}));
    mirror->local = 0;
    mirror->GetPart(1)->active = 0;
    const auto flashes = [&] {
        std::vector<int> on;
        for (int i = 0; i < 3; ++i)
            on.push_back(mirror->GetDefencePart(i)->effectOn);
        return on;
    };
    mirror->ApplyDamageState(30, 30, '-', 'V', 'q');
    EXPECT_EQ(flashes(), (std::vector<int>{0, 0, 0}));
    mirror->ApplyDamageState(40, 10, '-', 'V', 's');
    EXPECT_EQ(mirror->damage.Value(), 40);
    EXPECT_EQ(flashes(), (std::vector<int>{1, 0, 0}));
    // A copy's report of a hit by that weapon reaches the owner's unit as a hit from nowhere:
    // three quarters of the fire power.
    Sim* owned = Add(kit.MakeSim(1, 2, at + Point(100, 0)));
    owned->ApplyHit('s', '-', 'V', SimId(2, 7));
    EXPECT_EQ(owned->damage.Value(), 15);
}

// An attacker handed to a unit whose team has a controller is pinned (the update keeps it while
// unseen); without a controller it is only noted. Nobody clears it.
TEST_F(SimDamage, AControlledTeamPinsTheAttackerItIsGiven) {
    Sim* attacker = Add(kit.MakeSim(2, 9, at + Point(100, 0)));
    for (const int team : {1, 3}) {
        Sim* sim = Add(kit.MakeSim(team, 10 + team, at));
        sim->SetLastAttacker(attacker);
        EXPECT_EQ(sim->lastAttacker, attacker->id) << team;
        EXPECT_EQ(sim->targetPinned, team == 1 ? 1 : 0) << team;
        sim->SetLastAttacker(nullptr);
        EXPECT_TRUE(sim->lastAttacker.IsNull()) << team;
    }
}

}  // namespace
