#pragma once
// The program's message box: a box over the main window shows the text when there is a window
// and a screen to show it on. It writes nothing to stderr: the caller says there what it has to
// say, once, with whatever detail the box leaves out.
#include "platform/Messages.h"

constexpr unsigned MB_OK = 0;
constexpr unsigned MB_OKCANCEL = 1;

// Returns when the box is closed (at once without one).
void winx_MessageBox(winx_HWND window, const char* text, const char* caption, unsigned style);
