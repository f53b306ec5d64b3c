#pragma once
// A queued path request: the id of the waiting object, its priority as the node's key, and its
// entry in the World's index of requests, which it leaves when it is deleted (however that
// happens: served, dropped, aged out or cleared with the queue).
#include <cstdint>
#include <unordered_map>

#include "world/SimIdNode.h"

class PathRequestNode : public SimIdNode {
public:
    PathRequestNode(const SimId& id, int32_t priority,
                    std::unordered_multimap<int64_t, SimIdNode*>& index);
    ~PathRequestNode() override;

    // Game time spent in the queue, counted by the tick.
    int32_t waitedMs = 0;

    static int64_t KeyOf(const SimId& id) {
        return (static_cast<int64_t>(id.team) << 32) | static_cast<uint32_t>(id.serial);
    }

private:
    std::unordered_multimap<int64_t, SimIdNode*>& index;
};
