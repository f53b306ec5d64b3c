// The host lobby's waiting room with links held in memory: every connection on the listener is
// taken in, those that spoke are handed over in order, lost ones leave, and a full room pushes
// out the oldest connection of the address that holds the most places.
#include "net/WaitingRoom.h"

#include <gtest/gtest.h>

#include <deque>
#include <set>
#include <string>
#include <vector>

#include "world/CommLink.h"

namespace {

// The listener's queue (the peer addresses of connections waiting to be taken) and which links
// are still open, by the order they were made.
struct Listener {
    std::deque<std::string> queue;
    std::set<int> open;
    int made = 0;
    int failing = 0;
};

class RoomLink : public CommLink {
public:
    explicit RoomLink(Listener& listener) : listener(listener), id(listener.made++) {
        listener.open.insert(id);
    }
    ~RoomLink() override { listener.open.erase(id); }
    int Init() override { return 1; }
    int Listen() override {
        if (!address.empty()) return 1;
        if (listener.queue.empty()) return 0;
        address = listener.queue.front();
        listener.queue.pop_front();
        return 1;
    }
    int ConnectionLost() override { return lost; }
    void Disconnect() override {}
    int Send(const uint8_t*, size_t) override { return 1; }
    void Receive(uint8_t*, size_t, size_t&, size_t& payloadLength) override { payloadLength = 0; }
    const char* PeerAddress() override { return address.c_str(); }
    int FramesReceived() override { return frames; }

