#pragma once
// The one way an unrecoverable condition ends the program: trace, restore the screen, tell
// the player, exit with code 255.
#include <string>

// 0 "Resource Missing", 1 "Out of Memory", 2 "Out of Disk Space", 3 "Cannot initialize
// DirectSound", 4 "Cannot initialize DirectDraw", 5 "Cannot initialize ActiveMovie", any
// other "Fatal Error".
const char* FatalErrorMessage(int code);
[[noreturn]] void FatalError(int code);
// The same with a line of detail on stderr and in the trace (empty: none).
[[noreturn]] void FatalError(int code, const std::string& detail);
// FatalError with code 0 for a data file that is missing or damaged: what names the file and
// what is wrong with it, on stderr and in the trace file.
[[noreturn]] void ResourceMissing(const std::string& what);
// The allocation-failure handler (std::set_new_handler).
[[noreturn]] void OutOfMemoryHandler();
