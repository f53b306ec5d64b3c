#pragma once
// The application the main loop drives: one per program (the World), registered in
// `application` while it exists. Everything the loop does to the game goes through these
// operations.
#include <cstdint>

struct AudioFormat;

class AppBase {
public:
    AppBase();
    virtual ~AppBase();
    AppBase(const AppBase&) = delete;
    AppBase& operator=(const AppBase&) = delete;

    // Once, after the devices exist: 1 to run, 0 to stop at once.
    virtual int Init() { return 1; }
    // Once, after the quit message, before the devices go.
    virtual void Shutdown() {}
    // Each active pass: the milliseconds since start-up; non-zero to go on, 0 to quit.
    virtual int Tick(int elapsedMs) = 0;
    // Between passes: how many milliseconds from elapsedMs (as Tick gets it) until a tick has
    // work to do again; the loop waits that long unless a message comes first. 0: at once.
    virtual int MsUntilTickDue(int /*elapsedMs*/) const { return 0; }
    // The format to open the sound device with: 16-bit stereo at 22050 Hz unless overridden.
    virtual void GetAudioFormat(AudioFormat& format);
    virtual void OnDeactivate() {}
    virtual void OnActivate() {}

    // The World keeps here whether it paused itself on deactivation.
    int32_t suspended = 0;
};

// The one application, or null.
extern AppBase* application;
