#include "platform/Profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "platform/Paths.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

// The file split into lines, without their line ends.
std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t begin = 0;
    while (begin < text.size()) {
        size_t end = text.find('\n', begin);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(begin, end - begin);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        begin = end + 1;
    }
    return lines;
}

// The section name of a header line "[name]", or false for any other line.
bool SectionHeader(std::string_view line, std::string_view& name) {
    line = Trim(line);
    if (line.empty() || line.front() != '[') return false;
    line.remove_prefix(1);
    const size_t close = line.find(']');
    name = Trim(close == std::string_view::npos ? line : line.substr(0, close));
    return true;
}

// Splits "key = value"; false for comments and lines without '='.
bool KeyLine(std::string_view line, std::string_view& key, std::string_view& value) {
    line = Trim(line);
    if (line.empty() || line.front() == ';') return false;
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) return false;
    key = Trim(line.substr(0, eq));
    value = Trim(line.substr(eq + 1));
    return true;
}

struct SectionSpan {
    size_t header;  // index of the header line
    size_t end;     // index of the line after the section
};

bool FindSection(const std::vector<std::string_view>& lines, std::string_view section,
                 SectionSpan& span) {
    std::string_view name;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!SectionHeader(lines[i], name) || !SameIgnoringCase(name, section)) continue;
        size_t end = i + 1;
        while (end < lines.size() && !SectionHeader(lines[end], name))
            ++end;
        span = {i, end};
        return true;
    }
    return false;
}

bool FindKey(const std::vector<std::string_view>& lines, const SectionSpan& span,
             std::string_view key, size_t& index) {
    std::string_view k;
    std::string_view v;
    for (size_t i = span.header + 1; i < span.end; ++i) {
        if (KeyLine(lines[i], k, v) && SameIgnoringCase(k, key)) {
            index = i;
            return true;
        }
    }
    return false;
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view WithoutByteOrderMark(std::string_view text) {
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        text.remove_prefix(kByteOrderMark.size());
    return text;
}

// What identifies a file's state without reading it; a change of any field means a new text.
struct FileIdentity {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    int64_t modifiedNs = 0;
    bool operator==(const FileIdentity&) const = default;
};

FileIdentity IdentityOf(const struct stat& st) {
    return {true, st.st_dev, st.st_ino, st.st_size,
            int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec};
}

struct CachedFile {
    std::string path;
    FileIdentity identity;
    winx_ProfileFile status = winx_ProfileFile::Absent;
    std::string contents;
    std::string why;
};

CachedFile& Cache() {
    static CachedFile cache;
    return cache;
}

// Reads a regular file of at most the limit; the descriptor is opened without blocking so that
// a pipe or a device cannot stall the start.
winx_ProfileFile ReadRegularFile(const std::string& path, FileIdentity& identity,
                                 std::string& contents, std::string& why) {
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return winx_ProfileFile::Absent;
        why = std::strerror(errno);
        return winx_ProfileFile::Unreadable;
    }
    struct stat st {};
    winx_ProfileFile status = winx_ProfileFile::Read;
    if (fstat(fd, &st) != 0) {
        why = std::strerror(errno);
        status = winx_ProfileFile::Unreadable;
    } else if (!S_ISREG(st.st_mode)) {
        why = S_ISDIR(st.st_mode) ? "is a directory" : "is not a regular file";
        status = winx_ProfileFile::Unreadable;
    } else if (static_cast<uint64_t>(st.st_size) > kMaxProfileBytes) {
        why = "is larger than 1 MiB";
        status = winx_ProfileFile::Unreadable;
    } else {
        identity = IdentityOf(st);
        // Room for the size fstat gave and one byte more, which shows a file that grew since;
        // only then does the buffer grow, up to one byte past the limit.
        contents.resize(static_cast<size_t>(st.st_size) + 1);
        size_t got = 0;
        while (got < contents.size()) {
            const ssize_t n = read(fd, contents.data() + got, contents.size() - got);
            if (n == 0) break;
            if (n < 0) {
                if (errno == EINTR) continue;
                why = std::strerror(errno);
                status = winx_ProfileFile::Unreadable;
                break;
            }
            got += static_cast<size_t>(n);
            if (got == contents.size() && got <= kMaxProfileBytes) {
                contents.resize(std::min<size_t>(2 * got, kMaxProfileBytes + 1));
            }
        }
        contents.resize(got);
        // The read buffer is not kept as the text's capacity.
        contents.shrink_to_fit();
        if (status == winx_ProfileFile::Read && got > kMaxProfileBytes) {
            why = "is larger than 1 MiB";
            status = winx_ProfileFile::Unreadable;
        }
    }
    close(fd);
    if (status != winx_ProfileFile::Read) contents.clear();
    return status;
}

// Looks the value up in the file; false when the file, section or key is missing.
bool LookUp(const char* section, const char* key, const char* file, std::string& value) {
    std::string contents;
    std::string why;
    if (!section || !key || winx_ReadProfileFile(file, contents, why) != winx_ProfileFile::Read)
        return false;
    return winx_FindProfileValue(contents, section, key, value) == 1;
}

