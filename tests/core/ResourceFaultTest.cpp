// A reader that needs a pack refuses anything else, and every refusal names the file and what
// is wrong with it; bytes in memory read as a file does.
#include <gtest/gtest.h>

#include <string>

#include "core/Bitmap.h"
#include "core/PackWriter.h"
#include "core/ResourceFile.h"
#include "support/TempDirectory.h"

TEST(ResourceFault, OpeningAPackNamesTheFileAndItsFault) {
    TempDirectory dir;
    PackWriter pack(1, 2);
    pack.SetEntry(0, 1, {1, 2, 3});
    dir.Write("good.msp", pack.Build());
    dir.Write("empty.msp", "");
    dir.Write("text.msp", "no pack here at all");
    dir.Write("short.msp", std::string("\x2A\xCE\x2A\xCE\0\x09\0\x09", 8));
    dir.Write("folder.msp/x", "");
    const struct {
        const char* name;
        const char* fault;
    } cases[] = {{"good.msp", ""},
                 {"missing.msp", "missing.msp: No such file or directory"},
                 {"folder.msp", "folder.msp: is a directory"},
                 {"empty.msp", "empty.msp: is not a pack"},
                 {"text.msp", "text.msp: is not a pack"},
                 {"short.msp", "short.msp: the pack directory does not fit in the file"}};
    for (const auto& c : cases) {
        ResourceFile file;
        file.plainPath = 1;
        const std::string path = dir.Path() + "/" + c.name;
        EXPECT_EQ(file.OpenPack(path.c_str()), *c.fault ? 0 : 1) << c.name;
        EXPECT_EQ(file.Fault(), *c.fault ? dir.Path() + "/" + c.fault : "") << c.name;
        EXPECT_EQ(file.IsOpen(), !*c.fault) << c.name;
    }
    // A plain reader still takes a plain file.
    ResourceFile plain;
    plain.plainPath = 1;
    EXPECT_EQ(plain.Open((dir.Path() + "/text.msp").c_str(), ResourceFile::OpenMode::Read), 1);
    EXPECT_FALSE(plain.IsPack());
    EXPECT_EQ(plain.Open((dir.Path() + "/text.msp").c_str(), static_cast<const char*>(nullptr)), 0);
}

TEST(ResourceFault, BytesInMemoryReadAsAFile) {
    PackWriter writer(1, 2);
    writer.SetEntry(0, 1, {7, 8, 9});
    const std::vector<uint8_t> pack = writer.Build();
    ResourceFile file;
    ASSERT_EQ(file.OpenBytes(pack.data(), pack.size()), 1);
    EXPECT_TRUE(file.IsPack());
    ASSERT_EQ(file.SelectEntry(0, 1), 1);
    uint8_t bytes[4] = {};
    int32_t count = 4;
    EXPECT_EQ(file.Read(count, bytes), 1);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(bytes[2], 9);
    const std::string text = "one\r\ntwo";
    ASSERT_EQ(file.OpenBytes(text.data(), text.size()), 1);
    char line[8];
    EXPECT_EQ(file.ReadLine(8, line), 3);
    EXPECT_EQ(file.ReadLine(8, line), 3);
    EXPECT_STREQ(line, "two");
    // No bytes, whether or not a buffer is handed over: an empty file.
    for (const uint8_t* data : {static_cast<const uint8_t*>(nullptr), pack.data()}) {
        ASSERT_EQ(file.OpenBytes(data, 0), 1);
        EXPECT_EQ(file.Size(), 0);
        EXPECT_EQ(file.ReadLine(8, line), 0);
    }
    EXPECT_EQ(file.OpenBytes(pack.data(), 12), 0);
}

TEST(ResourceFaultDeathTest, ANamedPictureThatIsNoPictureStopsTheProgramNamingIt) {
    TempDirectory dir;
    PackWriter noFirst(1, 2);
    noFirst.SetEntry(0, 1, {1, 2, 3});
    dir.Write("hole.msp", noFirst.Build());
    dir.Write("empty.msp", "");
    dir.Write("noise.msp", "0123456789abcdefghijklmnopqrstuvwxyz");
    const struct {
        const char* name;
        const char* fault;
    } cases[] = {{"hole.msp", "hole.msp: no first entry"},
                 {"empty.msp", "empty.msp: Bitmap: entry shorter than its header"},
                 {"noise.msp", "noise.msp: Bitmap: "},
                 {"gone.msp", "gone.msp: No such file"}};
    const std::string saved = ResourceFile::AssetPath();
    ResourceFile::SetAssetPath((dir.Path() + "/").c_str());
    for (const auto& c : cases) {
        EXPECT_EXIT(Bitmap picture(c.name), ::testing::ExitedWithCode(255),
                    std::string("Resource Missing: .*") + c.fault);
    }
    ResourceFile::SetAssetPath(saved.c_str());
}
