// A unit built from its design: its parts, the questions it answers from them, the part
// selection, and the change of owner.
#include <gtest/gtest.h>

#include "catalogue/TemplateCatalogue.h"
#include "objects/DefencePart.h"
#include "objects/ObjectLand.h"
#include "objects/ObjectTestSupport.h"
#include "objects/PartAttachment.h"
#include "objects/SimGroup.h"
#include "objects/SimTestSupport.h"
#include "objects/TargetGoal.h"

namespace {

class SimParts : public ::testing::Test {
protected:
    Sim* Add(std::unique_ptr<Sim> sim) {
        Sim* raw = sim.get();
        std::unique_ptr<GameObject> owned = std::move(sim);
        world.AddSim(owned);
        return raw;
    }

    ObjectLand land{20, 20};
    FakeObjectWorld& world = land.world;
    SimKit kit;
    const Point at{320, 320};
};

TEST_F(SimParts, TheDesignGivesPartsBodyAndDamage) {
    WeaponTemplate* shortGun = kit.Weapon({.range = 100, .firePower = 30, .reload = 300});
    WeaponTemplate* longGun = kit.Weapon({.range = 900, .firePower = 7, .reload = 2000});
    WeaponTemplate* equalGun = kit.Weapon({.range = 900, .firePower = 0, .reload = 50});
    Sim* sim = Add(kit.MakeSim(
        1, 1, at,
        {shortGun, kit.Defence('b'), longGun, kit.Sensor('u'), kit.Stealth('z'), equalGun}));
    EXPECT_EQ(sim->partCount, 7);
    EXPECT_EQ(sim->Parts().Count(), 6);
    EXPECT_EQ(sim->damage.Max(), 100);
    EXPECT_NE(sim->GetArmedPart(0), nullptr);
    EXPECT_EQ(sim->GetArmedPart(1), nullptr);
    EXPECT_NE(sim->GetDefencePart(1), nullptr);
    EXPECT_EQ(sim->GetArmedPart(6), nullptr);
    EXPECT_EQ(sim->sensors.sensorA, 1);
    EXPECT_EQ(sim->stealth.hidden, 1);
    EXPECT_EQ(sim->stealth.hiddenA, 0);
    EXPECT_EQ(sim->sensors.sensorB, 0);
    // The first of the two longest wins; fire power sums per part, whole divisions each.
    EXPECT_EQ(sim->LongestRangeWeapon(), sim->GetArmedPart(2));
    EXPECT_EQ(sim->GetFirePower(), 30 * 1000 / 300 + 7 * 1000 / 2000);
    int all = 0;
    EXPECT_EQ(sim->CountWeaponsWithRange(100, &all), 2);
    EXPECT_EQ(all, 3);
    EXPECT_EQ(sim->GetEngageRange(), 256);
    world.GrantStructure(1, 0);
    EXPECT_EQ(sim->GetEngageRange(), 768);
    EXPECT_EQ(sim->GetSightRadius(), 768);
    sim->GetPart(2)->active = 0;
    sim->GetPart(5)->active = 0;
    EXPECT_EQ(sim->GetEngageRange(), 100);
    EXPECT_EQ(sim->CountActiveWeapons(), 1);
    // Hardpoint 6 is empty: its position is the mount offset alone.
    EXPECT_EQ(sim->GetHardpointPosition(6), Point(6, 0));

    auto bare = std::make_unique<VehicleDesign>('V');
    Sim plain(at, SimId(1, 2), std::move(bare));
    EXPECT_EQ(plain.partCount, 0);
    EXPECT_EQ(plain.damage.Max(), 0);
    EXPECT_EQ(plain.GetRadius(), 32);
    EXPECT_EQ(plain.GetArmedPart(0), nullptr);
    EXPECT_EQ(plain.GetEngageRange(), 64 + 2 * 64);
}

// Each sensor and stealth item sets the one flag of its letter.
TEST_F(SimParts, EachSensorAndStealthLetterSetsItsOwnFlag) {
    struct Row {
        bool stealth;
        char letter;
        std::vector<int> flags;  // sensor A, B, C; hidden, hidden A, hidden B
    };
    const Row rows[] = {{false, 'u', {1, 0, 0, 0, 0, 0}}, {false, 'v', {0, 1, 0, 0, 0, 0}},
                        {false, 'w', {0, 0, 1, 0, 0, 0}}, {true, 'z', {0, 0, 0, 1, 0, 0}},
                        {true, 'k', {0, 0, 0, 0, 1, 0}},  {true, 'y', {0, 0, 0, 0, 0, 1}},
                        {false, 'k', {0, 0, 0, 0, 0, 0}}, {true, 'u', {0, 0, 0, 0, 0, 0}}};
    int serial = 10;
    for (const Row& row : rows) {
        MountTemplate* part = row.stealth ? kit.Stealth(row.letter) : kit.Sensor(row.letter);
        Sim* sim = Add(kit.MakeSim(1, ++serial, at, {part}));
        const std::vector<int> flags = {sim->sensors.sensorA, sim->sensors.sensorB,
                                        sim->sensors.sensorC, sim->stealth.hidden,
                                        sim->stealth.hiddenA, sim->stealth.hiddenB};
        EXPECT_EQ(flags, row.flags) << row.stealth << row.letter;
    }
}

TEST_F(SimParts, MoveDelayFallsAQuarterPerUpgradeAndNeverBelowOne) {
    Sim* sim = Add(kit.MakeSim(1, 1, at));
    EXPECT_EQ(sim->GetMoveDelay(), 20);
    const int expected[] = {15, 12, 9, 7, 6, 5, 4, 3, 3};
    for (int e : expected) {
        sim->AddUpgrade();
        EXPECT_EQ(sim->GetMoveDelay(), e);
    }
    sim->design->drive = nullptr;
    kit.chassis->moveValue = 1;
    EXPECT_EQ(sim->GetMoveDelay(), 1);
    // It cruises at its drive's height, and breaks off and seeks repairs at its list's levels.
    kit.drive->altitude = 14;
    Sim* flyer = Add(kit.MakeSim(1, 3, at));
    EXPECT_EQ(flyer->GetCruiseAltitude(), 14);
    EXPECT_EQ(flyer->GetMaxAltitude(), 14);
    flyer->manoeuvres->breakOffPercent = 30;
    flyer->manoeuvres->repairLevel = 2;
    EXPECT_EQ(flyer->GetBreakOffPercent(), 30);
    EXPECT_EQ(flyer->GetRepairPercent(), 2);
    // In a group it keeps the group's pace, and a group that is gone sets the fastest.
    struct Pace : TestUnit {
        using TestUnit::TestUnit;
        int GetMoveDelay() override { return 33; }
    } group(1, 90, at);
    world.Add(&group);
    Sim* member = Add(kit.MakeSim(1, 2, at));
    member->groupId = group.id;
    EXPECT_EQ(member->GetMoveDelay(), 33);
    world.Forget(&group);
    EXPECT_EQ(member->GetMoveDelay(), 1);
}

// A unit that goes leaves the group its id names; the other members stay.
TEST_F(SimParts, AUnitThatGoesLeavesItsGroup) {
    SimGroup group(SimId(1, 300));
    world.groups.push_back(&group);
    world.Add(&group);
    std::unique_ptr<Sim> first = kit.MakeSim(1, 1, at);
    std::unique_ptr<Sim> second = kit.MakeSim(1, 2, at + Point(40, 0));
    for (Sim* s : {first.get(), second.get()}) {
        world.Add(s, true);
        group.AddMember(*s, 1);
    }
    ASSERT_EQ(group.MemberCount(), 2);
    world.Forget(first.get());
    first.reset();
    EXPECT_EQ(group.MemberCount(), 1);
    EXPECT_EQ(group.MemberAt(0), second.get());
    group.RemoveMember(*second);
    world.Forget(second.get());
    world.Forget(&group);
    world.groups.clear();
}

TEST_F(SimParts, SelectionTakesOnlyWeaponsAndWraps) {
    WeaponTemplate* gun = kit.Weapon({});
    Sim* sim =
        Add(kit.MakeSim(1, 1, at, {gun, kit.Sensor('u'), nullptr, nullptr, nullptr, nullptr, gun}));
    sim->SelectPart(0);
    EXPECT_EQ(sim->SelectedPartIndex(), 0);
    sim->SelectPart(1);  // a sensor: nothing is selected
    EXPECT_EQ(sim->selectedPart, nullptr);
    sim->SelectPart(2);  // empty
    EXPECT_EQ(sim->SelectedPartIndex(), -1);
    // With nothing selected, aiming turns no part.
    const int facing = sim->GetPart(0)->facing;
    sim->AimSelectedPart(at + Point(100, 0));
    EXPECT_EQ(sim->GetPart(0)->facing, facing);
    EXPECT_NE(facing, 8);
    sim->SelectPart(6);
    EXPECT_EQ(sim->SelectedPartIndex(), 6);
    // Newest first: hardpoint 6, 1, 0, then round again.
    std::vector<int> order;
    for (int i = 0; i < 4; ++i) {
        sim->SelectNextPart();
        order.push_back(sim->selectedPart->hardpoint);
    }
    EXPECT_EQ(order, (std::vector<int>{1, 0, 6, 1}));
    int selected = 0;
    for (ListNode* n = sim->Parts().First(); n; n = sim->Parts().Next(n))
        selected += static_cast<SpriteAttachment*>(n)->selected;
    EXPECT_EQ(selected, 1);
    sim->SelectPart(0);
    sim->AimSelectedPart(at + Point(100, 0));
    EXPECT_EQ(sim->GetPart(0)->facing, 8);
}

TEST_F(SimParts, ChangeTeamMovesListsResetsAndDropsAlliedGoals) {
    WeaponTemplate* gun = kit.Weapon({});
    Sim* sim = Add(kit.MakeSim(1, 1, at, {gun}));
    Sim* ally = Add(kit.MakeSim(3, 2, at + Point(100, 0)));
    world.Ally(2, 3);
    ally->goals.PushBack(std::make_unique<TargetGoal>(ally->id, sim->id, Point(), 1, 1));
    sim->GetArmedPart(0)->SetTarget(ally->id);
    sim->skill = 800;
    sim->enabled = 0;
    sim->design->parameters[0] = 1;
    sim->OrderMove(at + Point(50, 50), 0, 0, 0, 0, 1, 0);
    sim->ChangeTeam(ValueTriple(2, 5), 0);
    EXPECT_EQ(sim->GetTeam(), 2);
    EXPECT_EQ(sim->teamRecord.third, 5);
    EXPECT_EQ(sim->collision.team, 2);
    EXPECT_EQ(sim->skill, 650);
    EXPECT_EQ(sim->enabled, 1);
    EXPECT_EQ(sim->goals.IsEmpty(), 1);
    EXPECT_EQ(ally->goals.IsEmpty(), 1);
    EXPECT_TRUE(sim->GetArmedPart(0)->GetTarget().IsNull());
    const int reset[] = {3, 99, 1, 99, 2, 1, 2, 2, 99};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(sim->design->parameters[static_cast<size_t>(i)], reset[i]);
}

// In a network game the unit belongs to the machine of its new team, and the owner tells the
// peers the new team and colour when asked to; alone, nothing is sent. Only a unit of the
// World's lists changes hands, and one that leaves the local team is no longer selected.
TEST_F(SimParts, ANetworkChangeOfOwnerMovesTheUnitsMachineAndIsAnnouncedWhenAsked) {
    struct Row {
        int network, announce, newTeam;
        bool listed;
        int local;  // afterwards
        bool told;
    };
    const Row rows[] = {
        {1, 1, 2, true, 0, true}, {1, 0, 2, true, 0, false},  {0, 1, 2, true, 1, false},
        {1, 1, 1, true, 1, true}, {1, 1, 2, false, 1, false},
    };
    world.commands.SetEnabled(1);
    int serial = 10;
    for (const Row& row : rows) {
        world.network = row.network;
        std::unique_ptr<Sim> loose = kit.MakeSim(1, ++serial, at);
        Sim* sim = row.listed ? Add(std::move(loose)) : loose.get();
        sim->local = 1;
        sim->SetSelected(1);
        world.commands.Rewind();
        sim->ChangeTeam(ValueTriple(row.newTeam, 6), row.announce);
        EXPECT_EQ(sim->local, row.local) << row.network << row.announce << row.newTeam;
        EXPECT_EQ(sim->GetTeam(), row.listed ? row.newTeam : 1);
        EXPECT_EQ(sim->selected, row.newTeam == world.LocalTeam() ? 1 : 0);
        const std::vector<uint8_t> told =
            row.told ? ExpectedCommand(37, sim->id).U8(row.newTeam).U8(6).Bytes()
                     : std::vector<uint8_t>{};
        EXPECT_EQ(Recorded(world.commands), told) << row.network << row.announce << row.newTeam;
    }
    world.network = 0;
}

}  // namespace

