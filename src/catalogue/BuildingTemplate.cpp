#include "catalogue/BuildingTemplate.h"

#include "catalogue/CatalogueMedia.h"
#include "catalogue/ChassisTemplate.h"
#include "catalogue/PackName.h"
#include "catalogue/PartTemplate.h"
#include "core/Sound.h"
#include "core/SpriteSet.h"

BuildingTemplate::BuildingTemplate(const BuildingValues& v,
                                   std::unique_ptr<ChassisTemplate> buildingChassis,
                                   PartTemplate* buildingPart)
    : Template(v.letter, 'a', 0, 0, 0, v.name, nullptr, nullptr, nullptr, 1),
      hitPoints(v.hitPoints),
      partCount(v.partCount),
      extraPartCount(v.extraPartCount),
      doorFrameCount(v.doorFrameCount),
      bodyOffset(v.bodyOffset),
      doorOffset(v.doorOffset),
      doorMountTable(v.doorMountTable),
      chassis(std::move(buildingChassis)),
      part(buildingPart) {
    buildingPictures = Media().LoadColumn(PackName("7a0R%cMMX99s999.msp", v.letter));
    panelPictures = Media().LoadColumn(PackName("7a0U%cMMX99s999.msp", v.letter));
    pictureGrid = Media().LoadGrid(PackName("7a0B%cMMX99s999.msp", v.letter));
    bodyAnimation = Media().LoadRow(PackName("7a0A%cMAX99s999.msp", v.letter));
    doorAnimation = Media().LoadRow(PackName("7a0A%cMBX99s999.msp", v.letter));
    firstSound = Media().MakeSound(v.firstSound);
    secondSound = Media().MakeSound(v.secondSound);
    doorMountTable.resize(static_cast<size_t>(doorFrameCount) * (partCount + extraPartCount));
}

BuildingTemplate::~BuildingTemplate() = default;

Point BuildingTemplate::DoorMountPoint(int frame, int p) const {
    const int parts = partCount + extraPartCount;
    if (frame < 0 || frame >= doorFrameCount || p < 0 || p >= parts) return Point();
    return doorMountTable[static_cast<size_t>(frame) * parts + p];
}
