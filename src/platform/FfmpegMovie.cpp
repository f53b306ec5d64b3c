#include "platform/FfmpegMovie.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "platform/Capture.h"
#include "platform/Clock.h"
#include "platform/FfmpegLibrary.h"
#include "platform/Messages.h"
#include "platform/RegularFile.h"
#include "platform/SdlVideo.h"
#include "platform/Termination.h"

namespace {

// After the last video frame the sound may run on this much longer at most (ms).
constexpr uint64_t kAudioTailMs = 2000;
// The longest pause between two pictures that a movie may make.
constexpr double kMaxFrameGapSeconds = 2.0;

AVCodecContext* OpenDecoder(const winx_FfmpegLibrary& ff, AVFormatContext* format, int stream) {
    const AVCodecParameters* parameters = format->streams[stream]->codecpar;
    const AVCodec* codec = ff.avcodec_find_decoder(parameters->codec_id);
    if (!codec) return nullptr;
    AVCodecContext* context = ff.avcodec_alloc_context3(codec);
    if (!context) return nullptr;
    if (ff.avcodec_parameters_to_context(context, parameters) < 0 ||
        ff.avcodec_open2(context, codec, nullptr) < 0) {
        ff.avcodec_free_context(&context);
        return nullptr;
    }
    return context;
}

// Where a width x height picture shows in an output of outWidth x outHeight: scaled to fill it
// while keeping its shape, centred, black around it.
SDL_Rect PlacePicture(int width, int height, int outWidth, int outHeight) {
    SDL_Rect place{0, 0, outWidth, outHeight};
    if (static_cast<int64_t>(outWidth) * height > static_cast<int64_t>(outHeight) * width) {
        place.w = static_cast<int>(static_cast<int64_t>(outHeight) * width / height);
        place.x = (outWidth - place.w) / 2;
    } else {
        place.h = static_cast<int>(static_cast<int64_t>(outWidth) * height / width);
        place.y = (outHeight - place.h) / 2;
    }
    return place;
}

// Scales samples by an attenuation in hundredths of a decibel.
void Attenuate(std::vector<int16_t>& samples, int32_t attenuation) {
    if (attenuation >= 0) return;
    const double gain = attenuation <= -10000 ? 0.0 : std::pow(10.0, attenuation / 2000.0);
    for (int16_t& sample : samples)
        sample = static_cast<int16_t>(std::lrint(sample * gain));
}

}  // namespace

struct winx_FfmpegMovie::State {
    // First, so that it goes last: everything below is FFmpeg's.
    std::shared_ptr<const winx_FfmpegLibrary> library;
    AVFormatContext* format = nullptr;
    AVCodecContext* video = nullptr;
    AVCodecContext* audio = nullptr;
    int videoStream = -1;
    int audioStream = -1;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    AVFrame* audioFrame = nullptr;
    SwsContext* scaler = nullptr;
    SwsContext* captureScaler = nullptr;
    SwrContext* resampler = nullptr;

    bool pending = false;  // frame holds a decoded video frame not shown yet
    double pendingSeconds = 0.0;
    double firstSeconds = NAN;
    double lastSeconds = 0.0;
    int64_t framesDecoded = 0;
    bool demuxEnded = false;
    bool videoEnded = false;

    // Paced in real time (the platform clock's real reading, so that tests can set it), as the
    // sound device plays, even when the game runs on the fixed-step clock.
    bool running = false;
    uint64_t start = 0;
    uint64_t videoEndTime = 0;
    bool videoEndSeen = false;

    SDL_AudioDeviceID audioDevice = 0;
    int audioRate = 0;
    std::vector<int16_t> audioBacklog;  // decoded before Run, not yet queued

    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    std::vector<uint8_t> planes;

