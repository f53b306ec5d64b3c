#include "screens/HighScoreTable.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "core/AtomicWriter.h"
#include "core/FileBytes.h"
#include "core/StringTable.h"

namespace {

bool IsControl(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 32 || u == 127;
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// A name as the table writes it. One beginning with a byte order mark is not: written first,
// it would lose the mark when read back.
bool IsName(std::string_view line) {
    return line.size() <= HighScoreTable::kMaxLine && line.substr(0, 3) != kByteOrderMark &&
           std::none_of(line.begin(), line.end(), IsControl);
}

bool ParseScore(std::string_view line, int32_t& score) {
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
    bool whole = true;
    std::string_view body(text);
    if (body.size() > kMaxBytes) {
        whole = false;
        body = body.substr(0, kMaxBytes);
    }
    if (body.substr(0, 3) == kByteOrderMark) body.remove_prefix(3);
    // Every line the table writes ends with a line feed: a last line without one was cut
    // ("666666" cut to "6666") and is not read.
    if (!body.empty() && body.back() != '\n') {
        whole = false;
        const size_t last = body.rfind('\n');
        body = last == std::string_view::npos ? std::string_view() : body.substr(0, last + 1);
    }
    std::vector<std::string_view> lines;
    while (!body.empty()) {
        const size_t end = body.find('\n');
        std::string_view line = body.substr(0, end);
        body.remove_prefix(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
    }
    std::vector<Row> rows;
    size_t i = 0;
    while (i < lines.size()) {
        int32_t score = 0;
        const bool scored = i + 1 < lines.size() && ParseScore(lines[i + 1], score);
        if (scored && IsName(lines[i])) {
            rows.push_back(Row{score, std::string(lines[i].substr(0, kMaxName))});
            i += 2;
            continue;
        }
        // A bad name before a good score is one damaged row; otherwise a line was lost or
        // split, and the pairs go on from the next line.
        whole = false;
        i += scored ? 2 : 1;
    }
    // Kept in ascending order whatever the file's order, equal scores in file order.
    std::stable_sort(rows.begin(), rows.end(),
                     [](const Row& a, const Row& b) { return a.score < b.score; });
    out = std::move(rows);
    return whole;
}

std::string HighScoreTable::DamagedMessage(int line, size_t kept) {
    const char* text = GetString(line);
    if (!text || !*text)
        text = line == kKeptAsideLine
                   ? "The high-score file was damaged and is kept aside. Rows kept:"
                   : "The high-score file is damaged: it is left in place and not written over. "
                     "Rows kept:";
    return std::string(text) + " " + std::to_string(kept);
}

std::string HighScoreTable::UnreadableMessage(int line) {
    const char* text = GetString(line);
    if (!text || !*text)
        text = line == kNotWrittenLine
                   ? "Your score is shown, but not written: the high-score file cannot be read:"
                   : "The high-score file cannot be read and is kept as it is:";
    return std::string(text) + " " + kFile;
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
    const Outcome outcome = ReadFile();
    // The next save moves the damaged file aside first, so that no row of it is lost; an
    // unreadable one it leaves alone.
    damaged = outcome == Outcome::Damaged;
    unreadable = outcome == Outcome::Unreadable;
    return outcome;
}

HighScoreTable::Outcome HighScoreTable::ReadFile() {
    // One byte past the bound tells a file that is too large (the rows within it still read).
    const FileBytes file = FileBytes::Of(kFile, static_cast<int32_t>(kMaxBytes) + 1);
    if (file.Missing()) return Outcome::Missing;
    if (file.Unreadable()) return Outcome::Unreadable;
    return Parse(file.bytes, rows) ? Outcome::Read : Outcome::Damaged;
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
    if (unreadable) return 0;
    AtomicWriter file(kFile);
    if (!file.IsOpen()) return 0;
    for (const Row& row : rows) {
        if (file.WriteLine(row.name.c_str()) != 0) return 0;
        if (file.WriteLine(std::to_string(row.score).c_str()) != 0) return 0;
    }
    // A damaged table goes aside (never over an older one) only once the new one is ready to
    // take its place; a failed save leaves it where it was.
    if (!file.CommitOver(damaged)) return 0;
    damaged = false;
    return 1;
}
