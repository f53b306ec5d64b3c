#pragma once
// The squads a map object belongs to: the squad that commands it (current) and the further
// squads that count it as a member, all by squad id, resolved through the owning controller,
// and the purpose word its commanding squad stamps into it. It is the first base of every map
// object.
#include <cstdint>

#include "core/NodeList.h"

class ListNode;
class SquadDirectory;

class IdRefSet {
public:
    IdRefSet() = default;
    IdRefSet(const IdRefSet&) = delete;
    IdRefSet& operator=(const IdRefSet&) = delete;
    virtual ~IdRefSet();

    // Leaves every squad of the old owner (each squad that still exists is told), then takes
    // the new owner. Nothing happens when the owner does not change.
    void SetOwner(SquadDirectory* newOwner);
    // asCurrent != 0: the present commanding squad (if it still exists) lets the object go,
    // then id becomes current. Otherwise id is added as a further membership.
    void Add(int32_t id, int asCurrent);
    // 0 forgets every squad; no squad is told.
    void Remove(int32_t id);
    // id != 0: is it the current squad; id == 0: is there any current squad.
    bool IsCurrent(int32_t id) const;
    // The membership node whose key is id, or null.
    ListNode* FindNode(int32_t id) const;

    SquadDirectory* Owner() const { return owner; }
    int32_t CurrentSquad() const { return current; }
    const NodeList& Memberships() const { return memberships; }
    // What the commanding squad is for (a code of the computer opponents and mission scripts);
    // 0 until a squad stamps it.
    int32_t Purpose() const { return purpose; }
    void SetPurpose(int32_t code) { purpose = code; }

private:
    void TellSquad(int32_t id);

    SquadDirectory* owner = nullptr;
    int32_t current = 0;
    NodeList memberships;
    int32_t purpose = 0;
};
