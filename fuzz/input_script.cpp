// Fuzzes the input-script parser: any text must parse or fail with a located message, and a
// parsed script must hold only steps the message queue can post.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/InputScript.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > winx_InputScript::kMaxFileBytes) return 0;
    std::string_view text(reinterpret_cast<const char*>(data), size);
    winx_InputScript script;
    std::string error;
    if (!script.Parse(text, "fuzz.qxs", error)) {
        if (error.rfind("fuzz.qxs:", 0) != 0) std::abort();
        if (!script.Steps().empty()) std::abort();
        return 0;
    }
    uint32_t last = 0;
    for (const winx_ScriptStep& step : script.Steps()) {
        if (step.atMs < last || step.atMs > winx_InputScript::kMaxTotalMs) std::abort();
        last = step.atMs;
        // An await keeps its time limit where the pointer steps keep their place.
        const bool limited = step.kind == winx_ScriptStep::Kind::Await;
        if (limited && step.x < 1) std::abort();
        // A team's await names a team of the four (0: any) and a count the line allows.
        if (step.awaitTeam < 0 || step.awaitTeam > 4 || step.awaitCount < 0 ||
            step.awaitCount > static_cast<int>(winx_InputScript::kMaxAwaitUnits))
            std::abort();
        // The pointer's steps keep to the screen; a crafted word's counts are not places.
        const bool pointer = step.kind == winx_ScriptStep::Kind::MouseMove ||
                             step.kind == winx_ScriptStep::Kind::ButtonDown ||
                             step.kind == winx_ScriptStep::Kind::ButtonUp;
        if (pointer && (step.x < 0 || step.x > 639 || step.y < 0 || step.y > 479)) std::abort();
        if (step.name.size() > 64 || step.name.find('/') != std::string::npos) std::abort();
    }
    size_t ran = 0;
    script.Poll(0, [&](const winx_ScriptStep&) { ++ran; });
    script.Poll(winx_InputScript::kMaxTotalMs, [&](const winx_ScriptStep&) { ++ran; });
    // An await holds the rest of the script until the game reaches its mode, which no game
    // does here: only a script without one must have run whole.
    bool awaits = false;
    for (const winx_ScriptStep& step : script.Steps())
        awaits = awaits || step.kind == winx_ScriptStep::Kind::Await;
    if (ran > script.Steps().size()) std::abort();
    if (!awaits && (ran != script.Steps().size() || !script.Finished())) std::abort();
    return 0;
}
