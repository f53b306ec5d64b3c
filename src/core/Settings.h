#pragma once
// The program-wide settings read from QX.INI at start-up, the debug toggles, and access to
// any other key of the settings file.
#include <cstdint>

extern int32_t flipEnabled;   // DISPLAY FLIP: 1 page flipping, 0 copying
extern char discDriveLetter;  // PATH CD_ASSETS: the asset volume's letter, '?' to search
extern int32_t moviesOff;     // OPTIONS MOVIES
extern int32_t tcpPort;       // COMMUNICATIONS PORT
extern int32_t lowDetail;     // PERFORMANCE DETAIL; toggled by Ctrl+X with CHEAT on
extern int32_t scrollStep;    // PERFORMANCE SCROLL: 64 or 32 pixels
extern int32_t autosaveOn;    // OPTIONS AUTOSAVE
extern int32_t noShake;       // OPTIONS NOSHAKE
extern int32_t cheatsOn;      // OPTIONS CHEAT: enables the Ctrl debug toggles
extern int32_t traceOn;       // writes Trace lines to zvd.out; Ctrl+L with CHEAT on
extern int32_t aiDebugFlag;   // Ctrl+F with CHEAT on
extern int32_t autoPlayFlag;  // Ctrl+A with CHEAT on: the local team plays itself

// Reads the settings above from ".//QX.INI"; missing keys leave the defaults, numbers are
// held to their meaningful range, and a file that cannot be read (a directory, a device, over
// 1 MiB) counts as absent, with a line on stderr and in the trace.
void LoadSettings();
// Reads a key of ".//<stem>.INI" into buffer (truncated to size, zero-terminated); the number
// of characters copied, 0 when the key is absent.
int ReadProfileValue(const char* stem, const char* section, const char* key, char* buffer,
                     int size);
// Reads a key of ".//<stem>.INI" as "%d" reads a number, held to [lowest, highest]: 1 and the
// number, or 0 (number unchanged) when the key is absent or empty or does not start as a number.
int ReadProfileNumber(const char* stem, const char* section, const char* key, int lowest,
                      int highest, int32_t& number);
// Writes a key of ".//<stem>.INI"; 1 on success.
int WriteProfileValue(const char* stem, const char* section, const char* key, const char* value);
