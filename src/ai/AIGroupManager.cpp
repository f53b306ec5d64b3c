#include "ai/AIGroupManager.h"

#include <initializer_list>
#include <memory>
#include <utility>

#include "ai/AIController.h"
#include "ai/InfluenceGrid.h"
#include "ai/ManagerTools.h"
#include "ai/SquadRules.h"
#include "ai/UnitTraits.h"
#include "catalogue/DesignRules.h"
#include "catalogue/PartTemplate.h"
#include "catalogue/VehicleDesign.h"
#include "catalogue/WeaponTemplate.h"
#include "core/Random.h"
#include "map/ObjectKinds.h"
#include "map/SightGrid.h"
#include "objects/FactoryProduction.h"
#include "objects/Goal.h"
#include "objects/Squad.h"
#include "objects/SquadManoeuvre.h"
#include "world/World.h"

using manager_tools::Distance;
using manager_tools::Members;
using manager_tools::Objects;

namespace {

constexpr int kAttackType = static_cast<int>(ManoeuvreType::Attack);
constexpr int kExploreType = static_cast<int>(ManoeuvreType::Explore);
constexpr int kFormationType = static_cast<int>(ManoeuvreType::Formation);
constexpr int kRegroupSpacing = 8;
constexpr double kStillOnItsWay = 128.0;

bool IsKnown(GameObject& object, int32_t team) {
    return !(object.GetReferencePoint(team) == Point());
}

bool IsHidden(GameObject& member) {
    const int team = member.GetTeam();
    return member.stealth.IsHidden(team) == 1 || member.stealth.IsHiddenA(team) == 1 ||
           member.stealth.IsHiddenB(team) == 1;
}

void SetPresets(DesignRules& request, std::initializer_list<std::pair<int, int32_t>> values) {
    for (const auto& [i, value] : values)
        request.presets[static_cast<size_t>(i)] = value;
}

std::vector<InfluenceCell*> Block(InfluenceGrid* grid, const Point& at, int r) {
    std::vector<InfluenceCell*> cells;
    if (!grid) return cells;
    if (InfluenceCell* cell = grid->CellAt(at)) grid->CellsInRing(*cell, cells, r, 1);
    return cells;
}

}  // namespace

const int32_t AIGroupManager::kStartThreshold[6] = {0, -50, -40, -30, -20, -10};
const int32_t AIGroupManager::kFullSize[6] = {0, 4, 6, 8, 10, 12};

AIGroupManager::AIGroupManager(AIController& owner) : AIManager(owner) {}

AIGroupManager::~AIGroupManager() = default;

int32_t AIGroupManager::FullSize() const {
    const int level = owner.Level();
    return kFullSize[level < 1 ? 1 : (level > 5 ? 5 : level)];
}

int32_t AIGroupManager::AttackThreshold() {
    if (!thresholdChosen) {
        attackThreshold = kStartThreshold[Level()];
        thresholdChosen = 1;
    }
    return attackThreshold;
}

int32_t AIGroupManager::TargetTeam() const {
    if (owner.targetTeam != 0) return owner.targetTeam;
    World& world = *TheWorld();
    // The local team only stands in for a chosen target when it is an opponent: under
    // autoplay it is this very team, and an ally's factory is no target either.
    const int32_t local = world.LocalTeam();
    if (owner.IsAlliedWith(local) == 0) return local;
    for (int32_t team = 1; team < World::kTeams; ++team)
        if (owner.IsAlliedWith(team) == 0 && world.TeamFactory(team)) return team;
    return 0;
}

SquadManoeuvre* AIGroupManager::AttackOf(Squad& group) const {
    return group.manoeuvres.Find(kAttackType);
}

GameObject* AIGroupManager::AttackTargetOf(Squad& group) const {
    SquadManoeuvre* attack = AttackOf(group);
    return attack ? TheSquadRules().TargetOf(*attack) : nullptr;
}

AIGroupManager::GroupPlan* AIGroupManager::PlanOf(int32_t squadId) const {
    for (ListNode* n = plans.First(); n; n = plans.Next(n))
        if (static_cast<GroupPlan*>(n)->squadId == squadId) return static_cast<GroupPlan*>(n);
    return nullptr;
}

