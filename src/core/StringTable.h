#pragma once
// The numbered list of every text the player reads (7a1.str), loaded once at start-up and
// looked up by line number. Lines end with CR; the two characters backslash and 'n' inside a
// line become a blank and a line feed. Lines beyond the table's 350 are ignored.
#include <cstdint>
#include <string>
#include <string_view>

constexpr int32_t kStringTableLines = 350;

// Forgets every line; 1.
int ClearStringTable();
// Reads the file through the asset directory; 1, or 0 when it cannot be read or holds fewer
// than the table's 350 lines, as a file cut short does (the table then stays as it was); fault
// (when given) then names the file and what was wrong.
int LoadStringTable(const char* name, std::string* fault = nullptr);
// Builds the table from a file's text (what LoadStringTable does after reading it); 1.
int SetStringTableText(std::string_view text);
// The text of a 0-based line, or null for a line the file did not have.
const char* GetString(int32_t line);
