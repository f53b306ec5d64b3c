#include "core/MemoryDisplay.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "core/Settings.h"
#include "core/SpriteSet.h"
#include "core/Trace.h"
#include "platform/Capture.h"

namespace {
constexpr int32_t kWidth = DisplayBase::kScreenWidth;
constexpr int32_t kHeight = DisplayBase::kScreenHeight;
constexpr size_t kPageBytes = static_cast<size_t>(kWidth) * kHeight;
// The shake moves the picture this many pixels up and left on its even phases.
constexpr int32_t kShakeOffset = 2;
}  // namespace

MemoryDisplay::MemoryDisplay() {
    pages[0].assign(kPageBytes, 0);
    pages[1].assign(kPageBytes, 0);
    hardwarePalette[255] = Rgb{255, 255, 255};
    Resume();
}

MemoryDisplay::~MemoryDisplay() = default;

void MemoryDisplay::ClearPages() {
    std::memset(pages[0].data(), 0, kPageBytes);
    std::memset(pages[1].data(), 0, kPageBytes);
}

void MemoryDisplay::CopyBox(const uint8_t* from, int32_t fromPitch, uint8_t* to, int32_t toPitch,
                            const Point& at, bool intoSave) {
    for (int32_t row = 0; row < kSaveHeight; ++row) {
        if (intoSave) {
            std::memcpy(to + row * kSaveWidth, from + (at.y + row) * fromPitch + at.x, kSaveWidth);
        } else {
            std::memcpy(to + (at.y + row) * toPitch + at.x, from + row * kSaveWidth, kSaveWidth);
        }
    }
}

void MemoryDisplay::Present() {
    if (!surfaces) throw winx_Exception();
    if (noShake) {
        shakeFlag = 0;
        shakePhase = 0;
    }
    const bool evenShakePhase =
        shakeFlag && (shakePhase == 0 || shakePhase == 2 || shakePhase == 4);
    Point box = CursorBox();
    if (evenShakePhase) {
        box.x = std::max(box.x, kShakeOffset);
        box.y = std::max(box.y, kShakeOffset);
    }
    savePosition = box;
    // The pitch is the page width, already a multiple of 4.
    CopyBox(pages[back].data(), kWidth, saveBuffer.data(), kSaveWidth, savePosition, true);

    cursorDrawing = 1;
    DrawCursor();
    cursorDrawing = 0;

    uint8_t* front = pages[1 - back].data();
    const uint8_t* backPixels = pages[back].data();
    if (flipEnabled && !shakeFlag) {
        back = 1 - back;
        if (lockedPixels) lockedPixels = pages[back].data();
        ++flips;
    } else {
        int32_t offset = 0;
        if (shakeFlag) {
            if (evenShakePhase) {
                offset = kShakeOffset;
                savePosition = Point(savePosition.x - kShakeOffset, savePosition.y - kShakeOffset);
                ++shakePhase;
            } else if (shakePhase == 1 || shakePhase == 3) {
                ++shakePhase;
            } else {
                shakeFlag = 0;
                shakePhase = 0;
            }
        }
        // The source rectangle starts at (offset, offset) and lands at (0, 0).
        const size_t width = static_cast<size_t>(kWidth - offset);
        for (int32_t y = 0; y < kHeight - offset; ++y) {
            std::memcpy(front + y * kWidth, backPixels + (y + offset) * kWidth + offset, width);
        }
        ++copies;
    }
    ++presents;
    FrontPageChanged(true);
    WritePendingCapture();
}

void MemoryDisplay::UpdateCursor() {
    if (cursorDrawing || drawnPosition == cursorPosition || !surfaces) return;
    drawnPosition = cursorPosition;
    cursorDrawing = 1;
    uint8_t* front = pages[1 - back].data();
    if (savePosition.x >= 0 && savePosition.y >= 0) {
        CopyBox(saveBuffer.data(), kSaveWidth, front, kWidth, savePosition, false);
    }
    savePosition = CursorBox();
    CopyBox(front, kWidth, saveBuffer.data(), kSaveWidth, savePosition, true);
    if (Image* shape = CurrentCursorShape()) {
        shape->SelectFrame(cursorFrame);
        uint8_t* savedPixels = redirectPixels;
        const Size savedSize = redirectSize;
        const int32_t savedPitch = redirectPitch;
        const Rect savedClip = clip;
        const int32_t savedZoom = ImageZoom;
        SetRedirect(front, Size(kWidth, kHeight), kWidth);
        ImageZoom = 0;
        const Point corner(cursorPosition.x - kSaveWidth / 2, cursorPosition.y - kSaveHeight / 2);
        clip = Rect(Point(0, 0), Size(kWidth, kHeight))
                   .Intersect(Rect(corner, Size(kSaveWidth, kSaveHeight)));
        shape->DrawAt(corner);
        SetRedirect(savedPixels, savedSize, savedPitch);
        clip = savedClip;
        ImageZoom = savedZoom;
    }
    cursorDrawing = 0;
    FrontPageChanged(false);
}

void MemoryDisplay::SetPalette(Palette* newPalette) {
    DisplayBase::SetPalette(newPalette);
    if (!palette) return;
    for (int i = 1; i < 255; ++i)
        hardwarePalette[i] = palette->entries[i];
    hardwarePalette[0] = Rgb{0, 0, 0};
    hardwarePalette[255] = Rgb{255, 255, 255};
}

void MemoryDisplay::Suspend() {
    if (!surfaces) return;
    if (lockedPixels) UnlockBackBuffer();
    lockCount = 0;
    surfaces = false;
}

void MemoryDisplay::Resume() {
    if (surfaces) return;
    surfaces = true;
    // New surfaces start black; with a palette installed the screen is cleared through the
    // flipping chain and the colours are sent again.
    ClearPages();
    if (palette) {
        RedrawAll();
        SetPalette(palette.get());
    }
}

void MemoryDisplay::LockBackBuffer() {
    if (!surfaces) throw winx_Exception();
    lockedPixels = pages[back].data();
    lockedSize = Size(kWidth, kHeight);
    lockedPitch = kWidth;
    ++lockCalls;
}

void MemoryDisplay::UnlockBackBuffer() {
    lockedPixels = nullptr;
    lockedSize = Size();
    lockedPitch = 0;
    if (!surfaces) throw winx_Exception();
}

void MemoryDisplay::WritePendingCaptures() {
    // Without a capture directory the requests stay queued, as they do between frames.
    if (winx_CaptureDirectory().empty()) return;
    while (WritePendingCapture()) {
    }
}

int MemoryDisplay::WritePendingCapture() {
    std::string name = winx_TakeCaptureRequest();
    if (name.empty()) return 0;
    const std::string directory = winx_CaptureDirectory();
    if (directory.empty()) return 1;
    uint8_t rgb[256 * 3];
    for (int i = 0; i < 256; ++i) {
        rgb[3 * i] = hardwarePalette[i].r;
        rgb[3 * i + 1] = hardwarePalette[i].g;
        rgb[3 * i + 2] = hardwarePalette[i].b;
    }
    const std::string path = directory + "/" + name + ".png";
    std::string error;
    if (!winx_WritePalettedPng(path, FrontPage(), kWidth, kHeight, kWidth, rgb, &error)) {
        const std::string line = "capture: cannot write " + path + ": " + error;
        std::fprintf(stderr, "Quarnex: %s\n", line.c_str());
        Trace(line.c_str());
    }
    return 1;
}
