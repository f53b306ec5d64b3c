#include "ai/MissionScriptT8.h"

#include <memory>

#include "ai/ManagerTools.h"
#include "ai/UnitTraits.h"
#include "catalogue/PartTemplate.h"
#include "catalogue/VehicleDesign.h"
#include "core/PointNode.h"
#include "core/Random.h"
#include "objects/AttackManoeuvre.h"
#include "objects/GameObject.h"
#include "objects/Sim.h"
#include "objects/Squad.h"
#include "world/World.h"

MissionScriptT8::~MissionScriptT8() = default;

void MissionScriptT8::Setup(int level) {
    AIPlayer::Setup(level);
    for (const Point& p : {Point(3728, 112), Point(5072, 1168), Point(6320, 912)})
        approachPoints.PushBack(new PointNode(p));
    GroupB(kMinimumSize);
}

Point MissionScriptT8::ApproachFor(GameObject& member) const {
    VehicleDesign* design = member.GetDesign();
    const bool flagged = design && design->drive && design->drive->terrainFlag1 != 0;
    auto* node = static_cast<PointNode*>(approachPoints.At(flagged ? RandomRange(1, 2) : 0));
    return node ? node->value : member.GetPosition();
}

int MissionScriptT8::LaunchAttack(Squad& squad) {
    if (squad.MemberCount() < minimumAttackSize) return 0;
    // 1.
    GameObject* target = ChooseTarget();
    if (minimumAttackSize < kMaxAttackSize) ++minimumAttackSize;
    if (!target) return 0;
    // 2.
    squad.manoeuvres.DeleteAll();
    target->SetReferencePoint(team, target->GetPosition());
    squad.manoeuvres.Add(std::make_unique<AttackManoeuvre>(target->id));
    squad.purpose = kAttacking;
    squad.StampMembers();
    // 3.
    GameObject* transport = world.FindSim(transportId);
    for (GameObject* member : manager_tools::Members(squad)) {
        manager_tools::SetParameter(*member, 0, 3);
        manager_tools::SetParameter(*member, 4, 3);
        member->BuildManoeuvreList();
        if (transport && attacksLaunched > 0)
            member->ExecuteOrder(Sim::kOrderTransport, kBoardFlags, transport->GetPosition(),
                                 transport->id, 0);
        member->ExecuteOrder(Sim::kOrderMove, kApproachFlags, ApproachFor(*member), SimId(), 0);
        member->ExecuteOrder(Sim::kOrderAttack, kAttackFlags, target->GetPosition(), target->id, 0);
    }
    // 4.
    ++attacksLaunched;
    return 1;
}

GameObject* MissionScriptT8::TargetObject() {
    for (GameObject* o : TeamObjects(world.LocalTeam()))
        if (IsDeploying(o) || unit_traits::RoleOf(o) == 'k') return o;
    return AIPlayer::TargetObject();
}
