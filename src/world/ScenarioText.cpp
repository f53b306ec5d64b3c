#include "world/ScenarioText.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/Crc32.h"
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
    sections.clear();
    leading.clear();
    damage = Damage::Unreadable;
    closedByRecord = false;
    longestLine = 0;
    ResourceFile file;
    if (packEntry == -1) {
        if (!fileName) return 0;
        if (!file.Open(fileName, ResourceFile::OpenMode::ReadBinary)) {
            if (!file.Absent()) damage = Damage::CannotRead;
            return 0;
        }
    } else {
        if (!file.Open(Scenario::kPack, ResourceFile::OpenMode::Pack)) return 0;
        if (!file.SelectEntry(0, packEntry)) return 0;
    }
    const int32_t size = file.Size();
    if (size < 0 || size > kMaxBytes) return 0;
    std::string bytes(static_cast<size_t>(size), '\0');
    int32_t count = size;
    if (size > 0 && !file.Read(count, bytes.data())) {
        if (packEntry == -1) damage = Damage::CannotRead;
        return 0;
    }
    if (packEntry == -1) return ReadLooseBytes(bytes.data(), bytes.size());
    return ReadBytes(bytes.data(), bytes.size());
}

std::string ScenarioText::CheckRecord(int64_t length, uint32_t crc) {
    char line[64];
    std::snprintf(line, sizeof line, "# check %lld %08x", static_cast<long long>(length),
                  static_cast<unsigned>(crc));
    return line;
}

int64_t ScenarioText::CheckedLength(const char* data, size_t size) {
    if (size == 0 || data[size - 1] != '\n') return -1;
    size_t start = size - 1;
    while (start > 0 && data[start - 1] != '\n')
        --start;
    const std::string record(data + start, size - 1 - start);
    // Parsed by hand: exactly "# check ", decimal digits, one blank, eight hex digits.
    static constexpr char kLead[] = "# check ";
    if (record.compare(0, sizeof kLead - 1, kLead) != 0) return -1;
    size_t at = sizeof kLead - 1;
    int64_t length = 0;
    const size_t digitsStart = at;
    while (at < record.size() && record[at] >= '0' && record[at] <= '9' && at - digitsStart < 10)
        length = length * 10 + (record[at++] - '0');
    if (at == digitsStart || at >= record.size() || record[at] != ' ') return -1;
    ++at;
    uint32_t crc = 0;
    int hexDigits = 0;
    for (; at < record.size(); ++at, ++hexDigits) {
        const char c = record[at];
        int v = -1;
        if (c >= '0' && c <= '9') v = c - '0';
        if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
        if (v < 0 || hexDigits == 8) return -1;
        crc = crc << 4 | static_cast<uint32_t>(v);
    }
    if (hexDigits != 8 || length != static_cast<int64_t>(start)) return -1;
    if (Crc32::Of(data, start) != crc) return -1;
    return length;
}

int ScenarioText::ReadSaveBytes(const char* data, size_t size) {
    sections.clear();
    leading.clear();
    closedByRecord = false;
    longestLine = 0;
    const int64_t length = CheckedLength(data, size);
    if (length < 0) {
        damage = Damage::CheckRecord;
        return 0;
    }
    if (!ReadBytes(data, static_cast<size_t>(length))) return 0;
    closedByRecord = true;
    return 1;
}

int ScenarioText::BeginsWithFormatLine(const char* data, size_t size) {
    constexpr size_t kLength = sizeof kFormatLine - 1;
    if (size < kLength || std::memcmp(data, kFormatLine, kLength) != 0) return 0;
    // Cut right after the line, the file still names the format.
    return size == kLength || data[kLength] == '\n' || data[kLength] == '\r' ? 1 : 0;
}

int ScenarioText::CarriesRecord(const char* data, size_t size) {
    static constexpr char kLead[] = "# check ";
    constexpr size_t kLeadLength = sizeof kLead - 1;
    for (size_t at = 0; at < size;) {
        const char* end = static_cast<const char*>(std::memchr(data + at, '\n', size - at));
        const size_t next = end ? static_cast<size_t>(end - data) + 1 : size;
        if (next - at > kLeadLength && std::memcmp(data + at, kLead, kLeadLength) == 0 &&
            data[at + kLeadLength] >= '0' && data[at + kLeadLength] <= '9')
            return 1;
        at = next;
    }
    return 0;
}

int ScenarioText::ReadLooseBytes(const char* data, size_t size) {
    if (BeginsWithFormatLine(data, size) || CarriesRecord(data, size))
        return ReadSaveBytes(data, size);
    return ReadBytes(data, size);
}

int ScenarioText::PeekHeader(int& mission, char& clan) const {
    if (leading.size() < 3 || ScnSectionLetter(leading[0].c_str()) != 'H') return 0;
    const char* first = leading[1].c_str();
    const char* second = leading[2].c_str();
    if (ScnKeyLetter(first) != 'J' || ScnKeyLetter(second) != 'L') return 0;
    int32_t value = 0;
    if (ScnScanInts(ScnValueText(first), &value, 1) != 1) return 0;
    mission = value;
    clan = *ScnValueText(second);
    return 1;
}

int ScenarioText::ReadBytes(const char* data, size_t size) {
    sections.clear();
    leading.clear();
    damage = Damage::Unreadable;
    closedByRecord = false;
    longestLine = 0;
    if (size > static_cast<size_t>(kMaxBytes)) return 0;
    endsWithLineFeed = size > 0 && data[size - 1] == '\n';
    constexpr size_t kKept = Scenario::kLineSize - 1;
    size_t at = 0;
    while (at < size) {
        size_t end = at;
        while (end < size && data[end] != '\n' && data[end] != '\r')
            ++end;
        longestLine = std::max(longestLine, end - at);
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
    damage = Damage::None;
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
