#include "platform/Messages.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/Capture.h"
#include "platform/Window.h"
#include "support/FakeClock.h"
#include "support/ScopedWorkingDir.h"

// Readable failures: message number in hex, then wParam and lParam.
std::ostream& operator<<(std::ostream& out, const winx_Msg& m) {
    return out << "{0x" << std::hex << m.message << std::dec << ", " << m.wParam << ", " << m.lParam
               << "}";
}

namespace {

std::vector<winx_Msg>& Dispatched() {
    static std::vector<winx_Msg> messages;
    return messages;
}

intptr_t RecordingProc(winx_HWND window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    Dispatched().push_back(winx_Msg{message, wParam, lParam});
    if (message == WM_DESTROY) winx_PostQuitMessage(0);
    return winx_DefWindowProc(window, message, wParam, lParam);
}

winx_Msg Msg(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0) {
    return winx_Msg{message, wParam, lParam};
}

class Messages : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        Dispatched().clear();
        while (!winx_TakeCaptureRequest().empty()) {
        }
    }
    void TearDown() override {
        winx_ReleaseMainWindow();
        unsetenv("QX_SCRIPT");
    }

    void OpenWindow() {
        window = winx_CreateMainWindow("Quarnex test", RecordingProc);
        ASSERT_NE(window, nullptr);
        // Whatever the window system said about the new window is not under test.
        SDL_PumpEvents();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }

    // Takes every waiting message as the main loop does, translating key-downs.
    std::vector<winx_Msg> Drain() {
        std::vector<winx_Msg> taken;
        winx_Msg msg;
        while (winx_PeekMessage(&msg, 0, 0, PM_REMOVE)) {
            taken.push_back(msg);
            if (msg.message == WM_QUIT) break;
            winx_TranslateMessage(&msg);
        }
        return taken;
    }

    static void Key(SDL_Keycode sym, bool down, int repeat = 0) {
        SDL_Event event{};
        event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        event.key.repeat = static_cast<Uint8>(repeat);
        event.key.keysym.sym = sym;
        event.key.keysym.scancode = SDL_GetScancodeFromKey(sym);
        ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
    }
    static void Text(const char* text) {
        SDL_Event event{};
        event.type = SDL_TEXTINPUT;
        std::strncpy(event.text.text, text, sizeof event.text.text - 1);
        ASSERT_EQ(SDL_PushEvent(&event), 1);
    }
    static void Motion(int x, int y) {
        SDL_Event event{};
        event.type = SDL_MOUSEMOTION;
        event.motion.x = x;
        event.motion.y = y;
        ASSERT_EQ(SDL_PushEvent(&event), 1);
    }
    static void Button(Uint8 button, bool down, int x, int y) {
        SDL_Event event{};
        event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        event.button.button = button;
        event.button.x = x;
        event.button.y = y;
        ASSERT_EQ(SDL_PushEvent(&event), 1);
    }
    static void Focus(bool gained) {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.event = gained ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST;
        ASSERT_EQ(SDL_PushEvent(&event), 1);
    }

    winx_HWND window = nullptr;
};

}  // namespace

TEST_F(Messages, HeldKeysRepeatTheirKeyDownsAndCharacters) {
    OpenWindow();
    Key(SDLK_a, true);
    Key(SDLK_a, true, 1);
    Key(SDLK_a, false);
    Key(SDLK_BACKSPACE, true);
    Key(SDLK_BACKSPACE, true, 1);
    Key(SDLK_BACKSPACE, false);
    std::vector<winx_Msg> expected = {Msg(WM_KEYDOWN, 'A'), Msg(WM_KEYDOWN, 'A'),
                                      Msg(WM_KEYUP, 'A'),   Msg(WM_KEYDOWN, VK_BACK),
                                      Msg(WM_CHAR, 8),      Msg(WM_KEYDOWN, VK_BACK),
                                      Msg(WM_CHAR, 8),      Msg(WM_KEYUP, VK_BACK)};
    EXPECT_EQ(Drain(), expected);
}

