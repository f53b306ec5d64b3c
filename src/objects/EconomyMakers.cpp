#include "objects/EconomyMakers.h"

#include "catalogue/VehicleDesign.h"
#include "objects/EconomyGoals.h"
#include "objects/EconomyManoeuvres.h"
#include "objects/MinerSim.h"
#include "objects/RepairSim.h"
#include "objects/ScavengerSim.h"
#include "objects/UnitMakers.h"

namespace {

template <class Unit>
UnitMakers::SimMaker MakerOf() {
    return [](const Point& p, const SimId& id, std::unique_ptr<VehicleDesign>& design,
              PictureTemplate* role) -> std::unique_ptr<Sim> {
        return std::make_unique<Unit>(p, id, std::move(design), role);
    };
}

}  // namespace

void InstallEconomyMakers(UnitMakers& makers) {
    makers.simMakers[static_cast<int>(SimClass::Scavenger)] = MakerOf<ScavengerSim>();
    makers.simMakers[static_cast<int>(SimClass::Miner)] = MakerOf<MinerSim>();
    makers.simMakers[static_cast<int>(SimClass::Repair)] = MakerOf<RepairSim>();
    for (GoalType type : {GoalType::Mining, GoalType::Scavenge, GoalType::Repair, GoalType::Unload,
                          GoalType::Refuel}) {
        const int t = static_cast<int>(type);
        makers.goalMakers[t] = [t](const SimId& owner, const GoalFields& f, int allow, int finish) {
            return MakeEconomyGoal(t, owner, f, allow, finish);
        };
    }
    for (ManoeuvreType type :
         {ManoeuvreType::Repair, ManoeuvreType::Mining, ManoeuvreType::Scavenge,
          ManoeuvreType::Unload, ManoeuvreType::Refuel}) {
        const int t = static_cast<int>(type);
        makers.manoeuvreMakers[t] = [t](const ManoeuvreArguments& a) {
            return MakeEconomyManoeuvre(t, a);
        };
    }
}
