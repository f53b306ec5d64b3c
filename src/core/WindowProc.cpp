#include "core/WindowProc.h"

#include "core/DisplayBase.h"
#include "core/EventQueue.h"
#include "core/KeyCodes.h"
#include "core/MainLoop.h"
#include "core/Settings.h"
#include "platform/Window.h"

Point cursorPosition(0, 0);

namespace {

void QueueEvent(InputKind kind, const Point& position, int32_t param) {
    if (eventQueue) eventQueue->Post(kind, position, param);
}

Point PointFromParam(intptr_t lParam) {
    return Point(winx_PointParamX(lParam), winx_PointParamY(lParam));
}

void Toggle(int32_t& flag) {
    flag = flag == 1 ? 0 : 1;
}

void MouseMoved(intptr_t lParam) {
    cursorPosition = PointFromParam(lParam);
    if (display) {
        display->cursorPosition = cursorPosition;
        display->cursorPlaced = 1;
    }
    QueueEvent(InputKind::MouseMove, cursorPosition, 0);
    if (display) display->UpdateCursor();
}

void SetModifier(uint32_t virtualKey, int32_t value) {
    if (!eventQueue) return;
    if (virtualKey == VK_SHIFT) eventQueue->shiftDown = value;
    if (virtualKey == VK_CONTROL) eventQueue->ctrlDown = value;
    if (virtualKey == VK_MENU) eventQueue->altDown = value;
}

void KeyDown(uint32_t virtualKey) {
    SetModifier(virtualKey, 1);
    int32_t code = MapKeyCode(virtualKey);
    if (code != 0) QueueEvent(InputKind::Key, cursorPosition, code);
}

void Character(uintptr_t character) {
    if (character < 1 || character > 255) return;
    if (cheatsOn) {
        switch (character) {
            case 12:
                Toggle(traceOn);
                return;  // Ctrl+L
            case 6:
                Toggle(aiDebugFlag);
                return;  // Ctrl+F
            case 1:
                Toggle(autoPlayFlag);
                return;  // Ctrl+A
            case 24:
                Toggle(lowDetail);
                return;  // Ctrl+X
            default:
                break;
        }
    }
    int32_t code = static_cast<int32_t>(character);
    switch (character) {
        case 8:
            code = kKeyBackspace;
            break;
        case 9:
            code = kKeyTab;
            break;
        case 13:
            code = kKeyEnter;
            break;
        case 27:
            code = kKeyEscape;
            break;
        default:
            break;
    }
    QueueEvent(InputKind::Key, cursorPosition, code);
}

void Button(InputKind kind, int32_t button, intptr_t lParam) {
    QueueEvent(kind, PointFromParam(lParam), button);
}

}  // namespace

int32_t MapKeyCode(uint32_t virtualKey) {
    if (virtualKey == VK_SHIFT) return kKeyShift;
    if (virtualKey == VK_CONTROL) return kKeyCtrl;
    if (virtualKey == VK_MENU) return kKeyAlt;
    bool ctrl = eventQueue && eventQueue->ctrlDown == 1;
    bool alt = eventQueue && eventQueue->altDown == 1;
    if (virtualKey >= VK_F1 && virtualKey <= VK_F12) {
        int32_t f = static_cast<int32_t>(virtualKey - VK_F1);
        return ctrl ? kKeyCtrlF1 + f : kKeyF1 + f;
    }
    if (alt) return 0;
    switch (virtualKey) {
        case VK_HOME:
            return kKeyHome;
        case VK_LEFT:
            return kKeyLeft;
        case VK_UP:
            return kKeyUp;
        case VK_RIGHT:
            return kKeyRight;
        case VK_DOWN:
            return kKeyDown;
        case VK_INSERT:
            return kKeyInsert;
        case VK_DELETE:
            return kKeyDelete;
        default:
            break;
    }
    if (virtualKey >= '0' && virtualKey <= '9')
        return ctrl ? kKeyCtrl0 + static_cast<int32_t>(virtualKey - '0') : 0;
    return 0;
}

intptr_t WindowProc(winx_HWND window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    switch (message) {
        case WM_MOVE:
        case WM_SIZE:
        case WM_CREATE:
        case WM_QUERYNEWPALETTE:
        case WM_PALETTECHANGED:
        case WM_DISPLAYCHANGE:
            return 0;
        case WM_ACTIVATEAPP:
            // Before the display exists there is nothing to suspend or restore.
            if (display) {
                if (wParam == 0)
                    deactivationRequested = 1;
                else
                    activationRequested = 1;
            }
            return 0;
        case WM_ACTIVATE:
            return winx_DefWindowProc(window, message, wParam, lParam);
        case WM_SETCURSOR:
            if (appActive) {
                winx_ShowCursor(0);
                return 1;
            }
            return 0;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            KeyDown(static_cast<uint32_t>(wParam));
            return 0;
        case WM_KEYUP:
        case WM_SYSKEYUP:
            SetModifier(static_cast<uint32_t>(wParam), 0);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_MBUTTONDOWN:
            Button(InputKind::ButtonDown, 'L', lParam);
            return 0;
        case WM_RBUTTONDOWN:
            Button(InputKind::ButtonDown, 'R', lParam);
            return 0;
        case WM_LBUTTONUP:
        case WM_MBUTTONUP:
            Button(InputKind::ButtonUp, 'L', lParam);
            return 0;
        case WM_RBUTTONUP:
            Button(InputKind::ButtonUp, 'R', lParam);
            return 0;
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
            return 0;
        case WM_MOUSEMOVE:
            MouseMoved(lParam);
            return 0;
        case WM_PAINT:
            return 1;
        case WM_DESTROY:
            mainWindow = nullptr;
            winx_PostQuitMessage(0);
            return 0;
        case WM_CHAR:
            Character(wParam);
            return 0;
        default:
            return winx_DefWindowProc(window, message, wParam, lParam);
    }
}

int PumpMouseMove() {
    winx_Msg msg;
    if (!winx_PeekMessage(&msg, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE)) return 0;
    MouseMoved(msg.lParam);
    return 1;
}

void PostCursorMoveEvent() {
    if (display) display->cursorPosition = cursorPosition;
    // A mouse no move has placed would rest at (0, 0), the battle view's top-left scroll
    // corner: a battle opened by keys alone (or by a script that never moves the mouse) would
    // scroll its view off the factory into the never-seen corner of the land.
    if (display && !display->cursorPlaced) return;
    QueueEvent(InputKind::MouseMove, cursorPosition, 0);
}
