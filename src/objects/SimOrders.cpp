// The unit's tick and the road of an order through it: orders become goals, the update steps
// the movement, finishes and re-queues goals, turns and fires the parts, runs the manoeuvre
// rules while the unit is free, and tells the other machines what changed.
#include <cmath>

#include "catalogue/PictureTemplates.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/VehicleDesign.h"
#include "catalogue/WeaponTemplate.h"
#include "core/PointNode.h"
#include "core/SpriteSet.h"
#include "core/Vector.h"
#include "objects/BlockedStepPolicy.h"
#include "objects/CommandBuffer.h"
#include "objects/EconomyManoeuvres.h"
#include "objects/FireControl.h"
#include "objects/LocationGoal.h"
#include "objects/ManoeuvreList.h"
#include "objects/ObjectWorld.h"
#include "objects/PartAttachment.h"
#include "objects/Sim.h"
#include "objects/SimBody.h"
#include "objects/SquadManoeuvre.h"
#include "objects/TargetGoal.h"
#include "objects/TransportGoal.h"

namespace {

constexpr int kWeaponStructure = 3;
constexpr int kHighWeaponLayer = 3;
constexpr int kSmokePercent = 50;
constexpr int kSmokeRise = 30;
constexpr int kMoveAwayDistance = 200;
constexpr int kRingPoints = 8;
constexpr int kRingStep = 32;
constexpr int kGuardTolerance = 10;
constexpr int kRepairManoeuvre = 5;
constexpr int kMiningManoeuvre = 6;

int RoundHalfUp(double v) {
    return static_cast<int>(std::floor(v + 0.5));
}

// The structure code that makes a part of each category work (weapons: only those of class 3
// or more need theirs).
int StructureFor(int category) {
    switch (category) {
        case 2:
            return 2;
        case 3:
            return 1;
        case 4:
            return 0;
        default:
            return kWeaponStructure;
    }
}

RoleTemplate* SmokeTemplate() {
    return FindRoleTemplate('X', 'x');
}

}  // namespace

void Sim::Update(int elapsedMs) {
    // Off the map (carried aboard a carrier, or its team out of the game) a unit neither
    // moves, runs goals or manoeuvres, nor fires.
    if (onMap == 0) return;
    ObjectWorld& world = TheObjectWorld();
    // What the unit's own movement and manoeuvres make is no order.
    const OrderLedger::Scope ownRules(world.Orders(), OrderGiver::OwnRules);
    waiting = 0;
    friendWay.Count(elapsedMs);
    BlockedStepPolicy::ForgetWreckInTheWay(*this);
    const bool remoteIdle = local != 1 && moving == 0;
    stealth.CountDownReveal(elapsedMs);
    if (enabled == 1) {
        Goal* front = goals.Front();
        if (!front) {
            if (local == 1 && moving == 1) {
                moving = 0;
                world.Commands().SendSimFlag(this);
            }
        } else {
            // Time gathers only while the unit steps: an idle mirror would otherwise jump to
            // its goal in one step when it starts.
            if (!remoteIdle) {
                moveTime += elapsedMs;
                const Point oldPosition = position;
                const int oldFacing = facing;
                if (StepMovement() == 1 && local == 1) {
                    Goal* now = goals.Front();
                    const int nowMoving = position != oldPosition || facing != oldFacing ||
                                                  (now && position == now->GetLocation())
                                              ? 1
                                              : 0;
                    if (nowMoving != moving) {
                        moving = nowMoving;
                        world.Commands().SendSimFlag(this);
                    }
                }
            }
            AdvanceGoals();
        }
    }
    if (body) {
        Goal* order = goals.FirstUnfinished();
        if (moving == 1 && !(order && order->HoldsStill() == 1))
            body->StartAnimation();
        else
            body->StopAnimation();
        if (body->LastFrameIndex() > 0) bob = body->frame % 2 == 1 ? Point(0, 0) : Point(0, 1);
    }
    if (enabled == 1) {
        if (partsFrozenTime > 0) {
            partsFrozenTime -= elapsedMs;
        } else {
            UpdatePartStates();
            UpdateParts(elapsedMs);
        }
        if (local == 1) RunManoeuvreList();
    }
    UpdateAttachedEffect(elapsedMs);
    RoleTemplate* smoke = SmokeTemplate();
    if (world.LowDetail() == 0 && damage.Percent() > kSmokePercent && smoke && smoke->pictures) {
        if (smokeTimer.Expired()) {
            ++smokeFrame;
            smokeTimer.Start();
        }
        Image* first = smoke->pictures->SubImage(0);
        if (smokeFrame > (first ? first->LastFrameIndex() : 0)) {
            smokeFrame = 0;
            smokePoint = position + Point(0, -kSmokeRise);
        }
    }
    if (targetPinned == 0 && !lastAttacker.IsNull()) {
        GameObject* attacker = world.FindObject(lastAttacker);
        if (TeamSees(attacker) == 0) lastAttacker = SimId();
    }
    // A guard on an object follows it while it lives, so that its place is known once it is
    // gone.
    if (guardGoal) guardGoal->RefreshLocation();
    StepFlash();
}

