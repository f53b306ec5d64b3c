#include "catalogue/TemplateCatalogue.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "CatalogueFakes.h"
#include "CatalogueFileBuilder.h"
#include "catalogue/BuildingTemplate.h"
#include "catalogue/CarrierChassisTemplate.h"
#include "catalogue/DeployingChassisTemplate.h"
#include "catalogue/DirectionalEffectTemplate.h"
#include "catalogue/EffectTemplate.h"
#include "catalogue/HardpointItemTemplates.h"
#include "catalogue/PartTemplate.h"
#include "catalogue/PictureTemplates.h"
#include "catalogue/WeaponTemplate.h"

namespace {

template <class T>
std::vector<T*> All(const NodeList& list) {
    std::vector<T*> out;
    for (ListNode* n = list.First(); n; n = list.Next(n))
        out.push_back(static_cast<T*>(n));
    return out;
}

std::string Roles(const NodeList& list) {
    std::string s;
    for (ListNode* n = list.First(); n; n = list.Next(n)) {
        const Template* t = static_cast<Template*>(n);
        s += t->clan;
        s += t->role;
        s += ' ';
    }
    return s;
}

class TemplateCatalogue : public ::testing::Test {
protected:
    void LoadStandard() { env.Load(CatalogueFileBuilder::Standard().Text()); }
    CatalogueEnvironment env;
};

}  // namespace

TEST_F(TemplateCatalogue, ReadsEverySectionOfAGeneratedFile) {
    LoadStandard();
    EXPECT_EQ(DirectionalEffectList.Count(), 3);
    EXPECT_EQ(EffectList.Count(), 3);
    EXPECT_EQ(ShotPictureList.Count(), 2);
    // 8 section-4 rows, one drive each after sections 7, 8 and 9, one per building.
    EXPECT_EQ(PartList.Count(), 8 + 3 + 2);
    EXPECT_EQ(ChassisList.Count(), 8 + 2 + 1 + 2);
    EXPECT_EQ(WeaponList.Count(), 8);
    EXPECT_EQ(SensorItemList.Count(), 2);
    EXPECT_EQ(DefenceItemList.Count(), 1);
    EXPECT_EQ(StealthItemList.Count(), 1);
    EXPECT_EQ(BuildingList.Count(), 2);
    EXPECT_EQ(WreckList.Count(), 3);
    EXPECT_EQ(DestructibleList.Count(), 2);
    EXPECT_EQ(Roles(RoleList), "Xx Xf Xh ");
    ASSERT_NE(GetRepairRoleTemplate(), nullptr);
    EXPECT_EQ(GetRepairRoleTemplate()->role, 'a');
    EXPECT_NE(ArtifactPictures, nullptr);
    EXPECT_NE(ArtifactSound, nullptr);
    EXPECT_NE(OreDepositPictures, nullptr);
    EXPECT_NE(LevelBarPictures, nullptr);
    EXPECT_NE(LevelMeterPictures, nullptr);
    EXPECT_EQ(env.media.busyDepth, 0);
    EXPECT_GT(env.media.busyTicks, 0);
    // The same bytes from memory make the same catalogue.
    const std::string text = CatalogueFileBuilder::Standard().Text();
    const std::string parts = Roles(PartList), chassis = Roles(ChassisList);
    ClearTemplateCatalogue();
    ASSERT_EQ(PartList.Count(), 0);
    EXPECT_EQ(
        LoadTemplateCatalogueFromBytes(reinterpret_cast<const uint8_t*>(text.data()), text.size()),
        1);
    EXPECT_EQ(Roles(PartList), parts);
    EXPECT_EQ(Roles(ChassisList), chassis);
    EXPECT_EQ(WreckList.Count(), 3);
}

