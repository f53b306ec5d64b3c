// The script's checksum command and the checksum file it leads to.
#include "platform/ChecksumRequest.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

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
    // A directory in the file's place: nothing written, no temporary left.
    setenv("QX_CAPTURE", directory.Path().c_str(), 1);
    std::filesystem::create_directory(directory.Path() + "/busy.txt");
    EXPECT_FALSE(winx_WriteChecksumFile("busy", 1));
    EXPECT_FALSE(std::filesystem::exists(directory.Path() + "/busy.txt.tmp"));
    EXPECT_TRUE(std::filesystem::is_directory(directory.Path() + "/busy.txt"));
    // Listings go only where they are asked for.
    unsetenv("QX_CHECKSUM_LISTING");
    EXPECT_FALSE(winx_WriteChecksumListing("state", "a=1\n"));
    setenv("QX_CHECKSUM_LISTING", directory.Path().c_str(), 1);
    ASSERT_TRUE(winx_WriteChecksumListing("state", "a=1\n"));
    unsetenv("QX_CHECKSUM_LISTING");
    const std::string listing = directory.Path() + "/state-" + std::to_string(getpid()) + ".txt";
    std::ifstream written(listing);
    std::stringstream lines;
    lines << written.rdbuf();
    EXPECT_EQ(lines.str(), "a=1\n");
    std::remove(listing.c_str());
    unsetenv("QX_CAPTURE");
    std::remove((directory.Path() + "/state.txt").c_str());
}
