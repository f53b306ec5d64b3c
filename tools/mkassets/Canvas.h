#pragma once
// An 8-bit picture being drawn by the asset maker: a palette index and a coverage per pixel
// (clear, solid or shade). Solid pixels become the picture's colours, shade pixels the areas
// that the game fills with a colour of its choosing (font strokes), clear pixels stay see-through.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace mkassets {

class Canvas {
public:
    enum class Cover : uint8_t { Clear = 0, Solid = 1, Shade = 2 };

    Canvas(int width, int height);
    virtual ~Canvas();

    int Width() const { return width; }
    int Height() const { return height; }
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }

    uint8_t ColourAt(int x, int y) const { return colours[Index(x, y)]; }
    Cover CoverAt(int x, int y) const { return covers[Index(x, y)]; }

    // Drawing clips to the canvas.
    void Plot(int x, int y, uint8_t colour);
    void PlotShade(int x, int y);
    void Clear(int x, int y);
    void FillRect(int x, int y, int w, int h, uint8_t colour);
    void FillCircle(int cx, int cy, int radius, uint8_t colour);
    void Line(int x0, int y0, int x1, int y1, uint8_t colour);
    // Copies the solid and shade pixels of another canvas with its top-left at (x, y).
    void Paste(const Canvas& other, int x, int y);

private:
    size_t Index(int x, int y) const { return static_cast<size_t>(y) * width + x; }

    int width;
    int height;
    std::vector<uint8_t> colours;
    std::vector<Cover> covers;
};

}  // namespace mkassets
