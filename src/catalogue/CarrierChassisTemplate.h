#pragma once
// The chassis of a carrier (catalogue section 8): a plain chassis with the unfold, ready,
// transfer and overlay pictures and a sound.
#include <memory>
#include <string>

#include "catalogue/ChassisTemplate.h"

class CarrierChassisTemplate : public ChassisTemplate {
public:
    CarrierChassisTemplate(const ChassisValues& values, const std::string& deployedPicturesName,
                           int32_t soundNumber);
    ~CarrierChassisTemplate() override;

    Sound* GetSound() const override { return sound.get(); }

    std::unique_ptr<SpriteSet> deployedPictures;
    std::unique_ptr<Sound> sound;
};
