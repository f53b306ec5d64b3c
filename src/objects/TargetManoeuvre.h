#pragma once
// Type 4: a Sim attacks a hostile object that blocks its path, unless that object already is
// its target or the Sim is on its way to be repaired.
#include "objects/SquadManoeuvre.h"

class TargetManoeuvre : public SquadManoeuvre {
public:
    ~TargetManoeuvre() override;
    int Execute(Sim& sim) override;
    int GetType() const override { return static_cast<int>(ManoeuvreType::Target); }
};
