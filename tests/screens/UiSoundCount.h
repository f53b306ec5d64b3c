#pragma once
// Counts the plays of the World's accept and refusal sounds, so that a front-end test can say
// which of the two a player hears after each action.
#include <memory>

#include "core/Sound.h"
#include "core/VoicePool.h"
#include "world/World.h"

class UiSoundCounter : public Sound {
public:
    UiSoundCounter(int entry, int& plays) : Sound(entry), plays(plays) {}
    void Play(int /*loop*/) override { ++plays; }
    int IsPlaying() override { return 0; }
    void Stop() override {}
    int& plays;
};

struct UiSounds {
    void Install(World& w) {
        w.voices = std::make_unique<VoicePool>(8);
        w.confirmSound = std::make_unique<UiSoundCounter>(23, accepted);
        w.refuseSound = std::make_unique<UiSoundCounter>(24, refused);
    }
    // The voices go before the sounds they list.
    static void Remove(World& w) {
        if (w.voices) w.voices->StopAll();
        w.voices.reset();
        w.confirmSound.reset();
        w.refuseSound.reset();
    }
    void Clear() { accepted = refused = 0; }
    int accepted = 0, refused = 0;
};
