#include "catalogue/TemplateFileReader.h"

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "catalogue/BuildingTemplate.h"
#include "catalogue/CarrierChassisTemplate.h"
#include "catalogue/CatalogueFigures.h"
#include "catalogue/CatalogueMedia.h"
#include "catalogue/ChassisTemplate.h"
#include "catalogue/DeployingChassisTemplate.h"
#include "catalogue/DirectionalEffectTemplate.h"
#include "catalogue/EffectTemplate.h"
#include "catalogue/HardpointItemTemplates.h"
#include "catalogue/PackName.h"
#include "catalogue/PartTemplate.h"
#include "catalogue/PictureTemplates.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/TextScan.h"
#include "catalogue/WeaponTemplate.h"
#include "core/FatalError.h"
#include "core/Sound.h"
#include "core/SpriteSet.h"
#include "core/StringTable.h"

extern RepairRoleTemplate* repairRoleTemplate;

namespace {

using Text = std::optional<std::string>;

// The file's numbers are 32-bit: a product past the range wraps rather than overflowing.
int32_t WrappingTimes256(int32_t n) {
    return static_cast<int32_t>(static_cast<uint32_t>(n) * 256u);
}

const char* Ptr(const Text& t) {
    return t ? t->c_str() : nullptr;
}

// A string-table line copied as it stands.
Text PlainText(int32_t n) {
    const char* s = GetString(n);
    if (!s) return std::nullopt;
    return std::string(s);
}

// A string-table line used as a format over integer arguments.
Text FormattedText(int32_t n, std::initializer_list<int32_t> args) {
    const char* s = GetString(n);
    if (!s) return std::nullopt;
    return FormatIntegers(s, args);
}

int32_t YesNo(char c) {
    return c == 'Y' ? 1 : 0;
}

std::string PicturesOrNone(const char* format, char clan, char letter) {
    return letter == '-' ? std::string() : PackName(format, clan, letter);
}

// Pushes at the front of a list, handing the record over.
template <class T>
T* Front(NodeList& list, std::unique_ptr<T> record) {
    T* raw = record.release();
    T* kept = raw;
    list.PushFront(raw);
    return kept;
}

// Points of a number list: pairs of (x, y), at most max of them; a trailing odd number is
// ignored. Entries not given keep their values.
template <size_t N>
int ReadPointList(const char* line, std::array<Point, N>& points, int max) {
    std::array<int32_t, 2 * N> numbers{};
    max = std::clamp(max, 0, static_cast<int>(N));
    const int n = ReadNumberList(line, numbers.data(), 2 * max);
    for (int i = 0; i < n / 2; ++i)
        points[i] = Point(numbers[2 * i], numbers[2 * i + 1]);
    return n / 2;
}

// The 16 facing offsets of a line of 32 numbers, (x, y) a facing.
std::array<Point, 16> FacingOffsets(const std::array<int32_t, 32>& numbers) {
    std::array<Point, 16> offsets;
    for (int f = 0; f < 16; ++f)
        offsets[f] = Point(numbers[2 * f], numbers[2 * f + 1]);
    return offsets;
}

// Aircraft, carrier and deploying chassis lines give these six numbers in this order.
void SetChassisNumbers(ChassisValues& v, const int32_t* n) {
    v.pairing = n[0];
    v.secondCost = n[1];
    v.firstCost = n[2];
    v.buildTime = n[3];
    v.moveValue = n[4];
    v.strength = n[5];
}

// The map pictures by the chassis letter, the panel pictures by the panel letter.
void SetChassisPacks(ChassisValues& v, char clan, char role, char panel) {
    v.mapPicturesName = PackName("7a0R%cC%cX99s999.msp", clan, role);
    v.panelPicturesName = PackName("7a0u%cC%cX99s999.msp", clan, panel);
}

}  // namespace

// One hardpoint line: the capacity, then 16 (x, y) mount offsets. Numbers the line lacks keep
// their previous values.
struct TemplateFileReader::HardpointLine {
    std::array<int32_t, 33> numbers{};
    void Read(const char* line) { ReadNumberList(line, numbers.data(), 33); }
    int32_t Capacity() const { return numbers[0]; }
    Point Offset(int facing) const {
        return Point(numbers[1 + 2 * facing], numbers[2 + 2 * facing]);
    }
    // Adds this hardpoint after the chassis's others.
    void AppendTo(ChassisValues& v) const {
        v.capacities.push_back(Capacity());
        for (int f = 0; f < 16; ++f)
            v.mountOffsets.push_back(Offset(f));
    }
};

