#pragma once
// Installs the economy's makers on a World's set: the miner, scavenger and repair unit
// classes, the goal maker for goal types 3 to 6 and 8 (records, goal commands and the
// aircraft's special action share it) and the manoeuvre maker for types 5 to 8 and 15.
class UnitMakers;

void InstallEconomyMakers(UnitMakers& makers);
