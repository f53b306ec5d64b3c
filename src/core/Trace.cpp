#include "core/Trace.h"

#include <cstdio>

#include "core/Settings.h"

void Trace(const char* text) {
    if (traceOn != 1) return;
    // Opened and closed per line, so every line is on disk even if the program dies next.
    std::FILE* file = std::fopen("zvd.out", "a");
    if (!file) return;
    std::fprintf(file, "%s\n", text ? text : "");
    std::fclose(file);
}
