#pragma once
// How a map object occupies the map: its occupancy kind, team, movement layer and the terrain
// it may not enter, and the path-grid occupancy masks derived from them.
#include <cstdint>

#include "core/SimId.h"

// Occupancy bits of the path grid's cell word, one per team 0 .. 4 and layer.
constexpr uint32_t kGroundBit = 0x00010000;
constexpr uint32_t kLowBit = 0x00200000;
constexpr uint32_t kAirBit = 0x04000000;
constexpr uint32_t kGroundBits = 0x001F0000;
constexpr uint32_t kLowBits = 0x03E00000;
constexpr uint32_t kAirBits = 0x7C000000;
constexpr int kTeamCount = 5;

class CollisionFilter {
public:
    CollisionFilter(int kind, int layer, int noWater, int noR, int extra);
    CollisionFilter(const CollisionFilter& other) = default;
    CollisionFilter& operator=(const CollisionFilter& other) = default;
    virtual ~CollisionFilter();

    // 1 when an object with this filter may stand on a cell of that terrain letter.
    int CanEnter(char letter) const;
    // The terrain bits of the path grid's cell word that close a cell to this filter.
    uint32_t MoveFlags() const;
    // The filter's own occupancy bits.
    uint32_t OwnMask() const;
    // The bits of all five teams on the filter's layer (its second layer when useSecond is 1).
    uint32_t LayerMask(int useSecond) const;
    // On the chosen layer, the bits of the teams allied with the filter's team (all five
    // ground bits where the ground counts).
    uint32_t AlliedMask(int useSecond) const;
    // On the chosen layer, the bits of the teams not allied with the filter's team.
    uint32_t EnemyMaskFor(int useSecond) const;

    int32_t kind;
    SimId firstId;
    SimId secondId;
    int32_t team = 0;
    int32_t layer;
    int32_t secondLayer;
    int32_t noWater;
    int32_t noR;
    int32_t extra;

private:
    int ChosenLayer(int useSecond) const { return useSecond == 1 ? secondLayer : layer; }
    // Layer 1 with the extra flag also stands on the ground.
    bool AlsoOnGround() const { return layer == 1 && extra == 1; }
    uint32_t TeamMask(int chosenLayer, bool allied) const;
};
