#include "platform/FfmpegLibrary.h"

#include <dlfcn.h>

#include <mutex>

namespace {
constexpr const char* kSonames[winx_FfmpegLibrary::kLibraryCount] = {
    QX_SONAME_AVUTIL, QX_SONAME_SWRESAMPLE, QX_SONAME_SWSCALE, QX_SONAME_AVCODEC,
    QX_SONAME_AVFORMAT};

std::mutex loading;
// The libraries while some movie holds them.
std::weak_ptr<const winx_FfmpegLibrary> held;
}  // namespace

const char* winx_FfmpegLibrary::Soname(Library library) {
    return library >= 0 && library < kLibraryCount ? kSonames[library] : "";
}

std::shared_ptr<const winx_FfmpegLibrary> winx_FfmpegLibrary::Load(std::string& error) {
    const std::lock_guard<std::mutex> lock(loading);
    if (std::shared_ptr<const winx_FfmpegLibrary> library = held.lock()) return library;
    std::shared_ptr<winx_FfmpegLibrary> library(new winx_FfmpegLibrary());
    for (int i = 0; i < kLibraryCount; ++i) {
        // Never unmapped once loaded: their dependencies keep allocations from their own start-up
        // that nothing frees, so unmapping them lost that memory on every movie.
        library->handles[i] = dlopen(kSonames[i], RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
        if (library->handles[i] == nullptr) {
            const char* why = dlerror();
            error = std::string("cannot load ") + kSonames[i] + " (" +
                    (why != nullptr ? why : "no reason given") + ")";
            return nullptr;
        }
    }
#define WINX_FFMPEG_RESOLVE(lib, name)                                                        \
    library->name = reinterpret_cast<decltype(&::name)>(dlsym(library->handles[lib], #name)); \
    if (library->name == nullptr) {                                                           \
        error = std::string("cannot find ") + #name + " in " + kSonames[lib];                 \
        return nullptr;                                                                       \
    }
    WINX_FFMPEG_FUNCTIONS(WINX_FFMPEG_RESOLVE)
#undef WINX_FFMPEG_RESOLVE
    held = library;
    return library;
}

winx_FfmpegLibrary::~winx_FfmpegLibrary() {
    for (int i = kLibraryCount - 1; i >= 0; --i) {
        if (handles[i] != nullptr) dlclose(handles[i]);
    }
}
