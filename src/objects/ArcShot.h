#pragma once
// A lobbed shell: its course is laid at firing as a list of points along an arc that rises 60
// pixels at its middle, one point about every 10 pixels, held as location goals in its own
// goal queue; it hops to the next point every 50 ms and strikes where the course ends. The
// firing part shows a muzzle flash meanwhile.
#include <cstdint>
#include <vector>

#include "objects/Weapon.h"

class ArcShot : public Weapon {
public:
    static constexpr int32_t kHopMs = 50;
    static constexpr int32_t kFlashPeriodMs = 100;
    static constexpr int kPointSpacing = 10;
    static constexpr int kAimTolerance = 10;

    // The target is not kept: the shell flies its arc.
    ArcShot(GameObject* owner, GameObject* target, WeaponTemplate* weapon, int hardpoint,
            const CollisionFilter& filter, const SimId& id, int hitRoll);
    ~ArcShot() override;

    void Update(int elapsedMs) override;
    void Draw(ScreenBase& view) override;

    // Lays the course to the point and moves the shell to its first point.
    void SetTargetPoint(const Point& target);
    // The course from the shell's position to the point, the point last.
    std::vector<Point> BuildArc(const Point& target);
    void AdvanceFlash(int elapsedMs);

    int32_t stepTime = 0;
    int32_t flashOn = 0;
    int32_t flashFrame = 0;
    SpriteSet* flashSprites = nullptr;  // not owned
    int32_t flashTime = 0;
    // 1 once the course has been laid.
    int32_t courseLaid = 0;
};
