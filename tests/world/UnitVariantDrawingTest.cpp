// The special units of the sample set drawn in a World at the three zooms: a relay in the
// middle of its deploy, an aircraft in the air with its shadow and fuel meter, a carrier
// letting a unit out under its overlay, and a captured unit flashing. Each is checked on the
// page and kept as a capture when QX_CAPTURE is set.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "catalogue/VehicleDesign.h"
#include "core/Image.h"
#include "map/PathGrid.h"
#include "map/TerrainMap.h"
#include "objects/AircraftSim.h"
#include "objects/CaptureSim.h"
#include "objects/CarrierSim.h"
#include "objects/DeployingSim.h"
#include "objects/SimFactory.h"
#include "platform/Capture.h"
#include "support/FakeClock.h"
#include "ui/ScreenBase.h"
#include "world/RegistryTestFixture.h"
#include "world/SampleDesignsFixture.h"

namespace {

using namespace sample_world;

class UnitVariantDrawing : public SampleDesignsTest {
protected:
    template <class Unit>
    Unit* Spawn(const char* name, int team, const Point& at) {
        std::unique_ptr<VehicleDesign> design = Design(name);
        Unit* unit =
            design ? dynamic_cast<Unit*>(SpawnSim(design, SimId(team, serial++), at, 1)) : nullptr;
        EXPECT_NE(unit, nullptr) << name;
        return unit;
    }

    int serial = 1;
};

TEST_F(UnitVariantDrawing, StructuresFlyersCarriersAndCapturesDrawAtEveryZoom) {
    FakeClock clock(1000);
    WorldOnLand land(OpenLand(48, 40));
    World& world = land.world;
    world.techLevelT = world.techLevelV = 8;
    land.records.scriptedTeam = 1;
    land.records.scriptedCode = 4;
    const Point middle = world.pathGrid->CellCenter(20, 24);

    auto* relay = Spawn<DeployingSim>("Detection Relay", 1, middle + Point(-160, -96));
    auto* plane = Spawn<AircraftSim>("Gunship", 1, middle + Point(160, -96));
    auto* carrier = Spawn<CarrierSim>("Carrier", 1, middle + Point(-96, 128));
    Sim* cargo = Spawn<Sim>("Trooper", 1, middle + Point(-96, 200));
    auto* capture = Spawn<CaptureSim>("Converter", 2, middle + Point(160, 128));
    Sim* target = Spawn<Sim>("Scout Radar", 1, middle + Point(160, 160));
    ASSERT_TRUE(relay && plane && carrier && cargo && capture && target);
    world.ReserveSerial(serial);

    relay->facing = DeployingSim::kWorkingFacing;
    relay->DeployNow();
    clock.Advance(60);
    relay->Update(60);
    ASSERT_EQ(relay->DeployState(), DeployingSim::kDeploying);
    ASSERT_EQ(relay->deployFrame, 1);
    plane->Parse('h', "Y");
    plane->selected = 1;
    plane->fuel = plane->fuelCapacity / 3;
    // Letting the unit out: the overlay over the unit at the carrier's centre.
    carrier->carrierState = CarrierSim::kLettingOut;
    carrier->sequence = 2;
    carrier->overlayFrame = 1;
    carrier->carried = cargo->id;
    carrier->released = 1;
    world.RemoveFromGrids(cargo, cargo->GetCentre(), cargo->GetRadius());
    cargo->onMap = 0;
    cargo->gridFlag = 0;
    cargo->SetPosition(carrier->GetPosition());
    // The mission grants team 2 its capture structure only for this.
    land.records.scriptedTeam = 2;
    land.records.scriptedCode = 5;
    capture->TakeOver(target);
    ASSERT_EQ(target->teamRecord.second, 2);
    land.records.scriptedTeam = 1;
    land.records.scriptedCode = 4;

    TerrainMap& terrain = *world.terrain;
    terrain.SetRevealAll(1);
    terrain.InstallPalette();
    terrain.SetView(Rect(Point(0, 0), Size(kViewWidth, kViewHeight)));
    MapView view;
    const std::vector<Sim*> drawn = {relay, plane, carrier, target};
    const char* names[3] = {"special-1to1", "special-1to2", "special-1to4"};
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
        // Shadows and marks first, each checked on a page of its own layer.
        plane->DrawUnder(view);
        const std::vector<uint8_t> under(land.screen.BackPage(),
                                         land.screen.BackPage() + kPitch * 480);
        for (Sim* sim : drawn)
            sim->Draw(view);
        ImageZoom = 0;
        land.screen.ResetClipRect();
        const uint8_t* page = land.screen.BackPage();
        auto inked = [&](const uint8_t* now, const Point& mapPoint, int half) {
            const Point c = view.MapToScreen(mapPoint);
            const int h = std::max(2, half >> zoom);
            int n = 0;
            for (int y = c.y - h; y <= c.y + h; ++y) {
                for (int x = c.x - h; x <= c.x + h; ++x) {
                    if (x >= 0 && y >= 0 && x < kViewWidth && y < kViewHeight)
                        n += now[y * kPitch + x] != ground[static_cast<size_t>(y * kPitch + x)];
                }
            }
            return n;
        };
        for (Sim* sim : drawn)
            EXPECT_GT(inked(page, sim->GetDrawOrigin(), 16), 0) << sim->GetDesign()->name;
        // The flyer's shadow falls (altitude, altitude) from its picture; its fuel meter hangs
        // below its bounds.
        const Point drop(plane->altitude, plane->altitude);
        EXPECT_GT(inked(under.data(), plane->GetDrawOrigin() + drop, 8), 0);
        const Point meter = plane->GetBounds().origin + plane->GetDrawOrigin() -
                            plane->GetPosition() + Point(0, AircraftSim::kFuelMeterDrop);
        EXPECT_GT(inked(under.data(), meter, 6), 0);
        winx_RequestCapture(names[zoom]);
        land.screen.Present();
    }
    // The capture flash blinks out.
    EXPECT_GT(target->flashCount, 0);
}

}  // namespace
