#include "net/WaitingRoom.h"

#include <cstring>
#include <string>

#include "objects/CommandBuffer.h"
#include "world/CommLink.h"

WaitingRoom::WaitingRoom(std::function<std::unique_ptr<CommLink>()> makeLink)
    : makeLink(std::move(makeLink)), scratch(CommandBuffer::kCapacity) {}

WaitingRoom::~WaitingRoom() {
    Clear();
}

void WaitingRoom::Clear() {
    for (Entry& entry : waiting)
        entry.link->Disconnect();
    waiting.clear();
    if (spare) spare->Disconnect();
    spare.reset();
}

std::vector<std::unique_ptr<CommLink>> WaitingRoom::Step() {
    for (int taken = 0; taken < kAcceptsPerStep && makeLink; ++taken) {
        // A listener that failed with nobody on it makes way for a fresh one.
        if (spare && spare->ConnectionLost() == 1) {
            spare->Disconnect();
            spare.reset();
        }
        if (!spare) {
            spare = makeLink();
            if (spare && spare->Init() == 0) {
                spare->Disconnect();
                spare.reset();
            }
            if (!spare) break;
        }
        if (spare->Listen() != 1) break;
        Admit(std::move(spare));
    }
    std::vector<std::unique_ptr<CommLink>> spoke;
    for (size_t i = 0; i < waiting.size();) {
        CommLink& link = *waiting[i].link;
        // One call at most: a joiner's first frame is read alone, and whatever it sends behind
        // it is left for its peer slot.
        size_t held = 0;
        size_t length = 0;
        link.Receive(scratch.data(), scratch.size(), held, length);
        if (link.ConnectionLost() == 1) {
            link.Disconnect();
        } else if (link.FramesReceived() > 0) {
            spoke.push_back(std::move(waiting[i].link));
        } else {
            ++i;
            continue;
        }
        waiting.erase(waiting.begin() + static_cast<std::ptrdiff_t>(i));
    }
    return spoke;
}

void WaitingRoom::Admit(std::unique_ptr<CommLink> link) {
    if (static_cast<int>(waiting.size()) >= kRoom) PushOutOne();
    waiting.push_back({std::move(link), accepted++});
}

void WaitingRoom::PushOutOne() {
    auto addressOf = [](const Entry& entry) {
        const char* address = entry.link->PeerAddress();
        return std::string(address ? address : "");
    };
    // The address holding the most places, and among its connections the oldest; on a tie
    // between addresses, the one whose oldest connection is older.
    size_t chosen = 0;
    int chosenCount = 0;
    for (size_t i = 0; i < waiting.size(); ++i) {
        const std::string address = addressOf(waiting[i]);
        int count = 0;
        size_t oldest = i;
        for (size_t j = 0; j < waiting.size(); ++j) {
            if (addressOf(waiting[j]) != address) continue;
            ++count;
            if (waiting[j].order < waiting[oldest].order) oldest = j;
        }
        if (count > chosenCount ||
            (count == chosenCount && waiting[oldest].order < waiting[chosen].order)) {
            chosen = oldest;
            chosenCount = count;
        }
    }
    waiting[chosen].link->Disconnect();
    waiting.erase(waiting.begin() + static_cast<std::ptrdiff_t>(chosen));
    ++pushedOut;
}
