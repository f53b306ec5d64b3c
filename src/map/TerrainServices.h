#pragma once
// What the terrain, the grids and the land loader ask of the World: alliances, the local
// player, the current land and its data directories, and the making of land features.
// The World implements it and registers itself in `terrainServices` while it exists.
#include <cstdint>

class Point;

class TerrainServices {
public:
    virtual ~TerrainServices() = default;

    // 1 when the two teams (0 .. 4) are allied; a team counts as allied with itself only when
    // the World's alliance table says so.
    virtual int AreAllied(int teamA, int teamB) = 0;
    // The player of this machine (1 .. 4).
    virtual int LocalTeam() = 0;
    // The current scenario's land number; -1 loads "edit.lnd".
    virtual int LandNumber() = 0;
    // The data directory on the asset volume (searched first for tile sets) and the local
    // asset directory, each ending in a path separator; either may be empty.
    virtual const char* DiscDataDirectory() = 0;
    virtual const char* LocalAssetDirectory() = 0;
    // Makes the land feature of a cell (34 x 34, a new id of team 0) at the cell's centre and
    // registers it, which marks its footprint on the path grid.
    virtual void AddLandFeatureAt(const Point& centre) = 0;
};

// The World while it exists, else null. Without it no two teams are allied except a team with
// itself, and nothing else is answered.
extern TerrainServices* terrainServices;

// AreAllied through the registered services, with the fallback above.
int TeamsAllied(int teamA, int teamB);
