#include "core/PackWriter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "core/ResourceFile.h"
#include "support/TempDirectory.h"

namespace {

uint32_t U32At(const std::vector<uint8_t>& bytes, size_t at) {
    return (uint32_t{bytes[at]} << 24) | (uint32_t{bytes[at + 1]} << 16) |
           (uint32_t{bytes[at + 2]} << 8) | bytes[at + 3];
}

TEST(PackWriter, WritesMagicSizesAndRowByRowDirectory) {
    PackWriter pack(3, 2);
    ASSERT_TRUE(pack.SetEntry(2, 1, {7, 8, 9}));
    ASSERT_TRUE(pack.SetEntry(0, 0, {1}));
    const std::vector<uint8_t> bytes = pack.Build();
    EXPECT_EQ(U32At(bytes, 0), 0x2ACE2ACEu);
    EXPECT_EQ(bytes[5], 3);
    EXPECT_EQ(bytes[7], 2);
    // Entry (2, 1) is directory entry 5, at 8 + 5 x 8.
    const uint32_t offset = U32At(bytes, 48);
    EXPECT_EQ(U32At(bytes, 52), 3u);
    ASSERT_LE(offset + 3, bytes.size());
    EXPECT_EQ(bytes[offset], 7);
    EXPECT_EQ(bytes[offset + 2], 9);
    // Entries never set stay absent: offset 0.
    EXPECT_EQ(U32At(bytes, 8 + 1 * 8), 0u);
    EXPECT_GE(U32At(bytes, 8), 8u + 6 * 8);  // data lies behind the directory
}

TEST(PackWriter, RefusesEntriesOutsideTheDirectory) {
    PackWriter pack(2, 2);
    EXPECT_FALSE(pack.SetEntry(2, 0, {1}));
    EXPECT_FALSE(pack.SetEntry(0, 2, {1}));
    EXPECT_FALSE(pack.SetEntry(-1, 0, {1}));
    EXPECT_FALSE(pack.HasEntry(2, 0));
    EXPECT_FALSE(pack.HasEntry(0, 2));
    EXPECT_FALSE(pack.HasEntry(0, -1));
    EXPECT_FALSE(pack.HasEntry(1, 1));
    EXPECT_EQ(pack.Build().size(), 8u + 4 * 8);
    EXPECT_TRUE(pack.SetEntry(1, 1, {1}));
    EXPECT_TRUE(pack.HasEntry(1, 1));
    EXPECT_FALSE(pack.HasEntry(0, 1));
}

// A directory's sizes are 16-bit: a count below 0 is none, one above 65535 is 65535.
TEST(PackWriter, DirectorySizesAreCutToSixteenBits) {
    const struct {
        int asked, kept;
    } cases[] = {{-1, 0}, {0, 0}, {1, 1}, {0xFFFF, 0xFFFF}, {0x10000, 0xFFFF}};
    for (const auto& c : cases) {
        EXPECT_EQ(PackWriter(c.asked, 1).Columns(), c.kept) << c.asked;
        EXPECT_EQ(PackWriter(1, c.asked).Rows(), c.kept) << c.asked;
    }
}

TEST(PackWriter, ReportsAFileThatCannotBeWritten) {
    PackWriter pack(1, 1);
    pack.SetEntry(0, 0, {1, 2});
    EXPECT_FALSE(pack.WriteFile("/nonexistent-directory/pack.msp"));
}

}  // namespace
