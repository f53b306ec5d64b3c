#include "platform/Window.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/Clock.h"

struct winx_Window {
    SDL_Window* sdl = nullptr;
    winx_WndProc proc = nullptr;
    bool destroyed = false;
};

namespace {

std::unique_ptr<winx_Window>& MainWindow() {
    static std::unique_ptr<winx_Window> window;
    return window;
}

}  // namespace

winx_HWND winx_CreateMainWindow(const char* title, winx_WndProc proc) {
    if (MainWindow()) return nullptr;
    winx_ResetMessages();
    // A bad clock setting or script ends the run here, before a window shows.
    winx_StartClock();
    winx_StartScriptedInput();
    // Nearest-neighbour scaling of the 640 x 480 picture.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        std::fprintf(stderr, "Quarnex: cannot start the window system: %s\n", SDL_GetError());
        return nullptr;
    }
    SDL_Window* sdl =
        SDL_CreateWindow(title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, kWinxScreenWidth,
                         kWinxScreenHeight, SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_SHOWN);
    if (!sdl) {
        std::fprintf(stderr, "Quarnex: cannot create the window: %s\n", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        return nullptr;
    }
    auto window = std::make_unique<winx_Window>();
    window->sdl = sdl;
    window->proc = proc;
    SDL_StartTextInput();
    winx_SetWindowProc(window.get(), proc);
    MainWindow() = std::move(window);
    return MainWindow().get();
}

void winx_DestroyWindow(winx_HWND window) {
    if (!window || window->destroyed) return;
    window->destroyed = true;
    if (window->sdl) SDL_HideWindow(window->sdl);
    if (window->proc) window->proc(window, WM_DESTROY, 0, 0);
}

void winx_ReleaseMainWindow() {
    std::unique_ptr<winx_Window>& window = MainWindow();
    if (!window) return;
    winx_SetWindowProc(nullptr, nullptr);
    SDL_DestroyWindow(window->sdl);
    window.reset();
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    winx_ResetMessages();
}

void winx_BringWindowToFront(winx_HWND window) {
    if (window && window->sdl && !window->destroyed) SDL_RaiseWindow(window->sdl);
}

void winx_ShowCursor(int show) {
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

intptr_t winx_DefWindowProc(winx_HWND window, uint32_t message, uintptr_t, intptr_t) {
    if (message == WM_CLOSE) winx_DestroyWindow(window);
    return 0;
}

int winx_HeadlessVideo() {
    const char* driver = SDL_WasInit(SDL_INIT_VIDEO) ? SDL_GetCurrentVideoDriver() : nullptr;
    if (!driver) driver = std::getenv("SDL_VIDEODRIVER");
    if (!driver) return 0;
    return (SDL_strcasecmp(driver, "dummy") == 0 || SDL_strcasecmp(driver, "offscreen") == 0) ? 1
                                                                                              : 0;
}

SDL_Window* winx_SdlWindow() {
    return MainWindow() ? MainWindow()->sdl : nullptr;
}

SDL_Window* winx_SdlWindowOf(winx_HWND window) {
    return window ? window->sdl : winx_SdlWindow();
}
