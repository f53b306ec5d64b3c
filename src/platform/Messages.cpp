#include "platform/Messages.h"

#include <SDL.h>

#include <algorithm>
#include <bitset>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <memory>
#include <string>
#include <utility>

#include "platform/Capture.h"
#include "platform/ChecksumRequest.h"
#include "platform/Clock.h"
#include "platform/InputScript.h"
#include "platform/ScriptHooks.h"
#include "platform/Termination.h"

namespace {

struct MessageState {
    std::deque<winx_Msg> messages;
    bool quitPosted = false;
    int quitCode = 0;
    winx_HWND window = nullptr;
    winx_WndProc proc = nullptr;
    // Key states as the messages taken from the queue tell (what TranslateMessage reads).
    std::bitset<256> keysDown;
    // Modifiers as the input translated so far tells: they decide the system variants of the
    // key messages and swallow the text of Ctrl and Alt chords.
    bool ctrlHeld = false;
    bool altHeld = false;
    // What a script's keys need to make their characters (real keys get them from the text
    // input): Shift held, and Caps Lock toggled by its key.
    bool shiftHeld = false;
    bool capsLock = false;
    // The game reads the Shift state when it handles a character, which is after the whole
    // queue has been taken: a scripted Shift goes up only once the queue has been emptied since
    // the last character typed under it (counted by the looks that found the queue empty).
    bool typedUnderShift = false;
    uint64_t typedAtEmptyLook = 0;
    uint64_t emptyLooks = 0;
    // Windows reports activation changes only; the window starts active.
    bool windowActive = true;
    int captureCount = 0;
    bool terminationPosted = false;
    std::unique_ptr<winx_InputScript> script;
};

MessageState& State() {
    static MessageState state;
    return state;
}

std::function<void(uint32_t)>& WaitHook() {
    static std::function<void(uint32_t)> hook;
    return hook;
}

void Post(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0) {
    State().messages.push_back(winx_Msg{message, wParam, lParam});
}

intptr_t ClampedPoint(int x, int y) {
    return winx_MakePointParam(std::clamp(x, 0, kWinxScreenWidth - 1),
                               std::clamp(y, 0, kWinxScreenHeight - 1));
}

void PostKey(uint32_t vk, bool down) {
    MessageState& s = State();
    // The capture key belongs to the harness, not to the game.
    if (vk == VK_SNAPSHOT) {
        if (down) {
            char name[32];
            std::snprintf(name, sizeof name, "printscreen-%03d", ++s.captureCount);
            winx_RequestCapture(name);
        }
        return;
    }
    if (vk == VK_CONTROL) s.ctrlHeld = down;
    if (vk == VK_MENU) s.altHeld = down;
    // Windows sends the system variants while Alt is held, for Alt itself and for F10.
    bool system = s.altHeld || vk == VK_MENU || vk == VK_F1 + 9;
    uint32_t message =
        down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    Post(message, vk);
}

// The character a key of a US keyboard makes, as Windows translates it: 0 for none.
uint32_t CharacterOfKey(uint32_t vk, bool shift, bool capsLock) {
    static constexpr char kShiftedDigits[] = ")!@#$%^&*(";
    struct Punctuation {
        uint32_t vk;
        char plain;
        char shifted;
    };
    static constexpr Punctuation kPunctuation[] = {
        {VK_OEM_1, ';', ':'},     {VK_OEM_PLUS, '=', '+'},   {VK_OEM_COMMA, ',', '<'},
        {VK_OEM_MINUS, '-', '_'}, {VK_OEM_PERIOD, '.', '>'}, {VK_OEM_2, '/', '?'},
        {VK_OEM_3, '`', '~'},     {VK_OEM_4, '[', '{'},      {VK_OEM_5, '\\', '|'},
        {VK_OEM_6, ']', '}'},     {VK_OEM_7, '\'', '"'},     {VK_MULTIPLY, '*', '*'},
        {VK_ADD, '+', '+'},       {VK_SUBTRACT, '-', '-'},   {VK_DECIMAL, '.', '.'},
        {VK_DIVIDE, '/', '/'},    {VK_SPACE, ' ', ' '}};
    if (vk >= 'A' && vk <= 'Z') return shift != capsLock ? vk : vk - 'A' + 'a';
    if (vk >= '0' && vk <= '9') return shift ? static_cast<uint32_t>(kShiftedDigits[vk - '0']) : vk;
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9) return '0' + (vk - VK_NUMPAD0);
    for (const Punctuation& p : kPunctuation) {
        if (p.vk == vk) return static_cast<unsigned char>(shift ? p.shifted : p.plain);
    }
    return 0;
}

