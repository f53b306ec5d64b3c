#include "platform/RegularFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/TempDirectory.h"

namespace {

namespace fs = std::filesystem;

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// What stands at a name decides every answer; a write never truncates something that is not a
// regular file, and nothing waits on a FIFO that has no one at its other end.
TEST(RegularFile, AnswersByWhatStandsAtThePath) {
    TempDirectory dir;
    const std::string d = dir.Path() + "/";
    dir.Write("plain", std::string_view("old bytes"));
    fs::create_directory(d + "folder");
    ASSERT_EQ(mkfifo((d + "fifo").c_str(), 0600), 0);
    fs::create_symlink(d + "plain", d + "link");
    fs::create_symlink(d + "nowhere", d + "dangling");
    struct Case {
        std::string path;
        int readable, special, exists, directory;
        const char* why;  // of an open for reading; null when it opens
    };
    const Case cases[] = {
        {d + "plain", 1, 0, 1, 0, nullptr},
        {d + "link", 1, 0, 1, 0, nullptr},
        {d + "missing", 0, 0, 0, 0, "No such file or directory"},
        {d + "dangling", 0, 0, 1, 0, "No such file or directory"},
        {d + "folder", 0, 1, 1, 1, "is a directory"},
        {d + "fifo", 0, 1, 1, 0, "is not a regular file"},
        {"/dev/null", 0, 1, 1, 0, "is not a regular file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(winx_IsReadableRegularFile(c.path), c.readable);
        EXPECT_EQ(winx_IsSpecialFile(c.path), c.special);
        EXPECT_EQ(winx_PathExists(c.path), c.exists);
        EXPECT_EQ(winx_IsDirectory(c.path), c.directory);
        std::string why = "stale";
        std::FILE* file = winx_OpenRegularFile(c.path, "rb", why);
        EXPECT_EQ(file != nullptr, c.why == nullptr);
        EXPECT_EQ(why, c.why ? c.why : "");
        if (file) {
            char buffer[16] = {};
            EXPECT_EQ(std::fread(buffer, 1, sizeof buffer, file), 9u);
            EXPECT_STREQ(buffer, "old bytes");
            std::fclose(file);
        }
    }
    EXPECT_TRUE(fs::exists(d + "plain"));

    // Writing: a regular file is truncated, a new one made; anything else is refused as it is.
    struct Write {
        std::string path;
        const char* why;
    };
    const Write writes[] = {
        {d + "plain", nullptr},
        {d + "new", nullptr},
        // The system refuses these itself: a directory for writing, a FIFO without a reader.
        {d + "folder", "Is a directory"},
        {d + "fifo", "No such device or address"},
        {d + "no/such/dir", "No such file or directory"},
        {"/dev/null", "is not a regular file"},
    };
    for (const Write& w : writes) {
        SCOPED_TRACE(w.path);
        std::string why;
        std::FILE* file = winx_OpenRegularFile(w.path, "wb", why);
        EXPECT_EQ(file != nullptr, w.why == nullptr);
        EXPECT_EQ(why, w.why ? w.why : "");
        if (!file) continue;
        EXPECT_EQ(std::fputs("new", file), 1);
        EXPECT_EQ(std::fclose(file), 0);
        EXPECT_EQ(Contents(w.path), "new");
    }
    EXPECT_TRUE(fs::is_fifo(d + "fifo"));
    EXPECT_TRUE(fs::is_directory(d + "folder"));
}

}  // namespace
