#pragma once
// The one main window: full screen on the desktop, the 640 x 480 picture scaled into it by
// the display. Window messages reach the procedure given at creation (platform/Messages.h).
#include "platform/Messages.h"

struct SDL_Window;

// Creates the window and starts its message queue (and the input script of a headless run);
// null when the window system or the window cannot be set up.
winx_HWND winx_CreateMainWindow(const char* title, winx_WndProc proc);
// Destroys the window as the user sees it: hides it and sends WM_DESTROY to its procedure.
// The SDL window itself stays for the devices drawing into it until winx_ReleaseMainWindow.
void winx_DestroyWindow(winx_HWND window);
// Frees the window and the window system; called last at shut-down.
void winx_ReleaseMainWindow();
// Brings the window to the front and gives it the keyboard.
void winx_BringWindowToFront(winx_HWND window);
// 0 hides the system cursor over the window, anything else shows it.
void winx_ShowCursor(int show);
// What a window procedure does with the messages it leaves alone: a close request destroys
// the window.
intptr_t winx_DefWindowProc(winx_HWND window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// 1 when no picture reaches a person (the dummy or offscreen video driver).
int winx_HeadlessVideo();

// Platform-internal: the SDL window for the display and the movie player; null when none.
SDL_Window* winx_SdlWindow();
// Platform-internal: the SDL window behind a window handle (the main window for null).
SDL_Window* winx_SdlWindowOf(winx_HWND window);
