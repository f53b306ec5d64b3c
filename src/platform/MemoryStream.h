#pragma once
// A read-only stdio stream over bytes in memory, so that a reader of files can read bytes it
// is handed (a fuzz target's input) without a detour through a file.
#include <cstddef>
#include <cstdio>

// The bytes must outlive the stream; null when no stream could be made.
std::FILE* winx_OpenMemoryStream(const void* data, size_t size);
