#include "ai/MissionScriptT5.h"

#include <memory>

#include "objects/AttackManoeuvre.h"
#include "objects/GameObject.h"
#include "objects/Squad.h"

MissionScriptT5::~MissionScriptT5() = default;

void MissionScriptT5::Setup(int level) {
    AIPlayer::Setup(level);
    for (GameObject* unit : TeamObjects(team)) {
        const int32_t word = unit->Purpose();
        if (word != 0) SquadOfCode(word).AddMember(*unit, 1);
    }
    StartScriptTimer(kPeriodMs);
}

void MissionScriptT5::SendNextWave(GameObject& target) {
    Squad* wave = nullptr;
    bool found = false;
    for (int32_t code = nextSquadCode; code <= kLastWaveCode && !found; ++code) {
        wave = FindSquadByKind(code);
        found = wave && wave->MemberCount() > 0;
    }
    // One past where the search started, not past the squad sent: after an empty squad the
    // squad sent may be sent again at the next action.
    if (found) ++nextSquadCode;
    if (!wave) return;
    wave->manoeuvres.DeleteAll();
    target.SetReferencePoint(team, target.GetPosition());
    wave->manoeuvres.Add(std::make_unique<AttackManoeuvre>(target.id));
}

void MissionScriptT5::Update(Timer& budget) {
    if (scriptTimer.Expired()) {
        if (GameObject* target = ChooseTarget()) SendNextWave(*target);
        scriptTimer.Start();
    }
    AIPlayer::Update(budget);
}
