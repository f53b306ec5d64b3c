// Orders to real units in a network game: each unit the ring spread orders sends one goal
// command with its own ring point to the peers.
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/CatalogueServices.h"
#include "catalogue/DesignLibrary.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/VehicleDesign.h"
#include "core/StringTable.h"
#include "objects/CommandBuffer.h"
#include "objects/CommandReader.h"
#include "objects/Sim.h"
#include "objects/SimFactory.h"
#include "screens/battle/BattleScreenFixture.h"
#include "support/TopLevels.h"

TEST_F(BattleScreenTest, ANetworkMoveSendsOneGoalPerUnitWithItsRingPoint) {
    ASSERT_EQ(LoadStringTable("7a1.str"), 1);
    ASSERT_EQ(LoadTemplateCatalogue("7a.pts"), 1);
    std::unique_ptr<VehicleDesign> trooper;
    {
        TopLevels levels;
        SetCatalogueServices(&levels);
        DesignLibrary library;
        ASSERT_EQ(library.Load("Vs.vdf"), 1);
        for (ListNode* n = library.designs.First(); n; n = library.designs.Next(n)) {
            auto* d = static_cast<VehicleDesign*>(n);
            if (std::string(d->name) != "Trooper") continue;
            trooper = std::make_unique<VehicleDesign>('V');
            trooper->CopyFrom(*d);
        }
        SetCatalogueServices(nullptr);
    }
    ASSERT_TRUE(trooper);
    World& w = world();
    w.techLevelT = w.techLevelV = 8;
    screen->CentreOn(Point(3200, 3200));
    const Point click(256, 240);
    const Point p = screen->ScreenToMap(click);
    std::vector<Sim*> sims;
    for (int i = 0; i < 3; ++i) {
        auto design = std::make_unique<VehicleDesign>('V');
        design->CopyFrom(*trooper);
        Sim* sim = SpawnSim(design, SimId(1, 40 + i), Point(p.x + 800 + 96 * i, p.y + 64), 1);
        ASSERT_NE(sim, nullptr);
        sim->selected = 1;
        sims.push_back(sim);
    }
    w.ReserveSerial(60);
    w.StartRecording();
    w.Commands().Rewind();
    w.Commands().BeginRecording();
    Click(click);
    // One goal command per unit, a location at its ring point: 0, 64 and 128 from the click,
    // nearest first.
    CommandReader reader(w.Commands().Data(), w.Commands().Size());
    CommandHeader header;
    std::vector<SimId> ids;
    std::vector<double> radii;
    while (reader.NextCommand(header)) {
        if (header.kind == static_cast<int>(CommandKind::Goal)) {
            ASSERT_EQ(reader.ReadI16(), 1);
            const Point at = reader.ReadPoint();
            ids.push_back(header.id);
            radii.push_back(std::hypot(at.x - p.x, at.y - p.y));
        }
        reader.SkipCommand();
    }
    ASSERT_EQ(ids.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ids[static_cast<size_t>(i)], sims[static_cast<size_t>(i)]->id);
        EXPECT_NEAR(radii[static_cast<size_t>(i)], 64.0 * i, 1.0);
    }
    RemoveObjects();
    ClearTemplateCatalogue();
}
