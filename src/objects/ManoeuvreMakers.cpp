#include "objects/ManoeuvreMakers.h"

#include <memory>

#include "objects/AbandonTargetManoeuvre.h"
#include "objects/AfterCombatManoeuvre.h"
#include "objects/AssignTargetManoeuvre.h"
#include "objects/AttackManoeuvre.h"
#include "objects/ClearWayManoeuvre.h"
#include "objects/ExploreManoeuvre.h"
#include "objects/FaceAttackerManoeuvre.h"
#include "objects/FormationManoeuvre.h"
#include "objects/RetaliateManoeuvre.h"
#include "objects/UnitMakers.h"

namespace {

template <class M>
void Plain(UnitMakers& makers, ManoeuvreType type) {
    makers.manoeuvreMakers[static_cast<int>(type)] = [](const ManoeuvreArguments&) {
        return std::unique_ptr<SquadManoeuvre>(std::make_unique<M>());
    };
}

}  // namespace

void InstallManoeuvreMakers(UnitMakers& makers) {
    Plain<FormationManoeuvre>(makers, ManoeuvreType::Formation);
    Plain<AssignTargetManoeuvre>(makers, ManoeuvreType::AssignTarget);
    Plain<AbandonTargetManoeuvre>(makers, ManoeuvreType::AbandonTarget);
    Plain<RetaliateManoeuvre>(makers, ManoeuvreType::Retaliate);
    Plain<ExploreManoeuvre>(makers, ManoeuvreType::Explore);
    Plain<FaceAttackerManoeuvre>(makers, ManoeuvreType::FaceAttacker);
    // (automatic, fixed): a design's fixed flag keeps the unit on its last target.
    makers.manoeuvreMakers[static_cast<int>(ManoeuvreType::Attack)] =
        [](const ManoeuvreArguments& a) {
            return std::unique_ptr<SquadManoeuvre>(
                std::make_unique<AttackManoeuvre>(a.first, a.second));
        };
    makers.manoeuvreMakers[static_cast<int>(ManoeuvreType::AfterCombat)] =
        [](const ManoeuvreArguments& a) {
            return std::unique_ptr<SquadManoeuvre>(std::make_unique<AfterCombatManoeuvre>(a.first));
        };
    makers.manoeuvreMakers[static_cast<int>(ManoeuvreType::ClearWay)] =
        [](const ManoeuvreArguments& a) {
            return std::unique_ptr<SquadManoeuvre>(std::make_unique<ClearWayManoeuvre>(a.first));
        };
    makers.moveBlockerAside = MoveBlockerAside;
}
