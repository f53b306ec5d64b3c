// Production planning of a planning controller: build orders queued by the managers, idle
// units handed out in their place, the tuning of an order against the human player's designs
// and the production step that feeds the team's factory.
#include <algorithm>
#include <cmath>
#include <deque>
#include <utility>
#include <vector>

#include "ai/AIController.h"
#include "ai/AIManager.h"
#include "ai/UnitTraits.h"
#include "catalogue/DesignRules.h"
#include "catalogue/MountTemplate.h"
#include "catalogue/PartRule.h"
#include "catalogue/PartTemplate.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/VehicleDesign.h"
#include "catalogue/WeaponTemplate.h"
#include "core/Random.h"
#include "core/Settings.h"
#include "objects/FactoryProduction.h"
#include "objects/GameObject.h"
#include "world/ObjectNode.h"
#include "world/World.h"

namespace {

constexpr int kStopGuarding = 9;
constexpr int32_t kLowStock = 2000;

// What PlanOrder gathers from the human player's designs.
struct PlanRecord {
    std::deque<char> stealthLetters;
    std::deque<char> sensorLetters;
    std::vector<char> weaponLetters;
    std::vector<char> counterLetters;
    int aircraft = 0;
    int airBlind = 0;
};

constexpr int kStealthNotes = 1;
constexpr int kClass2Notes = 2;
constexpr int kWeaponNotes = 4;
constexpr int kAllNotes = 7;

void NoteDesign(PlanRecord& plan, const VehicleDesign& design, char ownClan, int notes) {
    int stealthMask = 0;
    int sensorMask = 0;
    int weapons = 0;
    int airWeapons = 0;
    for (const MountTemplate* part : design.hardpoints) {
        if (!part) continue;
        const int partClass = static_cast<int>(part->GetMountKind());
        const char letter = part->role;
        if (partClass == 4) {
            stealthMask |= letter == 'u' ? 4 : letter == 'v' ? 2 : letter == 'w' ? 1 : 0;
        } else if (partClass == 3) {
            sensorMask |= letter == 'k' ? 4 : letter == 'y' ? 2 : letter == 'z' ? 1 : 0;
        } else if (partClass == 1) {
            ++weapons;
            const char kind = part->GetKindLetter();
            if ((notes & kWeaponNotes) && kind != '-' && kind != 0)
                plan.weaponLetters.push_back(kind);
        } else if (partClass == 2 && (notes & kClass2Notes)) {
            for (ListNode* n = WeaponList.First(); n; n = WeaponList.Next(n)) {
                auto* weapon = static_cast<WeaponTemplate*>(n);
                if (weapon->clan != ownClan && weapon->clan != 'X') continue;
                if (weapon->GetKindLetter() != letter) continue;
                auto& list = plan.counterLetters;
                list.insert(std::upper_bound(list.begin(), list.end(), weapon->role), weapon->role);
            }
        }
        // A weapon whose shots fly on layer 2 reaches aircraft.
        if (partClass == 1) {
            auto* weapon = dynamic_cast<const WeaponTemplate*>(part);
            if (weapon && weapon->shotLayerField == 2) ++airWeapons;
        }
    }
    if (notes & kStealthNotes) {
        static constexpr int kStealthOf[8] = {3, 3, 2, 2, 1, 1, 0, 0};
        static constexpr int kSensorOf[8] = {0, 3, 1, 3, 2, 3, 0, 3};
        static constexpr char kStealthLetter[4] = {0, 'k', 'y', 'z'};
        static constexpr char kSensorLetter[4] = {0, 'u', 'v', 'w'};
        if (char s = kStealthLetter[kStealthOf[stealthMask]]) plan.stealthLetters.push_front(s);
        if (char s = kSensorLetter[kSensorOf[sensorMask]]) plan.sensorLetters.push_front(s);
    }
    if (notes == kAllNotes) {
        if (design.drive && design.drive->layer == 2) ++plan.aircraft;
        if (weapons > 0 && airWeapons == 0) ++plan.airBlind;
    }
}

template <class Letters>
char RandomLetter(const Letters& letters) {
    return letters[static_cast<size_t>(RandomRange(0, static_cast<int32_t>(letters.size()) - 1))];
}

}  // namespace

