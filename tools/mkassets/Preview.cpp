#include "Preview.h"

#include <filesystem>

#include "AssetPalette.h"
#include "Canvas.h"
#include "GlyphFont.h"
#include "LandMaker.h"
#include "PictureEncoding.h"
#include "PicturePacks.h"
#include "PngFile.h"

namespace mkassets {

namespace {

// Shade areas draw as the text colour, as the game's text drawing fills them.
std::vector<uint8_t> Flatten(const Canvas& canvas, uint8_t background, uint8_t shadeColour) {
    std::vector<uint8_t> pixels(static_cast<size_t>(canvas.Width()) * canvas.Height(), background);
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            const Canvas::Cover cover = canvas.CoverAt(x, y);
            if (cover == Canvas::Cover::Clear) continue;
            pixels[static_cast<size_t>(y) * canvas.Width() + x] =
                cover == Canvas::Cover::Solid ? canvas.ColourAt(x, y) : shadeColour;
        }
    }
    return pixels;
}

bool Save(const std::string& directory, const std::string& name, const Canvas& canvas,
          const AssetPalette& palette, uint8_t background = PaletteIndex::kFog) {
    return WritePng((std::filesystem::path(directory) / name).string(), canvas.Width(),
                    canvas.Height(), Flatten(canvas, background, PaletteIndex::kText), palette);
}

// Each picture goes through the encoder and back, so the preview shows what the pack holds.
Canvas RoundTrip(const Canvas& canvas) {
    Canvas decoded(0, 0);
    DecodePicture(EncodePicture(canvas), decoded);
    return decoded;
}

// Pixel-doubled, so small pictures such as the cursors can be judged.
Canvas Enlarged(const Canvas& canvas, int factor) {
    Canvas large(canvas.Width() * factor, canvas.Height() * factor);
    for (int y = 0; y < large.Height(); ++y) {
        for (int x = 0; x < large.Width(); ++x) {
            const int sx = x / factor, sy = y / factor;
            if (canvas.CoverAt(sx, sy) == Canvas::Cover::Solid)
                large.Plot(x, y, canvas.ColourAt(sx, sy));
        }
    }
    return large;
}

}  // namespace

void DecodeTile(const uint8_t* tile, uint8_t* pixels, int pitch) {
    for (int block = 0; block < 64; ++block) {
        const uint8_t* b = tile + block * 4;
        const int mask = (b[2] << 8) | b[3];
        for (int i = 0; i < 16; ++i) {
            const int x = (block % 8) * 4 + i % 4, y = (block / 8) * 4 + i / 4;
            pixels[y * pitch + x] = (mask >> i) & 1 ? b[1] : b[0];
        }
    }
}

bool WritePicturePreviews(const std::string& directory, const AssetPalette& palette) {
    std::error_code code;
    std::filesystem::create_directories(directory, code);
    bool ok = Save(directory, "title.png", RoundTrip(PicturePacks::TitlePicture(palette)), palette);
    const Canvas background = RoundTrip(PicturePacks::ExitPicture(0, palette));
    for (int page = 1; page < PicturePacks::kExitPages; ++page) {
        Canvas composed = background;
        composed.Paste(RoundTrip(PicturePacks::ExitPicture(page, palette)), 0, 0);
        ok = ok && Save(directory, "exit" + std::to_string(page) + ".png", composed, palette);
    }

    Canvas sample(400, 120);
    const char* lines[] = {"ABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789",
                           "abcdefghijklmnopqrstuvwxyz .,:;!?'\"-+=/()",
                           "Keep the changes made to Scout Mk 2?", "Mount 3   Cr 120   Ore 45"};
    int y = 4;
    for (const char* line : lines) {
        int x = 4;
        for (const char* c = line; *c; ++c) {
            Canvas glyph(GlyphFont::kAdvance, GlyphFont::kCellHeight);
            GlyphFont::DrawText(glyph, 0, 0, std::string(1, *c), 1, 0);
            Canvas shaded(glyph.Width(), glyph.Height());
            for (int gy = 0; gy < glyph.Height(); ++gy) {
                for (int gx = 0; gx < glyph.Width(); ++gx) {
                    if (glyph.CoverAt(gx, gy) == Canvas::Cover::Solid) shaded.PlotShade(gx, gy);
                }
            }
            sample.Paste(RoundTrip(shaded), x, y);
            x += GlyphFont::kAdvance;
        }
        y += 10;  // the game's line height for the main font
    }
    GlyphFont::DrawText(sample, 4, 60, "Results 12345", 2, PaletteIndex::kHeading);
    ok = ok && Save(directory, "font.png", sample, palette);

    Canvas cursors(PicturePacks::kCursorBox * 8,
                   PicturePacks::kCursorBox * PicturePacks::kCursorShapes / 2);
    cursors.FillRect(0, 0, cursors.Width(), cursors.Height(), palette.GetRamp(RampId::Grass).At(7));
    for (int shape = 0; shape < PicturePacks::kCursorShapes; ++shape) {
        for (int frame = 0; frame < PicturePacks::CursorFrameCount(shape) && frame < 4; ++frame) {
            cursors.Paste(RoundTrip(PicturePacks::CursorFrame(shape, frame, palette)),
                          ((shape % 2) * 4 + frame) * PicturePacks::kCursorBox,
                          (shape / 2) * PicturePacks::kCursorBox);
        }
    }
    ok = ok && Save(directory, "cursors.png", Enlarged(cursors, 2), palette);

    Canvas busy(96 * PicturePacks::kBusyFrames, 80);
    for (int frame = 0; frame < PicturePacks::kBusyFrames; ++frame) {
        busy.Paste(RoundTrip(PicturePacks::BusyFrame(frame, palette)), frame * 96, 0);
    }
    ok = ok && Save(directory, "busy.png", busy, palette, PaletteIndex::kBlack);
    return ok;
}

