#include "platform/Capture.h"

#include <png.h>

#include <cstddef>
#include <cstdio>
#include <deque>
#include <vector>

namespace {
std::deque<std::string>& Requests() {
    static std::deque<std::string> requests;
    return requests;
}

// libpng reports errors by longjmp: this frame holds nothing that needs unwinding.
bool WriteImage(png_structp png, png_infop info, FILE* file, int width, int height,
                png_colorp colours, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_PLTE(png, info, colours, 256);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, info);
    return true;
}
}  // namespace

void winx_RequestCapture(const std::string& name) {
    Requests().push_back(name);
}

std::string winx_TakeCaptureRequest() {
    if (Requests().empty()) return {};
    std::string name = Requests().front();
    Requests().pop_front();
    return name;
}

bool winx_WritePalettedPng(const std::string& path, const uint8_t* pixels, int width, int height,
                           int pitch, const uint8_t* rgbPalette) {
    if (!pixels || !rgbPalette || width <= 0 || height <= 0) return false;
    std::vector<png_color> colours(256);
    for (int i = 0; i < 256; ++i) {
        colours[i] = png_color{rgbPalette[3 * i], rgbPalette[3 * i + 1], rgbPalette[3 * i + 2]};
    }
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        rows[y] = const_cast<png_bytep>(pixels + static_cast<ptrdiff_t>(y) * pitch);
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok =
        png && info && WriteImage(png, info, file, width, height, colours.data(), rows.data());
    if (png) png_destroy_write_struct(&png, info ? &info : nullptr);
    if (std::fclose(file) != 0) ok = false;
    return ok;
}
