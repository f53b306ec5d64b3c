#include "platform/SdlVideo.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

TEST(SdlVideo, ConvertsEachPixelThroughThePalette) {
    std::vector<uint8_t> page = {0, 1, 2, 9, 255, 7, 7, 7};  // 3 x 2 with a pitch of 4
    std::vector<uint32_t> argb(256);
    for (int i = 0; i < 256; ++i)
        argb[i] = 0xFF000000u | static_cast<uint32_t>(i * 0x010203);
    std::vector<uint32_t> out(4 * 2, 0);
    winx_ConvertPage(page.data(), 4, argb.data(), 3, 2, out.data(), 16);
    EXPECT_EQ(out[0], argb[0]);
    EXPECT_EQ(out[2], argb[2]);
    EXPECT_EQ(out[3], 0u);  // beyond the width stays untouched
    EXPECT_EQ(out[4], argb[255]);
    EXPECT_EQ(out[6], argb[7]);
}

TEST(SdlVideo, ShowsAPageInAWindowOfTheDummyDriver) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0);
    SDL_Window* window = SDL_CreateWindow("video test", 0, 0, 640, 480, SDL_WINDOW_HIDDEN);
    ASSERT_NE(window, nullptr);
    {
        winx_SdlVideo video(window, 640, 480);
        ASSERT_TRUE(video.Ok());
        EXPECT_EQ(winx_Renderer(), video.Renderer());
        EXPECT_GT(video.RefreshRate(), 0);
        std::vector<uint8_t> page(640 * 480, 3);
        std::vector<uint32_t> argb(256, 0xFF102030u);
        EXPECT_TRUE(video.Show(page.data(), 640, argb.data()));
    }
    EXPECT_EQ(winx_Renderer(), nullptr);
    winx_SdlVideo none(nullptr, 640, 480);
    EXPECT_FALSE(none.Ok());
    EXPECT_FALSE(none.Show(nullptr, 640, nullptr));
    SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

}  // namespace
