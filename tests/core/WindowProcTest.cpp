#include "core/WindowProc.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "core/DisplayBase.h"
#include "core/EventQueue.h"
#include "core/KeyCodes.h"
#include "core/MainLoop.h"
#include "core/Settings.h"
#include "platform/Window.h"

namespace {

class CursorDisplay : public DisplayBase {
public:
    void UpdateCursor() override {
        ++cursorUpdates;
        seenAtUpdate = cursorPosition;
    }
    int cursorUpdates = 0;
    Point seenAtUpdate;
};

struct Seen {
    InputKind kind;
    int32_t x;
    int32_t y;
    int32_t param;
    bool operator==(const Seen& other) const {
        return kind == other.kind && x == other.x && y == other.y && param == other.param;
    }
};

std::ostream& operator<<(std::ostream& out, const Seen& s) {
    return out << "{" << static_cast<int>(s.kind) << " (" << s.x << "," << s.y << ") " << s.param
               << "}";
}

Seen KeyAt(int32_t code, int32_t x = 0, int32_t y = 0) {
    return Seen{InputKind::Key, x, y, code};
}

class WindowProcTest : public ::testing::Test {
protected:
    void SetUp() override {
        queue = std::make_unique<EventQueue>();
        cheatsOn = 0;
        traceOn = 0;
        aiDebugFlag = 0;
        autoPlayFlag = 0;
        lowDetail = 0;
        cursorPosition = Point(0, 0);
        appActive = 1;
        deactivationRequested = 0;
        activationRequested = 0;
        winx_ResetMessages();
    }
    void TearDown() override { winx_ResetMessages(); }

    static intptr_t Send(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0) {
        return WindowProc(nullptr, message, wParam, lParam);
    }

    std::vector<Seen> TakeAll() {
        std::vector<Seen> seen;
        while (auto event = queue->Take())
            seen.push_back(Seen{event->kind, event->position.x, event->position.y, event->param});
        return seen;
    }

    std::unique_ptr<EventQueue> queue;
};

}  // namespace

TEST_F(WindowProcTest, KeyCodesFollowCtrlAndAlt) {
    // Modifier keys map whatever the flags; function keys follow Ctrl and ignore Alt; Alt
    // silences the rest; top-row digits only map with Ctrl.
    struct Case {
        uint32_t vk;
        int32_t plain, ctrl, alt, ctrlAlt;
    };
    const Case cases[] = {{VK_MENU, 306, 306, 306, 306},
                          {VK_SHIFT, 307, 307, 307, 307},
                          {VK_CONTROL, 308, 308, 308, 308},
                          {VK_F1, 256, 271, 256, 271},
                          {VK_F1 + 4, 260, 275, 260, 275},
                          {VK_F12, 267, 282, 267, 282},
                          {VK_HOME, 304, 304, 0, 0},
                          {VK_LEFT, 298, 298, 0, 0},
                          {VK_UP, 296, 296, 0, 0},
                          {VK_RIGHT, 299, 299, 0, 0},
                          {VK_DOWN, 297, 297, 0, 0},
                          {VK_INSERT, 309, 309, 0, 0},
                          {VK_DELETE, 305, 305, 0, 0},
                          {'0', 0, 286, 0, 0},
                          {'3', 0, 289, 0, 0},
                          {'9', 0, 295, 0, 0},
                          {'A', 0, 0, 0, 0},
                          {VK_END, 0, 0, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "virtual key " << c.vk);
        const int32_t expected[4] = {c.plain, c.ctrl, c.alt, c.ctrlAlt};
        for (int flags = 0; flags < 4; ++flags) {
            queue->ctrlDown = flags & 1;
            queue->altDown = flags >> 1;
            EXPECT_EQ(MapKeyCode(c.vk), expected[flags])
                << "ctrl " << (flags & 1) << " alt " << (flags >> 1);
        }
    }
}

