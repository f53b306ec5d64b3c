// A mount whose weapon makes no shot fires blanks: the unit's place is not noted as where the
// local player last fought, since nothing was fired there.
#include <gtest/gtest.h>

#include "objects/ObjectLand.h"
#include "objects/PartAttachment.h"
#include "objects/SimTestSupport.h"

TEST(MountBlankFire, BlanksLeaveTheLastFightingPlaceAlone) {
    ObjectLand land{30, 30};
    FakeObjectWorld& world = land.world;
    world.objectAround = 1;
    SimKit kit;
    const Point at{480, 480};
    auto add = [&](std::unique_ptr<Sim> sim) {
        Sim* raw = sim.get();
        std::unique_ptr<GameObject> owned = std::move(sim);
        world.AddSim(owned);
        world.sight.AddViewer(raw, raw->GetPosition());
        return raw;
    };
    Sim* sim = add(kit.MakeSim(1, 1, at, {kit.Weapon({.range = 300})}));
    Sim* enemy = add(kit.MakeSim(2, 2, at + Point(100, 0)));
    auto* mount = static_cast<PartAttachment*>(sim->GetPart(0));
    mount->SetTarget(enemy->id);
    mount->facing = 8;
    mount->Update(16, *sim);
    EXPECT_GT(mount->reload.current, 0);  // it did fire
    EXPECT_TRUE(world.shots.empty());
    EXPECT_EQ(world.positionNotes, 0);
}