TEST_F(Messages, ControlKeysMakeTheirCharactersAndTextGivesPrintableAscii) {
    OpenWindow();
    Key(SDLK_TAB, true);
    Key(SDLK_RETURN, true);
    Key(SDLK_ESCAPE, true);
    // The euro sign is not ASCII; of the range's edges the blank and '~' are printable, the
    // unit separator and DEL are not.
    Text("h\xE2\x82\xACi~ \x1F\x7F");
    std::vector<winx_Msg> expected = {
        Msg(WM_KEYDOWN, VK_TAB),    Msg(WM_CHAR, 9),  Msg(WM_KEYDOWN, VK_RETURN), Msg(WM_CHAR, 13),
        Msg(WM_KEYDOWN, VK_ESCAPE), Msg(WM_CHAR, 27), Msg(WM_CHAR, 'h'),          Msg(WM_CHAR, 'i'),
        Msg(WM_CHAR, '~'),          Msg(WM_CHAR, ' ')};
    EXPECT_EQ(Drain(), expected);
}

TEST_F(Messages, CtrlLetterBecomesAControlCharacterAndItsTextIsDropped) {
    OpenWindow();
    Key(SDLK_RCTRL, true);
    Key(SDLK_l, true);
    Text("l");
    Key(SDLK_l, false);
    Key(SDLK_RCTRL, false);
    Key(SDLK_l, true);
    Text("l");
    std::vector<winx_Msg> expected = {
        Msg(WM_KEYDOWN, VK_CONTROL), Msg(WM_KEYDOWN, 'L'), Msg(WM_CHAR, 12), Msg(WM_KEYUP, 'L'),
        Msg(WM_KEYUP, VK_CONTROL),   Msg(WM_KEYDOWN, 'L'), Msg(WM_CHAR, 'l')};
    EXPECT_EQ(Drain(), expected);
    EXPECT_EQ(winx_GetKeyState(VK_CONTROL), 0);
    EXPECT_EQ(winx_GetKeyState('L'), 1);
    // The first and last letters make 1 and 26; a digit makes none.
    Key(SDLK_LCTRL, true);
    for (const auto& [key, text] :
         {std::pair{SDLK_a, "a"}, std::pair{SDLK_z, "z"}, std::pair{SDLK_9, "9"}}) {
        Key(key, true);
        Text(text);
    }
    Key(SDLK_LCTRL, false);
    expected = {Msg(WM_KEYDOWN, VK_CONTROL), Msg(WM_KEYDOWN, 'A'), Msg(WM_CHAR, 1),
                Msg(WM_KEYDOWN, 'Z'),        Msg(WM_CHAR, 26),     Msg(WM_KEYDOWN, '9'),
                Msg(WM_KEYUP, VK_CONTROL)};
    EXPECT_EQ(Drain(), expected);
}

TEST_F(Messages, CtrlEnterAndCtrlBackspaceMakeTheCharactersWindowsSends) {
    OpenWindow();
    Key(SDLK_LCTRL, true);
    Key(SDLK_RETURN, true);
    Key(SDLK_BACKSPACE, true);
    std::vector<winx_Msg> expected = {Msg(WM_KEYDOWN, VK_CONTROL), Msg(WM_KEYDOWN, VK_RETURN),
                                      Msg(WM_CHAR, 10), Msg(WM_KEYDOWN, VK_BACK),
                                      Msg(WM_CHAR, 127)};
    EXPECT_EQ(Drain(), expected);
    // Translation answers whether it queued a character; a key-up or a Ctrl+digit queues none.
    struct Case {
        winx_Msg msg;
        int answer;
    };
    for (const Case& c : {Case{Msg(WM_KEYDOWN, VK_RETURN), 1}, Case{Msg(WM_KEYDOWN, 'Q'), 1},
                          Case{Msg(WM_KEYDOWN, '7'), 0}, Case{Msg(WM_KEYUP, VK_RETURN), 0}}) {
        EXPECT_EQ(winx_TranslateMessage(&c.msg), c.answer) << c.msg.message << " " << c.msg.wParam;
    }
    // Each character goes in front of whatever waits, so the later one comes first.
    expected = {Msg(WM_CHAR, 17), Msg(WM_CHAR, 10)};
    EXPECT_EQ(Drain(), expected);
}

TEST_F(Messages, AltChordsAreSystemKeysWithoutCharacters) {
    OpenWindow();
    Key(SDLK_LALT, true);
    Key(SDLK_x, true);
    Text("x");
    Key(SDLK_ESCAPE, true);
    Key(SDLK_x, false);
    Key(SDLK_LALT, false);
    Key(SDLK_x, true);
    Text("x");
    std::vector<winx_Msg> expected = {Msg(WM_SYSKEYDOWN, VK_MENU),
                                      Msg(WM_SYSKEYDOWN, 'X'),
                                      Msg(WM_SYSKEYDOWN, VK_ESCAPE),
                                      Msg(WM_SYSKEYUP, 'X'),
                                      Msg(WM_SYSKEYUP, VK_MENU),
                                      Msg(WM_KEYDOWN, 'X'),
                                      Msg(WM_CHAR, 'x')};
    EXPECT_EQ(Drain(), expected);
}

