#pragma once
// The stealth parts a map object carries and whether each stealth is in force for a team:
// only while the team owns a working structure of code 1 and the object has not fired within
// the last 3000 ms.
#include <cstdint>

class StealthSet {
public:
    static constexpr int kStealthStructure = 1;
    static constexpr int32_t kRevealMs = 3000;

    StealthSet() = default;
    virtual ~StealthSet() = default;

    int IsHidden(int team) const;
    int IsHiddenA(int team) const;
    int IsHiddenB(int team) const;
    // While the countdown is above 0 the elapsed time comes off (it may end below 0).
    void CountDownReveal(int elapsedMs);
    // Firing shows the object for the next 3000 ms.
    void Reveal() { revealCountdown = kRevealMs; }
    // Sets the flag a part letter names ('z' general, 'k' A, 'y' B); others set nothing.
    void FitStealth(char letter);

    int32_t hidden = 0;
    int32_t hiddenA = 0;
    int32_t hiddenB = 0;
    int32_t revealCountdown = 0;

private:
    int InForce(int32_t flag, int team) const;
};
