#pragma once
// Which object each weapon mount of a unit aims at, decided once per update from two
// candidates: the hostile target of the unit's first attack goal and its last attacker. With
// focus fire every free mount takes one common target; without it each mount keeps a target
// it still reaches or picks a candidate it can reach and hit, alternating between the two.
class Sim;

namespace FireControl {

// Focus fire when the flag is 1, else per weapon.
void AssignWeaponTargets(Sim& sim, int focusFire);
void FocusFire(Sim& sim);
void PickTargetsPerWeapon(Sim& sim);

}  // namespace FireControl
