#pragma once
// FFmpeg's libraries, loaded when a movie first needs them; the handles go when the last movie
// that holds them closes, but the libraries stay mapped. The game links none of them: their long
// chain of dependencies (codecs, network and font libraries) would otherwise be mapped, and partly
// resident, from the start of every run although most runs play no movie at all. The sonames are
// those the build linked its tools against.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <memory>
#include <string>

// Every FFmpeg function the movie player calls, with the library that holds it.
#define WINX_FFMPEG_FUNCTIONS(X)               \
    X(kAvutil, av_dict_set)                    \
    X(kAvutil, av_dict_free)                   \
    X(kAvutil, av_frame_alloc)                 \
    X(kAvutil, av_frame_free)                  \
    X(kSwresample, swr_alloc_set_opts2)        \
    X(kSwresample, swr_init)                   \
    X(kSwresample, swr_free)                   \
    X(kSwresample, swr_get_out_samples)        \
    X(kSwresample, swr_convert)                \
    X(kSwscale, sws_getCachedContext)          \
    X(kSwscale, sws_scale)                     \
    X(kSwscale, sws_freeContext)               \
    X(kAvcodec, avcodec_find_decoder)          \
    X(kAvcodec, avcodec_alloc_context3)        \
    X(kAvcodec, avcodec_parameters_to_context) \
    X(kAvcodec, avcodec_open2)                 \
    X(kAvcodec, avcodec_free_context)          \
    X(kAvcodec, avcodec_send_packet)           \
    X(kAvcodec, avcodec_receive_frame)         \
    X(kAvcodec, av_packet_alloc)               \
    X(kAvcodec, av_packet_free)                \
    X(kAvcodec, av_packet_unref)               \
    X(kAvformat, avformat_open_input)          \
    X(kAvformat, avformat_find_stream_info)    \
    X(kAvformat, avformat_close_input)         \
    X(kAvformat, av_find_best_stream)          \
    X(kAvformat, av_read_frame)                \
    X(kAvformat, av_guess_frame_rate)

class winx_FfmpegLibrary {
public:
    // In loading order: each library's own FFmpeg dependencies come before it.
    enum Library { kAvutil, kSwresample, kSwscale, kAvcodec, kAvformat, kLibraryCount };

    // The libraries with every function above, loaded now unless a movie still holds them;
    // null when a library or a function is missing, with a message naming it in error.
    static std::shared_ptr<const winx_FfmpegLibrary> Load(std::string& error);
    // The soname of a library, as the build found it.
    static const char* Soname(Library library);

    ~winx_FfmpegLibrary();
    winx_FfmpegLibrary(const winx_FfmpegLibrary&) = delete;
    winx_FfmpegLibrary& operator=(const winx_FfmpegLibrary&) = delete;

#define WINX_FFMPEG_MEMBER(library, name) decltype(&::name) name = nullptr;
    WINX_FFMPEG_FUNCTIONS(WINX_FFMPEG_MEMBER)
#undef WINX_FFMPEG_MEMBER

private:
    winx_FfmpegLibrary() = default;

    void* handles[kLibraryCount] = {};
};
