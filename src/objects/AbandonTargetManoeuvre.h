#pragma once
// Type 10: a unit gives up an attack it cannot carry out (its weapons cannot engage the
// target), unless the attack was ordered to hold (parameter 0) or is on a wreck or a neutral.
#include "objects/SquadManoeuvre.h"

class AbandonTargetManoeuvre : public SquadManoeuvre {
public:
    ~AbandonTargetManoeuvre() override;
    int Execute(Sim& sim) override;
    int GetType() const override { return static_cast<int>(ManoeuvreType::AbandonTarget); }
};
