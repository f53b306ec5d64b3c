#pragma once
// Small helpers the managers of a planning controller share: the members of a squad, distances,
// design parameters, the structure types the controller still wants, and the World's object
// lists.
#include <cmath>
#include <cstdint>
#include <vector>

#include "ai/AIController.h"
#include "catalogue/VehicleDesign.h"
#include "core/IdRefSet.h"
#include "core/NodeList.h"
#include "core/Point.h"
#include "core/PtrNode.h"
#include "objects/GameObject.h"
#include "objects/Squad.h"
#include "world/ObjectNode.h"

namespace manager_tools {

// Every member (ownOnly: those the squad commands), newest first, taken before any of them
// moves: joining another squad takes a member out of the list being walked.
inline std::vector<GameObject*> Members(const Squad& squad, bool ownOnly = false) {
    std::vector<GameObject*> out;
    for (ListNode* n = squad.members.First(); n; n = squad.members.Next(n)) {
        auto* member =
            static_cast<GameObject*>(static_cast<IdRefSet*>(static_cast<PtrNode*>(n)->Object()));
        if (!ownOnly || member->IsCurrent(squad.Id())) out.push_back(member);
    }
    return out;
}

// The objects of one of the World's lists, in list order.
inline std::vector<GameObject*> Objects(const NodeList& list) {
    std::vector<GameObject*> out;
    for (ListNode* n = list.First(); n; n = list.Next(n))
        if (GameObject* o = static_cast<ObjectNode*>(n)->Object()) out.push_back(o);
    return out;
}

inline double Distance(const Point& a, const Point& b) {
    return std::hypot(static_cast<double>(a.x) - b.x, static_cast<double>(a.y) - b.y);
}

// Design parameter i of the object's design; nothing without one.
inline void SetParameter(GameObject& object, int i, int value) {
    if (VehicleDesign* design = object.GetDesign()) design->SetParameter(i, value);
}

inline int Parameter(GameObject& object, int i) {
    VehicleDesign* design = object.GetDesign();
    return design ? design->parameters[static_cast<size_t>(i)] : 0;
}

// Appends the structure type to the types the controller still wants while it owns none.
inline void WantType(AIController& controller, int type) {
    if (type < 0 || type >= AIController::kStructureTypes || controller.typeCounts[type] != 0)
        return;
    auto* node = new ListNode;
    node->key = type;
    controller.typeQueue.PushBack(node);
}

// Design parameter 1 of the requests: lower when the team has repairers to fall back on.
inline int32_t BreakOffParameter(const AIController& controller, int32_t withRepairers) {
    return controller.repairerCount == 0 ? 70 : withRepairers;
}

}  // namespace manager_tools
