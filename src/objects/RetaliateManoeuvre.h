#pragma once
// Type 12: an idle or travelling unit takes an enemy near it as its last attacker, for the
// attack manoeuvre to act on in the same pass; a squad shares its first attacker found.
#include "objects/SquadManoeuvre.h"

class RetaliateManoeuvre : public SquadManoeuvre {
public:
    ~RetaliateManoeuvre() override;
    int Execute(Sim& sim) override;
    int ExecuteForSquad(Squad& squad) override;
    int GetType() const override { return static_cast<int>(ManoeuvreType::Retaliate); }
};
