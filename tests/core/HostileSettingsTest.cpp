// A settings file that is not a plain readable file counts as absent, without blocking or
// reading without end; numbers are held to their range; a byte-order mark is skipped.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "core/Settings.h"
#include "platform/Profile.h"
#include "support/ScopedWorkingDir.h"

namespace {

class HostileSettings : public ::testing::Test {
protected:
    void SetUp() override {
        cheatsOn = 0;
        tcpPort = 3385;
        traceOn = 1;
    }
    void TearDown() override {
        cheatsOn = 0;
        traceOn = 0;
        tcpPort = 3385;
    }
    ScopedWorkingDir dir;
};

}  // namespace

TEST_F(HostileSettings, AFileThatCannotBeReadIsAbsentWithATraceLine) {
    const struct {
        const char* what;
        const char* why;
    } cases[] = {{"directory", "is a directory"},
                 {"fifo", "is not a regular file"},
                 {"device", "is not a regular file"},
                 {"large", "is larger than 1 MiB"}};
    for (const auto& c : cases) {
        std::filesystem::remove_all("QX.INI");
        const std::string what = c.what;
        if (what == "directory") std::filesystem::create_directory("QX.INI");
        if (what == "fifo") {
            ASSERT_EQ(mkfifo("QX.INI", 0600), 0);
        }
        if (what == "device") std::filesystem::create_symlink("/dev/zero", "QX.INI");
        if (what == "large")
            dir.WriteFile("QX.INI", "[OPTIONS]\nCHEAT=YES\n" + std::string(kMaxProfileBytes, ';'));
        std::filesystem::remove("zvd.out");
        LoadSettings();
        EXPECT_EQ(cheatsOn, 0) << what;
        EXPECT_NE(dir.ReadFile("zvd.out").find(std::string("QX.INI ") + c.why), std::string::npos)
            << what;
        // Nothing is written over a file whose text could not be kept.
        EXPECT_EQ(WriteProfileValue("QX", "OPTIONS", "MUSIC", "NO"), 0) << what;
    }
}

TEST_F(HostileSettings, AByteOrderMarkIsSkippedAndKept) {
    dir.WriteFile("QX.INI", "\xEF\xBB\xBF[OPTIONS]\r\nCHEAT=YES\r\n");
    LoadSettings();
    EXPECT_EQ(cheatsOn, 1);
    ASSERT_EQ(WriteProfileValue("QX", "OPTIONS", "MUSIC", "NO"), 1);
    EXPECT_EQ(dir.ReadFile("QX.INI"), "\xEF\xBB\xBF[OPTIONS]\r\nCHEAT=YES\r\nMUSIC=NO\r\n");
    EXPECT_EQ(dir.ReadFile("zvd.out"), "");
}

TEST_F(HostileSettings, NumbersAreHeldToTheirRange) {
    const struct {
        const char* value;
        int read;
        int32_t volume;
        int32_t port;
    } cases[] = {{"50", 1, 50, 50},   {"-21474837", 1, 0, 0}, {"2147483648000", 1, 100, 65535},
                 {" +7 dB", 1, 7, 7}, {"loud", 0, 33, 0},     {"", 0, 33, 0}};
    for (const auto& c : cases) {
        dir.WriteFile("QX.INI", std::string("[OPTIONS]\nVOLUME=") + c.value +
                                    "\n[COMMUNICATIONS]\nPORT=" + c.value + "\n");
        int32_t volume = 33;
        EXPECT_EQ(ReadProfileNumber("QX", "OPTIONS", "VOLUME", 0, 100, volume), c.read) << c.value;
        EXPECT_EQ(volume, c.volume) << c.value;
        tcpPort = 3385;
        LoadSettings();
        EXPECT_EQ(tcpPort, c.port) << c.value;
    }
}
