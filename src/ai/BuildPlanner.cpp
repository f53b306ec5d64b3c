#include "ai/BuildPlanner.h"

#include <memory>

#include "ai/AIController.h"
#include "ai/InfluenceGrid.h"
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

using manager_tools::Members;

const int32_t BuildPlanner::kSizeLimit[6] = {0, 2, 3, 3, 4, 4};
const int32_t BuildPlanner::kStrengthThreshold[6] = {0, -40, -30, -20, -15, -10};

BuildPlanner::BuildPlanner(AIController& owner) : AIManager(owner) {
    auto squad = std::make_unique<Squad>(owner.Team());
    SquadRules& rules = TheSquadRules();
    if (auto formation = rules.Formation(Point(), kSpacing))
        squad->manoeuvres.Add(std::move(formation));
    if (auto assign = rules.AssignTarget()) squad->manoeuvres.Add(std::move(assign));
    squad->purpose = kHomeSquadKind;
    squad->StampMembers();
    squadId = AddChild(std::move(squad))->Id();
    TakeFactory();
    armament = RandomRange(1, 2);
}

BuildPlanner::~BuildPlanner() = default;

Squad* BuildPlanner::HomeSquad() const {
    return FindChild(squadId);
}

int BuildPlanner::ClaimUnit(GameObject& unit, int32_t& outSquadId) {
    if (unit.Purpose() != kHomeSquadKind) return 0;
    outSquadId = squadId;
    return 1;
}

void BuildPlanner::OnEvent(int32_t kind, void*, void*) {
    if (kind == AIController::kPoolChanged || kind == AIController::kFactoryIdle ||
        kind == AIController::kPoolMoved)
        Recentre();
}

void BuildPlanner::AddToSquad(GameObject& object) {
    if (Squad* home = HomeSquad()) home->AddMember(object, 0);
    Recentre();
}

void BuildPlanner::TakeFactory() {
    GameObject* factory = owner.Factory();
    Squad* home = HomeSquad();
    if (!factory || !home || home->FindMember(*factory)) return;
    // A squad takes only objects whose owner finds it; while the controller is still listing
    // its managers it does not, so later steps try again.
    if (home->AddMember(*factory, 0) == 1) Recentre();
}

void BuildPlanner::Recentre() {
    Squad* home = HomeSquad();
    if (!home) return;
    TakeFactory();
    Point sum;
    int weight = 0;
    auto add = [&](const Point& p, int w) {
        sum = sum + Point(p.x * w, p.y * w);
        weight += w;
    };
    World& world = *TheWorld();
    for (GameObject* anchor : Members(*home)) {
        if (anchor->IsCurrent(home->Id())) continue;
        const char role = unit_traits::RoleOf(anchor);
        Goal* order = anchor->goals.FirstUnfinished();
        if (role == 'f') {
            if (GameObject* objective = world.FindDestructible(owner.ObjectiveId(0)))
                add(objective->GetPosition(), 1);
        } else if (unit_traits::IsStructure(anchor)) {
            add(owner.RallyPoint(), unit_traits::StructureType(anchor) == 3 ? 2 : 1);
        } else if ((anchor->GetKind() == ObjectKind::kFactory || role == 'k') && order) {
            add(order->GetLocation(), 1);
        } else {
            add(anchor->GetPosition(), 1);
        }
    }
    const Point centre = weight > 0 ? Point(sum.x / weight, sum.y / weight) : Point();
    if (SquadManoeuvre* formation =
            home->manoeuvres.Find(static_cast<int>(ManoeuvreType::Formation)))
        TheSquadRules().Recentre(*formation, centre);
}

int BuildPlanner::SizeLimit() const {
    switch (owner.aggressiveness) {
        case 2:
            return 1;
        case 3:
            return kSizeLimit[Level()];
        default:
            return 0;
    }
}

bool BuildPlanner::StrongEnough() const {
    return owner.StrengthBalance(nullptr, owner.targetTeam, nullptr, InfluenceGrid::kCombat,
                                 InfluenceGrid::kCombat) >= kStrengthThreshold[Level()];
}

int BuildPlanner::Think() {
    // 1, 2. One request at a time; the strength test is asked last.
    TakeFactory();
    Squad* home = HomeSquad();
    if (!home || owner.CountOrders(this, 0, 0) != 0 || home->MemberCount() >= SizeLimit() ||
        StrongEnough())
        return 0;
    // 3.
    DesignRules request;
    request.SetPartFlags(0, 0x1e0, 0);
    request.SetPartFlags(3, 0, 1);
    const int32_t presets[][2] = {{0, 3}, {1, 70}, {2, 0}, {3, 20}, {4, 0}, {6, 3}};
    for (const auto& [i, value] : presets)
        request.presets[static_cast<size_t>(i)] = value;
    AIController::SetOrderSquad(request, squadId);
    AIController::SetOrderPriority(request, 2);
    // The armament flags are switch words 3 and 4.
    request.weights[armament == 1 ? 3 : 4] = 1;
    // 4.
    if (GameObject* unit = owner.RequestUnits(request, 0, nullptr, 0, 0)) {
        home->AddMember(*unit, 1);
        manager_tools::SetParameter(*unit, 3, 20);
        manager_tools::SetParameter(*unit, 6, 3);
        unit->BuildManoeuvreList();
    }
    // 5.
    return 1;
}
