#include "ai/MissionScript.h"

#include <memory>

#include "ai/ManagerTools.h"
#include "ai/UnitTraits.h"
#include "catalogue/VehicleDesign.h"
#include "objects/AssignTargetManoeuvre.h"
#include "objects/AttackManoeuvre.h"
#include "objects/FactoryProduction.h"
#include "objects/GameObject.h"
#include "objects/Squad.h"
#include "world/World.h"

namespace {

constexpr char kMinerRole = 'f';

}  // namespace

MissionScript::MissionScript(int32_t team, char clan, int32_t techLevel)
    : AIPlayer(team, clan, techLevel) {}

MissionScript::~MissionScript() = default;

bool MissionScript::IsDeploying(GameObject* object) {
    return unit_traits::IsStructure(object);
}

Squad& MissionScript::SquadOfCode(int32_t code) {
    if (Squad* squad = FindSquadByKind(code)) return *squad;
    Squad& squad = AddSquad(code);
    squad.manoeuvres.Add(std::make_unique<AssignTargetManoeuvre>());
    return squad;
}

Squad& MissionScript::FoundAttackSquad() {
    Squad& squad = AddSquad(kAttacking);
    if (GameObject* target = ChooseTarget()) {
        target->SetReferencePoint(team, target->GetPosition());
        squad.manoeuvres.Add(std::make_unique<AttackManoeuvre>(target->id));
    }
    return squad;
}

void MissionScript::MakeBaseSquads(int32_t minimumSize) {
    AddSquad(kAssembling).manoeuvres.Add(std::make_unique<AssignTargetManoeuvre>());
    minimumAttackSize = minimumSize;
    AddSquad(kSupport).manoeuvres.Add(std::make_unique<AssignTargetManoeuvre>());
}

std::vector<GameObject*> MissionScript::TeamObjects(int32_t ofTeam) const {
    if (ofTeam < 0 || ofTeam >= World::kTeams) return {};
    return manager_tools::Objects(world.sims[ofTeam]);
}

GameObject* MissionScript::GrowAttackSize(GameObject* target, int32_t cap) {
    if (target && minimumAttackSize < cap) ++minimumAttackSize;
    return target;
}

void MissionScript::CountFactoryInSupport() {
    GameObject* factory = Factory();
    Squad* support = FindSquadByKind(kSupport);
    if (factory && support) support->AddMember(*factory, 0);
}

void MissionScript::GroupA(int32_t minimumSize) {
    MakeBaseSquads(minimumSize);
    WalkA();
}

void MissionScript::WalkA() {
    bool attackFounded = false;
    for (GameObject* unit : manager_tools::Objects(world.sims[team])) {
        const int32_t word = unit->Purpose();
        if (word == kAttacking) {
            // Later units of the word join nothing (they keep their own rules).
            if (attackFounded) continue;
            attackFounded = true;
            FoundAttackSquad().AddMember(*unit, 1);
        } else if (word == 0) {
            if (IsDeploying(unit))
                if (Squad* support = FindSquadByKind(kSupport)) support->AddMember(*unit, 0);
        } else {
            SquadOfCode(word).AddMember(*unit, 1);
        }
    }
}

void MissionScript::GroupB(int32_t minimumSize) {
    MakeBaseSquads(minimumSize);
    WalkB();
}

void MissionScript::WalkB() {
    CountFactoryInSupport();
    Squad* support = FindSquadByKind(kSupport);
    Squad* attack = nullptr;
    for (GameObject* unit : manager_tools::Objects(world.sims[team])) {
        const int32_t word = unit->Purpose();
        if (IsDeploying(unit)) {
            if (support) support->AddMember(*unit, 0);
        } else if (word == kAttacking) {
            if (!attack) attack = &FoundAttackSquad();
            attack->AddMember(*unit, 1);
        } else if (word != 0) {
            SquadOfCode(word).AddMember(*unit, 1);
        }
    }
}

void MissionScript::HandleEventA(int32_t kind, void* a, void* b) {
    HandleEvent(kind, a, b, true);
}

void MissionScript::HandleEventB(int32_t kind, void* a, void* b) {
    HandleEvent(kind, a, b, false);
}

void MissionScript::HandleEvent(int32_t kind, void* a, void* b, bool deploying) {
    if (kind == kUnitBuilt) {
        GameObject* unit = b ? world.FindObject(*static_cast<SimId*>(b)) : nullptr;
        if (!unit) return;
        unit->SetOwner(this);
        if (deploying && IsDeploying(unit)) {
            // Without a rally point the unit deploys where it stands rather than at the
            // map's corner.
            if (!(rallyPoint == Point()))
                unit->ExecuteOrder(kDeployOrder, kDeployFlags, rallyPoint, SimId(), 0);
            if (Squad* support = FindSquadByKind(kSupport)) support->AddMember(*unit, 0);
        } else if (unit_traits::RoleOf(unit) != kMinerRole) {
            Squad* assembling = FindSquadByKind(kAssembling);
            if (!assembling) assembling = &AddSquad(kAssembling);
            assembling->AddMember(*unit, 1);
        }
        return;
    }
    if (kind == kUnitLost) {
        auto* unit = static_cast<GameObject*>(a);
        if (!unit) return;
        VehicleDesign* design = unit->GetDesign();
        if (!design) return;
        if ((deploying && IsDeploying(unit)) || unit_traits::RoleOf(unit) == kMinerRole)
            BuildDesign(design->CodeString(), 0);
        return;
    }
    AIPlayer::OnEvent(kind, a, b);
}

void MissionScript::StartScriptTimer(int32_t periodMs) {
    scriptTimer.period = periodMs;
    scriptTimer.Start();
}

int MissionScript::ScriptTimerFired() {
    if (!scriptTimer.Expired()) return 0;
    scriptTimer = Timer(-1);
    return 1;
}

void MissionScript::AttackLocalFactoryWhenTimerFires() {
    if (!ScriptTimerFired()) return;
    Squad* assembling = FindSquadByKind(kAssembling);
    GameObject* factory = world.TeamFactory(world.LocalTeam());
    if (assembling && factory)
        assembling->manoeuvres.Add(std::make_unique<AttackManoeuvre>(factory->id));
}

void MissionScript::HoldProduction(int flag) {
    if (FactoryProduction* controls = FactoryControls()) controls->SetProductionPaused(flag);
}
