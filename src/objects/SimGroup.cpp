#include "objects/SimGroup.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "core/DisplayBase.h"
#include "core/NodeList.h"
#include "core/ResourceFile.h"
#include "objects/Goal.h"
#include "objects/LocationGoal.h"
#include "objects/ObjectWorld.h"
#include "objects/SquadManoeuvre.h"
#include "objects/TargetGoal.h"
#include "ui/ScreenBase.h"

namespace {

constexpr int kMoveCode = 1;
constexpr int kAttackCode = 2;
constexpr int kMoveThereCode = 10;
constexpr int kPlaceFlags = 0x16;
constexpr int kHomeFlags = 4;
constexpr int kWaypointFlag = 0x20;
constexpr int kTopLayer = 2;
constexpr double kScaleStep = 0.1;
constexpr int kCrossColour = 9;
constexpr int kCrossHalf = 5;
constexpr long kMaxOffset = 32767;

int Rounded(double v) {
    return static_cast<int>(std::lround(v));
}

// "team,serial,x,y": 1 when all four numbers were read, each within 32 bits.
int ReadPlace(const char* text, long (&out)[4]) {
    const char* p = text;
    for (int i = 0; i < 4; ++i) {
        if (!p) return 0;
        char* end = nullptr;
        const long v = std::strtol(p, &end, 10);
        if (end == p || v < INT32_MIN || v > INT32_MAX) return 0;
        out[i] = v;
        p = end;
        if (i < 3) {
            if (*p != ',') return 0;
            ++p;
        }
    }
    return 1;
}

}  // namespace

SimGroup::SimGroup(const SimId& id)
    : GameObject(Point(0, 0), 0, Size(0, 0), nullptr, 0, CollisionFilter(2, 2, 0, 0, 0), id, 0, 1) {
}

SimGroup::~SimGroup() {
    // A unit deleted before its group (the World empties its lists one by one) is not touched.
    ObjectWorld& world = TheObjectWorld();
    for (size_t i = 0; i < members.size(); ++i) {
        if (world.FindObject(memberIds[i]) == members[i]) members[i]->groupId = SimId();
    }
}

GameObject* SimGroup::MemberAt(int index) const {
    if (index < 0 || index >= MemberCount()) return nullptr;
    return members[static_cast<size_t>(index)];
}

Point SimGroup::Centroid() const {
    if (members.empty()) return Point(0, 0);
    int64_t x = 0, y = 0;
    for (GameObject* unit : members) {
        x += unit->GetPosition().x;
        y += unit->GetPosition().y;
    }
    const auto n = static_cast<int64_t>(members.size());
    return Point(static_cast<int>(x / n), static_cast<int>(y / n));
}

void SimGroup::RecordOffsets() {
    offsets.clear();
    for (GameObject* unit : members)
        offsets.push_back(unit->GetPosition() - position);
}

void SimGroup::UpdateRadii() {
    innerRadius = std::max(size.w, size.h) / 2;
    // The spread on either side, so that a group laid out left of its centre is as wide.
    int spread = 0;
    for (const Point& o : offsets)
        spread = std::max({spread, std::abs(o.x), std::abs(o.y)});
    outerRadius = innerRadius + spread;
    radius = innerRadius;
}

void SimGroup::TakeOver(GameObject& unit) {
    if (unit.GetRadius() > radius) size = unit.GetSize();
    moveDelay = std::max(moveDelay, unit.GetMoveDelay());
    // The routes must suit every member: the lowest layer and every terrain restriction.
    if (const CollisionFilter* c = unit.GetMovementClass()) {
        collision.layer = std::min(collision.layer, c->layer);
        collision.secondLayer = std::min(collision.secondLayer, c->secondLayer);
        collision.noWater |= c->noWater;
        collision.noR |= c->noR;
        collision.extra |= c->extra;
    }
    unit.groupId = id;
}

int SimGroup::AddMember(GameObject& unit, int recordOffsets, const Point& offset) {
    if (std::find(members.begin(), members.end(), &unit) != members.end()) return 0;
    if (!unit.groupId.IsNull()) {
        if (auto* other = dynamic_cast<SimGroup*>(TheObjectWorld().FindGroup(unit.groupId)))
            other->RemoveMember(unit);
    }
    members.insert(members.begin(), &unit);
    memberIds.insert(memberIds.begin(), unit.id);
    position = Centroid();
    if (recordOffsets == 1)
        RecordOffsets();
    else
        offsets.insert(offsets.begin(), offset);
    TakeOver(unit);
    UpdateRadii();
    // The share that breaks the group up is counted from its full strength.
    baseCount = MemberCount();
    return 1;
}

