#pragma once
// A set of Sims that a computer opponent or a mission script runs as one body: it owns a list
// of squad rules and runs it every two seconds. A Sim may belong to several squads, one of
// them its current (commanding) squad; membership is recorded on both sides, here as one node
// per member and on the Sim as the squad's id in its IdRefSet.
//
// A Sim joins only when its owner (its team's controller) resolves this squad's id, so that a
// Sim that dies or changes hands is sure to leave: no node here outlives its Sim.
#include <cstdint>

#include "core/IdNode.h"
#include "core/NodeList.h"
#include "core/Point.h"
#include "core/SquadDirectory.h"
#include "core/Timer.h"
#include "objects/ManoeuvreList.h"

class GameObject;
class PtrNode;

class Squad : public IdNode, public SquadMembership {
public:
    static constexpr int32_t kPeriodMs = 2000;

    // An empty squad of the team; its timer starts now.
    explicit Squad(int32_t team);
    ~Squad() override;

    // 1 when the Sim joined, as a plain member or (makeCurrent 1) as a member commanded by
    // this squad, which then stamps its purpose into it. 0, with nothing changed, for a Sim
    // that is a member already or whose owner does not know this squad.
    int AddMember(GameObject& sim, int makeCurrent);
    // The Sim's entry goes and its id set drops this squad; nothing when it is no member.
    void RemoveMember(IdRefSet& member) override;
    PtrNode* FindMember(const IdRefSet& member) const;
    // The member of the index-th node from the front (newest first), or null.
    GameObject* MemberAt(int32_t index) const;
    // The mean position of the members commanded by this squad; (0, 0) when there is none.
    Point Centroid() const;
    void StampMembers();
    // Runs a pass of the rules once the period is up; the pass may be cut short by the budget
    // (0) and then resumes at the next update at once. 1 while nothing is left over.
    virtual int Update(Timer* budget);

    int32_t Team() const { return team; }
    int32_t MemberCount() const { return memberCount; }
    int32_t CurrentCount() const { return currentCount; }
    int32_t OtherCount() const { return otherCount; }

    int32_t team;
    // One PtrNode per member, newest first; the nodes are owned, the Sims are not.
    NodeList members;
    int32_t memberCount = 0;
    int32_t currentCount = 0;
    int32_t otherCount = 0;
    ManoeuvreList manoeuvres;
    Timer timer{kPeriodMs};
    // Set by the computer opponents and scripts; stamped into the commanded members.
    int32_t purpose = 0;
};