    Listener& listener;
    const int id;
    std::string address;
    int frames = 0;
    int lost = 0;
};

// A room whose links are RoomLinks; `links` finds a link by the order it was made.
struct Lobby {
    Lobby()
        : room([this]() -> std::unique_ptr<CommLink> {
              if (listener.failing) return nullptr;
              auto link = std::make_unique<RoomLink>(listener);
              links.push_back(link.get());
              return link;
          }) {}
    // The ids of the connections still waiting (the spare listener left out).
    std::set<int> Waiting() const {
        std::set<int> ids;
        for (int id : listener.open)
            if (!links[static_cast<size_t>(id)]->address.empty()) ids.insert(id);
        return ids;
    }
    Listener listener;
    std::vector<RoomLink*> links;
    WaitingRoom room;
};

TEST(WaitingRoom, AFullRoomPushesOutTheOldestOfTheAddressHoldingTheMost) {
    struct Case {
        const char* what;
        std::string arrivals;
        // Arrival numbers (from 0) pushed out.
        std::set<int> pushedOut;
    };
    auto repeat = [](const std::string& s, int n) {
        std::string out;
        for (int i = 0; i < n; ++i)
            out += s;
        return out;
    };
    const Case cases[] = {
        {"one address fills the room, another comes", repeat("A", 16) + "B", {0}},
        {"one waits, then a flood of thirty",
         "B" + repeat("A", 30),
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
        {"two addresses hold eight each: the older oldest goes",
         repeat("A", 8) + repeat("B", 8) + "C",
         {0}},
        {"a tie goes to the address whose oldest came first",
         repeat("B", 8) + repeat("A", 7) + "AC",
         {0}},
        {"four each: the oldest of all goes", repeat("ABCD", 4) + "E", {0}},
        {"a flood with two others waiting", "BC" + repeat("A", 20), {2, 3, 4, 5, 6, 7}},
        {"room enough", repeat("AB", 8), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Lobby lobby;
        for (char a : c.arrivals)
            lobby.listener.queue.push_back(std::string(1, a));
        EXPECT_TRUE(lobby.room.Step().empty());
        EXPECT_TRUE(lobby.listener.queue.empty());
        const int arrivals = static_cast<int>(c.arrivals.size());
        EXPECT_EQ(lobby.room.Accepted(), arrivals);
        EXPECT_EQ(lobby.room.PushedOut(), static_cast<int64_t>(c.pushedOut.size()));
        EXPECT_EQ(lobby.room.Waiting(), std::min(arrivals, WaitingRoom::kRoom));
        // Link k + 0 is the first spare; each taken connection was the spare of its turn.
        std::set<int> out;
        for (int k = 0; k < arrivals; ++k)
            if (!lobby.listener.open.count(k)) out.insert(k);
        EXPECT_EQ(out, c.pushedOut);
        // The spare listening for the next.
        EXPECT_EQ(lobby.listener.open.count(arrivals), 1u);
        EXPECT_EQ(lobby.room.Listener(), lobby.links[static_cast<size_t>(arrivals)]);
    }
}

TEST(WaitingRoom, ThoseThatSpokeAreHandedOverInOrderAndLostOnesLeave) {
    Lobby lobby;
    for (const char* a : {"A", "B", "C", "D"})
        lobby.listener.queue.push_back(a);
    EXPECT_TRUE(lobby.room.Step().empty());
    EXPECT_EQ(lobby.Waiting(), (std::set<int>{0, 1, 2, 3}));
    lobby.links[3]->frames = 1;
    lobby.links[1]->frames = 1;
    lobby.links[2]->lost = 1;
    const auto spoke = lobby.room.Step();
    ASSERT_EQ(spoke.size(), 2u);
    EXPECT_EQ(spoke[0].get(), lobby.links[1]);
    EXPECT_EQ(spoke[1].get(), lobby.links[3]);
    EXPECT_EQ(lobby.room.Waiting(), 1);
    EXPECT_EQ(lobby.Waiting(), (std::set<int>{0, 1, 3}));
    EXPECT_EQ(lobby.listener.open.count(2), 0u);
    // A handed-over link is the caller's: the room no longer counts it or pushes it out.
    for (int i = 0; i < 40; ++i)
        lobby.listener.queue.push_back("B");
    lobby.room.Step();
    EXPECT_EQ(lobby.listener.open.count(1), 1u);
    EXPECT_EQ(lobby.listener.open.count(0), 1u) << "the flood pushed out its own";
    EXPECT_EQ(lobby.room.Waiting(), WaitingRoom::kRoom);
    // A spare that failed with nobody on it is replaced; Clear closes everything it holds.
    const int spare = lobby.links.back()->id;
    lobby.links.back()->lost = 1;
    lobby.room.Step();
    EXPECT_EQ(lobby.listener.open.count(spare), 0u);
    EXPECT_EQ(lobby.room.Listener(), lobby.links[static_cast<size_t>(spare) + 1]);
    EXPECT_NE(lobby.room.Listener(), nullptr);
    lobby.room.Clear();
    EXPECT_EQ(lobby.room.Waiting(), 0);
    EXPECT_EQ(lobby.room.Listener(), nullptr);
    EXPECT_EQ(lobby.listener.open, (std::set<int>{1, 3}));
}

TEST(WaitingRoom, OneStepTakesABoundedNumberAndNoLinkMakerTakesNone) {
    Lobby lobby;
    for (int i = 0; i < WaitingRoom::kAcceptsPerStep + 10; ++i)
        lobby.listener.queue.push_back("A");
    lobby.room.Step();
    EXPECT_EQ(lobby.room.Accepted(), WaitingRoom::kAcceptsPerStep);
    EXPECT_EQ(lobby.listener.queue.size(), 10u);
    lobby.room.Step();
    EXPECT_EQ(lobby.room.Accepted(), WaitingRoom::kAcceptsPerStep + 10);
    EXPECT_EQ(lobby.room.PushedOut(), WaitingRoom::kAcceptsPerStep + 10 - WaitingRoom::kRoom);
    // Links that cannot be made: nothing is taken, and nothing breaks.
    lobby.room.Clear();
    lobby.listener.failing = 1;
    lobby.listener.queue.push_back("B");
    EXPECT_TRUE(lobby.room.Step().empty());
    EXPECT_EQ(lobby.room.Listener(), nullptr);
    EXPECT_EQ(lobby.listener.queue.size(), 1u);
}

}  // namespace
