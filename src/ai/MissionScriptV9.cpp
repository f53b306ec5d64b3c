#include "ai/MissionScriptV9.h"

#include <cmath>
#include <memory>

#include "ai/ManagerTools.h"
#include "ai/UnitTraits.h"
#include "catalogue/VehicleDesign.h"
#include "objects/AssignTargetManoeuvre.h"
#include "objects/GameObject.h"
#include "objects/Squad.h"
#include "world/World.h"

MissionScriptV9::~MissionScriptV9() = default;

bool MissionScriptV9::WatchedHasFactory() {
    GameObject* factory = world.TeamFactory(kWatchedTeam);
    // A destroyed factory awaiting removal counts as lost.
    return factory && !factory->IsDestroyed();
}

Squad& MissionScriptV9::PlainSquad(int32_t code) {
    if (Squad* squad = FindSquadByKind(code)) return *squad;
    return AddSquad(code);
}

void MissionScriptV9::Setup(int level) {
    AIPlayer::Setup(level);
    GroupB(kMinimumSize);
    if (team == kLateTeam) {
        StartScriptTimer(kLateWaitMs);
        HoldProduction(1);
    } else {
        StartScriptTimer(kWaitMs);
    }
}

void MissionScriptV9::OnNewUnit(const SimId& id) {
    GameObject* unit = world.FindObject(id);
    if (!unit) return;
    unit->SetOwner(this);
    const char role = unit_traits::RoleOf(unit);
    if (IsDeploying(unit)) {
        if (!(rallyPoint == Point()))
            unit->ExecuteOrder(kDeployOrder, kDeployFlags, rallyPoint, SimId(), 0);
        if (Squad* support = FindSquadByKind(kSupport)) support->AddMember(*unit, 0);
    } else if (role == 't') {
        SquadOfCode(kCaptureCode).AddMember(*unit, 1);
    } else if (role != 'f') {
        PlainSquad(kAssembling).AddMember(*unit, 1);
    }
    if (team == kLateTeam && !TeamObjects(kWatchedTeam).empty()) BuildDesign(kPod, 0);
}

void MissionScriptV9::OnCaptured(GameObject* capturer, GameObject* captured) {
    if (!capturer || !captured || captured->IsDestroyed()) return;
    captured->ChangeTeam(capturer->teamRecord, 1);
    captured->SetOwner(this);
    captured->BuildManoeuvreList();
    const char role = unit_traits::RoleOf(captured);
    if (!IsDeploying(captured) && role != 'f' && role != 'k')
        PlainSquad(kAssembling).AddMember(*captured, 1);
}

void MissionScriptV9::OnEvent(int32_t kind, void* a, void* b) {
    if (!Factory()) return;
    if (kind == kUnitBuilt) {
        if (b) OnNewUnit(*static_cast<SimId*>(b));
    } else if (kind == kUnitLost) {
        auto* unit = static_cast<GameObject*>(a);
        if (unit && (IsDeploying(unit) || unit_traits::RoleOf(unit) == 'f'))
            if (VehicleDesign* design = unit->GetDesign()) BuildDesign(design->CodeString(), 0);
    } else if (kind == kCaptured) {
        OnCaptured(static_cast<GameObject*>(a), static_cast<GameObject*>(b));
    } else {
        AIPlayer::OnEvent(kind, a, b);
    }
}

GameObject* MissionScriptV9::NearestWatched(const Point& from) {
    if (team == kWatchedTeam || WatchedHasFactory()) return nullptr;
    GameObject* nearest = nullptr;
    int64_t best = 0;
    for (GameObject* o : TeamObjects(kWatchedTeam)) {
        const auto d = std::llround(manager_tools::Distance(from, o->GetPosition()));
        if (!nearest || d < best) {
            nearest = o;
            best = d;
        }
    }
    return nearest;
}

void MissionScriptV9::Update(Timer& budget) {
    if (!Factory()) return;
    // 1.
    if (ScriptTimerFired()) {
        minimumAttackSize = kAwakeSize;
        HoldProduction(0);
    } else if (scriptTimer.IsRunning() && !WatchedHasFactory() &&
               !TeamObjects(kWatchedTeam).empty()) {
        scriptTimer.period = 1;
        scriptTimer.Start();
    }
    // 2.
    Squad* capture = FindSquadByKind(kCaptureCode);
    if (team == kLateTeam && capture && capture->MemberCount() > 0) {
        GameObject* idle = nullptr;
        for (GameObject* member : manager_tools::Members(*capture))
            if (!member->goals.Front()) {
                idle = member;
                break;
            }
        if (idle)
            if (GameObject* target = NearestWatched(idle->GetPosition())) {
                idle->ExecuteOrder(kDeployOrder, kMoveFlags, target->GetPosition(), SimId(), 0);
                idle->ExecuteOrder(kAttackOrder, kAttackFlags, target->GetPosition(), target->id,
                                   0);
            }
    }
    // 3.
    AIPlayer::Update(budget);
}
