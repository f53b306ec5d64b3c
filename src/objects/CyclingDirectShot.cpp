#include "objects/CyclingDirectShot.h"

#include "core/SpriteSet.h"
#include "ui/ScreenBase.h"

void CyclingDirectShot::Update(int elapsedMs) {
    DirectShot::Update(elapsedMs);
    cycleFrame = (cycleFrame + 1) % kCycleFrames;
}

void CyclingDirectShot::Draw(ScreenBase& view) {
    Image* loop = spriteSet ? spriteSet->SubImage(0) : nullptr;
    if (loop) loop->DrawFrame(view.MapToScreen(position), cycleFrame);
}
