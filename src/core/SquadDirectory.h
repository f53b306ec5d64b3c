#pragma once
// The squad hooks that IdRefSet needs: a controller of a computer-run team resolves a squad
// id to its squad (SquadDirectory::FindSquad), and a squad lets a map object leave it
// (SquadMembership::RemoveMember). The controllers and Squad implement these.
#include <cstdint>

class IdRefSet;

class SquadMembership {
public:
    virtual ~SquadMembership() = default;
    // When the object is a member, its entry goes and the squad's count drops by one;
    // otherwise nothing happens. The object's current squad id is still set during the call.
    virtual void RemoveMember(IdRefSet& member) = 0;
};

class SquadDirectory {
public:
    virtual ~SquadDirectory() = default;
    // The squad with that id, or null when it no longer exists.
    virtual SquadMembership* FindSquad(int32_t squadId) = 0;
};
