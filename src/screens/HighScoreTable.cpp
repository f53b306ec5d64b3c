#include "screens/HighScoreTable.h"

#include <algorithm>
#include <cstdio>

#include "core/AtomicWriter.h"
#include "core/ResourceFile.h"

namespace {

bool IsControl(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 32 || u == 127;
}

bool ParseScore(const std::string& line, int32_t& score) {
    if (line.empty() || line.size() > 6) return false;
    int32_t value = 0;
    for (const char c : line) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    score = value;
    return true;
}

}  // namespace

bool HighScoreTable::Parse(const std::string& text, std::vector<Row>& out) {
    out.clear();
    if (text.size() > kMaxBytes) return false;
    // Every line the table writes ends with a line feed: a text that does not was cut, and its
    // last line ("666666" cut to "6666") must not be read as a row.
    if (!text.empty() && text.back() != '\n') return false;
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    // A name without its score line: the table was cut.
    if (lines.size() % 2 != 0) return false;
    std::vector<Row> rows;
    for (size_t i = 0; i + 1 < lines.size(); i += 2) {
        const std::string& name = lines[i];
        if (name.size() > kMaxLine || std::any_of(name.begin(), name.end(), IsControl))
            return false;
        Row row{0, name.substr(0, kMaxName)};
        if (!ParseScore(lines[i + 1], row.score)) return false;
        rows.push_back(std::move(row));
    }
    // Kept in ascending order whatever the file's order, equal scores in file order.
    std::stable_sort(rows.begin(), rows.end(),
                     [](const Row& a, const Row& b) { return a.score < b.score; });
    out = std::move(rows);
    return true;
}

std::string HighScoreTable::Format(const std::vector<Row>& rows) {
    std::string text;
    for (const Row& row : rows)
        text += row.name + "\n" + std::to_string(row.score) + "\n";
    return text;
}

std::string HighScoreTable::RowText(const Row& row) {
    char text[160];
    std::snprintf(text, sizeof text, "%06d   - %s", static_cast<int>(ClampScore(row.score)),
                  row.name.substr(0, kMaxName).c_str());
    return text;
}

int32_t HighScoreTable::ClampScore(int64_t score) {
    return static_cast<int32_t>(std::clamp<int64_t>(score, 0, kBestScore));
}

void HighScoreTable::Clear() {
    rows.clear();
    current = -1;
}

HighScoreTable::Outcome HighScoreTable::Load() {
    Clear();
    damaged = false;
    const Outcome outcome = ReadFile();
    // The next save moves the damaged file aside first, so that no row of it is lost.
    damaged = outcome == Outcome::Damaged;
    return outcome;
}

HighScoreTable::Outcome HighScoreTable::ReadFile() {
    ResourceFile file;
    // Anything but nothing in the file's place (a FIFO, a device, an unreadable file) is a
    // damaged table, never a reason to wait.
    if (!file.Open(kFile, ResourceFile::OpenMode::ReadBinary))
        return file.Absent() ? Outcome::Missing : Outcome::Damaged;
    std::string text;
    char block[4096];
    for (;;) {
        int32_t count = sizeof block;
        const int whole = file.Read(count, block);
        if (count > 0) text.append(block, static_cast<size_t>(count));
        if (text.size() > kMaxBytes) return Outcome::Damaged;
        if (!whole || count <= 0) break;
    }
    return Parse(text, rows) ? Outcome::Read : Outcome::Damaged;
}

int HighScoreTable::AddCurrent(int64_t score) {
    const Row row{ClampScore(score), std::string()};
    const auto at = std::upper_bound(rows.begin(), rows.end(), row,
                                     [](const Row& a, const Row& b) { return a.score < b.score; });
    current = static_cast<int>(at - rows.begin());
    rows.insert(at, row);
    if (current < static_cast<int>(rows.size()) - kShownBest) {
        Clear();
        return -1;
    }
    return current;
}

void HighScoreTable::SetCurrentName(const char* name) {
    if (current < 0) return;
    rows[static_cast<size_t>(current)].name = std::string(name ? name : "").substr(0, kMaxName);
}

int HighScoreTable::Save() {
    AtomicWriter file(kFile);
    if (!file.IsOpen()) return 0;
    for (const Row& row : rows) {
        if (file.WriteLine(row.name.c_str()) != 0) return 0;
        if (file.WriteLine(std::to_string(row.score).c_str()) != 0) return 0;
    }
    // A damaged table goes aside (over an older one) only once the new one is ready to take
    // its place; a failed save leaves it where it was.
    ResourceFile names;
    const bool moved = damaged && names.Rename(kFile, kDamagedFile);
    if (damaged && !moved) return 0;
    if (!file.Commit()) {
        if (moved) names.Rename(kDamagedFile, kFile);
        return 0;
    }
    damaged = false;
    return 1;
}
