#include "platform/MemoryStream.h"

std::FILE* winx_OpenMemoryStream(const void* data, size_t size) {
    // fmemopen refuses an empty buffer on some C libraries: nothing to read is /dev/null.
    if (size == 0 || !data) return std::fopen("/dev/null", "rb");
    return fmemopen(const_cast<void*>(data), size, "rb");
}