TEST_F(TemplateCatalogue, NamesPacksFromTemplateLetters) {
    LoadStandard();
    for (const char* name :
         {"7a0EVXaX99s999.msp",       "7a0MXXjX99s999.msp",       "7a0PVPaX99s999.msp",
          "7a0RVTwX99s999.msp",       "7a0uVTwX99s999.msp",       "7a0RVCaX99s999.msp",
          "7a0uVCaX99s999.msp",       "7a0RVWaX99s999.msp",       "7a0uVWaX99s999.msp",
          "7a0u\\7a0uVNaX00s000.msp", "7a0RVCpX99s999.msp",       "7a0uVCpX99s999.msp",
          "7a0RTCgX99s999.msp",       "7a0uTCgX99s999.msp",       "7a0ATCgX99s999.msp",
          "7a0RVCdX99s999.msp",       "7a0UVCdX99s999.msp",       "7a0AVCdX99s999.msp",
          "7a0AVDdX99s999.msp",       "7a0RVDdX99s999.msp",       "7a0RXAsX99s999.msp",
          "7a0uXAsX99s999.msp",       "7a0u\\7a0uxnsx00s000.msp", "7a0AXAdX99s999.msp",
          "7a0RVMMX99s999.msp",       "7a0UVMMX99s999.msp",       "7a0BVMMX99s999.msp",
          "7a0AVMAX99s999.msp",       "7a0AVMBX99s999.msp",       "7a0BVCaX99s999.msp",
          "7a0axtmx99s999.msp",       "7a0axfkx99s999.msp",       "7a0axchx99s999.msp",
          "7a0axcfx99s999.msp",       "7a0kxxxx99s999.msp",       "7a0axeax99s999.msp",
          "7a0axtcx99s999.msp",       "7a0sxbxx99s999.msp",       "7a0sxmxx99s999.msp"})
        EXPECT_TRUE(env.media.Requested(name)) << name;
    // A '-' picture letter loads nothing.
    EXPECT_FALSE(env.media.Requested("7a0EXX-X99s999.msp"));
    EXPECT_EQ(env.media.sounds.back(), 56);
}

TEST_F(TemplateCatalogue, LookupsFollowClanAndTechLevel) {
    LoadStandard();
    // An 'X' record serves both clans and 'X' itself.
    ASSERT_NE(FindHardpointTemplate('V', 's'), nullptr);
    EXPECT_EQ(FindHardpointTemplate('T', 's'), FindHardpointTemplate('X', 's'));
    // A clan's own records are not found for the other clan.
    EXPECT_EQ(FindWeaponTemplate('T', 'h'), nullptr);
    // Minimum level equal to the clan's level matches; one above does not.
    env.services.varnokLevel = 3;
    EXPECT_NE(FindWeaponTemplate('V', 'c'), nullptr);
    env.services.varnokLevel = 2;
    EXPECT_EQ(FindWeaponTemplate('V', 'c'), nullptr);
    // 'X' queries use the lower of the two levels.
    env.services.varnokLevel = 8;
    env.services.telmiraLevel = 7;
    EXPECT_EQ(FindWeaponTemplate('X', 'e'), nullptr);
    env.services.telmiraLevel = 8;
    EXPECT_NE(FindWeaponTemplate('X', 'e'), nullptr);
    EXPECT_NE(FindETemplate('T', 'a'), nullptr);
    EXPECT_NE(FindMTemplate('V', 'j'), nullptr);
    EXPECT_NE(FindRoleTemplate('V', 'h'), nullptr);
}

TEST_F(TemplateCatalogue, LaterRecordWinsWhenBothAreAllowed) {
    LoadStandard();
    // VARNOK's wheels: the third row (level 4) is the latest of the group.
    env.services.varnokLevel = 8;
    PartTemplate* wheels = static_cast<PartTemplate*>(FindInList(PartList, 'V', 'W'));
    ASSERT_NE(wheels, nullptr);
    EXPECT_EQ(wheels->minimumTechLevel, 4);
    env.services.varnokLevel = 3;
    wheels = static_cast<PartTemplate*>(FindInList(PartList, 'V', 'W'));
    ASSERT_NE(wheels, nullptr);
    EXPECT_EQ(wheels->minimumTechLevel, 1);
    EXPECT_EQ(wheels->pairing, 2);
    // With no world installed the stand-in's level 1 still lets the first row through, and
    // nothing above it.
    SetCatalogueServices(nullptr);
    wheels = static_cast<PartTemplate*>(FindInList(PartList, 'V', 'W'));
    ASSERT_NE(wheels, nullptr);
    EXPECT_EQ(wheels->minimumTechLevel, 1);
    EXPECT_EQ(FindWeaponTemplate('V', 'c'), nullptr);
    SetCatalogueServices(&env.services);
}

