#pragma once
// The platform-free half of the display device: clip rectangle, frame-buffer access and its
// redirection, the software cursor's state and save-under buffer, and the screen shake.
// The one display registers itself in `display` while it exists.
#include <cstdint>
#include <memory>

#include "core/Point.h"
#include "core/Rect.h"
#include "core/Size.h"

class Palette;
class SpriteSet;

class DisplayBase {
public:
    DisplayBase();
    virtual ~DisplayBase();

    virtual void Present();
    virtual void UpdateCursor() {}
    virtual void SetPalette(Palette* palette);
    void ReleaseFrameBuffer();
    virtual void Idle() {}
    virtual void SetClipRect(const Rect& rect) { clip = rect; }
    virtual void ResetClipRect() { clip = Rect(); }
    virtual Rect GetClipRect() const { return clip; }
    virtual int QueryNothing() { return 0; }
    virtual void ForgetObject(void* /*object*/) {}
    virtual int SetDisplayMode(int width, int height, int bitsPerPixel);
    virtual void Suspend() {}
    virtual void Resume() {}
    virtual void LockBackBuffer() {}
    virtual void UnlockBackBuffer() {}
    // Checked once per active frame by the main loop; the platform display repairs lost pages.
    virtual void RestoreLostSurfaces() {}

    // The memory every drawing routine writes into: the redirect target when one is set, else
    // the (locked) back buffer.
    void GetFrameBuffer(uint8_t*& pixels, Size& size, int32_t& pitch);

    Point cursorPosition;
    int32_t cursorShape = 0;
    int32_t cursorFrame = 0;
    int32_t shakeFlag = 0;
    int32_t shakePhase = 0;

protected:
    Palette* palette = nullptr;
    Rect clip;
    uint8_t* lockedPixels = nullptr;
    Size lockedSize;
    int32_t lockedPitch = 0;
    int32_t lockCount = 0;
    uint8_t* redirectPixels = nullptr;
    Size redirectSize;
    int32_t redirectPitch = 0;
};

// The one display, or null.
extern DisplayBase* display;
