#pragma once
// Type 3: a unit answers its last attacker when its orders leave room; a squad sends its idle
// members against a fixed target or the nearest enemy.
#include <cstdint>

#include "core/SimId.h"
#include "objects/SquadManoeuvre.h"

class GameObject;

class AttackManoeuvre : public SquadManoeuvre {
public:
    // autoAttack 1 attacks even while the unit travels; keepTarget 1 stays on its last target
    // while that lives.
    AttackManoeuvre(int32_t autoAttack, int32_t keepTarget);
    // A squad sent against one object.
    explicit AttackManoeuvre(const SimId& target);
    ~AttackManoeuvre() override;

    int Execute(Sim& sim) override;
    int ExecuteForSquad(Squad& squad) override;
    int GetType() const override { return static_cast<int>(ManoeuvreType::Attack); }

    // The fixed target while it lives; else forgets it and answers null.
    GameObject* Target();
    int ShouldAttack(Sim& sim);

    int32_t hasFixedTarget = 0;
    SimId fixedTargetId;
    SimId lastTargetId;
    int32_t autoAttack;
    int32_t keepTarget;
};