bool TemplateFileReader::Open(const char* name) {
    return file.Open(name, 1, 1) != 0;
}

bool TemplateFileReader::OpenBytes(const uint8_t* data, size_t size) {
    return file.OpenBytes(data, size) != 0;
}

bool TemplateFileReader::Next() {
    const int n = file.ReadDataLine(kLineSize, line);
    if (n <= 0) {
        line[0] = '\0';
        return false;
    }
    return true;
}

void TemplateFileReader::NextNumber(int32_t& value) {
    Next();
    ScanFields(line, "%d", {&value});
}

void TemplateFileReader::ReadHardpointLines(HardpointLine& hardpoint, ChassisValues& v, int max) {
    v.capacities.clear();
    v.mountOffsets.clear();
    int lines = 0;
    while (Next() && line[0] != '*') {
        hardpoint.Read(line);
        if (++lines > max) continue;
        hardpoint.AppendTo(v);
    }
    v.hardpointCount = static_cast<int32_t>(v.capacities.size());
}

void TemplateFileReader::ReadPointRows(std::vector<Point>& table, int rows, int columns) {
    std::array<Point, kMaxRowPoints> row{};
    table.assign(static_cast<size_t>(rows) * columns, Point());
    for (int r = 0; r < rows; ++r) {
        if (!Next() || line[0] == '*') break;
        const int n = ReadPointList(line, row, columns);
        for (int c = 0; c < n; ++c)
            table[static_cast<size_t>(r) * columns + c] = row[c];
    }
}

void TemplateFileReader::PartTexts::SetOn(TemplateValues& v) const {
    v.name = Ptr(name);
    v.helpText = Ptr(help);
    v.helpText2 = Ptr(help2);
}

TemplateFileReader::PartTexts TemplateFileReader::NextTexts(
    TextLines& lines, std::initializer_list<int32_t> helpArgs) {
    NextNumber(lines.help);
    NextNumber(lines.help2);
    return {PlainText(lines.name), FormattedText(lines.help, helpArgs),
            FormattedText(lines.help2, {})};
}

bool TemplateFileReader::NextRecord() {
    Media().BusyTick();
    return Next() && line[0] != '*';
}

void TemplateFileReader::ReadAll() {
    ReadDirectionalEffects();
    ReadEffects();
    ReadShotPictures();
    ReadDriveParts();
    ReadChassis();
    ReadWeapons();
    ReadAircraftChassis();
    ReadCarrierChassis();
    ReadDeployingChassis();
    ReadItems(10);
    ReadItems(11);
    ReadItems(12);
    ReadBuildings();
    ReadWrecks();
    ReadDestructibles();
    MakeFixedRecords();
}

void TemplateFileReader::ReadDirectionalEffects() {
    char clan = 0, role = 0, picture = 0;
    int32_t sound = -1, delay = 0;
    std::array<int32_t, 32> numbers{};
    while (NextRecord()) {
        ScanFields(line, "%c %c %c %d %d", {&clan, &role, &picture, &sound, &delay});
        Next();
        ReadNumberList(line, numbers.data(), 32);
        Front(DirectionalEffectList,
              std::make_unique<DirectionalEffectTemplate>(
                  clan, role, delay, PicturesOrNone("7a0E%cX%cX99s999.msp", clan, picture), sound,
                  FacingOffsets(numbers)));
    }
}

namespace {

// A frame list: a count, then that many frame numbers. The count is capped at 99 and shrinks
// to the numbers present.
struct FrameList {
    int32_t count = 0;
    std::array<int32_t, EffectTemplate::kMaxSequence> frames{};

    // Reads the list from the position of the count among the line's numbers.
    void Read(const int32_t* numbers, int n) {
        if (n <= 0) {
            count = 0;
            return;
        }
        count = std::clamp<int32_t>(numbers[0], 0, EffectTemplate::kMaxSequence);
        count = std::min<int32_t>(count, n - 1);
        std::copy(numbers + 1, numbers + 1 + count, frames.begin());
    }
};

}  // namespace

