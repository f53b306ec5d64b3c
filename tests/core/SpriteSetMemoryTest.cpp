// The sprite-set loaders read a pack open in memory as they read it by name.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/Bitmap.h"
#include "core/PackWriter.h"
#include "core/ResourceFile.h"
#include "core/SpriteSet.h"
#include "support/DisplayFixtures.h"

namespace {

class SpriteSetMemory : public ::testing::Test, public ScreenFixture {
protected:
    // The count, then the colour each frame draws at the origin (frame n is colour n + 1);
    // a grid's frames are sets and give theirs in turn.
    std::string Drawn(SpriteSet& set) {
        std::string s = std::to_string(set.Count()) + ":";
        for (int32_t n = 0; n < set.Count(); ++n) {
            Image* frame = set.SubImage(n);
            if (auto* inner = dynamic_cast<SpriteSet*>(frame)) {
                s += "[" + Drawn(*inner) + "]";
                continue;
            }
            Back()[0] = 0;
            if (frame) frame->Draw(Point(0, 0));
            s += std::to_string(At(0, 0)) + ",";
        }
        return s;
    }
};

}  // namespace

TEST_F(SpriteSetMemory, EveryLoaderReadsMemoryAsItReadsTheFile) {
    PackWriter pack(3, 4);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 3; ++c) {
            if (!(c == 2 && r == 1) && r != 2)
                pack.SetEntry(
                    c, r, CodedBitmap(Size(1, 1), Point(), Size(1, 1), {1, 10 * r + c + 1, 0, 1}));
        }
    }
    ScratchDir dir;
    dir.UseAsAssetPath();
    ASSERT_TRUE(pack.WriteFile((dir.Path() / "p.msp").string()));
    const std::vector<uint8_t> bytes = pack.Build();
    auto memory = std::make_shared<ResourceFile>();
    ASSERT_TRUE(memory->OpenBytes(bytes.data(), bytes.size()));

    const std::string column = Drawn(*LoadSpriteSetColumn("p.msp"));
    EXPECT_EQ(column, "4:1,11,0,31,");
    EXPECT_EQ(Drawn(*LoadSpriteSetColumn(*memory)), column);
    const std::string row = Drawn(*LoadSpriteSetRow("p.msp"));
    EXPECT_EQ(row, "3:1,2,3,");
    EXPECT_EQ(Drawn(*LoadSpriteSetRow(*memory)), row);
    const std::string grid = Drawn(*LoadSpriteGrid("p.msp"));
    EXPECT_EQ(grid, "2:[3:1,2,3,][2:11,12,]");
    EXPECT_EQ(Drawn(*LoadSpriteGrid(*memory)), grid);
    EXPECT_EQ(Drawn(*OpenStreamedSpriteSet(memory)), Drawn(*OpenStreamedSpriteSet("p.msp")));
    EXPECT_EQ(Drawn(*OpenStreamedSpriteSet(memory)), column);
}
