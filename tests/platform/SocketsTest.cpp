// What the socket layer decides and does on this machine alone: dotted addresses, error
// classes, the address shown for a bind setting, a connection over the loopback.
#include "platform/ChildProcess.h"
#include "platform/Sockets.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <set>
#include <string>
#include <vector>

TEST(Sockets, OnlyFourNumbersUpTo255AreADottedAddress) {
    for (const char* good : {"127.0.0.1", "0.0.0.0", "255.255.255.255", "10.1.22.133"})
        EXPECT_EQ(sockets::IsDottedAddress(good), 1) << good;
    for (const char* bad : {"", "1.2.3", "1.2.3.4.5", "256.1.1.1", "1..2.3", "1.2.3.4 ", "a.b.c.d",
                            "0001.2.3.4", "1.2.3.", "localhost"})
        EXPECT_EQ(sockets::IsDottedAddress(bad), 0) << bad;
    EXPECT_EQ(sockets::IsDottedAddress(nullptr), 0);
    uint32_t address = 0;
    ASSERT_EQ(sockets::Resolve("127.0.0.3", address), 1);
    char text[16];
    sockets::FormatAddress(address, text, sizeof text);
    EXPECT_STREQ(text, "127.0.0.3");
    // A leading zero marks an octal part, as the classic address reader has it.
    ASSERT_EQ(sockets::Resolve("010.0.0.1", address), 1);
    sockets::FormatAddress(address, text, sizeof text);
    EXPECT_STREQ(text, "8.0.0.1");
    EXPECT_EQ(sockets::Resolve("", address), 0);
    EXPECT_EQ(sockets::Resolve(nullptr, address), 0);
    // A name is looked up; the machine's own name for itself is always known.
    ASSERT_EQ(sockets::Resolve("localhost", address), 1);
    sockets::FormatAddress(address, text, sizeof text);
    EXPECT_STREQ(text, "127.0.0.1");
    sockets::LocalAddress("127.0.0.4", text, sizeof text);
    EXPECT_STREQ(text, "127.0.0.4");
}

TEST(Sockets, ErrorsSortIntoLostTransientAndOther) {
    using sockets::ErrorClass;
    for (int e : {ECONNRESET, ECONNABORTED, ENOTCONN, ESHUTDOWN, ECONNREFUSED, EPIPE, ENETDOWN})
        EXPECT_EQ(sockets::ClassifyError(e), ErrorClass::Lost) << e;
    for (int e : {EINTR, EAGAIN, EINPROGRESS})
        EXPECT_EQ(sockets::ClassifyError(e), ErrorClass::Transient) << e;
    EXPECT_EQ(sockets::ClassifyError(EBADF), ErrorClass::Other);
}

TEST(Sockets, SendAndReceiveTellAFullOrEmptyLinkFromALostPeer) {
    int fds[2];
    ASSERT_EQ(sockets::MakePair(fds), 1);
    char got[16];
    EXPECT_EQ(sockets::Receive(fds[0], got, sizeof got), 0);  // nothing yet: try again
    // Nothing to send is sent, whatever error an earlier call left behind.
    errno = EPIPE;
    EXPECT_EQ(sockets::Send(fds[0], "x", 0), 0);
    sockets::SetSendBuffer(fds[0], 4096);
    const std::vector<char> block(65536, 'x');
    long sent = 0;
    for (int i = 0; i < 1000 && (sent = sockets::Send(fds[0], block.data(), block.size())) > 0;
         ++i) {
    }
    EXPECT_EQ(sent, 0);  // full: try again
    EXPECT_EQ(sockets::Receive(fds[1], got, sizeof got), long{sizeof got});
    sockets::Close(fds[1]);
    EXPECT_EQ(sockets::Send(fds[0], "x", 1), -1);
    EXPECT_EQ(sockets::Receive(fds[0], got, sizeof got), -1);
    sockets::Close(fds[0]);
}

