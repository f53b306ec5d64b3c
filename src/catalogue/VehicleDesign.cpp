#include "catalogue/VehicleDesign.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "catalogue/BuildingTemplate.h"
#include "catalogue/CatalogueServices.h"
#include "catalogue/ChassisTemplate.h"
#include "catalogue/MountTemplate.h"
#include "catalogue/PartTemplate.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/TextScan.h"
#include "core/ShadeTable.h"
#include "core/SpriteSet.h"
#include "core/StringTable.h"

namespace {

constexpr int kDefaults[VehicleDesign::kParameters] = {3, 99, 1, 99, 2, 1, 2, 2, 99};
// Code position and width of each parameter.
constexpr int kPosition[VehicleDesign::kParameters] = {10, 11, 13, 14, 16, 17, 18, 19, 20};
constexpr int kWidth[VehicleDesign::kParameters] = {1, 2, 1, 2, 1, 1, 1, 1, 2};

const char* DefaultName() {
    const char* text = GetString(VehicleDesign::kDefaultNameLine);
    return text ? text : "";
}

// Copies at most size - 1 characters and terminates.
void CopyText(char* to, size_t size, const char* from) {
    size_t n = 0;
    if (from)
        while (n + 1 < size && from[n]) {
            to[n] = from[n];
            ++n;
        }
    to[n] = '\0';
}

int Limit(int i, int value) {
    switch (i) {
        case 0:
            return std::min(value, 5);
        case 1:
        case 3:
        case 8:
            return value >= 100 ? 99 : value;
        case 2:
            return value >= 1 ? 1 : value;
        case 4:
            return std::min(value, 3);
        case 5:
            return std::min(value, 1);
        case 6:
            return std::clamp(value, 2, 5);
        case 7:
            return std::min(value, 3);
        default:
            return value;
    }
}

template <class T>
T* FirstAvailable(const NodeList& list, char clan, char role) {
    return static_cast<T*>(FindInList(list, clan, role));
}

}  // namespace

void VehicleDesign::MakeFresh(char newClan) {
    clan = newClan;
    complete = 0;
    named = 0;
    drive = nullptr;
    chassis = nullptr;
    hardpoints.fill(nullptr);
    noCharge = 0;
    requiredLevel = 0;
    for (int i = 0; i < kParameters; ++i)
        parameters[i] = kDefaults[i];
    CopyText(name, sizeof name, DefaultName());
    std::memset(code, 0, sizeof code);
    code[0] = clan;
    code[1] = '?';
    code[2] = '?';
    std::memset(code + 3, '-', kHardpoints);
    std::memcpy(code + 10, "399199212299", 12);
}

VehicleDesign::VehicleDesign(char newClan) {
    MakeFresh(newClan);
    // At construction at most 63 characters of the name follow the code.
    CopyText(code + kCodeLength, 64, name);
}

