#include "catalogue/PictureTemplates.h"

#include "catalogue/CatalogueMedia.h"
#include "catalogue/PackName.h"
#include "core/SpriteSet.h"

PictureTemplate::PictureTemplate(char clan, char role, std::unique_ptr<SpriteSet> pictures)
    : Template(clan, role, 0, 0, 0, nullptr, nullptr, nullptr, nullptr, 1),
      pictures(std::move(pictures)) {}

PictureTemplate::~PictureTemplate() = default;

ShotPictureTemplate::ShotPictureTemplate(char clan, char role)
    : PictureTemplate(clan, role, Media().LoadGrid(PackName("7a0P%cP%cX99s999.msp", clan, role))) {}

WreckTemplate::WreckTemplate(char clan, char chassis, int32_t value)
    : PictureTemplate(clan, chassis,
                      Media().LoadColumn(PackName("7a0B%cC%cX99s999.msp", clan, chassis))),
      value(value) {}

DestructibleTemplate::DestructibleTemplate(char clan, char role)
    : PictureTemplate(clan, role, Media().LoadRow("7a0axtmx99s999.msp")) {}

RepairRoleTemplate::RepairRoleTemplate(char clan, char role, const std::string& gridName)
    : PictureTemplate(clan, role, gridName.empty() ? nullptr : Media().LoadGrid(gridName)) {}

RoleTemplate::RoleTemplate(char clan, char role, const std::string& gridName)
    : PictureTemplate(clan, role, gridName.empty() ? nullptr : Media().LoadGrid(gridName)) {}
