#pragma once
// A list node with a program-wide serial number: the first IdNode made gets 1, each further
// one the next number, never reused. Squads derive from it; the number is the squad id.
#include <cstdint>

#include "core/ListNode.h"

class IdNode : public ListNode {
public:
    IdNode();
    int32_t Id() const { return id; }

protected:
    int32_t id;

private:
    static int32_t nextId;
};
