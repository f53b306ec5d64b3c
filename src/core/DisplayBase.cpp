#include "core/DisplayBase.h"

DisplayBase* display = nullptr;

DisplayBase::DisplayBase() { display = this; }

DisplayBase::~DisplayBase() {
    if (display == this) display = nullptr;
}

void DisplayBase::Present() {}

void DisplayBase::SetPalette(Palette* newPalette) { palette = newPalette; }

int DisplayBase::SetDisplayMode(int, int, int) { return 1; }

void DisplayBase::GetFrameBuffer(uint8_t*& pixels, Size& size, int32_t& pitch) {
    if (redirectPixels) {
        pixels = redirectPixels;
        size = redirectSize;
        pitch = redirectPitch;
        return;
    }
    if (!lockedPixels) LockBackBuffer();
    pixels = lockedPixels;
    size = lockedSize;
    pitch = lockedPitch;
    ++lockCount;
}

void DisplayBase::ReleaseFrameBuffer() {
    if (redirectPixels) return;
    if (--lockCount < 1) {
        UnlockBackBuffer();
        lockCount = 0;
    }
}