TEST_F(TemplateCatalogue, ChassisOfSections7To9StandBehindInFileOrder) {
    LoadStandard();
    EXPECT_EQ(Roles(ChassisList), "Xt Tf Tb Ta Vk Vh Vb Va Vp Tp Vg Vd Td ");
    // Building drives go to the back, so the earlier one is met first.
    const auto parts = All<PartTemplate>(PartList);
    ASSERT_GE(parts.size(), 2u);
    EXPECT_EQ(parts[parts.size() - 2]->clan, 'V');
    EXPECT_EQ(parts[parts.size() - 2]->role, 'P');
    EXPECT_EQ(parts.back()->clan, 'T');
}

TEST_F(TemplateCatalogue, HardpointLookupTriesWeaponsBeforeItems) {
    LoadStandard();
    MountTemplate* m = FindHardpointTemplate('V', 'c');
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->GetMountKind(), MountKind::Weapon);
    EXPECT_EQ(FindHardpointTemplate('V', 'd')->GetMountKind(), MountKind::Defence);
    EXPECT_EQ(FindHardpointTemplate('V', 'n')->GetMountKind(), MountKind::Stealth);
    // Only weapons have a kind letter for shields to match.
    EXPECT_EQ(FindHardpointTemplate('V', 'd')->GetKindLetter(), 0);
}

TEST_F(TemplateCatalogue, DrivesOfSections7To9TakeTheirSectionsValues) {
    LoadStandard();
    auto* air = static_cast<PartTemplate*>(FindInList(PartList, 'X', 'A'));
    ASSERT_NE(air, nullptr);
    EXPECT_EQ(air->layer, 2);
    EXPECT_EQ(air->altitude, 20);
    EXPECT_EQ(air->minimumTechLevel, 3);  // the last aircraft record's level
    EXPECT_EQ(air->pairing, 5);
    EXPECT_EQ(air->Name(), nullptr);
    auto* carrier = static_cast<PartTemplate*>(FindInList(PartList, 'X', 'C'));
    ASSERT_NE(carrier, nullptr);
    EXPECT_EQ(carrier->altitude, 32);
    EXPECT_EQ(carrier->pairing, 6);
    auto* deploy = static_cast<PartTemplate*>(FindInList(PartList, 'X', 'D'));
    ASSERT_NE(deploy, nullptr);
    EXPECT_EQ(deploy->layer, 1);
    EXPECT_EQ(deploy->altitude, 10);
    EXPECT_EQ(deploy->minimumTechLevel, 2);  // the smallest of 4 and 2
}

TEST_F(TemplateCatalogue, DeployingDriveLevelNeverAboveEight) {
    CatalogueFileBuilder b = CatalogueFileBuilder::Standard();
    for (auto& d : b.deploying)
        d.level = 12;
    env.Load(b.Text());
    auto* deploy = static_cast<PartTemplate*>(FindInList(PartList, 'X', 'D'));
    ASSERT_NE(deploy, nullptr);
    EXPECT_EQ(deploy->minimumTechLevel, 8);
}

TEST_F(TemplateCatalogue, SpeedOptionSetsTheAdjustment) {
    const std::pair<const char*, int> cases[] = {{"", 0}, {"1", 2}, {"4", -1}};
    for (const auto& [option, adjustment] : cases) {
        SCOPED_TRACE(option);
        ClearTemplateCatalogue();
        env.media.speedOption = option;
        LoadStandard();
        EXPECT_EQ(SpeedAdjustment, adjustment);
    }
}

TEST_F(TemplateCatalogue, SpeedAdjustedPeriodsNeverFallBelowOne) {
    CatalogueFileBuilder b = CatalogueFileBuilder::Standard();
    b.weapons[0].reload = 0;
    b.weapons[0].travel = 3;
    env.media.speedOption = "4";
    env.Load(b.Text());
    WeaponTemplate* w = FindWeaponTemplate('V', 'a');
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->GetReloadTime(), 1);
    EXPECT_EQ(w->GetTravelDelay(), 1);
    SpeedAdjustment = 2;
    EXPECT_EQ(w->GetTravelDelay(), 13);
    EXPECT_EQ(SpeedAdjusted(-50), 1);
}

