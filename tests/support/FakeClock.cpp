#include "support/FakeClock.h"

#include "platform/Clock.h"

FakeClock::FakeClock(uint32_t startMs) : now(startMs) {
    winx_SetClockSource([this] { return now; });
}

FakeClock::~FakeClock() {
    winx_SetClockSource({});
}
