#pragma once
// A timed mark at a pixel position: the crater the World shows on a cell after an impact
// (10000 ms) and a wreck's lifetime (30000 ms). It counts down and cycles an animation frame.
#include <cstdint>

#include "core/ListNode.h"
#include "core/Point.h"

class ScreenBase;

class TimerNode : public ListNode {
public:
    TimerNode(const Point& position, int32_t milliseconds);
    ~TimerNode() override;

    void Elapse(int32_t milliseconds) { remainingMs -= milliseconds; }
    // The ground-mark animation 30 pixels above the position, blended with the terrain; nothing
    // once the time is up or without the catalogue's ground-mark record.
    void Draw(ScreenBase& screen);

    int32_t remainingMs;
    int32_t frameCounter = 0;
    Point position;
};