TEST_F(TemplateCatalogue, FrameListsAreCappedAndShrunk) {
    CatalogueFileBuilder b = CatalogueFileBuilder::Standard();
    std::string many = "150";
    // 120 one-digit frames fit the 256-character line.
    for (int i = 0; i < 120; ++i)
        many += " " + std::to_string(i % 10);
    b.effects[1].firstList = many;
    b.effects[1].secondList = "5 1 2";
    b.items[2].frameList = "0 3 4";  // 0 frames per second still gives a period
    env.Load(b.Text());
    EffectTemplate* e = FindMTemplate('V', 'b');
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->firstLength, 99);
    EXPECT_EQ(e->firstSequence[98], 8);
    EXPECT_EQ(e->secondLength, 2);
    EXPECT_EQ(e->secondSequence[0], 1);
    EXPECT_EQ(e->secondSequence[1], 2);
    EXPECT_EQ(e->framePeriod, 50);
    auto* d = static_cast<DefenceItemTemplate*>(FindHardpointTemplate('X', 'd'));
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->frameCount, 1);  // the count 3 shrinks to the one frame given
    EXPECT_EQ(d->framePeriod, 1000);
    // An effect made from a grid alone plays each of its sequences (the fake grid has two).
    EffectTemplate fromGrid('V', 'q', 0, "blast.msp", -1, 10);
    EXPECT_EQ(fromGrid.firstLength, 2);
    EXPECT_EQ(fromGrid.firstSequence[1], 1);
    EXPECT_EQ(fromGrid.firstSequence[2], 0);  // nothing past the length
    EXPECT_EQ(fromGrid.secondLength, 0);
}

TEST_F(TemplateCatalogue, LastJEffectIsTheDestructionEffect) {
    CatalogueFileBuilder b = CatalogueFileBuilder::Standard();
    EffectRecord second = b.effects[0];
    second.clan = 'V';
    b.effects.push_back(second);
    env.Load(b.Text());
    ASSERT_NE(DestructionEffect, nullptr);
    EXPECT_EQ(DestructionEffect->clan, 'V');
    EXPECT_EQ(DestructionEffect->role, 'j');
}

TEST_F(TemplateCatalogue, DriveVariantsInheritTextsAndPictures) {
    CatalogueFileBuilder b = CatalogueFileBuilder::Standard();
    b.drives[0].rows[0].panel = '-';
    DriveRow both;
    both.level = 6;
    both.verticalOffset = 20;
    b.drives[0].rows.push_back(both);
    DriveRow mapOnly;
    mapOnly.panel = '-';
    mapOnly.level = 3;
    b.drives[0].rows.push_back(mapOnly);
    env.media.gridFrames["7a0RVTwX99s999.msp"] = 2;
    env.media.frameSizes["7a0RVTwX99s999.msp"] = Size(30, 16);
    env.Load(b.Text());
    const auto parts = All<PartTemplate>(PartList);
    std::vector<PartTemplate*> wheels;
    for (PartTemplate* p : parts)
        if (p->clan == 'V' && p->role == 'W') wheels.insert(wheels.begin(), p);  // file order
    ASSERT_EQ(wheels.size(), 5u);
    PartTemplate* base = wheels[0];
    EXPECT_EQ(base->panelPictures, nullptr);
    EXPECT_NE(base->mapPictures, nullptr);
    EXPECT_STREQ(base->Name(), "Text 30");
    EXPECT_STREQ(base->HelpText(), "Fully 100% yours");
    // Both letters '-': the previous row is the parent and lends its pictures.
    PartTemplate* plain = wheels[2];
    EXPECT_EQ(plain->parent, wheels[1]);
    EXPECT_EQ(plain->mapPictures, nullptr);
    EXPECT_EQ(plain->Sprites(), wheels[1]->Sprites());
    EXPECT_EQ(plain->verticalOffset, 8 - 8);
    EXPECT_STREQ(plain->Name(), "Text 30");
    // Both letters present: the base is the parent.
    EXPECT_EQ(wheels[3]->parent, base);
    EXPECT_STREQ(wheels[3]->HelpText2(), "Fully 100% yours");
    EXPECT_EQ(wheels[3]->verticalOffset, 20 - 8);
    // Only the map letter: the previous row is the parent, with map pictures of its own.
    EXPECT_EQ(wheels[4]->parent, wheels[3]);
    EXPECT_NE(wheels[4]->mapPictures, nullptr);
    EXPECT_EQ(wheels[4]->panelPictures, nullptr);
    EXPECT_EQ(wheels[4]->minimumTechLevel, 3);
}