Squad* AIGroupManager::MakeGroup(int32_t kind) {
    auto squad = std::make_unique<Squad>(owner.Team());
    squad->purpose = kind;
    squad->StampMembers();
    Squad* made = AddChild(std::move(squad));
    if (kind == kDefenceKind) defenceId = made->Id();
    return made;
}

int AIGroupManager::ClaimUnit(GameObject& unit, int32_t& squadId) {
    const int32_t code = unit.Purpose();
    Squad* group = nullptr;
    if (code == kDefenceKind) {
        group = FindChild(defenceId);
    } else if (code == kAssaultKind || code == kRaidKind) {
        for (ListNode* n = children.First(); n && !group; n = children.Next(n))
            if (static_cast<Squad*>(n)->purpose == code) group = static_cast<Squad*>(n);
    } else {
        return 0;
    }
    if (!group) group = MakeGroup(code);
    squadId = group->Id();
    return 1;
}

int AIGroupManager::IsUnitAvailable(GameObject& unit, int higherPriority) {
    Goal* front = unit.goals.Front();
    return higherPriority == 1 && (!front || front->IsAttack() == 0) ? 1 : 0;
}

void AIGroupManager::TakeUnit(Squad& group, GameObject* unit) {
    if (!unit) return;
    group.AddMember(*unit, 1);
    SimId id = unit->id;
    OnEvent(AIController::kUnitBuilt, nullptr, &id);
}

int AIGroupManager::Think() {
    InfluenceGrid* grid = owner.Grid();
    // 1.
    const int32_t target = TargetTeam();
    outnumbered =
        grid && target != 0 && grid->TotalOf(target) > 2 * grid->TotalOf(owner.Team()) ? 1 : 0;
    // 2.
    MaintainGroups();
    // 3.
    if (defenceId == 0 || !FindChild(defenceId)) {
        Squad* defence = MakeGroup(kDefenceKind);
        FileDefenceRequest(*defence);
        return 1;
    }
    // 4.
    const Choice choice = ChooseAttack();
    if (choice.group && choice.target) {
        if (GroupPlan* plan = PlanOf(choice.group->Id())) delete plan;
        LaunchAttack(*choice.group, *choice.target);
        if (AttackThreshold() < 1) attackThreshold += RandomRange(5, 10);
        return 1;
    }
    // 5.
    if (Squad* group = FindReadyPlan()) {
        const GroupPlan* plan = PlanOf(group->Id());
        group->purpose = plan->raid ? kRaidKind : kAssaultKind;
        group->StampMembers();
        FileAttackRequest(*group, *plan);
        return 1;
    }
    // 6, 7.
    if (!plans.IsEmpty()) return 0;
    MakePlan();
    return 1;
}

void AIGroupManager::FileDefenceRequest(Squad& group) {
    const int32_t q = owner.strategyBits;
    DesignRules request;
    AIController::SetOrderSquad(request, group.Id());
    AIController::SetOrderPurpose(request, kDefenceKind);
    AIController::SetOrderPriority(request, owner.targetTeam == 0 && Level() > 1 ? 3 : 5);
    request.SetPartFlags(0, 0x1e0, 0);
    if (q & AIController::kStrategyType0) request.SetPartFlags(2, 1, 1);
    request.SetPartFlags(3, 0, 1);
    if (owner.clan == 'T' && (q & AIController::kStrategyType4)) {
        request.SetPartFlags(1, 8, 0);
        request.SetPartFlags(1, 0x10, 1);
    }
    SetPresets(request,
               {{0, 5}, {1, manager_tools::BreakOffParameter(owner, 40)}, {2, 0}, {4, 1}, {6, 3}});
    request.weights[5] = 1;
    if (q & AIController::kStrategyType0) manager_tools::WantType(owner, 0);
    TakeUnit(group, owner.RequestUnits(request, 0, nullptr, 0, 1));
}

