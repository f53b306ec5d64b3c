#include "ai/SquadRules.h"

#include "objects/GameObject.h"
#include "objects/ObjectWorld.h"
#include "objects/SquadManoeuvre.h"
#include "objects/UnitMakers.h"

namespace {

std::unique_ptr<SquadManoeuvre> MakeByType(ManoeuvreType type) {
    return TheObjectWorld().Makers().MakeManoeuvre(static_cast<int>(type), ManoeuvreArguments());
}

SquadRules neutralRules;
SquadRules* installedRules = nullptr;

}  // namespace

SquadRules::~SquadRules() = default;

std::unique_ptr<SquadManoeuvre> SquadRules::Formation(const Point&, int) {
    return MakeByType(ManoeuvreType::Formation);
}

void SquadRules::Recentre(SquadManoeuvre&, const Point&) {}

int SquadRules::CentreOf(SquadManoeuvre&, Point&) {
    return 0;
}

std::unique_ptr<SquadManoeuvre> SquadRules::AssignTarget() {
    return MakeByType(ManoeuvreType::AssignTarget);
}

std::unique_ptr<SquadManoeuvre> SquadRules::Retaliate() {
    return MakeByType(ManoeuvreType::Retaliate);
}

std::unique_ptr<SquadManoeuvre> SquadRules::Attack(const SimId&) {
    return MakeByType(ManoeuvreType::Attack);
}

GameObject* SquadRules::TargetOf(SquadManoeuvre&) {
    return nullptr;
}

void SquadRules::SeekOutOfSight(SquadManoeuvre&) {}

void SquadRules::SetMiningTarget(SquadManoeuvre&, const SimId&) {}

void SquadRules::SetRepairReturn(GameObject& repairer, const Point& p) {
    repairer.returnPoint = p;
}

SquadRules& TheSquadRules() {
    return installedRules ? *installedRules : neutralRules;
}

void SetSquadRules(SquadRules* rules) {
    installedRules = rules;
}
