#include "platform/ChildProcess.h"
#include "platform/RegularFile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/Capture.h"
#include "platform/ChecksumRequest.h"
#include "platform/InstanceLock.h"
#include "platform/Profile.h"
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
    // A new file is written only where nothing stands, whole and flushed.
    struct Write {
        std::string path;
        const char* why;
        const char* whyNew;
    };
    const Write writes[] = {
        {d + "plain", nullptr, "File exists"},
        {d + "new", nullptr, nullptr},
        // The system refuses these itself: a directory for writing, a FIFO without a reader.
        {d + "folder", "Is a directory", "File exists"},
        {d + "fifo", "No such device or address", "File exists"},
        {d + "no/such/dir", "No such file or directory", "No such file or directory"},
        {"/dev/null", "is not a regular file", "File exists"},
        // A link is not followed, whether it leads somewhere or nowhere.
        {d + "link", nullptr, "File exists"},
        {d + "dangling", nullptr, "File exists"},
    };
    for (const Write& w : writes) {
        SCOPED_TRACE(w.path);
        std::string why = "stale";
        EXPECT_EQ(winx_WriteNewFile(w.path, "whole", 5, why), w.whyNew ? 0 : 1);
        EXPECT_EQ(why, w.whyNew ? w.whyNew : "");
        if (!w.whyNew) {
            EXPECT_EQ(Contents(w.path), "whole");
        }
        // Taken now, as each name was or is.
        EXPECT_EQ(winx_CreateNewFile(w.path, why), 0);
        if (w.path.find("link") != std::string::npos ||
            w.path.find("dangling") != std::string::npos)
            continue;
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
    EXPECT_FALSE(fs::exists(d + "nowhere"));
    EXPECT_EQ(Contents(d + "plain"), "new");
    std::string why;
    EXPECT_EQ(winx_CreateNewFile(d + "empty", why), 1);
    EXPECT_EQ(Contents(d + "empty"), "");
    EXPECT_EQ(winx_SyncPath(d + "empty") + winx_SyncPath(d + "folder"), 2);
    EXPECT_EQ(winx_SyncPath(d + "missing"), 0);
}

}  // namespace

// A game started with its input closed gets descriptor 0 for the first file it opens: every
// opener takes it as any other descriptor, and gives it back when done (the next open gets 0
// again). Run in a child, whose input can go; each opener sets its bit when it fails.
TEST(RegularFile, EveryOpenerTakesDescriptorZeroLikeAnyOther) {
    TempDirectory dir;
    const std::string text = dir.Write("text.ini", "[A]\nb=1\n");
    const std::string base = dir.Path() + "/";
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(0);
        setenv("QX_CAPTURE", dir.Path().c_str(), 1);
        const auto zeroIsFree = [] {
            const int fd = open("/dev/null", O_RDONLY);
            if (fd >= 0) close(fd);
            return fd == 0;
        };
        int failed = 0;
        std::string why;
        if (std::FILE* in = winx_OpenRegularFile(text, "rb", why)) {
            char got[4] = {};
            if (fileno(in) != 0 || std::fread(got, 1, 3, in) != 3 || std::string(got) != "[A]")
                failed |= 1;
            std::fclose(in);
        } else {
            failed |= 1;
        }
        if (winx_IsReadableRegularFile(text) != 1 || !zeroIsFree()) failed |= 2;
        if (std::FILE* out = winx_OpenRegularFile(base + "out.txt", "wb", why)) {
            std::fputs("written", out);
            std::fclose(out);
        }
        if (Contents(base + "out.txt") != "written") failed |= 4;
        if (!winx_WriteChecksumFile("sum", 42) ||
            Contents(base + "sum.txt") != "000000000000002a\n" || !zeroIsFree())
            failed |= 8;
        const uint8_t pixel = 0;
        const uint8_t palette[256 * 3] = {};
        if (!winx_WritePalettedPng(base + "shot.png", &pixel, 1, 1, 1, palette, nullptr) ||
            !fs::exists(base + "shot.png") || !zeroIsFree())
            failed |= 16;
        {
            winx_InstanceLock lock;
            if (lock.Acquire(base + "lock") != winx_InstanceLock::Result::Acquired) failed |= 32;
            lock.Release();
            if (!zeroIsFree()) failed |= 32;
        }
        std::string contents;
        if (winx_ReadProfileFile(text.c_str(), contents, why) != winx_ProfileFile::Read ||
            contents != "[A]\nb=1\n" || !zeroIsFree())
            failed |= 64;
        if (winx_WritePrivateProfileString("A", "b", "2", text.c_str()) != 1 ||
            Contents(text) != "[A]\nb=2\n" || !zeroIsFree())
            failed |= 128;
        _exit(failed);
    }
    EXPECT_EQ(ExitCodeOf(child), 0)
        << "bit 1 read, 2 readable, 4 write, 8 checksum, "
           "16 picture, 32 instance lock, 64 settings, 128 settings written";
}

// A new file the system will not take whole (here past the file size limit, in a child whose
// limit can be lowered) is answered 0 with the reason, and nothing is left at its name.
TEST(RegularFile, ANewFileNotWrittenWholeIsRemoved) {
    TempDirectory dir;
    const std::string path = dir.Path() + "/big";
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1024, 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        const std::string bytes(4096, 'x');
        std::string why;
        const int written = winx_WriteNewFile(path, bytes.data(), bytes.size(), why);
        _exit((written != 0 ? 1 : 0) | (why != "File too large" ? 2 : 0) |
              (std::filesystem::exists(path) ? 4 : 0));
    }
    EXPECT_EQ(ExitCodeOf(child), 0) << "bit 1 answered written, 2 another reason, 4 file left";
}