void AIController::ResetProductionCounters() {
    firstProductionCounter = 0;
    oreChangeCounter = 0;
}

void AIController::QueueOrder(std::unique_ptr<DesignRules> order) {
    order->key = OrderPriority(*order);
    buildOrders.InsertSorted(order.release(), 1);
}

GameObject* AIController::RequestUnits(const DesignRules& request, int higherPriority,
                                       const Point* near, int maxDistance, int noSearch) {
    // 1.
    GameObject* unit =
        noSearch ? nullptr : FindIdleUnit(request, higherPriority, near, maxDistance);
    // 2.
    if (!unit) {
        if (buildOrders.Count() < kMaxQueuedOrders && higherPriority == 0)
            QueueOrder(std::make_unique<DesignRules>(request));
        return nullptr;
    }
    // 3.
    unit->ExecuteOrder(kStopGuarding, 0, Point(), SimId(), 0);
    unit->ClearGoals();
    request.ApplyPresetsToSim(*unit);
    return unit;
}

GameObject* AIController::FindIdleUnit(const DesignRules& request, int higherPriority,
                                       const Point* near, int maxDistance) {
    // A request whose squad is gone (or none) has no requesting manager to outrank another.
    const int32_t requestSquad = OrderSquad(request);
    AIManager* requester = requestSquad != 0 ? ManagerOfSquad(requestSquad) : nullptr;
    struct Candidate {
        int distance;
        GameObject* unit;
    };
    std::vector<Candidate> candidates;
    if (team >= 0 && team < World::kTeams) {
        NodeList& list = world.sims[team];
        for (ListNode* n = list.First(); n; n = list.Next(n)) {
            GameObject* o = static_cast<ObjectNode*>(n)->Object();
            if (!o || o->IsDestroyed() || !request.AllowsSim(*o)) continue;
            int distance = 0;
            if (near) {
                const double dx = static_cast<double>(o->GetPosition().x) - near->x;
                const double dy = static_cast<double>(o->GetPosition().y) - near->y;
                const double d = std::sqrt(dx * dx + dy * dy);
                if (maxDistance != 0 && d >= maxDistance) continue;
                distance = static_cast<int>(d);
            }
            candidates.push_back({distance, o});
        }
    }
    std::stable_sort(
        candidates.begin(), candidates.end(),
        [](const Candidate& a, const Candidate& b) { return a.distance < b.distance; });
    for (const Candidate& c : candidates) {
        GameObject* unit = c.unit;
        AIManager* holder =
            unit->CurrentSquad() != 0 ? ManagerOfSquad(unit->CurrentSquad()) : nullptr;
        if (!holder) {
            unit->SetOwner(this);
            return unit;
        }
        const int flag = requester && requester->Id() < holder->Id() ? higherPriority : 0;
        if (holder->IsUnitAvailable(*unit, flag) == 1) return unit;
    }
    return nullptr;
}

void AIController::HandOutOrders() {
    ListNode* n = buildOrders.First();
    while (n) {
        auto* order = static_cast<DesignRules*>(n);
        const int32_t squadId = OrderSquad(*order);
        // An order for no squad waits for production.
        if (squadId == 0) return;
        Squad* squad = FindSquad(squadId);
        if (!squad) {
            delete order;
            n = buildOrders.First();
            continue;
        }
        GameObject* unit = FindIdleUnit(*order, 0, nullptr, 0);
        if (!unit) return;
        squad->AddMember(*unit, 1);
        order->ApplyPresetsToSim(*unit);
        SimId unitId = unit->id;
        if (AIManager* manager = ManagerOfSquad(squadId))
            manager->OnEvent(kUnitBuilt, nullptr, &unitId);
        delete order;
        n = buildOrders.First();
    }
}