TEST_F(Messages, ShiftsCtrlsAndAltsOfEitherSideShareOneKey) {
    OpenWindow();
    Key(SDLK_LSHIFT, true);
    Key(SDLK_RSHIFT, true);
    Key(SDLK_LCTRL, true);
    Key(SDLK_LCTRL, false);
    Key(SDLK_F1, true);
    Key(SDLK_F12, true);
    Key(SDLK_HOME, true);
    Key(SDLK_0, true);
    std::vector<winx_Msg> expected = {Msg(WM_KEYDOWN, VK_SHIFT),   Msg(WM_KEYDOWN, VK_SHIFT),
                                      Msg(WM_KEYDOWN, VK_CONTROL), Msg(WM_KEYUP, VK_CONTROL),
                                      Msg(WM_KEYDOWN, 112),        Msg(WM_KEYDOWN, 123),
                                      Msg(WM_KEYDOWN, VK_HOME),    Msg(WM_KEYDOWN, '0')};
    EXPECT_EQ(Drain(), expected);
}

// Every key the game can name arrives under its Windows virtual-key code, pressed and released;
// a key Windows has no code for posts nothing.
TEST_F(Messages, EachKeyArrivesUnderItsWindowsVirtualKeyCode) {
    OpenWindow();
    struct Row {
        SDL_Keycode sym;
        uintptr_t vk;
    };
    const Row rows[] = {
        {SDLK_a, 0x41},
        {SDLK_z, 0x5A},
        {SDLK_1, 0x31},
        {SDLK_9, 0x39},
        {SDLK_F2, 0x71},
        {SDLK_F11, 0x7A},
        {SDLK_KP_1, 0x61},
        {SDLK_KP_9, 0x69},
        {SDLK_KP_0, 0x60},
        {SDLK_KP_ENTER, 0x0D},
        {SDLK_TAB, 0x09},
        {SDLK_PAUSE, 0x13},
        {SDLK_CAPSLOCK, 0x14},
        {SDLK_SPACE, 0x20},
        {SDLK_PAGEUP, 0x21},
        {SDLK_PAGEDOWN, 0x22},
        {SDLK_END, 0x23},
        {SDLK_LEFT, 0x25},
        {SDLK_UP, 0x26},
        {SDLK_RIGHT, 0x27},
        {SDLK_DOWN, 0x28},
        {SDLK_INSERT, 0x2D},
        {SDLK_DELETE, 0x2E},
        {SDLK_LGUI, 0x5B},
        {SDLK_RGUI, 0x5C},
        {SDLK_APPLICATION, 0x5D},
        {SDLK_KP_MULTIPLY, 0x6A},
        {SDLK_KP_PLUS, 0x6B},
        {SDLK_KP_MINUS, 0x6D},
        {SDLK_KP_PERIOD, 0x6E},
        {SDLK_KP_DIVIDE, 0x6F},
        {SDLK_NUMLOCKCLEAR, 0x90},
        {SDLK_SCROLLLOCK, 0x91},
        {SDLK_SEMICOLON, 0xBA},
        {SDLK_EQUALS, 0xBB},
        {SDLK_COMMA, 0xBC},
        {SDLK_MINUS, 0xBD},
        {SDLK_PERIOD, 0xBE},
        {SDLK_SLASH, 0xBF},
        {SDLK_BACKQUOTE, 0xC0},
        {SDLK_LEFTBRACKET, 0xDB},
        {SDLK_BACKSLASH, 0xDC},
        {SDLK_RIGHTBRACKET, 0xDD},
        {SDLK_QUOTE, 0xDE},
        {SDLK_F13, 0},
        {SDLK_KP_EQUALS, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(SDL_GetKeyName(row.sym));
        Key(row.sym, true);
        Key(row.sym, false);
        std::vector<winx_Msg> keys;
        for (const winx_Msg& m : Drain()) {
            if (m.message == WM_KEYDOWN || m.message == WM_KEYUP) keys.push_back(m);
        }
        std::vector<winx_Msg> expected;
        if (row.vk != 0) expected = {Msg(WM_KEYDOWN, row.vk), Msg(WM_KEYUP, row.vk)};
        EXPECT_EQ(keys, expected);
    }
}

// The main loop's idle wait ends as soon as the window system has an event, and without a
// window system it still waits its time rather than spin.
TEST_F(Messages, AnIdleWaitEndsAtTheFirstEventAndOtherwiseWaitsItsTime) {
    OpenWindow();
    Key(SDLK_a, true);
    auto start = std::chrono::steady_clock::now();
    winx_WaitMessage(30000);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
    EXPECT_EQ(Drain(), std::vector<winx_Msg>{Msg(WM_KEYDOWN, 'A')});
    winx_ReleaseMainWindow();
    ASSERT_EQ(SDL_WasInit(SDL_INIT_EVENTS), 0u);
    start = std::chrono::steady_clock::now();
    winx_WaitMessage(40);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(40));
}

