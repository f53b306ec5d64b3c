#include "net/TcpLink.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/Clock.h"
#include "net/TcpEndpoint.h"
#include "platform/Sockets.h"

namespace {

void PutWord(uint8_t* at, uint32_t value) {
    at[0] = static_cast<uint8_t>(value >> 24);
    at[1] = static_cast<uint8_t>(value >> 16);
    at[2] = static_cast<uint8_t>(value >> 8);
    at[3] = static_cast<uint8_t>(value);
}

uint32_t GetWord(const uint8_t* at) {
    return (static_cast<uint32_t>(at[0]) << 24) | (static_cast<uint32_t>(at[1]) << 16) |
           (static_cast<uint32_t>(at[2]) << 8) | at[3];
}

// Empty messages carry nothing to deliver; a peer sending nothing else cannot keep one call
// busy for longer than this many of them.
constexpr int kEmptyMessagesPerCall = 64;

}  // namespace

TcpLink::TcpLink(std::shared_ptr<TcpEndpoint> endpoint) : endpoint(std::move(endpoint)) {
    ++this->endpoint->liveLinks;
}

TcpLink::~TcpLink() {
    TearDownTalker();
    if (--endpoint->liveLinks == 0) endpoint->CloseListener();
}

// A machine whose host name has no address still plays by its interfaces' addresses: only a
// machine that cannot make sockets at all has no network.
int TcpLink::Init() {
    linkState = kClosed;
    receiveState = kBetween;
    messagesSent = 0;
    sockets::HostName(hostName, sizeof hostName);
    sockets::LocalAddress(endpoint->bindAddress.c_str(), localAddress, sizeof localAddress);
    return sockets::CanMakeSockets();
}

int TcpLink::Listen() {
    if (dataSocket != -1) return linkState == kAccepted ? 1 : 0;
    if (endpoint->OpenListener() == 0) return 0;
    linkState = kListening;
    const int socket = sockets::Accept(endpoint->listener, peerAddressText, sizeof peerAddressText);
    if (socket == -1) return 0;
    dataSocket = socket;
    Connected(kAccepted);
    return 1;
}

void TcpLink::Adopt(int socket) {
    TearDownTalker();
    dataSocket = socket;
    Connected(kAccepted);
}

// A new connection counts its frames from 1 both ways and opens with the hello.
void TcpLink::Connected(int state) {
    linkState = state;
    receiveState = kBetween;
    connectedOnce = 1;
    dropReason = 0;
    connectedAt = GetTimeMs();
    framesReceived = 0;
    peerVersion = -1;
    nextSequence = 1;
    lastReceivedSequence = 0;
    uint8_t hello[kHelloBytes] = {kHelloBytes, kHelloKind};
    std::memcpy(hello + 2, kHelloMagic, sizeof kHelloMagic);
    hello[7] = static_cast<uint8_t>(announcedVersion);
    hello[8] = static_cast<uint8_t>(announcedVersion >> 8);
    Send(hello, sizeof hello);
}

int TcpLink::TakeHello(const uint8_t* payload, uint32_t length) {
    const bool hello = length == kHelloBytes && payload[0] == kHelloBytes &&
                       payload[1] == kHelloKind &&
                       std::memcmp(payload + 2, kHelloMagic, sizeof kHelloMagic) == 0;
    peerVersion = hello ? payload[7] | (payload[8] << 8) : kWireVersionNone;
    return hello ? 1 : 0;
}

int TcpLink::DropWhenStalled(uint32_t now) {
    const bool silent = framesReceived == 0 && now - connectedAt >= kSilentMs;
    const bool frameUnderWay =
        receiveState == kPayload || (receiveState == kHeader && received > 0);
    if (!silent && !(frameUnderWay && now - frameStartedAt >= kSilentMs)) return 0;
    Drop(kDroppedStalled);
    return 1;
}

int TcpLink::Connect(const char* host) {
    if (linkState == kConnected || linkState == kAccepted) return dataSocket != -1 ? 1 : 0;
    const uint32_t now = GetTimeMs();
    if (dataSocket == -1) {
        // A failed attempt is not retried at once: the next one starts 5000 ms after it began.
        if (attempted && now - connectStart < kRetryMs) return 0;
        attempted = 1;
        connectStart = now;
        uint32_t address = 0;
        if (!host || sockets::Resolve(host, address) == 0) return 0;
        const int result = sockets::StartConnect(endpoint->bindAddress.c_str(), address,
                                                 endpoint->port, dataSocket);
        if (result < 0) return 0;
        sockets::FormatAddress(address, peerAddressText, sizeof peerAddressText);
        if (result == 0) return 0;
    } else {
        const int result = sockets::ConnectResult(dataSocket);
        if (result == 0 && now - connectStart <= kRetryMs) return 0;
        if (result <= 0) {
            sockets::Close(dataSocket);
            dataSocket = -1;
            return 0;
        }
    }
    Connected(kConnected);
    return 1;
}

int TcpLink::ConnectionLost() {
    return connectedOnce && dataSocket == -1 ? 1 : 0;
}

