#pragma once
// Loose saves written by tests as the writer before the format line wrote them: the text and
// its check record. The game checks such a save against its record, and no more.
#include <string>

// The text (ended by a line feed when it was not) with its check record as the last line.
std::string SignedSave(const std::string& text);