    ~State() {
        if (audioDevice != 0) {
            SDL_CloseAudioDevice(audioDevice);
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        }
        if (texture) SDL_DestroyTexture(texture);
        if (!library) return;
        const winx_FfmpegLibrary& ff = *library;
        ff.sws_freeContext(scaler);
        ff.sws_freeContext(captureScaler);
        ff.swr_free(&resampler);
        ff.av_frame_free(&frame);
        ff.av_frame_free(&audioFrame);
        ff.av_packet_free(&packet);
        ff.avcodec_free_context(&video);
        ff.avcodec_free_context(&audio);
        ff.avformat_close_input(&format);
    }
};

std::unique_ptr<winx_FfmpegMovie> winx_FfmpegMovie::Open(const std::string& path) {
    // FFmpeg opens a file with a plain, blocking open(): a FIFO in a movie's place would hold
    // the game for good. Only a regular file is handed on.
    if (!winx_IsReadableRegularFile(path)) return nullptr;
    std::string error;
    std::shared_ptr<const winx_FfmpegLibrary> library = winx_FfmpegLibrary::Load(error);
    if (!library) {
        // Said once: every later movie would fail alike.
        static bool told = false;
        if (!told) std::fprintf(stderr, "Quarnex: movies cannot play: %s\n", error.c_str());
        told = true;
        return nullptr;
    }
    const winx_FfmpegLibrary& ff = *library;
    auto state = std::make_unique<State>();
    state->library = std::move(library);
    // Movies are files: no protocol that could reach the network.
    AVDictionary* options = nullptr;
    ff.av_dict_set(&options, "protocol_whitelist", "file", 0);
    const int opened = ff.avformat_open_input(&state->format, path.c_str(), nullptr, &options);
    ff.av_dict_free(&options);
    if (opened < 0) return nullptr;
    if (ff.avformat_find_stream_info(state->format, nullptr) < 0) return nullptr;
    state->videoStream =
        ff.av_find_best_stream(state->format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (state->videoStream < 0) return nullptr;
    state->video = OpenDecoder(ff, state->format, state->videoStream);
    if (!state->video || state->video->width <= 0 || state->video->height <= 0) return nullptr;

    // A movie whose sound cannot be decoded still plays, silently.
    state->audioStream = ff.av_find_best_stream(state->format, AVMEDIA_TYPE_AUDIO, -1,
                                                state->videoStream, nullptr, 0);
    if (state->audioStream >= 0) {
        state->audio = OpenDecoder(ff, state->format, state->audioStream);
        if (state->audio && state->audio->sample_rate > 0) {
            AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
            if (ff.swr_alloc_set_opts2(&state->resampler, &stereo, AV_SAMPLE_FMT_S16,
                                       state->audio->sample_rate, &state->audio->ch_layout,
                                       state->audio->sample_fmt, state->audio->sample_rate, 0,
                                       nullptr) < 0 ||
                ff.swr_init(state->resampler) < 0) {
                ff.swr_free(&state->resampler);
            }
            state->audioRate = state->audio->sample_rate;
        }
        if (!state->resampler) {
            ff.avcodec_free_context(&state->audio);
            state->audioStream = -1;
        }
    }

    state->packet = ff.av_packet_alloc();
    state->frame = ff.av_frame_alloc();
    state->audioFrame = ff.av_frame_alloc();
    if (!state->packet || !state->frame || !state->audioFrame) return nullptr;

    std::unique_ptr<winx_FfmpegMovie> movie(new winx_FfmpegMovie(std::move(state)));
    if (!movie->DecodeUntilVideoFrame()) return nullptr;
    return movie;
}

winx_FfmpegMovie::winx_FfmpegMovie(std::unique_ptr<State> state) : state(std::move(state)) {}

winx_FfmpegMovie::~winx_FfmpegMovie() = default;

int winx_FfmpegMovie::Width() const {
    return state->video->width;
}
int winx_FfmpegMovie::Height() const {
    return state->video->height;
}

void winx_FfmpegMovie::SetVolume(int32_t hundredths) {
    attenuation = std::clamp(hundredths, -10000, 0);
}

bool winx_FfmpegMovie::DecodeUntilVideoFrame() {
    State& s = *state;
    const winx_FfmpegLibrary& ff = *s.library;
    while (true) {
        const int received = ff.avcodec_receive_frame(s.video, s.frame);
        if (received == 0) {
            const int64_t stamp = s.frame->best_effort_timestamp;
            AVStream* stream = s.format->streams[s.videoStream];
            const AVRational rate = ff.av_guess_frame_rate(s.format, stream, s.frame);
            const double frameSeconds = rate.num > 0 && rate.den > 0 ? 1.0 / av_q2d(rate) : 0.04;
            // Without a timestamp, frames are counted at the stream's rate.
            const double seconds = stamp != AV_NOPTS_VALUE
                                       ? static_cast<double>(stamp) * av_q2d(stream->time_base)
                                       : static_cast<double>(s.framesDecoded) * frameSeconds;
            if (std::isnan(s.firstSeconds)) s.firstSeconds = seconds;
            double relative = seconds - s.firstSeconds;
            // A timestamp far past the last frame (a damaged file) must not hold the game for
            // the whole gap: the movie's clock moves on by one frame instead.
            if (relative > s.lastSeconds + kMaxFrameGapSeconds) {
                s.firstSeconds += relative - (s.lastSeconds + frameSeconds);
                relative = s.lastSeconds + frameSeconds;
            }
            s.pendingSeconds = std::max(0.0, relative);
            s.lastSeconds = std::max(s.lastSeconds, s.pendingSeconds);
            ++s.framesDecoded;
            s.pending = true;
            return true;
        }
        if (received != AVERROR(EAGAIN) || s.demuxEnded) {
            s.videoEnded = true;
            return false;
        }
        if (ff.av_read_frame(s.format, s.packet) < 0) {
            s.demuxEnded = true;
            ff.avcodec_send_packet(s.video, nullptr);
            if (s.audio) {
                ff.avcodec_send_packet(s.audio, nullptr);
                while (ff.avcodec_receive_frame(s.audio, s.audioFrame) == 0)
                    QueueAudioFrame();
            }
            continue;
        }
        if (s.packet->stream_index == s.videoStream) {
            ff.avcodec_send_packet(s.video, s.packet);
        } else if (s.audio && s.packet->stream_index == s.audioStream) {
            if (ff.avcodec_send_packet(s.audio, s.packet) == 0) {
                while (ff.avcodec_receive_frame(s.audio, s.audioFrame) == 0)
                    QueueAudioFrame();
            }
        }
        ff.av_packet_unref(s.packet);
    }
}

void winx_FfmpegMovie::QueueAudioFrame() {
    State& s = *state;
    const winx_FfmpegLibrary& ff = *s.library;
    const int capacity = ff.swr_get_out_samples(s.resampler, s.audioFrame->nb_samples);
    if (capacity <= 0) return;
    std::vector<int16_t> samples(static_cast<size_t>(capacity) * 2);
    uint8_t* out = reinterpret_cast<uint8_t*>(samples.data());
    const int converted = ff.swr_convert(s.resampler, &out, capacity,
                                         const_cast<const uint8_t**>(s.audioFrame->extended_data),
                                         s.audioFrame->nb_samples);
    if (converted <= 0) return;
    samples.resize(static_cast<size_t>(converted) * 2);
    if (s.audioDevice == 0) {
        if (!s.running) s.audioBacklog.insert(s.audioBacklog.end(), samples.begin(), samples.end());
        return;
    }
    Attenuate(samples, attenuation);
    SDL_QueueAudio(s.audioDevice, samples.data(),
                   static_cast<Uint32>(samples.size() * sizeof(int16_t)));
}

void winx_FfmpegMovie::Run() {
    State& s = *state;
    if (s.running) return;
    s.running = true;
    s.start = winx_RealTimeMs();
    s.renderer = winx_Renderer();
    if (s.audio && SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
        SDL_AudioSpec want{};
        want.freq = s.audioRate;
        want.format = AUDIO_S16SYS;
        want.channels = 2;
        want.samples = 1024;
        SDL_AudioSpec have{};
        s.audioDevice = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (s.audioDevice == 0) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        } else {
            SDL_PauseAudioDevice(s.audioDevice, 0);
        }
    }
    std::vector<int16_t> backlog;
    backlog.swap(s.audioBacklog);
    if (s.audioDevice != 0 && !backlog.empty()) {
        // Queue what was decoded while opening, at the volume set since.
        Attenuate(backlog, attenuation);
        SDL_QueueAudio(s.audioDevice, backlog.data(),
                       static_cast<Uint32>(backlog.size() * sizeof(int16_t)));
    }
}

