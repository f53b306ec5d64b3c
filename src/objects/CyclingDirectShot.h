#pragma once
// A direct shot drawn as a four-frame loop (the first sequence of its picture), one frame a
// tick, and without a muzzle flash.
#include <cstdint>

#include "objects/DirectShot.h"

class CyclingDirectShot : public DirectShot {
public:
    static constexpr int kCycleFrames = 4;

    using DirectShot::DirectShot;

    void Update(int elapsedMs) override;
    void Draw(ScreenBase& view) override;

    int32_t cycleFrame = 0;
};
