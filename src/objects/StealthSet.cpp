#include "objects/StealthSet.h"

#include "objects/ObjectWorld.h"

int StealthSet::InForce(int32_t flag, int team) const {
    if (revealCountdown > 0 || flag != 1) return 0;
    return TheObjectWorld().TeamHasStructure(team, kStealthStructure) ? 1 : 0;
}

int StealthSet::IsHidden(int team) const {
    return InForce(hidden, team);
}
int StealthSet::IsHiddenA(int team) const {
    return InForce(hiddenA, team);
}
int StealthSet::IsHiddenB(int team) const {
    return InForce(hiddenB, team);
}

void StealthSet::CountDownReveal(int elapsedMs) {
    if (revealCountdown > 0) revealCountdown -= elapsedMs;
}

void StealthSet::FitStealth(char letter) {
    if (letter == 'z') hidden = 1;
    if (letter == 'k') hiddenA = 1;
    if (letter == 'y') hiddenB = 1;
}
