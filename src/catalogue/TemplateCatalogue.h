#pragma once
// The template catalogue: the thirteen program-wide lists of records read from 7a.pts, the
// records and pictures kept beside them, the lookups by clan letter, role letter and the
// clan's tech level, the reading and the teardown, and the two level gauges.
#include <cstddef>
#include <cstdint>

#include "core/NodeList.h"
#include "core/Point.h"

class SpriteSet;
class Sound;
class Template;
class EffectTemplate;
class DirectionalEffectTemplate;
class WeaponTemplate;
class MountTemplate;
class BuildingTemplate;
class RoleTemplate;
class RepairRoleTemplate;

extern NodeList EffectList;
extern NodeList DirectionalEffectList;
extern NodeList ShotPictureList;
extern NodeList BuildingList;
extern NodeList WreckList;
extern NodeList DestructibleList;
extern NodeList RoleList;
extern NodeList PartList;
extern NodeList ChassisList;
extern NodeList WeaponList;
extern NodeList SensorItemList;
extern NodeList DefenceItemList;
extern NodeList StealthItemList;

// 3 minus the [OPTIONS] SPEED setting; 0 while the setting is absent.
extern int32_t SpeedAdjustment;
// The explosion shown when units and land features are destroyed (in EffectList).
extern EffectTemplate* DestructionEffect;
extern SpriteSet* ArtifactPictures;
extern Sound* ArtifactSound;
extern SpriteSet* OreDepositPictures;
extern SpriteSet* LevelBarPictures;
extern SpriteSet* LevelMeterPictures;

// A catalogue period as milliseconds: max(1, value + 5 × SpeedAdjustment).
int32_t SpeedAdjusted(int32_t value);

// Reads the catalogue file (relative to the asset directory) into the lists; a missing file
// is fatal. Answers 1.
int LoadTemplateCatalogue(const char* name);
// The same reading of bytes in memory (the fuzz target's input).
int LoadTemplateCatalogueFromBytes(const uint8_t* data, size_t size);
// Empties the lists and releases the pictures and records kept beside them.
void ClearTemplateCatalogue();

// The first record of a list, from the front, that the clan may use and whose role letter is
// the given one; null when none.
Template* FindInList(const NodeList& list, char clan, char role);

RoleTemplate* FindRoleTemplate(char clan, char role);
EffectTemplate* FindMTemplate(char clan, char role);
DirectionalEffectTemplate* FindETemplate(char clan, char role);
WeaponTemplate* FindWeaponTemplate(char clan, char role);
// Weapons, then sensor, defence and stealth items: the first match of the first list that has
// one.
MountTemplate* FindHardpointTemplate(char clan, char role);
// The first building record whose letter is the given one; no clan rule, no tech level.
BuildingTemplate* FindBuildingTemplate(char letter);
RepairRoleTemplate* GetRepairRoleTemplate();

// The gauge frames for a percentage: the bar has frames 0..4, the meter 0..5.
int LevelBarFrame(int percent);
int LevelMeterFrame(int percent);
void DrawLevelBar(int percent, Point position);
void DrawLevelMeter(int percent, Point position, int mode);
