// A capture that cannot be written leaves no file, half or empty, and says why; a file-size
// limit is a write error, not the end of the program.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/resource.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/Capture.h"
#include "platform/Termination.h"
#include "support/TempDirectory.h"

namespace {

std::vector<std::string> Entries(const std::string& directory) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST(CaptureFailure, AFailedWriteLeavesNoFileAndSaysWhy) {
    TempDirectory dir;
    dir.Write("plain", "x");
    std::filesystem::create_directory(dir.Path() + "/shots");
    const std::vector<uint8_t> page(640 * 480, 7);
    // Pixels that do not compress: the picture outgrows the file's buffer while it is written.
    std::vector<uint8_t> noise(640 * 480);
    for (size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<uint8_t>((i * 2654435761u) >> 13);
    const std::vector<uint8_t> palette(768, 200);
    winx_InstallTerminationHandler();
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const struct {
        std::string path;
        rlim_t sizeLimit;
        const char* why;
        const std::vector<uint8_t>& pixels;
    } cases[] = {{dir.Path() + "/missing/shot.png", old.rlim_cur, "No such file", page},
                 {dir.Path() + "/plain/shot.png", old.rlim_cur, "Not a directory", page},
                 {dir.Path() + "/shot.png", 100, "File too large", page},
                 {dir.Path() + "/shot.png", 100, "File too large", noise},
                 {dir.Path() + "/shots", old.rlim_cur, "Is a directory", page}};
    for (const auto& c : cases) {
        rlimit limit{c.sizeLimit, old.rlim_max};
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
        std::string error;
        const bool written =
            winx_WritePalettedPng(c.path, c.pixels.data(), 640, 480, 640, palette.data(), &error);
        setrlimit(RLIMIT_FSIZE, &old);
        EXPECT_FALSE(written) << c.path;
        EXPECT_NE(error.find(c.why), std::string::npos) << c.path << ": " << error;
        EXPECT_EQ(Entries(dir.Path()), (std::vector<std::string>{"plain", "shots"})) << c.path;
    }
    std::string error;
    ASSERT_TRUE(winx_WriteRgbPng(dir.Path() + "/rgb.png", page.data(), 160, 480, 480, &error));
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, (dir.Path() + "/rgb.png").c_str()));
    EXPECT_EQ(image.width, 160u);
    EXPECT_EQ(image.format, static_cast<png_uint_32>(PNG_FORMAT_RGB));
    png_image_free(&image);
    EXPECT_EQ(Entries(dir.Path()).size(), 3u);
}
