#pragma once
// A projectile that leaves the firing part's muzzle and flies straight, a few pixels at a time,
// to where its target stood when the part fired, and strikes whatever hostile object holds
// that cell. A missed shot keeps the line from its muzzle through that point and bursts once
// it leaves its reach. The firing part shows a muzzle flash while the shot flies.
#include <cstdint>
#include <memory>

#include "objects/Weapon.h"

class Goal;
class Image;

class DirectShot : public Weapon {
public:
    static constexpr int kFlashPeriodMs = 100;
    static constexpr int kAimTolerance = 10;

    // The target is not kept: the shot flies to its aim goal.
    DirectShot(GameObject* owner, GameObject* target, WeaponTemplate* weapon, int hardpoint,
               const CollisionFilter& filter, const SimId& id, int hitRoll);
    ~DirectShot() override;

    // Without an aim goal the shot does nothing.
    void Update(int elapsedMs) override;
    void Draw(ScreenBase& view) override;

    void SetAimGoal(const Point& p);
    // 1 beyond the template's range from the start point, or for a miss within 48 pixels of the
    // map edge (the table in the source).
    int IsOutOfReach(const Point& p);

    std::unique_ptr<Goal> aimGoal;
    Point startPoint;
    int32_t travelTime = 0;
    int32_t flashOn = 0;
    int32_t flashFrame = 0;
    SpriteSet* flashSprites = nullptr;  // not owned
    int32_t flashTime = 0;

private:
    void AdvanceFlash(int elapsedMs);
    // The flash sequence of a facing, or null.
    Image* FlashSequence(int facing);
};