TEST_F(Messages, MousePositionsAreClampedIntoThePicture) {
    OpenWindow();
    Motion(-5, 700);
    Motion(800, 10);
    Button(SDL_BUTTON_LEFT, true, 1000, -3);
    Button(SDL_BUTTON_LEFT, false, 5, 6);
    Button(SDL_BUTTON_MIDDLE, true, 7, 8);
    Button(SDL_BUTTON_MIDDLE, false, 7, 8);
    Button(SDL_BUTTON_RIGHT, true, 9, 10);
    Button(SDL_BUTTON_RIGHT, false, 9, 10);
    Button(SDL_BUTTON_X1, true, 9, 10);
    // Both sides of the picture's last column and row.
    Motion(640, 480);
    Motion(639, 479);
    Motion(0, 0);
    std::vector<winx_Msg> expected = {Msg(WM_MOUSEMOVE, 0, winx_MakePointParam(0, 479)),
                                      Msg(WM_MOUSEMOVE, 0, winx_MakePointParam(639, 10)),
                                      Msg(WM_LBUTTONDOWN, 0, winx_MakePointParam(639, 0)),
                                      Msg(WM_LBUTTONUP, 0, winx_MakePointParam(5, 6)),
                                      Msg(WM_MBUTTONDOWN, 0, winx_MakePointParam(7, 8)),
                                      Msg(WM_MBUTTONUP, 0, winx_MakePointParam(7, 8)),
                                      Msg(WM_RBUTTONDOWN, 0, winx_MakePointParam(9, 10)),
                                      Msg(WM_RBUTTONUP, 0, winx_MakePointParam(9, 10)),
                                      Msg(WM_MOUSEMOVE, 0, winx_MakePointParam(639, 479)),
                                      Msg(WM_MOUSEMOVE, 0, winx_MakePointParam(639, 479)),
                                      Msg(WM_MOUSEMOVE, 0, winx_MakePointParam(0, 0))};
    EXPECT_EQ(Drain(), expected);
}

TEST_F(Messages, FocusChangesBecomeActivationMessagesOnlyWhenTheyChangeSomething) {
    OpenWindow();
    Focus(true);  // the window starts active
    Focus(false);
    Focus(false);
    Focus(true);
    std::vector<winx_Msg> expected = {Msg(WM_ACTIVATEAPP, 0), Msg(WM_ACTIVATEAPP, 1)};
    EXPECT_EQ(Drain(), expected);
}

TEST_F(Messages, RegainedFocusForgetsAltHeldWhenItLeft) {
    OpenWindow();
    Key(SDLK_LALT, true);
    Focus(false);  // Alt+Tab: the release goes to another window
    Focus(true);
    Key(SDLK_q, true);
    Text("q");
    Key(SDLK_ESCAPE, true);
    std::vector<winx_Msg> taken = Drain();
    ASSERT_EQ(taken.size(), 7u);
    EXPECT_EQ(taken[3], Msg(WM_KEYDOWN, 'Q'));
    EXPECT_EQ(taken[4], Msg(WM_CHAR, 'q'));
    EXPECT_EQ(taken[5], Msg(WM_KEYDOWN, VK_ESCAPE));
    EXPECT_EQ(taken[6], Msg(WM_CHAR, 27));
}

// Ctrl pressed while the window was in the background is forgotten when it comes back, not
// when it left: the typing that follows makes its characters.
TEST_F(Messages, ACtrlPressedInTheBackgroundIsForgottenOnReturn) {
    OpenWindow();
    Focus(true);
    Focus(false);
    Key(SDLK_LCTRL, true);
    Focus(true);
    Text("q");
    const std::vector<winx_Msg> taken = Drain();
    ASSERT_FALSE(taken.empty());
    EXPECT_EQ(taken.back(), Msg(WM_CHAR, 'q'));
}

