#include "core/IdRefSet.h"

#include "core/ListNode.h"
#include "core/SquadDirectory.h"

IdRefSet::~IdRefSet() {
    SetOwner(nullptr);
}

// A squad may have been disbanded while the object still names it: such an id is skipped.
void IdRefSet::TellSquad(int32_t id) {
    if (!owner || id == 0) return;
    if (SquadMembership* squad = owner->FindSquad(id)) squad->RemoveMember(*this);
}

void IdRefSet::SetOwner(SquadDirectory* newOwner) {
    if (newOwner == owner) return;
    if (owner) {
        if (current != 0) TellSquad(current);
        current = 0;
        while (ListNode* node = memberships.PopFront()) {
            TellSquad(node->key);
            delete node;
        }
    }
    owner = newOwner;
}

void IdRefSet::Add(int32_t id, int asCurrent) {
    if (asCurrent) {
        if (current != 0) TellSquad(current);
        current = id;
        return;
    }
    ListNode* node = new ListNode;
    node->key = id;
    memberships.PushFront(node);
}

void IdRefSet::Remove(int32_t id) {
    if (id == 0) {
        current = 0;
        memberships.DeleteAll();
        return;
    }
    if (id == current) {
        current = 0;
        return;
    }
    delete FindNode(id);
}

bool IdRefSet::IsCurrent(int32_t id) const {
    return id != 0 ? current == id : current != 0;
}

ListNode* IdRefSet::FindNode(int32_t id) const {
    for (ListNode* p = memberships.First(); p; p = memberships.Next(p)) {
        if (p->key == id) return p;
    }
    return nullptr;
}
