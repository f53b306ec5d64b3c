// Every design of the sample set builds a unit whose body, parts, smoke and death effect find
// their pictures, on the layers the units need: ground drives on layer 1 and no weapon that
// cannot fire at a unit.
#include <gtest/gtest.h>

#include "catalogue/CarrierChassisTemplate.h"
#include "catalogue/CatalogueServices.h"
#include "catalogue/ChassisTemplate.h"
#include "catalogue/DeployingChassisTemplate.h"
#include "catalogue/EffectTemplate.h"
#include "catalogue/PartTemplate.h"
#include "catalogue/PictureTemplates.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/VehicleDesign.h"
#include "catalogue/WeaponTemplate.h"
#include "core/SpriteSet.h"
#include "objects/Sim.h"
#include "objects/SimBody.h"
#include "objects/SimFactory.h"
#include "objects/SpriteAttachment.h"
#include "support/FakeObjectWorld.h"
#include "world/SampleDesignsFixture.h"

namespace {

// Every frame index 0 .. last of the set resolves to a picture.
bool AllFrames(Image* set, int expectedLast) {
    if (!set || set->LastFrameIndex() != expectedLast) return false;
    for (int i = 0; i <= expectedLast; ++i) {
        if (!set->SubImage(i)) return false;
    }
    return true;
}

// The catalogue's services stay installed while units are built.
class SimSampleDesigns : public sample_world::SampleDesignsTest {
protected:
    void SetUp() override {
        SampleDesignsTest::SetUp();
        SetCatalogueServices(&levels);
    }
    void TearDown() override {
        SetCatalogueServices(nullptr);
        SampleDesignsTest::TearDown();
    }

    TopLevels levels;
    FakeObjectWorld world{20, 20};
};

TEST_F(SimSampleDesigns, EveryDesignBuildsAUnitWhosePicturesAreFound) {
    RoleTemplate* smoke = FindRoleTemplate('X', 'x');
    ASSERT_TRUE(smoke && smoke->pictures);
    EXPECT_TRUE(AllFrames(smoke->pictures.get(), 1));
    EXPECT_TRUE(AllFrames(smoke->pictures->SubImage(0), 7));
    EXPECT_TRUE(AllFrames(smoke->pictures->SubImage(1), 7));
    int built = 0;
    int serial = 1;
    for (const auto& sample : designs) {
        auto design = std::make_unique<VehicleDesign>(sample->clan);
        design->CopyFrom(*sample);
        const std::string code = design->CodeString();
        ASSERT_TRUE(design->drive && design->chassis) << code;
        // Relays, flyers and carriers bring their own drive and draw themselves.
        const SimClass kind = ClassForDesign(*design);
        const bool ownDrive =
            kind == SimClass::Deploying || kind == SimClass::Aircraft || kind == SimClass::Carrier;
        std::unique_ptr<Sim> sim = CreateSim(design, SimId(1, serial++), Point(320, 320));
        ASSERT_TRUE(sim) << code;
        ++built;
        ASSERT_TRUE(sim->body) << code;
        if (!ownDrive) {
            ASSERT_TRUE(AllFrames(sim->body->driveSprites, 15)) << code;
            for (int f = 0; f < 16; ++f)
                EXPECT_TRUE(AllFrames(sim->body->driveSprites->SubImage(f), 3)) << code << f;
        }
        EXPECT_TRUE(AllFrames(sim->body->chassisSprites, 15)) << code;
        EXPECT_GT(sim->GetSize().w, 0) << code;
        for (ListNode* p = sim->Parts().First(); p; p = sim->Parts().Next(p)) {
            auto* part = static_cast<SpriteAttachment*>(p);
            EXPECT_TRUE(part->part && AllFrames(part->part->mapPictures.get(), 15))
                << code << " hardpoint " << part->hardpoint;
            if (WeaponTemplate* w = part->GetTemplate()) {
                EXPECT_GE(w->shotLayerField, 1) << code;
            }
        }
        ASSERT_TRUE(sim->deathEffect) << code;
        EXPECT_TRUE(sim->deathEffect->pictures) << code;
        const PartTemplate* drive = sim->GetDesign()->drive;
        if (!ownDrive) {
            EXPECT_EQ(drive->layer, 1) << code;
            // Work pads keep off the ground layer, so a miner can stand on its field.
            EXPECT_EQ(drive->terrainFlag3, drive->role == 'P' ? 0 : 1) << code;
        }
    }
    EXPECT_EQ(built, 31);
    // The homing weapons need the weapon relay.
    EXPECT_EQ(FindWeaponTemplate('V', 'g')->shotLayerField, 3);
    EXPECT_EQ(FindWeaponTemplate('T', 'g')->shotLayerField, 3);
}

// Each relay's per-frame mount table matches its deploy sequence, one row per hardpoint; the
// carrier's overlay plays over several frames; every structure code stands in both clans.
TEST_F(SimSampleDesigns, TheSpecialChassisMatchTheirPictures) {
    int codes[2][6] = {};
    for (ListNode* n = ChassisList.First(); n; n = ChassisList.Next(n)) {
        if (auto* relay = dynamic_cast<DeployingChassisTemplate*>(static_cast<Template*>(n))) {
            ASSERT_TRUE(relay->deployedPictures) << relay->role;
            Image* deploy = relay->deployedPictures->SubImage(1);
            ASSERT_TRUE(deploy) << relay->role;
            EXPECT_EQ(relay->deployFrameCount, deploy->LastFrameIndex() + 1) << relay->role;
            EXPECT_EQ(relay->frameMountPoints.size(),
                      static_cast<size_t>(relay->hardpointCount * relay->deployFrameCount));
            EXPECT_GE(relay->deployedPictures->SubImage(0)->LastFrameIndex(), 1);
            ++codes[relay->clan == 'V' ? 0 : 1][relay->structureCode];
        }
        if (auto* carrier = dynamic_cast<CarrierChassisTemplate*>(static_cast<Template*>(n))) {
            ASSERT_TRUE(carrier->deployedPictures);
            const int lasts[4] = {3, 1, 2, 3};
            for (int s = 0; s < 4; ++s)
                EXPECT_EQ(carrier->deployedPictures->SubImage(s)->LastFrameIndex(), lasts[s]) << s;
        }
    }
    for (const auto& clan : codes) {
        for (int count : clan)
            EXPECT_EQ(count, 1);
    }
}

}  // namespace
