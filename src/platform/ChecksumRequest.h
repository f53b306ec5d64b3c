#pragma once
// State checksums for the determinism checks of headless runs: a named request (from the input
// script's `checksum NAME`) makes the World write its state checksum at the start of its next
// tick into $QX_CAPTURE/NAME.txt.
#include <cstdint>
#include <string>

void winx_RequestChecksum(const std::string& name);
// The oldest pending request's name, removed from the queue; empty when there is none.
std::string winx_TakeChecksumRequest();
// Writes the value as 16 hex digits and a line feed into $QX_CAPTURE/NAME.txt (the current
// directory when QX_CAPTURE is unset), atomically; false when it cannot be written.
bool winx_WriteChecksumFile(const std::string& name, uint64_t value);
