#include "objects/GameObject.h"

#include <algorithm>
#include <limits>

#include "catalogue/ChassisTemplate.h"
#include "catalogue/VehicleDesign.h"
#include "core/EventReceiver.h"
#include "core/Random.h"
#include "core/SpriteSet.h"
#include "map/TerrainMap.h"
#include "objects/CommandBuffer.h"
#include "objects/Goal.h"
#include "objects/GoalRecord.h"
#include "objects/ObjectWorld.h"
#include "ui/ScreenBase.h"

namespace {

constexpr int kEventSelected = 0x10;
constexpr int kEventDeselected = 0x11;

// Wrecks, destructible objects and land features: what attackObjects lets an object attack.
bool IsAttackableThing(GameObject* o) {
    if (!o) return false;
    const int kind = o->GetKind();
    return kind == 3 || kind == 5 || kind == 10;
}

}  // namespace

GameObject::GameObject(const Point& position, int moveDelay, const Size& size, SpriteSet* sprites,
                       int frame, const CollisionFilter& filter, const SimId& id, int maxDamage,
                       int local)
    : id(id),
      position(position),
      size(size),
      spriteSet(sprites),
      frame(frame),
      collision(filter),
      moveDelay(moveDelay),
      teamRecord(id.team),
      damage(maxDamage, 0),
      local(local),
      viewingPlayer(id.team) {
    collision.secondId = id;
    collision.team = id.team;
}

GameObject::~GameObject() = default;

void GameObject::FollowOwnerSight(int oldTeam, int newTeam) {
    if (viewingPlayer == oldTeam) viewingPlayer = newTeam;
    // A second viewing player that was the old owner follows too; one that was another
    // player (an ally who shared the unit's sight) keeps seeing.
    if (secondViewingPlayer == oldTeam) secondViewingPlayer = newTeam;
}

// --- Plain operations

Point GameObject::GetTopLeft() {
    const Size s = GetSize();
    return Point(position.x - s.w / 2, position.y - s.h / 2);
}

Point GameObject::GetReferencePoint(int index) const {
    if (index < 0 || index >= kReferencePoints) return Point();
    return referencePoints[index];
}

void GameObject::SetReferencePoint(int index, const Point& p) {
    if (index >= 0 && index < kReferencePoints) referencePoints[index] = p;
}

int GameObject::SetFrame(int newFrame) {
    if (!spriteSet || newFrame < 0 || newFrame > spriteSet->LastFrameIndex()) return 0;
    frame = newFrame;
    return 1;
}

int GameObject::ContainsPoint(const Point& p) {
    const Rect r = GetBounds();
    const Point br = r.BottomRight();
    return p.x >= r.origin.x && p.y >= r.origin.y && p.x <= br.x && p.y <= br.y ? 1 : 0;
}

void GameObject::AddGoal(std::unique_ptr<Goal> goal, int flag) {
    if (!goal) return;
    if (goal->GetType() == static_cast<int>(GoalType::Target)) attackOrigin = position;
    if (flag == 1 && IsAttackableThing(goal->GetTarget())) attackObjects = 1;
    goals.PushFront(std::move(goal));
}

std::unique_ptr<Goal> GameObject::PopGoal() {
    Goal* front = goals.Front();
    if (attackObjects == 1 && front && IsAttackableThing(front->GetTarget())) attackObjects = 0;
    if (front) TheObjectWorld().Orders().Popped(*this, *front);
    return goals.PopFront();
}

void GameObject::MarkRouteRequested(Goal* goal) {
    if (goal) goal->active = TheObjectWorld().RouteRequestsDeferred() == 1 ? 0 : 1;
}

int GameObject::IsHostileTo(GameObject* other) {
    if (!other) return 0;
    const int otherTeam = other->teamRecord.first;
    if (otherTeam != 0 && other->GetKind() != 3 && otherTeam != teamRecord.first &&
        !TheObjectWorld().AreAllied(teamRecord.first, otherTeam)) {
        return 1;
    }
    if (attackObjects == 1) return IsAttackableThing(other) ? 1 : 0;
    return 0;
}

