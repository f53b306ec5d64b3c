#pragma once
// The tutorial (mission 12): a scripted player on the player's own team that runs no squads.
// It walks eleven steps (build a miner, a scout and a detection relay, deploy the relay, find
// the second ore field, move the factory onto it, build assault hovers and a weapon relay,
// find and destroy the enemy), advanced by the events the player's actions raise, and answers
// each with a hint on the status line.
#include <cstdint>
#include <string>

#include "ai/AIPlayer.h"
#include "core/NodeList.h"
#include "core/SimId.h"

class GameObject;
class VehicleDesign;

class TutorialScript : public AIPlayer {
public:
    static constexpr int32_t kLastStep = 10;
    static constexpr int32_t kEnemyTeam = 2;
    static constexpr int32_t kDepositSerial = 127;
    static constexpr int32_t kHovers = 3;
    // The hint that is not posted again while it shows.
    static constexpr int kOnTheOreHint = 247;

    // The battle screen's and the objects' events the tutorial follows.
    enum TutorialEvent : int32_t {
        kUnitReleased = 1,
        kDesignChosen = 14,
        kDesignQueued = 15,
        kSelected = 16,
        kDeselected = 17,
        kOrderGiven = 18,
        kPanelOpened = 19,
        kPanelClosed = 20,
    };

    TutorialScript(int32_t team, char clan, int32_t techLevel);
    ~TutorialScript() override;

    void OnEvent(int32_t kind, void* a, void* b) override;
    void Setup(int level) override;
    // Makes sure each tutorial design is in the library in its expected form.
    void PrepareDesigns() override;
    void Update(Timer& budget) override;

    // The ore field the factory is to be moved onto.
    static SimId DepositId() { return SimId(0, kDepositSerial); }

    SimId factoryLink;
    int32_t step = 0;
    int32_t panelClosed = 0;
    // An owned copy: the library's design it came from may be deleted or renamed while the
    // tutorial runs (by PrepareDesigns or the design screen).
    std::string chosenDesign;
    int32_t count = 0;
    int32_t attackHintShown = 0;
    // Of SimIdNode: the enemy objects to find in step 8.
    NodeList watchList;
    int32_t seen = 0;

private:
    void Hint(int line);
    bool Chosen(const char* name) const { return chosenDesign == name; }
    // The linked object of the local factory is the tutorial's ore field.
    bool FactoryOnDeposit() const;
    bool VisibleToTeam(GameObject* object) const;
    void OnDesignChosen(const char* name);
    void OnDesignQueued(VehicleDesign* design);
    void OnSelected(GameObject* object);
    void OnDeselected(GameObject* object);
    void OnOrderGiven(GameObject* object);
    void OnPanelOpened();
    void OnPanelClosed();
    void WatchEnemy();
    void FightEnemy();
};
