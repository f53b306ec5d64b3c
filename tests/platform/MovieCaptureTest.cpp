// A capture requested while a movie plays holds the movie's picture as the screen shows it.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/Capture.h"
#include "platform/FfmpegMovie.h"
#include "support/ScopedWorkingDir.h"
#include "support/TestMovie.h"

TEST(MovieCapture, ACaptureDuringAMovieIsTheMovieFrameOnTheScreen) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    ASSERT_EQ(StartTestEventQueue(), 1);
    ScopedWorkingDir dir;
    TestMovieShape shape;
    shape.width = 64;
    shape.height = 32;
    shape.frames = 3;
    shape.sound = false;
    ASSERT_EQ(WriteTestMovie(dir.Path() + "/wide.mov", shape), 1);
    setenv("QX_CAPTURE", dir.Path().c_str(), 1);
    while (!winx_TakeCaptureRequest().empty()) {
    }
    winx_RequestCapture("movie");
    auto movie = winx_FfmpegMovie::Open(dir.Path() + "/wide.mov");
    ASSERT_NE(movie, nullptr);
    movie->Run();
    while (!movie->WaitForCompletion(100)) {
    }
    unsetenv("QX_CAPTURE");
    StopTestEventQueue();

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, (dir.Path() + "/movie.png").c_str()));
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
    ASSERT_EQ(image.width, 640u);
    ASSERT_EQ(image.height, 480u);
    const auto blue = [&](int x, int y) { return rgb[(static_cast<size_t>(y) * 640 + x) * 3 + 2]; };
    // A 2:1 picture fills the width: 320 rows in the middle, black bands of 80 above and below.
    for (const int y : {0, 79, 400, 479})
        EXPECT_EQ(blue(320, y), 0) << y;
    for (const int y : {81, 240, 398})
        EXPECT_GT(blue(320, y), 100) << y;
}
