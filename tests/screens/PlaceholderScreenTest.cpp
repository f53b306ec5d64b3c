#include "screens/PlaceholderScreen.h"

#include <gtest/gtest.h>

#include "core/KeyCodes.h"
#include "core/SpriteSet.h"
#include "core/TextWriter.h"
#include "screens/DesignScreen.h"
#include "screens/FrontEndScreenFactory.h"
#include "screens/MainMenuScreen.h"
#include "screens/PictureScreen.h"
#include "screens/ResultsScreen.h"
#include "screens/TitleScreen.h"
#include "screens/battle/BattleScreen.h"
#include "support/DisplayFixtures.h"
#include "world/WorldTestFixture.h"

namespace {

TEST(PlaceholderScreen, EscAsksForTheExitPictureAndAnyOtherKeyForTheTitle) {
    WorldFixture f;
    PlaceholderScreen screen("MAIN MENU");
    EXPECT_EQ(screen.Load(), 1);
    f.events.Post(InputKind::Key, Point(0, 0), kKeyShift);
    f.events.Post(InputKind::ButtonDown, Point(0, 0), 'L');
    EXPECT_EQ(screen.HandleEvents(16), 1);
    f.events.Post(InputKind::Key, Point(0, 0), kKeyEscape);
    EXPECT_EQ(screen.HandleEvents(16), 0);
    EXPECT_EQ(f.world->requestedMode, static_cast<int>(GameMode::ExitPicture));
    f.events.Post(InputKind::Key, Point(0, 0), 'm');
    EXPECT_EQ(screen.HandleEvents(16), 0);
    EXPECT_EQ(f.world->requestedMode, static_cast<int>(GameMode::Title));
}

TEST(PlaceholderScreen, DrawsItsModeNameCentredOnABlankScreen) {
    WorldFixture f;
    f.world->font = std::make_unique<TextWriter>(MakeTestFont());
    std::fill(f.display.BackPage(), f.display.BackPage() + 640 * 480, uint8_t{42});
    PlaceholderScreen screen("RESULTS");
    screen.Draw(16);
    // Seven glyphs of 4 pixels plus 2 make 30: the pen starts at (640 - 30) / 2 = 305, one
    // glyph height (6) above the middle row; the last stroke is the S's third column.
    Rect text(Point(640, 480), Size());
    int right = -1, bottom = -1;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            const uint8_t pixel = f.display.BackPage()[y * 640 + x];
            ASSERT_TRUE(pixel == 0 || pixel == PlaceholderScreen::kTextColour) << x << "," << y;
            if (pixel == 0) continue;
            text.origin = Point(std::min(text.origin.x, x), std::min(text.origin.y, y));
            right = std::max(right, x);
            bottom = std::max(bottom, y);
        }
    }
    EXPECT_EQ(text.origin, Point(305, 234));
    EXPECT_EQ(right, 331);
    EXPECT_EQ(bottom, 238);
}

}  // namespace
