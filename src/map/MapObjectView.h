#pragma once
// What the terrain grids need of a map object: where it stands, how it occupies cells, what
// blocks its routes and what it sees. GameObject implements it; the grids hold objects only
// through this view and never own them.
#include <cstdint>

#include "core/SimId.h"

class CollisionFilter;
class Point;
class Rect;

// The special sensors of a sensor set and the stealths that match them.
enum class SensorKind { A = 1, B = 2, C = 3 };
enum class StealthKind { General = 0, A = 1, B = 2 };

// What the sight grid counted for an object, kept with the object so that removing and moving
// its sight touch exactly the players and layers that were added, whatever its owner or its
// team's sensor structures have become since. Filled and read by the sight grid only.
struct AddedSight {
    // Adds not yet removed; 0 when nothing is counted.
    int32_t count = 0;
    // The players counted (0: none).
    int32_t players[2] = {0, 0};
    // Layer 0 ordinary sight, 1 .. 3 the sensors A, B and C.
    bool sees[4] = {false, false, false, false};
};

class MapObjectView {
public:
    virtual ~MapObjectView() = default;

    virtual SimId GetId() const = 0;
    // The team (0 .. 4), the first value of the object's team record.
    virtual int GetTeam() const = 0;
    virtual void GetPosition(Point& out) const = 0;
    virtual CollisionFilter* GetCollision() = 0;

    // Occupancy on the path grid.
    virtual int GetFootprintRadius() = 0;
    // The pixel rectangle the footprint covers; the empty rectangle once it is removed.
    virtual void SetFootprint(const Rect& footprint) = 0;
    // Occupancy bits (path-grid cell-word layout) that block this object's routes.
    virtual uint32_t GetEnemyMask() = 0;
    // 1 when the object has a manoeuvre of that type (9 prices routes by enemy sight).
    virtual int HasManoeuvre(int type) = 0;
    // The object recorded as blocking this one's path, the null id when none.
    virtual void GetBlockingSim(SimId& out) = 0;
    virtual int IsMoving() = 0;
    virtual int IsWaiting() = 0;
    virtual int IsHostileTo(MapObjectView* other) = 0;

    // Sight: the players (0 .. 4, 0 sees nothing) for whom the object counts.
    virtual int ViewingPlayer() = 0;
    virtual int SecondViewingPlayer() = 0;
    // The base sight flag of the sensor set.
    virtual int HasBaseSight() = 0;
    // The count of active sensors of that kind for the team (above 0: active).
    virtual int SensorActive(SensorKind kind, int team) = 0;
    virtual int IsHidden(StealthKind kind, int team) = 0;
    // Where the sight grid keeps what it added; null asks the object again on every change.
    virtual AddedSight* SightRecord() { return nullptr; }
};
