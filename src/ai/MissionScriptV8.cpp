#include "ai/MissionScriptV8.h"

#include <memory>

#include "ai/ManagerTools.h"
#include "ai/UnitTraits.h"
#include "catalogue/PartTemplate.h"
#include "catalogue/VehicleDesign.h"
#include "objects/AssignTargetManoeuvre.h"
#include "objects/FactoryProduction.h"
#include "objects/FormationManoeuvre.h"
#include "objects/GameObject.h"
#include "objects/Squad.h"
#include "world/World.h"

namespace {

constexpr int kFactoryKind = 4;
constexpr char kSpiderDrive = 'S';

}  // namespace

MissionScriptV8::~MissionScriptV8() = default;

bool MissionScriptV8::Known(GameObject& object) const {
    return !(object.GetReferencePoint(team) == Point());
}

void MissionScriptV8::PromoteExplorer() {
    Squad* explorers = FindSquadByKind(kExplorerCode);
    if (!explorers || explorers->MemberCount() == 0) return;
    GameObject* member = explorers->MemberAt(0);
    if (!member) return;
    explorers->RemoveMember(*member);
    manager_tools::SetParameter(*member, 0, kExplorerParameter);
    member->BuildManoeuvreList();
}

void MissionScriptV8::Setup(int level) {
    AIPlayer::Setup(level);
    MakeBaseSquads(kMinimumSize);
    CountFactoryInSupport();
    Squad* support = FindSquadByKind(kSupport);
    Squad* attack = nullptr;
    for (GameObject* unit : TeamObjects(team)) {
        const int32_t word = unit->Purpose();
        if (IsDeploying(unit) || unit_traits::RoleOf(unit) == 'k') {
            support->AddMember(*unit, 0);
        } else if (manager_tools::Parameter(*unit, 0) != kExplorerParameter && word != 0) {
            if (word == kAttacking) {
                if (!attack) attack = &FoundAttackSquad();
                attack->AddMember(*unit, 1);
            } else {
                SquadOfCode(word).AddMember(*unit, 1);
            }
        }
    }
    PromoteExplorer();
    StartScriptTimer(kUnlockMs);
}

void MissionScriptV8::OnNewUnit(const SimId& id) {
    GameObject* unit = world.FindObject(id);
    if (!unit) return;
    unit->SetOwner(this);
    if (IsDeploying(unit)) {
        if (!(rallyPoint == Point()))
            unit->ExecuteOrder(kDeployOrder, kDeployFlags, rallyPoint, SimId(), 0);
        if (Squad* support = FindSquadByKind(kSupport)) support->AddMember(*unit, 0);
        return;
    }
    VehicleDesign* design = unit->GetDesign();
    if (design && design->drive && design->drive->role == kSpiderDrive) {
        Squad* spiders = FindSquadByKind(kSpiderCode);
        if (!spiders) {
            spiders = &AddSquad(kSpiderCode, 1);
            spiders->manoeuvres.Add(std::make_unique<AssignTargetManoeuvre>());
        }
        spiders->AddMember(*unit, 1);
        if (spiders->MemberCount() < kSpiderSquadSize) {
            BuildDesign(kSpider, 0);
        } else {
            ++launchCounter;
        }
        return;
    }
    if (unit_traits::RoleOf(unit) == 'f') return;
    Squad* assembling = FindSquadByKind(kAssembling);
    if (!assembling) {
        assembling = &AddSquad(kAssembling, 1);
        assembling->manoeuvres.Add(std::make_unique<AssignTargetManoeuvre>());
    }
    assembling->AddMember(*unit, 1);
}

void MissionScriptV8::OnEvent(int32_t kind, void* a, void* b) {
    if (kind == kUnitBuilt) {
        if (b) OnNewUnit(*static_cast<SimId*>(b));
        return;
    }
    if (kind == kUnitLost) {
        auto* unit = static_cast<GameObject*>(a);
        if (!unit) return;
        Squad* explorers = FindSquadByKind(kExplorerCode);
        if (manager_tools::Parameter(*unit, 0) == kExplorerParameter && explorers &&
            explorers->MemberCount() > 0) {
            PromoteExplorer();
        } else if (IsDeploying(unit) || unit_traits::RoleOf(unit) == 'f') {
            if (VehicleDesign* design = unit->GetDesign()) BuildDesign(design->CodeString(), 0);
        }
        return;
    }
    if (kind == kObjectHit) {
        auto* hit = static_cast<GameObject*>(a);
        if (attackUnlocked != 0 || !hit) return;
        const int32_t word = hit->Purpose();
        if (hit->GetKind() == kFactoryKind || word == kSpiderCode || word == kSupport ||
            IsDeploying(hit) || unit_traits::RoleOf(hit) == 'k')
            attackUnlocked = 1;
        return;
    }
    AIPlayer::OnEvent(kind, a, b);
}

void MissionScriptV8::Update(Timer& budget) {
    // 1.
    GameObject* guarded = world.FindSim(guardedId);
    Squad* spiders = FindSquadByKind(kSpiderCode);
    if (spiders && !spiders->manoeuvres.Find(static_cast<int>(ManoeuvreType::Formation)) &&
        guarded && Known(*guarded)) {
        spiders->manoeuvres.DeleteAll();
        auto ring = std::make_unique<FormationManoeuvre>(guarded->GetPosition());
        ring->spacing = kGuardSpacing;
        ring->UpdateRadius();
        spiders->manoeuvres.Add(std::move(ring));
        spiders->manoeuvres.Add(std::make_unique<AssignTargetManoeuvre>());
    }
    // 2.
    if (targetTeam != 0 && (!guarded || Known(*guarded))) {
        if (Squad* explorers = FindSquadByKind(kExplorerCode)) {
            Squad* assembling = FindSquadByKind(kAssembling);
            if (!assembling) {
                explorers->manoeuvres.DeleteAll();
                explorers->manoeuvres.Add(std::make_unique<AssignTargetManoeuvre>());
                explorers->purpose = kAssembling;
                explorers->StampMembers();
            } else {
                // Joining takes each member out of the list being walked: take them first.
                for (GameObject* member : manager_tools::Members(*explorers))
                    assembling->AddMember(*member, 1);
                delete explorers;
            }
        }
    }
    // 3.
    AIPlayer::Update(budget);
}

int MissionScriptV8::LaunchAttack(Squad& squad) {
    if (attackUnlocked != 1 && !scriptTimer.Expired()) return 0;
    if (squad.MemberCount() < minimumAttackSize) return 0;
    attackUnlocked = 1;
    GameObject* target = ChooseTarget();
    if (!target) return 0;
    SendSquad(squad, *target);
    ++launchCounter;
    if (launchCounter == 1) {
        // Without a factory there is no job to turn over.
        if (FactoryProduction* controls = FactoryControls()) {
            if (controls->CurrentJob()) controls->CancelJob(nullptr);
            BuildDesign(kSpider, 0);
        }
    }
    return 1;
}

GameObject* MissionScriptV8::TargetObject() {
    const int32_t local = world.LocalTeam();
    for (GameObject* o : TeamObjects(local))
        if (Known(*o)) return o;
    GameObject* factory = world.TeamFactory(local);
    return factory && Known(*factory) ? factory : nullptr;
}
