#pragma once
// Several units moved as one body (scenario section F): the group takes its orders as goals of
// its own, asks routes like a unit, and at each waypoint orders every member to its own place
// around the group's position, scaled down where the ground is too narrow for the full spread.
// A member carries the group's id; a unit belongs to one group at most, and a dying unit leaves
// the group its id names, so no entry here outlives its unit.
#include <cstdint>
#include <vector>

#include "core/Timer.h"
#include "objects/GameObject.h"
#include "objects/ManoeuvreList.h"

class SimGroup : public GameObject {
public:
    static constexpr int32_t kSettleMs = 2000;

    explicit SimGroup(const SimId& id);
    ~SimGroup() override;

    void Update(int elapsedMs) override;
    void Draw(ScreenBase& view) override;
    void IssueOrder(int code, int flags, const Point& p, const SimId& target) override;
    void ExecuteOrder(int code, int flags, const Point& p, const SimId& target, int extra) override;
    void AddManoeuvre(SquadManoeuvre* manoeuvre) override;
    SquadManoeuvre* FindManoeuvre(int type) override;
    int GetRadius() override { return radius; }
    int GetKind() override { return 1; }
    RouteAsk WhyRouteAsked() override { return RouteAsk::Group; }
    void SetSelected(int flag) override;
    void Parse(char key, const char* text) override;
    void Write(ResourceFile& file, char* buffer, int bufferSize) override;
    int CanSee(GameObject* other) override;

    // 1 when the unit joined (at the front); 0 for a unit that is a member already. A unit of
    // another group leaves that group first. Without recordOffsets the unit's place is the
    // given offset; with it every place is taken anew from where the members stand.
    int AddMember(GameObject& unit, int recordOffsets, const Point& offset = Point());
    // The unit leaves (nothing when it is no member); the last to leave ends the group.
    void RemoveMember(GameObject& unit);
    int AnyCanEngage(GameObject* other);
    GameObject* MemberAt(int index) const;
    int MemberCount() const { return static_cast<int>(members.size()); }
    const std::vector<Point>& Offsets() const { return offsets; }
    Point Centroid() const;
    void RecordOffsets();
    void UpdateRadii();

    // The route scale above which the members move as one (the units read it).
    double RouteScale() const { return routeScale; }

    // Newest first; the units are not owned. Their ids, in the same order, let the group tell
    // whether a unit still exists when the group goes.
    std::vector<GameObject*> members;
    std::vector<SimId> memberIds;
    int32_t baseCount = 0;
    ManoeuvreList manoeuvres;
    int32_t elapsed = 0;
    // Each member's place relative to the group's position, in member order.
    std::vector<Point> offsets;
    double routeScale = 1.0;
    double placeScale = 1.0;
    int32_t innerRadius = 0;
    int32_t outerRadius = 0;
    int32_t radius = 0;
    Timer timer{kSettleMs};
    int32_t brokenUp = 0;
    int32_t routeFound = 0;

private:
    void TakeOver(GameObject& unit);
    void Retake();
    void StepRoute();
    int ReadyToMove();
    int MembersSettled();
    int RequestRoute(Goal* goal);
    void FitPlaces();
    int EngageTarget();
    void ShareTarget();
    void AdvanceGoal();
    void CheckBreakUp();
    // The order goal when it is a target goal whose target lives, else null.
    GameObject* OrderTarget();
    Point PlaceOf(size_t index) const;
};
