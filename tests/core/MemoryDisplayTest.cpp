#include "core/MemoryDisplay.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <vector>

#include "core/Bitmap.h"
#include "core/Settings.h"
#include "core/SpriteSet.h"
#include "platform/Capture.h"
#include "support/DisplayFixtures.h"
#include "support/TempDirectory.h"

namespace {

// A cursor of one shape: a 40 x 40 frame whose picture is a solid 4 x 4 square of colour 200
// in its middle (centred on the cursor position).
std::unique_ptr<SpriteSet> SquareCursor() {
    std::vector<uint8_t> stored =
        CodedBitmap(Size(40, 40), Point(18, 18), Size(4, 4),
                    {4, 200, 0, 0, 4, 200, 0, 0, 4, 200, 0, 0, 4, 200, 0, 1});
    auto shape = std::make_unique<SpriteSet>(1);
    shape->SetFrame(std::make_unique<Bitmap>(stored.data(), stored.size()), 0);
    auto shapes = std::make_unique<SpriteSet>(1);
    shapes->SetFrame(std::move(shape), 0);
    return shapes;
}

class Display : public ::testing::Test, public ScreenFixture {
protected:
    void SetUp() override {
        savedFlip = flipEnabled;
        savedNoShake = noShake;
        flipEnabled = 1;
        noShake = 0;
    }
    void TearDown() override {
        flipEnabled = savedFlip;
        noShake = savedNoShake;
    }
    int32_t savedFlip = 1;
    int32_t savedNoShake = 0;
};

TEST_F(Display, PresentFlipsWithFlipOnAndCopiesWithFlipOff) {
    Back()[0] = 9;
    screen.Present();
    EXPECT_EQ(screen.flips, 1);
    EXPECT_EQ(screen.FrontPage()[0], 9);
    // The new back page is what the front held before.
    EXPECT_EQ(screen.BackPage()[0], 0);

    flipEnabled = 0;
    Back()[1] = 7;
    screen.Present();
    EXPECT_EQ(screen.copies, 1);
    EXPECT_EQ(screen.FrontPage()[1], 7);
    EXPECT_EQ(screen.BackPage()[1], 7);
}

// A capture is the presented page in the colours the screen shows.
TEST_F(Display, ACaptureHoldsThePresentedPageInItsColours) {
    TempDirectory shots;
    auto* palette = new Palette();
    palette->entries[5] = Rgb{10, 20, 30};
    palette->entries[6] = Rgb{200, 150, 100};
    screen.SetPalette(palette);
    std::fill(Back(), Back() + 640 * 480, 5);
    Back()[479 * 640 + 639] = 6;
    setenv("QX_CAPTURE", shots.Path().c_str(), 1);
    winx_RequestCapture("page");
    screen.Present();
    unsetenv("QX_CAPTURE");
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, (shots.Path() + "/page.png").c_str()));
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
    ASSERT_EQ(image.width, 640u);
    ASSERT_EQ(image.height, 480u);
    EXPECT_EQ(std::vector<uint8_t>(rgb.begin(), rgb.begin() + 3),
              (std::vector<uint8_t>{10, 20, 30}));
    EXPECT_EQ(std::vector<uint8_t>(rgb.end() - 3, rgb.end()),
              (std::vector<uint8_t>{200, 150, 100}));
}

TEST_F(Display, CursorIsDrawnIntoThePresentedFrameAndItsBoxSaved) {
    screen.SetCursorImage(SquareCursor());
    screen.cursorPosition = Point(100, 100);
    Back()[100 * 640 + 100] = 5;
    screen.Present();
    EXPECT_EQ(screen.SavePosition(), Point(80, 80));
    EXPECT_EQ(screen.FrontPage()[100 * 640 + 100], 200);
    EXPECT_EQ(screen.FrontPage()[97 * 640 + 97], 0);
    // The save buffer holds what lay under the cursor.
    EXPECT_EQ(screen.SaveBuffer()[20 * 40 + 20], 5);
    // A cursor no mouse move has placed is not drawn.
    screen.cursorPlaced = 0;
    Back()[100 * 640 + 100] = 5;
    screen.Present();
    EXPECT_EQ(screen.FrontPage()[100 * 640 + 100], 5);
}

TEST_F(Display, CursorMoveRestoresTheSavedPixelsAndRedraws) {
    screen.SetCursorImage(SquareCursor());
    screen.cursorPosition = Point(100, 100);
    std::fill(Back(), Back() + 640 * 480, 3);
    screen.Present();
    screen.cursorPosition = Point(300, 200);
    screen.UpdateCursor();
    const uint8_t* front = screen.FrontPage();
    EXPECT_EQ(front[100 * 640 + 100], 3);
    EXPECT_EQ(front[200 * 640 + 300], 200);
    EXPECT_EQ(screen.SavePosition(), Point(280, 180));
    EXPECT_EQ(screen.SaveBuffer()[20 * 40 + 20], 3);
    // Nothing to do when the cursor did not move.
    int before = screen.presents;
    screen.UpdateCursor();
    EXPECT_EQ(screen.presents, before);
}

