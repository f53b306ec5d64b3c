// The map view (coordinates, scrolling, zoom) and the debug panel.
#include <algorithm>
#include <cstdio>

#include "core/Bitmap.h"
#include "core/ColourBox.h"
#include "core/DisplayBase.h"
#include "core/TextWriter.h"
#include "map/SightGrid.h"
#include "map/TerrainMap.h"
#include "objects/GameObject.h"
#include "objects/Goal.h"
#include "screens/battle/BattleScreen.h"
#include "world/Scenario.h"
#include "world/World.h"

namespace {

// Rounds down to a multiple of 2^shift (toward minus infinity for negative values).
int32_t RoundDown(int32_t value, int32_t shift) {
    return (value >> shift) << shift;
}

}  // namespace

Size TileSize() {
    return Size(BattleScreen::kCellSize, BattleScreen::kCellSize);
}

Point BattleScreen::MapToScreen(const Point& p) {
    return Point(viewRect.origin.x + ((p.x - viewOrigin.x) >> zoom),
                 viewRect.origin.y + ((p.y - viewOrigin.y) >> zoom));
}

Point BattleScreen::ScreenToMap(const Point& p) const {
    return Point(viewOrigin.x + ((p.x - viewRect.origin.x) << zoom),
                 viewOrigin.y + ((p.y - viewRect.origin.y) << zoom));
}

Point BattleScreen::SnapToZoom(const Point& p, const Point& offset) {
    return Point(RoundDown(p.x, zoom) + offset.x, RoundDown(p.y, zoom) + offset.y);
}

Size BattleScreen::MapPixelSize() const {
    World* world = TheWorldOrNull();
    if (!world) return Size();
    if (world->sight) return world->sight->AreaSize();
    if (world->terrain) return world->terrain->PixelExtent();
    return Size();
}

Size BattleScreen::ViewExtent() const {
    return Size(viewRect.extent.w << zoom, viewRect.extent.h << zoom);
}

void BattleScreen::WantCentreAt(const Point& p) {
    const Size extent = ViewExtent();
    wantedOrigin = Point(p.x - (extent.w >> 1), p.y - (extent.h >> 1));
}

void BattleScreen::ClampScroll() {
    // 1. Velocity.
    wantedOrigin = Point(wantedOrigin.x + scrollVelocity.w, wantedOrigin.y + scrollVelocity.h);
    // 2. Snap: whole cells, or whole screen pixels while following a unit.
    const int32_t shift = tracking ? zoom : 5;
    wantedOrigin = Point(RoundDown(wantedOrigin.x, shift), RoundDown(wantedOrigin.y, shift));
    // 3. Clamp. An axis on which the map is smaller than the view has no room to scroll: its
    // origin is 0 (the view rectangle is centred instead).
    const Size map = MapPixelSize();
    const Size extent = ViewExtent();
    const int32_t maxX = map.w - extent.w;
    const int32_t maxY = map.h - extent.h;
    wantedOrigin.x = std::clamp(wantedOrigin.x, 0, std::max(maxX, 0));
    wantedOrigin.y = std::clamp(wantedOrigin.y, 0, std::max(maxY, 0));
    // 4. Make it current; the scenario keeps it.
    if (wantedOrigin.x != viewOrigin.x || wantedOrigin.y != viewOrigin.y) {
        viewOrigin = wantedOrigin;
        World* world = TheWorldOrNull();
        if (world && world->scenario) world->scenario->viewOrigin = viewOrigin;
    }
}

void BattleScreen::StopScroll() {
    scrollVelocity = Size();
}

void BattleScreen::ScrollForZone(int32_t region) {
    const int32_t sx = scrollStep.w << zoom;
    const int32_t sy = scrollStep.h << zoom;
    switch (region) {
        case kLeftEdge:
            scrollVelocity = Size(-sx, 0);
            break;
        case kTopLeftEdge:
            scrollVelocity = Size(-sx, -sy);
            break;
        case kBottomLeftEdge:
            scrollVelocity = Size(-sx, sy);
            break;
        case kRightEdge:
            scrollVelocity = Size(sx, 0);
            break;
        case kTopRightEdge:
            scrollVelocity = Size(sx, -sy);
            break;
        case kBottomRightEdge:
            scrollVelocity = Size(sx, sy);
            break;
        case kTopEdge:
            scrollVelocity = Size(0, -sy);
            break;
        case kBottomEdge:
            scrollVelocity = Size(0, sy);
            break;
        default:
            return;
    }
    tracking = 0;
}

Rect BattleScreen::FitViewToMap(int32_t forZoom) const {
    Rect r = mapViewArea;
    World* world = TheWorldOrNull();
    const Size map = world && world->terrain ? world->terrain->PixelExtent() : MapPixelSize();
    if (map.w <= 0 || map.h <= 0) return r;
    const int32_t w = map.w >> forZoom;
    const int32_t h = map.h >> forZoom;
    if (w < r.extent.w) {
        r.origin.x = (r.extent.w - w) >> 1;
        r.extent.w = w;
    }
    if (h < r.extent.h) {
        r.origin.y = (r.extent.h - h) >> 1;
        r.extent.h = h;
    }
    return r;
}

