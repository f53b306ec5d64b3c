#include "ai/SquadRules.h"

#include "objects/AssignTargetManoeuvre.h"
#include "objects/AttackManoeuvre.h"
#include "objects/EconomyManoeuvres.h"
#include "objects/ExploreManoeuvre.h"
#include "objects/FormationManoeuvre.h"
#include "objects/GameObject.h"
#include "objects/RepairSim.h"
#include "objects/RetaliateManoeuvre.h"

namespace {

SquadRules behaviourRules;
SquadRules* installedRules = nullptr;

}  // namespace

SquadRules::~SquadRules() = default;

std::unique_ptr<SquadManoeuvre> SquadRules::Formation(const Point& centre, int spacing) {
    auto formation = std::make_unique<FormationManoeuvre>(centre);
    formation->spacing = spacing;
    formation->UpdateRadius();
    return formation;
}

void SquadRules::Recentre(SquadManoeuvre& manoeuvre, const Point& centre) {
    auto* formation = dynamic_cast<FormationManoeuvre*>(&manoeuvre);
    if (!formation) return;
    formation->leaderId = SimId();
    formation->centre = centre;
    // Round the point rather than a leader.
    formation->recentre = 1;
    formation->UpdateRadius();
}

int SquadRules::CentreOf(SquadManoeuvre& manoeuvre, Point& out) {
    auto* formation = dynamic_cast<FormationManoeuvre*>(&manoeuvre);
    if (!formation) return 0;
    out = formation->centre;
    return 1;
}

std::unique_ptr<SquadManoeuvre> SquadRules::AssignTarget() {
    return std::make_unique<AssignTargetManoeuvre>();
}

std::unique_ptr<SquadManoeuvre> SquadRules::Retaliate() {
    return std::make_unique<RetaliateManoeuvre>();
}

std::unique_ptr<SquadManoeuvre> SquadRules::Attack(const SimId& target) {
    return std::make_unique<AttackManoeuvre>(target);
}

GameObject* SquadRules::TargetOf(SquadManoeuvre& manoeuvre) {
    auto* attack = dynamic_cast<AttackManoeuvre*>(&manoeuvre);
    return attack ? attack->Target() : nullptr;
}

void SquadRules::SeekOutOfSight(SquadManoeuvre& manoeuvre) {
    if (auto* explore = dynamic_cast<ExploreManoeuvre*>(&manoeuvre)) explore->visibilityMode = 1;
}

void SquadRules::SetMiningTarget(SquadManoeuvre& manoeuvre, const SimId& target) {
    if (auto* mining = dynamic_cast<MiningManoeuvre*>(&manoeuvre)) mining->SetTargetId(target);
}

void SquadRules::SetRepairReturn(GameObject& repairer, const Point& p) {
    auto* repair = dynamic_cast<RepairSim*>(&repairer);
    if (!repair) return;
    repair->returnPoint = p;
    repair->returnFlag = 1;
}

SquadRules& TheSquadRules() {
    return installedRules ? *installedRules : behaviourRules;
}

void SetSquadRules(SquadRules* rules) {
    installedRules = rules;
}
