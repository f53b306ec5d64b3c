#pragma once
// Bounded readers for the text lines of the catalogue and design files: a scanf-style field
// reader limited to %c, %d and blanks, a number-list splitter, and a printf-style formatter for
// string-table lines that only ever consumes integers, so a data file cannot make it read a
// pointer that was never passed.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>

// One destination of ScanFields: a character (%c) or an integer (%d).
class ScanTarget {
public:
    ScanTarget(char* c) : character(c) {}
    ScanTarget(int32_t* i) : integer(i) {}
    char* character = nullptr;
    int32_t* integer = nullptr;
};

// Reads the line with a format of %c, %d, blanks (skipping any run of blanks) and literal
// characters, as scanf does: %c takes the next character whatever it is, %d skips blanks and
// takes an optional sign and digits (saturated to 32 bits). Stops at the first field that does
// not match; targets after it keep their values. Answers the number of fields stored.
int ScanFields(const char* line, const char* format, std::initializer_list<ScanTarget> targets);

// Splits the line at blanks and reads decimal numbers one after another into out, at most max
// of them; stops at the first item that is not a number. Answers the count read.
int ReadNumberList(const char* line, int32_t* out, int max);

// A single decimal digit as a number; any other character gives 0.
int DigitValue(char c);

// Formats a text with %d-style conversions (flags, width and precision allowed; d, i, u, x, X,
// o and c) over the integer arguments in order (missing ones read as 0); "%%" gives "%". Any
// other conversion is copied as it stands.
std::string FormatIntegers(const char* format, std::initializer_list<int32_t> args);

// One argument of FormatText: an integer or a text (null reads as empty).
class FormatArgument {
public:
    FormatArgument(int32_t value) : value(value) {}
    FormatArgument(const char* text) : text(text ? text : ""), isText(true) {}
    int32_t value = 0;
    const char* text = nullptr;
    bool isText = false;
};

// FormatIntegers with text arguments as well: %s takes the next argument when it is a text.
// A conversion whose argument is of the other kind, or a %s without an argument, is copied as
// it stands (a missing integer still reads as 0), so a string-table line cannot make the
// formatter read what the caller never passed.
std::string FormatText(const char* format, std::initializer_list<FormatArgument> args);
