// The profile-file functions on real files in a temporary directory.
#include "platform/Profile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include "support/TempDirectory.h"

namespace {

class ProfileTest : public ::testing::Test {
protected:
    std::string Ini(std::string_view text) { return dir.Write("QX.INI", text); }
    std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::string Get(const char* section, const char* key, const std::string& file,
                    const char* def = "DEF") {
        char out[64];
        winx_GetPrivateProfileString(section, key, def, out, sizeof out, file.c_str());
        return out;
    }

    TempDirectory dir;
};

}  // namespace

TEST_F(ProfileTest, MissingFileGivesDefaults) {
    const std::string file = dir.Path() + "/absent.ini";
    char out[16];
    EXPECT_EQ(winx_GetPrivateProfileString("OPTIONS", "MOVIES", "YES", out, 16, file.c_str()), 3);
    EXPECT_STREQ(out, "YES");
    EXPECT_EQ(winx_GetPrivateProfileString("OPTIONS", "MOVIES", nullptr, out, 16, file.c_str()), 0);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(winx_GetPrivateProfileInt("COMMUNICATIONS", "PORT", 3385, file.c_str()), 3385);
    // A path through a plain file is as absent as a missing one.
    std::ofstream(dir.Path() + "/plain") << "[A]\nK=1\n";
    std::string contents, why;
    EXPECT_EQ(winx_ReadProfileFile((dir.Path() + "/plain/qx.ini").c_str(), contents, why),
              winx_ProfileFile::Absent);
    // A file that is there but cannot be opened (no descriptor left) cannot be read, and says
    // why; it is not taken for a missing one.
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &old), 0);
    rlimit low = old;
    low.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
    std::vector<int> held;
    for (int fd = open("/dev/null", O_RDONLY); fd >= 0; fd = open("/dev/null", O_RDONLY))
        held.push_back(fd);
    const winx_ProfileFile status =
        winx_ReadProfileFile((dir.Path() + "/plain").c_str(), contents, why);
    for (int fd : held)
        close(fd);
    setrlimit(RLIMIT_NOFILE, &old);
    EXPECT_EQ(status, winx_ProfileFile::Unreadable);
    EXPECT_FALSE(why.empty());
}

TEST_F(ProfileTest, SectionsAndKeysMatchIgnoringCaseAndValuesAreTrimmed) {
    const std::string file = Ini("; comment\n[Options]\n  Movies =  NO  \n[display]\nflip=N\n");
    EXPECT_EQ(Get("OPTIONS", "MOVIES", file), "NO");
    EXPECT_EQ(Get("DISPLAY", "FLIP", file), "N");
    EXPECT_EQ(Get("DISPLAY", "MOVIES", file), "DEF");
    EXPECT_EQ(Get("PATH", "CD_ASSETS", file, "?"), "?");
}