void AIGroupManager::FileAttackRequest(Squad& group, const GroupPlan& plan) {
    const int32_t q = owner.strategyBits;
    const bool raid = group.purpose == kRaidKind;
    const bool empty = group.MemberCount() == 0;
    DesignRules request;
    AIController::SetOrderSquad(request, group.Id());
    AIController::SetOrderPurpose(request, group.purpose);
    AIController::SetOrderPriority(request, 5);
    if (raid) {
        request.SetPartFlags(0, 0x100, 1);
    } else {
        request.SetPartFlags(0, 0x1e0, 0);
    }
    if ((q & AIController::kStrategyType0) && empty) request.SetPartFlags(2, 1, 1);
    request.SetPartFlags(3, plan.kind3 ? 1 : 0, 1);
    if (empty) {
        if (owner.clan == 'T' && (q & AIController::kStrategyType4) && RandomRange(1, 4) != 1) {
            request.SetPartFlags(1, 8, 0);
            request.SetPartFlags(1, 0x10, 1);
        }
    } else if (GameObject* first = group.MemberAt(0)) {
        VehicleDesign* design = first->GetDesign();
        if (design && design->drive) request.AddPartLetter(1, design->drive->role, 1);
    }
    SetPresets(request, {{0, 4},
                         {1, raid ? 99 : manager_tools::BreakOffParameter(owner, 50)},
                         {2, 0},
                         {4, 2},
                         {6, 3}});
    request.weights[5] = 1;
    // Switch words by the plan's mode: 1 → 2, 2 → 3, 3 → 3 and 4.
    if (plan.mode == 1) request.weights[2] = 1;
    if (plan.mode >= 2) request.weights[3] = 1;
    if (plan.mode == 3) request.weights[4] = 1;
    TakeUnit(group, owner.RequestUnits(request, 0, nullptr, 0, 0));
}

void AIGroupManager::MakePlan() {
    // 1.
    auto* plan = new GroupPlan;
    plans.InsertSorted(plan, 0);
    plan->mode = RandomRange(1, 3);
    // 2.
    const int32_t q = owner.strategyBits;
    if ((q & AIController::kStrategyType1) && RandomRange(1, 3) != 1) {
        plan->kind3 = 1;
        manager_tools::WantType(owner, 1);
    }
    // 3.
    World& world = *TheWorld();
    const int32_t p = owner.targetTeam;
    if ((q & AIController::kStrategyType5) && owner.typeCounts[5] > 0 && p > 0 &&
        p < World::kTeams && !world.sims[p].IsEmpty() && RandomRange(1, 2) == 1) {
        plan->raid = 1;
        plan->wantedSize = RandomRange(2, 4);
    }
    // 4.
    plan->squadId = MakeGroup(plan->raid ? kRaidKind : kAssaultKind)->Id();
}

Squad* AIGroupManager::FindReadyPlan() {
    for (ListNode* n = plans.First(); n;) {
        auto* plan = static_cast<GroupPlan*>(n);
        n = plans.Next(n);
        Squad* group = FindChild(plan->squadId);
        // A plan whose group is gone would keep every further plan from being made.
        if (!group) {
            delete plan;
            continue;
        }
        if (owner.CountOrders(this, kAssaultKind, plan->squadId) != 0 ||
            owner.CountOrders(this, kRaidKind, plan->squadId) != 0)
            continue;
        if (group->purpose == kRaidKind && plan->wantedSize <= group->CurrentCount()) {
            delete plan;
            return nullptr;
        }
        return group;
    }
    return nullptr;
}