// A signal that interrupts a wait on a blocking socket is no loss: the caller is told to try
// again, as for an empty non-blocking one.
TEST(Sockets, AnInterruptedReceiveIsTriedAgainNotLost) {
    int fds[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
    // Should the signal go to another thread of the program, the wait still ends.
    const timeval fiveSeconds{5, 0};
    ASSERT_EQ(setsockopt(fds[0], SOL_SOCKET, SO_RCVTIMEO, &fiveSeconds, sizeof fiveSeconds), 0);
    struct sigaction quiet = {};
    quiet.sa_handler = [](int) {};
    sigemptyset(&quiet.sa_mask);
    struct sigaction previous = {};
    ASSERT_EQ(sigaction(SIGALRM, &quiet, &previous), 0);  // no SA_RESTART: recv gives EINTR
    // Repeating, so that a signal that comes before the wait begins is followed by another.
    const itimerval every20ms{{0, 20000}, {0, 20000}};
    ASSERT_EQ(setitimer(ITIMER_REAL, &every20ms, nullptr), 0);
    char got[8];
    const long n = sockets::Receive(fds[0], got, sizeof got);
    const itimerval off{};
    setitimer(ITIMER_REAL, &off, nullptr);
    sigaction(SIGALRM, &previous, nullptr);
    EXPECT_EQ(n, 0);
    sockets::Close(fds[0]);
    sockets::Close(fds[1]);
}

TEST(Sockets, TheLocalAddressShownIsOneThisMachineCanListenOn) {
    // The host name shown is the machine's own, cut to the room given; a bind address given is
    // shown as it is.
    char own[256] = {};
    ASSERT_EQ(gethostname(own, sizeof own - 1), 0);
    if (own[0]) {
        char shown[256] = "unset";
        sockets::HostName(shown, sizeof shown);
        EXPECT_STREQ(shown, own);
        char cut[3] = "xx";
        sockets::HostName(cut, sizeof cut);
        EXPECT_EQ(std::string(cut), std::string(own).substr(0, 2));
    }
    char text[16];
    sockets::LocalAddress("10.1.2.3", text, sizeof text);
    EXPECT_STREQ(text, "10.1.2.3");
    sockets::LocalAddress(nullptr, text, sizeof text);
    // "?" only when the machine has no address of its own at all.
    if (std::strcmp(text, "?") == 0) return;
    EXPECT_EQ(sockets::IsDottedAddress(text), 1) << text;
    // Others reach the machine by an address of an interface that is up, never the loopback.
    std::set<std::string> reachable;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) == 0) {
        for (ifaddrs* i = list; i; i = i->ifa_next) {
            if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET) continue;
            if (!(i->ifa_flags & IFF_UP) || (i->ifa_flags & IFF_LOOPBACK)) continue;
            char address[INET_ADDRSTRLEN] = {};
            inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(i->ifa_addr)->sin_addr, address,
                      sizeof address);
            reachable.insert(address);
        }
        freeifaddrs(list);
    }
    if (!reachable.empty()) {
        EXPECT_EQ(reachable.count(text), 1u) << text;
    }
    const int fd = sockets::OpenListener(text, 0, 1);
    EXPECT_GE(fd, 0) << text;
    sockets::Close(fd);
}

TEST(Sockets, WithoutAnInterfaceTheMachineIsShownByWhatItsNameResolvesTo) {
    char own[256] = {};
    ASSERT_EQ(gethostname(own, sizeof own - 1), 0);
    std::string expected = "?";
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (own[0] && getaddrinfo(own, nullptr, &hints, &found) == 0 && found) {
        char address[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr, address,
                  sizeof address);
        expected = address;
        freeaddrinfo(found);
    }
    char text[16] = "unset";
    sockets::HostNameAddress(text, sizeof text);
    EXPECT_EQ(std::string(text), expected) << own;
}

