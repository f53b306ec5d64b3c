#pragma once
// An animation shown for an explosion or another effect: a grid of frames, an optional sound,
// a start delay and two frame sequences (the explosion plays the first in its mode 1 and the
// second in its mode 0).
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "catalogue/Template.h"

class SpriteSet;
class Sound;

class EffectTemplate : public Template {
public:
    static constexpr int kMaxSequence = 99;

    // From the file's values; the counts are cut to 0..99 and to the numbers given.
    EffectTemplate(char clan, char role, int32_t startDelay, const std::string& gridName,
                   int32_t soundNumber, int32_t framesPerSecond, int32_t firstCount,
                   const int32_t* firstFrames, int32_t secondCount, const int32_t* secondFrames);
    // The whole-grid form: the first sequence is every frame of the grid's first level
    // (0 .. last frame index), the second is empty.
    EffectTemplate(char clan, char role, int32_t startDelay, const std::string& gridName,
                   int32_t soundNumber, int32_t framesPerSecond);
    ~EffectTemplate() override;

    int32_t startDelay;
    std::unique_ptr<SpriteSet> pictures;
    std::unique_ptr<Sound> sound;
    int32_t framePeriod;
    int32_t firstLength = 0;
    int32_t secondLength = 0;
    std::array<int32_t, kMaxSequence> firstSequence{};
    std::array<int32_t, kMaxSequence> secondSequence{};
};
