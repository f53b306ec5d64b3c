#pragma once
// Writes the whole sample asset set into an output folder laid out as the game expects: the
// local asset directory "Assets/" and two asset volumes "volumes/VARNOK" and
// "volumes/TELMIRA" with the same content. The folder may be the game's own, with the player's
// saves, settings and designs beside the set: only the set's own names are ever written.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/InstanceLock.h"

namespace mkassets {

class AssetPalette;
namespace LandMaker {
struct Land;
}

class AssetSet {
public:
    explicit AssetSet(std::string outputDirectory);
    virtual ~AssetSet();

    // Makes and checks every file in memory first (the catalogue, the starts of every land and
    // of the scenario pack); then writes each under a temporary name beside its own, flushed to
    // the device, and only when every one is whole renames them over their names. With a
    // preview directory also PNG pictures of the main assets, before the renames. False when
    // refused or failed, with LastError() saying why; the folder is then left as it was, its
    // temporaries and the directories the run made removed. One run at a time writes a folder:
    // a run holds kLockName there until it ends, and a second is refused.
    bool Make(const std::string& previewDirectory);

    // Paths relative to the output directory, in the order put in place.
    const std::vector<std::string>& Written() const { return written; }
    const std::string& LastError() const { return error; }

    static constexpr const char* kLocalDir = "Assets";
    // Added to a file's name for its temporary beside it.
    static constexpr const char* kTemporarySuffix = ".mkassets-new";
    // In the output directory while a run writes it; removed when the run ends.
    static constexpr const char* kLockName = "mkassets.lock";
    static const std::vector<std::string>& VolumeLabels();

protected:
    // Empty when every start of the land holds, else the start check's sentence. A test refuses
    // a land here.
    virtual std::string StartFault(const LandMaker::Land& land) const;
    // Renames a file's temporary over its name: false with why when it cannot. A test fails a
    // rename here.
    virtual bool PutInPlace(const std::string& temporary, const std::string& path,
                            std::string& why);

private:
    struct Planned {
        std::string path;  // relative to the output directory
        std::vector<uint8_t> bytes;
    };
    struct Staged {
        std::string temporary, path;  // whole paths
        std::string relative;
    };

    // The files of the set but the movies, made and checked in memory.
    bool Plan(const AssetPalette& palette, std::vector<LandMaker::Land>& lands);
    void Put(const std::string& relativePath, std::vector<uint8_t> bytes);
    // The same file in a directory ("Movies", "Sounds" or "Data") of every volume.
    void PutOnVolumes(const std::string& directory, const std::string& name,
                      const std::vector<uint8_t>& bytes);
    // Every movie's paths: the first is encoded, the others are copies of it.
    static std::vector<std::vector<std::string>> MoviePaths();
    bool TakeLock();
    bool RefuseTakenNames();
    bool MakeDirectory(const std::string& directory);
    // The temporary beside a file of the set, its directory made and a stopped run's temporary
    // there cleared; empty when the directory cannot be made.
    std::string TemporaryFor(const std::string& relativePath);
    bool Stage(const std::string& relativePath, const std::vector<uint8_t>& bytes);
    bool StageMovies(const AssetPalette& palette);
    bool WritePreviews(const std::string& previewDirectory,
                       const std::vector<LandMaker::Land>& lands, const AssetPalette& palette);
    bool Commit();
    // Removes what a run that does not commit made: its temporaries, then (the lock let go,
    // which lives in the first of them when the run made the output directory) its directories.
    void Discard();
    bool Fail(const std::string& message);

    std::string root;
    std::vector<Planned> planned;
    std::vector<size_t> landTiles;  // each land's tile set in planned
    std::vector<Staged> staged;
    std::vector<std::string> madeDirectories;
    std::vector<std::string> written;
    std::string error;
    winx_InstanceLock lock;
};

}  // namespace mkassets
