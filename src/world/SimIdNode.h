#pragma once
// A list node that carries the id of a map object; the World's path-request queue holds them.
#include "core/ListNode.h"
#include "core/SimId.h"

class SimIdNode : public ListNode {
public:
    explicit SimIdNode(const SimId& id) : id(id) {}
    ~SimIdNode() override;

    SimId id;
};
