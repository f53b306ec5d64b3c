// Weapon mounts and fire control: turning, reach, the layers a weapon hits, the structures
// that make parts work, firing with a shot-making weapon (and waiting for the peers), focus
// fire and the per-weapon choice.
#include <tuple>

#include <gtest/gtest.h>

#include "core/SpriteSet.h"
#include "objects/CommandReader.h"
#include "objects/DefencePart.h"
#include "objects/FireControl.h"
#include "objects/ObjectLand.h"
#include "objects/PartAttachment.h"
#include "objects/SimTestSupport.h"
#include "objects/TargetGoal.h"
#include "support/FakeClock.h"
#include "ui/ScreenBase.h"

namespace {

class SimMounts : public ::testing::Test {
protected:
    SimMounts() { world.objectAround = 1; }

    Sim* Add(std::unique_ptr<Sim> sim) {
        Sim* raw = sim.get();
        std::unique_ptr<GameObject> owned = std::move(sim);
        world.AddSim(owned);
        world.sight.AddViewer(raw, raw->GetPosition());
        return raw;
    }
    PartAttachment* Mount(Sim* sim, int i) { return static_cast<PartAttachment*>(sim->GetPart(i)); }

    ObjectLand land{30, 30};
    FakeObjectWorld& world = land.world;
    SimKit kit;
    const Point at{480, 480};
};

TEST_F(SimMounts, AMountTurnsTwoFacingsAnUpdateTheShortWayAndBackToTheHull) {
    Sim* sim = Add(kit.MakeSim(1, 1, at, {kit.Weapon({})}));
    // Facing 5 from the mount point (hardpoint 0 sits on the position).
    Sim* enemy = Add(kit.MakeSim(2, 2, at + Point(38, -92)));
    PartAttachment* mount = Mount(sim, 0);
    mount->SetTarget(enemy->id);
    std::vector<int> facings;
    for (int i = 0; i < 3; ++i) {
        mount->Step(*sim);
        facings.push_back(mount->facing);
    }
    EXPECT_EQ(facings, (std::vector<int>{2, 4, 5}));
    mount->SetTarget(SimId());
    sim->facing = 3;
    mount->Step(*sim);
    EXPECT_EQ(mount->facing, 3);
    mount->selected = 1;
    mount->SetTarget(enemy->id);
    mount->Step(*sim);
    EXPECT_EQ(mount->facing, 3);
}

TEST_F(SimMounts, ReachIsRangeLessTenOrTheFootprintEdgeAndNeverWhileInactive) {
    Sim* sim = Add(kit.MakeSim(1, 1, at, {kit.Weapon({.range = 110})}));
    Sim* enemy = Add(kit.MakeSim(2, 2, at + Point(100, 0)));
    PartAttachment* mount = Mount(sim, 0);
    enemy->SetFootprint(Rect(enemy->GetPosition(), Size(1, 1)));
    EXPECT_EQ(mount->InRange(at, enemy), 1);
    EXPECT_EQ(mount->InRange(at - Point(1, 0), enemy), 0);
    enemy->SetFootprint(Rect(enemy->GetPosition() - Point(1, 10), Size(20, 20)));
    EXPECT_EQ(mount->InRange(at - Point(1, 0), enemy), 1);
    EXPECT_EQ(mount->InRange(at - Point(2, 0), enemy), 0);
    // From one pixel further back the reach ends at p: a footprint holding p on any of its edges
    // is reached, one that stops a pixel short of it is not.
    const Point p = at + Point(99, 0);
    const struct {
        Point origin;
        int reached;
    } feet[] = {{p, 1},
                {p + Point(1, 0), 0},
                {p + Point(0, 1), 0},
                {p - Point(19, 19), 1},
                {p - Point(20, 19), 0},
                {p - Point(19, 20), 0}};
    for (const auto& foot : feet) {
        enemy->SetFootprint(Rect(foot.origin, Size(20, 20)));
        EXPECT_EQ(mount->InRange(at - Point(1, 0), enemy), foot.reached)
            << foot.origin.x - p.x << "," << foot.origin.y - p.y;
    }
    mount->active = 0;
    EXPECT_EQ(mount->InRange(at, enemy), 0);
    EXPECT_EQ(sim->CanEngage(enemy), 0);
}

TEST_F(SimMounts, StructuresSwitchThePartsTheyServe) {
    Sim* sim = Add(kit.MakeSim(1, 1, at,
                               {kit.Weapon({.shotLayer = 3}), kit.Weapon({.shotLayer = 1}),
                                kit.Sensor('u'), kit.Stealth('z'), kit.Defence('b')}));
    const auto states = [&] {
        std::vector<int> out;
        for (int i = 0; i < 5; ++i)
            out.push_back(sim->GetPart(i)->active);
        return out;
    };
    sim->UpdatePartStates();
    EXPECT_EQ(states(), (std::vector<int>{0, 1, 0, 0, 0}));
    // Each code alone: 0 sensors, 1 stealth, 2 defence, 3 the high-layer weapons.
    const std::vector<int> alone[4] = {
        {0, 1, 1, 0, 0}, {0, 1, 0, 1, 0}, {0, 1, 0, 0, 1}, {1, 1, 0, 0, 0}};
    for (int code = 0; code < 4; ++code) {
        world.structures.clear();
        world.GrantStructure(1, code);
        sim->UpdatePartStates();
        EXPECT_EQ(states(), alone[code]) << code;
    }
    for (int code = 0; code < 4; ++code)
        world.GrantStructure(1, code);
    sim->UpdatePartStates();
    EXPECT_EQ(states(), (std::vector<int>{1, 1, 1, 1, 1}));
}

TEST_F(SimMounts, ASensorSpinsWithItsStructureAndPointsWithTheHullWithout) {
    FakeClock clock(1000);
    Sim* sim = Add(kit.MakeSim(1, 1, at, {kit.Sensor('u')}));
    sim->facing = 5;
    SpriteAttachment* sensor = sim->GetPart(0);
    std::vector<int> facings;
    for (const int active : {1, 1, 0, 1}) {
        sensor->active = active;
        sensor->frameTimer.Start();
        clock.Advance(SpriteAttachment::kFramePeriodMs);
        sensor->Step(*sim);
        facings.push_back(sensor->facing);
    }
    const int first = facings[0];
    EXPECT_EQ(facings, (std::vector<int>{first, (first + 1) % 16, 5, 6}));
    // Before its period is up, or while selected, it holds its frame.
    sensor->frameTimer.Start();
    sensor->Step(*sim);
    EXPECT_EQ(sensor->facing, 6);
    clock.Advance(SpriteAttachment::kFramePeriodMs);
    sensor->selected = 1;
    sensor->Step(*sim);
    EXPECT_EQ(sensor->facing, 6);
    sensor->selected = 0;
    sensor->Step(*sim);
    EXPECT_EQ(sensor->facing, 7);
}

// A picture that notes how each drawing of it was asked for.
class DrawProbe : public Image {
public:
    DrawProbe(std::vector<std::pair<char, int>>& log, int tag)
        : Image(Size(8, 8)), log(log), tag(tag) {}
    void Draw(const Point&) override { log.push_back({'p', tag}); }
    void DrawTinted(const Point&, const ShadeTable&, int32_t) override {
        log.push_back({'t', tag});
    }
    std::vector<std::pair<char, int>>& log;
    int tag;
};

// An item part is drawn at its own facing, as a ghost while its unit is hidden from its own
// team; it aims at nothing, reaches nothing and never reloads.
TEST_F(SimMounts, AnItemPartDrawsAtItsFacingOrAsAGhostAndAnswersAsNoWeapon) {
    MountTemplate* sensor = kit.Sensor('u');
    std::vector<std::pair<char, int>> drawn;
    auto pictures = std::make_unique<SpriteSet>(16);
    for (int f = 0; f < 16; ++f)
        pictures->SetFrame(std::make_unique<DrawProbe>(drawn, f), f);
    sensor->mapPictures = std::move(pictures);
    Sim* sim = Add(kit.MakeSim(1, 1, at, {sensor}));
    SpriteAttachment* part = sim->GetPart(0);
    ASSERT_NE(part, nullptr);
    part->facing = 6;
    ScreenBase view;
    part->Draw(view, at, 0);
    part->Draw(view, at, 1);
    EXPECT_EQ(drawn, (std::vector<std::pair<char, int>>{{'p', 6}, {'t', 6}}));
    EXPECT_EQ(part->GetTemplate(), nullptr);
    EXPECT_EQ(part->InRange(at, sim), 0);
    EXPECT_TRUE(part->GetTarget().IsNull());
    part->SetTarget(SimId(2, 2));
    EXPECT_TRUE(part->GetTarget().IsNull());
    EXPECT_EQ(part->GetMuzzleOffset(), Point());
    EXPECT_FALSE(part->GetReloadCounter().IsPositive());
    // A refit hands a mount another weapon: it reloads for that one's time; none, no time.
    WeaponTemplate* slow = kit.Weapon({.reload = 700});
    Sim* armed = Add(kit.MakeSim(1, 2, at, {kit.Weapon({.reload = 100})}));
    PartAttachment* mount = Mount(armed, 0);
    mount->SetTemplate(slow);
    EXPECT_EQ(mount->GetTemplate(), slow);
    EXPECT_EQ(mount->reload.max, slow->GetReloadTime());
    // The muzzle sits where the weapon record puts it for the mount's facing; a facing out of
    // range, or no weapon, puts it on the mount.
    for (int f = 0; f < 16; ++f)
        slow->muzzleOffsets[static_cast<size_t>(f)] = Point(f + 1, -f);
    mount->SetTemplate(slow);
    for (const auto& [facing, muzzle] :
         {std::pair{0, Point(1, 0)}, std::pair{15, Point(16, -15)}, std::pair{7, Point(8, -7)},
          std::pair{16, Point()}, std::pair{-1, Point()}}) {
        mount->facing = facing;
        EXPECT_EQ(mount->GetMuzzleOffset(), muzzle) << facing;
    }
    mount->facing = 7;
    mount->SetTemplate(nullptr);
    EXPECT_EQ(mount->GetMuzzleOffset(), Point());
    EXPECT_EQ(mount->GetTemplate(), nullptr);
    EXPECT_EQ(mount->reload.max, 0);
}

// A picture that notes which frame is drawn where, plain ('p') or tinted ('t').
class FrameProbe : public Image {
public:
    FrameProbe(std::vector<std::tuple<char, int, Point>>& log, int tag)
        : Image(Size(8, 8)), log(log), tag(tag) {}
    void Draw(const Point& at) override { log.push_back({'p', tag, at}); }
    void DrawTinted(const Point& at, const ShadeTable&, int32_t) override {
        log.push_back({'t', tag, at});
    }
    std::vector<std::tuple<char, int, Point>>& log;
    int tag;
};

// A struck shield plays its frame list once, a frame a period, over the object it was triggered
// for (over its own mount once that is gone), tinted by the land when its record says so; then
// it shows nothing until struck again.
TEST_F(SimMounts, AStruckShieldPlaysItsFrameListOnceOverWhatItGuards) {
    FakeClock clock(1000);
    const int32_t frames[3] = {4, 7, 2};
    MountValues values;
    values.clan = 'V';
    values.role = 'b';
    for (const int shaded : {0, 1}) {
        SCOPED_TRACE(shaded);
        DefenceItemTemplate item(values, shaded, 10, 3, frames, "");
        std::vector<std::tuple<char, int, Point>> drawn;
        auto effect = std::make_unique<SpriteSet>(8);
        for (int f = 0; f < 8; ++f)
            effect->SetFrame(std::make_unique<FrameProbe>(drawn, f), f);
        item.effectPictures = std::move(effect);
        Sim* sim = Add(kit.MakeSim(1, 10 + shaded, at));
        DefencePart shield(&item, 0);
        ScreenBase view;
        const Point mount = at + Point(3, 4);
        const char way = shaded == 1 ? 't' : 'p';
        shield.Draw(view, mount, 0);
        EXPECT_TRUE(drawn.empty());
        shield.Trigger(sim->id);
        std::vector<int> shown;
        for (int step = 0; step < 5; ++step) {
            drawn.clear();
            shield.Draw(view, mount, 0);
            if (drawn.empty()) {
                shown.push_back(-1);
            } else {
                ASSERT_EQ(drawn.size(), 1u);
                EXPECT_EQ(std::get<0>(drawn[0]), way);
                EXPECT_EQ(std::get<2>(drawn[0]), view.MapToScreen(at));
                shown.push_back(std::get<1>(drawn[0]));
            }
            // Not a whole period yet: the frame stays.
            clock.Advance(99);
            shield.Update(99, *sim);
            clock.Advance(1);
            shield.Update(1, *sim);
        }
        EXPECT_EQ(shown, (std::vector<int>{4, 7, 2, -1, -1}));
        EXPECT_EQ(shield.effectOn, 0);
        // Triggered for something that is gone, it shows over its own mount.
        shield.Trigger(SimId(2, 99));
        drawn.clear();
        shield.Draw(view, mount, 0);
        ASSERT_EQ(drawn.size(), 1u);
        EXPECT_EQ(drawn[0], std::make_tuple(way, 4, view.MapToScreen(mount)));
    }
}

TEST_F(SimMounts, AShotMakingMountFiresOnlyFacingAReachableTargetOnAHittableLayer) {
    world.commands.SetEnabled(1);
    auto* weapon =
        static_cast<StrikingWeapon*>(kit.Weapon({.range = 300, .reload = 50, .striking = true}));
    Sim* sim = Add(kit.MakeSim(1, 1, at, {weapon}));
    Sim* flyer = Add(kit.MakeSim(2, 2, at + Point(100, 0)));
    flyer->collision.layer = 2;
    PartAttachment* mount = Mount(sim, 0);
    mount->SetTarget(flyer->id);
    mount->facing = 8;
    mount->Update(16, *sim);
    EXPECT_EQ(weapon->made, 0);  // shot layer 1 does not reach the air
    flyer->collision.layer = 1;
    mount->facing = 6;
    mount->Update(16, *sim);
    EXPECT_EQ(weapon->made, 0);  // not facing it
    mount->facing = 8;
    mount->Update(16, *sim);
    ASSERT_EQ(weapon->made, 1);
    EXPECT_EQ(world.shots.size(), 1u);
    EXPECT_EQ(world.positionNotes, 1);
    const std::vector<int> kinds = CommandKinds(world.commands);
    EXPECT_NE(std::find(kinds.begin(), kinds.end(), 12), kinds.end());
    EXPECT_NE(std::find(kinds.begin(), kinds.end(), 21), kinds.end());
    // The peers hear the shooter's firing time and the shot: its record, where it starts, who
    // fired it from which mount at whom.
    CommandReader r(world.commands.Data(), world.commands.Size());
    CommandHeader h;
    int fired = 0;
    while (r.NextCommand(h)) {
        if (h.kind == 21) {
            EXPECT_EQ(h.id, sim->id);
        }
        if (h.kind == 12) {
            ++fired;
            EXPECT_EQ(h.id, world.shots.front()->id);
            EXPECT_EQ(r.ReadU8(), 'V');
            EXPECT_EQ(r.ReadU8(), 'a');
            EXPECT_EQ(r.ReadPoint(), world.shots.front()->GetPosition());
            EXPECT_EQ(r.ReadId(), sim->id);
            EXPECT_EQ(r.ReadId(), flyer->id);
            EXPECT_EQ(r.ReadU8(), 0);
        }
        r.SkipCommand();
    }
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(sim->stealth.revealCountdown, 3000);
    // Reloading: no second shot until the reload time has passed.
    mount->Update(16, *sim);
    EXPECT_EQ(weapon->made, 1);
    for (int i = 0; i < 4; ++i)
        mount->Update(16, *sim);
    EXPECT_EQ(weapon->made, 2);

    // With peers the mount waits for every other machine's acknowledgement.
    world.peer = 1;
    world.players = 3;
    for (int i = 0; i < 5; ++i)
        mount->Update(16, *sim);
    EXPECT_EQ(weapon->made, 3);
    for (int i = 0; i < 10; ++i)
        mount->Update(16, *sim);
    EXPECT_EQ(weapon->made, 3);
    mount->AddAcknowledgement();
    mount->Update(16, *sim);
    EXPECT_EQ(weapon->made, 3);
    mount->AddAcknowledgement();
    mount->Update(16, *sim);
    EXPECT_EQ(weapon->made, 4);

    // The shot strikes on its first update.
    const int before = flyer->damage.Value();
    world.shots.front()->Update(16);
    EXPECT_GT(flyer->damage.Value(), before);
}

// A mount fires on another team's object or on a wreck of its own team, never on its own team's
// units; a target that died or that its unit cannot see is dropped.
TEST_F(SimMounts, AMountSparesItsOwnTeamButNotItsWrecksAndDropsLostTargets) {
    struct WreckLike : Sim {
        using Sim::Sim;
        int GetKind() override { return 3; }
    };
    auto* weapon =
        static_cast<StrikingWeapon*>(kit.Weapon({.range = 300, .reload = 50, .striking = true}));
    struct Row {
        const char* name;
        int team;
        bool wreck;
        int fired;
        bool hidden = false;
    };
    // Hidden and with no one of the unit's side beside it, an enemy within reach is out of the
    // unit's sight: the mount lets it go unfired at.
    world.GrantStructure(2, 1);
    const Row rows[] = {{"enemy", 2, false, 1},
                        {"own unit", 1, false, 0},
                        {"own wreck", 1, true, 1},
                        {"enemy out of sight", 2, false, 0, true}};
    int serial = 10;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Sim* sim = Add(kit.MakeSim(1, serial++, at, {weapon}));
        const Point where = at + Point(100, 0);
        Sim* target =
            row.wreck
                ? Add(std::make_unique<WreckLike>(where, SimId(row.team, serial++), kit.Design()))
                : Add(kit.MakeSim(row.team, serial++, where));
        target->stealth.hidden = row.hidden ? 1 : 0;
        world.objectAround = row.hidden ? 0 : 1;
        PartAttachment* mount = Mount(sim, 0);
        mount->SetTarget(target->id);
        mount->facing = 8;
        const int before = weapon->made;
        const int notesBefore = world.positionNotes;
        mount->Update(16, *sim);
        EXPECT_EQ(weapon->made - before, row.fired);
        // A shot notes where its unit stood.
        EXPECT_EQ(world.positionNotes - notesBefore, row.fired);
        EXPECT_EQ(mount->target, row.hidden ? SimId() : target->id);
    }
    world.objectAround = 1;
    Sim* sim = Add(kit.MakeSim(1, serial++, at, {weapon}));
    Sim* enemy = Add(kit.MakeSim(2, serial++, at + Point(100, 0)));
    PartAttachment* mount = Mount(sim, 0);
    mount->SetTarget(enemy->id);
    mount->SetEngaged(1);
    enemy->Destroy();
    mount->Update(16, *sim);
    EXPECT_TRUE(mount->target.IsNull());
    EXPECT_EQ(mount->IsEngaged(), 0);
    // A computer player's mount held on a far attack target turns on the wreck, or the enemy,
    // that refused the unit's step and was named its last attacker, in either mode; not on one
    // elsewhere, nor for a target in reach, nor on one its shots do not reach the layer of; nor on
    // a friend. By row: the target's x, the obstacle in the way, its layer, the obstacle shot, its
    // team (0: a wreck).
    for (const auto& [x, blocks, layer, shot, team] : {std::tuple{500, true, 1, true, 0},
                                                       {200, true, 1, false, 0},
                                                       {500, false, 1, false, 0},
                                                       {500, true, 2, false, 0},
                                                       {500, true, 1, true, 3},
                                                       {500, false, 1, false, 3},
                                                       {200, true, 1, false, 3},
                                                       {500, true, 1, false, 1}}) {
        // A computer player's unit whose stance fires, not a player's nor a hold-fire design.
        for (const auto& [focus, computer, stance] :
             {std::tuple{0, true, 3}, {1, true, 1}, {0, false, 3}, {1, true, 2}, {0, true, 0}}) {
            EventLog controller;
            world.controllers[1] = computer ? &controller : nullptr;
            world.localTeamAutoPlayed = computer ? 1 : 0;
            Sim* unit = Add(kit.MakeSim(1, serial++, at, {weapon}));
            unit->GetDesign()->parameters[0] = stance;
            Sim* far = Add(kit.MakeSim(2, serial++, at + Point(x, 0)));
            Sim* obstacle = team == 0 ? Add(std::make_unique<WreckLike>(
                                            at + Point(40, 0), SimId(0, serial++), kit.Design()))
                                      : Add(kit.MakeSim(team, serial++, at + Point(40, 0)));
            obstacle->collision.layer = layer;
            unit->OrderAttack(far->id, 0, 0, 0, 0, 0);
            unit->SetLastAttacker(obstacle);
            if (blocks) unit->blockingSim = obstacle->id;
            FireControl::AssignWeaponTargets(*unit, focus);
            const bool ours = computer && stance != 2 && stance != 0;
            EXPECT_EQ(Mount(unit, 0)->target, shot && ours ? obstacle->id : far->id)
                << x << blocks << focus << team << computer << stance;
            world.controllers[1] = nullptr;
        }
    }
}

