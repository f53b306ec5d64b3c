#include "AssetSet.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <utility>

#include "AssetPalette.h"
#include "BattlePanelPictures.h"
#include "BattleScreenPictures.h"
#include "CatalogueContent.h"
#include "DesignScreenPictures.h"
#include "FrontEndPictures.h"
#include "GlyphFont.h"
#include "LandMaker.h"
#include "MovieMaker.h"
#include "PicturePacks.h"
#include "Preview.h"
#include "ScenarioPack.h"
#include "SoundSynth.h"
#include "StartCheck.h"
#include "StringLines.h"
#include "core/PackWriter.h"

namespace mkassets {

namespace fs = std::filesystem;

namespace {

// Rows 21 to 26 are the screens' and start-up's; the lands use the rows from 0.
constexpr int kPaletteRows = 27;

std::vector<uint8_t> RepeatedColumn(const std::vector<uint8_t>& entry, int rows) {
    PackWriter pack(1, rows);
    for (int row = 0; row < rows; ++row)
        pack.SetEntry(0, row, entry);
    return pack.Build();
}

std::string Local(const std::string& name) {
    return std::string(AssetSet::kLocalDir) + "/" + name;
}

StartCheck::Layout LayoutOf(const LandMaker::Land& land) {
    StartCheck::Layout layout{land.letters, land.starts, land.fields, {}};
    for (const LandMaker::LandFeature& f : land.features)
        layout.features.push_back({f.row, f.column});
    return layout;
}

}  // namespace

AssetSet::AssetSet(std::string outputDirectory) : root(std::move(outputDirectory)) {}

AssetSet::~AssetSet() = default;

const std::vector<std::string>& AssetSet::VolumeLabels() {
    static const std::vector<std::string> labels = {"VARNOK", "TELMIRA"};
    return labels;
}

bool AssetSet::Fail(const std::string& message) {
    error = message;
    return false;
}

bool AssetSet::MakeDirectories() {
    std::vector<fs::path> directories{fs::path(root) / kLocalDir};
    for (const std::string& label : VolumeLabels()) {
        for (const char* sub : {"Movies", "Sounds", "Data"}) {
            directories.push_back(fs::path(root) / "volumes" / label / "Assets" / sub);
        }
    }
    for (const fs::path& directory : directories) {
        std::error_code code;
        fs::create_directories(directory, code);
        if (code || !fs::is_directory(directory)) {
            return Fail("cannot create the directory " + directory.string() + ": " +
                        code.message());
        }
    }
    return true;
}

bool AssetSet::Put(const std::string& relativePath, const std::vector<uint8_t>& bytes) {
    if (bytes.empty()) return Fail("nothing to write for " + relativePath);
    const fs::path path = fs::path(root) / relativePath;
    std::error_code code;
    fs::create_directories(path.parent_path(), code);  // packs may lie in subdirectories
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) return Fail("cannot write " + path.string());
    written.push_back(relativePath);
    return true;
}

bool AssetSet::PutOnVolumes(const std::string& directory, const std::string& name,
                            const std::vector<uint8_t>& bytes) {
    for (const std::string& label : VolumeLabels()) {
        if (!Put("volumes/" + label + "/Assets/" + directory + "/" + name, bytes)) return false;
    }
    return true;
}

