#pragma once
// Type 9: keeps a unit reacting to the nearest object within its engage range. Once the unit
// has moved 256 pixels since it last reacted and a new object is near, its current goal starts
// again (so it re-plans against what it now faces) and the peers are told; a unit already
// chasing an enemy keeps its goal.
#include "core/Point.h"
#include "core/SimId.h"
#include "objects/SquadManoeuvre.h"

class GameObject;
class UnitMakers;

class EngageNearestManoeuvre : public SquadManoeuvre {
public:
    // The distance a unit must move from where it last reacted before it reacts again.
    static constexpr double kReactDistance = 256.0;

    ~EngageNearestManoeuvre() override;
    int Execute(Sim& sim) override;
    int GetType() const override { return static_cast<int>(ManoeuvreType::EngageNearest); }

    // 1 when the unit should restart its goal against the enemy (which may be null). Notes
    // every enemy it is shown, whatever the answer.
    int ShouldEngage(GameObject& unit, GameObject* enemy);

    // Makes this type for the manoeuvre lists that designs build.
    static void Install(UnitMakers& makers);

    SimId rememberedEnemy;
    Point rememberedPosition;
};
