#pragma once
// Reads the template file 7a.pts section by section into the catalogue lists. Every count the
// file gives is bounded before it sizes anything; missing fields keep the value they had for
// the previous record, as the file format allows.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "core/Point.h"

#include "core/ResourceFile.h"

class PartTemplate;
struct ChassisValues;
struct TemplateValues;

class TemplateFileReader {
public:
    // Opens the file relative to the asset directory; false when it cannot be opened.
    bool Open(const char* name);
    // Reads bytes in memory as the file (they must outlive the reader).
    bool OpenBytes(const uint8_t* data, size_t size);
    // Why Open failed, with the file's path.
    const std::string& Fault() const { return file.Fault(); }
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

    // The string-table lines a record names; one a record lacks keeps the previous record's.
    struct TextLines {
        int32_t name = 0;
        int32_t help = 0;
        int32_t help2 = 0;
    };
    // A record's texts, looked up from its string-table lines.
    struct PartTexts {
        std::optional<std::string> name;
        std::optional<std::string> help;
        std::optional<std::string> help2;
        // Points the values' texts into these, which must outlive the values' use.
        void SetOn(TemplateValues& v) const;
    };
    // Reads the numbers of the help and second help lines, then looks up the texts: the help
    // line is a format over helpArgs.
    PartTexts NextTexts(TextLines& lines, std::initializer_list<int32_t> helpArgs);
    // The opening lines of a section 7-9 chassis record: its name line, then clan and drive.
    void ReadNameClanAndDrive(TextLines& lines, char& clan, char& drive);
    // Reads the next line's first number into value; value stays as it was when there is none.
    void NextNumber(int32_t& value);
    // One hardpoint line; numbers a line lacks keep the previous line's.
    struct HardpointLine;
    // Reads hardpoint lines up to the '*' that ends the record into the values' tables (which
    // it empties first); lines past the first max are read and dropped.
    void ReadHardpointLines(HardpointLine& hardpoint, ChassisValues& v, int max);
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
