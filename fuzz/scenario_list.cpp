// Feeds arbitrary bytes to the set-up screen's land list as the land pack, and each entry
// header as text: every listed title is one line of at most 64 characters without control
// characters.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/ResourceFile.h"
#include "map/TerrainMap.h"
#include "screens/SetupScreen.h"

namespace {
struct Setup {
    Setup() {
        directory = std::filesystem::temp_directory_path() /
                    ("qx-fuzz-lands-" + std::to_string(::getpid()));
        std::filesystem::create_directories(directory);
        ResourceFile::SetAssetPath((directory.string() + "/").c_str());
    }
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
