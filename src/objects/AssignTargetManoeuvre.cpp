#include "objects/AssignTargetManoeuvre.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "objects/GameObject.h"
#include "objects/Goal.h"
#include "objects/ManoeuvreRules.h"
#include "objects/ObjectWorld.h"
#include "objects/Sim.h"
#include "objects/Squad.h"

namespace {

constexpr int kMoveFlags = 0x3d;
constexpr int kAttackFlags = 7;
constexpr int kEngageEvent = 0;

GameObject* Living(GameObject* o) {
    return o && o->IsDestroyed() == 0 ? o : nullptr;
}

}  // namespace

AssignTargetManoeuvre::~AssignTargetManoeuvre() = default;

int AssignTargetManoeuvre::Execute(Sim& sim) {
    // 1.
    if (sim.IsGuarding() != 1) return 0;
    // 2.
    Goal* order = sim.goals.FirstUnfinished();
    GameObject* target = nullptr;
    if (sim.goals.HasRepairGoal() == 0) {
        target = !order || order->IsLocation() == 1
                     ? TheObjectWorld().FindObjectNear(&sim, sim.GetEngageRange())
                     : sim.GetLastAttacker();
    }
    // 3. A target the unit is left unhurt by (ManoeuvreRules' LeftUnhurt) counts as none: taken
    // here it got no goal, yet was reported and answered 1 at every run, and the guard's lower
    // manoeuvres (answering its attacker among them) never ran again.
    if (!Living(target) || manoeuvre::LeftUnhurt(sim, *target) || sim.goals.AttackTarget(&sim, 1))
        return 0;
    Point at = target->GetPosition();
    manoeuvre::Report(sim, kEngageEvent, &sim, &at);
    manoeuvre::GiveFrontGoal(sim, manoeuvre::AttackOrApproach(sim, *target));
    return 1;
}

int AssignTargetManoeuvre::ExecuteForSquad(Squad& squad) {
    ObjectWorld& world = TheObjectWorld();
    // 1. Targets by ascending key, a new one before those of its key.
    std::vector<GameObject*> idle;
    std::vector<std::pair<int, GameObject*>> targets;
    auto addTarget = [&targets](GameObject* t, int key) {
        for (const auto& entry : targets) {
            if (entry.second == t) return;
        }
        auto at = std::lower_bound(targets.begin(), targets.end(), key,
                                   [](const auto& e, int k) { return e.first < k; });
        targets.insert(at, {key, t});
    };
    for (GameObject* member : manoeuvre::Members(squad)) {
        if (!member->IsCurrent(squad.Id())) {
            GameObject* candidate = Living(member->GetLastAttacker());
            if (!candidate)
                candidate = Living(world.FindObjectNear(member, member->GetEngageRange()));
            if (candidate) addTarget(candidate, 0);
            continue;
        }
        if (!member->goals.AttackGoal(member, 1) && member->goals.HasRepairGoal() == 0) {
            idle.insert(idle.begin(), member);
            continue;
        }
        GameObject* candidate = nullptr;
        Goal* order = member->goals.FirstUnfinished();
        if (order && order->IsAttack() == 1) candidate = order->GetTarget();
        if (!candidate) candidate = member->GetLastAttacker();
        if (candidate && member->IsDestroyed() == 0 && member->IsHostileTo(candidate) == 1)
            addTarget(candidate, member->damage.Value() - candidate->damage.Value());
    }
    // 2.
    if (idle.empty() || targets.empty()) return 0;
    // 3. Members go to each target in turn while they outnumber the targets left, so the last
    // target receives all that remain.
    int ordered = 0;
    size_t next = 0;
    while (!idle.empty() && next < targets.size()) {
        GameObject* target = targets[next++].second;
        const size_t left = targets.size() - next;
        while (!idle.empty() && idle.size() > left) {
            GameObject* member = manoeuvre::TakeNearest(idle, target->GetPosition());
            manoeuvre::OrderMemberAgainst(*member, *target, squad.Team(), kMoveFlags, kAttackFlags);
            ++ordered;
        }
    }
    // 4.
    return ordered > 0 ? 1 : 0;
}
