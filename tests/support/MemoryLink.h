#pragma once
// A network link held in memory for tests: it starts or fails as told, keeps every message
// sent, hands out queued incoming bytes, and reports a lost connection when a test says so or
// after it was dropped.
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "world/CommLink.h"

class MemoryLink : public CommLink {
public:
    explicit MemoryLink(int initResult = 1) : initResult(initResult) {}

    int Init() override { return initResult; }
    int Listen() override { return connected; }
    int Connect(const char* host) override {
        connectedTo = host ? host : "";
        return connected;
    }
    int ConnectionLost() override { return lost; }
    void Disconnect() override {
        ++disconnects;
        if (disconnectTally) ++*disconnectTally;
    }
    // Refused once the link is lost.
    int Send(const uint8_t* data, size_t length) override;
    // Whole messages from `incoming`, as far as they fit, with their payload length.
    void Receive(uint8_t* buffer, size_t capacity, size_t& held, size_t& payloadLength) override;
    const char* HostName() override { return "memory"; }
    const char* LocalAddress() override { return localAddress.c_str(); }
    const char* PeerAddress() override { return peerAddress.c_str(); }
    void CloseListener() override { ++listenerCloses; }
    void Drop(int reason) override {
        lost = 1;
        dropReason = reason;
    }
    int DropReason() override { return dropReason; }
    int FramesReceived() override { return framesReceived; }

    int initResult;
    int connected = 0;
    int lost = 0;
    int dropReason = 0;
    // From 1, as a link that has heard its peer; one more per message handed out.
    int framesReceived = 1;
    int disconnects = 0;
    int listenerCloses = 0;
    std::string connectedTo;
    std::string localAddress = "10.0.0.1";
    std::string peerAddress = "10.0.0.2";
    // Counts disconnects where the test can still read them after the link is gone.
    int* disconnectTally = nullptr;
    std::vector<std::vector<uint8_t>> sent;
    std::deque<std::vector<uint8_t>> incoming;
};
