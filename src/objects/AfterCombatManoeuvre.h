#pragma once
// Type 13: once an attack on an enemy ends, the unit goes back to where it was sent (mode 2),
// stops (3), returns to where the attack began (4) or heads for its team's factory (5).
#include <cstdint>

#include "objects/SquadManoeuvre.h"

class AfterCombatManoeuvre : public SquadManoeuvre {
public:
    explicit AfterCombatManoeuvre(int32_t mode) : mode(mode) {}
    ~AfterCombatManoeuvre() override;
    int Execute(Sim& sim) override;
    int GetType() const override { return static_cast<int>(ManoeuvreType::AfterCombat); }

    int32_t mode;
};