TEST_F(Messages, WindowManagerCloseDestroysTheWindowAndQuits) {
    OpenWindow();
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    std::vector<winx_Msg> taken = Drain();
    ASSERT_EQ(taken.size(), 1u);
    EXPECT_EQ(taken[0].message, WM_CLOSE);
    winx_DispatchMessage(&taken[0]);
    ASSERT_EQ(Dispatched().size(), 2u);
    EXPECT_EQ(Dispatched()[1].message, WM_DESTROY);
    // The window goes once: a second destroy, or one of no window, sends nothing.
    winx_DestroyWindow(window);
    winx_DestroyWindow(nullptr);
    EXPECT_EQ(Dispatched().size(), 2u);
    winx_Msg msg;
    EXPECT_EQ(winx_GetMessage(&msg), 0);
    EXPECT_EQ(msg.message, WM_QUIT);
}

TEST_F(Messages, QuitComesOnlyAfterEveryOtherMessage) {
    winx_ResetMessages();
    winx_PostQuitMessage(3);
    winx_PostMessage(WM_CHAR, 'a', 0);
    winx_Msg msg;
    ASSERT_EQ(winx_GetMessage(&msg), 1);
    EXPECT_EQ(msg.message, WM_CHAR);
    ASSERT_EQ(winx_PeekMessage(&msg, 0, 0, PM_NOREMOVE), 1);
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(winx_GetMessage(&msg), 0);
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_EQ(winx_PeekMessage(&msg, 0, 0, PM_REMOVE), 0);
}

TEST_F(Messages, TakingOneMouseMoveLeavesTheOtherMessagesInOrder) {
    OpenWindow();
    Key(SDLK_a, true);
    Motion(1, 2);
    Motion(3, 4);
    Key(SDLK_a, false);
    winx_Msg msg;
    ASSERT_EQ(winx_PeekMessage(&msg, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE), 1);
    EXPECT_EQ(msg, Msg(WM_MOUSEMOVE, 0, winx_MakePointParam(1, 2)));
    // Only that one motion left the window system's queue.
    EXPECT_EQ(SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_KEYDOWN, SDL_KEYUP), 2);
    EXPECT_EQ(SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_MOUSEMOTION, SDL_MOUSEMOTION), 1);
    std::vector<winx_Msg> expected = {
        Msg(WM_KEYDOWN, 'A'), Msg(WM_MOUSEMOVE, 0, winx_MakePointParam(3, 4)), Msg(WM_KEYUP, 'A')};
    EXPECT_EQ(Drain(), expected);
    EXPECT_EQ(winx_PeekMessage(&msg, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE), 0);
    // A look for mouse moves passes over a waiting key, which stays.
    Key(SDLK_b, true);
    ASSERT_EQ(winx_PeekMessage(&msg, 0, 0, PM_NOREMOVE), 1);
    EXPECT_EQ(msg, Msg(WM_KEYDOWN, 'B'));
    EXPECT_EQ(winx_PeekMessage(&msg, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE), 0);
    EXPECT_EQ(Drain(), std::vector<winx_Msg>{Msg(WM_KEYDOWN, 'B')});
    // A look over a wider range that begins or ends at mouse moves takes all input, so a
    // button press or a key in the range is found.
    Button(SDL_BUTTON_LEFT, true, 5, 6);
    ASSERT_EQ(winx_PeekMessage(&msg, WM_MOUSEMOVE, WM_RBUTTONUP, PM_REMOVE), 1);
    EXPECT_EQ(msg, Msg(WM_LBUTTONDOWN, 0, winx_MakePointParam(5, 6)));
    Key(SDLK_c, true);
    ASSERT_EQ(winx_PeekMessage(&msg, WM_KEYDOWN, WM_MOUSEMOVE, PM_REMOVE), 1);
    EXPECT_EQ(msg, Msg(WM_KEYDOWN, 'C'));
    EXPECT_EQ(Drain(), std::vector<winx_Msg>{});
}

TEST_F(Messages, PrintScreenRequestsNumberedCapturesInsteadOfKeys) {
    OpenWindow();
    Key(SDLK_PRINTSCREEN, true);
    Key(SDLK_PRINTSCREEN, false);
    Key(SDLK_PRINTSCREEN, true);
    EXPECT_TRUE(Drain().empty());
    EXPECT_EQ(winx_TakeCaptureRequest(), "printscreen-001");
    EXPECT_EQ(winx_TakeCaptureRequest(), "printscreen-002");
    EXPECT_EQ(winx_TakeCaptureRequest(), "");
}

