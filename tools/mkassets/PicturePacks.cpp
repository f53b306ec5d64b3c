#include "PicturePacks.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

#include "AssetPalette.h"
#include "GlyphFont.h"
#include "Noise.h"
#include "PanelDrawing.h"
#include "PictureEncoding.h"
#include "core/PackWriter.h"

namespace mkassets {

namespace PicturePacks {
namespace {

void CentredText(Canvas& canvas, int y, const std::string& text, int scale, uint8_t colour,
                 int shift = 0) {
    GlyphFont::DrawText(canvas, (canvas.Width() - GlyphFont::TextWidth(text, scale)) / 2 + shift, y,
                        text, scale, colour);
}

// Text with a dark outline, readable over any picture.
void OutlinedText(Canvas& canvas, int y, const std::string& text, int scale, uint8_t colour) {
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            if (dx != 0 || dy != 0)
                CentredText(canvas, y + dy, text, scale, PaletteIndex::kBlack, dx);
        }
    }
    CentredText(canvas, y, text, scale, colour);
}

// The big name: glyph blocks filled with a fire gradient from top to bottom, with a bevel and a
// drop shadow.
void Logo(Canvas& canvas, int top, const std::string& text, int scale,
          const AssetPalette& palette) {
    const int width = GlyphFont::TextWidth(text, scale);
    const int left = (canvas.Width() - width) / 2;
    Canvas mask(canvas.Width(), canvas.Height());
    GlyphFont::DrawText(mask, left, top, text, scale, 1);
    const mkassets::Ramp& fire = palette.GetRamp(RampId::Fire);
    const mkassets::Ramp& metal = palette.GetRamp(RampId::Metal);
    const int inkTop = top + GlyphFont::kInkTop * scale;
    const int inkHeight = 7 * scale;
    auto inked = [&mask](int x, int y) {
        return mask.Inside(x, y) && mask.CoverAt(x, y) == Canvas::Cover::Solid;
    };
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            if (inked(x, y)) continue;
            if (inked(x - 6, y - 6)) {
                canvas.Plot(x, y, PaletteIndex::kBlack);  // drop shadow
            } else if (inked(x - 2, y) || inked(x + 2, y) || inked(x, y - 2) || inked(x, y + 2)) {
                canvas.Plot(x, y, metal.At(2));  // outline
            }
        }
    }
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            if (!inked(x, y)) continue;
            const double t = 1.0 - static_cast<double>(y - inkTop) / inkHeight;
            int step = static_cast<int>(std::lround(4 + t * 11));
            if (!inked(x - 3, y - 3))
                step += 2;  // lit edge
            else if (!inked(x + 3, y + 3))
                step -= 3;  // shaded edge
            canvas.Plot(x, y, fire.At(step));
        }
    }
}

void Sky(Canvas& canvas, int horizon, const AssetPalette& palette, uint64_t seed) {
    const mkassets::Ramp& sky = palette.GetRamp(RampId::Interface);
    Rng rng(seed);
    for (int y = 0; y < horizon; ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            const double t = static_cast<double>(y) / horizon;
            // An ordered dither between neighbouring steps keeps the gradient smooth.
            const double level = t * 7.0 + ((x + y) % 2 == 0 ? 0.25 : -0.25);
            canvas.Plot(x, y, sky.At(static_cast<int>(level)));
        }
    }
    for (int i = 0; i < 260; ++i) {
        const int x = rng.Range(0, canvas.Width() - 1), y = rng.Range(0, horizon * 2 / 3);
        canvas.Plot(x, y, rng.Unit() < 0.2 ? PaletteIndex::kWhite : PaletteIndex::kLightGrey);
    }
}

