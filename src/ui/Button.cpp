#include "ui/Button.h"

#include <algorithm>
#include <cmath>

#include "core/Bitmap.h"
#include "core/ResourceFile.h"

namespace {
bool Inside(const Rect& r, const Point& p) {
    return p.x >= r.origin.x && p.y >= r.origin.y && p.x <= r.origin.x + r.extent.w - 1 &&
           p.y <= r.origin.y + r.extent.h - 1;
}

int32_t Within(int32_t v, int32_t low, int32_t high) {
    return std::max(std::min(v, high), low);
}
}  // namespace

Button::Button(ResourceFile* pack, const ButtonEntries& entries, const Rect& rect, int32_t mode,
               const Point& travelMin, const Point& travelMax, int32_t id)
    : id(id), mode(mode), travelMax(travelMax), travelMin(travelMin), rect(rect) {
    const PackEntry* order[4] = {&entries.highlighted, &entries.pressed, &entries.disabled,
                                 &entries.normal};
    for (int i = 0; i < 4; ++i) {
        if (order[i]->column == -1 || !pack) continue;
        // A missing entry leaves the state without a picture rather than reading whatever
        // entry was selected before.
        if (pack->SelectEntry(order[i]->column, order[i]->row)) {
            pictures[i] = std::make_unique<Bitmap>(pack);
        }
    }
}

Button::~Button() = default;

void Button::SetImages(const char* highlightedName, const char* pressedName,
                       const char* disabledName, const char* normalName, const Rect& newRect,
                       int32_t newMode, const Point& newTravelMin, const Point& newTravelMax,
                       int32_t newId) {
    const char* names[4] = {highlightedName, pressedName, disabledName, normalName};
    for (int i = 0; i < 4; ++i) {
        if (names[i]) pictures[i] = std::make_unique<Bitmap>(names[i]);
    }
    rect = newRect;
    mode = newMode;
    travelMin = newTravelMin;
    travelMax = newTravelMax;
    id = newId;
    value = 0;
    valueDirty = 1;
}

void Button::SetPictures(std::unique_ptr<Image> highlightedPicture,
                         std::unique_ptr<Image> pressedPicture,
                         std::unique_ptr<Image> disabledPicture,
                         std::unique_ptr<Image> normalPicture) {
    pictures[kHighlighted] = std::move(highlightedPicture);
    pictures[kPressed] = std::move(pressedPicture);
    pictures[kDisabled] = std::move(disabledPicture);
    pictures[kNormal] = std::move(normalPicture);
}

void Button::SetHighlighted(int32_t flag) {
    if (enabled) highlighted = flag;
}

void Button::SetPressed(int32_t flag) {
    if (enabled) pressed = flag;
}

int32_t Button::HitTest(const Point& point) const {
    return Inside(rect, point) || Inside(hitRect, point) ? 1 : 0;
}

void Button::MoveTo(const Point& point) {
    rect.origin = point;
}

void Button::MoveBy(int32_t dx, int32_t dy) {
    rect.origin = Point(Within(rect.origin.x + dx, travelMin.x, travelMax.x),
                        Within(rect.origin.y + dy, travelMin.y, travelMax.y));
    valueDirty = 1;
}

int32_t Button::GetValue() const {
    if (!valueDirty) return value;
    int32_t position, low, high;
    if (mode == kHorizontalSlider) {
        position = rect.origin.x, low = travelMin.x, high = travelMax.x;
    } else if (mode == kVerticalSlider) {
        position = rect.origin.y, low = travelMin.y, high = travelMax.y;
    } else {
        return 0;
    }
    // A knob without travel stands at 0.
    if (high == low) return 0;
    const float percent =
        100.0f * static_cast<float>(position - low) / static_cast<float>(high - low);
    return static_cast<int32_t>(std::trunc(percent));
}

void Button::SetValue(int32_t percent) {
    percent = Within(percent, 0, 100);
    value = percent;
    valueDirty = 0;
    const float fraction = static_cast<float>(percent) / 100.0f;
    if (mode == kHorizontalSlider) {
        const float x = fraction * static_cast<float>(travelMax.x - travelMin.x) +
                        static_cast<float>(travelMin.x);
        MoveTo(Point(static_cast<int32_t>(std::trunc(x)), rect.origin.y));
    } else if (mode == kVerticalSlider) {
        const float y = fraction * static_cast<float>(travelMax.y - travelMin.y) +
                        static_cast<float>(travelMin.y);
        MoveTo(Point(rect.origin.x, static_cast<int32_t>(std::trunc(y))));
    }
}

void Button::Draw(const Point* offset) {
    const Point shift = offset ? *offset : Point();
    const Point topLeft = Point() - shift;
    const Point centre = rect.Centre() - shift;
    auto draw = [&](Image* picture) {
        if (!picture) return false;
        if (mode == kOrigin) {
            picture->DrawAt(topLeft);
        } else {
            picture->Draw(centre);
        }
        return true;
    };
    if (!enabled) {
        draw(pictures[kDisabled].get());
        return;
    }
    bool drawn = false;
    if (pressed) drawn = draw(pictures[kPressed].get());
    if (highlighted) drawn = draw(pictures[kHighlighted].get()) || drawn;
    if (!drawn) draw(pictures[kNormal].get());
}
