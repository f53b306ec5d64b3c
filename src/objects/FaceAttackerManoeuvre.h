#pragma once
// Type 16: an idle unit turns one facing step toward its last attacker; it never stops the
// rules below it.
#include "objects/SquadManoeuvre.h"

class FaceAttackerManoeuvre : public SquadManoeuvre {
public:
    ~FaceAttackerManoeuvre() override;
    int Execute(Sim& sim) override;
    int GetType() const override { return static_cast<int>(ManoeuvreType::FaceAttacker); }
};