TEST_F(ProfileTest, OutputIsCutToTheBuffer) {
    const std::string file = Ini("[A]\nK=HELLO\n");
    char out[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(winx_GetPrivateProfileString("A", "K", "", out, 4, file.c_str()), 3);
    EXPECT_STREQ(out, "HEL");
    EXPECT_EQ(winx_GetPrivateProfileString("A", "K", "", out, 0, file.c_str()), 0);
}

TEST_F(ProfileTest, IntegersAreBaseTenAndNonNumbersZero) {
    const std::string file =
        Ini("[O]\r\nZERO=08\r\nWORD=abc\r\nNEG=-12\r\nTAIL= 42x \r\nEMPTY=\r\nBIG=99999999999\r\n");
    EXPECT_EQ(winx_GetPrivateProfileInt("O", "ZERO", 5, file.c_str()), 8);
    EXPECT_EQ(winx_GetPrivateProfileInt("O", "WORD", 5, file.c_str()), 0);
    EXPECT_EQ(winx_GetPrivateProfileInt("O", "NEG", 5, file.c_str()), -12);
    EXPECT_EQ(winx_GetPrivateProfileInt("O", "TAIL", 5, file.c_str()), 42);
    EXPECT_EQ(winx_GetPrivateProfileInt("O", "EMPTY", 5, file.c_str()), 0);
    EXPECT_EQ(winx_GetPrivateProfileInt("O", "BIG", 5, file.c_str()), 2147483647);
    EXPECT_EQ(winx_GetPrivateProfileInt("O", "NONE", 5, file.c_str()), 5);
}

TEST_F(ProfileTest, WriteReplacesOneValueAndKeepsEveryOtherLine) {
    const std::string file =
        Ini("; settings\n[OPTIONS]\nMOVIES=YES\nvolume = 100\n\n[DISPLAY]\nFLIP=YES\n");
    ASSERT_EQ(winx_WritePrivateProfileString("options", "VOLUME", "60", file.c_str()), 1);
    EXPECT_EQ(Read(file), "; settings\n[OPTIONS]\nMOVIES=YES\nVOLUME=60\n\n[DISPLAY]\nFLIP=YES\n");
    ASSERT_EQ(winx_WritePrivateProfileString("OPTIONS", "MUSIC", "NO", file.c_str()), 1);
    EXPECT_EQ(Read(file),
              "; settings\n[OPTIONS]\nMOVIES=YES\nVOLUME=60\nMUSIC=NO\n\n[DISPLAY]\nFLIP=YES\n");
    ASSERT_EQ(winx_WritePrivateProfileString("PATH", "CD_ASSETS", "D", file.c_str()), 1);
    EXPECT_EQ(Get("PATH", "CD_ASSETS", file), "D");
    EXPECT_EQ(Get("DISPLAY", "FLIP", file), "YES");
    EXPECT_EQ(Get("OPTIONS", "MOVIES", file), "YES");
}

TEST_F(ProfileTest, WriteKeepsCrLfLineEnds) {
    const std::string file = Ini("[A]\r\nK=1\r\n");
    ASSERT_EQ(winx_WritePrivateProfileString("A", "K", "2", file.c_str()), 1);
    EXPECT_EQ(Read(file), "[A]\r\nK=2\r\n");
}

TEST_F(ProfileTest, NullValueRemovesKeyAndNullKeyRemovesSection) {
    const std::string file = Ini("[A]\nK=1\nL=2\n[B]\nM=3\n");
    ASSERT_EQ(winx_WritePrivateProfileString("A", "K", nullptr, file.c_str()), 1);
    EXPECT_EQ(Read(file), "[A]\nL=2\n[B]\nM=3\n");
    ASSERT_EQ(winx_WritePrivateProfileString("a", nullptr, nullptr, file.c_str()), 1);
    EXPECT_EQ(Read(file), "[B]\nM=3\n");
}

TEST_F(ProfileTest, WriteCreatesTheFileAndLeavesNoTemporaryBehind) {
    const std::string file = dir.Path() + "/new.ini";
    ASSERT_EQ(winx_WritePrivateProfileString("OPTIONS", "CLAN", "T", file.c_str()), 1);
    EXPECT_EQ(Read(file), "[OPTIONS]\nCLAN=T\n");
    int entries = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path())) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

TEST_F(ProfileTest, WriteIntoMissingDirectoryFails) {
    const std::string file = dir.Path() + "/nowhere/x.ini";
    EXPECT_EQ(winx_WritePrivateProfileString("A", "K", "V", file.c_str()), 0);
}

TEST_F(ProfileTest, ANullSectionReadsDefaultsAndWritesNothing) {
    const std::string file = Ini("[A]\nK=1\n");
    EXPECT_EQ(winx_WritePrivateProfileString(nullptr, "K", "V", file.c_str()), 0);
    EXPECT_EQ(Read(file), "[A]\nK=1\n");
    EXPECT_EQ(Get(nullptr, "K", file), "DEF");
    EXPECT_EQ(Get("A", nullptr, file), "DEF");
    EXPECT_EQ(winx_GetPrivateProfileInt(nullptr, "K", 7, file.c_str()), 7);
}