std::unique_ptr<VehicleDesign> AIController::NextBuild(GameObject& factory,
                                                       FactoryProduction& controls) {
    // 1.
    std::unique_ptr<VehicleDesign> design = std::move(heldDesign);
    // 2.
    HandOutOrders();
    // 3.
    if (auto* first = static_cast<DesignRules*>(buildOrders.First())) {
        PlanOrder(*first, &factory);
        std::unique_ptr<VehicleDesign> built(first->BuildDesign(clan));
        if (built) {
            first->Unlink();
            pendingOrder.reset(first);
            design = std::move(built);
        }
    }
    // 4.
    if (design && aiDebugFlag == 0) {
        const bool miner = design->chassis && design->chassis->role == 'f';
        if (minerCount == 0 && factory.GetCargo() < minerCost && !miner) {
            // The team saves for a miner.
            pendingOrder.reset();
            return nullptr;
        }
        if (factory.GetCargo() < design->SumPartField5() ||
            controls.GetStore() < design->SumPartField6()) {
            heldDesign = std::move(design);
            return nullptr;
        }
    }
    // 5.
    if (design) {
        ++firstProductionCounter;
        ++secondProductionCounter;
    }
    return design;
}

void AIController::ProductionStep(GameObject& factory, FactoryProduction& controls) {
    // 1.
    if (!controls.CurrentJob() && !factory.IsMoving()) {
        if (controls.UnfoldState() == 4) {
            if (std::unique_ptr<VehicleDesign> design = NextBuild(factory, controls)) {
                controls.QueueJob(std::move(design), 1);
                if (controls.GetCredit() > 0) ResetProductionCounters();
                oreAtLastJob = factory.GetCargo();
            }
        } else if (controls.UnfoldState() == 0 && factory.goals.IsEmpty()) {
            controls.StepUnfold();
        }
    }
    // 2. The team saves for a miner. A job from the scenario file has no pending order to
    // put back.
    VehicleDesign* job = controls.CurrentJob();
    if (job && minerCount == 0 && factory.GetCargo() < minerCost &&
        !(job->chassis && job->chassis->role == 'f') && controls.CancelJob(nullptr) == 1) {
        if (pendingOrder) QueueOrder(std::move(pendingOrder));
    }
}