// A script's key-down: the key, then the character it makes, as a real key press and its
// text input come.
void NoteScriptedCharacter() {
    MessageState& s = State();
    if (!s.shiftHeld) return;
    s.typedUnderShift = true;
    s.typedAtEmptyLook = s.emptyLooks;
}

void PostScriptedKeyDown(uint32_t vk) {
    MessageState& s = State();
    PostKey(vk, true);
    if (vk == VK_SHIFT) s.shiftHeld = true;
    if (vk == VK_CAPITAL) s.capsLock = !s.capsLock;
    // A Ctrl or Alt chord makes its character from the key-down (or none at all).
    if (s.ctrlHeld || s.altHeld) return;
    if (uint32_t c = CharacterOfKey(vk, s.shiftHeld, s.capsLock)) {
        Post(WM_CHAR, c);
        NoteScriptedCharacter();
    }
}

void PostText(const char* text) {
    MessageState& s = State();
    // A Ctrl or Alt chord makes its character from the key-down (or none at all).
    if (s.ctrlHeld || s.altHeld) return;
    for (const char* p = text; *p; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c >= 32 && c <= 126) Post(WM_CHAR, c);
    }
}

void PostActivation(bool active) {
    MessageState& s = State();
    if (s.windowActive == active) return;
    s.windowActive = active;
    if (active) {
        // Key releases may have gone elsewhere while the window was in the background.
        s.ctrlHeld = false;
        s.altHeld = false;
    }
    Post(WM_ACTIVATEAPP, active ? 1 : 0);
}

uint32_t VirtualKeyFromSdl(SDL_Keycode sym) {
    if (sym >= SDLK_a && sym <= SDLK_z) return static_cast<uint32_t>('A' + (sym - SDLK_a));
    if (sym >= SDLK_0 && sym <= SDLK_9) return static_cast<uint32_t>('0' + (sym - SDLK_0));
    if (sym >= SDLK_F1 && sym <= SDLK_F12) return VK_F1 + static_cast<uint32_t>(sym - SDLK_F1);
    if (sym >= SDLK_KP_1 && sym <= SDLK_KP_9)
        return VK_NUMPAD0 + 1 + static_cast<uint32_t>(sym - SDLK_KP_1);
    switch (sym) {
        case SDLK_BACKSPACE:
            return VK_BACK;
        case SDLK_TAB:
            return VK_TAB;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return VK_RETURN;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT:
            return VK_SHIFT;
        case SDLK_LCTRL:
        case SDLK_RCTRL:
            return VK_CONTROL;
        case SDLK_LALT:
        case SDLK_RALT:
            return VK_MENU;
        case SDLK_PAUSE:
            return VK_PAUSE;
        case SDLK_CAPSLOCK:
            return VK_CAPITAL;
        case SDLK_ESCAPE:
            return VK_ESCAPE;
        case SDLK_SPACE:
            return VK_SPACE;
        case SDLK_PAGEUP:
            return VK_PRIOR;
        case SDLK_PAGEDOWN:
            return VK_NEXT;
        case SDLK_END:
            return VK_END;
        case SDLK_HOME:
            return VK_HOME;
        case SDLK_LEFT:
            return VK_LEFT;
        case SDLK_UP:
            return VK_UP;
        case SDLK_RIGHT:
            return VK_RIGHT;
        case SDLK_DOWN:
            return VK_DOWN;
        case SDLK_PRINTSCREEN:
            return VK_SNAPSHOT;
        case SDLK_INSERT:
            return VK_INSERT;
        case SDLK_DELETE:
            return VK_DELETE;
        case SDLK_LGUI:
            return VK_LWIN;
        case SDLK_RGUI:
            return VK_RWIN;
        case SDLK_APPLICATION:
            return VK_APPS;
        case SDLK_KP_0:
            return VK_NUMPAD0;
        case SDLK_KP_MULTIPLY:
            return VK_MULTIPLY;
        case SDLK_KP_PLUS:
            return VK_ADD;
        case SDLK_KP_MINUS:
            return VK_SUBTRACT;
        case SDLK_KP_PERIOD:
            return VK_DECIMAL;
        case SDLK_KP_DIVIDE:
            return VK_DIVIDE;
        case SDLK_NUMLOCKCLEAR:
            return VK_NUMLOCK;
        case SDLK_SCROLLLOCK:
            return VK_SCROLL;
        case SDLK_SEMICOLON:
            return VK_OEM_1;
        case SDLK_EQUALS:
            return VK_OEM_PLUS;
        case SDLK_COMMA:
            return VK_OEM_COMMA;
        case SDLK_MINUS:
            return VK_OEM_MINUS;
        case SDLK_PERIOD:
            return VK_OEM_PERIOD;
        case SDLK_SLASH:
            return VK_OEM_2;
        case SDLK_BACKQUOTE:
            return VK_OEM_3;
        case SDLK_LEFTBRACKET:
            return VK_OEM_4;
        case SDLK_BACKSLASH:
            return VK_OEM_5;
        case SDLK_RIGHTBRACKET:
            return VK_OEM_6;
        case SDLK_QUOTE:
            return VK_OEM_7;
        default:
            return 0;
    }
}

