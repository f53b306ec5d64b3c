// Units from designs: the class table with fake makers, the plain unit without a maker, the
// design's hand-over and a refused spawn.
#include <gtest/gtest.h>

#include "objects/ObjectLand.h"
#include "objects/SimFactory.h"
#include "objects/SimTestSupport.h"

namespace {

class DeployableChassis : public ChassisTemplate {
public:
    using ChassisTemplate::ChassisTemplate;
    int IsDeployable() const override { return 1; }
};

ChassisValues Values(char role) {
    ChassisValues c;
    c.clan = 'V';
    c.role = role;
    c.strength = 50;
    return c;
}

TEST(SimFactory, TheClassTableDecidesInOrderAndEveryMadeUnitOwnsItsDesign) {
    ObjectLand land{10, 10};
    FakeObjectWorld& world = land.world;
    std::vector<SimClass> made;
    for (int k = 1; k < UnitMakers::kSimClasses; ++k) {
        world.makers.simMakers[k] = [&made, k](const Point& p, const SimId& id,
                                               std::unique_ptr<VehicleDesign>& design,
                                               PictureTemplate*) {
            made.push_back(static_cast<SimClass>(k));
            return std::make_unique<Sim>(p, id, std::move(design));
        };
    }
    PartTemplate ground('V', 'W', 1, 1, 0, 100, 1);
    PartTemplate air('V', 'A', 1, 2, 12, 100, 1);
    struct Row {
        char chassis;
        bool deployable;
        PartTemplate* drive;
        SimClass expected;
    };
    const std::vector<Row> rows = {
        {'g', false, &air, SimClass::Carrier},    {'t', true, &ground, SimClass::Deploying},
        {'t', false, &ground, SimClass::Capture}, {'t', false, &air, SimClass::Capture},
        {'h', false, &air, SimClass::Aircraft},   {'h', false, &ground, SimClass::Scavenger},
        {'f', false, &ground, SimClass::Miner},   {'k', false, &ground, SimClass::Repair},
        {'k', false, nullptr, SimClass::Repair},  {'a', false, &air, SimClass::Aircraft},
        {'a', false, &ground, SimClass::Plain},
    };
    int serial = 1;
    for (const Row& row : rows) {
        std::unique_ptr<ChassisTemplate> chassis =
            row.deployable ? std::make_unique<DeployableChassis>(Values(row.chassis))
                           : std::make_unique<ChassisTemplate>(Values(row.chassis));
        auto design = std::make_unique<VehicleDesign>('V');
        design->chassis = chassis.get();
        design->drive = row.drive;
        design->noCharge = 1;
        made.clear();
        std::unique_ptr<Sim> sim = CreateSim(design, SimId(1, serial++), Point(64, 64));
        ASSERT_TRUE(sim) << row.chassis;
        EXPECT_EQ(design, nullptr);
        EXPECT_EQ(sim->GetDesign()->noCharge, 0);
        const std::vector<SimClass> expected = row.expected == SimClass::Plain
                                                   ? std::vector<SimClass>{}
                                                   : std::vector<SimClass>{row.expected};
        EXPECT_EQ(made, expected) << row.chassis;
        sim->ReleaseDesign().reset();
    }

    // Without a maker the class is a plain unit; without a chassis there is none.
    world.makers.simMakers[static_cast<int>(SimClass::Miner)] = nullptr;
    ChassisTemplate miner(Values('f'));
    auto design = std::make_unique<VehicleDesign>('V');
    design->chassis = &miner;
    EXPECT_TRUE(CreateSim(design, SimId(1, 50), Point(64, 64)));
    auto bare = std::make_unique<VehicleDesign>('V');
    EXPECT_EQ(CreateSim(bare, SimId(1, 51), Point(64, 64)), nullptr);
    EXPECT_NE(bare, nullptr);

    // A maker's unit is the one made, even when the maker left the design with the caller; a
    // maker that makes nothing leaves a plain unit that takes the design.
    Sim* madeByMaker = nullptr;
    world.makers.simMakers[static_cast<int>(SimClass::Miner)] =
        [&madeByMaker](const Point& p, const SimId& id, std::unique_ptr<VehicleDesign>& d,
                       PictureTemplate*) -> std::unique_ptr<Sim> {
        if (d->noCharge == 2) return nullptr;
        auto copy = std::make_unique<VehicleDesign>('V');
        copy->chassis = d->chassis;
        auto own = std::make_unique<Sim>(p, id, std::move(copy));
        madeByMaker = own.get();
        return own;
    };
    auto kept = std::make_unique<VehicleDesign>('V');
    kept->chassis = &miner;
    std::unique_ptr<Sim> sim = CreateSim(kept, SimId(1, 52), Point(64, 64));
    ASSERT_NE(sim, nullptr);
    EXPECT_EQ(sim.get(), madeByMaker);
    EXPECT_NE(kept, nullptr);
    kept->noCharge = 2;
    VehicleDesign* handed = kept.get();
    sim = CreateSim(kept, SimId(1, 53), Point(64, 64));
    ASSERT_NE(sim, nullptr);
    EXPECT_EQ(sim->GetDesign(), handed);
    EXPECT_EQ(kept, nullptr);
}

TEST(SimFactory, ARefusedSpawnHandsTheDesignBack) {
    ObjectLand land{10, 10};
    SimKit kit;
    std::unique_ptr<VehicleDesign> design = kit.Design();
    VehicleDesign* raw = design.get();
    land.world.acceptSims = 0;
    EXPECT_EQ(SpawnSim(design, SimId(1, 1), Point(64, 64), 0), nullptr);
    EXPECT_EQ(design.get(), raw);
    land.world.acceptSims = 1;
    Sim* sim = SpawnSim(design, SimId(1, 2), Point(64, 64), 0);
    ASSERT_NE(sim, nullptr);
    EXPECT_EQ(sim->local, 0);
    EXPECT_EQ(land.world.FindSim(SimId(1, 2)), sim);
    EXPECT_EQ(design, nullptr);
}

}  // namespace