void AIController::PlanOrder(DesignRules& order, GameObject* factory) {
    PlanRecord plan;
    int examined = 0;
    int64_t strengthSum = 0;
    int strengthCount = 0;
    // 1.
    const int local = world.LocalTeam();
    if (local >= 1 && local < World::kTeams && !IsAlliedWith(local)) {
        NodeList& list = world.sims[local];
        for (ListNode* n = list.First(); n; n = list.Next(n)) {
            GameObject* o = static_cast<ObjectNode*>(n)->Object();
            if (!o) continue;
            if (VehicleDesign* design = o->GetDesign()) NoteDesign(plan, *design, clan, kAllNotes);
            ++examined;
            if (level >= 3 && !unit_traits::IsWorker(o) && !unit_traits::IsStructure(o)) {
                const ChassisTemplate* chassis = unit_traits::ChassisOf(o);
                if (chassis && chassis->buildTime > 0) {
                    strengthSum += chassis->buildTime;
                    ++strengthCount;
                }
            }
        }
        // A player who lost the factory but has units has none to note.
        if (GameObject* localFactory = world.TeamFactory(local)) {
            if (VehicleDesign* design = localFactory->GetDesign())
                NoteDesign(plan, *design, clan, kStealthNotes | kClass2Notes | kWeaponNotes);
            if (FactoryProduction* controls = AsFactoryProduction(localFactory))
                if (VehicleDesign* job = controls->CurrentJob())
                    NoteDesign(plan, *job, clan, kAllNotes);
        }
    }
    // 2.
    if (plan.stealthLetters.empty()) plan.stealthLetters.push_back('z');
    if (plan.sensorLetters.empty()) plan.sensorLetters.push_back('u');
    // 3. Switch words 0, 1, 2: ore, second resource, queue.
    FactoryProduction* controls = factory ? AsFactoryProduction(factory) : nullptr;
    if (factory && controls && controls->GetCredit() < 1) {
        if (buildOrders.Count() + 5 < examined) {
            order.weights[2] = 1;
        } else {
            if (factory->GetCargo() < kLowStock) order.weights[0] = 1;
            GameObject* linked = controls->MinedDeposit();
            const int32_t store = controls->GetStore() + (linked ? linked->GetStored() : 0);
            if (store < kLowStock) order.weights[1] = 1;
        }
    }
    order.SetPartFlags(kChassisCategory, 2, 1);
    order.SetPartFlags(kDriveCategory, 2, 1);
    // 4.
    bool freeChassis = false;
    PartRule* chassisRule = order.FindEntry(kChassisCategory, 1);
    if (!chassisRule || (chassisRule->flags & 0x7e00) == 0) {
        const bool sized = chassisRule && (chassisRule->flags & 0x1e0) != 0;
        order.SetPartFlags(kChassisCategory, 0x7e00, 0);
        freeChassis = !sized;
    }
    if (freeChassis && strengthCount > 0)
        order.buildTimeCap = static_cast<int32_t>(strengthSum / strengthCount) + 2000;
    // 5.
    if (freeChassis) {
        if ((strategyBits & kStrategyType4) == 0) {
            order.SetPartFlags(kDriveCategory, 8, 1);
            order.SetPartFlags(kDriveCategory, 0x10, 0);
        } else if (clan == 'T' && plan.airBlind * 4 >= examined) {
            order.SetPartFlags(kDriveCategory, 8, 0);
            order.SetPartFlags(kDriveCategory, 0x10, 1);
        }
    }
    if (needsWaterCrossing) order.SetPartFlags(kDriveCategory, 0x8000, 1);
    if (needsRCrossing) order.SetPartFlags(kDriveCategory, 0x10000, 1);
    auto wanted = [this](int type) {
        if (typeCounts[type] > 0) return true;
        for (ListNode* n = typeQueue.First(); n; n = typeQueue.Next(n))
            if (n->key == type) return true;
        return false;
    };
    // 6.
    PartRule* sensors = order.FindEntry(kSensorCategory);
    if (!sensors) sensors = order.EntryFor(kSensorCategory, 1);
    if ((sensors->flags & 1) && !plan.sensorLetters.empty() && wanted(0))
        order.AddPartLetter(kSensorCategory, RandomLetter(plan.sensorLetters), sensors->polarity);
    // 7.
    PartRule* stealth = order.FindEntry(kStealthCategory);
    if (stealth && !wanted(1)) {
        delete stealth;
        stealth = nullptr;
    }
    if (!stealth) stealth = order.EntryFor(kStealthCategory, 1);
    if ((stealth->flags & 1) && !plan.stealthLetters.empty() && wanted(1))
        order.AddPartLetter(kStealthCategory, RandomLetter(plan.stealthLetters), stealth->polarity);
    // 8.
    if (wanted(2) && !plan.weaponLetters.empty()) {
        order.EntryFor(kDefenceCategory, 1);
        order.AddPartLetter(kDefenceCategory, RandomLetter(plan.weaponLetters), 1);
    } else if (!order.FindEntry(kDefenceCategory)) {
        order.EntryFor(kDefenceCategory, 1);
    }
    // 9.
    if (!plan.counterLetters.empty() && RandomRange(1, 2) == 1) {
        for (char letter : plan.counterLetters)
            order.AddPartLetter(kWeaponCategory, letter, 0);
    }
    if (plan.aircraft > 0) order.SetPartFlags(kWeaponCategory, 0x10, 1);
    order.SetPartFlags(kWeaponCategory, 0x20000, (strategyBits & kStrategyArmedFactory) ? 1 : 0);
}
