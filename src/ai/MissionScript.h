#pragma once
// What every campaign mission's script shares: grouping the team's placed units into squads by
// their purpose words, the two handlers of new and lost units, the one-shot script timer, the
// production hold and the attack squad founded at set-up. Each mission derives from it and
// overrides a few of the scripted player's operations.
#include <cstdint>
#include <vector>

#include "ai/AIPlayer.h"

class GameObject;
class Squad;

class MissionScript : public AIPlayer {
public:
    static constexpr int32_t kSupport = 1;
    static constexpr int kDeployOrder = 1;
    static constexpr int kDeployFlags = 0x15;

    // Which units join the attack squad at set-up: the first of word 40, or all of them.
    enum class AttackVariant { FirstOnly, All };

    MissionScript(int32_t team, char clan, int32_t techLevel);
    ~MissionScript() override;

    // The squad of the code, made with a target assignment when missing.
    Squad& SquadOfCode(int32_t code);
    // The code-40 squad aimed at the chosen target (no retaliation, designs unchanged).
    Squad& FoundAttackSquad();
    // Squad 7 with a target assignment, the minimum attack size, then squad 1.
    void MakeBaseSquads(int32_t minimumSize);
    // Base squads, then one walk over the team's units in list order.
    void GroupA(int32_t minimumSize);
    void GroupB(int32_t minimumSize);
    // The walks alone, over base squads made before.
    void WalkA();
    void WalkB();
    // The objects of a team's Sim list in list order; none for a number that is no team.
    std::vector<GameObject*> TeamObjects(int32_t ofTeam) const;
    // For a target override that grows the attack size: +1 (up to cap) when target is given.
    GameObject* GrowAttackSize(GameObject* target, int32_t cap);
    // The local team's factory counted in squad 1 (nothing without either).
    void CountFactoryInSupport();
    // Kind 1 (new unit, b its SimId) and kind 2 (lost unit, a the unit); other kinds go to
    // the scripted player. Handler B has no deploying case.
    void HandleEventA(int32_t kind, void* a, void* b);
    void HandleEventB(int32_t kind, void* a, void* b);
    // Starts the one-shot timer; Fired answers 1 once when it is up, then never again.
    void StartScriptTimer(int32_t periodMs);
    int ScriptTimerFired();
    // Sets or clears the team factory's hold; nothing without a factory.
    void HoldProduction(int flag);
    // Once the script timer is up, the assembling squad attacks the local team's factory.
    void AttackLocalFactoryWhenTimerFires();

    static bool IsDeploying(GameObject* object);

private:
    void HandleEvent(int32_t kind, void* a, void* b, bool deploying);
};
