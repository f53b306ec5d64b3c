#pragma once
// Whether a box of the display's back page (corners inclusive) shows exactly a text written by a
// font at a point: its pixels of the text's colour are the ones the font covers drawing it
// there, and there are some. The box is wiped in the look, so ask it last in a frame.
#include <string>
#include <vector>

#include "core/MemoryDisplay.h"
#include "core/Rect.h"
#include "core/TextWriter.h"

inline bool ShowsText(MemoryDisplay& display, TextWriter& font, Point at, const std::string& text,
                      int colour, int x0, int y0, int x1, int y1) {
    uint8_t* page = display.BackPage();
    std::vector<bool> shown;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            shown.push_back(page[y * 640 + x] == colour);
            page[y * 640 + x] = colour == 0 ? 1 : 0;
        }
    display.SetClipRect(Rect(Point(0, 0), Size(640, 480)));
    font.DrawText(at, text.c_str(), colour);
    size_t i = 0;
    int ink = 0;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const bool inked = page[y * 640 + x] == colour;
            ink += inked;
            if (shown[i++] != inked) return false;
        }
    return ink > 0;
}