void AIGroupManager::MaintainGroups() {
    SquadRules& rules = TheSquadRules();
    // 1.
    Squad* defence = defenceId != 0 ? FindChild(defenceId) : nullptr;
    if (defence && owner.targetTeam != 0) {
        for (GameObject* member : Members(*defence))
            if (SquadManoeuvre* explore = member->FindManoeuvre(kExploreType))
                rules.SeekOutOfSight(*explore);
    }
    // 2. The children are taken first: groups are deleted on the way.
    std::vector<Squad*> groups;
    for (ListNode* n = children.First(); n; n = children.Next(n))
        groups.push_back(static_cast<Squad*>(n));
    int idle = 0;
    for (Squad* group : groups) {
        const bool isDefence = group->Id() == defenceId;
        if (PlanOf(group->Id())) continue;
        if (group->MemberCount() == 0) {
            if (isDefence) {
                if (owner.CountOrders(this, kDefenceKind, group->Id()) != 0) continue;
                defenceId = 0;
            }
            DeleteChild(group);
            continue;
        }
        if (isDefence) continue;
        if (!AttackOf(*group)) {
            ++idle;
            continue;
        }
        bool allRepairing = true;
        for (GameObject* member : Members(*group))
            allRepairing = allRepairing && member->goals.HasRepairGoal() == 1;
        if (allRepairing || !AttackTargetOf(*group)) {
            Regroup(*group, ChooseGatherPoint(*group));
            ++idle;
        }
    }
    // 3. The idle groups merge into the first of them.
    if (idle <= 1) return;
    Squad* kept = nullptr;
    groups.clear();
    for (ListNode* n = children.First(); n; n = children.Next(n)) {
        auto* group = static_cast<Squad*>(n);
        if (group->Id() != defenceId && !PlanOf(group->Id()) && !AttackOf(*group))
            groups.push_back(group);
    }
    for (Squad* group : groups) {
        if (!kept) {
            kept = group;
            continue;
        }
        // Each member joins the kept group and so leaves this one: walk a copy.
        for (GameObject* member : Members(*group))
            kept->AddMember(*member, 1);
        DeleteChild(group);
    }
    if (kept) Regroup(*kept, ChooseGatherPoint(*kept));
}

Point AIGroupManager::ChooseGatherPoint(Squad& group) {
    World& world = *TheWorld();
    GameObject* factory = owner.Factory();
    // Without a factory the group gathers where it stands.
    if (!factory) return group.Centroid();
    const Point home = factory->GetPosition();
    // 1.
    Point result = home;
    struct Candidate {
        Point at;
        double distance;
    };
    std::vector<Candidate> candidates;
    // 2.
    SightGrid* sight = world.sight.get();
    if (sight && sight->IsRectExplored(factory->GetFootprint(), world.LocalTeam()) == 0) {
        FactoryProduction* production = AsFactoryProduction(factory);
        GameObject* linked = production ? production->MinedDeposit() : nullptr;
        for (GameObject* deposit : Objects(world.oreDeposits)) {
            if (deposit == linked) continue;
            const std::vector<InfluenceCell*> cells =
                Block(owner.Grid(), deposit->GetPosition(), 1);
            if (owner.StrengthBalance(&cells, 0, &group, InfluenceGrid::kAllCategories,
                                      InfluenceGrid::kAllCategories) <= 0)
                continue;
            const double d = Distance(home, deposit->GetPosition());
            // Nearest first, a new one before its equals; only the two nearest stay.
            auto at = candidates.begin();
            while (at != candidates.end() && at->distance < d)
                ++at;
            candidates.insert(at, {deposit->GetPosition(), d});
            if (candidates.size() > 2) candidates.pop_back();
        }
    }
    // 3.
    double reach = 0.0;
    for (int32_t team = 1; team < World::kTeams; ++team) {
        GameObject* enemy = owner.IsAlliedWith(team) ? nullptr : world.TeamFactory(team);
        if (!enemy) continue;
        const int k = RandomRange(2, 4);
        const Point step = enemy->GetPosition() - home;
        const Point p(home.x + step.x / k, home.y + step.y / k);
        candidates.push_back({p, Distance(home, p)});
        if (Distance(home, p) > reach) reach = Distance(home, p);
    }
    // 4, 5. The nearest carrier within reach, first on ties.
    GameObject* carrier = nullptr;
    double nearest = 0.0;
    for (int32_t team = 1; team < World::kTeams; ++team) {
        for (GameObject* o : Objects(world.sims[team])) {
            if (unit_traits::RoleOf(o) != 'g') continue;
            const double d = Distance(home, o->GetPosition());
            if (!carrier || d < nearest) carrier = o, nearest = d;
        }
    }
    if (carrier && nearest <= reach) return carrier->GetPosition();
    if (!candidates.empty())
        result =
            candidates[static_cast<size_t>(RandomRange(0, static_cast<int>(candidates.size()) - 1))]
                .at;
    return result;
}

