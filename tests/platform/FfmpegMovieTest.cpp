#include "platform/FfmpegMovie.h"

#include <SDL.h>
#include <gtest/gtest.h>

extern "C" {
#include <libavformat/avformat.h>
}

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/Clock.h"
#include "platform/FfmpegLibrary.h"
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

// Copies a movie and adds a second sound track after its streams: the first track's packets
// again, every sample at 0x5050 (20560 in either byte order), a level the test tone never
// reaches. 1 when written.
int AddLoudSecondTrack(const std::string& from, const std::string& to) {
    AVFormatContext* probe = nullptr;
    if (avformat_open_input(&probe, from.c_str(), nullptr, nullptr) < 0) return 0;
    int sound = -1;
    if (avformat_find_stream_info(probe, nullptr) >= 0) {
        for (unsigned i = 0; i < probe->nb_streams && sound < 0; ++i) {
            if (probe->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO)
                sound = static_cast<int>(i);
        }
    }
    const int tracks = static_cast<int>(probe->nb_streams);
    avformat_close_input(&probe);
    if (sound < 0) return 0;
    return CopyTestMovie(
        from, to, sound, [&](AVFormatContext*, AVPacket* packet, const PacketWrite& write) {
            AVPacket* loud = packet->stream_index == sound ? av_packet_clone(packet) : nullptr;
            bool written = write(packet);
            if (loud) {
                written = written && av_packet_make_writable(loud) >= 0;
                for (int b = 0; written && b + 1 < loud->size; b += 2) {
                    loud->data[b] = 0x50;
                    loud->data[b + 1] = 0x50;
                }
                loud->stream_index = tracks;
                written = written && write(loud);
                av_packet_free(&loud);
            }
            return written;
        });
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

// Each of the five libraries is named by its own shared-object name; one load serves every
// movie that plays at the same time.
TEST(FfmpegLibrary, EachLibraryHasItsNameAndOneLoadServesAll) {
    using L = winx_FfmpegLibrary;
    const struct {
        L::Library library;
        const char* prefix;
    } rows[] = {{L::kAvutil, "libavutil.so."},
                {L::kSwresample, "libswresample.so."},
                {L::kSwscale, "libswscale.so."},
                {L::kAvcodec, "libavcodec.so."},
                {L::kAvformat, "libavformat.so."}};
    for (const auto& row : rows)
        EXPECT_EQ(std::string(L::Soname(row.library)).rfind(row.prefix, 0), 0u) << row.prefix;
    EXPECT_STREQ(L::Soname(L::kLibraryCount), "");
    std::string error;
    const auto first = L::Load(error);
    ASSERT_NE(first, nullptr) << error;
    EXPECT_EQ(L::Load(error), first);
}

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
    const auto start = std::chrono::steady_clock::now();
    while (!movie->WaitForCompletion(1000)) {
    }
    EXPECT_EQ(movie->FramesShown(), 3);
    // No sound to wait for: the pictures alone are paced, the last one due at 2/10 s.
    EXPECT_GE(SecondsSince(start), 0.19);
}

// The sound track reaches the output device whole, decoded before and after the clock starts,
// at the volume set: the 440 Hz tone of amplitude 8000, or a tenth of it at -20 dB; of a movie
// with two sound tracks, only the first. SDL's disk driver writes what the device plays into a
// file.
TEST_F(FfmpegMovieTest, TheSoundTrackReachesTheOutputAtTheVolumeSet) {
    TestMovieShape shape;
    shape.frames = 5;
    const std::string clip = Movie(shape);
    const std::string twoTracks = dir.Path() + "/two.mov";
    ASSERT_EQ(AddLoudSecondTrack(clip, twoTracks), 1);
    const size_t trackSamples = 5 * 2205 * 2;
    const std::string output = dir.Path() + "/played.raw";
    struct Case {
        const std::string& movieFile;
        int32_t volume;
        int peakAtLeast, peakAtMost;
    };
    // Pictures stamped a second late put the whole sound track before them in the file: it is
    // all decoded while the movie opens, and queued when it runs.
    TestMovieShape late = shape;
    late.startSeconds = 1;
    const std::string soundFirst = Movie(late, "late.mov");
    for (const Case& c : {Case{clip, 0, 7900, 8000}, Case{clip, -2000, 790, 800},
                          Case{twoTracks, 0, 7900, 8000}, Case{soundFirst, -2000, 790, 800}}) {
        SCOPED_TRACE(c.movieFile + " at " + std::to_string(c.volume));
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
        {
            auto movie = winx_FfmpegMovie::Open(c.movieFile);
            ASSERT_NE(movie, nullptr);
            movie->SetVolume(c.volume);
            int slices = 0;
            while (!movie->WaitForCompletion(100))
                ASSERT_LT(++slices, 100);
            movie->Stop();
        }
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        const std::string bytes = dir.ReadFile("played.raw");
        std::vector<int16_t> played(bytes.size() / 2);
        std::memcpy(played.data(), bytes.data(), played.size() * 2);
        int peak = 0;
        size_t sounding = 0;
        for (const int16_t v : played) {
            peak = std::max(peak, std::abs(static_cast<int>(v)));
            sounding += v != 0;
        }
        EXPECT_GE(peak, c.peakAtLeast);
        EXPECT_LE(peak, c.peakAtMost);
        // Every sample once: the tone passes zero only now and then.
        EXPECT_GE(sounding, trackSamples * 9 / 10);
        EXPECT_LE(sounding, trackSamples);
    }
}

