#include "objects/RecordLines.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "core/ResourceFile.h"

int ReadRecordNumbers(const char* text, int32_t* out, int count) {
    if (!text) return 0;
    const char* p = text;
    int read = 0;
    while (read < count) {
        char* end = nullptr;
        const long long v = std::strtoll(p, &end, 10);
        if (end == p) break;
        if (v > std::numeric_limits<int32_t>::max())
            out[read] = std::numeric_limits<int32_t>::max();
        else if (v < std::numeric_limits<int32_t>::min())
            out[read] = std::numeric_limits<int32_t>::min();
        else
            out[read] = static_cast<int32_t>(v);
        ++read;
        p = end;
        while (*p == ' ' || *p == '\t')
            ++p;
        if (*p != ',') break;
        ++p;
    }
    return read;
}

void WriteRecordLine(ResourceFile& file, char* buffer, int bufferSize, const char* format, ...) {
    if (!buffer || bufferSize < 1) return;
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buffer, static_cast<size_t>(bufferSize), format, args);
    va_end(args);
    if (n < 0 || n >= bufferSize) return;
    file.WriteLine(buffer);
}
