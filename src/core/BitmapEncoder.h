#pragma once
// Writes pictures in the stored bitmap format (18-byte big-endian header, then pixel data):
// run-length coded with transparent and shade areas, or raw rows. The asset maker and the
// tests use it; the game itself only reads pictures.
#include <cstdint>
#include <vector>

struct BitmapPlacement {
    int32_t originX = 0;  // the picture's top-left inside its frame box
    int32_t originY = 0;
    int32_t frameWidth = 0;  // 0 takes the picture's width
    int32_t frameHeight = 0;
};

// Which pixel values of the source are not drawn: `transparent` becomes clear skips and
// `shade` (when 0..255) becomes shade areas. -1 disables a key.
struct BitmapKeys {
    int32_t transparent = 0;
    int32_t shade = -1;
};

// Run-length codes width x height pixels read with `pitch` bytes per row.
std::vector<uint8_t> EncodeBitmap(const uint8_t* pixels, int32_t width, int32_t height,
                                  int32_t pitch, const BitmapPlacement& placement = {},
                                  const BitmapKeys& keys = {});

// Stores the pixels as raw rows (row stride = width); every byte is drawn.
std::vector<uint8_t> EncodeRawBitmap(const uint8_t* pixels, int32_t width, int32_t height,
                                     int32_t pitch, const BitmapPlacement& placement = {});

// The 18-byte header alone, for hand-made streams.
std::vector<uint8_t> BitmapHeader(int32_t frameWidth, int32_t frameHeight, int32_t originX,
                                  int32_t originY, int32_t rowStride, int32_t width, int32_t height,
                                  int32_t coding);
