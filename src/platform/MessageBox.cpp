#include "platform/MessageBox.h"

#include <SDL.h>

#include "platform/Window.h"

void winx_MessageBox(winx_HWND window, const char* text, const char* caption, unsigned) {
    SDL_Window* sdl = winx_SdlWindow();
    if (!window || !sdl || winx_HeadlessVideo()) return;
    // One OK button whatever the style asks: the answer changes nothing for the caller.
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, sdl);
}
