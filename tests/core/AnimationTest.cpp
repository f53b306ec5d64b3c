#include "core/Animation.h"

#include <gtest/gtest.h>

#include "core/Bitmap.h"
#include "core/Sound.h"
#include "core/SpriteSet.h"
#include "core/VoicePool.h"
#include "support/DisplayFixtures.h"
#include "support/FakeClock.h"
#include "ui/ScreenBase.h"

namespace {

class RecordingSound : public Sound {
public:
    RecordingSound() : Sound(0) {}
    void Play(int loop) override {
        ++plays;
        lastLoop = loop;
    }
    int IsPlaying() override { return 0; }
    int plays = 0;
    int lastLoop = -1;
};

// A screen whose map starts 100 pixels left of and above the display.
class ShiftedScreen : public ScreenBase {
public:
    Point MapToScreen(const Point& p) override { return Point(p.x - 100, p.y - 100); }
};

std::unique_ptr<SpriteSet> Frames(int count) {
    auto set = std::make_unique<SpriteSet>(count);
    for (int n = 0; n < count; ++n) {
        // Frame n: one solid pixel of colour n + 1 and one shade pixel right of it.
        std::vector<uint8_t> bytes =
            CodedBitmap(Size(2, 1), Point(), Size(2, 1), {1, n + 1, 0, 2, 1, 0, 0, 1});
        set->SetFrame(std::make_unique<Bitmap>(bytes.data(), bytes.size()), n);
    }
    return set;
}

class Animations : public ::testing::Test, public ScreenFixture {
protected:
    FakeClock clock{5000};
    std::unique_ptr<SpriteSet> sprites = Frames(5);
};

TEST_F(Animations, ForwardRunStepsEachPeriodAndStopsOnTheLastFrame) {
    Animation animation(sprites.get());
    animation.PlayForward(10);
    EXPECT_EQ(animation.framePeriod, 100);
    for (int step = 1; step <= 4; ++step) {
        clock.Advance(100);
        animation.Tick();
        EXPECT_EQ(animation.frame, step);
    }
    EXPECT_EQ(animation.playing, 1);
    clock.Advance(100);
    animation.Tick();
    EXPECT_EQ(animation.playing, 0);
    EXPECT_EQ(animation.frame, 4);
    clock.Advance(1000);
    animation.Tick();
    EXPECT_EQ(animation.frame, 4);
}

TEST_F(Animations, BackwardRunStartsOnTheLastFrame) {
    Animation animation(sprites.get());
    animation.PlayBackward(10);
    EXPECT_EQ(animation.frame, 4);
    // Frame 0 is shown for a whole period too before the run stops.
    for (int step = 3; step >= 0; --step) {
        clock.Advance(100);
        animation.Tick();
        EXPECT_EQ(animation.frame, step);
        EXPECT_EQ(animation.playing, 1);
    }
    for (int step = 0; step < 6; ++step) {
        clock.Advance(50);
        animation.Tick();
        clock.Advance(50);
        animation.Tick();
    }
    EXPECT_EQ(animation.frame, 0);
    EXPECT_EQ(animation.playing, 0);
}

TEST_F(Animations, SoundStartsOnceThroughThePoolOrDirectly) {
    RecordingSound sound;
    Animation direct(sprites.get(), &sound);
    direct.PlayForward(5);
    EXPECT_EQ(sound.plays, 1);
    EXPECT_EQ(sound.lastLoop, 0);
    VoicePool pool(4);
    Animation pooled(sprites.get(), &sound, &pool);
    pooled.PlayBackward(5);
    EXPECT_EQ(sound.plays, 2);
    Animation silent(sprites.get());
    silent.PlayForward(5);
    EXPECT_EQ(silent.playing, 1);
}

TEST_F(Animations, DrawsTheCurrentFrameWhereTheScreenMapsThePoint) {
    ShiftedScreen screenBase;
    Animation animation(sprites.get());
    animation.frame = 2;
    animation.DrawShadeFilled(screenBase, Point(150, 120), 40);  // centre (50, 20)
    EXPECT_EQ(At(49, 20), 3);
    EXPECT_EQ(At(50, 20), 40);
    std::fill(Back(), Back() + 640 * 480, 0);
    animation.DrawSilhouette(screenBase, Point(150, 120), 70);
    EXPECT_EQ(At(49, 20), 70);
    EXPECT_EQ(At(50, 20), 70);
}

}  // namespace