int GameObject::IsHostileTo(MapObjectView* other) {
    return IsHostileTo(dynamic_cast<GameObject*>(other));
}

int GameObject::IsCarrierChassis() {
    VehicleDesign* design = GetDesign();
    return design && design->chassis && design->chassis->role == 'g' ? 1 : 0;
}

void GameObject::UpdateAttachedEffect(int elapsedMs) {
    if (!attachedEffect) return;
    attachedEffect->Update(elapsedMs);
    if (attachedEffect->IsDestroyed() == 1) attachedEffect.reset();
}

void GameObject::AttachEffect(std::unique_ptr<GameObject> effect) {
    attachedEffect = std::move(effect);
}

void GameObject::DrawAttachedEffect(ScreenBase& view) {
    if (attachedEffect) attachedEffect->Draw(view);
}

// --- Virtual operations

void GameObject::Update(int elapsedMs) {
    UpdateAttachedEffect(elapsedMs);
}

void GameObject::Draw(ScreenBase& view) {
    TerrainMap* terrain = TheObjectWorld().Terrain();
    if (spriteSet && terrain && terrain->ShadeTable1()) {
        spriteSet->DrawFrameShaded(view.MapToScreen(position), frame, *terrain->ShadeTable1());
    }
    DrawAttachedEffect(view);
}

void GameObject::DrawUnder(ScreenBase& /*view*/) {}

void GameObject::DrawSensed(ScreenBase& view, const ShadeTable* table) {
    if (spriteSet && table)
        spriteSet->DrawFrameTinted(view.MapToScreen(position), frame, *table, 0);
}

void GameObject::MoveTo(const Point& p) {
    SetPosition(p);
}

int GameObject::IsDestroyed() {
    if (invulnerable) return 0;
    return damage.IsOver() ? 1 : 0;
}

void GameObject::ToggleInvulnerable() {
    invulnerable = invulnerable ? 0 : 1;
}
int GameObject::IsInvulnerable() {
    return invulnerable;
}
void GameObject::TakeDamage(WeaponTemplate*, const SimId&, EffectTemplate*, int) {}
int GameObject::IsMoving() {
    return moving;
}
void GameObject::SetMoving(int flag) {
    moving = flag;
}

int GameObject::IsWaiting() {
    Goal* front = goals.Front();
    if (!front) return 0;
    if (front->waypoint != 0 || front->active != 0) return 0;
    if (goals.IsFrontBlocked() || routeWait != 0) return 0;
    const int type = front->GetType();
    return type == static_cast<int>(GoalType::Location) ||
                   type == static_cast<int>(GoalType::Target)
               ? 1
               : 0;
}

void GameObject::GetBlockingSim(SimId& out) {
    out = SimId();
}
GameObject* GameObject::GetLastAttacker() {
    return nullptr;
}
void GameObject::SetLastAttacker(GameObject*) {}
void GameObject::AimSelectedPart(const Point&) {}
void GameObject::SelectPart(int) {}
int GameObject::SelectedPartIndex() {
    return -1;
}
void GameObject::SelectNextPart() {}
void GameObject::IssueOrder(int, int, const Point&, const SimId&) {}
void GameObject::ExecuteOrder(int, int, const Point&, const SimId&, int) {}
int GameObject::IsGuarding() {
    return 0;
}
Point GameObject::GetGuardPoint() {
    return Point();
}
void GameObject::AddManoeuvre(SquadManoeuvre*) {}
SquadManoeuvre* GameObject::FindManoeuvre(int) {
    return nullptr;
}
Size GameObject::GetSize() {
    return size;
}
Rect GameObject::GetBounds() {
    return Rect(position, GetSize(), 'c');
}
Rect GameObject::GetFootprint() {
    return footprint;
}
void GameObject::SetFootprint(const Rect& r) {
    footprint = r;
}

int GameObject::GetRadius() {
    const Size s = GetSize();
    return std::max(s.w / 2, s.h / 2);
}