void AIGroupManager::Regroup(Squad& group, const Point& at) {
    SquadRules& rules = TheSquadRules();
    group.manoeuvres.DeleteAll();
    if (auto formation = rules.Formation(at, kRegroupSpacing))
        group.manoeuvres.Add(std::move(formation));
    if (auto assign = rules.AssignTarget()) group.manoeuvres.Add(std::move(assign));
    for (GameObject* member : Members(group)) {
        manager_tools::SetParameter(*member, 0, 4);
        manager_tools::SetParameter(*member, 6, 3);
        manager_tools::SetParameter(*member, 4, 0);
        manager_tools::SetParameter(*member, 1, manager_tools::BreakOffParameter(owner, 50));
        member->BuildManoeuvreList();
        member->ExecuteOrder(9, 0, Point(), SimId(), 0);
        if (member->goals.HasRepairGoal() == 0) member->ClearGoals();
    }
}

AIGroupManager::Choice AIGroupManager::ChooseAttack() {
    World& world = *TheWorld();
    // 1.
    const SimId* order[] = {owner.minerCount == 1 ? &minerAttacker : nullptr,
                            &structureAttacker,
                            &minerAttacker,
                            &repairerAttacker,
                            &factoryAttacker,
                            &spottedFactory};
    GameObject* remembered = nullptr;
    for (const SimId* id : order) {
        if (!id || remembered) continue;
        GameObject* o = world.FindObject(*id);
        if (o && o->IsDestroyed() == 0) remembered = o;
    }
    for (SimId* id :
         {&factoryAttacker, &minerAttacker, &repairerAttacker, &structureAttacker, &spottedFactory})
        *id = SimId();
    // 2.
    if (remembered) return {PickAttackGroup(*remembered, 1), remembered};
    // 3. The raid rule.
    const int32_t team = owner.Team();
    if (world.TeamHasStructure(team, 5)) {
        Squad* raid = nullptr;
        for (ListNode* n = children.First(); n && !raid; n = children.Next(n)) {
            auto* group = static_cast<Squad*>(n);
            if (group->purpose == kRaidKind && !PlanOf(group->Id())) raid = group;
        }
        if (raid) {
            int32_t sums[3] = {};
            for (GameObject* member : Members(*raid)) {
                if (VehicleDesign* d = member->GetDesign()) {
                    sums[0] += d->SumPartField6();
                    sums[1] += d->SumPartField5();
                    sums[2] += d->SumPartField7();
                }
            }
            const Point centre = raid->Centroid();
            GameObject* best = nullptr;
            double bestDistance = 0.0;
            for (int32_t other = 1; other < World::kTeams; ++other) {
                if (owner.IsAlliedWith(other)) continue;
                const bool hasFactory = world.TeamFactory(other) != nullptr;
                for (GameObject* o : Objects(world.sims[other])) {
                    if (o->IsDestroyed() || !IsKnown(*o, team)) continue;
                    VehicleDesign* d = o->GetDesign();
                    const int32_t own[3] = {d ? d->SumPartField6() : 0, d ? d->SumPartField5() : 0,
                                            d ? d->SumPartField7() : 0};
                    if (hasFactory && own[0] <= sums[0] && own[1] <= sums[1] && own[2] <= sums[2])
                        continue;
                    const double distance = Distance(centre, o->GetPosition());
                    if (!best || distance < bestDistance) best = o, bestDistance = distance;
                }
            }
            if (best) return {raid, best};
        }
    }
    // 4. The rated objects of the target team, lowest rating first; among equal ratings the
    // one rated last comes first.
    const int32_t target = TargetTeam();
    if (target <= 0 || target >= World::kTeams) return {};
    std::vector<std::pair<int, GameObject*>> rated;
    for (GameObject* o : Objects(world.sims[target])) {
        const int rating = RateTarget(*o);
        if (rating <= 0) continue;
        auto at = rated.begin();
        while (at != rated.end() && at->first < rating)
            ++at;
        rated.insert(at, {rating, o});
    }
    for (const auto& [rating, o] : rated)
        if (Squad* group = PickAttackGroup(*o, 0)) return {group, o};
    // 5.
    if (GameObject* factory = world.TeamFactory(target))
        if (Squad* group = PickAttackGroup(*factory, 0)) return {group, factory};
    return {};
}

