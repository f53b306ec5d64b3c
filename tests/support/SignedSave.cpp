#include "support/SignedSave.h"

#include "core/Crc32.h"
#include "world/ScenarioText.h"

std::string SignedSave(const std::string& text) {
    // The record is a line of its own, as the writer's last line always is.
    const std::string body = text.empty() || text.back() == '\n' ? text : text + "\n";
    return body +
           ScenarioText::CheckRecord(static_cast<int64_t>(body.size()),
                                     Crc32::Of(body.data(), body.size())) +
           "\n";
}
