#pragma once
// The one way an unrecoverable condition ends the program: trace, restore the screen, tell
// the player, exit with code 255.

// 0 "Resource Missing", 1 "Out of Memory", 2 "Out of Disk Space", 3 "Cannot initialize
// DirectSound", 4 "Cannot initialize DirectDraw", 5 "Cannot initialize ActiveMovie", any
// other "Fatal Error".
const char* FatalErrorMessage(int code);
[[noreturn]] void FatalError(int code);
// The allocation-failure handler (std::set_new_handler).
[[noreturn]] void OutOfMemoryHandler();