void Ridge(Canvas& canvas, int base, int amplitude, const mkassets::Ramp& ramp, int lightStep,
           uint64_t seed) {
    const ValueNoise noise(seed);
    const ValueNoise texture(seed * 31 + 7);
    std::vector<double> tops(static_cast<size_t>(canvas.Width()));
    for (int x = 0; x < canvas.Width(); ++x) {
        tops[static_cast<size_t>(x)] = base - noise.Fractal(x / 90.0, 0.5, 4) * amplitude;
    }
    // A 4 x 4 ordered dither spreads each level between two neighbouring steps.
    constexpr int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    for (int x = 0; x < canvas.Width(); ++x) {
        const double top = tops[static_cast<size_t>(x)];
        // Slopes rising to the right face the light from the left.
        const double ahead = tops[static_cast<size_t>(std::min(x + 6, canvas.Width() - 1))];
        const double behind = tops[static_cast<size_t>(std::max(x - 6, 0))];
        const double slope = std::clamp((behind - ahead) / 6.0, -2.5, 2.5);
        for (int y = static_cast<int>(top); y < canvas.Height(); ++y) {
            const double depth = y - top;
            const double level = lightStep - depth / 14.0 + slope +
                                 (texture.Fractal(x / 24.0, y / 24.0, 3) - 0.5) * 3.0 +
                                 (kBayer[y % 4][x % 4] / 16.0 - 0.5);
            canvas.Plot(x, y, ramp.At(static_cast<int>(std::lround(std::max(level, 1.0)))));
        }
    }
}

void Planet(Canvas& canvas, int cx, int cy, int radius, const AssetPalette& palette) {
    const mkassets::Ramp& crystal = palette.GetRamp(RampId::Crystal);
    for (int y = cy - radius; y <= cy + radius; ++y) {
        for (int x = cx - radius; x <= cx + radius; ++x) {
            const double dx = (x - cx) / static_cast<double>(radius);
            const double dy = (y - cy) / static_cast<double>(radius);
            const double d2 = dx * dx + dy * dy;
            if (d2 > 1.0) continue;
            const double lit =
                0.65 - (dx * 0.6 + dy * 0.4) * 0.6 - d2 * 0.3 + ((x + y) % 2 == 0 ? 0.04 : -0.04);
            canvas.Plot(x, y, crystal.AtFraction(lit));
        }
    }
}

void Border(Canvas& canvas, const AssetPalette& palette) {
    const mkassets::Ramp& metal = palette.GetRamp(RampId::Metal);
    for (int i = 0; i < 6; ++i) {
        const uint8_t colour = metal.At(i < 3 ? 12 - i * 2 : 4 + i);
        for (int x = i; x < canvas.Width() - i; ++x) {
            canvas.Plot(x, i, colour);
            canvas.Plot(x, canvas.Height() - 1 - i, colour);
        }
        for (int y = i; y < canvas.Height() - i; ++y) {
            canvas.Plot(i, y, colour);
            canvas.Plot(canvas.Width() - 1 - i, y, colour);
        }
    }
}

// ---- cursors ----

enum class Mark {
    Arrow,
    Target,
    Crosshair,
    Forbidden,
    Bracket,
    Diamond,
    Plus,
    Enter,
    Scroll,
    MiniMap,
    Pause,
    Footprint,
    Question
};

struct CursorDesign {
    Mark mark;
    uint8_t colour;
    int frames;
    int direction;  // scroll arrows: eighths of a turn from "up", clockwise
};

CursorDesign DesignOf(int shape) {
    using namespace PaletteIndex;
    switch (shape) {
        case 0:
            return {Mark::Bracket, kStatusGood, 4, 0};  // select own unit
        case 1:
            return {Mark::Diamond, kStatusGood, 4, 0};  // guard
        case 2:
            return {Mark::Target, kBrightGreen, 4, 0};  // move
        case 3:
            return {Mark::Target, kHighlight, 4, 0};  // move, queued
        case 4:
            return {Mark::Target, kTracerV, 4, 0};  // move, ctrl
        case 5:
            return {Mark::Target, kSensorC, 4, 0};  // move, both keys
        case 6:
            return {Mark::Forbidden, kStatusBad, 1, 0};  // cannot go there
        case 7:
            return {Mark::Crosshair, kStatusBad, 4, 0};  // attack
        case 8:
            return {Mark::Crosshair, kHighlight, 4, 0};  // attack, queued
        case 9:
            return {Mark::Crosshair, kSensorB, 4, 0};  // force attack
        case 10:
            return {Mark::Crosshair, kSensorC, 4, 0};  // attack, both keys
        case 11:
            return {Mark::Enter, kHighlight, 4, 0};  // board, ctrl
        case 13:
            return {Mark::Plus, kStatusGood, 4, 0};  // repair
        case 14:
            return {Mark::Enter, kStatusGood, 4, 0};  // board
        case 17:
            return {Mark::Scroll, kText, 2, 6};
        case 18:
            return {Mark::Scroll, kText, 2, 7};
        case 19:
            return {Mark::Scroll, kText, 2, 0};
        case 20:
            return {Mark::Scroll, kText, 2, 1};
        case 21:
            return {Mark::Scroll, kText, 2, 2};
        case 22:
            return {Mark::Scroll, kText, 2, 3};
        case 23:
            return {Mark::Scroll, kText, 2, 4};
        case 24:
            return {Mark::Scroll, kText, 2, 5};
        case 33:
            return {Mark::MiniMap, kBrightGreen, 1, 0};
        case 34:
            return {Mark::Arrow, kHighlight, 1, 0};  // over an active element
        case 35:
            return {Mark::Arrow, kText, 1, 0};  // the plain arrow
        case 36:
            return {Mark::Pause, kStatusWarn, 2, 0};  // game paused
        case 38:
            return {Mark::Enter, kPulse, 4, 0};  // load into a carrier
        case 39:
            return {Mark::Footprint, kStatusGood, 4, 0};  // deploy here
        case 40:
            return {Mark::Bracket, kStatusWarn, 4, 0};  // capture
        case 41:
            return {Mark::Question, kSensorC, 1, 0};  // under foreign control
        default:
            return {Mark::Arrow, kTextDim, 1, 0};
    }
}

