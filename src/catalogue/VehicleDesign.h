#pragma once
// The recipe of one unit: a clan, a drive part, a chassis, up to seven hardpoint parts and nine
// behaviour parameters, with a name; kept in step with its 22-character design code, the form
// in which designs are stored, sent and scripted.
#include <array>
#include <cstdint>

#include "core/ListNode.h"
#include "core/Point.h"

class PartTemplate;
class ChassisTemplate;
class MountTemplate;

class VehicleDesign : public ListNode {
public:
    static constexpr int kHardpoints = 7;
    static constexpr int kParameters = 9;
    static constexpr int kCodeLength = 22;
    static constexpr int kCodeSize = 256;
    static constexpr int kNameSize = 128;
    // The name carried behind the code characters is cut to this length.
    static constexpr int kCodeNameLength = 64;
    static constexpr int kDefaultNameLine = 201;

    // The fresh design of a clan.
    explicit VehicleDesign(char clan);
    // The design a code stands for. Never fails: letters that name no available template leave
    // the part unset; a short code reads as if filled with defaults.
    explicit VehicleDesign(const char* code);
    ~VehicleDesign() override;

    VehicleDesign& CopyFrom(const VehicleDesign& other);

    int SetSecondaryPart(PartTemplate* part);
    int SetPrimaryPart(ChassisTemplate* chassis);
    int SetHardpoint(MountTemplate* part, int i);
    int SetParameter(int i, int value);

    // The mount size of the part is at most the capacity of hardpoint i of the chassis; a
    // hardpoint the chassis does not have takes nothing.
    static bool FitsHardpoint(const MountTemplate* part, int i, const ChassisTemplate* chassis);
    // How many hardpoints of the chassis take the part.
    int HardpointsTaking(const MountTemplate* part) const;
    // The first drive available to this design's clan with the letter of `like` and the
    // chassis' pairing number; null when none.
    PartTemplate* FindMatchingSecondaryPart(const ChassisTemplate* chassis,
                                            const PartTemplate* like) const;

    // The code with the name behind it.
    const char* CodeString();
    bool IsDefault() const;
    int SumPartField5() const;
    int SumPartField6() const;
    int SumPartField7() const;
    int MoveDelay() const;
    void UpdateComplete();
    void UpdateRequiredLevel();
    void DropPartsAboveLevel(int level);

    void Draw(Point pos, int facing, int step) const;
    void DrawPreview(Point origin, int tick, int step) const;
    int HardpointNear(Point origin, Point p) const;

    int complete = 0;
    char clan;
    char code[kCodeSize] = {};
    char name[kNameSize] = {};
    int named = 0;
    PartTemplate* drive = nullptr;
    ChassisTemplate* chassis = nullptr;
    std::array<MountTemplate*, kHardpoints> hardpoints{};
    std::array<int, kParameters> parameters{};
    int noCharge = 0;
    int requiredLevel = 0;

private:
    void MakeFresh(char clan);
    void ClearHardpoints();
    template <class Field>
    int SumParts(Field field) const;
    Point ChassisAnchor(Point origin) const;
};
