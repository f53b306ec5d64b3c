#include "core/DirectSoundDevice.h"

#include <algorithm>
#include <cstring>

#include "core/AudioFormat.h"
#include "core/Settings.h"
#include "core/Volume.h"
#include "platform/Clock.h"
#include "platform/SdlAudio.h"

DirectSoundDevice::DirectSoundDevice(const AudioFormat& format, int pumped)
    : SoundBase(format),
      mixer(format.channels, format.samplesPerSecond),
      pumped(pumped < 0 ? winx_FixedClockActive() : pumped) {
    // A percentage: anything beyond would overflow the movie's attenuation.
    ReadProfileNumber("QX", "OPTIONS", "VOLUME", 0, 100, masterVolume);
    Open();
}

DirectSoundDevice::~DirectSoundDevice() {
    Close();
}

winx_BufferId DirectSoundDevice::IdOf(SoundBuffer buffer) {
    if (buffer == SoundBuffer::None || buffer == SoundBuffer::Placeholder) return 0;
    return static_cast<winx_BufferId>(buffer);
}

void DirectSoundDevice::Open() {
    if (output) return;
    // The output device stands for both the DirectSound object and its looping
    // primary buffer.
    output = winx_AudioOutput::Open(mixer, pumped);
}

void DirectSoundDevice::Close() {
    if (!output) return;
    output.reset();
    // Buffers handed out before stay with their owners as handles that find
    // nothing.
    mixer.ReleaseAll();
}

void DirectSoundDevice::Play(SoundBuffer buffer, int loop) {
    if (!output) return;
    winx_AudioOutput::Guard guard(output.get());
    const winx_BufferId id = IdOf(buffer);
    mixer.Stop(id);
    mixer.SetPosition(id, 0);
    mixer.SetVolume(id, VolumeToAttenuation(masterVolume));
    mixer.Play(id, loop == 1 ? 1 : 0);
}

void DirectSoundDevice::SetVolume(SoundBuffer buffer, int32_t percent) {
    if (!output) return;
    winx_AudioOutput::Guard guard(output.get());
    mixer.SetVolume(IdOf(buffer), VolumeToAttenuation(percent));
}

int DirectSoundDevice::IsPlaying(SoundBuffer buffer) {
    if (!output) return 0;
    winx_AudioOutput::Guard guard(output.get());
    uint32_t status = 0;
    return mixer.GetStatus(IdOf(buffer), status) && (status & kWinxStatusPlaying) ? 1 : 0;
}

void DirectSoundDevice::Stop(SoundBuffer buffer) {
    if (!output) return;
    winx_AudioOutput::Guard guard(output.get());
    mixer.Stop(IdOf(buffer));
}

uint32_t DirectSoundDevice::GetPosition(SoundBuffer buffer) {
    if (!output) return 0;
    winx_AudioOutput::Guard guard(output.get());
    uint32_t position = 0;
    return mixer.GetPosition(IdOf(buffer), position) ? position : 0;
}

SoundBuffer DirectSoundDevice::CreateBuffer(int32_t bufferFrames, int32_t framesToCopy,
                                            const uint8_t* data, int32_t bits, int32_t channels,
                                            int32_t rate) {
    // A closed device hands out the placeholder, so that the sample counts as
    // loaded.
    if (!output) return SoundBuffer::Placeholder;
    const winx_PcmFormat format{bits, channels, rate};
    if (!format.IsValid() || bufferFrames <= 0 || framesToCopy < 0) return SoundBuffer::None;
    const uint64_t bytes = static_cast<uint64_t>(bufferFrames) * format.BlockAlign();
    if (bytes > winx_Mixer::kMaxBufferBytes) return SoundBuffer::None;
    winx_AudioOutput::Guard guard(output.get());
    const winx_BufferId id = mixer.Create(format, static_cast<uint32_t>(bytes));
    if (id == 0) return SoundBuffer::None;
    if (data && framesToCopy > 0) {
        const uint64_t copy =
            std::min<uint64_t>(static_cast<uint64_t>(framesToCopy) * format.BlockAlign(), bytes);
        winx_LockedRegion region;
        if (mixer.Lock(id, 0, static_cast<uint32_t>(copy), region)) {
            std::memcpy(region.first, data, region.firstBytes);
            if (region.second)
                std::memcpy(region.second, data + region.firstBytes, region.secondBytes);
            mixer.Unlock(id);
        }
    }
    return static_cast<SoundBuffer>(id);
}

void DirectSoundDevice::Refill(SoundBuffer buffer, int32_t firstFrame, int32_t frameCount,
                               const uint8_t* data) {
    if (!output || !data || firstFrame < 0 || frameCount <= 0) return;
    winx_AudioOutput::Guard guard(output.get());
    const winx_BufferId id = IdOf(buffer);
    winx_PcmFormat format;
    if (!mixer.GetFormat(id, format)) return;
    const uint64_t blockAlign = static_cast<uint64_t>(format.BlockAlign());
    const uint64_t offset = static_cast<uint64_t>(firstFrame) * blockAlign;
    const uint64_t bytes = static_cast<uint64_t>(frameCount) * blockAlign;
    if (offset > UINT32_MAX || bytes > UINT32_MAX) return;
    winx_LockedRegion region;
    if (!mixer.Lock(id, static_cast<uint32_t>(offset), static_cast<uint32_t>(bytes), region)) {
        return;
    }
    std::memcpy(region.first, data, region.firstBytes);
    if (region.second) std::memcpy(region.second, data + region.firstBytes, region.secondBytes);
    mixer.Unlock(id);
}

int DirectSoundDevice::IsUsable(SoundBuffer buffer) {
    if (!output || buffer == SoundBuffer::None) return 0;
    winx_AudioOutput::Guard guard(output.get());
    // A mixer buffer is never lost; only a handle the mixer does not know is
    // unusable.
    uint32_t status = 0;
    return mixer.GetStatus(IdOf(buffer), status) ? 1 : 0;
}

void DirectSoundDevice::Release(SoundBuffer buffer) {
    if (!output) return;
    winx_AudioOutput::Guard guard(output.get());
    mixer.Release(IdOf(buffer));
}
