// Feeds arbitrary bytes to the saved-game index as "GAMES.SAV", then saves, finds and removes
// entries; only numbered saved games in the scratch directory may ever be touched.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/ResourceFile.h"
#include "world/SavedGameIndex.h"

namespace {
struct Setup {
    Setup() {
        directory = std::filesystem::temp_directory_path() /
                    ("qx-fuzz-index-" + std::to_string(::getpid()));
        std::filesystem::create_directories(directory);
        ResourceFile::SetAssetPath((directory.string() + "/").c_str());
    }
    std::filesystem::path directory;
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Setup setup;
    {
        std::ofstream out(setup.directory / SavedGameIndex::kIndexFile, std::ios::binary);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    SavedGameIndex index;
    if (index.Count() > 0) {
        index.FindByTitle(index.At(0)->Title());
        index.FindByFile(index.At(0)->FileName());
    }
    const std::string title(reinterpret_cast<const char*>(data), size);
    index.FindOrCreate(title.c_str());
    index.Remove(static_cast<int>(size % 3));
    SavedGameIndex again;
    return 0;
}
