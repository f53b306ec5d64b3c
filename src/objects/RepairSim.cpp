#include "objects/RepairSim.h"

#include "catalogue/PartTemplate.h"
#include "catalogue/PictureTemplates.h"
#include "catalogue/VehicleDesign.h"
#include "map/TerrainMap.h"
#include "objects/BlockedStepPolicy.h"
#include "objects/EconomyGoals.h"
#include "objects/ObjectWorld.h"
#include "objects/SquadManoeuvre.h"
#include "objects/TargetGoal.h"
#include "objects/UnitMakers.h"

namespace {

constexpr int32_t kServiceFacings[2] = {0, 8};
// 0 .. 18, then 17 down to 0; it decides at 28 whether to go back to 10.
constexpr int32_t kFrames[37] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12,
                                 13, 14, 15, 16, 17, 18, 17, 16, 15, 14, 13, 12, 11,
                                 10, 9,  8,  7,  6,  5,  4,  3,  2,  1,  0};
constexpr WorkTable kService{kFrames, 37, 28, 10};
constexpr int kClearWayManoeuvre = 11;
constexpr int kDockFlags = 1;
constexpr int kReturnFlags = 21;
constexpr int kComeFlags = 6;

}  // namespace

RepairSim::RepairSim(const Point& position, const SimId& id, std::unique_ptr<VehicleDesign> design,
                     PictureTemplate* role)
    : Sim(position, id, std::move(design)), cycle(role ? role->pictures.get() : nullptr) {
    selfRepairTimer.Start();
    if (body) {
        AppendDock(kDockFlags, Point(-kDockSide, 0));
        AppendDock(kDockFlags, Point(kDockSide, 0));
    }
    ClearManoeuvreList();
    ManoeuvreArguments clearWay;
    clearWay.first = 1;
    AddManoeuvre(TheObjectWorld().Makers().MakeManoeuvre(kClearWayManoeuvre, clearWay).release());
}

RepairSim::~RepairSim() {
    ClearGoals();
}

int RepairSim::ServiceFacing() const {
    return kServiceFacings[cycle.facingIndex == 1 ? 1 : 0];
}

void RepairSim::StartService(GameObject* who, EconomyGoal* goal) {
    servicing = 1;
    const int index = who && who->GetPosition().x < position.x ? 0 : 1;
    cycle.Begin(kService, index);
    repairGoal = goal;
    client = who ? who->id : SimId();
}

void RepairSim::EndService() {
    if (repairGoal) {
        repairGoal->SetWorkDone();
        repairGoal = nullptr;
        if (returnFlag == 1) {
            returnFlag = 0;
            ExecuteOrder(kOrderMove, kReturnFlags, returnPoint, SimId(), 0);
        }
    }
    servicing = 0;
    cycle.Clear();
}

int RepairSim::KeepServicing() {
    GameObject* who = TheObjectWorld().FindObject(client);
    return repairGoal && who && who->damage.Percent() > 1 ? 1 : 0;
}

void RepairSim::Update(int elapsedMs) {
    Sim::Update(elapsedMs);
    if (selfRepairTimer.Expired()) {
        // A meter never goes below nothing.
        if (IsInvulnerable() == 0 && damage.Value() > 0) damage.Add(-1);
        selfRepairTimer.Start();
    }
    if (servicing != 1) return;
    if (cycle.Step(facing, ServiceFacing(), [this] { return KeepServicing() == 1; }) == 1)
        EndService();
}

void RepairSim::IssueOrder(int code, int flags, const Point& p, const SimId& target) {
    Sim::IssueOrder(code, flags, p, target);
    if (servicing == 1 && goals.Front()) repairGoal = nullptr;
}

void RepairSim::ExecuteOrder(int code, int flags, const Point& p, const SimId& target, int arg) {
    Sim::ExecuteOrder(code, flags, p, target, arg);
    if (servicing == 1 && goals.Front()) repairGoal = nullptr;
}

int RepairSim::StepMovement() {
    if (servicing != 1) return Sim::StepMovement();
    moveTime = 0;
    return 1;
}

void RepairSim::OrderRepair(const SimId& clientId) {
    ObjectWorld& world = TheObjectWorld();
    GameObject* who = world.FindObject(clientId);
    if (!who || who->GetKind() == 2) return;
    const Point near(position.x < who->GetPosition().x ? -kDockSide : kDockSide, 0);
    // A side its drive does not reach is no side for it (the World's rule of our own). Nor, while
    // the other side is open, one a structure covers: the trip there was given up at the
    // structure, and the client, against the factory, was never told to come.
    const auto fits = [&](const Point& offset, bool uncovered) {
        const Point at = who->GetPosition() + offset;
        return world.CanPlace(this, at, nullptr, 1, 0) == 1 && world.InReachOf(this, at) &&
               (!uncovered || !BlockedStepPolicy::StructureCovering(*this, at));
    };
    for (const bool uncovered : {true, false}) {
        for (const Point& side : {near, Point(-near.x, 0)}) {
            if (!fits(side, uncovered)) continue;
            AddGoal(std::make_unique<TargetGoal>(id, clientId, side, 1, 1), 1);
            pendingClient = clientId;
            return;
        }
    }
}

void RepairSim::RunManoeuvreList() {
    if (goals.IsEmpty() == 1 && !pendingClient.IsNull()) {
        if (GameObject* who = TheObjectWorld().FindObject(pendingClient))
            who->ExecuteOrder(kOrderRepair, kComeFlags, Point(), id, 0);
        pendingClient = SimId();
    }
    Sim::RunManoeuvreList();
}

Image* RepairSim::WorkPicture() const {
    return servicing == 1 ? cycle.Picture(facing, ServiceFacing()) : nullptr;
}

void RepairSim::Draw(ScreenBase& view) {
    Image* picture = WorkPicture();
    if (!picture) {
        Sim::Draw(view);
        return;
    }
    cycle.Draw(view, picture, position, teamRecord.third, nullptr);
    DrawAttachedEffect(view);
    DrawFlash(view);
}

void RepairSim::DrawUnder(ScreenBase& view) {
    Image* picture = WorkPicture();
    if (!picture) {
        Sim::DrawUnder(view);
        return;
    }
    const int a = design && design->drive ? design->drive->altitude : 10;
    cycle.DrawShadow(view, picture, position + Point(a, a));
    DrawMarks(view);
}

void RepairSim::DrawSensed(ScreenBase& view, const ShadeTable* table) {
    if (Image* picture = WorkPicture())
        cycle.DrawSensed(view, picture, position, table);
    else
        Sim::DrawSensed(view, table);
}