VehicleDesign::VehicleDesign(const char* text) {
    if (!text) text = "";
    const size_t length = std::strlen(text);
    // Positions past the end of a short code read as blanks for parts and defaults for
    // parameters, never as bytes behind the text.
    auto at = [&](size_t i) -> char { return i < length ? text[i] : '\0'; };

    // A code without even a clan letter makes a VARNOK design rather than one whose code
    // string would be empty.
    MakeFresh(length > 0 ? text[0] : 'V');
    std::memset(code + 3, '-', kCodeLength - 3);
    code[kCodeLength] = '\0';

    if (at(1) == 'P' && at(2) == 'z') {
        for (ListNode* n = BuildingList.First(); n; n = BuildingList.Next(n)) {
            BuildingTemplate* b = static_cast<BuildingTemplate*>(n);
            if (b->clan != clan) continue;
            SetPrimaryPart(b->chassis.get());
            SetSecondaryPart(b->part);
            break;
        }
    } else {
        if (at(2)) {
            if (auto* c = FirstAvailable<ChassisTemplate>(ChassisList, clan, at(2)))
                SetPrimaryPart(c);
        }
        if (at(1)) {
            if (auto* d = FirstAvailable<PartTemplate>(PartList, clan, at(1))) SetSecondaryPart(d);
        }
    }

    for (int i = 0; i < kHardpoints; ++i) {
        const char letter = at(3 + i);
        if (letter == '-' || letter == '\0') continue;
        // Every acceptable match replaces the previous one: the last in the order weapons,
        // sensor, defence, stealth items stays.
        for (const NodeList* list :
             {&WeaponList, &SensorItemList, &DefenceItemList, &StealthItemList}) {
            for (ListNode* n = list->First(); n; n = list->Next(n)) {
                MountTemplate* m = static_cast<MountTemplate*>(n);
                if (m->role == letter && IsAvailableTo(*m, clan)) SetHardpoint(m, i);
            }
        }
    }

    for (int i = 0; i < kParameters; ++i) {
        const size_t p = kPosition[i];
        // A field the code does not reach reads as '-', its default.
        const char first = p < length ? text[p] : '-';
        int value;
        if (first == '-') {
            value = kDefaults[i];
        } else if (kWidth[i] == 1) {
            value = DigitValue(first);
        } else {
            value = 10 * DigitValue(first) + DigitValue(at(p + 1));
        }
        SetParameter(i, value);
    }

    if (length > static_cast<size_t>(kCodeLength)) {
        CopyText(name, sizeof name, text + kCodeLength);
        named = 1;
    }
    UpdateComplete();
}

VehicleDesign::~VehicleDesign() = default;

VehicleDesign& VehicleDesign::CopyFrom(const VehicleDesign& other) {
    if (&other == this) return *this;
    drive = nullptr;
    chassis = nullptr;
    code[1] = '?';
    code[2] = '?';
    clan = other.clan;
    code[0] = clan;
    SetPrimaryPart(other.chassis);
    SetSecondaryPart(other.drive);
    if (chassis) {
        for (int i = 0; i < kHardpoints; ++i)
            SetHardpoint(other.hardpoints[i], i);
    }
    for (int i = 0; i < kParameters; ++i)
        SetParameter(i, other.parameters[i]);
    CopyText(name, sizeof name, other.name);
    named = other.named;
    UpdateComplete();
    return *this;
}

void VehicleDesign::ClearHardpoints() {
    hardpoints.fill(nullptr);
    std::memset(code + 3, '-', kHardpoints);
}

int VehicleDesign::SetSecondaryPart(PartTemplate* part) {
    if (!part) {
        drive = nullptr;
        code[1] = '?';
        complete = 0;
        return 1;
    }
    if (chassis) {
        part = FindMatchingSecondaryPart(chassis, part);
        if (!part) return 0;
    }
    drive = part;
    code[1] = part->role;
    UpdateComplete();
    UpdateRequiredLevel();
    return 1;
}

int VehicleDesign::SetPrimaryPart(ChassisTemplate* newChassis) {
    // A new chassis empties the hardpoints even when it is then refused.
    if (newChassis != chassis) ClearHardpoints();
    if (!newChassis) {
        chassis = nullptr;
        code[2] = '?';
        complete = 0;
        return 1;
    }
    if (drive) {
        PartTemplate* matching = FindMatchingSecondaryPart(newChassis, drive);
        if (!matching) return 0;
        drive = matching;
        code[1] = matching->role;
    }
    chassis = newChassis;
    code[2] = newChassis->role;
    if (!named && newChassis->Name()) CopyText(name, sizeof name, newChassis->Name());
    UpdateComplete();
    UpdateRequiredLevel();
    return 1;
}

int VehicleDesign::SetHardpoint(MountTemplate* part, int i) {
    if (i < 0 || i >= kHardpoints) return 0;
    if (!part) {
        hardpoints[i] = nullptr;
        code[3 + i] = '-';
        return 1;
    }
    if (!chassis || !FitsHardpoint(part, i, chassis)) return 0;
    hardpoints[i] = part;
    code[3 + i] = part->role;
    UpdateRequiredLevel();
    return 1;
}

