#pragma once
// Shows an 8-bit page in the main window: each pixel goes through a 256-entry ARGB palette
// into a streaming texture that the renderer scales into the window and presents.
#include <cstdint>

struct SDL_Renderer;
struct SDL_Texture;
struct SDL_Window;

class winx_SdlVideo {
public:
    // A renderer and a width x height streaming texture for the window; Ok() tells whether
    // both could be made.
    winx_SdlVideo(SDL_Window* window, int width, int height);
    winx_SdlVideo(const winx_SdlVideo&) = delete;
    winx_SdlVideo& operator=(const winx_SdlVideo&) = delete;
    ~winx_SdlVideo();

    bool Ok() const { return renderer && texture; }
    // Converts the page through the palette and presents it; false when SDL fails.
    bool Show(const uint8_t* pixels, int pitch, const uint32_t* argbPalette);
    // The window's refresh rate in Hz (60 when the system does not say).
    int RefreshRate() const { return refreshRate; }
    SDL_Renderer* Renderer() const { return renderer; }

private:
    SDL_Renderer* renderer = nullptr;
    bool ownsRenderer = false;
    SDL_Texture* texture = nullptr;
    int width;
    int height;
    int refreshRate = 60;
};

// Converts width x height 8-bit pixels into 32-bit ARGB through the palette.
void winx_ConvertPage(const uint8_t* pixels, int pitch, const uint32_t* argbPalette, int width,
                      int height, uint32_t* out, int outPitchBytes);

// The renderer of the live video output, for the movie player; null when there is none.
SDL_Renderer* winx_Renderer();
