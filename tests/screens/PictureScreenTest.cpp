#include "screens/PictureScreen.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/BitmapEncoder.h"
#include "core/KeyCodes.h"
#include "core/PackWriter.h"
#include "core/Palette.h"
#include "core/ResourceFile.h"
#include "support/DisplayFixtures.h"
#include "world/WorldTestFixture.h"

namespace {

// Row r of the picture pack is a full-screen picture of colour 100 + r; pages cover only the
// top half, so the background shows below them.
constexpr uint8_t kBackgroundColour = 100;

class PictureScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directory("Assets");
        ResourceFile::SetAssetPath(".\\Assets\\");
        WriteBytes("Assets/7a0txxxx99s999.pal", MarkedPalettePack(27, kBackgroundColour));
    }
    void TearDown() override { ResourceFile::SetAssetPath(""); }

    void WritePictures(int rows) {
        PackWriter pack(1, rows);
        for (int row = 0; row < rows; ++row) {
            const int height = row == 0 ? 480 : 240;
            const std::vector<uint8_t> pixels(640 * height, static_cast<uint8_t>(100 + row));
            pack.SetEntry(0, row, EncodeRawBitmap(pixels.data(), 640, height, 640));
        }
        WriteBytes("Assets/7a1uzxxx99s999.msp", pack.Build());
    }
    // One frame of the given length, as the World runs it.
    int Frame(int ms) {
        const int handled = screen.HandleEvents(ms);
        const int updated = screen.Update(ms);
        screen.Draw(ms);
        return handled && updated;
    }
    uint8_t Top() const { return f.display.BackPage()[640 * 10 + 10]; }
    uint8_t Bottom() const { return f.display.BackPage()[640 * 400 + 10]; }
    void Key(int32_t code) { f.events.Post(InputKind::Key, Point(0, 0), code); }

    WorldFixture f;
    PictureScreen screen;
};

TEST_F(PictureScreenTest, LoadInstallsTheExitPaletteAndStartsOnTheFirstPage) {
    WritePictures(3);
    f.display.cursorShape = 3;
    EXPECT_EQ(screen.Page(), -1);
    ASSERT_EQ(screen.Load(), 1);
    EXPECT_EQ(screen.Page(), 1);
    ASSERT_NE(f.display.GetPalette(), nullptr);
    EXPECT_EQ(f.display.GetPalette()->entries[kBackgroundColour].r, PictureScreen::kExitPaletteRow);
    EXPECT_EQ(f.display.cursorShape, -1);
}

TEST_F(PictureScreenTest, EachPageShowsOverTheBackgroundForJustOverEightSeconds) {
    WritePictures(3);
    ASSERT_EQ(screen.Load(), 1);
    EXPECT_EQ(Frame(16), 1);
    EXPECT_EQ(Top(), 101);
    EXPECT_EQ(Bottom(), kBackgroundColour);
    int elapsed = 16;
    while (elapsed + 16 <= 8000) {
        ASSERT_EQ(Frame(16), 1);
        elapsed += 16;
    }
    EXPECT_EQ(Top(), 101);
    // The tick that takes the page past 8000 ms turns it.
    EXPECT_EQ(Frame(16), 1);
    EXPECT_EQ(screen.Page(), 2);
    EXPECT_EQ(Top(), 102);
    EXPECT_EQ(Frame(8000), 1);
    EXPECT_EQ(screen.Page(), 2);
    // Page 2's time is up: the screen ends, drawing the background alone.
    EXPECT_EQ(Frame(1), 0);
    EXPECT_EQ(Top(), kBackgroundColour);
}

// Modifiers and moves are used up; a key or a click ends the screen leaving the requested
// mode alone; Alt+F4 asks to quit.
TEST_F(PictureScreenTest, EventsEndTheScreenOrAreUsedUp) {
    const struct Case {
        InputKind kind;
        int32_t code;
        bool alt;
        int result;
        GameMode mode;
    } cases[] = {{InputKind::Key, kKeyShift, false, 1, GameMode::Battle},
                 {InputKind::Key, kKeyCtrl, false, 1, GameMode::Battle},
                 {InputKind::Key, kKeyAlt, false, 1, GameMode::Battle},
                 {InputKind::MouseMove, 0, false, 1, GameMode::Battle},
                 {InputKind::Key, ' ', false, 0, GameMode::Battle},
                 {InputKind::ButtonDown, 'L', false, 0, GameMode::Battle},
                 {InputKind::Key, kKeyF4, true, 0, GameMode::Quit},
                 {InputKind::Key, kKeyF4, false, 0, GameMode::Battle},
                 {InputKind::Key, ' ', true, 0, GameMode::Battle}};
    WritePictures(3);
    for (const Case& c : cases) {
        PictureScreen fresh;
        ASSERT_EQ(fresh.Load(), 1);
        f.world->requestedMode = static_cast<int>(GameMode::Battle);
        f.events.altDown = c.alt ? 1 : 0;
        f.events.Post(c.kind, Point(3, 3), c.code);
        EXPECT_EQ(fresh.HandleEvents(16) && fresh.Update(16), c.result == 1) << c.code;
        EXPECT_EQ(f.world->requestedMode, static_cast<int>(c.mode)) << c.code;
        EXPECT_TRUE(f.events.IsEmpty());
    }
    f.events.altDown = 0;
}

TEST_F(PictureScreenTest, AMissingPicturePackIsFatal) {
    EXPECT_EXIT(screen.Load(), ::testing::ExitedWithCode(255), "Resource Missing");
}

}  // namespace
