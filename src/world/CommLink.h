#pragma once
// A link to one network peer: it starts, sends one framed message at a time, gathers the bytes
// of the peer's next message without waiting, and reports when the connection has closed. The
// World's peer slots hold links through this interface; the TCP link implements it.
#include <cstddef>
#include <cstdint>

class CommLink {
public:
    virtual ~CommLink() = default;

    // 0 when the link cannot start.
    virtual int Init() = 0;
    // 1 once a connected link's socket has closed.
    virtual int ConnectionLost() = 0;
    virtual void Disconnect() = 0;
    // Sends the bytes as one message.
    virtual void Send(const uint8_t* data, size_t length) = 0;
    // Appends to `buffer` (which holds `held` of its `capacity` bytes) what can be read without
    // waiting; `held` becomes the new count and `payloadLength` the length of the message in
    // progress (0 while its header is incomplete). The message is complete when `held` equals
    // a non-zero `payloadLength`.
    virtual void Receive(uint8_t* buffer, size_t capacity, size_t& held, size_t& payloadLength) = 0;
};
