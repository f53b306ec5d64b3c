#include "catalogue/CarrierChassisTemplate.h"

#include "catalogue/CatalogueMedia.h"
#include "core/Sound.h"
#include "core/SpriteSet.h"

CarrierChassisTemplate::CarrierChassisTemplate(const ChassisValues& values,
                                               const std::string& deployedPicturesName,
                                               int32_t soundNumber)
    : ChassisTemplate(values),
      deployedPictures(Media().LoadGrid(deployedPicturesName)),
      sound(Media().MakeSound(soundNumber)) {}

CarrierChassisTemplate::~CarrierChassisTemplate() = default;
