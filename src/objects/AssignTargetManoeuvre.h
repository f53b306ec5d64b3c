#pragma once
// Type 2: a guarding unit takes on an enemy near it or the one that attacked it; a squad
// spreads its idle members over the enemies in contact.
#include "objects/SquadManoeuvre.h"

class AssignTargetManoeuvre : public SquadManoeuvre {
public:
    ~AssignTargetManoeuvre() override;
    int Execute(Sim& sim) override;
    int ExecuteForSquad(Squad& squad) override;
    int GetType() const override { return static_cast<int>(ManoeuvreType::AssignTarget); }
};
