#pragma once
// Drive letters and volume labels for finding the asset volume. Each directory under
// ./volumes/ of the working directory, then each directory under /media/$USER,
// /run/media/$USER and /mnt, is a CD-ROM drive with the next free letter from D:, and its
// volume label is the directory's name. Letters compare case-insensitively. The table is
// looked up afresh on every call, so a volume mounted while the game runs is seen.
#include <cstdint>
#include <string>

constexpr int kDriveNoRootDir = 1;
constexpr int kDriveCdRom = 5;

// Bit 0 is drive A.
uint32_t winx_GetLogicalDrives();
// kDriveCdRom for a mapped volume, kDriveNoRootDir otherwise. root is like "d:\".
int winx_GetDriveType(const char* root);
// Copies the volume label (cut to labelSize - 1 characters); 1 on success, 0 for no volume.
int winx_GetVolumeInformation(const char* root, char* label, int labelSize);
// The native directory of a drive, empty when the letter has no volume.
std::string winx_DriveDirectory(char letter);