int GameObject::GetFootprintRadius() {
    return GetRadius();
}
uint32_t GameObject::GetEnemyMask() {
    return 0;
}
Point GameObject::GetExtraPoint() {
    return Point();
}

int GameObject::GetEngageRange() {
    const Size s = GetSize();
    return std::max(s.w, s.h);
}

int GameObject::GetSightRadius() {
    const Size s = GetSize();
    return std::max(s.w, s.h);
}

void GameObject::SetCargoCapacity(int n) {
    cargoCapacity = n;
}
int GameObject::GetCargo() {
    return cargo;
}

int GameObject::TakeCargo(int n) {
    if (n > cargo) {
        const int taken = cargo;
        cargo = 0;
        return taken;
    }
    cargo -= n;
    return n;
}

int GameObject::AddCargo(int n) {
    // In 64 bits: a loaded record or a peer may name any amount. A load holds 0 to its capacity.
    int64_t total = static_cast<int64_t>(cargo) + n;
    if (total >= cargoCapacity) {
        total = cargoCapacity;
    } else if (total < 0) {
        total = 0;
    }
    const int added = static_cast<int>(total - cargo);
    cargo = static_cast<int>(total);
    return added;
}

int GameObject::IsCargoFull() {
    return cargo >= cargoCapacity ? 1 : 0;
}

int GameObject::GetCargoPercent() {
    if (cargoCapacity <= 0) return 0;
    return static_cast<int>(static_cast<int64_t>(cargo) * 100 / cargoCapacity);
}

int GameObject::Deposit(int) {
    return 0;
}
int GameObject::Withdraw(int) {
    return 0;
}
int GameObject::GetStored() {
    return 0;
}
int GameObject::GetStoredPercent() {
    return 0;
}
Point GameObject::GetHardpointPosition(int) {
    return Point();
}
Point GameObject::GetMountOffset(int) {
    return Point();
}
int GameObject::GetFirePower() {
    return 0;
}
SpriteAttachment* GameObject::GetArmedPart(int) {
    return nullptr;
}
VehicleDesign* GameObject::GetDesign() {
    return nullptr;
}
int GameObject::CanEngage(GameObject*) {
    return 0;
}
void GameObject::SetLocal(int flag) {
    local = flag;
}
void GameObject::ApplyDamageState(int32_t, int32_t, char, char, char) {}
void GameObject::ApplyHit(char, char, char, const SimId&) {}

void GameObject::SetGoal(std::unique_ptr<Goal> goal) {
    goals.Clear();
    if (goal) goals.PushFront(std::move(goal));
}

void GameObject::ApplyMoveState(const Point& p, int newFacing, const int32_t* facings, int count) {
    if (p != position) TheObjectWorld().PlaceObject(this, p, nullptr);
    // A facing from the network is brought into range whatever its size.
    if (newFacing != facing) facing = NormaliseFacing(newFacing);
    SetPartFacings(facings, count);
}

int GameObject::IsSim() {
    return 0;
}
RouteAsk GameObject::WhyRouteAsked() {
    return RouteAsk::Place;
}
void GameObject::GetPartFacings(int32_t*, int, int& count) {
    count = 0;
}
void GameObject::SetPartFacings(const int32_t*, int) {}
int GameObject::GetKind() {
    return 0;
}
int GameObject::GetRank() {
    return skill / 10;
}
int GameObject::RollHit() {
    return RandomRange(0, 1000) < skill ? 1 : 0;
}

void GameObject::GainSkill(int kill) {
    if (local != 1) {
        TheObjectWorld().Commands().SendCreditHit(id, kill);
        return;
    }
    if (kill == 1) {
        skill += 10;
        TheObjectWorld().AddTeamCount(this);
    } else {
        skill += 1;
    }
    skill = std::min(skill, kMaxSkill);
}

void GameObject::BuildManoeuvreList() {}
void GameObject::ClearManoeuvreList() {}