uint32_t ButtonMessage(uint8_t button, bool down) {
    switch (button) {
        case SDL_BUTTON_LEFT:
            return down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
        case SDL_BUTTON_MIDDLE:
            return down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
        case SDL_BUTTON_RIGHT:
            return down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
        default:
            return 0;
    }
}

void Translate(const SDL_Event& event) {
    // A script replaces the keyboard and the mouse; the window itself still speaks.
    bool realInput = !State().script;
    switch (event.type) {
        case SDL_QUIT:
            // The window manager's close: the same road as a closed window.
            Post(WM_CLOSE);
            break;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) PostActivation(true);
            if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) PostActivation(false);
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            // Repeats are kept: Windows repeats key-downs (and their characters) while a key
            // is held.
            if (realInput) {
                if (uint32_t vk = VirtualKeyFromSdl(event.key.keysym.sym))
                    PostKey(vk, event.type == SDL_KEYDOWN);
            }
            break;
        case SDL_TEXTINPUT:
            if (realInput) PostText(event.text.text);
            break;
        case SDL_MOUSEMOTION:
            if (realInput) Post(WM_MOUSEMOVE, 0, ClampedPoint(event.motion.x, event.motion.y));
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            if (realInput) {
                uint32_t message =
                    ButtonMessage(event.button.button, event.type == SDL_MOUSEBUTTONDOWN);
                if (message) Post(message, 0, ClampedPoint(event.button.x, event.button.y));
            }
            break;
        default:
            break;
    }
}

void RunScriptStep(const winx_ScriptStep& step) {
    using Kind = winx_ScriptStep::Kind;
    switch (step.kind) {
        case Kind::KeyDown:
            PostScriptedKeyDown(step.value);
            break;
        case Kind::KeyUp:
            PostKey(step.value, false);
            if (step.value == VK_SHIFT) {
                State().shiftHeld = false;
                State().typedUnderShift = false;
            }
            break;
        case Kind::Char:
            Post(WM_CHAR, step.value);
            NoteScriptedCharacter();
            break;
        case Kind::MouseMove:
            Post(WM_MOUSEMOVE, 0, ClampedPoint(step.x, step.y));
            break;
        case Kind::ButtonDown:
        case Kind::ButtonUp: {
            bool down = step.kind == Kind::ButtonDown;
            uint8_t button = step.value == 'L'   ? SDL_BUTTON_LEFT
                             : step.value == 'M' ? SDL_BUTTON_MIDDLE
                                                 : SDL_BUTTON_RIGHT;
            Post(ButtonMessage(button, down), 0, ClampedPoint(step.x, step.y));
            break;
        }
        case Kind::Capture:
            winx_RequestCapture(step.name);
            break;
        case Kind::Checksum:
            winx_RequestChecksum(step.name);
            break;
        case Kind::Await:
            // What it waited for never came: the run fails loudly, naming it.
            if (step.value == winx_ScriptStep::kAwaitUnits && step.awaitTeam == 0) {
                std::fprintf(stderr, "script: no team had %d units within %d ms\n", step.awaitCount,
                             step.x);
            } else if (step.value == winx_ScriptStep::kAwaitUnits) {
                std::fprintf(stderr, "script: team %d had fewer than %d units within %d ms\n",
                             step.awaitTeam, step.awaitCount, step.x);
            } else if (step.value == winx_ScriptStep::kAwaitFallen) {
                std::fprintf(stderr, "script: team %d's factory had not fallen within %d ms\n",
                             step.awaitTeam, step.x);
            } else if (step.value == winx_ScriptStep::kAwaitPaused ||
                       step.value == winx_ScriptStep::kAwaitRunning) {
                std::fprintf(stderr, "script: no %s battle within %d ms\n",
                             step.value == winx_ScriptStep::kAwaitPaused ? "paused" : "running",
                             step.x);
            } else {
                std::fprintf(stderr, "script: game mode %u not reached within %d ms\n", step.value,
                             step.x);
            }
            std::fflush(stderr);
            std::_Exit(3);
        case Kind::Destroy:
            winx_RequestDestroy(static_cast<int>(step.value),
                                static_cast<winx_DestroyScope>(step.x));
            break;
        case Kind::Spare:
            winx_RequestSpare(static_cast<int>(step.value));
            break;
        case Kind::Wound:
            winx_RequestWound(static_cast<int>(step.value));
            break;
        case Kind::Attack:
            winx_RequestAttack(static_cast<int>(step.value));
            break;
        case Kind::Artifact:
            winx_RequestArtifact(static_cast<int>(step.value), step.x);
            break;
        case Kind::Forge:
            winx_RequestForge(static_cast<int>(step.value));
            break;
        case Kind::Craft:
            winx_RequestCraft(static_cast<winx_CraftedWord>(step.value), step.x, step.y);
            break;
        case Kind::Barrier:
            winx_RequestBarrier(static_cast<int>(step.value));
            break;
        case Kind::Activate:
            PostActivation(true);
            break;
        case Kind::Deactivate:
            PostActivation(false);
            break;
        case Kind::Quit:
            Post(WM_CLOSE);
            break;
    }
}

