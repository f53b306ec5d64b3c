#pragma once
// Background music streamed from the music pack: every entry is one piece in the sample
// format of the sound pack; the pieces play in a shuffled order without repeats through one
// looping ring buffer, which the game refills a chunk at a time while it plays.
#include <cstdint>
#include <memory>
#include <string>

#include "core/NodeList.h"
#include "core/Sound.h"

class ResourceFile;

class MusicPlaylist : public Sound {
public:
    // Opens the pack at packPath (a whole path; a pack that exists but does not open is a
    // missing resource), picks the first piece and fills the ring buffer of bufferFrames frames.
    // chunkFrames is the size of one refill (at least 1, at most the ring).
    MusicPlaylist(const std::string& packPath, int32_t firstEntry, int32_t bufferFrames,
                  int32_t chunkFrames);
    ~MusicPlaylist() override;

    // Always plays looping, whatever loop says.
    void Play(int loop) override;
    // Stops the ring buffer and keeps it.
    void Stop() override;
    // The current piece in the music pack; null when there is none.
    ResourceFile* OpenSource() override;
    // The music pack stays open.
    void CloseSource(ResourceFile* stream) override;

    // Once per game tick: writes the next chunk once the play cursor has left the chunk the
    // write position stands at.
    void Tick();
    void SetVolume(int32_t percent);
    // Puts every entry of the pack back into the order of this cycle.
    void RefillOrder();
    // Makes a randomly chosen entry of this cycle the current piece.
    void PickNext();

    // Entries of the music pack; 0 means there is no music to play.
    int32_t PieceCount() const;
    int32_t ReadPosition() const { return readPosition; }
    int32_t WritePosition() const { return writePosition; }
    int32_t OrderCount() const { return order.Count(); }

private:
    // Writes frames frames into the ring at the write position, going on into the next
    // pieces whenever one ends, so that every chunk is full.
    void StreamFrames(int32_t frames);
    // 1 when the current piece has frames left to stream in the ring's format.
    int CurrentPieceStreams();
    // Moves to the next piece of the order, from its first frame.
    void NextPiece();

    int32_t bufferFrames;
    int32_t chunkFrames;
    int32_t readPosition;
    int32_t writePosition = 0;
    std::unique_ptr<ResourceFile> musicPack;
    NodeList order;
    // The ring's sample format, fixed by the first piece.
    int32_t ringBits = 0;
    int32_t ringChannels = 0;
};
