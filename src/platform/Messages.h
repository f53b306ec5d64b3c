#pragma once
// The Win32-shaped message queue of the main window. Real input (SDL events) or the input
// script of a headless run is translated into window messages in the order it happened;
// the game takes them with winx_PeekMessage / winx_GetMessage and hands them to its window
// procedure with winx_DispatchMessage.
#include <cstdint>
#include <functional>

#include "platform/VirtualKeys.h"

struct winx_Window;
using winx_HWND = winx_Window*;
using winx_WndProc = intptr_t (*)(winx_HWND window, uint32_t message, uintptr_t wParam,
                                  intptr_t lParam);

struct winx_Msg {
    uint32_t message = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;

    bool operator==(const winx_Msg&) const = default;
};

constexpr uint32_t WM_NULL = 0x0000;
constexpr uint32_t WM_CREATE = 0x0001;
constexpr uint32_t WM_DESTROY = 0x0002;
constexpr uint32_t WM_MOVE = 0x0003;
constexpr uint32_t WM_SIZE = 0x0005;
constexpr uint32_t WM_ACTIVATE = 0x0006;
constexpr uint32_t WM_PAINT = 0x000F;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_QUIT = 0x0012;
constexpr uint32_t WM_ACTIVATEAPP = 0x001C;
constexpr uint32_t WM_SETCURSOR = 0x0020;
constexpr uint32_t WM_DISPLAYCHANGE = 0x007E;
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_KEYUP = 0x0101;
constexpr uint32_t WM_CHAR = 0x0102;
constexpr uint32_t WM_SYSKEYDOWN = 0x0104;
constexpr uint32_t WM_SYSKEYUP = 0x0105;
constexpr uint32_t WM_MOUSEMOVE = 0x0200;
constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr uint32_t WM_LBUTTONUP = 0x0202;
constexpr uint32_t WM_LBUTTONDBLCLK = 0x0203;
constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
constexpr uint32_t WM_RBUTTONUP = 0x0205;
constexpr uint32_t WM_RBUTTONDBLCLK = 0x0206;
constexpr uint32_t WM_MBUTTONDOWN = 0x0207;
constexpr uint32_t WM_MBUTTONUP = 0x0208;
constexpr uint32_t WM_MBUTTONDBLCLK = 0x0209;
constexpr uint32_t WM_QUERYNEWPALETTE = 0x030F;
constexpr uint32_t WM_PALETTECHANGED = 0x0311;

constexpr uint32_t PM_NOREMOVE = 0;
constexpr uint32_t PM_REMOVE = 1;

// The picture's size: mouse positions are clamped into it.
constexpr int kWinxScreenWidth = 640;
constexpr int kWinxScreenHeight = 480;

// A mouse position packed as Windows does: x in the low 16 bits, y in the high 16 bits.
constexpr intptr_t winx_MakePointParam(int x, int y) {
    return static_cast<intptr_t>((static_cast<uint32_t>(y & 0xFFFF) << 16) |
                                 static_cast<uint32_t>(x & 0xFFFF));
}
constexpr int winx_PointParamX(intptr_t lParam) {
    return static_cast<int>(lParam & 0xFFFF);
}
constexpr int winx_PointParamY(intptr_t lParam) {
    return static_cast<int>((lParam >> 16) & 0xFFFF);
}

// 1 and the first message whose number lies in [filterMin, filterMax] (both 0: any message);
// 0 when none waits. PM_REMOVE takes it out of the queue. The quit message comes only once
// every other message has been taken.
int winx_PeekMessage(winx_Msg* msg, uint32_t filterMin, uint32_t filterMax, uint32_t remove);
// Takes the next message, waiting for one; 0 when it is the quit message, else 1.
int winx_GetMessage(winx_Msg* msg);
// Waits until a message may have arrived or timeoutMs have passed: real input, the input
// script's next step and a termination request end the wait early. Returns at once while a
// message is queued.
void winx_WaitMessage(uint32_t timeoutMs);
// Replaces the waiting (tests): the hook is handed the timeout instead; empty restores it.
void winx_SetWaitHook(std::function<void(uint32_t)> hook);
// Posts the character message a key-down makes: Backspace, Tab, Enter and Escape as 8, 9,
// 13 and 27, Ctrl+letter as 1 to 26, nothing while Alt is held. Printable characters come
// from the text input already. 1 when a character was posted.
int winx_TranslateMessage(const winx_Msg* msg);
// Hands the message to the window procedure; its result (0 without a procedure).
intptr_t winx_DispatchMessage(const winx_Msg* msg);
void winx_PostMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);
void winx_PostQuitMessage(int exitCode);
void winx_SetWindowProc(winx_HWND window, winx_WndProc proc);
// 1 while the key is down, as far as the messages taken from the queue tell.
int winx_GetKeyState(uint32_t virtualKey);

// Empties the queue, forgets the quit request and the key states, and drops a loaded input
// script (window creation and tests).
void winx_ResetMessages();
// Reads the input script named by QX_SCRIPT, when set: from then on it replaces the real
// keyboard and mouse. A script that cannot be read or parsed ends the program with exit
// code 2 and "file:line: message" on stderr.
void winx_StartScriptedInput();
// 1 while an input script replaces the real input.
int winx_ScriptedInputActive();
// While a movie plays the main loop stands still: the script's time moves on by waitedMs (the
// fixed-step clock with it) and a key-down it types is taken out of the queue together with
// the character that follows it, as a real key press that skips a movie is. 1 when one was.
int winx_TakeScriptedKeyPress(uint32_t waitedMs);
