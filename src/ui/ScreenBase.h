#pragma once
// The base of every screen, overlay and child screen: the calling protocol between the World
// and its current screen, and between a screen and its children. Every operation has a
// default, so a screen overrides only what it needs.
#include <cstdint>

#include "core/Point.h"

class InputEvent;

class ScreenBase {
public:
    ScreenBase() = default;
    virtual ~ScreenBase();
    ScreenBase(const ScreenBase&) = delete;
    ScreenBase& operator=(const ScreenBase&) = delete;

    // Once after creation: 1 to go on, 0 to stop the program.
    virtual int Load() { return 1; }
    // Once before deletion.
    virtual void Unload() {}
    virtual void Activate() {}
    virtual void Deactivate() {}
    // Takes the screen's own events from the queue; 0 ends the screen.
    virtual int HandleEvents(int /*elapsedMs*/) { return 1; }
    // One event passed on by a parent screen, which still owns it; 1 when it was used.
    virtual int HandleEvent(const InputEvent& /*event*/) { return 0; }
    // 0 ends the screen.
    virtual int Update(int /*elapsedMs*/) { return 1; }
    virtual void Draw(int /*elapsedMs*/) {}
    // A point in the screen's own coordinates on the display.
    virtual Point MapToScreen(const Point& point) { return point; }
    virtual Point SnapToZoom(const Point& point, const Point& offset) { return point + offset; }

    // The zoom shift (0 is 1:1, 1 is 1:2, 2 is 1:4); the base class never reads it.
    int32_t zoom = 0;
    // 0 while the screen runs; a child screen sets its outcome here when it ends.
    int32_t exitCode = 0;
};
