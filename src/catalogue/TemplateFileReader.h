#pragma once
// Reads the template file 7a.pts section by section into the catalogue lists. Every count the
// file gives is bounded before it sizes anything; missing fields keep the value they had for
// the previous record, as the file format allows.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/Point.h"

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
    // The most points one line of a point table gives.
    static constexpr int kMaxRowPoints = 50;

private:
    // Reads the next data line; false (and an empty line) at the end of the file or on an
    // empty line.
    bool Next();
    // The first line of a record: false at the '*' that ends the section or at the end.
    bool NextRecord();
    // Reads the next line's first number into value; value stays as it was when there is none.
    void NextNumber(int32_t& value);
    // Reads a table of rows × columns points, a line a row, into table (resized to it). A '*'
    // or the end of the file ends it early; points not read stay (0, 0).
    void ReadPointRows(std::vector<Point>& table, int rows, int columns);

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
