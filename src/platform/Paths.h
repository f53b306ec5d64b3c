#pragma once
// Turns the game's Windows-style file names into native paths: backslashes become slashes
// (also inside names), a drive letter goes through the drive table, and a path that does not
// exist as written is matched case-insensitively, component by component, since the game's
// names mix case freely.
#include <string>

// The existing file when there is one; otherwise the best mapping, so that a new file can be
// created there. ".\Assets\x" becomes "./Assets/x"; "D:\Assets\..." lands in the directory
// of drive D (see Drives.h).
std::string winx_NativePath(const std::string& windowsPath);
