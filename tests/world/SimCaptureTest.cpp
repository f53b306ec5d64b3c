// Units of the sample set in a real World, drawn at the three zooms: two forces with their
// turrets on their targets, a smoking unit, a selected unit with its marker and bar, a miner's
// cargo meter and a wreck. Each is checked on the page and kept as a capture when QX_CAPTURE is
// set.
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "catalogue/VehicleDesign.h"
#include "core/Image.h"
#include "core/Vector.h"
#include "map/PathGrid.h"
#include "map/TerrainMap.h"
#include "objects/PartAttachment.h"
#include "objects/Sim.h"
#include "objects/SimFactory.h"
#include "platform/Capture.h"
#include "support/FakeClock.h"
#include "ui/ScreenBase.h"
#include "world/ObjectNode.h"
#include "world/RegistryTestFixture.h"
#include "world/SampleDesignsFixture.h"

namespace {

using namespace sample_world;

class SimCapture : public SampleDesignsTest {};

TEST_F(SimCapture, TwoForcesASmokerASelectedUnitAMinerAndAWreckDrawAtEveryZoom) {
    FakeClock clock(1000);
    std::mt19937 random(5);
    WorldOnLand land(OpenLand(48, 40));
    World& world = land.world;
    world.techLevelT = world.techLevelV = 8;
    const Point middle = world.pathGrid->CellCenter(20, 24);
    struct Placed {
        const char* design;
        int team;
        Point offset;
    };
    const std::vector<Placed> placed = {
        {"Trooper", 1, {-128, -64}}, {"Warden", 1, {-128, 32}},  {"Assault Hover", 1, {-128, 128}},
        {"Lancer", 2, {128, -64}},   {"Warder", 2, {128, 32}},   {"Skiff Infrared", 2, {128, 128}},
        {"Miner", 1, {-32, -160}},   {"Trooper", 2, {64, -160}},
    };
    std::vector<Sim*> sims;
    int serial = 1;
    for (const Placed& p : placed) {
        std::unique_ptr<VehicleDesign> design = Design(p.design);
        ASSERT_TRUE(design);
        Sim* sim = SpawnSim(design, SimId(p.team, serial++), middle + p.offset, 1);
        ASSERT_NE(sim, nullptr) << p.design;
        sims.push_back(sim);
    }
    world.ReserveSerial(serial);
    // Each unit of a force attacks the one across from it; the selected one stands apart.
    for (int i = 0; i < 3; ++i) {
        sims[static_cast<size_t>(i)]->IssueOrder(Sim::kOrderAttack, 0, Point(),
                                                 sims[static_cast<size_t>(i + 3)]->id);
        sims[static_cast<size_t>(i + 3)]->IssueOrder(Sim::kOrderAttack, 0, Point(),
                                                     sims[static_cast<size_t>(i)]->id);
    }
    Sim* smoker = sims[1];
    smoker->damage.SetValue(smoker->damage.Max() * 6 / 10);
    Sim* chosen = sims[4];
    chosen->selected = 1;
    Sim* miner = sims[6];
    miner->AddCargo(200);
    // The last unit dies and leaves its wreck.
    const Point wreckAt = sims[7]->GetPosition();
    sims[7]->TakeDamage(nullptr, SimId(), nullptr, 0);
    sims.pop_back();
    for (int t = 0; t < 120; ++t) {
        clock.Advance(16);
        world.pathSearchesThisTick = 0;
        world.UpdateObjects(16);
    }
    ASSERT_EQ(world.wrecks.Count(), 1);
    GameObject* wreck = static_cast<ObjectNode*>(world.wrecks.First())->Object();
    EXPECT_EQ(wreck->GetPosition(), wreckAt);
    // The turrets point at their targets.
    for (int i = 0; i < 6; ++i) {
        Sim* sim = sims[static_cast<size_t>(i)];
        for (int h = 0; h < sim->partCount; ++h) {
            auto* mount = dynamic_cast<PartAttachment*>(sim->GetArmedPart(h));
            if (!mount || mount->target.IsNull()) continue;
            GameObject* target = world.FindObject(mount->target);
            ASSERT_NE(target, nullptr);
            const Point from = sim->GetPosition() + sim->GetMountOffset(h);
            EXPECT_EQ(mount->facing,
                      GameObject::FacingFromAngle(Vector(target->GetCentre() - from).angle))
                << sim->GetDesign()->name << " hardpoint " << h;
        }
    }
    EXPECT_EQ(smoker->smokePoint.x, smoker->GetPosition().x);

    TerrainMap& terrain = *world.terrain;
    terrain.SetRevealAll(1);
    terrain.InstallPalette();
    terrain.SetView(Rect(Point(0, 0), Size(kViewWidth, kViewHeight)));
    MapView view;
    const char* names[3] = {"units-1to1", "units-1to2", "units-1to4"};
    for (int zoom = 0; zoom <= 2; ++zoom) {
        SCOPED_TRACE(names[zoom]);
        view.zoom = zoom;
        view.origin = middle - Point((kViewWidth << zoom) / 2, (kViewHeight << zoom) / 2);
        view.origin = Point(view.origin.x & ~3, view.origin.y & ~3);
        std::memset(land.screen.BackPage(), 0, kPitch * 480);
        land.screen.SetClipRect(Rect(Point(0, 0), Size(kViewWidth, kViewHeight)));
        if (zoom == 0) terrain.DrawViewZoom0(view.origin);
        if (zoom == 1) terrain.DrawViewZoom1(view.origin);
        if (zoom == 2) terrain.DrawViewZoom2(view.origin);
        const std::vector<uint8_t> ground(land.screen.BackPage(),
                                          land.screen.BackPage() + kPitch * 480);
        ImageZoom = zoom;
        wreck->Draw(view);
        for (Sim* sim : sims)
            sim->DrawUnder(view);
        for (Sim* sim : sims)
            sim->Draw(view);
        ImageZoom = 0;
        land.screen.ResetClipRect();
        const uint8_t* page = land.screen.BackPage();
        // Something is drawn round every unit and the wreck.
        auto inked = [&](const Point& mapPoint, int half) {
            const Point c = view.MapToScreen(mapPoint);
            const int h = std::max(2, half >> zoom);
            int n = 0;
            for (int y = c.y - h; y <= c.y + h; ++y) {
                for (int x = c.x - h; x <= c.x + h; ++x) {
                    if (x >= 0 && y >= 0 && x < kViewWidth && y < kViewHeight)
                        n += page[y * kPitch + x] != ground[static_cast<size_t>(y * kPitch + x)];
                }
            }
            return n;
        };
        for (Sim* sim : sims)
            EXPECT_GT(inked(sim->GetPosition(), 16), 0) << sim->GetDesign()->name;
        EXPECT_GT(inked(wreck->GetPosition(), 16), 0);
        // The smoke is a ghost over the ground: at 1:4 it may shade nothing visibly.
        if (zoom < 2) {
            EXPECT_GT(inked(smoker->smokePoint, 8), 0);
        }
        // The selected unit's marker corners in its normal colour, at 1:1 a bracket of 15.
        if (zoom == 0) {
            const Size extent = chosen->GetSize();
            const Point c = view.MapToScreen(chosen->GetPosition());
            const Rect box(c, extent, 'c');
            EXPECT_EQ(page[box.BottomRight().y * kPitch + box.origin.x], 100);
            EXPECT_EQ(page[box.BottomRight().y * kPitch + box.BottomRight().x], 100);
        }
        winx_RequestCapture(names[zoom]);
        land.screen.Present();
    }
}

}  // namespace
