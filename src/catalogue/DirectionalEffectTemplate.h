#pragma once
// A weapon's firing effect: a whole-grid effect at 10 frames per second with an offset per
// facing, centred on the grid's frame when it has pictures.
#include <array>

#include "catalogue/EffectTemplate.h"
#include "core/Point.h"

class DirectionalEffectTemplate : public EffectTemplate {
public:
    DirectionalEffectTemplate(char clan, char role, int32_t startDelay, const std::string& gridName,
                              int32_t soundNumber, const std::array<Point, 16>& offsets);

    std::array<Point, 16> offsets;
};
