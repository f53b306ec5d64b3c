#pragma once
// Opening the game's files so that nothing in a file's place can stall or fool the game: the
// descriptor is opened without blocking (a FIFO with no writer, a terminal or a device would
// otherwise hold open() or the first read for good), checked with fstat, and handed on only
// when it is a regular file. A FIFO, device, socket or directory counts as a damaged file.
#include <cstddef>
#include <cstdio>
#include <string>

// mode is "rb", "r", "wb", "w", "ab" or "a". Writing creates or truncates a regular file only,
// appending creates one or adds to its end: something else in the name's place is refused before
// anything is done to it. On failure null, and why holds
// the reason ("is not a regular file").
std::FILE* winx_OpenRegularFile(const std::string& path, const char* mode, std::string& why);
// 1 when the path names a regular file that can be opened for reading.
int winx_IsReadableRegularFile(const std::string& path);
// 1 when the path names something other than a regular file (a FIFO, device, socket or
// directory), found without opening it.
int winx_IsSpecialFile(const std::string& path);
// 1 when anything at all stands at the path (a dangling link included).
int winx_PathExists(const std::string& path);
// 1 for a directory (links followed).
int winx_IsDirectory(const std::string& path);
// Renames from to to only when nothing stands at to: 1 when moved, 0 when to is taken (nothing
// is done), -1 when the move failed otherwise (a read-only directory, no such file). An
// existing file is never replaced, whatever else renames at the same time.
int winx_RenameNoReplace(const std::string& from, const std::string& to);
// Gives the file at from the second name to (a hard link) while it keeps its own: 1 when
// linked, 0 when to is taken (nothing is done), -1 when the link failed otherwise, -2 when the
// file system or the file gives no second name (a directory, a file system without links).
int winx_LinkNoReplace(const std::string& from, const std::string& to);
// Writes the bytes into a new file at path and flushes them to the device: nothing may stand
// at the name (a link there is not followed). 1 when the whole file is there; else 0 with why,
// and a file begun is removed.
int winx_WriteNewFile(const std::string& path, const void* data, size_t size, std::string& why);
// Creates an empty new file at path for a writer that opens it by name: nothing may stand there.
// 1, or 0 with why.
int winx_CreateNewFile(const std::string& path, std::string& why);
// Flushes a file's contents, or a directory's entries, to the device: 1 when done.
int winx_SyncPath(const std::string& path);
