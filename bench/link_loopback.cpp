// Two TcpLinks on loopback against two plain blocking TCP sockets with the same options
// (TCP_NODELAY, the same 12-byte header): the round trip of one message (ping-pong) and
// one-way messages per second for payloads of 0, 256, 2048 and 8192 bytes. The plain pair is
// the physical limit; the ratios are printed at the end.
#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Comparison.h"
#include "net/TcpEndpoint.h"
#include "net/TcpLink.h"
#include "platform/Sockets.h"

namespace {

const int kSizes[] = {0, 256, 2048, 8192};
// Nanoseconds per operation by (test, size): test 0 link round trip, 1 plain round trip,
// 2 link one-way, 3 plain one-way.
std::map<std::pair<int, int>, double> results;

int FreePort() {
    const int fd = sockets::OpenListener("127.0.0.1", 0, 1);
    const int port = sockets::LocalPort(fd);
    sockets::Close(fd);
    return port;
}

struct LinkPair {
    LinkPair() {
        const int port = FreePort();
        auto a = std::make_shared<TcpEndpoint>("127.0.0.1", port);
        auto b = std::make_shared<TcpEndpoint>("127.0.0.1", port);
        host = std::make_unique<TcpLink>(a);
        guest = std::make_unique<TcpLink>(b);
        host->Init();
        guest->Init();
        host->Listen();
        for (int i = 0; i < 100000 && !(guest->Connect("127.0.0.1") && host->Listen()); ++i) {
        }
    }
    std::unique_ptr<TcpLink> host, guest;
};

// Polls until a whole message is in (an empty one needs no delivery: it is sent as the
// one-byte payload's stand-in, see below).
void ReceiveOne(TcpLink& link, std::vector<uint8_t>& block) {
    size_t held = 0, length = 0;
    do {
        link.Receive(block.data(), block.size(), held, length);
    } while (length == 0 || held != length);
}

struct PlainPair {
    PlainPair() {
        const int port = FreePort();
        const int listener = socket(AF_INET, SOCK_STREAM, 0);
        const int one = 1;
        setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(listener, 1);
        a = socket(AF_INET, SOCK_STREAM, 0);
        connect(a, reinterpret_cast<sockaddr*>(&address), sizeof address);
        b = accept(listener, nullptr, nullptr);
        close(listener);
        for (int fd : {a, b})
            setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    }
    ~PlainPair() {
        close(a);
        close(b);
    }
    static void SendFrame(int fd, const uint8_t* payload, size_t length) {
        uint8_t frame[12 + 8192] = {};
        const uint32_t words[3] = {htonl(static_cast<uint32_t>(length)), htonl(1), htonl(100)};
        std::memcpy(frame, words, 12);
        std::memcpy(frame + 12, payload, length);
        size_t sent = 0;
        while (sent < 12 + length)
            sent += static_cast<size_t>(send(fd, frame + sent, 12 + length - sent, 0));
    }
    static void ReceiveFrame(int fd, uint8_t* block) {
        uint8_t header[12];
        size_t got = 0;
        while (got < 12)
            got += static_cast<size_t>(recv(fd, header + got, 12 - got, 0));
        uint32_t length;
        std::memcpy(&length, header, 4);
        length = ntohl(length);
        got = 0;
        while (got < length)
            got += static_cast<size_t>(recv(fd, block + got, length - got, 0));
    }
    int a = -1, b = -1;
};

// The link delivers no empty message (it carries nothing); the size-0 case sends one byte.
size_t Payload(int size) {
    return size == 0 ? 1 : static_cast<size_t>(size);
}

void Record(benchmark::State& state, int test, double seconds, int64_t operations) {
    results[{test, static_cast<int>(state.range(0))}] = seconds * 1e9 / operations;
}

void LinkRoundTrip(benchmark::State& state) {
    LinkPair pair;
    std::vector<uint8_t> payload(Payload(static_cast<int>(state.range(0))), 7), block(8192);
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        pair.guest->Send(payload.data(), payload.size());
        ReceiveOne(*pair.host, block);
        pair.host->Send(block.data(), payload.size());
        ReceiveOne(*pair.guest, block);
    }
    Record(state, 0,
           std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
           state.iterations());
}