void Sim::UpdatePartStates() {
    ObjectWorld& world = TheObjectWorld();
    const int team = GetTeam();
    for (int i = 0; i < partCount; ++i) {
        SpriteAttachment* a = GetPart(i);
        if (!a) continue;
        const int category = a->Category();
        const int owned = world.TeamHasStructure(team, StructureFor(category));
        if (category == 1) {
            WeaponTemplate* w = a->GetTemplate();
            if (owned == 1)
                a->active = 1;
            else if (w && w->shotLayerField >= kHighWeaponLayer)
                a->active = 0;
        } else if (category >= 2 && category <= 4) {
            a->active = owned;
        }
    }
    if (!lastAttacker.IsNull()) {
        // Stealth is in force by its owner's structures.
        GameObject* attacker = world.FindObject(lastAttacker);
        if (!attacker || (attacker->stealth.IsHidden(attacker->GetTeam()) == 1 &&
                          world.HasObjectAround(attacker, team) == 0))
            lastAttacker = SimId();
    }
    FireControl::AssignWeaponTargets(*this, manoeuvres ? manoeuvres->focusFire : 0);
    for (ListNode* n = parts.First(); n; n = parts.Next(n))
        static_cast<SpriteAttachment*>(n)->Step(*this);
}

void Sim::UpdateParts(int elapsedMs) {
    if (Goal* front = goals.Front()) front->Step();
    for (int i = 0; i < partCount; ++i) {
        SpriteAttachment* a = GetPart(i);
        if (!a) continue;
        if (local == 1 || a->Category() == 2) a->Update(elapsedMs, *this);
    }
}

void Sim::RunManoeuvreList() {
    Goal* front = goals.Front();
    if (front && front->allowManoeuvres != 1) return;
    if (TheObjectWorld().DebugMode() == 1 || !manoeuvres) return;
    manoeuvres->RunForSim(*this);
}

// --- Orders

void Sim::IssueOrder(int code, int flags, const Point& p, const SimId& target) {
    if (enabled != 1 || onMap == 0) return;
    lastAttacker = SimId();
    if (IsGuarding()) StopGuarding();
    MarkEconomyRouteFailed(*this, 1);
    Goal* order = goals.FirstUnfinished();
    if (order && order->GetType() == static_cast<int>(GoalType::Target) &&
        (code == kOrderMove || code == kOrderMoveAlso))
        ignoreAttackers = 1;
    else if (code == kOrderAttack)
        ignoreAttackers = 0;
    if (auto* mining = dynamic_cast<MiningManoeuvre*>(FindManoeuvre(kMiningManoeuvre)))
        mining->SetTargetId(SimId());
    const OrderLedger::Scope byPlayer(TheObjectWorld().Orders(), OrderGiver::Player);
    ExecuteOrder(code, flags, p, target, 1);
    ordered = 1;
}

