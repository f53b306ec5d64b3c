// A script's key presses make their characters as real keys do, Shift and Caps Lock included.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/Messages.h"
#include "platform/Window.h"
#include "support/FakeClock.h"
#include "support/ScopedWorkingDir.h"

namespace {

intptr_t Ignore(winx_HWND, uint32_t, uintptr_t, intptr_t) {
    return 0;
}

// The characters the script's keys make, taken as the main loop takes them.
std::string CharactersOf(const std::string& script) {
    ScopedWorkingDir dir;
    dir.WriteFile("keys.qxs", script);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("QX_SCRIPT", "keys.qxs", 1);
    FakeClock clock(7000);
    std::string typed;
    if (winx_CreateMainWindow("Quarnex test", Ignore)) {
        // A few passes of the main loop: a scripted Shift goes up in the pass after the
        // characters typed under it.
        winx_Msg msg;
        for (int pass = 0; pass < 4; ++pass) {
            while (winx_PeekMessage(&msg, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_CHAR) typed += static_cast<char>(msg.wParam);
                winx_TranslateMessage(&msg);
            }
        }
    }
    winx_ReleaseMainWindow();
    unsetenv("QX_SCRIPT");
    return typed;
}

}  // namespace

TEST(ScriptedKeys, LettersDigitsSpaceAndPunctuationMakeTheirCharacters) {
    const struct {
        const char* script;
        const char* typed;
    } cases[] = {
        {"key A\nkey 7\nkey SPACE\nkey 190\nkey 222\n", "a7 .'"},
        {"keydown SHIFT\nkey A\nkey 1\nkey 186\nkey 191\nkeyup SHIFT\nkey B\n", "A!:?b"},
        {"key CAPITAL\nkey Q\nkey 5\nkeydown SHIFT\nkey Q\nkeyup SHIFT\nkey CAPITAL\nkey Q\n",
         "Q5qq"},
        {"key NUMPAD3\nkey 106\nkey 109\n", "3*-"},
        // Ctrl+letter is the control character; Alt chords and keys without text make none.
        {"keydown CTRL\nkey C\nkeyup CTRL\nkeydown ALT\nkey X\nkeyup ALT\nkey F5\nkey LEFT\n",
         "\x03"},
        {"key RETURN\nkey BACK\n", "\r\b"},
        // The ends of each range of keys, and every punctuation key plain and shifted.
        {"key Z\nkey 0\nkey 9\nkey 96\nkey 105\n", "z0909"},
        {"keydown SHIFT\nkey Z\nkey 0\nkey 9\nkey 2\nkeyup SHIFT\n", "Z)(@"},
        {"key 186\nkey 187\nkey 188\nkey 189\nkey 190\nkey 191\nkey 192\nkey 219\nkey 220\n"
         "key 221\nkey 222\nkey 106\nkey 107\nkey 109\nkey 110\nkey 111\n",
         ";=,-./`[\\]'*+-./"},
        {"keydown SHIFT\nkey 186\nkey 187\nkey 188\nkey 189\nkey 190\nkey 191\nkey 192\n"
         "key 219\nkey 220\nkey 221\nkey 222\nkey 106\nkey 107\nkey 109\nkey 110\nkey 111\n"
         "key SPACE\nkeyup SHIFT\n",
         ":+<_>?~{|}\"*+-./ "},
        // Caps Lock changes letters only, and Shift turns it back.
        {"key CAPITAL\nkeydown SHIFT\nkey A\nkey 2\nkeyup SHIFT\nkey 2\nkey CAPITAL\n", "a@2"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CharactersOf(c.script), c.typed) << c.script;
}
