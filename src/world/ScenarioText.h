#pragma once
// A scenario file as lines grouped into sections, read once with every bound checked: the file
// (or pack entry) is at most kMaxBytes, a line at most Scenario::kLineSize - 1 characters (the
// rest of a longer line is dropped), lines beginning with '#' are skipped and an empty line
// ends the text. Both the read-only check and the reader work on it, so neither touches the
// file twice. Also the line helpers of the format.
#include <cstdint>
#include <string>
#include <vector>

class ScenarioText {
public:
    // Over this a file is damaged, whatever it holds.
    static constexpr int32_t kMaxBytes = 16 * 1024 * 1024;

    struct Section {
        char letter;
        std::vector<std::string> lines;
    };

    // What kept a file from being read. CannotRead: something stands at the name but gave no
    // bytes (no permission, a link to nothing, a directory, a FIFO, a failed read); the file
    // may be whole, so it is never called damaged.
    enum class Damage : int { None = 0, Unreadable = 1, CheckRecord = 2, CannotRead = 3 };

    // 1 when the file (packEntry -1) or the pack entry could be read whole within the bound.
    // A file is read as ReadLooseBytes reads it; the entries of the scenario pack carry no
    // record and are read as they are.
    int Read(const char* fileName, int packEntry);
    // From bytes in memory (the fuzz target and the tests); 0 over the bound.
    int ReadBytes(const char* data, size_t size);
    // A save's bytes: 0 unless they end with a valid check record; the text before it is read.
    int ReadSaveBytes(const char* data, size_t size);
    // A saved game's or loose scenario's bytes. Those that begin with the format line, or
    // carry a check record anywhere, are read as a save: a cut or changed one is refused.
    // Without either they were written before the record, or by hand, and are read as they
    // are; what they hold is left to the structure checks (ScenarioCheck).
    int ReadLooseBytes(const char* data, size_t size);
    // 1 when a line of the bytes begins as a check record does ("# check " and a digit).
    static int CarriesRecord(const char* data, size_t size);

    // A save's first line: it names the save format, and a file that begins with it was
    // written with a check record as its last line, which it must still have. The reader
    // skips it as a comment, so saves stay readable by a reader that knows nothing of it.
    static constexpr char kFormatLine[] = "# save 2";
    // 1 when the first line of the bytes is the format line.
    static int BeginsWithFormatLine(const char* data, size_t size);

    // A save's last line: "# check <length> <crc32>", the length in decimal and the CRC-32 in
    // eight lowercase hex digits, both over every byte before the line. The reader skips it
    // as a comment, so a reader that knows nothing of it still reads the file.
    static std::string CheckRecord(int64_t length, uint32_t crc);
    // The length of the text a valid record closes, or -1: the record must be the last line,
    // ended by its line feed, with nothing after it.
    static int64_t CheckedLength(const char* data, size_t size);

    // The first lines of a header (":H", then J and L): 1 and the mission and clan, else 0.
    int PeekHeader(int& mission, char& clan) const;

    Damage damage = Damage::None;
    // A valid check record closed the text: the file is as the game wrote it.
    bool closedByRecord = false;
    // The longest line read, counted before it was cut to the line buffer.
    size_t longestLine = 0;
    // The bytes read end with a line feed, as the writer ends every line.
    bool endsWithLineFeed = false;

    // Sections in file order, each with the lines after its section line; lines before the
    // first section are dropped.
    std::vector<Section> sections;
    // The first data lines, for the header peek.
    std::vector<std::string> leading;
};

// The section letter of a line whose first non-white character is ':' (the first non-white
// character after it); 0 for every other line. A colon further in (a design name, say) does
// not end a section.
char ScnSectionLetter(const char* line);
// The first non-white character; 0 for a blank line.
char ScnKeyLetter(const char* line);
// The text after the first '=' with its leading white space skipped; "" without '='.
const char* ScnValueText(const char* line);
// White space as the format knows it: tab, line feed, vertical tab, form feed, carriage
// return and blank.
bool ScnIsWhite(char c);
// Up to count integers separated by commas (white space allowed before each, as "%d,%d"
// reads them); the number read. A number outside int32 ends the scan.
int ScnScanInts(const char* text, int32_t* out, int count);
