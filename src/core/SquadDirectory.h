#pragma once
// The squad hooks that IdRefSet needs: the owner of a map object (the controller of its team)
// resolves a squad id to its squad (SquadDirectory::FindSquad), and a squad lets a map object
// leave it (SquadMembership::RemoveMember). The owner also takes the object's game events,
// which is why a directory is an event receiver. The team controllers and Squad implement
// these.
#include <cstdint>

#include "core/EventReceiver.h"

class IdRefSet;

class SquadMembership {
public:
    virtual ~SquadMembership() = default;
    // When the object is a member, its entry goes and the squad's count drops by one;
    // otherwise nothing happens. The object's current squad id is still set during the call.
    virtual void RemoveMember(IdRefSet& member) = 0;
};

class SquadDirectory : public EventReceiver {
public:
    // The squad with that id, or null when it no longer exists.
    virtual SquadMembership* FindSquad(int32_t squadId) = 0;
};
