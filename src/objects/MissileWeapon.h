#pragma once
// A missile: it plays its launch on the rack, riding the moving launcher, then flies a few
// pixels at a time toward the point its steering goal names, turning its picture to its
// heading and leaving a trail of five smoke puffs. A location goal sends it where the target
// stood at firing; a target goal makes it home on the target.
#include <array>
#include <cstdint>
#include <memory>

#include "objects/Weapon.h"

class Goal;
class Image;

class MissileWeapon : public Weapon {
public:
    static constexpr int kTrailPuffs = 5;
    static constexpr int32_t kLaunchFrameMs = 100;
    static constexpr int kAimTolerance = 10;

    // Keeps the target; the picture is its own (frame and facing are the object's).
    MissileWeapon(GameObject* owner, GameObject* target, WeaponTemplate* weapon, int hardpoint,
                  const CollisionFilter& filter, const SimId& id, int hitRoll);
    ~MissileWeapon() override;

    // Without a steering goal the missile does nothing.
    void Update(int elapsedMs) override;
    void Draw(ScreenBase& view) override;

    // The goal the missile flies by (a location or a target goal); taken over.
    void SetSteerGoal(std::unique_ptr<Goal> goal);
    virtual void AnimateTrail();
    virtual void FollowLauncher();
    virtual void Advance();

    int32_t time = 0;
    std::unique_ptr<Goal> steerGoal;
    Point launchPoint;
    // 1 while on the launcher, 0 in flight.
    int32_t mode = 1;
    std::array<Point, kTrailPuffs> trailPoints{};
    // -1: a free puff.
    std::array<int32_t, kTrailPuffs> trailFrames{};
    SpriteSet* trailSprites = nullptr;  // not owned
    // Where the steering goal last pointed: a homing missile whose target died flies on there.
    Point lastAim;

private:
    // The first sequence of a picture set, or null.
    static Image* FirstSequence(SpriteSet* sprites);
    void TakeShotPicture();
};
