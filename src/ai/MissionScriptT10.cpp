#include "ai/MissionScriptT10.h"

#include <cmath>

#include "ai/ManagerTools.h"
#include "ai/UnitTraits.h"
#include "objects/GameObject.h"
#include "objects/Sim.h"
#include "objects/Squad.h"
#include "world/World.h"

MissionScriptT10::~MissionScriptT10() = default;

void MissionScriptT10::Setup(int level) {
    AIPlayer::Setup(level);
    GroupA(kMinimumSize);
    StartScriptTimer(kWaitMs);
}

void MissionScriptT10::OnCaptured(GameObject* capturer, GameObject* captured) {
    if (!capturer || !captured || captured->IsDestroyed()) return;
    captured->ChangeTeam(capturer->teamRecord, 1);
    captured->SetOwner(this);
    captured->BuildManoeuvreList();
    const char role = unit_traits::RoleOf(captured);
    if (IsDeploying(captured) || role == 'f' || role == 'k') return;
    Squad* squad = FindSquadByKind(kAttacking);
    if (!squad) squad = FindSquadByKind(kAssembling);
    if (!squad) squad = &AddSquad(kAssembling);
    squad->AddMember(*captured, 1);
}

void MissionScriptT10::OnEvent(int32_t kind, void* a, void* b) {
    if (kind == kCaptured) {
        OnCaptured(static_cast<GameObject*>(a), static_cast<GameObject*>(b));
    } else {
        HandleEventB(kind, a, b);
    }
}

GameObject* MissionScriptT10::NearestLocal(const Point& from) {
    // Never an ally, as for every other target.
    if (!Factory() || IsAlliedWith(world.LocalTeam())) return nullptr;
    GameObject* nearest = nullptr;
    int64_t best = 0;
    for (GameObject* o : TeamObjects(world.LocalTeam())) {
        const auto d = std::llround(manager_tools::Distance(from, o->GetPosition()));
        if (!nearest || d < best) {
            nearest = o;
            best = d;
        }
    }
    return GrowAttackSize(nearest, kMaxAttackSize);
}

void MissionScriptT10::SendCaptureUnit() {
    Squad* capture = FindSquadByKind(kCaptureCode);
    if (!capture || capture->MemberCount() == 0) return;
    for (GameObject* member : manager_tools::Members(*capture)) {
        if (member->goals.Front()) continue;
        if (GameObject* target = NearestLocal(member->GetPosition())) {
            member->ExecuteOrder(Sim::kOrderMove, kMoveFlags, target->GetPosition(), SimId(), 0);
            member->ExecuteOrder(Sim::kOrderAttack, kAttackFlags, target->GetPosition(), target->id,
                                 0);
        }
        return;
    }
}

void MissionScriptT10::Update(Timer& budget) {
    // 1.
    if (ScriptTimerFired()) minimumAttackSize = kAwakeSize;
    // 2.
    if (attacksLaunched > 1) SendCaptureUnit();
    // 3.
    AIPlayer::Update(budget);
}
