#include "core/MusicPlaylist.h"

#include <algorithm>

#include "core/FatalError.h"
#include "core/ListNode.h"
#include "core/ResourceFile.h"
#include "core/SoundBase.h"

MusicPlaylist::MusicPlaylist(const std::string& packPath, int32_t firstEntry, int32_t bufferFrames,
                             int32_t chunkFrames)
    : Sound(firstEntry),
      bufferFrames(std::max(bufferFrames, 1)),
      chunkFrames(std::clamp(chunkFrames, 1, std::max(bufferFrames, 1))),
      readPosition(0),
      musicPack(std::make_unique<ResourceFile>()) {
    musicPack->plainPath = 1;
    if (!musicPack->Open(packPath.c_str(), 1, 0)) ResourceMissing(musicPack->Fault());
    RefillOrder();
    PickNext();
    // The first fill streams across piece boundaries like every refill, so a first piece
    // shorter than the ring does not leave the music silent.
    StreamFrames(this->bufferFrames);
}

MusicPlaylist::~MusicPlaylist() = default;

void MusicPlaylist::Play(int /*loop*/) {
    if (buffer != SoundBuffer::None && soundDevice) soundDevice->Play(buffer, 1);
}

void MusicPlaylist::Stop() {
    if (buffer != SoundBuffer::None && soundDevice) soundDevice->Stop(buffer);
}

ResourceFile* MusicPlaylist::OpenSource() {
    if (packEntry < 0 || !musicPack->SelectEntry(0, packEntry)) return nullptr;
    return musicPack.get();
}

void MusicPlaylist::CloseSource(ResourceFile* /*stream*/) {}

int32_t MusicPlaylist::PieceCount() const {
    return musicPack->Rows();
}

void MusicPlaylist::RefillOrder() {
    order.DeleteAll();
    for (int32_t entry = PieceCount() - 1; entry >= 0; --entry) {
        auto* node = new ListNode;
        node->key = entry;
        order.PushFront(node);
    }
}

void MusicPlaylist::PickNext() {
    if (order.IsEmpty()) RefillOrder();
    ListNode* node = order.RandomElement();
    if (!node) {
        // A pack without entries: no piece, no music.
        packEntry = -1;
        return;
    }
    packEntry = node->key;
    delete node;
}

void MusicPlaylist::NextPiece() {
    const int32_t previous = packEntry;
    PickNext();
    readPosition = 0;
    if (packEntry != previous) headerRead = 0;
}

int MusicPlaylist::CurrentPieceStreams() {
    if (!headerRead) {
        ResourceFile* stream = OpenSource();
        if (!stream) return 0;
        SeekToSamples(*stream);
        CloseSource(stream);
        if (!headerRead) return 0;
    }
    if (readPosition >= frameCount) return 0;
    // Pieces are not converted: one of another sample size would be misread by the ring.
    if (buffer != SoundBuffer::None && (bitsPerSample != ringBits || channels != ringChannels)) {
        return 0;
    }
    return 1;
}

void MusicPlaylist::StreamFrames(int32_t frames) {
    // Pieces passed over in a row without a frame; once every piece of the pack has been
    // passed over there is nothing to stream.
    int32_t passedOver = 0;
    while (frames > 0 && packEntry >= 0) {
        if (!CurrentPieceStreams()) {
            if (++passedOver > PieceCount()) return;
            NextPiece();
            continue;
        }
        passedOver = 0;
        const int32_t n = std::min(frames, frameCount - readPosition);
        const bool creating = buffer == SoundBuffer::None;
        Load(bufferFrames, n, writePosition, readPosition);
        if (buffer == SoundBuffer::None) return;  // the device made no ring: silent music
        if (creating) {
            ringBits = bitsPerSample;
            ringChannels = channels;
        }
        writePosition += n;
        if (writePosition >= bufferFrames) writePosition -= bufferFrames;
        readPosition += n;
        frames -= n;
        if (readPosition >= frameCount) NextPiece();
    }
}

void MusicPlaylist::Tick() {
    if (buffer == SoundBuffer::None || !soundDevice || !soundDevice->IsPlaying(buffer)) return;
    const int32_t blockAlign = ringBits / 8 * ringChannels;
    if (blockAlign <= 0) return;
    const int64_t playFrame = soundDevice->GetPosition(buffer) / static_cast<uint32_t>(blockAlign);
    if (playFrame >= writePosition &&
        playFrame < static_cast<int64_t>(writePosition) + chunkFrames) {
        return;
    }
    StreamFrames(chunkFrames);
}

void MusicPlaylist::SetVolume(int32_t percent) {
    if (buffer != SoundBuffer::None && soundDevice) soundDevice->SetVolume(buffer, percent);
}
