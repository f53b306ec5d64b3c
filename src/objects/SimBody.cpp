#include "objects/SimBody.h"

#include <algorithm>

#include "catalogue/TemplateCatalogue.h"
#include "core/Rect.h"
#include "core/SpriteSet.h"
#include "map/TerrainMap.h"
#include "objects/ObjectWorld.h"
#include "ui/ScreenBase.h"

namespace {

int64_t Area(const Rect& r) {
    return int64_t{r.extent.w} * r.extent.h;
}

// The union of every frame's rectangle, each of the frame's size round its hot spot.
Rect FramesRect(Image* pictures, const Point& shift) {
    Rect all;
    bool first = true;
    for (int32_t i = 0; i <= pictures->LastFrameIndex(); ++i) {
        const Rect r(pictures->CentreOffsetOf(i) + shift, pictures->SizeOf(i), 'c');
        if (first)
            all = r;
        else
            all.Union(r);
        first = false;
    }
    return all;
}

// The frame sequence of a facing, or null.
Image* Sequence(SpriteSet* sprites, int facing) {
    if (!sprites || facing < 0 || facing > sprites->LastFrameIndex()) return nullptr;
    return sprites->SubImage(facing);
}

const ShadeTable* Shadow() {
    TerrainMap* terrain = TheObjectWorld().Terrain();
    return terrain ? terrain->ShadeTable1() : nullptr;
}

const ShadeTable* Ghost() {
    TerrainMap* terrain = TheObjectWorld().Terrain();
    return terrain ? terrain->ShadeTable2() : nullptr;
}

}  // namespace

SimBody::SimBody(SpriteSet* drivePictures, SpriteSet* chassisPictures, SpriteSet* shadowPictures,
                 SpriteSet* extraPictures, int height, int colour, int grounded,
                 int animationPeriod, int chassisShadowFlag, int driveShadowFlag)
    : driveSprites(drivePictures),
      shadowSprites(shadowPictures),
      chassisSprites(chassisPictures),
      height(height),
      colour(colour),
      grounded(grounded),
      frameTimer(animationPeriod),
      extraSprites(extraPictures),
      basePeriod(animationPeriod) {
    Rect chassisRect;
    if (chassisSprites) chassisRect = FramesRect(chassisSprites, Point());
    extent = chassisRect.extent;
    radius = (extent.w + extent.h) / 4;
    // The body counts as one tile or a little more, never anything between.
    radius = radius < kTileSize ? kTileSize - 1 : kTileSize + 1;
    Rect driveRect;
    if (driveSprites) {
        bool first = true;
        for (int32_t f = 0; f <= driveSprites->LastFrameIndex(); ++f) {
            Image* sequence = driveSprites->SubImage(f);
            if (!sequence) continue;
            const Rect r = FramesRect(sequence, Point(0, -height));
            if (first)
                driveRect = r;
            else
                driveRect.Union(r);
            first = false;
        }
        extent = driveRect.extent;
    }
    if (chassisShadowFlag == 1)
        chassisShadow = 1;
    else if (driveShadowFlag == 1)
        chassisShadow = 0;
    else if (driveSprites && Area(driveRect) > Area(chassisRect))
        chassisShadow = 0;
    else
        chassisShadow = 1;
}

int SimBody::LastFrameIndex() const {
    Image* first = Sequence(driveSprites, 0);
    return first ? first->LastFrameIndex() : -1;
}

int32_t SimBody::AnimationPeriod() const {
    return std::max(1, 5 * SpeedAdjustment + basePeriod);
}

void SimBody::StartAnimation() {
    if (animating == 1) return;
    animating = 1;
    if (LastFrameIndex() > 0) frame = 1;
    frameTimer.period = AnimationPeriod();
    frameTimer.Start();
}

void SimBody::StopAnimation() {
    animating = 0;
    frame = 0;
    frameTimer.state = TimerState::New;
}

void SimBody::AdvanceFrame() {
    const int n = LastFrameIndex();
    if (frame < n)
        ++frame;
    else
        frame = n > 0 ? 1 : 0;
    if (extraSprites) {
        ++extraFrame;
        if (extraFrame >= extraSprites->LastFrameIndex()) extraFrame = 0;
    }
}

void SimBody::Draw(ScreenBase& view, const Point& position, const Point& bob, int facing,
                   int hidden) {
    if (animating == 1 && frameTimer.Expired()) {
        frameTimer.period = AnimationPeriod();
        frameTimer.Start();
        AdvanceFrame();
    }
    const ShadeTable* ghost = Ghost();
    if (Image* drive = Sequence(driveSprites, facing)) {
        const Point at = view.MapToScreen(view.SnapToZoom(position, Point(0, -height)));
        const ShadeTable* shadow = Shadow();
        if (hidden == 1) {
            if (ghost) drive->DrawFrameTinted(at, frame, *ghost, 0);
        } else if (grounded == 1 && shadow) {
            drive->DrawFrameShaded(at, frame, *shadow);
        } else {
            drive->DrawFrameShadeFilled(at, frame, colour);
        }
    }
    if (!chassisSprites) return;
    const Point at = view.MapToScreen(view.SnapToZoom(position, bob));
    if (hidden == 1) {
        if (ghost) chassisSprites->DrawFrameTinted(at, facing, *ghost, 0);
    } else {
        chassisSprites->DrawFrameShadeFilled(at, facing, colour);
    }
}

void SimBody::DrawSensed(ScreenBase& view, const Point& position, const Point& bob, int facing,
                         const ShadeTable* table) {
    const int32_t tick = TheObjectWorld().TickCount();
    if (animating == 1 && tick > lastTick + 1) {
        lastTick = tick;
        AdvanceFrame();
    }
    if (!table) return;
    if (Image* drive = Sequence(driveSprites, facing)) {
        const Point at = view.MapToScreen(view.SnapToZoom(position, Point(0, -height)));
        drive->DrawFrameTinted(at, frame, *table, grounded);
    }
    if (chassisSprites) {
        const Point at = view.MapToScreen(view.SnapToZoom(position, bob));
        chassisSprites->DrawFrameTinted(at, facing, *table, 0);
    }
}

void SimBody::DrawShadow(ScreenBase& view, const Point& position, const Point& bob, int facing,
                         const Point& offset) {
    const ShadeTable* shadow = Shadow();
    if (!shadow) return;
    if (shadowSprites) {
        shadowSprites->DrawFrameTinted(view.MapToScreen(position), facing, *shadow, 0);
        return;
    }
    Image* drive = Sequence(driveSprites, facing);
    if (drive && chassisShadow == 0) {
        const Point at = view.MapToScreen(view.SnapToZoom(position, Point(0, -height) + offset));
        drive->DrawFrameTinted(at, frame, *shadow, 0);
    } else if (chassisSprites) {
        const Point at = view.MapToScreen(view.SnapToZoom(position, bob + offset));
        chassisSprites->DrawFrameTinted(at, facing, *shadow, 0);
    }
}
