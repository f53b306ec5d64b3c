#pragma once
// What the rest of the game asks of the special unit classes without knowing them: the unit
// class makers for carriers, deploying units, capture units and aircraft, the pairing of
// carriers, a deploying unit's structure code and kind, and a carrier's partner.
#include "core/SimId.h"

class GameObject;
class UnitMakers;

// Installs the makers of the four classes and the carrier partner setter.
void InstallSpecialUnitMakers(UnitMakers& makers);
// The structure code of a deploying unit, -1 for any other object.
int StructureCodeOf(GameObject* object);
// Sets a deploying unit's kind (1 mobile, 7 deployed); nothing for other objects.
void SetDeployKind(GameObject* object, int kind);
// A carrier's partner; the null id for any other object.
SimId CarrierPartnerOf(GameObject* object);
