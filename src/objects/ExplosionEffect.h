#pragma once
// A short-lived picture sequence (an explosion, a hit flash, smoke) played once from a catalogue
// effect template, after an optional start delay and with its sound, standing at a point or
// following another object at an offset; it destroys itself after its last frame.
#include <cstdint>
#include <memory>

#include "objects/GameObject.h"

class EffectTemplate;
class Sound;

class ExplosionEffect : public GameObject {
public:
    // The template's start delay. Mode 1 plays the template's first sequence, mode 0 its second.
    ExplosionEffect(EffectTemplate* effect, const Point& position, const SimId& id,
                    const Point& offset, const SimId& followId, int mode);
    // With a start delay of the caller's.
    ExplosionEffect(EffectTemplate* effect, const Point& position, const SimId& id, int startDelay,
                    const Point& offset, const SimId& followId, int mode);
    ~ExplosionEffect() override;

    void Update(int elapsedMs) override;
    void Draw(ScreenBase& view) override;

    Sound* sound = nullptr;
    SpriteSet* animation = nullptr;
    int32_t frameCount = 0;
    // The chosen sequence of the template: picture index per frame; not owned.
    const int32_t* frameList = nullptr;
    int32_t elapsed = 0;
    int32_t currentFrame = 0;
    int32_t startDelay;
    SimId followId;
    int32_t framePeriod = 0;
    Point offset;

private:
    // Plays the sound when the local player sees the effect's place.
    void PlaySoundIfSeen();
};

// Shows an explosion of the template on a standing object (attached to it and following it)
// or, once the object is destroyed, at its place in the World's effect list.
void ShowExplosion(GameObject& object, EffectTemplate* explosion);