int AIGroupManager::RateTarget(GameObject& object) {
    if (object.IsDestroyed() || !IsKnown(object, owner.Team())) return 0;
    for (ListNode* n = children.First(); n; n = children.Next(n))
        if (AttackTargetOf(*static_cast<Squad*>(n)) == &object) return 0;
    const char role = unit_traits::RoleOf(&object);
    const int type = unit_traits::StructureType(&object);
    const bool structure = unit_traits::IsStructure(&object);
    if (structure && type == 3) return heavyHits > 5 ? 1 : 2;
    if (role == 'f') return heavyHits > 5 ? 2 : 1;
    if (object.GetRank() >= 80) return 3;
    if (structure && type == 2) return 4;
    if (role == 't') return 5;
    if (role == 'k' || role == 'h') return 6;
    if (structure) return 7;
    return 8;
}

Squad* AIGroupManager::PickAttackGroup(GameObject& target, int urgent) {
    World& world = *TheWorld();
    const int32_t team = owner.Team();
    const bool targetIsFactory = target.GetKind() == ObjectKind::kFactory;
    const Point targetAt = target.GetPosition();
    Squad* best = nullptr;
    double bestKey = 0.0;
    for (ListNode* n = children.First(); n; n = children.Next(n)) {
        auto* group = static_cast<Squad*>(n);
        const int32_t size = group->MemberCount();
        // 1.
        if (size == 0 || group->Id() == defenceId) continue;
        if (group->purpose == kRaidKind &&
            !(!targetIsFactory && urgent == 1 && world.TeamHasStructure(team, 5)))
            continue;
        // 2.
        if (GameObject* chased = AttackTargetOf(*group)) {
            if (chased == &target || urgent == 0) continue;
            const Point centre = group->Centroid();
            if (Distance(targetAt, centre) > Distance(chased->GetPosition(), centre)) continue;
        }
        // 3, 4.
        bool candidate = urgent == 1;
        if (!candidate) {
            bool ready = true;
            if (size >= 2 && size < FullSize()) {
                for (GameObject* member : Members(*group)) {
                    Goal* order = member->goals.FirstUnfinished();
                    if (order &&
                        Distance(order->GetLocation(), member->GetPosition()) > kStillOnItsWay)
                        ready = false;
                }
            }
            if (ready && size >= FullSize()) {
                candidate = true;
            } else if (ready) {
                std::vector<InfluenceCell*> cells;
                if (InfluenceGrid* grid = owner.Grid()) {
                    if (outnumbered) {
                        grid->AllCells(cells);
                    } else {
                        cells = Block(grid, targetAt, 2);
                    }
                }
                int32_t enemies = 0;
                for (InfluenceCell* cell : cells)
                    enemies += owner.Grid()->EnemyTotal(*cell, team);
                if (2 * enemies < size) {
                    candidate = true;
                } else if (enemies < 2 * size) {
                    const int32_t mask =
                        targetIsFactory ? 3 : (unit_traits::IsStructure(&target) ? 9 : 1);
                    candidate = owner.StrengthBalance(&cells, target.GetTeam(), group, 0, mask) >
                                AttackThreshold();
                }
            }
        }
        if (!candidate) continue;
        // 5. The nearest formation centre wins; of equal keys the last one.
        Point centre;
        SquadManoeuvre* formation = group->manoeuvres.Find(kFormationType);
        const double key = formation && TheSquadRules().CentreOf(*formation, centre)
                               ? Distance(targetAt, centre)
                               : 0.0;
        if (!best || key <= bestKey) best = group, bestKey = key;
    }
    return best;
}

