#include "support/TextCheck.h"

#include <algorithm>

bool ShowsText(MemoryDisplay& display, TextWriter& font, Point at, const std::string& text,
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

int TextInk(MemoryDisplay& display, TextWriter& font, const std::string& text) {
    uint8_t* page = display.BackPage();
    std::fill(page, page + 640 * 480, uint8_t{0});
    display.SetClipRect(Rect(Point(0, 0), Size(640, 480)));
    font.DrawText(Point(100, 100), text.c_str(), 1);
    return static_cast<int>(std::count(page, page + 640 * 480, uint8_t{1}));
}

std::string UnitPanelProblem(const UnitPanelShot& shot, int stride, const PanelBox& box,
                             MemoryDisplay& display, TextWriter& font) {
    const size_t size = shot.ground.size();
    auto differs = [&](const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
        std::vector<bool> d(size);
        for (size_t i = 0; i < size; ++i)
            d[i] = a[i] != b[i];
        return d;
    };
    const std::vector<bool> hull = differs(shot.hull, shot.ground);
    std::vector<std::vector<bool>> pictures, names;
    for (size_t h = 0; h < shot.named.size(); ++h) {
        pictures.push_back(differs(shot.pictured[h], shot.hull));
        names.push_back(differs(shot.named[h], shot.pictured[h]));
    }
    for (size_t h = 0; h < names.size(); ++h) {
        const std::string& text = shot.texts[h];
        int ink = 0;
        PanelBox bounds{stride, static_cast<int>(size), -1, -1};
        for (size_t i = 0; i < size; ++i) {
            if (!names[h][i]) continue;
            const int x = static_cast<int>(i) % stride, y = static_cast<int>(i) / stride;
            ++ink;
            bounds = {std::min(bounds.x0, x), std::min(bounds.y0, y), std::max(bounds.x1, x),
                      std::max(bounds.y1, y)};
        }
        if (ink != TextInk(display, font, text))
            return "\"" + text + "\" is cut: " + std::to_string(ink) + " of " +
                   std::to_string(TextInk(display, font, text)) + " pixels";
        if (bounds.x0 < box.x0 || bounds.y0 < box.y0 || bounds.x1 > box.x1 || bounds.y1 > box.y1)
            return "\"" + text + "\" leaves the box";
        for (int y = bounds.y0 - 1; y <= bounds.y1 + 1; ++y) {
            for (int x = bounds.x0 - 1; x <= bounds.x1 + 1; ++x) {
                const size_t i = static_cast<size_t>(y * stride + x);
                const std::string at = " at (" + std::to_string(x) + ", " + std::to_string(y) + ")";
                if (hull[i]) return "\"" + text + "\" crosses the chassis" + at;
                for (size_t k = 0; k < names.size(); ++k) {
                    if (pictures[k][i])
                        return "\"" + text + "\" crosses the picture of \"" + shot.texts[k] + "\"" +
                               at;
                    if (k != h && names[k][i])
                        return "\"" + text + "\" crosses \"" + shot.texts[k] + "\"" + at;
                }
            }
        }
    }
    return "";
}
