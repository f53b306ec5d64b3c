#pragma once
// The platform-free half of the display device: clip rectangle, frame-buffer access and its
// redirection, the software cursor's state and save-under buffer, line drawing and the screen
// shake. The one display registers itself in `display` while it exists.
#include <cstdint>
#include <memory>
#include <vector>

#include "core/Point.h"
#include "core/Rect.h"
#include "core/Size.h"

class Image;
class Palette;
class SpriteSet;

class DisplayBase {
public:
    static constexpr int32_t kScreenWidth = 640;
    static constexpr int32_t kScreenHeight = 480;
    static constexpr int32_t kSaveWidth = 40;
    static constexpr int32_t kSaveHeight = 40;

    DisplayBase();
    DisplayBase(const DisplayBase&) = delete;
    DisplayBase& operator=(const DisplayBase&) = delete;
    virtual ~DisplayBase();

    // Base: draws the cursor into the frame buffer.
    virtual void Present();
    virtual void UpdateCursor() {}
    // Installs the palette; the display owns it from now on (installing the installed one
    // again only re-sends it).
    virtual void SetPalette(Palette* palette);
    void ReleaseFrameBuffer();
    virtual void Idle() {}
    void DrawLine(int32_t colour, int32_t width, const Point& from, const Point& to);
    void DrawDashedLine(int32_t colour, int32_t width, int32_t dash, int32_t gap, int32_t phase,
                        const Point& from, const Point& to);
    virtual void SetClipRect(const Rect& rect) { clip = rect; }
    // The all-zero rectangle: nothing is drawn until the next SetClipRect.
    virtual void ResetClipRect() { clip = Rect(); }
    virtual Rect GetClipRect() const { return clip; }
    virtual int QueryNothing() { return 0; }
    virtual void ForgetObject(void* /*object*/) {}
    virtual int SetDisplayMode(int width, int height, int bitsPerPixel);
    virtual void Suspend() {}
    virtual void Resume() {}
    virtual void LockBackBuffer() {}
    virtual void UnlockBackBuffer() {}
    // At shut-down: the captures requested before the quit are written from the last frame.
    virtual void WritePendingCaptures() {}
    // Checked once per active frame by the main loop; the platform display repairs lost pages.
    virtual void RestoreLostSurfaces() {}

    // The memory every drawing routine writes into: the redirect target when one is set, else
    // the back buffer, locked once for any number of nested requests.
    void GetFrameBuffer(uint8_t*& pixels, Size& size, int32_t& pitch);
    void SetRedirect(uint8_t* pixels, const Size& size, int32_t pitch);
    void ClearRedirect() { redirectPixels = nullptr; }

    // Loads the cursor shapes (one per pack row) and selects shape 0.
    void SetCursorImage(const char* packName);
    // Takes ownership of ready-made cursor shapes (a set of sets) and selects shape 0.
    void SetCursorImage(std::unique_ptr<SpriteSet> shapes);
    // Draws the current cursor frame centred on the cursor position, at 1:1.
    void DrawCursor();
    // Clears both pages to the fill colour (two fills, two presents).
    void RedrawAll();

    Palette* GetPalette() const { return palette.get(); }
    int32_t LockCount() const { return lockCount; }
    Point SavePosition() const { return savePosition; }

    Point cursorPosition;
    // 0 while no mouse move has told where the mouse is: no cursor is drawn and no screen is
    // told of one. The program's display starts so; a display made alone draws where it is
    // told.
    int32_t cursorPlaced = 1;
    int32_t cursorShape = 0;
    int32_t cursorFrame = 0;
    int32_t shakeFlag = 0;
    int32_t shakePhase = 0;

protected:
    // The shape the cursor shows now, or null when it is hidden, not placed or out of range.
    Image* CurrentCursorShape();
    // The 40 x 40 box under the cursor, kept inside the screen.
    Point CursorBox() const;

    std::unique_ptr<Palette> palette;
    Rect clip;
    std::vector<uint8_t> saveBuffer;
    Point savePosition{-1, -1};
    Size saveSize{kSaveWidth, kSaveHeight};
    Point drawnPosition;
    uint8_t* lockedPixels = nullptr;
    Size lockedSize;
    int32_t lockedPitch = 0;
    int32_t lockCount = 0;
    uint8_t* redirectPixels = nullptr;
    Size redirectSize;
    int32_t redirectPitch = 0;
    std::unique_ptr<SpriteSet> cursorImage;
    // Read only by RedrawAll; nothing sets it.
    int32_t fillColour = 0;
};

// The one display, or null.
extern DisplayBase* display;
// Loads a row of the shared palette pack and hands it to the display, if there is one, which
// then redraws everything; a missing pack or row is fatal.
void InstallPackPalette(int32_t row);
// 1 while the display draws the cursor: the cursor code then neither re-enters itself nor
// pumps mouse moves.
extern int32_t cursorDrawing;
