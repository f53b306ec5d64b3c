#include "platform/SdlVideo.h"

#include <cstddef>

#include <SDL.h>

namespace {
// The one live output, so the movie player can draw through the same renderer.
winx_SdlVideo* liveVideo = nullptr;
}  // namespace

winx_SdlVideo::winx_SdlVideo(SDL_Window* window, int width, int height)
    : width(width), height(height) {
    if (!window) return;
    renderer = SDL_GetRenderer(window);
    if (!renderer) {
        renderer = SDL_CreateRenderer(window, -1, 0);
        ownsRenderer = renderer != nullptr;
    }
    if (!renderer) return;
    SDL_RenderSetLogicalSize(renderer, width, height);
    texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                width, height);
    SDL_DisplayMode mode;
    int index = SDL_GetWindowDisplayIndex(window);
    if (index >= 0 && SDL_GetCurrentDisplayMode(index, &mode) == 0 && mode.refresh_rate > 0) {
        refreshRate = mode.refresh_rate;
    }
    liveVideo = this;
}

winx_SdlVideo::~winx_SdlVideo() {
    if (liveVideo == this) liveVideo = nullptr;
    if (texture) SDL_DestroyTexture(texture);
    // A renderer found on the window belongs to whoever made it.
    if (ownsRenderer) SDL_DestroyRenderer(renderer);
}

void winx_ConvertPage(const uint8_t* pixels, int pitch, const uint32_t* argbPalette, int width,
                      int height, uint32_t* out, int outPitchBytes) {
    for (int y = 0; y < height; ++y) {
        const uint8_t* src = pixels + static_cast<ptrdiff_t>(y) * pitch;
        uint32_t* dst = reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(out) +
                                                    static_cast<ptrdiff_t>(y) * outPitchBytes);
        for (int x = 0; x < width; ++x)
            dst[x] = argbPalette[src[x]];
    }
}

bool winx_SdlVideo::Show(const uint8_t* pixels, int pitch, const uint32_t* argbPalette) {
    if (!Ok()) return false;
    void* target = nullptr;
    int targetPitch = 0;
    if (SDL_LockTexture(texture, nullptr, &target, &targetPitch) != 0) return false;
    winx_ConvertPage(pixels, pitch, argbPalette, width, height, static_cast<uint32_t*>(target),
                     targetPitch);
    SDL_UnlockTexture(texture);
    // The copy covers the whole logical area; only the letterbox borders need clearing, and
    // they stay black until a size changes.
    if (OutputChanged()) {
        overdrawn = false;
        SDL_GetRendererOutputSize(renderer, &outputW, &outputH);
        SDL_RenderGetLogicalSize(renderer, &logicalW, &logicalH);
        clears = 3;
    }
    if (clears > 0) {
        if (SDL_RenderClear(renderer) != 0) return false;
        --clears;
    }
    if (SDL_RenderCopy(renderer, texture, nullptr, nullptr) != 0) return false;
    SDL_RenderPresent(renderer);
    ++presents;
    return true;
}

bool winx_SdlVideo::OutputChanged() const {
    if (!Ok()) return false;
    int w = 0, h = 0, lw = 0, lh = 0;
    SDL_GetRendererOutputSize(renderer, &w, &h);
    SDL_RenderGetLogicalSize(renderer, &lw, &lh);
    return overdrawn || w != outputW || h != outputH || lw != logicalW || lh != logicalH;
}

void winx_NoteForeignPresent() {
    if (liveVideo) liveVideo->overdrawn = true;
}

SDL_Renderer* winx_Renderer() {
    return liveVideo ? liveVideo->Renderer() : nullptr;
}
