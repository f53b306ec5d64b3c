#pragma once
// The asset set the maker writes, made once per build of the maker and shared by the tests of
// the tools folder, and the small readers the tests use to walk it.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

class ResourceFile;

namespace MadeAssets {
namespace fs = std::filesystem;

inline const char* const kVolumes[] = {"VARNOK", "TELMIRA"};

std::string MakerPath();
// Runs the maker into `output`, its report going to `log`; the exit code.
int RunMaker(const fs::path& output, const fs::path& log);
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
}  // namespace MadeAssets

// Every test runs in a process of its own, so the set is made once per build of the maker and
// shared: it is written into a private directory and renamed into place, and a process that
// finds it there uses it.
class MadeAssetsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;

    static MadeAssets::fs::path Set() { return set; }
    static MadeAssets::fs::path Local() { return set / "Assets"; }
    static MadeAssets::fs::path Volume(const char* label) {
        return set / "volumes" / label / "Assets";
    }
    // The tile set a land loads: the volumes' data directory first (pack lands only), then
    // the local one; empty when there is none.
    static MadeAssets::fs::path TileSetOf(const MadeAssets::LandText& land, bool packLand);

    // A private directory for a test's own runs, removed afterwards.
    struct Scratch {
        Scratch();
        ~Scratch();
        MadeAssets::fs::path path;
    };

    static MadeAssets::fs::path set;
    static int status;
    static std::string printed;
};
