#include "catalogue/HardpointItemTemplates.h"

#include <algorithm>

#include "catalogue/CatalogueMedia.h"
#include "core/SpriteSet.h"

SensorItemTemplate::SensorItemTemplate(const MountValues& values, int32_t sensorValue)
    : MountTemplate(values), sensorValue(sensorValue) {}

DefenceItemTemplate::DefenceItemTemplate(const MountValues& values, int32_t shadedDraw,
                                         int32_t framesPerSecond, int32_t count,
                                         const int32_t* frames,
                                         const std::string& effectPicturesName)
    : MountTemplate(values),
      shadedDraw(shadedDraw),
      framePeriod(1000 / std::max<int32_t>(1, framesPerSecond)) {
    frameCount = frames ? std::clamp<int32_t>(count, 0, kMaxFrames) : 0;
    if (frames) std::copy(frames, frames + frameCount, frameList.begin());
    if (!effectPicturesName.empty()) effectPictures = Media().LoadRow(effectPicturesName);
}

DefenceItemTemplate::~DefenceItemTemplate() = default;
