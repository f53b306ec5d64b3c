#include "MovieMaker.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>

#include "AssetPalette.h"
#include "Canvas.h"
#include "GlyphFont.h"
#include "PicturePacks.h"
#include "SoundSynth.h"
#include "StringLines.h"
#include "platform/MovieWriter.h"

namespace mkassets {

namespace MovieMaker {
namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr int kFps = 10;
constexpr int kSeconds = 3;
constexpr int kFrames = kFps * kSeconds;
constexpr int kCardSeconds = 2;

using DrawFrame = std::function<void(int frame, Canvas& canvas)>;

void ShrinkInto(const Canvas& picture, Canvas& canvas, int left, int top, int step) {
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            const int sx = left + x * step, sy = top + y * step;
            if (picture.Inside(sx, sy)) canvas.Plot(x, y, picture.ColourAt(sx, sy));
        }
    }
}

void Caption(Canvas& canvas, int y, const std::string& text, int scale, uint8_t colour) {
    GlyphFont::DrawText(canvas, (kWidth - GlyphFont::TextWidth(text, scale)) / 2, y, text, scale,
                        colour);
}

DrawFrame Intro(const AssetPalette& palette) {
    auto title = std::make_shared<Canvas>(PicturePacks::TitlePicture(palette));
    return [title](int frame, Canvas& canvas) {
        if (frame < kFrames / 2) {
            // A slow pan over the full-size picture, left to right.
            ShrinkInto(*title, canvas, frame * 320 / (kFrames / 2), 40, 1);
        } else {
            ShrinkInto(*title, canvas, 0, 0, 2);
        }
    };
}

DrawFrame Briefing(const AssetPalette& palette) {
    auto background = std::make_shared<Canvas>(PicturePacks::ExitPicture(0, palette));
    return [background](int frame, Canvas& canvas) {
        ShrinkInto(*background, canvas, 0, 0, 2);
        const std::string text = "VARNOK - Mission 1";
        const size_t shown = std::min(text.size(), static_cast<size_t>(frame));
        Caption(canvas, 100, text.substr(0, shown), 2, PaletteIndex::kHeading);
        if (frame > 20) Caption(canvas, 140, MissionTask('V', 1), 1, PaletteIndex::kText);
    };
}

DrawFrame Victory(const AssetPalette& palette) {
    const mkassets::Ramp fire = palette.GetRamp(RampId::Fire);
    const mkassets::Ramp sky = palette.GetRamp(RampId::Interface);
    return [fire, sky](int frame, Canvas& canvas) {
        canvas.FillRect(0, 0, kWidth, kHeight, sky.At(1));
        for (int burst = 0; burst < 4; ++burst) {
            const int age = frame - burst * 6;
            if (age < 0) continue;
            const int cx = 60 + burst * 70, cy = 60 + (burst % 2) * 50;
            for (int ray = 0; ray < 16; ++ray) {
                const double angle = ray * 0.3927;
                const int r = age * 4;
                const int x = cx + static_cast<int>(r * std::cos(angle));
                const int y = cy + static_cast<int>(r * std::sin(angle));
                canvas.FillCircle(x, y, 2, fire.At(15 - std::min(age, 12)));
            }
        }
        Caption(canvas, 170, "VICTORY", 4, PaletteIndex::kHeading);
    };
}

// A campaign title card: the clan's name, the movie's mission and a still background.
std::function<DrawFrame(const AssetPalette&)> TitleCard(std::string clan, std::string title) {
    return [clan, title](const AssetPalette& palette) -> DrawFrame {
        const mkassets::Ramp sky = palette.GetRamp(RampId::Interface);
        return [clan, title, sky](int frame, Canvas& canvas) {
            canvas.FillRect(0, 0, kWidth, kHeight, sky.At(1 + frame % 2));
            Caption(canvas, 90, clan, 3, PaletteIndex::kHeading);
            Caption(canvas, 140, title, 2, PaletteIndex::kText);
        };
    };
}

