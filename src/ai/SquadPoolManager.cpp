#include "ai/SquadPoolManager.h"

#include <memory>

#include "ai/AIController.h"
#include "ai/ManagerTools.h"
#include "ai/SquadRules.h"
#include "ai/UnitTraits.h"
#include "catalogue/DesignRules.h"
#include "core/Random.h"
#include "map/ObjectKinds.h"
#include "objects/Goal.h"
#include "objects/Squad.h"
#include "objects/SquadManoeuvre.h"
#include "world/World.h"

using manager_tools::Distance;
using manager_tools::Members;

namespace {

constexpr int kMiningType = static_cast<int>(ManoeuvreType::Mining);

// The rows of the request table that differ by pool.
struct RequestRow {
    int32_t kind;
    uint32_t chassisFlags;
    int32_t presets[5];  // parameters 0, 1, 2, 3, 6 (-1 unset)
};

constexpr RequestRow kRows[] = {
    {SquadPoolManager::kMinerKind, 0x80, {3, 40, 0, 20, 3}},
    {SquadPoolManager::kRepairKind, 0x40, {2, 99, 0, 99, -1}},
    {SquadPoolManager::kStructureKind, 0, {2, 50, 0, 50, -1}},
    {SquadPoolManager::kScavengerKind, 0x20, {3, 50, 0, 20, 3}},
};

// The structure request by type: the chassis flag and the priority key.
constexpr uint32_t kStructureChassis[6] = {0x200, 0x400, 0x800, 0x2000, 0x1000, 0x4000};
constexpr int32_t kStructurePriority[6] = {4, 4, 4, 1, 4, 4};

void FillRow(DesignRules& request, int32_t kind, int32_t squadId) {
    for (const RequestRow& row : kRows) {
        if (row.kind != kind) continue;
        if (row.chassisFlags != 0) request.SetPartFlags(0, row.chassisFlags, 1);
        const int parameters[5] = {0, 1, 2, 3, 6};
        for (int i = 0; i < 5; ++i)
            if (row.presets[i] != -1)
                request.presets[static_cast<size_t>(parameters[i])] = row.presets[i];
    }
    AIController::SetOrderSquad(request, squadId);
    AIController::SetOrderPurpose(request, kind);
}

bool MostlyDamaged(GameObject& object) {
    return static_cast<int64_t>(object.damage.Value()) * 100 >
           static_cast<int64_t>(object.damage.Max()) * 20;
}

}  // namespace

const int32_t SquadPoolManager::kMostRepairers[6] = {0, 1, 1, 1, 1, 1};
const int32_t SquadPoolManager::kUnitsPerRepairer[6] = {0, 4, 4, 3, 3, 2};
const int32_t SquadPoolManager::kWrecksPerScavenger[6] = {0, 12, 10, 8, 6, 4};
const int32_t SquadPoolManager::kMostMiners[6] = {0, 1, 1, 2, 2, 2};
const int32_t SquadPoolManager::kOreTrendLimit[6] = {0, -500, -400, -300, -200, -100};

SquadPoolManager::SquadPoolManager(AIController& owner) : AIManager(owner) {
    for (int32_t* id : {&repairPoolId, &scavengerPoolId, &minerPoolId, &structurePoolId}) {
        const int32_t kind = id == &repairPoolId      ? kRepairKind
                             : id == &scavengerPoolId ? kScavengerKind
                             : id == &minerPoolId     ? kMinerKind
                                                      : kStructureKind;
        auto squad = std::make_unique<Squad>(owner.Team());
        squad->purpose = kind;
        squad->StampMembers();
        *id = AddChild(std::move(squad))->Id();
    }
    directionTimer.Start();
}

SquadPoolManager::~SquadPoolManager() = default;

Squad* SquadPoolManager::Pool(int32_t kind) const {
    switch (kind) {
        case kRepairKind:
            return FindChild(repairPoolId);
        case kScavengerKind:
            return FindChild(scavengerPoolId);
        case kMinerKind:
            return FindChild(minerPoolId);
        case kStructureKind:
            return FindChild(structurePoolId);
        default:
            return nullptr;
    }
}

int SquadPoolManager::ClaimUnit(GameObject& unit, int32_t& squadId) {
    Squad* pool = Pool(unit.Purpose());
    if (!pool) return 0;
    squadId = pool->Id();
    return 1;
}

