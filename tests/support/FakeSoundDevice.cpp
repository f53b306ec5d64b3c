#include "support/FakeSoundDevice.h"

#include <algorithm>

#include "core/AudioFormat.h"

AudioFormat GameAudioFormat() {
    AudioFormat format;
    format.bitsPerSample = 16;
    format.channels = 2;
    format.samplesPerSecond = 22050;
    return format;
}

FakeSoundDevice::FakeSoundDevice() : SoundBase(GameAudioFormat()) {}

FakeSoundDevice::Buffer* FakeSoundDevice::Find(SoundBuffer buffer) {
    auto it = buffers.find(static_cast<uint64_t>(buffer));
    return it == buffers.end() ? nullptr : &it->second;
}

void FakeSoundDevice::Play(SoundBuffer buffer, int loop) {
    if (Buffer* b = Find(buffer)) {
        b->playing = true;
        b->looping = loop == 1;
        b->position = 0;
        b->volume = masterVolume;
        ++b->playCount;
    } else {
        ++strayPlays;
    }
}

void FakeSoundDevice::SetVolume(SoundBuffer buffer, int32_t percent) {
    if (Buffer* b = Find(buffer)) b->volume = percent;
}

int FakeSoundDevice::IsPlaying(SoundBuffer buffer) {
    Buffer* b = Find(buffer);
    return b && b->playing ? 1 : 0;
}

void FakeSoundDevice::Stop(SoundBuffer buffer) {
    if (Buffer* b = Find(buffer)) b->playing = false;
}

uint32_t FakeSoundDevice::GetPosition(SoundBuffer buffer) {
    Buffer* b = Find(buffer);
    return b ? b->position : 0;
}

SoundBuffer FakeSoundDevice::CreateBuffer(int32_t bufferFrames, int32_t framesToCopy,
                                          const uint8_t* data, int32_t bits, int32_t channels,
                                          int32_t rate) {
    Buffer b;
    b.bits = bits;
    b.channels = channels;
    b.rate = rate;
    b.data.assign(static_cast<size_t>(bufferFrames) * b.BlockAlign(), 0);
    const size_t copy = std::min(b.data.size(), static_cast<size_t>(framesToCopy) * b.BlockAlign());
    std::copy(data, data + copy, b.data.begin());
    written.insert(written.end(), data, data + copy);
    const uint64_t id = nextId++;
    buffers.emplace(id, std::move(b));
    ++created;
    return static_cast<SoundBuffer>(id);
}

void FakeSoundDevice::Refill(SoundBuffer buffer, int32_t firstFrame, int32_t frameCount,
                             const uint8_t* data) {
    Buffer* b = Find(buffer);
    if (!b) return;
    ++refills;
    const size_t size = b->data.size();
    const size_t bytes = static_cast<size_t>(frameCount) * b->BlockAlign();
    size_t at = static_cast<size_t>(firstFrame) * b->BlockAlign() % size;
    for (size_t i = 0; i < bytes; ++i) {
        b->data[at] = data[i];
        at = (at + 1) % size;
    }
    written.insert(written.end(), data, data + bytes);
}

int FakeSoundDevice::IsUsable(SoundBuffer buffer) {
    return Find(buffer) ? 1 : 0;
}

void FakeSoundDevice::Release(SoundBuffer buffer) {
    if (buffers.erase(static_cast<uint64_t>(buffer))) ++released;
}

void FakeSoundDevice::Finish(SoundBuffer buffer) {
    if (Buffer* b = Find(buffer)) b->playing = false;
}
