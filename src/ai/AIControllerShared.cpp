// What a planning controller's managers share: squad lookups, counts of their build orders,
// the strength balance over grid cells and the objective search.
#include <cmath>

#include "ai/AIController.h"
#include "ai/AIManager.h"
#include "ai/InfluenceGrid.h"
#include "ai/UnitTraits.h"
#include "catalogue/DesignRules.h"
#include "core/PtrNode.h"
#include "objects/GameObject.h"
#include "world/ObjectNode.h"
#include "world/World.h"

namespace {

constexpr double kObjectiveRange = 2000.0;

}  // namespace

int32_t AIController::OrderSquad(const DesignRules& order) {
    return order.settings[0];
}

int32_t AIController::OrderPurpose(const DesignRules& order) {
    return order.settings[1];
}

int32_t AIController::OrderPriority(const DesignRules& order) {
    return order.settings[2];
}

void AIController::SetOrderSquad(DesignRules& order, int32_t squadId) {
    order.settings[0] = squadId;
}

void AIController::SetOrderPurpose(DesignRules& order, int32_t purpose) {
    order.settings[1] = purpose;
}

void AIController::SetOrderPriority(DesignRules& order, int32_t priority) {
    order.settings[2] = priority;
}

AIManager* AIController::ManagerOfSquad(int32_t squadId) const {
    for (ListNode* n = managers.First(); n; n = managers.Next(n)) {
        auto* manager = static_cast<AIManager*>(n);
        if (manager->FindChild(squadId)) return manager;
    }
    return nullptr;
}

int AIController::CountOrders(const AIManager* manager, int32_t purpose, int32_t squadId) const {
    auto counts = [&](const DesignRules& order) {
        const int32_t squad = OrderSquad(order);
        return squad != 0 && ManagerOfSquad(squad) == manager &&
               (purpose == 0 || OrderPurpose(order) == purpose) &&
               (squadId == 0 || squad == squadId);
    };
    int count = pendingOrder && counts(*pendingOrder) ? 1 : 0;
    for (ListNode* n = buildOrders.First(); n; n = buildOrders.Next(n))
        if (counts(*static_cast<DesignRules*>(n))) ++count;
    return count;
}

int32_t AIController::StrengthBalance(const std::vector<InfluenceCell*>* cells, int32_t enemyFilter,
                                      Squad* squad, int32_t ownMask, int32_t enemyMask) const {
    int32_t ownFire = 0;
    int32_t ownHealth = 0;
    int32_t enemyFire = 0;
    int32_t enemyHealth = 0;
    if (squad) {
        for (ListNode* n = squad->members.First(); n; n = squad->members.Next(n)) {
            auto* member = static_cast<GameObject*>(
                static_cast<IdRefSet*>(static_cast<PtrNode*>(n)->Object()));
            if (!member->IsCurrent(squad->Id())) continue;
            ownFire += member->GetFirePower();
            ownHealth += unit_traits::HealthOf(member);
        }
    } else if (grid && cells) {
        grid->OwnSum(*cells, team, ownFire, ownHealth, ownMask);
    } else if (grid) {
        grid->SumAllCells(team, ownFire, ownHealth, team, ownMask);
    }
    if (grid && cells) {
        grid->SumCategories(*cells, team, enemyFire, enemyHealth, enemyFilter, enemyMask);
    } else if (grid) {
        grid->SumAllCells(team, enemyFire, enemyHealth, enemyFilter, enemyMask);
    }
    const int32_t ownSurvival = enemyFire != 0 ? ownHealth / enemyFire : kUnmatched;
    const int32_t enemySurvival = ownFire != 0 ? enemyHealth / ownFire : kUnmatched;
    return ownSurvival - enemySurvival;
}

void AIController::FindObjectives(const Point& p) {
    objectives.DeleteAll();
    std::vector<InfluenceCell*> block;
    for (ListNode* n = world.destructibles.First(); n; n = world.destructibles.Next(n)) {
        GameObject* object = static_cast<ObjectNode*>(n)->Object();
        if (!object || object->IsDestroyed()) continue;
        const Point at = object->GetPosition();
        const double dx = static_cast<double>(at.x) - p.x;
        const double dy = static_cast<double>(at.y) - p.y;
        const double distance = std::sqrt(dx * dx + dy * dy);
        if (distance >= kObjectiveRange) continue;
        int32_t fire = 0;
        int32_t health = 0;
        if (grid) {
            if (InfluenceCell* cell = grid->CellAt(at)) {
                block.clear();
                grid->CellsInRing(*cell, block, 1, 1);
                grid->SumCategories(block, team, fire, health, 0, InfluenceGrid::kAllCategories);
            }
        }
        if (fire == 0) AddObjectiveId(object->id, static_cast<int>(distance));
    }
}
