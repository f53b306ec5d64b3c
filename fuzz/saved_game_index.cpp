// Feeds arbitrary bytes to the saved-game index as "GAMES.SAV", then saves, finds and removes
// entries; only numbered saved games in the scratch directory, removed at exit, may ever be
// touched.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "FuzzScratch.h"
#include "core/ResourceFile.h"
#include "world/SavedGameIndex.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The index reads and writes only its file in the asset directory.
    static const FuzzScratch scratch("qx-fuzz-index");
    if (scratch.Path().empty()) return 0;
    ResourceFile::SetAssetPath(scratch.Directory().c_str());
    // A damaged index goes aside at the first save: the name is freed for the next input.
    std::error_code ignored;
    std::filesystem::remove(scratch.Path() / (std::string(SavedGameIndex::kIndexFile) + ".bad"),
                            ignored);
    {
        std::ofstream out(scratch.Path() / SavedGameIndex::kIndexFile, std::ios::binary);
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
