#pragma once
// The manager (id 2) of a planning controller that keeps its home squad: a formation round the
// team's economic anchors (factory, miners, repairers, structures), filled with combat units
// until the squad reaches its size limit or the team stands strong enough against its target.
#include <cstdint>

#include "ai/AIManager.h"

class Squad;

class BuildPlanner : public AIManager {
public:
    // By level 1 .. 5 (index 0 unused).
    static const int32_t kSizeLimit[6];
    static const int32_t kStrengthThreshold[6];
    static constexpr int32_t kHomeSquadKind = 1;
    static constexpr int kSpacing = 60;

    explicit BuildPlanner(AIController& owner);
    ~BuildPlanner() override;

    int Think() override;
    // Kinds 10, 11 and 12 (the pools changed, the factory idles) recentre the formation.
    void OnEvent(int32_t kind, void* a, void* b) override;
    // Units of purpose 1 join the home squad.
    int ClaimUnit(GameObject& unit, int32_t& squadId) override;

    // Counts an anchor in the home squad without making it the object's squad.
    void AddToSquad(GameObject& object);
    // The formation's centre: the weighted mean of the anchors' places.
    void Recentre();
    // The most members the home squad may have by the controller's aggressiveness.
    int SizeLimit() const;
    Squad* HomeSquad() const;

    int32_t squadId = 0;
    // 1 or 2: which armament flag the requests carry.
    int32_t armament;

private:
    // Counts the team's factory in the home squad once the controller can resolve the squad.
    void TakeFactory();
    // The team stands strong enough against the target team(s).
    bool StrongEnough() const;
};
