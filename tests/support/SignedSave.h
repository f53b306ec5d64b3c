#pragma once
// Loose saves written by tests carry the check record the game's writer ends every save with;
// without it the game refuses them as damaged.
#include <string>

// The text (ended by a line feed when it was not) with its check record as the last line.
std::string SignedSave(const std::string& text);
