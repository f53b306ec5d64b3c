#include "core/Animation.h"

#include <algorithm>

#include "core/Image.h"
#include "core/Sound.h"
#include "core/VoicePool.h"
#include "ui/ScreenBase.h"

Animation::Animation(Image* sprites, Sound* sound, VoicePool* voices)
    : sprites(sprites), sound(sound), voices(voices) {}

void Animation::Start(int32_t fps, bool forward) {
    framePeriod = 1000 / std::max(fps, 1);
    forwards = forward ? 1 : 0;
    frame = forward || !sprites ? 0 : sprites->LastFrameIndex();
    playing = 1;
    timer.period = framePeriod;
    timer.Start();
    if (!sound) return;
    if (voices) {
        voices->Play(sound);
    } else {
        sound->Play(0);
    }
}

void Animation::PlayForward(int32_t fps) {
    Start(fps, true);
}

void Animation::PlayBackward(int32_t fps) {
    Start(fps, false);
}

void Animation::Tick() {
    if (!playing || !timer.Expired()) return;
    const int32_t last = sprites ? sprites->LastFrameIndex() : 0;
    if (forwards) {
        if (++frame > last) {
            playing = 0;
            frame = last;
        }
    } else if (--frame < 0) {
        playing = 0;
        frame = 0;
    }
    if (playing) timer.Start();
}

void Animation::DrawShadeFilled(ScreenBase& screen, const Point& mapPoint, int32_t colour) {
    if (sprites) sprites->DrawFrameShadeFilled(screen.MapToScreen(mapPoint), frame, colour);
}

void Animation::DrawSilhouette(ScreenBase& screen, const Point& mapPoint, int32_t colour) {
    if (sprites) sprites->DrawFrameSilhouette(screen.MapToScreen(mapPoint), frame, colour, 0);
}

void Animation::DrawTinted(ScreenBase& screen, const Point& mapPoint, const ShadeTable& table) {
    if (sprites) sprites->DrawFrameTinted(screen.MapToScreen(mapPoint), frame, table, 0);
}
