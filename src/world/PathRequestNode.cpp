#include "world/PathRequestNode.h"

PathRequestNode::PathRequestNode(const SimId& id, int32_t priority,
                                 std::unordered_multimap<int64_t, SimIdNode*>& index)
    : SimIdNode(id), index(index) {
    key = priority;
    index.emplace(KeyOf(id), this);
}

PathRequestNode::~PathRequestNode() {
    auto [first, last] = index.equal_range(KeyOf(id));
    for (auto it = first; it != last; ++it) {
        if (it->second == this) {
            index.erase(it);
            break;
        }
    }
}
