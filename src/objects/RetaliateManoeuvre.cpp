#include "objects/RetaliateManoeuvre.h"

#include <vector>

#include "objects/AttackManoeuvre.h"
#include "objects/GameObject.h"
#include "objects/Goal.h"
#include "objects/ManoeuvreRules.h"
#include "objects/ObjectWorld.h"
#include "objects/Sim.h"
#include "objects/Squad.h"

namespace {

constexpr int kFactoryKind = 4;

}  // namespace

RetaliateManoeuvre::~RetaliateManoeuvre() = default;

int RetaliateManoeuvre::Execute(Sim& sim) {
    Goal* order = sim.goals.FirstUnfinished();
    if (!order || order->IsLocation() == 1) {
        GameObject* near = TheObjectWorld().FindObjectNear(&sim, sim.GetEngageRange());
        if (near && near->IsDestroyed() == 0) sim.SetLastAttacker(near);
    }
    // The attack manoeuvre acts on it in the same pass.
    return 0;
}

int RetaliateManoeuvre::ExecuteForSquad(Squad& squad) {
    // 1.
    GameObject* fixed = nullptr;
    if (auto* attack = dynamic_cast<AttackManoeuvre*>(
            squad.manoeuvres.Find(static_cast<int>(ManoeuvreType::Attack))))
        fixed = attack->Target();
    // 2. Only the first enemy found is shared, so nothing else is collected.
    GameObject* first = nullptr;
    const std::vector<GameObject*> members = manoeuvre::Members(squad);
    for (GameObject* member : members) {
        if (!member->IsCurrent(squad.Id())) continue;
        GameObject* e = member->GetLastAttacker();
        if (e && member->IsDestroyed() == 0 && member->IsHostileTo(e) == 1 && e != fixed &&
            e->GetKind() != kFactoryKind) {
            first = e;
            break;
        }
    }
    // 3.
    if (first) {
        for (GameObject* member : members) {
            if (member->IsCurrent(squad.Id())) member->SetLastAttacker(first);
        }
    }
    return 0;
}
