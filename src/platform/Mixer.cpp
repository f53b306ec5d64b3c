#include "platform/Mixer.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#if defined(__SSE__)
#include <xmmintrin.h>
#endif

namespace {

// Handles are unique across every mixer of the process, so a handle kept from a device that
// was closed (or from another mixer) can never name a new buffer.
winx_BufferId NextBufferId() {
    static std::atomic<winx_BufferId> next{2};
    return next.fetch_add(1);
}

float GainOf(int32_t attenuation) {
    if (attenuation <= kWinxVolumeMin) return 0.0f;
    if (attenuation >= kWinxVolumeMax) return 1.0f;
    return static_cast<float>(std::pow(10.0, attenuation / 2000.0));
}

// lrint of a float in the int32 range under the default rounding mode (to nearest, ties to
// even); the SSE conversion rounds the same way and is not a library call.
inline int32_t RoundToInt(float v) {
#if defined(__SSE__)
    return _mm_cvtss_si32(_mm_set_ss(v));
#else
    return static_cast<int32_t>(std::lrint(v));
#endif
}

}  // namespace

bool winx_PcmFormat::IsValid() const {
    return (bits == 8 || bits == 16) && (channels == 1 || channels == 2) && rate > 0 &&
           rate <= 192000;
}

winx_Mixer::winx_Mixer(int outputChannels, int outputRate)
    : outputChannels(outputChannels == 1 ? 1 : 2),
      outputRate(outputRate > 0 ? outputRate : 22050) {}

winx_BufferId winx_Mixer::Create(const winx_PcmFormat& format, uint32_t bytes) {
    if (!format.IsValid() || bytes == 0 || bytes > kMaxBufferBytes) return 0;
    const uint32_t blockAlign = static_cast<uint32_t>(format.BlockAlign());
    if (bytes % blockAlign != 0) return 0;
    Buffer buffer;
    buffer.format = format;
    // Silence: 8-bit samples centre on 128.
    buffer.data.assign(bytes, format.bits == 8 ? 128 : 0);
    buffer.frames = bytes / blockAlign;
    buffer.samples.assign(static_cast<size_t>(buffer.frames) * format.channels, 0);
    buffer.step = (static_cast<uint64_t>(format.rate) << 32) / static_cast<uint64_t>(outputRate);
    const winx_BufferId id = NextBufferId();
    buffers.emplace(id, std::move(buffer));
    return id;
}

int winx_Mixer::Release(winx_BufferId id) {
    return buffers.erase(id) ? 1 : 0;
}

void winx_Mixer::ReleaseAll() {
    buffers.clear();
}

int winx_Mixer::Contains(winx_BufferId id) const {
    return Find(id) ? 1 : 0;
}

winx_Mixer::Buffer* winx_Mixer::Find(winx_BufferId id) {
    auto it = buffers.find(id);
    return it == buffers.end() ? nullptr : &it->second;
}

const winx_Mixer::Buffer* winx_Mixer::Find(winx_BufferId id) const {
    auto it = buffers.find(id);
    return it == buffers.end() ? nullptr : &it->second;
}

int winx_Mixer::Play(winx_BufferId id, int loop) {
    Buffer* buffer = Find(id);
    if (!buffer) return 0;
    buffer->playing = true;
    buffer->looping = loop != 0;
    return 1;
}

int winx_Mixer::Stop(winx_BufferId id) {
    Buffer* buffer = Find(id);
    if (!buffer) return 0;
    buffer->playing = false;
    return 1;
}

int winx_Mixer::SetPosition(winx_BufferId id, uint32_t bytes) {
    Buffer* buffer = Find(id);
    if (!buffer) return 0;
    const uint32_t frame = bytes / static_cast<uint32_t>(buffer->format.BlockAlign());
    if (frame >= buffer->frames) return 0;
    buffer->position = static_cast<uint64_t>(frame) << 32;
    return 1;
}

int winx_Mixer::SetVolume(winx_BufferId id, int32_t attenuation) {
    Buffer* buffer = Find(id);
    if (!buffer) return 0;
    buffer->attenuation = std::clamp(attenuation, kWinxVolumeMin, kWinxVolumeMax);
    buffer->gain = GainOf(buffer->attenuation);
    return 1;
}

int winx_Mixer::GetVolume(winx_BufferId id, int32_t& attenuation) const {
    const Buffer* buffer = Find(id);
    if (!buffer) return 0;
    attenuation = buffer->attenuation;
    return 1;
}

int winx_Mixer::GetStatus(winx_BufferId id, uint32_t& status) const {
    const Buffer* buffer = Find(id);
    if (!buffer) return 0;
    status = 0;
    if (buffer->playing) status |= kWinxStatusPlaying;
    if (buffer->playing && buffer->looping) status |= kWinxStatusLooping;
    return 1;
}

int winx_Mixer::GetPosition(winx_BufferId id, uint32_t& bytes) const {
    const Buffer* buffer = Find(id);
    if (!buffer) return 0;
    bytes = static_cast<uint32_t>(buffer->position >> 32) *
            static_cast<uint32_t>(buffer->format.BlockAlign());
    return 1;
}

int winx_Mixer::GetFormat(winx_BufferId id, winx_PcmFormat& format) const {
    const Buffer* buffer = Find(id);
    if (!buffer) return 0;
    format = buffer->format;
    return 1;
}

