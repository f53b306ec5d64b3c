#pragma once
// Makes palette entry 111 pulse through five shades of cyan during a battle: every 100 ms the
// entry of the installed palette is rewritten and the palette sent to the display again.
#include <cstdint>

#include "core/Palette.h"

class PaletteCycler {
public:
    static constexpr int kPulseIndex = 111;

    // Suspended, with the pulse off.
    PaletteCycler() = default;
    virtual ~PaletteCycler() = default;

    void SetSecondRing(int32_t on);
    void Suspend();
    void Resume();
    void Tick(int32_t milliseconds);
    // Advances the pulse and writes its colour into entry 111; answers 1.
    int32_t StepSecondRing(Palette& palette);

    int32_t Counter() const { return counter; }
    bool Enabled() const { return enabled != 0; }
    bool Suspended() const { return suspended != 0; }

private:
    Rgb pulseColours[5] = {
        {40, 255, 255}, {36, 230, 230}, {32, 204, 204}, {28, 179, 179}, {24, 153, 153}};
    int32_t counter = 1;
    int32_t enabled = 0;
    int32_t savedEnabled = 0;
    int32_t elapsed = 0;
    int32_t suspended = 1;
};
