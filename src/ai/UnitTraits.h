#pragma once
// What the computer opponents read of a map object to sort it: its design's chassis role
// letter ('f' miner, 'h' scavenger, 'k' repairer, 't' capture unit), whether it is a structure
// (a deploying chassis) and of which type, and its health.
#include <cstdint>

#include "catalogue/ChassisTemplate.h"
#include "catalogue/DeployingChassisTemplate.h"
#include "catalogue/VehicleDesign.h"
#include "objects/GameObject.h"

namespace unit_traits {

inline const ChassisTemplate* ChassisOf(GameObject* object) {
    VehicleDesign* design = object ? object->GetDesign() : nullptr;
    return design ? design->chassis : nullptr;
}

// The chassis role letter, 0 without a design or chassis.
inline char RoleOf(GameObject* object) {
    const ChassisTemplate* chassis = ChassisOf(object);
    return chassis ? chassis->role : 0;
}

inline bool IsStructure(GameObject* object) {
    const ChassisTemplate* chassis = ChassisOf(object);
    return chassis && chassis->IsDeployable() == 1;
}

// The structure type 0 .. 5 of a structure, -1 otherwise (or out of range).
inline int StructureType(GameObject* object) {
    const ChassisTemplate* chassis = ChassisOf(object);
    if (!chassis || chassis->IsDeployable() != 1) return -1;
    const int32_t code = static_cast<const DeployingChassisTemplate*>(chassis)->structureCode;
    return code >= 0 && code <= 5 ? code : -1;
}

// Miners and repairers, the economy the grid sums apart.
inline bool IsWorker(GameObject* object) {
    const char role = RoleOf(object);
    return role == 'f' || role == 'k';
}

inline int32_t HealthOf(GameObject* object) {
    return object->damage.Max() - object->damage.Value();
}

}  // namespace unit_traits
