#pragma once
// One fired shot. A weapon mount's template makes it; it then lives in the World's weapon list
// like every map object, flies or plays its effect in Update, and ends in Fire: damage to a
// target on the machine that simulates the shot, or an explosion and a crater at its aim point.
// It holds its owner and target only by id, since either may die while it is under way.
//
// Every shot class takes the same constructor arguments in the same order: (owner, target or
// null, template, hardpoint, collision record, id, hit roll); the aim mode is the class's own.
#include <cstdint>

#include "objects/GameObject.h"

class Vector;

class WeaponTemplate;

class Weapon : public GameObject {
public:
    // Shots that do not travel stand this far inside the map edge when they miss.
    static constexpr int kEdgeMargin = 48;
    static constexpr int kDefaultSize = 64;

    Weapon(GameObject* owner, GameObject* target, WeaponTemplate* weapon, int hardpoint,
           const CollisionFilter& filter, const SimId& id, int hitRoll, int aimMode);
    ~Weapon() override;

    // The record a template gives its shots: kind 1 on the template's shot layer, first handle
    // the owner.
    static CollisionFilter MakeCollision(WeaponTemplate* weapon, GameObject* owner);

    // Ends the shot: damage to the target (here only when simulated here), or without one an
    // explosion and a crater at the aim point; then the shot is destroyed.
    void Fire(GameObject* target);
    Point GetAimPoint();
    GameObject* GetTarget();
    SimId OwnerHandle() const { return ownerId; }
    SimId TargetHandle() const { return targetId; }
    int GetFirePower() override;
    int RollHit() override { return hitRoll; }

    SimId ownerId;
    SimId targetId;
    WeaponTemplate* weapon;  // not owned
    int32_t hardpoint;
    int32_t hitRoll;
    int32_t aimMode;
    uint32_t enemyMask = 0;

protected:
    // Plays the firing effect's sound when the local player sees the shot; the concrete
    // classes call it once the shot stands at its start point.
    void PlayFiringSound();
    // The owner, looked up afresh, or null.
    GameObject* Owner();
    // The end of a shot that plays its effect at the firing part: a hit damages a living
    // target (on the simulating machine only), a miss bursts at the aim point, and a hit whose
    // target died, or on a mirror, just ends.
    void FireAtEndOfEffect();
    // The firing part's muzzle on the map: the owner's draw origin plus the hardpoint position.
    Point Muzzle(GameObject* owner);

    // What the flying shots share. Steps wait until two move delays have gathered and are then
    // taken all at once, so a slow frame rate does not slow a shot down: the number of whole
    // delays taken from the time (0 while too little has gathered).
    int GatherSteps(int32_t& time);
    // The point after steps of travel toward the goal: a hit homes on it, a miss keeps the line
    // from the launch point through it. The step taken goes to step.
    Point NextPoint(const Point& goal, const Point& launch, int steps, Vector& step);
    // 1 within 48 pixels of the map edge or beyond the template's range from the launch point.
    int OutOfReach(const Point& launch, const Point& p);
    // 1 beyond the template's range from the launch point.
    int BeyondRange(const Point& launch, const Point& p);
    // A hit strikes the hostile object in the point's cell (air first), a miss or an empty cell
    // bursts.
    void Strike(const Point& at);
};

// The map's pixel rectangle shrunk by the margin on each side (right and bottom inclusive);
// false while no map is loaded.
bool MapInterior(int margin, int& left, int& top, int& right, int& bottom);
