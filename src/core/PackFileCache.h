#pragma once
// Streamed sprite sets read their frames on demand for the whole run, so each keeps its pack
// open. Sets naming the same pack file share one open handle from here instead of holding a
// descriptor each; the file closes when the last holder lets go. A holder selects its entry
// before every read, since the selected window belongs to whoever selected last.
#include <memory>
#include <string>

class ResourceFile;

class PackFileCache {
public:
    // The open pack behind name, put behind the asset directory in force: the handle already
    // held open for that file, or a newly opened one. Null when the file cannot be opened or
    // is not a pack; fault (when given) then says why.
    static std::shared_ptr<ResourceFile> Open(const char* name, std::string* fault = nullptr);
    // How many distinct pack files are held open through the cache.
    static int OpenCount();
};
