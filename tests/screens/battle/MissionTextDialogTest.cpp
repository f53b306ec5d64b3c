#include "screens/battle/MissionTextDialog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/KeyCodes.h"
#include "core/TextWriter.h"
#include "screens/battle/OverlayTestSupport.h"

namespace {

using MissionTextDialogTest = OverlayTest;

TEST_F(MissionTextDialogTest, TheTextIsCutToItsBuffer) {
    const std::string longText(2000, 'a');
    EXPECT_EQ(std::strlen(MissionTextDialog(longText.c_str()).Text()), 1023u);
    EXPECT_STREQ(MissionTextDialog(nullptr).Text(), "");
    EXPECT_STREQ(MissionTextDialog("Go\nnorth").Text(), "Go\nnorth");
}

TEST_F(MissionTextDialogTest, TheLastKeyOfABatchDecidesAndAQuitIsNeverSwallowed) {
    constexpr int kAltF4 = -1;
    const struct {
        std::vector<int> keys;
        int result, exitCode, answers;
        bool quits;
    } cases[] = {
        {{'a'}, 1, 7, 0, false},
        {{kKeyEscape}, 0, 1, 1, false},
        {{17}, 0, 1, 1, false},
        {{kKeyEnter}, 0, 0, 1, false},
        {{kKeyEscape, 'a'}, 1, 1, 1, false},
        {{kKeyEnter, kKeyEscape}, 0, 1, 2, false},
        {{'a', kKeyEscape, 'b'}, 1, 1, 1, false},
        {{kKeyEscape, kAltF4}, 1, 1, 1, true},
        {{kAltF4, kKeyEscape}, 0, 1, 1, true},
        {{kKeyEnter, kAltF4, 'a'}, 1, 0, 1, true},
    };
    for (const auto& c : cases) {
        MissionTextDialog& dialog = Open<MissionTextDialog>("Briefing");
        dialog.exitCode = 7;
        f->world->requestedMode = 0;
        for (int key : c.keys) {
            if (key == kAltF4) {
                // Alt goes down and up around F4, as a player types it.
                Post(InputKind::Key, Point(), kKeyAlt);
                Post(InputKind::Key, Point(), kKeyF4);
            } else {
                Post(InputKind::Key, Point(), key);
            }
        }
        f->events.altDown = 1;
        Sounds();
        const std::string name =
            std::to_string(c.keys.size()) + " keys from " + std::to_string(c.keys[0]);
        EXPECT_EQ(dialog.HandleEvents(16), c.result) << name;
        f->events.altDown = 0;
        EXPECT_EQ(dialog.exitCode, c.exitCode) << name;
        EXPECT_EQ(f->world->requestedMode, c.quits ? static_cast<int>(GameMode::Quit) : 0) << name;
        // The whole batch is taken.
        EXPECT_EQ(f->events.Count(), 0);
        EXPECT_EQ(Sounds(), std::to_string(c.answers) + " accept, 0 refuse") << name;
    }
}

TEST_F(MissionTextDialogTest, AButtonAnswersOnlyWhenReleasedOnIt) {
    for (int button = 0; button < 2; ++button) {
        MissionTextDialog& dialog = Open<MissionTextDialog>("Briefing");
        // Each button shows its own picture, which fills its place.
        ASSERT_NE(dialog.ButtonOf(button)->Picture(0), nullptr);
        EXPECT_EQ(dialog.ButtonOf(button)->Picture(0)->FrameSize(),
                  dialog.ButtonOf(button)->Bounds().extent);
        const Point on = dialog.ButtonOf(button)->Bounds().Centre();
        MoveTo(on);
        Post(InputKind::ButtonDown, on, 'L');
        Post(InputKind::ButtonUp, Point(10, 10), 'L');
        EXPECT_EQ(Frame(), 1);
        MoveTo(on);
        Post(InputKind::ButtonDown, on, 'L');
        Post(InputKind::ButtonUp, on, 'L');
        EXPECT_EQ(Frame(), 0);
        EXPECT_EQ(dialog.exitCode, button == 0 ? 1 : 0);
    }
    // The pointer shows the button shape over a button and the arrow elsewhere.
    MissionTextDialog& shaped = Open<MissionTextDialog>("Briefing");
    MoveTo(shaped.ButtonOf(1)->Bounds().Centre());
    EXPECT_EQ(Frame(), 1);
    EXPECT_EQ(f->display.cursorShape, 0x22);
    MoveTo(Point(10, 10));
    EXPECT_EQ(Frame(), 1);
    EXPECT_EQ(f->display.cursorShape, 0x23);
    // A press beside the buttons is refused.
    Open<MissionTextDialog>("Briefing");
    Sounds();
    Post(InputKind::ButtonDown, Point(10, 10), 'L');
    EXPECT_EQ(Frame(), 1);
    EXPECT_EQ(Sounds(), "0 accept, 1 refuse");
}

TEST_F(MissionTextDialogTest, AltF4QuitsWithoutClosingTheDialog) {
    MissionTextDialog& dialog = Open<MissionTextDialog>("Briefing");
    f->events.altDown = 1;
    Post(InputKind::Key, Point(), kKeyF4);
    EXPECT_EQ(dialog.HandleEvents(16), 1);
    EXPECT_EQ(f->world->requestedMode, static_cast<int>(GameMode::Quit));
    // Only the two answers close it.
    EXPECT_EQ(dialog.Answer(2), 1);
}

TEST_F(MissionTextDialogTest, TheTextIsWrittenInsideItsBox) {
    const Rect box(Point(228, 178), Point(418, 241));
    auto inked = [&](const char* text) {
        Open<MissionTextDialog>(text);
        Frame();
        std::vector<uint8_t> pixels(f->display.BackPage(), f->display.BackPage() + 640 * 480);
        return pixels;
    };
    const std::vector<uint8_t> blank = inked("");
    // A text longer than the buffer, cut to it, leaves the rest of the dialog as it was.
    for (size_t length : {size_t{400}, size_t{2000}}) {
        const std::vector<uint8_t> written = inked(std::string(length, 'W').c_str());
        int changedInside = 0;
        for (int y = 0; y < 480; ++y) {
            for (int x = 0; x < 640; ++x) {
                const size_t i = static_cast<size_t>(y) * 640 + x;
                if (blank[i] == written[i]) continue;
                ASSERT_TRUE(x >= 228 && x <= 418 && y >= 178 && y <= 241)
                    << length << ": " << x << "," << y;
                ++changedInside;
            }
        }
        EXPECT_GT(changedInside, 0) << length;
    }
    // Without the World's font the dialog is drawn without its text.
    std::unique_ptr<TextWriter> font = std::move(f->world->font);
    EXPECT_EQ(inked(std::string(400, 'W').c_str()), blank);
    f->world->font = std::move(font);
    EXPECT_EQ(box.extent.w, 191);
}

}  // namespace
