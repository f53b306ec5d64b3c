#include "objects/HaulerSim.h"

#include "catalogue/PartTemplate.h"
#include "catalogue/PictureTemplates.h"
#include "catalogue/VehicleDesign.h"
#include "core/SpriteSet.h"
#include "map/TerrainMap.h"
#include "objects/EconomyGoals.h"
#include "objects/ObjectWorld.h"

namespace {

SpriteSet* PicturesOf(PictureTemplate* role) {
    return role ? role->pictures.get() : nullptr;
}

int FrontType(GameObject& unit) {
    Goal* front = unit.goals.Front();
    return front ? front->GetType() : 0;
}

}  // namespace

HaulerSim::HaulerSim(const Point& position, const SimId& id, std::unique_ptr<VehicleDesign> design,
                     PictureTemplate* role, const Profile& profile)
    : Sim(position, id, std::move(design)), cycle(PicturesOf(role)), profile(profile) {}

HaulerSim::~HaulerSim() {
    // The goals end their cycles as they go: they find this unit still whole.
    ClearGoals();
}

int HaulerSim::WorkingFacing() const {
    const int index = cycle.facingIndex;
    return index >= 0 && index < profile.facingCount ? profile.facings[index] : facing;
}

void HaulerSim::StartWork(GameObject* object, EconomyGoal* goal, int facingIndex) {
    working = 1;
    cycle.Begin(*profile.workTable, facingIndex);
    workGoal = goal;
    target = object ? object->id : SimId();
}

void HaulerSim::StopWork() {
    if (workGoal) workGoal->SetWorkDone();
    working = 0;
    if (unloading == 0) cycle.Clear();
    workGoal = nullptr;
    target = SimId();
}

void HaulerSim::BeginUnload(Goal* goal) {
    unloading = 1;
    cycle.Begin(*profile.unloadTable, profile.unloadIndex);
    unloadGoal = dynamic_cast<EconomyGoal*>(goal);
}

void HaulerSim::EndUnload() {
    if (unloadGoal) unloadGoal->SetWorkDone();
    unloading = 0;
    if (working == 0) cycle.Clear();
    unloadGoal = nullptr;
}

int HaulerSim::KeepWorking() {
    if (working == 1) {
        GameObject* object = FindWorkTarget();
        return workGoal && FrontType(*this) == profile.workGoalType && IsCargoFull() == 0 &&
                       object && object->GetCargo() > 0
                   ? 1
                   : 0;
    }
    return unloadGoal && FrontType(*this) == static_cast<int>(GoalType::Unload) && GetCargo() > 0
               ? 1
               : 0;
}

void HaulerSim::Update(int elapsedMs) {
    Sim::Update(elapsedMs);
    if (!IsWorking()) return;
    if (cycle.Step(facing, WorkingFacing(), [this] { return KeepWorking() == 1; }) != 1) return;
    if (working == 1)
        StopWork();
    else
        EndUnload();
}

void HaulerSim::CutShort() {
    Goal* front = goals.Front();
    if (!front) return;
    const int type = front->GetType();
    const bool cutWork = working == 1 && type != profile.workGoalType;
    const bool cutUnload =
        profile.cutsUnloading == 1 && unloading == 1 && type != static_cast<int>(GoalType::Unload);
    if (!cutWork && !cutUnload) return;
    cycle.CutShort();
    workGoal = nullptr;
}

void HaulerSim::IssueOrder(int code, int flags, const Point& p, const SimId& id) {
    Sim::IssueOrder(code, flags, p, id);
    CutShort();
}

void HaulerSim::ExecuteOrder(int code, int flags, const Point& p, const SimId& id, int arg) {
    Sim::ExecuteOrder(code, flags, p, id, arg);
    CutShort();
}

int HaulerSim::StepMovement() {
    if (!IsWorking()) return Sim::StepMovement();
    moveTime = 0;
    return 1;
}

Image* HaulerSim::WorkPicture() const {
    return IsWorking() ? cycle.Picture(facing, WorkingFacing()) : nullptr;
}

void HaulerSim::Draw(ScreenBase& view) {
    Image* picture = WorkPicture();
    if (!picture) {
        Sim::Draw(view);
        return;
    }
    TerrainMap* terrain = TheObjectWorld().Terrain();
    const ShadeTable* ghost =
        HiddenFromOwnTeam() == 1 && terrain ? terrain->ShadeTable2() : nullptr;
    if (HiddenFromOwnTeam() == 0 || ghost)
        cycle.Draw(view, picture, position, teamRecord.third, ghost);
    DrawParts(view);
    DrawAttachedEffect(view);
    DrawFlash(view);
}

void HaulerSim::DrawUnder(ScreenBase& view) {
    Image* picture = WorkPicture();
    if (!picture) {
        Sim::DrawUnder(view);
        return;
    }
    const int a = design && design->drive ? design->drive->altitude : 10;
    if (HiddenFromOwnTeam() == 0) cycle.DrawShadow(view, picture, position + Point(a, a));
    DrawMarks(view);
}

void HaulerSim::DrawSensed(ScreenBase& view, const ShadeTable* table) {
    if (Image* picture = WorkPicture())
        cycle.DrawSensed(view, picture, position, table);
    else
        Sim::DrawSensed(view, table);
}
