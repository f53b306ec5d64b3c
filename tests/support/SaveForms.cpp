#include "support/SaveForms.h"

#include <algorithm>

#include "support/SignedSave.h"
#include "world/ScenarioText.h"

std::string WithoutFormatLineAndRecord(const std::string& save) {
    const std::string formatLine = std::string(ScenarioText::kFormatLine) + "\n";
    const size_t recordAt = save.rfind("# check ");
    if (save.rfind(formatLine, 0) != 0 || recordAt == std::string::npos) return "";
    return save.substr(formatLine.size(), recordAt - formatLine.size());
}

std::string WithRecordOnly(const std::string& save) {
    const std::string old = WithoutFormatLineAndRecord(save);
    return old.empty() ? old : SignedSave(old);
}

std::vector<std::string> SectionsOf(const std::string& text) {
    std::vector<std::string> pieces(1);
    for (size_t at = 0; at < text.size();) {
        const size_t end = std::min(text.find('\n', at), text.size() - 1) + 1;
        const std::string line = text.substr(at, end - at);
        if (line.rfind(": ", 0) == 0) pieces.emplace_back();
        pieces.back() += line;
        at = end;
    }
    return pieces;
}

std::string Joined(const std::vector<std::string>& pieces) {
    std::string text;
    for (const std::string& piece : pieces)
        text += piece;
    return text;
}

bool IsUnitOfTeam(const std::string& section, int team) {
    return section.rfind(": V\n", 0) == 0 &&
           section.find("\nI = " + std::to_string(team) + "\n") != std::string::npos;
}