// A line with a one-pixel black edge round it so the cursor reads on any ground.
void EdgedLine(Canvas& edges, Canvas& ink, int x0, int y0, int x1, int y1, uint8_t colour) {
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx)
            edges.Line(x0 + dx, y0 + dy, x1 + dx, y1 + dy, PaletteIndex::kBlack);
    }
    ink.Line(x0, y0, x1, y1, colour);
}

void DrawMark(const CursorDesign& d, int frame, Canvas& canvas) {
    Canvas edges(kCursorBox, kCursorBox), ink(kCursorBox, kCursorBox);
    const int c = kCursorBox / 2;  // the hot spot
    auto line = [&](int x0, int y0, int x1, int y1) {
        EdgedLine(edges, ink, x0, y0, x1, y1, d.colour);
    };
    const int pulse = d.frames > 1 ? frame % d.frames : 0;
    switch (d.mark) {
        case Mark::Arrow:
            for (int i = 0; i < 12; ++i)
                line(c, c + i, c + i * 2 / 3, c + i);
            line(c, c, c, c + 14);
            line(c, c, c + 10, c + 10);
            line(c + 5, c + 11, c + 9, c + 18);
            ink.Plot(c, c, PaletteIndex::kWhite);
            break;
        case Mark::Target: {
            const int r = 9 - pulse;
            for (int s = 0; s < 4; ++s) {
                const int sx = (s % 2 == 0) ? -1 : 1, sy = (s < 2) ? -1 : 1;
                line(c + sx * r, c + sy * r, c + sx * (r + 5), c + sy * r);
                line(c + sx * r, c + sy * r, c + sx * r, c + sy * (r + 5));
            }
            ink.Plot(c, c, d.colour);
            break;
        }
        case Mark::Crosshair: {
            const int r = 8 + pulse;
            line(c - r - 4, c, c - 3, c);
            line(c + 3, c, c + r + 4, c);
            line(c, c - r - 4, c, c - 3);
            line(c, c + 3, c, c + r + 4);
            for (int a = 0; a < 32; ++a) {
                const double angle = a * 2.0 * std::numbers::pi / 32;
                ink.Plot(c + static_cast<int>(std::lround(r * std::cos(angle))),
                         c + static_cast<int>(std::lround(r * std::sin(angle))), d.colour);
            }
            break;
        }
        case Mark::Forbidden:
            for (int a = 0; a < 48; ++a) {
                const double angle = a * 2.0 * std::numbers::pi / 48;
                const int x = c + static_cast<int>(std::lround(10 * std::cos(angle)));
                const int y = c + static_cast<int>(std::lround(10 * std::sin(angle)));
                line(x, y, x, y);
            }
            line(c - 7, c - 7, c + 7, c + 7);
            break;
        case Mark::Bracket: {
            const int r = 10 + (pulse % 2);
            for (int s = 0; s < 4; ++s) {
                const int sx = (s % 2 == 0) ? -1 : 1, sy = (s < 2) ? -1 : 1;
                line(c + sx * r, c + sy * r, c + sx * (r - 5), c + sy * r);
                line(c + sx * r, c + sy * r, c + sx * r, c + sy * (r - 5));
            }
            break;
        }
        case Mark::Diamond: {
            const int r = 9 + (pulse % 2);
            line(c, c - r, c + r, c);
            line(c + r, c, c, c + r);
            line(c, c + r, c - r, c);
            line(c - r, c, c, c - r);
            break;
        }
        case Mark::Plus:
            line(c - 8, c, c + 8, c);
            line(c, c - 8, c, c + 8);
            line(c - 8, c - 1 - pulse % 2, c - 8, c + 1 + pulse % 2);
            break;
        case Mark::Enter: {
            const int drop = pulse * 2;
            line(c, c - 12 + drop, c, c + drop);
            line(c - 5, c - 5 + drop, c, c + drop);
            line(c + 5, c - 5 + drop, c, c + drop);
            line(c - 10, c + 4, c - 10, c + 12);
            line(c - 10, c + 12, c + 10, c + 12);
            line(c + 10, c + 12, c + 10, c + 4);
            break;
        }
        case Mark::Scroll: {
            const double angle = d.direction * std::numbers::pi / 4;
            const double ux = std::sin(angle), uy = -std::cos(angle);
            const double reach = 10 + pulse * 3;
            auto at = [&](double along, double across, int& x, int& y) {
                x = c + static_cast<int>(std::lround(ux * along - uy * across));
                y = c + static_cast<int>(std::lround(uy * along + ux * across));
            };
            int tx, ty, lx, ly, rx, ry, bx, by;
            at(reach, 0, tx, ty);
            at(reach - 8, -6, lx, ly);
            at(reach - 8, 6, rx, ry);
            at(reach - 14, 0, bx, by);
            line(tx, ty, lx, ly);
            line(tx, ty, rx, ry);
            line(tx, ty, bx, by);
            break;
        }
        case Mark::MiniMap:
            line(c - 6, c - 6, c + 6, c - 6);
            line(c + 6, c - 6, c + 6, c + 6);
            line(c + 6, c + 6, c - 6, c + 6);
            line(c - 6, c + 6, c - 6, c - 6);
            line(c, c - 2, c, c + 2);
            break;
        case Mark::Pause:
            for (int x : {c - 4, c + 3}) {
                line(x, c - 7, x, c + 7);
                if (pulse == 0) line(x + 1, c - 7, x + 1, c + 7);
            }
            break;
        case Mark::Footprint: {
            const int r = 12 - pulse;
            for (int i = -r; i <= r; i += 4) {
                line(c + i, c - r, c + i + 2, c - r);
                line(c + i, c + r, c + i + 2, c + r);
                line(c - r, c + i, c - r, c + i + 2);
                line(c + r, c + i, c + r, c + i + 2);
            }
            break;
        }
        case Mark::Question:
            line(c - 4, c - 6, c - 2, c - 9);
            line(c - 2, c - 9, c + 3, c - 9);
            line(c + 3, c - 9, c + 5, c - 6);
            line(c + 5, c - 6, c, c - 1);
            line(c, c - 1, c, c + 3);
            line(c, c + 7, c, c + 8);
            break;
    }
    canvas.Paste(edges, 0, 0);
    canvas.Paste(ink, 0, 0);
}

