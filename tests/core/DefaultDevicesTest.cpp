// What the base classes answer where no device or player overrides them: a sound device
// that plays nothing and refuses buffers, a movie player that opens nothing, an application
// whose loop runs at once, a display without modes to change.
#include <gtest/gtest.h>

#include "core/AppBase.h"
#include "core/AudioFormat.h"
#include "core/ColourBox.h"
#include "core/DisplayBase.h"
#include "core/MovieBase.h"
#include "core/SoundBase.h"

namespace {

struct TickingApp : AppBase {
    int Tick(int) override { return 1; }
};

TEST(DefaultDevices, AnswerAsNothingWereThere) {
    SoundBase sound(AudioFormat{16, 2, 22050});
    const uint8_t data[4] = {};
    const SoundBuffer made = sound.CreateBuffer(4, 4, data, 8, 1, 22050);
    EXPECT_EQ(made, SoundBuffer::None);
    EXPECT_EQ(sound.IsPlaying(made), 0);
    EXPECT_EQ(sound.GetPosition(made), 0u);
    EXPECT_EQ(sound.IsUsable(made), 1);

    MovieBase movie;
    EXPECT_EQ(movie.Init(), 1);
    EXPECT_EQ(movie.Open("intro.mov"), 0);
    EXPECT_EQ(movie.playing, 0);

    TickingApp app;
    EXPECT_EQ(app.Init(), 1);
    EXPECT_EQ(app.MsUntilTickDue(1000), 0);
    AudioFormat format{};
    app.GetAudioFormat(format);
    EXPECT_EQ(format.bitsPerSample, 16);
    EXPECT_EQ(format.channels, 2);
    EXPECT_EQ(format.samplesPerSecond, 22050);

    DisplayBase screen;
    EXPECT_EQ(screen.SetDisplayMode(640, 480, 8), 1);
    EXPECT_EQ(screen.QueryNothing(), 0);
    ColourBox box(3, Size(2, 2));
    EXPECT_EQ(box.LastFrameIndex(), 0);
    EXPECT_EQ(box.SubImage(7), &box);
}

}  // namespace
