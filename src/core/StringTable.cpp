#include "core/StringTable.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>

#include "core/ResourceFile.h"

namespace {
std::unique_ptr<char[]> tableText;
const char* tableLines[kStringTableLines] = {};
}  // namespace

int ClearStringTable() {
    tableText.reset();
    std::fill(std::begin(tableLines), std::end(tableLines), nullptr);
    return 1;
}

int SetStringTableText(std::string_view text) {
    auto buffer = std::make_unique<char[]>(text.size() + 1);
    if (!text.empty()) std::memcpy(buffer.get(), text.data(), text.size());
    buffer[text.size()] = '\0';
    ClearStringTable();
    char* p = buffer.get();
    const size_t length = text.size();
    int32_t line = 0;
    tableLines[line++] = p;
    for (size_t i = 0; i < length; ++i) {
        if (p[i] == '\r') {
            p[i] = '\0';
            // A file with more lines than the table keeps the first 350.
            if (line < kStringTableLines) tableLines[line++] = p + i + 1;
        } else if (p[i] == '\\' && p[i + 1] == 'n') {
            p[i] = ' ';
            p[i + 1] = '\n';
            ++i;
        }
    }
    tableText = std::move(buffer);
    return 1;
}

int LoadStringTable(const char* name, std::string* fault) {
    ResourceFile file;
    std::string why;
    if (!file.Open(name, 1, 0)) {
        why = file.Fault();
    } else if (file.IsPack()) {
        why = file.Path() + ": is a pack, not a text";
    } else {
        int32_t count = file.Size();
        auto data = std::make_unique<char[]>(static_cast<size_t>(count) + 1);
        const int whole = file.Read(count, data.get());
        const std::string_view text(data.get(), static_cast<size_t>(count));
        // Every line the program asks for is in a whole table: one with fewer was cut short.
        const auto lines = std::count(text.begin(), text.end(), '\r') + 1;
        if (!whole) {
            why = file.Path() + ": cannot be read to its end";
        } else if (lines < kStringTableLines) {
            why = file.Path() + ": " + std::to_string(lines) + " of its " +
                  std::to_string(kStringTableLines) + " lines (cut short)";
        } else {
            return SetStringTableText(text);
        }
    }
    if (fault) *fault = why;
    return 0;
}

const char* GetString(int32_t line) {
    if (line < 0 || line >= kStringTableLines) return nullptr;
    return tableLines[line];
}