TEST_F(Messages, AScriptReplacesTheRealKeyboardAndMouse) {
    ScopedWorkingDir dir;
    dir.WriteFile("run.qxs",
                  "text \"go\"\nwait 20\nkey BACK\nkeydown ALT\nkey F4\ncapture shot\nquit\n");
    setenv("QX_SCRIPT", (dir.Path() + "/run.qxs").c_str(), 1);
    FakeClock clock(5000);
    OpenWindow();
    EXPECT_EQ(winx_ScriptedInputActive(), 1);
    Key(SDLK_z, true);
    Motion(10, 10);
    std::vector<winx_Msg> first = {Msg(WM_CHAR, 'g'), Msg(WM_CHAR, 'o')};
    EXPECT_EQ(Drain(), first);
    clock.Advance(19);
    EXPECT_TRUE(Drain().empty());
    clock.Advance(1);
    std::vector<winx_Msg> second = {Msg(WM_KEYDOWN, VK_BACK),
                                    Msg(WM_CHAR, 8),
                                    Msg(WM_KEYUP, VK_BACK),
                                    Msg(WM_SYSKEYDOWN, VK_MENU),
                                    Msg(WM_SYSKEYDOWN, VK_F1 + 3),
                                    Msg(WM_SYSKEYUP, VK_F1 + 3),
                                    Msg(WM_CLOSE)};
    EXPECT_EQ(Drain(), second);
    EXPECT_EQ(winx_TakeCaptureRequest(), "shot");
}

TEST_F(Messages, AScriptedShiftGoesUpOnlyAfterTheCapitalsTypedUnderItWereTaken) {
    ScopedWorkingDir dir;
    dir.WriteFile("caps.qxs", "text \"AbC\"\nkey X\n");
    setenv("QX_SCRIPT", (dir.Path() + "/caps.qxs").c_str(), 1);
    FakeClock clock(5000);
    OpenWindow();
    // Each drain is one pass of the main loop: the game handles its characters after it, while
    // the Shift state is the one the drain left.
    const std::vector<winx_Msg> first = {Msg(WM_KEYDOWN, VK_SHIFT), Msg(WM_CHAR, 'A')};
    EXPECT_EQ(Drain(), first);
    const std::vector<winx_Msg> second = {Msg(WM_KEYUP, VK_SHIFT), Msg(WM_CHAR, 'b'),
                                          Msg(WM_KEYDOWN, VK_SHIFT), Msg(WM_CHAR, 'C')};
    EXPECT_EQ(Drain(), second);
    const std::vector<winx_Msg> third = {Msg(WM_KEYUP, VK_SHIFT), Msg(WM_KEYDOWN, 'X'),
                                         Msg(WM_CHAR, 'x'), Msg(WM_KEYUP, 'X')};
    EXPECT_EQ(Drain(), third);
}

TEST_F(Messages, ABadScriptEndsStartUpWithExitCode2) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ScopedWorkingDir dir;
    dir.WriteFile("bad.qxs", "wait 10\nmove 700 1\n");
    setenv("QX_SCRIPT", "bad.qxs", 1);
    EXPECT_EXIT(winx_CreateMainWindow("Quarnex test", RecordingProc), ::testing::ExitedWithCode(2),
                "bad.qxs:2: position outside the 640 x 480 picture");
}

TEST_F(Messages, AScriptedKeyDuringAMovieIsTakenWithItsCharacterAndTimeMovesOn) {
    ScopedWorkingDir dir;
    dir.WriteFile("movie.qxs", "wait 1000\nkeydown X\nkeyup X\nmove 10 10\ntext \"y\"\n");
    setenv("QX_SCRIPT", (dir.Path() + "/movie.qxs").c_str(), 1);
    FakeClock clock(5000);
    OpenWindow();
    // The movie's first check starts the script's time; nothing is due yet.
    EXPECT_EQ(winx_TakeScriptedKeyPress(500), 0);
    clock.Advance(999);
    EXPECT_EQ(winx_TakeScriptedKeyPress(500), 0);
    clock.Advance(1);
    EXPECT_EQ(winx_TakeScriptedKeyPress(500), 1);
    // The key's own character went with it; what came after it stays for the game.
    std::vector<winx_Msg> rest = {Msg(WM_KEYUP, 'X'), Msg(WM_MOUSEMOVE, 0, (10 << 16) | 10),
                                  Msg(WM_CHAR, 'y')};
    EXPECT_EQ(Drain(), rest);
    EXPECT_EQ(winx_TakeScriptedKeyPress(500), 0);
}

