#pragma once
// The program's life: start-up, the polling message loop that drives the application once per
// pass, and shut-down in a fixed order. The devices come from a factory so tests can put
// their own in.
#include <cstdint>
#include <memory>

#include "platform/Messages.h"

class DisplayBase;
class SoundBase;
class MovieBase;
struct AudioFormat;

// Makes the three devices. Each device registers itself in its global (display,
// soundDevice, moviePlayer) when constructed; the main loop deletes it through that global
// at shut-down.
class DeviceFactory {
public:
    virtual ~DeviceFactory();
    virtual std::unique_ptr<DisplayBase> CreateDisplay(winx_HWND window) = 0;
    virtual std::unique_ptr<SoundBase> CreateSoundDevice(winx_HWND window,
                                                         const AudioFormat& format) = 0;
    virtual std::unique_ptr<MovieBase> CreateMoviePlayer(winx_HWND window) = 0;
};

// The entry routine with the platform's devices; 0 in every case.
int MainLoop();
// The same with the given devices.
int MainLoop(DeviceFactory& devices);

// Creates the main window (and installs the allocation-failure handler); 1 on success.
int CreateMainWindow();
// The lower-case letter of the first CD-ROM drive whose volume label equals the text
// (case-sensitive), or '?' when there is none.
char FindCdDrive(const char* volumeLabel);

// The main window, null before creation and once it is destroyed.
extern winx_HWND mainWindow;
// 1 while the program owns the screen, 0 between a deactivation and the next activation.
extern int32_t appActive;
// Set by the window procedure, consumed by the next pass of the loop.
extern int32_t deactivationRequested;
extern int32_t activationRequested;
