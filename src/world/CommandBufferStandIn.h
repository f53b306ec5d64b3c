#pragma once
// Stand-in for the outgoing command stream until the network command buffer exists: the 8192-
// byte area, its write cursor and the recording switch, with nothing that encodes a command.
// The World makes one at construction; nothing is ever recorded into it in a single-player
// game. Delete this file when the real CommandBuffer arrives.
#include <cstddef>
#include <cstdint>
#include <memory>

class CommandBuffer {
public:
    static constexpr size_t kCapacity = 8192;

    CommandBuffer();
    virtual ~CommandBuffer() = default;
    CommandBuffer(const CommandBuffer&) = delete;
    CommandBuffer& operator=(const CommandBuffer&) = delete;

    // Empties the buffer: the cursor goes back to the start.
    void Rewind() { cursor = start; }
    // Hooks around every send of the outgoing stream; they do nothing.
    void BeginRecording() {}
    void EndRecording() {}
    // Bytes held between the start and the cursor.
    size_t Size() const { return static_cast<size_t>(cursor - start); }

    std::unique_ptr<uint8_t[]> area;
    uint8_t* start = nullptr;
    uint8_t* cursor = nullptr;
    // 0 at construction: the encoders write nothing.
    int32_t recording = 0;
};
