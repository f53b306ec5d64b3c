// Native paths and drive letters: backslashes, case-insensitive resolution and the volumes
// found under ./volumes/ of the working directory.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/Drives.h"
#include "platform/Paths.h"
#include "support/TempDirectory.h"

namespace {

// Runs a test inside a temporary working directory.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const std::string& path) : saved(std::filesystem::current_path()) {
        std::filesystem::current_path(path);
    }
    ~WorkingDirectory() { std::filesystem::current_path(saved); }

private:
    std::filesystem::path saved;
};

}  // namespace

TEST(Paths, ComponentsResolveIgnoringCase) {
    TempDirectory dir;
    dir.Write("Assets/7a0U/Tank.MSP", "x");
    EXPECT_EQ(winx_NativePath(dir.Path() + "\\ASSETS\\7A0u\\tank.msp"),
              dir.Path() + "/Assets/7a0U/Tank.MSP");
    // A name that exists as written is taken as it is.
    EXPECT_EQ(winx_NativePath(dir.Path() + "/Assets/7a0U/Tank.MSP"),
              dir.Path() + "/Assets/7a0U/Tank.MSP");
}

TEST(Paths, MissingFileMapsIntoTheResolvedDirectory) {
    TempDirectory dir;
    dir.Write("Assets/keep", "x");
    EXPECT_EQ(winx_NativePath(dir.Path() + "\\assets\\New\\1.scn"),
              dir.Path() + "/Assets/New/1.scn");
    EXPECT_EQ(winx_NativePath(dir.Path() + "\\assets\\"), dir.Path() + "/Assets/");
}

TEST(Paths, RelativeNamesResolveInTheWorkingDirectory) {
    TempDirectory dir;
    dir.Write("Assets/Games.SAV", "x");
    WorkingDirectory cwd(dir.Path());
    EXPECT_EQ(winx_NativePath(".\\assets\\GAMES.SAV"), "./Assets/Games.SAV");
    EXPECT_EQ(winx_NativePath("ASSETS\\games.sav"), "Assets/Games.SAV");
}

TEST(Drives, VolumesDirectoryGivesCdRomDrivesFromD) {
    TempDirectory dir;
    dir.Write("volumes/VARNOK/Assets/Movies/VN01.mov", "m");
    dir.Write("volumes/TELMIRA/readme", "r");
    dir.Write("volumes/file-not-a-volume", "f");
    WorkingDirectory cwd(dir.Path());

    const uint32_t drives = winx_GetLogicalDrives();
    EXPECT_TRUE(drives & (1u << 3));
    EXPECT_TRUE(drives & (1u << 4));
    EXPECT_EQ(drives & 0x7u, 0u);
    EXPECT_EQ(winx_GetDriveType("d:\\"), kDriveCdRom);
    EXPECT_EQ(winx_GetDriveType("E:\\"), kDriveCdRom);
    EXPECT_EQ(winx_GetDriveType("c:\\"), kDriveNoRootDir);
    EXPECT_EQ(winx_GetDriveType(""), kDriveNoRootDir);

    char label[32];
    ASSERT_EQ(winx_GetVolumeInformation("D:\\", label, sizeof label), 1);
    EXPECT_STREQ(label, "TELMIRA");
    ASSERT_EQ(winx_GetVolumeInformation("e:\\", label, 4), 1);
    EXPECT_STREQ(label, "VAR");
    EXPECT_EQ(winx_GetVolumeInformation("b:\\", label, sizeof label), 0);

    const std::string volume = winx_DriveDirectory('e');
    EXPECT_EQ(std::filesystem::path(volume).filename(), "VARNOK");
    EXPECT_TRUE(winx_DriveDirectory('C').empty());
    EXPECT_EQ(winx_NativePath("E:\\ASSETS\\MOVIES\\vn01.mov"), volume + "/Assets/Movies/VN01.mov");
    EXPECT_EQ(winx_NativePath("e:\\Assets\\Sounds\\7a0.xsf"), volume + "/Assets/Sounds/7a0.xsf");
}

TEST(Paths, SeparatorsCollapseAndAmbiguousCaseTakesTheSmallestName) {
    TempDirectory dir;
    dir.Write("data/Ab/one", "1");
    dir.Write("data/aB/one", "2");
    dir.Write("data/abc", "3");
    WorkingDirectory cwd(dir.Path());
    const struct {
        const char* windows;
        const char* native;
    } cases[] = {
        {"", ""},
        {"data\\\\abc", "data/abc"},
        {"DATA//ABC", "data/abc"},
        // Two names differ only in case: the smaller one, whatever the directory's order.
        {"data\\AB\\ONE", "data/Ab/one"},
        {"data\\ab\\", "data/Ab/"},
        // Dots stay as written; what cannot be found keeps the rest as written.
        {".\\DATA\\.\\Abc", "./data/./abc"},
        {"data\\..\\Data\\ABC", "data/../data/abc"},
        {"Data\\Nothing\\ABC", "data/Nothing/ABC"},
        // A drive without a volume keeps its letter.
        {"q:\\Data\\abc", "q:/Data/abc"},
        {"/", "/"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(winx_NativePath(c.windows), c.native) << c.windows;
}

TEST(Drives, AtMostTwentyThreeVisibleVolumesGetLettersDToZ) {
    TempDirectory dir;
    // 24 volumes in name order (v00 .. v23) and a hidden one, which is none.
    for (int i = 0; i < 24; ++i) {
        const std::string name = std::string("volumes/v") + static_cast<char>('0' + i / 10) +
                                 static_cast<char>('0' + i % 10) + "/x";
        dir.Write(name, "x");
    }
    dir.Write("volumes/.hidden/x", "x");
    WorkingDirectory cwd(dir.Path());
    EXPECT_EQ(winx_GetLogicalDrives(), ((1u << 23) - 1) << 3);
    char label[8] = "unset";
    ASSERT_EQ(winx_GetVolumeInformation("d:", label, sizeof label), 1);
    EXPECT_STREQ(label, "v00");
    ASSERT_EQ(winx_GetVolumeInformation("Z:\\", label, sizeof label), 1);
    EXPECT_STREQ(label, "v22");
    EXPECT_EQ(winx_GetDriveType("z:\\"), kDriveCdRom);
    EXPECT_EQ(std::filesystem::path(winx_DriveDirectory('z')).filename(), "v22");
    // The first letter is the first volume, upper or lower case.
    EXPECT_EQ(std::filesystem::path(winx_DriveDirectory('d')).filename(), "v00");
    // Only a letter and a colon name a drive; a label is cut to its room.
    EXPECT_EQ(winx_GetDriveType("d\\"), kDriveNoRootDir);
    EXPECT_EQ(winx_GetDriveType(nullptr), kDriveNoRootDir);
    EXPECT_EQ(winx_GetVolumeInformation("[:", label, sizeof label), 0);
    ASSERT_EQ(winx_GetVolumeInformation("e:", label, 1), 1);
    EXPECT_STREQ(label, "");
    EXPECT_EQ(winx_GetVolumeInformation("e:", nullptr, 8), 1);
    // No room at all: the caller's bytes are left alone.
    char noRoom[4] = "abc";
    EXPECT_EQ(winx_GetVolumeInformation("e:", noRoom, 0), 1);
    EXPECT_STREQ(noRoom, "abc");
    EXPECT_TRUE(winx_DriveDirectory('[').empty());
}
