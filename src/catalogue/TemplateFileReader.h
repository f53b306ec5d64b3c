#pragma once
// Reads the template file 7a.pts section by section into the catalogue lists. Every count the
// file gives is bounded before it sizes anything; missing fields keep the value they had for
// the previous record, as the file format allows.
#include <cstdint>
#include <optional>
#include <string>

#include "core/ResourceFile.h"

class PartTemplate;

class TemplateFileReader {
public:
    // Opens the file relative to the asset directory; false when it cannot be opened.
    bool Open(const char* name);
    // Reads sections 1 to 15 and makes the fixed records and global pictures.
    void ReadAll();

    static constexpr int kLineSize = 256;
    static constexpr int kMaxDoorFrames = 100;

private:
    // Reads the next data line; false (and an empty line) at the end of the file or on an
    // empty line.
    bool Next();
    // The first line of a record: false at the '*' that ends the section or at the end.
    bool NextRecord();

    void ReadDirectionalEffects();
    void ReadEffects();
    void ReadShotPictures();
    void ReadDriveParts();
    void ReadChassis();
    void ReadWeapons();
    void ReadAircraftChassis();
    void ReadCarrierChassis();
    void ReadDeployingChassis();
    void ReadItems(int section);
    void ReadBuildings();
    void ReadWrecks();
    void ReadDestructibles();
    void MakeFixedRecords();

    ResourceFile file;
    char line[kLineSize] = {};
};