void BattleScreen::SetZoom(int32_t newZoom) {
    if (newZoom == zoom || newZoom < 0 || newZoom > 2) return;
    // 1. The centre at the old zoom.
    const Size oldExtent = ViewExtent();
    const Point centre(viewOrigin.x + (oldExtent.w >> 1), viewOrigin.y + (oldExtent.h >> 1));
    // 2, 3. The new zoom and its view rectangle.
    zoom = newZoom;
    viewRect = FitViewToMap(zoom);
    World* world = TheWorldOrNull();
    if (world && world->terrain) world->terrain->SetView(viewRect);
    // 4. What lies under the mouse now.
    hoverRegion = HitTest(mousePoint);
    // 5. The same centre.
    WantCentreAt(centre);
    ClampScroll();
    SizeDrawList();
}

void BattleScreen::DrawSimDebugPanel() {
    // 1. The watched object.
    if (debugWatch.IsNull()) return;
    World* world = TheWorldOrNull();
    GameObject* o = world ? world->FindObject(debugWatch) : nullptr;
    if (!o) {
        debugWatch = SimId();
        return;
    }
    if (!panelBitmap || !display || !world->font) return;
    // 2. Over the whole side panel.
    panelBitmap->RedirectDrawing();
    ColourBox(254, Size(kPanelWidth, kScreenHeight)).DrawAt(Point(0, 0));
    TextWriter& font = *world->font;
    char text[256];
    auto line = [&](int32_t y, const char* format, auto... values) {
        // A line without values is plain text, never a format.
        if constexpr (sizeof...(values) == 0)
            std::snprintf(text, sizeof text, "%s", format);
        else
            std::snprintf(text, sizeof text, format, values...);
        font.DrawText(Point(1, y), text, 10);
    };
    // 3. The lines.
    int32_t y = 10;
    line(y, "Team: %d Sim: %d", o->id.team, o->id.serial);
    y = 20;
    if (o->CurrentSquad() != 0) {
        line(y, "Mission: %d", o->CurrentSquad());
        y += 10;
    }
    if (o->Purpose() != 0) {
        line(y, "Purpose: %d", o->Purpose());
        y += 10;
    }
    line(y, "Center: %d,%d", o->position.x, o->position.y);
    line(y + 10, "Radius: %d", o->GetRadius());
    line(y + 20, "Pct Damage: %d", o->damage.Percent());
    line(y + 30, "Ore: %d  Pct: %d", o->GetCargo(), o->GetCargoPercent());
    y += 40;
    if (o->GetKind() == 4) {
        line(y, "Coolar: %d", o->GetStored());
        y += 10;
        y += DrawBuildingLine(o, y);
    }
    line(y, "%s",
         o->IsMoving()    ? "Moving"
         : o->IsWaiting() ? "Not Moving (WAITING)"
                          : "Not Moving");
    if (o->IsGuarding()) {
        const Point guard = o->GetGuardPoint();
        line(y + 10, "Guarding: %d,%d", guard.x, guard.y);
        y += 30;
    } else {
        y += 20;
    }
    line(y, "GOALS:");
    if (const int request = world->FindPathRequest(o->id, -1); request != 0) {
        line(y + 10, "Best Path Q: %d %c", request, o->routeWait ? 'P' : ' ');
        y += 30;
    } else {
        y += 20;
    }
    SimId blocking;
    o->GetBlockingSim(blocking);
    if (!blocking.IsNull()) {
        line(y, "Blocking Sim: %d,%d", blocking.team, blocking.serial);
        y += 20;
    } else {
        y += 10;
    }
    if (GameObject* attacker = o->GetLastAttacker()) {
        line(y, "Sim That Fired: %d,%d", attacker->id.team, attacker->id.serial);
        y += 20;
    } else {
        y += 10;
    }
    const Goal* front = o->goals.Front();
    o->goals.ForEach([&](Goal& goal) {
        if (y >= kScreenHeight) return;
        char entry[96];
        switch (goal.GetType()) {
            case 1: {
                const Point at = goal.GetLocation();
                std::snprintf(entry, sizeof entry, "Loc: %d,%d", at.x, at.y);
                break;
            }
            case 2: {
                const SimId target = goal.StoredFields().id;
                if (target.IsNull())
                    std::snprintf(entry, sizeof entry, "Target: NULL");
                else
                    std::snprintf(entry, sizeof entry, "Target: %d,%d", target.team, target.serial);
                break;
            }
            case 3:
                std::snprintf(entry, sizeof entry, "Mining");
                break;
            case 4:
                std::snprintf(entry, sizeof entry, "Scavenge");
                break;
            case 5:
                std::snprintf(entry, sizeof entry, "Repair");
                break;
            case 6:
                std::snprintf(entry, sizeof entry, "Unload");
                break;
            case 7:
                std::snprintf(entry, sizeof entry, "Transport");
                break;
            case 8:
                std::snprintf(entry, sizeof entry, "Refuel");
                break;
            default:
                std::snprintf(entry, sizeof entry, "Goal %d", goal.GetType());
                break;
        }
        line(y, "%s%s%s%s", entry, goal.IsDone() ? " S" : " P",
             &goal == front && o->goals.IsFrontBlocked() ? " B" : "", goal.active ? " !" : "");
        y += 10;
    });
    if (aiHalted) line(kScreenHeight, "ENEMY PAUSED");
    // 4. Back to the screen.
    display->ClearRedirect();
}
