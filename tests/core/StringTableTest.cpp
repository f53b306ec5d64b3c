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

TEST(StringTable, LoadsThroughTheAssetDirectoryAndKeepsTableWhenMissingOrCutShort) {
    TempDirectory dir;
    std::string whole = "first\rsecond";
    for (int line = 2; line < kStringTableLines; ++line)
        whole += "\r";
    dir.Write("7a1.str", whole);
    dir.Write("cut.str", whole.substr(0, whole.size() - 1));
    dir.Write("empty.str", "");
    const std::string saved = ResourceFile::AssetPath();
    ResourceFile::SetAssetPath((dir.Path() + "/").c_str());
    ASSERT_EQ(LoadStringTable("7a1.str"), 1);
    EXPECT_STREQ(GetString(1), "second");
    const struct {
        const char* name;
        const char* fault;
    } refused[] = {{"nothere.str", "nothere.str: No such file"},
                   {"cut.str", "cut.str: 349 of its 350 lines (cut short)"},
                   {"empty.str", "empty.str: 1 of its 350 lines"}};
    for (const auto& r : refused) {
        std::string fault;
        EXPECT_EQ(LoadStringTable(r.name, &fault), 0);
        EXPECT_NE(fault.find(r.fault), std::string::npos) << fault;
    }
    EXPECT_STREQ(GetString(0), "first");
    ClearStringTable();
    EXPECT_EQ(GetString(0), nullptr);
    ResourceFile::SetAssetPath(saved.c_str());
}
