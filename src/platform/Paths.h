#pragma once
// Turns the game's Windows-style file names into native paths: backslashes become slashes
// (also inside names), a drive letter goes through the drive table, and a path that does not
// exist as written is matched case-insensitively, component by component, since the game's
// names mix case freely.
#include <string>
#include <vector>

// The existing file when there is one; otherwise the best mapping, so that a new file can be
// created there. ".\Assets\x" becomes "./Assets/x"; "D:\Assets\..." lands in the directory
// of drive D (see Drives.h).
std::string winx_NativePath(const std::string& windowsPath);
// The names of the entries of the directory a Windows-style path maps to (empty for no such
// directory), in name order.
std::vector<std::string> winx_DirectoryNames(const std::string& windowsDir);
