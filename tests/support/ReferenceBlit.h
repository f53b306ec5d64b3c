#pragma once
// An independent, pixel-at-a-time reading of the run-length picture rules, used to check the
// game's decoders: it walks the same item stream but decides every output pixel on its own.
#include <cstdint>
#include <vector>

#include "core/Point.h"
#include "core/Rect.h"

enum class RefEffect { Plain, ShadeFill, Shaded, Tinted, Silhouette, Blended };

struct RefParams {
    RefEffect effect = RefEffect::Plain;
    int colour = 0;
    int skipShade = 0;
    const uint8_t* shadeTable = nullptr;  // 256 entries
    const uint8_t* blendTable = nullptr;  // 65536 entries
};

// Draws the coded pixel data (after the header) with its top-left at `topLeft`, picture size
// `size`, into `page` (width x height, pitch = width) clipped to `clip`, at factor 1, 2 or 4.
void ReferenceBlit(const std::vector<uint8_t>& data, const Point& topLeft, const Size& size,
                   int factor, const Rect& clip, const RefParams& params,
                   std::vector<uint8_t>& page, int width, int height);
