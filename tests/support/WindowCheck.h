#pragma once
// Checks that a page sent to the window in part leaves the window as the same page sent whole:
// what the window shows is read back after the display's present, then the page is sent again
// whole (through a palette changed and restored, so that every row is converted afresh and
// scaled in one piece) and read back once more.
#include <cstdint>
#include <string>
#include <vector>

class Palette;
class winx_Display;

// What the main window shows, 0xAARRGGBB row after row (empty when it cannot be read).
std::vector<uint32_t> WindowPixels();

// Presents the front page as it stands once more, whole, and returns the window's pixels.
std::vector<uint32_t> WindowPixelsOfWholePresent(winx_Display& screen, Palette& palette);

// Draws `frames` pages of changing rows (single rows, scattered rows, bands, every row; a
// palette change among them), each presented in part and compared with the same page sent
// whole. Empty when every window pixel agreed, else a description of the first difference.
std::string PartialPresentMismatch(winx_Display& screen, Palette& palette, int frames);
