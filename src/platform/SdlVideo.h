#pragma once
// Shows an 8-bit page in the main window. Each pixel goes through a 256-entry palette table
// built once per palette. On the software renderer, where the window keeps its pixels between
// presents, and at a scale that maps whole bands of page rows onto whole window rows (1.6x: 5
// rows become 8; no letterbox), the page is scaled straight into the window's pixels exactly as
// the renderer's nearest-pixel scaler would, and only the bands holding changed rows are
// written. Otherwise (other renderers, a letterbox, other scales, after a movie until the next
// whole page) the changed rows are converted into a streaming texture in the window's own
// format, which the renderer scales into the window whole.
#include <cstdint>
#include <vector>

struct SDL_Renderer;
struct SDL_Surface;
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

    bool Ok() const { return renderer && textureMade; }
    // Converts the page through the palette (32-bit 0xAARRGGBB entries) and presents it; false
    // when SDL fails. `changedRows`, when given, flags (non-zero) the rows that differ from the
    // page of the last Show; the others are taken as they stand. Null means every row. A new
    // palette converts every row afresh, unless `rowsCoverPalette` says the flags include every
    // row that shows a colour the palette changed.
    bool Show(const uint8_t* pixels, int pitch, const uint32_t* argbPalette,
              const uint8_t* changedRows = nullptr, bool rowsCoverPalette = false);
    // Whether the window's output or the logical size changed since the last Show, so that
    // what the window shows must be drawn afresh even for an unchanged page.
    bool OutputChanged() const;
    // How many pages went to the window, and how many of them were sent in part.
    int32_t Presents() const { return presents; }
    int32_t PartialPresents() const { return partialPresents; }
    // Lets pages go to the window in part (the default); off, every page is sent whole, as a
    // reference for the partial one.
    void AllowPartial(bool allow) { partialAllowed = allow; }
    // The window's refresh rate in Hz (60 when the system does not say).
    int RefreshRate() const { return refreshRate; }
    SDL_Renderer* Renderer() const { return renderer; }

private:
    // Whether the window keeps its pixels between presents and the scaling maps every band
    // of `bandRows` page rows onto whole window rows, exactly as the whole page maps them.
    bool WindowTakesBands() const;
    // The window's own pixels when the page can be scaled straight into them (the software
    // renderer, no letterbox, an exact scale, partial presents allowed); null otherwise.
    SDL_Surface* DirectSurface();
    // Scales page rows first .. last (whole scaling periods) through the palette into the
    // window rows they cover, as the renderer's nearest-pixel scaler would.
    void ScaleRows(const uint8_t* pixels, int pitch, int first, int last,
                   SDL_Surface* surface) const;

    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    bool ownsRenderer = false;
    // The texture the renderer scales; made at once (Ok tells whether it could be), given
    // back while pages go straight into the window.
    SDL_Texture* texture = nullptr;
    bool textureMade = false;
    uint32_t textureFormat = 0;
    int width;
    int height;
    int refreshRate = 60;
    int32_t presents = 0;
    int32_t partialPresents = 0;
    bool partialAllowed = true;
    bool softwareRenderer = false;
    // Page rows per band that lands on whole window rows (5 at 1.6x), 0 when none does.
    int bandRows = 0;
    // The palette the texture's pixels were converted with, and its table in the texture's
    // format; the texture holds nothing until the first Show.
    uint32_t shownArgb[256] = {};
    uint32_t native[256] = {};
    bool textureFilled = false;
    bool paletteKnown = false;
    // The window's pixels hold the last page, scaled straight into them; their format and the
    // palette's table in it; the page column of every window column.
    bool windowFilled = false;
    uint32_t surfaceFormat = 0;
    uint32_t surfaceNative[256] = {};
    uint64_t surfaceDoubled[256] = {};  // each entry twice, for pixels the scaling repeats
    std::vector<uint16_t> columnOf;
    // The leading groups of eight window columns that show five page columns each in the
    // 1.6x pattern, scaled without the converted row in between.
    int fiveToEightGroups = 0;
    // The sizes the borders were last cleared for, and how many more presents clear them (the
    // renderer may keep two or three buffers, each with its own borders).
    int outputW = -1, outputH = -1, logicalW = -1, logicalH = -1;
    int clears = 0;
    // Something else (a movie) presented through the renderer since the last Show.
    bool overdrawn = false;
    friend void winx_NoteForeignPresent();
};

// Converts width x height 8-bit pixels into 32-bit pixels through the palette.
void winx_ConvertPage(const uint8_t* pixels, int pitch, const uint32_t* argbPalette, int width,
                      int height, uint32_t* out, int outPitchBytes);

// Reads what the renderer's window shows, as 0xAARRGGBB pixels row after row, into `out`
// (resized to width x height); false when it cannot be read. For tests and benchmarks that
// compare a partial present with a whole one.
bool winx_ReadWindowPixels(SDL_Renderer* renderer, std::vector<uint32_t>& out, int& width,
                           int& height);

// The renderer of the live video output, for the movie player; null when there is none.
SDL_Renderer* winx_Renderer();
// Tells the live video output that someone else presented through its renderer, so that its
// next page goes to the window even when it equals the last one.
void winx_NoteForeignPresent();