TEST_F(WindowProcTest, ModifierKeysSetTheirFlagsAndQueueTheirCodesUnmappedKeysNothing) {
    cursorPosition = Point(7, 9);
    // Keys that map to nothing queue nothing.
    Send(WM_KEYDOWN, 'A');
    Send(WM_KEYUP, 'A');
    Send(WM_KEYDOWN, VK_END);
    Send(WM_KEYDOWN, VK_SHIFT);
    Send(WM_SYSKEYDOWN, VK_MENU);
    Send(WM_KEYDOWN, VK_CONTROL);
    EXPECT_EQ(queue->shiftDown, 1);
    EXPECT_EQ(queue->altDown, 1);
    EXPECT_EQ(queue->ctrlDown, 1);
    Send(WM_KEYUP, VK_SHIFT);
    Send(WM_SYSKEYUP, VK_MENU);
    EXPECT_EQ(queue->shiftDown, 0);
    EXPECT_EQ(queue->altDown, 0);
    EXPECT_EQ(queue->ctrlDown, 1);
    std::vector<Seen> expected = {KeyAt(307, 7, 9), KeyAt(306, 7, 9), KeyAt(308, 7, 9)};
    EXPECT_EQ(TakeAll(), expected);
    // Each modifier alone sets its own flag and no other.
    Send(WM_KEYUP, VK_CONTROL);
    struct Modifier {
        uint32_t key, down, up;
        int shift, ctrl, alt;
    };
    const Modifier modifiers[] = {{VK_SHIFT, WM_KEYDOWN, WM_KEYUP, 1, 0, 0},
                                  {VK_CONTROL, WM_KEYDOWN, WM_KEYUP, 0, 1, 0},
                                  {VK_MENU, WM_SYSKEYDOWN, WM_SYSKEYUP, 0, 0, 1}};
    for (const Modifier& m : modifiers) {
        Send(m.down, m.key);
        EXPECT_EQ(queue->shiftDown, m.shift) << m.key;
        EXPECT_EQ(queue->ctrlDown, m.ctrl) << m.key;
        EXPECT_EQ(queue->altDown, m.alt) << m.key;
        Send(m.up, m.key);
        EXPECT_EQ(queue->shiftDown + queue->ctrlDown + queue->altDown, 0) << m.key;
    }
    // The codes the modifiers queue are the only ones that count as a modifier alone.
    const std::vector<Seen> seen = TakeAll();
    EXPECT_EQ(seen.size(), std::size(modifiers));
    for (const Seen& s : seen)
        EXPECT_TRUE(IsModifierKey(s.param)) << s.param;
    for (int32_t key : {int32_t{'a'}, kKeyEnter, kKeyEscape, kKeyInsert, kKeyBackspace, 0})
        EXPECT_FALSE(IsModifierKey(key)) << key;
}

TEST_F(WindowProcTest, CharactersBecomeKeyEventsWithControlKeysRenamed) {
    Send(WM_CHAR, 'a');
    Send(WM_CHAR, 8);
    Send(WM_CHAR, 9);
    Send(WM_CHAR, 13);
    Send(WM_CHAR, 27);
    Send(WM_CHAR, 12);
    Send(WM_CHAR, 0);
    Send(WM_CHAR, 256);
    std::vector<Seen> expected = {KeyAt('a'), KeyAt(310), KeyAt(302),
                                  KeyAt(301), KeyAt(303), KeyAt(12)};
    EXPECT_EQ(TakeAll(), expected);
    EXPECT_EQ(traceOn, 0);
}

// With cheats on, four control characters flip a switch each, every press, and queue nothing;
// other characters are keys as ever.
TEST_F(WindowProcTest, CheatCharactersFlipTheirSwitchesInsteadOfTyping) {
    cheatsOn = 1;
    const struct {
        uintptr_t character;
        int32_t* flag;
    } cheats[] = {{12, &traceOn}, {6, &aiDebugFlag}, {1, &autoPlayFlag}, {24, &lowDetail}};
    for (const auto& c : cheats) {
        Send(WM_CHAR, c.character);
        EXPECT_EQ(*c.flag, 1) << c.character;
        Send(WM_CHAR, c.character);
        EXPECT_EQ(*c.flag, 0) << c.character;
        *c.flag = 2;  // anything but on counts as off
        Send(WM_CHAR, c.character);
        EXPECT_EQ(*c.flag, 1) << c.character;
        *c.flag = 0;
    }
    EXPECT_TRUE(TakeAll().empty());
    Send(WM_CHAR, 2);
    Send(WM_CHAR, 'l');
    const std::vector<Seen> expected = {KeyAt(2), KeyAt('l')};
    EXPECT_EQ(TakeAll(), expected);
    cheatsOn = 0;
}

TEST_F(WindowProcTest, ButtonsQueueAtTheirPositionAndMiddleActsAsLeft) {
    Send(WM_LBUTTONDOWN, 0, winx_MakePointParam(1, 2));
    Send(WM_LBUTTONUP, 0, winx_MakePointParam(3, 4));
    Send(WM_MBUTTONDOWN, 0, winx_MakePointParam(5, 6));
    Send(WM_MBUTTONUP, 0, winx_MakePointParam(7, 8));
    Send(WM_RBUTTONDOWN, 0, winx_MakePointParam(639, 479));
    Send(WM_RBUTTONUP, 0, winx_MakePointParam(0, 0));
    Send(WM_LBUTTONDBLCLK, 0, winx_MakePointParam(1, 1));
    Send(WM_RBUTTONDBLCLK, 0, winx_MakePointParam(1, 1));
    Send(WM_MBUTTONDBLCLK, 0, winx_MakePointParam(1, 1));
    std::vector<Seen> expected = {
        {InputKind::ButtonDown, 1, 2, 'L'},     {InputKind::ButtonUp, 3, 4, 'L'},
        {InputKind::ButtonDown, 5, 6, 'L'},     {InputKind::ButtonUp, 7, 8, 'L'},
        {InputKind::ButtonDown, 639, 479, 'R'}, {InputKind::ButtonUp, 0, 0, 'R'}};
    EXPECT_EQ(TakeAll(), expected);
    // Buttons do not move the cursor.
    EXPECT_EQ(cursorPosition, Point(0, 0));
}

