// Bytes from a peer into the link's receive through a socket pair: the link must deliver only
// whole messages inside the block, never write past it, and drop the peer on a broken frame;
// a first frame that is a hello names a version and is never delivered.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "net/TcpEndpoint.h"
#include "net/TcpLink.h"
#include "platform/Sockets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int fds[2];
    if (!sockets::MakePair(fds)) return 0;
    auto endpoint = std::make_shared<TcpEndpoint>("", 0);
    TcpLink link(endpoint);
    link.Init();
    link.Adopt(fds[0]);
    constexpr size_t kGuard = 64;
    std::vector<uint8_t> block(TcpLink::kMaxPayload + kGuard, 0xA5);
    size_t written = 0;
    size_t held = 0;
    size_t length = 0;
    // Feed the bytes in pieces and read after each, then close the peer's end.
    for (int round = 0; round < 1000 && !link.ConnectionLost(); ++round) {
        if (written < size) {
            const long n = sockets::Send(fds[1], data + written, size - written);
            if (n > 0) written += static_cast<size_t>(n);
        } else if (fds[1] != -1) {
            sockets::Close(fds[1]);
            fds[1] = -1;
        }
        link.Receive(block.data(), TcpLink::kMaxPayload, held, length);
        // A lost link reports no message; one in progress never holds more than its length.
        if (length > TcpLink::kMaxPayload || (length > 0 && held > length)) __builtin_trap();
        if (length > 0 && held == length) {
            // Whatever is delivered as the first frame was no hello.
            if (link.FramesReceived() == 1 && link.PeerVersion() != kWireVersionNone)
                __builtin_trap();
            held = 0;
        }
    }
    const int version = link.PeerVersion();
    if (version < -1 || version > 0xFFFF || (version == -1 && link.FramesReceived() > 0))
        __builtin_trap();
    for (size_t i = TcpLink::kMaxPayload; i < block.size(); ++i)
        if (block[i] != 0xA5) __builtin_trap();
    if (fds[1] != -1) sockets::Close(fds[1]);
    return 0;
}
