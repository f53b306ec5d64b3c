#pragma once
// The trace file zvd.out in the working directory: one line per call while traceOn is 1.

// Appends the text as a line; a file that cannot be opened is skipped.
void Trace(const char* text);
