// The picture check of every screen in the real program on the sample set: with the pointer
// parked off the controls, each control the screen's layout names shows a face or a caption in
// its rectangle in its normal state, texts stay inside their boxes, and the battle's bottom rows
// show the order strip. The rectangles are the screens' own layout (corners inclusive); the
// cursor's box is left out of every look.
#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "screens/EndToEndGame.h"

namespace {

struct Corners {
    int x0, y0, x1, y1;
};

// A control: the capture it is checked in, its name, its rectangle, and how far in from the
// rectangle's edge its face must show something besides its fill (0: the frame counts).
struct Control {
    const char* capture;
    const char* name;
    Corners box;
    int inset;
};

// clang-format off
const Control kControls[] = {
    // Main menu: the eight items, 208 x 20 at x 219 (a disabled item shows its own picture).
    {"menu", "tutorial", {219, 105, 426, 124}, 3},
    {"menu", "design vehicles", {219, 141, 426, 160}, 3},
    {"menu", "new campaign", {219, 177, 426, 196}, 3},
    {"menu", "load game", {219, 213, 426, 232}, 3},
    {"menu", "skirmish", {219, 249, 426, 268}, 3},
    {"menu", "join network game", {219, 285, 426, 304}, 3},
    {"menu", "host network game", {219, 321, 426, 340}, 3},
    {"menu", "exit", {219, 357, 426, 376}, 3},
    // Set-up screen (skirmish: every group on).
    {"setup", "clan V", {248, 162, 266, 179}, 0},
    {"setup", "clan T", {248, 194, 266, 211}, 0},
    // A swatch's face is its colour: looked at with the dark ground about it.
    {"setup", "colour 1", {193, 274, 254, 304}, 0},
    {"setup", "colour 2", {259, 274, 320, 304}, 0},
    {"setup", "colour 3", {325, 274, 385, 304}, 0},
    {"setup", "colour 4", {392, 274, 451, 304}, 0},
    {"setup", "back", {239, 323, 277, 350}, 3},
    {"setup", "start", {376, 318, 400, 352}, 3},
    {"setup", "enemies 1", {254, 36, 295, 58}, 3},
    {"setup", "enemies 2", {300, 36, 340, 58}, 3},
    {"setup", "enemies 3", {346, 36, 386, 58}, 3},
    {"setup", "difficulty track", {247, 65, 399, 91}, 3},
    {"setup", "tech track", {507, 172, 610, 198}, 3},
    {"setup", "resources track", {507, 308, 610, 334}, 3},
    {"setup", "artifacts", {504, 219, 522, 236}, 0},
    // Battle with the build panel open.
    {"battle-build", "design", {573, 67, 637, 89}, 3},
    {"battle-build", "units", {512, 67, 573, 89}, 3},
    {"battle-build", "options", {573, 46, 637, 67}, 3},
    {"battle-build", "build", {582, 344, 639, 368}, 3},
    {"battle-build", "design groups", {527, 255, 624, 270}, 3},
    // The close button's rectangle is (512, 46)-(573, 89); its lower half is the unit button's.
    {"battle-build", "close build panel", {512, 46, 573, 66}, 3},
    {"battle-build", "strip toggle", {490, 383, 511, 447}, 3},
    {"battle-build", "destroy", {8, 448, 68, 472}, 3},
    {"battle-build", "special action", {75, 448, 138, 472}, 3},
    {"battle-build", "guard", {145, 448, 210, 472}, 3},
    {"battle-build", "to factory", {216, 448, 280, 472}, 3},
    {"battle-build", "repair", {288, 448, 351, 472}, 3},
    {"battle-build", "show markers", {356, 448, 422, 472}, 3},
    {"battle-build", "centre on factory", {429, 448, 494, 472}, 3},
    {"battle-build", "track", {500, 448, 564, 472}, 3},
    {"battle-build", "pause", {572, 448, 632, 472}, 3},
    // Battle with the build panel closed.
    {"battle-map", "design", {573, 67, 637, 89}, 3},
    {"battle-map", "units", {512, 67, 573, 89}, 3},
    {"battle-map", "options", {573, 46, 637, 67}, 3},
    {"battle-map", "open build panel", {512, 46, 573, 66}, 3},
    {"battle-map", "mini-map scale", {558, 292, 588, 322}, 3},
    {"battle-map", "zoom", {518, 292, 543, 322}, 3},
    {"battle-map", "next tab", {599, 292, 628, 322}, 3},
    {"battle-map", "pause", {572, 448, 632, 472}, 3},
    // The unit panel: one unit selected, then several, with the standing-orders page chosen.
    {"unit-one", "units", {512, 67, 573, 89}, 3},
    {"unit-one", "standing page", {0, 25, 117, 88}, 3},
    {"unit-one", "repair page", {0, 106, 117, 169}, 3},
    {"unit-one", "pursuit page", {0, 186, 117, 249}, 3},
    {"unit-one", "fire page", {0, 258, 117, 321}, 3},
    {"unit-one", "standing row 1", {167, 338, 450, 358}, 0},
    {"unit-one", "standing row 2", {167, 301, 450, 321}, 0},
    {"unit-one", "standing row 3", {167, 247, 450, 283}, 0},
    {"unit-one", "standing row 4", {167, 194, 450, 230}, 0},
    {"unit-one", "standing row 5", {167, 158, 450, 178}, 0},
    {"unit-several", "units", {512, 67, 573, 89}, 3},
    {"unit-several", "standing page", {0, 25, 117, 88}, 3},
    {"unit-several", "repair page", {0, 106, 117, 169}, 3},
    {"unit-several", "pursuit page", {0, 186, 117, 249}, 3},
    {"unit-several", "fire page", {0, 258, 117, 321}, 3},
    {"unit-several", "standing row 1", {167, 338, 450, 358}, 0},
    {"unit-several", "standing row 2", {167, 301, 450, 321}, 0},
    {"unit-several", "standing row 3", {167, 247, 450, 283}, 0},
    {"unit-several", "standing row 4", {167, 194, 450, 230}, 0},
    {"unit-several", "standing row 5", {167, 158, 450, 178}, 0},
    // The options overlay over the battle.
    {"options", "save game", {269, 101, 386, 122}, 3},
    {"options", "quit to menu", {269, 150, 386, 171}, 3},
    {"options", "restart", {269, 182, 386, 202}, 3},
    {"options", "mission text", {269, 214, 386, 235}, 3},
    {"options", "music", {269, 246, 386, 267}, 3},
    // The mission text dialog, and the network screen that shares its picture.
    {"mission-text", "back", {238, 246, 277, 275}, 3},
    {"mission-text", "ok", {376, 242, 399, 278}, 3},
    {"join", "cancel", {238, 246, 277, 275}, 3},
    {"join", "ok", {376, 242, 399, 278}, 3},
    {"host", "cancel", {238, 246, 277, 275}, 3},
    {"host", "ok", {376, 242, 399, 278}, 3},
    // The results screen, with the high-score table over it once the count is done.
    {"results", "ok", {508, 372, 553, 442}, 3},
    {"scores", "ok", {508, 372, 553, 442}, 3},
    {"scores", "save name", {441, 256, 465, 291}, 3},
    // The design screen from the menu: the categories, the panel tabs and the leave button.
    {"design", "chassis", {0, 6, 113, 63}, 3},
    {"design", "drives", {0, 66, 112, 123}, 3},
    {"design", "weapons", {0, 126, 112, 182}, 3},
    {"design", "defence", {0, 186, 112, 242}, 3},
    {"design", "stealth", {0, 246, 112, 302}, 3},
    {"design", "sensors", {0, 306, 112, 362}, 3},
    {"design", "special", {0, 366, 112, 422}, 3},
    {"design", "library panel", {1, 438, 157, 478}, 3},
    {"design", "parts panel", {160, 438, 317, 478}, 3},
    {"design", "settings panel", {321, 438, 478, 478}, 3},
    {"design", "leave", {481, 439, 636, 478}, 3},
    // Its library panel.
    {"library", "new design", {143, 400, 207, 427}, 3},
    {"library", "delete design", {208, 400, 272, 427}, 3},
    {"library", "add to group", {287, 224, 345, 274}, 3},
    {"library", "drop from group", {288, 281, 349, 332}, 3},
    {"library", "new group", {368, 403, 427, 425}, 3},
    {"library", "delete group", {432, 403, 491, 425}, 3},
    {"library", "open group", {524, 255, 588, 323}, 3},
    // The load-game screen with the game saved in the skirmish: framed buttons.
    {"load", "back", {211, 314, 251, 343}, 0},
    {"load", "delete", {285, 314, 354, 343}, 0},
    {"load", "load", {394, 314, 422, 343}, 0},
};
// clang-format on

// Where the pointer rests in each capture, off every control.
const std::map<std::string, std::pair<int, int>> kPointer = {
    {"menu", {20, 440}},
    {"setup", {20, 440}},
    {"battle-build", {300, 240}},
    {"battle-map", {300, 240}},
    {"battle-producing", {300, 240}},
    {"unit-one", {140, 400}},
    {"unit-several", {140, 400}},
    {"options", {60, 420}},
    {"mission-text", {300, 120}},
    {"join", {320, 440}},
    {"host", {320, 440}},
    {"join-typed", {320, 440}},
    {"join-entered", {320, 440}},
    {"status", {300, 240}},
    {"unit-nopage", {140, 400}},
    {"results", {20, 200}},
    {"scores", {20, 200}},
    {"saved", {20, 200}},
    {"design", {300, 300}},
    {"library", {300, 140}},
    {"load", {20, 460}},
    {"mounted", {300, 300}},
    {"question", {300, 140}},
    {"answered", {300, 140}},
};

using Pixels = std::vector<uint8_t>;

uint32_t At(const Pixels& p, int x, int y) {
    const size_t i = (static_cast<size_t>(y) * 640 + x) * 3;
    return static_cast<uint32_t>(p[i]) << 16 | static_cast<uint32_t>(p[i + 1]) << 8 | p[i + 2];
}

// The cursor picture is drawn in a 40 x 40 box about the pointer.
bool UnderCursor(const std::string& capture, int x, int y) {
    const auto& [px, py] = kPointer.at(capture);
    return x >= px - 20 && x < px + 40 && y >= py - 20 && y < py + 40;
}

// A face: one fill over most of the rectangle's inside, and at least a few pixels of caption
// or frame in another colour. Terrain under a missing face has no such fill, a plate without its
// face no such caption.
std::string FaceProblem(const Pixels& p, const std::string& capture, const Corners& b, int inset) {
    std::map<uint32_t, int> counts;
    int area = 0;
    for (int y = b.y0 + inset; y <= b.y1 - inset; ++y) {
        for (int x = b.x0 + inset; x <= b.x1 - inset; ++x) {
            if (UnderCursor(capture, x, y)) continue;
            ++counts[At(p, x, y)];
            ++area;
        }
    }
    if (area == 0) return "the cursor covers it";
    int fill = 0;
    for (const auto& [colour, n] : counts)
        fill = std::max(fill, n);
    const int ink = area - fill;
    if (fill * 100 < area * 40)
        return "no face: its most common colour covers " + std::to_string(fill * 100 / area) + "%";
    if (ink < 6) return "no caption: " + std::to_string(ink) + " pixels besides the fill";
    return "";
}

// Every pixel of the rectangle that is not in one of the holes has the rectangle's corner
// colour: nothing (text) is drawn there.
std::string StrayPixel(const Pixels& p, const std::string& capture, const Corners& area,
                       const std::vector<Corners>& holes) {
    const uint32_t fill = At(p, area.x0, area.y0);
    for (int y = area.y0; y <= area.y1; ++y) {
        for (int x = area.x0; x <= area.x1; ++x) {
            if (UnderCursor(capture, x, y)) continue;
            bool inHole = false;
            for (const Corners& h : holes)
                inHole = inHole || (x >= h.x0 && x <= h.x1 && y >= h.y0 && y <= h.y1);
            if (!inHole && At(p, x, y) != fill)
                return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
        }
    }
    return "";
}

// How many colours a box shows.
size_t Colours(const Pixels& p, const Corners& b) {
    std::map<uint32_t, int> seen;
    for (int y = b.y0; y <= b.y1; ++y) {
        for (int x = b.x0; x <= b.x1; ++x)
            ++seen[At(p, x, y)];
    }
    return seen.size();
}

// A frame line drawn round `frame` (corners inclusive) stands whole in one colour, and the row
// of pixels inside it is one other colour: nothing written inside touches the line. What is
// wrong, else "".
std::string TouchedFrame(const Pixels& p, const Corners& frame) {
    auto ring = [&](const Corners& r, uint32_t& colour) -> std::string {
        colour = At(p, r.x0, r.y0);
        for (int y = r.y0; y <= r.y1; ++y) {
            for (int x = r.x0; x <= r.x1; ++x) {
                const bool edge = x == r.x0 || x == r.x1 || y == r.y0 || y == r.y1;
                if (edge && At(p, x, y) != colour)
                    return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
            }
        }
        return "";
    };
    uint32_t line = 0, inside = 0;
    const std::string broken = ring(frame, line);
    if (!broken.empty()) return "the line at " + broken;
    const std::string touched =
        ring({frame.x0 + 1, frame.y0 + 1, frame.x1 - 1, frame.y1 - 1}, inside);
    if (!touched.empty()) return "ink beside the line at " + touched;
    if (inside == line) return "no line";
    return "";
}

// Whether a box shows a pixel of the colour.
bool Shows(const Pixels& p, const Corners& b, uint32_t colour) {
    for (int y = b.y0; y <= b.y1; ++y) {
        for (int x = b.x0; x <= b.x1; ++x)
            if (At(p, x, y) == colour) return true;
    }
    return false;
}

// The widest run of columns without ink (pixels unlike the box's top right one) between inked
// columns of a box.
int WidestGap(const Pixels& p, int x0, int x1, int y0, int y1) {
    const uint32_t ground = At(p, x1, y0);
    int widest = 0, run = 0;
    bool inked = false;
    for (int x = x0; x <= x1; ++x) {
        bool ink = false;
        for (int y = y0; y <= y1; ++y)
            ink = ink || At(p, x, y) != ground;
        if (ink) {
            if (inked) widest = std::max(widest, run);
            inked = true;
            run = 0;
        } else {
            ++run;
        }
    }
    return widest;
}

// The strip's plate fills its rows below the buttons and the gaps between them.
std::string StripProblem(const Pixels& p) {
    const uint32_t plate = At(p, 2, 476);
    int below = 0;
    for (int y = 474; y <= 478; ++y) {
        for (int x = 0; x < 640; ++x)
            below += At(p, x, y) == plate;
    }
    if (below * 100 < 5 * 640 * 90) return "rows 474-478 are not one plate";
    for (int y = 450; y <= 470; ++y) {
        for (int x : {2, 71, 141, 213, 284, 353, 425, 497, 568}) {
            if (At(p, x, y) != plate)
                return "the gap at (" + std::to_string(x) + ", " + std::to_string(y) +
                       ") is not the plate";
        }
    }
    return "";
}

// The standing-orders page's radio knobs (19 x 18 at the row's point): how many of them show a
// choice, that is, look unlike the most common look among them.
int ChosenKnobs(const Pixels& p) {
    const int rows[] = {339, 303, 249, 195, 159};
    std::map<std::vector<uint32_t>, int> looks;
    std::vector<std::vector<uint32_t>> knobs;
    for (int y0 : rows) {
        std::vector<uint32_t> look;
        for (int y = y0; y < y0 + 18; ++y) {
            for (int x = 169; x < 169 + 19; ++x)
                look.push_back(At(p, x, y));
        }
        ++looks[look];
        knobs.push_back(look);
    }
    int common = 0;
    for (const auto& [look, n] : looks)
        common = std::max(common, n);
    return static_cast<int>(knobs.size()) - common;
}

// The lines of a list's text that the question box cuts: in the list's columns x0 to x1 of the
// capture without the question, each run of rows holding light pixels (the text, on the list's
// dark ground and its highlight bar) is a line; a line the question covers must be covered
// whole. Returns the first line cut, else "", and counts the lines covered whole and left whole.
std::string CutLine(const Pixels& asked, const Pixels& plain, int x0, int x1, int y0, int y1,
                    int& covered, int& clear) {
    auto light = [](uint32_t c) { return (c >> 16) + (c >> 8 & 0xFF) + (c & 0xFF) > 384; };
    auto lined = [&](int y) {
        for (int x = x0; x <= x1; ++x) {
            if (light(At(plain, x, y))) return true;
        }
        return false;
    };
    auto under = [&](int y) {
        for (int x = x0; x <= x1; ++x) {
            if (At(asked, x, y) != At(plain, x, y)) return true;
        }
        return false;
    };
    for (int y = y0; y <= y1; ++y) {
        if (!lined(y)) continue;
        const int top = y;
        int hidden = 0, rows = 0;
        for (; y <= y1 && lined(y); ++y, ++rows)
            hidden += under(y) ? 1 : 0;
        if (hidden != 0 && hidden != rows)
            return "the line at rows " + std::to_string(top) + "-" + std::to_string(y - 1) +
                   " shows " + std::to_string(rows - hidden) + " of its " + std::to_string(rows) +
                   " rows";
        (hidden ? covered : clear)++;
    }
    return "";
}

// The labels on the right of the mounts panel's sockets (pixels of the label colour on the plate
// right of x 563, below the panel's title): each run of rows holding such pixels is one label,
// boxed one pixel wider all round. What shows in a label's box besides the label's colour and the
// plate's, else "".
std::string CoveredLabel(const Pixels& p, uint32_t plate, uint32_t label, int& labels) {
    constexpr int x0 = 563, x1 = 630, y0 = 48, y1 = 125;
    auto inked = [&](int y) {
        for (int x = x0; x <= x1; ++x) {
            if (At(p, x, y) == label) return true;
        }
        return false;
    };
    for (int y = y0; y <= y1; ++y) {
        if (!inked(y)) continue;
        Corners b{x1, y, x0, y};
        for (; y <= y1 && inked(y); ++y) {
            for (int x = x0; x <= x1; ++x) {
                if (At(p, x, y) != label) continue;
                b = {std::min(b.x0, x), b.y0, std::max(b.x1, x), y};
            }
        }
        ++labels;
        for (int ly = b.y0 - 1; ly <= b.y1 + 1; ++ly) {
            for (int lx = b.x0 - 1; lx <= b.x1 + 1; ++lx) {
                const uint32_t c = At(p, lx, ly);
                if (c != label && c != plate)
                    return "(" + std::to_string(lx) + ", " + std::to_string(ly) + ")";
            }
        }
    }
    return "";
}

const char kSkirmish[] =
    "move 20 440\n"
    "wait 300\n"
    "capture menu\n"
    "wait 100\n"
    "text \"o\"\n"
    "wait 300\n"
    "capture setup\n"
    "wait 100\n"
    "key RETURN\n"
    "wait 1000\n"
    "move 560 458\n"
    "wait 100\n"
    "click L 560 458\n"
    "await 3 20000\n"
    "move 300 240\n"
    "wait 500\n"
    "capture battle-build\n"
    "wait 100\n"
    "key P\n"
    "wait 1200\n"
    "capture battle-map\n"
    "wait 100\n"
    "move 613 307\n"
    "wait 100\n"
    "click L 613 307\n"
    "wait 100\n"
    "move 300 240\n"
    "wait 1200\n"
    "capture status\n"
    "wait 100\n"
    "move 613 307\n"
    "wait 100\n"
    "click L 613 307\n"
    "wait 100\n"
    "move 613 307\n"
    "wait 100\n"
    "click L 613 307\n"
    "wait 100\n"
    // Two units built, one of them found and its unit panel opened on the standing orders;
    // then every unit selected.
    "key P\n"
    "wait 300\n"
    "key B\n"
    "wait 100\n"
    "key B\n"
    // The first unit in production: the build button still shows its caption.
    "move 300 240\n"
    "wait 2000\n"
    "capture battle-producing\n"
    "wait 57900\n"
    "key P\n"
    "wait 300\n"
    "key N\n"
    "wait 300\n"
    "move 542 78\n"
    "wait 100\n"
    "click L 542 78\n"
    "wait 300\n"
    "move 140 400\n"
    "wait 300\n"
    "capture unit-nopage\n"
    "wait 100\n"
    "move 59 57\n"
    "wait 100\n"
    "click L 59 57\n"
    "wait 100\n"
    "move 140 400\n"
    "wait 300\n"
    "capture unit-one\n"
    "wait 100\n"
    "key A\n"
    "wait 300\n"
    "capture unit-several\n"
    "wait 100\n"
    "key ESCAPE\n"
    "wait 300\n"
    "move 60 420\n"
    "wait 300\n"
    "capture options\n"
    "wait 100\n"
    // Save the game from the overlay, for the load-game screen.
    "move 320 112\n"
    "wait 100\n"
    "click L 320 112\n"
    "wait 500\n"
    "key RETURN\n"
    "wait 500\n"
    "keydown CONTROL\n"
    "key Q\n"
    "keyup CONTROL\n"
    "await 2 5000\n"
    "wait 300\n"
    "text \"l\"\n"
    "wait 500\n"
    "move 20 460\n"
    "wait 300\n"
    "capture load\n"
    "wait 100\n"
    "key ESCAPE\n"
    "wait 300\n";

const char kCampaignAndNetwork[] =
    "move 322 295\n"
    "wait 200\n"
    "down L 322 295\n"
    "wait 100\n"
    "up L 322 295\n"
    "wait 100\n"
    "move 320 440\n"
    "wait 300\n"
    "capture join\n"
    "wait 100\n"
    "click L 320 208\n"
    "wait 100\n"
    "text \"abc\"\n"
    "wait 100\n"
    "move 320 440\n"
    "wait 300\n"
    "capture join-typed\n"
    "wait 100\n"
    // A click beside the field leaves it as it is, the address kept; Escape then leaves the
    // screen (Enter would connect).
    "click L 320 230\n"
    "wait 100\n"
    "move 320 440\n"
    "wait 300\n"
    "capture join-entered\n"
    "wait 100\n"
    "key ESCAPE\n"
    "wait 500\n"
    "move 322 331\n"
    "wait 200\n"
    "down L 322 331\n"
    "wait 100\n"
    "up L 322 331\n"
    "wait 100\n"
    "move 320 440\n"
    "wait 1000\n"
    "capture host\n"
    "wait 100\n"
    "key ESCAPE\n"
    "wait 500\n"
    "text \"s\"\n"
    "wait 300\n"
    "key RETURN\n"
    "wait 1000\n"
    "move 560 458\n"
    "wait 100\n"
    "click L 560 458\n"
    "await 3 20000\n"
    "wait 500\n"
    "key ESCAPE\n"
    "wait 300\n"
    "move 300 225\n"
    "wait 100\n"
    "click L 300 225\n"
    "wait 100\n"
    "move 300 120\n"
    "wait 100\n"
    "capture mission-text\n"
    "wait 100\n"
    "key ESCAPE\n"
    "wait 300\n"
    "keydown CONTROL\n"
    "key Q\n"
    "keyup CONTROL\n"
    "await 2 5000\n"
    "wait 300\n";

const char kResultsAndDesign[] = QX_E2E_SKIRMISH_FROM_MENU
    "wait 500\n"
    "destroy 2\n"
    "await 6 20000\n"
    "move 20 200\n"
    "wait 1500\n"
    "capture results\n"
    "wait 8000\n"
    "capture scores\n"
    "wait 100\n"
    "key RETURN\n"
    "wait 300\n"
    "capture saved\n"
    "wait 100\n"
    "key RETURN\n"
    "await 2 10000\n"
    "wait 300\n"
    "text \"d\"\n"
    "wait 300\n"
    "key RETURN\n"
    "await 5 3000\n"
    "move 300 300\n"
    "wait 500\n"
    "capture design\n"
    "wait 100\n"
    "move 78 458\n"
    "wait 100\n"
    "click L 78 458\n"
    "wait 100\n"
    "move 300 140\n"
    "wait 400\n"
    "capture library\n"
    "wait 100\n"
    // The second stored design changed on the parts panel: a weapon mounted on its upper
    // socket. Back in the library the question asks whether to keep the change; no keeps the
    // stored design.
    "move 200 216\n"
    "wait 100\n"
    "click L 200 216\n"
    "wait 300\n"
    "move 240 458\n"
    "wait 100\n"
    "click L 240 458\n"
    "wait 300\n"
    "move 55 154\n"
    "wait 100\n"
    "click L 55 154\n"
    "wait 300\n"
    "move 565 195\n"
    "wait 100\n"
    "click L 565 195\n"
    "wait 300\n"
    "move 553 63\n"
    "wait 100\n"
    "click L 553 63\n"
    "wait 300\n"
    "move 300 300\n"
    "wait 300\n"
    "capture mounted\n"
    "wait 100\n"
    // Renamed too, to a name of 30 characters, so that the question names two designs
    // (written higher in the box).
    "move 300 415\n"
    "wait 100\n"
    "click L 300 415\n"
    "wait 100\n"
    "key DELETE\n"
    "text \"Heavy Assault Destroyer Mark 2\"\n"
    "key RETURN\n"
    "wait 300\n"
    "move 78 458\n"
    "wait 100\n"
    "click L 78 458\n"
    "wait 300\n"
    "move 300 140\n"
    "wait 300\n"
    "capture question\n"
    "wait 300\n"
    "key ESCAPE\n"
    "wait 300\n"
    "capture answered\n"
    "wait 100\n"
    "text \"b\"\n"
    "wait 300\n"
    "text \"n\"\n"
    "await 2 3000\n"
    "wait 300\n";

using ScreenPictureCheck = e2e::EndToEndTest;

TEST_F(ScreenPictureCheck, EveryControlShowsItsFaceAndEveryTextStaysInItsBox) {
    // The most resources the set-up takes, so that its value is the widest it can be.
    game.WriteOptions(std::string(e2e::kMoviesOff) + "RESOURCES=9900\n");
    ASSERT_EQ(game.Run(e2e::kToMenu + std::string(kSkirmish) + e2e::kOutFromMenu), 0)
        << game.Errors();
    std::map<std::string, Pixels> captures;
    for (const char* name :
         {"menu", "setup", "battle-build", "battle-producing", "battle-map", "status",
          "unit-nopage", "unit-one", "unit-several", "options", "load"})
        captures[name] = game.CapturePixels(name);
    ASSERT_EQ(game.Run(e2e::kToMenu + std::string(kCampaignAndNetwork) + e2e::kOutFromMenu), 0)
        << game.Errors();
    for (const char* name : {"join", "join-typed", "join-entered", "host", "mission-text"})
        captures[name] = game.CapturePixels(name);
    ASSERT_EQ(game.Run(e2e::kToMenu + std::string(kResultsAndDesign) + e2e::kOutFromMenu), 0)
        << game.Errors();
    for (const char* name :
         {"results", "scores", "saved", "design", "library", "mounted", "question", "answered"})
        captures[name] = game.CapturePixels(name);
    for (const auto& [name, pixels] : captures)
        ASSERT_FALSE(pixels.empty()) << name;

    for (const Control& c : kControls) {
        EXPECT_EQ(FaceProblem(captures[c.capture], c.capture, c.box, c.inset), "")
            << c.capture << ": " << c.name;
    }
    for (const char* battle : {"battle-build", "battle-map", "unit-one", "unit-several"})
        EXPECT_EQ(StripProblem(captures[battle]), "") << battle;
    // One unit shows its own standing order; several show none chosen.
    EXPECT_EQ(ChosenKnobs(captures["unit-one"]), 1);
    EXPECT_EQ(ChosenKnobs(captures["unit-several"]), 0);

    // The dialog's inside holds nothing but the page (with the mission text on it) and the
    // buttons; the network screen's texts stay in the dialog, above the page that frames the
    // name field. On the page the mission text stands on one plain ground: no empty box that
    // looks like a field waiting for typing.
    const Corners inside{217, 143, 429, 287};
    const Corners page{225, 176, 421, 241};
    const Corners buttons[2] = {{238, 246, 277, 275}, {376, 242, 399, 278}};
    EXPECT_EQ(StrayPixel(captures["mission-text"], "mission-text", inside,
                         {page, buttons[0], buttons[1]}),
              "");
    EXPECT_EQ(
        Colours(captures["mission-text"], {page.x0 + 1, page.y0 + 1, page.x1 - 1, page.y1 - 1}),
        2u);
    // The page that frames the field stands out from the dialog's ground.
    for (const char* network : {"join", "host"})
        EXPECT_NE(At(captures[network], 320, 230), At(captures[network], 220, 150)) << network;
    // The prompt stays above the field once typing has started.
    EXPECT_NE(StrayPixel(captures["join-typed"], "join-typed", {225, 145, 429, 174}, {}), "");
    EXPECT_EQ(StrayPixel(captures["join"], "join", {225, 145, 429, 174}, {}),
              StrayPixel(captures["join-typed"], "join-typed", {225, 145, 429, 174}, {}));
    // The join screen's name box is plain to see before any click, and keeps the address after
    // a click beside it: its frame stands whole round it, apart from the page's ground.
    const Corners nameFrame{256, 199, 386, 216};
    const Corners nameBox{257, 200, 385, 215};
    EXPECT_EQ(TouchedFrame(captures["join"], nameFrame), "");
    EXPECT_NE(At(captures["join"], nameFrame.x0, nameFrame.y0), At(captures["join"], 320, 230));
    EXPECT_EQ(Colours(captures["join"], nameBox), 1u);
    EXPECT_EQ(At(captures["join-entered"], nameFrame.x0, nameFrame.y0),
              At(captures["join"], nameFrame.x0, nameFrame.y0));
    EXPECT_GE(Colours(captures["join-entered"], nameBox), 2u);
    // Where the field writes it: "abc" ends on the box's row 211, its lowest rows left plain
    // below the text (the typing cursor stands after it, from column 275, while the field is
    // open).
    EXPECT_EQ(StrayPixel(captures["join-entered"], "join-entered", {257, 212, 274, 215}, {}), "");
    // No text stands on a frame line: the status tab's, the library question's (naming two
    // designs, its text written highest) and, in the options overlay, the volume knob's marker
    // (sampled above the value) stays off the value "100" and the pixel round it.
    EXPECT_EQ(TouchedFrame(captures["status"], {518, 331, 631, 439}), "");
    EXPECT_EQ(TouchedFrame(captures["question"], {120, 210, 516, 319}), "");
    // The resources value 9900 beside its knob at the end of the travel stays inside the
    // panel's frame.
    EXPECT_EQ(TouchedFrame(captures["setup"], {481, 141, 629, 344}), "");
    // ... written left of the knob, on the knob's row.
    EXPECT_GE(Colours(captures["setup"], {540, 314, 571, 327}), 2u);
    // The question naming a design of 30 characters shows it whole: on every line the text
    // ends well before the box's right edge, and nothing is written below its last line.
    EXPECT_EQ(StrayPixel(captures["question"], "question", {420, 211, 460, 250}, {}), "");
    EXPECT_EQ(StrayPixel(captures["question"], "question", {180, 246, 460, 250}, {}), "");
    EXPECT_GE(Colours(captures["question"], {180, 236, 419, 245}), 2u);
    // While a unit is in production the build button shows what it shows with none: the
    // progress bar stays off its caption.
    for (int y = 344; y <= 368; ++y) {
        for (int x = 582; x <= 639; ++x)
            ASSERT_EQ(At(captures["battle-producing"], x, y), At(captures["battle-build"], x, y))
                << x << ", " << y;
    }
    for (const char* unit : {"unit-one", "unit-several"})
        EXPECT_EQ(TouchedFrame(captures[unit], {518, 111, 631, 214}), "") << unit;
    // The control area's frame (its left side at x 154) comes with a page: with none open the
    // map shows there, not an empty frame.
    const uint32_t frameColour = At(captures["unit-one"], 154, 250);
    auto framed = [&](const char* capture) {
        int n = 0;
        for (int y = 134; y <= 380; ++y)
            n += At(captures[capture], 154, y) == frameColour ? 1 : 0;
        return n;
    };
    EXPECT_EQ(framed("unit-one"), 380 - 134 + 1);
    EXPECT_LT(framed("unit-nopage"), (380 - 134) / 4);
    const Pixels& options = captures["options"];
    EXPECT_GE(Colours(options, {389, 354, 404, 360}), 2u);
    EXPECT_NE(At(options, 394, 350), At(options, 385, 350));
    EXPECT_FALSE(Shows(options, {388, 353, 405, 361}, At(options, 394, 350)));
    // The status tab's time and the label beside it keep a clear gap between them: the widest
    // gap on the time's line is the one between the two.
    EXPECT_GE(WidestGap(captures["status"], 522, 630, 403, 411), 5);
    // The results' time and score, written in the large font, stay inside their boxes; the
    // shown values stay clear of the column titles above them.
    for (const char* results : {"results", "scores"}) {
        EXPECT_EQ(StrayPixel(captures[results], results, {30, 398, 210, 438},
                             {{86, 404, 194, 431}, {46, 411, 72, 420}}),
                  "")
            << results;
        EXPECT_EQ(StrayPixel(captures[results], results, {210, 414, 370, 452},
                             {{262, 419, 358, 446}, {222, 426, 252, 435}}),
                  "")
            << results;
        EXPECT_EQ(StrayPixel(captures[results], results, {92, 63, 560, 68}, {}), "") << results;
    }
    // The library's question covers the lines of both lists it crosses whole and leaves the
    // others whole: the design list (x 128 to 282) and the group list (x 364 to 514).
    for (const auto& [x0, x1] : {std::pair{128, 282}, std::pair{364, 514}}) {
        int covered = 0, clear = 0;
        EXPECT_EQ(
            CutLine(captures["question"], captures["answered"], x0, x1, 196, 360, covered, clear),
            "")
            << x0;
        if (x0 == 128) {
            EXPECT_GE(covered, 7);
            EXPECT_GE(clear, 2);
        }
    }
    // The mounted weapon and its neighbour read as parts: each label of the mounts panel stands
    // clear of the part beside it and of any badge, and each socket shows the part's picture.
    // The plate is the commonest colour right of the sockets, the labels' colour the next.
    std::map<uint32_t, int> beside;
    for (int y = 50; y <= 118; ++y) {
        for (int x = 563; x <= 600; ++x)
            ++beside[At(captures["mounted"], x, y)];
    }
    std::vector<std::pair<int, uint32_t>> ranked;
    for (const auto& [colour, n] : beside)
        ranked.emplace_back(n, colour);
    std::sort(ranked.rbegin(), ranked.rend());
    ASSERT_GE(ranked.size(), 2u);
    const uint32_t label = ranked[1].second;
    int labels = 0;
    EXPECT_EQ(CoveredLabel(captures["mounted"], ranked[0].second, label, labels), "");
    EXPECT_EQ(labels, 2);
    EXPECT_GE(Colours(captures["mounted"], {541, 45, 563, 75}), 5u);
    // Once the name is saved the table closes and the disabled save-name button shows nothing.
    EXPECT_EQ(StrayPixel(captures["saved"], "saved", {412, 240, 476, 300}, {}), "");
    for (const char* network : {"join", "host"}) {
        EXPECT_EQ(StrayPixel(captures[network], network, inside,
                             {{225, 145, 429, 186}, page, buttons[0], buttons[1]}),
                  "")
            << network;
        // The dialog's right frame is whole: no line ran over it.
        const Pixels& p = captures[network];
        for (int y = 143; y <= 287; ++y)
            ASSERT_EQ(At(p, 431, y), At(p, 431, 143)) << network << " row " << y;
    }
}

}  // namespace