TEST_F(TemplateCatalogue, DeployingChassisClampsStructureCodeAndCentresPoints) {
    CatalogueFileBuilder b = CatalogueFileBuilder::Standard();
    b.deploying[0].structure = 9;
    b.deploying[1].structure = -2;
    env.Load(b.Text());
    auto* v = static_cast<DeployingChassisTemplate*>(FindInList(ChassisList, 'V', 'd'));
    auto* t = static_cast<DeployingChassisTemplate*>(FindInList(ChassisList, 'T', 'd'));
    ASSERT_NE(v, nullptr);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(v->structureCode, 5);
    EXPECT_EQ(t->structureCode, 0);
    EXPECT_EQ(v->IsDeployable(), 1);
    EXPECT_EQ(t->hardpointCount, 2);
    EXPECT_EQ(t->deployFrameCount, 3);
    // File point (40, 40) less half of a 20 x 10 frame.
    EXPECT_EQ(v->DeployedMountPoint(0), Point(30, 35));
    EXPECT_EQ(t->FrameMountPoint(1, 2), Point(21 + 20 - 10, 21 + 10 - 5));
    EXPECT_EQ(t->FrameMountPoint(2, 0), Point());
}

TEST_F(TemplateCatalogue, ChassisTablesAreCentredAndBounded) {
    LoadStandard();
    auto* a = static_cast<ChassisTemplate*>(FindInList(ChassisList, 'V', 'a'));
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->hardpointCount, 3);
    EXPECT_EQ(a->Capacity(1), 2);
    EXPECT_EQ(a->Capacity(3), 0);
    EXPECT_EQ(a->Capacity(7), 0);
    EXPECT_EQ(a->MountOffset(0, 5), Point(15 - 10, 4 - 5));
    EXPECT_EQ(a->PreviewMountPoint(1), Point(40 - 10, 35 - 5));
    EXPECT_EQ(a->PreviewMountPoint(9), Point());
    // Only the first hardpoint-count entries of the seven-entry tables are filled.
    for (int h = 3; h < ChassisTemplate::kMaxHardpoints; ++h) {
        EXPECT_EQ(a->PreviewMountPoint(h), Point()) << h;
        EXPECT_EQ(a->SlotAt(h), 0) << h;
        EXPECT_EQ(a->secondPoints[h], Point()) << h;
    }
    EXPECT_EQ(a->SlotAt(0), 2);
    EXPECT_STREQ(a->HelpText(), "Strength 100, cost 20/40, 3 s");
    BuildingTemplate* building = FindBuildingTemplate('V');
    ASSERT_NE(building, nullptr);
    EXPECT_EQ(building->chassis->role, 'z');
    EXPECT_EQ(building->chassis->hardpointCount, 3);
    EXPECT_EQ(building->chassis->SlotAt(6), 0);
    EXPECT_EQ(building->part->role, 'P');
    EXPECT_EQ(building->part->pairing, 20);
    EXPECT_EQ(building->doorFrameCount, 2);
    EXPECT_EQ(building->DoorMountPoint(1, 2), Point(71, 61));
    EXPECT_STREQ(building->Name(), building->chassis->Name());
    // The building lookup ignores tech levels.
    env.services.varnokLevel = 0;
    EXPECT_EQ(FindBuildingTemplate('V'), building);
}

TEST_F(TemplateCatalogue, WeaponRecordsTakeClassesTextsAndReferences) {
    LoadStandard();
    WeaponTemplate* v = FindWeaponTemplate('V', 'b');
    WeaponTemplate* t = FindWeaponTemplate('T', 'b');
    ASSERT_NE(v, nullptr);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(v->weaponClass, WeaponClass::DirectShot);
    EXPECT_EQ(t->weaponClass, WeaponClass::Cannon);
    EXPECT_EQ(FindWeaponTemplate('V', 'h')->freezeFlag, 1);
    EXPECT_EQ(v->freezeFlag, 0);
    EXPECT_EQ(v->GetFireEffect(), FindETemplate('V', 'a'));
    EXPECT_EQ(v->GetExplosionTemplate(), FindMTemplate('V', 'b'));
    ASSERT_NE(v->GetProjectileTemplate(), nullptr);
    EXPECT_EQ(v->GetProjectileTemplate()->clan, 'V');
    EXPECT_STREQ(v->HelpText(), "Size 2, cost 8/16, 2 s, range 180, power 20, reload 0 s");
    EXPECT_EQ(v->HelpText2(), nullptr);
    ASSERT_TRUE(v->shortText.has_value());
    EXPECT_EQ(*v->shortText, "Text 51");
    EXPECT_EQ(v->muzzleOffsets[3], Point(4 - 10, 6 - 5));
    EXPECT_EQ(WeaponClassFor('X', 'z'), WeaponClass::Beam);
    EXPECT_EQ(WeaponClassFor('V', 'z'), WeaponClass::Cannon);
}

