#pragma once
// Where the host's lobby keeps connections that have not yet sent a whole frame. They hold no
// peer slot: a client that connects and stays silent, however often it reconnects, cannot keep
// a real player out. Each step takes in everything the listener holds (so its queue keeps room
// for the next real joiner), reads each waiting connection's first frame, and hands over the
// ones that sent one. The room is bounded: when it is full, the oldest connection of the peer
// address that holds the most waiting places goes, so that one address flooding the lobby only
// ever pushes out its own connections. A connection silent for TcpLink::kSilentMs goes too.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class CommLink;

class WaitingRoom {
public:
    static constexpr int kRoom = 16;
    // Connections taken from the listener in one step at most (the rest wait for the next).
    static constexpr int kAcceptsPerStep = 64;

    explicit WaitingRoom(std::function<std::unique_ptr<CommLink>()> makeLink);
    ~WaitingRoom();
    WaitingRoom(const WaitingRoom&) = delete;
    WaitingRoom& operator=(const WaitingRoom&) = delete;

    // One step; the connections that have sent a whole frame, in the order they came.
    std::vector<std::unique_ptr<CommLink>> Step();
    // Closes every waiting connection and the spare link that listens.
    void Clear();

    int Waiting() const { return static_cast<int>(waiting.size()); }
    // Connections taken in and pushed out for want of room since the room was made.
    int64_t Accepted() const { return accepted; }
    int64_t PushedOut() const { return pushedOut; }
    // The spare link listening for the next connection; null before the first step.
    CommLink* Listener() const { return spare.get(); }

private:
    void Admit(std::unique_ptr<CommLink> link);
    void PushOutOne();

    struct Entry {
        std::unique_ptr<CommLink> link;
        int64_t order;
    };
    std::function<std::unique_ptr<CommLink>()> makeLink;
    std::unique_ptr<CommLink> spare;
    std::vector<Entry> waiting;
    int64_t accepted = 0;
    int64_t pushedOut = 0;
    std::vector<uint8_t> scratch;
};
