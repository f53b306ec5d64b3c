#include "catalogue/TextScan.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Reads an optionally signed decimal number at p, saturating at the 32-bit limits. Answers
// false (p unchanged) when no digit follows.
bool ReadInteger(const char*& p, int32_t& value) {
    const char* q = p;
    bool negative = false;
    if (*q == '+' || *q == '-') {
        negative = *q == '-';
        ++q;
    }
    if (!std::isdigit(static_cast<unsigned char>(*q))) return false;
    int64_t v = 0;
    while (std::isdigit(static_cast<unsigned char>(*q))) {
        if (v <= static_cast<int64_t>(INT32_MAX) + 1) v = v * 10 + (*q - '0');
        ++q;
    }
    if (negative) v = -v;
    if (v > INT32_MAX) v = INT32_MAX;
    if (v < INT32_MIN) v = INT32_MIN;
    value = static_cast<int32_t>(v);
    p = q;
    return true;
}

}  // namespace

int ScanFields(const char* line, const char* format, std::initializer_list<ScanTarget> targets) {
    if (!line || !format) return 0;
    const char* p = line;
    auto target = targets.begin();
    int stored = 0;
    for (const char* f = format; *f; ++f) {
        if (IsBlank(*f)) {
            while (IsBlank(*p))
                ++p;
            continue;
        }
        if (*f != '%') {
            if (*p != *f) return stored;
            ++p;
            continue;
        }
        ++f;
        if (*f == 'c') {
            if (!*p || target == targets.end()) return stored;
            if (target->character) *target->character = *p;
            ++p;
        } else if (*f == 'd') {
            while (IsBlank(*p))
                ++p;
            int32_t value = 0;
            if (target == targets.end() || !ReadInteger(p, value)) return stored;
            if (target->integer) *target->integer = value;
        } else {
            return stored;
        }
        ++target;
        ++stored;
    }
    return stored;
}

int ReadNumberList(const char* line, int32_t* out, int max) {
    if (!line || !out) return 0;
    const char* p = line;
    int count = 0;
    while (count < max) {
        while (IsBlank(*p))
            ++p;
        int32_t value = 0;
        if (!ReadInteger(p, value)) break;
        // A number glued to other text ("12abc") ends the list, as a failed conversion would.
        if (*p && !IsBlank(*p)) {
            out[count++] = value;
            break;
        }
        out[count++] = value;
    }
    return count;
}

int DigitValue(char c) {
    return (c >= '0' && c <= '9') ? c - '0' : 0;
}

namespace {

std::string Format(const char* format, const FormatArgument* args, size_t count) {
    std::string out;
    if (!format) return out;
    size_t next = 0;
    const char* p = format;
    while (*p) {
        if (*p != '%') {
            out += *p++;
            continue;
        }
        if (p[1] == '%') {
            out += '%';
            p += 2;
            continue;
        }
        // Parse flags, width, precision and length; only integer and text conversions are honoured.
        const char* start = p++;
        char conversionText[32];
        int length = 0;
        conversionText[length++] = '%';
        while (*p && std::strchr("-+ #0", *p)) {
            if (length < 8) conversionText[length++] = *p;
            ++p;
        }
        int width = 0;
        while (std::isdigit(static_cast<unsigned char>(*p)))
            width = std::min(width * 10 + (*p++ - '0'), 1000);
        int precision = -1;
        if (*p == '.') {
            ++p;
            precision = 0;
            while (std::isdigit(static_cast<unsigned char>(*p)))
                precision = std::min(precision * 10 + (*p++ - '0'), 1000);
        }
        while (*p == 'h' || *p == 'l')
            ++p;
        const char conversion = *p;
        const bool text = conversion == 's';
        const bool nextIsText = next < count && args[next].isText;
        const bool nextIsValue = next < count && !args[next].isText;
        // A text conversion needs a text argument, an integer conversion anything but one.
        if (!conversion || !std::strchr("diuxXocs", conversion) || (text && !nextIsText) ||
            (!text && nextIsText)) {
            // Not a conversion this formatter performs: the text stands as written.
            out.append(start, p);
            continue;
        }
        ++p;
        // Widths beyond 64 characters are cut: a data file cannot ask for huge texts.
        width = std::min(width, 64);
        precision = std::min(precision, 64);
        if (width)
            length +=
                std::snprintf(conversionText + length, sizeof conversionText - length, "%d", width);
        if (precision >= 0)
            length += std::snprintf(conversionText + length, sizeof conversionText - length, ".%d",
                                    precision);
        conversionText[length++] = conversion;
        conversionText[length] = '\0';
        if (text) {
            const char* value = args[next++].text;
            std::string buffer(std::strlen(value) + 80, '\0');
            const int n = std::snprintf(buffer.data(), buffer.size(), conversionText, value);
            if (n > 0) out.append(buffer.data(), std::min<size_t>(n, buffer.size() - 1));
            continue;
        }
        const int32_t value = nextIsValue ? args[next++].value : 0;
        char buffer[160];
        std::snprintf(buffer, sizeof buffer, conversionText, static_cast<int>(value));
        out += buffer;
    }
    return out;
}

}  // namespace

std::string FormatIntegers(const char* format, std::initializer_list<int32_t> args) {
    std::vector<FormatArgument> arguments(args.begin(), args.end());
    return Format(format, arguments.data(), arguments.size());
}

std::string FormatText(const char* format, std::initializer_list<FormatArgument> args) {
    return Format(format, args.begin(), args.size());
}
