#pragma once
// Checks of text drawn on the display: whether a box shows exactly a text, the ink a text
// leaves, and what is wrong with the names of a unit panel. They walk whole pages pixel by
// pixel, so they live in the support library, which keeps its build's optimisation.
#include <cstdint>
#include <string>
#include <vector>

#include "core/MemoryDisplay.h"
#include "core/Rect.h"
#include "core/TextWriter.h"

// Whether a box of the display's back page (corners inclusive) shows exactly a text written by a
// font at a point: its pixels of the text's colour are the ones the font covers drawing it
// there, and there are some. The box is wiped in the look, so ask it last in a frame.
bool ShowsText(MemoryDisplay& display, TextWriter& font, Point at, const std::string& text,
               int colour, int x0, int y0, int x1, int y1);

// The ink a text leaves when a font writes it unclipped, as a count of pixels: written on the
// display's back page (which it wipes), so ask it between frames.
int TextInk(MemoryDisplay& display, TextWriter& font, const std::string& text);

// A box of a picture, corners inclusive.
struct PanelBox {
    int x0, y0, x1, y1;
};

// The unit panel drawn for one design several times over: `ground` without the chassis
// picture and parts, `hull` with the chassis picture alone, and for each hardpoint h its part
// alone with its name (`named[h]`, the name `texts[h]`) and without it (`pictured[h]`). Each is
// a whole panel bitmap with the given row stride.
struct UnitPanelShot {
    std::vector<uint8_t> ground, hull;
    std::vector<std::vector<uint8_t>> named, pictured;
    std::vector<std::string> texts;
};

// What is wrong with the names of a unit panel shot, else "": a name cut by the picture box
// (fewer of its pixels drawn than the font writes), or a name whose box (its ink's bounds, one
// pixel wider all round) holds a pixel of the chassis picture, of any part's picture, or of
// another name.
std::string UnitPanelProblem(const UnitPanelShot& shot, int stride, const PanelBox& box,
                             MemoryDisplay& display, TextWriter& font);
