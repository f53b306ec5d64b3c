#include "core/PackFileCache.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/PackWriter.h"
#include "core/ResourceFile.h"
#include "support/DisplayFixtures.h"

namespace {

int OpenDescriptors() {
    int count = 0;
    std::error_code error;
    for (std::filesystem::directory_iterator it("/proc/self/fd", error), end; !error && it != end;
         it.increment(error))
        ++count;
    return count;
}

// A one-entry pack whose entry holds the single byte given, so a read tells which file it came
// from.
void WritePack(const std::filesystem::path& path, uint8_t marker) {
    PackWriter pack(1, 1);
    pack.SetEntry(0, 0, {marker});
    ASSERT_TRUE(pack.WriteFile(path.string()));
}

uint8_t FirstByte(ResourceFile& file) {
    uint8_t byte = 0;
    int32_t count = 1;
    if (!file.SelectEntry(0, 0) || !file.Read(count, &byte)) return 0;
    return byte;
}

class PackFileCacheTest : public ::testing::Test {
protected:
    PackFileCacheTest() { dir.UseAsAssetPath(); }
    ScratchDir dir;
};

TEST_F(PackFileCacheTest, OneDescriptorPerPackClosedWhenTheLastHolderGoes) {
    WritePack(dir.Path() / "a.msp", 7);
    WritePack(dir.Path() / "b.msp", 8);
    const int before = OpenDescriptors();
    const int held = PackFileCache::OpenCount();
    auto first = PackFileCache::Open("a.msp");
    auto second = PackFileCache::Open("a.msp");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_EQ(OpenDescriptors(), before + 1);
    auto other = PackFileCache::Open("b.msp");
    ASSERT_NE(other, nullptr);
    EXPECT_NE(other, first);
    EXPECT_EQ(OpenDescriptors(), before + 2);
    EXPECT_EQ(FirstByte(*first), 7);
    EXPECT_EQ(FirstByte(*other), 8);

    first.reset();
    EXPECT_EQ(OpenDescriptors(), before + 2);
    second.reset();
    EXPECT_EQ(OpenDescriptors(), before + 1);
    other.reset();
    EXPECT_EQ(OpenDescriptors(), before);
    EXPECT_EQ(PackFileCache::OpenCount(), held);
}

TEST_F(PackFileCacheTest, AClosedPackIsOpenedAfreshAndReadsTheFileAsItIsNow) {
    WritePack(dir.Path() / "a.msp", 1);
    auto old = PackFileCache::Open("a.msp");
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(FirstByte(*old), 1);
    old.reset();
    WritePack(dir.Path() / "a.msp", 2);
    auto fresh = PackFileCache::Open("a.msp");
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(FirstByte(*fresh), 2);
}

TEST_F(PackFileCacheTest, TheSameNameInAnotherAssetDirectoryIsAnotherFile) {
    ScratchDir elsewhere;
    WritePack(dir.Path() / "a.msp", 3);
    WritePack(elsewhere.Path() / "a.msp", 4);
    auto here = PackFileCache::Open("a.msp");
    elsewhere.UseAsAssetPath();
    auto there = PackFileCache::Open("a.msp");
    ASSERT_NE(here, nullptr);
    ASSERT_NE(there, nullptr);
    EXPECT_NE(here, there);
    EXPECT_EQ(FirstByte(*here), 3);
    EXPECT_EQ(FirstByte(*there), 4);
}

TEST_F(PackFileCacheTest, AFileThatDoesNotOpenIsNullAndHoldsNothing) {
    const int before = OpenDescriptors();
    const int held = PackFileCache::OpenCount();
    EXPECT_EQ(PackFileCache::Open("missing.msp"), nullptr);
    EXPECT_EQ(PackFileCache::Open(nullptr), nullptr);
    EXPECT_EQ(PackFileCache::OpenCount(), held);
    EXPECT_EQ(OpenDescriptors(), before);
    // A later file of that name opens normally.
    WritePack(dir.Path() / "missing.msp", 5);
    auto file = PackFileCache::Open("missing.msp");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(FirstByte(*file), 5);
}

}  // namespace
