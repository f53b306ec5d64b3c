#include "core/FatalError.h"

#include <cstdio>
#include <cstdlib>

#include "core/DisplayBase.h"
#include "core/MainLoop.h"
#include "core/Settings.h"
#include "core/Trace.h"
#include "platform/MessageBox.h"
#include "platform/Window.h"

namespace {
constexpr char kCaption[] = "Quarnex";
}

const char* FatalErrorMessage(int code) {
    switch (code) {
        case 0:
            return "Resource Missing";
        case 1:
            return "Out of Memory";
        case 2:
            return "Out of Disk Space";
        case 3:
            return "Cannot initialize DirectSound";
        case 4:
            return "Cannot initialize DirectDraw";
        case 5:
            return "Cannot initialize ActiveMovie";
        default:
            return "Fatal Error";
    }
}

void ResourceMissing(const std::string& what) {
    FatalError(0, what);
}

void FatalError(int code) {
    FatalError(code, std::string());
}

void FatalError(int code, const std::string& detail) {
    const char* message = FatalErrorMessage(code);
    // The player's box keeps the bare message; whoever reads the terminal or the trace learns
    // which file it was. The terminal comes first: it can never keep the program from ending.
    if (!detail.empty()) {
        std::fprintf(stderr, "%s: %s: %s\n", kCaption, message, detail.c_str());
    } else {
        std::fprintf(stderr, "%s: %s\n", kCaption, message);
    }
    std::fflush(stderr);
    traceOn = 1;
    Trace("\nFATAL ERROR");
    Trace(message);
    if (!detail.empty()) Trace(detail.c_str());
    // A loader may fail before the display exists; and a display failing again while it is
    // put aside must not keep the program from ending.
    if (display) {
        try {
            display->Suspend();
        } catch (...) {
        }
    }
    winx_ShowCursor(1);
    winx_MessageBox(mainWindow, message, kCaption, MB_OK);
    std::exit(255);
}

void OutOfMemoryHandler() {
    std::fprintf(stderr, "%s: OUT OF MEMORY/MEMORY FAILURE\n", kCaption);
    // The display's destructor gives the screen back.
    delete display;
    winx_ShowCursor(1);
    winx_MessageBox(mainWindow, "OUT OF MEMORY/MEMORY FAILURE", kCaption, MB_OKCANCEL);
    std::exit(255);
}
