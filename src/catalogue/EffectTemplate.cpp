#include "catalogue/EffectTemplate.h"

#include <algorithm>

#include "catalogue/CatalogueMedia.h"
#include "core/Sound.h"
#include "core/SpriteSet.h"

namespace {

int32_t PeriodOf(int32_t framesPerSecond) {
    return 1000 / std::max<int32_t>(1, framesPerSecond);
}

int32_t CopySequence(std::array<int32_t, EffectTemplate::kMaxSequence>& to, int32_t count,
                     const int32_t* from) {
    const int32_t n = from ? std::clamp<int32_t>(count, 0, EffectTemplate::kMaxSequence) : 0;
    std::copy(from, from + n, to.begin());
    return n;
}

}  // namespace

EffectTemplate::EffectTemplate(char clan, char role, int32_t startDelay,
                               const std::string& gridName, int32_t soundNumber,
                               int32_t framesPerSecond, int32_t firstCount,
                               const int32_t* firstFrames, int32_t secondCount,
                               const int32_t* secondFrames)
    : Template(clan, role, 0, 0, 0, nullptr, nullptr, nullptr, nullptr, 1),
      startDelay(startDelay),
      pictures(gridName.empty() ? nullptr : Media().LoadGrid(gridName)),
      sound(Media().MakeSound(soundNumber)),
      framePeriod(PeriodOf(framesPerSecond)) {
    firstLength = CopySequence(firstSequence, firstCount, firstFrames);
    secondLength = CopySequence(secondSequence, secondCount, secondFrames);
}

EffectTemplate::EffectTemplate(char clan, char role, int32_t startDelay,
                               const std::string& gridName, int32_t soundNumber,
                               int32_t framesPerSecond)
    : EffectTemplate(clan, role, startDelay, gridName, soundNumber, framesPerSecond, 0, nullptr, 0,
                     nullptr) {
    if (!pictures) return;
    // 0 .. last index; a grid of more than 99 frames keeps its first 99.
    const int32_t last = pictures->LastFrameIndex();
    firstLength = std::clamp<int32_t>(last + 1, 0, kMaxSequence);
    for (int32_t i = 0; i < firstLength; ++i)
        firstSequence[i] = i;
}

EffectTemplate::~EffectTemplate() = default;
