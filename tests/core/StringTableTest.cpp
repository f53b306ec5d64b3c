// The string table: CR-ended lines, the \n escape, and its 350-line limit.
#include "core/StringTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/ResourceFile.h"
#include "support/TempDirectory.h"

// Only carriage returns end lines; "\n" becomes a blank and a line feed; a trailing backslash
// stays.
TEST(StringTable, LinesEndAtCarriageReturnsAndBackslashNBecomesBlankAndLineFeed) {
    const struct {
        const char* text;
        std::vector<const char*> lines;
    } cases[] = {{"one\\ntwo\rthree", {"one \ntwo", "three"}},
                 {"a\nb\r\r", {"a\nb", "", ""}},
                 {"end\\", {"end\\"}}};
    for (const auto& c : cases) {
        SetStringTableText(c.text);
        for (size_t i = 0; i < c.lines.size(); ++i)
            EXPECT_STREQ(GetString(static_cast<int>(i)), c.lines[i]) << c.text;
        EXPECT_EQ(GetString(static_cast<int>(c.lines.size())), nullptr) << c.text;
        EXPECT_EQ(GetString(-1), nullptr);
    }
}

TEST(StringTable, LinesBeyondTheTableAreIgnored) {
    std::string text;
    for (int i = 0; i < 400; ++i)
        text += std::to_string(i) + "\r";
    SetStringTableText(text);
    EXPECT_STREQ(GetString(349), "349");
    EXPECT_EQ(GetString(350), nullptr);
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
