#include "core/MainLoop.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "core/ActiveMoviePlayer.h"
#include "core/AppBase.h"
#include "core/AudioFormat.h"
#include "core/Clock.h"
#include "core/DirectSoundDevice.h"
#include "core/DisplayBase.h"
#include "core/EventQueue.h"
#include "core/FatalError.h"
#include "core/MovieBase.h"
#include "core/Random.h"
#include "core/Settings.h"
#include "core/SoundBase.h"
#include "core/StringTable.h"
#include "core/WindowProc.h"
#include "core/winx_Display.h"
#include "platform/Clock.h"
#include "platform/Drives.h"
#include "platform/InstanceLock.h"
#include "platform/SdlAudio.h"
#include "platform/Termination.h"
#include "platform/Window.h"

winx_HWND mainWindow = nullptr;
int32_t appActive = 1;
int32_t deactivationRequested = 0;
int32_t activationRequested = 0;

DeviceFactory::~DeviceFactory() = default;

namespace {

constexpr char kWindowTitle[] = "Quarnex";
// One copy per working directory: the settings, saves and trace file live there.
constexpr char kInstanceLockFile[] = "quarnex.lock";
// The longest sleep between passes; an inactive program sleeps this long unless woken.
constexpr int kInactiveWaitMs = 100;

// The platform's devices.
class PlatformDevices : public DeviceFactory {
public:
    std::unique_ptr<DisplayBase> CreateDisplay(winx_HWND window) override {
        return std::make_unique<winx_Display>(window);
    }
    std::unique_ptr<SoundBase> CreateSoundDevice(winx_HWND, const AudioFormat& format) override {
        return std::make_unique<DirectSoundDevice>(format);
    }
    std::unique_ptr<MovieBase> CreateMoviePlayer(winx_HWND) override {
        return std::make_unique<ActiveMoviePlayer>();
    }
};

// A device registers itself in its global, which owns it from here until shut-down.
template <class T>
void HandToGlobal(std::unique_ptr<T> device) {
    (void)device.release();
}

void Deactivate() {
    application->OnDeactivate();
    if (display) display->Suspend();
    if (soundDevice) soundDevice->Close();
    appActive = 0;
    deactivationRequested = 0;
}

void Activate() {
    winx_BringWindowToFront(mainWindow);
    if (display) display->Resume();
    if (soundDevice) soundDevice->Open();
    // Their key-up messages may have gone to another program; a held shift stays held.
    if (eventQueue) {
        eventQueue->ctrlDown = 0;
        eventQueue->altDown = 0;
    }
    appActive = 1;
    activationRequested = 0;
    application->OnActivate();
}

// One pass of the loop; true when the quit message has arrived.
bool RunPass(int32_t& running, uint32_t startTime) {
    winx_Msg msg;
    while (winx_PeekMessage(&msg, 0, 0, PM_NOREMOVE)) {
        if (!winx_GetMessage(&msg)) return true;
        winx_TranslateMessage(&msg);
        winx_DispatchMessage(&msg);
    }
    if (deactivationRequested) Deactivate();
    if (activationRequested) Activate();
    if (!appActive) return false;
    if (moviePlayer) moviePlayer->Update();
    // Any non-zero result goes on: only 0 asks to quit.
    if (running != 0 && !(moviePlayer && moviePlayer->playing)) {
        if (display) display->RestoreLostSurfaces();
        running = application->Tick(static_cast<int>(GetTimeMs() - startTime));
        if (running == 0) winx_PostQuitMessage(0);
    }
    return false;
}

// The idle path between passes: the display catches up on a held-back cursor move, then the
// loop sleeps until the next tick is due or a message arrives. The fixed-step clock only moves
// by passes, so a headless run never waits.
void WaitForNextTick(int32_t running, uint32_t startTime) {
    if (winx_FixedClockActive()) return;
    if (display && appActive) display->Idle();
    int wait = kInactiveWaitMs;
    if (running == 0) {
        wait = 0;
    } else if (appActive) {
        wait = application->MsUntilTickDue(static_cast<int>(GetTimeMs() - startTime));
    }
    if (wait > 0) winx_WaitMessage(static_cast<uint32_t>(std::min(wait, kInactiveWaitMs)));
}

void ShutDown() {
    if (display) display->WritePendingCaptures();
    if (application) application->Shutdown();
    if (moviePlayer) moviePlayer->Shutdown();
    delete moviePlayer;
    delete eventQueue;
    delete soundDevice;
    delete display;
    winx_ShowCursor(1);
    winx_ReleaseMainWindow();
    mainWindow = nullptr;
    appActive = 1;
    deactivationRequested = 0;
    activationRequested = 0;
}

}  // namespace

