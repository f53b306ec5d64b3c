#pragma once
// A millisecond stopwatch and countdown in one, read from the program's clock (GetTimeMs).
// Nothing runs by itself: the state changes only when an operation is called. The fields are
// open because callers change the period before a restart, or write back the new state with
// period -1 to disable a timer.
#include <cstdint>

enum class TimerState : int32_t { New = 0, Running = 1, Stopped = 2, Paused = 3, Expired = 4 };

class Timer {
public:
    // A new timer that was never started; its start is 0.
    explicit Timer(int32_t period);
    Timer(const Timer& other) = default;
    Timer& operator=(const Timer& other) = default;
    virtual ~Timer() = default;

    // From any state, restarts the timer at the present time.
    void Start();
    void Stop();
    void Pause();
    void Resume();
    // Milliseconds counted so far; 0 when new or expired.
    int32_t Elapsed() const;
    // Once true, stays true until the next Start.
    bool Expired();
    bool IsRunning();

    TimerState state = TimerState::New;
    uint32_t start = 0;
    // Negative: never expires.
    int32_t period = 0;
    uint32_t pausedAt = 0;
    uint32_t stoppedAt = 0;
};
