#include "support/FreePort.h"

#include <algorithm>
#include <deque>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/Sockets.h"

namespace {

// A port is reserved by a listener on an address no test's machine binds: the kernel lets one
// socket at a time listen there, in any process, and frees it with the process, so nothing is
// left behind. The machines bind 127.0.0.1 up to 127.0.0.5 and never every address at once.
constexpr const char* kReservationAddress = "127.0.0.250";
// Reservations live as long as the process, but a binary that runs all its tests in one
// process would gather hundreds; the oldest are long done with their ports.
constexpr size_t kHeldReservations = 64;
constexpr int kLowestPort = 10000;
constexpr int kSearchedPorts = 16384;

class Reservation {
public:
    explicit Reservation(int port) : fd(sockets::OpenListener(kReservationAddress, port, 1)) {}
    ~Reservation() {
        if (fd != -1) sockets::Close(fd);
    }
    Reservation(const Reservation&) = delete;
    Reservation& operator=(const Reservation&) = delete;
    bool Held() const { return fd != -1; }

private:
    int fd;
};

std::deque<std::unique_ptr<Reservation>>& Reservations() {
    static std::deque<std::unique_ptr<Reservation>> held;
    return held;
}

// The first port of the kernel's range for outgoing connections (the default when unknown).
int FirstEphemeralPort() {
    std::ifstream range("/proc/sys/net/ipv4/ip_local_port_range");
    int first = 0;
    if (!(range >> first) || first <= kLowestPort) first = 32768;
    return first;
}

bool EveryAddressCanListen(int port, int addresses) {
    std::vector<int> held;
    bool free = true;
    for (int n = 1; n <= addresses && free; ++n) {
        const int fd = sockets::OpenListener(("127.0.0." + std::to_string(n)).c_str(), port, 1);
        free = fd != -1;
        if (free) held.push_back(fd);
    }
    for (const int fd : held)
        sockets::Close(fd);
    return free;
}

}  // namespace

int FreePort(int addresses) {
    const int end = FirstEphemeralPort();
    const int first = std::max(kLowestPort, end - kSearchedPorts);
    std::random_device seed;
    const int start = static_cast<int>(seed() % static_cast<unsigned>(end - first));
    for (int i = 0; i < end - first; ++i) {
        const int port = first + (start + i) % (end - first);
        auto reservation = std::make_unique<Reservation>(port);
        if (!reservation->Held() || !EveryAddressCanListen(port, addresses)) continue;
        Reservations().push_back(std::move(reservation));
        if (Reservations().size() > kHeldReservations) Reservations().pop_front();
        return port;
    }
    return 0;
}
