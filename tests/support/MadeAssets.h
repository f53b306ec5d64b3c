#pragma once
// The sample asset set the maker writes, made once per build of the maker and shared by every
// test program that draws or reads it, and the small readers the tests use to walk it.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/TemplateCatalogue.h"
#include "core/ResourceFile.h"
#include "core/StringTable.h"
#include "support/TempDirectory.h"

namespace MadeAssets {
namespace fs = std::filesystem;

inline const char* const kVolumes[] = {"VARNOK", "TELMIRA"};

// The maker a build directory holds (it may not be built).
fs::path MakerPath(const fs::path& buildDir);
// Runs the maker into `output`, its report going to `log`; the exit code.
int RunMaker(const fs::path& maker, const fs::path& output, const fs::path& log);

// The set shared by all test processes of a build: `status` 0 once it is complete, else what
// the maker printed says why not.
struct SharedSet {
    fs::path path;
    int status = -1;
    std::string printed;
};
// Every test runs in a process of its own, so the set is made once per build of the maker:
// it is written into a private directory and renamed into place under a file lock, and a
// process that finds it there uses it.
SharedSet MakeSharedSet(const fs::path& buildDir);

std::string ReadText(const fs::path& path);
std::vector<uint8_t> FileBytes(const fs::path& path);
// The selected entry of an open pack, whole.
std::vector<uint8_t> EntryBytes(ResourceFile& file);

struct SampleHeader {
    int format = -1;
    uint32_t bits = 0, channels = 0, rate = 0, frames = 0;
    size_t size = 0;
};
SampleHeader ParseSample(const std::vector<uint8_t>& entry);

// The printf conversions of a text, in order ("%s %d" gives "sd").
std::string Conversions(const char* text);

// One land description as the land reader walks it.
struct LandText {
    std::string title;  // a special land's header, its '@' included; empty for a numbered one
    int nameLine = -1, paletteRow = -1, shade = -1, blendRow = -1;
    int columns = 0, rows = 0, originColumn = -1, originRow = -1, sheetColumns = 0, sheetRows = 0;
    std::string tileSet;
    std::vector<std::string> letters;
    std::vector<std::pair<int, int>> starts, fields;
    std::string featurePack, decorationPack;
    struct Feature {
        int row, column, frame;
    };
    std::vector<Feature> features;
    bool complete = false;
};
LandText ReadLand(ResourceFile& file);
bool StrictlyInside(const LandText& land, int row, int column);
// The lands of the land pack, then "edit.lnd".
std::vector<LandText> ReadAllLands();

// The tile set a land of the set at `set` loads: the volumes' data directory first (pack lands
// only), then the local one; empty when there is none.
fs::path TileSetOf(const fs::path& set, const LandText& land, bool packLand);

// A private directory for a test's own runs, removed afterwards.
struct Scratch {
    TempDirectory directory;
    fs::path path{directory.Path()};
};
}  // namespace MadeAssets

// The fixture belongs to the test programs, which are told their build directory when they are
// compiled; the support library itself is not.
#ifdef QX_BINARY_DIR
// Tests on the shared set, with the asset directory set to its Assets folder. They are skipped
// when the maker is not built.
class MadeAssetsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (MadeAssets::fs::exists(Maker())) shared = MadeAssets::MakeSharedSet(QX_BINARY_DIR);
    }
    void SetUp() override {
        if (!MadeAssets::fs::exists(Maker())) {
            GTEST_SKIP() << "the sample asset maker (" << Maker().string()
                         << ") is not built: no asset set to test on";
        }
        ASSERT_EQ(shared.status, 0) << shared.printed;
        ASSERT_EQ(ResourceFile::SetAssetPath((Local().string() + "/").c_str()), 1);
    }

    using Scratch = MadeAssets::Scratch;
    static MadeAssets::fs::path Maker() { return MadeAssets::MakerPath(QX_BINARY_DIR); }
    static int RunMaker(const MadeAssets::fs::path& output, const MadeAssets::fs::path& log) {
        return MadeAssets::RunMaker(Maker(), output, log);
    }
    static MadeAssets::fs::path Set() { return shared.path; }
    static MadeAssets::fs::path Local() { return shared.path / "Assets"; }
    static MadeAssets::fs::path Volume(const char* label) {
        return shared.path / "volumes" / label / "Assets";
    }
    static MadeAssets::fs::path TileSetOf(const MadeAssets::LandText& land, bool packLand) {
        return MadeAssets::TileSetOf(shared.path, land, packLand);
    }

    inline static MadeAssets::SharedSet shared;
};

// Tests on the shared set with its string table and unit catalogue loaded; the catalogue is
// cleared after each test.
class MadeCatalogueTest : public MadeAssetsTest {
protected:
    void SetUp() override {
        MadeAssetsTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        ASSERT_EQ(LoadStringTable("7a1.str"), 1);
        ASSERT_EQ(LoadTemplateCatalogue("7a.pts"), 1);
    }
    void TearDown() override {
        ClearTemplateCatalogue();
        ResourceFile::SetAssetPath("");
    }
};
#endif
