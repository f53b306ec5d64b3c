// The real program on the generated sample assets, headless: the fixed-step clock, scripted
// input and frame captures. The expected captures are rendered here from the same asset files
// through the game's own picture readers and the capture writer.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/Bitmap.h"
#include "core/MemoryDisplay.h"
#include "core/Palette.h"
#include "core/ResourceFile.h"
#include "core/SpriteSet.h"
#include "platform/Capture.h"
#include "support/TempDirectory.h"

namespace {

namespace fs = std::filesystem;

const std::string kBinaryDir = QX_BINARY_DIR;
constexpr char kPalettePack[] = "7a0txxxx99s999.pal";
constexpr char kCursorPack[] = "7a0cxxxx99s999.msp";
constexpr char kTitlePack[] = "7a1utxxx00s000.msp";
constexpr char kExitPack[] = "7a1uzxxx99s999.msp";
constexpr int kTitlePaletteRow = 24;
constexpr int kExitPaletteRow = 26;
constexpr int kArrowCursor = 34;

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct RunResult {
    int exitCode = -1;
    std::string errors;
    std::string trace;
};

class BootEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        const fs::path maker = fs::path(kBinaryDir) / "qx-mkassets";
        if (!fs::exists(maker)) {
            GTEST_SKIP() << "the sample asset maker (" << maker.string()
                         << ") is not built: no assets to boot on";
        }
        game = fs::path(directory.Path());
        const std::string make =
            maker.string() + " " + game.string() + " > " + (game / "mkassets.log").string();
        ASSERT_EQ(std::system(make.c_str()), 0) << ReadText(game / "mkassets.log");
        fs::create_directory(game / "captures");
    }
    void TearDown() override { ResourceFile::SetAssetPath(""); }

    // Runs the game in the asset directory with the script; its exit code, what it wrote to
    // stderr and its trace file.
    RunResult Run(const std::string& script) {
        std::ofstream(game / "script.txt") << script;
        const fs::path binary = fs::path(kBinaryDir) / "quarnex";
        const std::string command =
            "cd '" + game.string() +
            "' && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy QX_CLOCK=fixed:16 "
            "QX_SCRIPT=script.txt QX_CAPTURE=captures timeout 300 '" +
            binary.string() + "' > stdout.txt 2> stderr.txt; echo $? > exit.txt";
        // The exit code comes back through exit.txt, past the shell.
        const int shellStatus = std::system(command.c_str());
        (void)shellStatus;
        RunResult result;
        std::istringstream(ReadText(game / "exit.txt")) >> result.exitCode;
        result.errors = ReadText(game / "stderr.txt");
        result.trace = ReadText(game / "zvd.out");
        return result;
    }

    // A frame drawn the way the game draws it, presented and written by the capture writer.
    std::string Expected(const std::string& name, int paletteRow, int cursorShape,
                         const std::function<void()>& draw) {
        ResourceFile::SetAssetPath((game / "Assets").string().append("/").c_str());
        MemoryDisplay screen;
        screen.SetPalette(LoadPalette(kPalettePack, 0, paletteRow).release());
        screen.SetCursorImage(kCursorPack);
        screen.cursorShape = cursorShape;
        screen.SetClipRect(Rect(Point(0, 0), Size(640, 480)));
        draw();
        screen.ResetClipRect();
        screen.Present();
        uint8_t rgb[256 * 3];
        for (int i = 0; i < 256; ++i) {
            rgb[3 * i] = screen.HardwarePalette()[i].r;
            rgb[3 * i + 1] = screen.HardwarePalette()[i].g;
            rgb[3 * i + 2] = screen.HardwarePalette()[i].b;
        }
        const fs::path path = game / (name + ".expected.png");
        EXPECT_TRUE(winx_WritePalettedPng(path.string(), screen.FrontPage(), 640, 480, 640, rgb));
        return ReadText(path);
    }
    std::string Captured(const std::string& name) {
        const fs::path path = game / "captures" / (name + ".png");
        EXPECT_TRUE(fs::exists(path)) << name << " was not captured";
        return ReadText(path);
    }
    void ExpectTitleCaptured() {
        const std::string expected = Expected("title", kTitlePaletteRow, kArrowCursor,
                                              [] { Bitmap(kTitlePack).DrawAt(Point(0, 0)); });
        EXPECT_TRUE(Captured("title") == expected) << "the title capture differs from the title";
    }
    int ExitPages() {
        ResourceFile::SetAssetPath((game / "Assets").string().append("/").c_str());
        ResourceFile pack;
        EXPECT_EQ(pack.Open(kExitPack, 1, 0), 1);
        return pack.Rows() - 1;
    }

    TempDirectory directory;
    fs::path game;
};

// A person skipping the intro presses a printable key, which makes its key-down and its
// character. The movie must take both; a character left over would send the title straight to
// the menu.
constexpr char kSkipIntro[] =
    "wait 500\n"
    "key X\n"
    "wait 1500\n";

TEST_F(BootEndToEnd, SkipsTheIntroShowsTheTitleAndQuitsOnEsc) {
    const RunResult run = Run(std::string(kSkipIntro) +
                              "capture title\n"
                              "wait 100\n"
                              "key ESCAPE\n");
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    ExpectTitleCaptured();
}

// With the movies off the title shows at once (captured without waiting for the intro); any key
// there leads to the main menu, Esc there to the exit pictures.
TEST_F(BootEndToEnd, WithMoviesOffTheTitleShowsAtOnceAndTheExitPicturesShowEveryPage) {
    const int pages = ExitPages();
    ASSERT_GE(pages, 1);
    std::ofstream(game / "QX.INI") << "[OPTIONS]\nMOVIES=NO\n";
    std::string script = "wait 500\ncapture title\ntext \"m\"\nwait 500\nkey ESCAPE\nwait 1000\n";
    for (int page = 1; page <= pages; ++page) {
        script += "capture exit" + std::to_string(page) + "\nwait 8000\n";
    }
    const RunResult run = Run(script + "wait 5000\n");
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    ExpectTitleCaptured();
    for (int page = 1; page <= pages; ++page) {
        const std::string expected =
            Expected("exit" + std::to_string(page), kExitPaletteRow, -1, [page] {
                std::unique_ptr<SpriteSet> pictures = LoadSpriteSetColumn(kExitPack);
                pictures->DrawFrameAt(Point(0, 0), 0);
                pictures->DrawFrameAt(Point(0, 0), page);
            });
        EXPECT_TRUE(Captured("exit" + std::to_string(page)) == expected) << "page " << page;
    }
}

TEST_F(BootEndToEnd, AMissingPaletteEndsTheProgramWithTheResourceMessage) {
    fs::remove(game / "Assets" / kPalettePack);
    const RunResult run = Run("wait 5000\nkey ESCAPE\n");
    EXPECT_EQ(run.exitCode, 255);
    EXPECT_NE(run.errors.find("Resource Missing"), std::string::npos) << run.errors;
    EXPECT_NE(run.trace.find("FATAL ERROR\nResource Missing\n"), std::string::npos) << run.trace;
}

}  // namespace
