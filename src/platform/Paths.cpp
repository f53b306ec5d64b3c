#include "platform/Paths.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/Drives.h"

namespace fs = std::filesystem;

namespace {

bool Exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(fs::path(path), ec);
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

// The entry of directory dir whose name matches name ignoring case; the smallest such name
// when several do, so the choice does not depend on the directory's order. Empty when none.
std::string FindIgnoringCase(const std::string& dir, const std::string& name) {
    std::error_code ec;
    fs::directory_iterator it(dir.empty() ? fs::path(".") : fs::path(dir), ec);
    std::string best;
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string entry = it->path().filename().string();
        if (SameIgnoringCase(entry, name) && (best.empty() || entry < best)) best = entry;
    }
    return best;
}

std::vector<std::string> SplitComponents(const std::string& path) {
    std::vector<std::string> parts;
    size_t begin = 0;
    while (begin <= path.size()) {
        const size_t end = std::min(path.find('/', begin), path.size());
        if (end > begin) parts.push_back(path.substr(begin, end - begin));
        begin = end + 1;
    }
    return parts;
}

std::string ResolveIgnoringCase(const std::string& path) {
    const bool absolute = !path.empty() && path.front() == '/';
    const bool trailingSlash = path.size() > 1 && path.back() == '/';
    std::string result = absolute ? "/" : "";
    bool resolving = true;
    for (const std::string& part : SplitComponents(path)) {
        std::string chosen = part;
        if (resolving && part != "." && part != ".." && !Exists(result + part)) {
            const std::string match = FindIgnoringCase(result, part);
            if (!match.empty()) {
                chosen = match;
            } else {
                // Nothing further down can exist: keep the rest as written.
                resolving = false;
            }
        }
        result += chosen;
        result += '/';
    }
    if (!trailingSlash && result.size() > 1) result.pop_back();
    return result;
}

}  // namespace

std::string winx_NativePath(const std::string& windowsPath) {
    std::string path = windowsPath;
    if (path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':') {
        const std::string dir = winx_DriveDirectory(path[0]);
        // An unknown drive keeps its letter, which names nothing here.
        if (!dir.empty()) path = dir + "/" + path.substr(2);
    }
    std::replace(path.begin(), path.end(), '\\', '/');
    // Joined names (a directory ending in a separator followed by a name starting with one)
    // give double slashes; they mean one.
    std::string collapsed;
    collapsed.reserve(path.size());
    for (char c : path) {
        if (c == '/' && !collapsed.empty() && collapsed.back() == '/') continue;
        collapsed += c;
    }
    if (collapsed.empty() || Exists(collapsed)) return collapsed;
    return ResolveIgnoringCase(collapsed);
}

std::vector<std::string> winx_DirectoryNames(const std::string& windowsDir) {
    std::vector<std::string> names;
    const std::string dir = winx_NativePath(windowsDir);
    std::error_code ec;
    fs::directory_iterator it(dir.empty() ? fs::path(".") : fs::path(dir), ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}