void TemplateFileReader::ReadEffects() {
    char clan = 0, role = 0, picture = 0;
    int32_t sound = -1, fps = 1, delay = 0;
    FrameList first, second;
    std::array<int32_t, 1 + EffectTemplate::kMaxSequence> numbers{};
    while (NextRecord()) {
        ScanFields(line, "%c %c %c %d %d %d", {&clan, &role, &picture, &sound, &fps, &delay});
        Next();
        first.Read(numbers.data(), ReadNumberList(line, numbers.data(), numbers.size()));
        Next();
        second.Read(numbers.data(), ReadNumberList(line, numbers.data(), numbers.size()));
        EffectTemplate* effect = Front(
            EffectList,
            std::make_unique<EffectTemplate>(
                clan, role, delay, PicturesOrNone("7a0M%cX%cX99s999.msp", clan, picture), sound,
                fps, first.count, first.frames.data(), second.count, second.frames.data()));
        // Of several, the last read is the destruction effect.
        if (role == 'j') DestructionEffect = effect;
    }
}

void TemplateFileReader::ReadShotPictures() {
    char clan = 0, role = 0;
    while (NextRecord()) {
        ScanFields(line, "%c %c", {&clan, &role});
        Front(ShotPictureList, std::make_unique<ShotPictureTemplate>(clan, role));
    }
}

void TemplateFileReader::ReadDriveParts() {
    TextLines lines;
    char clan = 0, role = 0;
    char panel = 0, map = 0, f9 = 0, f10 = 0, f13 = 0, f16 = 0, f17 = 0;
    int32_t secondCost = 0, firstCost = 0, buildTime = 0;
    DriveRowValues row;
    // A '*' where a group would begin ends the section.
    while (NextRecord()) {
        ScanFields(line, "%d", {&lines.name});
        const PartTexts texts = NextTexts(lines, {});
        Next();
        ScanFields(line, "%c %c", {&clan, &role});

        PartTemplate* base = nullptr;
        PartTemplate* previous = nullptr;
        while (Next() && line[0] != '*') {
            ScanFields(
                line, "%c %c %d %d %d %d %d %d %c %c %d %d %c %d %d %c %c %d",
                {&panel, &map, &row.pairing, &secondCost, &firstCost, &buildTime, &row.moveValue,
                 &row.secondDriveValue, &f9, &f10, &row.verticalOffset, &row.layer, &f13,
                 &row.altitude, &row.animationPeriod, &f16, &f17, &row.minimumTechLevel});
            row.terrainFlag1 = YesNo(f9);
            row.terrainFlag2 = YesNo(f10);
            row.terrainFlag3 = YesNo(f13);
            row.driveShadow = YesNo(f16);
            row.chassisShadow = YesNo(f17);
            const std::string mapName = PicturesOrNone("7a0R%cT%cX99s999.msp", clan, map);
            const std::string panelName = PicturesOrNone("7a0u%cT%cX99s999.msp", clan, panel);
            std::unique_ptr<PartTemplate> part;
            if (!base) {
                part = std::make_unique<PartTemplate>(clan, role, secondCost, firstCost, buildTime,
                                                      Ptr(texts.name), Ptr(texts.help),
                                                      Ptr(texts.help2), mapName, panelName, row);
            } else if (panel != '-' && map != '-') {
                part = std::make_unique<PartTemplate>(clan, role, secondCost, firstCost, buildTime,
                                                      base, mapName, panelName, row);
            } else if (panel == '-' && map != '-') {
                part = std::make_unique<PartTemplate>(clan, role, secondCost, firstCost, buildTime,
                                                      previous, mapName, std::string(), row);
            } else if (panel == '-' && map == '-') {
                part = std::make_unique<PartTemplate>(clan, role, secondCost, firstCost, buildTime,
                                                      previous, std::string(), std::string(), row);
            } else {
                continue;  // a panel picture without a map picture is not a row of the format
            }
            previous = Front(PartList, std::move(part));
            if (!base) base = previous;
        }
    }
}