int SquadPoolManager::IsUnitAvailable(GameObject& unit, int higherPriority) {
    const int32_t current = unit.CurrentSquad();
    return higherPriority == 1 && !unit.goals.Front() && current != repairPoolId &&
                   current != minerPoolId && current != structurePoolId
               ? 1
               : 0;
}

bool SquadPoolManager::MinerWanted() {
    GameObject* factory = owner.Factory();
    if (!factory || owner.CountOrders(this, kMinerKind, 0) != 0 ||
        owner.minerCount >= kMostMiners[Level()])
        return false;
    const int32_t ore = factory->GetCargo();
    if (owner.minerCount == 0 && ore <= kFirstMinerOreCeiling) return true;
    return ore <= kOreReserve && owner.firstProductionCounter > 1 &&
           owner.oreChangeCounter / owner.firstProductionCounter < kOreTrendLimit[Level()];
}

bool SquadPoolManager::RepairerWanted() {
    const int n = owner.CountOrders(this, kRepairKind, 0) + owner.repairerCount;
    if (n >= kMostRepairers[Level()]) return false;
    int clients = 0;
    for (GameObject* o : manager_tools::Objects(TheWorld()->sims[owner.Team()])) {
        if (unit_traits::RoleOf(o) != 'k' &&
            (manager_tools::Parameter(*o, 1) < 75 || MostlyDamaged(*o)))
            ++clients;
    }
    return n < clients / kUnitsPerRepairer[Level()];
}

bool SquadPoolManager::ScavengerWanted() {
    if (!owner.Factory() || owner.CountOrders(this, kScavengerKind, 0) != 0 ||
        owner.CountOrders(this, kMinerKind, 0) != 0 || owner.firstProductionCounter <= 0)
        return false;
    const int n = owner.scavengerCount;
    const int wrecks = TheWorld()->wrecks.Count();
    if (n >= wrecks / kWrecksPerScavenger[Level()]) return false;
    if (n != 0 && owner.Factory()->GetCargo() > kOreReserve) return false;
    return SafeWreck() != nullptr;
}

int SquadPoolManager::PlanStructureOrder(DesignRules& request) {
    // 1.
    if (owner.CountOrders(this, kStructureKind, 0) != 0 || owner.secondProductionCounter < 1)
        return 0;
    // 2. Types the team owns already leave the queue on the way.
    int type = -1;
    for (ListNode* n = owner.typeQueue.First(); n && type < 0;) {
        ListNode* next = owner.typeQueue.Next(n);
        const int32_t t = n->key;
        if (t < 0 || t >= AIController::kStructureTypes || owner.typeCounts[t] != 0) {
            delete n;
        } else {
            type = t;
        }
        n = next;
    }
    if (type < 0) return 0;
    // 3, 4.
    FillRow(request, kStructureKind, structurePoolId);
    request.SetPartFlags(0, kStructureChassis[type], 1);
    if (type == 0) request.SetPartFlags(2, 1, 1);
    if (type == 1) request.SetPartFlags(3, 1, 1);
    if (type == 3 && Level() < 5 && (owner.strategyBits & AIController::kStrategyType1) &&
        RandomRange(1, 2) == 1)
        request.SetPartFlags(3, 1, 1);
    AIController::SetOrderPriority(request, kStructurePriority[type]);
    for (int32_t kind : {3, 1, 2})
        request.AddWeaponKind(kind);
    return 1;
}

void SquadPoolManager::AddStrategyExtras(DesignRules& request) {
    if (owner.strategyBits & AIController::kStrategyType1) {
        manager_tools::WantType(owner, 1);
        request.SetPartFlags(3, 1, 1);
    } else if (owner.strategyBits & AIController::kStrategyType2) {
        manager_tools::WantType(owner, 2);
        request.SetPartFlags(4, 1, 1);
    }
}

void SquadPoolManager::File(DesignRules& request, int32_t kind) {
    GameObject* unit = owner.RequestUnits(request, 0, nullptr, 0, 1);
    Squad* pool = Pool(kind);
    if (!unit || !pool) return;
    pool->AddMember(*unit, 1);
    if (kind == kMinerKind || kind == kScavengerKind) {
        manager_tools::SetParameter(*unit, 3, 20);
        manager_tools::SetParameter(*unit, 6, 3);
        unit->BuildManoeuvreList();
    }
}

