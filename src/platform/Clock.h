#pragma once
// The platform's millisecond clock: monotonic, wrapping unsigned 32-bit.
// Real time by default, counted from the start of the process so that a machine's uptime
// never brings the clock near the signed wrap (2^31 ms, 24.9 days) that timers compare
// across; QX_CLOCK=fixed:N makes it advance N ms per main-loop pass, and tests may install a
// clock of their own. Both real and fixed clocks start at kClockOrigin, away from 0, so that
// "never started" timers behave alike on both.
#include <cstdint>
#include <functional>
#include <string>

constexpr uint32_t kClockOrigin = 100000;

uint32_t winx_timeGetTime();
// A reading for seeding the random generator: the raw monotonic clock (so that runs differ),
// or the installed or fixed clock's reading (so that such runs repeat).
uint32_t winx_ClockSeed();

// Replaces the clock source (tests); an empty function restores the real clock.
void winx_SetClockSource(std::function<uint32_t()> source);
// Replaces the monotonic reading the real clock counts from (tests; empty restores it) and
// makes the present reading the process start again.
void winx_SetRawClockSource(std::function<uint64_t()> source);
// The monotonic reading in ms that the real clock counts from, whatever clock the game runs on:
// for what must keep pace with real time even under the fixed-step clock (a movie's pictures
// against its sound).
uint64_t winx_RealTimeMs();

// Reads QX_CLOCK once: unset or empty is the real clock, "fixed:N" (N from 1 to 60000) the
// fixed-step clock. Anything else ends the program with exit code 2 and a message on stderr.
void winx_StartClock();
// The step of a QX_CLOCK value: 0 with the reason in error when it is not "fixed:N".
uint32_t winx_ParseClockSetting(const char* setting, std::string& error);
// Fixed-step clock (QX_CLOCK=fixed:N): 1 when it is in force.
int winx_FixedClockActive();
// Called once per main-loop pass: advances the fixed-step clock by its step.
void winx_AdvanceFixedClock();
// Advances the fixed-step clock by ms (a movie plays while the main loop stands still).
void winx_AdvanceFixedClockBy(uint32_t ms);
