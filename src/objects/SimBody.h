#pragma once
// The drive and chassis picture of a unit: the drive animates while the unit moves, the chassis
// turns with it, and a flyer casts a shadow. Drawn by the unit each frame.
#include <cstdint>

#include "core/Point.h"
#include "core/Size.h"
#include "core/Timer.h"

class ScreenBase;
class ShadeTable;
class SpriteSet;

class SimBody {
public:
    static constexpr int kTileSize = 32;

    // The pictures are not owned; each may be null.
    SimBody(SpriteSet* drivePictures, SpriteSet* chassisPictures, SpriteSet* shadowPictures,
            SpriteSet* extraPictures, int height, int colour, int grounded, int animationPeriod,
            int chassisShadowFlag, int driveShadowFlag);

    void Draw(ScreenBase& view, const Point& position, const Point& bob, int facing, int hidden);
    void DrawSensed(ScreenBase& view, const Point& position, const Point& bob, int facing,
                    const ShadeTable* table);
    void DrawShadow(ScreenBase& view, const Point& position, const Point& bob, int facing,
                    const Point& offset);
    void StartAnimation();
    void StopAnimation();
    // The last frame index of the first facing's drive sequence; -1 without drive pictures.
    int LastFrameIndex() const;
    // Advances the drive frame (and the extra pictures' frame) by one.
    void AdvanceFrame();

    SpriteSet* driveSprites;
    SpriteSet* shadowSprites;
    SpriteSet* chassisSprites;
    int32_t frame = 0;
    int32_t animating = 0;
    int32_t lastTick = 0;
    Size extent;
    int32_t height;
    int32_t radius = 0;
    int32_t colour;
    int32_t grounded;
    Timer frameTimer;
    SpriteSet* extraSprites;
    int32_t extraFrame = 0;
    int32_t chassisShadow = 0;
    int32_t basePeriod;

private:
    int32_t AnimationPeriod() const;
};
