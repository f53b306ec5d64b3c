// The profile-file functions on real files in a temporary directory.
#include "platform/Profile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include "platform/ChildProcess.h"
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
    // A write the disk takes only in part fails, and the file keeps its old text.
    const std::string kept = Ini("[A]\nK=1\n");
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit low = old;
    low.rlim_cur = 16;
    auto previous = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &low), 0);
    const int written =
        winx_WritePrivateProfileString("A", "K", std::string(64, 'v').c_str(), kept.c_str());
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, previous);
    EXPECT_EQ(written, 0);
    EXPECT_EQ(Read(kept), "[A]\nK=1\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(ProfileTest, ANullSectionReadsDefaultsAndWritesNothing) {
    const std::string file = Ini("[A]\nK=1\n");
    EXPECT_EQ(winx_WritePrivateProfileString(nullptr, "K", "V", file.c_str()), 0);
    EXPECT_EQ(Read(file), "[A]\nK=1\n");
    EXPECT_EQ(Get(nullptr, "K", file), "DEF");
    EXPECT_EQ(Get("A", nullptr, file), "DEF");
    EXPECT_EQ(winx_GetPrivateProfileInt(nullptr, "K", 7, file.c_str()), 7);
}

TEST(ProfileText, LookupsFollowTheLinesRules) {
    const std::string text =
        "\xEF\xBB\xBF"
        "; K=comment\n"
        "[ Alpha ]\n"
        "K = a=b \n"
        "  ;L=hidden\n"
        "novalue\n"
        "[Beta\n"
        "K=beta\n"
        "[Alpha]\n"
        "M=second\n";
    const struct {
        const char* section;
        const char* key;
        int found;
        const char* value;
    } cases[] = {
        {"alpha", "k", 1, "a=b"},      // the first '=' splits, both sides trimmed
        {" ALPHA ", " K ", 1, "a=b"},  // the names asked for are trimmed too
        {"Alpha", "L", 0, ""},         // a comment is no key, indented or not
        {"Alpha", "novalue", 0, ""},   // nor a line without '='
        {"Beta", "K", 1, "beta"},      // a header without its ']' still names its section
        {"Alpha", "M", 0, ""},         // only the first section of a name is looked in
        {"", "K", 0, ""},
    };
    for (const auto& c : cases) {
        std::string value;
        EXPECT_EQ(winx_FindProfileValue(text, c.section, c.key, value), c.found)
            << c.section << "/" << c.key;
        if (c.found) {
            EXPECT_EQ(value, c.value) << c.section << "/" << c.key;
        }
    }
}