// A connection over the loopback: the listener's port, the peer's address as text, the
// connect's result once it is made, and a refused one; bad bind texts are refused at once.
TEST(Sockets, ALoopbackConnectionIsMadeReportedAndRefused) {
    if (!sockets::CanMakeSockets()) GTEST_SKIP() << "no sockets here";
    EXPECT_EQ(sockets::OpenListener("1.2.3", 0, 1), -1);
    int fd = 7;
    EXPECT_EQ(sockets::StartConnect("nonsense", 0, 1, fd), -1);
    EXPECT_EQ(fd, -1);

    const int listener = sockets::OpenListener("127.0.0.1", 0, 4);
    ASSERT_GE(listener, 0);
    const int port = sockets::LocalPort(listener);
    ASSERT_GT(port, 0);
    uint32_t loopback = 0;
    ASSERT_EQ(sockets::Resolve("127.0.0.1", loopback), 1);
    int client = -1;
    ASSERT_GE(sockets::StartConnect("127.0.0.1", loopback, port, client), 0);
    ASSERT_GE(client, 0);
    char peer[16] = "unset";
    int accepted = -1;
    int result = 0;
    for (int i = 0; i < 400 && (accepted < 0 || result == 0); ++i) {
        if (accepted < 0) accepted = sockets::Accept(listener, peer, sizeof peer);
        result = sockets::ConnectResult(client);
        if (accepted < 0 || result == 0) usleep(5000);
    }
    ASSERT_GE(accepted, 0);
    EXPECT_EQ(result, 1);
    EXPECT_STREQ(peer, "127.0.0.1");
    EXPECT_EQ(sockets::Send(client, "ping", 4), 4);
    char got[8] = {};
    long n = 0;
    for (int i = 0; i < 400 && (n = sockets::Receive(accepted, got, sizeof got)) == 0; ++i)
        usleep(5000);
    EXPECT_EQ(n, 4);
    EXPECT_STREQ(got, "ping");
    // A peer that went away cleanly: nothing more will come, which is not "try again".
    sockets::Close(client);
    for (int i = 0; i < 400 && (n = sockets::Receive(accepted, got, sizeof got)) == 0; ++i)
        usleep(5000);
    EXPECT_EQ(n, -1);
    sockets::Close(accepted);
    sockets::Close(listener);

    // Nobody listens on the port any more: the connect ends refused, never made.
    int refused = -1;
    const int started = sockets::StartConnect(nullptr, loopback, port, refused);
    if (started == 0) {
        for (int i = 0; i < 400 && (result = sockets::ConnectResult(refused)) == 0; ++i)
            usleep(5000);
        EXPECT_EQ(result, -1);
    } else {
        EXPECT_EQ(started, -1);
    }
    sockets::Close(refused);

    // Texts are cut to the room given.
    char small[4] = "xyz";
    sockets::FormatAddress(loopback, small, sizeof small);
    EXPECT_STREQ(small, "127");
    sockets::FormatAddress(loopback, small, 0);
    EXPECT_STREQ(small, "127");
}

