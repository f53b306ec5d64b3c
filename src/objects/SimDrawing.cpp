// Drawing and sight: the body with its parts, smoke, goal marker, effect and flash; the shadow
// and the marks under the unit; the sensed outline; and whether the unit's team sees another
// object.
#include "catalogue/ChassisTemplate.h"
#include "catalogue/PartTemplate.h"
#include "catalogue/PictureTemplates.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/VehicleDesign.h"
#include "core/SpriteSet.h"
#include "map/PathGrid.h"
#include "map/SightGrid.h"
#include "map/TerrainMap.h"
#include "objects/Goal.h"
#include "objects/ObjectWorld.h"
#include "objects/SelectionMarker.h"
#include "objects/Sim.h"
#include "objects/SimBody.h"
#include "objects/SpriteAttachment.h"
#include "ui/ScreenBase.h"

namespace {

constexpr int kSmokePercent = 50;
constexpr int kCargoMeterDrop = 96;

}  // namespace

int Sim::HiddenFromOwnTeam() {
    return stealth.IsHidden(GetTeam());
}

void Sim::Draw(ScreenBase& view) {
    ObjectWorld& world = TheObjectWorld();
    const int hidden = HiddenFromOwnTeam();
    if (body) {
        body->colour = teamRecord.third;
        body->Draw(view, position, bob, facing, hidden);
    }
    DrawParts(view);
    RoleTemplate* smoke = FindRoleTemplate('X', 'x');
    TerrainMap* terrain = world.Terrain();
    if (world.LowDetail() == 0 && damage.Percent() > kSmokePercent && smoke && smoke->pictures &&
        terrain && terrain->ShadeTable2()) {
        if (Image* puff = smoke->pictures->SubImage(1))
            puff->DrawFrameTinted(view.MapToScreen(smokePoint), smokeFrame, *terrain->ShadeTable2(),
                                  0);
    }
    if (Goal* front = goals.Front()) front->Draw(view);
    DrawAttachedEffect(view);
    DrawFlash(view);
}

void Sim::DrawParts(ScreenBase& view) {
    const int hidden = HiddenFromOwnTeam();
    for (int i = 0; i < partCount; ++i) {
        SpriteAttachment* a = GetPart(i);
        if (!a) continue;
        a->Draw(view, view.SnapToZoom(position, GetMountOffset(i) + bob), hidden);
    }
}

void Sim::DrawUnder(ScreenBase& view) {
    const int altitude = design && design->drive ? design->drive->altitude : 0;
    if (body && altitude > 0 && HiddenFromOwnTeam() == 0)
        body->DrawShadow(view, position, bob, facing, Point(altitude, altitude));
    DrawMarks(view);
}

void Sim::DrawMarks(ScreenBase& view) {
    const Size s = GetSize();
    const Point topLeft = view.MapToScreen(position - Point(s.w / 2, s.h / 2));
    if (selected == 1 && body) {
        selectionMarker->TakeMeter(damage);
        selectionMarker->SetSize(Size(body->extent.w >> view.zoom, body->extent.h >> view.zoom));
        selectionMarker->Draw(view.MapToScreen(position));
    }
    if (selected == 1 || drawFlag == 1) DrawLevelBar(damage.Percent(), topLeft);
    const char chassis = design && design->chassis ? design->chassis->role : 0;
    if (chassis == 'h' || chassis == 'f') {
        const Point meterAt =
            view.MapToScreen(position - Point(s.w / 2, s.h / 2) + Point(0, kCargoMeterDrop));
        DrawLevelMeter(100 - GetCargoPercent(), meterAt, 0);
    }
    drawFlag = 0;
}

void Sim::DrawSensed(ScreenBase& view, const ShadeTable* table) {
    if (body) body->DrawSensed(view, position, bob, facing, table);
}

void Sim::StartFlash(SpriteSet* sprite, int count, int colour) {
    flashSprite = sprite;
    flashCount = count;
    flashColour = colour;
}

void Sim::StepFlash() {
    if (flashCount > 0) --flashCount;
}

void Sim::DrawFlash(ScreenBase& view) {
    if (!flashSprite || flashCount <= 0 || flashCount % 2 == 0) return;
    flashSprite->DrawFrameShadeFilled(view.MapToScreen(position), 0, flashColour);
}

int Sim::CanSee(GameObject* other) {
    if (!other) return 0;
    ObjectWorld& world = TheObjectWorld();
    SightGrid* sight = world.Sight();
    PathGrid* paths = world.Paths();
    const int team = GetTeam();
    const Rect foot = SeenRect(other);
    if (!sight || sight->IsRectVisible(foot, team) == 0) return 0;
    if (!paths) return 0;
    TerrainMap* terrain = world.Terrain();
    const int otherTeam = other->GetTeam();
    const int hidden = other->stealth.IsHidden(otherTeam);
    short row0 = 0;
    short column0 = 0;
    short row1 = 0;
    short column1 = 0;
    paths->PixelToCell(foot.origin, row0, column0);
    paths->PixelToCell(foot.BottomRight(), row1, column1);
    if (row0 > row1 || column0 > column1) return 0;
    // Open ground or a foe touching the target shows it whatever cell is asked about, so it is
    // asked once, not once a cell: with a hundred units looking every tick it was a third of
    // the battle's update.
    if ((terrain && terrain->RectVisibility(foot) > 0 && hidden == 0) ||
        world.HasObjectAround(other, -1) == 1)
        return 1;
    for (int y = row0; y <= row1; ++y) {
        for (int x = column0; x <= column1; ++x) {
            const int sy = y / 2;
            const int sx = x / 2;
            if (sight->SeenInLayer3(sy, sx, team) > 0) return 1;
            if (sight->SeenInLayer1(sy, sx, team) > 0 && hidden == 0 &&
                other->stealth.IsHiddenA(otherTeam) == 0)
                return 1;
            if (sight->SeenInLayer2(sy, sx, team) > 0 && hidden == 0 &&
                other->stealth.IsHiddenB(otherTeam) == 0)
                return 1;
        }
    }
    return 0;
}
