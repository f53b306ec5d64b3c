#include "catalogue/PartTemplate.h"

#include "catalogue/CatalogueMedia.h"
#include "catalogue/TemplatePictures.h"
#include "core/SpriteSet.h"

PartTemplate::PartTemplate(char clan, char role, int32_t secondCost, int32_t firstCost,
                           int32_t buildTime, const char* name, const char* helpText,
                           const char* helpText2, const std::string& mapPicturesName,
                           const std::string& panelPicturesName, const DriveRowValues& row)
    : Template(clan, role, secondCost, firstCost, buildTime, name, helpText, helpText2, nullptr,
               row.minimumTechLevel) {
    TakeRow(row, mapPicturesName, panelPicturesName);
}

PartTemplate::PartTemplate(char clan, char role, int32_t secondCost, int32_t firstCost,
                           int32_t buildTime, PartTemplate* parent,
                           const std::string& mapPicturesName, const std::string& panelPicturesName,
                           const DriveRowValues& row)
    : Template(clan, role, secondCost, firstCost, buildTime, nullptr, nullptr, nullptr, parent,
               row.minimumTechLevel) {
    TakeRow(row, mapPicturesName, panelPicturesName);
}

PartTemplate::PartTemplate(char clan, char role, int32_t pairing, int32_t layer, int32_t altitude,
                           int32_t animationPeriod, int32_t minimumTechLevel)
    : Template(clan, role, 0, 0, 0, nullptr, nullptr, nullptr, nullptr, minimumTechLevel),
      pairing(pairing),
      layer(layer),
      altitude(altitude),
      animationPeriod(animationPeriod) {}

PartTemplate::~PartTemplate() = default;

void PartTemplate::TakeRow(const DriveRowValues& row, const std::string& mapPicturesName,
                           const std::string& panelPicturesName) {
    moveValue = row.moveValue;
    secondDriveValue = row.secondDriveValue;
    pairing = row.pairing;
    terrainFlag1 = row.terrainFlag1;
    terrainFlag2 = row.terrainFlag2;
    terrainFlag3 = row.terrainFlag3;
    if (!mapPicturesName.empty()) mapPictures = Media().LoadGrid(mapPicturesName);
    if (!panelPicturesName.empty()) panelPictures = Media().OpenStreamed(panelPicturesName);
    layer = row.layer;
    altitude = row.altitude;
    animationPeriod = row.animationPeriod;
    driveShadow = row.driveShadow;
    chassisShadow = row.chassisShadow;
    // The drawing height is measured from the middle of the first map frame.
    verticalOffset = row.verticalOffset - FirstFrameSize(Sprites()).h / 2;
}

const PartTemplate* PartTemplate::ParentPart() const {
    return static_cast<const PartTemplate*>(parent);
}

SpriteSet* PartTemplate::Inherited(std::unique_ptr<SpriteSet> PartTemplate::*pictures) const {
    for (const PartTemplate* p = this; p; p = p->ParentPart())
        if (p->*pictures) return (p->*pictures).get();
    return nullptr;
}

SpriteSet* PartTemplate::Sprites() const {
    return Inherited(&PartTemplate::mapPictures);
}

SpriteSet* PartTemplate::PanelSprites() const {
    return Inherited(&PartTemplate::panelPictures);
}

SpriteSet* PartTemplate::ExtraSprites1() const {
    return Inherited(&PartTemplate::shadowPictures);
}

SpriteSet* PartTemplate::ExtraSprites2() const {
    return Inherited(&PartTemplate::extraPictures);
}
