#pragma once
// The main window's procedure: turns keyboard and mouse messages into input events, keeps the
// modifier flags and the cursor position, and records activation requests for the main loop.
#include <cstdint>

#include "core/Point.h"
#include "platform/Messages.h"

intptr_t WindowProc(winx_HWND window, uint32_t message, uintptr_t wParam, intptr_t lParam);
// The game key code of a virtual key under the queue's modifier flags; 0 for no event.
int32_t MapKeyCode(uint32_t virtualKey);
// Handles at most one waiting mouse move, so the cursor keeps up during long work; 1 when
// one was handled.
int PumpMouseMove();
// Queues a mouse-move event at the cursor (a screen that becomes current learns where the
// mouse is); nothing while the display's cursor is not placed yet.
void PostCursorMoveEvent();

// Where the mouse is, in 640 x 480 picture coordinates.
extern Point cursorPosition;