TEST_F(SimMounts, APlainWeaponFiresBlanksAndSendsNothing) {
    world.commands.SetEnabled(1);
    Sim* sim = Add(kit.MakeSim(1, 1, at, {kit.Weapon({.range = 300})}));
    Sim* enemy = Add(kit.MakeSim(2, 2, at + Point(100, 0)));
    PartAttachment* mount = Mount(sim, 0);
    mount->SetTarget(enemy->id);
    mount->facing = 8;
    mount->Update(16, *sim);
    EXPECT_TRUE(world.shots.empty());
    EXPECT_TRUE(CommandKinds(world.commands).empty());
    EXPECT_EQ(world.positionNotes, 0);
    EXPECT_GT(mount->reload.current, 0);
}

// The owner's machine reloads a unit's weapons; its mirrors leave them alone.
TEST_F(SimMounts, OnlyTheLocalCopyReloadsItsWeapons) {
    for (const int local : {0, 1}) {
        Sim* sim = Add(kit.MakeSim(1, 60 + local, at, {kit.Weapon({.range = 300})}));
        sim->local = local;
        Mount(sim, 0)->reload.current = 100;
        sim->UpdateParts(16);
        EXPECT_EQ(Mount(sim, 0)->reload.current, local == 1 ? 84 : 100) << local;
    }
    // Time handed to a mount between its updates counts toward the reload too.
    Sim* sim = Add(kit.MakeSim(1, 70, at, {kit.Weapon({.range = 300})}));
    PartAttachment* mount = Mount(sim, 0);
    mount->reload.current = 100;
    mount->AddElapsed(30);
    mount->Update(16, *sim);
    EXPECT_EQ(mount->GetReloadCounter().current, 54);
}

