#pragma once
// Installs the combat and movement manoeuvres (types 1, 2, 3, 10 to 14 and 16) and the rule
// that moves a blocking unit aside into a set of unit makers; the World does it at start-up.
class UnitMakers;

void InstallManoeuvreMakers(UnitMakers& makers);