std::vector<uint8_t> ColumnPack(const std::vector<Canvas>& pictures) {
    PackWriter pack(1, static_cast<int>(pictures.size()));
    for (size_t row = 0; row < pictures.size(); ++row) {
        pack.SetEntry(0, static_cast<int>(row), EncodePicture(pictures[row]));
    }
    return pack.Build();
}

}  // namespace

Canvas TitlePicture(const AssetPalette& palette) {
    Canvas canvas(kScreenWidth, kScreenHeight);
    const int horizon = 300;
    Sky(canvas, horizon, palette, 0x7171E);
    Planet(canvas, 500, 96, 64, palette);
    Ridge(canvas, 300, 150, palette.GetRamp(RampId::Interface), 6, 0x41D6E1);
    Ridge(canvas, 360, 140, palette.GetRamp(RampId::Rock), 9, 0x41D6E2);
    Ridge(canvas, 430, 90, palette.GetRamp(RampId::Earth), 7, 0x41D6E3);
    Logo(canvas, 70, "QUARNEX", 13, palette);
    OutlinedText(canvas, 262, "VARNOK  -  TELMIRA", 3, PaletteIndex::kHeading);
    OutlinedText(canvas, 440, "Click or press a key to begin.   I: intro   Esc: quit", 1,
                 PaletteIndex::kText);
    return canvas;
}

