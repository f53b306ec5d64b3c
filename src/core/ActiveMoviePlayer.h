#pragma once
// The movie player: shows a movie file full screen in the game's window and hands the screen
// and the sound output back to the game afterwards. Playing is blocking: a requested movie
// plays inside one Update until it ends or a key is pressed.
#include <cstdint>
#include <memory>

#include "core/MovieBase.h"

class winx_FfmpegMovie;

class ActiveMoviePlayer : public MovieBase {
public:
    ActiveMoviePlayer();
    ~ActiveMoviePlayer() override;

    // Nothing to set up; 0 as the platform's start-up call answered (the result is not used).
    int Init() override;
    // Plays a requested movie to its end or to a key press.
    void Update() override;
    // 1 when the movie at path opened and its first picture decoded. A failure restores the
    // display, the sound device and the application as a close does.
    int Open(const char* path) override;
    void RequestPlay() override { playRequested = 1; }
    void Stop() override;
    void Close() override;
    void Shutdown() override;

    int IsOpen() const { return movie != nullptr; }

    int32_t playRequested = 0;

    // How often, in real milliseconds, a playing movie looks for a key press.
    static constexpr uint32_t kKeyCheckMs = 500;

private:
    void RestoreDevices();

    std::unique_ptr<winx_FfmpegMovie> movie;
};