TEST(ProfileText, WritesChangeOnlyWhatTheyName) {
    const struct {
        const char* before;
        const char* section;
        const char* key;
        const char* value;
        const char* after;
    } cases[] = {
        // A new key goes after the section's last line that is not blank.
        {"[A]\nK=1\n\n\n[B]\n", "A", "L", "2", "[A]\nK=1\nL=2\n\n\n[B]\n"},
        {"[A]\n\n[B]\n", "A", "L", "2", "[A]\nL=2\n\n[B]\n"},
        // Removing what is not there changes nothing, and creates nothing.
        {"[A]\nK=1\n", "A", "Z", nullptr, "[A]\nK=1\n"},
        {"[A]\nK=1\n", "Q", "Z", nullptr, "[A]\nK=1\n"},
        {"[A]\nK=1\n", "Q", nullptr, nullptr, "[A]\nK=1\n"},
        // A new section is trimmed; an empty value is a value.
        {"", " New ", " K ", "", "[New]\nK=\n"},
        // The last line gets its line end.
        {"[A]\r\nK=1", "A", "K", "3", "[A]\r\nK=3\r\n"},
        // A key of another section with the same name is left alone.
        {"[A]\nK=1\n[B]\nK=2\n", "B", "K", "9", "[A]\nK=1\n[B]\nK=9\n"},
        // No section: the text as it was, without a line end added.
        {"[A]\nK=1", nullptr, "K", "2", "[A]\nK=1"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(winx_UpdateProfileText(c.before, c.section, c.key, c.value), c.after) << c.before;
    }
}

TEST(ProfileText, NumbersSaturateAtTheIntRange) {
    const struct {
        const char* text;
        bool ok;
        int number;
    } cases[] = {
        {"2147483647", true, 2147483647},
        {"2147483648", true, 2147483647},
        {"-2147483648", true, -2147483647 - 1},
        {"-2147483649", true, -2147483647 - 1},
        {"-99999999999999999999", true, -2147483647 - 1},
        {"\t\v 12ab", true, 12},
        {"+0", true, 0},
        {"-", false, 0},
        {"+", false, 0},
        {"- 5", false, 0},
        {"", false, 0},
    };
    for (const auto& c : cases) {
        int number = 0;
        EXPECT_EQ(winx_ScanProfileNumber(c.text, number), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(number, c.number) << c.text;
        }
    }
}

TEST_F(ProfileTest, AFileIsReadAgainOnlyWhenItChanged) {
    const std::string file = Ini("[A]\nK=1\n");
    EXPECT_EQ(Get("A", "K", file), "1");
    // Another size: read again.
    Ini("[A]\nK=22\n");
    EXPECT_EQ(Get("A", "K", file), "22");
    // A file gone is absent; back again, it is read.
    std::filesystem::remove(file);
    EXPECT_EQ(Get("A", "K", file), "DEF");
    Ini("[A]\nK=3\n");
    EXPECT_EQ(Get("A", "K", file), "3");
    // At the limit a file is read; one byte more and it is not.
    const std::string head = "[A]\nK=4\n";
    Ini(head + std::string(kMaxProfileBytes - head.size(), ';'));
    EXPECT_EQ(Get("A", "K", file), "4");
    Ini(head + std::string(kMaxProfileBytes - head.size() + 1, ';'));
    EXPECT_EQ(Get("A", "K", file), "DEF");
    std::string contents, why;
    EXPECT_EQ(winx_ReadProfileFile(file.c_str(), contents, why), winx_ProfileFile::Unreadable);
    EXPECT_EQ(why, "is larger than 1 MiB");
    EXPECT_EQ(contents, "");
    EXPECT_EQ(winx_ReadProfileFile(nullptr, contents, why), winx_ProfileFile::Absent);
}

// A file that proves larger than the limit only while it is read (its reported size was
// smaller) is refused as one that said so beforehand. A program's environment, as /proc shows
// it, is such a file: its reported size is 0.
TEST_F(ProfileTest, AFileThatProvesLargerThanTheLimitWhileReadIsRefused) {
    std::vector<std::string> variables;
    for (int i = 0; i < 11; ++i)
        variables.push_back("QX_BIG" + std::to_string(i) + "=" + std::string(100000, 'x'));
    std::vector<char*> environment;
    for (std::string& variable : variables)
        environment.push_back(variable.data());
    environment.push_back(nullptr);
    // `input` keeps the program waiting until it is closed; the byte it echoes on `output` says
    // it runs. The close of a close-on-exec pipe came too early: the kernel closes it before it
    // sets up the new program's environment, and a read then found an empty one.
    int input[2], output[2];
    ASSERT_EQ(pipe(input), 0);
    ASSERT_EQ(pipe(output), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        dup2(input[0], 0);
        dup2(output[1], 1);
        close(input[1]);
        close(output[0]);
        char name[] = "cat";
        char* arguments[] = {name, nullptr};
        execve("/bin/cat", arguments, environment.data());
        _exit(127);
    }
    close(input[0]);
    close(output[1]);
    char byte = 'x';
    ASSERT_EQ(write(input[1], &byte, 1), 1);
    ASSERT_EQ(read(output[0], &byte, 1), 1);
    close(output[0]);
    const std::string file = "/proc/" + std::to_string(child) + "/environ";
    std::string contents = "old", why;
    EXPECT_EQ(winx_ReadProfileFile(file.c_str(), contents, why), winx_ProfileFile::Unreadable);
    EXPECT_EQ(why, "is larger than 1 MiB");
    EXPECT_EQ(contents, "");
    close(input[1]);
    EXPECT_EQ(ExitCodeOf(child), 0);
}

// A file whose size the system does not know beforehand (as /proc reports 0) is read whole.
TEST_F(ProfileTest, AFileLongerThanItsReportedSizeIsReadWhole) {
    const std::string link = dir.Path() + "/proc.ini";
    std::filesystem::create_symlink("/proc/self/environ", link);
    const std::string expected = Read("/proc/self/environ");
    ASSERT_GT(expected.size(), 8u);
    std::string contents, why;
    ASSERT_EQ(winx_ReadProfileFile(link.c_str(), contents, why), winx_ProfileFile::Read) << why;
    EXPECT_EQ(contents, expected);
}

// A file that stays as it was (same file, size and time) is not read again: its text is kept.
TEST_F(ProfileTest, AFileThatStaysAsItWasIsReadOnce) {
    const std::string file = Ini("[A]\nK=1\n");
    EXPECT_EQ(Get("A", "K", file), "1");
    const auto stamp = std::filesystem::last_write_time(file);
    {
        std::fstream same(file, std::ios::in | std::ios::out | std::ios::binary);
        same.seekp(6);
        same.put('9');
    }
    std::filesystem::last_write_time(file, stamp);
    EXPECT_EQ(Read(file), "[A]\nK=9\n");
    EXPECT_EQ(Get("A", "K", file), "1");
    // Any change the file shows is a new text.
    std::filesystem::last_write_time(file, stamp + std::chrono::seconds(1));
    EXPECT_EQ(Get("A", "K", file), "9");
}
