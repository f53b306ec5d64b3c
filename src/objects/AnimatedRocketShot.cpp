#include "objects/AnimatedRocketShot.h"

#include "core/SpriteSet.h"
#include "ui/ScreenBase.h"

AnimatedRocketShot::~AnimatedRocketShot() = default;

void AnimatedRocketShot::StepFrame() {
    Image* first = spriteSet ? spriteSet->SubImage(0) : nullptr;
    if (++frame > (first ? first->LastFrameIndex() : 0)) frame = 0;
}

void AnimatedRocketShot::Draw(ScreenBase& view) {
    GameObject* owner = Owner();
    if (!owner || !spriteSet || spriteSet->Count() < 1) return;
    const Point at = mode == 1
                         ? view.SnapToZoom(owner->GetDrawOrigin(), owner->GetMountOffset(hardpoint))
                         : position;
    if (Image* sequence = spriteSet->SubImage(facing))
        sequence->DrawFrame(view.MapToScreen(at), frame);
}