TEST_F(Messages, WithoutAScriptNoKeyIsTakenForAMovie) {
    FakeClock clock(5000);
    OpenWindow();
    EXPECT_EQ(winx_TakeScriptedKeyPress(500), 0);
}

// Every key of the keyboard reaches the game as its Windows virtual key, the ends of each
// range of keys included; keys Windows has no code for make no message at all.
TEST_F(Messages, EveryKeyBecomesItsVirtualKey) {
    OpenWindow();
    const struct {
        SDL_Keycode sym;
        uint32_t vk;  // 0: no message
    } keys[] = {
        {SDLK_a, 'A'},
        {SDLK_z, 'Z'},
        {SDLK_0, '0'},
        {SDLK_9, '9'},
        {SDLK_F1, VK_F1},
        {SDLK_F12, VK_F1 + 11},
        {SDLK_F13, 0},
        {SDLK_KP_0, VK_NUMPAD0},
        {SDLK_KP_1, VK_NUMPAD0 + 1},
        {SDLK_KP_9, VK_NUMPAD0 + 9},
        {SDLK_KP_ENTER, VK_RETURN},
        {SDLK_KP_EQUALS, 0},
        {SDLK_RSHIFT, VK_SHIFT},
        {SDLK_RCTRL, VK_CONTROL},
        {SDLK_PAUSE, VK_PAUSE},
        {SDLK_CAPSLOCK, VK_CAPITAL},
        {SDLK_SPACE, VK_SPACE},
        {SDLK_PAGEUP, VK_PRIOR},
        {SDLK_PAGEDOWN, VK_NEXT},
        {SDLK_END, VK_END},
        {SDLK_LEFT, VK_LEFT},
        {SDLK_UP, VK_UP},
        {SDLK_RIGHT, VK_RIGHT},
        {SDLK_DOWN, VK_DOWN},
        {SDLK_INSERT, VK_INSERT},
        {SDLK_DELETE, VK_DELETE},
        {SDLK_LGUI, VK_LWIN},
        {SDLK_RGUI, VK_RWIN},
        {SDLK_APPLICATION, VK_APPS},
        {SDLK_KP_MULTIPLY, VK_MULTIPLY},
        {SDLK_KP_PLUS, VK_ADD},
        {SDLK_KP_MINUS, VK_SUBTRACT},
        {SDLK_KP_PERIOD, VK_DECIMAL},
        {SDLK_KP_DIVIDE, VK_DIVIDE},
        {SDLK_NUMLOCKCLEAR, VK_NUMLOCK},
        {SDLK_SCROLLLOCK, VK_SCROLL},
        {SDLK_SEMICOLON, VK_OEM_1},
        {SDLK_EQUALS, VK_OEM_PLUS},
        {SDLK_COMMA, VK_OEM_COMMA},
        {SDLK_MINUS, VK_OEM_MINUS},
        {SDLK_PERIOD, VK_OEM_PERIOD},
        {SDLK_SLASH, VK_OEM_2},
        {SDLK_BACKQUOTE, VK_OEM_3},
        {SDLK_LEFTBRACKET, VK_OEM_4},
        {SDLK_BACKSLASH, VK_OEM_5},
        {SDLK_RIGHTBRACKET, VK_OEM_6},
        {SDLK_QUOTE, VK_OEM_7},
    };
    for (const auto& k : keys) {
        Key(k.sym, true);
        Key(k.sym, false);
        std::vector<winx_Msg> expected;
        if (k.vk) expected = {Msg(WM_KEYDOWN, k.vk), Msg(WM_KEYUP, k.vk)};
        std::vector<winx_Msg> taken = Drain();
        // Only the key messages: a translated character is not under test here.
        std::erase_if(taken, [](const winx_Msg& m) { return m.message == WM_CHAR; });
        EXPECT_EQ(taken, expected) << SDL_GetKeyName(k.sym);
    }
}