void TemplateFileReader::ReadChassis() {
    TextLines lines;
    std::array<int32_t, 9> g{};
    ChassisValues v;
    HardpointLine hardpoint;
    std::array<int32_t, 7> slots{};
    while (NextRecord()) {
        ScanFields(line, "%d", {&lines.name});
        Next();
        ScanFields(
            line, "%c %c %d %d %d %d %d %d %d %d %d",
            {&v.clan, &v.role, &g[0], &g[1], &g[2], &g[3], &g[4], &g[5], &g[6], &g[7], &g[8]});
        const PartTexts texts = NextTexts(lines, {g[4], g[1], g[2], g[3] / 1000});
        Next();
        ReadPointList(line, v.designMountPoints, 7);
        Next();
        ReadNumberList(line, slots.data(), 7);
        Next();
        ReadPointList(line, v.secondPoints, 7);

        // At most seven hardpoints.
        ReadHardpointLines(hardpoint, v, ChassisTemplate::kMaxHardpoints);
        v.pairing = g[0];
        v.secondCost = g[1];
        v.firstCost = g[2];
        v.buildTime = g[3];
        v.strength = g[4];
        v.moveValue = g[5];
        v.designPanelIndex = g[6];
        v.unitPanelIcon = g[7];
        v.minimumTechLevel = g[8];
        v.hasSlotOrder = true;
        for (int k = 0; k < 7; ++k)
            v.slotOrder[k] = slots[k];
        texts.SetOn(v);
        SetChassisPacks(v, v.clan, v.role, v.role);
        Front(ChassisList, std::make_unique<ChassisTemplate>(v));
    }
}

void TemplateFileReader::ReadWeapons() {
    int32_t nameLine = 0, shortLine = 0, helpLine = 0;
    char clan = 0, role = 0, r1 = '-', r2 = '-', r3 = '-', kind = 0;
    std::array<int32_t, 10> w{};
    std::array<int32_t, 32> numbers{};
    while (NextRecord()) {
        ScanFields(line, "%d", {&nameLine});
        NextNumber(shortLine);
        Next();
        ScanFields(line, "%c %c %d %d %d %d %d %d %d %c %c %c %d %c %d %d",
                   {&clan, &role, &w[1], &w[2], &w[3], &w[4], &w[5], &w[6], &w[7], &r1, &r2, &r3,
                    &w[8], &kind, &w[9], &w[0]});
        NextNumber(helpLine);
        Next();
        ReadNumberList(line, numbers.data(), 32);
        const Text name = PlainText(nameLine);
        const Text shortText = PlainText(shortLine);
        const Text help =
            FormattedText(helpLine, {w[8], w[1], w[2], w[3] / 1000, w[5], w[7], w[4] / 1000});

        WeaponValues v;
        v.mount.clan = clan;
        v.mount.role = role;
        v.mount.secondCost = w[1];
        v.mount.firstCost = w[2];
        v.mount.buildTime = w[3];
        v.mount.name = Ptr(name);
        v.mount.helpText = Ptr(help);
        v.mount.mapPicturesName = PackName("7a0R%cW%cX99s999.msp", clan, role);
        v.mount.panelPicturesName = PackName("7a0u%cW%cX99s999.msp", clan, role);
        v.mount.mountSize = w[8];
        v.mount.panelBitmapName = PackName("7a0u%s7a0u%cN%cX00s000.msp", clan, role);
        v.mount.shortText = Ptr(shortText);
        v.mount.minimumTechLevel = w[0];
        v.reloadField = w[4];
        v.rangeField = w[5];
        v.travelField = w[6];
        v.firePowerField = w[7];
        v.kindLetter = kind;
        v.shotLayerField = w[9];
        v.muzzleOffsets = FacingOffsets(numbers);
        v.fireEffect = r1 == '-' ? nullptr : FindETemplate(clan, r1);
        v.explosion = r2 == '-' ? nullptr : FindMTemplate(clan, r2);
        v.projectile =
            r3 == '-' ? nullptr
                      : static_cast<ShotPictureTemplate*>(FindInList(ShotPictureList, clan, r3));
        Front(WeaponList, MakeWeaponTemplate(WeaponClassFor(clan, role), v));
    }
}

void TemplateFileReader::ReadNameClanAndDrive(TextLines& lines, char& clan, char& drive) {
    ScanFields(line, "%d", {&lines.name});
    Next();
    ScanFields(line, "%c %c", {&clan, &drive});
    Next();
}

