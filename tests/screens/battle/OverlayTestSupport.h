#pragma once
// The battle screen's overlays on the made sample assets: the front-end fixture with the
// World's accept and refusal sounds counted.
#include <memory>
#include <string>

#include "core/Settings.h"
#include "core/Sound.h"
#include "core/VoicePool.h"
#include "screens/FrontEndTestFixture.h"

class CountedSound : public Sound {
public:
    // Distinct entries: the voice pool restarts a listed sound of the same entry instead.
    CountedSound(int entry, int& plays) : Sound(entry), plays(plays) {}
    void Play(int /*loop*/) override { ++plays; }
    int& plays;
};

class OverlayTest : public FrontEndTest {
protected:
    void SetUp() override {
        FrontEndTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        World& w = *f->world;
        w.voices = std::make_unique<VoicePool>(8);
        w.confirmSound = std::make_unique<CountedSound>(23, accepted);
        w.refuseSound = std::make_unique<CountedSound>(24, refused);
    }
    // "accept", "refuse", or how many of each since the last call.
    std::string Sounds() {
        std::string heard =
            std::to_string(accepted) + " accept, " + std::to_string(refused) + " refuse";
        accepted = refused = 0;
        f->world->voices->StopAll();
        return heard;
    }
    // The [OPTIONS] key of QX.INI, empty when absent.
    static std::string Option(const char* key) {
        char value[64] = {};
        return ReadProfileValue("QX", "OPTIONS", key, value, sizeof value) ? value : "";
    }
    void MoveTo(const Point& p) { Post(InputKind::MouseMove, p, 0); }

    int accepted = 0;
    int refused = 0;
};