TEST_F(Display, CursorBoxStaysOnTheScreenWhileTheCursorIsClipped) {
    screen.SetCursorImage(SquareCursor());
    screen.cursorPosition = Point(5, 470);
    screen.Present();
    EXPECT_EQ(screen.SavePosition(), Point(0, 440));
    const uint8_t* front = screen.FrontPage();
    EXPECT_EQ(front[470 * 640 + 5], 200);
    EXPECT_EQ(front[468 * 640 + 3], 200);
    screen.cursorPosition = Point(639, 0);
    screen.UpdateCursor();
    EXPECT_EQ(screen.SavePosition(), Point(600, 0));
    EXPECT_EQ(front[470 * 640 + 5], 0);
    EXPECT_EQ(front[0 * 640 + 639], 200);
}

TEST_F(Display, ShakeLastsSixPresentsAndAlwaysCopies) {
    std::fill(Back(), Back() + 640 * 480, 0);
    Back()[2 * 640 + 2] = 44;
    // The start of row 3 lies just past row 0 of the rectangle shifted by (2, 2).
    Back()[3 * 640] = 45;
    Back()[3 * 640 + 1] = 46;
    screen.cursorPosition = Point(0, 0);
    screen.shakeFlag = 1;
    screen.shakePhase = 0;
    const int offsets[6] = {2, 0, 2, 0, 2, 0};
    for (int present = 0; present < 6; ++present) {
        EXPECT_EQ(screen.shakeFlag, 1) << present;
        screen.Present();
        const int d = offsets[present];
        EXPECT_EQ(screen.FrontPage()[(2 - d) * 640 + (2 - d)], 44) << present;
        // The shifted copy ends 2 short of each row: the right strip keeps the last frame
        // rather than the start of the row below.
        EXPECT_EQ(screen.FrontPage()[638], 0) << present;
        EXPECT_EQ(screen.FrontPage()[639], 0) << present;
        // The box is kept at least 2 from the edge, then moved with the picture.
        EXPECT_EQ(screen.SavePosition(), Point(0, 0)) << present;
    }
    EXPECT_EQ(screen.shakeFlag, 0);
    EXPECT_EQ(screen.shakePhase, 0);
    EXPECT_EQ(screen.copies, 6);
    EXPECT_EQ(screen.flips, 0);
    screen.Present();
    EXPECT_EQ(screen.flips, 1);
}

TEST_F(Display, NestedFrameBufferRequestsShareOneLock) {
    uint8_t* pixels = nullptr;
    Size size;
    int32_t pitch = 0;
    screen.GetFrameBuffer(pixels, size, pitch);
    screen.GetFrameBuffer(pixels, size, pitch);
    EXPECT_EQ(screen.lockCalls, 1);
    EXPECT_EQ(screen.LockCount(), 2);
    EXPECT_EQ(size, Size(640, 480));
    EXPECT_EQ(pitch, 640);
    screen.ReleaseFrameBuffer();
    EXPECT_EQ(screen.LockCount(), 1);
    screen.ReleaseFrameBuffer();
    EXPECT_EQ(screen.LockCount(), 0);
    screen.GetFrameBuffer(pixels, size, pitch);
    EXPECT_EQ(screen.lockCalls, 2);
    screen.ReleaseFrameBuffer();
}

TEST_F(Display, PaletteEntriesZeroAndTwoFiftyFiveAreForced) {
    auto* palette = new Palette();
    for (auto& entry : palette->entries)
        entry = Rgb{10, 20, 30};
    screen.SetPalette(palette);
    EXPECT_EQ(screen.HardwarePalette()[0], (Rgb{0, 0, 0}));
    EXPECT_EQ(screen.HardwarePalette()[255], (Rgb{255, 255, 255}));
    EXPECT_EQ(screen.HardwarePalette()[1], (Rgb{10, 20, 30}));
    // Installing the installed palette again keeps it.
    palette->entries[1] = Rgb{1, 2, 3};
    screen.SetPalette(palette);
    EXPECT_EQ(screen.GetPalette(), palette);
    EXPECT_EQ(screen.HardwarePalette()[1], (Rgb{1, 2, 3}));
}

TEST_F(Display, SuspendedDisplayRefusesToPresentAndResumeClearsAndResends) {
    auto* palette = new Palette();
    palette->entries[3] = Rgb{9, 9, 9};
    screen.SetPalette(palette);
    std::fill(Back(), Back() + 640 * 480, 8);
    screen.Suspend();
    EXPECT_TRUE(screen.IsSuspended());
    EXPECT_THROW(screen.Present(), MemoryDisplay::winx_Exception);
    screen.cursorPosition = Point(10, 10);
    screen.UpdateCursor();  // returns early
    EXPECT_EQ(screen.presents, 0);
    screen.Resume();
    EXPECT_FALSE(screen.IsSuspended());
    EXPECT_EQ(CountNot(0), 0);
    EXPECT_EQ(screen.FrontPage()[1000], 0);
    EXPECT_EQ(screen.presents, 2);  // two clears through the flipping chain
    EXPECT_EQ(screen.HardwarePalette()[3], (Rgb{9, 9, 9}));
}

