#include "core/Trace.h"

#include <cstdio>
#include <string>

#include "core/Settings.h"
#include "platform/RegularFile.h"

void Trace(const char* text) {
    if (traceOn != 1) return;
    // Opened and closed per line, so every line is on disk even if the program dies next. A FIFO
    // or device in the file's place is skipped rather than waited on: a fatal exit traces before
    // it tells the player, and must never hang there.
    std::string why;
    std::FILE* file = winx_OpenRegularFile("zvd.out", "a", why);
    if (!file) return;
    std::fprintf(file, "%s\n", text ? text : "");
    std::fclose(file);
}
