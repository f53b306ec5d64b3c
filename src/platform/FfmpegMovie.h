#pragma once
// A movie file decoded with FFmpeg: video scaled into the window through the
// display's renderer (nothing is drawn without one), sound through an SDL audio
// device of its own, both paced by the stream's timestamps against real time.
#include <cstdint>
#include <memory>
#include <string>

class winx_FfmpegMovie {
public:
    // The movie at a native path, ready to run; null unless the file opens as a
    // container and its first video frame decodes.
    static std::unique_ptr<winx_FfmpegMovie> Open(const std::string& path);
    ~winx_FfmpegMovie();

    winx_FfmpegMovie(const winx_FfmpegMovie&) = delete;
    winx_FfmpegMovie& operator=(const winx_FfmpegMovie&) = delete;

    // The movie's sound attenuation in hundredths of a decibel (0 = as recorded).
    int32_t GetVolume() const { return attenuation; }
    void SetVolume(int32_t hundredths);

    // Starts the clock and the sound output.
    void Run();
    // Plays for up to timeoutMs of real time; 1 once the movie has ended.
    int WaitForCompletion(uint32_t timeoutMs);
    // Stops the sound output; the movie cannot be run again.
    void Stop();

    int Width() const;
    int Height() const;
    // Video frames shown (or, without a renderer, due) so far.
    int FramesShown() const { return framesShown; }

private:
    struct State;
    explicit winx_FfmpegMovie(std::unique_ptr<State> state);

    std::unique_ptr<State> state;
    int32_t attenuation = 0;
    int framesShown = 0;

    bool DecodeUntilVideoFrame();
    void QueueAudioFrame();
    void ShowPendingFrame();
    void CapturePendingFrame();
    int AudioDrained() const;
};

// Takes the oldest key press waiting in the window system's queue (or typed by
// the input script, whose time moves on by waitedMs), together with the text
// that the press produced, and leaves every other event queued; 1 when there
// was one.
int winx_TakeKeyPress(uint32_t waitedMs);
