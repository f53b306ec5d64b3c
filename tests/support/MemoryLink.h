#pragma once
// A network link held in memory for tests: it starts or fails as told, keeps every message
// sent, hands out queued incoming bytes, and reports a lost connection when a test says so.
#include <cstdint>
#include <deque>
#include <vector>

#include "world/CommLink.h"

class MemoryLink : public CommLink {
public:
    explicit MemoryLink(int initResult = 1) : initResult(initResult) {}

    int Init() override { return initResult; }
    int ConnectionLost() override { return lost; }
    void Disconnect() override {
        ++disconnects;
        if (disconnectTally) ++*disconnectTally;
    }
    void Send(const uint8_t* data, size_t length) override;
    // Whole messages from `incoming`, as far as they fit, with their payload length.
    void Receive(uint8_t* buffer, size_t capacity, size_t& held, size_t& payloadLength) override;

    int initResult;
    int lost = 0;
    int disconnects = 0;
    // Counts disconnects where the test can still read them after the link is gone.
    int* disconnectTally = nullptr;
    std::vector<std::vector<uint8_t>> sent;
    std::deque<std::vector<uint8_t>> incoming;
};