namespace {

TEST_F(SimParts, TheReceiversOfTheCommandStreamApplyToTheCopy) {
    WeaponTemplate* gun = kit.Weapon({});
    Sim* sim = Add(kit.MakeSim(1, 1, at, {gun, kit.Sensor('u'), gun}));
    sim->local = 0;
    const int32_t facings[3] = {-1, 17, 5};
    sim->SetPartFacings(facings, 3);
    int32_t out[8] = {};
    int count = 0;
    sim->GetPartFacings(out, 8, count);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(std::vector<int32_t>(out, out + 3), (std::vector<int32_t>{15, 1, 5}));
    sim->ApplyMoveState(at + Point(32, 0), 20, facings, 1);
    EXPECT_EQ(sim->GetPosition(), at + Point(32, 0));
    EXPECT_EQ(sim->facing, 4);
    sim->SetMoving(1);
    EXPECT_EQ(sim->IsMoving(), 1);
    sim->SetGoal(std::make_unique<TargetGoal>(sim->id, SimId(2, 3), Point(), 1, 1));
    sim->SetGoal(std::make_unique<TargetGoal>(sim->id, SimId(2, 4), Point(), 1, 1));
    int goals = 0;
    sim->goals.ForEach([&](Goal&) { ++goals; });
    EXPECT_EQ(goals, 1);
    // The acknowledgement of a shot counts on the weapon mount only.
    sim->GetArmedPart(0)->AddAcknowledgement();
    sim->GetPart(1)->AddAcknowledgement();
    EXPECT_EQ(static_cast<PartAttachment*>(sim->GetArmedPart(0))->acknowledgements, 1);
    EXPECT_EQ(static_cast<PartAttachment*>(sim->GetArmedPart(2))->acknowledgements, 0);
    // A skill credit on a mirror goes to the owner's machine.
    world.commands.SetEnabled(1);
    const int skill = sim->skill;
    sim->GainSkill(1);
    EXPECT_EQ(sim->skill, skill);
    EXPECT_EQ(CommandKinds(world.commands), std::vector<int>{22});
}

}  // namespace
