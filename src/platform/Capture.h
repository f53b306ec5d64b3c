#pragma once
// Frame capture for headless runs: a named request (from the input script or the capture key)
// makes the display write its next presented frame as a PNG into $QX_CAPTURE.
#include <cstdint>
#include <string>

void winx_RequestCapture(const std::string& name);
// The pending request's name, removed from the queue; empty when there is none.
std::string winx_TakeCaptureRequest();

// Writes an 8-bit paletted picture (width x height, `pitch` bytes per row) as a PNG through a
// palette of 256 RGB triples. False when the file cannot be written.
bool winx_WritePalettedPng(const std::string& path, const uint8_t* pixels, int width, int height,
                           int pitch, const uint8_t* rgbPalette);