// A scripted key carries its Shift state with it: the Shift release that follows characters
// typed under it waits until they have left the queue (the script's later steps wait with it).
bool ScriptStepReady(const winx_ScriptStep& step) {
    const MessageState& s = State();
    if (step.kind != winx_ScriptStep::Kind::KeyUp || step.value != VK_SHIFT) return true;
    return !s.typedUnderShift || s.emptyLooks > s.typedAtEmptyLook;
}

void PollScript() {
    if (State().script) State().script->Poll(winx_timeGetTime(), RunScriptStep, ScriptStepReady);
}

bool EventsRunning() {
    return SDL_WasInit(SDL_INIT_EVENTS) != 0;
}

void PumpInput() {
    PollScript();
    // A termination signal closes the window, the same road as the window manager's close.
    if (winx_TerminationRequested() && !State().terminationPosted) {
        State().terminationPosted = true;
        Post(WM_CLOSE);
    }
    if (!EventsRunning()) return;
    SDL_PumpEvents();
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0)
        Translate(event);
}

// Translates at most one pending mouse motion and leaves every other event where it is.
void PumpOneMouseMotion() {
    PollScript();
    if (!EventsRunning() || State().script) return;
    // Every draw asks for a mouse move; asking the window system more than once a
    // millisecond only costs time (a real window's pump can take longer than a draw).
    static uint64_t lastPumpMs = UINT64_MAX;
    uint64_t nowMs = SDL_GetTicks64();
    if (nowMs != lastPumpMs) {
        lastPumpMs = nowMs;
        SDL_PumpEvents();
    }
    SDL_Event event;
    if (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_MOUSEMOTION, SDL_MOUSEMOTION) > 0)
        Translate(event);
}

void NoteKeyState(const winx_Msg& msg) {
    if (msg.message == WM_ACTIVATEAPP && msg.wParam != 0) {
        State().keysDown.reset(VK_CONTROL);
        State().keysDown.reset(VK_MENU);
    }
    if (msg.wParam >= 256) return;
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) State().keysDown.set(msg.wParam);
    if (msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP) State().keysDown.reset(msg.wParam);
}

bool InRange(uint32_t message, uint32_t filterMin, uint32_t filterMax) {
    if (filterMin == 0 && filterMax == 0) return true;
    return message >= filterMin && message <= filterMax;
}

}  // namespace

int winx_PeekMessage(winx_Msg* msg, uint32_t filterMin, uint32_t filterMax, uint32_t remove) {
    MessageState& s = State();
    if (filterMin == WM_MOUSEMOVE && filterMax == WM_MOUSEMOVE)
        PumpOneMouseMotion();
    else
        PumpInput();
    for (auto it = s.messages.begin(); it != s.messages.end(); ++it) {
        if (!InRange(it->message, filterMin, filterMax)) continue;
        *msg = *it;
        if (remove & PM_REMOVE) {
            s.messages.erase(it);
            NoteKeyState(*msg);
        }
        return 1;
    }
    if (s.quitPosted && InRange(WM_QUIT, filterMin, filterMax)) {
        *msg = winx_Msg{WM_QUIT, static_cast<uintptr_t>(s.quitCode), 0};
        if (remove & PM_REMOVE) s.quitPosted = false;
        return 1;
    }
    if (filterMin == 0 && filterMax == 0) ++s.emptyLooks;
    return 0;
}

