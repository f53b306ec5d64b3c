#pragma once
// A defence item: it quarters the hits of weapons of its letter and plays a short effect over
// the unit when it does.
#include <cstdint>

#include "objects/SpriteAttachment.h"

class DefenceItemTemplate;

class DefencePart : public SpriteAttachment {
public:
    DefencePart(MountTemplate* item, int hardpoint);
    ~DefencePart() override;

    void Draw(ScreenBase& view, const Point& mapPoint, int shaded) override;
    void Update(int elapsedMs, Sim& owner) override;
    // Starts the effect over the object with that id.
    void Trigger(const SimId& at);

    int32_t effectOn = 0;
    int32_t effectFrame = 0;
    Timer effectTimer;
    SimId effectObject;

private:
    // Null when the part is no defence item.
    DefenceItemTemplate* Item() const;
};
