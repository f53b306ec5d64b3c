#include "FrontEndPictures.h"

#include <string>

#include "AssetPalette.h"
#include "Canvas.h"
#include "GlyphFont.h"
#include "PictureEncoding.h"
#include "core/PackWriter.h"

namespace mkassets {

namespace FrontEndPictures {
namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

// A box with a two-pixel frame, corners inclusive.
void Framed(Canvas& canvas, int left, int top, int right, int bottom, uint8_t fill, uint8_t frame) {
    canvas.FillRect(left, top, right - left + 1, bottom - top + 1, frame);
    canvas.FillRect(left + 2, top + 2, right - left - 3, bottom - top - 3, fill);
}

void Text(Canvas& canvas, int x, int y, const std::string& text, uint8_t colour, int scale = 1) {
    GlyphFont::DrawText(canvas, x, y, text, scale, colour);
}

void CentredText(Canvas& canvas, int y, const std::string& text, uint8_t colour, int scale) {
    Text(canvas, (kWidth - GlyphFont::TextWidth(text, scale)) / 2, y, text, colour, scale);
}

// A dark screen with a frame and a heading.
Canvas Backdrop(const std::string& heading) {
    Canvas canvas(kWidth, kHeight);
    canvas.FillRect(0, 0, kWidth, kHeight, PaletteIndex::kBlack);
    Framed(canvas, 4, 4, kWidth - 5, kHeight - 5, PaletteIndex::kBlack, PaletteIndex::kTextDim);
    if (!heading.empty()) CentredText(canvas, 40, heading, PaletteIndex::kHeading, 3);
    return canvas;
}

// A face as big as its button, a framed box with an optional caption.
Canvas Face(int width, int height, uint8_t fill, const std::string& caption = "") {
    Canvas canvas(width, height);
    Framed(canvas, 0, 0, width - 1, height - 1, fill, PaletteIndex::kWhite);
    if (!caption.empty()) {
        const int x = (width - GlyphFont::TextWidth(caption, 1)) / 2;
        Text(canvas, x < 2 ? 2 : x, (height - 11) / 2, caption, PaletteIndex::kBlack);
    }
    return canvas;
}

// A face placed by its origin: drawn at its place on a whole-screen canvas.
Canvas Placed(int left, int top, int right, int bottom, uint8_t fill,
              const std::string& caption = "") {
    Canvas canvas(kWidth, kHeight);
    canvas.Paste(Face(right - left + 1, bottom - top + 1, fill, caption), left, top);
    return canvas;
}

void Put(PackWriter& pack, int column, int row, const Canvas& canvas) {
    pack.SetEntry(column, row, EncodePicture(canvas));
}

// A slider's groove under the whole travel of its 38 x 27 knob, with the knob's left edge going
// from `left` to `right`; low in the knob's rows, below the value written beside the knob.
void Groove(Canvas& canvas, int left, int right, int knobTop) {
    canvas.FillRect(left, knobTop + 21, right + 38 - left, 3, PaletteIndex::kTextDim);
    canvas.FillRect(left, knobTop + 18, 2, 9, PaletteIndex::kTextDim);
    canvas.FillRect(right + 36, knobTop + 18, 2, 9, PaletteIndex::kTextDim);
}

// A button's face drawn where the button stands, for buttons that have no normal picture.
void FaceAt(Canvas& canvas, int left, int top, int right, int bottom, uint8_t fill,
            const std::string& caption) {
    canvas.Paste(Face(right - left + 1, bottom - top + 1, fill, caption), left, top);
}

// The 19 x 18 round knob's place as a pale framed box on a background.
void KnobPlace(Canvas& canvas, int x, int y) {
    Framed(canvas, x, y, x + 18, y + 17, PaletteIndex::kFieldBack, PaletteIndex::kLightGrey);
}

}  // namespace

// A disabled item: darker than the items around it, its frame and caption greyed out.
Canvas DisabledFace(int width, int height, const std::string& caption,
                    const AssetPalette& palette) {
    const uint8_t grey = palette.GetRamp(RampId::Metal).At(5);
    Canvas canvas(width, height);
    Framed(canvas, 0, 0, width - 1, height - 1, PaletteIndex::kBlack, grey);
    Text(canvas, (width - GlyphFont::TextWidth(caption, 1)) / 2, (height - 11) / 2, caption, grey);
    return canvas;
}

std::vector<uint8_t> MakeMenuPack(const AssetPalette& palette) {
    // The items' labels by item, and each item's pack row.
    const char* const labels[8] = {
        "TUTORIAL", "DESIGN VEHICLES",   "NEW CAMPAIGN",      "LOAD GAME",
        "SKIRMISH", "JOIN NETWORK GAME", "HOST NETWORK GAME", "EXIT"};
    const int rows[8] = {6, 7, 1, 2, 5, 3, 4, 8};
    PackWriter pack(3, 9);
    Canvas background = Backdrop("QUARNEX");
    for (int item = 0; item < 8; ++item) {
        const int top = 105 + 36 * item;
        Framed(background, 217, top - 2, 428, top + 21, PaletteIndex::kBlack,
               PaletteIndex::kTextDim);
        const int x = 219 + (208 - GlyphFont::TextWidth(labels[item], 1)) / 2;
        Text(background, x, top + 5, labels[item], PaletteIndex::kText);
    }
    Put(pack, 0, 0, background);
    for (int item = 0; item < 8; ++item) {
        Put(pack, 0, rows[item], Face(208, 20, PaletteIndex::kHighlight, labels[item]));
        if (rows[item] <= 4) Put(pack, 2, rows[item], DisabledFace(208, 20, labels[item], palette));
    }
    return pack.Build();
}

std::vector<uint8_t> MakeSetupLargePack(const AssetPalette& /*palette*/) {
    PackWriter pack(1, 9);
    // Group 2: clans, swatches, back and start; shown in every role, so it covers the menu.
    Canvas clan = Backdrop("");
    Framed(clan, 180, 140, 460, 360, PaletteIndex::kBlack, PaletteIndex::kTextDim);
    FaceAt(clan, 239, 323, 277, 350, PaletteIndex::kStatusBad, "BACK");
    FaceAt(clan, 376, 318, 400, 352, PaletteIndex::kStatusGood, "GO");
    Text(clan, 200, 146, "CLAN", PaletteIndex::kHeading);
    KnobPlace(clan, 248, 162);
    Text(clan, 274, 166, "VARNOK", PaletteIndex::kText);
    KnobPlace(clan, 248, 194);
    Text(clan, 274, 198, "TELMIRA", PaletteIndex::kText);
    Text(clan, 200, 260, "COLOUR", PaletteIndex::kHeading);
    Put(pack, 0, 0, clan);
    // Group 0: the scenario list.
    Canvas list(kWidth, kHeight);
    Framed(list, 14, 140, 150, 340, PaletteIndex::kBlack, PaletteIndex::kTextDim);
    Text(list, 20, 146, "LAND", PaletteIndex::kHeading);
    Put(pack, 0, 5, list);
    // Group 1: enemies and difficulty.
    Canvas enemies(kWidth, kHeight);
    Framed(enemies, 180, 20, 460, 100, PaletteIndex::kBlack, PaletteIndex::kTextDim);
    Text(enemies, 190, 42, "ENEMIES", PaletteIndex::kHeading);
    Text(enemies, 190, 72, "LEVEL", PaletteIndex::kHeading);
    // The three enemy counts (the marker shows the chosen one) and the level's groove.
    const int enemyLeft[3] = {254, 300, 346}, enemyRight[3] = {295, 340, 386};
    for (int i = 0; i < 3; ++i)
        FaceAt(enemies, enemyLeft[i], 36, enemyRight[i], 58, PaletteIndex::kLightGrey,
               std::to_string(i + 1));
    Groove(enemies, 247, 362, 65);
    Put(pack, 0, 6, enemies);
    // Group 3: tech, artifacts and resources.
    Canvas tech(kWidth, kHeight);
    Framed(tech, 480, 140, 630, 345, PaletteIndex::kBlack, PaletteIndex::kTextDim);
    Text(tech, 490, 150, "TECH", PaletteIndex::kHeading);
    KnobPlace(tech, 504, 219);
    Text(tech, 528, 223, "ARTIFACTS", PaletteIndex::kText);
    Text(tech, 490, 290, "RESOURCES", PaletteIndex::kHeading);
    Groove(tech, 507, 573, 172);
    Groove(tech, 507, 573, 308);
    Put(pack, 0, 8, tech);
    return pack.Build();
}

std::vector<uint8_t> MakeSetupSmallPack(const AssetPalette& /*palette*/) {
    PackWriter pack(9, 10);
    Put(pack, 0, 0, Face(39, 28, PaletteIndex::kStatusBad, "<"));
    Put(pack, 0, 1, Face(25, 35, PaletteIndex::kStatusGood, ">"));
    Put(pack, 0, 2, Face(41, 23, PaletteIndex::kHighlight));
    for (int colour = 0; colour < 9; ++colour) {
        const uint8_t fill = colour == 0
                                 ? PaletteIndex::kTextDim
                                 : static_cast<uint8_t>(PaletteIndex::kTeamFirst + colour - 1);
        Canvas normal(56, 27);
        normal.FillRect(0, 0, 56, 27, fill);
        Put(pack, colour, 3, normal);
        Put(pack, colour, 9, Face(56, 27, fill));
    }
    Canvas marker(62, 33);
    Framed(marker, 0, 0, 61, 32, 0, PaletteIndex::kWhite);
    marker.FillRect(2, 2, 58, 29, 0);
    for (int y = 2; y < 31; ++y)
        for (int x = 2; x < 60; ++x)
            marker.Clear(x, y);
    Put(pack, 0, 4, marker);
    Put(pack, 0, 5, Face(38, 27, PaletteIndex::kLightGrey));
    Canvas enemy(38, 20);
    enemy.FillCircle(19, 10, 8, PaletteIndex::kStatusBad);
    Put(pack, 0, 7, enemy);
    return pack.Build();
}

std::vector<uint8_t> MakeLoadGameLargePack(const AssetPalette& /*palette*/) {
    PackWriter pack(1, 1);
    Canvas canvas = Backdrop("SAVED GAMES");
    Framed(canvas, 188, 129, 476, 287, PaletteIndex::kBlack, PaletteIndex::kTextDim);
    Framed(canvas, 449, 147, 472, 268, PaletteIndex::kFieldBack, PaletteIndex::kTextDim);
    Framed(canvas, 394, 314, 422, 343, PaletteIndex::kBlack, PaletteIndex::kStatusGood);
    Framed(canvas, 285, 314, 354, 343, PaletteIndex::kBlack, PaletteIndex::kStatusWarn);
    Framed(canvas, 211, 314, 251, 343, PaletteIndex::kBlack, PaletteIndex::kStatusBad);
    Text(canvas, 396, 347, "LOAD", PaletteIndex::kText);
    Text(canvas, 298, 347, "DELETE", PaletteIndex::kText);
    Text(canvas, 217, 347, "BACK", PaletteIndex::kText);
    Put(pack, 0, 0, canvas);
    return pack.Build();
}

std::vector<uint8_t> MakeLoadGameSmallPack(const AssetPalette& /*palette*/) {
    PackWriter pack(1, 7);
    Put(pack, 0, 1, Placed(449, 132, 472, 146, PaletteIndex::kHighlight, "^"));
    Put(pack, 0, 2, Placed(449, 269, 472, 283, PaletteIndex::kHighlight, "v"));
    Put(pack, 0, 3, Face(18, 17, PaletteIndex::kLightGrey));
    Put(pack, 0, 4, Placed(394, 314, 422, 343, PaletteIndex::kStatusGood));
    Put(pack, 0, 5, Placed(211, 314, 251, 343, PaletteIndex::kStatusBad));
    Put(pack, 0, 6, Placed(285, 314, 354, 343, PaletteIndex::kStatusWarn));
    return pack.Build();
}

std::vector<uint8_t> MakeResultsPack(const AssetPalette& /*palette*/) {
    constexpr int kFrames = 8;
    PackWriter pack(kFrames, 8);
    Canvas background = Backdrop("");
    const int columns[4][2] = {{110, 158}, {232, 279}, {361, 407}, {482, 530}};
    const char* const titles[4] = {"COMBAT", "TIME", "KILLS", "LOSSES"};
    for (int c = 0; c < 4; ++c) {
        Framed(background, columns[c][0] - 2, 104, columns[c][1] + 2, 348, PaletteIndex::kBlack,
               PaletteIndex::kTextDim);
        // Above the shown values, which the screen writes in its large font with their
        // baseline at y 92.
        Text(background, columns[c][0], 52, titles[c], PaletteIndex::kHeading);
    }
    // The playing time and the score are written in the large font (12 pixels a character,
    // 18 high) with their baselines at y 427 and 442: their boxes stand round the text, each
    // with its label.
    Framed(background, 86, 404, 194, 431, PaletteIndex::kBlack, PaletteIndex::kTextDim);
    Text(background, 46, 411, "TIME", PaletteIndex::kHeading);
    Framed(background, 262, 419, 358, 446, PaletteIndex::kBlack, PaletteIndex::kTextDim);
    Text(background, 222, 426, "SCORE", PaletteIndex::kHeading);
    // The OK button has no normal picture: its face stands in the background.
    background.Paste(Face(46, 71, PaletteIndex::kLightGrey, "OK"), 508, 372);
    Put(pack, 0, 0, background);
    Put(pack, 0, 1, Face(46, 71, PaletteIndex::kStatusGood, "OK"));
    for (int frame = 0; frame < kFrames; ++frame) {
        Canvas spark(kWidth, kHeight);
        spark.FillCircle(40 + frame * 70, 20, 4, PaletteIndex::kPulse);
        Put(pack, frame, 2, spark);
    }
    Canvas bar(34, 240);
    bar.FillRect(0, 0, 34, 240, PaletteIndex::kBrightGreen);
    Put(pack, 0, 3, bar);
    Canvas table(kWidth, kHeight);
    Framed(table, 170, 180, 470, 380, PaletteIndex::kBlack, PaletteIndex::kLightGrey);
    CentredText(table, 184, "HIGH SCORES", PaletteIndex::kHeading, 1);
    Framed(table, 180, 198, 455, 215, PaletteIndex::kFieldBack, PaletteIndex::kTextDim);
    // The save-name button has no normal picture: its face and what it does stand in the
    // table, which is shown exactly while the button is enabled.
    Text(table, 438 - GlyphFont::TextWidth("SAVE NAME", 1), 268, "SAVE NAME", PaletteIndex::kText);
    table.Paste(Face(25, 36, PaletteIndex::kLightGrey, "OK"), 441, 256);
    Put(pack, 0, 4, table);
    Put(pack, 0, 5, Face(25, 36, PaletteIndex::kStatusGood, "OK"));
    // Disabled, it stands on the results without a table to save into: nothing to show.
    Put(pack, 2, 5, Canvas(25, 36));
    Put(pack, 0, 6, Placed(425, 303, 439, 317, PaletteIndex::kHighlight, "^"));
    Put(pack, 0, 7, Placed(425, 353, 439, 367, PaletteIndex::kHighlight, "v"));
    return pack.Build();
}

std::vector<uint8_t> MakePromptPack(const AssetPalette& /*palette*/) {
    PackWriter pack(1, 2);
    Canvas prompt(kWidth, kHeight);
    Framed(prompt, 265, 214, 390, 277, PaletteIndex::kBlack, PaletteIndex::kLightGrey);
    KnobPlace(prompt, 271, 222);
    Text(prompt, 296, 226, "Main menu", PaletteIndex::kText);
    KnobPlace(prompt, 271, 253);
    Text(prompt, 296, 257, "Play again", PaletteIndex::kText);
    Put(pack, 0, 0, prompt);
    Canvas strike(kWidth, kHeight);
    strike.FillRect(269, 262, 118, 2, PaletteIndex::kStatusBad);
    Put(pack, 0, 1, strike);
    return pack.Build();
}

}  // namespace FrontEndPictures

}  // namespace mkassets