// Without a window system the messages end instead of being waited for; the video driver
// named in the environment tells whether the run is headless.
TEST_F(Messages, WithoutAWindowSystemTheMessagesEndAndTheDriverNamesHeadlessRuns) {
    if (SDL_WasInit(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) GTEST_SKIP() << "SDL still running";
    winx_Msg msg{WM_CHAR, 1, 2};
    EXPECT_EQ(winx_GetMessage(&msg), 0);
    EXPECT_EQ(msg.message, static_cast<uint32_t>(WM_QUIT));
    const struct {
        const char* driver;
        int headless;
    } drivers[] = {{"dummy", 1}, {"OFFSCREEN", 1}, {"x11", 0}, {"wayland", 0}, {nullptr, 0}};
    for (const auto& d : drivers) {
        if (d.driver) {
            setenv("SDL_VIDEODRIVER", d.driver, 1);
        } else {
            unsetenv("SDL_VIDEODRIVER");
        }
        EXPECT_EQ(winx_HeadlessVideo(), d.headless) << (d.driver ? d.driver : "(none)");
    }
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    // A running window system answers for itself, whatever the environment says now.
    OpenWindow();
    setenv("SDL_VIDEODRIVER", "x11", 1);
    EXPECT_EQ(winx_HeadlessVideo(), 1);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
}

// While the window system runs, an empty queue is waited on until something comes.
TEST_F(Messages, AnEmptyQueueIsWaitedOnWhileTheWindowSystemRuns) {
    OpenWindow();
    std::thread typist([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        SDL_Event event{};
        event.type = SDL_KEYDOWN;
        event.key.state = SDL_PRESSED;
        event.key.keysym.sym = SDLK_q;
        SDL_PushEvent(&event);
    });
    winx_Msg msg{};
    const int got = winx_GetMessage(&msg);
    typist.join();
    EXPECT_EQ(got, 1);
    EXPECT_EQ(msg, Msg(WM_KEYDOWN, 'Q'));
}

// A message goes to the window's procedure, whose answer comes back; without one, 0.
TEST_F(Messages, DispatchAnswersWithTheWindowProceduresAnswer) {
    const winx_Msg paint = Msg(WM_PAINT, 3, 4);
    winx_SetWindowProc(nullptr, nullptr);
    EXPECT_EQ(winx_DispatchMessage(&paint), 0);
    winx_SetWindowProc(nullptr, [](winx_HWND, uint32_t message, uintptr_t w, intptr_t l) {
        return static_cast<intptr_t>(message == WM_PAINT ? w * 10 + static_cast<uintptr_t>(l) : 0);
    });
    EXPECT_EQ(winx_DispatchMessage(&paint), 34);
    winx_SetWindowProc(nullptr, nullptr);
}

// A scripted run that waits for a game mode, a battle or team state which never comes fails loudly
// once its time is up: exit code 3 and what it waited for and how long on stderr.
TEST_F(Messages, AnAwaitedModeThatNeverComesEndsTheRunWithCodeThree) {
    struct Case {
        const char* script;
        uint32_t limit;
        const char* said;
    };
    const Case cases[] = {
        {"await 3 50\nquit\n", 50, "script: game mode 3 not reached within 50 ms"},
        {"await paused 40\nquit\n", 40, "script: no paused battle within 40 ms"},
        {"await running 60\nquit\n", 60, "script: no running battle within 60 ms"},
        {"await units any 2 30\n", 30, "script: no team had 2 units within 30 ms"},
        {"await units 3 7 20\n", 20, "script: team 3 had fewer than 7 units within 20 ms"},
        {"await fallen 4 10\n", 10, "script: team 4's factory had not fallen within 10 ms"}};
    for (const Case& c : cases) {
        ScopedWorkingDir dir;
        dir.WriteFile("late.qxs", c.script);
        setenv("QX_SCRIPT", (dir.Path() + "/late.qxs").c_str(), 1);
        EXPECT_EXIT(
            {
                FakeClock clock(5000);
                winx_StartScriptedInput();
                winx_Msg msg;
                winx_PeekMessage(&msg, 0, 0, PM_REMOVE);
                clock.Advance(c.limit);
                winx_PeekMessage(&msg, 0, 0, PM_REMOVE);
                std::exit(0);
            },
            testing::ExitedWithCode(3), c.said);
    }
}

// Without a window system there is no window, and the player is told why; a second main window
// is refused while the first lives.
TEST_F(Messages, NoWindowOpensWithoutAWindowSystemAndOnlyOneOpensAtATime) {
    setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
    testing::internal::CaptureStderr();
    EXPECT_EQ(winx_CreateMainWindow("Quarnex test", RecordingProc), nullptr);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("cannot start the window system"),
              std::string::npos);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    OpenWindow();
    EXPECT_EQ(winx_CreateMainWindow("Quarnex test", RecordingProc), nullptr);
}
