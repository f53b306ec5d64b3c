#include "support/TestMovie.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <SDL.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "platform/MovieWriter.h"

int CopyTestMovie(const std::string& from, const std::string& to, int extraTrackOf,
                  const PacketCopy& each) {
    AVFormatContext* input = nullptr;
    if (avformat_open_input(&input, from.c_str(), nullptr, nullptr) < 0) return 0;
    AVFormatContext* output = nullptr;
    AVPacket* packet = av_packet_alloc();
    int ok = 0;
    do {
        if (avformat_find_stream_info(input, nullptr) < 0) break;
        if (avformat_alloc_output_context2(&output, nullptr, "mov", to.c_str()) < 0) break;
        const unsigned streams = input->nb_streams;
        if (extraTrackOf >= static_cast<int>(streams)) break;
        bool made = true;
        for (unsigned i = 0; i < streams + (extraTrackOf >= 0 ? 1 : 0) && made; ++i) {
            const bool extra = i == streams;
            const AVStream* in = input->streams[extra ? extraTrackOf : i];
            AVStream* stream = avformat_new_stream(output, nullptr);
            made = stream && avcodec_parameters_copy(stream->codecpar, in->codecpar) >= 0;
            if (!made) break;
            stream->codecpar->codec_tag = 0;
            stream->time_base = in->time_base;
            stream->disposition = extra ? 0 : in->disposition;
        }
        if (!made || avio_open(&output->pb, to.c_str(), AVIO_FLAG_WRITE) < 0) break;
        if (avformat_write_header(output, nullptr) < 0) break;
        const PacketWrite write = [&](AVPacket* out) {
            const int source =
                out->stream_index == static_cast<int>(streams) ? extraTrackOf : out->stream_index;
            av_packet_rescale_ts(out, input->streams[source]->time_base,
                                 output->streams[out->stream_index]->time_base);
            return av_interleaved_write_frame(output, out) >= 0;
        };
        bool failed = false;
        while (!failed && av_read_frame(input, packet) >= 0) {
            failed = each ? !each(input, packet, write) : !write(packet);
            av_packet_unref(packet);
        }
        ok = !failed && av_write_trailer(output) == 0 ? 1 : 0;
    } while (false);
    av_packet_free(&packet);
    if (output) {
        if (output->pb) avio_closep(&output->pb);
        avformat_free_context(output);
    }
    avformat_close_input(&input);
    return ok;
}

namespace {

// Copies a movie, stamping every video packet startSeconds later and those after
// gapAfterFrame gapSeconds more (none for -1). The writer leaves its video packets without a
// duration, so the container's edit list ends where the last picture starts and a reader drops that
// picture; the copy gives every picture one frame's duration and keeps it.
int Remux(const std::string& from, const std::string& to, int framesPerSecond, int gapAfterFrame,
          int gapSeconds, int startSeconds) {
    int videoPackets = 0;
    return CopyTestMovie(
        from, to, -1, [&](AVFormatContext* input, AVPacket* packet, const PacketWrite& write) {
            const AVStream* in = input->streams[packet->stream_index];
            if (in->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
                packet->flags &= ~AV_PKT_FLAG_DISCARD;
                if (packet->duration == 0)
                    packet->duration =
                        av_rescale_q(1, AVRational{1, framesPerSecond}, in->time_base);
                const int seconds =
                    startSeconds +
                    (gapAfterFrame >= 0 && videoPackets > gapAfterFrame ? gapSeconds : 0);
                if (seconds != 0) {
                    const int64_t shift = av_rescale_q(seconds, AVRational{1, 1}, in->time_base);
                    if (packet->pts != AV_NOPTS_VALUE) packet->pts += shift;
                    if (packet->dts != AV_NOPTS_VALUE) packet->dts += shift;
                }
                ++videoPackets;
            }
            return write(packet);
        });
}

}  // namespace

int WriteTestMovie(const std::string& path, const TestMovieShape& shape) {
    const std::string written = path + ".written.mov";
    winx_MovieWriter writer;
    const int soundRate = shape.sound ? 22050 : 0;
    if (!writer.Open(written, shape.width, shape.height, shape.framesPerSecond, soundRate, 2))
        return 0;
    std::vector<uint8_t> picture(static_cast<size_t>(shape.width) * shape.height * 3);
    const int soundPerFrame = 22050 / shape.framesPerSecond;
    std::vector<int16_t> sound(static_cast<size_t>(soundPerFrame) * 2);
    for (int i = 0; i < shape.frames; ++i) {
        for (int y = 0; y < shape.height; ++y) {
            for (int x = 0; x < shape.width; ++x) {
                uint8_t* rgb = &picture[(static_cast<size_t>(y) * shape.width + x) * 3];
                rgb[0] = static_cast<uint8_t>(x * 3 + i * 20);
                rgb[1] = static_cast<uint8_t>(y * 4);
                rgb[2] = static_cast<uint8_t>(128 + i * 5);
            }
        }
        if (!writer.WriteFrame(picture.data(), shape.width * 3)) return 0;
        if (shape.sound) {
            for (int s = 0; s < soundPerFrame; ++s) {
                const double t = static_cast<double>(i * soundPerFrame + s) / 22050.0;
                const auto value = static_cast<int16_t>(8000.0 * std::sin(2.0 * M_PI * 440.0 * t));
                sound[2 * s] = value;
                sound[2 * s + 1] = value;
            }
            if (!writer.WriteSound(sound.data(), soundPerFrame)) return 0;
        }
    }
    if (!writer.Close()) return 0;
    const int ok = Remux(written, path, shape.framesPerSecond, shape.gapAfterFrame,
                         shape.gapSeconds, shape.startSeconds);
    std::remove(written.c_str());
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
