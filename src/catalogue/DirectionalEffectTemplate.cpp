#include "catalogue/DirectionalEffectTemplate.h"

#include "catalogue/TemplatePictures.h"

DirectionalEffectTemplate::DirectionalEffectTemplate(char clan, char role, int32_t startDelay,
                                                     const std::string& gridName,
                                                     int32_t soundNumber,
                                                     const std::array<Point, 16>& fileOffsets)
    : EffectTemplate(clan, role, startDelay, gridName, soundNumber, 10), offsets(fileOffsets) {
    if (!pictures) return;
    const Size frame = FirstFrameSize(pictures.get());
    for (Point& p : offsets)
        p = CentredOn(p, frame);
}