void TemplateFileReader::ReadAircraftChassis() {
    TextLines lines;
    char clan = 0, drive = 0, panel = 0, role = 0;
    std::array<int32_t, 8> h{};
    bool any = false;
    while (NextRecord()) {
        ReadNameClanAndDrive(lines, clan, drive);
        ScanFields(line, "%c %c %d %d %d %d %d %d %d %d",
                   {&panel, &role, &h[0], &h[1], &h[2], &h[3], &h[4], &h[5], &h[6], &h[7]});
        const PartTexts texts = NextTexts(lines, {});
        ChassisValues v;
        v.clan = clan;
        v.role = role;
        SetChassisNumbers(v, &h[0]);
        v.unitPanelIcon = h[6];
        v.minimumTechLevel = h[7];
        texts.SetOn(v);
        SetChassisPacks(v, clan, role, panel);
        // All keys are 0, so the stable sorted insertion appends: these keep file order.
        ChassisList.InsertSorted(new ChassisTemplate(v), 1);
        any = true;
    }
    if (!any) return;
    Front(PartList, std::make_unique<PartTemplate>('X', drive, h[0], 2, 20, 0, h[7]));
}

void TemplateFileReader::ReadCarrierChassis() {
    TextLines lines;
    char clan = 0, drive = 0, panel = 0, role = 0;
    std::array<int32_t, 9> j{};
    bool any = false;
    while (NextRecord()) {
        ReadNameClanAndDrive(lines, clan, drive);
        ScanFields(line, "%c %c %d %d %d %d %d %d %d %d %d",
                   {&panel, &role, &j[0], &j[1], &j[2], &j[3], &j[4], &j[5], &j[6], &j[7], &j[8]});
        const PartTexts texts = NextTexts(lines, {});
        ChassisValues v;
        // Carriers belong to VARNOK whatever the picture letter says.
        v.clan = 'V';
        v.role = role;
        SetChassisNumbers(v, &j[1]);
        v.minimumTechLevel = j[7];
        v.unitPanelIcon = j[8];
        texts.SetOn(v);
        SetChassisPacks(v, clan, role, panel);
        ChassisList.InsertSorted(
            new CarrierChassisTemplate(v, PackName("7a0A%cC%cX99s999.msp", clan, role), j[0]), 1);
        any = true;
    }
    if (!any) return;
    Front(PartList, std::make_unique<PartTemplate>('X', drive, j[1], 2, 32, 0, j[7]));
}

void TemplateFileReader::ReadDeployingChassis() {
    TextLines lines;
    char clan = 0, drive = 0, unused = 0, role = 0;
    std::array<int32_t, 13> k{};
    std::array<Point, DeployingValues::kMaxHardpoints> deployed{};
    HardpointLine hardpoint;
    bool any = false;
    int32_t lowestLevel = 8;
    while (NextRecord()) {
        ReadNameClanAndDrive(lines, clan, drive);
        ScanFields(line, "%c %c %d %d %d %d %d %d %d %d %d %d %d %d %d",
                   {&unused, &role, &k[0], &k[1], &k[2], &k[3], &k[4], &k[5], &k[6], &k[7], &k[8],
                    &k[9], &k[10], &k[11], &k[12]});
        const PartTexts texts = NextTexts(lines, {});

        // The deploy tables hold at most 2 hardpoints and 50 points in all.
        const int tableHardpoints = std::clamp<int32_t>(k[9], 0, DeployingValues::kMaxHardpoints);
        const int frames = std::clamp<int32_t>(
            k[10], 0, DeployingValues::kMaxFramePoints / std::max(1, tableHardpoints));
        DeployingValues d;
        Next();
        ReadPointList(line, deployed, tableHardpoints);
        d.deployedMountPoints.assign(deployed.begin(), deployed.begin() + tableHardpoints);
        ReadPointRows(d.frameMountPoints, tableHardpoints, frames);
        ChassisValues v;
        Next();
        ReadPointList(line, v.designMountPoints, tableHardpoints);
        Next();
        ReadPointList(line, v.secondPoints, tableHardpoints);
        ReadHardpointLines(hardpoint, v, DeployingValues::kMaxHardpoints);
        v.clan = clan;
        v.role = role;
        SetChassisNumbers(v, &k[1]);
        v.designPanelIndex = k[8];
        v.unitPanelIcon = k[11];
        v.minimumTechLevel = k[12];
        texts.SetOn(v);
        v.mapPicturesName = PackName("7a0R%cC%cX99s999.msp", clan, role);
        v.panelPicturesName = PackName("7a0U%cC%cX99s999.msp", clan, role);
        d.deployedPicturesName = PackName("7a0A%cC%cX99s999.msp", clan, role);
        d.underAnimationName = PackName("7a0A%cD%cX99s999.msp", clan, role);
        d.underPictureName = PackName("7a0R%cD%cX99s999.msp", clan, role);
        d.structureCode = k[7];
        d.deployHardpoints = tableHardpoints;
        d.deployFrameCount = frames;
        d.soundNumber = k[0];
        ChassisList.InsertSorted(new DeployingChassisTemplate(v, d), 1);
        lowestLevel = std::min(lowestLevel, k[12]);
        any = true;
    }
    if (!any) return;
    Front(PartList, std::make_unique<PartTemplate>('X', drive, k[1], 1, 10, 0, lowestLevel));
}

