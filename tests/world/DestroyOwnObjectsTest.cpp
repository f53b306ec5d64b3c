// The script's `destroy TEAM`: the team's objects this machine owns take the killing damage,
// invulnerable ones too; mirrors and other teams are left alone.
#include <gtest/gtest.h>

#include <memory>
#include <tuple>
#include <vector>

#include "core/Settings.h"
#include "platform/ScriptHooks.h"
#include "world/RegistryTestFixture.h"
#include "world/TeamController.h"

namespace {

class Doomed : public TestObject {
public:
    using TestObject::TestObject;
    void TakeDamage(WeaponTemplate*, const SimId&, EffectTemplate*, int amount) override {
        damage.push_back(amount);
        GameObject::damage.Add(amount);
        destroyed = amount == 0 ? 1 : destroyed;
    }
    void ToggleInvulnerable() override { invulnerable = invulnerable ? 0 : 1; }
    int IsInvulnerable() override { return invulnerable; }
    std::vector<int> damage;
};

TEST(DestroyOwnObjects, OnlyTheTeamsOwnCopiesTakeTheKillingDamage) {
    WorldOnLand land{OpenLand(16, 12)};
    World& world = land.world;
    Doomed* made[5] = {};
    const struct {
        int team, local, invulnerable;
    } objects[5] = {{2, 1, 1}, {2, 0, 0}, {3, 1, 0}, {2, 1, 0}, {0, 1, 0}};
    for (int i = 0; i < 5; ++i) {
        auto object =
            std::make_unique<Doomed>(objects[i].team, 10 + i, land.Centre(2 + i * 2, 3), 4, 24);
        object->local = objects[i].local;
        object->invulnerable = objects[i].invulnerable;
        made[i] = object.get();
        world.AddBuilding(std::move(object));
    }
    // Team 0 too: the neutral objects this machine made.
    winx_RequestDestroy(2);
    winx_RequestDestroy(0);
    world.Tick(1000);
    for (int i = 0; i < 5; ++i) {
        const bool hit = objects[i].team != 3 && objects[i].local == 1;
        EXPECT_EQ(made[i]->damage, hit ? std::vector<int>{0} : std::vector<int>{}) << i;
    }
    EXPECT_EQ(made[0]->invulnerable, 0);
    EXPECT_EQ(winx_TakeDestroyRequest(), -1);
}

}  // namespace

// The script's `spare TEAM`: the team's factory becomes invulnerable if this machine owns it,
// and stays so when it already was; a copy is left alone. `wound TEAM` lifts that and keeps
// the factory one hit from its end; a `destroy` still ends it.
TEST(DestroyOwnObjects, ASparedFactoryIsInvulnerableUntilTheScriptWoundsOrDestroysIt) {
    const struct {
        int team, local, invulnerable, spared, damaged;
    } factories[4] = {{2, 1, 0, 1, 30}, {3, 0, 0, 0, 30}, {4, 1, 1, 1, 100}, {1, 0, 1, 1, 30}};
    for (const auto& f : factories) {
        WorldOnLand land{OpenLand(16, 12)};
        World& world = land.world;
        auto object = std::make_unique<Doomed>(f.team, 10, land.Centre(4, 3), 4, 24);
        object->local = f.local;
        object->invulnerable = f.invulnerable;
        object->GameObject::damage.SetValue(f.damaged);
        Doomed* factory = object.get();
        world.AddBuilding(std::move(object));
        winx_RequestSpare(f.team);
        world.Tick(1000);
        EXPECT_EQ(factory->invulnerable, f.spared) << f.team;
        EXPECT_EQ(winx_TakeSpareRequest(), -1);
        winx_RequestWound(f.team);
        world.Tick(1008);
        const int left = f.local ? 0 : f.invulnerable;
        EXPECT_EQ(factory->invulnerable, left) << f.team;
        // At its maximum already, the factory stands one hit from its end.
        std::vector<int> dealt;
        if (f.local && f.damaged < 100) dealt.push_back(100 - f.damaged);
        EXPECT_EQ(factory->damage, dealt) << f.team;
        EXPECT_EQ(winx_TakeWoundRequest(), -1);
        // A repairer's mending is undone at the next tick.
        factory->GameObject::damage.SetValue(40);
        world.Tick(1012);
        if (f.local) dealt.push_back(60);
        winx_RequestDestroy(f.team, winx_DestroyScope::Factory);
        world.Tick(1016);
        EXPECT_EQ(factory->invulnerable, left) << f.team;
        if (f.local) dealt.push_back(0);
        EXPECT_EQ(factory->damage, dealt) << f.team;
    }
}

// `spare` does what the cheat key does, so a network game needs the CHEAT setting for it, as
// for the key; a game alone does not.
TEST(DestroyOwnObjects, ASpareInANetworkGameNeedsTheCheatSetting) {
    const struct { int network, cheats, spared; } games[] = {{1, 0, 0}, {1, 1, 1}, {0, 0, 1}};
    const int32_t cheats = cheatsOn;
    for (const auto& g : games) {
        WorldOnLand land{OpenLand(16, 12)};
        World& world = land.world;
        auto object = std::make_unique<Doomed>(2, 10, land.Centre(4, 3), 4, 24);
        object->local = 1;
        Doomed* factory = object.get();
        world.AddBuilding(std::move(object));
        world.networkGame = g.network;
        cheatsOn = g.cheats;
        world.SpareOwnFactory(2);
        EXPECT_EQ(factory->invulnerable, g.spared) << g.network << g.cheats;
        world.networkGame = 0;
    }
    cheatsOn = cheats;
}

// The script's `attack TEAM`: the local team's computer player sends its units against that
// team's factory; a line naming the local team, or one out of a battle, asks nothing. In a
// battle the script is told each team's units standing and whether its factory stands; once
// out of it, a factory seen standing has fallen.
TEST(DestroyOwnObjects, AnAttackLineGoesToTheLocalComputerPlayerAndTheTeamsAreTold) {
    struct Attacker : TeamController {
        void Update(Timer&) override {}
        void SendAllAgainst(int team) override { asked.push_back(team); }
        std::vector<int> asked;
    };
    WorldOnLand land{OpenLand(16, 12)};
    World& world = land.world;
    auto controller = std::make_unique<Attacker>();
    Attacker* attacker = controller.get();
    world.controllers[1] = std::move(controller);
    world.localPlayer = ValueTriple(1);
    for (int serial : {10, 11, 12, 13}) {
        std::unique_ptr<GameObject> unit = std::make_unique<TestObject>(
            1, serial, land.Centre(2 + serial - 10, 5), serial == 13 ? 4 : 1);
        static_cast<TestObject*>(unit.get())->destroyed = serial == 12;
        world.AddSim(unit);
    }
    world.AddBuilding(std::make_unique<TestObject>(3, 10, land.Centre(8, 8), 4, 24));
    winx_RequestAttack(4);
    world.Tick(1000);
    world.inGame = 1;
    for (int team : {3, 1, 4})
        winx_RequestAttack(team);
    world.Tick(1016);
    EXPECT_EQ(std::tuple(winx_ScriptTeamUnits(1), winx_ScriptFactoryFell(3)), std::tuple(2, false));
    world.inGame = 0;
    world.Tick(1032);
    EXPECT_EQ(std::tuple(winx_ScriptTeamUnits(1), winx_ScriptFactoryFell(3)), std::tuple(0, true));
    EXPECT_EQ(attacker->asked, (std::vector<int>{3, 4}));
    EXPECT_EQ(winx_TakeAttackRequest(), -1);
}
