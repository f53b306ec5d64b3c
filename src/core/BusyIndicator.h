#pragma once
// The wait animation of long loads: while enabled it hides the mouse cursor, clears the screen
// once and shows one frame of its animation per second in the middle of the screen.
#include <cstdint>
#include <memory>

#include "core/Timer.h"

class Image;

class BusyIndicator {
public:
    // Registers the indicator in `busyIndicator`.
    explicit BusyIndicator(std::unique_ptr<Image> animation);
    BusyIndicator(const BusyIndicator&) = delete;
    BusyIndicator& operator=(const BusyIndicator&) = delete;
    virtual ~BusyIndicator();

    // 1 opens a wait (only the outermost one hides the cursor and clears the screen); any
    // other value closes one.
    void Enable(int32_t flag);
    // Shows the next frame when one is due; answers 1.
    int32_t Tick();

    int32_t Nesting() const { return nesting; }
    int32_t NextFrame() const { return frame; }

private:
    Timer timer{1000};
    int32_t savedCursorShape = 0;
    std::unique_ptr<Image> animation;
    int32_t frame = 0;
    int32_t nesting = 0;
};

// The one busy indicator, or null.
extern BusyIndicator* busyIndicator;