void Sim::ExecuteOrder(int code, int flags, const Point& p, const SimId& target, int arg) {
    if (onMap == 0) return;
    routeTimer.period = 0;
    routeTimer.Start();
    searchGoingOn = SearchGoingOn();
    if (!(flags & kWaypoint)) lastAttacker = SimId();
    // The goals the order makes are the ones unmarked after it: a goal made anew may take the
    // place in memory of one the order dropped.
    OrderLedger& ledger = TheObjectWorld().Orders();
    for (Goal* g = ledger.IsOn() ? goals.Front() : nullptr; g; g = goals.Next(g))
        if (g->order == 0) g->order = OrderLedger::kMarked;
    const auto bit = [flags](int b) { return flags & b ? 1 : 0; };
    switch (code) {
        case kOrderMove:
        case kOrderMoveAlso:
            OrderMove(p, bit(kAppend), bit(kAllowManoeuvres), bit(kFinishOnArrival), bit(kToBack),
                      bit(kQuietFailure) ? 0 : 1, bit(kWaypoint));
            break;
        case kOrderAttack:
            OrderAttack(target, bit(kAppend), bit(kAllowManoeuvres), bit(kFinishOnArrival),
                        bit(kToBack), arg);
            break;
        case kOrderGuard:
            Guard(p, target);
            break;
        case kOrderMoveAway:
            MoveAway(p, bit(kAppend), bit(kAllowManoeuvres), bit(kFinishOnArrival));
            break;
        case kOrderSurround:
            Surround(target);
            break;
        case kOrderRepair:
            OrderRepair(target);
            break;
        case kOrderTransport:
            OrderTransport(target);
            break;
        case kOrderStopGuarding:
            StopGuarding();
            break;
        case kOrderStop:
            ClearGoals();
            break;
        default:
            break;
    }
    for (Goal* g = ledger.IsOn() ? goals.Front() : nullptr; g; g = goals.Next(g)) {
        if (g->order == 0) ledger.Given(*this, *g);
        if (g->order == OrderLedger::kMarked) g->order = 0;
    }
    // A guard's goal is held apart from the queue.
    if (code == kOrderGuard && guardGoal) ledger.Guarded(*this, *guardGoal);
    TheObjectWorld().Commands().SendGoal(this, goals.Front());
}

void Sim::OrderMove(const Point& p, int append, int allowManoeuvres, int finishOnArrival,
                    int toBack, int reportFailure, int waypoint) {
    if (append == 0) ClearGoals();
    auto goal = std::make_unique<LocationGoal>(id, p, 0, allowManoeuvres, finishOnArrival);
    goal->reportFailure = reportFailure;
    goal->waypoint = waypoint;
    if (toBack == 1)
        goals.PushBack(std::move(goal));
    else
        AddGoal(std::move(goal), 1);
}

void Sim::OrderAttack(const SimId& target, int append, int allowManoeuvres, int finishOnArrival,
                      int toBack, int addFlag) {
    GameObject* object = TheObjectWorld().FindObject(target);
    if (!object) return;
    if (IsHostileTo(object) == 1 && CountActiveWeapons() < 1) return;
    // Only a weapon mount can be engaged; any other selected part just lets go.
    if (auto* mount = dynamic_cast<PartAttachment*>(selectedPart)) {
        mount->selected = 0;
        mount->SetTarget(target);
        mount->SetEngaged(1);
        selectedPart = nullptr;
        return;
    }
    if (selectedPart) {
        selectedPart->selected = 0;
        selectedPart = nullptr;
    }
    auto goal = std::make_unique<TargetGoal>(id, target, Point(), allowManoeuvres, finishOnArrival);
    if (append == 0) ClearGoals();
    if (toBack == 1)
        goals.PushBack(std::move(goal));
    else
        AddGoal(std::move(goal), addFlag);
}

void Sim::Guard(const Point& p, const SimId& target) {
    StopGuarding();
    if (target.IsNull()) {
        guardGoal = std::make_unique<LocationGoal>(id, p, kGuardTolerance, 1, 1);
        return;
    }
    if (GameObject* object = TheObjectWorld().FindObject(target))
        guardGoal =
            std::make_unique<TargetGoal>(id, target, position - object->GetPosition(), 1, 1);
}

void Sim::StopGuarding() {
    if (guardGoal) TheObjectWorld().Orders().GuardStopped(*guardGoal);
    guardGoal.reset();
}

void Sim::SetGuardGoal(std::unique_ptr<Goal> goal) {
    guardGoal = std::move(goal);
}

// A guard on an object that is gone guards the place where it was last seen.
Point Sim::GetGuardPoint() {
    if (!guardGoal) return Point();
    if (auto* target = dynamic_cast<TargetGoal*>(guardGoal.get())) {
        if (!target->GetTarget()) return target->lastTargetPosition + target->offset;
    }
    return guardGoal->GetLocation();
}

void Sim::MoveAway(const Point& from, int append, int allowManoeuvres, int finishOnArrival) {
    const Vector away(position - from);
    const Vector step(away.angle, static_cast<double>(kMoveAwayDistance));
    const Point destination = position + Point(RoundHalfUp(step.x), RoundHalfUp(step.y));
    OrderMove(destination, append, allowManoeuvres, finishOnArrival, 0, 1, 0);
}

