#pragma once
// Sprite-pack names built from template letters: the catalogue's name formats take one or two
// letters (and, for the panel bitmaps, the path separator).
#include <string>

// The format with every "%c" replaced by the next letter and "%s" by the path separator.
std::string PackName(const char* format, char first, char second = '\0');
