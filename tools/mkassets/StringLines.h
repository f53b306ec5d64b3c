#pragma once
// The string table: every text the player reads, by line number, in our own wording. Lines the
// game does not use yet hold a placeholder that says what they are kept for.
#include <cstdint>
#include <string>
#include <vector>

namespace mkassets {

namespace StringLines {
constexpr int kLineCount = 350;
// Lines holding the land names (the land descriptions start with these numbers).
constexpr int kFirstLandName = 290;
constexpr int kLandNameCount = 10;
}  // namespace StringLines

// All 350 lines; none empty, none holding a carriage return. A backslash followed by n is the
// table's own line break.
std::vector<std::string> BuildStringLines();
// What wins mission 1..11 of clan 'T' or 'V', as its briefing says it, on one line (empty for
// any other mission): the briefing movie shows the same words.
std::string MissionTask(char clan, int mission);
// The file: the lines joined by carriage returns, no trailing one.
std::vector<uint8_t> StringTableFile(const std::vector<std::string>& lines);

}  // namespace mkassets
