#include "support/TestMovie.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
}

#include <SDL.h>

#include <cmath>

namespace {

struct Encoder {
    AVCodecContext* context = nullptr;
    AVStream* stream = nullptr;
    ~Encoder() { avcodec_free_context(&context); }
};

int Drain(AVFormatContext* format, Encoder& encoder, AVPacket* packet) {
    while (true) {
        const int result = avcodec_receive_packet(encoder.context, packet);
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) return 1;
        if (result < 0) return 0;
        // Without a duration the container's edit list would end at the last frame's start.
        if (packet->duration == 0 && encoder.context->codec_type == AVMEDIA_TYPE_VIDEO)
            packet->duration = 1;
        av_packet_rescale_ts(packet, encoder.context->time_base, encoder.stream->time_base);
        packet->stream_index = encoder.stream->index;
        if (av_interleaved_write_frame(format, packet) < 0) return 0;
    }
}

int Send(AVFormatContext* format, Encoder& encoder, AVFrame* frame, AVPacket* packet) {
    if (avcodec_send_frame(encoder.context, frame) < 0) return 0;
    return Drain(format, encoder, packet);
}

}  // namespace

int WriteTestMovie(const std::string& path, const TestMovieSpec& spec) {
    AVFormatContext* format = nullptr;
    if (avformat_alloc_output_context2(&format, nullptr, "mov", path.c_str()) < 0) return 0;
    Encoder video;
    Encoder audio;
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    int ok = 0;
    do {
        const AVCodec* videoCodec = avcodec_find_encoder(AV_CODEC_ID_MPEG4);
        if (!videoCodec) break;
        video.stream = avformat_new_stream(format, nullptr);
        video.context = avcodec_alloc_context3(videoCodec);
        if (!video.stream || !video.context) break;
        video.context->width = spec.width;
        video.context->height = spec.height;
        video.context->pix_fmt = AV_PIX_FMT_YUV420P;
        video.context->time_base = AVRational{1, spec.framesPerSecond};
        video.context->framerate = AVRational{spec.framesPerSecond, 1};
        video.context->gop_size = 5;
        if (format->oformat->flags & AVFMT_GLOBALHEADER)
            video.context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        if (avcodec_open2(video.context, videoCodec, nullptr) < 0) break;
        avcodec_parameters_from_context(video.stream->codecpar, video.context);
        video.stream->time_base = video.context->time_base;

        if (spec.sound) {
            const AVCodec* audioCodec = avcodec_find_encoder(AV_CODEC_ID_PCM_S16LE);
            if (!audioCodec) break;
            audio.stream = avformat_new_stream(format, nullptr);
            audio.context = avcodec_alloc_context3(audioCodec);
            if (!audio.stream || !audio.context) break;
            audio.context->sample_fmt = AV_SAMPLE_FMT_S16;
            audio.context->sample_rate = 22050;
            AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
            av_channel_layout_copy(&audio.context->ch_layout, &stereo);
            audio.context->time_base = AVRational{1, 22050};
            if (avcodec_open2(audio.context, audioCodec, nullptr) < 0) break;
            avcodec_parameters_from_context(audio.stream->codecpar, audio.context);
            audio.stream->time_base = audio.context->time_base;
        }

        if (avio_open(&format->pb, path.c_str(), AVIO_FLAG_WRITE) < 0) break;
        if (avformat_write_header(format, nullptr) < 0) break;

        bool failed = false;
        for (int i = 0; i < spec.frames && !failed; ++i) {
            av_frame_unref(frame);
            frame->format = AV_PIX_FMT_YUV420P;
            frame->width = spec.width;
            frame->height = spec.height;
            if (av_frame_get_buffer(frame, 0) < 0) {
                failed = true;
                break;
            }
            for (int y = 0; y < spec.height; ++y)
                for (int x = 0; x < spec.width; ++x)
                    frame->data[0][y * frame->linesize[0] + x] =
                        static_cast<uint8_t>(x * 3 + y + i * 20);
            for (int y = 0; y < spec.height / 2; ++y)
                for (int x = 0; x < spec.width / 2; ++x) {
                    frame->data[1][y * frame->linesize[1] + x] = static_cast<uint8_t>(128 + i * 5);
                    frame->data[2][y * frame->linesize[2] + x] = static_cast<uint8_t>(64 + y);
                }
            frame->pts = i;
            if (spec.gapAfterFrame >= 0 && i > spec.gapAfterFrame)
                frame->pts += static_cast<int64_t>(spec.gapSeconds) * spec.framesPerSecond;
            failed = !Send(format, video, frame, packet);
        }
        if (failed || !Send(format, video, nullptr, packet)) break;

        if (spec.sound) {
            const int total = 22050 * spec.frames / spec.framesPerSecond;
            const int perFrame = 1024;
            for (int start = 0; start < total && !failed; start += perFrame) {
                av_frame_unref(frame);
                frame->format = AV_SAMPLE_FMT_S16;
                frame->nb_samples = std::min(perFrame, total - start);
                frame->sample_rate = 22050;
                AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
                av_channel_layout_copy(&frame->ch_layout, &stereo);
                if (av_frame_get_buffer(frame, 0) < 0) {
                    failed = true;
                    break;
                }
                auto* samples = reinterpret_cast<int16_t*>(frame->data[0]);
                for (int s = 0; s < frame->nb_samples; ++s) {
                    const auto value = static_cast<int16_t>(
                        8000.0 * std::sin(2.0 * M_PI * 440.0 * (start + s) / 22050.0));
                    samples[2 * s] = value;
                    samples[2 * s + 1] = value;
                }
                frame->pts = start;
                failed = !Send(format, audio, frame, packet);
            }
            if (failed || !Send(format, audio, nullptr, packet)) break;
        }
        ok = av_write_trailer(format) == 0 ? 1 : 0;
    } while (false);
    av_frame_free(&frame);
    av_packet_free(&packet);
    if (format->pb) avio_closep(&format->pb);
    avformat_free_context(format);
    return ok;
}

