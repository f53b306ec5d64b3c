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
// Where the checksums' field listings go: $QX_CHECKSUM_LISTING, empty when unset (no listing).
std::string winx_ChecksumListingDirectory();
// Writes the listing of checksum NAME into that directory as NAME-PID.txt, PID this program's
// process id (every machine of a run may share the directory), atomically; false on failure.
bool winx_WriteChecksumListing(const std::string& name, const std::string& text);
