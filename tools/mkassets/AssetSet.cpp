#include "AssetSet.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
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
#include "platform/RegularFile.h"

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

std::string AssetSet::StartFault(const LandMaker::Land& land) const {
    return StartCheck::Fault(LayoutOf(land), land.plan.title);
}

void AssetSet::Put(const std::string& relativePath, std::vector<uint8_t> bytes) {
    planned.push_back(Planned{relativePath, std::move(bytes)});
}

void AssetSet::PutOnVolumes(const std::string& directory, const std::string& name,
                            const std::vector<uint8_t>& bytes) {
    for (const std::string& label : VolumeLabels())
        Put("volumes/" + label + "/Assets/" + directory + "/" + name, bytes);
}

std::vector<std::vector<std::string>> AssetSet::MoviePaths() {
    std::vector<std::vector<std::string>> paths;
    for (const std::string& movie : MovieMaker::MovieNames()) {
        const std::string own = MovieMaker::MovieVolume(movie);
        paths.emplace_back();
        for (const std::string& label : VolumeLabels()) {
            if (own.empty() || own == label)
                paths.back().push_back("volumes/" + label + "/Assets/Movies/" + movie);
        }
    }
    return paths;
}

bool AssetSet::Make(const std::string& previewDirectory) {
    written.clear();
    error.clear();
    planned.clear();
    landTiles.clear();
    staged.clear();
    madeDirectories.clear();
    const AssetPalette palette;
    std::vector<LandMaker::Land> lands;
    const std::string unchanged = "; nothing in " + root + " was changed";
    if (!Plan(palette, lands)) return Fail(error + unchanged);
    bool whole = MakeDirectory(root) && TakeLock() && RefuseTakenNames();
    for (const Planned& file : planned) {
        whole = whole && Stage(file.path, file.bytes);
    }
    planned.clear();
    whole = whole && StageMovies(palette) &&
            (previewDirectory.empty() || WritePreviews(previewDirectory, lands, palette)) &&
            RefuseTakenNames();  // again: the encoding takes a while
    if (!whole) {
        Discard();
        return Fail(error + unchanged);
    }
    const bool committed = Commit();
    lock.ReleaseAndRemove();
    return committed;
}

bool AssetSet::Plan(const AssetPalette& palette, std::vector<LandMaker::Land>& lands) {
    // The checks come first: a refused run makes nothing it would throw away.
    const CatalogueContent::Content& catalogue = CatalogueContent::Describe();
    if (!catalogue.error.empty()) return Fail("catalogue: " + catalogue.error);
    for (int sound : catalogue.soundNumbers) {
        if (sound >= SoundSynth::kSoundRows)
            return Fail("the catalogue names sound " + std::to_string(sound) +
                        ", which the sound pack does not hold");
    }

    // Lands: the land pack, "edit.lnd", their tile sets and the sprite packs they name. Land n
    // uses palette row n and blend row n; "edit.lnd" the row after the pack's lands.
    const std::vector<LandMaker::LandPlan>& plans = LandMaker::PackLands();
    const int editRow = static_cast<int>(plans.size());
    PackWriter landPack(1, static_cast<int>(plans.size()));
    for (int row = 0; row < static_cast<int>(plans.size()); ++row) {
        lands.push_back(LandMaker::BuildLand(plans[static_cast<size_t>(row)]));
        const std::string text = LandMaker::Describe(lands.back(), row, row);
        landPack.SetEntry(0, row, std::vector<uint8_t>(text.begin(), text.end()));
    }
    lands.push_back(LandMaker::BuildLand(LandMaker::EditLand()));
    // A side given a start that fails cannot play: its factory makes no unit, or its miners
    // find no ore.
    for (const LandMaker::Land& land : lands) {
        const std::string fault = StartFault(land);
        if (!fault.empty()) return Fail(fault);
    }
    // The scenario pack: the campaign and the tutorial on the campaign land, missions with a
    // land of their own on it. The player's start of every mission and of the tutorial holds
    // too, with the row's own ore fields in place of the land's.
    for (int entry = 0; entry < ScenarioPack::kRows; ++entry) {
        const std::string fault = ScenarioPack::StartFault(entry, lands);
        if (!fault.empty()) return Fail(fault);
    }

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
        std::vector<uint8_t> bytes = make(palette);
        if (bytes.empty()) return Fail(std::string("nothing to write for ") + name);
        Put(Local(name), std::move(bytes));
    }
    PutOnVolumes("Sounds", "7a0.xsf", SoundSynth::MakeMusicPack());
    for (const auto& [name, bytes] : CatalogueContent::Files(palette))
        Put(Local(name), bytes);

    const std::string editText = LandMaker::Describe(lands.back(), editRow, editRow);
    Put(Local("7a0lxxxx99s999.lnd"), landPack.Build());
    Put(Local("edit.lnd"), std::vector<uint8_t>(editText.begin(), editText.end()));
    Put(Local("7a0txxxx99s999.map"), RepeatedColumn(palette.BlendTable(), editRow + 1));
    Put(Local(LandMaker::kFeaturePack), LandMaker::MakeFeaturePack(palette));
    Put(Local(LandMaker::kDecorationPack), LandMaker::MakeDecorationPack(palette));
    for (const LandMaker::Land& land : lands) {
        std::vector<uint8_t> tiles = LandMaker::PaintTileSet(land, palette);
        const std::string name = std::string(land.plan.tileSet) + ".tls";
        landTiles.push_back(planned.size());
        if (land.plan.home == LandMaker::TileHome::Volume)
            PutOnVolumes("Data", name, tiles);
        else
            Put(Local(name), std::move(tiles));
    }
    Put(Local(ScenarioPack::kPackName), ScenarioPack::MakePack(lands));
    for (const Planned& file : planned) {
        if (file.bytes.empty()) return Fail("nothing to write for " + file.path);
    }
    return true;
}

