// The string table: CR-ended lines, the \n escape, and its 350-line limit.
#include "core/StringTable.h"

#include <gtest/gtest.h>

#include <string>

#include "core/ResourceFile.h"
#include "support/TempDirectory.h"

TEST(StringTable, BackslashNBecomesBlankAndLineFeed) {
    SetStringTableText("one\\ntwo\rthree");
    EXPECT_STREQ(GetString(0), "one \ntwo");
    EXPECT_STREQ(GetString(1), "three");
    EXPECT_EQ(GetString(2), nullptr);
}

TEST(StringTable, OnlyCarriageReturnsEndLines) {
    SetStringTableText("a\nb\r\r");
    EXPECT_STREQ(GetString(0), "a\nb");
    EXPECT_STREQ(GetString(1), "");
    EXPECT_STREQ(GetString(2), "");
    EXPECT_EQ(GetString(3), nullptr);
    EXPECT_EQ(GetString(-1), nullptr);
}

TEST(StringTable, LinesBeyondTheTableAreIgnored) {
    std::string text;
    for (int i = 0; i < 400; ++i)
        text += std::to_string(i) + "\r";
    SetStringTableText(text);
    EXPECT_STREQ(GetString(349), "349");
    EXPECT_EQ(GetString(350), nullptr);
}

TEST(StringTable, TrailingBackslashIsKept) {
    SetStringTableText("end\\");
    EXPECT_STREQ(GetString(0), "end\\");
}

TEST(StringTable, LoadsThroughTheAssetDirectoryAndKeepsTableWhenMissing) {
    TempDirectory dir;
    dir.Write("7a1.str", "first\rsecond");
    const std::string saved = ResourceFile::AssetPath();
    ResourceFile::SetAssetPath((dir.Path() + "/").c_str());
    ASSERT_EQ(LoadStringTable("7a1.str"), 1);
    EXPECT_STREQ(GetString(1), "second");
    EXPECT_EQ(LoadStringTable("nothere.str"), 0);
    EXPECT_STREQ(GetString(0), "first");
    ClearStringTable();
    EXPECT_EQ(GetString(0), nullptr);
    ResourceFile::SetAssetPath(saved.c_str());
}
