#include "platform/MovieWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

struct winx_MovieWriter::Encoder {
    AVCodecContext* context = nullptr;
    AVStream* stream = nullptr;
    AVFrame* frame = nullptr;
    int64_t nextPts = 0;
};

struct winx_MovieWriter::State {
    AVFormatContext* format = nullptr;
    Encoder video;
    Encoder sound;
    SwsContext* scaler = nullptr;
    int width = 0;
    int height = 0;
    int channels = 0;
    int file = -1;  // the movie file, written through format->pb
    bool headerWritten = false;
    bool failed = false;

    ~State() {
        for (Encoder* e : {&video, &sound}) {
            av_frame_free(&e->frame);
            avcodec_free_context(&e->context);
        }
        sws_freeContext(scaler);
        if (format) {
            if (format->pb) {
                av_freep(&format->pb->buffer);
                avio_context_free(&format->pb);
            }
            avformat_free_context(format);
        }
        if (file >= 0) close(file);
    }
};

namespace {

// FFmpeg's own file output opens the name again and follows a link there; the writer opens the
// file itself and hands FFmpeg these.
int WriteToFile(void* opaque, uint8_t* bytes, int size) {
    const int file = *static_cast<const int*>(opaque);
    for (int done = 0; done < size;) {
        const ssize_t n = write(file, bytes + done, static_cast<size_t>(size - done));
        if (n < 0 && errno == EINTR) continue;
        // A write that takes nothing without an error is a full device.
        if (n <= 0) return n < 0 ? AVERROR(errno) : AVERROR(ENOSPC);
        done += static_cast<int>(n);
    }
    return size;
}

int64_t SeekInFile(void* opaque, int64_t offset, int whence) {
    // A question for the size (AVSEEK_SIZE) fails here, and FFmpeg seeks to the end instead.
    const int file = *static_cast<const int*>(opaque);
    const off_t at = lseek(file, static_cast<off_t>(offset), whence & ~AVSEEK_FORCE);
    return at < 0 ? AVERROR(errno) : static_cast<int64_t>(at);
}

}  // namespace

winx_MovieWriter::winx_MovieWriter() = default;

winx_MovieWriter::~winx_MovieWriter() = default;

bool winx_MovieWriter::Fail(const std::string& message) {
    error = message;
    if (state) state->failed = true;
    return false;
}

bool winx_MovieWriter::Open(const std::string& path, int width, int height, int framesPerSecond,
                            int soundRate, int soundChannels) {
    state = std::make_unique<State>();
    error.clear();
    if (width <= 0 || height <= 0 || width % 2 != 0 || height % 2 != 0 || framesPerSecond <= 0) {
        return Fail("movie size and rate must be positive and the size even");
    }
    State& s = *state;
    s.width = width;
    s.height = height;
    if (avformat_alloc_output_context2(&s.format, nullptr, "mov", path.c_str()) < 0 || !s.format) {
        return Fail("no QuickTime muxer");
    }
    s.format->flags |= AVFMT_FLAG_BITEXACT;

    const AVCodec* videoCodec = avcodec_find_encoder(AV_CODEC_ID_MPEG4);
    if (!videoCodec) return Fail("no MPEG-4 encoder");
    s.video.stream = avformat_new_stream(s.format, nullptr);
    s.video.context = avcodec_alloc_context3(videoCodec);
    if (!s.video.stream || !s.video.context) return Fail("out of memory");
    AVCodecContext* v = s.video.context;
    v->width = width;
    v->height = height;
    v->time_base = AVRational{1, framesPerSecond};
    v->framerate = AVRational{framesPerSecond, 1};
    v->pix_fmt = AV_PIX_FMT_YUV420P;
    v->gop_size = framesPerSecond;
    v->bit_rate = 1200000;
    v->thread_count = 1;
    v->flags |= AV_CODEC_FLAG_BITEXACT;
    if (s.format->oformat->flags & AVFMT_GLOBALHEADER) v->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(v, videoCodec, nullptr) < 0) return Fail("cannot open the MPEG-4 encoder");
    avcodec_parameters_from_context(s.video.stream->codecpar, v);
    s.video.stream->time_base = v->time_base;
    s.video.frame = av_frame_alloc();
    if (!s.video.frame) return Fail("out of memory");
    s.video.frame->format = v->pix_fmt;
    s.video.frame->width = width;
    s.video.frame->height = height;
    if (av_frame_get_buffer(s.video.frame, 0) < 0) return Fail("out of memory");
    s.scaler =
        sws_getContext(width, height, AV_PIX_FMT_RGB24, width, height, AV_PIX_FMT_YUV420P,
                       SWS_BILINEAR | SWS_BITEXACT | SWS_ACCURATE_RND, nullptr, nullptr, nullptr);
    if (!s.scaler) return Fail("no colour converter");

    if (soundRate > 0) {
        if (soundChannels < 1 || soundChannels > 2) return Fail("sound must be mono or stereo");
        const AVCodec* pcm = avcodec_find_encoder(AV_CODEC_ID_PCM_S16LE);
        if (!pcm) return Fail("no PCM encoder");
        s.sound.stream = avformat_new_stream(s.format, nullptr);
        s.sound.context = avcodec_alloc_context3(pcm);
        if (!s.sound.stream || !s.sound.context) return Fail("out of memory");
        AVCodecContext* a = s.sound.context;
        a->sample_fmt = AV_SAMPLE_FMT_S16;
        a->sample_rate = soundRate;
        av_channel_layout_default(&a->ch_layout, soundChannels);
        a->time_base = AVRational{1, soundRate};
        a->flags |= AV_CODEC_FLAG_BITEXACT;
        if (avcodec_open2(a, pcm, nullptr) < 0) return Fail("cannot open the PCM encoder");
        avcodec_parameters_from_context(s.sound.stream->codecpar, a);
        s.sound.stream->time_base = a->time_base;
        s.sound.frame = av_frame_alloc();
        if (!s.sound.frame) return Fail("out of memory");
        s.channels = soundChannels;
    }

    // Not through a link at the name (it would write a file elsewhere), and only into a
    // regular file: the descriptor is checked before anything is written to it.
    s.file = open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC,
                  0644);
    if (s.file < 0) return Fail("cannot create " + path + ": " + std::strerror(errno));
    struct stat st {};
    if (fstat(s.file, &st) != 0 || !S_ISREG(st.st_mode))
        return Fail("cannot create " + path + ": it is not a regular file");
    if (ftruncate(s.file, 0) != 0)
        return Fail("cannot create " + path + ": " + std::strerror(errno));
    constexpr int kBufferSize = 32768;
    auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferSize));
    if (buffer) {
        s.format->pb =
            avio_alloc_context(buffer, kBufferSize, 1, &s.file, nullptr, WriteToFile, SeekInFile);
    }
    if (!s.format->pb) {
        av_free(buffer);
        return Fail("out of memory");
    }
    if (avformat_write_header(s.format, nullptr) < 0) return Fail("cannot write the movie header");
    s.headerWritten = true;
    return true;
}

