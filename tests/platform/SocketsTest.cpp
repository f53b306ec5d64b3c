// What the socket layer decides without a network: dotted addresses, error classes, the
// address shown for a bind setting.
#include "platform/Sockets.h"

#include <gtest/gtest.h>

#include <cerrno>

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
