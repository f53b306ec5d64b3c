#include "support/MadeAssets.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "core/ResourceFile.h"

namespace MadeAssets {
namespace {

uint32_t Word32(const std::vector<uint8_t>& b, size_t at, bool bigEndian) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) {
        const uint32_t byte = b[at + static_cast<size_t>(bigEndian ? i : 3 - i)];
        v = (v << 8) | byte;
    }
    return v;
}

}  // namespace

fs::path MakerPath(const fs::path& buildDir) {
    return buildDir / "qx-mkassets";
}

int RunMaker(const fs::path& maker, const fs::path& output, const fs::path& log) {
    const std::string command =
        "'" + maker.string() + "' '" + output.string() + "' > '" + log.string() + "' 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

SharedSet MakeSharedSet(const fs::path& buildDir) {
    SharedSet made;
    const fs::path maker = MakerPath(buildDir);
    const fs::path base = buildDir / "mkassets-test";
    std::error_code code;
    fs::create_directories(base, code);
    const auto stamp = fs::last_write_time(maker, code).time_since_epoch().count();
    const std::string key =
        std::to_string(fs::file_size(maker, code)) + "-" + std::to_string(stamp);
    made.path = base / ("set-" + key);
    // Test programs start in parallel: one process makes the set while the others wait on the
    // lock, which the system releases even if that process dies.
    const int lock = open((base / "lock").c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0644);
    if (lock >= 0) flock(lock, LOCK_EX);
    if (!fs::exists(made.path / "done.log")) {
        const fs::path scratch = base / ("scratch-" + std::to_string(getpid()));
        fs::remove_all(scratch, code);
        fs::create_directories(scratch / "set", code);
        if (RunMaker(maker, scratch / "set", scratch / "set" / "done.log") == 0) {
            fs::rename(scratch / "set", made.path, code);
        } else {
            made.printed = ReadText(scratch / "set" / "done.log");
        }
        fs::remove_all(scratch, code);
    }
    // Sets made by earlier builds of the maker are of no further use.
    for (const auto& entry : fs::directory_iterator(base, code)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("set-", 0) == 0 && entry.path() != made.path)
            fs::remove_all(entry.path(), code);
    }
    if (lock >= 0) close(lock);  // closing releases the lock
    if (!fs::exists(made.path / "done.log")) {
        made.status = 1;
        return made;
    }
    made.printed = ReadText(made.path / "done.log");
    made.status = made.printed.find("files in") != std::string::npos ? 0 : 1;
    return made;
}

std::string ReadText(const fs::path& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<uint8_t> FileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::vector<uint8_t> EntryBytes(ResourceFile& file) {
    std::vector<uint8_t> bytes(static_cast<size_t>(file.Size()));
    int32_t count = file.Size();
    if (count > 0 && !file.Read(count, bytes.data())) bytes.clear();
    return bytes;
}

SampleHeader ParseSample(const std::vector<uint8_t>& entry) {
    SampleHeader h;
    if (entry.size() < 18) return h;
    h.format = entry[1];
    const bool big = h.format == 1;
    h.bits = Word32(entry, 2, big);
    h.channels = Word32(entry, 6, big);
    h.rate = Word32(entry, 10, big);
    h.frames = Word32(entry, 14, big);
    h.size = entry.size();
    return h;
}

std::string Conversions(const char* text) {
    std::string found;
    for (const char* p = text; *p; ++p) {
        if (*p != '%') continue;
        ++p;
        while (*p && std::strchr("-+ #0123456789.", *p))
            ++p;
        if (!*p) break;
        found += *p;
    }
    return found;
}

LandText ReadLand(ResourceFile& file) {
    LandText land;
    char line[256];
    auto next = [&]() { return file.ReadDataLine(sizeof line, line) > 0; };
    auto list = [&](std::vector<std::pair<int, int>>& points) {
        while (next() && line[0] != '*') {
            int r = -1, c = -1;
            std::sscanf(line, "%d %d", &r, &c);
            points.push_back({r, c});
        }
    };
    if (!next()) return land;
    if (line[0] == '@')
        land.title = line;
    else if (std::sscanf(line, "%d", &land.nameLine) != 1)
        return land;
    if (!next() || std::sscanf(line, "%d", &land.paletteRow) != 1) return land;
    if (!next() || std::sscanf(line, "%d", &land.shade) != 1) return land;
    if (!next() || std::sscanf(line, "%d", &land.blendRow) != 1) return land;
    if (!next() || std::sscanf(line, "%d %d", &land.columns, &land.rows) != 2) return land;
    if (!next() || std::sscanf(line, "%d %d", &land.originColumn, &land.originRow) != 2)
        return land;
    if (!next() || std::sscanf(line, "%d %d", &land.sheetColumns, &land.sheetRows) != 2)
        return land;
    if (!next() || line[0] != '*') return land;
    if (!next()) return land;
    land.tileSet = line;
    for (int r = 0; r < land.sheetRows; ++r) {
        if (!next()) return land;
        land.letters.push_back(line);
    }
    if (!next()) return land;  // the grid's closing line
    list(land.starts);
    list(land.fields);
    if (!next()) return land;
    if (line[0] != '*') {
        land.featurePack = line;
        while (next() && line[0] != '*') {
            LandText::Feature f{-1, -1, -1};
            std::sscanf(line, "%d %d %d", &f.row, &f.column, &f.frame);
            land.features.push_back(f);
        }
    }
    if (next()) land.decorationPack = line;
    land.complete = true;
    return land;
}

bool StrictlyInside(const LandText& land, int row, int column) {
    return row > land.originRow && row < land.originRow + land.rows - 1 &&
           column > land.originColumn && column < land.originColumn + land.columns - 1;
}

std::vector<LandText> ReadAllLands() {
    std::vector<LandText> lands;
    ResourceFile pack;
    if (pack.Open("7a0lxxxx99s999.lnd", ResourceFile::OpenMode::Pack)) {
        for (int row = 0; row < pack.Rows(); ++row) {
            if (pack.SelectEntry(0, row)) lands.push_back(ReadLand(pack));
        }
    }
    ResourceFile edit;
    if (edit.Open("edit.lnd", ResourceFile::OpenMode::Read)) lands.push_back(ReadLand(edit));
    return lands;
}

fs::path TileSetOf(const fs::path& set, const LandText& land, bool packLand) {
    std::vector<fs::path> places;
    if (packLand) {
        for (const char* label : kVolumes)
            places.push_back(set / "volumes" / label / "Assets" / "Data" / (land.tileSet + ".tls"));
    }
    places.push_back(set / "Assets" / (land.tileSet + ".tls"));
    for (const fs::path& place : places) {
        if (fs::exists(place)) return place;
    }
    return {};
}

}  // namespace MadeAssets
