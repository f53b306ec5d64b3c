#include "map/CollisionFilter.h"

#include "map/TerrainServices.h"

CollisionFilter::CollisionFilter(int kind, int layer, int noWater, int noR, int extra)
    : kind(kind), layer(layer), secondLayer(layer), noWater(noWater), noR(noR), extra(extra) {}

CollisionFilter::~CollisionFilter() = default;

int CollisionFilter::CanEnter(char letter) const {
    if (kind != 2) return 1;
    if (letter == 'e') return 0;
    if (secondLayer >= 2) return 1;
    if (letter == 'p') return 0;
    if (letter == 'w' && noWater == 1) return 0;
    if (letter == 'r' && noR == 1) return 0;
    return 1;
}

uint32_t CollisionFilter::MoveFlags() const {
    if (layer == 2) return 0x08;
    uint32_t flags = noWater != 0 ? 0x0B : 0x09;
    if (noR != 0) flags |= 0x04;
    return flags;
}

uint32_t CollisionFilter::OwnMask() const {
    if (team < 0 || team >= kTeamCount) return 0;
    uint32_t mask = 0;
    if (layer == 0 || AlsoOnGround()) mask |= kGroundBit << team;
    if (layer == 1) mask |= kLowBit << team;
    if (layer == 2) mask |= kAirBit << team;
    return mask;
}

uint32_t CollisionFilter::LayerMask(int useSecond) const {
    switch (ChosenLayer(useSecond)) {
        case 0:
            return kGroundBits;
        case 1:
            return AlsoOnGround() ? (kLowBits | kGroundBits) : kLowBits;
        case 2:
            return AlsoOnGround() ? (kAirBits | kGroundBits) : kAirBits;
        default:
            return 0;
    }
}

uint32_t CollisionFilter::TeamMask(int chosenLayer, bool allied) const {
    const bool groundCounts = chosenLayer == 0 || AlsoOnGround();
    // Where the ground counts, the allied mask holds all five ground bits, allied or not.
    uint32_t mask = groundCounts && allied ? kGroundBits : 0;
    for (int t = 0; t < kTeamCount; ++t) {
        if ((TeamsAllied(team, t) != 0) != allied) continue;
        if (groundCounts) mask |= kGroundBit << t;
        if (chosenLayer == 1) mask |= kLowBit << t;
        if (chosenLayer == 2) mask |= kAirBit << t;
    }
    return mask;
}

uint32_t CollisionFilter::AlliedMask(int useSecond) const {
    return TeamMask(ChosenLayer(useSecond), true);
}

uint32_t CollisionFilter::EnemyMaskFor(int useSecond) const {
    return TeamMask(ChosenLayer(useSecond), false);
}
