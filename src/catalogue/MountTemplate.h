#pragma once
// Everything that can stand on a hardpoint: a weapon or a sensor, defence or stealth item,
// with its pictures, short text and mount size.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "catalogue/Template.h"

class Bitmap;
class SpriteSet;
class DirectionalEffectTemplate;
class EffectTemplate;
class ShotPictureTemplate;

// Which attachment a unit builds for the hardpoint.
enum class MountKind : int32_t { Weapon = 1, Defence = 2, Stealth = 3, Sensor = 4 };

// The values every mount record is built from; picture names empty for none.
struct MountValues : TemplateValues {
    std::string mapPicturesName;
    std::string panelPicturesName;
    int32_t mountSize = 0;
    std::string panelBitmapName;
    const char* shortText = nullptr;
};

class MountTemplate : public Template {
public:
    explicit MountTemplate(const MountValues& values);
    ~MountTemplate() override;

    virtual MountKind GetMountKind() const = 0;
    virtual int32_t GetReloadTime() const { return 0; }
    virtual int32_t GetRange() const { return 0; }
    virtual int32_t GetTravelDelay() const { return 0; }
    virtual int32_t GetFirePower() const { return 0; }
    virtual DirectionalEffectTemplate* GetFireEffect() const { return nullptr; }
    virtual EffectTemplate* GetExplosionTemplate() const { return nullptr; }
    virtual ShotPictureTemplate* GetProjectileTemplate() const { return nullptr; }
    virtual char GetKindLetter() const { return 0; }

    std::unique_ptr<Bitmap> panelBitmap;
    std::unique_ptr<SpriteSet> mapPictures;
    std::unique_ptr<SpriteSet> panelPictures;
    std::optional<std::string> shortText;
    int32_t mountSize;
};