Canvas ExitPicture(int page, const AssetPalette& palette) {
    Canvas canvas(kScreenWidth, kScreenHeight);
    if (page == 0) {
        Sky(canvas, kScreenHeight, palette, 0xE417);
        Planet(canvas, 120, 380, 150, palette);
        Border(canvas, palette);
        Logo(canvas, 20, "QUARNEX", 8, palette);
        return canvas;
    }
    // Pages are drawn over the background, so only their lettering is stored.
    if (page == 1) {
        OutlinedText(canvas, 180, "Thank you for playing.", 3, PaletteIndex::kHeading);
        OutlinedText(canvas, 240, "The war for the crystal fields goes on", 2, PaletteIndex::kText);
        OutlinedText(canvas, 270, "without you... for now.", 2, PaletteIndex::kText);
    } else {
        OutlinedText(canvas, 170, "Every picture, sound and text in this data set", 2,
                     PaletteIndex::kText);
        OutlinedText(canvas, 200, "was made by the program qx-mkassets.", 2, PaletteIndex::kText);
        OutlinedText(canvas, 260, "VARNOK and TELMIRA will meet again.", 2, PaletteIndex::kHeading);
    }
    return canvas;
}

Canvas BusyFrame(int frame, const AssetPalette& palette) {
    Canvas canvas(96, 80);
    const mkassets::Ramp& glow = palette.GetRamp(RampId::Interface);
    for (int dot = 0; dot < kBusyFrames; ++dot) {
        const double angle = dot * 2.0 * std::numbers::pi / kBusyFrames;
        const int x = 48 + static_cast<int>(std::lround(22 * std::sin(angle)));
        const int y = 30 - static_cast<int>(std::lround(22 * std::cos(angle)));
        const int age = (frame - dot + kBusyFrames) % kBusyFrames;  // 0: the newest, brightest
        canvas.FillCircle(x, y, age == 0 ? 5 : 4, glow.At(15 - age * 2));
    }
    GlyphFont::DrawText(canvas, 48 - GlyphFont::TextWidth("LOADING", 1) / 2, 62, "LOADING", 1,
                        PaletteIndex::kText);
    return canvas;
}

int CursorFrameCount(int shape) {
    return DesignOf(shape).frames;
}

Canvas CursorFrame(int shape, int frame, const AssetPalette& /*palette*/) {
    Canvas canvas(kCursorBox, kCursorBox);
    DrawMark(DesignOf(shape), frame, canvas);
    return canvas;
}

std::vector<uint8_t> MakeTitlePack(const AssetPalette& palette) {
    return ColumnPack({TitlePicture(palette)});
}

std::vector<uint8_t> MakeExitPack(const AssetPalette& palette) {
    std::vector<Canvas> pages;
    for (int page = 0; page < kExitPages; ++page)
        pages.push_back(ExitPicture(page, palette));
    return ColumnPack(pages);
}

std::vector<uint8_t> MakeBusyPack(const AssetPalette& palette) {
    std::vector<Canvas> frames;
    for (int frame = 0; frame < kBusyFrames; ++frame)
        frames.push_back(BusyFrame(frame, palette));
    return ColumnPack(frames);
}

