#include "support/MemoryLink.h"

#include <algorithm>

int MemoryLink::Send(const uint8_t* data, size_t length) {
    if (lost) return 0;
    sent.emplace_back(data, data + length);
    return 1;
}

void MemoryLink::Receive(uint8_t* buffer, size_t capacity, size_t& held, size_t& payloadLength) {
    if (incoming.empty()) return;
    const std::vector<uint8_t>& message = incoming.front();
    payloadLength = message.size();
    const size_t room = held < capacity ? capacity - held : 0;
    const size_t count = std::min(room, message.size());
    std::copy(message.begin(), message.begin() + static_cast<std::ptrdiff_t>(count), buffer + held);
    held += count;
    incoming.pop_front();
    ++framesReceived;
}