int winx_Mixer::GetSize(winx_BufferId id, uint32_t& bytes) const {
    const Buffer* buffer = Find(id);
    if (!buffer) return 0;
    bytes = static_cast<uint32_t>(buffer->data.size());
    return 1;
}

int winx_Mixer::Lock(winx_BufferId id, uint32_t offset, uint32_t bytes, winx_LockedRegion& region) {
    region = winx_LockedRegion{};
    Buffer* buffer = Find(id);
    if (!buffer) return 0;
    const uint32_t size = static_cast<uint32_t>(buffer->data.size());
    offset %= size;
    bytes = std::min(bytes, size);
    buffer->lockedOffset = offset;
    buffer->lockedBytes = bytes;
    region.first = buffer->data.data() + offset;
    region.firstBytes = std::min(bytes, size - offset);
    if (bytes > region.firstBytes) {
        region.second = buffer->data.data();
        region.secondBytes = bytes - region.firstBytes;
    }
    return 1;
}

int winx_Mixer::Unlock(winx_BufferId id) {
    Buffer* buffer = Find(id);
    if (!buffer) return 0;
    const uint32_t size = static_cast<uint32_t>(buffer->data.size());
    const uint32_t first = std::min(buffer->lockedBytes, size - buffer->lockedOffset);
    Convert(*buffer, buffer->lockedOffset, first);
    Convert(*buffer, 0, buffer->lockedBytes - first);
    buffer->lockedBytes = 0;
    return 1;
}

void winx_Mixer::Convert(Buffer& buffer, uint32_t offset, uint32_t bytes) {
    if (bytes == 0) return;
    // Whole samples covering the bytes.
    const uint32_t width = buffer.format.bits == 8 ? 1 : 2;
    const size_t begin = offset / width;
    const size_t end =
        std::min<size_t>((size_t{offset} + bytes + width - 1) / width, buffer.samples.size());
    const uint8_t* data = buffer.data.data();
    int16_t* samples = buffer.samples.data();
    for (size_t i = begin; i < end; ++i) {
        samples[i] =
            width == 1
                ? static_cast<int16_t>((static_cast<int>(data[i]) - 128) * 256)
                : static_cast<int16_t>(static_cast<uint16_t>(data[2 * i] | data[2 * i + 1] << 8));
    }
}

void winx_Mixer::Render(int16_t* out, int frames) {
    if (frames <= 0) return;
    const size_t samples = static_cast<size_t>(frames) * static_cast<size_t>(outputChannels);
    sums.assign(samples, 0);
    for (auto& [id, buffer] : buffers) {
        if (buffer.playing) MixInto(buffer, sums.data(), frames);
    }
    for (size_t i = 0; i < samples; ++i) {
        out[i] = static_cast<int16_t>(std::clamp(sums[i], -32768, 32767));
    }
}

void winx_Mixer::MixInto(Buffer& buffer, int32_t* sum, int frames) {
    const bool stereoSource = buffer.format.channels == 2;
    if (outputChannels == 1) {
        stereoSource ? Mix<2, 1>(buffer, sum, frames) : Mix<1, 1>(buffer, sum, frames);
    } else {
        stereoSource ? Mix<2, 2>(buffer, sum, frames) : Mix<1, 2>(buffer, sum, frames);
    }
}

template <int SourceChannels, int OutputChannels>
void winx_Mixer::Mix(Buffer& buffer, int32_t* sum, int frames) {
    const uint32_t count = buffer.frames;
    const uint64_t length = static_cast<uint64_t>(count) << 32;
    const int16_t* samples = buffer.samples.data();
    const float gain = buffer.gain;

    // The source sample for an output channel: mono feeds both sides, stereo folds to mono.
    auto channelValue = [samples](uint32_t frame, int outChannel) -> float {
        const int16_t* p = samples + static_cast<size_t>(frame) * SourceChannels;
        if constexpr (SourceChannels == 1) {
            return static_cast<float>(p[0]);
        } else if constexpr (OutputChannels == 1) {
            return (static_cast<float>(p[0]) + static_cast<float>(p[1])) * 0.5f;
        } else {
            return static_cast<float>(p[outChannel]);
        }
    };

    uint64_t position = buffer.position;
    const uint64_t step = buffer.step;
    for (int i = 0; i < frames; ++i) {
        if (position >= length) {
            if (!buffer.looping) {
                buffer.playing = false;
                buffer.position = 0;
                return;
            }
            position %= length;
        }
        const uint32_t frame = static_cast<uint32_t>(position >> 32);
        uint32_t next = frame + 1;
        if (next >= count) next = buffer.looping ? 0 : frame;
        const float fraction = static_cast<float>(static_cast<uint32_t>(position)) / 4294967296.0f;
        for (int c = 0; c < OutputChannels; ++c) {
            const float a = channelValue(frame, c);
            const float value = fraction == 0.0f ? a : a + (channelValue(next, c) - a) * fraction;
            sum[i * OutputChannels + c] += RoundToInt(value * gain);
        }
        position += step;
    }
    buffer.position = position;
    if (!buffer.looping && buffer.position >= length) {
        buffer.playing = false;
        buffer.position = 0;
    }
}
