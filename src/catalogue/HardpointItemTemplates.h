#pragma once
// The three hardpoint items that are not weapons: sensor items (section 10 of the catalogue),
// defence items with their shield animation (section 11) and stealth items (section 12).
#include <array>
#include <cstdint>
#include <memory>

#include "catalogue/MountTemplate.h"

class SensorItemTemplate : public MountTemplate {
public:
    SensorItemTemplate(const MountValues& values, int32_t sensorValue);
    MountKind GetMountKind() const override { return MountKind::Sensor; }

    int32_t sensorValue;
};

class DefenceItemTemplate : public MountTemplate {
public:
    static constexpr int kMaxFrames = 99;

    // The frame count is cut to 0..99 and to the frames given; effect pictures are the row set
    // of the given name.
    DefenceItemTemplate(const MountValues& values, int32_t shadedDraw, int32_t framesPerSecond,
                        int32_t frameCount, const int32_t* frames,
                        const std::string& effectPicturesName);
    ~DefenceItemTemplate() override;
    MountKind GetMountKind() const override { return MountKind::Defence; }

    int32_t shadedDraw;
    int32_t frameCount = 0;
    int32_t framePeriod;
    std::array<int32_t, kMaxFrames> frameList{};
    std::unique_ptr<SpriteSet> effectPictures;
};

class StealthItemTemplate : public MountTemplate {
public:
    explicit StealthItemTemplate(const MountValues& values) : MountTemplate(values) {}
    MountKind GetMountKind() const override { return MountKind::Stealth; }
};
