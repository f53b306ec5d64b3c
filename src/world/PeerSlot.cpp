#include "world/PeerSlot.h"

int PeerSlot::Hold(const uint8_t* command, size_t length, int32_t forTeam, uint32_t now) {
    if (waiting.size() + length > kMaxWaitingBytes) return 0;
    if (waiting.empty()) {
        waitingFor = forTeam;
        waitingSince = now;
    }
    waiting.insert(waiting.end(), command, command + length);
    return 1;
}

int PeerSlot::HoldForStart(const uint8_t* command, size_t length) {
    if (beforeStart.size() + length > kMaxWaitingBytes) return 0;
    beforeStart.insert(beforeStart.end(), command, command + length);
    return 1;
}

std::vector<uint8_t> PeerSlot::TakeHeld() {
    std::vector<uint8_t> taken = std::move(waiting);
    waiting.clear();
    waitingFor = -1;
    fallEndsWait = 0;
    passedPause = 0;
    heldMark = 0;
    return taken;
}

void PeerSlot::Reset() {
    *this = PeerSlot();
}