TEST_F(TemplateCatalogue, SensorHelpShowsTheSensorValueScaled) {
    LoadStandard();
    auto* s = static_cast<SensorItemTemplate*>(FindHardpointTemplate('X', 's'));
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->sensorValue, 3);
    EXPECT_STREQ(s->HelpText(), "Size 1, cost 4/8, 1 s");
    EXPECT_EQ(s->GetMountKind(), MountKind::Sensor);
    // The largest sensor value still reads (its help value wraps as 32-bit integers do).
    CatalogueFileBuilder b = CatalogueFileBuilder::Standard();
    for (ItemRecord& item : b.items)
        if (item.section == 10) item.sensor = 2147483647;
    env.Load(b.Text());
    s = static_cast<SensorItemTemplate*>(FindHardpointTemplate('X', 's'));
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->sensorValue, 2147483647);
}

TEST_F(TemplateCatalogue, FileThatStartsWithAStarStillReadsLaterSections) {
    CatalogueFileBuilder b = CatalogueFileBuilder::Standard();
    b.directionalEffects.clear();
    env.Load(b.Text());
    EXPECT_TRUE(DirectionalEffectList.IsEmpty());
    EXPECT_EQ(BuildingList.Count(), 2);
    EXPECT_EQ(DestructibleList.Count(), 2);
}

TEST_F(TemplateCatalogue, UntrustedCountsNeverOverrunTheTables) {
    CatalogueFileBuilder b = CatalogueFileBuilder::Standard();
    for (int i = 0; i < 6; ++i)
        b.chassis[0].hardpoints.push_back({1, 0, 0});
    b.buildings[0].parts = 9;
    b.buildings[0].extraParts = 4;
    b.buildings[0].doorFrames = 1000;
    b.deploying[0].tableHardpoints = 5;
    b.deploying[0].frames = 400;
    env.Load(b.Text());
    auto* a = static_cast<ChassisTemplate*>(FindInList(ChassisList, 'V', 'a'));
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->hardpointCount, 7);
    BuildingTemplate* building = FindBuildingTemplate('V');
    ASSERT_NE(building, nullptr);
    EXPECT_EQ(building->partCount + building->extraPartCount, 7);
    EXPECT_LE(building->doorFrameCount, 100);
    auto* d = static_cast<DeployingChassisTemplate*>(FindInList(ChassisList, 'V', 'd'));
    ASSERT_NE(d, nullptr);
    EXPECT_LE(d->hardpointCount, 2);
    EXPECT_LE(d->hardpointCount * d->deployFrameCount, 50);
}

TEST_F(TemplateCatalogue, FormatTextsConsumeOnlyIntegers) {
    CatalogueFileBuilder b = CatalogueFileBuilder::Standard();
    b.chassis[0].help = 15;  // "Bad %s and %n here %d"
    env.Load(b.Text());
    auto* a = static_cast<ChassisTemplate*>(FindInList(ChassisList, 'V', 'a'));
    ASSERT_NE(a, nullptr);
    EXPECT_STREQ(a->HelpText(), "Bad %s and %n here 100");
}

TEST_F(TemplateCatalogue, ClearingEmptiesEverythingAndMayBeRepeated) {
    LoadStandard();
    ClearTemplateCatalogue();
    EXPECT_EQ(FindWeaponTemplate('V', 'a'), nullptr);
    EXPECT_EQ(GetRepairRoleTemplate(), nullptr);
    EXPECT_EQ(DestructionEffect, nullptr);
    EXPECT_EQ(LevelBarPictures, nullptr);
    EXPECT_TRUE(PartList.IsEmpty());
    ClearTemplateCatalogue();
    EXPECT_TRUE(ChassisList.IsEmpty());
    env.media.draws.clear();
    DrawLevelBar(50, Point(1, 1));
    DrawLevelMeter(50, Point(1, 1), 0);
    EXPECT_TRUE(env.media.draws.empty());
}

