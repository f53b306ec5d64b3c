#pragma once
// The goals of one map object in order; the front goal is its current order. The queue owns
// its goals until they are popped. FrontGoalDone is the goal loop's test whether a front goal
// that did not report itself done may be popped anyway.
#include <cstdint>
#include <memory>

#include "objects/Goal.h"

class GameObject;

class GoalQueue {
public:
    GoalQueue() = default;
    virtual ~GoalQueue();
    GoalQueue(const GoalQueue&) = delete;
    GoalQueue& operator=(const GoalQueue&) = delete;

    Goal* Front() const;
    // The first goal that is not a waypoint: the order goal.
    Goal* FirstUnfinished() const;
    void PushFront(std::unique_ptr<Goal> goal);
    void PushBack(std::unique_ptr<Goal> goal);
    // Null on an empty queue.
    std::unique_ptr<Goal> PopFront();
    // The goal after the given one; null when it is last or not in the queue.
    Goal* Next(const Goal* goal) const;
    void Clear();
    // Deletes the leading waypoint goals; the goal left in front asks for its route again.
    void DropFinished();
    // Deletes goals from the front up to and including the last one aimed at the object.
    void RemoveUpToTarget(const GameObject* object);
    // Deletes every goal a push made (a step aside and the route leading to it); the count.
    int RemovePushedAside();
    void BlockFront();
    void UnblockFront();
    // Clears the failed-route mark of the given goal, wherever it stands in the queue.
    void Unblock(const Goal* goal);
    int IsEmpty() const { return head ? 0 : 1; }
    int IsFrontBlocked() const;
    GameObject* AttackTarget(GameObject* self, int onlyHostile) const;
    Goal* AttackGoal(GameObject* self, int onlyHostile) const;
    int HasRepairGoal() const;
    int HasRefuelGoal() const;
    int HasGoalOfType(int type) const;
    // 1 when the queue was empty, else 0 (every goal now repeats).
    int RepeatAll();

    // Walks the goals in order.
    template <class Visit>
    void ForEach(Visit visit) const {
        for (const Node* n = head.get(); n; n = n->next.get())
            visit(*n->goal);
    }

private:
    struct Node {
        // The route to this goal failed; set on the head only, kept when a goal goes ahead of it.
        int32_t blocked = 0;
        std::unique_ptr<Goal> goal;
        std::unique_ptr<Node> next;
    };
    const Node* FindAttack(GameObject* self, int onlyHostile) const;

    std::unique_ptr<Node> head;
};

// For the Sim's and the group's goal loops; the object has a front goal.
int FrontGoalDone(GameObject* sim);
