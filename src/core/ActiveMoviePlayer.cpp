#include "core/ActiveMoviePlayer.h"

#include <string>

#include "core/AppBase.h"
#include "core/DisplayBase.h"
#include "core/SoundBase.h"
#include "core/Volume.h"
#include "platform/FfmpegMovie.h"
#include "platform/Paths.h"

ActiveMoviePlayer::ActiveMoviePlayer() = default;

// At shut-down the devices are going away: the movie is dropped without restoring them.
ActiveMoviePlayer::~ActiveMoviePlayer() = default;

int ActiveMoviePlayer::Init() {
    return 0;
}

int ActiveMoviePlayer::Open(const char* path) {
    if (movie) Close();
    if (path) movie = winx_FfmpegMovie::Open(winx_NativePath(path));
    if (!movie) {
        RestoreDevices();
        return 0;
    }
    return 1;
}

void ActiveMoviePlayer::Update() {
    if (!playRequested) return;
    playRequested = 0;
    // A request without an open movie has nothing to play.
    if (!movie) return;
    if (application) application->OnDeactivate();
    if (display && !display->SetDisplayMode(640, 480, 16)) display->SetDisplayMode(640, 480, 8);
    if (display) display->Suspend();
    if (soundDevice) soundDevice->Close();

    // The movie plays at the game's master volume relative to its own.
    const int32_t ownAttenuation = movie->GetVolume();
    const int32_t masterVolume = soundDevice ? soundDevice->masterVolume : 100;
    movie->SetVolume(MovieAttenuation(masterVolume, ownAttenuation));
    movie->Run();
    playing = 1;

    // Any key skips the movie; other input stays queued for the game.
    while (!movie->WaitForCompletion(kKeyCheckMs)) {
        if (winx_TakeKeyPress(kKeyCheckMs)) break;
    }
    movie->SetVolume(ownAttenuation);
    Stop();
}

void ActiveMoviePlayer::Stop() {
    if (!movie) return;
    movie->Stop();
    playing = 0;
    Close();
}

void ActiveMoviePlayer::Close() {
    if (!movie) return;
    movie.reset();
    RestoreDevices();
}

void ActiveMoviePlayer::Shutdown() {
    if (movie) Close();
}

void ActiveMoviePlayer::RestoreDevices() {
    if (display) display->Resume();
    if (soundDevice) soundDevice->Open();
    if (application) application->OnActivate();
}
