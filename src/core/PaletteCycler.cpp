#include "core/PaletteCycler.h"

#include "core/DisplayBase.h"

void PaletteCycler::SetSecondRing(int32_t on) {
    if (on == enabled) return;
    savedEnabled = on;
    counter = 1;
    if (!suspended) enabled = on;
}

void PaletteCycler::Suspend() {
    if (suspended) return;
    savedEnabled = enabled;
    enabled = 0;
    suspended = 1;
}

void PaletteCycler::Resume() {
    if (!suspended) return;
    enabled = savedEnabled;
    suspended = 0;
}

void PaletteCycler::Tick(int32_t milliseconds) {
    if (!enabled) return;
    elapsed += milliseconds;
    if (elapsed <= 99) return;
    // Any excess beyond the step is dropped.
    elapsed = 0;
    Palette* palette = display ? display->GetPalette() : nullptr;
    if (!palette) return;
    StepSecondRing(*palette);
    display->SetPalette(palette);
}

int32_t PaletteCycler::StepSecondRing(Palette& palette) {
    if (++counter > 10) counter = 1;
    static constexpr int kColourForCounter[11] = {0, 1, 2, 3, 4, 3, 2, 1, 0, 0, 0};
    palette.entries[kPulseIndex] = pulseColours[kColourForCounter[counter]];
    return 1;
}
