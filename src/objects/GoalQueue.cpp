#include "objects/GoalQueue.h"

#include "core/Vector.h"
#include "objects/GameObject.h"
#include "objects/ObjectWorld.h"

GoalQueue::~GoalQueue() {
    Clear();
}

Goal* GoalQueue::Front() const {
    return head ? head->goal.get() : nullptr;
}

Goal* GoalQueue::FirstUnfinished() const {
    for (const Node* n = head.get(); n; n = n->next.get()) {
        if (n->goal->waypoint == 0) return n->goal.get();
    }
    return nullptr;
}

void GoalQueue::PushFront(std::unique_ptr<Goal> goal) {
    if (!goal) return;
    // Only the head's flag is ever set: a goal pushed in front (a unit blocked by a friend
    // steps aside first) leaves the one behind it to ask its route afresh.
    if (head) head->blocked = 0;
    auto node = std::make_unique<Node>();
    node->goal = std::move(goal);
    node->next = std::move(head);
    head = std::move(node);
}

void GoalQueue::PushBack(std::unique_ptr<Goal> goal) {
    if (!goal) return;
    std::unique_ptr<Node>* link = &head;
    while (*link)
        link = &(*link)->next;
    *link = std::make_unique<Node>();
    (*link)->goal = std::move(goal);
}

std::unique_ptr<Goal> GoalQueue::PopFront() {
    if (!head) return nullptr;
    std::unique_ptr<Node> node = std::move(head);
    head = std::move(node->next);
    return std::move(node->goal);
}

Goal* GoalQueue::Next(const Goal* goal) const {
    for (const Node* n = head.get(); n; n = n->next.get()) {
        if (n->goal.get() == goal) return n->next ? n->next->goal.get() : nullptr;
    }
    return nullptr;
}

void GoalQueue::Clear() {
    while (head)
        PopFront();
}

void GoalQueue::DropFinished() {
    while (head && head->goal->waypoint == 1)
        PopFront();
    if (head) head->goal->active = 0;
}

void GoalQueue::RemoveUpToTarget(const GameObject* object) {
    const Goal* last = nullptr;
    for (const Node* n = head.get(); n; n = n->next.get()) {
        if (n->goal->GetTarget() == object) last = n->goal.get();
    }
    if (!last || !object) return;
    while (head) {
        const bool reached = head->goal.get() == last;
        PopFront();
        if (reached) break;
    }
}

int GoalQueue::RemovePushedAside() {
    int removed = 0;
    std::unique_ptr<Node>* link = &head;
    while (*link) {
        if ((*link)->goal->movedAside != 1) {
            link = &(*link)->next;
            continue;
        }
        std::unique_ptr<Node> node = std::move(*link);
        *link = std::move(node->next);
        ++removed;
    }
    return removed;
}

void GoalQueue::BlockFront() {
    if (head) head->blocked = 1;
}

void GoalQueue::UnblockFront() {
    if (head) head->blocked = 0;
}

void GoalQueue::Unblock(const Goal* goal) {
    for (Node* n = head.get(); n; n = n->next.get())
        if (n->goal.get() == goal) n->blocked = 0;
}

int GoalQueue::IsFrontBlocked() const {
    return head ? head->blocked : 0;
}

const GoalQueue::Node* GoalQueue::FindAttack(GameObject* self, int onlyHostile) const {
    for (const Node* n = head.get(); n; n = n->next.get()) {
        if (n->goal->IsAttack() != 1) continue;
        GameObject* target = n->goal->GetTarget();
        if (!target) continue;
        if (onlyHostile == 0 || (self && self->IsHostileTo(target) == 1)) return n;
    }
    return nullptr;
}

GameObject* GoalQueue::AttackTarget(GameObject* self, int onlyHostile) const {
    const Node* n = FindAttack(self, onlyHostile);
    return n ? n->goal->GetTarget() : nullptr;
}

Goal* GoalQueue::AttackGoal(GameObject* self, int onlyHostile) const {
    const Node* n = FindAttack(self, onlyHostile);
    return n ? n->goal.get() : nullptr;
}

int GoalQueue::HasRepairGoal() const {
    for (const Node* n = head.get(); n; n = n->next.get()) {
        if (n->goal->IsRepair() == 1) return 1;
    }
    return 0;
}

int GoalQueue::HasRefuelGoal() const {
    for (const Node* n = head.get(); n; n = n->next.get()) {
        if (n->goal->IsRefuel() == 1) return 1;
    }
    return 0;
}

int GoalQueue::HasGoalOfType(int type) const {
    for (const Node* n = head.get(); n; n = n->next.get()) {
        if (n->goal->GetType() == type) return 1;
    }
    return 0;
}

int GoalQueue::RepeatAll() {
    if (!head) return 1;
    for (Node* n = head.get(); n; n = n->next.get())
        n->goal->repeat = 1;
    return 0;
}

int FrontGoalDone(GameObject* sim) {
    if (!sim) return 0;
    Goal* goal = sim->goals.Front();
    if (!goal || goal->finishOnArrival != 1) return 0;
    if (goal->IsDone() == 1) return 1;
    if (!sim->goals.IsFrontBlocked()) return 0;
    const Point to = goal->GetLocation() - sim->GetPosition();
    if (Vector(to).magnitude >= 40.0) return 0;
    SimId blockerId;
    sim->GetBlockingSim(blockerId);
    GameObject* blocker = TheObjectWorld().FindObject(blockerId);
    return !blocker || blocker->teamRecord.first == sim->teamRecord.first ? 1 : 0;
}