void AIGroupManager::LaunchAttack(Squad& group, GameObject& target) {
    SquadRules& rules = TheSquadRules();
    group.manoeuvres.DeleteAll();
    const bool typeThree =
        unit_traits::IsStructure(&target) && unit_traits::StructureType(&target) == 3;
    const bool factory = target.GetKind() == ObjectKind::kFactory;
    bool closeIn = false;
    for (GameObject* member : Members(group)) {
        int p0 = 4;
        int p4 = 3;
        if (IsHidden(*member)) {
            p0 = 1, p4 = 2, closeIn = true;
        } else if (typeThree) {
            p0 = 2, p4 = 2, closeIn = true;
        } else if (factory) {
            p0 = 3, p4 = 3;
        }
        manager_tools::SetParameter(*member, 0, p0);
        manager_tools::SetParameter(*member, 4, p4);
        manager_tools::SetParameter(*member, 5, 1);
        manager_tools::SetParameter(*member, 1, manager_tools::BreakOffParameter(owner, 50));
        member->BuildManoeuvreList();
        member->ExecuteOrder(9, 0, Point(), SimId(), 0);
        member->ClearGoals();
    }
    if (typeThree) heavyHits = 0;
    if (!closeIn)
        if (auto retaliate = rules.Retaliate()) group.manoeuvres.Add(std::move(retaliate));
    if (auto attack = rules.Attack(target.id)) group.manoeuvres.Add(std::move(attack));
}

void AIGroupManager::OnEvent(int32_t kind, void* a, void* b) {
    World& world = *TheWorld();
    switch (kind) {
        case AIController::kUnitBuilt: {
            GameObject* unit = b ? world.FindObject(*static_cast<SimId*>(b)) : nullptr;
            if (!unit) return;
            const int32_t current = unit->CurrentSquad();
            if (current != 0 && current == defenceId) {
                if (owner.targetTeam != 0)
                    if (SquadManoeuvre* explore = unit->FindManoeuvre(kExploreType))
                        TheSquadRules().SeekOutOfSight(*explore);
                return;
            }
            // A filling group gathers round its first member's arrival.
            Squad* group = current != 0 ? FindChild(current) : nullptr;
            if (group && PlanOf(group->Id()) && group->CurrentCount() == 1)
                Regroup(*group, ChooseGatherPoint(*group));
            return;
        }
        case 7: {
            auto* unit = static_cast<GameObject*>(a);
            if (!unit || !b) return;
            const SimId attacker = *static_cast<SimId*>(b);
            const char role = unit_traits::RoleOf(unit);
            if (unit->GetKind() == ObjectKind::kFactory) {
                factoryAttacker = attacker;
            } else if (role == 'f') {
                minerAttacker = attacker;
            } else if (role == 'k') {
                repairerAttacker = attacker;
            } else if (unit_traits::IsStructure(unit)) {
                structureAttacker = attacker;
            }
            return;
        }
        case 8: {
            auto* weapon = static_cast<WeaponTemplate*>(b);
            if (weapon && weapon->mountSize > 2) ++heavyHits;
            return;
        }
        case AIController::kEnemySeen: {
            // An enemy factory far enough from ours that has not yet found it, and that no
            // group attacks, is worth remembering as the last choice of target.
            auto* object = static_cast<GameObject*>(b);
            GameObject* own = owner.Factory();
            if (!object || !own || object->GetKind() != ObjectKind::kFactory ||
                owner.IsAlliedWith(object->GetTeam()))
                return;
            SightGrid* sight = world.sight.get();
            if (sight && sight->IsRectExplored(own->GetFootprint(), object->GetTeam()) != 0) return;
            if (Distance(object->GetPosition(), own->GetCentre()) <= 1.5 * object->GetEngageRange())
                return;
            for (ListNode* n = children.First(); n; n = children.Next(n))
                if (AttackTargetOf(*static_cast<Squad*>(n)) == object) return;
            spottedFactory = object->id;
            return;
        }
        default:
            return;
    }
}
