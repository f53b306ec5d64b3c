// The script's checksum command and the checksum file it leads to.
#include "platform/ChecksumRequest.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/InputScript.h"
#include "support/TempDirectory.h"

TEST(ChecksumRequest, TheScriptAsksForNamedChecksumsInTurn) {
    winx_InputScript script;
    std::string error;
    ASSERT_EQ(script.Parse("checksum first\nwait 10\nchecksum second-2\n", "s", error), 1) << error;
    ASSERT_EQ(script.Steps().size(), 2u);
    EXPECT_EQ(script.Steps()[0].kind, winx_ScriptStep::Kind::Checksum);
    EXPECT_EQ(script.Steps()[1].name, "second-2");
    EXPECT_EQ(script.Steps()[1].atMs, 10u);
    for (const char* bad : {"checksum\n", "checksum a b\n", "checksum ../x\n", "checksum .x\n"}) {
        EXPECT_EQ(script.Parse(bad, "s", error), 0) << bad;
    }
    EXPECT_EQ(error, "s:1: a capture name is 1 to 64 of A-Z a-z 0-9 _ - . and starts with no dot");
    winx_RequestChecksum("a");
    winx_RequestChecksum("b");
    EXPECT_EQ(winx_TakeChecksumRequest(), "a");
    EXPECT_EQ(winx_TakeChecksumRequest(), "b");
    EXPECT_EQ(winx_TakeChecksumRequest(), "");
}

TEST(ChecksumRequest, TheFileHoldsSixteenHexDigitsInTheCaptureDirectory) {
    TempDirectory directory;
    setenv("QX_CAPTURE", directory.Path().c_str(), 1);
    ASSERT_TRUE(winx_WriteChecksumFile("state", 0x0123456789ABCDEFull));
    ASSERT_TRUE(winx_WriteChecksumFile("state", 0xFEull));
    std::ifstream file(directory.Path() + "/state.txt");
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_EQ(text.str(), "00000000000000fe\n");
    std::ifstream temporary(directory.Path() + "/state.txt.tmp");
    EXPECT_FALSE(temporary.good());
    setenv("QX_CAPTURE", (directory.Path() + "/missing").c_str(), 1);
    EXPECT_FALSE(winx_WriteChecksumFile("state", 1));
    unsetenv("QX_CAPTURE");
    std::remove((directory.Path() + "/state.txt").c_str());
}
