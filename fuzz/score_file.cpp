// Reads arbitrary bytes as the high-score file: the rows kept, of a whole table or of a damaged
// one, must write back to bytes that read whole as the same table and draw rows of at most 127
// characters.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "screens/HighScoreTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<HighScoreTable::Row> rows;
    const bool whole = HighScoreTable::Parse(text, rows);
    // A damaged table keeps only rows a whole one could hold: never more than its pairs.
    if (!whole && rows.size() > text.size() / 3) std::abort();
    std::vector<HighScoreTable::Row> again;
    if (!HighScoreTable::Parse(HighScoreTable::Format(rows), again)) std::abort();
    if (again.size() != rows.size()) std::abort();
    for (size_t i = 0; i < rows.size(); ++i) {
        if (again[i].score != rows[i].score || again[i].name != rows[i].name) std::abort();
        if (HighScoreTable::RowText(rows[i]).size() > 127) std::abort();
    }
    return 0;
}
