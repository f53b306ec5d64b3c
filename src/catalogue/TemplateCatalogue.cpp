#include "catalogue/TemplateCatalogue.h"

#include <algorithm>

#include "catalogue/BuildingTemplate.h"
#include "catalogue/CatalogueFigures.h"
#include "catalogue/DirectionalEffectTemplate.h"
#include "catalogue/EffectTemplate.h"
#include "catalogue/PictureTemplates.h"
#include "catalogue/WeaponTemplate.h"
#include "core/Sound.h"
#include "core/SpriteSet.h"

// Constructed in this order before the program's entry; each deletes its records at exit.
NodeList EffectList;
NodeList DirectionalEffectList;
NodeList ShotPictureList;
NodeList BuildingList;
NodeList WreckList;
NodeList DestructibleList;
NodeList RoleList;
NodeList PartList;
NodeList ChassisList;
NodeList WeaponList;
NodeList SensorItemList;
NodeList DefenceItemList;
NodeList StealthItemList;

int32_t SpeedAdjustment = 0;
EffectTemplate* DestructionEffect = nullptr;
SpriteSet* ArtifactPictures = nullptr;
Sound* ArtifactSound = nullptr;
SpriteSet* OreDepositPictures = nullptr;
SpriteSet* LevelBarPictures = nullptr;
SpriteSet* LevelMeterPictures = nullptr;

// The repair record stands in no list; the reader sets it.
RepairRoleTemplate* repairRoleTemplate = nullptr;

int32_t SpeedAdjusted(int32_t value) {
    const int64_t v = static_cast<int64_t>(value) + 5 * static_cast<int64_t>(SpeedAdjustment);
    return static_cast<int32_t>(std::clamp<int64_t>(v, 1, INT32_MAX));
}

Template* FindInList(const NodeList& list, char clan, char role) {
    for (ListNode* n = list.First(); n; n = list.Next(n)) {
        Template* t = static_cast<Template*>(n);
        if (t->role == role && IsAvailableTo(*t, clan)) return t;
    }
    return nullptr;
}

RoleTemplate* FindRoleTemplate(char clan, char role) {
    return static_cast<RoleTemplate*>(FindInList(RoleList, clan, role));
}

EffectTemplate* FindMTemplate(char clan, char role) {
    return static_cast<EffectTemplate*>(FindInList(EffectList, clan, role));
}

DirectionalEffectTemplate* FindETemplate(char clan, char role) {
    return static_cast<DirectionalEffectTemplate*>(FindInList(DirectionalEffectList, clan, role));
}

WeaponTemplate* FindWeaponTemplate(char clan, char role) {
    return static_cast<WeaponTemplate*>(FindInList(WeaponList, clan, role));
}

MountTemplate* FindHardpointTemplate(char clan, char role) {
    for (const NodeList* list : {&WeaponList, &SensorItemList, &DefenceItemList, &StealthItemList})
        if (Template* t = FindInList(*list, clan, role)) return static_cast<MountTemplate*>(t);
    return nullptr;
}

BuildingTemplate* FindBuildingTemplate(char letter) {
    for (ListNode* n = BuildingList.First(); n; n = BuildingList.Next(n)) {
        BuildingTemplate* b = static_cast<BuildingTemplate*>(n);
        if (b->clan == letter) return b;
    }
    return nullptr;
}

RepairRoleTemplate* GetRepairRoleTemplate() {
    return repairRoleTemplate;
}

void ClearTemplateCatalogue() {
    for (NodeList* list : {&EffectList, &DirectionalEffectList, &ShotPictureList, &BuildingList,
                           &WreckList, &DestructibleList, &RoleList, &PartList, &ChassisList,
                           &WeaponList, &SensorItemList, &DefenceItemList, &StealthItemList})
        list->DeleteAll();
    DestructionEffect = nullptr;
    delete OreDepositPictures;
    OreDepositPictures = nullptr;
    delete LevelBarPictures;
    LevelBarPictures = nullptr;
    delete ArtifactPictures;
    ArtifactPictures = nullptr;
    delete ArtifactSound;
    ArtifactSound = nullptr;
    delete LevelMeterPictures;
    LevelMeterPictures = nullptr;
    delete repairRoleTemplate;
    repairRoleTemplate = nullptr;
    TheCatalogueFigures.Clear();
}

int LevelBarFrame(int percent) {
    if (percent > 80) return 4;
    if (percent > 60) return 3;
    if (percent > 40) return 2;
    if (percent > 20) return 1;
    return 0;
}

int LevelMeterFrame(int percent) {
    if (percent >= 100) return 5;
    return LevelBarFrame(percent);
}

void DrawLevelBar(int percent, Point position) {
    if (!LevelBarPictures) return;
    LevelBarPictures->DrawFrame(position, LevelBarFrame(percent));
}

void DrawLevelMeter(int percent, Point position, int mode) {
    if (!LevelMeterPictures) return;
    if (Image* frame = LevelMeterPictures->SubImage(LevelMeterFrame(percent)))
        frame->DrawShadeFilled(position, mode);
}