// A capture requested while the movie plays is the movie's picture as the window shows it: the
// 640 x 480 screen with the frame scaled into it.
void winx_FfmpegMovie::CapturePendingFrame() {
    State& s = *state;
    const winx_FfmpegLibrary& ff = *s.library;
    const std::string directory = winx_CaptureDirectory();
    if (directory.empty()) return;
    const std::string name = winx_TakeCaptureRequest();
    if (name.empty()) return;
    const int width = s.video->width;
    const int height = s.video->height;
    const SDL_Rect place = PlacePicture(width, height, kWinxScreenWidth, kWinxScreenHeight);
    const int pitch = kWinxScreenWidth * 3;
    std::vector<uint8_t> rgb(static_cast<size_t>(pitch) * kWinxScreenHeight, 0);
    s.captureScaler = ff.sws_getCachedContext(
        s.captureScaler, width, height, static_cast<AVPixelFormat>(s.frame->format), place.w,
        place.h, AV_PIX_FMT_RGB24, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (s.captureScaler && place.w > 0 && place.h > 0) {
        uint8_t* planes[4] = {rgb.data() + static_cast<size_t>(place.y) * pitch + place.x * 3,
                              nullptr, nullptr, nullptr};
        int pitches[4] = {pitch, 0, 0, 0};
        ff.sws_scale(s.captureScaler, s.frame->data, s.frame->linesize, 0, height, planes, pitches);
    }
    const std::string path = directory + "/" + name + ".png";
    std::string error;
    if (!winx_WriteRgbPng(path, rgb.data(), kWinxScreenWidth, kWinxScreenHeight, pitch, &error))
        std::fprintf(stderr, "Quarnex: capture: cannot write %s: %s\n", path.c_str(),
                     error.c_str());
}

void winx_FfmpegMovie::ShowPendingFrame() {
    State& s = *state;
    const winx_FfmpegLibrary& ff = *s.library;
    s.pending = false;
    ++framesShown;
    CapturePendingFrame();
    if (!s.renderer) return;
    const int width = s.video->width;
    const int height = s.video->height;
    if (!s.texture) {
        s.texture = SDL_CreateTexture(s.renderer, SDL_PIXELFORMAT_IYUV, SDL_TEXTUREACCESS_STREAMING,
                                      width, height);
        if (!s.texture) return;
    }
    s.scaler = ff.sws_getCachedContext(s.scaler, width, height,
                                       static_cast<AVPixelFormat>(s.frame->format), width, height,
                                       AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!s.scaler) return;
    const int chromaWidth = (width + 1) / 2;
    const int chromaHeight = (height + 1) / 2;
    const size_t lumaBytes = static_cast<size_t>(width) * static_cast<size_t>(height);
    const size_t chromaBytes = static_cast<size_t>(chromaWidth) * static_cast<size_t>(chromaHeight);
    s.planes.resize(lumaBytes + 2 * chromaBytes);
    uint8_t* planes[4] = {s.planes.data(), s.planes.data() + lumaBytes,
                          s.planes.data() + lumaBytes + chromaBytes, nullptr};
    int pitches[4] = {width, chromaWidth, chromaWidth, 0};
    ff.sws_scale(s.scaler, s.frame->data, s.frame->linesize, 0, height, planes, pitches);
    SDL_UpdateYUVTexture(s.texture, nullptr, planes[0], pitches[0], planes[1], pitches[1],
                         planes[2], pitches[2]);

    // Scale to the window, keeping the picture's shape, black around it.
    SDL_Texture* target = SDL_GetRenderTarget(s.renderer);
    SDL_SetRenderTarget(s.renderer, nullptr);
    int outWidth = 0;
    int outHeight = 0;
    SDL_RenderGetLogicalSize(s.renderer, &outWidth, &outHeight);
    if (outWidth <= 0 || outHeight <= 0)
        SDL_GetRendererOutputSize(s.renderer, &outWidth, &outHeight);
    const SDL_Rect place = PlacePicture(width, height, outWidth, outHeight);
    SDL_SetRenderDrawColor(s.renderer, 0, 0, 0, 255);
    SDL_RenderClear(s.renderer);
    SDL_RenderCopy(s.renderer, s.texture, nullptr, &place);
    SDL_RenderPresent(s.renderer);
    winx_NoteForeignPresent();
    SDL_SetRenderTarget(s.renderer, target);
}

int winx_FfmpegMovie::AudioDrained() const {
    return state->audioDevice == 0 || SDL_GetQueuedAudioSize(state->audioDevice) == 0;
}

int winx_FfmpegMovie::WaitForCompletion(uint32_t timeoutMs) {
    State& s = *state;
    if (!s.running) Run();
    const uint64_t deadline = winx_RealTimeMs() + timeoutMs;
    while (true) {
        if (!s.pending && !s.videoEnded) DecodeUntilVideoFrame();
        const uint64_t now = winx_RealTimeMs();
        if (s.pending) {
            const uint64_t due =
                s.start + static_cast<uint64_t>(std::llround(s.pendingSeconds * 1000.0));
            if (due <= now) {
                ShowPendingFrame();
                continue;
            }
            if (now >= deadline) return 0;
            std::this_thread::sleep_for(std::chrono::milliseconds(std::min(due, deadline) - now));
            continue;
        }
        if (!s.videoEndSeen) {
            s.videoEndSeen = true;
            s.videoEndTime = now;
        }
        if (AudioDrained() || now >= s.videoEndTime + kAudioTailMs) return 1;
        if (now >= deadline) return 0;
        std::this_thread::sleep_for(
            std::chrono::milliseconds(std::min<uint64_t>(10, deadline - now)));
    }
}

void winx_FfmpegMovie::Stop() {
    State& s = *state;
    if (s.audioDevice != 0) {
        SDL_CloseAudioDevice(s.audioDevice);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        s.audioDevice = 0;
    }
    s.pending = false;
    s.videoEnded = true;
}

namespace {

struct TextOfPress {
    Uint32 timestamp;
    bool removed;
};

int DropTextOfPress(void* context, SDL_Event* event) {
    auto* press = static_cast<TextOfPress*>(context);
    if (!press->removed && event->type == SDL_TEXTINPUT &&
        event->text.timestamp >= press->timestamp) {
        press->removed = true;
        return 0;
    }
    return 1;
}

}  // namespace

int winx_TakeKeyPress(uint32_t waitedMs) {
    // A termination request ends the movie like a key, and the main loop then closes.
    if (winx_TerminationRequested()) return 1;
    if (winx_TakeScriptedKeyPress(waitedMs)) return 1;
    if (SDL_WasInit(SDL_INIT_EVENTS) == 0) return 0;
    SDL_PumpEvents();
    SDL_Event event;
    if (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_KEYDOWN, SDL_KEYDOWN) != 1) return 0;
    // Windows never translates a key-down that was taken out of the queue; SDL
    // has already made the text for it, which must go too, or a letter would
    // reach the next screen.
    TextOfPress press{event.key.timestamp, false};
    SDL_FilterEvents(&DropTextOfPress, &press);
    return 1;
}