int VehicleDesign::SetParameter(int i, int value) {
    if (i < 0 || i >= kParameters) return 0;
    value = Limit(i, value);
    const int changed = parameters[i] != value ? 1 : 0;
    parameters[i] = value;
    char printed[16];
    std::snprintf(printed, sizeof printed, kWidth[i] == 1 ? "%d" : "%02d", value);
    code[kPosition[i]] = printed[0];
    if (kWidth[i] == 2) code[kPosition[i] + 1] = printed[1] ? printed[1] : ' ';
    return changed;
}

bool VehicleDesign::FitsHardpoint(const MountTemplate* part, int i,
                                  const ChassisTemplate* chassis) {
    if (!part || !chassis || i < 0 || i >= chassis->hardpointCount) return false;
    return part->mountSize <= chassis->Capacity(i);
}

int VehicleDesign::HardpointsTaking(const MountTemplate* part) const {
    int taking = 0;
    for (int i = 0; i < kHardpoints; ++i)
        taking += FitsHardpoint(part, i, chassis) ? 1 : 0;
    return taking;
}

PartTemplate* VehicleDesign::FindMatchingSecondaryPart(const ChassisTemplate* forChassis,
                                                       const PartTemplate* like) const {
    if (!forChassis || !like) return nullptr;
    for (ListNode* n = PartList.First(); n; n = PartList.Next(n)) {
        PartTemplate* p = static_cast<PartTemplate*>(n);
        if (p->role == like->role && p->pairing == forChassis->pairing && IsAvailableTo(*p, clan))
            return p;
    }
    return nullptr;
}

const char* VehicleDesign::CodeString() {
    // The name is cut to 64 characters and always terminated, so no stale text of a longer
    // earlier name can follow it.
    CopyText(code + kCodeLength, kCodeNameLength + 1, name);
    return code;
}

bool VehicleDesign::IsDefault() const {
    if (drive || chassis) return false;
    for (int i = 0; i < kParameters; ++i)
        if (parameters[i] != kDefaults[i]) return false;
    return std::strcmp(name, DefaultName()) == 0;
}

template <class Field>
int VehicleDesign::SumParts(Field field) const {
    if (noCharge) return 0;
    int sum = 0;
    if (drive) sum += field(*drive);
    if (chassis) sum += field(*chassis);
    for (const MountTemplate* m : hardpoints)
        if (m) sum += field(*m);
    return sum;
}

int VehicleDesign::SumPartField5() const {
    return SumParts([](const Template& t) { return t.firstCost; });
}

int VehicleDesign::SumPartField6() const {
    return SumParts([](const Template& t) { return t.secondCost; });
}

int VehicleDesign::SumPartField7() const {
    return SumParts([](const Template& t) { return t.buildTime; });
}

int VehicleDesign::MoveDelay() const {
    int delay = 0;
    if (drive) delay += SpeedAdjusted(drive->moveValue);
    if (chassis) delay += SpeedAdjusted(chassis->moveValue);
    return delay;
}

void VehicleDesign::UpdateComplete() {
    complete = (drive && chassis) ? 1 : 0;
}

void VehicleDesign::UpdateRequiredLevel() {
    int level = 0;
    if (chassis) level = std::max<int>(level, chassis->minimumTechLevel);
    if (drive) level = std::max<int>(level, drive->minimumTechLevel);
    for (const MountTemplate* m : hardpoints)
        if (m) level = std::max<int>(level, m->minimumTechLevel);
    requiredLevel = level;
}

void VehicleDesign::DropPartsAboveLevel(int level) {
    for (int i = 0; i < kHardpoints; ++i) {
        if (hardpoints[i] && hardpoints[i]->minimumTechLevel > level) {
            hardpoints[i] = nullptr;
            code[3 + i] = '-';
        }
    }
    UpdateRequiredLevel();
}

