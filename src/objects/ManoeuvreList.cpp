#include "objects/ManoeuvreList.h"

#include <utility>

#include "catalogue/ChassisTemplate.h"
#include "catalogue/VehicleDesign.h"
#include "core/Timer.h"
#include "objects/ObjectWorld.h"
#include "objects/SquadManoeuvre.h"
#include "objects/TargetManoeuvre.h"
#include "objects/UnitMakers.h"

namespace {

SquadManoeuvre* AsManoeuvre(ListNode* node) {
    return static_cast<SquadManoeuvre*>(node);
}

constexpr int Type(ManoeuvreType type) {
    return static_cast<int>(type);
}

}  // namespace

ManoeuvreList::~ManoeuvreList() {
    DeleteAll();
}

void ManoeuvreList::Add(std::unique_ptr<SquadManoeuvre> manoeuvre) {
    if (manoeuvre) InsertSorted(manoeuvre.release(), 0);
}

void ManoeuvreList::Replace(std::unique_ptr<SquadManoeuvre> manoeuvre) {
    if (!manoeuvre) return;
    Delete(Find(manoeuvre->GetType()));
    Add(std::move(manoeuvre));
}

SquadManoeuvre* ManoeuvreList::Find(int type) const {
    for (ListNode* n = First(); n; n = Next(n)) {
        if (AsManoeuvre(n)->GetType() == type) return AsManoeuvre(n);
    }
    return nullptr;
}

void ManoeuvreList::Delete(SquadManoeuvre* manoeuvre) {
    if (!manoeuvre || !Holds(manoeuvre)) return;
    if (resumeCursor == manoeuvre) resumeCursor = nullptr;
    delete manoeuvre;
}

void ManoeuvreList::DeleteAll() {
    resumeCursor = nullptr;
    NodeList::DeleteAll();
}

bool ManoeuvreList::Holds(const SquadManoeuvre* manoeuvre) const {
    return IndexOf(manoeuvre) != -1;
}

void ManoeuvreList::RunForSim(Sim& sim) {
    for (ListNode* n = First(); n; n = Next(n)) {
        SquadManoeuvre* manoeuvre = AsManoeuvre(n);
        if (manoeuvre->Execute(sim) == 1) {
            manoeuvre->timer.Start();
            return;
        }
    }
}

int ManoeuvreList::RunForSquad(Squad& squad, Timer* budget) {
    // A cursor the list no longer holds (taken out by a plain list operation) starts the pass
    // afresh rather than following a node that is gone.
    ListNode* n = resumeCursor && Holds(resumeCursor) ? resumeCursor : First();
    resumeCursor = nullptr;
    for (; n; n = Next(n)) {
        SquadManoeuvre* manoeuvre = AsManoeuvre(n);
        if (budget && budget->Expired()) {
            resumeCursor = manoeuvre;
            return 0;
        }
        if (manoeuvre->ExecuteForSquad(squad) == 1) return 1;
    }
    return 1;
}

void ManoeuvreList::AddMade(int type, int32_t priority, int32_t first, int32_t second,
                            int32_t third) {
    std::unique_ptr<SquadManoeuvre> made =
        TheObjectWorld().Makers().MakeManoeuvre(type, ManoeuvreArguments{first, second, third});
    if (!made) return;
    made->SetPriority(priority);
    Add(std::move(made));
}

void ManoeuvreList::Build(const VehicleDesign& design) {
    const auto& p = design.parameters;
    // 1.
    DeleteAll();
    // 2.
    AddMade(Type(ManoeuvreType::Formation), 8);
    AddMade(Type(ManoeuvreType::AssignTarget), 5);
    AddMade(Type(ManoeuvreType::FaceAttacker), 1);
    // 3.
    int32_t attackFlag = 0;
    switch (p[0]) {
        case 1:
            AddMade(Type(ManoeuvreType::EngageNearest), 3);
            break;
        case 3:
            AddMade(Type(ManoeuvreType::Retaliate), 3);
            break;
        case 4:
            attackFlag = 1;
            break;
        case 5:
            AddMade(Type(ManoeuvreType::Explore), 3);
            break;
        default:
            break;
    }
    // 4. The attack manoeuvre takes (automatic, fixed).
    switch (p[4]) {
        case 0:
        case 1:
            AddMade(Type(ManoeuvreType::AbandonTarget), 6);
            AddMade(Type(ManoeuvreType::Attack), 7, attackFlag, 0);
            break;
        case 2:
            AddMade(Type(ManoeuvreType::Attack), 7, attackFlag, 0);
            break;
        case 3:
            AddMade(Type(ManoeuvreType::Attack), 7, 1, 1);
            break;
        default:
            break;
    }
    // 5 to 7.
    if (p[7] >= 0 && p[7] <= 2) repairLevel = p[7];
    breakOffPercent = p[8];
    if (p[5] == 0) focusFire = 1;
    if (p[5] == 1) focusFire = 0;
    // 8. The target manoeuvre is this list's own type and needs no maker.
    if (p[0] == 4) {
        auto target = std::make_unique<TargetManoeuvre>();
        target->SetPriority(10);
        Add(std::move(target));
    }
    // 9, 10.
    AddMade(Type(ManoeuvreType::AfterCombat), 10, p[6]);
    AddMade(Type(ManoeuvreType::Repair), 2, p[1], p[3], p[2] == 0 ? 1 : 0);
    // 11, 12: miners and scavengers.
    const char letter = design.chassis ? design.chassis->role : 0;
    if (letter == 'f' || letter == 'h') {
        AddMade(Type(ManoeuvreType::ClearWay), 5, 0);
        AddMade(Type(ManoeuvreType::Unload), 4, 50);
        if (letter == 'f') {
            AddMade(Type(ManoeuvreType::Mining), 4, 50);
        } else {
            AddMade(Type(ManoeuvreType::Scavenge), 4);
        }
    }
}
