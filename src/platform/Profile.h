#pragma once
// The profile-file functions behind QX.INI, with the Windows calls' semantics: sections and
// keys match case-insensitively, values are trimmed, an absent key gives the default, and a
// write keeps every other line of the file. File names go through winx_NativePath.
// A settings file comes from outside: only a regular file of at most kMaxProfileBytes is read,
// opened without blocking, and a file that cannot be read counts as absent. The text read is
// kept while the file stays as it was, so a run of lookups reads it once. A UTF-8 byte-order
// mark before the first line is skipped (and kept by a write).
#include <cstddef>
#include <string>
#include <string_view>

constexpr size_t kMaxProfileBytes = 1 << 20;

enum class winx_ProfileFile { Read, Absent, Unreadable };

// Reads the file's text; for an unreadable file (a directory, a device, a pipe, a file over
// the limit, a read error) `why` says what is wrong and contents is empty.
winx_ProfileFile winx_ReadProfileFile(const char* file, std::string& contents, std::string& why);

// Copies the value (or the default; null means "") into out, cut to outSize - 1 characters,
// always terminated; answers the number of characters copied. A null section or key gives
// the default: the Windows listing of sections and keys is not offered.
int winx_GetPrivateProfileString(const char* section, const char* key, const char* defaultValue,
                                 char* out, int outSize, const char* file);
// The value as a base-10 integer ("08" is 8); a value that is not a number gives 0, a number
// beyond the int range the nearest end of it.
int winx_GetPrivateProfileInt(const char* section, const char* key, int defaultValue,
                              const char* file);
// Sets key = value in section, creating either as needed; a null value removes the key and a
// null key the whole section. The file is rewritten through a temporary file and a rename, so
// a failed write leaves the old file whole; a file that exists but cannot be read is left
// alone. 1 on success.
int winx_WritePrivateProfileString(const char* section, const char* key, const char* value,
                                   const char* file);

// The parsing and rewriting behind the three calls, on the file's text.
// 1 and the trimmed value when section and key are found.
int winx_FindProfileValue(std::string_view contents, std::string_view section, std::string_view key,
                          std::string& value);
// Reads a number as "%d" does after the leading blanks: an optional sign and at least one
// digit, saturating at the int range. False when the text does not start so.
bool winx_ScanProfileNumber(std::string_view text, int& number);
std::string winx_UpdateProfileText(std::string_view contents, const char* section, const char* key,
                                   const char* value);
