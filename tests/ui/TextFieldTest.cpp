#include "ui/TextField.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/EventQueue.h"
#include "core/InputEvent.h"
#include "core/KeyCodes.h"
#include "core/SpriteSet.h"
#include "core/TextWriter.h"
#include "support/DisplayFixtures.h"

namespace {

class Field : public ::testing::Test, public ScreenFixture {
protected:
    int Click(int x = 15, int y = 15) {
        return field.HandleEvent(InputEvent(InputKind::ButtonDown, Point(x, y), 'L'), owner);
    }
    int Key(int32_t code) {
        return field.HandleEvent(InputEvent(InputKind::Key, Point(), code), owner);
    }
    void TypeText(const std::string& text) {
        for (char c : text)
            Key(static_cast<unsigned char>(c));
    }
    std::string Owner() const { return owner; }

    EventQueue queue;
    TextWriter font{MakeTestFont()};
    TextField field{Point(10, 10), 200, 12, 0, 60, &font};
    char owner[128] = "abc";
};

TEST_F(Field, TypingReplacesTheSelectedTextAndEscapeRestoresIt) {
    EXPECT_EQ(Click(), 1);
    EXPECT_EQ(field.mode, TextField::kSelected);
    EXPECT_EQ(field.cursor, 3);
    Key('x');
    EXPECT_EQ(Owner(), "x");
    Key(kKeyEscape);
    EXPECT_EQ(Owner(), "abc");
    EXPECT_EQ(field.active, 0);
    EXPECT_STREQ(field.Text(), "");
}

TEST_F(Field, DeleteOnTheSelectedTextClearsItAndThenDeletesAtTheCursor) {
    Click();
    Key(kKeyDelete);
    EXPECT_EQ(field.mode, TextField::kOverwrite);
    EXPECT_STREQ(field.Text(), "");
    EXPECT_EQ(Owner(), "");
    TypeText("xyz");
    Key(kKeyLeft);
    Key(kKeyLeft);
    Key(kKeyDelete);
    EXPECT_STREQ(field.Text(), "xz");
    // A field with nothing to copy in starts at the front.
    field.active = 0;
    EXPECT_EQ(field.HandleEvent(InputEvent(InputKind::ButtonDown, Point(15, 15), 'L'), nullptr), 1);
    EXPECT_EQ(field.cursor, 0);
    EXPECT_EQ(field.active, 1);
}

TEST_F(Field, EnterAcceptsAndEmptiesTheField) {
    Click();
    TypeText("hi");
    Key(kKeyEnter);
    EXPECT_EQ(Owner(), "hi");
    EXPECT_EQ(field.active, 0);
    EXPECT_EQ(field.mode, TextField::kSelected);
    EXPECT_STREQ(field.Text(), "");
}

TEST_F(Field, BackspaceAtTheStartStillCopiesOut) {
    Click();
    Key(kKeyLeft);
    Key(kKeyLeft);
    Key(kKeyLeft);
    Key(kKeyLeft);
    EXPECT_EQ(field.cursor, 0);
    std::strcpy(owner, "changed");
    Key(kKeyBackspace);
    EXPECT_EQ(Owner(), "abc");
    EXPECT_EQ(field.cursor, 0);
    Key('x');
    EXPECT_EQ(Owner(), "xbc");
}

TEST_F(Field, InsertShiftsTheRestAndOverwriteReplaces) {
    Click();
    Key(kKeyInsert);  // selected -> insert, cursor at the end
    EXPECT_EQ(field.mode, TextField::kInsert);
    Key(kKeyLeft);
    Key('x');
    EXPECT_EQ(Owner(), "abxc");
    Key(kKeyInsert);  // insert -> overwrite
    Key('y');
    EXPECT_EQ(Owner(), "abxy");
    Key('z');
    EXPECT_EQ(Owner(), "abxyz");
    Key(kKeyLeft);
    Key(kKeyDelete);
    EXPECT_EQ(Owner(), "abxy");
    // Moving keeps insert mode; from the selection it leaves the text to be overwritten.
    Key(kKeyInsert);
    Key(kKeyLeft);
    Key(kKeyRight);
    EXPECT_EQ(field.mode, TextField::kInsert);
    Key(kKeyEscape);
    Click();
    Key(kKeyRight);
    EXPECT_EQ(field.mode, TextField::kOverwrite);
    Key('q');
    EXPECT_EQ(Owner(), "abcq");
}

TEST_F(Field, ShiftDecidesTheCaseOfLettersAndControlCharactersAreRefused) {
    Click();
    Key('A');
    Key('Z');
    Key('[');
    EXPECT_EQ(Owner(), "az[");
    queue.shiftDown = 1;
    Key('B');
    EXPECT_EQ(Owner(), "az[B");
    for (int32_t code : {1, 9, 13, 27, 127, kKeyCtrlF1})
        EXPECT_EQ(Key(code), 1);
    EXPECT_EQ(Owner(), "az[B");
}

TEST_F(Field, TextNeverGrowsBeyondOneHundredTwentySeven) {
    Click();
    TypeText(std::string(130, 'q'));
    EXPECT_EQ(Owner(), std::string(127, 'q'));
    EXPECT_EQ(field.cursor, 127);
    // In insert mode in the middle each new character pushes the last one out.
    for (int i = 0; i < 60; ++i)
        Key(kKeyLeft);
    Key(kKeyInsert);
    EXPECT_EQ(field.mode, TextField::kInsert);
    Key('w');
    std::string expected(127, 'q');
    expected[67] = 'w';
    EXPECT_EQ(Owner(), expected);
    EXPECT_EQ(Owner().size(), 127u);
    // The full field pushed nothing past its end: the text to restore is whole.
    Key(kKeyEscape);
    EXPECT_EQ(Owner(), "abc");
}

TEST_F(Field, OwnerTextIsCopiedBounded) {
    std::memset(owner, 'm', sizeof owner);  // no terminator at all
    Click();
    EXPECT_EQ(field.cursor, 127);
    EXPECT_EQ(std::strlen(field.Text()), 127u);
}

TEST_F(Field, AClickCountsOnEveryEdgeAndNotOnePixelBeyond) {
    const int left = field.rect.origin.x, top = field.rect.origin.y;
    const int right = left + field.rect.extent.w - 1, bottom = top + field.rect.extent.h - 1;
    const struct {
        int x, y, taken;
    } clicks[] = {{left, top, 1},     {right, bottom, 1},     {left - 1, top, 0},
                  {left, top - 1, 0}, {right + 1, bottom, 0}, {right, bottom + 1, 0},
                  {right, top, 1},    {left, bottom, 1}};
    for (const auto& c : clicks)
        EXPECT_EQ(Click(c.x, c.y), c.taken) << c.x << "," << c.y;
}

TEST_F(Field, EventsOutsideOrWhileInactive) {
    EXPECT_EQ(Key('a'), 0);
    Click();
    EXPECT_EQ(Click(500, 500), 0);
    EXPECT_EQ(field.active, 1);
    EXPECT_EQ(field.HandleEvent(InputEvent(InputKind::MouseMove, Point(), 0), owner), 1);
    EXPECT_EQ(field.HandleEvent(InputEvent(InputKind::ButtonUp, Point(), 'L'), owner), 1);
    Click();  // a second click inside switches to overwrite at the end
    EXPECT_EQ(field.mode, TextField::kOverwrite);
    EXPECT_EQ(field.cursor, 3);
    Key(kKeyF1);
    Key(kKeyHome);
    EXPECT_EQ(Owner(), "abc");
    field.Reset();
    EXPECT_EQ(field.active, 0);
    EXPECT_EQ(field.mode, TextField::kSelected);
    EXPECT_STREQ(field.Text(), "");
    EXPECT_EQ(Key('z'), 0);
}

TEST_F(Field, DrawsFrameBlockAndTextOnlyWhileActive) {
    field.Draw(9);
    EXPECT_EQ(CountNot(0), 0);
    Click();
    field.Draw(9);
    EXPECT_EQ(At(9, 9), 60);     // outline corner
    EXPECT_EQ(At(210, 22), 60);  // and the opposite one
    EXPECT_EQ(At(10, 11), 60);   // selection box under the text
    // The box fills the rows between the frame's edges less one at each: 11 to 20.
    EXPECT_EQ(At(10, 20), 60);
    EXPECT_EQ(At(10, 21), 0);
    EXPECT_EQ(At(10, 10), 0);
    EXPECT_EQ(screen.GetClipRect(), Rect());
    std::fill(Back(), Back() + 640 * 480, 0);
    Key(kKeyLeft);  // overwrite, cursor on the c
    field.Draw(9);
    // The block starts at TextWidth("ab") - 2 = 8 and is as wide as "c" measures (6).
    EXPECT_EQ(At(10 + 8, 15), 60);
    EXPECT_EQ(At(10 + 13, 15), 60);
    EXPECT_EQ(At(10 + 14, 15), 0);
    // Past the last character the block has a width of its own: 10.
    std::fill(Back(), Back() + 640 * 480, 0);
    Key(kKeyRight);
    field.Draw(9);
    const int x = 10 + font.TextWidth("abc") - 2;
    EXPECT_EQ(At(x, 15), 60);
    EXPECT_EQ(At(x + 9, 15), 60);
    EXPECT_EQ(At(x + 10, 15), 0);
}

}  // namespace
