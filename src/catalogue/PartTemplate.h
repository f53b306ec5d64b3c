#pragma once
// A drive part: its share of the movement period, the pairing number that ties it to chassis,
// terrain flags, layer and altitude, and its pictures (own or inherited from its parent).
#include <cstdint>
#include <memory>
#include <string>

#include "catalogue/Template.h"

class SpriteSet;

// The values of one drive row of the catalogue (fields F3 and F7..F18).
struct DriveRowValues {
    int32_t pairing = 0;
    int32_t moveValue = 0;
    int32_t secondDriveValue = 0;
    int32_t terrainFlag1 = 0;
    int32_t terrainFlag2 = 0;
    int32_t verticalOffset = 0;  // as in the file
    int32_t layer = 0;
    int32_t terrainFlag3 = 0;
    int32_t altitude = 0;
    int32_t animationPeriod = 0;
    int32_t driveShadow = 0;
    int32_t chassisShadow = 0;
    int32_t minimumTechLevel = 1;
};

class PartTemplate : public Template {
public:
    // Full: a group's base record with the group's texts.
    PartTemplate(char clan, char role, int32_t secondCost, int32_t firstCost, int32_t buildTime,
                 const char* name, const char* helpText, const char* helpText2,
                 const std::string& mapPicturesName, const std::string& panelPicturesName,
                 const DriveRowValues& row);
    // Variant: a later row of a group, drawing on its parent for texts and missing pictures.
    PartTemplate(char clan, char role, int32_t secondCost, int32_t firstCost, int32_t buildTime,
                 PartTemplate* parent, const std::string& mapPicturesName,
                 const std::string& panelPicturesName, const DriveRowValues& row);
    // Bare: the drive of the aircraft, carrier and deploying chassis and of buildings.
    PartTemplate(char clan, char role, int32_t pairing, int32_t layer, int32_t altitude,
                 int32_t animationPeriod, int32_t minimumTechLevel);
    ~PartTemplate() override;

    // Own pictures, else the parent's (walking the chain), else null.
    SpriteSet* Sprites() const;
    SpriteSet* OwnOrParentSprites() const { return Sprites(); }
    SpriteSet* PanelSprites() const;
    SpriteSet* ExtraSprites1() const;
    SpriteSet* ExtraSprites2() const;
    const PartTemplate* ParentPart() const;

    int32_t moveValue = 0;
    int32_t secondDriveValue = 0;
    int32_t pairing = 0;
    int32_t terrainFlag1 = 0;
    int32_t terrainFlag2 = 0;
    int32_t terrainFlag3 = 0;
    std::unique_ptr<SpriteSet> mapPictures;
    std::unique_ptr<SpriteSet> panelPictures;
    std::unique_ptr<SpriteSet> shadowPictures;  // always null from this catalogue
    int32_t verticalOffset = 0;
    int32_t layer = 0;
    int32_t altitude = 0;
    int32_t animationPeriod = 0;
    std::unique_ptr<SpriteSet> extraPictures;  // always null from this catalogue
    int32_t driveShadow = 0;
    int32_t chassisShadow = 0;

private:
    void TakeRow(const DriveRowValues& row, const std::string& mapPicturesName,
                 const std::string& panelPicturesName);
    // The given pictures of this part, else of the nearest ancestor that has them, else null.
    SpriteSet* Inherited(std::unique_ptr<SpriteSet> PartTemplate::*pictures) const;
};
