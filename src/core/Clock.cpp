#include "core/Clock.h"

#include "platform/Clock.h"

uint32_t GetTimeMs() {
    return winx_timeGetTime();
}
