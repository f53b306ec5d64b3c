#include "platform/Drives.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr char kFirstLetter = 'D';
constexpr int kMaxDrives = 'Z' - kFirstLetter + 1;

struct Volume {
    std::string directory;
    std::string label;
};

// The directories below root, by name, without hidden ones.
void AddVolumesUnder(const fs::path& root, std::vector<Volume>& volumes) {
    std::error_code ec;
    std::vector<Volume> found;
    for (fs::directory_iterator it(root, ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_directory(typeError)) continue;
        std::string name = it->path().filename().string();
        if (name.empty() || name[0] == '.') continue;
        std::error_code absError;
        found.push_back({fs::absolute(it->path(), absError).string(), name});
    }
    std::sort(found.begin(), found.end(),
              [](const Volume& a, const Volume& b) { return a.label < b.label; });
    for (Volume& v : found)
        volumes.push_back(std::move(v));
}

std::vector<Volume> MountedVolumes() {
    std::vector<Volume> volumes;
    AddVolumesUnder("volumes", volumes);
    if (const char* user = std::getenv("USER"); user && *user) {
        AddVolumesUnder(fs::path("/media") / user, volumes);
        AddVolumesUnder(fs::path("/run/media") / user, volumes);
    }
    AddVolumesUnder("/mnt", volumes);
    if (volumes.size() > kMaxDrives) volumes.resize(kMaxDrives);
    return volumes;
}

// The volume of a drive letter, or -1.
int VolumeIndex(char letter, const std::vector<Volume>& volumes) {
    const int index = std::toupper(static_cast<unsigned char>(letter)) - kFirstLetter;
    return (index >= 0 && index < static_cast<int>(volumes.size())) ? index : -1;
}

int RootIndex(const char* root, const std::vector<Volume>& volumes) {
    if (!root || !root[0] || root[1] != ':') return -1;
    return VolumeIndex(root[0], volumes);
}

}  // namespace

uint32_t winx_GetLogicalDrives() {
    const std::vector<Volume> volumes = MountedVolumes();
    uint32_t mask = 0;
    for (size_t i = 0; i < volumes.size(); ++i)
        mask |= 1u << ((kFirstLetter - 'A') + i);
    return mask;
}

int winx_GetDriveType(const char* root) {
    return RootIndex(root, MountedVolumes()) >= 0 ? kDriveCdRom : kDriveNoRootDir;
}

int winx_GetVolumeInformation(const char* root, char* label, int labelSize) {
    const std::vector<Volume> volumes = MountedVolumes();
    const int index = RootIndex(root, volumes);
    if (index < 0) return 0;
    if (label && labelSize > 0) {
        const std::string& name = volumes[index].label;
        const size_t n = std::min(name.size(), static_cast<size_t>(labelSize - 1));
        std::memcpy(label, name.data(), n);
        label[n] = '\0';
    }
    return 1;
}

std::string winx_DriveDirectory(char letter) {
    const std::vector<Volume> volumes = MountedVolumes();
    const int index = VolumeIndex(letter, volumes);
    return index >= 0 ? volumes[index].directory : std::string();
}