int CreateMainWindow() {
    std::set_new_handler(OutOfMemoryHandler);
    mainWindow = winx_CreateMainWindow(kWindowTitle, WindowProc);
    if (!mainWindow) return 0;
    winx_BringWindowToFront(mainWindow);
    return 1;
}

int MainLoop() {
    PlatformDevices devices;
    return MainLoop(devices);
}

int MainLoop(DeviceFactory& devices) {
    if (!application) return 0;
    winx_InstallTerminationHandler();
    winx_InstanceLock instanceLock;
    switch (instanceLock.Acquire(kInstanceLockFile)) {
        case winx_InstanceLock::Result::HeldElsewhere:
            std::fprintf(stderr, "Quarnex is already running in this directory.\n");
            return 0;
        case winx_InstanceLock::Result::Unavailable:
            // The game still runs, but nothing keeps a second copy out of this directory.
            std::fprintf(stderr, "Quarnex: warning: cannot take the lock %s: %s\n",
                         kInstanceLockFile, instanceLock.Problem().c_str());
            break;
        case winx_InstanceLock::Result::Acquired:
            break;
    }
    if (!CreateMainWindow()) return 0;
    winx_ShowCursor(0);
    LoadSettings();
    ClearStringTable();
    // The game clock starts near the same value in every run; the raw reading does not.
    SeedRandom(winx_ClockSeed());
    HandToGlobal(devices.CreateDisplay(mainWindow));
    // Until the first mouse move, (0, 0) is no place of the mouse.
    if (display) display->cursorPlaced = 0;
    AudioFormat format{};
    application->GetAudioFormat(format);
    HandToGlobal(devices.CreateSoundDevice(mainWindow, format));
    HandToGlobal(std::make_unique<EventQueue>());
    HandToGlobal(devices.CreateMoviePlayer(mainWindow));
    if (moviePlayer) moviePlayer->Init();
    int32_t running = application->Init();
    // Nothing else would ever post the quit message: shut down as after a last tick.
    if (running == 0) winx_PostQuitMessage(0);
    uint32_t startTime = GetTimeMs();

    winx_SetOrderlyTermination(1);
    for (;;) {
        bool quit = false;
        try {
            quit = RunPass(running, startTime);
        } catch (...) {
            // A device failure inside a pass (the display throws when it loses its surfaces)
            // costs that pass only.
        }
        if (quit) break;
        winx_AdvanceFixedClock();
        // Under the fixed-step clock the mixer follows the game's clock, not SDL's thread.
        winx_AudioPump();
        WaitForNextTick(running, startTime);
    }
    winx_SetOrderlyTermination(0);
    ShutDown();
    return 0;
}

char FindCdDrive(const char* volumeLabel) {
    uint32_t drives = winx_GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (!(drives & (1u << i))) continue;
        char letter = static_cast<char>('a' + i);
        char root[4] = {letter, ':', '\\', '\0'};
        if (winx_GetDriveType(root) != kDriveCdRom) continue;
        char label[256] = {};
        if (winx_GetVolumeInformation(root, label, sizeof label) &&
            std::strcmp(label, volumeLabel) == 0)
            return letter;
    }
    return '?';
}
