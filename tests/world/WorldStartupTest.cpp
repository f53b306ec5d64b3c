#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "catalogue/CatalogueMedia.h"
#include "catalogue/TemplateCatalogue.h"
#include "core/BitmapEncoder.h"
#include "core/BusyIndicator.h"
#include "core/MusicPlayer.h"
#include "core/PackWriter.h"
#include "core/Palette.h"
#include "core/PaletteCycler.h"
#include "core/ResourceFile.h"
#include "core/Settings.h"
#include "core/Sound.h"
#include "core/SpriteSet.h"
#include "core/StringTable.h"
#include "core/TextWriter.h"
#include "core/VoicePool.h"
#include "support/DisplayFixtures.h"
#include "world/SavedGameIndex.h"
#include "world/WorldTestFixture.h"

namespace {

constexpr int kPaletteRows = 27;
constexpr int kInterfaceRow = 25;

std::vector<uint8_t> SmallPicture(uint8_t colour) {
    const std::vector<uint8_t> pixels(16, colour);
    return EncodeRawBitmap(pixels.data(), 4, 4, 4);
}

std::vector<uint8_t> PictureColumn(int rows) {
    PackWriter pack(1, rows);
    for (int row = 0; row < rows; ++row)
        pack.SetEntry(0, row, SmallPicture(9));
    return pack.Build();
}

// The interface assets of the start-up, the way the asset maker lays them out.
void WriteInterfaceAssets(bool withPalette) {
    std::filesystem::create_directory("Assets");
    if (withPalette) WriteBytes("Assets/7a0txxxx99s999.pal", MarkedPalettePack(kPaletteRows, 1));
    WriteBytes("Assets/7a1axxxx99s999.msp", PictureColumn(4));
    WriteBytes("Assets/7a0cxxxx99s999.msp", PictureColumn(2));
    PackWriter font(1, 128);
    AddTestFontEntries(font);
    WriteBytes("Assets/7a0fxxax99s999.msp", font.Build());
    // A whole table: 350 lines.
    std::ofstream("Assets/7a1.str") << "FIRST LINE\rSECOND LINE\r" << std::string(347, '\r');
    // A catalogue without records: start-up reads it after the title is built.
    std::ofstream("Assets/7a.pts") << "# no templates\n";
}

// The catalogue's fixed pictures as empty sets, so a catalogue without records needs no packs.
class BlankCatalogueMedia : public CatalogueMedia {
public:
    std::unique_ptr<SpriteSet> LoadGrid(const std::string&) override { return Blank(); }
    std::unique_ptr<SpriteSet> LoadColumn(const std::string&) override { return Blank(); }
    std::unique_ptr<SpriteSet> LoadRow(const std::string&) override { return Blank(); }
    std::unique_ptr<SpriteSet> OpenStreamed(const std::string&) override { return Blank(); }
    std::unique_ptr<Sound> MakeSound(int32_t) override { return nullptr; }
    std::string ReadSpeedOption() override { return ""; }

private:
    static std::unique_ptr<SpriteSet> Blank() { return std::make_unique<SpriteSet>(1); }
};

class WorldStartup : public ::testing::Test {
protected:
    void SetUp() override { SetCatalogueMedia(&media); }
    void TearDown() override {
        ClearTemplateCatalogue();
        SetCatalogueMedia(nullptr);
        delete busyIndicator;
        SetSharedSoundPack(nullptr);
        ClearStringTable();
        ResourceFile::SetAssetPath("");
    }
    BlankCatalogueMedia media;
    WorldFixture f;
};

TEST_F(WorldStartup, LoadsTheInterfaceAssetsAndEntersTheTitle) {
    WriteInterfaceAssets(true);
    ASSERT_EQ(f.world->Startup(), 1);
    World& w = *f.world;
    EXPECT_EQ(w.localDir, ".\\Assets\\");
    EXPECT_STREQ(ResourceFile::AssetPath(), ".\\Assets\\");
    ASSERT_NE(GetString(1), nullptr);
    EXPECT_STREQ(GetString(1), "SECOND LINE");
    ASSERT_NE(f.display.GetPalette(), nullptr);
    EXPECT_EQ(f.display.GetPalette()->entries[1].r, kInterfaceRow);
    EXPECT_NE(busyIndicator, nullptr);
    EXPECT_NE(SharedSoundPack(), nullptr);
    ASSERT_TRUE(w.font);
    // The test glyphs measure otherwise: the interface font's measures are forced.
    EXPECT_EQ(w.font->LineHeight(), 10);
    EXPECT_EQ(w.font->Ascent(), 11);
    EXPECT_TRUE(w.voices);
    EXPECT_EQ(w.voices->maximum, World::kVoices);
    ASSERT_TRUE(w.paletteCycler);
    // The second ring is on, but the title screen holds the cycler suspended.
    EXPECT_TRUE(w.paletteCycler->Suspended());
    EXPECT_TRUE(w.music);
    EXPECT_TRUE(w.confirmSound);
    EXPECT_TRUE(w.refuseSound);
    EXPECT_EQ(w.paused, 1);
    EXPECT_EQ(w.inGame, 0);
    EXPECT_EQ(w.currentMode, static_cast<int>(GameMode::Title));
    EXPECT_EQ(w.requestedMode, static_cast<int>(GameMode::MainMenu));
    EXPECT_EQ(f.screens.log.Count("title.Load"), 1);
    // The saved-game index is read after the title (no GAMES.SAV here: empty).
    ASSERT_TRUE(w.savedGames);
    EXPECT_EQ(w.savedGames->Count(), 0);

    w.Shutdown();
    EXPECT_EQ(w.currentScreen, nullptr);
    EXPECT_EQ(f.screens.log.Count("title.Unload"), 1);
    EXPECT_FALSE(w.font);
    EXPECT_FALSE(w.voices);
    EXPECT_FALSE(w.music);
    EXPECT_FALSE(w.paletteCycler);
    EXPECT_FALSE(w.confirmSound);
    EXPECT_FALSE(w.refuseSound);
    EXPECT_EQ(SharedSoundPack(), nullptr);
    EXPECT_EQ(busyIndicator, nullptr);
    EXPECT_TRUE(EffectList.IsEmpty());
}

TEST_F(WorldStartup, TheTitleScreensLoadResultIsTheStartupResult) {
    WriteInterfaceAssets(true);
    f.screens.FailLoadOf("title");
    EXPECT_EQ(f.world->Startup(), 0);
    f.world->Shutdown();
}

TEST_F(WorldStartup, TheCatalogueIsReadAfterTheTitleIsBuilt) {
    WriteInterfaceAssets(true);
    traceOn = 1;
    f.world->Startup();
    traceOn = 0;
    f.world->Shutdown();
    const std::string trace = f.directory.ReadFile("zvd.out");
    const size_t catalogue = trace.find("Loading the template catalogue");
    ASSERT_NE(catalogue, std::string::npos);
    EXPECT_LT(trace.find("Loading the cursor and the font"), catalogue);
    EXPECT_EQ(f.screens.log.Count("title.Load"), 1);
}

TEST_F(WorldStartup, AMissingCatalogueIsFatal) {
    WriteInterfaceAssets(true);
    std::filesystem::remove("Assets/7a.pts");
    EXPECT_EXIT(f.world->Startup(), ::testing::ExitedWithCode(255), "Resource Missing");
}

TEST_F(WorldStartup, AMissingPaletteIsFatal) {
    WriteInterfaceAssets(false);
    EXPECT_EXIT(f.world->Startup(), ::testing::ExitedWithCode(255), "Resource Missing");
    EXPECT_NE(f.directory.ReadFile("zvd.out").find("FATAL ERROR\nResource Missing\n"),
              std::string::npos);
}

// Each damage stops the start with the message, and says which file and what was wrong with it.
TEST_F(WorldStartup, DamagedAssetsStopTheStartNamingTheFileAndItsFault) {
    const struct {
        const char* file;
        std::string bytes;
        const char* fault;
    } cases[] = {
        {"7a1.str", "", "7a1.str: No such file"},
        {"7a1.str", "ONE\rTWO", "7a1.str: 2 of its 350 lines"},
        {"7a1axxxx99s999.msp", "", "7a1axxxx99s999.msp: is not a pack"},
        {"7a0txxxx99s999.pal", "random bytes, no pack", "7a0txxxx99s999.pal: is not a pack"},
        {"7a0fxxax99s999.msp", std::string("\x2A\xCE\x2A\xCE\0\x09\0\x09", 8),
         "7a0fxxax99s999.msp: the pack directory does not fit"},
    };
    for (const auto& c : cases) {
        WriteInterfaceAssets(true);
        const std::string path = std::string("Assets/") + c.file;
        if (c.bytes.empty() && std::string(c.fault).find("No such") != std::string::npos) {
            std::filesystem::remove(path);
        } else {
            std::ofstream(path, std::ios::binary | std::ios::trunc) << c.bytes;
        }
        EXPECT_EXIT(f.world->Startup(), ::testing::ExitedWithCode(255),
                    std::string("Resource Missing: .*") + c.fault);
        EXPECT_NE(f.directory.ReadFile("zvd.out").find(std::string("Resource Missing\n./Assets/") +
                                                       c.fault),
                  std::string::npos)
            << c.fault;
    }
}

}  // namespace
