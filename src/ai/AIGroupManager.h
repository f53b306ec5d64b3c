#pragma once
// The manager (id 3) of a planning controller that runs the team's fighting groups: one defence
// group (kind 6) and attack groups, assault (kind 7) and raid (kind 8), each filled through
// build orders while a plan for it exists. Each think step tidies the groups, picks a target
// and the group to send, orders units for the group being filled, or plans a new group. It
// orders only by rebuilding a group's manoeuvres and resetting its members' parameters and
// goals, and remembers who attacked the team's units.
#include <cstdint>
#include <vector>

#include "ai/AIManager.h"
#include "core/ListNode.h"
#include "core/NodeList.h"
#include "core/Point.h"
#include "core/SimId.h"

class DesignRules;
class InfluenceCell;
class Squad;
class SquadManoeuvre;

class AIGroupManager : public AIManager {
public:
    static constexpr int32_t kDefenceKind = 6;
    static constexpr int32_t kAssaultKind = 7;
    static constexpr int32_t kRaidKind = 8;
    // By level 1 .. 5 (index 0 unused).
    static const int32_t kStartThreshold[6];
    static const int32_t kFullSize[6];

    // A group still being filled.
    class GroupPlan : public ListNode {
    public:
        int32_t squadId = 0;
        int32_t mode = 1;
        // The group's requests ask for kind-3 items.
        int32_t kind3 = 0;
        int32_t raid = 0;
        int32_t wantedSize = 1;
    };

    struct Choice {
        Squad* group = nullptr;
        GameObject* target = nullptr;
    };

    explicit AIGroupManager(AIController& owner);
    ~AIGroupManager() override;

    // A unit of a group may serve a higher-priority request while it is not attacking.
    int IsUnitAvailable(GameObject& unit, int higherPriority) override;
    int Think() override;
    void OnEvent(int32_t kind, void* a, void* b) override;
    // Purpose 6 joins the defence group, 7 and 8 the first group of that kind (made on demand).
    int ClaimUnit(GameObject& unit, int32_t& squadId) override;

    // The team the groups fight: the controller's target team, else the local team when it is
    // neither this team nor allied with it, else the lowest-numbered unallied team that still
    // has a factory; 0 for none.
    int32_t TargetTeam() const;
    int32_t FullSize() const;
    int32_t AttackThreshold();

    // The steps of Think.
    void MaintainGroups();
    Point ChooseGatherPoint(Squad& group);
    void Regroup(Squad& group, const Point& at);
    Choice ChooseAttack();
    int RateTarget(GameObject& object);
    Squad* PickAttackGroup(GameObject& target, int urgent);
    void LaunchAttack(Squad& group, GameObject& target);
    Squad* FindReadyPlan();
    void MakePlan();

    // The group's attack manoeuvre, and the object it is after (null: not attacking).
    SquadManoeuvre* AttackOf(Squad& group) const;
    GameObject* AttackTargetOf(Squad& group) const;
    GroupPlan* PlanOf(int32_t squadId) const;

    // Of GroupPlan, owned.
    NodeList plans;
    int32_t attackThreshold = 0;
    SimId factoryAttacker;
    SimId minerAttacker;
    SimId repairerAttacker;
    SimId structureAttacker;
    SimId spottedFactory;
    int32_t heavyHits = 0;
    int32_t defenceId = 0;
    int32_t outnumbered = 0;

private:
    Squad* MakeGroup(int32_t kind);
    // The request rows that the defence and attack requests share.
    void FileDefenceRequest(Squad& group);
    void FileAttackRequest(Squad& group, const GroupPlan& plan);
    void TakeUnit(Squad& group, GameObject* unit);
    // The attack threshold is taken from the level the manager has when first needed (the
    // controller sets it during set-up, after the managers are made).
    int32_t thresholdChosen = 0;
};
