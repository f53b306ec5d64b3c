#include "CataloguePictures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <numbers>

#include "AssetPalette.h"
#include "Noise.h"
#include "PictureEncoding.h"
#include "core/PackWriter.h"

namespace mkassets {

namespace CataloguePictures {
namespace {

using UnitPainter::Model;
using UnitPainter::Paint;
using UnitPainter::Piece;
using UnitPainter::Shape;
using UnitPainter::Style;

RampId HullRamp(char clan) {
    if (clan == 'T') return RampId::Sand;
    if (clan == 'V') return RampId::Metal;
    return RampId::Rock;
}

// Half length and half width of a unit drawn in a box.
double HalfLength(int box) {
    return box * 0.34;
}
double HalfWidth(int box) {
    return box * 0.22;
}

// The body of a vehicle: VARNOK builds angular hulls, TELMIRA rounded ones. Every body carries
// a broad team patch so the owner shows even at 1:4.
// `detail` picks a relay's centrepiece by its structure code.
Model BodyModel(Body body, char clan, int box, int detail = 0) {
    const double L = HalfLength(box), W = HalfWidth(box);
    const bool round = clan == 'T';
    const Shape hullShape = round ? Shape::Ellipse : Shape::Box;
    Model m;
    auto hull = [&](double lengthShare, double widthShare) {
        m.push_back({hullShape, 0, 0, L * lengthShare, W * widthShare, 2, Paint::Hull});
        if (!round)
            m.push_back({Shape::Nose, L * 0.75, 0, L * 0.3, W * widthShare, 2, Paint::Hull});
    };
    switch (body) {
        case Body::Scout:
        case Body::Tank:
        case Body::Assault:
        case Body::Heavy:
            hull(0.85, 1.0);
            m.push_back({round ? Shape::Ellipse : Shape::Box, -L * 0.4, 0, L * 0.3, W * 0.8, 3,
                         Paint::Team});
            m.push_back({Shape::Box, L * 0.45, 0, L * 0.12, W * 0.45, 3, Paint::Glass});
            if (body == Body::Heavy || body == Body::Assault) {
                for (double side : {-1.0, 1.0})
                    m.push_back(
                        {Shape::Box, 0, side * W * 0.85, L * 0.75, W * 0.2, 3, Paint::Dark});
            }
            break;
        case Body::Miner:
            hull(0.7, 0.95);
            m.push_back({Shape::Box, L * 0.9, 0, L * 0.14, W * 1.05, 2, Paint::Dark});
            m.push_back({Shape::Box, -L * 0.25, 0, L * 0.42, W * 0.7, 4, Paint::Ore});
            m.push_back({Shape::Box, L * 0.45, 0, L * 0.15, W * 0.9, 3, Paint::Team});
            break;
        case Body::Scavenger:
            hull(0.8, 0.95);
            m.push_back({Shape::Box, -L * 0.3, 0, L * 0.35, W * 0.9, 3, Paint::Team});
            m.push_back({Shape::Box, L * 0.2, 0, L * 0.85, W * 0.14, 5, Paint::Dark});
            m.push_back({Shape::Ellipse, L * 1.0, 0, W * 0.3, W * 0.3, 5, Paint::Dark});
            break;
        case Body::Repair:
            hull(0.85, 1.0);
            m.push_back({Shape::Box, 0, 0, L * 0.55, W * 0.2, 4, Paint::Team});
            m.push_back({Shape::Box, 0, 0, W * 0.2, W * 0.7, 4, Paint::Team});
            m.push_back({Shape::Box, L * 0.7, 0, L * 0.1, W * 0.5, 3, Paint::Glass});
            break;
        case Body::Capture:
            hull(0.85, 1.0);
            m.push_back({Shape::Ellipse, -L * 0.2, 0, W * 0.75, W * 0.75, 3, Paint::Team});
            m.push_back({Shape::Ellipse, -L * 0.2, 0, W * 0.4, W * 0.4, 4, Paint::Glass});
            m.push_back({Shape::Box, L * 0.5, 0, L * 0.12, W * 0.45, 3, Paint::Glass});
            break;
        case Body::Gunship:
        case Body::Bomber: {
            const double span = body == Body::Bomber ? 1.9 : 1.5;
            m.push_back({Shape::Ellipse, 0, 0, L, W * 0.38, 4, Paint::Hull});
            m.push_back({Shape::Nose, -L * 0.05, 0, L * 0.32, W * span, 2, Paint::Hull});
            for (double side : {-1.0, 1.0})
                m.push_back({Shape::Box, -L * 0.2, side * W * (span - 0.3), L * 0.12, W * 0.3, 3,
                             Paint::Team});
            m.push_back({Shape::Nose, -L * 0.85, 0, L * 0.15, W * 0.8, 3, Paint::Hull});
            m.push_back({Shape::Ellipse, L * 0.5, 0, L * 0.2, W * 0.2, 5, Paint::Glass});
            break;
        }
        case Body::Carrier:
            m.push_back({Shape::Box, 0, 0, L, W * 1.1, 2, Paint::Hull});
            m.push_back({Shape::Box, 0, 0, L * 0.7, W * 0.6, 3, Paint::Dark});
            for (double side : {-1.0, 1.0}) {
                m.push_back({Shape::Box, 0, side * W * 0.85, L * 0.8, W * 0.18, 3, Paint::Team});
                for (double end : {-1.0, 1.0})
                    m.push_back({Shape::Ellipse, end * L * 0.8, side * W * 1.1, W * 0.4, W * 0.4, 4,
                                 Paint::Glass});
            }
            break;
        case Body::Relay:
            m.push_back({Shape::Box, 0, 0, L * 0.8, L * 0.8, 2, Paint::Hull});
            for (double sx : {-1.0, 1.0}) {
                for (double sy : {-1.0, 1.0})
                    m.push_back({Shape::Box, sx * L * 0.7, sy * L * 0.7, L * 0.22, L * 0.22, 3,
                                 Paint::Team});
            }
            m.push_back({Shape::Ellipse, 0, 0, L * 0.35, L * 0.35, 4, Paint::Dark});
            // Above the mast, so the relay's kind shows when it stands.
            switch (detail) {
                case 0:  // sensors: a dish
                    m.push_back({Shape::Ellipse, 0, 0, L * 0.3, L * 0.22, 7, Paint::Glass});
                    break;
                case 1:  // stealth: a crystal
                    m.push_back({Shape::Nose, 0, 0, L * 0.3, L * 0.25, 7, Paint::Crystal});
                    break;
                case 2:  // defence: a shield emitter
                    m.push_back({Shape::Ellipse, 0, 0, L * 0.22, L * 0.22, 7, Paint::Glow});
                    break;
                case 3:  // weapons: a gun mount
                    m.push_back({Shape::Box, L * 0.3, 0, L * 0.35, L * 0.07, 7, Paint::Dark});
                    break;
                case 4:  // refuelling: tanks
                    for (double side : {-1.0, 1.0})
                        m.push_back(
                            {Shape::Ellipse, 0, side * L * 0.2, L * 0.3, L * 0.14, 7, Paint::Ore});
                    break;
                default:  // capture: an antenna
                    m.push_back({Shape::Box, 0, 0, L * 0.08, L * 0.45, 7, Paint::Light});
                    break;
            }
            break;
        case Body::Factory:
            m.push_back({Shape::Box, -L * 0.1, 0, L * 0.95, W * 1.05, 2, Paint::Hull});
            m.push_back({Shape::Box, L * 0.85, 0, L * 0.18, W * 0.9, 3, Paint::Hull});
            m.push_back({Shape::Box, L * 0.88, 0, L * 0.08, W * 0.6, 4, Paint::Glass});
            m.push_back({Shape::Box, -L * 0.15, 0, L * 0.7, W * 0.55, 3, Paint::Team});
            m.push_back({Shape::Box, -L * 0.15, 0, L * 0.5, W * 0.2, 4, Paint::Dark});
            break;
    }
    return m;
}

// The running gear under a body; the frame moves treads, legs and glows.
Model RunningModel(Running running, int box, int frame) {
    const double L = HalfLength(box), W = HalfWidth(box);
    Model m;
    switch (running) {
        case Running::Wheels:
            m.push_back({Shape::Box, 0, 0, L * 0.8, W * 0.9, 1, Paint::Dark});
            for (double x : {-0.6, 0.0, 0.6}) {
                for (double side : {-1.0, 1.0})
                    m.push_back(
                        {Shape::Box, x * L, side * W * 1.05, L * 0.17, W * 0.22, 1, Paint::Tread});
            }
            break;
        case Running::Tracks:
            m.push_back({Shape::Box, 0, 0, L * 0.85, W * 0.8, 1, Paint::Dark});
            for (double side : {-1.0, 1.0})
                m.push_back({Shape::Box, 0, side * W * 0.95, L * 1.0, W * 0.3, 1, Paint::Tread});
            break;
        case Running::Hover:
            m.push_back({Shape::Ellipse, 0, 0, L * 1.12, W * 1.35, 0, Paint::Glow});
            m.push_back({Shape::Ellipse, 0, 0, L * 1.02, W * 1.2, 1, Paint::Dark});
            break;
        case Running::Skimmer:
            for (double side : {-1.0, 1.0}) {
                m.push_back(
                    {Shape::Ellipse, -L * 0.95, side * W, L * 0.2, W * 0.3, 0, Paint::Glow});
                m.push_back({Shape::Ellipse, 0, side * W, L * 1.0, W * 0.35, 1, Paint::Dark});
            }
            m.push_back({Shape::Box, 0, 0, L * 0.3, W, 1, Paint::Dark});
            break;
        case Running::Legs: {
            const double swing = frame == 0 ? 0.0 : std::sin(frame * 2.0 * std::numbers::pi / 3);
            m.push_back({Shape::Ellipse, 0, 0, L * 0.6, W * 0.8, 1, Paint::Dark});
            for (double sx : {-1.0, 1.0}) {
                for (double sy : {-1.0, 1.0}) {
                    const double step = sx * sy * swing * L * 0.18;
                    m.push_back({Shape::Box, sx * L * 0.55 + step, sy * W * 1.1, L * 0.14, W * 0.2,
                                 1, Paint::Tread});
                    m.push_back({Shape::Box, sx * L * 0.3 + step / 2, sy * W * 0.8, L * 0.25,
                                 W * 0.1, 1, Paint::Dark});
                }
            }
            break;
        }
        case Running::Pads:
            m.push_back({Shape::Box, 0, 0, L * 0.7, W * 0.7, 1, Paint::Dark});
            for (double sx : {-1.0, 1.0}) {
                for (double sy : {-1.0, 1.0}) {
                    m.push_back({Shape::Ellipse, sx * L * 0.7, sy * W * 0.95, W * 0.38, W * 0.38, 1,
                                 Paint::Dark});
                    m.push_back({Shape::Ellipse, sx * L * 0.7, sy * W * 0.95, W * 0.18, W * 0.18, 2,
                                 Paint::Glow});
                }
            }
            break;
    }
    return m;
}

// Turrets stay small beside the hull so the body and its team patch read first.
double TurretRadius(int size) {
    return 1.8 + size * 0.9;
}
double BarrelReach(int size) {
    return 5.0 + size * 2.5;
}

Model ArmModel(Arm arm, int size) {
    const double r = TurretRadius(size);
    const double reach = BarrelReach(size);
    Model m{{Shape::Ellipse, 0, 0, r, r, 4, Paint::Hull}};
    auto barrel = [&](double y, double halfWidth, Paint paint) {
        halfWidth *= 0.8;
        m.push_back({Shape::Box, r * 0.5 + reach / 2, y, reach / 2, halfWidth, 5, paint});
    };
    switch (arm) {
        case Arm::Gun:
            barrel(0, 0.9, Paint::Dark);
            break;
        case Arm::Twin:
            barrel(-1.4, 0.7, Paint::Dark);
            barrel(1.4, 0.7, Paint::Dark);
            break;
        case Arm::Cannon:
            barrel(0, 1.6, Paint::Dark);
            m.push_back({Shape::Box, r * 0.5 + reach, 0, 1.2, 2.0, 6, Paint::Dark});
            break;
        case Arm::Missile:
            m.push_back({Shape::Box, 0.5, 0, r * 0.9, r * 0.8, 5, Paint::Hull});
            for (double y : {-r * 0.4, r * 0.4})
                m.push_back({Shape::Ellipse, r * 0.9, y, 1.4, 1.2, 6, Paint::Glow});
            break;
        case Arm::Beam:
            barrel(0, 1.1, Paint::Glass);
            m.push_back({Shape::Ellipse, 0, 0, r * 0.45, r * 0.45, 5, Paint::Glass});
            break;
        case Arm::Rocket:
            barrel(-1.6, 0.8, Paint::Dark);
            barrel(1.6, 0.8, Paint::Dark);
            m.push_back({Shape::Ellipse, r * 0.5 + reach, 0, 1.3, 1.3, 6, Paint::Glow});
            break;
        case Arm::Spinner:
            for (double y : {-1.6, 0.0, 1.6})
                barrel(y, 0.6, Paint::Dark);
            m.push_back({Shape::Ellipse, r * 0.5 + reach * 0.4, 0, 1.4, 2.6, 6, Paint::Hull});
            break;
        case Arm::Pulse:
            barrel(0, 0.8, Paint::Dark);
            m.push_back({Shape::Ellipse, r * 0.5 + reach, 0, 2.0, 2.0, 6, Paint::Crystal});
            break;
    }
    return m;
}

Model DeviceModel(Device device) {
    switch (device) {
        case Device::Sensor:
            return {{Shape::Box, 0, 0, 1.5, 1.5, 3, Paint::Dark},
                    {Shape::Ellipse, -1, 0, 3.0, 6.5, 4, Paint::Glass},
                    {Shape::Ellipse, 2, 0, 1.2, 1.2, 5, Paint::Light}};
        case Device::Shield:
            return {{Shape::Ellipse, 0, 0, 5.5, 5.5, 3, Paint::Glow},
                    {Shape::Ellipse, 0, 0, 3.5, 3.5, 4, Paint::Hull},
                    {Shape::Ellipse, 0, 0, 1.5, 1.5, 5, Paint::Glass}};
        case Device::Cloak:
            return {{Shape::Box, 0, 0, 4.5, 4.5, 3, Paint::Dark},
                    {Shape::Nose, 0, 0, 4.0, 3.5, 4, Paint::Crystal}};
    }
    return {};
}

// A sequence of pictures as a one-column pack (column set, streamed set).
std::vector<uint8_t> ColumnPack(const std::vector<Canvas>& pictures) {
    PackWriter pack(1, static_cast<int>(pictures.size()));
    for (size_t i = 0; i < pictures.size(); ++i)
        pack.SetEntry(0, static_cast<int>(i), EncodePicture(pictures[i]));
    return pack.Build();
}

std::vector<uint8_t> RowPack(const std::vector<Canvas>& pictures) {
    PackWriter pack(static_cast<int>(pictures.size()), 1);
    for (size_t i = 0; i < pictures.size(); ++i)
        pack.SetEntry(static_cast<int>(i), 0, EncodePicture(pictures[i]));
    return pack.Build();
}

// Rows of sequences; rows may differ in length.
std::vector<uint8_t> GridPack(const std::vector<std::vector<Canvas>>& rows) {
    size_t columns = 1;
    for (const auto& row : rows)
        columns = std::max(columns, row.size());
    PackWriter pack(static_cast<int>(columns), static_cast<int>(rows.size()));
    for (size_t r = 0; r < rows.size(); ++r) {
        for (size_t c = 0; c < rows[r].size(); ++c)
            pack.SetEntry(static_cast<int>(c), static_cast<int>(r), EncodePicture(rows[r][c]));
    }
    return pack.Build();
}

std::vector<Canvas> AllFacings(const Model& model, int box, double scale, const Style& style,
                               const AssetPalette& palette) {
    std::vector<Canvas> frames;
    for (int f = 0; f < kFacings; ++f)
        frames.push_back(UnitPainter::Render(model, box, f, scale, style, palette));
    return frames;
}

// A ball of fire, sparks, energy or smoke at step `frame` of `frames`.
Canvas BlastFrame(Blast blast, int frame, int frames, int box, const AssetPalette& palette) {
    Canvas canvas(box, box);
    const double t = frames > 1 ? static_cast<double>(frame) / (frames - 1) : 0.0;
    const double c = box / 2.0;
    const double radius = (box / 2.0 - 1) * (0.35 + 0.65 * std::sqrt(t));
    const ValueNoise noise(0xB1A57ULL + static_cast<uint64_t>(blast));
    const Ramp& fire = palette.GetRamp(RampId::Fire);
    const Ramp& smoke = palette.GetRamp(RampId::Rock);
    const Ramp& energy = palette.GetRamp(RampId::Interface);
    for (int y = 0; y < box; ++y) {
        for (int x = 0; x < box; ++x) {
            const double dx = x + 0.5 - c, dy = y + 0.5 - c;
            const double d = std::sqrt(dx * dx + dy * dy) / radius;
            const double n = noise.Fractal(x / 5.0 + frame * 0.7, y / 5.0, 2);
            if (d > 0.75 + n * 0.35) continue;
            const double heat = 1.0 - d - t * 0.7 + (n - 0.5) * 0.5;
            switch (blast) {
                case Blast::Fire:
                case Blast::Huge:
                    if (heat < 0.05)
                        canvas.Plot(x, y, smoke.AtFraction(0.25 + n * 0.3));
                    else
                        canvas.Plot(x, y, fire.AtFraction(0.3 + heat));
                    break;
                case Blast::Spark:
                    if ((x + y + frame) % 3 == 0 || d < 0.4 - t * 0.3)
                        canvas.Plot(x, y, fire.AtFraction(0.6 + heat * 0.5));
                    break;
                case Blast::Energy:
                    if (std::abs(d - 0.6) < 0.2 || d < 0.3 * (1.0 - t))
                        canvas.Plot(x, y, energy.AtFraction(0.5 + heat * 0.6));
                    break;
                case Blast::Smoke:
                    if ((x * 7 + y * 3) % 4 != 0 || t < 0.5)
                        canvas.Plot(x, y, smoke.AtFraction(0.55 - t * 0.3 + (n - 0.5) * 0.3));
                    break;
            }
        }
    }
    return canvas;
}

Canvas ShotPicture(Projectile projectile, int facing, const AssetPalette& palette) {
    Model model;
    switch (projectile) {
        case Projectile::Bullet:
            model = {{Shape::Ellipse, 0, 0, 2.0, 1.2, 1, Paint::Light}};
            break;
        case Projectile::Shell:
            model = {{Shape::Ellipse, 0, 0, 3.0, 1.6, 1, Paint::Dark},
                     {Shape::Ellipse, -2.0, 0, 1.5, 1.0, 0, Paint::Glow}};
            break;
        case Projectile::Bolt:
            model = {{Shape::Box, 0, 0, 4.5, 1.0, 1, Paint::Glass},
                     {Shape::Box, 0, 0, 3.0, 0.5, 2, Paint::Light}};
            break;
        case Projectile::Missile:
            model = {{Shape::Box, 0.5, 0, 3.5, 1.1, 2, Paint::Hull},
                     {Shape::Nose, 4.0, 0, 1.0, 1.1, 2, Paint::Dark},
                     {Shape::Ellipse, -3.5, 0, 1.6, 1.3, 1, Paint::Glow}};
            break;
    }
    return UnitPainter::Render(model, 14, facing, 1.0, Style{RampId::Metal, 1}, palette);
}

std::vector<uint8_t> RunningMap(Running running, int box, const AssetPalette& palette) {
    std::vector<std::vector<Canvas>> rows;
    for (int f = 0; f < kFacings; ++f) {
        std::vector<Canvas> frames;
        for (int frame = 0; frame < kRunningFrames; ++frame) {
            frames.push_back(UnitPainter::Render(RunningModel(running, box, frame), box, f, 1.0,
                                                 Style{RampId::Metal, frame}, palette));
        }
        rows.push_back(std::move(frames));
    }
    return GridPack(rows);
}

// The relay standing (two blinking frames), and its deploy frames from a flat crate to the
// standing relay.
std::vector<uint8_t> RelayDeployed(Body body, char clan, int detail, const AssetPalette& palette) {
    const int box = BodyBox(body);
    const Style style{HullRamp(clan), 0};
    Model standing = BodyModel(body, clan, box, detail);
    const double L = HalfLength(box);
    standing.push_back({Shape::Box, 0, 0, L * 0.08, L * 1.05, 5, Paint::Dark});  // mast arms
    standing.push_back({Shape::Ellipse, 0, 0, L * 0.18, L * 0.18, 6, Paint::Light});
    std::vector<Canvas> loop;
    for (int frame = 0; frame < 2; ++frame) {
        loop.push_back(UnitPainter::Render(standing, box, kPanelFacing, 1.0,
                                           Style{style.hull, frame}, palette));
    }
    std::vector<Canvas> deploy;
    for (int frame = 0; frame < kDeployFrames; ++frame) {
        Model m = BodyModel(body, clan, box, detail);
        const double opened = (frame + 1.0) / kDeployFrames;
        m.push_back({Shape::Box, 0, 0, L * 0.08, L * 1.05 * opened, 5, Paint::Dark});
        deploy.push_back(
            UnitPainter::Render(m, box, kPanelFacing, 0.7 + 0.3 * opened, style, palette));
    }
    return GridPack({loop, deploy});
}

std::vector<uint8_t> CarrierDeck(char clan, const AssetPalette& palette) {
    const int box = BodyBox(Body::Carrier);
    const double L = HalfLength(box), W = HalfWidth(box);
    const Style style{HullRamp(clan), 0};
    auto deck = [&](double open, int frame) {
        Model m = BodyModel(Body::Carrier, clan, box);
        for (double side : {-1.0, 1.0})
            m.push_back({Shape::Box, 0, side * W * 0.3 * (1.0 + open), L * 0.6,
                         W * 0.3 * (1.0 - open), 4, Paint::Hull});
        return UnitPainter::Render(m, box, kPanelFacing, 1.0, Style{style.hull, frame}, palette);
    };
    std::vector<Canvas> unfold, ready, transfer;
    for (int i = 0; i < 4; ++i)
        unfold.push_back(deck(i / 3.0, 0));
    for (int i = 0; i < 2; ++i)
        ready.push_back(deck(1.0, i));
    for (int i = 0; i < 3; ++i)
        transfer.push_back(deck(1.0 - i / 3.0, i));
    // The transfer overlay closes over the cargo and opens again, so that it plays.
    std::vector<Canvas> overlay;
    for (int i = 0; i < 4; ++i) {
        const double shut = i < 2 ? 0.5 + 0.25 * i : 1.25 - 0.25 * i;
        Model cover{{Shape::Box, 0, 0, L * 0.6, W * 0.55 * shut, 5, Paint::Dark},
                    {Shape::Box, 0, 0, L * 0.5, W * 0.12, 6, Paint::Team}};
        overlay.push_back(UnitPainter::Render(cover, box, kPanelFacing, 1.0, style, palette));
    }
    return GridPack({unfold, ready, transfer, overlay});
}

// The open factory: a walled yard with a hall, a chimney and a team-coloured roof, growing out
// of the folded vehicle over the frames. The team-coloured door in the yard's front wall, toward
// the corner its units roll out of, stands open by `doorOpen` (0 shut, 1 wide).
Canvas FactoryOpen(char clan, double grown, int frame, const AssetPalette& palette,
                   double doorOpen = 0.0) {
    const double s = 0.35 + 0.65 * grown;
    Model m{{Shape::Box, 0, 0, 58 * s, 58 * s, 1, Paint::Dark}};
    if (grown > 0.3) {
        for (double side : {-1.0, 1.0}) {
            m.push_back({Shape::Box, side * 54 * s, 0, 4 * s, 58 * s, 3, Paint::Hull});
            m.push_back({Shape::Box, 0, side * 54 * s, 58 * s, 4 * s, 3, Paint::Hull});
        }
        // The doorway, then its two leaves sliding apart into the wall.
        constexpr double kDoorX = -30, kDoorHalf = 16;
        m.push_back({Shape::Box, kDoorX * s, 54 * s, kDoorHalf * s, 4 * s, 3, Paint::Dark});
        for (double side : {-1.0, 1.0}) {
            const double leaf = kDoorHalf / 2;
            m.push_back({Shape::Box, (kDoorX + side * leaf * (1.0 + doorOpen)) * s, 54 * s,
                         (leaf * (1.0 - doorOpen) + 0.5) * s, 4 * s, 4, Paint::Team});
        }
    }
    m.push_back({Shape::Box, -12 * s, -8 * s, 30 * s, 34 * s, 4, Paint::Hull});
    if (grown > 0.6) {
        m.push_back({Shape::Box, -12 * s, -8 * s, 22 * s, 10 * s, 5, Paint::Team});
        m.push_back({Shape::Ellipse, 30 * s, -34 * s, 9 * s, 9 * s, 5, Paint::Dark});
        m.push_back({Shape::Ellipse, 30 * s, -34 * s, 4 * s, 4 * s, 6, Paint::Glow});
        m.push_back({Shape::Box, 34 * s, 24 * s, 14 * s, 14 * s, 4, Paint::Ore});
    }
    return UnitPainter::Render(m, kFactoryBox, 8, 1.0, Style{HullRamp(clan), frame}, palette);
}

// While a unit rolls out the game draws the door frame in the body's place, at the door's own
// offset: so each door frame is the whole open factory, its door opening, on a canvas that puts
// it where the body's last frame stands.
std::vector<uint8_t> FactoryDoor(char clan, int frames, const AssetPalette& palette) {
    const int dx = kFactoryDoorOffset.x - kFactoryBodyOffset.x;
    const int dy = kFactoryDoorOffset.y - kFactoryBodyOffset.y;
    std::vector<Canvas> pictures;
    for (int frame = 0; frame < frames; ++frame) {
        const double open = frames > 1 ? static_cast<double>(frame) / (frames - 1) : 1.0;
        Canvas picture(kFactoryBox + 2 * std::abs(dx), kFactoryBox + 2 * std::abs(dy));
        picture.Paste(FactoryOpen(clan, 1.0, frame, palette, open), std::abs(dx) - dx,
                      std::abs(dy) - dy);
        pictures.push_back(std::move(picture));
    }
    return RowPack(pictures);
}

// Rubble: a few burnt plates, fewer as the wreck is salvaged.
Canvas Rubble(int box, int pieces, uint64_t seed, const AssetPalette& palette) {
    Rng rng(seed);
    Model m;
    const double reach = box * 0.3;
    for (int i = 0; i < pieces; ++i) {
        const double x = (rng.Unit() - 0.5) * 2 * reach, y = (rng.Unit() - 0.5) * 2 * reach;
        const double l = box * (0.08 + 0.1 * rng.Unit()), w = box * (0.06 + 0.08 * rng.Unit());
        m.push_back({i % 3 == 0 ? Shape::Ellipse : Shape::Box, x, y, l, w, 1 + i % 3,
                     i % 2 ? Paint::Rust : Paint::Dark});
    }
    return UnitPainter::Render(m, box, rng.Range(0, 15), 1.0, Style{RampId::Earth, 0}, palette);
}

// A vehicle at work: the body at a working facing with a moving arm, beam or scoop.
Canvas WorkFrame(Body body, int facing, int frame, const AssetPalette& palette) {
    const int box = BodyBox(body) + 8;
    Model m = BodyModel(body, 'X', box - 8);
    const double L = HalfLength(box - 8);
    const double phase = std::sin(frame * std::numbers::pi / 12.0);
    switch (body) {
        case Body::Miner:
            m.push_back({Shape::Box, L * (1.0 + 0.2 * phase), 0, L * 0.15, L * 0.5, 6, Paint::Ore});
            break;
        case Body::Scavenger:
            m.push_back({Shape::Box, L * (0.6 + 0.4 * phase), L * 0.2 * phase, L * 0.6, L * 0.08, 6,
                         Paint::Dark});
            break;
        default:
            m.push_back(
                {Shape::Box, L * 1.0, 0, L * (0.3 + 0.3 * phase), L * 0.05, 6, Paint::Glass});
            break;
    }
    return UnitPainter::Render(m, box, facing, 1.0, Style{RampId::Metal, frame}, palette);
}

// One row per working facing, in the order the unit numbers them: a miner works at 10 and 14
// and unloads at 2, a scavenger works at 2, 6, 10 and 14, a repair unit serves at 0 and 8.
std::vector<int> WorkingFacings(Body body) {
    switch (body) {
        case Body::Miner:
            return {10, 14, 2};
        case Body::Repair:
            return {0, 8};
        default:
            return {2, 6, 10, 14};
    }
}

std::vector<uint8_t> WorkGrid(Body body, const AssetPalette& palette) {
    std::vector<std::vector<Canvas>> rows;
    for (int facing : WorkingFacings(body)) {
        std::vector<Canvas> frames;
        for (int frame = 0; frame < kWorkFrames; ++frame)
            frames.push_back(WorkFrame(body, facing, frame, palette));
        rows.push_back(std::move(frames));
    }
    return GridPack(rows);
}

// Crystals that grow with the frame number; a negative frame is a spent deposit: only the
// stumps of the crystals are left.
Canvas Crystals(int frame, int box, const AssetPalette& palette) {
    Canvas canvas(box, box);
    const Ramp& ore = palette.GetRamp(RampId::Ore);
    const int c = box / 2;
    if (frame < 0) {
        for (int k = 0; k < 4; ++k) {
            const int x = c - 10 + (k * 7) % 21, base = c + 8 - (k % 3) * 4;
            for (int w = -1; w <= 1; ++w)
                canvas.Plot(x + w, base, ore.At(1));
        }
        return canvas;
    }
    const int count = 1 + frame / 2;
    for (int k = 0; k < count; ++k) {
        const int x = c - 10 + (k * 7) % 21, base = c + 8 - (k % 3) * 4;
        const int height = 5 + (k * 5) % 9;
        for (int h = 0; h < height; ++h) {
            const int half = (height - h) / 4 + 1;
            for (int w = -half; w <= half; ++w)
                canvas.Plot(x + w, base - h, ore.At(w < 0 ? 6 : 3));
        }
    }
    return canvas;
}

Canvas Gauge(int frame, int frames, uint8_t fill) {
    Canvas canvas(24, 6);
    canvas.FillRect(0, 0, 24, 6, PaletteIndex::kFog);
    canvas.FillRect(1, 1, 22 * (frame + 1) / frames, 4, fill);
    return canvas;
}

std::vector<Canvas> Sequence(int frames, const std::function<Canvas(int)>& draw) {
    std::vector<Canvas> pictures;
    for (int i = 0; i < frames; ++i)
        pictures.push_back(draw(i));
    return pictures;
}

// A part's two panel frames, facing right and lifted together in their box until their lowest
// pixel is at most kPartPictureFloor rows below its centre: the unit panel writes the part's
// name from 6 rows below the point it centres the picture on.
std::vector<Canvas> PartPanelPictures(const Model& model, int box, const Style& style,
                                      const AssetPalette& palette) {
    std::vector<Canvas> frames = Sequence(2, [&](int frame) {
        return UnitPainter::Render(model, box, kPartPanelFacing, kPanelScale,
                                   Style{style.hull, frame}, palette);
    });
    int bottom = -1;
    for (const Canvas& c : frames) {
        for (int y = 0; y < c.Height(); ++y) {
            for (int x = 0; x < c.Width(); ++x) {
                if (c.CoverAt(x, y) != Canvas::Cover::Clear) bottom = std::max(bottom, y);
            }
        }
    }
    const int lift = std::max(0, bottom - (box / 2 + kPartPictureFloor));
    std::vector<Canvas> lifted;
    for (const Canvas& c : frames) {
        lifted.emplace_back(box, box);
        lifted.back().Paste(c, 0, -lift);
    }
    return lifted;
}

}  // namespace

Canvas BodyIcon(Body body, bool oneRow, const AssetPalette& palette) {
    constexpr char kClan = 'V';
    constexpr int kWidth = 640, kHeight = 480, kPanelX = 512;
    constexpr int kBandWidth = kUnitBoxRight - kUnitBoxLeft - 5;
    constexpr int kBandHeight = kHullBandBottom - kHullBandTop + 1;
    // Drawn at the design screen's size first, then at the scale that makes its drawn pixels
    // fill the band.
    const int own = BodyBox(body);
    auto draw = [&](double scale) {
        const int box = static_cast<int>(std::ceil(own * scale)) + 2;
        return UnitPainter::Render(BodyModel(body, kClan, own), box, kPartPanelFacing, scale,
                                   Style{HullRamp(kClan), 0}, palette);
    };
    auto inked = [](const Canvas& c) {
        int x0 = c.Width(), y0 = c.Height(), x1 = -1, y1 = -1;
        for (int y = 0; y < c.Height(); ++y) {
            for (int x = 0; x < c.Width(); ++x) {
                if (c.CoverAt(x, y) == Canvas::Cover::Clear) continue;
                x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x),
                y1 = std::max(y1, y);
            }
        }
        return std::array<int, 4>{x0, y0, x1, y1};
    };
    const std::array<int, 4> first = inked(draw(1.0));
    const double fit = std::min(static_cast<double>(kBandWidth) / (first[2] - first[0] + 1),
                                static_cast<double>(kBandHeight) / (first[3] - first[1] + 1));
    Canvas body1 = draw(fit);
    std::array<int, 4> b = inked(body1);
    // Rounding may leave a row or a column too many: shrink until the drawing fits.
    for (double s = fit; b[2] - b[0] + 1 > kBandWidth || b[3] - b[1] + 1 > kBandHeight;) {
        s *= 0.97;
        body1 = draw(s);
        b = inked(body1);
    }
    Canvas c(kWidth, kHeight);
    const int left = kPanelX + (kUnitBoxLeft + kUnitBoxRight + 1) / 2 - (b[2] - b[0] + 1) / 2;
    const int top = (kHullBandTop + kHullBandBottom + 1) / 2 - (b[3] - b[1] + 1) / 2 +
                    (oneRow ? kOneRowDrop : 0);
    c.Paste(body1, left - b[0], top - b[1]);
    return c;
}

UnitPainter::Offset UnitPanelPoint(int count, int index) {
    constexpr double kLeft = 44, kRight = 76, kMiddle = 62;
    constexpr double kRows[] = {160, 197};
    const int row = std::clamp(index / 2, 0, 1);
    // An odd last part stands alone in the middle of its row.
    const bool alone = index == count - 1 && count % 2 == 1;
    return {alone            ? kMiddle
            : index % 2 == 0 ? kLeft
                             : kRight,
            kRows[row] + (count <= 2 ? kOneRowDrop : 0)};
}

int BodyBox(Body body) {
    switch (body) {
        case Body::Scout:
            return 40;
        case Body::Repair:
        case Body::Capture:
            return 44;
        case Body::Heavy:
        case Body::Bomber:
            return 60;
        case Body::Carrier:
            return 72;
        case Body::Factory:
            return 80;
        case Body::Relay:
            return 52;
        default:
            return 48;
    }
}

int RunningBox(int sizeClass) {
    return sizeClass <= 1 ? 40 : sizeClass == 2 ? 48 : 60;
}

int ArmBox(int mountSize) {
    return 16 + 6 * mountSize;
}

UnitPainter::Offset MountPoint(Body body, int count, int index) {
    const int box = BodyBox(body);
    const double L = HalfLength(box), W = HalfWidth(box);
    switch (count) {
        case 1:
            return {L * 0.1, 0};
        case 2:
            return index == 0 ? UnitPainter::Offset{L * 0.3, 0} : UnitPainter::Offset{-L * 0.35, 0};
        case 3: {
            const UnitPainter::Offset three[] = {
                {L * 0.35, 0}, {-L * 0.3, -W * 0.55}, {-L * 0.3, W * 0.55}};
            return three[index % 3];
        }
        default: {
            // Pairs from the front backwards, left then right.
            const int row = index / 2, rows = (count + 1) / 2;
            const double x = L * (0.5 - 1.0 * row / std::max(1, rows - 1));
            return {x, (index % 2 ? 1 : -1) * W * 0.55};
        }
    }
}

UnitPainter::Offset MuzzlePoint(Arm arm, int mountSize) {
    const double r = TurretRadius(mountSize);
    const double reach = BarrelReach(mountSize);
    return {r * 0.5 + reach + (arm == Arm::Cannon ? 1.0 : 0.0), 0};
}

std::vector<uint8_t> MakePack(const PackRequest& q, const AssetPalette& palette) {
    const Style clanStyle{HullRamp(q.clan), 0};
    switch (q.kind) {
        case PackKind::BodyMap: {
            const auto body = static_cast<Body>(q.variant);
            const int box = BodyBox(body);
            return ColumnPack(
                AllFacings(BodyModel(body, q.clan, box, q.size), box, 1.0, clanStyle, palette));
        }
        case PackKind::BodyPanel: {
            const auto body = static_cast<Body>(q.variant);
            const int box = BodyBox(body);
            return ColumnPack(
                {UnitPainter::Render(BodyModel(body, q.clan, box, q.size), box * kPanelScale,
                                     kPanelFacing, kPanelScale, clanStyle, palette)});
        }
        case PackKind::RunningMap:
            return RunningMap(static_cast<Running>(q.variant), RunningBox(q.size), palette);
        case PackKind::RunningPanel: {
            const int box = RunningBox(q.size);
            return ColumnPack(Sequence(kRunningFrames, [&](int frame) {
                return UnitPainter::Render(
                    RunningModel(static_cast<Running>(q.variant), box, frame), box * kPanelScale,
                    kPanelFacing, kPanelScale, Style{RampId::Metal, frame}, palette);
            }));
        }
        case PackKind::ArmMap: {
            const int box = ArmBox(q.size);
            return ColumnPack(AllFacings(ArmModel(static_cast<Arm>(q.variant), q.size), box, 1.0,
                                         clanStyle, palette));
        }
        case PackKind::ArmPanel:
            return ColumnPack(PartPanelPictures(ArmModel(static_cast<Arm>(q.variant), q.size),
                                                ArmBox(q.size) * kPanelScale, clanStyle, palette));
        case PackKind::DeviceMap:
            return ColumnPack(AllFacings(DeviceModel(static_cast<Device>(q.variant)), kDeviceBox,
                                         1.0, clanStyle, palette));
        case PackKind::DevicePanel:
            return ColumnPack(PartPanelPictures(DeviceModel(static_cast<Device>(q.variant)),
                                                kDeviceBox * kPanelScale, clanStyle, palette));
        case PackKind::PanelBitmap: {
            const Model model = q.frames == 0 ? ArmModel(static_cast<Arm>(q.variant), q.size)
                                              : DeviceModel(static_cast<Device>(q.variant));
            // The mounts panel writes a mounted part's name level with its socket, beside it:
            // the barrel points up, away from the name on either side.
            constexpr int kUp = 4;
            return ColumnPack({UnitPainter::Render(model, 48, kUp, 1.5, clanStyle, palette)});
        }
        case PackKind::ShieldGlow:
            return RowPack(Sequence(q.frames, [&](int frame) {
                return BlastFrame(Blast::Energy, frame, q.frames, 40, palette);
            }));
        case PackKind::Explosion: {
            // The effect's frame lists count the grid's rows: one picture per row.
            std::vector<std::vector<Canvas>> rows;
            for (int frame = 0; frame < q.frames; ++frame)
                rows.push_back(
                    {BlastFrame(static_cast<Blast>(q.variant), frame, q.frames, q.size, palette)});
            return GridPack(rows);
        }
        case PackKind::Shot: {
            // An animated shot turns a quarter round each frame, so the loop shows.
            std::vector<std::vector<Canvas>> rows;
            for (int f = 0; f < kFacings; ++f)
                rows.push_back(Sequence(q.frames, [&](int frame) {
                    return ShotPicture(static_cast<Projectile>(q.variant),
                                       (f + frame * kFacings / 4) % kFacings, palette);
                }));
            return GridPack(rows);
        }
        case PackKind::FiringFlash: {
            std::vector<std::vector<Canvas>> rows;
            for (int f = 0; f < kFacings; ++f)
                rows.push_back(Sequence(q.frames, [&](int frame) {
                    return BlastFrame(static_cast<Blast>(q.variant), frame, q.frames, q.size,
                                      palette);
                }));
            return GridPack(rows);
        }
        case PackKind::CarrierDeck:
            return CarrierDeck(q.clan, palette);
        case PackKind::RelayDeployed:
            return RelayDeployed(static_cast<Body>(q.variant), q.clan, q.size, palette);
        case PackKind::RelayUnder: {
            const int box = BodyBox(Body::Relay);
            auto pad = [&](int frame) {
                const Model m{{Shape::Box, 0, 0, box * 0.42, box * 0.42, 0, Paint::Dark},
                              {Shape::Ellipse, 0, 0, box * 0.12, box * 0.12, 1, Paint::Glow}};
                return UnitPainter::Render(m, box, kPanelFacing, 1.0, Style{RampId::Metal, frame},
                                           palette);
            };
            return GridPack({Sequence(2, pad), Sequence(2, pad)});
        }
        case PackKind::RelayPad: {
            const int box = BodyBox(Body::Relay);
            const Model m{{Shape::Box, 0, 0, box * 0.4, box * 0.4, 0, Paint::Dark}};
            return ColumnPack(AllFacings(m, box, 1.0, clanStyle, palette));
        }
        case PackKind::FactoryFolded: {
            const int box = BodyBox(Body::Factory);
            return ColumnPack(
                AllFacings(BodyModel(Body::Factory, q.clan, box), box, 1.0, clanStyle, palette));
        }
        case PackKind::FactoryPanel:
            return ColumnPack({FactoryOpen(q.clan, 1.0, 0, palette)});
        case PackKind::FactoryPieces: {
            std::vector<std::vector<Canvas>> rows;
            for (int i = 0; i < 4; ++i)
                rows.push_back(
                    {Rubble(64, 7, 0xFAC0ULL + i + static_cast<uint64_t>(q.clan), palette)});
            return GridPack(rows);
        }
        case PackKind::FactoryBody:
            return RowPack(Sequence(q.frames, [&](int frame) {
                return FactoryOpen(q.clan, q.frames > 1 ? frame / (q.frames - 1.0) : 1.0, frame,
                                   palette);
            }));
        case PackKind::FactoryDoor:
            return FactoryDoor(q.clan, q.frames, palette);
        case PackKind::Wreck: {
            const int box = BodyBox(static_cast<Body>(q.variant));
            return ColumnPack(Sequence(q.frames, [&](int frame) {
                return Rubble(box, std::max(2, 9 - 2 * frame),
                              0x3EC0ULL + static_cast<uint64_t>(q.variant) * 16, palette);
            }));
        }
        case PackKind::WorkGrid:
            return WorkGrid(static_cast<Body>(q.variant), palette);
        case PackKind::SmokeGrid:
            return GridPack(
                {Sequence(8, [&](int f) { return BlastFrame(Blast::Smoke, f, 8, 24, palette); }),
                 Sequence(8, [&](int f) { return BlastFrame(Blast::Smoke, f, 8, 32, palette); })});
        case PackKind::Artifact: {
            std::vector<std::vector<Canvas>> rows;
            for (int row = 0; row < 6; ++row) {
                rows.push_back(Sequence(4, [&](int frame) {
                    const Model m{{Shape::Nose, 0, 0, 8, 7, 2, Paint::Crystal},
                                  {Shape::Ellipse, 0, 0, 2.5, 2.5, 3, Paint::Light}};
                    return UnitPainter::Render(m, 24, (row * 3 + frame) % kFacings, 1.0,
                                               Style{RampId::Crystal, frame}, palette);
                }));
            }
            return GridPack(rows);
        }
        case PackKind::OreDeposit:
            // The last frame shows the deposit mined out.
            return RowPack(Sequence(q.frames, [&](int f) {
                return Crystals(f == q.frames - 1 ? -1 : f, 40, palette);
            }));
        case PackKind::OreField:
            // A field wears down frame by frame; its last frame is mined out.
            return RowPack(Sequence(q.frames, [&](int f) {
                return Crystals(f == q.frames - 1 ? -1 : 2 * (q.frames - 1 - f) + 2, 48, palette);
            }));
        case PackKind::LevelBar:
            return ColumnPack(Sequence(
                q.frames, [&](int f) { return Gauge(f, q.frames, PaletteIndex::kStatusGood); }));
        case PackKind::LevelMeter:
            return ColumnPack(
                Sequence(q.frames, [&](int f) { return Gauge(f, q.frames, PaletteIndex::kOre); }));
    }
    return {};
}

}  // namespace CataloguePictures

}  // namespace mkassets
