#include "platform/Capture.h"

#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <vector>

namespace {
std::deque<std::string>& Requests() {
    static std::deque<std::string> requests;
    return requests;
}

// The caller says what went wrong, once: libpng is kept from printing its own lines.
void QuietError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void QuietWarning(png_structp, png_const_charp) {}

// libpng reports errors by longjmp: this frame holds nothing that needs unwinding.
bool WriteImage(png_structp png, png_infop info, FILE* file, int width, int height, int colourType,
                png_colorp colours, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 colourType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (colours) png_set_PLTE(png, info, colours, 256);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, info);
    return true;
}

// Writes the rows into a temporary file beside path, then renames it over path.
bool WritePng(const std::string& path, const uint8_t* pixels, int width, int height, int pitch,
              int colourType, png_colorp colours, std::string* error) {
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        rows[y] = const_cast<png_bytep>(pixels + static_cast<ptrdiff_t>(y) * pitch);
    }
    std::string temp = path + ".XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) {
        if (error) *error = std::strerror(errno);
        return false;
    }
    fchmod(fd, 0644);
    FILE* file = fdopen(fd, "wb");
    if (!file) {
        if (error) *error = std::strerror(errno);
        close(fd);
        unlink(temp.c_str());
        return false;
    }
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, QuietError, QuietWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    errno = 0;
    bool ok =
        png && info && WriteImage(png, info, file, width, height, colourType, colours, rows.data());
    int failure = ok ? 0 : errno;
    if (png) png_destroy_write_struct(&png, info ? &info : nullptr);
    const auto note = [&](bool step) {
        if (!step && failure == 0) failure = errno;
        ok = ok && step;
    };
    note(std::fflush(file) == 0);
    note(fsync(fileno(file)) == 0);
    note(std::fclose(file) == 0);
    if (ok && std::rename(temp.c_str(), path.c_str()) != 0) {
        failure = errno;
        ok = false;
    }
    if (!ok) {
        if (error) *error = failure ? std::strerror(failure) : "the picture could not be written";
        unlink(temp.c_str());
    }
    return ok;
}

}  // namespace

void winx_RequestCapture(const std::string& name) {
    Requests().push_back(name);
}

std::string winx_CaptureDirectory() {
    const char* directory = std::getenv("QX_CAPTURE");
    return directory ? directory : "";
}

std::string winx_TakeCaptureRequest() {
    if (Requests().empty()) return {};
    std::string name = Requests().front();
    Requests().pop_front();
    return name;
}

bool winx_WritePalettedPng(const std::string& path, const uint8_t* pixels, int width, int height,
                           int pitch, const uint8_t* rgbPalette, std::string* error) {
    if (!pixels || !rgbPalette || width <= 0 || height <= 0) {
        if (error) *error = "no picture";
        return false;
    }
    std::vector<png_color> colours(256);
    for (int i = 0; i < 256; ++i) {
        colours[i] = png_color{rgbPalette[3 * i], rgbPalette[3 * i + 1], rgbPalette[3 * i + 2]};
    }
    return WritePng(path, pixels, width, height, pitch, PNG_COLOR_TYPE_PALETTE, colours.data(),
                    error);
}

bool winx_WriteRgbPng(const std::string& path, const uint8_t* pixels, int width, int height,
                      int pitch, std::string* error) {
    if (!pixels || width <= 0 || height <= 0) {
        if (error) *error = "no picture";
        return false;
    }
    return WritePng(path, pixels, width, height, pitch, PNG_COLOR_TYPE_RGB, nullptr, error);
}
