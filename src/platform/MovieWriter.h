#pragma once
// Writes short movies through FFmpeg: RGB pictures (MPEG-4 video) and optional 16-bit PCM sound
// in a QuickTime container. The asset maker uses it for the sample movies; the output is
// bit-exact, so the same frames always give the same file.
#include <cstdint>
#include <memory>
#include <string>

class winx_MovieWriter {
public:
    winx_MovieWriter();
    virtual ~winx_MovieWriter();
    winx_MovieWriter(const winx_MovieWriter&) = delete;
    winx_MovieWriter& operator=(const winx_MovieWriter&) = delete;

    // Creates the file. Width and height must be even; soundRate 0 writes no sound track.
    bool Open(const std::string& path, int width, int height, int framesPerSecond, int soundRate,
              int soundChannels);
    // One picture of width x height RGB triples, rows pitch bytes apart.
    bool WriteFrame(const uint8_t* rgb, int pitch);
    // Interleaved samples, frames x channels of them.
    bool WriteSound(const int16_t* samples, int frames);
    // Flushes the encoders and finishes the file; false when anything failed since Open.
    bool Close();

    const std::string& LastError() const { return error; }

private:
    struct Encoder;
    bool Fail(const std::string& message);
    bool Drain(Encoder& encoder, bool flush);

    struct State;
    std::unique_ptr<State> state;
    std::string error;
};
