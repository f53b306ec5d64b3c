// The TCP link on real loopback sockets: framing across calls, damaged and lost peers, polled
// connections and their retry time, the send queue, bound addresses and the shared listener;
// the hello that opens every connection and names its wire version.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <set>
#include <vector>

#include "net/CommandExecutor.h"
#include "net/Loopback.h"
#include "objects/CommandBuffer.h"
#include "support/FakeClock.h"

namespace {

std::vector<uint8_t> Frame(uint32_t length, uint32_t sequence, uint32_t constant,
                           const std::vector<uint8_t>& payload) {
    std::vector<uint8_t> bytes;
    for (uint32_t word : {length, sequence, constant})
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes.push_back(static_cast<uint8_t>(word >> shift));
    bytes.insert(bytes.end(), payload.begin(), payload.end());
    return bytes;
}

std::vector<uint8_t> Pattern(size_t length, int seed) {
    std::vector<uint8_t> bytes(length);
    for (size_t i = 0; i < length; ++i)
        bytes[i] = static_cast<uint8_t>(i * 7 + static_cast<size_t>(seed));
    return bytes;
}

// A link that accepted a plain socket, which the test writes raw bytes into. The receive block
// is followed by guard bytes that must never change.
class RawPeerTest : public ::testing::Test {
protected:
    static constexpr size_t kGuard = 64;

    void SetUp() override {
        endpoint = std::make_shared<TcpEndpoint>("127.0.0.1", FreePort());
        link = std::make_unique<TcpLink>(endpoint);
        ASSERT_EQ(link->Init(), 1);
        link->Listen();
        uint32_t address = 0;
        ASSERT_EQ(sockets::Resolve("127.0.0.1", address), 1);
        sockets::StartConnect(nullptr, address, endpoint->port, raw);
        ASSERT_TRUE(PollUntil([&] { return sockets::ConnectResult(raw) == 1; }));
        // The connection waits to be accepted: the one call that takes it answers 1.
        ASSERT_EQ(link->Listen(), 1);
        block.assign(TcpLink::kMaxPayload + kGuard, 0xEE);
    }
    void TearDown() override { sockets::Close(raw); }

    void Write(const std::vector<uint8_t>& bytes) {
        ASSERT_EQ(sockets::Send(raw, bytes.data(), bytes.size()), static_cast<long>(bytes.size()));
    }
    // Receives until the count of held bytes reaches `want` (or the link is lost).
    void ReceiveUntil(size_t want) {
        PollUntil([&] {
            link->Receive(block.data(), TcpLink::kMaxPayload, held, length);
            return held >= want || link->ConnectionLost();
        });
    }
    bool GuardIntact() const {
        for (size_t i = TcpLink::kMaxPayload; i < block.size(); ++i)
            if (block[i] != 0xEE) return false;
        return true;
    }

