#pragma once
// One point-to-point TCP connection of a network game. Each message goes out as a 12-byte
// big-endian header (payload length, this link's sequence number from 1, the constant 100) and
// the payload; the receiver gathers a message over as many calls as it takes and delivers one
// per call. Every socket is non-blocking: frames the socket cannot take now wait whole in a
// bounded queue and are written on by every later call, and a peer that stops reading until
// the queue passes its bound is dropped. A frame that breaks the framing drops the link.
// Each side's first frame is a hello that names its wire version; the receiver keeps the
// version and delivers nothing for it. A peer whose first frame is something else is taken for
// a build from before the hello.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "world/CommLink.h"

class TcpEndpoint;

class TcpLink : public CommLink {
public:
    static constexpr int kHeaderBytes = 12;
    static constexpr uint32_t kMaxPayload = 8192;
    static constexpr uint32_t kFrameConstant = 100;
    static constexpr uint32_t kRetryMs = 5000;
    // A connection that has sent no whole frame kSilentMs after it was made, or that started a
    // frame and did not finish it kSilentMs after, holds a place no real player can use: it is
    // dropped (at the link-up and in the game alike).
    // The hello's payload: shaped as a command of a kind no build has (255), so that a build
    // from before the hello drops it as data it cannot read, then a magic and the version
    // (16 bits, little endian as the commands' fields are).
    static constexpr size_t kHelloBytes = 9;
    static constexpr uint8_t kHelloKind = 255;
    static constexpr uint8_t kHelloMagic[5] = {'Q', 'X', 'W', 'V', 'N'};
    // Past this many bytes waiting to go out the peer has stalled.
    static constexpr size_t kQueueBound = 1 << 20;
    // Link states.
    static constexpr int kClosed = 100;
    static constexpr int kListening = 200;
    static constexpr int kConnected = 300;
    static constexpr int kAccepted = 400;

    explicit TcpLink(std::shared_ptr<TcpEndpoint> endpoint);
    ~TcpLink() override;
    TcpLink(const TcpLink&) = delete;
    TcpLink& operator=(const TcpLink&) = delete;

    int Init() override;
    int Listen() override;
    int Connect(const char* host) override;
    int ConnectionLost() override;
    void Disconnect() override;
    int Send(const uint8_t* data, size_t length) override;
    void Receive(uint8_t* buffer, size_t capacity, size_t& held, size_t& payloadLength) override;
    const char* HostName() override { return hostName; }
    const char* LocalAddress() override { return localAddress; }
    const char* PeerAddress() override { return peerAddressText; }
    void CloseListener() override;
    void Drop(int reason) override;
    int DropReason() override { return dropReason; }
    int FramesReceived() override { return framesReceived; }
    int PeerVersion() override { return peerVersion; }

    int State() const { return linkState; }
    // The version this link's hello announces (tests play builds of other versions).
    void SetAnnouncedVersion(int version) { announcedVersion = version; }
    // The connection's socket, -1 when none (tests shrink its buffers).
    int Socket() const { return dataSocket; }
    // Bytes of frames waiting for the socket.
    size_t Queued() const { return queue.size() - queueStart; }
    // Takes a connected socket as if it had been accepted (tests and fuzzing feed one end of a
    // socket pair).
    void Adopt(int socket);

private:
    enum ReceiveState { kBetween = 10, kHeader = 20, kPayload = 30 };

    // Closes the connection; ConnectionLost answers 1 afterwards.
    void TearDownTalker();
    void Connected(int state);
    // Writes queued bytes as far as the socket takes them; 0 when the connection is gone.
    int Flush();
    // Drops the link when it kept silent or left a frame unfinished for kSilentMs; 1 if so.
    int DropWhenStalled(uint32_t now);
    // Takes the first whole frame's payload: a hello gives the peer's version and is consumed
    // (1); anything else means a build without the hello and is delivered (0).
    int TakeHello(const uint8_t* payload, uint32_t length);

    std::shared_ptr<TcpEndpoint> endpoint;
    int linkState = kClosed;
    int receiveState = kBetween;
    int32_t messagesSent = 0;
    char hostName[64] = "?";
    char localAddress[64] = "?";
    char peerAddressText[16] = "?";
    int dataSocket = -1;
    uint8_t header[kHeaderBytes] = {};
    uint32_t received = 0;
    uint32_t needed = 0;
    uint32_t lastReceivedSequence = 0;
    uint32_t nextSequence = 1;
    int connectedOnce = 0;
    int attempted = 0;
    uint32_t connectStart = 0;
    int dropReason = 0;
    // When the connection was made, when the frame under way began, and how many frames came.
    uint32_t connectedAt = 0;
    uint32_t frameStartedAt = 0;
    int32_t framesReceived = 0;
    int peerVersion = -1;
    int announcedVersion = kWireVersion;
    std::vector<uint8_t> queue;
    size_t queueStart = 0;
};