bool WriteLandPreviews(const std::string& directory, const LandMaker::Land& land,
                       const std::vector<uint8_t>& tiles, const AssetPalette& palette) {
    std::error_code code;
    std::filesystem::create_directories(directory, code);
    const int width = land.plan.columns * 32, height = land.plan.rows * 32;
    Canvas ground(width, height);
    std::vector<uint8_t> tile(32 * 32);
    for (int row = 0; row < land.plan.rows; ++row) {
        for (int column = 0; column < land.plan.columns; ++column) {
            const size_t at = static_cast<size_t>(1 + row * land.plan.columns + column) * 256;
            DecodeTile(tiles.data() + at, tile.data(), 32);
            for (int i = 0; i < 32 * 32; ++i)
                ground.Plot(column * 32 + i % 32, row * 32 + i / 32, tile[static_cast<size_t>(i)]);
        }
    }
    std::vector<Canvas> features;
    const std::vector<uint8_t> featurePack = LandMaker::MakeFeaturePack(palette);
    for (int frame = 0; frame < LandMaker::kFeatureFrames; ++frame) {
        Canvas picture(0, 0);
        // Entry data follows the directory: offsets are at 8 + frame x 8.
        const size_t entry = 8 + static_cast<size_t>(frame) * 8;
        const size_t offset = (static_cast<size_t>(featurePack[entry]) << 24) |
                              (featurePack[entry + 1] << 16) | (featurePack[entry + 2] << 8) |
                              featurePack[entry + 3];
        const size_t length = (static_cast<size_t>(featurePack[entry + 4]) << 24) |
                              (featurePack[entry + 5] << 16) | (featurePack[entry + 6] << 8) |
                              featurePack[entry + 7];
        DecodePicture(std::vector<uint8_t>(
                          featurePack.begin() + static_cast<std::ptrdiff_t>(offset),
                          featurePack.begin() + static_cast<std::ptrdiff_t>(offset + length)),
                      picture);
        features.push_back(picture);
    }
    for (const LandMaker::LandFeature& f : land.features) {
        const Canvas& picture = features[static_cast<size_t>(f.frame)];
        const int left = f.column * 32 + 16 - picture.Width() / 2,
                  top = f.row * 32 + 16 - picture.Height() / 2;
        for (int y = 0; y < picture.Height(); ++y) {
            for (int x = 0; x < picture.Width(); ++x) {
                if (!ground.Inside(left + x, top + y)) continue;
                if (picture.CoverAt(x, y) == Canvas::Cover::Solid) {
                    ground.Plot(left + x, top + y, picture.ColourAt(x, y));
                } else if (picture.CoverAt(x, y) == Canvas::Cover::Shade) {
                    const Rgb c = palette.Colour(ground.ColourAt(left + x, top + y));
                    const int keep = LandMaker::kShadeValue;  // the land's darkening table
                    ground.Plot(left + x, top + y,
                                palette.Nearest({static_cast<uint8_t>(c.r * keep / 100),
                                                 static_cast<uint8_t>(c.g * keep / 100),
                                                 static_cast<uint8_t>(c.b * keep / 100)}));
                }
            }
        }
    }
    bool ok = true;
    for (int zoom = 0; zoom < 3; ++zoom) {
        const int step = 1 << zoom;
        const int viewWidth = std::min(640, width / step),
                  viewHeight = std::min(480, height / step);
        const int left = (width - viewWidth * step) / 2, top = (height - viewHeight * step) / 2;
        Canvas view(viewWidth, viewHeight);
        for (int y = 0; y < viewHeight; ++y) {
            for (int x = 0; x < viewWidth; ++x)
                view.Plot(x, y, ground.ColourAt(left + x * step, top + y * step));
        }
        ok = ok && Save(directory,
                        std::string(land.plan.tileSet) + "-zoom" + std::to_string(zoom) + ".png",
                        view, palette);
    }
    return ok;
}

}  // namespace mkassets