TEST_F(SimMounts, FocusFirePutsEveryFreeMountOnTheAttackTarget) {
    Sim* sim = Add(kit.MakeSim(
        1, 1, at,
        {kit.Weapon({.range = 50}), kit.Weapon({.range = 900}), kit.Weapon({.shotLayer = 0})}));
    Sim* enemy = Add(kit.MakeSim(2, 2, at + Point(400, 0)));
    Mount(sim, 2)->SetEngaged(1);
    Mount(sim, 2)->SetTarget(SimId(2, 77));
    FireControl::FocusFire(*sim);
    EXPECT_TRUE(Mount(sim, 0)->target.IsNull());  // no candidate: nothing changes
    sim->OrderAttack(enemy->id, 0, 0, 0, 0, 0);
    FireControl::AssignWeaponTargets(*sim, 1);
    EXPECT_EQ(Mount(sim, 0)->target, enemy->id);
    EXPECT_EQ(Mount(sim, 1)->target, enemy->id);
    EXPECT_EQ(Mount(sim, 2)->target, SimId(2, 77));
    // A mount that reaches its own target keeps it unless fire is focused.
    Sim* near = Add(kit.MakeSim(2, 3, at + Point(20, 0)));
    Mount(sim, 0)->SetTarget(near->id);
    FireControl::AssignWeaponTargets(*sim, 0);
    EXPECT_EQ(Mount(sim, 0)->target, near->id);
    FireControl::AssignWeaponTargets(*sim, 1);
    EXPECT_EQ(Mount(sim, 0)->target, enemy->id);
}

