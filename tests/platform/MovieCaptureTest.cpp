// A capture requested while a movie plays holds the movie's picture as the screen shows it.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
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
    // A 2:1 picture fills the width: 320 rows in the middle, black bands of 80 above and below.
    // A 1:2 one fills the height: 240 columns from 200, black at the sides. A 4:3 one fills all.
    struct Case {
        int width, height;
        int left, top, right, bottom;  // the picture's place on the screen, inclusive
    };
    const Case cases[] = {
        {64, 32, 0, 80, 639, 399}, {32, 64, 200, 0, 439, 479}, {64, 48, 0, 0, 639, 479}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        TestMovieShape shape;
        shape.width = c.width;
        shape.height = c.height;
        shape.frames = 3;
        shape.sound = false;
        ASSERT_EQ(WriteTestMovie(dir.Path() + "/shape.mov", shape), 1);
        setenv("QX_CAPTURE", dir.Path().c_str(), 1);
        while (!winx_TakeCaptureRequest().empty()) {
        }
        winx_RequestCapture("movie");
        auto movie = winx_FfmpegMovie::Open(dir.Path() + "/shape.mov");
        ASSERT_NE(movie, nullptr);
        movie->Run();
        while (!movie->WaitForCompletion(100)) {
        }
        movie.reset();
        unsetenv("QX_CAPTURE");

        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        ASSERT_TRUE(png_image_begin_read_from_file(&image, (dir.Path() + "/movie.png").c_str()));
        image.format = PNG_FORMAT_RGB;
        std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
        ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
        ASSERT_EQ(image.width, 640u);
        ASSERT_EQ(image.height, 480u);
        // The movie's pictures are blue through and through.
        const auto blue = [&](int x, int y) {
            return rgb[(static_cast<size_t>(y) * 640 + x) * 3 + 2];
        };
        const int midX = (c.left + c.right) / 2, midY = (c.top + c.bottom) / 2;
        for (const int y : {c.top + 2, midY, c.bottom - 2})
            EXPECT_GT(blue(midX, y), 100) << y;
        for (const int x : {c.left + 2, c.right - 2})
            EXPECT_GT(blue(x, midY), 100) << x;
        if (c.top > 0) {
            for (const int y : {0, c.top - 1, c.bottom + 1, 479})
                EXPECT_EQ(blue(midX, y), 0) << y;
        }
        if (c.left > 0) {
            for (const int x : {0, c.left - 1, c.right + 1, 639})
                EXPECT_EQ(blue(x, midY), 0) << x;
        }
        std::remove((dir.Path() + "/movie.png").c_str());
    }
    StopTestEventQueue();
}