void TemplateFileReader::ReadItems(int section) {
    TextLines lines;
    int32_t shortLine = 0;
    char clan = 0, role = 0, shaded = 0;
    int32_t e1 = 0, e2 = 0, e3 = 0, e4 = 0, e5 = 0, e6 = 1;
    int32_t fps = 1;
    FrameList frames;
    std::array<int32_t, 2 + EffectTemplate::kMaxSequence> numbers{};
    while (NextRecord()) {
        ScanFields(line, "%d", {&lines.name});
        NextNumber(shortLine);
        Next();
        if (section == 10)
            ScanFields(line, "%c %c %d %d %d %d %d %d ",
                       {&clan, &role, &e1, &e2, &e3, &e4, &e5, &e6});
        else if (section == 11)
            ScanFields(line, "%c %c %d %d %d %d %c %d ",
                       {&clan, &role, &e1, &e2, &e3, &e5, &shaded, &e6});
        else
            ScanFields(line, "%c %c %d %d %d %d %d ", {&clan, &role, &e1, &e2, &e3, &e5, &e6});
        if (section == 11) {
            Next();
            const int n = ReadNumberList(line, numbers.data(), numbers.size());
            if (n > 0) fps = numbers[0];
            frames.Read(numbers.data() + 1, n - 1);
        }
        const PartTexts texts =
            section == 10 ? NextTexts(lines, {e5, e1, e2, e3 / 1000, WrappingTimes256(e4)})
                          : NextTexts(lines, {e5, e1, e2, e3 / 1000});
        const Text shortText = PlainText(shortLine);

        MountValues v;
        v.clan = clan;
        v.role = role;
        v.secondCost = e1;
        v.firstCost = e2;
        v.buildTime = e3;
        texts.SetOn(v);
        v.mapPicturesName = PackName("7a0RXA%cX99s999.msp", role);
        v.panelPicturesName = PackName("7a0uXA%cX99s999.msp", role);
        v.mountSize = e5;
        v.panelBitmapName = PackName("7a0u%s7a0uxn%cx00s000.msp", role);
        v.shortText = Ptr(shortText);
        v.minimumTechLevel = e6;
        if (section == 10)
            Front(SensorItemList, std::make_unique<SensorItemTemplate>(v, e4));
        else if (section == 11)
            Front(DefenceItemList, std::make_unique<DefenceItemTemplate>(
                                       v, YesNo(shaded), fps, frames.count, frames.frames.data(),
                                       PackName("7a0AXA%cX99s999.msp", role)));
        else
            Front(StealthItemList, std::make_unique<StealthItemTemplate>(v));
    }
}

