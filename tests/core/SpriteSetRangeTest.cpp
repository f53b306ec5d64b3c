// A streamed sprite set asked for a frame past its last keeps what it holds: the request reads
// nothing and drops nothing.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "core/PackWriter.h"
#include "core/SpriteSet.h"
#include "support/DisplayFixtures.h"

namespace {

TEST(SpriteSetRange, AFramePastTheLastKeepsTheResidentOne) {
    ScratchDir dir;
    dir.UseAsAssetPath();
    PackWriter pack(1, 4);
    for (int r = 0; r < 4; ++r)
        pack.SetEntry(0, r, CodedBitmap(Size(1, 1), Point(), Size(1, 1), {1, r + 1, 0, 1}));
    ASSERT_TRUE(pack.WriteFile((dir.Path() / "four.msp").string()));
    auto set = OpenStreamedSpriteSet("four.msp");
    ASSERT_EQ(set->Count(), 4);
    set->EnsureFrame(3);
    ASSERT_NE(set->ResidentFrame(3), nullptr);
    for (int n : {4, 5, -1}) {
        set->EnsureFrame(n);
        EXPECT_NE(set->ResidentFrame(3), nullptr) << n;
        EXPECT_EQ(set->ResidentFrame(n), nullptr) << n;
    }
}

}  // namespace
