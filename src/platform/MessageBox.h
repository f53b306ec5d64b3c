#pragma once
// The program's message box: the text always goes to stderr, and a box over the main window
// shows it when there is a window and a screen to show it on.
#include "platform/Messages.h"

constexpr unsigned MB_OK = 0;
constexpr unsigned MB_OKCANCEL = 1;

// Returns when the box is closed (at once without one).
void winx_MessageBox(winx_HWND window, const char* text, const char* caption, unsigned style);
