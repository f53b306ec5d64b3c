#pragma once
// A rocket whose flying picture is an animation of its launch facing.
#include "objects/RocketShot.h"

class AnimatedRocketShot : public RocketShot {
public:
    using RocketShot::RocketShot;
    ~AnimatedRocketShot() override;

    void Draw(ScreenBase& view) override;
    void StepFrame() override;
};