bool winx_MovieWriter::Drain(Encoder& encoder, bool flush) {
    if (flush && avcodec_send_frame(encoder.context, nullptr) < 0)
        return Fail("encoder flush failed");
    AVPacket* packet = av_packet_alloc();
    if (!packet) return Fail("out of memory");
    bool ok = true;
    for (;;) {
        const int result = avcodec_receive_packet(encoder.context, packet);
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) break;
        if (result < 0) {
            ok = Fail("encoding failed");
            break;
        }
        // A picture lasts one frame. Without a duration the container's edit list would end
        // where the last picture starts, and players would drop that picture.
        if (packet->duration == 0 && encoder.context->codec_type == AVMEDIA_TYPE_VIDEO)
            packet->duration = 1;
        av_packet_rescale_ts(packet, encoder.context->time_base, encoder.stream->time_base);
        packet->stream_index = encoder.stream->index;
        if (av_interleaved_write_frame(state->format, packet) < 0) {
            ok = Fail("cannot write to the movie file");
            break;
        }
    }
    av_packet_free(&packet);
    return ok;
}

bool winx_MovieWriter::WriteFrame(const uint8_t* rgb, int pitch) {
    if (!state || !state->headerWritten || state->failed) return Fail("movie not open");
    if (!rgb || pitch < state->width * 3) return Fail("bad picture");
    Encoder& v = state->video;
    if (av_frame_make_writable(v.frame) < 0) return Fail("out of memory");
    const uint8_t* source[1] = {rgb};
    const int sourcePitch[1] = {pitch};
    sws_scale(state->scaler, source, sourcePitch, 0, state->height, v.frame->data,
              v.frame->linesize);
    v.frame->pts = v.nextPts++;
    if (avcodec_send_frame(v.context, v.frame) < 0) return Fail("encoding failed");
    return Drain(v, false);
}

bool winx_MovieWriter::WriteSound(const int16_t* samples, int frames) {
    if (!state || !state->headerWritten || state->failed || !state->sound.context) {
        return Fail("no sound track open");
    }
    Encoder& a = state->sound;
    constexpr int kChunk = 1024;
    for (int done = 0; done < frames;) {
        const int n = std::min(kChunk, frames - done);
        av_frame_unref(a.frame);
        a.frame->format = AV_SAMPLE_FMT_S16;
        a.frame->sample_rate = a.context->sample_rate;
        av_channel_layout_copy(&a.frame->ch_layout, &a.context->ch_layout);
        a.frame->nb_samples = n;
        if (av_frame_get_buffer(a.frame, 0) < 0) return Fail("out of memory");
        std::memcpy(a.frame->data[0], samples + static_cast<size_t>(done) * state->channels,
                    static_cast<size_t>(n) * state->channels * sizeof(int16_t));
        a.frame->pts = a.nextPts;
        a.nextPts += n;
        if (avcodec_send_frame(a.context, a.frame) < 0) return Fail("encoding failed");
        if (!Drain(a, false)) return false;
        done += n;
    }
    return true;
}

bool winx_MovieWriter::Close() {
    if (!state) return Fail("movie not open");
    bool ok = !state->failed && state->headerWritten;
    if (ok) {
        ok = Drain(state->video, true) && (!state->sound.context || Drain(state->sound, true));
        if (ok && av_write_trailer(state->format) < 0) ok = Fail("cannot finish the movie file");
        if (ok) avio_flush(state->format->pb);
        if (ok && state->format->pb->error < 0) ok = Fail("cannot write to the movie file");
        if (ok && close(std::exchange(state->file, -1)) != 0)
            ok = Fail("cannot finish the movie file");
    }
    state.reset();
    return ok;
}
