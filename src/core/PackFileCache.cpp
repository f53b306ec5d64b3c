#include "core/PackFileCache.h"

#include <map>
#include <mutex>
#include <string>

#include "core/ResourceFile.h"
#include "platform/Paths.h"

namespace {

struct Handles {
    std::mutex lock;
    // Keyed by the resolved path, so names differing only in case or separators share. Only
    // weak references are kept: the sets own the files, and a file nobody holds is closed.
    std::map<std::string, std::weak_ptr<ResourceFile>> byPath;
};

Handles& Shared() {
    static Handles handles;
    return handles;
}

void DropClosed(std::map<std::string, std::weak_ptr<ResourceFile>>& byPath) {
    std::erase_if(byPath, [](const auto& entry) { return entry.second.expired(); });
}

}  // namespace

std::shared_ptr<ResourceFile> PackFileCache::Open(const char* name, std::string* fault) {
    if (!name) return nullptr;
    const std::string path = winx_NativePath(std::string(ResourceFile::AssetPath()) + name);
    // Another case of the name is another pack (see ResourceFile::OpenPack), never this one.
    if (!ResourceFile::NamedExactly(name, path)) {
        if (fault) *fault = path + ": is another pack than " + name;
        return nullptr;
    }
    Handles& handles = Shared();
    const std::lock_guard<std::mutex> guard(handles.lock);
    DropClosed(handles.byPath);
    if (auto it = handles.byPath.find(path); it != handles.byPath.end()) {
        if (auto file = it->second.lock()) return file;
    }
    auto file = std::make_shared<ResourceFile>();
    if (!file->OpenPack(name)) {
        if (fault) *fault = file->Fault();
        return nullptr;
    }
    handles.byPath[path] = file;
    return file;
}

int PackFileCache::OpenCount() {
    Handles& handles = Shared();
    const std::lock_guard<std::mutex> guard(handles.lock);
    DropClosed(handles.byPath);
    return static_cast<int>(handles.byPath.size());
}
