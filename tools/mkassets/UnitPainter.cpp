#include "UnitPainter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace mkassets {

namespace UnitPainter {
namespace {

bool Inside(const Piece& p, double along, double across) {
    const double dx = along - p.x, dy = across - p.y;
    switch (p.shape) {
        case Shape::Box:
            return std::abs(dx) <= p.halfLength && std::abs(dy) <= p.halfWidth;
        case Shape::Ellipse: {
            const double u = dx / p.halfLength, v = dy / p.halfWidth;
            return u * u + v * v <= 1.0;
        }
        case Shape::Nose: {
            // Full width at the back, a quarter of it at the front.
            if (std::abs(dx) > p.halfLength) return false;
            const double t = (dx + p.halfLength) / (2.0 * p.halfLength);
            return std::abs(dy) <= p.halfWidth * (1.0 - 0.75 * t);
        }
    }
    return false;
}

}  // namespace

double FacingAngle(int facing) {
    return (facing - 8) * std::numbers::pi / 8.0;
}

Offset Turn(double x, double y, int facing, double scale) {
    const double a = FacingAngle(facing);
    const double ux = std::cos(a), uy = std::sin(a);
    return {(x * ux - y * uy) * scale, (x * uy + y * ux) * scale};
}

Canvas Render(const Model& model, int box, int facing, double scale, const Style& style,
              const AssetPalette& palette) {
    Canvas canvas(box, box);
    const double a = FacingAngle(facing);
    const double ux = std::cos(a), uy = std::sin(a);
    const double centre = box / 2.0;
    const size_t count = static_cast<size_t>(box) * box;
    std::vector<int> top(count, -1);  // index of the covering piece
    std::vector<double> alongAt(count, 0.0);
    // Each piece is tested only over the square round its turned centre that can hold it; a
    // later piece of equal or greater height covers an earlier one.
    for (size_t i = 0; i < model.size(); ++i) {
        const Piece& p = model[i];
        const Offset at = Turn(p.x, p.y, facing, scale);
        const double reach = std::hypot(p.halfLength, p.halfWidth) * scale + 1.0;
        const int x0 = std::max(0, static_cast<int>(std::floor(centre + at.x - reach)));
        const int x1 = std::min(box - 1, static_cast<int>(std::ceil(centre + at.x + reach)));
        const int y0 = std::max(0, static_cast<int>(std::floor(centre + at.y - reach)));
        const int y1 = std::min(box - 1, static_cast<int>(std::ceil(centre + at.y + reach)));
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                const size_t k = static_cast<size_t>(y) * box + x;
                if (top[k] >= 0 && model[static_cast<size_t>(top[k])].height > p.height) continue;
                const double dx = x + 0.5 - centre, dy = y + 0.5 - centre;
                const double along = (dx * ux + dy * uy) / scale;
                const double across = (-dx * uy + dy * ux) / scale;
                if (!Inside(p, along, across)) continue;
                top[k] = static_cast<int>(i);
                alongAt[k] = along;
            }
        }
    }
    auto heightAt = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= box || y >= box) return -1;
        const int piece = top[static_cast<size_t>(y) * box + x];
        return piece < 0 ? -1 : model[static_cast<size_t>(piece)].height;
    };
    const Ramp& hull = palette.GetRamp(style.hull);
    const Ramp& metal = palette.GetRamp(RampId::Metal);
    const int hullBase = hull.Size() / 2;
    for (int y = 0; y < box; ++y) {
        for (int x = 0; x < box; ++x) {
            const int piece = top[static_cast<size_t>(y) * box + x];
            if (piece < 0) {
                // A dark rim round the whole silhouette keeps it readable on any ground.
                if (heightAt(x - 1, y) >= 0 || heightAt(x + 1, y) >= 0 || heightAt(x, y - 1) >= 0 ||
                    heightAt(x, y + 1) >= 0) {
                    canvas.Plot(x, y, metal.At(0));
                }
                continue;
            }
            const Piece& p = model[static_cast<size_t>(piece)];
            if (p.paint == Paint::Team) {
                canvas.PlotShade(x, y);
                continue;
            }
            // Light from the top left: an edge with lower ground up-left is lit, one with lower
            // ground down-right is in shade.
            int light = 0;
            if (heightAt(x - 1, y - 1) < p.height) light += 3;
            if (heightAt(x + 1, y + 1) < p.height) light -= 3;
            light += p.height / 3;
            const double along = alongAt[static_cast<size_t>(y) * box + x];
            uint8_t colour = 0;
            switch (p.paint) {
                case Paint::Hull:
                    colour = hull.At(hullBase + light);
                    break;
                case Paint::Dark:
                    colour = metal.At(3 + light);
                    break;
                case Paint::Glass:
                    colour = palette.GetRamp(RampId::Interface).At(11 + light);
                    break;
                case Paint::Glow:
                    colour = palette.GetRamp(RampId::Fire).At(10 + light + (style.frame % 2) * 2);
                    break;
                case Paint::Tread: {
                    const int stripe =
                        static_cast<int>(std::floor(along / 2.0 - style.frame * 0.5));
                    colour = metal.At((stripe & 1 ? 2 : 5) + light / 2);
                    break;
                }
                case Paint::Ore:
                    colour = palette.GetRamp(RampId::Ore).At(4 + light / 2);
                    break;
                case Paint::Rust:
                    colour = palette.GetRamp(RampId::Earth).At(5 + light);
                    break;
                case Paint::Crystal:
                    colour = palette.GetRamp(RampId::Crystal).At(4 + light / 2);
                    break;
                case Paint::Light:
                    colour = style.frame % 2 ? PaletteIndex::kWhite : PaletteIndex::kHighlight;
                    break;
                case Paint::Team:
                    break;
            }
            canvas.Plot(x, y, colour);
        }
    }
    return canvas;
}

}  // namespace UnitPainter

}  // namespace mkassets