bool AssetSet::TakeLock() {
    // A second run in the folder would take this run's temporaries for a stopped run's
    // leftovers and replace them. The system lets go of the lock however the run ends.
    const std::string path = (fs::path(root) / kLockName).string();
    switch (lock.Acquire(path)) {
        case winx_InstanceLock::Result::Acquired:
            return true;
        case winx_InstanceLock::Result::HeldElsewhere:
            return Fail("refused: another run of the maker is writing " + root + " (it holds " +
                        path + ")");
        case winx_InstanceLock::Result::Unavailable:
            break;
    }
    // Something that is no file of the maker's own at the lock's name (a directory, a link, a
    // FIFO) stays in the way of every run until the player removes it, as a stopped run's
    // leftover temporary does: say so.
    std::error_code code;
    const fs::file_type at = fs::symlink_status(path, code).type();
    if (at != fs::file_type::not_found && at != fs::file_type::regular && !code) {
        return Fail("refused: " + path +
                    " is in the way of the maker's lock and is not a regular file; remove it");
    }
    return Fail("refused: cannot take the lock " + path + ": " + lock.Problem());
}

// What may stand at a name the maker writes when a run begins, and what the run does there:
//   nothing, or a regular file (an older set's): the new file is renamed over it at the end.
//   a directory, FIFO, device, socket or link: the run is refused before anything is written;
//     it is not the maker's to replace, and renaming over a link or a FIFO would drop the
//     player's own file system entry.
//   a link at a folder between the output directory and a name: refused the same way; the set
//     would be written into the folder it leads to, over a player's file of the same name.
//   at a temporary name (the name and kTemporarySuffix), a regular file: with the lock held, a
//     stopped run's temporary, replaced (Stage); anything else there: refused, named as a
//     stopped run's leftover for the player to remove.
bool AssetSet::RefuseTakenNames() {
    std::vector<std::string> names;
    for (const Planned& file : planned)
        names.push_back(file.path);
    for (const Staged& file : staged)
        names.push_back(file.relative);
    for (const std::vector<std::string>& copies : MoviePaths())
        names.insert(names.end(), copies.begin(), copies.end());
    const auto type = [](const fs::path& path) {
        std::error_code code;
        return fs::symlink_status(path, code).type();
    };
    std::set<fs::path> folders;
    for (const std::string& name : names) {
        const fs::path path = fs::path(root) / name;
        fs::path folder = root;
        for (const fs::path& part : fs::path(name).parent_path()) {
            folder /= part;
            if (folders.insert(folder).second && type(folder) == fs::file_type::symlink) {
                return Fail("refused: " + folder.string() +
                            " is a link, and the set would be written through it");
            }
        }
        const fs::file_type at = type(path);
        if (at != fs::file_type::not_found && at != fs::file_type::regular) {
            return Fail("refused: " + path.string() +
                        " is not a regular file, and the set would replace it");
        }
        const std::string temporary = path.string() + kTemporarySuffix;
        const fs::file_type left = type(temporary);
        if (left != fs::file_type::not_found && left != fs::file_type::regular) {
            return Fail("refused: " + temporary +
                        " is left over from a stopped run and is not a regular file; remove it");
        }
    }
    return true;
}