TEST_F(WindowProcTest, MouseMovesCarryTheCursorToTheDisplayBeforeItsUpdate) {
    CursorDisplay screen;
    // Before the first move the mouse is nowhere a screen should act on: no event.
    screen.cursorPlaced = 0;
    PostCursorMoveEvent();
    EXPECT_TRUE(TakeAll().empty());
    Send(WM_MOUSEMOVE, 0, winx_MakePointParam(320, 240));
    EXPECT_EQ(screen.cursorPlaced, 1);
    EXPECT_EQ(cursorPosition, Point(320, 240));
    EXPECT_EQ(screen.cursorUpdates, 1);
    EXPECT_EQ(screen.seenAtUpdate, Point(320, 240));
    Send(WM_CHAR, 'x');
    std::vector<Seen> expected = {{InputKind::MouseMove, 320, 240, 0}, KeyAt('x', 320, 240)};
    EXPECT_EQ(TakeAll(), expected);
    // A posted cursor move tells the display and the screen where the mouse is.
    cursorPosition = Point(44, 55);
    PostCursorMoveEvent();
    EXPECT_EQ(screen.cursorPosition, Point(44, 55));
    expected = {{InputKind::MouseMove, 44, 55, 0}};
    EXPECT_EQ(TakeAll(), expected);
}

TEST_F(WindowProcTest, PumpMouseMoveHandlesOneWaitingMoveAndLeavesTheRest) {
    CursorDisplay screen;
    winx_PostMessage(WM_CHAR, 'k', 0);
    winx_PostMessage(WM_MOUSEMOVE, 0, winx_MakePointParam(10, 11));
    winx_PostMessage(WM_MOUSEMOVE, 0, winx_MakePointParam(12, 13));
    EXPECT_EQ(PumpMouseMove(), 1);
    EXPECT_EQ(cursorPosition, Point(10, 11));
    EXPECT_EQ(screen.cursorUpdates, 1);
    EXPECT_EQ(PumpMouseMove(), 1);
    EXPECT_EQ(PumpMouseMove(), 0);
    winx_Msg msg;
    ASSERT_EQ(winx_PeekMessage(&msg, 0, 0, PM_REMOVE), 1);
    EXPECT_EQ(msg.message, WM_CHAR);
    std::vector<Seen> expected = {{InputKind::MouseMove, 10, 11, 0},
                                  {InputKind::MouseMove, 12, 13, 0}};
    EXPECT_EQ(TakeAll(), expected);
}

TEST_F(WindowProcTest, ActivationRequestsNeedADisplay) {
    Send(WM_ACTIVATEAPP, 0);
    EXPECT_EQ(deactivationRequested, 0);
    CursorDisplay screen;
    Send(WM_ACTIVATEAPP, 0);
    EXPECT_EQ(deactivationRequested, 1);
    EXPECT_EQ(activationRequested, 0);
    Send(WM_ACTIVATEAPP, 1);
    EXPECT_EQ(activationRequested, 1);
}

TEST_F(WindowProcTest, DestroyForgetsTheWindowAndPostsQuit) {
    mainWindow = reinterpret_cast<winx_HWND>(&mainWindow);
    Send(WM_DESTROY);
    EXPECT_EQ(mainWindow, nullptr);
    winx_Msg msg;
    EXPECT_EQ(winx_GetMessage(&msg), 0);
    EXPECT_EQ(msg.message, WM_QUIT);
}

TEST_F(WindowProcTest, HandledMessagesAnswerZeroExceptPaintAndTheCursorWhileActive) {
    // Whatever handles a message answers as a window procedure does: 0, but "painted" and,
    // while the program is active, "cursor set".
    const std::pair<uint32_t, intptr_t> answers[] = {
        {WM_NULL, 0},          {WM_CREATE, 0},      {WM_MOVE, 0},          {WM_SIZE, 0},
        {WM_ACTIVATE, 0},      {WM_PAINT, 1},       {WM_SETCURSOR, 1},     {WM_DISPLAYCHANGE, 0},
        {WM_KEYDOWN, 0},       {WM_KEYUP, 0},       {WM_CHAR, 0},          {WM_SYSKEYDOWN, 0},
        {WM_SYSKEYUP, 0},      {WM_MOUSEMOVE, 0},   {WM_LBUTTONDOWN, 0},   {WM_LBUTTONUP, 0},
        {WM_LBUTTONDBLCLK, 0}, {WM_RBUTTONDOWN, 0}, {WM_RBUTTONUP, 0},     {WM_RBUTTONDBLCLK, 0},
        {WM_MBUTTONDOWN, 0},   {WM_MBUTTONUP, 0},   {WM_MBUTTONDBLCLK, 0}, {WM_QUERYNEWPALETTE, 0},
        {WM_PALETTECHANGED, 0}};
    for (const auto& [message, answer] : answers)
        EXPECT_EQ(Send(message, VK_SHIFT), answer) << "message " << message;
    appActive = 0;
    EXPECT_EQ(Send(WM_SETCURSOR), 0);
}
