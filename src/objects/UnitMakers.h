#pragma once
// The makers and shared rules that the unit classes call but other parts of the game supply:
// the special Sim classes a design may call for, the manoeuvres a design's rules name, the
// economy goals, the rule that moves a blocking unit aside and the pairing of carriers. The
// World holds one set (ObjectWorld::Makers); each hook stays empty until the code that owns
// the class installs it, and an empty hook gives the neutral answer written beside it. Tests
// install fakes.
#include <cstdint>
#include <functional>
#include <memory>

#include "core/Point.h"
#include "core/SimId.h"
#include "objects/Goal.h"

class GameObject;
class PictureTemplate;
class Sim;
class SquadManoeuvre;
class VehicleDesign;

// The unit classes a design can call for, in the order the unit maker tests for them.
enum class SimClass : int32_t {
    Plain = 0,
    Carrier = 1,
    Deploying = 2,
    Capture = 3,
    Aircraft = 4,
    Scavenger = 5,
    Miner = 6,
    Repair = 7,
};

// What a design's rules hand a new manoeuvre; each type reads the numbers it takes (attack:
// automatic, fixed; after-combat: mode; repair: level, threshold, flag; clear-way: dock search;
// unload and mining: the cargo percentage) and ignores the rest.
struct ManoeuvreArguments {
    int32_t first = 0;
    int32_t second = 0;
    int32_t third = 0;
};

// Who asked a unit aside: the movement rule for a friend in the way, the clear-way manoeuvre for
// its blocked front or round its docks, the computer player after a failed search, the factory
// at its door or as it unfolds, or any other caller (air units, carriers). Only measures tell
// them apart; the push itself is the same.
enum class AsideCaller { Other, FriendInTheWay, ClearWay, ClearWayDocks, Controller, Factory };

class UnitMakers {
public:
    static constexpr int kSimClasses = 8;
    // Manoeuvre types run from 1 to 17, goal types from 1 to 8.
    static constexpr int kManoeuvreTypes = 18;
    static constexpr int kGoalTypes = 9;

    // Makes a unit of one class at the position under the id. The design is taken (the unit
    // owns it) only when a unit is made; a maker that answers null leaves it with the caller.
    // role is the class's role picture (scavenger, miner and repair units), else null.
    using SimMaker = std::function<std::unique_ptr<Sim>(const Point& position, const SimId& id,
                                                        std::unique_ptr<VehicleDesign>& design,
                                                        PictureTemplate* role)>;
    using ManoeuvreMaker =
        std::function<std::unique_ptr<SquadManoeuvre>(const ManoeuvreArguments&)>;
    using GoalMaker = std::function<std::unique_ptr<Goal>(
        const SimId& owner, const GoalFields& fields, int allowManoeuvres, int finishOnArrival)>;
    // (unit, blocker, distance; 0 the usual push) -> 1 when the blocker was ordered aside.
    using BlockerRule = std::function<int(GameObject* unit, GameObject* blocker, int distance)>;
    using PartnerSetter = std::function<void(GameObject* carrier, const SimId& partner)>;

    // Null when the type has no maker (the caller skips the manoeuvre) or is out of range.
    std::unique_ptr<SquadManoeuvre> MakeManoeuvre(int type, const ManoeuvreArguments& arguments);
    // Null when the goal type has no maker or is out of range.
    std::unique_ptr<Goal> MakeGoal(int type, const SimId& owner, const GoalFields& fields,
                                   int allowManoeuvres, int finishOnArrival);
    // 0 (nothing moved) until the rule is installed or for a null unit or blocker.
    int MoveBlockerAside(GameObject* unit, GameObject* blocker, int distance,
                         AsideCaller caller = AsideCaller::Other);
    // Nothing until the setter is installed or for a null carrier.
    void SetCarrierPartner(GameObject* carrier, const SimId& partner);
    // An acknowledgement voice of a bank (6: the factory is hit, 7: a deployed structure is
    // hit) on the battle screen; nothing until the battle screen installs the player.
    void PlayVoice(int bank);

    // By SimClass; the unit maker makes a plain Sim where no maker is installed.
    SimMaker simMakers[kSimClasses];
    ManoeuvreMaker manoeuvreMakers[kManoeuvreTypes];
    GoalMaker goalMakers[kGoalTypes];
    BlockerRule moveBlockerAside;
    // Told of every push that took (the blocker was ordered aside), after it; none by default.
    std::function<void(const GameObject& unit, const GameObject& pushed, AsideCaller caller)>
        asideObserver;
    PartnerSetter setCarrierPartner;
    std::function<void(int bank)> playVoice;
};
