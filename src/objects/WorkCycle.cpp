#include "objects/WorkCycle.h"

#include "core/SpriteSet.h"
#include "core/Vector.h"
#include "map/TerrainMap.h"
#include "objects/GameObject.h"
#include "objects/ObjectWorld.h"
#include "ui/ScreenBase.h"

namespace {

// The game's own value of pi for facing angles.
constexpr double kPi = 3.14159;

double FacingAngle(int f) {
    return f == 0 ? kPi : -kPi + f * kPi / 8.0;
}

}  // namespace

void WorkCycle::Begin(const WorkTable& next, int index) {
    table = &next;
    frame = 0;
    facingIndex = index;
    timer.Start();
}

void WorkCycle::CutShort() {
    if (table) frame = table->decisionFrame;
}

void WorkCycle::TurnOneStep(int32_t& facing, int workingFacing) {
    const Vector toward(FacingAngle(workingFacing), 10.0);
    facing = GameObject::NormaliseFacing(GameObject::TurnToward(facing, toward, 1));
}

int32_t WorkCycle::PictureFrame() const {
    if (!table || frame < 0 || frame >= table->length) return 0;
    return table->frames[frame];
}

Image* WorkCycle::Picture(int facing, int workingFacing) const {
    if (!table || !pictures || facing != workingFacing) return nullptr;
    if (facingIndex < 0 || facingIndex > pictures->LastFrameIndex()) return nullptr;
    Image* sequence = pictures->SubImage(facingIndex);
    if (!sequence || PictureFrame() > sequence->LastFrameIndex()) return nullptr;
    return sequence;
}

void WorkCycle::Draw(ScreenBase& view, Image* picture, const Point& at, int colour,
                     const ShadeTable* ghost) const {
    if (!picture) return;
    if (ghost)
        picture->DrawFrameTinted(view.MapToScreen(at), PictureFrame(), *ghost, 0);
    else
        picture->DrawFrameShadeFilled(view.MapToScreen(at), PictureFrame(), colour);
}

void WorkCycle::DrawShadow(ScreenBase& view, Image* picture, const Point& at) const {
    TerrainMap* terrain = TheObjectWorld().Terrain();
    if (picture && terrain && terrain->ShadeTable1())
        picture->DrawFrameTinted(view.MapToScreen(at), PictureFrame(), *terrain->ShadeTable1(), 0);
}

void WorkCycle::DrawSensed(ScreenBase& view, Image* picture, const Point& at,
                           const ShadeTable* table) const {
    if (picture && table) picture->DrawFrameTinted(view.MapToScreen(at), PictureFrame(), *table, 0);
}
