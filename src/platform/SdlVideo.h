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
    // Whether the window's output or the logical size changed since the last Show, so that
    // what the window shows must be drawn afresh even for an unchanged page.
    bool OutputChanged() const;
    // How many pages went to the window.
    int32_t Presents() const { return presents; }
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
    int32_t presents = 0;
    // The sizes the borders were last cleared for, and how many more presents clear them (the
    // renderer may keep two or three buffers, each with its own borders).
    int outputW = -1, outputH = -1, logicalW = -1, logicalH = -1;
    int clears = 0;
    // Something else (a movie) presented through the renderer since the last Show.
    bool overdrawn = false;
    friend void winx_NoteForeignPresent();
};

// Converts width x height 8-bit pixels into 32-bit ARGB through the palette.
void winx_ConvertPage(const uint8_t* pixels, int pitch, const uint32_t* argbPalette, int width,
                      int height, uint32_t* out, int outPitchBytes);

// The renderer of the live video output, for the movie player; null when there is none.
SDL_Renderer* winx_Renderer();
// Tells the live video output that someone else presented through its renderer, so that its
// next page goes to the window even when it equals the last one.
void winx_NoteForeignPresent();
