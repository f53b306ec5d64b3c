#include "objects/SpriteAttachment.h"

#include "catalogue/MountTemplate.h"
#include "core/SpriteSet.h"
#include "map/TerrainMap.h"
#include "objects/ObjectWorld.h"
#include "objects/Sim.h"
#include "ui/ScreenBase.h"

SpriteAttachment::SpriteAttachment(MountTemplate* part, int hardpoint)
    : hardpoint(hardpoint), part(part) {
    frameTimer.Start();
}

SpriteAttachment::~SpriteAttachment() = default;

void SpriteAttachment::Draw(ScreenBase& view, const Point& mapPoint, int shaded) {
    if (!part || !part->mapPictures) return;
    const Point at = view.MapToScreen(mapPoint);
    TerrainMap* terrain = TheObjectWorld().Terrain();
    if (shaded == 1 && terrain && terrain->ShadeTable2())
        part->mapPictures->DrawFrameTinted(at, facing, *terrain->ShadeTable2(), 0);
    else
        part->mapPictures->DrawFrame(at, facing);
}

// A working item spins through its frames; one without its structure points with the hull.
void SpriteAttachment::Step(Sim& owner) {
    if (selected != 0 || !frameTimer.Expired()) return;
    facing = active == 1 ? (facing + 1) % 16 : owner.facing;
    frameTimer.Start();
}

void SpriteAttachment::Update(int, Sim&) {}
ValueCounter SpriteAttachment::GetReloadCounter() {
    return ValueCounter();
}
WeaponTemplate* SpriteAttachment::GetTemplate() {
    return nullptr;
}
void SpriteAttachment::SetTemplate(WeaponTemplate*) {}
Point SpriteAttachment::GetMuzzleOffset() {
    return Point();
}
int SpriteAttachment::InRange(const Point&, GameObject*) {
    return 0;
}
SimId SpriteAttachment::GetTarget() {
    return SimId();
}
void SpriteAttachment::SetTarget(const SimId&) {}
void SpriteAttachment::AddElapsed(int) {}

int SpriteAttachment::Category() const {
    return part ? static_cast<int>(part->GetMountKind()) : 0;
}

char SpriteAttachment::Letter() const {
    return part ? part->role : 0;
}
