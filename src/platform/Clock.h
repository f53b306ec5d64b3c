#pragma once
// The platform's millisecond clock: monotonic, wrapping unsigned 32-bit.
// Real time by default; QX_CLOCK=fixed:N makes it advance N ms per main-loop pass, and tests
// may install a clock of their own.
#include <cstdint>
#include <functional>

uint32_t winx_timeGetTime();

// Replaces the clock source (tests); an empty function restores the real clock.
void winx_SetClockSource(std::function<uint32_t()> source);

// Fixed-step clock (QX_CLOCK=fixed:N): reads the environment once; 1 when it is in force.
int winx_FixedClockActive();
// Called once per main-loop pass: advances the fixed-step clock by its step.
void winx_AdvanceFixedClock();
// Advances the fixed-step clock by ms (a movie plays while the main loop stands still).
void winx_AdvanceFixedClockBy(uint32_t ms);
