#pragma once
// The display device's pages in memory: two 8-bit 640 x 480 pages (back and front), the
// hardware palette (entry 0 black, 255 white), presenting by page flip or copy, the screen
// shake and the software cursor drawn straight onto the front page between frames. It has no
// window: tests and tools draw into it and read the pages; winx_Display shows its front page.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/DisplayBase.h"
#include "core/Palette.h"

class MemoryDisplay : public DisplayBase {
public:
    // What a failing device operation throws (no surfaces, a lock that cannot be had).
    class winx_Exception {};

    MemoryDisplay();
    ~MemoryDisplay() override;

    void Present() override;
    void UpdateCursor() override;
    void SetPalette(Palette* palette) override;
    void Suspend() override;
    void Resume() override;
    void LockBackBuffer() override;
    // Every capture still requested shows the front page as it stands.
    void WritePendingCaptures() override;
    void UnlockBackBuffer() override;

    bool IsSuspended() const { return !surfaces; }
    const uint8_t* BackPage() const { return pages[back].data(); }
    const uint8_t* FrontPage() const { return pages[1 - back].data(); }
    uint8_t* BackPage() { return pages[back].data(); }
    uint8_t* FrontPage() { return pages[1 - back].data(); }
    // The colours the screen shows: entries 0 and 255 are always black and white.
    const std::array<Rgb, 256>& HardwarePalette() const { return hardwarePalette; }
    const std::vector<uint8_t>& SaveBuffer() const { return saveBuffer; }

    // Counters for tests: how often the back buffer was locked, and pages were flipped/copied.
    int32_t lockCalls = 0;
    int32_t flips = 0;
    int32_t copies = 0;
    int32_t presents = 0;

protected:
    // The front page changed: by a present (`presented`) or by the cursor between frames.
    virtual void FrontPageChanged(bool /*presented*/) {}
    // Writes the front page as $QX_CAPTURE/<name>.png when a capture is pending (a failure is
    // told on stderr and in the trace); 1 when a request was taken.
    int WritePendingCapture();

private:
    void CopyBox(const uint8_t* from, int32_t fromPitch, uint8_t* to, int32_t toPitch,
                 const Point& at, bool intoSave);
    void ClearPages();

    std::vector<uint8_t> pages[2];
    int back = 0;
    bool surfaces = false;
    std::array<Rgb, 256> hardwarePalette{};
};
