#pragma once
// The profile-file functions behind QX.INI, with the Windows calls' semantics: sections and
// keys match case-insensitively, values are trimmed, an absent key gives the default, and a
// write keeps every other line of the file. File names go through winx_NativePath.
#include <string>
#include <string_view>

// Copies the value (or the default; null means "") into out, cut to outSize - 1 characters,
// always terminated; answers the number of characters copied. A null section or key gives
// the default: the Windows listing of sections and keys is not offered.
int winx_GetPrivateProfileString(const char* section, const char* key, const char* defaultValue,
                                 char* out, int outSize, const char* file);
// The value as a base-10 integer ("08" is 8); a value that is not a number gives 0.
int winx_GetPrivateProfileInt(const char* section, const char* key, int defaultValue,
                              const char* file);
// Sets key = value in section, creating either as needed; a null value removes the key and a
// null key the whole section. The file is rewritten through a temporary file and a rename, so
// a failed write leaves the old file whole. 1 on success.
int winx_WritePrivateProfileString(const char* section, const char* key, const char* value,
                                   const char* file);

// The parsing and rewriting behind the three calls, on the file's text.
// 1 and the trimmed value when section and key are found.
int winx_FindProfileValue(std::string_view contents, std::string_view section, std::string_view key,
                          std::string& value);
std::string winx_UpdateProfileText(std::string_view contents, const char* section, const char* key,
                                   const char* value);
