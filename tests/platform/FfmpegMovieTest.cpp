#include "platform/FfmpegMovie.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "support/ScopedWorkingDir.h"
#include "support/TestMovie.h"

namespace {

class FfmpegMovieTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        ASSERT_EQ(StartTestEventQueue(), 1);
    }
    void TearDown() override { StopTestEventQueue(); }

    std::string Movie(const TestMovieShape& shape, const std::string& name = "clip.mov") {
        const std::string path = dir.Path() + "/" + name;
        EXPECT_EQ(WriteTestMovie(path, shape), 1);
        return path;
    }

    ScopedWorkingDir dir;
};

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

TEST_F(FfmpegMovieTest, FilesThatAreNoMoviesDoNotOpen) {
    EXPECT_EQ(winx_FfmpegMovie::Open(dir.Path() + "/missing.mov"), nullptr);
    dir.WriteFile("text.mov", "this is not a movie at all\n");
    EXPECT_EQ(winx_FfmpegMovie::Open(dir.Path() + "/text.mov"), nullptr);
    dir.WriteFile("empty.mov", "");
    EXPECT_EQ(winx_FfmpegMovie::Open(dir.Path() + "/empty.mov"), nullptr);
}

TEST_F(FfmpegMovieTest, PlaysEveryFrameAtTheStreamsPace) {
    TestMovieShape shape;
    shape.frames = 6;
    shape.framesPerSecond = 12;  // half a second
    auto movie = winx_FfmpegMovie::Open(Movie(shape));
    ASSERT_NE(movie, nullptr);
    EXPECT_EQ(movie->Width(), 64);
    EXPECT_EQ(movie->Height(), 48);
    const auto start = std::chrono::steady_clock::now();
    movie->Run();
    int slices = 0;
    while (!movie->WaitForCompletion(100))
        ASSERT_LT(++slices, 100);
    EXPECT_EQ(movie->FramesShown(), 6);
    // The last frame is due at 5/12 s; pacing by timestamps cannot finish much earlier.
    EXPECT_GE(SecondsSince(start), 0.40);
    EXPECT_GE(slices, 3);
    movie->Stop();
}

TEST_F(FfmpegMovieTest, AMovieWithoutSoundPlaysToo) {
    TestMovieShape shape;
    shape.frames = 3;
    shape.sound = false;
    auto movie = winx_FfmpegMovie::Open(Movie(shape));
    ASSERT_NE(movie, nullptr);
    movie->SetVolume(-20000);
    EXPECT_EQ(movie->GetVolume(), -10000);
    while (!movie->WaitForCompletion(1000)) {
    }
    EXPECT_EQ(movie->FramesShown(), 3);
}

TEST_F(FfmpegMovieTest, AGapInTheTimestampsDoesNotHoldThePlayer) {
    TestMovieShape shape;
    shape.frames = 4;
    shape.sound = false;
    shape.gapAfterFrame = 1;
    shape.gapSeconds = 600;
    auto movie = winx_FfmpegMovie::Open(Movie(shape));
    ASSERT_NE(movie, nullptr);
    const auto start = std::chrono::steady_clock::now();
    int slices = 0;
    while (!movie->WaitForCompletion(500))
        ASSERT_LT(++slices, 20);
    EXPECT_EQ(movie->FramesShown(), 4);
    EXPECT_LT(SecondsSince(start), 5.0);
}

TEST_F(FfmpegMovieTest, AMovieWhoseClockStartsLaterPlaysFromItsFirstPicture) {
    TestMovieShape shape;
    shape.frames = 3;
    shape.sound = false;
    shape.startSeconds = 1;
    auto movie = winx_FfmpegMovie::Open(Movie(shape));
    ASSERT_NE(movie, nullptr);
    const auto start = std::chrono::steady_clock::now();
    int slices = 0;
    while (!movie->WaitForCompletion(100))
        ASSERT_LT(++slices, 40);
    EXPECT_EQ(movie->FramesShown(), 3);
    // Three pictures at 10 a second: not the second the stamps lie ahead of zero.
    EXPECT_LT(SecondsSince(start), 0.9);
}

TEST_F(FfmpegMovieTest, TakingAKeyPressRemovesItsTextAndLeavesOtherInput) {
    ASSERT_EQ(PushTestMouseMotion(), 1);
    ASSERT_EQ(PushTestKeyPress('q'), 1);
    ASSERT_EQ(PushTestKeyPress('w'), 1);
    EXPECT_EQ(PendingKeyAndTextEvents(), 4);
    EXPECT_EQ(winx_TakeKeyPress(0), 1);
    EXPECT_EQ(PendingKeyAndTextEvents(), 2);
    EXPECT_EQ(PendingMouseMotions(), 1);
    EXPECT_EQ(winx_TakeKeyPress(0), 1);
    EXPECT_EQ(winx_TakeKeyPress(0), 0);
    EXPECT_EQ(PendingKeyAndTextEvents(), 0);
    EXPECT_EQ(PendingMouseMotions(), 1);
}