void PlainRoundTrip(benchmark::State& state) {
    PlainPair pair;
    std::vector<uint8_t> payload(Payload(static_cast<int>(state.range(0))), 7), block(8192);
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        PlainPair::SendFrame(pair.a, payload.data(), payload.size());
        PlainPair::ReceiveFrame(pair.b, block.data());
        PlainPair::SendFrame(pair.b, block.data(), payload.size());
        PlainPair::ReceiveFrame(pair.a, block.data());
    }
    Record(state, 1,
           std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
           state.iterations());
}

// Sixteen frames of 8 KiB fit the loopback socket buffers, so the blocking pair never stalls.
constexpr int kBurst = 16;

void LinkOneWay(benchmark::State& state) {
    LinkPair pair;
    std::vector<uint8_t> payload(Payload(static_cast<int>(state.range(0))), 7), block(8192);
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        for (int i = 0; i < kBurst; ++i)
            pair.guest->Send(payload.data(), payload.size());
        size_t held = 0, length = 0;
        for (int got = 0; got < kBurst;) {
            pair.guest->Receive(block.data(), block.size(), held, length);  // writes the queue on
            size_t h = 0, l = 0;
            pair.host->Receive(block.data(), block.size(), h, l);
            if (l > 0 && h == l) ++got;
        }
    }
    Record(state, 2,
           std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
           state.iterations() * kBurst);
    state.SetItemsProcessed(state.iterations() * kBurst);
}

void PlainOneWay(benchmark::State& state) {
    PlainPair pair;
    std::vector<uint8_t> payload(Payload(static_cast<int>(state.range(0))), 7), block(8192);
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        // A burst out, then read, as one thread must.
        for (int i = 0; i < kBurst; ++i)
            PlainPair::SendFrame(pair.a, payload.data(), payload.size());
        for (int i = 0; i < kBurst; ++i)
            PlainPair::ReceiveFrame(pair.b, block.data());
    }
    Record(state, 3,
           std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
           state.iterations() * kBurst);
    state.SetItemsProcessed(state.iterations() * kBurst);
}

void Sizes(benchmark::internal::Benchmark* b) {
    for (int size : kSizes)
        b->Arg(size);
}

BENCHMARK(LinkRoundTrip)->Apply(Sizes);
BENCHMARK(PlainRoundTrip)->Apply(Sizes);
BENCHMARK(LinkOneWay)->Apply(Sizes);
BENCHMARK(PlainOneWay)->Apply(Sizes);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (int size : kSizes) {
        const std::string n = std::to_string(size);
        PrintComparison("link round trip, " + n + " bytes", reporter, "LinkRoundTrip/" + n,
                        "PlainRoundTrip/" + n, "plain TCP", "ns");
        PrintComparison("link 16 one-way messages, " + n + " bytes", reporter, "LinkOneWay/" + n,
                        "PlainOneWay/" + n, "plain TCP", "ns");
    }
    // Wall-clock figures as well: the plain pair sleeps in recv, which CPU time leaves out.
    std::printf("\n%8s %14s %14s %8s %14s %14s %8s\n", "payload", "link rtt us", "plain rtt us",
                "ratio", "link msg/s", "plain msg/s", "ratio");
    for (int size : kSizes) {
        const double linkRtt = results[{0, size}], plainRtt = results[{1, size}];
        const double linkRate = 1e9 / results[{2, size}], plainRate = 1e9 / results[{3, size}];
        std::printf("%8d %14.2f %14.2f %8.2f %14.0f %14.0f %8.2f\n", size, linkRtt / 1000,
                    plainRtt / 1000, linkRtt / plainRtt, linkRate, plainRate, linkRate / plainRate);
    }
    benchmark::Shutdown();
    return 0;
}
