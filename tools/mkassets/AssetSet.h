#pragma once
// Writes the whole sample asset set into an output folder laid out as the game expects: the
// local asset directory "Assets/" and two asset volumes "volumes/VARNOK" and
// "volumes/TELMIRA" with the same content.
#include <cstdint>
#include <string>
#include <vector>

namespace mkassets {

class AssetSet {
public:
    explicit AssetSet(std::string outputDirectory);
    virtual ~AssetSet();

    // Writes every file; with a preview directory also PNG pictures of the main assets.
    // False at the first failure, with LastError() saying what went wrong.
    bool Make(const std::string& previewDirectory);

    // Paths relative to the output directory, in the order written.
    const std::vector<std::string>& Written() const { return written; }
    const std::string& LastError() const { return error; }

    static constexpr const char* kLocalDir = "Assets";
    static const std::vector<std::string>& VolumeLabels();

private:
    bool Put(const std::string& relativePath, const std::vector<uint8_t>& bytes);
    // The same file in a directory ("Movies", "Sounds" or "Data") of every volume.
    bool PutOnVolumes(const std::string& directory, const std::string& name,
                      const std::vector<uint8_t>& bytes);
    bool MakeDirectories();
    bool Fail(const std::string& message);

    std::string root;
    std::vector<std::string> written;
    std::string error;
};

}  // namespace mkassets
