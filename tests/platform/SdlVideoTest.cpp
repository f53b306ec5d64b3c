#include "platform/SdlVideo.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
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
    // The renderer it made went with it; one the window already had stays.
    EXPECT_EQ(SDL_GetRenderer(window), nullptr);
    SDL_Renderer* own = SDL_CreateRenderer(window, -1, 0);
    ASSERT_NE(own, nullptr);
    {
        winx_SdlVideo video(window, 640, 480);
        EXPECT_EQ(video.Renderer(), own);
    }
    EXPECT_EQ(SDL_GetRenderer(window), own);
    SDL_DestroyRenderer(own);
    winx_SdlVideo none(nullptr, 640, 480);
    EXPECT_FALSE(none.Ok());
    EXPECT_FALSE(none.Show(nullptr, 640, nullptr));
    SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

// Pages sent in part leave the window as the renderer's own scaling of the whole page: at 1x,
// at 1.6x and 2x (whole bands straight into the window, the second row of a pair written with
// the first), at 3x (a page row on three window rows), at 1.25x (no whole bands: the texture)
// and with a letterbox.
TEST(SdlVideo, PartialPagesLeaveEveryWindowSizeAsWholeOnes) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0);
    struct Case {
        int w, h;
        bool direct;  // scaled straight into the window, sent in part
    };
    const Case cases[] = {{640, 480, true},   {1024, 768, true}, {1280, 960, true},
                          {2560, 1920, true}, {800, 600, false}, {1920, 1440, false},
                          {1000, 480, false}};
    std::vector<uint32_t> argb(256), other(256);
    for (int i = 0; i < 256; ++i) {
        argb[i] = 0xFF000000u | static_cast<uint32_t>(i * 0x010307);
        other[i] = argb[i] ^ 0x00FFFFFFu;
    }
    // Changed rows in a few bands, and in more bands than are sent one by one.
    for (int pattern = 0; pattern < 2; ++pattern) {
        std::vector<uint8_t> first(640 * 480), second(640 * 480);
        std::vector<uint8_t> changed(480, 0);
        for (int y = 0; y < 480; ++y) {
            changed[y] = pattern == 0
                             ? y < 2 || y == 7 || (y >= 100 && y < 110) || y == 477 || y == 479
                             : y % 10 == 3;
            for (int x = 0; x < 640; ++x) {
                first[y * 640 + x] = static_cast<uint8_t>(x * 7 + y * 3);
                second[y * 640 + x] =
                    changed[y] ? static_cast<uint8_t>(x + y * 5) : first[y * 640 + x];
            }
        }
        for (const Case& c : cases) {
            SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h) + " pattern " +
                         std::to_string(pattern));
            SDL_Window* window = SDL_CreateWindow("video test", 0, 0, c.w, c.h, SDL_WINDOW_HIDDEN);
            ASSERT_NE(window, nullptr);
            {
                winx_SdlVideo video(window, 640, 480);
                ASSERT_TRUE(video.Ok());
                ASSERT_TRUE(video.Show(first.data(), 640, argb.data()));
                ASSERT_TRUE(video.Show(second.data(), 640, argb.data(), changed.data()));
                EXPECT_EQ(video.PartialPresents(), c.direct ? 1 : 0);
                std::vector<uint32_t> partial, whole;
                int w = 0, h = 0;
                ASSERT_TRUE(winx_ReadWindowPixels(video.Renderer(), partial, w, h));
                EXPECT_EQ(w, c.w);
                EXPECT_EQ(h, c.h);
                // The same page whole through the renderer's scaling: every row converted afresh.
                video.AllowPartial(false);
                ASSERT_TRUE(video.Show(second.data(), 640, other.data()));
                ASSERT_TRUE(video.Show(second.data(), 640, argb.data()));
                ASSERT_TRUE(winx_ReadWindowPixels(video.Renderer(), whole, w, h));
                EXPECT_EQ(video.Presents(), 4);
                ASSERT_EQ(partial.size(), whole.size());
                size_t differ = 0;
                for (size_t i = 0; i < partial.size(); ++i)
                    differ += partial[i] != whole[i];
                EXPECT_EQ(differ, 0u);
                // The page's last pixel is in the window's bottom right corner (no letterbox), in
                // its own colour whichever way it got there.
                if (static_cast<int64_t>(c.w) * 3 == static_cast<int64_t>(c.h) * 4) {
                    EXPECT_EQ(partial.back() | 0xFF000000u, argb[second.back()]);
                }
                // At a whole scale every window pixel is its page pixel's palette colour.
                if (c.w % 640 == 0 && c.w / 640 * 480 == c.h) {
                    const int k = c.w / 640;
                    size_t wrong = 0;
                    for (int y = 0; y < c.h; ++y) {
                        for (int x = 0; x < c.w; ++x) {
                            wrong += (partial[static_cast<size_t>(y) * c.w + x] | 0xFF000000u) !=
                                     argb[second[(y / k) * 640 + x / k]];
                        }
                    }
                    EXPECT_EQ(wrong, 0u);
                }
            }
            SDL_DestroyWindow(window);
        }
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

// A page whose scale is near 1.6x but not quite (638 columns in 1024) starts along the 5-to-8
// pattern and then leaves it: the columns after the pattern are scaled too, each onto its own
// place in the row, as the renderer's own scaling puts them.
TEST(SdlVideo, ANearlyFiveToEightScaleKeepsTheColumnsAfterThePattern) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0);
    constexpr int kW = 638, kH = 319;
    SDL_Window* window = SDL_CreateWindow("video test", 0, 0, 1024, 512, SDL_WINDOW_HIDDEN);
    ASSERT_NE(window, nullptr);
    {
        winx_SdlVideo video(window, kW, kH);
        ASSERT_TRUE(video.Ok());
        std::vector<uint32_t> argb(256), other(256);
        for (int i = 0; i < 256; ++i) {
            argb[i] = 0xFF000000u | static_cast<uint32_t>(i * 0x010307);
            other[i] = argb[i] ^ 0x00FFFFFFu;
        }
        std::vector<uint8_t> page(kW * kH);
        for (int y = 0; y < kH; ++y) {
            for (int x = 0; x < kW; ++x)
                page[y * kW + x] = static_cast<uint8_t>(x * 7 + y * 3);
        }
        std::vector<uint8_t> changed(kH, 1);
        ASSERT_TRUE(video.Show(page.data(), kW, argb.data()));
        ASSERT_TRUE(video.Show(page.data(), kW, argb.data(), changed.data()));
        EXPECT_EQ(video.PartialPresents(), 1);
        std::vector<uint32_t> direct, whole;
        int w = 0, h = 0;
        ASSERT_TRUE(winx_ReadWindowPixels(video.Renderer(), direct, w, h));
        video.AllowPartial(false);
        ASSERT_TRUE(video.Show(page.data(), kW, other.data()));
        ASSERT_TRUE(video.Show(page.data(), kW, argb.data()));
        ASSERT_TRUE(winx_ReadWindowPixels(video.Renderer(), whole, w, h));
        ASSERT_EQ(direct.size(), whole.size());
        size_t differ = 0;
        for (size_t i = 0; i < direct.size(); ++i)
            differ += direct[i] != whole[i];
        EXPECT_EQ(differ, 0u);
        // The last page pixel lands in the window's bottom right corner.
        EXPECT_EQ(direct.back() | 0xFF000000u, argb[page.back()]);
    }
    SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

}  // namespace
