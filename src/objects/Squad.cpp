#include "objects/Squad.h"

#include "core/PtrNode.h"
#include "objects/GameObject.h"

namespace {

// The nodes hold the member's id set, the part of a Sim that outlives the rest while it is
// being destroyed and tells its squads; the Sim itself is reached only while it lives.
IdRefSet* SetOf(ListNode* node) {
    return static_cast<IdRefSet*>(static_cast<PtrNode*>(node)->Object());
}

GameObject* SimOf(ListNode* node) {
    return static_cast<GameObject*>(SetOf(node));
}

}  // namespace

Squad::Squad(int32_t team) : team(team) {
    timer.Start();
}

Squad::~Squad() {
    while (ListNode* node = members.PopFront()) {
        SetOf(node)->Remove(id);
        delete node;
    }
}

int Squad::AddMember(GameObject& sim, int makeCurrent) {
    // A second node for the same Sim would outlive it: leaving removes only one.
    if (FindMember(sim)) return 0;
    if (!sim.Owner() || sim.Owner()->FindSquad(id) != this) return 0;
    sim.Add(id, makeCurrent == 1 ? 1 : 0);
    auto* node = new PtrNode;
    node->Set(static_cast<IdRefSet*>(&sim));
    members.PushFront(node);
    ++memberCount;
    if (makeCurrent == 1) {
        ++currentCount;
        sim.SetPurpose(purpose);
    } else {
        ++otherCount;
    }
    return 1;
}

void Squad::RemoveMember(IdRefSet& member) {
    PtrNode* node = FindMember(member);
    if (!node) return;
    if (member.IsCurrent(id)) {
        --currentCount;
    } else {
        --otherCount;
    }
    delete node;
    --memberCount;
    member.Remove(id);
}

PtrNode* Squad::FindMember(const IdRefSet& member) const {
    for (ListNode* n = members.First(); n; n = members.Next(n)) {
        if (SetOf(n) == &member) return static_cast<PtrNode*>(n);
    }
    return nullptr;
}

GameObject* Squad::MemberAt(int32_t index) const {
    ListNode* node = members.At(index);
    return node ? SimOf(node) : nullptr;
}

Point Squad::Centroid() const {
    if (currentCount == 0) return Point(0, 0);
    Point sum(0, 0);
    for (ListNode* n = members.First(); n; n = members.Next(n)) {
        GameObject* sim = SimOf(n);
        if (sim->IsCurrent(id)) sum = sum + sim->GetPosition();
    }
    return sum.Divide(currentCount);
}

void Squad::StampMembers() {
    for (ListNode* n = members.First(); n; n = members.Next(n)) {
        GameObject* sim = SimOf(n);
        if (sim->IsCurrent(id)) sim->SetPurpose(purpose);
    }
}

int Squad::Update(Timer* budget) {
    // 1.
    if (!timer.Expired()) return 1;
    // 2, 3: an unfinished pass leaves the timer expired so the next update resumes it at once.
    const int r = manoeuvres.RunForSquad(*this, budget);
    if (r == 1) timer.Start();
    return r;
}