    std::shared_ptr<TcpEndpoint> endpoint;
    std::unique_ptr<TcpLink> link;
    int raw = -1;
    std::vector<uint8_t> block;
    size_t held = 0;
    size_t length = 0;
};

TEST_F(RawPeerTest, AHeaderAndPayloadSplitAcrossCallsLandAtTheBlockStart) {
    const std::vector<uint8_t> payload = Pattern(9, 3);
    const std::vector<uint8_t> frame = Frame(9, 1, 100, payload);
    Write({frame.begin(), frame.begin() + 5});
    // A few calls: the header stays incomplete, nothing is delivered.
    for (int i = 0; i < 5; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        link->Receive(block.data(), TcpLink::kMaxPayload, held, length);
    }
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(held, 0u);
    Write({frame.begin() + 5, frame.begin() + 15});
    ReceiveUntil(3);
    EXPECT_EQ(length, 9u);
    EXPECT_EQ(held, 3u);
    Write({frame.begin() + 15, frame.end()});
    ReceiveUntil(9);
    EXPECT_EQ(length, 9u);
    ASSERT_EQ(held, 9u);
    EXPECT_TRUE(std::equal(payload.begin(), payload.end(), block.begin()));
    EXPECT_EQ(link->ConnectionLost(), 0);
}

TEST_F(RawPeerTest, QueuedMessagesComeOnePerCallAndEmptyOnesAreSkipped) {
    std::vector<uint8_t> bytes = Frame(4, 1, 100, Pattern(4, 1));
    const std::vector<uint8_t> empty = Frame(0, 2, 100, {});
    const std::vector<uint8_t> second = Frame(6, 3, 100, Pattern(6, 2));
    bytes.insert(bytes.end(), empty.begin(), empty.end());
    bytes.insert(bytes.end(), second.begin(), second.end());
    Write(bytes);
    ReceiveUntil(4);
    ASSERT_EQ(length, 4u);
    ASSERT_EQ(held, 4u);
    EXPECT_EQ(block[3], Pattern(4, 1)[3]);
    held = 0;
    link->Receive(block.data(), TcpLink::kMaxPayload, held, length);
    ASSERT_EQ(length, 6u);
    ASSERT_EQ(held, 6u);
    EXPECT_EQ(block[5], Pattern(6, 2)[5]);
}

TEST_F(RawPeerTest, ABrokenFrameDropsTheLinkAndWritesNothingPastTheBlock) {
    struct Case {
        const char* what;
        uint32_t length, sequence, constant;
    };
    // Each case on a fresh connection: the first damaged frame ends the stream.
    const Case cases[] = {{"too long", 8193, 1, 100},
                          {"wrong constant", 8, 1, 99},
                          {"skipped sequence", 8, 2, 100},
                          {"repeated sequence", 8, 0, 100}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        link.reset();
        SetUp();
        Write(Frame(c.length, c.sequence, c.constant, Pattern(c.length, 5)));
        ReceiveUntil(TcpLink::kMaxPayload + 1);
        EXPECT_EQ(link->ConnectionLost(), 1);
        EXPECT_EQ(link->DropReason(), CommLink::kDroppedDamaged);
        EXPECT_EQ(length, 0u);
        EXPECT_TRUE(GuardIntact());
        EXPECT_EQ(link->Send(block.data(), 4), 0);
    }
}

TEST_F(RawPeerTest, AClosedPeerIsLostWithinOneCall) {
    sockets::Close(raw);
    raw = -1;
    // The close reaches the socket almost at once; the one call after that finds it.
    ASSERT_TRUE(PollUntil([&] {
        link->Receive(block.data(), TcpLink::kMaxPayload, held, length);
        return link->ConnectionLost() == 1;
    }));
    EXPECT_EQ(link->DropReason(), 0);
}

// On an injected clock: a connection that sends no whole frame within ten seconds of being
// made, or leaves one unfinished for ten seconds (however slowly it trickles in), is dropped as
// stalled; one that has sent a frame may then keep quiet.
class StalledPeerTest : public RawPeerTest {
public:
    using RawPeerTest::length;
    using RawPeerTest::Write;
    // Receives once after the clock moved on by `ms`; whether the link is still up.
    bool UpAfter(uint32_t ms) {
        clock.Advance(ms);
        // Whatever was written has reached the socket before the call that judges it.
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        link->Receive(block.data(), TcpLink::kMaxPayload, held, length);
        return link->ConnectionLost() == 0;
    }
    FakeClock clock{5000};
};

TEST_F(StalledPeerTest, SilenceOrAnUnfinishedFrameForTenSecondsDropsTheLink) {
    const std::vector<uint8_t> first = Frame(8, 1, 100, Pattern(8, 4));
    const std::vector<uint8_t> frame = Frame(8, 2, 100, Pattern(8, 5));
    struct Case {
        const char* what;
        int frames;
        std::function<bool(StalledPeerTest&)> run;
    };
    const Case cases[] = {
        {"silent from the start", 0,
         [](StalledPeerTest& t) { return t.UpAfter(9999) && !t.UpAfter(1); }},
        // After a first frame the link may keep quiet; a frame it starts must end in time.
        {"half a header, then nothing", 1,
         [&](StalledPeerTest& t) {
             t.Write(first);
             if (!t.UpAfter(30000)) return false;
             t.Write({frame.begin(), frame.begin() + 6});
             // Ten seconds from the call that read its first bytes.
             return t.UpAfter(0) && t.UpAfter(9999) && !t.UpAfter(1);
         }},
        {"a frame trickled a byte a second", 1,
         [&](StalledPeerTest& t) {
             t.Write(first);
             if (!t.UpAfter(100)) return false;
             for (size_t i = 0; i < 10; ++i) {
                 t.Write({frame[i]});
                 if (!t.UpAfter(i == 0 ? 0 : 1000)) return false;
             }
             // Ten seconds after its first byte, with bytes still coming.
             t.Write({frame[10]});
             return !t.UpAfter(1000);
         }},
        {"a payload cut short", 1,
         [&](StalledPeerTest& t) {
             t.Write(first);
             if (!t.UpAfter(100)) return false;
             t.Write({frame.begin(), frame.begin() + 15});
             if (!t.UpAfter(0) || t.length != 8u) return false;
             // Dropped, the message in progress is no longer offered.
             return !t.UpAfter(10000) && t.length == 0u;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        link.reset();
        SetUp();
        EXPECT_TRUE(c.run(*this));
        EXPECT_EQ(link->DropReason(), CommLink::kDroppedStalled);
        EXPECT_EQ(link->FramesReceived(), c.frames);
    }
    // A whole frame in time, then a long quiet: the link stays.
    TearDown();
    link.reset();
    SetUp();
    Write(first);
    EXPECT_TRUE(UpAfter(9000));
    EXPECT_EQ(link->FramesReceived(), 1);
    EXPECT_TRUE(UpAfter(60000));
    EXPECT_EQ(link->DropReason(), 0);
}

// Tests beside each other each bind their machines to the port they were given: no two
// processes get the same one while it is held, and none is one the kernel may hand out as the
// source of an outgoing connection.
TEST(TestPorts, NoTwoProcessesAreGivenTheSamePortAndNoneIsAnOutgoingSourcePort) {
    int first = 32768;
    std::ifstream("/proc/sys/net/ipv4/ip_local_port_range") >> first;
    std::set<int> mine;
    for (int i = 0; i < 60; ++i) {
        const int port = FreePort(4);
        ASSERT_GT(port, 0);
        EXPECT_LT(port, first);
        mine.insert(port);
    }
    EXPECT_EQ(mine.size(), 60u);
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        for (int i = 0; i < 2000; ++i) {
            const int port = FreePort(4);
            if (write(pipeEnds[1], &port, sizeof port) != sizeof port) _exit(1);
        }
        _exit(0);
    }
    close(pipeEnds[1]);
    int theirs = 0;
    int count = 0;
    while (read(pipeEnds[0], &theirs, sizeof theirs) == sizeof theirs) {
        ++count;
        EXPECT_GT(theirs, 0);
        EXPECT_EQ(mine.count(theirs), 0u) << theirs;
    }
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(count, 2000);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(TcpLink, ARefusedConnectIsRetriedOnlyFiveSecondsAfterItBegan) {
    FakeClock clock(1000);
    const int port = FreePort();
    TcpLink link(std::make_shared<TcpEndpoint>("127.0.0.1", port));
    ASSERT_EQ(link.Init(), 1);
    // Nobody listens: the attempt fails and its socket is closed.
    ASSERT_TRUE(PollUntil([&] { return link.Connect("127.0.0.1") == 0 && link.Socket() == -1; }));
    EXPECT_EQ(link.ConnectionLost(), 0);
    // A link that never connected has nothing to drop: it stays to try again.
    link.Drop(CommLink::kDroppedDamaged);
    EXPECT_EQ(link.ConnectionLost(), 0);
    EXPECT_EQ(link.DropReason(), 0);
    // A listener now, but the next attempt waits for its time.
    TcpLink listener(std::make_shared<TcpEndpoint>("127.0.0.1", port));
    listener.Init();
    ASSERT_EQ(listener.Listen(), 0);
    clock.Advance(4999);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(link.Connect("127.0.0.1"), 0);
    EXPECT_EQ(link.Socket(), -1);
    clock.Advance(1);
    EXPECT_TRUE(PollUntil([&] { return link.Connect("127.0.0.1") == 1; }));
    EXPECT_TRUE(PollUntil([&] { return listener.Listen() == 1; }));
    EXPECT_STREQ(link.PeerAddress(), "127.0.0.1");
}

TEST(TcpLink, APeerThatStopsReadingIsDroppedAtTheQueueBound) {
    LinkedPair pair(FreePort());
    ASSERT_TRUE(pair.connected);
    sockets::SetSendBuffer(pair.guest->Socket(), 4096);
    const std::vector<uint8_t> payload = Pattern(TcpLink::kMaxPayload, 9);
    int sends = 0;
    // Enough sends to pass the bound even after the kernel's buffers took their share.
    while (sends < 2000 && pair.guest->Send(payload.data(), payload.size()) == 1) {
        // A frame taken is never one that dropped the link.
        ASSERT_EQ(pair.guest->ConnectionLost(), 0);
        ++sends;
    }
    EXPECT_LT(sends, 2000);
    EXPECT_GT(sends, static_cast<int>(TcpLink::kQueueBound / TcpLink::kMaxPayload) / 2);
    EXPECT_EQ(pair.guest->ConnectionLost(), 1);
    EXPECT_EQ(pair.guest->DropReason(), CommLink::kDroppedStalled);
}

// The first `count` whole messages the host receives, while the guest keeps flushing its queue.
std::vector<std::vector<uint8_t>> ReceiveMessages(LinkedPair& pair, size_t count) {
    std::vector<uint8_t> block(TcpLink::kMaxPayload);
    size_t held = 0, length = 0;
    std::vector<std::vector<uint8_t>> got;
    PollUntil([&] {
        pair.guest->Receive(block.data(), block.size(), held, length);
        pair.host->Receive(block.data(), block.size(), held, length);
        if (length > 0 && held == length) {
            got.emplace_back(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(held));
            held = 0;
        }
        return got.size() == count;
    });
    return got;
}

TEST(TcpLink, SendsThroughATinyBufferArriveWholeAndInOrder) {
    LinkedPair pair(FreePort());
    ASSERT_TRUE(pair.connected);
    sockets::SetSendBuffer(pair.guest->Socket(), 2048);
    const size_t sizes[] = {0, 1, 256, 2048, 8192, 7, 8192, 8192, 100, 8192, 3};
    std::vector<std::vector<uint8_t>> expected;
    for (size_t i = 0; i < std::size(sizes); ++i) {
        expected.push_back(Pattern(sizes[i], static_cast<int>(i)));
        ASSERT_EQ(pair.guest->Send(expected.back().data(), sizes[i]), 1);
    }
    // The empty message carries nothing to deliver.
    const auto got = ReceiveMessages(pair, expected.size() - 1);
    expected.erase(expected.begin());
    EXPECT_EQ(got, expected);
    EXPECT_EQ(pair.guest->Queued(), 0u);
}

TEST(TcpLink, AMessageSentWhileOthersWaitInTheQueueArrivesAfterThem) {
    LinkedPair pair(FreePort());
    ASSERT_TRUE(pair.connected);
    sockets::SetSendBuffer(pair.guest->Socket(), 2048);
    std::vector<std::vector<uint8_t>> expected;
    // The host reads nothing until the guest has had to queue.
    for (int i = 0; i < 1000 && pair.guest->Queued() == 0; ++i) {
        expected.push_back(Pattern(TcpLink::kMaxPayload, i));
        ASSERT_EQ(pair.guest->Send(expected.back().data(), expected.back().size()), 1);
    }
    ASSERT_GT(pair.guest->Queued(), 0u);
    for (size_t size : {1u, 100u, 3u}) {
        expected.push_back(Pattern(size, static_cast<int>(expected.size())));
        ASSERT_EQ(pair.guest->Send(expected.back().data(), size), 1);
    }
    EXPECT_EQ(ReceiveMessages(pair, expected.size()), expected);
}

// A queue that grew past half its bound is drained through its compaction: everything still
// arrives whole and in order, and nothing stays queued.
TEST(TcpLink, AQueueFilledPastHalfItsBoundDrainsWholeAndInOrder) {
    LinkedPair pair(FreePort());
    ASSERT_TRUE(pair.connected);
    sockets::SetSendBuffer(pair.guest->Socket(), 2048);
    std::vector<std::vector<uint8_t>> expected;
    for (int i = 0; i < 2000 && pair.guest->Queued() < TcpLink::kQueueBound * 5 / 8; ++i) {
        expected.push_back(Pattern(TcpLink::kMaxPayload - static_cast<size_t>(i % 7), i));
        ASSERT_EQ(pair.guest->Send(expected.back().data(), expected.back().size()), 1);
    }
    ASSERT_GE(pair.guest->Queued(), TcpLink::kQueueBound * 5 / 8);
    EXPECT_EQ(ReceiveMessages(pair, expected.size()), expected);
    EXPECT_EQ(pair.guest->Queued(), 0u);
    EXPECT_EQ(pair.guest->ConnectionLost(), 0);
}

TEST(TcpLink, LinksBoundToTwoAddressesSeeEachOther) {
    LinkedPair pair(FreePort(), "127.0.0.2", "127.0.0.3");
    ASSERT_TRUE(pair.connected);
    EXPECT_STREQ(pair.host->PeerAddress(), "127.0.0.3");
    EXPECT_STREQ(pair.guest->PeerAddress(), "127.0.0.2");
    EXPECT_STREQ(pair.host->LocalAddress(), "127.0.0.2");
    EXPECT_STREQ(pair.guest->LocalAddress(), "127.0.0.3");
    EXPECT_EQ(pair.host->State(), TcpLink::kAccepted);
    EXPECT_EQ(pair.guest->State(), TcpLink::kConnected);
    // Asking a link that stands to connect again keeps it and answers yes, on either side.
    EXPECT_EQ(pair.guest->Connect("127.0.0.2"), 1);
    EXPECT_EQ(pair.host->Connect("127.0.0.3"), 1);
    EXPECT_EQ(pair.guest->State(), TcpLink::kConnected);
}

TEST(TcpLink, OnlyTheLastLinksDestructionClosesTheSharedListener) {
    auto endpoint = std::make_shared<TcpEndpoint>("127.0.0.1", FreePort());
    auto first = std::make_unique<TcpLink>(endpoint);
    auto second = std::make_unique<TcpLink>(endpoint);
    first->Init();
    second->Init();
    first->Listen();
    second->Listen();
    ASSERT_NE(endpoint->listener, -1);
    // A machine whose port is held elsewhere does not listen, and tries again on the next call.
    TcpLink rival(std::make_shared<TcpEndpoint>("127.0.0.1", endpoint->port));
    rival.Init();
    EXPECT_EQ(rival.Listen(), 0);
    EXPECT_EQ(rival.State(), TcpLink::kClosed);
    first.reset();
    EXPECT_NE(endpoint->listener, -1);
    second.reset();
    EXPECT_EQ(endpoint->listener, -1);
    EXPECT_EQ(rival.Listen(), 0);
    EXPECT_EQ(rival.State(), TcpLink::kListening);
    // Nothing is sent on a link that is not connected.
    TcpLink idle(endpoint);
    const uint8_t byte = 1;
    EXPECT_EQ(idle.Send(&byte, 1), 0);
}

}  // namespace

namespace {

// One end of a socket pair, adopted: it talks in frames as an accepted connection does, and the
// first send after the other end went away loses the link instead of queueing for nobody.
TEST(TcpLink, AnAdoptedSocketTalksInFramesAndASendToAClosedPeerLosesTheLink) {
    int fds[2];
    ASSERT_EQ(sockets::MakePair(fds), 1);
    auto endpoint = std::make_shared<TcpEndpoint>("", 0);
    TcpLink link(endpoint);
    ASSERT_EQ(link.Init(), 1);
    link.Adopt(fds[0]);
    EXPECT_EQ(link.State(), TcpLink::kAccepted);
    EXPECT_EQ(link.Socket(), fds[0]);
    const std::vector<uint8_t> payload = Pattern(5, 2);
    ASSERT_EQ(link.Send(payload.data(), payload.size()), 1);
    std::vector<uint8_t> got(64);
    long n = 0;
    // Behind the hello (21 bytes), the message as frame 2.
    ASSERT_TRUE(PollUntil([&] {
        const long more = sockets::Receive(fds[1], got.data() + n, got.size() - n);
        n += more > 0 ? more : 0;
        return n >= 38;
    }));
    ASSERT_EQ(n, 38);
    EXPECT_EQ(got[3], 9);
    EXPECT_EQ(got[21 + 3], 5);
    EXPECT_EQ(got[21 + 7], 2);
    EXPECT_TRUE(std::equal(payload.begin(), payload.end(), got.begin() + 21 + 12));
    const std::vector<uint8_t> frame = Frame(3, 1, 100, Pattern(3, 4));
    ASSERT_EQ(sockets::Send(fds[1], frame.data(), frame.size()), static_cast<long>(frame.size()));
    std::vector<uint8_t> block(TcpLink::kMaxPayload);
    size_t held = 0, length = 0;
    ASSERT_TRUE(PollUntil([&] {
        link.Receive(block.data(), block.size(), held, length);
        return held == 3;
    }));
    EXPECT_EQ(length, 3u);
    EXPECT_EQ(block[2], Pattern(3, 4)[2]);
    sockets::Close(fds[1]);
    EXPECT_EQ(link.Send(payload.data(), payload.size()), 0);
    EXPECT_EQ(link.ConnectionLost(), 1);
    EXPECT_EQ(link.Socket(), -1);
}

}  // namespace

namespace {

// The payload of a hello as the wire carries it, built here byte by byte.
std::vector<uint8_t> Hello(int version, uint8_t kind = 255, uint8_t magicStart = 'Q') {
    return {9,
            kind,
            magicStart,
            'X',
            'W',
            'V',
            'N',
            static_cast<uint8_t>(version),
            static_cast<uint8_t>(version >> 8)};
}

TEST_F(RawPeerTest, EveryConnectionOpensWithAHelloAnOlderBuildCannotRead) {
    std::vector<uint8_t> got(64);
    long n = 0;
    ASSERT_TRUE(PollUntil([&] {
        const long more = sockets::Receive(raw, got.data() + n, got.size() - n);
        n += more > 0 ? more : 0;
        return n >= 21;
    }));
    ASSERT_EQ(n, 21);
    const std::vector<uint8_t> expected = Frame(9, 1, 100, Hello(kWireVersion));
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), got.begin()));
    // Its kind is none a command stream has: a build without the hello drops it as damaged.
    const std::vector<uint8_t> payload(got.begin() + 12, got.begin() + 21);
    EXPECT_EQ(CommandExecutor::Check(payload.data(), payload.size()), 0);
    EXPECT_GT(kWireVersion, kWireVersionNone);
    // A heartbeat of the same stream is read.
    CommandBuffer heartbeat;
    heartbeat.SetEnabled(1);
    heartbeat.BeginRecording();
    heartbeat.SendHeartbeat();
    heartbeat.EndRecording();
    EXPECT_EQ(CommandExecutor::Check(heartbeat.Data(), heartbeat.Size()), 1);
}

