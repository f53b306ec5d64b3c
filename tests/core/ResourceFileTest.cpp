// ResourceFile: pack directories, entry windows, line reading and write failures.
#include "core/ResourceFile.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "support/PackBuilder.h"
#include "support/TempDirectory.h"

namespace {

class ResourceFileTest : public ::testing::Test {
protected:
    // Opens a file of the temporary directory by its whole path.
    int OpenWhole(ResourceFile& file, const std::string& name, const Bytes& data) {
        file.plainPath = 1;
        return file.Open(dir.Write(name, data).c_str(), ResourceFile::OpenMode::Read);
    }
    std::string Contents(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    TempDirectory dir;
};

std::string ReadAllLines(ResourceFile& file, int max = 64) {
    std::string joined;
    char buffer[64];
    for (int i = 0; i < 20; ++i) {
        const int n = file.ReadLine(max, buffer);
        EXPECT_EQ(n, static_cast<int>(std::strlen(buffer)));
        if (n == 0 && file.Tell() >= file.Size()) break;
        joined += "[" + std::string(buffer) + "]";
    }
    return joined;
}

}  // namespace

TEST_F(ResourceFileTest, EntryOfColumnTwoRowOneIsDirectoryEntryFive) {
    // Written by hand: 3 columns, 2 rows, only entry number 5 (at file offset 48) present.
    Bytes pack;
    AppendU32BE(pack, 0x2ACE2ACE);
    AppendU16BE(pack, 3);
    AppendU16BE(pack, 2);
    for (int i = 0; i < 6; ++i) {
        AppendU32BE(pack, i == 5 ? 56 : 0);
        AppendU32BE(pack, i == 5 ? 3 : 0);
    }
    ASSERT_EQ(pack.size(), 56u);
    pack.push_back('a');
    pack.push_back('b');
    pack.push_back('c');
    ResourceFile file;
    ASSERT_EQ(OpenWhole(file, "hand.msp", pack), 1);
    EXPECT_EQ(file.Columns(), 3);
    EXPECT_EQ(file.Rows(), 2);
    EXPECT_EQ(file.SelectEntry(1, 2), 0);
    EXPECT_EQ(file.SelectEntry(0, 0), 0);
    ASSERT_EQ(file.SelectEntry(2, 1), 1);
    EXPECT_EQ(file.Size(), 3);
    char text[4] = {};
    int32_t count = 3;
    EXPECT_EQ(file.Read(count, text), 1);
    EXPECT_STREQ(text, "abc");
}

TEST_F(ResourceFileTest, ReadsAreCutAtTheEntryWindow) {
    ResourceFile file;
    const Bytes pack = PackBuilder(2, 1).Entry(0, 0, "0123456789").Entry(1, 0, "NEXT").Build();
    ASSERT_EQ(OpenWhole(file, "p.msp", pack), 1);
    uint16_t word = 0;
    EXPECT_EQ(file.ReadU16(&word), 0);  // nothing is readable before an entry is selected
    EXPECT_EQ(file.Size(), 0);
    ASSERT_EQ(file.SelectEntry(0, 0), 1);
    char buffer[16] = {};
    int32_t count = 8;
    EXPECT_EQ(file.Read(count, buffer), 1);
    uint32_t value = 0;
    EXPECT_EQ(file.ReadU32(&value), 0);
    int32_t signedValue = 7;
    EXPECT_EQ(file.ReadU32(&signedValue), 0);
    EXPECT_EQ(signedValue, 7);
    count = 8;
    EXPECT_EQ(file.Read(count, buffer), 1);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(std::string(buffer, 2), "89");
}

// An entry that is not there, lies outside the directory or leaves the file is absent, and
// selecting it leaves the window as it was.
TEST_F(ResourceFileTest, AbsentEntryLeavesTheWindowAsItWas) {
    ResourceFile file;
    const Bytes pack = PackBuilder(4, 2)
                           .Entry(0, 0, "abcd")
                           .RawDirectory(1, 0, 40, 100)                   // past the end
                           .RawDirectory(2, 0, 0xFFFFFFF0u, 0x20)         // wraps in 32 bits
                           .RawDirectory(3, 0, 0x7FFFFFFFu, 0x7FFFFFFFu)  // past 2^31 - 1
                           .Build();
    ASSERT_EQ(OpenWhole(file, "p.msp", pack), 1);
    ASSERT_EQ(file.SelectEntry(0, 0), 1);
    char buffer[8] = {};
    int32_t count = 2;
    ASSERT_EQ(file.Read(count, buffer), 1);
    const int32_t at = file.Tell();
    for (const auto& [column, row] :
         {std::pair{1, 1}, {-1, 0}, {0, -1}, {4, 0}, {1, 0}, {2, 0}, {3, 0}})
        EXPECT_EQ(file.SelectEntry(column, row), 0) << column << "," << row;
    EXPECT_EQ(file.Tell(), at);
    EXPECT_EQ(file.Size(), 4);
    count = 8;
    EXPECT_EQ(file.Read(count, buffer), 1);
    EXPECT_EQ(std::string(buffer, count), "cd");
}

TEST_F(ResourceFileTest, MalformedPackIsRefused) {
    ResourceFile file;
    Bytes huge;
    AppendU32BE(huge, 0x2ACE2ACE);
    AppendU16BE(huge, 0xFFFF);
    AppendU16BE(huge, 0xFFFF);
    AppendU32BE(huge, 12);
    EXPECT_EQ(OpenWhole(file, "huge.msp", huge), 0);
    EXPECT_FALSE(file.IsOpen());
    Bytes shortHeader;
    AppendU32BE(shortHeader, 0x2ACE2ACE);
    AppendU16BE(shortHeader, 1);
    EXPECT_EQ(OpenWhole(file, "short.msp", shortHeader), 0);
    Bytes empty = PackBuilder(0, 0).Build();
    ASSERT_EQ(OpenWhole(file, "empty.msp", empty), 1);
    EXPECT_EQ(file.SelectEntry(0, 0), 0);
}

TEST_F(ResourceFileTest, NumbersAreBigEndianWhateverTheCallerAsks) {
    ResourceFile file;
    file.plainPath = 1;
    const std::string path = dir.Write("plain.bin", Bytes{0x12, 0x34, 0xDE, 0xAD, 0xBE, 0xEF});
    ASSERT_EQ(file.Open(path.c_str(), 0, 0), 1);
    EXPECT_EQ(file.Size(), 6);
    uint16_t word = 0;
    ASSERT_EQ(file.ReadU16(&word), 1);
    EXPECT_EQ(word, 0x1234);
    int32_t value = 0;
    ASSERT_EQ(file.ReadU32(&value), 1);
    EXPECT_EQ(static_cast<uint32_t>(value), 0xDEADBEEFu);
    EXPECT_EQ(file.ReadU16(&word), 0);
    // Signed words keep their sign; no place to put one reads nothing.
    ASSERT_EQ(file.Seek(2), 1);
    int16_t signedWord = 0;
    ASSERT_EQ(file.ReadU16(&signedWord), 1);
    EXPECT_EQ(signedWord, static_cast<int16_t>(0xDEAD));
    EXPECT_EQ(file.ReadU16(static_cast<int16_t*>(nullptr)), 0);
    EXPECT_EQ(file.Tell(), 4);
}

TEST_F(ResourceFileTest, NoNameAnUnknownModeOrAnotherCaseOfAPackIsRefused) {
    ResourceFile file;
    file.plainPath = 1;
    const std::string path = dir.Write("Some.msp", PackBuilder(1, 1).Build());
    EXPECT_EQ(file.Open(nullptr, 1, 0), 0);
    EXPECT_EQ(file.Fault(), "(no name or an unknown mode)");
    EXPECT_EQ(file.Open(path.c_str(), 1, 4), 0);
    EXPECT_EQ(file.Fault(), "(no name or an unknown mode)");
    EXPECT_EQ(file.Open(path.c_str(), 1, -1), 0);
    EXPECT_EQ(file.Open(path.c_str(), 1, 0), 1);
    EXPECT_EQ(file.OpenPack(path.c_str()), 1);
    // The same pack asked for under another case of its name is not the pack asked for.
    const std::string other = dir.Path() + "/some.msp";
    EXPECT_EQ(file.OpenPack(other.c_str()), 0);
    EXPECT_EQ(file.Absent(), 1);
    EXPECT_NE(file.Fault().find(": is another pack than " + other), std::string::npos)
        << file.Fault();
    EXPECT_FALSE(file.IsOpen());
}

TEST_F(ResourceFileTest, AFileCutShortAfterOpeningReadsWhatIsLeft) {
    ResourceFile file;
    const std::string path = dir.Path() + "/cut.bin";
    ASSERT_EQ(OpenWhole(file, "cut.bin", Bytes(100000, 7)), 1);
    std::filesystem::resize_file(path, 50000);
    std::vector<char> buffer(100000);
    int32_t count = 100000;
    EXPECT_EQ(file.Read(count, buffer.data()), 0);
    EXPECT_EQ(count, 50000);
    EXPECT_EQ(file.Tell(), 50000);
    // Read to its end, a file gives what it holds however many reads that takes, whatever size
    // it reported: cut to the bound, or past the window when it grew after opening.
    std::string rest;
    ASSERT_EQ(OpenWhole(file, "cut.bin", Bytes(10000, 7)), 1);
    EXPECT_EQ(file.ReadToEnd(9000, rest), 1);
    EXPECT_EQ(rest, std::string(9000, 7));
    ASSERT_EQ(OpenWhole(file, "cut.bin", Bytes(10000, 7)), 1);
    std::filesystem::resize_file(path, 30000);
    EXPECT_EQ(file.ReadToEnd(40000, rest), 1);
    EXPECT_EQ(rest.size(), 30000u);
    EXPECT_EQ(file.Tell(), 30000);
}

TEST_F(ResourceFileTest, SeekAndSkipStayInsideTheWindow) {
    ResourceFile file;
    ASSERT_EQ(OpenWhole(file, "plain.bin", BytesOf("abcdef")), 1);
    ASSERT_EQ(file.Seek(100), 1);
    char buffer[8] = {'x'};
    int32_t count = 4;
    file.Read(count, buffer);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(buffer[0], 'x');
    EXPECT_EQ(file.Skip(1), 0);
    EXPECT_EQ(file.Seek(-1), 0);
    count = -5;
    EXPECT_EQ(file.Read(count, buffer), 0);
    EXPECT_EQ(count, 0);
    ASSERT_EQ(file.Seek(0), 1);
    EXPECT_EQ(file.Skip(4), 1);
    EXPECT_EQ(file.Tell(), 4);
    EXPECT_EQ(file.Skip(3), 0);
    EXPECT_EQ(file.Skip(2), 1);
    EXPECT_EQ(file.Skip(-1), 0);
}

TEST_F(ResourceFileTest, LinesEndAtCrLfCrLfOrLfCrAndOverlongOnesAreCut) {
    const struct {
        const char* text;
        int max;
        const char* lines;
    } cases[] = {{"a\rb\nc\r\nd\n\re", 64, "[a][b][c][d][][e]"}, {"abcdefg\nxy\n", 4, "[abc][xy]"}};
    for (const auto& c : cases) {
        ResourceFile file;
        ASSERT_EQ(OpenWhole(file, "lines.txt", BytesOf(c.text)), 1);
        EXPECT_EQ(ReadAllLines(file, c.max), c.lines) << c.text;
    }
}

TEST_F(ResourceFileTest, LinesStopAtTheEntryWindow) {
    ResourceFile file;
    const Bytes pack = PackBuilder(2, 1).Entry(0, 0, "ab\ncd\r").Entry(1, 0, "\nef").Build();
    ASSERT_EQ(OpenWhole(file, "p.msp", pack), 1);
    ASSERT_EQ(file.SelectEntry(0, 0), 1);
    const int32_t start = file.Tell();
    char buffer[16] = "x";
    // No room at all: nothing is read and nothing written.
    EXPECT_EQ(file.ReadLine(0, buffer), 0);
    EXPECT_STREQ(buffer, "x");
    EXPECT_EQ(file.ReadLine(16, buffer), 2);
    EXPECT_STREQ(buffer, "ab");
    EXPECT_EQ(file.ReadLine(16, buffer), 2);
    EXPECT_STREQ(buffer, "cd");
    // The look for a LF after the last CR stops at the window, not in the next entry's LF.
    EXPECT_EQ(file.Tell(), start + 6);
    EXPECT_EQ(file.ReadLine(16, buffer), 0);
    EXPECT_STREQ(buffer, "");
}

TEST_F(ResourceFileTest, DataLinesSkipComments) {
    ResourceFile file;
    ASSERT_EQ(OpenWhole(file, "d.txt", BytesOf("#comment text\n#\ndata\n\nmore\n")), 1);
    char buffer[32];
    EXPECT_EQ(file.ReadDataLine(32, buffer), 4);
    EXPECT_STREQ(buffer, "data");
    EXPECT_EQ(file.ReadDataLine(32, buffer), 0);  // the empty line
    EXPECT_EQ(file.ReadDataLine(32, buffer), 4);
    EXPECT_EQ(file.ReadDataLine(32, buffer), 0);
}

// A device is never opened as a data file, for reading or writing; a write that does not fit
// (here: the process's file-size limit, as a full device would refuse it) is reported.
TEST_F(ResourceFileTest, FullDiskIsReportedNotTakenForSuccess) {
    if (std::filesystem::exists("/dev/full")) {
        ResourceFile device;
        device.plainPath = 1;
        EXPECT_EQ(device.Open("/dev/full", "wb"), 0);
        EXPECT_EQ(device.Fault(), "/dev/full: is not a regular file");
        EXPECT_EQ(device.Absent(), 0);
    }
    // A FIFO with no writer would hold open() for good: refused at once, and it does not exist
    // as a file.
    const std::string fifo = dir.Path() + "/fifo.dat";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    ResourceFile pipe;
    pipe.plainPath = 1;
    EXPECT_EQ(pipe.Open(fifo.c_str(), ResourceFile::OpenMode::Read), 0);
    EXPECT_EQ(pipe.Fault(), fifo + ": is not a regular file");
    EXPECT_EQ(pipe.Open(fifo.c_str(), ResourceFile::OpenMode::WriteBinary), 0);
    EXPECT_EQ(pipe.Exists(fifo.c_str()), 0);
    std::filesystem::remove(fifo);
    EXPECT_EQ(pipe.Open(fifo.c_str(), ResourceFile::OpenMode::Read), 0);
    EXPECT_EQ(pipe.Absent(), 1);
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    void (*oldHandler)(int) = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small{4096, old.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    ResourceFile big;
    big.plainPath = 1;
    const std::string path = dir.Path() + "/big.txt";
    ASSERT_EQ(big.Open(path.c_str(), ResourceFile::OpenMode::WriteText), 1);
    const std::string line(1000, 'x');
    int worst = 0;
    for (int i = 0; i < 100; ++i)
        worst = std::min(worst, big.WriteLine(line.c_str()));
    const int closed = big.Close();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(worst, ResourceFile::kWriteFailed);
    EXPECT_EQ(closed, 0);
    EXPECT_EQ(big.Failed(), 1);
    std::filesystem::remove(path);
}

TEST_F(ResourceFileTest, EveryOperationWithoutAStreamFails) {
    ResourceFile file;
    uint16_t word;
    uint32_t value;
    char buffer[4];
    int32_t count = 2;
    EXPECT_EQ(file.ReadU16(&word), 0);
    EXPECT_EQ(file.ReadU32(&value), 0);
    EXPECT_EQ(file.Read(count, buffer), 0);
    EXPECT_EQ(file.ReadLine(4, buffer), 0);
    EXPECT_EQ(file.WriteLine("x"), ResourceFile::kWriteFailed);
    EXPECT_EQ(file.Skip(0), 0);
    EXPECT_EQ(file.Seek(0), 0);
    EXPECT_EQ(file.SelectEntry(0, 0), 0);
    EXPECT_EQ(file.Close(), 0);
}

TEST_F(ResourceFileTest, NamesArePutBehindTheAssetDirectory) {
    const std::string saved = ResourceFile::AssetPath();
    dir.Write("Assets/7A1.STR", "x");
    const std::string assets = dir.Path() + "\\assets\\";
    ASSERT_EQ(ResourceFile::SetAssetPath(assets.c_str()), 1);
    ResourceFile file;
    EXPECT_EQ(file.Exists("7a1.str"), 1);
    EXPECT_EQ(file.Exists("missing.str"), 0);
    EXPECT_EQ(file.Open("7a1.str", "rb"), 1);
    EXPECT_EQ(file.Size(), 1);
    file.Close();
    EXPECT_EQ(file.Open("7a1.str", "bogus"), 0);
    ASSERT_EQ(file.Open("new.txt", ResourceFile::OpenMode::WriteText), 1);
    file.WriteLine("hello");
    EXPECT_EQ(file.Close(), 1);
    EXPECT_TRUE(std::filesystem::exists(dir.Path() + "/Assets/new.txt"));
    EXPECT_EQ(file.Delete("NEW.TXT"), 1);
    EXPECT_EQ(file.Delete("NEW.TXT"), 0);
    ResourceFile::SetAssetPath(saved.c_str());
}

TEST_F(ResourceFileTest, OverlongAssetDirectoryIsRefused) {
    ASSERT_EQ(ResourceFile::SetAssetPath("first/"), 1);
    const std::string tooLong(200, 'a');
    EXPECT_EQ(ResourceFile::SetAssetPath(tooLong.c_str()), 0);
    EXPECT_STREQ(ResourceFile::AssetPath(), "first/");
    EXPECT_EQ(ResourceFile::SetAssetPath(nullptr), 0);
    EXPECT_STREQ(ResourceFile::AssetPath(), "first/");
    const std::string fits(127, 'b');
    EXPECT_EQ(ResourceFile::SetAssetPath(fits.c_str()), 1);
    EXPECT_EQ(std::string(ResourceFile::AssetPath()), fits);
    ResourceFile::SetAssetPath("");
}

// The check record of a save is the CRC-32 zip and PNG use (their published check values), of
// every byte written since the file was opened, newlines too, however the bytes were fed.
TEST_F(ResourceFileTest, TheWrittenBytesAndTheirCrcCoverEveryLineSinceOpening) {
    struct Case {
        const char* text;
        uint32_t crc;
    };
    for (const Case& c :
         {Case{"", 0x00000000u}, Case{"a", 0xE8B7BE43u}, Case{"123456789", 0xCBF43926u},
          Case{"The quick brown fox jumps over the lazy dog", 0x414FA339u}}) {
        const size_t length = std::strlen(c.text);
        EXPECT_EQ(Crc32::Of(c.text, length), c.crc) << c.text;
        Crc32 pieces;
        pieces.Add(c.text, length / 3);
        pieces.Add(c.text + length / 3, 0);
        pieces.Add(c.text + length / 3, length - length / 3);
        EXPECT_EQ(pieces.Value(), c.crc) << c.text;
    }
    ResourceFile file;
    file.plainPath = 1;
    const std::string path = dir.Path() + "/check.txt";
    ASSERT_EQ(file.Open(path.c_str(), ResourceFile::OpenMode::WriteText), 1);
    EXPECT_EQ(file.WrittenBytes(), 0);
    EXPECT_EQ(file.WrittenCrc(), 0u);
    ASSERT_EQ(file.WriteLine("12345678"), 0);
    ASSERT_EQ(file.WriteLine(""), 0);
    ASSERT_EQ(file.WriteLine("The quick brown fox"), 0);
    EXPECT_EQ(file.WrittenBytes(), 9 + 1 + 20);
    EXPECT_EQ(file.Tell(), 9 + 1 + 20);
    ASSERT_EQ(file.Close(), 1);
    const std::string written = Contents(path);
    EXPECT_EQ(written, "12345678\n\nThe quick brown fox\n");
    EXPECT_EQ(file.WrittenCrc(), Crc32::Of(written.data(), written.size()));
    // Opening again starts both afresh.
    ASSERT_EQ(file.Open(path.c_str(), ResourceFile::OpenMode::WriteText), 1);
    ASSERT_EQ(file.WriteLine("12345678"), 0);
    EXPECT_EQ(file.WrittenBytes(), 9);
    EXPECT_EQ(file.WrittenCrc(), Crc32::Of("12345678\n", 9));
    ASSERT_EQ(file.Close(), 1);
    std::filesystem::remove(path);
}

// A damaged file goes aside under the first free name and never over anything already there
// (an older damaged file, a directory); with every name taken it stays, byte for byte.
TEST_F(ResourceFileTest, SetAsideTakesTheFirstFreeNameAndNeverReplacesOne) {
    namespace fs = std::filesystem;
    const std::string root = dir.Path() + "/";
    ASSERT_EQ(ResourceFile::SetAssetPath(root.c_str()), 1);
    const struct {
        const char* name;
        std::vector<std::string> taken;  // names already there (a trailing '/': a directory)
        const char* expected;            // where the file goes; null: nowhere
    } cases[] = {
        {"free", {}, "free.bad"},
        {"older", {"older.bad"}, "older.bad.2"},
        {"dir", {"dir.bad/"}, "dir.bad.2"},
        {"gap", {"gap.bad", "gap.bad.2", "gap.bad.4"}, "gap.bad.3"},
        {"full", {"full.bad"}, nullptr},
    };
    for (const auto& c : cases) {
        std::vector<std::string> taken = c.taken;
        if (!c.expected)
            for (int n = 2; n <= ResourceFile::kSetAsideNames; ++n)
                taken.push_back(std::string(c.name) + ".bad." + std::to_string(n));
        for (const std::string& t : taken) {
            if (t.back() == '/')
                fs::create_directories(root + t);
            else
                dir.Write(t, "older " + t);
        }
        dir.Write(c.name, std::string("damaged ") + c.name);
        std::string aside = "stale";
        EXPECT_EQ(ResourceFile().SetAside(c.name, aside), c.expected ? 1 : 0) << c.name;
        EXPECT_EQ(aside, c.expected ? c.expected : "") << c.name;
        const std::string kept = c.expected ? root + c.expected : root + c.name;
        EXPECT_EQ(Contents(kept), std::string("damaged ") + c.name) << c.name;
        EXPECT_EQ(fs::exists(root + c.name), c.expected == nullptr) << c.name;
        for (const std::string& t : taken) {
            if (t.back() == '/')
                EXPECT_TRUE(fs::is_directory(root + t)) << t;
            else
                EXPECT_EQ(Contents(root + t), "older " + t) << t;
        }
    }
    // Nothing to move is nothing lost.
    std::string aside = "stale";
    EXPECT_EQ(ResourceFile().SetAside("absent", aside), 1);
    EXPECT_EQ(aside, "");
    EXPECT_FALSE(fs::exists(root + "absent.bad"));
    EXPECT_EQ(ResourceFile().SetAside(nullptr, aside), 0);
    ResourceFile::SetAssetPath("");
}
