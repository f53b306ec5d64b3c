#pragma once
// The name of a map object: its team and a serial handed out by the World. Objects that may
// die before their users are referred to by SimId and looked up on every use.
#include <cstdint>

class SimId {
public:
    SimId() = default;
    SimId(int32_t team, int32_t serial) : team(team), serial(serial) {}
    SimId(const SimId& other) = default;
    SimId& operator=(const SimId& other) = default;
    virtual ~SimId() = default;

    bool operator==(const SimId& other) const {
        return team == other.team && serial == other.serial;
    }
    bool operator!=(const SimId& other) const { return !(*this == other); }
    bool IsNull() const { return team == -1 && serial == -1; }

    int32_t team = -1;
    int32_t serial = -1;
};
