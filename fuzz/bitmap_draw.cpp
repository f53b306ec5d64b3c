// Decodes arbitrary bytes as a stored picture and draws it every way the game can: both
// placements, every zoom and effect, partly and wholly clipped, into the back buffer and into a
// small redirected picture.
#include <cstddef>
#include <cstdint>

#include "core/Bitmap.h"
#include "core/ByteTable256.h"
#include "core/MemoryDisplay.h"
#include "core/ShadeTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static MemoryDisplay* screen = new MemoryDisplay();
    static ShadeTable shade;
    static ByteTable256 blend;
    Bitmap picture(data, size);
    Bitmap canvas(Size(37, 23));
    const Point points[] = {Point(320, 240), Point(-20, -20), Point(630, 470), Point(5, 300)};
    const Rect clips[] = {Rect(Point(0, 0), Size(640, 480)), Rect(Point(600, 400), Size(100, 100)),
                          Rect(Point(-50, -50), Size(70, 70))};
    for (int zoom = 0; zoom < 4; ++zoom) {
        ImageZoom = zoom;
        for (const Rect& clip : clips) {
            screen->SetClipRect(clip);
            for (const Point& p : points) {
                picture.Draw(p);
                picture.DrawAt(p);
                picture.DrawTinted(p, shade, zoom & 1);
                picture.DrawBlended(p, blend);
                picture.DrawShadeFilled(p, 0);
                picture.DrawShadeFilledAt(p, 7);
                picture.DrawShaded(p, shade);
                picture.DrawSilhouette(p, 9, zoom == 2);
            }
        }
        if (canvas.RedirectDrawing()) {
            picture.Draw(Point(10, 10));
            picture.DrawShaded(Point(30, 20), shade);
            screen->ClearRedirect();
        }
    }
    ImageZoom = 0;
    screen->ResetClipRect();
    return 0;
}
