#include "objects/SquadManoeuvre.h"

SquadManoeuvre::SquadManoeuvre() {
    timer.Start();
}

SquadManoeuvre::~SquadManoeuvre() = default;

int SquadManoeuvre::Execute(Sim&) {
    return 0;
}

int SquadManoeuvre::ExecuteForSquad(Squad&) {
    return 0;
}
