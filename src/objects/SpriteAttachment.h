#pragma once
// What stands on one hardpoint of a unit: its part record and the facing frame drawn over the
// unit at the hardpoint's mount offset. The plain attachment is a sensor or stealth item that
// spins while its structure works; weapon mounts and defence items derive from it.
#include <cstdint>

#include "core/ListNode.h"
#include "core/Point.h"
#include "core/SimId.h"
#include "core/Timer.h"
#include "core/ValueCounter.h"

class GameObject;
class MountTemplate;
class ScreenBase;
class Sim;
class WeaponTemplate;

class SpriteAttachment : public ListNode {
public:
    static constexpr int32_t kFramePeriodMs = 100;

    // The part record is not owned.
    SpriteAttachment(MountTemplate* part, int hardpoint);
    ~SpriteAttachment() override;

    // Draws the facing frame at the screen point of a (zoomed) map point; shaded draws through
    // the terrain's cloak table.
    virtual void Draw(ScreenBase& view, const Point& mapPoint, int shaded);
    virtual void Step(Sim& owner);
    virtual void Update(int elapsedMs, Sim& owner);
    virtual ValueCounter GetReloadCounter();
    virtual WeaponTemplate* GetTemplate();
    virtual void SetTemplate(WeaponTemplate* weapon);
    virtual Point GetMuzzleOffset();
    virtual int InRange(const Point& from, GameObject* target);
    virtual SimId GetTarget();
    virtual void SetTarget(const SimId& target);
    virtual void AddElapsed(int ms);
    // One more machine made this mount's last shot (the acknowledgement command); only a
    // weapon mount counts them.
    virtual void AddAcknowledgement() {}

    // The part's category: 1 weapon, 2 defence, 3 stealth, 4 sensor (0 without a part).
    int Category() const;
    // The part's role letter (0 without a part).
    char Letter() const;

    int32_t facing = 0;
    int32_t selected = 0;
    int32_t hardpoint;
    MountTemplate* part;
    Timer frameTimer{kFramePeriodMs};
    int32_t active = 1;
};