void Sim::Surround(const SimId& target) {
    ObjectWorld& world = TheObjectWorld();
    GameObject* object = world.FindObject(target);
    if (!object || object == this) return;
    const Point centre = object->GetCentre();
    const Vector between(centre - GetCentre());
    const auto radius = static_cast<unsigned>(between.magnitude);
    NodeList ring;
    if (world.MakeRingPoints(centre, radius, kRingPoints, ring, between.angle) != 1) return;
    ClearGoals();
    for (ListNode* n = ring.First(); n; n = ring.Next(n)) {
        const Point d = centre - static_cast<PointNode*>(n)->value;
        // The remainder keeps the sign of the coordinate.
        const Point offset(d.x - d.x % kRingStep, d.y - d.y % kRingStep);
        auto goal = std::make_unique<TargetGoal>(id, target, offset, 1, 1);
        goal->reportFailure = 0;
        goals.PushBack(std::move(goal));
    }
    goals.RepeatAll();
}

// A null repairer is the nearest one of the team.
void Sim::OrderRepair(const SimId& repairer) {
    auto* repair = dynamic_cast<RepairManoeuvre*>(FindManoeuvre(kRepairManoeuvre));
    if (repair) repair->routeFailed = 0;
    GameObject* chosen = repairer.IsNull() ? RepairManoeuvre::NearestRepairer(*this)
                                           : TheObjectWorld().FindObject(repairer);
    if (!chosen) return;
    RepairManoeuvre::SendToRepair(*this, *chosen, !repair || repair->stayAway == 0 ? 1 : 0);
}

void Sim::OrderTransport(const SimId& transporter) {
    GameObject* carrier = TheObjectWorld().FindSim(transporter);
    if (!carrier) return;
    const int dock = carrier->FindFreeDock(this, 0);
    if (dock == -1) return;
    ClearGoals();
    AddGoal(std::make_unique<TransportGoal>(id, transporter, 1), 1);
    AddGoal(std::make_unique<TargetGoal>(id, transporter, carrier->GetDockOffset(dock), 1, 1), 1);
}

void Sim::MarkTargetGoal(const SimId& target) {
    Goal* front = goals.Front();
    GameObject* object = front ? front->GetTarget() : nullptr;
    if (object && object->id == target) front->SetParam(1);
}

// --- The goal loop

int Sim::CheckGoal() {
    ObjectWorld& world = TheObjectWorld();
    Goal* order = goals.FirstUnfinished();
    if (!order || order->IsDone() == 1) {
        if (order && local == 1) world.Orders().Done(*this, *order);
        goals.DropFinished();
        ignoreAttackers = 0;
        if (local == 1) world.Commands().SendGoal(this, goals.Front());
        return 1;
    }
    if (local != 1) return 0;
    if (order->GetType() == static_cast<int>(GoalType::Target) && order->TargetMoved() == 1) {
        order->RefreshLocation();
        goals.DropFinished();
        world.Commands().SendGoal(this, goals.Front());
    }
    return 0;
}

int Sim::AdvanceGoals() {
    const int r = CheckGoal();
    if (local != 1 || !goals.Front()) return r;
    if (r != 1 && FrontGoalDone(this) != 1) return r;
    const int blocked = goals.IsFrontBlocked();
    // Ended short of its place, beside a friend, by the goal loop's own test.
    if (r != 1 && goals.Front()->repeat != 1)
        TheObjectWorld().Orders().Ended(*this, *goals.Front(), OrderEnd::CarriedOut,
                                        "reached beside a friend");
    std::unique_ptr<Goal> g = PopGoal();
    NoteAttackEnded(g.get());
    const int waypoint = g->waypoint;
    const bool failed = blocked == 1 && g->reportFailure == 0;
    // A repeated goal on an object that is gone would circle nothing forever: it goes.
    const bool targetGone = g->GetType() == static_cast<int>(GoalType::Target) && !g->GetTarget();
    if (g->repeat == 1 && !targetGone) {
        g->active = 0;
        goals.PushBack(std::move(g));
    }
    g.reset();
    if (waypoint == 0 || failed) goals.DropFinished();
    if (waypoint == 0) {
        ordered = 0;
        turnAndMove = 0;
    }
    if (goals.IsFrontBlocked()) goals.UnblockFront();
    TheObjectWorld().Commands().SendGoal(this, goals.Front());
    return r;
}

void Sim::NoteAttackEnded(Goal* goal) {
    GameObject* target = goal ? goal->GetTarget() : nullptr;
    if (target && goal->GetParam() == 0 && target->GetTeam() != 0 &&
        target->GetTeam() != GetTeam() && target->GetKind() != 3) {
        combatEnded = 1;
        returnPoint = goal->GetLocation();
    } else {
        combatEnded = 0;
    }
}
