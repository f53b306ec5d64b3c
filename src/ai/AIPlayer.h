#pragma once
// The computer opponent of a campaign mission and the base of the tutorial: no managers and no
// production planning, only a flat list of squads tagged with purpose codes. Code 7 squads
// assemble and are launched against a target once they are large enough; code 40 squads run
// that attack. A mission script decides the rest by overriding the virtual operations.
#include <cstdint>

#include "ai/AIController.h"
#include "core/NodeList.h"
#include "core/Timer.h"

class GameObject;
class Squad;

class AIPlayer : public AIController {
public:
    static constexpr int32_t kAssembling = 7;
    static constexpr int32_t kAttacking = 40;

    AIPlayer(int32_t team, char clan, int32_t techLevel);
    ~AIPlayer() override;

    // Only the kinds the planning controller shares with the scripts (3, 5, 9, 13) go on; its
    // own production bookkeeping (1, 2) is not used here.
    void OnEvent(int32_t kind, void* a, void* b) override;
    Squad* FindSquad(int32_t squadId) override;
    // Builds the grid and takes the team's factory and units; no managers, no squads.
    void Setup(int level) override;
    void Update(Timer& budget) override;
    void PauseTimers() override;
    void ResumeTimers() override;
    int UpdateSquads(Timer* budget) override;
    // 0 becomes 1, above 5 becomes 5.
    void SetLevel(int newLevel) override;
    // 1 when the squad was sent against a target.
    virtual int LaunchAttack(Squad& squad);
    // The object the squads attack: the local team's factory, or null. Scripts override it.
    virtual GameObject* TargetObject();

    // TargetObject, never a destroyed object nor one of an allied team (null then: squads keep
    // assembling).
    GameObject* ChooseTarget();
    Squad* FindSquadByKind(int32_t code) const;
    // Launch steps after the checks: the squad attacks the target, its members retaliate and
    // attack on their own.
    void SendSquad(Squad& squad, GameObject& target);
    // A new squad of this team with the purpose code (stamped), before every squad listed
    // (append 0) or after them (append 1).
    Squad& AddSquad(int32_t code, int append = 0);
    // Queues the design code at the team factory (front 1 first); nothing without a factory.
    void BuildDesign(const char* designCode, int front);
    // The team's factory production controls, or null.
    FactoryProduction* FactoryControls() const;

    // Of Squad, owned; newest first unless appended.
    NodeList squads;
    Timer scriptTimer{-1};
    int32_t minimumAttackSize = 1;
    int32_t attacksLaunched = 0;
};