void TemplateFileReader::ReadBuildings() {
    int32_t nameLine = 0;
    char letter = 0;
    std::array<int32_t, 14> m{};
    std::array<Point, 7> design{}, second{};
    HardpointLine hardpoint;
    while (NextRecord()) {
        ScanFields(line, "%d", {&nameLine});
        Next();
        ScanFields(line, "%c %d %d %d %d %d %d %d %d %d %d %d %d %d %d",
                   {&letter, &m[0], &m[1], &m[2], &m[3], &m[4], &m[5], &m[6], &m[7], &m[8], &m[9],
                    &m[10], &m[11], &m[12], &m[13]});
        const Text name = PlainText(nameLine);
        // Parts and extra parts share the seven hardpoints.
        const int parts = std::clamp<int32_t>(m[10], 0, 7);
        const int extra = std::clamp<int32_t>(m[11], 0, 7 - parts);
        const int all = parts + extra;
        const int doorFrames = std::clamp<int32_t>(m[12], 0, kMaxDoorFrames);
        Next();
        ReadPointList(line, design, all);
        Next();
        ReadPointList(line, second, all);

        ChassisValues v;
        for (int h = 0; h < all; ++h) {
            if (!Next() || line[0] == '*') break;
            hardpoint.Read(line);
            hardpoint.AppendTo(v);
        }
        BuildingValues b;
        ReadPointRows(b.doorMountTable, doorFrames, all);

        v.clan = letter;
        v.role = 'z';
        v.name = Ptr(name);
        v.pairing = m[0];
        v.mapPicturesName = PackName("7a0R%cMMX99s999.msp", letter);
        v.panelPicturesName = PackName("7a0U%cMMX99s999.msp", letter);
        v.strength = m[2];
        v.moveValue = m[1];
        // Hardpoints whose lines a '*' cut off keep capacity 0 and no offsets.
        v.hardpointCount = all;
        v.designPanelIndex = m[9];
        v.designMountPoints = design;
        v.secondPoints = second;
        v.hasSlotOrder = true;
        v.slotOrder = {0, 1, 2, 3, 4, 5, 0};
        v.unitPanelIcon = m[13];
        v.minimumTechLevel = 1;
        auto chassis = std::make_unique<ChassisTemplate>(v);

        PartTemplate* part = new PartTemplate(letter, 'P', m[0], 1, 10, 0, 1);
        PartList.PushBack(part);

        b.letter = letter;
        b.name = Ptr(name);
        b.hitPoints = m[2];
        b.partCount = parts;
        b.extraPartCount = extra;
        b.doorFrameCount = doorFrames;
        b.bodyOffset = Point(m[3], m[4]);
        b.doorOffset = Point(m[5], m[6]);
        b.firstSound = m[7];
        b.secondSound = m[8];
        Front(BuildingList, std::make_unique<BuildingTemplate>(b, std::move(chassis), part));
    }
}

void TemplateFileReader::ReadWrecks() {
    char clan = 0, chassis = 0;
    int32_t value = 0;
    while (NextRecord()) {
        ScanFields(line, "%c %c %d", {&clan, &chassis, &value});
        Front(WreckList, std::make_unique<WreckTemplate>(clan, chassis, value));
    }
}

void TemplateFileReader::ReadDestructibles() {
    char clan = 0, role = 0;
    while (NextRecord()) {
        ScanFields(line, "%c %c", {&clan, &role});
        Front(DestructibleList, std::make_unique<DestructibleTemplate>(clan, role));
    }
}

void TemplateFileReader::MakeFixedRecords() {
    delete repairRoleTemplate;
    repairRoleTemplate = new RepairRoleTemplate('X', 'a', "7a0axfkx99s999.msp");
    Front(RoleList, std::make_unique<RoleTemplate>('X', 'h', "7a0axchx99s999.msp"));
    Front(RoleList, std::make_unique<RoleTemplate>('X', 'f', "7a0axcfx99s999.msp"));
    Front(RoleList, std::make_unique<RoleTemplate>('X', 'x', "7a0kxxxx99s999.msp"));
    delete ArtifactPictures;
    ArtifactPictures = Media().LoadGrid("7a0axeax99s999.msp").release();
    delete ArtifactSound;
    ArtifactSound = Media().MakeSound(56).release();
    delete OreDepositPictures;
    OreDepositPictures = Media().LoadRow("7a0axtcx99s999.msp").release();
    delete LevelBarPictures;
    LevelBarPictures = Media().LoadColumn("7a0sxbxx99s999.msp").release();
    delete LevelMeterPictures;
    LevelMeterPictures = Media().LoadColumn("7a0sxmxx99s999.msp").release();
}

namespace {

int ReadTemplateCatalogue(TemplateFileReader& reader) {
    Media().BusyEnable(1);
    const std::string speed = Media().ReadSpeedOption();
    if (!speed.empty()) {
        int32_t value = 0;
        if (ScanFields(speed.c_str(), "%d", {&value}) == 1) SpeedAdjustment = 3 - value;
    }
    reader.ReadAll();
    TheCatalogueFigures.WorkOut();
    Media().BusyEnable(0);
    return 1;
}

}  // namespace

int LoadTemplateCatalogue(const char* name) {
    TemplateFileReader reader;
    if (!reader.Open(name)) ResourceMissing(reader.Fault());
    return ReadTemplateCatalogue(reader);
}

int LoadTemplateCatalogueFromBytes(const uint8_t* data, size_t size) {
    TemplateFileReader reader;
    reader.OpenBytes(data, size);
    return ReadTemplateCatalogue(reader);
}