// Stop gives the sound device back at once (the game reopens its own next), and a silent
// movie, which opened none, leaves the sound system to whoever else holds it.
TEST_F(FfmpegMovieTest, StopGivesBackTheSoundDeviceItOpenedAndNothingElse) {
    ASSERT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    TestMovieShape shape;
    shape.frames = 3;
    auto sounding = winx_FfmpegMovie::Open(Movie(shape));
    ASSERT_NE(sounding, nullptr);
    sounding->Run();
    EXPECT_NE(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    sounding->Stop();
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    EXPECT_EQ(sounding->WaitForCompletion(0), 1);
    // Dropped while it plays, it gives the device back too.
    sounding = winx_FfmpegMovie::Open(Movie(shape));
    ASSERT_NE(sounding, nullptr);
    sounding->Run();
    EXPECT_NE(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    sounding.reset();
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    // A device that does not open: the pictures play on, silently, holding nothing.
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", (dir.Path() + "/missing/played.raw").c_str(), 1);
    sounding = winx_FfmpegMovie::Open(Movie(shape));
    ASSERT_NE(sounding, nullptr);
    sounding->Run();
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    int slices = 0;
    while (!sounding->WaitForCompletion(100))
        ASSERT_LT(++slices, 40);
    EXPECT_EQ(sounding->FramesShown(), 3);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    unsetenv("SDL_DISKAUDIOFILE");
    sounding.reset();

    shape.sound = false;
    auto silent = winx_FfmpegMovie::Open(Movie(shape, "silent.mov"));
    ASSERT_NE(silent, nullptr);
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0);
    silent->Run();
    silent->Stop();
    EXPECT_NE(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
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

// Each picture shows once the real clock reaches its stamp, counted from Run; a pause of more
// than two seconds between two pictures (a damaged file) shrinks to one frame, a shorter one is
// kept. The clock is the platform's, set by hand; a wait of 0 ms shows what is due and returns.
TEST_F(FfmpegMovieTest, PicturesShowWhenTheClockReachesTheirStamps) {
    struct Case {
        int gapSeconds, startSeconds;
        int thirdDueMs;  // the picture after the gap
    };
    for (const Case& c : {Case{600, 0, 200}, Case{2, 0, 200}, Case{1, 0, 1200}, Case{0, 1, 200}}) {
        SCOPED_TRACE("gap " + std::to_string(c.gapSeconds) + ", start " +
                     std::to_string(c.startSeconds));
        TestMovieShape shape;
        shape.frames = 4;
        shape.sound = false;
        shape.gapAfterFrame = c.gapSeconds > 0 ? 1 : -1;
        shape.gapSeconds = c.gapSeconds;
        shape.startSeconds = c.startSeconds;
        auto movie = winx_FfmpegMovie::Open(Movie(shape));
        ASSERT_NE(movie, nullptr);
        struct HandClock {
            uint64_t now = 5000000;
            HandClock() {
                winx_SetRawClockSource([this] { return now; });
            }
            ~HandClock() { winx_SetRawClockSource({}); }
        } clock;
        movie->Run();
        const int third = c.thirdDueMs;
        struct Step {
            int atMs, shown, ended;
        };
        for (const Step& step :
             {Step{0, 1, 0}, Step{99, 1, 0}, Step{100, 2, 0}, Step{third - 1, 2, 0},
              Step{third, 3, 0}, Step{third + 99, 3, 0}, Step{third + 100, 4, 1}}) {
            clock.now = 5000000 + static_cast<uint64_t>(step.atMs);
            EXPECT_EQ(movie->WaitForCompletion(0), step.ended) << step.atMs << " ms";
            EXPECT_EQ(movie->FramesShown(), step.shown) << step.atMs << " ms";
        }
        movie->Stop();
    }
}

// Sound still queued when the last picture has shown plays on for two seconds at most: the
// movie ends once the clock reaches that, not a millisecond later, though the device still
// holds seconds of sound (the clock is set by hand, the device plays in real time).
TEST_F(FfmpegMovieTest, TheSoundPlaysOnTwoSecondsAtMostAfterTheLastPicture) {
    TestMovieShape shape;
    shape.frames = 60;  // six seconds of sound, the last picture due at 5.9 s
    auto movie = winx_FfmpegMovie::Open(Movie(shape));
    ASSERT_NE(movie, nullptr);
    struct HandClock {
        uint64_t now = 7000000;
        HandClock() {
            winx_SetRawClockSource([this] { return now; });
        }
        ~HandClock() { winx_SetRawClockSource({}); }
    } clock;
    movie->Run();
    ASSERT_NE(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    for (const auto& [atMs, ended] :
         {std::pair{5900, 0}, std::pair{5900 + 1999, 0}, std::pair{5900 + 2000, 1}}) {
        clock.now = 7000000 + static_cast<uint64_t>(atMs);
        EXPECT_EQ(movie->WaitForCompletion(0), ended) << atMs << " ms";
        EXPECT_EQ(movie->FramesShown(), 60) << atMs << " ms";
    }
    movie->Stop();
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