void VehicleDesign::Draw(Point pos, int facing, int step) const {
    if (drive) {
        if (SpriteSet* sprites = drive->Sprites()) {
            const Point at = pos - Point(0, drive->verticalOffset);
            const ShadeTable* colours = Services().TerrainColourTable();
            if (drive->altitude != 0) {
                if (Image* sequence = sprites->SubImage(facing)) sequence->DrawFrame(at, step);
            } else if (colours) {
                sprites->DrawFrameShaded(at, facing, *colours);
            } else {
                sprites->DrawFrame(at, facing);
            }
        }
    }
    if (!chassis) return;
    if (chassis->mapPictures) chassis->mapPictures->DrawFrame(pos, facing);
    if (chassis->mountOffsets.empty()) return;
    for (int i = 0; i < kHardpoints; ++i) {
        const MountTemplate* m = hardpoints[i];
        if (m && m->mapPictures)
            m->mapPictures->DrawFrame(pos + chassis->MountOffset(i, facing), facing);
    }
}

namespace {

// Shifts of the design-screen preview by drive and chassis letter.
int DriveShift(char driveLetter, char chassisLetter) {
    if (chassisLetter == 'k') return 40;
    if (driveLetter == 'A' || driveLetter == 'S') return 10;
    if (driveLetter == 'H') return 20;
    return 0;
}

int ChassisShift(char driveLetter) {
    return (driveLetter == 'A' || driveLetter == 'S') ? 50 : 0;
}

void DrawCycling(SpriteSet* sprites, Point at, int tick) {
    if (!sprites) return;
    const int frames = sprites->LastFrameIndex() + 1;
    if (frames <= 0) return;
    int frame = tick % frames;
    if (frame < 0) frame += frames;
    sprites->DrawFrame(at, frame);
}

}  // namespace

Point VehicleDesign::ChassisAnchor(Point origin) const {
    const char driveLetter = drive ? drive->role : '\0';
    return origin + Point(0, 20 - ChassisShift(driveLetter));
}

void VehicleDesign::DrawPreview(Point origin, int tick, int /*step*/) const {
    const char driveLetter = drive ? drive->role : '\0';
    const char chassisLetter = chassis ? chassis->role : '\0';
    const Point chassisAnchor = ChassisAnchor(origin);
    if (drive) {
        const Point driveAnchor = origin + Point(0, 60 - DriveShift(driveLetter, chassisLetter)) -
                                  Point(0, drive->verticalOffset);
        DrawCycling(drive->PanelSprites(), driveAnchor, tick);
    }
    if (!chassis) return;
    DrawCycling(chassis->panelPictures.get(), chassisAnchor, tick);
    for (int k = 0; k < chassis->hardpointCount; ++k) {
        const int h = chassis->SlotAt(k);
        if (h < 0 || h >= kHardpoints) continue;
        const MountTemplate* m = hardpoints[h];
        if (m && m->panelPictures)
            DrawCycling(m->panelPictures.get(),
                        chassisAnchor + chassis->PreviewMountPoint(h) + Point(0, -25), tick);
    }
}

int VehicleDesign::HardpointNear(Point origin, Point p) const {
    if (!chassis) return -1;
    const Point anchor = ChassisAnchor(origin);
    int best = -1;
    int64_t bestDistance = 0;
    for (int k = 0; k < chassis->hardpointCount; ++k) {
        const int h = chassis->SlotAt(k);
        const Point q = anchor + chassis->PreviewMountPoint(h) + Point(0, -25);
        const int64_t dx = static_cast<int64_t>(q.x) - p.x;
        const int64_t dy = static_cast<int64_t>(q.y) - p.y;
        const int64_t d = dx * dx + dy * dy;
        if (best < 0 || d < bestDistance) {
            best = h;
            bestDistance = d;
        }
    }
    return best;
}
