#pragma once
// The small readers and writers of record lines that the unit subclasses share with the Sim's
// own keys: bounded number lists and lines written whole or not at all.
#include <cstdint>

class ResourceFile;

// Reads up to `count` comma-separated decimal integers, each clamped to 32 bits; answers how
// many were read before the first that is not a number.
int ReadRecordNumbers(const char* text, int32_t* out, int count);

// A line the buffer cannot hold whole is not written cut.
void WriteRecordLine(ResourceFile& file, char* buffer, int bufferSize, const char* format, ...)
    __attribute__((format(printf, 4, 5)));