// Calls that fail at once say so and leave no socket behind: a port another listener holds, an
// address this machine does not have, a multicast address (no stream can reach one), and a
// process that may open no more descriptors (a child with its limit at what it has).
TEST(Sockets, CallsThatCannotWorkFailAtOnceAndLeaveNoSocket) {
    if (!sockets::CanMakeSockets()) GTEST_SKIP() << "no sockets here";
    const int listener = sockets::OpenListener("127.0.0.1", 0, 1);
    ASSERT_GE(listener, 0);
    EXPECT_EQ(sockets::OpenListener("127.0.0.1", sockets::LocalPort(listener), 1), -1);
    EXPECT_EQ(sockets::LastError(), EADDRINUSE);
    sockets::Close(listener);
    EXPECT_EQ(sockets::OpenListener("192.0.2.1", 0, 1), -1);
    EXPECT_EQ(sockets::LastError(), EADDRNOTAVAIL);
    uint32_t loopback = 0;
    uint32_t multicast = 0;
    ASSERT_EQ(sockets::Resolve("127.0.0.1", loopback), 1);
    ASSERT_EQ(sockets::Resolve("224.0.0.1", multicast), 1);
    struct Case {
        const char* bind;
        uint32_t address;
    };
    for (const Case& c : {Case{"192.0.2.1", loopback}, Case{nullptr, multicast}}) {
        int fd = 7;
        EXPECT_EQ(sockets::StartConnect(c.bind, c.address, 9, fd), -1);
        EXPECT_EQ(fd, -1);
    }
    EXPECT_EQ(sockets::Send(-1, "x", 1), -1);
    EXPECT_EQ(sockets::LastError(), EBADF);
    EXPECT_EQ(sockets::LocalPort(-1), 0);

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int lowest = dup(0);
        close(lowest);
        const rlimit limit{static_cast<rlim_t>(lowest), static_cast<rlim_t>(lowest)};
        if (setrlimit(RLIMIT_NOFILE, &limit) != 0) _exit(100);
        int failed = 0;
        int fd = 7;
        int pair[2];
        if (sockets::CanMakeSockets() != 0) failed |= 1;
        if (sockets::OpenListener(nullptr, 0, 1) != -1) failed |= 2;
        if (sockets::StartConnect(nullptr, loopback, 9, fd) != -1 || fd != -1) failed |= 4;
        if (sockets::MakePair(pair) != 0) failed |= 8;
        _exit(failed);
    }
    EXPECT_EQ(ExitCodeOf(child), 0) << "bit 1 CanMakeSockets, 2 OpenListener, 4 StartConnect, "
                                       "8 MakePair";
}

// Descriptor 0 is a socket like any other (a game started with its input closed gets it first):
// each call that makes one hands it out as made, and Close gives it back. Run in a child, whose
// input can go.
TEST(Sockets, DescriptorZeroIsASocketLikeAnyOther) {
    if (!sockets::CanMakeSockets()) GTEST_SKIP() << "no sockets here";
    uint32_t loopback = 0;
    ASSERT_EQ(sockets::Resolve("127.0.0.1", loopback), 1);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(0);
        int failed = 0;
        // Moves the socket at 0 elsewhere, so that the next one made can take 0.
        const auto moveAway = [] {
            const int moved = dup(0);
            close(0);
            return moved;
        };
        if (sockets::CanMakeSockets() != 1) failed |= 1;
        if (sockets::OpenListener("127.0.0.1", 0, 4) != 0) failed |= 2;
        const int listener = moveAway();
        const int port = sockets::LocalPort(listener);
        int client = 7;
        if (sockets::StartConnect(nullptr, loopback, port, client) < 0 || client != 0) failed |= 4;
        client = moveAway();
        char peer[16] = "";
        int accepted = -1;
        for (int i = 0; i < 400 && (accepted = sockets::Accept(listener, peer, sizeof peer)) < 0;
             ++i)
            usleep(5000);
        if (accepted != 0 || std::strcmp(peer, "127.0.0.1") != 0) failed |= 8;
        int result = 0;
        for (int i = 0; i < 400 && (result = sockets::ConnectResult(client)) == 0; ++i)
            usleep(5000);
        if (result != 1 || sockets::Send(client, "zero", 4) != 4) failed |= 16;
        char got[8] = {};
        long n = 0;
        for (int i = 0; i < 400 && (n = sockets::Receive(0, got, sizeof got)) == 0; ++i)
            usleep(5000);
        if (n != 4 || std::strcmp(got, "zero") != 0) failed |= 32;
        sockets::Close(0);
        if (sockets::OpenListener(nullptr, 0, 1) != 0) failed |= 64;
        _exit(failed);
    }
    EXPECT_EQ(ExitCodeOf(child), 0) << "bit 1 CanMakeSockets, 2 OpenListener, 4 StartConnect, "
                                       "8 Accept, 16 ConnectResult/Send, 32 Receive, 64 Close";
}
