#include "world/TimerNode.h"

#include "catalogue/PictureTemplates.h"
#include "catalogue/TemplateCatalogue.h"
#include "core/SpriteSet.h"
#include "ui/ScreenBase.h"
#include "world/TerrainMap.h"
#include "world/World.h"

namespace {
// The ground mark stands this far above the marked point.
constexpr int kMarkLift = 30;
}  // namespace

TimerNode::TimerNode(const Point& position, int32_t milliseconds)
    : remainingMs(milliseconds), position(position) {}

TimerNode::~TimerNode() = default;

void TimerNode::Draw(ScreenBase& screen) {
    if (remainingMs <= 0) return;
    RoleTemplate* mark = FindRoleTemplate('X', 'x');
    if (!mark || !mark->pictures) return;
    Image* animation = mark->pictures->SubImage(0);
    World* world = TheWorld();
    const ByteTable256* blend = world && world->terrain ? world->terrain->BlendTable() : nullptr;
    if (!animation || !blend) return;
    const Point at = screen.MapToScreen(Point(position.x, position.y - kMarkLift));
    animation->DrawFrameBlended(at, frameCounter, *blend);
    if (++frameCounter > animation->LastFrameIndex()) frameCounter = 0;
}