TEST_F(RawPeerTest, TheFirstFrameNamesThePeersVersionAndAHelloIsNeverDelivered) {
    CommandBuffer heartbeat;
    heartbeat.SetEnabled(1);
    heartbeat.BeginRecording();
    heartbeat.SendHeartbeat();
    heartbeat.EndRecording();
    const std::vector<uint8_t> beat(heartbeat.Data(), heartbeat.Data() + heartbeat.Size());
    std::vector<uint8_t> longer = Hello(2);
    longer.push_back(0);
    longer[0] = 10;
    struct Case {
        const char* what;
        std::vector<uint8_t> first;
        int version;
        // The first frame is delivered (it is no hello).
        bool delivered;
    };
    const Case cases[] = {
        {"this build's hello", Hello(kWireVersion), kWireVersion, false},
        {"a later build's", Hello(3), 3, false},
        {"sixteen bits, low byte first", Hello(0x1234), 0x1234, false},
        {"version 0", Hello(0), 0, false},
        {"a heartbeat: a build without the hello", beat, kWireVersionNone, true},
        {"another kind", Hello(2, 254), kWireVersionNone, true},
        {"another magic", Hello(2, 255, 'R'), kWireVersionNone, true},
        {"a byte longer", longer, kWireVersionNone, true},
        {"an empty frame", {}, kWireVersionNone, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        link.reset();
        SetUp();
        EXPECT_EQ(link->PeerVersion(), -1);
        // The first frame and a second behind it, in one write.
        std::vector<uint8_t> bytes = Frame(static_cast<uint32_t>(c.first.size()), 1, 100, c.first);
        const std::vector<uint8_t> second = Frame(4, 2, 100, Pattern(4, 6));
        bytes.insert(bytes.end(), second.begin(), second.end());
        Write(bytes);
        ASSERT_TRUE(PollUntil([&] {
            link->Receive(block.data(), TcpLink::kMaxPayload, held, length);
            return link->FramesReceived() > 0 || link->ConnectionLost();
        }));
        EXPECT_EQ(link->ConnectionLost(), 0);
        EXPECT_EQ(link->PeerVersion(), c.version);
        if (c.delivered) {
            EXPECT_EQ(length, c.first.size());
            EXPECT_EQ(held, c.first.size());
            EXPECT_TRUE(std::equal(c.first.begin(), c.first.end(), block.begin()));
        } else if (!c.first.empty()) {
            // The hello's call delivers nothing and reads no further.
            EXPECT_EQ(length, 0u);
            EXPECT_EQ(held, 0u);
            EXPECT_EQ(link->FramesReceived(), 1);
        }
        // An empty frame delivers nothing, so the call went on to the second.
        if (!c.first.empty()) {
            held = 0;
            ASSERT_TRUE(PollUntil([&] {
                link->Receive(block.data(), TcpLink::kMaxPayload, held, length);
                return (length == 4 && held == 4) || link->ConnectionLost();
            }));
        }
        EXPECT_EQ(length, 4u);
        EXPECT_EQ(block[3], Pattern(4, 6)[3]);
        EXPECT_EQ(link->FramesReceived(), 2);
        // Only the first frame names the version.
        EXPECT_EQ(link->PeerVersion(), c.version);
    }
}

TEST(TcpLink, TwoLinksEachReadTheOthersAnnouncedVersion) {
    for (int version : {kWireVersion, 7}) {
        SCOPED_TRACE(version);
        LinkedPair pair(FreePort());
        ASSERT_TRUE(pair.connected);
        std::vector<uint8_t> block(TcpLink::kMaxPayload);
        size_t held = 0, length = 0;
        ASSERT_TRUE(PollUntil([&] {
            pair.host->Receive(block.data(), block.size(), held, length);
            pair.guest->Receive(block.data(), block.size(), held, length);
            return pair.host->PeerVersion() != -1 && pair.guest->PeerVersion() != -1;
        }));
        EXPECT_EQ(pair.host->PeerVersion(), kWireVersion);
        EXPECT_EQ(pair.guest->PeerVersion(), kWireVersion);
        EXPECT_EQ(held, 0u);
        // A link made to announce another version (as a test plays another build) says so on
        // its next connection.
        TcpLink other(pair.guestEnd);
        other.Init();
        other.SetAnnouncedVersion(version + 1);
        ASSERT_TRUE(PollUntil([&] { return other.Connect("127.0.0.1") == 1; }));
        TcpLink accepted(pair.hostEnd);
        accepted.Init();
        ASSERT_TRUE(PollUntil([&] {
            accepted.Listen();
            accepted.Receive(block.data(), block.size(), held, length);
            return accepted.PeerVersion() != -1;
        }));
        EXPECT_EQ(accepted.PeerVersion(), version + 1);
    }
}

}  // namespace
