#include "objects/ManoeuvreRules.h"

#include <cstdint>

#include "core/EventReceiver.h"
#include "core/PtrNode.h"
#include "map/SightGrid.h"
#include "objects/CommandBuffer.h"
#include "objects/GameObject.h"
#include "objects/Goal.h"
#include "objects/LocationGoal.h"
#include "objects/ObjectWorld.h"
#include "objects/Squad.h"
#include "objects/TargetGoal.h"

namespace manoeuvre {

namespace {

constexpr int kApproachTolerance = 10;

int SeenBy(const Rect& r, int team) {
    SightGrid* sight = TheObjectWorld().Sight();
    return sight ? sight->IsRectVisible(r, team) : 0;
}

int PointSeenBy(const Point& p, int team) {
    SightGrid* sight = TheObjectWorld().Sight();
    return sight ? sight->IsVisible(p, team) : 0;
}

}  // namespace

void SendFrontGoal(GameObject& unit) {
    TheObjectWorld().Commands().SendGoal(&unit, unit.goals.Front());
}

void GiveFrontGoal(GameObject& unit, std::unique_ptr<Goal> goal) {
    unit.AddGoal(std::move(goal), 0);
    SendFrontGoal(unit);
}

std::unique_ptr<Goal> AttackOrApproach(GameObject& unit, GameObject& target) {
    if (SeenBy(target.GetFootprint(), unit.GetTeam()) == 1)
        return std::make_unique<TargetGoal>(unit.id, target.id, Point(0, 0), 1, 1);
    return std::make_unique<LocationGoal>(unit.id, target.GetCentre(), kApproachTolerance, 1, 1);
}

void OrderMemberAgainst(GameObject& member, GameObject& target, int squadTeam, int moveFlags,
                        int attackFlags) {
    const int team = member.GetTeam();
    if (SeenBy(target.GetFootprint(), team) != 1) {
        const Point reference = target.GetReferencePoint(squadTeam);
        const Point to = reference != Point(0, 0) && PointSeenBy(reference, team) != 1
                             ? reference
                             : target.GetPosition();
        member.ExecuteOrder(kMove, moveFlags, to, SimId(), 0);
    }
    member.ExecuteOrder(kAttack, attackFlags, target.GetPosition(), target.id, 0);
}

std::vector<GameObject*> Members(const Squad& squad) {
    std::vector<GameObject*> out;
    for (ListNode* n = squad.members.First(); n; n = squad.members.Next(n)) {
        auto* set = static_cast<IdRefSet*>(static_cast<PtrNode*>(n)->Object());
        if (set) out.push_back(static_cast<GameObject*>(set));
    }
    return out;
}

GameObject* TakeNearest(std::vector<GameObject*>& list, const Point& p) {
    if (list.empty()) return nullptr;
    size_t best = 0;
    int64_t bestDistance = INT64_MAX;
    for (size_t i = 0; i < list.size(); ++i) {
        const Point d = list[i]->GetPosition() - p;
        const int64_t distance = static_cast<int64_t>(d.x) * d.x + static_cast<int64_t>(d.y) * d.y;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    GameObject* taken = list[best];
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(best));
    return taken;
}

void Report(GameObject& unit, int kind, void* a, void* b) {
    if (EventReceiver* receiver = TheObjectWorld().ControllerOf(unit.GetTeam()))
        receiver->OnEvent(kind, a, b);
}

}  // namespace manoeuvre
