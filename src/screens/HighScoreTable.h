#pragma once
// The high scores of score.dat: per entry a name line and a score line, lowest score first.
// Score and name are kept apart (the drawn row is made from both), every line is read as it
// is, and the file is replaced whole or not at all. A damaged file keeps every row that reads
// whole, and is kept aside, unchanged, when the table is next saved; one that cannot be read
// is never written over.
#include <cstdint>
#include <string>
#include <vector>

class HighScoreTable {
public:
    static constexpr char kFile[] = "score.dat";
    static constexpr int32_t kBestScore = 999999;
    // A drawn row holds 127 characters: 11 of them before the name.
    static constexpr size_t kMaxName = 116;
    static constexpr size_t kMaxLine = 255;
    static constexpr size_t kMaxBytes = 1 << 20;
    static constexpr int kShownBest = 5;
    // String-table lines of a damaged file, followed by the rows kept: left in place (until a
    // save can set it aside) and kept aside (once a save did); and of a failed save.
    static constexpr int kLeftInPlaceLine = 316;
    static constexpr int kKeptAsideLine = 326;
    static constexpr int kSaveFailedLine = 307;
    // Lines of a file that cannot be read, followed by its name: when the table opens, and
    // when this game's row was shown but not written.
    static constexpr int kUnreadableLine = 327;
    static constexpr int kNotWrittenLine = 328;

    struct Row {
        int32_t score;
        std::string name;
    };
    enum class Outcome { Missing, Read, Damaged, Unreadable };

    // The rows of a file's text, lowest score first: every name line followed by a score line
    // that both read whole, past any damage; false when the text held anything else (damaged).
    // A leading byte order mark is skipped and is no damage.
    static bool Parse(const std::string& text, std::vector<Row>& rows);
    // The status line of a damaged table: the text of one of the two lines (its own words when
    // the string table has none) and the number of rows kept.
    static std::string DamagedMessage(int line, size_t kept);
    // The status line of a table that cannot be read: one of its two lines and the file's name.
    static std::string UnreadableMessage(int line);
    static std::string Format(const std::vector<Row>& rows);
    // "%06d   - %s": what the table draws.
    static std::string RowText(const Row& row);
    static int32_t ClampScore(int64_t score);

    // A damaged file is moved aside by the next Save, under the first free "score.dat.bad" name
    // (ResourceFile::SetAside), never over an older one. Something in the file's place that
    // gives no bytes is unreadable (FileBytes): the table starts empty, and is never saved over
    // it nor moved aside.
    Outcome Load();
    // Adds this game's row after the rows of equal score; its index, or -1 when it is not among
    // the five best (the table is then emptied).
    int AddCurrent(int64_t score);
    void SetCurrentName(const char* name);
    // 1 when the whole table is in place; 0 leaves the old file as it was (always for a file
    // that could not be read).
    int Save();
    // The table read was damaged and no save has set it aside yet.
    bool Damaged() const { return damaged; }
    bool Unreadable() const { return unreadable; }
    void Clear();

    const std::vector<Row>& Rows() const { return rows; }
    int Current() const { return current; }

private:
    Outcome ReadFile();

    std::vector<Row> rows;
    int current = -1;
    bool damaged = false;
    bool unreadable = false;
};
