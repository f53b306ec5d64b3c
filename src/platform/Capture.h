#pragma once
// Frame capture for headless runs: a named request (from the input script or the capture key)
// makes the display write its next presented frame as a PNG into $QX_CAPTURE.
#include <cstdint>
#include <string>

void winx_RequestCapture(const std::string& name);
// $QX_CAPTURE, the directory captures go to; empty when captures are not wanted.
std::string winx_CaptureDirectory();
// The pending request's name, removed from the queue; empty when there is none.
std::string winx_TakeCaptureRequest();

// Writes an 8-bit paletted picture (width x height, `pitch` bytes per row) as a PNG through a
// palette of 256 RGB triples. The file is written beside the target and renamed over it once
// whole, so a failed write (a full disk, a missing or read-only directory, a file-size limit)
// leaves no file behind: false, with the reason in error when given.
bool winx_WritePalettedPng(const std::string& path, const uint8_t* pixels, int width, int height,
                           int pitch, const uint8_t* rgbPalette, std::string* error = nullptr);
// The same for 24-bit RGB pixels (3 bytes a pixel).
bool winx_WriteRgbPng(const std::string& path, const uint8_t* pixels, int width, int height,
                      int pitch, std::string* error = nullptr);
