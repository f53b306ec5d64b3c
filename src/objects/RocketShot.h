#pragma once
// A rocket: its launch flash plays at the mount, then it flies straight toward where the target
// stood at firing, like a missile without trail or turning, cycling its picture as it goes.
#include <cstdint>
#include <memory>

#include "objects/Weapon.h"

class Goal;
class Image;

class RocketShot : public Weapon {
public:
    static constexpr int32_t kLaunchFrameMs = 100;
    static constexpr int kAimTolerance = 10;

    // Keeps the target; the facing (the object's) is the firing part's, fixed.
    RocketShot(GameObject* owner, GameObject* target, WeaponTemplate* weapon, int hardpoint,
               const CollisionFilter& filter, const SimId& id, int hitRoll);
    ~RocketShot() override;

    void Update(int elapsedMs) override;
    void Draw(ScreenBase& view) override;
    virtual void StepFrame();

    // The goal the rocket flies to; taken over.
    void SetSteerGoal(std::unique_ptr<Goal> goal);
    void Launch();
    void Fly();

    int32_t time = 0;
    // 1 while launching, 0 in flight.
    int32_t mode = 1;
    std::unique_ptr<Goal> steerGoal;
    Point launchPoint;

protected:
    // The launch flash's sequence of the facing, or null.
    Image* LaunchSequence();
    void BeginFlight();
};
