#pragma once
// A list node that refers to an object it does not own; destroying the node leaves the
// object alone.
#include <cstdint>

#include "core/ListNode.h"

class PtrNode : public ListNode {
public:
    PtrNode() = default;
    void Set(void* target) { object = target; }
    void Clear() { object = nullptr; }
    void* Object() const { return object; }

    int32_t owned = 0;
    void* object = nullptr;
};
