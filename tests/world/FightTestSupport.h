#pragma once
// What the long fights share: a running digest of values, and the check that a unit stands on
// ground open to it with every cell of its footprint naming it.
#include <gtest/gtest.h>

#include <cstdint>

#include "map/PathGrid.h"
#include "objects/Sim.h"
#include "world/World.h"

inline void Mix(uint64_t& h, uint64_t v) {
    for (int i = 0; i < 8; ++i) {
        h ^= (v >> (8 * i)) & 0xFF;
        h *= 1099511628211ull;
    }
}

inline void ExpectStandsWell(World& world, Sim* sim, int tick) {
    PathGrid& grid = *world.pathGrid;
    short row = 0, column = 0;
    grid.PixelToCell(sim->GetPosition(), row, column);
    ASSERT_TRUE(grid.IsInside(row, column)) << tick;
    ASSERT_EQ(grid.CellWord(row, column) & sim->GetCollision()->MoveFlags(), 0u)
        << "tick " << tick << " unit " << sim->id.serial;
    const Rect foot = sim->GetFootprint();
    ASSERT_GT(foot.extent.w, 0) << tick;
    short r0 = 0, c0 = 0, r1 = 0, c1 = 0;
    grid.PixelToCell(foot.origin, r0, c0);
    grid.PixelToCell(foot.BottomRight(), r1, c1);
    for (int r = r0; r <= r1; ++r) {
        for (int c = c0; c <= c1; ++c)
            ASSERT_EQ(grid.Occupant(r, c, sim->GetCollision()->layer), sim)
                << "tick " << tick << " unit " << sim->id.serial << " cell " << r << "," << c;
    }
}
