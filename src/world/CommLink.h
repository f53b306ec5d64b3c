#pragma once
// A link to one network peer: it listens for or connects to the peer without waiting, sends one
// framed message at a time, gathers the bytes of the peer's next message, and reports when the
// connection has closed. The World's peer slots hold links through this interface; the TCP
// link implements it.
#include <cstddef>
#include <cstdint>

#include "world/WireVersion.h"

class CommLink {
public:
    // Why a link was dropped by this side: the status-line strings naming the player.
    static constexpr int kDroppedDamaged = 304;
    static constexpr int kDroppedStalled = 305;
    // A peer that delivered nothing this long is taken for gone: every machine sends at least
    // a heartbeat every two seconds, paused or not.
    static constexpr uint32_t kSilentMs = 10000;

    virtual ~CommLink() = default;

    // 0 when the link cannot start.
    virtual int Init() = 0;
    // One step of waiting for a peer on the shared listener; 1 once one has connected here.
    virtual int Listen() { return 0; }
    // One step of connecting to a host name or dotted address; 1 once connected.
    virtual int Connect(const char* /*host*/) { return 0; }
    // 1 once a connected link's socket has closed (or the link was dropped).
    virtual int ConnectionLost() = 0;
    virtual void Disconnect() = 0;
    // Sends the bytes as one message: 1 when the frame went out or was queued whole, 0 when it
    // was refused (no connection, too long, or the link was dropped).
    virtual int Send(const uint8_t* data, size_t length) = 0;
    // Appends to `buffer` (which holds `held` of its `capacity` bytes) what can be read without
    // waiting; `held` becomes the new count and `payloadLength` the length of the message in
    // progress (0 while its header is incomplete). The message is complete when `held` equals
    // a non-zero `payloadLength`.
    virtual void Receive(uint8_t* buffer, size_t capacity, size_t& held, size_t& payloadLength) = 0;
    // This machine's name and address, and the peer's address; null when unknown.
    virtual const char* HostName() { return nullptr; }
    virtual const char* LocalAddress() { return nullptr; }
    virtual const char* PeerAddress() { return nullptr; }
    // Stops listening for further peers (the shared listener of every link).
    virtual void CloseListener() {}
    // Closes the connection at once for a reason (kDroppedDamaged, kDroppedStalled):
    // ConnectionLost answers 1 from now on and DropReason the reason.
    virtual void Drop(int /*reason*/) {}
    // 0 while the link was not dropped by this side.
    virtual int DropReason() { return 0; }
    // Whole frames received since the connection was made: a joiner counts from its first.
    virtual int FramesReceived() { return 1; }
    // The wire version the peer announced in its first frame (kWireVersionNone when that was
    // no hello); -1 while no frame has come. Links that carry no hello speak this build's.
    virtual int PeerVersion() { return kWireVersion; }
};