struct MovieRecipe {
    std::string name;
    std::function<DrawFrame(const AssetPalette&)> make;
    int musicPiece;
    int seconds = kSeconds;
    // Empty: every volume.
    std::string volume;
};

const std::vector<MovieRecipe>& Recipes() {
    static const std::vector<MovieRecipe> recipes = [] {
        std::vector<MovieRecipe> r = {
            {"intro.mov", Intro, 0, kSeconds, ""},
            {"VN01.mov", Briefing, 1, kSeconds, ""},
            {"VNVIC.mov", Victory, 2, kSeconds, ""},
        };
        char name[16];
        for (int mission = 2; mission <= 11; ++mission) {
            std::snprintf(name, sizeof name, "VN%02d.mov", mission);
            r.push_back({name, TitleCard("VARNOK", "Mission " + std::to_string(mission)), 1,
                         kCardSeconds, "VARNOK"});
        }
        for (int mission = 1; mission <= 11; ++mission) {
            std::snprintf(name, sizeof name, "TM%02d.mov", mission);
            r.push_back({name, TitleCard("TELMIRA", "Mission " + std::to_string(mission)), 1,
                         kCardSeconds, "TELMIRA"});
        }
        r.push_back({"TMVIC.mov", TitleCard("TELMIRA", "Victory"), 2, kCardSeconds, "TELMIRA"});
        return r;
    }();
    return recipes;
}

}  // namespace

const std::vector<std::string>& MovieNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> n;
        for (const MovieRecipe& recipe : Recipes())
            n.push_back(recipe.name);
        return n;
    }();
    return names;
}

std::string MovieVolume(const std::string& name) {
    for (const MovieRecipe& recipe : Recipes()) {
        if (recipe.name == name) return recipe.volume;
    }
    return std::string();
}

bool WriteMovie(const std::string& name, const std::string& path, const AssetPalette& palette,
                std::string& error) {
    const auto recipe = std::find_if(Recipes().begin(), Recipes().end(),
                                     [&name](const MovieRecipe& r) { return r.name == name; });
    if (recipe == Recipes().end()) {
        error = "no movie called " + name;
        return false;
    }
    const DrawFrame draw = recipe->make(palette);
    const std::vector<int16_t> music = SoundSynth::ComposePiece(recipe->musicPiece);
    winx_MovieWriter writer;
    if (!writer.Open(path, kWidth, kHeight, kFps, SoundSynth::kRate, 2)) {
        error = writer.LastError();
        return false;
    }
    const int soundPerFrame = SoundSynth::kRate / kFps;
    std::vector<uint8_t> rgb(static_cast<size_t>(kWidth) * kHeight * 3);
    const int frames = kFps * recipe->seconds;
    for (int frame = 0; frame < frames; ++frame) {
        Canvas canvas(kWidth, kHeight);
        draw(frame, canvas);
        for (int i = 0; i < kWidth * kHeight; ++i) {
            const Rgb& c = palette.Colour(canvas.ColourAt(i % kWidth, i / kWidth));
            rgb[static_cast<size_t>(i) * 3] = c.r;
            rgb[static_cast<size_t>(i) * 3 + 1] = c.g;
            rgb[static_cast<size_t>(i) * 3 + 2] = c.b;
        }
        const size_t soundAt = static_cast<size_t>(frame) * soundPerFrame * 2;
        if (!writer.WriteFrame(rgb.data(), kWidth * 3) ||
            (soundAt + soundPerFrame * 2 <= music.size() &&
             !writer.WriteSound(music.data() + soundAt, soundPerFrame))) {
            error = writer.LastError();
            writer.Close();
            return false;
        }
    }
    if (!writer.Close()) {
        error = writer.LastError();
        return false;
    }
    return true;
}

}  // namespace MovieMaker

}  // namespace mkassets
