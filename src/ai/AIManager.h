#pragma once
// One of the four managers a planning controller hands its work to: a list node keyed by its
// manager id (1 squad pool, 2 build planner, 3 group manager, 4 recruiter, so the controller's
// list runs them in that order), the squads it runs and its own level. Subclasses decide what
// to think, which new units to claim and whether one of their units may be lent to a build
// order.
#include <cstdint>
#include <memory>

#include "core/ListNode.h"
#include "core/NodeList.h"

class AIController;
class GameObject;
class Squad;
class Timer;

class AIManager : public ListNode {
public:
    static constexpr int32_t kSquadPoolId = 1;
    static constexpr int32_t kBuildPlannerId = 2;
    static constexpr int32_t kGroupManagerId = 3;
    static constexpr int32_t kRecruiterId = 4;

    explicit AIManager(AIController& owner);
    ~AIManager() override;

    // May a unit of one of this manager's squads be taken for a build order; higherPriority is
    // 1 when the requesting manager runs before this one.
    virtual int IsUnitAvailable(GameObject& unit, int higherPriority);
    virtual int MinLevel() const { return 1; }
    virtual int MaxLevel() const { return 5; }
    // 1 when the manager acted and the think phase of the cycle ends here.
    virtual int Think() = 0;
    // Every event the controller takes, whatever its kind.
    virtual void OnEvent(int32_t kind, void* a, void* b) = 0;
    // 1 with a squad id (0: none) when the manager takes the new unit.
    virtual int ClaimUnit(GameObject& unit, int32_t& squadId) = 0;

    // Clamped to the manager's own bounds.
    void SetLevel(int newLevel);
    int32_t Level() const { return level; }
    int32_t Id() const { return key; }
    AIController& Owner() const { return owner; }

    // The manager owns its squads, kept by their list key.
    Squad* AddChild(std::unique_ptr<Squad> squad);
    Squad* FindChild(int32_t squadId) const;
    // Deletes one of this manager's squads (the members leave it first); nothing for another.
    void DeleteChild(Squad* squad);
    // Runs each squad once, resuming where the last run stopped; 0 when the budget (may be
    // null) ran out, 1 after the last squad.
    int RunChildren(Timer* budget);
    // The squad a cut-short run resumes at; 0 starts at the first.
    int32_t RunCursor() const { return runCursor; }

    NodeList children;

protected:
    AIController& owner;

private:
    // A squad id rather than a pointer: a squad deleted between runs (a group merged away)
    // must not leave the next run resuming from freed memory. A missing one restarts at the
    // first squad.
    int32_t runCursor = 0;
    int32_t level = 1;
};