int PushTestKeyPress(char letter) {
    if (SDL_WasInit(SDL_INIT_EVENTS) == 0) return 0;
    SDL_Event down{};
    down.type = SDL_KEYDOWN;
    down.key.timestamp = SDL_GetTicks();
    down.key.state = SDL_PRESSED;
    down.key.keysym.sym = static_cast<SDL_Keycode>(letter);
    down.key.keysym.scancode = SDL_GetScancodeFromKey(down.key.keysym.sym);
    SDL_Event text{};
    text.type = SDL_TEXTINPUT;
    text.text.timestamp = down.key.timestamp;
    text.text.text[0] = letter;
    return SDL_PushEvent(&down) == 1 && SDL_PushEvent(&text) == 1 ? 1 : 0;
}

int PendingKeyAndTextEvents() {
    if (SDL_WasInit(SDL_INIT_EVENTS) == 0) return 0;
    SDL_PumpEvents();
    const int keys = SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_KEYDOWN, SDL_KEYDOWN);
    const int texts = SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_TEXTINPUT, SDL_TEXTINPUT);
    return (keys > 0 ? keys : 0) + (texts > 0 ? texts : 0);
}

int StartTestEventQueue() {
    return SDL_InitSubSystem(SDL_INIT_EVENTS) == 0 ? 1 : 0;
}

void StopTestEventQueue() {
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
}

int PushTestMouseMotion() {
    if (SDL_WasInit(SDL_INIT_EVENTS) == 0) return 0;
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.timestamp = SDL_GetTicks();
    motion.motion.x = 10;
    motion.motion.y = 20;
    return SDL_PushEvent(&motion) == 1 ? 1 : 0;
}

int PendingMouseMotions() {
    if (SDL_WasInit(SDL_INIT_EVENTS) == 0) return 0;
    const int count = SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_MOUSEMOTION, SDL_MOUSEMOTION);
    return count > 0 ? count : 0;
}
