#include "ai/AIPlayer.h"

#include <memory>
#include <vector>

#include "ai/InfluenceGrid.h"
#include "ai/ManagerTools.h"
#include "ai/UnitTraits.h"
#include "catalogue/VehicleDesign.h"
#include "map/SightGrid.h"
#include "objects/AssignTargetManoeuvre.h"
#include "objects/AttackManoeuvre.h"
#include "objects/FactoryProduction.h"
#include "objects/GameObject.h"
#include "objects/RetaliateManoeuvre.h"
#include "objects/Squad.h"
#include "world/World.h"

namespace {

constexpr int kTilesPerGridCell = 4;
constexpr int kDeployedKind = 7;

}  // namespace

AIPlayer::AIPlayer(int32_t team, char clan, int32_t techLevel)
    : AIController(team, clan, techLevel) {}

AIPlayer::~AIPlayer() {
    // The squads leave their members' id sets while those still know this controller.
    squads.DeleteAll();
}

void AIPlayer::OnEvent(int32_t kind, void* a, void* b) {
    switch (kind) {
        case kBlocked:
        case kEngaging:
        case kEnemySeen:
        case kCaptured:
            AIController::OnEvent(kind, a, b);
            break;
        default:
            break;
    }
}

Squad* AIPlayer::FindSquad(int32_t squadId) {
    for (ListNode* n = squads.First(); n; n = squads.Next(n)) {
        auto* squad = static_cast<Squad*>(n);
        if (squad->Id() == squadId) return squad;
    }
    return nullptr;
}

Squad* AIPlayer::FindSquadByKind(int32_t code) const {
    for (ListNode* n = squads.First(); n; n = squads.Next(n)) {
        auto* squad = static_cast<Squad*>(n);
        if (squad->purpose == code) return squad;
    }
    return nullptr;
}

Squad& AIPlayer::AddSquad(int32_t code, int append) {
    auto* squad = new Squad(team);
    squad->purpose = code;
    squad->StampMembers();
    if (append) {
        squads.PushBack(squad);
    } else {
        squads.InsertSorted(squad, 0);
    }
    return *squad;
}

void AIPlayer::Setup(int) {
    if (!grid) {
        if (world.sight) {
            const Size cell = world.sight->CellSize();
            grid = std::make_unique<InfluenceGrid>(world, kTilesPerGridCell * cell.w,
                                                   kTilesPerGridCell * cell.h);
        } else {
            grid = std::make_unique<InfluenceGrid>(world, 0, 0);
        }
    }
    if (GameObject* factory = Factory()) factory->SetOwner(this);
    for (GameObject* o : manager_tools::Objects(world.sims[team]))
        o->SetOwner(this);
}

void AIPlayer::Update(Timer&) {
    if (!grid) return;
    // By id: deploying may replace the unit in its list.
    std::vector<SimId> ids;
    for (GameObject* o : manager_tools::Objects(world.sims[team]))
        ids.push_back(o->id);
    for (const SimId& id : ids) {
        GameObject* o = world.FindSim(id);
        if (!o || !unit_traits::IsStructure(o)) continue;
        if (o->GetKind() != kDeployedKind) {
            if (!o->goals.Front()) o->DeployNow();
        } else {
            rallyPoint = o->GetPosition();
        }
    }
    grid->Refresh(team, *this);
    UpdateSquads(nullptr);
}

void AIPlayer::PauseTimers() {
    AIController::PauseTimers();
    // A hold must not be spent in the pause menu.
    scriptTimer.Pause();
}

void AIPlayer::ResumeTimers() {
    AIController::ResumeTimers();
    scriptTimer.Resume();
}

int AIPlayer::UpdateSquads(Timer* budget) {
    ListNode* n = squads.First();
    while (n) {
        auto* squad = static_cast<Squad*>(n);
        squad->Update(budget);
        if (squad->purpose == kAssembling) {
            auto* attack = static_cast<AttackManoeuvre*>(
                squad->manoeuvres.Find(static_cast<int>(ManoeuvreType::Attack)));
            if (!attack) {
                LaunchAttack(*squad);
            } else if (squad->MemberCount() == 0 || !attack->Target()) {
                squad->manoeuvres.DeleteAll();
                squad->manoeuvres.Add(std::make_unique<AssignTargetManoeuvre>());
            }
        }
        // Taken before the squad may go, so that nothing is skipped or visited twice.
        ListNode* next = squads.Next(n);
        if (squad->purpose == kAttacking) {
            auto* attack = static_cast<AttackManoeuvre*>(
                squad->manoeuvres.Find(static_cast<int>(ManoeuvreType::Attack)));
            if (squad->MemberCount() == 0) {
                delete squad;
            } else if (attack && !attack->Target()) {
                squad->manoeuvres.DeleteAll();
                squad->manoeuvres.Add(std::make_unique<AssignTargetManoeuvre>());
                squad->purpose = kAssembling;
                squad->StampMembers();
            }
        }
        n = next;
    }
    return 1;
}

void AIPlayer::SetLevel(int newLevel) {
    if (newLevel == 0) newLevel = 1;
    if (newLevel > 5) newLevel = 5;
    level = static_cast<uint16_t>(newLevel);
}

int AIPlayer::LaunchAttack(Squad& squad) {
    if (squad.MemberCount() < minimumAttackSize) return 0;
    GameObject* target = ChooseTarget();
    if (!target) return 0;
    SendSquad(squad, *target);
    ++attacksLaunched;
    return 1;
}

void AIPlayer::SendSquad(Squad& squad, GameObject& target) {
    squad.manoeuvres.DeleteAll();
    target.SetReferencePoint(team, target.GetPosition());
    squad.manoeuvres.Add(std::make_unique<RetaliateManoeuvre>());
    squad.manoeuvres.Add(std::make_unique<AttackManoeuvre>(target.id));
    squad.purpose = kAttacking;
    squad.StampMembers();
    for (GameObject* member : manager_tools::Members(squad)) {
        manager_tools::SetParameter(*member, 0, 3);
        manager_tools::SetParameter(*member, 4, 3);
        member->BuildManoeuvreList();
    }
}

GameObject* AIPlayer::TargetObject() {
    return world.TeamFactory(world.LocalTeam());
}

GameObject* AIPlayer::ChooseTarget() {
    GameObject* target = TargetObject();
    // A dying target would be launched at and dropped at every pass.
    if (!target || target->IsDestroyed() || IsAlliedWith(target->GetTeam())) return nullptr;
    return target;
}

FactoryProduction* AIPlayer::FactoryControls() const {
    return AsFactoryProduction(Factory());
}

void AIPlayer::BuildDesign(const char* designCode, int front) {
    FactoryProduction* controls = FactoryControls();
    if (!controls || !designCode) return;
    controls->QueueJob(std::make_unique<VehicleDesign>(designCode), front == 1 ? 1 : 0);
}
