#include "core/Settings.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>

#include "core/Trace.h"
#include "platform/Profile.h"

int32_t flipEnabled = 1;
char discDriveLetter = '?';
int32_t moviesOff = 0;
int32_t tcpPort = 3385;
int32_t lowDetail = 0;
int32_t scrollStep = 64;
int32_t autosaveOn = 0;
int32_t noShake = 0;
int32_t cheatsOn = 0;
int32_t traceOn = 0;
int32_t aiDebugFlag = 0;
int32_t autoPlayFlag = 0;

namespace {

constexpr char kSettingsFile[] = ".//QX.INI";
constexpr int kValueSize = 1024;
constexpr int kHighestPort = 65535;

std::string ProfilePath(const char* stem) {
    return std::string(".//") + stem + ".INI";
}

// The first character of the value, upper-cased; 0 when nothing was read.
char FirstCharacter(const char* section, const char* key, const char* defaultValue) {
    char value[kValueSize];
    int length =
        winx_GetPrivateProfileString(section, key, defaultValue, value, kValueSize, kSettingsFile);
    if (length < 1) return 0;
    return static_cast<char>(std::toupper(static_cast<unsigned char>(value[0])));
}

}  // namespace

void LoadSettings() {
    {
        std::string contents;
        std::string why;
        if (winx_ReadProfileFile(kSettingsFile, contents, why) == winx_ProfileFile::Unreadable) {
            const std::string line = "QX.INI " + why + ": the settings keep their defaults";
            std::fprintf(stderr, "Quarnex: %s\n", line.c_str());
            Trace(line.c_str());
        }
    }
    if (FirstCharacter("DISPLAY", "FLIP", "YES") == 'N') flipEnabled = 0;
    {
        char value[kValueSize];
        if (winx_GetPrivateProfileString("PATH", "CD_ASSETS", "?", value, kValueSize,
                                         kSettingsFile) > 0)
            discDriveLetter = value[0];
    }
    if (FirstCharacter("OPTIONS", "MOVIES", "YES") == 'N') moviesOff = 1;
    tcpPort = std::clamp(winx_GetPrivateProfileInt("COMMUNICATIONS", "PORT", 3385, kSettingsFile),
                         0, kHighestPort);
    if (FirstCharacter("PERFORMANCE", "DETAIL", "HIGH") == 'L') lowDetail = 1;
    if (FirstCharacter("PERFORMANCE", "SCROLL", "FAST") == 'S') scrollStep = 32;
    if (FirstCharacter("OPTIONS", "AUTOSAVE", "NO") == 'Y') autosaveOn = 1;
    if (FirstCharacter("OPTIONS", "NOSHAKE", "NO") == 'Y') noShake = 1;
    if (FirstCharacter("OPTIONS", "CHEAT", "NO") == 'Y') cheatsOn = 1;
}

int ReadProfileValue(const char* stem, const char* section, const char* key, char* buffer,
                     int size) {
    return winx_GetPrivateProfileString(section, key, "", buffer, size, ProfilePath(stem).c_str());
}

int ReadProfileNumber(const char* stem, const char* section, const char* key, int lowest,
                      int highest, int32_t& number) {
    char value[kValueSize];
    ReadProfileValue(stem, section, key, value, kValueSize);
    int read = 0;
    if (!winx_ScanProfileNumber(value, read)) return 0;
    number = std::clamp(read, lowest, highest);
    return 1;
}

int WriteProfileValue(const char* stem, const char* section, const char* key, const char* value) {
    return winx_WritePrivateProfileString(section, key, value, ProfilePath(stem).c_str());
}
