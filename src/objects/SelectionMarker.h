#pragma once
// The bracket drawn under a selected unit: its two bottom corners in the normal colour, or in
// the warning colour once the unit's damage passes 89 percent.
#include <cstdint>

#include "core/Image.h"
#include "core/Meter.h"

class SelectionMarker : public Image {
public:
    static constexpr int kWarningPercent = 89;
    static constexpr int kCornerLength = 8;

    SelectionMarker(int32_t normalColour, int32_t warningColour, const Size& size);
    ~SelectionMarker() override;

    // Draws round the screen point.
    void Draw(const Point& centre) override;
    void SetSize(const Size& s);
    void TakeMeter(const Meter& meter);

    int32_t normalColour;
    int32_t warningColour;
    Meter damage{1, 1};
};