TEST_F(SimMounts, ALastAttackerThatIsGoneOrHiddenAloneIsDropped) {
    Sim* sim = Add(kit.MakeSim(1, 1, at));
    Sim* attacker = Add(kit.MakeSim(2, 2, at + Point(100, 0)));
    sim->lastAttacker = SimId(2, 99);
    sim->UpdatePartStates();
    EXPECT_TRUE(sim->lastAttacker.IsNull());
    attacker->stealth.hidden = 1;
    world.GrantStructure(2, 1);
    sim->lastAttacker = attacker->id;
    sim->UpdatePartStates();
    EXPECT_EQ(sim->lastAttacker, attacker->id);  // someone stands by it
    world.objectAround = 0;
    sim->UpdatePartStates();
    EXPECT_TRUE(sim->lastAttacker.IsNull());
}

TEST_F(SimMounts, PerWeaponChoiceAlternatesAndKeepsReachableTargets) {
    std::vector<MountTemplate*> guns = {kit.Weapon({.range = 900})};
    for (int i = 0; i < 5; ++i)
        guns.push_back(kit.Weapon({.range = 300}));
    Sim* sim = Add(kit.MakeSim(1, 1, at, guns));
    Sim* enemy = Add(kit.MakeSim(2, 2, at + Point(100, 0)));
    Sim* attacker = Add(kit.MakeSim(2, 3, at + Point(0, 100)));
    FireControl::PickTargetsPerWeapon(*sim);
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(Mount(sim, i)->target.IsNull());
    sim->OrderAttack(enemy->id, 0, 0, 0, 0, 0);
    sim->SetLastAttacker(attacker);
    FireControl::PickTargetsPerWeapon(*sim);
    std::vector<SimId> chosen;
    for (int i = 0; i < 6; ++i)
        chosen.push_back(Mount(sim, i)->target);
    EXPECT_EQ(chosen, (std::vector<SimId>{enemy->id, enemy->id, attacker->id, enemy->id,
                                          attacker->id, enemy->id}));
    // A mount keeps a target it still reaches.
    Mount(sim, 1)->SetTarget(attacker->id);
    FireControl::PickTargetsPerWeapon(*sim);
    EXPECT_EQ(Mount(sim, 1)->target, attacker->id);
    // An attack target beyond the short mounts' reach leaves them the last attacker.
    Sim* distant = Add(kit.MakeSim(2, 4, at + Point(500, 0)));
    sim->OrderAttack(distant->id, 0, 0, 0, 0, 0);
    sim->SetLastAttacker(attacker);
    for (int i = 0; i < 6; ++i)
        Mount(sim, i)->SetTarget(SimId());
    FireControl::PickTargetsPerWeapon(*sim);
    EXPECT_EQ(Mount(sim, 0)->target, distant->id);
    for (int i = 1; i < 6; ++i)
        EXPECT_EQ(Mount(sim, i)->target, attacker->id) << i;
    // Either alone is enough: a unit that is only attacked turns its mounts on the attacker,
    // one that is only ordered to attack on the target.
    Sim* attacked = Add(kit.MakeSim(1, 5, at + Point(-100, 0), {kit.Weapon({.range = 300})}));
    attacked->SetLastAttacker(attacker);
    FireControl::PickTargetsPerWeapon(*attacked);
    EXPECT_EQ(Mount(attacked, 0)->target, attacker->id);
    Sim* ordered = Add(kit.MakeSim(1, 6, at + Point(-100, 0),
                                   {kit.Weapon({.range = 900}), kit.Weapon({.range = 300})}));
    ordered->OrderAttack(enemy->id, 0, 0, 0, 0, 0);
    FireControl::PickTargetsPerWeapon(*ordered);
    EXPECT_EQ(Mount(ordered, 0)->target, enemy->id);
    EXPECT_EQ(Mount(ordered, 1)->target, enemy->id);
    // Out of reach of all, a mount keeps the target it has rather than take another it cannot
    // reach either.
    Sim* keeper =
        Add(kit.MakeSim(1, 20, at, {kit.Weapon({.range = 900}), kit.Weapon({.range = 300})}));
    Sim* far = Add(kit.MakeSim(2, 21, at + Point(0, 500)));
    keeper->OrderAttack(distant->id, 0, 0, 0, 0, 0);
    Mount(keeper, 1)->SetTarget(far->id);
    FireControl::PickTargetsPerWeapon(*keeper);
    EXPECT_EQ(Mount(keeper, 0)->target, distant->id);
    EXPECT_EQ(Mount(keeper, 1)->target, far->id);
    // A mount takes the attack target only on a layer its shots reach, else the attacker.
    Sim* flyer = Add(kit.MakeSim(2, 7, at + Point(100, 0)));
    flyer->collision.layer = 2;
    for (const int shotLayer : {1, 2}) {
        Sim* gunner = Add(kit.MakeSim(1, 8 + shotLayer, at,
                                      {kit.Weapon({.range = 900, .shotLayer = 3}),
                                       kit.Weapon({.range = 300, .shotLayer = shotLayer})}));
        gunner->OrderAttack(flyer->id, 0, 0, 0, 0, 0);
        gunner->SetLastAttacker(attacker);
        FireControl::PickTargetsPerWeapon(*gunner);
        EXPECT_EQ(Mount(gunner, 0)->target, flyer->id) << shotLayer;
        EXPECT_EQ(Mount(gunner, 1)->target, shotLayer == 2 ? flyer->id : attacker->id) << shotLayer;
    }
}

}  // namespace
