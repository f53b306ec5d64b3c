// The script lines a network run uses to force what the game leaves to chance: `artifact TEAM
// EFFECT` and `destroy TEAM factory`, and the pick-ups the checksum counts so that every machine
// must name the same taker.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "MemoryCatalogueMedia.h"
#include "catalogue/BuildingTemplate.h"
#include "catalogue/ChassisTemplate.h"
#include "catalogue/PartTemplate.h"
#include "catalogue/PictureTemplates.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/VehicleDesign.h"
#include "catalogue/WeaponTemplate.h"
#include "core/ScriptRequests.h"
#include "map/CollisionFilter.h"
#include "objects/Artifact.h"
#include "objects/CommandBuffer.h"
#include "objects/FactoryBuilding.h"
#include "objects/FactoryProduction.h"
#include "objects/ObjectWorld.h"
#include "platform/InputScript.h"
#include "platform/ScriptHooks.h"
#include "support/MemoryLink.h"
#include "world/RegistryTestFixture.h"

namespace {

using Kind = winx_ScriptStep::Kind;

TEST(TestArtifactHook, TheLinesParseIntoTheirStepsAndBadOnesNameTheUsage) {
    winx_InputScript script;
    std::string error;
    ASSERT_EQ(
        script.Parse("artifact 2 3\nARTIFACT 4 5\ndestroy 3 factory\ndestroy 1\ndestroy 2 Units\n",
                     "s", error),
        1)
        << error;
    const std::vector<winx_ScriptStep>& steps = script.Steps();
    ASSERT_EQ(steps.size(), 5u);
    const std::vector<std::vector<int>> expected = {{static_cast<int>(Kind::Artifact), 2, 3},
                                                    {static_cast<int>(Kind::Artifact), 4, 5},
                                                    {static_cast<int>(Kind::Destroy), 3, 1},
                                                    {static_cast<int>(Kind::Destroy), 1, 0},
                                                    {static_cast<int>(Kind::Destroy), 2, 2}};
    for (size_t i = 0; i < steps.size(); ++i)
        EXPECT_EQ((std::vector<int>{static_cast<int>(steps[i].kind),
                                    static_cast<int>(steps[i].value), steps[i].x}),
                  expected[i])
            << i;
    for (const char* bad :
         {"artifact 0 3", "artifact 5 3", "artifact 2 0", "artifact 2 6", "artifact 2",
          "artifact 2 3 4", "destroy 2 unit", "destroy 2 factory x", "destroy 5 factory"}) {
        winx_InputScript refused;
        EXPECT_EQ(refused.Parse(bad, "s", error), 0) << bad;
        EXPECT_NE(error.find("usage"), std::string::npos) << bad << ": " << error;
    }
    // The queues the World takes them from, oldest first.
    winx_RequestArtifact(2, 3);
    winx_RequestArtifact(4, 5);
    winx_RequestDestroy(3, winx_DestroyScope::Factory);
    winx_RequestDestroy(1, winx_DestroyScope::Units);
    int effect = 0;
    DestroyScope scope = DestroyScope::kAll;
    EXPECT_EQ(winx_TakeArtifactRequest(effect), 2);
    EXPECT_EQ(effect, 3);
    EXPECT_EQ(winx_TakeArtifactRequest(effect), 4);
    EXPECT_EQ(effect, 5);
    EXPECT_EQ(winx_TakeArtifactRequest(effect), -1);
    EXPECT_EQ(effect, 0);
    EXPECT_EQ(TakeDestroyRequest(scope), 3);
    EXPECT_EQ(scope, DestroyScope::kFactory);
    EXPECT_EQ(TakeDestroyRequest(scope), 1);
    EXPECT_EQ(scope, DestroyScope::kUnits);
    EXPECT_EQ(TakeDestroyRequest(scope), -1);
    EXPECT_EQ(scope, DestroyScope::kAll);
    winx_RequestCraft(winx_CraftedWord::Mark, 2, 30);
    winx_RequestBarrier(0);
    CraftRequest craft;
    ASSERT_TRUE(TakeCraftRequest(craft));
    EXPECT_EQ(std::tie(craft.word, craft.x, craft.y), std::make_tuple(CraftedWord::Mark, 2, 30));
    EXPECT_FALSE(TakeCraftRequest(craft));
    EXPECT_EQ(TakeBarrierRequest(), 0);
    EXPECT_EQ(TakeBarrierRequest(), -1);
}

class Doomed : public TestObject {
public:
    using TestObject::TestObject;
    void TakeDamage(WeaponTemplate*, const SimId&, EffectTemplate*, int) override { ++hits; }
    int hits = 0;
};

TEST(TestArtifactHook, DestroyingTheFactoryAloneLeavesTheUnitsAndOtherMachinesCopies) {
    WorldOnLand land{OpenLand(16, 12)};
    World& world = land.world;
    auto add = [&](int serial, int kind, int local, bool building) {
        auto o = std::make_unique<Doomed>(2, serial, land.Centre(2 + 2 * serial, 4), kind, 16);
        o->local = local;
        Doomed* raw = o.get();
        std::unique_ptr<GameObject> owned = std::move(o);
        if (building) {
            world.AddBuilding(std::move(owned));
        } else {
            EXPECT_EQ(world.AddSim(owned), 1) << serial;
        }
        return raw;
    };
    Doomed* factory = add(1, 4, 1, true);
    Doomed* unit = add(2, 1, 1, false);
    Doomed* copy = add(3, 1, 0, false);
    world.DestroyOwnObjects(2, DestroyScope::kFactory);
    EXPECT_EQ((std::vector<int>{factory->hits, unit->hits, copy->hits}),
              (std::vector<int>{1, 0, 0}));
    world.DestroyOwnObjects(2, DestroyScope::kUnits);
    EXPECT_EQ((std::vector<int>{factory->hits, unit->hits, copy->hits}),
              (std::vector<int>{1, 1, 0}));
    world.DestroyOwnObjects(2);
    EXPECT_EQ((std::vector<int>{factory->hits, unit->hits, copy->hits}),
              (std::vector<int>{2, 2, 0}));
    // `forge TEAM`: a snapshot (kind 57) of each copy of another team's, in a network game only;
    // the headers' kind and team bytes.
    world.commands->SetEnabled(1);
    const struct {
        int network, team;
        std::vector<int> sent;
    } forged[] = {{1, 2, {57, 2, 57, 2, 57, 2}}, {0, 2, {}}, {1, 1, {}}, {1, 3, {}}};
    for (const auto& f : forged) {
        world.networkGame = f.network;
        world.commands->Rewind();
        world.ForgeTakersWord(f.team);
        std::vector<int> sent;
        for (const uint8_t* p = world.commands->start; p < world.commands->cursor && p[0] > 0;
             p += p[0])
            sent.insert(sent.end(), {p[1], p[2]});
        EXPECT_EQ(sent, f.sent) << f.network << " " << f.team;
    }
    // `craft`: each header's kind, team and serial's low byte and its payload's first byte (the
    // weapon's role for a hit, the number's low byte for a mark, the clan for a wreck: the
    // player's, the wreck record being any clan's). Team 1
    // plays here; its unit mounts the light weapon of a catalogue that also has a heavy one,
    // and its factory stands at row 12. A peer link plays team 3.
    MemoryCatalogueMedia media;
    SetCatalogueMedia(&media);
    WreckTemplate wreckRecord('X', 'g', 0);
    WreckList.PushBack(&wreckRecord);
    std::vector<Point> wrecksAt;
    world.makeWreck = [&](const WreckDescription& d) -> std::unique_ptr<GameObject> {
        wrecksAt.push_back(d.position);
        return std::make_unique<TestObject>(d.id.team, d.id.serial, d.position, 3, 8);
    };
    WeaponValues light, heavy;
    light.mount.role = 'l';
    heavy.mount.role = 'h';
    light.firePowerField = 5;
    heavy.firePowerField = 9;
    WeaponTemplate lightWeapon(WeaponClass::Burst, light), heavyWeapon(WeaponClass::Burst, heavy);
    WeaponList.PushBack(&lightWeapon);
    WeaponList.PushBack(&heavyWeapon);
    VehicleDesign design{'V'};
    auto armed = std::make_unique<Doomed>(1, 4, land.Centre(10, 4), 1, 16);
    Doomed* armedUnit = armed.get();
    std::unique_ptr<GameObject> own = std::move(armed);
    ASSERT_EQ(world.AddSim(own), 1);
    world.AddBuilding(std::make_unique<Doomed>(1, 5, land.Centre(12, 4), 4, 16));
    MemoryLink link;
    world.peerSlots[0].peerLink = &link;
    world.peerSlots[0].peerTeam = 3;
    world.pauseNumber = 4;
    world.clanLetter = 'V';
    const int x = armedUnit->GetPosition().x & 0xFF;
    const int bx = world.FindObject(SimId(1, 5))->GetPosition().x & 0xFF;
    const struct {
        int network;
        CraftRequest request;
        const MountTemplate* mounted;
        bool designed;
        int pausedAfter;
        std::vector<int> sent;
    } crafted[] = {
        {1, {CraftedWord::Hits, 2, 2}, nullptr, true, 1, {7, 2, 1, 'h', 7, 2, 1, 'h'}},
        {0, {CraftedWord::Hits, 2, 2}, nullptr, true, 1, {}},
        {1, {CraftedWord::Hits, 1, 2}, nullptr, true, 1, {}},
        {1, {CraftedWord::Weapon, 2, 0}, &lightWeapon, true, 1, {7, 2, 3, 'h'}},
        {1, {CraftedWord::Weapon, 2, 0}, &heavyWeapon, true, 1, {7, 2, 3, 'l'}},
        {1, {CraftedWord::Weapon, 2, 0}, nullptr, true, 1, {}},
        {1, {CraftedWord::Weapon, 2, 0}, &lightWeapon, false, 1, {}},
        // Its own factory names itself the shooter: hits on team 2's factory, or its shots at
        // it (each after its state where it stands), of the heaviest weapon (of clan 0).
        {1, {CraftedWord::FactoryHits, 2, 2}, nullptr, true, 1, {7, 2, 1, 'h', 7, 2, 1, 'h'}},
        {1,
         {CraftedWord::FactoryShots, 2, 2},
         nullptr,
         true,
         1,
         {9, 1, 5, land.Centre(12, 4).x & 0xFF, 12, 1, 1, 0, 9, 1, 5, land.Centre(12, 4).x & 0xFF,
          12, 1, 2, 0}},
        {1, {CraftedWord::FactoryShots, 1, 2}, nullptr, true, 1, {}},
        {1, {CraftedWord::Mark, 1, 2}, nullptr, true, 1, {58, 0xFF, 0xFF, 5, 58, 0xFF, 0xFF, 5}},
        {1, {CraftedWord::Mark, 0, 1}, nullptr, true, 1, {58, 0xFF, 0xFF, 3}},
        {1, {CraftedWord::Mark, 2, 1}, nullptr, true, 1, {58, 0xFF, 0xFF, 0xFF}},
        {1, {CraftedWord::Wrecks, 2, 835}, nullptr, true, 1, {13, 1, 1, 'V', 13, 1, 2, 'V'}},
        {1, {CraftedWord::OneLinkPause, 2, 0}, nullptr, true, 1, {}},
        // Each goal rides behind its object's state (its x's low byte): the unit, the
        // building, the unit again.
        {1, {CraftedWord::Goals, 3, 0}, nullptr, true, 1, {9, 1, 4, x, 8, 1, 4, 0, 9, 1, 5, bx,
                                                           8, 1, 5, 0, 9, 1, 4, x, 8, 1, 4, 0}},
        // Lifted on the link to team 3 alone.
        {1, {CraftedWord::OneLinkPause, 3, 0}, nullptr, true, 0, {}},
    };
    for (const auto& c : crafted) {
        world.networkGame = c.network;
        world.paused = 1;
        design.hardpoints[0] = const_cast<MountTemplate*>(c.mounted);
        armedUnit->design = c.designed ? &design : nullptr;
        world.nextSerial = 1;
        world.commands->Rewind();
        world.CraftWord(c.request);
        for (int tick = 0; tick < 3; ++tick)
            world.SendCraftedMarks();
        std::vector<int> sent;
        for (const uint8_t* p = world.commands->start; p < world.commands->cursor && p[0] > 0;
             p += p[0])
            sent.insert(sent.end(), {p[1], p[2], p[3], p[7]});
        EXPECT_EQ(sent, c.sent) << static_cast<int>(c.request.word) << " " << c.request.x;
        EXPECT_EQ(world.paused, c.pausedAfter) << static_cast<int>(c.request.word);
    }
    // The wrecks lie in a row right of the factory; the lift went out on the one link.
    const Point factoryAt = land.Centre(12, 4);
    EXPECT_EQ(wrecksAt, (std::vector<Point>{factoryAt + Point(60, 0), factoryAt + Point(90, 0)}));
    ASSERT_EQ(link.sent.size(), 1u);
    EXPECT_EQ((std::vector<int>{link.sent[0][1], link.sent[0][7]}), (std::vector<int>{29, 0}));
    // A pause on the one link is counted and marked here as any pause is.
    world.paused = 0;
    world.CraftWord({CraftedWord::OneLinkPause, 3, 0});
    ASSERT_EQ(link.sent.size(), 2u);
    EXPECT_EQ((std::vector<int>{world.paused, link.sent[1][1], link.sent[1][7], world.markedPause}),
              (std::vector<int>{1, 29, 1, 5}));
    world.peerSlots[0].peerLink = nullptr;
    wreckRecord.Unlink();
    SetCatalogueMedia(nullptr);
    // A barrier pauses from the machine that answers for the game only, and `resume` lifts
    // only the pause its `pause` made.
    world.networkGame = 1;
    world.inGame = 1;
    const struct { int died, first, lifted; } barriers[] = {{0, 1, 0}, {1, 0, 0}};
    for (const auto& b : barriers) {
        world.paused = 0;
        world.factoryDied[1] = static_cast<uint8_t>(b.died);
        world.BarrierPause(1);
        EXPECT_EQ(world.paused, b.first) << b.died;
        world.BarrierPause(0);
        EXPECT_EQ(world.paused, b.lifted) << b.died;
        world.paused = 1;
        world.BarrierPause(0);
        EXPECT_EQ(world.paused, 1) << "lifted a pause it did not make";
    }
    world.inGame = 0;
    world.factoryDied[1] = 0;
    lightWeapon.Unlink();
    heavyWeapon.Unlink();
    world.networkGame = 0;
    world.ClearObjects();
}

// Who took an artifact, and where it lay, is in the digest and the listing: a machine that
// gave it to another unit disagrees.
TEST(TestArtifactHook, TheChecksumCountsWhoTookEachArtifact) {
    std::vector<uint64_t> sums;
    std::vector<std::string> listings;
    std::string where;
    for (int takerSerial : {0, 5, 6}) {
        WorldOnLand land{OpenLand(16, 12)};
        World& world = land.world;
        SetObjectWorld(&world);
        TestObject* five = land.AddUnit(2, 5, 3, 3);
        TestObject* six = land.AddUnit(2, 6, 3, 6);
        std::unique_ptr<GameObject> made =
            std::make_unique<Artifact>(land.Centre(6, 6), Size(64, 64), nullptr, nullptr,
                                       CollisionFilter(2, 1, 1, 1, 1), SimId(0, 40), 4);
        auto* artifact = static_cast<Artifact*>(made.get());
        where = std::to_string(land.Centre(6, 6).x) + " " + std::to_string(land.Centre(6, 6).y);
        ASSERT_EQ(world.AddArtifact(made), 1);
        if (takerSerial != 0) artifact->Take(takerSerial == 5 ? five : six);
        std::string listing;
        sums.push_back(world.StateChecksum(&listing));
        EXPECT_EQ(sums.back(), world.StateChecksum());
        listings.push_back(listing);
        world.ClearObjects();
        SetObjectWorld(nullptr);
    }
    EXPECT_EQ(listings[0].find("\n15 "), std::string::npos);
    EXPECT_NE(listings[1].find("\n15 0 40 " + where + " 2 5\n"), std::string::npos) << listings[1];
    EXPECT_NE(listings[2].find("\n15 0 40 " + where + " 2 6\n"), std::string::npos) << listings[2];
    EXPECT_NE(sums[0], sums[1]);
    EXPECT_NE(sums[1], sums[2]);
}

// The host places a test artifact on the cell where the team's unfolded factory rolls its
// units out and announces it (kind 34 with the effect); a guest places none; a factory still
// folded, a missing one or a taken cell leave the request for the next tick.
TEST(TestArtifactHook, TheHostPlacesItWhereTheUnfoldedFactoryRollsItsUnitsOut) {
    MemoryCatalogueMedia media;
    SetCatalogueMedia(&media);
    WorldOnLand land{OpenLand(24, 20)};
    World& world = land.world;
    SetObjectWorld(&world);
    BuildingValues v;
    v.letter = 'V';
    v.hitPoints = 2000;
    ChassisValues c;
    c.clan = 'V';
    c.role = 'z';
    c.strength = 2000;
    PartTemplate drive{'V', 'W', 0, 0, 0, 100, 1};
    auto building =
        std::make_unique<BuildingTemplate>(v, std::make_unique<ChassisTemplate>(c), &drive);
    auto design = std::make_unique<VehicleDesign>('V');
    design->drive = &drive;
    design->chassis = building->chassis.get();
    auto made = std::make_unique<FactoryBuilding>(land.Centre(6, 12), SimId(2, 1), building.get(),
                                                  std::move(design), nullptr);
    FactoryBuilding* factory = made.get();
    world.AddBuilding(std::move(made));
    world.networkGame = 1;
    world.networkHost = 0;
    world.commands->SetEnabled(1);
    world.commands->Rewind();
    EXPECT_EQ(world.PlaceTestArtifact(2, 3), 1) << "a guest gives it up";
    world.networkHost = 1;
    EXPECT_EQ(world.PlaceTestArtifact(0, 3), 1) << "no team";
    EXPECT_EQ(world.PlaceTestArtifact(3, 3), 0) << "no factory yet";
    factory->unfoldState = FactoryProduction::kFolded;
    EXPECT_EQ(world.PlaceTestArtifact(2, 3), 0) << "folded";
    EXPECT_EQ(world.artifacts.Count(), 0);
    EXPECT_EQ(world.commands->Size(), 0u);
    factory->unfoldState = FactoryProduction::kOpen;
    EXPECT_EQ(world.PlaceTestArtifact(2, 4), 1);
    ASSERT_EQ(world.artifacts.Count(), 1);
    GameObject* artifact = world.ArtifactAt(factory->GetPosition() + Point(-128, 128));
    ASSERT_NE(artifact, nullptr);
    EXPECT_EQ(static_cast<Artifact*>(artifact)->effectType, 4);
    // Announced as the scatter's are: kind 34, the point and the effect.
    const uint8_t* sent = world.commands->Data();
    ASSERT_EQ(world.commands->Size(), 12u);
    EXPECT_EQ(sent[1], 34);
    EXPECT_EQ(sent[11], 4);
    EXPECT_EQ(world.PlaceTestArtifact(2, 4), 0) << "the cell holds one already";
    // Kept until one is taken: another where the factory unfolds next, none while it stands.
    World::TestArtifactRequest wanted{2, 5, SimId()};
    EXPECT_EQ(world.KeepTestArtifact(wanted), 0);
    EXPECT_TRUE(wanted.placed.IsNull()) << "the cell holds one already";
    wanted.placed = artifact->id;
    EXPECT_EQ(world.KeepTestArtifact(wanted), 0);
    EXPECT_EQ(world.artifacts.Count(), 1);
    // Folded again while its artifact still lies: the request waits, nothing more is placed.
    factory->unfoldState = FactoryProduction::kFolded;
    factory->SetPosition(land.Centre(6, 16));
    EXPECT_EQ(world.KeepTestArtifact(wanted), 0);
    EXPECT_EQ(wanted.placed, artifact->id);
    EXPECT_EQ(world.artifacts.Count(), 1);
    factory->unfoldState = FactoryProduction::kOpen;
    factory->SetPosition(land.Centre(6, 12));
    EXPECT_EQ(world.KeepTestArtifact(wanted), 0);
    EXPECT_EQ(world.artifacts.Count(), 1);
    factory->SetPosition(land.Centre(6, 16));
    EXPECT_EQ(world.KeepTestArtifact(wanted), 0);
    ASSERT_EQ(world.artifacts.Count(), 2);
    GameObject* second = world.ArtifactAt(factory->GetPosition() + Point(-128, 128));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(wanted.placed, second->id);
    static_cast<Artifact*>(second)->Take(factory);
    EXPECT_EQ(world.KeepTestArtifact(wanted), 1) << "taken";
    World::TestArtifactRequest guest{2, 5, SimId()};
    world.networkHost = 0;
    EXPECT_EQ(world.KeepTestArtifact(guest), 1);
    world.networkHost = 1;
    factory->Destroy();
    EXPECT_EQ(world.PlaceTestArtifact(2, 4), 0) << "a dead factory";
    world.networkGame = 0;
    world.ClearObjects();
    SetObjectWorld(nullptr);
    SetCatalogueMedia(nullptr);
}

}  // namespace
