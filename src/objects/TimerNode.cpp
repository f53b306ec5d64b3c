#include "objects/TimerNode.h"

#include "catalogue/PictureTemplates.h"
#include "catalogue/TemplateCatalogue.h"
#include "core/SpriteSet.h"
#include "map/TerrainMap.h"
#include "objects/ObjectWorld.h"
#include "ui/ScreenBase.h"

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
    TerrainMap* terrain = TheObjectWorld().Terrain();
    const ByteTable256* blend = terrain ? terrain->BlendTable() : nullptr;
    if (!animation || !blend) return;
    const Point at = screen.MapToScreen(Point(position.x, position.y - kMarkLift));
    animation->DrawFrameBlended(at, frameCounter, *blend);
    if (++frameCounter > animation->LastFrameIndex()) frameCounter = 0;
}
