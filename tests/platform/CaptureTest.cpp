#include "platform/Capture.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <vector>

namespace {

struct ReadBack {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> indices;
    std::vector<png_color> colours;
};

bool ReadPng(const std::filesystem::path& path, ReadBack& out) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_RGB_COLORMAP;
    out.width = static_cast<int>(image.width);
    out.height = static_cast<int>(image.height);
    out.indices.resize(PNG_IMAGE_SIZE(image));
    std::vector<uint8_t> map(PNG_IMAGE_COLORMAP_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, out.indices.data(), 0, map.data())) return false;
    for (size_t i = 0; i + 2 < map.size(); i += 3)
        out.colours.push_back(png_color{map[i], map[i + 1], map[i + 2]});
    return true;
}

class Capture : public ::testing::Test {
protected:
    void SetUp() override {
        while (!winx_TakeCaptureRequest().empty()) {
        }
    }
    TempDirectory scratch;
    std::filesystem::path dir{scratch.Path()};
};

TEST_F(Capture, RequestsComeOutInTheOrderMade) {
    winx_RequestCapture("one");
    winx_RequestCapture("two");
    EXPECT_EQ(winx_TakeCaptureRequest(), "one");
    EXPECT_EQ(winx_TakeCaptureRequest(), "two");
    EXPECT_EQ(winx_TakeCaptureRequest(), "");
}

TEST_F(Capture, PngHoldsThePixelsThroughThePalette) {
    // 5 x 3 pixels read with a pitch of 8; each index shows its own colour.
    std::vector<uint8_t> page(8 * 3, 0xEE);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x)
            page[y * 8 + x] = static_cast<uint8_t>(y * 5 + x);
    }
    uint8_t palette[768];
    for (int i = 0; i < 256; ++i) {
        palette[3 * i] = static_cast<uint8_t>(i);
        palette[3 * i + 1] = static_cast<uint8_t>(255 - i);
        palette[3 * i + 2] = static_cast<uint8_t>(i * 3);
    }
    const std::filesystem::path path = dir / "frame.png";
    ASSERT_TRUE(winx_WritePalettedPng(path.string(), page.data(), 5, 3, 8, palette));
    ReadBack png;
    ASSERT_TRUE(ReadPng(path, png));
    EXPECT_EQ(png.width, 5);
    EXPECT_EQ(png.height, 3);
    for (int i = 0; i < 15; ++i) {
        const png_color& c = png.colours.at(png.indices[i]);
        EXPECT_EQ(c.red, i);
        EXPECT_EQ(c.green, 255 - i);
        EXPECT_EQ(c.blue, i * 3);
    }
    // No pixels, no palette or no size is no picture, and no file.
    std::string error;
    const std::string none = (dir / "none.png").string();
    const uint8_t rgb[3] = {1, 2, 3};
    EXPECT_FALSE(winx_WritePalettedPng(none, nullptr, 5, 3, 8, palette, &error));
    EXPECT_EQ(error, "no picture");
    EXPECT_FALSE(winx_WritePalettedPng(none, page.data(), 5, 3, 8, nullptr, nullptr));
    EXPECT_FALSE(winx_WritePalettedPng(none, page.data(), 0, 3, 8, palette, nullptr));
    EXPECT_FALSE(winx_WritePalettedPng(none, page.data(), 5, 0, 8, palette, nullptr));
    error.clear();
    EXPECT_FALSE(winx_WriteRgbPng(none, nullptr, 1, 1, 3, &error));
    EXPECT_EQ(error, "no picture");
    EXPECT_FALSE(winx_WriteRgbPng(none, rgb, 0, 1, 3, nullptr));
    EXPECT_FALSE(winx_WriteRgbPng(none, rgb, 1, -1, 3, nullptr));
    EXPECT_FALSE(std::filesystem::exists(none));
    ASSERT_TRUE(winx_WriteRgbPng(none, rgb, 1, 1, 3, nullptr));
    EXPECT_TRUE(std::filesystem::exists(none));
}

}  // namespace
