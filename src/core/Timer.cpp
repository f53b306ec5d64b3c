#include "core/Timer.h"

#include "core/Clock.h"

Timer::Timer(int32_t period) : period(period) {}

void Timer::Start() {
    start = GetTimeMs();
    state = TimerState::Running;
}

void Timer::Stop() {
    if (state != TimerState::Running) return;
    stoppedAt = GetTimeMs();
    state = TimerState::Stopped;
}

void Timer::Pause() {
    if (state != TimerState::Running) return;
    pausedAt = GetTimeMs();
    state = TimerState::Paused;
}

void Timer::Resume() {
    if (state != TimerState::Paused) return;
    // Shifting the start by the paused span keeps the remaining time.
    start += GetTimeMs() - pausedAt;
    pausedAt = 0;
    state = TimerState::Running;
}

int32_t Timer::Elapsed() const {
    switch (state) {
        case TimerState::Running:
            return static_cast<int32_t>(GetTimeMs() - start);
        case TimerState::Stopped:
            return static_cast<int32_t>(stoppedAt - start);
        case TimerState::Paused:
            return static_cast<int32_t>(pausedAt - start);
        default:
            return 0;
    }
}

bool Timer::Expired() {
    if (state == TimerState::Expired) return true;
    if (period < 0 || state == TimerState::Paused) return false;
    // The difference is taken as signed so that the clock's wrap does not matter. A stopped
    // or never started timer counts from its start like a running one.
    if (static_cast<int32_t>(GetTimeMs() - start) < period) return false;
    state = TimerState::Expired;
    return true;
}

bool Timer::IsRunning() {
    return state == TimerState::Running && !Expired();
}
