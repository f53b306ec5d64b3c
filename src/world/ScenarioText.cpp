#include "world/ScenarioText.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/ResourceFile.h"
#include "world/Scenario.h"

bool ScnIsWhite(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

namespace {
const char* SkipWhite(const char* p) {
    while (*p && ScnIsWhite(*p))
        ++p;
    return p;
}
}  // namespace

char ScnSectionLetter(const char* line) {
    const char* p = SkipWhite(line);
    if (*p != ':') return 0;
    p = SkipWhite(p + 1);
    return *p;
}

char ScnKeyLetter(const char* line) {
    return *SkipWhite(line);
}

const char* ScnValueText(const char* line) {
    for (const char* p = line; *p; ++p) {
        if (*p == '=') return SkipWhite(p + 1);
    }
    return "";
}

int ScenarioText::Read(const char* fileName, int packEntry) {
    ResourceFile file;
    if (packEntry == -1) {
        if (!fileName || !file.Open(fileName, ResourceFile::OpenMode::ReadBinary)) return 0;
    } else {
        if (!file.Open(Scenario::kPack, ResourceFile::OpenMode::Pack)) return 0;
        if (!file.SelectEntry(0, packEntry)) return 0;
    }
    const int32_t size = file.Size();
    if (size < 0 || size > kMaxBytes) return 0;
    std::string bytes(static_cast<size_t>(size), '\0');
    int32_t count = size;
    if (size > 0 && !file.Read(count, bytes.data())) return 0;
    return ReadBytes(bytes.data(), bytes.size());
}

int ScenarioText::ReadBytes(const char* data, size_t size) {
    sections.clear();
    leading.clear();
    if (size > static_cast<size_t>(kMaxBytes)) return 0;
    constexpr size_t kKept = Scenario::kLineSize - 1;
    size_t at = 0;
    while (at < size) {
        size_t end = at;
        while (end < size && data[end] != '\n' && data[end] != '\r')
            ++end;
        std::string line(data + at, std::min(end - at, kKept));
        // CR, LF or CR LF ends a line.
        at = end + 1;
        if (end + 1 < size && data[end] == '\r' && data[end + 1] == '\n') ++at;
        // A zero byte ends the text of a line, as it would in the game's line buffer.
        line.resize(std::strlen(line.c_str()));
        if (!line.empty() && line[0] == '#') continue;
        if (line.empty()) break;
        if (leading.size() < 3) leading.push_back(line);
        if (const char letter = ScnSectionLetter(line.c_str())) {
            sections.push_back(Section{letter, {}});
        } else if (!sections.empty()) {
            sections.back().lines.push_back(std::move(line));
        }
    }
    return 1;
}

int ScnScanInts(const char* text, int32_t* out, int count) {
    const char* p = text;
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            if (*p != ',') return i;
            ++p;
        }
        p = SkipWhite(p);
        char* end = nullptr;
        errno = 0;
        const long long value = std::strtoll(p, &end, 10);
        if (end == p || errno == ERANGE || value < INT32_MIN || value > INT32_MAX) return i;
        out[i] = static_cast<int32_t>(value);
        p = end;
    }
    return count;
}
