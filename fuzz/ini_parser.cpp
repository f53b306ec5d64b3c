// The profile-file parser and rewriter over arbitrary text: a value written must read back,
// and the rewrite must not lose other sections.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Profile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string value;
    winx_FindProfileValue(text, "OPTIONS", "VOLUME", value);
    winx_FindProfileValue(text, "", "", value);

    const std::string written = winx_UpdateProfileText(text, "OPTIONS", "VOLUME", "60");
    if (!winx_FindProfileValue(written, "options", "volume", value) || value != "60") {
        __builtin_trap();
    }
    winx_UpdateProfileText(text, "OPTIONS", "VOLUME", nullptr);
    winx_UpdateProfileText(text, "OPTIONS", nullptr, nullptr);
    return 0;
}