void GameObject::SetSelected(int flag) {
    if (flag == selected) return;
    selected = flag;
    ObjectWorld& world = TheObjectWorld();
    EventReceiver* controller = world.ControllerOf(world.LocalTeam());
    // Argument a is 0; b names the object.
    if (controller) controller->OnEvent(flag ? kEventSelected : kEventDeselected, nullptr, this);
}

int GameObject::GetMoveDelay() {
    return moveDelay;
}
void GameObject::AddUpgrade() {}
CollisionFilter* GameObject::GetMovementClass() {
    return &collision;
}
CollisionFilter* GameObject::GetCollision() {
    return &collision;
}
void GameObject::ChangeTeam(const ValueTriple&, int) {}
int GameObject::CountActiveWeapons() {
    return 0;
}
void GameObject::DeployNow() {}
void GameObject::UndeployNow() {}
int GameObject::IsMobile() {
    return 0;
}
int GameObject::IsLanded() {
    return 1;
}
int GameObject::CanBeLoaded() {
    return 1;
}
int GameObject::IsSelectable() {
    return 1;
}
void GameObject::SetFuelCapacity(int) {}
int GameObject::GetFuel() {
    return 0;
}
int GameObject::AddFuel(int) {
    return 0;
}
int GameObject::IsFuelFull() {
    return 0;
}
int GameObject::GetFuelPercent() {
    return 0;
}
void GameObject::Destroy() {
    // No damage passes the largest maximum: lower it by one so that the object can die.
    if (damage.Max() == std::numeric_limits<int32_t>::max()) damage.SetMax(damage.Max() - 1);
    damage.SetValue(damage.Max() + 1);
}

void GameObject::Parse(char key, const char* text) {
    if (key == 'U') ParseGoalLine(*this, text);
}

void GameObject::Write(ResourceFile& file, char* buffer, int bufferSize) {
    WriteGoalLines(*this, file, buffer, bufferSize);
}

int GameObject::CanUnload() {
    return 1;
}
void GameObject::BeginUnload(Goal*) {}
int GameObject::IsFlyer() {
    return 0;
}
int GameObject::HasSpecialAction() {
    return 0;
}
int GameObject::IsDetectableA() {
    return 0;
}
int GameObject::IsDetectableB() {
    return 0;
}
int GameObject::IsDetectableC() {
    return 0;
}
void GameObject::EndUnload() {}
void GameObject::SpecialAction() {}
int GameObject::CanSee(GameObject*) {
    return 0;
}
Point GameObject::GetCentre() {
    return position;
}
Point GameObject::GetDrawOrigin() {
    return GetCentre();
}

void GameObject::ClearGoals() {
    TheObjectWorld().Orders().Cleared(*this);
    goals.Clear();
    ordered = 0;
}

int GameObject::GetMaxAltitude() {
    return 0;
}
int GameObject::GetCruiseAltitude() {
    return 0;
}
int GameObject::GetRepairPercent() {
    return 0;
}
int GameObject::GetBreakOffPercent() {
    return 0;
}
void GameObject::StartFlash(SpriteSet*, int, int) {}
void GameObject::StepFlash() {}
void GameObject::DrawFlash(ScreenBase&) {}
int GameObject::IsBusy() {
    return IsMoving() == 1 || IsWaiting() == 1 ? 1 : 0;
}

// --- What the terrain grids read

int GameObject::HasManoeuvre(int type) {
    return FindManoeuvre(type) ? 1 : 0;
}

int GameObject::SensorActive(SensorKind kind, int team) {
    switch (kind) {
        case SensorKind::A:
            return sensors.ExtraAActive(team);
        case SensorKind::B:
            return sensors.ExtraBActive(team);
        case SensorKind::C:
            break;
    }
    return sensors.ExtraCActive(team);
}

int GameObject::IsHidden(StealthKind kind, int team) {
    switch (kind) {
        case StealthKind::A:
            return stealth.IsHiddenA(team);
        case StealthKind::B:
            return stealth.IsHiddenB(team);
        case StealthKind::General:
            break;
    }
    return stealth.IsHidden(team);
}