// Writes the text beside the target and renames it over the target.
int ReplaceFile(const std::string& target, const std::string& text) {
    std::string temp = target + ".XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) return 0;
    fchmod(fd, 0644);
    FILE* out = fdopen(fd, "wb");
    if (!out) {
        close(fd);
        unlink(temp.c_str());
        return 0;
    }
    bool ok = std::fwrite(text.data(), 1, text.size(), out) == text.size();
    ok = std::fflush(out) == 0 && ok;
    ok = fsync(fileno(out)) == 0 && ok;
    ok = std::fclose(out) == 0 && ok;
    if (ok) ok = std::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) {
        unlink(temp.c_str());
        return 0;
    }
    return 1;
}

}  // namespace

winx_ProfileFile winx_ReadProfileFile(const char* file, std::string& contents, std::string& why) {
    contents.clear();
    why.clear();
    if (!file) return winx_ProfileFile::Absent;
    const std::string path = winx_NativePath(file);
    CachedFile& cache = Cache();
    struct stat st {};
    const FileIdentity now = stat(path.c_str(), &st) == 0 ? IdentityOf(st) : FileIdentity{};
    // Only a regular file's text is kept: anything else is looked at afresh each time.
    const bool cacheable = !now.exists || S_ISREG(st.st_mode);
    if (!cacheable || cache.path != path || !(cache.identity == now)) {
        CachedFile fresh;
        fresh.path = path;
        fresh.status = now.exists ? ReadRegularFile(path, fresh.identity, fresh.contents, fresh.why)
                                  : winx_ProfileFile::Absent;
        if (fresh.status != winx_ProfileFile::Read) fresh.identity = now;
        cache = std::move(fresh);
    }
    contents = cache.contents;
    why = cache.why;
    return cache.status;
}

bool winx_ScanProfileNumber(std::string_view text, int& number) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i >= text.size() || !std::isdigit(static_cast<unsigned char>(text[i]))) return false;
    long long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = std::min<long long>(value * 10 + (text[i] - '0'),
                                    std::numeric_limits<int>::max() + 1LL);
    }
    if (negative) value = -value;
    number = static_cast<int>(std::clamp<long long>(value, std::numeric_limits<int>::min(),
                                                    std::numeric_limits<int>::max()));
    return true;
}

int winx_FindProfileValue(std::string_view contents, std::string_view section, std::string_view key,
                          std::string& value) {
    const std::vector<std::string_view> lines = SplitLines(WithoutByteOrderMark(contents));
    SectionSpan span;
    size_t index;
    if (!FindSection(lines, Trim(section), span) || !FindKey(lines, span, Trim(key), index)) {
        return 0;
    }
    std::string_view k;
    std::string_view v;
    KeyLine(lines[index], k, v);
    value.assign(v);
    return 1;
}

std::string winx_UpdateProfileText(std::string_view contents, const char* section, const char* key,
                                   const char* value) {
    const std::string_view eol = contents.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
    const std::string_view body = WithoutByteOrderMark(contents);
    const std::string_view mark = contents.substr(0, contents.size() - body.size());
    std::vector<std::string_view> lines = SplitLines(body);
    std::vector<std::string> added;  // storage for new lines, views point into it
    added.reserve(3);
    if (!section) return std::string(contents);

    SectionSpan span;
    const bool haveSection = FindSection(lines, Trim(section), span);
    if (!key) {
        if (haveSection) lines.erase(lines.begin() + span.header, lines.begin() + span.end);
    } else {
        const std::string newLine = std::string(Trim(key)) + "=" + (value ? value : "");
        size_t index;
        if (haveSection && FindKey(lines, span, Trim(key), index)) {
            if (value) {
                lines[index] = added.emplace_back(newLine);
            } else {
                lines.erase(lines.begin() + index);
            }
        } else if (value && haveSection) {
            // After the section's last non-blank line, so a blank line between sections stays.
            size_t at = span.end;
            while (at > span.header + 1 && Trim(lines[at - 1]).empty())
                --at;
            lines.insert(lines.begin() + at, added.emplace_back(newLine));
        } else if (value) {
            lines.push_back(added.emplace_back("[" + std::string(Trim(section)) + "]"));
            lines.push_back(added.emplace_back(newLine));
        }
    }
    std::string text(mark);
    for (std::string_view line : lines) {
        text += line;
        text += eol;
    }
    return text;
}

int winx_GetPrivateProfileString(const char* section, const char* key, const char* defaultValue,
                                 char* out, int outSize, const char* file) {
    if (!out || outSize <= 0) return 0;
    std::string value;
    if (!LookUp(section, key, file, value)) value = Trim(defaultValue ? defaultValue : "");
    const size_t n = std::min(value.size(), static_cast<size_t>(outSize - 1));
    std::memcpy(out, value.data(), n);
    out[n] = '\0';
    return static_cast<int>(n);
}

int winx_GetPrivateProfileInt(const char* section, const char* key, int defaultValue,
                              const char* file) {
    std::string value;
    if (!LookUp(section, key, file, value)) return defaultValue;
    // Base 10 always: a leading zero does not make the number octal.
    int number = 0;
    return winx_ScanProfileNumber(value, number) ? number : 0;
}

int winx_WritePrivateProfileString(const char* section, const char* key, const char* value,
                                   const char* file) {
    if (!section || !file) return 0;
    const std::string target = winx_NativePath(file);
    std::string contents;
    std::string why;
    // A missing file is created; one that cannot be read would lose its text.
    if (winx_ReadProfileFile(file, contents, why) == winx_ProfileFile::Unreadable) return 0;
    return ReplaceFile(target, winx_UpdateProfileText(contents, section, key, value));
}