TEST_F(TemplateCatalogue, GaugesDrawTheFrameOfThePercentage) {
    LoadStandard();
    env.media.draws.clear();
    DrawLevelBar(61, Point(5, 6));
    DrawLevelMeter(100, Point(7, 8), 3);
    ASSERT_EQ(env.media.draws.size(), 2u);
    EXPECT_EQ(env.media.draws[0].pack, "7a0sxbxx99s999.msp");
    EXPECT_EQ(env.media.draws[0].frame, 3);
    EXPECT_EQ(env.media.draws[0].at, Point(5, 6));
    EXPECT_EQ(env.media.draws[1].pack, "7a0sxmxx99s999.msp");
    EXPECT_EQ(env.media.draws[1].frame, 5);
}

TEST(LevelGauges, FramesFollowThePercentage) {
    // Both sides of every band's edge.
    const int bands[][2] = {{-5, 0}, {20, 0}, {21, 1}, {40, 1}, {41, 2},
                            {60, 2}, {61, 3}, {80, 3}, {81, 4}, {150, 4}};
    for (const auto& [percent, frame] : bands)
        EXPECT_EQ(LevelBarFrame(percent), frame) << percent;
    EXPECT_EQ(LevelMeterFrame(99), 4);
    EXPECT_EQ(LevelMeterFrame(100), 5);
    EXPECT_EQ(LevelMeterFrame(250), 5);
}

TEST_F(TemplateCatalogue, ListsBuildablePartsOfBothClansAtEveryTechLevel) {
    LoadStandard();
    // The count of parts each clan may use grows with the level and covers every kind.
    for (char clan : {'V', 'T'}) {
        int previous = 0;
        for (int level = 1; level <= 8; ++level) {
            env.services.varnokLevel = level;
            env.services.telmiraLevel = level;
            std::set<std::string> buildable;
            for (const NodeList* list : {&PartList, &ChassisList, &WeaponList, &SensorItemList,
                                         &DefenceItemList, &StealthItemList})
                for (ListNode* n = list->First(); n; n = list->Next(n)) {
                    const Template* t = static_cast<Template*>(n);
                    if (IsAvailableTo(*t, clan))
                        buildable.insert(std::string(1, t->clan) + t->role + "@" +
                                         std::to_string(t->minimumTechLevel));
                }
            std::string listing;
            for (const std::string& part : buildable)
                listing += part + " ";
            RecordProperty(std::string("buildable_") + clan + std::to_string(level), listing);
            EXPECT_GE(static_cast<int>(buildable.size()), previous) << clan << level;
            previous = static_cast<int>(buildable.size());
            EXPECT_NE(FindInList(ChassisList, clan, 'a'), nullptr);
            EXPECT_NE(FindInList(PartList, clan, 'W'), nullptr);
            EXPECT_NE(FindWeaponTemplate(clan, 'a'), nullptr);
            EXPECT_EQ(FindInList(ChassisList, clan, 't') != nullptr, level >= 7);
            EXPECT_EQ(FindHardpointTemplate(clan, 'n') != nullptr, level >= 6);
            EXPECT_EQ(FindWeaponTemplate(clan, 'e') != nullptr, level >= 8);
        }
    }
}

TEST_F(TemplateCatalogue, BuildingHardpointsCutShortByAStarKeepTheirCount) {
    std::string text;
    for (int section = 1; section <= 12; ++section)
        text += "*\n";
    text += "80\nV 20 0 1000 1 2 3 4 11 12 5 2 1 1 31\n30 30 40 35 50 40\n3 3 13 8 23 13\n 2";
    for (int f = 0; f < 16; ++f)
        text += " 14 2";
    text += "\n*\n50 50 60 55 70 60\n*\n*\n*\n";
    env.Load(text);
    BuildingTemplate* building = FindBuildingTemplate('V');
    ASSERT_NE(building, nullptr);
    EXPECT_EQ(building->chassis->hardpointCount, 3);
    EXPECT_EQ(building->chassis->Capacity(0), 2);
    EXPECT_EQ(building->chassis->Capacity(2), 0);
    EXPECT_EQ(building->DoorMountPoint(0, 2), Point(70, 60));
    EXPECT_EQ(PartList.Count(), 1);
    EXPECT_TRUE(ChassisList.IsEmpty());
}
