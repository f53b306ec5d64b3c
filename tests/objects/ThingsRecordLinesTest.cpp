// The shared record-line helpers: numbers read up to the count asked and held to 32 bits, and
// lines written only when the buffer holds them whole.
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/ResourceFile.h"
#include "objects/RecordLines.h"
#include "support/TempDirectory.h"

namespace {

TEST(RecordLines, NumbersAreReadUpToTheCountAskedAndHeldTo32Bits) {
    constexpr int32_t kUntouched = -12345;
    struct Row {
        const char* text;
        int count;
        int read;
        std::vector<int32_t> values;  // the four slots after reading
    };
    const Row rows[] = {
        {"1,2,3", 2, 2, {1, 2, kUntouched, kUntouched}},
        {"1,2,3", 3, 3, {1, 2, 3, kUntouched}},
        {"7", 4, 1, {7, kUntouched, kUntouched, kUntouched}},
        {" 5 ,\t-6 , x", 4, 2, {5, -6, kUntouched, kUntouched}},
        {"4;5", 2, 1, {4, kUntouched, kUntouched, kUntouched}},
        {"9999999999,-9999999999", 2, 2, {INT32_MAX, INT32_MIN, kUntouched, kUntouched}},
        {"", 2, 0, {kUntouched, kUntouched, kUntouched, kUntouched}},
        {"abc", 2, 0, {kUntouched, kUntouched, kUntouched, kUntouched}},
    };
    for (const Row& row : rows) {
        std::vector<int32_t> out(4, kUntouched);
        EXPECT_EQ(ReadRecordNumbers(row.text, out.data(), row.count), row.read) << row.text;
        EXPECT_EQ(out, row.values) << row.text;
    }
    int32_t none = kUntouched;
    EXPECT_EQ(ReadRecordNumbers(nullptr, &none, 1), 0);
    EXPECT_EQ(none, kUntouched);
}

TEST(RecordLines, ALineIsWrittenOnlyWhenTheBufferHoldsItWhole) {
    TempDirectory files;
    const std::string path = files.Path() + "/lines.txt";
    {
        ResourceFile file;
        file.plainPath = 1;
        ASSERT_EQ(file.Open(path.c_str(), "w"), 1);
        char buffer[8];
        // Seven characters and the terminator fit eight bytes; eight do not.
        WriteRecordLine(file, buffer, 8, "a = %d", 123);
        WriteRecordLine(file, buffer, 8, "b = %d", 1234);
        WriteRecordLine(file, buffer, 8, "c = %d", 12345);
        WriteRecordLine(file, buffer, 0, "d = %d", 1);
        WriteRecordLine(file, nullptr, 8, "e = %d", 1);
        WriteRecordLine(file, buffer, 8, "f = %d", 7);
        EXPECT_EQ(file.Close(), 1);
    }
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    EXPECT_EQ(lines, (std::vector<std::string>{"a = 123", "f = 7"}));
}

}  // namespace
