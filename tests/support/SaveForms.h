#pragma once
// A save this build wrote, taken apart: the forms earlier writers gave the same game, and its
// sections, to build damaged saves from whole ones.
#include <string>
#include <vector>

// The save without its format line and its check record, as the format's own writer wrote it;
// empty when the save lacks either.
std::string WithoutFormatLineAndRecord(const std::string& save);
// The save with its record and without its format line, as the writer before the format line
// wrote it; empty when the save lacks either.
std::string WithRecordOnly(const std::string& save);
// The text cut before each section line; the first piece holds what comes before the first.
std::vector<std::string> SectionsOf(const std::string& text);
std::string Joined(const std::vector<std::string>& pieces);
// Whether the piece is a V section whose I line names the team.
bool IsUnitOfTeam(const std::string& section, int team);