int winx_GetMessage(winx_Msg* msg) {
    for (;;) {
        if (winx_PeekMessage(msg, 0, 0, PM_REMOVE)) return msg->message == WM_QUIT ? 0 : 1;
        // Nothing can arrive any more: treat it as the end rather than wait for ever.
        if (!EventsRunning() && (!State().script || State().script->Finished())) {
            *msg = winx_Msg{WM_QUIT, 0, 0};
            return 0;
        }
        if (EventsRunning()) SDL_WaitEventTimeout(nullptr, 10);
    }
}

void winx_WaitMessage(uint32_t timeoutMs) {
    if (WaitHook()) {
        WaitHook()(timeoutMs);
        return;
    }
    MessageState& s = State();
    if (s.script) timeoutMs = std::min(timeoutMs, s.script->MsUntilNextStep(winx_timeGetTime()));
    if (timeoutMs == 0 || !s.messages.empty() || winx_TerminationRequested()) return;
    if (EventsRunning()) {
        // Leaves the event queued for the next look at the messages.
        SDL_WaitEventTimeout(nullptr, static_cast<int>(std::min<uint32_t>(timeoutMs, INT32_MAX)));
    } else {
        SDL_Delay(timeoutMs);
    }
}

void winx_SetWaitHook(std::function<void(uint32_t)> hook) {
    WaitHook() = std::move(hook);
}

int winx_TranslateMessage(const winx_Msg* msg) {
    if (msg->message != WM_KEYDOWN) return 0;
    uint32_t c = 0;
    const bool ctrl = winx_GetKeyState(VK_CONTROL) != 0;
    switch (msg->wParam) {
        case VK_BACK:
            // Windows sends DEL for Ctrl+Backspace and a line feed for Ctrl+Enter.
            c = ctrl ? 127 : 8;
            break;
        case VK_TAB:
            c = 9;
            break;
        case VK_RETURN:
            c = ctrl ? 10 : 13;
            break;
        case VK_ESCAPE:
            c = 27;
            break;
        default:
            if (ctrl && msg->wParam >= 'A' && msg->wParam <= 'Z')
                c = static_cast<uint32_t>(msg->wParam - 'A' + 1);
            break;
    }
    if (c == 0 || winx_GetKeyState(VK_MENU)) return 0;
    // The character is the very next message, as Windows has it.
    State().messages.push_front(winx_Msg{WM_CHAR, c, 0});
    return 1;
}

intptr_t winx_DispatchMessage(const winx_Msg* msg) {
    MessageState& s = State();
    if (!s.proc) return 0;
    return s.proc(s.window, msg->message, msg->wParam, msg->lParam);
}

void winx_PostMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    Post(message, wParam, lParam);
}

void winx_PostQuitMessage(int exitCode) {
    State().quitPosted = true;
    State().quitCode = exitCode;
}

void winx_SetWindowProc(winx_HWND window, winx_WndProc proc) {
    State().window = window;
    State().proc = proc;
}

int winx_GetKeyState(uint32_t virtualKey) {
    return virtualKey < 256 && State().keysDown.test(virtualKey) ? 1 : 0;
}

void winx_ResetMessages() {
    State() = MessageState();
}

void winx_StartScriptedInput() {
    const char* path = std::getenv("QX_SCRIPT");
    if (!path || !*path) return;
    auto script = std::make_unique<winx_InputScript>();
    std::string error;
    if (!script->Load(path, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        std::exit(2);
    }
    State().script = std::move(script);
}

int winx_ScriptedInputActive() {
    return State().script ? 1 : 0;
}

int winx_TakeScriptedKeyPress(uint32_t waitedMs) {
    MessageState& s = State();
    if (!s.script) return 0;
    winx_AdvanceFixedClockBy(waitedMs);
    PollScript();
    for (auto it = s.messages.begin(); it != s.messages.end(); ++it) {
        if (it->message != WM_KEYDOWN && it->message != WM_SYSKEYDOWN) continue;
        it = s.messages.erase(it);
        // The key's character is the next one queued before another key goes down.
        for (; it != s.messages.end(); ++it) {
            if (it->message == WM_KEYDOWN || it->message == WM_SYSKEYDOWN) break;
            if (it->message == WM_CHAR) {
                s.messages.erase(it);
                break;
            }
        }
        return 1;
    }
    return 0;
}
