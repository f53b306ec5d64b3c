// Feeds arbitrary bytes to the set-up screen's land list as the land pack, and each entry
// header as text: every listed title is one line of at most 64 characters without control
// characters.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "FuzzScratch.h"
#include "core/ResourceFile.h"
#include "map/TerrainMap.h"
#include "screens/SetupScreen.h"

namespace {
// The land pack is read only from a file: it lives in a scratch folder removed at exit.
struct Setup {
    Setup() : scratch("qx-fuzz-lands"), directory(scratch.Path()) {
        ResourceFile::SetAssetPath(scratch.Directory().c_str());
    }
    FuzzScratch scratch;
    std::filesystem::path directory;
};

void CheckTitle(const std::string& title) {
    if (!title.empty() && title[0] == '@' && title.size() > 64) std::abort();
    for (const char c : title)
        if (c == '\n' || c == '\r') std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Setup setup;
    if (setup.directory.empty()) return 0;
    std::string title;
    for (const int hide : {0, 1})
        if (SetupScreen::EntryTitle(reinterpret_cast<const char*>(data), size, hide, title))
            CheckTitle(title);
    {
        std::ofstream out(setup.directory / TerrainMap::kLandPack, std::ios::binary);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    std::vector<SetupScreen::ListEntry> entries;
    SetupScreen::ReadLandList(0, entries);
    for (const auto& entry : entries)
        CheckTitle(entry.text);
    return 0;
}