bool AssetSet::MakeDirectory(const std::string& directory) {
    std::error_code code;
    if (fs::is_directory(directory, code)) return true;
    const fs::path parent = fs::path(directory).parent_path();
    if (!parent.empty() && parent != fs::path(directory) && !MakeDirectory(parent.string()))
        return false;
    const bool made = fs::create_directory(directory, code);
    if (!made && !code && fs::is_directory(directory, code)) return true;  // not this run's
    if (!made || code) {
        return Fail("cannot create the directory " + directory + ": " +
                    (code ? code.message() : std::string("something else stands there")));
    }
    madeDirectories.push_back(directory);
    return true;
}

std::string AssetSet::TemporaryFor(const std::string& relativePath) {
    const fs::path path = fs::path(root) / relativePath;
    if (!MakeDirectory(path.parent_path().string())) return std::string();
    const std::string temporary = path.string() + kTemporarySuffix;
    std::error_code code;
    // With the lock held no other run writes here: a file at the name is a stopped run's.
    if (fs::symlink_status(temporary, code).type() == fs::file_type::regular)
        fs::remove(temporary, code);
    return temporary;
}

bool AssetSet::Stage(const std::string& relativePath, const std::vector<uint8_t>& bytes) {
    const std::string temporary = TemporaryFor(relativePath);
    if (temporary.empty()) return false;
    std::string why;
    if (!winx_WriteNewFile(temporary, bytes.data(), bytes.size(), why))
        return Fail("cannot write " + temporary + ": " + why);
    staged.push_back(Staged{temporary, (fs::path(root) / relativePath).string(), relativePath});
    return true;
}

bool AssetSet::StageMovies(const AssetPalette& palette) {
    // Encoded once into the first place they belong, then copied to the others.
    for (const std::vector<std::string>& copies : MoviePaths()) {
        const std::string temporary = TemporaryFor(copies.front());
        if (temporary.empty()) return false;
        std::string message;
        if (!winx_CreateNewFile(temporary, message))
            return Fail("cannot write " + temporary + ": " + message);
        staged.push_back(
            Staged{temporary, (fs::path(root) / copies.front()).string(), copies.front()});
        if (!MovieMaker::WriteMovie(fs::path(copies.front()).filename().string(), temporary,
                                    palette, message)) {
            return Fail("cannot write " + copies.front() + ": " + message);
        }
        if (!winx_SyncPath(temporary)) return Fail("cannot write " + temporary + " to the device");
        std::ifstream in(temporary, std::ios::binary);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        if (bytes.empty()) return Fail("cannot read back " + temporary);
        for (size_t i = 1; i < copies.size(); ++i) {
            if (!Stage(copies[i], bytes)) return false;
        }
    }
    return true;
}

bool AssetSet::WritePreviews(const std::string& previewDirectory,
                             const std::vector<LandMaker::Land>& lands,
                             const AssetPalette& palette) {
    for (size_t i = 0; i < lands.size(); ++i) {
        std::ifstream in(staged[landTiles[i]].temporary, std::ios::binary);
        const std::vector<uint8_t> tiles{std::istreambuf_iterator<char>(in), {}};
        if (!WriteLandPreviews(previewDirectory, lands[i], tiles, palette))
            return Fail("cannot write the previews of " + std::string(lands[i].plan.title));
    }
    if (!WritePicturePreviews(previewDirectory, palette))
        return Fail("cannot write the previews into " + previewDirectory);
    return true;
}

bool AssetSet::PutInPlace(const std::string& temporary, const std::string& path, std::string& why) {
    std::error_code code;
    fs::rename(temporary, path, code);
    why = code.message();
    return !code;
}

bool AssetSet::Commit() {
    std::set<std::string> directories;
    for (size_t i = 0; i < staged.size(); ++i) {
        std::string why;
        if (!PutInPlace(staged[i].temporary, staged[i].path, why)) {
            // The names before this one hold the new set, the rest the old: a run that ends
            // whole puts it right.
            error = "cannot put " + staged[i].path + " in place: " + why + "; " +
                    std::to_string(i) + " of " + std::to_string(staged.size()) +
                    " files are new, run again";
            staged.erase(staged.begin(), staged.begin() + static_cast<std::ptrdiff_t>(i));
            madeDirectories.clear();
            Discard();
            return false;
        }
        written.push_back(staged[i].relative);
        directories.insert(fs::path(staged[i].path).parent_path().string());
    }
    for (const std::string& directory : directories)
        winx_SyncPath(directory);
    staged.clear();
    return true;
}

void AssetSet::Discard() {
    std::error_code code;
    for (const Staged& file : staged)
        fs::remove(file.temporary, code);
    staged.clear();
    lock.ReleaseAndRemove();
    // Deepest first; one that holds something not ours stays.
    for (auto directory = madeDirectories.rbegin(); directory != madeDirectories.rend();
         ++directory)
        fs::remove(*directory, code);
    madeDirectories.clear();
}

}  // namespace mkassets
