// What the socket layer decides without a network: dotted addresses, error classes, the
// address shown for a bind setting.
#include "platform/Sockets.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
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
    EXPECT_EQ(sockets::Resolve("", address), 0);
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

TEST(Sockets, TheLocalAddressShownIsOneThisMachineCanListenOn) {
    char text[16];
    sockets::LocalAddress(nullptr, text, sizeof text);
    // "?" only when the machine has no address of its own at all.
    if (std::strcmp(text, "?") == 0) return;
    EXPECT_EQ(sockets::IsDottedAddress(text), 1) << text;
    const int fd = sockets::OpenListener(text, 0, 1);
    EXPECT_GE(fd, 0) << text;
    sockets::Close(fd);
}
