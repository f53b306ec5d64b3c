#pragma once
// Mission 9 of the first clan, run by two teams: team 2 waits three minutes; team 4 holds its
// production for seven minutes (or until team 2 loses its factory), builds pods while team 2
// lives, and sends its capture units against team 2's units once team 2's factory is gone.
#include <cstdint>

#include "ai/MissionScript.h"

class MissionScriptV9 : public MissionScript {
public:
    static constexpr int32_t kLateTeam = 4;
    static constexpr int32_t kWatchedTeam = 2;
    static constexpr int32_t kCaptureCode = 8;
    static constexpr int32_t kMinimumSize = 10;
    static constexpr int32_t kAwakeSize = 3;
    static constexpr int32_t kLateWaitMs = 420000;
    static constexpr int32_t kWaitMs = 180000;
    static constexpr int kMoveFlags = 0xd;
    static constexpr int kAttackOrder = 2;
    static constexpr int kAttackFlags = 0xb;
    static constexpr const char* kPod = "TPt-------399199212299Pod";

    MissionScriptV9(int32_t team, char clan, int32_t techLevel)
        : MissionScript(team, clan, techLevel) {}
    ~MissionScriptV9() override;

    // Without a factory every event is dropped.
    void OnEvent(int32_t kind, void* a, void* b) override;
    void Setup(int level) override;
    // Nothing at all without a factory.
    void Update(Timer& budget) override;

private:
    void OnNewUnit(const SimId& id);
    void OnCaptured(GameObject* capturer, GameObject* captured);
    // The squad of the code, made without a manoeuvre when missing.
    Squad& PlainSquad(int32_t code);
    // The watched team's object nearest to the point (the first of equal distances); null
    // while the watched team keeps its factory or this is the watched team.
    GameObject* NearestWatched(const Point& from);
    bool WatchedHasFactory();
};
