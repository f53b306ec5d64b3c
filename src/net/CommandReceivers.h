#pragma once
// What the command executor asks of the unit classes it does not know: the factory, flyers,
// carriers, capture units, shots, the economy goals, the scenario and the screens. The executor
// decodes and checks every command itself, finds the objects and decides mirror or owner; it
// hands over only the action, with the objects found. Each answer here is "nothing happens"
// until the class that owns the action installs a receiver that does it.
#include <cstdint>
#include <memory>

#include "core/Point.h"
#include "core/SimId.h"
#include "core/Trace.h"

class GameObject;
class Goal;
struct SetupSettings;

class CommandReceivers {
public:
    virtual ~CommandReceivers() = default;

    // The factory's mirror (kinds 1, 3, 4, 5, 10, 27, 38) and owner (39).
    virtual void ApplyUnfoldState(GameObject* /*factory*/, int /*state*/) {}
    // Parses the design text and makes the product's mirror under the id.
    virtual void ApplyNewProduct(GameObject* /*factory*/, const char* /*designText*/,
                                 const SimId& /*unitId*/, int /*colour*/) {}
    virtual void MoveProduct(GameObject* /*factory*/, const Point& /*p*/) {}
    virtual void ReleaseProduct(GameObject* /*factory*/) {}
    virtual void SpawnUnit(GameObject* /*factory*/, const SimId& /*id*/, const Point& /*p*/,
                           const char* /*designText*/) {}
    virtual void RefitFactory(GameObject* /*factory*/, const char* /*designText*/) {}
    // Answers with kind 39.
    virtual void ReserveExit(GameObject* /*factory*/, const Point& /*p*/) {}
    virtual void CountExitAck(GameObject* /*factory*/) {}
    // Kind 55: the owner's cargo, store and credit of its factory.
    virtual void ApplyLedger(GameObject* /*factory*/, int32_t /*cargo*/, int32_t /*store*/,
                             int32_t /*credit*/) {}
    // The factory byte of a factory made from kind 11.
    virtual void SetFactoryByte(GameObject* /*factory*/, int /*value*/) {}

    // The goals of kind 8 whose classes the executor does not make itself: mining (3, on the
    // object found), scavenge (4, on the wreck found), repair (5), unload (6), refuel (8).
    // Null: no goal (the object's goals are just cleared).
    virtual std::unique_ptr<Goal> MakeGoal(int /*type*/, const SimId& /*owner*/,
                                           const SimId& /*object*/, const Point& /*p*/) {
        return nullptr;
    }

    // Shots: the mirror of a shot another machine fired (kind 12; the executor answers with
    // kind 36 itself), its answer on the shooter's owner (36), the firing timer (21).
    virtual void FireWeapon(GameObject* /*shooter*/, GameObject* /*target*/, char /*clan*/,
                            char /*role*/, int /*mount*/, const SimId& /*shotId*/, int /*value*/) {}
    virtual void CountShotAck(GameObject* /*shooter*/, int /*mount*/) {}
    virtual void StartFiringTimer(GameObject* /*object*/) {}

    // Flyers (kinds 18, 19, 20; 43 on the owner).
    virtual void StartAltitudeChange(GameObject* /*flyer*/, int /*direction*/, const Point& /*p*/) {
    }
    virtual void ApplyAltitudeStep(GameObject* /*flyer*/, const Point& /*position*/,
                                   const Point& /*altitude*/) {}
    virtual void EndAltitudeChange(GameObject* /*flyer*/, const Point& /*altitude*/) {}
    virtual void CountAltitudeAck(GameObject* /*flyer*/) {}

    // Carriers (kinds 47, 48 (answers with 49), 50, 51, 52; 49 on the owner).
    virtual void ApplyPickUp(GameObject* /*carrier*/, const SimId& /*unitId*/) {}
    virtual void BeginCarry(GameObject* /*carrier*/, GameObject* /*unit*/, const Point& /*p*/) {}
    virtual void CountDropAck(GameObject* /*carrier*/) {}
    virtual void MoveCarried(GameObject* /*carrier*/, const Point& /*p*/) {}
    virtual void ApplyDrop(GameObject* /*carrier*/) {}
    virtual void ResetCarry(GameObject* /*carrier*/) {}

    // Capture units (kind 53); the target may be null.
    virtual void TakeOver(GameObject* /*captureUnit*/, GameObject* /*target*/) {}

    // An artifact made on another machine (kind 34) with its effect.
    virtual void MakeArtifact(const SimId& /*id*/, const Point& /*p*/, int /*value*/) {}

    // The set-up screen (kinds 24, 25, 26) and the game speed (25, 40: the speed global, 3
    // minus the menu speed).
    virtual void ApplyPeerSettings(const SetupSettings& /*settings*/, int /*start*/,
                                   int /*leave*/) {}
    virtual void SetGameSpeed(int /*speedGlobal*/) {}
    // The battle screen's reveal-map switch (kind 31).
    virtual void SetRevealMap(int /*value*/) {}

    // A command its sender may not send was dropped: the line names the slot, its player and
    // the kind.
    virtual void Refused(const char* line) { Trace(line); }
    // A peer's hit report (kind 7) or wreck (13) was applied: the line names the slot, its
    // player, the kind, the shooter's or the dead object's kind, and how long ago a shooter gone
    // here died or how far the wreck lay from its death. With the refusals, a run of honest
    // machines shows that none of their words about deaths was refused, and by what margin.
    virtual void Applied(const char* line) { Trace(line); }
};
