#pragma once
// Writes template files (7a.pts) from a description of their records, and the string table
// their text fields point into. Standard() describes a small catalogue that holds every
// section, both clans and parts from tech level 1 to 8.
#include <string>
#include <vector>

#include "core/Point.h"

struct DirectionalEffectRecord {
    char clan = 'V', role = 'a', picture = 'a';
    int sound = -1, delay = 0;
    std::vector<int> offsets;  // 32 numbers; fewer when empty (zeros)
};

struct EffectRecord {
    char clan = 'X', role = 'b', picture = 'b';
    int sound = -1, fps = 10, delay = 0;
    std::string firstList = "3 0 1 2";
    std::string secondList = "0";
};

struct ShotPictureRecord {
    char clan = 'V', role = 'a';
};

struct DriveRow {
    char panel = 'w', map = 'w';
    int pairing = 1, secondCost = 5, firstCost = 10, buildTime = 1000, move = 30, drive2 = 0;
    char terrain1 = 'N', terrain2 = 'N';
    int verticalOffset = 8, layer = 0;
    char terrain3 = 'N';
    int altitude = 0, period = 100;
    char driveShadow = 'N', chassisShadow = 'N';
    int level = 1;
};

struct DriveGroup {
    int name = 30, help = 14, help2 = 14;
    char clan = 'V', role = 'W';
    std::vector<DriveRow> rows;
};

struct HardpointRecord {
    int capacity = 1;
    int offsetX = 10, offsetY = 4;  // every facing gets (offsetX + facing, offsetY)
};

struct ChassisRecord {
    int name = 40, help = 10, help2 = 14;
    char clan = 'V', role = 'a';
    int pairing = 1, secondCost = 20, firstCost = 40, buildTime = 3000, strength = 100, move = 20,
        panelIndex = 0, icon = 27, level = 1;
    std::vector<Point> designPoints;
    std::vector<int> slots;
    std::vector<Point> secondPoints;
    std::vector<HardpointRecord> hardpoints;
};

struct WeaponRecord {
    int name = 50, shortText = 51, help = 11;
    char clan = 'V', role = 'a';
    int secondCost = 8, firstCost = 16, buildTime = 2000, reload = 500, range = 160, travel = 20,
        firePower = 10;
    char fireEffect = 'a', explosion = 'b', projectile = 'a';
    int mountSize = 1;
    char kind = 'k';
    int shotLayer = 0, level = 1;
};

struct AircraftRecord {
    int name = 60, help = 14, help2 = 14;
    char clan = 'V', drive = 'A', panel = 'p', role = 'p';
    int pairing = 5, secondCost = 30, firstCost = 60, buildTime = 4000, move = 10, strength = 80,
        icon = 28, level = 2;
};

struct CarrierRecord {
    int name = 61, help = 14, help2 = 14;
    char clan = 'V', drive = 'C', panel = 'g', role = 'g';
    int sound = 7, pairing = 6, secondCost = 40, firstCost = 80, buildTime = 5000, move = 12,
        strength = 150, level = 3, icon = 29;
};

struct DeployingRecord {
    int name = 62, help = 14, help2 = 14;
    char clan = 'V', drive = 'D', unused = 'x', role = 'd';
    int sound = 8, pairing = 9, secondCost = 25, firstCost = 50, buildTime = 3500, move = 40,
        strength = 200, structure = 0, panelIndex = 2, tableHardpoints = 1, frames = 3, icon = 30,
        level = 2;
    int hardpointLines = 1;  // lines of step 10
};

struct ItemRecord {
    int section = 10;
    int name = 70, shortText = 71, help = 12, help2 = 14;
    char clan = 'X', role = 's';
    int secondCost = 4, firstCost = 8, buildTime = 1000, sensor = 3, mountSize = 1, level = 1;
    char shaded = 'Y';
    std::string frameList = "10 3 0 1 2";
};

struct BuildingRecord {
    int name = 80;
    char letter = 'V';
    int pairing = 20, move = 0, hitPoints = 1000, bodyX = 1, bodyY = 2, doorX = 3, doorY = 4,
        sound1 = 11, sound2 = 12, panelIndex = 5, parts = 2, extraParts = 1, doorFrames = 2,
        icon = 31;
    int capacity = 3;
};

struct WreckRecord {
    char clan = 'V', chassis = 'a';
    int value = 0;
};

struct DestructibleRecord {
    char clan = 'X', role = 'a';
};

class CatalogueFileBuilder {
public:
    static CatalogueFileBuilder Standard();
    // The string table the records' text fields point into: line n reads "Text n" except the
    // help formats and the default names.
    static std::string StringTableText();

    std::string Text() const;

    std::vector<DirectionalEffectRecord> directionalEffects;
    std::vector<EffectRecord> effects;
    std::vector<ShotPictureRecord> shotPictures;
    std::vector<DriveGroup> drives;
    std::vector<ChassisRecord> chassis;
    std::vector<WeaponRecord> weapons;
    std::vector<AircraftRecord> aircraft;
    std::vector<CarrierRecord> carriers;
    std::vector<DeployingRecord> deploying;
    std::vector<ItemRecord> items;  // written in sections 10, 11 and 12 by their section field
    std::vector<BuildingRecord> buildings;
    std::vector<WreckRecord> wrecks;
    std::vector<DestructibleRecord> destructibles;
};
