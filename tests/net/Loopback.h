#pragma once
// Helpers for tests on real loopback sockets: a port nobody listens on, bounded polling (the
// kernel hands bytes over loopback at once, but a test never spins for ever), and a connected
// pair of links on endpoints of their own.
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "net/TcpEndpoint.h"
#include "net/TcpLink.h"
#include "platform/Sockets.h"
#include "support/FreePort.h"

// Polls until the condition holds, at most about two seconds; whether it held.
template <typename Condition>
bool PollUntil(Condition condition) {
    for (int i = 0; i < 2000; ++i) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::microseconds(1000));
    }
    return condition();
}

// Two machines' links: `host` accepted the connection `guest` made.
struct LinkedPair {
    explicit LinkedPair(int port, const char* hostAddress = "127.0.0.1",
                        const char* guestAddress = "127.0.0.1")
        : hostEnd(std::make_shared<TcpEndpoint>(hostAddress, port)),
          guestEnd(std::make_shared<TcpEndpoint>(guestAddress, port)),
          host(std::make_unique<TcpLink>(hostEnd)),
          guest(std::make_unique<TcpLink>(guestEnd)) {
        host->Init();
        guest->Init();
        host->Listen();
        const std::string target = hostAddress;
        connected = PollUntil([&] {
            const int made = guest->Connect(target.c_str());
            return host->Listen() == 1 && made == 1;
        });
    }
    std::shared_ptr<TcpEndpoint> hostEnd;
    std::shared_ptr<TcpEndpoint> guestEnd;
    std::unique_ptr<TcpLink> host;
    std::unique_ptr<TcpLink> guest;
    bool connected = false;
};