bool AssetSet::Make(const std::string& previewDirectory) {
    written.clear();
    error.clear();
    if (!MakeDirectories()) return false;
    const AssetPalette palette;

    // The interface files, one record each: later packs (catalogue, scenarios, screens) are one
    // more line here or one more module.
    using Maker = std::function<std::vector<uint8_t>(const AssetPalette&)>;
    const std::pair<const char*, Maker> localFiles[] = {
        {"7a1.str", [](const AssetPalette&) { return StringTableFile(BuildStringLines()); }},
        {"7a0txxxx99s999.pal",
         [](const AssetPalette& p) { return RepeatedColumn(p.FileBytes(), kPaletteRows); }},
        {"7a1axxxx99s999.msp", PicturePacks::MakeBusyPack},
        {"7a0cxxxx99s999.msp", PicturePacks::MakeCursorPack},
        {"7a0fxxax99s999.msp", [](const AssetPalette&) { return MakeFontPack(1); }},
        {"7a0fxxbx99s999.msp", [](const AssetPalette&) { return MakeFontPack(2); }},
        {"7a1utxxx00s000.msp", PicturePacks::MakeTitlePack},
        {"7a1uzxxx99s999.msp", PicturePacks::MakeExitPack},
        {"7a0ukxxx99s999.msp", PicturePacks::MakeNetworkPack},
        {"7a0ucxxx99s999.msp", PicturePacks::MakeNetworkBusyPack},
        {"7a1unxxx99s999.msp", DesignScreenPictures::MakeLargePack},
        {"7a0unxxx99s999.msp", DesignScreenPictures::MakeSmallPack},
        {"7a1ugxxx99s999.msp", BattleScreenPictures::MakeLargePack},
        {"7a0ugxxx99s999.msp", BattleScreenPictures::MakeSmallPack},
        {"7a0atxxx99s999.msp", BattleScreenPictures::MakeMarkerPack},
        {"7a1ubxxx99s999.msp", BattlePanelPictures::MakeOptionsWidgetPack},
        {"7a1usxxx99s999.msp", FrontEndPictures::MakeMenuPack},
        {"7a1upxxx99s999.msp", FrontEndPictures::MakeSetupLargePack},
        {"7a0upxxx99s999.msp", FrontEndPictures::MakeSetupSmallPack},
        {"7a1uexxx99s999.msp", FrontEndPictures::MakeLoadGameLargePack},
        {"7a0uexxx99s999.msp", FrontEndPictures::MakeLoadGameSmallPack},
        {"7a0uaxxx99s999.msp", FrontEndPictures::MakeResultsPack},
        {"7a1uaxxx99s999.msp", FrontEndPictures::MakeResultsPack},
        {"7a1ufxxx99s999.msp", FrontEndPictures::MakePromptPack},
        {"7a1.XSF", [](const AssetPalette&) { return SoundSynth::MakeSoundPack(); }},
    };
    for (const auto& [name, make] : localFiles) {
        if (!Put(Local(name), make(palette))) return false;
    }
    if (!PutOnVolumes("Sounds", "7a0.xsf", SoundSynth::MakeMusicPack())) return false;
    const CatalogueContent::Content& catalogue = CatalogueContent::Describe();
    if (!catalogue.error.empty()) return Fail("catalogue: " + catalogue.error);
    for (int sound : catalogue.soundNumbers) {
        if (sound >= SoundSynth::kSoundRows)
            return Fail("the catalogue names sound " + std::to_string(sound) +
                        ", which the sound pack does not hold");
    }
    for (const auto& [name, bytes] : CatalogueContent::Files(palette)) {
        if (!Put(Local(name), bytes)) return false;
    }

    // Lands: the land pack, "edit.lnd", their tile sets and the sprite packs they name. Land n
    // uses palette row n and blend row n; "edit.lnd" the row after the pack's lands.
    const std::vector<LandMaker::LandPlan>& plans = LandMaker::PackLands();
    const int editRow = static_cast<int>(plans.size());
    PackWriter landPack(1, static_cast<int>(plans.size()));
    std::vector<LandMaker::Land> lands;
    for (int row = 0; row < static_cast<int>(plans.size()); ++row) {
        lands.push_back(LandMaker::BuildLand(plans[static_cast<size_t>(row)]));
        const std::string text = LandMaker::Describe(lands.back(), row, row);
        landPack.SetEntry(0, row, std::vector<uint8_t>(text.begin(), text.end()));
    }
    lands.push_back(LandMaker::BuildLand(LandMaker::EditLand()));
    // A side given a start that fails cannot play: its factory makes no unit, or its miners
    // find no ore.
    for (const LandMaker::Land& land : lands) {
        const std::string fault = StartCheck::Fault(LayoutOf(land), land.plan.title);
        if (!fault.empty()) return Fail(fault);
    }
    const std::string editText = LandMaker::Describe(lands.back(), editRow, editRow);
    if (!Put(Local("7a0lxxxx99s999.lnd"), landPack.Build()) ||
        !Put(Local("edit.lnd"), std::vector<uint8_t>(editText.begin(), editText.end())) ||
        !Put(Local("7a0txxxx99s999.map"), RepeatedColumn(palette.BlendTable(), editRow + 1)) ||
        !Put(Local(LandMaker::kFeaturePack), LandMaker::MakeFeaturePack(palette)) ||
        !Put(Local(LandMaker::kDecorationPack), LandMaker::MakeDecorationPack(palette))) {
        return false;
    }
    for (const LandMaker::Land& land : lands) {
        const std::vector<uint8_t> tiles = LandMaker::PaintTileSet(land, palette);
        const std::string name = std::string(land.plan.tileSet) + ".tls";
        if (land.plan.home == LandMaker::TileHome::Volume ? !PutOnVolumes("Data", name, tiles)
                                                          : !Put(Local(name), tiles)) {
            return false;
        }
        if (!previewDirectory.empty() &&
            !WriteLandPreviews(previewDirectory, land, tiles, palette)) {
            return Fail("cannot write the previews of " + std::string(land.plan.title));
        }
    }

    // The scenario pack: the campaign and the tutorial on the campaign land.
    for (size_t row = 0; row < plans.size(); ++row) {
        if (plans[row].style != LandMaker::LandStyle::Open) continue;
        // The player's start of every mission and of the tutorial holds too, with the row's own
        // ore fields in place of the land's.
        for (int entry = 0; entry < ScenarioPack::kRows; ++entry) {
            const std::string fault =
                ScenarioPack::StartFault(entry, lands[row], static_cast<int>(row));
            if (!fault.empty()) return Fail(fault);
        }
        if (!Put(Local(ScenarioPack::kPackName),
                 ScenarioPack::MakePack(lands[row], static_cast<int>(row)))) {
            return false;
        }
    }

    // Movies: encoded once into the first volume they belong on, then copied to the others.
    for (const std::string& movie : MovieMaker::MovieNames()) {
        const std::string own = MovieMaker::MovieVolume(movie);
        if (!own.empty()) {
            const std::string path = "volumes/" + own + "/Assets/Movies/" + movie;
            std::string message;
            if (!MovieMaker::WriteMovie(movie, (fs::path(root) / path).string(), palette,
                                        message)) {
                return Fail("cannot write " + path + ": " + message);
            }
            written.push_back(path);
            continue;
        }
        const std::string first = "volumes/" + VolumeLabels()[0] + "/Assets/Movies/" + movie;
        std::string message;
        if (!MovieMaker::WriteMovie(movie, (fs::path(root) / first).string(), palette, message)) {
            return Fail("cannot write " + first + ": " + message);
        }
        written.push_back(first);
        std::ifstream in(fs::path(root) / first, std::ios::binary);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        for (size_t i = 1; i < VolumeLabels().size(); ++i) {
            if (!Put("volumes/" + VolumeLabels()[i] + "/Assets/Movies/" + movie, bytes))
                return false;
        }
    }

    if (!previewDirectory.empty() && !WritePicturePreviews(previewDirectory, palette)) {
        return Fail("cannot write the previews into " + previewDirectory);
    }
    return true;
}

}  // namespace mkassets
