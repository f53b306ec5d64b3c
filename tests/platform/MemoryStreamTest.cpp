#include "platform/MemoryStream.h"

#include <gtest/gtest.h>

#include <string>

// Nothing to read, however it is handed over, is a stream that ends at once; bytes are read
// back as they are.
TEST(MemoryStream, ReadsTheBytesHandedAndNothingElse) {
    const char bytes[] = "abc";
    const struct {
        const void* data;
        size_t size;
        std::string read;
    } cases[] = {{bytes, 3, "abc"}, {bytes, 0, ""}, {nullptr, 5, ""}, {nullptr, 0, ""}};
    for (const auto& c : cases) {
        std::FILE* stream = winx_OpenMemoryStream(c.data, c.size);
        ASSERT_NE(stream, nullptr) << c.size;
        char buffer[8] = {};
        const size_t got = std::fread(buffer, 1, sizeof buffer, stream);
        EXPECT_EQ(std::string(buffer, got), c.read) << c.size;
        EXPECT_TRUE(std::feof(stream)) << c.size;
        std::fclose(stream);
    }
}
