// The real program on the generated sample assets, headless: the fixed-step clock, scripted
// input and frame captures. The expected captures are rendered here from the same asset files
// through the game's own picture readers and the capture writer.
#include <sys/stat.h>

#include <functional>
#include <memory>
#include <string>

#include "core/Bitmap.h"
#include "core/MemoryDisplay.h"
#include "core/Palette.h"
#include "core/ResourceFile.h"
#include "core/SpriteSet.h"
#include "platform/Capture.h"
#include "screens/EndToEndGame.h"

namespace {

namespace fs = std::filesystem;

constexpr char kPalettePack[] = "7a0txxxx99s999.pal";
constexpr char kCursorPack[] = "7a0cxxxx99s999.msp";
constexpr char kTitlePack[] = "7a1utxxx00s000.msp";
constexpr char kExitPack[] = "7a1uzxxx99s999.msp";
constexpr int kTitlePaletteRow = 24;
constexpr int kExitPaletteRow = 26;
constexpr int kArrowCursor = 34;

class BootEndToEnd : public e2e::EndToEndTest {
protected:
    void TearDown() override { ResourceFile::SetAssetPath(""); }

    // A frame drawn the way the game draws it, presented and written by the capture writer.
    std::string Expected(const std::string& name, int paletteRow, int cursorShape,
                         const std::function<void()>& draw, const Point& cursorAt = Point()) {
        ResourceFile::SetAssetPath((game.path / "Assets").string().append("/").c_str());
        MemoryDisplay screen;
        screen.SetPalette(LoadPalette(kPalettePack, 0, paletteRow).release());
        screen.SetCursorImage(kCursorPack);
        screen.cursorShape = cursorShape;
        screen.cursorPosition = cursorAt;
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
        const fs::path path = game.path / (name + ".expected.png");
        EXPECT_TRUE(winx_WritePalettedPng(path.string(), screen.FrontPage(), 640, 480, 640, rgb));
        return e2e::ReadText(path);
    }
    std::string Captured(const std::string& name) {
        EXPECT_FALSE(game.Capture(name).empty()) << name << " was not captured";
        return game.Capture(name);
    }
    // The title with the arrow where the mouse was moved; with no cursor while it never moved.
    void ExpectTitleCaptured(bool moved) {
        const std::string expected = Expected(
            "title", kTitlePaletteRow, moved ? kArrowCursor : -1,
            [] { Bitmap(kTitlePack).DrawAt(Point(0, 0)); }, Point(320, 240));
        EXPECT_TRUE(Captured("title") == expected) << "the title capture differs from the title";
    }
    int ExitPages() {
        ResourceFile::SetAssetPath((game.path / "Assets").string().append("/").c_str());
        ResourceFile pack;
        EXPECT_EQ(pack.Open(kExitPack, 1, 0), 1);
        return pack.Rows() - 1;
    }
};

// A person skipping the intro presses a printable key, which makes its key-down and its
// character. The movie must take both; a character left over would send the title straight to
// the menu.
constexpr char kSkipIntro[] =
    "wait 500\n"
    "key X\n"
    "wait 1500\n";

TEST_F(BootEndToEnd, SkipsTheIntroShowsTheTitleAndQuitsOnEsc) {
    EXPECT_EQ(game.Run(std::string(kSkipIntro) + "capture title\n"
                                                 "wait 100\n"
                                                 "key ESCAPE\n"),
              0)
        << game.Errors();
    ExpectTitleCaptured(false);
}

// With the movies off the title shows at once (captured without waiting for the intro); any key
// there leads to the main menu, Esc there to the exit pictures.
TEST_F(BootEndToEnd, WithMoviesOffTheTitleShowsAtOnceAndTheExitPicturesShowEveryPage) {
    const int pages = ExitPages();
    ASSERT_GE(pages, 1);
    game.WriteOptions(e2e::kMoviesOff);
    std::string script =
        "wait 400\nmove 320 240\nwait 100\ncapture title\ntext \"m\"\nwait 500\nkey ESCAPE\n"
        "wait 1000\n";
    for (int page = 1; page <= pages; ++page) {
        script += "capture exit" + std::to_string(page) + "\nwait 8000\n";
    }
    EXPECT_EQ(game.Run(script + "wait 5000\n"), 0) << game.Errors();
    ExpectTitleCaptured(true);
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
    fs::remove(game.path / "Assets" / kPalettePack);
    EXPECT_EQ(game.Run("wait 5000\nkey ESCAPE\n"), 255);
    EXPECT_NE(game.Errors().find("Resource Missing"), std::string::npos) << game.Errors();
    EXPECT_NE(game.File("zvd.out").find("FATAL ERROR\nResource Missing\n"), std::string::npos)
        << game.File("zvd.out");
}

// Each screen's own pack, missing, ends the program naming it, once, on stderr; a FIFO where the
// trace file goes neither hangs the exit nor keeps the message from the terminal.
TEST_F(BootEndToEnd, AMissingScreenPackIsNamedOnceWhateverStandsAtTheTrace) {
    game.WriteOptions(e2e::kMoviesOff);
    const struct {
        const char* pack;
        const char* keys;  // from the main menu to the screen that needs the pack
    } cases[] = {
        {"7a1usxxx99s999.msp", ""},   // the main menu
        {"7a0lxxxx99s999.lnd", "o"},  // the land list of the set-up screen
        {"7a0upxxx99s999.msp", "o"},  // the set-up screen
        {"7a0unxxx99s999.msp", "o"},  // the set-up screen's knobs
        {"7a1uexxx99s999.msp", "l"},  // the load-game screen
        {"7a0uexxx99s999.msp", "l"},
    };
    const fs::path assets = game.path / "Assets";
    fs::remove(game.path / "zvd.out");
    ASSERT_EQ(mkfifo((game.path / "zvd.out").c_str(), 0600), 0);
    for (const auto& c : cases) {
        fs::rename(assets / c.pack, game.path / "pack.bak");
        const std::string script =
            std::string(e2e::kToMenu) + "text \"" + c.keys + "\"\nwait 3000\n";
        EXPECT_EQ(game.Run(script, e2e::GameFolder::Clock::Fixed, 60), 255) << c.pack;
        const std::string errors = game.Errors();
        const std::string line =
            std::string("Quarnex: Resource Missing: ./Assets/") + c.pack + ": No such file";
        EXPECT_NE(errors.find(line), std::string::npos) << c.pack << "\n" << errors;
        EXPECT_EQ(errors.find("Resource Missing"), errors.rfind("Resource Missing")) << errors;
        fs::rename(game.path / "pack.bak", assets / c.pack);
    }
}

}  // namespace
