#pragma once
// What the TCP links of one machine share: the address and port they bind, the one listening
// socket every spare link accepts from, and the count of live links (the last one to go closes
// the listener). The game has one per process; tests make several to play several machines.
#include <string>
#include <utility>

class TcpEndpoint {
public:
    // An empty bind address: every local address.
    TcpEndpoint(std::string bindAddress, int port)
        : bindAddress(std::move(bindAddress)), port(port) {}
    ~TcpEndpoint() { CloseListener(); }
    TcpEndpoint(const TcpEndpoint&) = delete;
    TcpEndpoint& operator=(const TcpEndpoint&) = delete;

    // Opens the listener unless it is open; 0 when it cannot be opened (it stays closed, so
    // the next call tries again).
    int OpenListener();
    void CloseListener();

    // Room in the kernel's queue of connections not yet taken: the lobby takes in everything
    // waiting each tick, and a deep queue keeps room for a real joiner's connection while a
    // flood of reconnecting clients pours in (a full queue drops it, and the joiner's retry
    // comes seconds later).
    static constexpr int kBacklog = 64;
    const std::string bindAddress;
    const int port;
    // -1 when none.
    int listener = -1;
    int liveLinks = 0;
};