namespace {

// A box with a two-pixel frame.
void FramedBox(Canvas& canvas, int left, int top, int right, int bottom, uint8_t fill,
               uint8_t frame) {
    canvas.FillRect(left, top, right - left + 1, bottom - top + 1, frame);
    canvas.FillRect(left + 2, top + 2, right - left - 3, bottom - top - 3, fill);
}

// The dialog that the network screen and the mission-text dialog share: it names neither, holds
// the mission text's area (228, 178)-(418, 241) and the network screen's status line, address
// and host field, and labels its two buttons. The status line and the address are written with
// their baseline on the boxes' top edges. One plain dark page, framed, holds the mission text's
// whole area and the name box: the briefing reads on it as on a sheet, and on the network
// screen it is the field's frame. The status line stands above it, the buttons below.
constexpr int kDialogLeft = 214, kDialogTop = 140, kDialogRight = 432, kDialogBottom = 290;
constexpr int kCancelLeft = 238, kCancelTop = 246, kCancelRight = 277, kCancelBottom = 275;
constexpr int kOkLeft = 376, kOkTop = 242, kOkRight = 399, kOkBottom = 278;
constexpr int kPageLeft = 225, kPageTop = 176, kPageRight = 421, kPageBottom = 241;

Canvas NetworkBackground(const AssetPalette& palette) {
    Canvas canvas(kScreenWidth, kScreenHeight);
    Sky(canvas, kScreenHeight, palette, 0x4E7);
    Border(canvas, palette);
    FramedBox(canvas, kDialogLeft, kDialogTop, kDialogRight, kDialogBottom, PaletteIndex::kBlack,
              PaletteIndex::kLightGrey);
    canvas.FillRect(kPageLeft, kPageTop, kPageRight - kPageLeft + 1, kPageBottom - kPageTop + 1,
                    PaletteIndex::kLightGrey);
    canvas.FillRect(kPageLeft + 1, kPageTop + 1, kPageRight - kPageLeft - 1,
                    kPageBottom - kPageTop - 1, PaletteIndex::kFieldBack);
    FramedBox(canvas, kCancelLeft, kCancelTop, kCancelRight, kCancelBottom,
              PaletteIndex::kStatusBad, PaletteIndex::kLightGrey);
    FramedBox(canvas, kOkLeft, kOkTop, kOkRight, kOkBottom, PaletteIndex::kStatusGood,
              PaletteIndex::kLightGrey);
    Caption(canvas,
            Box{kCancelLeft, kCancelTop, kCancelRight - kCancelLeft + 1,
                kCancelBottom - kCancelTop + 1},
            "BACK", PaletteIndex::kWhite);
    Caption(canvas, Box{kOkLeft, kOkTop, kOkRight - kOkLeft + 1, kOkBottom - kOkTop + 1}, "OK",
            PaletteIndex::kBlack);
    return canvas;
}

// A pressed face: the button's place, brighter, with its caption.
Canvas NetworkFace(int width, int height, bool ok) {
    Canvas canvas(width, height);
    FramedBox(canvas, 0, 0, width - 1, height - 1,
              ok ? PaletteIndex::kBrightGreen : PaletteIndex::kStatusWarn, PaletteIndex::kWhite);
    Caption(canvas, Box{0, 0, width, height}, ok ? "OK" : "BACK", PaletteIndex::kBlack);
    return canvas;
}

}  // namespace

std::vector<uint8_t> MakeNetworkPack(const AssetPalette& palette) {
    return ColumnPack(
        {NetworkBackground(palette), NetworkFace(40, 30, false), NetworkFace(24, 37, true)});
}

// The network screen centres its busy picture on the status box's top-left corner: the frame
// box puts a small ring left of the status line, inside the dialog.
Canvas NetworkBusyFrame(int frame, const AssetPalette& palette) {
    Canvas canvas(64, 40);
    const mkassets::Ramp& glow = palette.GetRamp(RampId::Interface);
    for (int dot = 0; dot < kBusyFrames; ++dot) {
        const double angle = dot * 2.0 * std::numbers::pi / kBusyFrames;
        const int x = 16 + static_cast<int>(std::lround(7 * std::sin(angle)));
        const int y = 15 - static_cast<int>(std::lround(7 * std::cos(angle)));
        const int age = (frame - dot + kBusyFrames) % kBusyFrames;
        canvas.FillCircle(x, y, age == 0 ? 2 : 1, glow.At(15 - age * 2));
    }
    return canvas;
}

std::vector<uint8_t> MakeNetworkBusyPack(const AssetPalette& palette) {
    std::vector<Canvas> frames;
    for (int frame = 0; frame < kBusyFrames; ++frame)
        frames.push_back(NetworkBusyFrame(frame, palette));
    return ColumnPack(frames);
}

std::vector<uint8_t> MakeCursorPack(const AssetPalette& palette) {
    int columns = 1;
    for (int shape = 0; shape < kCursorShapes; ++shape)
        columns = std::max(columns, CursorFrameCount(shape));
    PackWriter pack(columns, kCursorShapes);
    for (int shape = 0; shape < kCursorShapes; ++shape) {
        for (int frame = 0; frame < CursorFrameCount(shape); ++frame) {
            pack.SetEntry(frame, shape, EncodePicture(CursorFrame(shape, frame, palette)));
        }
    }
    return pack.Build();
}

}  // namespace PicturePacks

}  // namespace mkassets
