#pragma once
// A chassis: strength, its share of the movement period, the pairing number that ties it to
// drives, up to seven hardpoints with their capacities and mount offsets per facing, the
// design-screen tables and its pictures.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/Template.h"
#include "core/Point.h"

class SpriteSet;
class Sound;

// The values a chassis is built from. Point tables are as in the file; the constructor
// centres them.
struct ChassisValues : TemplateValues {
    static constexpr int kMaxHardpoints = 7;

    int32_t pairing = 0;
    std::string mapPicturesName;
    std::string panelPicturesName;
    int32_t strength = 0;
    int32_t moveValue = 0;
    int32_t hardpointCount = 0;       // 0..7
    std::vector<Point> mountOffsets;  // hardpointCount × 16
    std::vector<int32_t> capacities;  // hardpointCount
    int32_t designPanelIndex = -1;
    std::array<Point, kMaxHardpoints> designMountPoints{};
    bool hasSlotOrder = false;  // otherwise entry i is i
    std::array<int32_t, kMaxHardpoints> slotOrder{};
    std::array<Point, kMaxHardpoints> secondPoints{};
    int32_t unitPanelIcon = -1;
};

class ChassisTemplate : public Template {
public:
    static constexpr int kMaxHardpoints = ChassisValues::kMaxHardpoints;

    explicit ChassisTemplate(const ChassisValues& values);
    ~ChassisTemplate() override;

    virtual int IsDeployable() const { return 0; }
    virtual Sound* GetSound() const { return nullptr; }

    // The design-screen mount point of hardpoint h for h in 0..6, else (0, 0).
    Point PreviewMountPoint(int h) const;
    // Mount offset of hardpoint h at a facing, (0, 0) outside the table.
    Point MountOffset(int h, int facing) const;
    // Capacity of hardpoint h, 0 outside 0 .. hardpoint count - 1.
    int32_t Capacity(int h) const;
    // Slot order entry k, 0 outside 0..6.
    int32_t SlotAt(int k) const;

    int32_t strength;
    int32_t moveValue;
    int32_t hardpointCount;
    int32_t designPanelIndex;
    int32_t pairing;
    std::vector<Point> mountOffsets;
    std::vector<int32_t> capacities;
    std::unique_ptr<SpriteSet> mapPictures;
    std::unique_ptr<SpriteSet> panelPictures;
    std::array<Point, kMaxHardpoints> designMountPoints{};
    std::array<int32_t, kMaxHardpoints> slotOrder{};
    std::array<Point, kMaxHardpoints> secondPoints{};
    int32_t unitPanelIcon;
};