void TcpLink::TearDownTalker() {
    if (dataSocket != -1) sockets::Close(dataSocket);
    dataSocket = -1;
    linkState = kClosed;
    receiveState = kBetween;
    queue.clear();
    queueStart = 0;
}

void TcpLink::Disconnect() {
    TearDownTalker();
}

void TcpLink::CloseListener() {
    endpoint->CloseListener();
}

void TcpLink::Drop(int reason) {
    if (dataSocket == -1 && !connectedOnce) return;
    TearDownTalker();
    connectedOnce = 1;
    dropReason = reason;
}

int TcpLink::Flush() {
    while (queueStart < queue.size()) {
        const long n =
            sockets::Send(dataSocket, queue.data() + queueStart, queue.size() - queueStart);
        if (n < 0) {
            TearDownTalker();
            return 0;
        }
        if (n == 0) break;
        queueStart += static_cast<size_t>(n);
    }
    if (queueStart == queue.size()) {
        queue.clear();
        queueStart = 0;
    } else if (queueStart > kQueueBound / 2) {
        queue.erase(queue.begin(), queue.begin() + static_cast<std::ptrdiff_t>(queueStart));
        queueStart = 0;
    }
    return 1;
}

int TcpLink::Send(const uint8_t* data, size_t length) {
    if (dataSocket == -1 || linkState <= kListening || length > kMaxPayload) return 0;
    if (Flush() == 0) return 0;
    uint8_t frameHeader[kHeaderBytes];
    PutWord(frameHeader, static_cast<uint32_t>(length));
    PutWord(frameHeader + 4, nextSequence++);
    PutWord(frameHeader + 8, kFrameConstant);
    size_t sent = 0;
    if (Queued() == 0) {
        // One write per message when the socket takes it all, as it nearly always does.
        uint8_t frame[kHeaderBytes + kMaxPayload];
        std::memcpy(frame, frameHeader, kHeaderBytes);
        if (length) std::memcpy(frame + kHeaderBytes, data, length);
        const long n = sockets::Send(dataSocket, frame, kHeaderBytes + length);
        if (n < 0) {
            TearDownTalker();
            return 0;
        }
        sent = static_cast<size_t>(n);
        if (sent == kHeaderBytes + length) {
            ++messagesSent;
            return 1;
        }
    }
    // The rest of the frame waits whole behind what waits already.
    for (size_t i = sent; i < kHeaderBytes; ++i)
        queue.push_back(frameHeader[i]);
    const size_t payloadSent = sent > kHeaderBytes ? sent - kHeaderBytes : 0;
    queue.insert(queue.end(), data + payloadSent, data + length);
    if (Queued() > kQueueBound) {
        Drop(kDroppedStalled);
        return 0;
    }
    ++messagesSent;
    return 1;
}

void TcpLink::Receive(uint8_t* buffer, size_t capacity, size_t& held, size_t& payloadLength) {
    payloadLength = 0;
    // A connection still being made has nothing to read, and its silence has not begun.
    if (dataSocket == -1 || (linkState != kConnected && linkState != kAccepted)) return;
    if (Flush() == 0) return;
    const uint32_t now = GetTimeMs();
    const size_t limit = std::min<size_t>(capacity, kMaxPayload);
    int emptyMessages = 0;
    for (;;) {
        if (receiveState == kBetween) {
            received = 0;
            needed = kHeaderBytes;
            receiveState = kHeader;
        }
        if (receiveState == kHeader) {
            const long n = sockets::Receive(dataSocket, header + received, needed - received);
            if (n < 0) {
                TearDownTalker();
                return;
            }
            if (n == 0) {
                DropWhenStalled(now);
                return;
            }
            if (received == 0) frameStartedAt = now;
            received += static_cast<uint32_t>(n);
            if (received < needed) continue;
            const uint32_t length = GetWord(header);
            const uint32_t sequence = GetWord(header + 4);
            // A length past the block, a foreign constant or a lost or repeated message: the
            // stream cannot be trusted any further.
            if (length > limit || GetWord(header + 8) != kFrameConstant ||
                sequence != lastReceivedSequence + 1) {
                Drop(kDroppedDamaged);
                return;
            }
            lastReceivedSequence = sequence;
            held = 0;
            received = 0;
            needed = length;
            if (needed == 0) {
                receiveState = kBetween;
                if (framesReceived == 0) TakeHello(nullptr, 0);
                ++framesReceived;
                if (++emptyMessages == kEmptyMessagesPerCall) return;
                continue;
            }
            receiveState = kPayload;
        }
        const long n = sockets::Receive(dataSocket, buffer + received, needed - received);
        if (n < 0) {
            TearDownTalker();
            return;
        }
        payloadLength = needed;
        if (n == 0) {
            held = received;
            if (DropWhenStalled(now)) payloadLength = 0;
            return;
        }
        received += static_cast<uint32_t>(n);
        held = received;
        if (received == needed) {
            receiveState = kBetween;
            // The hello is the link's own: the caller gets nothing for it, and the frames
            // behind it wait for the next call (the host reads a joiner's hello alone).
            if (framesReceived++ == 0 && TakeHello(buffer, needed)) {
                held = 0;
                payloadLength = 0;
            }
            return;
        }
    }
}