// ---- Lines ------------------------------------------------------------------------------

TEST_F(Display, LinesDrawTheirPixelsByTheirRules) {
    struct Pen {
        int width, dash, gap, phase;  // dash < 0: a solid line
    };
    struct Case {
        Pen pen;
        Point from, to;
        int drawn;
        std::vector<Point> on, off;
    };
    const Case cases[] = {
        // Vertical lines start at the later end and leave out the far end.
        {{1, -1, 0, 0},
         {10, 10},
         {10, 14},
         4,
         {{10, 11}, {10, 12}, {10, 13}, {10, 14}},
         {{10, 10}}},
        // Horizontal, diagonal and steep upward lines include both ends.
        {{1, -1, 0, 0}, {10, 10}, {14, 10}, 5, {{10, 10}, {14, 10}}, {}},
        {{1, -1, 0, 0}, {20, 30}, {10, 20}, 11, {{10, 20}, {15, 25}, {20, 30}}, {}},
        {{1, -1, 0, 0}, {0, 10}, {3, 0}, 11, {{0, 10}, {3, 0}}, {}},
        // Steep and shallow lines step sideways once past the midpoint.
        {{1, -1, 0, 0}, {10, 10}, {11, 13}, 4, {{10, 10}, {10, 11}, {11, 12}, {11, 13}}, {}},
        {{1, -1, 0, 0}, {10, 10}, {13, 11}, 4, {{10, 10}, {11, 10}, {12, 11}, {13, 11}}, {}},
        {{1, -1, 0, 0}, {10, 11}, {13, 10}, 4, {{10, 11}, {11, 11}, {12, 10}, {13, 10}}, {}},
        // Lines along each edge of the clip rectangle are inside it.
        {{1, -1, 0, 0}, {639, 10}, {639, 14}, 4, {{639, 11}, {639, 14}}, {{639, 10}}},
        {{1, -1, 0, 0}, {0, 20}, {0, 16}, 4, {{0, 16}, {0, 19}}, {{0, 20}}},
        {{1, -1, 0, 0}, {600, 479}, {604, 479}, 5, {{600, 479}, {604, 479}}, {}},
        {{1, -1, 0, 0}, {14, 0}, {10, 0}, 5, {{10, 0}, {14, 0}}, {}},
        // Equal ends draw nothing; lines are cut at the clip rectangle.
        {{1, -1, 0, 0}, {10, 10}, {10, 10}, 0, {}, {}},
        {{1, -1, 0, 0}, {-50, 20}, {50, 20}, 51, {{0, 20}}, {}},
        // A dashed line draws its start whatever the phase: then five skipped, then dashes
        // of 2 and gaps of 3.
        {{1, 2, 3, 5},
         {0, 0},
         {20, 0},
         7,
         {{0, 0}, {6, 0}, {7, 0}, {11, 0}, {12, 0}, {16, 0}, {17, 0}},
         {}},
        // Ten pixels from (5, 10) up to (5, 1): the 2nd, 3rd, 7th and 8th from y = 10.
        {{1, 2, 3, 1}, {5, 0}, {5, 10}, 4, {{5, 9}, {5, 8}, {5, 4}, {5, 3}}, {}},
        // Wide dashes write neighbours across the line.
        {{3, 100, 0, 0}, {10, 10}, {20, 10}, 33, {{15, 9}, {15, 11}}, {}},
        {{2, 100, 0, 0}, {10, 10}, {10, 20}, 20, {{9, 15}}, {{11, 15}}},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(testing::Message() << "case " << i);
        std::fill(Back(), Back() + 640 * 480, 0);
        if (c.pen.dash < 0) {
            screen.DrawLine(5, c.pen.width, c.from, c.to);
        } else {
            screen.DrawDashedLine(5, c.pen.width, c.pen.dash, c.pen.gap, c.pen.phase, c.from, c.to);
        }
        for (const Point& p : c.on)
            EXPECT_EQ(At(p.x, p.y), 5) << p.x << "," << p.y;
        for (const Point& p : c.off)
            EXPECT_EQ(At(p.x, p.y), 0) << p.x << "," << p.y;
        EXPECT_EQ(CountNot(0), c.drawn);
    }
}

TEST_F(Display, LinesOutsideTheClipNeverLock) {
    screen.SetClipRect(Rect(Point(100, 100), Size(50, 50)));
    screen.DrawLine(5, 1, Point(0, 0), Point(99, 120));
    screen.DrawLine(5, 1, Point(151, 0), Point(300, 120));
    screen.DrawLine(5, 1, Point(100, 10), Point(140, 99));
    screen.DrawLine(5, 1, Point(100, 151), Point(140, 300));
    screen.DrawDashedLine(5, 3, 2, 2, 0, Point(0, 0), Point(10, 10));
    EXPECT_EQ(screen.lockCalls, 0);
    EXPECT_EQ(CountNot(0), 0);
}

}  // namespace
