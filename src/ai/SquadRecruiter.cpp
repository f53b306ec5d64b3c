#include "ai/SquadRecruiter.h"

#include <memory>

#include "ai/AIController.h"
#include "ai/SquadRules.h"
#include "objects/GameObject.h"
#include "objects/Squad.h"
#include "objects/SquadManoeuvre.h"

SquadRecruiter::~SquadRecruiter() = default;

int SquadRecruiter::ClaimUnit(GameObject& unit, int32_t& squadId) {
    const int32_t code = unit.Purpose();
    if (code < kFirstCode || code > kLastCode) return 0;
    Squad* squad = nullptr;
    for (ListNode* n = children.First(); n && !squad; n = children.Next(n))
        if (static_cast<Squad*>(n)->purpose == code) squad = static_cast<Squad*>(n);
    if (!squad) {
        auto made = std::make_unique<Squad>(owner.Team());
        made->purpose = code;
        made->StampMembers();
        if (auto assign = TheSquadRules().AssignTarget()) made->manoeuvres.Add(std::move(assign));
        squad = AddChild(std::move(made));
    }
    squadId = squad->Id();
    return 1;
}