int SquadPoolManager::Think() {
    GameObject* factory = owner.Factory();
    if (!factory) return 0;
    // 1.
    DirectPools();
    // 2.
    Point p;
    if (!factory->GetLastAttacker() && PlanFactoryMove(p) == 1) {
        factory->ExecuteOrder(1, 0x15, p, SimId(), 0);
        if (SquadDirectory* controller = factory->Owner())
            controller->OnEvent(AIController::kPoolChanged, factory, &p);
        return 1;
    }
    // 3.
    if (MinerWanted()) {
        DesignRules request;
        FillRow(request, kMinerKind, minerPoolId);
        AIController::SetOrderPriority(request,
                                       owner.minerCount == 0 ? 1 : (owner.minerCount == 1 ? 4 : 5));
        AddStrategyExtras(request);
        request.SetPartFlags(2, 0, 1);
        File(request, kMinerKind);
        return 1;
    }
    // 4.
    if (owner.techLevel >= 3 && RepairerWanted()) {
        DesignRules request;
        FillRow(request, kRepairKind, repairPoolId);
        AIController::SetOrderPriority(request, 3);
        File(request, kRepairKind);
        return 1;
    }
    // 5.
    {
        DesignRules request;
        if (PlanStructureOrder(request) == 1) {
            File(request, kStructureKind);
            return 1;
        }
    }
    // 6.
    if (owner.techLevel >= 2 && ScavengerWanted()) {
        DesignRules request;
        FillRow(request, kScavengerKind, scavengerPoolId);
        AIController::SetOrderPriority(request, owner.scavengerCount == 0 ? 3 : 5);
        AddStrategyExtras(request);
        File(request, kScavengerKind);
        return 1;
    }
    return 0;
}

void SquadPoolManager::OnEvent(int32_t kind, void* a, void* b) {
    World& world = *TheWorld();
    SquadRules& rules = TheSquadRules();
    switch (kind) {
        case AIController::kUnitBuilt: {
            GameObject* unit = b ? world.FindObject(*static_cast<SimId*>(b)) : nullptr;
            if (!unit) return;
            if (unit_traits::RoleOf(unit) == 'f') {
                if (SquadManoeuvre* mining = unit->FindManoeuvre(kMiningType))
                    rules.SetMiningTarget(*mining, owner.ObjectiveId(owner.minerCount - 1));
            } else if (unit_traits::IsStructure(unit) && !(owner.rallyPoint == Point())) {
                unit->ClearGoals();
                unit->ExecuteOrder(1, 0x15, owner.rallyPoint, SimId(), 0);
            }
            return;
        }
        case 4: {
            auto* unit = static_cast<GameObject*>(b);
            if (unit && structurePoolId != 0 && unit->CurrentSquad() == structurePoolId)
                owner.rallyPoint = unit->GetPosition();
            return;
        }
        case 6: {
            auto* unit = static_cast<GameObject*>(a);
            auto* point = static_cast<Point*>(b);
            if (!unit || !point || unit->CurrentSquad() != structurePoolId ||
                !(owner.rallyPoint == *point))
                return;
            if (Goal* order = unit->goals.FirstUnfinished())
                owner.rallyPoint = order->GetLocation();
            return;
        }
        case 7: {
            auto* unit = static_cast<GameObject*>(a);
            Squad* pool = Pool(kScavengerKind);
            if (!unit || !b || !pool || pool->MemberCount() == 0) return;
            const char role = unit_traits::RoleOf(unit);
            if (unit->GetKind() != ObjectKind::kFactory && role != 'f' && role != 'k' &&
                !unit_traits::IsStructure(unit))
                return;
            GameObject* attacker = world.FindObject(*static_cast<SimId*>(b));
            if (!attacker || attacker->IsDestroyed()) return;
            GameObject* nearest = nullptr;
            double best = 0.0;
            for (GameObject* member : Members(*pool)) {
                if (member->goals.AttackTarget(member, 1)) continue;
                const double d = Distance(member->GetPosition(), attacker->GetPosition());
                if (!nearest || d < best) nearest = member, best = d;
            }
            if (nearest) nearest->ExecuteOrder(2, 0xf, Point(), attacker->id, 0);
            return;
        }
        case AIController::kFactoryIdle: {
            auto* factory = static_cast<GameObject*>(a);
            Squad* pool = Pool(kMinerKind);
            if (!factory || !pool) return;
            owner.FindObjectives(factory->GetPosition());
            int i = 0;
            // Members are listed newest first: member i is the i-th from the front.
            for (GameObject* miner : Members(*pool)) {
                if (SquadManoeuvre* mining = miner->FindManoeuvre(kMiningType))
                    rules.SetMiningTarget(*mining, owner.ObjectiveId(i));
                ++i;
            }
            return;
        }
        default:
            return;
    }
}
