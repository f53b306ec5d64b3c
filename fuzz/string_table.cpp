// Builds the string table from arbitrary bytes and reads every line back.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "core/StringTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SetStringTableText(std::string_view(reinterpret_cast<const char*>(data), size));
    size_t total = 0;
    for (int32_t line = -1; line <= kStringTableLines; ++line) {
        if (const char* text = GetString(line)) total += std::strlen(text);
    }
    if (total > size) __builtin_trap();
    if (GetString(0) == nullptr || GetString(kStringTableLines) != nullptr) __builtin_trap();
    return 0;
}