void SimGroup::Retake() {
    size = Size(0, 0);
    moveDelay = 0;
    innerRadius = outerRadius = radius = 0;
    collision.layer = collision.secondLayer = kTopLayer;
    collision.noWater = collision.noR = collision.extra = 0;
    for (GameObject* unit : members) {
        // A member answers the group's move delay while it carries the group's id.
        unit->groupId = SimId();
        TakeOver(*unit);
        radius = std::max(size.w, size.h) / 2;
    }
    UpdateRadii();
}

void SimGroup::RemoveMember(GameObject& unit) {
    auto at = std::find(members.begin(), members.end(), &unit);
    if (at == members.end()) return;
    unit.groupId = SimId();
    memberIds.erase(memberIds.begin() + (at - members.begin()));
    members.erase(at);
    if (members.empty()) {
        offsets.clear();
        Destroy();
        return;
    }
    position = Centroid();
    RecordOffsets();
    Retake();
}

int SimGroup::AnyCanEngage(GameObject* other) {
    for (GameObject* unit : members) {
        if (unit->CanEngage(other) == 1) return 1;
    }
    return 0;
}

int SimGroup::CanSee(GameObject* other) {
    for (GameObject* unit : members) {
        if (unit->CanSee(other) == 1) return 1;
    }
    return 0;
}

void SimGroup::SetSelected(int flag) {
    for (GameObject* unit : members)
        unit->SetSelected(flag);
}

void SimGroup::AddManoeuvre(SquadManoeuvre* manoeuvre) {
    manoeuvres.Add(std::unique_ptr<SquadManoeuvre>(manoeuvre));
}

SquadManoeuvre* SimGroup::FindManoeuvre(int type) {
    return manoeuvres.Find(type);
}

void SimGroup::IssueOrder(int code, int, const Point& p, const SimId& target) {
    GameObject::ClearGoals();
    for (GameObject* unit : members)
        unit->ClearGoals();
    brokenUp = 0;
    routeFound = 0;
    std::unique_ptr<Goal> goal;
    if (code == kMoveCode || code == kMoveThereCode)
        goal = std::make_unique<LocationGoal>(id, p, 0, 1, 1);
    else if (code == kAttackCode)
        goal = std::make_unique<TargetGoal>(id, target, Point(0, 0), 1, 1);
    if (goal) {
        goal->waypoint = 0;
        AddGoal(std::move(goal), 0);
    }
    timer.Start();
    routeScale = 1.0;
    radius = Rounded(routeScale * outerRadius);
}

void SimGroup::ExecuteOrder(int code, int flags, const Point& p, const SimId& target, int) {
    std::unique_ptr<Goal> goal;
    if (code == kMoveCode || code == kMoveThereCode)
        goal = std::make_unique<LocationGoal>(id, p, 0, 1, 1);
    else if (code == kAttackCode)
        goal = std::make_unique<TargetGoal>(id, target, Point(0, 0), 1, 1);
    if (!goal) return;
    goal->waypoint = (flags & kWaypointFlag) ? 1 : 0;
    AddGoal(std::move(goal), 0);
}

void SimGroup::Update(int elapsedMs) {
    // 1.
    if (goals.Front()) {
        elapsed += elapsedMs;
        StepRoute();
        ShareTarget();
        AdvanceGoal();
    }
    // 2.
    CheckBreakUp();
}

Point SimGroup::PlaceOf(size_t index) const {
    const Point o = index < offsets.size() ? offsets[index] : Point();
    return position + Point(static_cast<int>(o.x * placeScale), static_cast<int>(o.y * placeScale));
}

void SimGroup::StepRoute() {
    if (ReadyToMove() != 1) return;
    // 1.
    if (EngageTarget() != 1) {
        if (Goal* front = goals.Front()) MoveTo(front->GetLocation());
    }
    // 2.
    FitPlaces();
    // 3. The members are gathered first: an order may make a member leave.
    const std::vector<GameObject*> ordered = members;
    for (size_t i = 0; i < ordered.size(); ++i)
        ordered[i]->IssueOrder(kMoveCode, kPlaceFlags, PlaceOf(i), SimId());
}

int SimGroup::ReadyToMove() {
    Goal* front = goals.Front();
    if (front && front->waypoint == 0 && routeFound == 0) return RequestRoute(front);
    bool anyGoal = false;
    for (GameObject* unit : members)
        anyGoal = anyGoal || unit->goals.Front();
    if (!anyGoal) return 1;
    return MembersSettled();
}

int SimGroup::MembersSettled() {
    int settled = 1;
    for (GameObject* unit : members) {
        if (unit->goals.Front() && unit->IsBusy() == 1) settled = 0;
    }
    if (settled == 1 && !timer.Expired()) return 0;
    timer.Start();
    return settled;
}

