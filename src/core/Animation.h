#pragma once
// Steps through the frames of a sprite set at a chosen rate, forwards or backwards, once, and
// may start a sound when it begins. The frame shown stays drawn after the run ends.
#include <cstdint>

#include "core/Point.h"
#include "core/Timer.h"

class Image;
class ScreenBase;
class ShadeTable;
class Sound;
class VoicePool;

class Animation {
public:
    // Borrows the sprites, the sound and the voice pool (either may be null).
    explicit Animation(Image* sprites, Sound* sound = nullptr, VoicePool* voices = nullptr);
    virtual ~Animation() = default;

    // Frame period 1000 / fps (a rate below 1 counts as 1); starts the sound.
    void PlayForward(int32_t fps);
    void PlayBackward(int32_t fps);
    // Call once per frame: steps when the frame timer expired, and stops on the last frame.
    void Tick();

    // The frame at the screen position of a map point.
    void DrawShadeFilled(ScreenBase& screen, const Point& mapPoint, int32_t colour);
    void DrawSilhouette(ScreenBase& screen, const Point& mapPoint, int32_t colour);
    void DrawTinted(ScreenBase& screen, const Point& mapPoint, const ShadeTable& table);

    Image* sprites;
    Sound* sound;
    int32_t framePeriod = 100;
    int32_t frame = 0;
    int32_t forwards = 1;
    int32_t playing = 0;
    Timer timer{100};
    VoicePool* voices;

private:
    void Start(int32_t fps, bool forward);
};
