#pragma once
// A production building (catalogue section 13): hit points, the parts drawn always and those
// drawn only while open, the folded and animated pictures, sounds, the door mount table, and
// the chassis (owned, in no list) and drive part (owned by the part list) its design is made of.
#include <cstdint>
#include <memory>
#include <vector>

#include "catalogue/Template.h"
#include "core/Point.h"

class SpriteSet;
class Sound;
class ChassisTemplate;
class PartTemplate;

struct BuildingValues {
    char letter = 0;
    const char* name = nullptr;
    int32_t hitPoints = 0;
    int32_t partCount = 0;
    int32_t extraPartCount = 0;
    int32_t doorFrameCount = 0;
    Point bodyOffset;
    Point doorOffset;
    int32_t firstSound = -1;
    int32_t secondSound = -1;
    std::vector<Point> doorMountTable;  // doorFrameCount × (partCount + extraPartCount)
};

class BuildingTemplate : public Template {
public:
    // Loads the building's pictures from its letter; takes the chassis.
    BuildingTemplate(const BuildingValues& values, std::unique_ptr<ChassisTemplate> chassis,
                     PartTemplate* part);
    ~BuildingTemplate() override;

    // Door mount point of a part in a door frame; (0, 0) outside the table.
    Point DoorMountPoint(int frame, int part) const;

    int32_t hitPoints;
    int32_t partCount;
    int32_t extraPartCount;
    int32_t doorFrameCount;
    std::unique_ptr<SpriteSet> buildingPictures;
    std::unique_ptr<SpriteSet> panelPictures;
    std::unique_ptr<SpriteSet> shadowPictures;  // always null from this catalogue
    std::unique_ptr<SpriteSet> pictureGrid;
    std::unique_ptr<SpriteSet> bodyAnimation;
    std::unique_ptr<SpriteSet> doorAnimation;
    Point bodyOffset;
    Point doorOffset;
    std::unique_ptr<Sound> firstSound;
    std::unique_ptr<Sound> secondSound;
    std::vector<Point> doorMountTable;
    std::unique_ptr<ChassisTemplate> chassis;
    PartTemplate* part;  // owned by the part list
};