int SimGroup::RequestRoute(Goal* goal) {
    ObjectWorld& world = TheObjectWorld();
    if (world.TakePathTurn(this) == 0) return 0;
    // 1. A route that did not fit is sought again a little narrower.
    if (goal->active == 1) {
        routeScale -= kScaleStep;
        radius = Rounded(routeScale * outerRadius);
    }
    // 2.
    NodeList route;
    if (radius >= innerRadius)
        routeFound = world.RequestPath(this, goal->GetLocation(), route, 0, 0) == 1 ? 1 : 0;
    // 3.
    if (world.RouteRequestsDeferred() == 1) {
        world.QueuePathRequest(this);
        return 1;
    }
    if (routeFound == 1) {
        int flags = 7;
        if (goal->IsLocation() == 1) {
            // The route's waypoints replace the goal.
            PopGoal();
        } else {
            flags = 0x27;
        }
        world.FollowWaypoints(this, route, flags);
        if (Goal* order = goals.FirstUnfinished()) {
            order->RefreshLocation();
            MarkRouteRequested(order);
        }
        return 1;
    }
    if (radius < innerRadius) goals.BlockFront();
    if (Goal* order = goals.FirstUnfinished()) MarkRouteRequested(order);
    return 0;
}

void SimGroup::FitPlaces() {
    ObjectWorld& world = TheObjectWorld();
    double scale = 1.0;
    radius = outerRadius;
    // Friendly movers (the members themselves) do not count against the fit.
    while (radius > innerRadius && world.CanPlace(this, position, nullptr, 1, radius) != 1) {
        scale -= kScaleStep;
        radius = Rounded(scale * outerRadius);
    }
    placeScale = scale;
    radius = innerRadius;
}

GameObject* SimGroup::OrderTarget() {
    Goal* order = goals.FirstUnfinished();
    if (!order || order->GetType() != static_cast<int>(GoalType::Target)) return nullptr;
    return order->GetTarget();
}

int SimGroup::EngageTarget() {
    GameObject* target = OrderTarget();
    if (!target || AnyCanEngage(target) != 1) return 0;
    goals.DropFinished();
    return 1;
}

void SimGroup::ShareTarget() {
    GameObject* target = OrderTarget();
    if (!target) return;
    for (GameObject* unit : members) {
        if (unit->CanEngage(target) == 1) unit->SetLastAttacker(target);
    }
}

void SimGroup::AdvanceGoal() {
    Goal* order = goals.FirstUnfinished();
    if (!order || order->IsDone() == 1 || goals.IsFrontBlocked() == 1) {
        goals.DropFinished();
        PopGoal();
        return;
    }
    if (FrontGoalDone(this) == 1) PopGoal();
}

void SimGroup::CheckBreakUp() {
    if (members.empty() || brokenUp != 0 || baseCount == 0) return;
    const int lead = members.front()->GetBreakOffPercent();
    if (100.0 * MemberCount() / baseCount >= lead) return;
    GameObject::ClearGoals();
    if (GameObject* factory = TheObjectWorld().TeamFactory(GetTeam()))
        IssueOrder(kMoveCode, kHomeFlags, factory->GetPosition(), SimId());
    brokenUp = 1;
    baseCount = MemberCount();
}

void SimGroup::Draw(ScreenBase& view) {
    if (!display) return;
    for (size_t i = 0; i < offsets.size(); ++i) {
        const Point at = view.MapToScreen(PlaceOf(i));
        display->DrawLine(kCrossColour, 1, at - Point(kCrossHalf, 0), at + Point(kCrossHalf, 0));
        display->DrawLine(kCrossColour, 1, at - Point(0, kCrossHalf), at + Point(0, kCrossHalf));
    }
}

void SimGroup::Parse(char key, const char* text) {
    long v[4] = {};
    if (key == 'q' && text && ReadPlace(text, v) == 1) {
        const SimId unitId(static_cast<int32_t>(v[0]), static_cast<int32_t>(v[1]));
        // A place is on the map: map coordinates fit in 16 bits.
        const bool onMap = std::labs(v[2]) <= kMaxOffset && std::labs(v[3]) <= kMaxOffset;
        // Only units join: another group or a wreck of that id stays out.
        if (GameObject* unit = onMap ? TheObjectWorld().FindSim(unitId) : nullptr;
            unit && unit != this)
            AddMember(*unit, 0, Point(static_cast<int>(v[2]), static_cast<int>(v[3])));
    }
    GameObject::Parse(key, text);
}

void SimGroup::Write(ResourceFile& file, char* buffer, int bufferSize) {
    if (buffer && bufferSize > 0) {
        for (size_t i = 0; i < members.size(); ++i) {
            const Point o = i < offsets.size() ? offsets[i] : Point();
            const int n = snprintf(buffer, static_cast<size_t>(bufferSize), "%c %c %d,%d,%d,%d",
                                   'q', '=', members[i]->id.team, members[i]->id.serial, o.x, o.y);
            if (n > 0 && n < bufferSize) file.WriteLine(buffer);
        }
    }
    GameObject::Write(file, buffer, bufferSize);
}
