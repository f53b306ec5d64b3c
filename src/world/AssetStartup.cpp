// The World's asset start-up and shut-down, and the locating of the asset volume.
#include <cstdio>
#include <memory>
#include <string>

#include "catalogue/TemplateCatalogue.h"
#include "core/AtomicWriter.h"
#include "core/BusyIndicator.h"
#include "core/DisplayBase.h"
#include "core/FatalError.h"
#include "core/MainLoop.h"
#include "core/MusicPlayer.h"
#include "core/PaletteCycler.h"
#include "core/ResourceFile.h"
#include "core/Settings.h"
#include "core/Sound.h"
#include "core/SpriteSet.h"
#include "core/StringTable.h"
#include "core/TextWriter.h"
#include "core/Trace.h"
#include "core/VoicePool.h"
#include "ui/ScreenBase.h"
#include "world/SavedGameIndex.h"
#include "world/World.h"

namespace {

constexpr char kLocalAssets[] = ".\\Assets\\";
constexpr char kStringTable[] = "7a1.str";
constexpr int32_t kInterfacePaletteRow = 25;
constexpr char kWaitPicturePack[] = "7a1axxxx99s999.msp";
constexpr char kSoundPack[] = "7a1.XSF";
constexpr char kCursorPack[] = "7a0cxxxx99s999.msp";
constexpr char kFontPack[] = "7a0fxxax99s999.msp";
constexpr int32_t kFontLineHeight = 10;
constexpr int32_t kFontAscent = 11;
constexpr char kTemplateCatalogue[] = "7a.pts";
// The results screen's high-score table, written through the atomic writer.
constexpr char kScoreFile[] = "score.dat";
constexpr int32_t kConfirmSoundEntry = 23;
constexpr int32_t kRefuseSoundEntry = 24;
// The volume labels of the two clans, tried in this order.
constexpr const char* kClanVolumeLabels[] = {"VARNOK", "TELMIRA"};

std::string VolumeDirectory(char drive, const char* directory) {
    char text[64];
    std::snprintf(text, sizeof text, "%c:\\Assets\\%s\\", drive, directory);
    return text;
}

}  // namespace

void World::SetDiscDirectories(const char* label) {
    // A letter given in the settings is used as it stands, without looking at the label.
    driveLetter = discDriveLetter;
    if (driveLetter == '?') driveLetter = FindCdDrive(label);
    if (driveLetter == '?') {
        moviesDir.clear();
        soundsDir.clear();
        dataDir.clear();
        return;
    }
    moviesDir = VolumeDirectory(driveLetter, "Movies");
    soundsDir = VolumeDirectory(driveLetter, "Sounds");
    dataDir = VolumeDirectory(driveLetter, "Data");
}

void World::LocateDisc(const char* label) {
    if (label) {
        SetDiscDirectories(label);
        return;
    }
    SetDiscDirectories(kClanVolumeLabels[0]);
    if (driveLetter == '?') SetDiscDirectories(kClanVolumeLabels[1]);
}

void World::RemoveLeftoverTemporaries() {
    // The files the game writes through the atomic writer, by their exact names: the saved
    // games the index can name, the index, the autosave, the score table and both clans'
    // design libraries.
    char name[32];
    for (int n = 0; n < SavedGameIndex::kNames; ++n) {
        std::snprintf(name, sizeof name, "%d.scn", n);
        AtomicWriter::RemoveLeftover(name);
    }
    AtomicWriter::RemoveLeftover(SavedGameIndex::kIndexFile);
    AtomicWriter::RemoveLeftover(kSnapshotFile);
    AtomicWriter::RemoveLeftover(kScoreFile);
    for (const char clan : {'V', 'T'}) {
        std::snprintf(name, sizeof name, "%s%c.vdf", kLocalAssets, clan);
        AtomicWriter::RemoveLeftover(name, 1);
    }
}

int World::Startup() {
    // The World may have been built before the catalogue's own globals were ready.
    SetCatalogueServices(this);
    LocateDisc(nullptr);
    localDir = kLocalAssets;
    ResourceFile::SetAssetPath(localDir.c_str());
    RemoveLeftoverTemporaries();
    Trace("Loading the string table");
    // Every text the player reads comes from it: without it the game cannot go on.
    std::string fault;
    if (!LoadStringTable(kStringTable, &fault)) ResourceMissing(fault);

    Trace("Loading the palette");
    InstallPackPalette(kInterfacePaletteRow);

    Trace("Loading the wait picture");
    delete busyIndicator;
    // The indicator registers itself; it is deleted through that registration at shut-down.
    (void)new BusyIndicator(LoadSpriteSetColumn(kWaitPicturePack));

    Trace("Loading the sounds");
    auto soundPack = std::make_unique<ResourceFile>();
    if (!soundPack->Open(kSoundPack, 1, 0)) {
        // The game runs silent without it, but says why once.
        const std::string line =
            "the sound pack is missing, the game runs silent: " + soundPack->Fault();
        Trace(line.c_str());
        std::fprintf(stderr, "Quarnex: %s\n", line.c_str());
    }
    SetSharedSoundPack(std::move(soundPack));

    Trace("Loading the cursor and the font");
    if (display) display->SetCursorImage(kCursorPack);
    font = std::make_unique<TextWriter>(kFontPack);
    // Every screen lays its text out on these measures, whatever the font's glyphs say.
    font->SetLineHeight(kFontLineHeight);
    font->SetAscent(kFontAscent);

    voices = std::make_unique<VoicePool>(kVoices);
    paused = 1;
    inGame = 0;
    pauseLocked = 0;
    paletteCycler = std::make_unique<PaletteCycler>();
    paletteCycler->SetSecondRing(1);
    music = std::make_unique<MusicPlayer>(soundsDir);
    refuseSound = std::make_unique<Sound>(kRefuseSoundEntry);
    confirmSound = std::make_unique<Sound>(kConfirmSoundEntry);

    // The title screen is built and loaded here: its Load result becomes the start-up result.
    if (requestedMode != 0) ApplyModeChange();

    Trace("Loading the saved-game index");
    savedGames = std::make_unique<SavedGameIndex>();

    Trace("Loading the template catalogue");
    LoadTemplateCatalogue(kTemplateCatalogue);
    return running;
}

void World::Shutdown() {
    DiscardCurrentScreen();
    DiscardBattleAndDesignScreens();
    ClearTemplateCatalogue();
    if (PeerCount() > 0) ClosePeers(nullptr);
    font.reset();
    if (refuseSound) {
        if (voices) voices->Stop(refuseSound.get());
        refuseSound.reset();
    }
    if (confirmSound) {
        if (voices) voices->Stop(confirmSound.get());
        confirmSound.reset();
    }
    music.reset();
    voices.reset();
    SetSharedSoundPack(nullptr);
    paletteCycler.reset();
    delete busyIndicator;
}
