#pragma once
// An unarmed flyer sent at an enemy unit: when it reaches one it sacrifices itself and the enemy
// passes under its team's control, provided the team owns a standing structure of code 5. The
// owning machine decides, and every other machine applies that decision as it was made.
#include <memory>

#include "objects/AirSim.h"

class CaptureSim : public AirSim {
public:
    static constexpr int kCaptureCode = 5;
    static constexpr int kFlashCount = 9;
    static constexpr int kFlashColour = 10;
    static constexpr int kCaptureEvent = 13;

    CaptureSim(const Point& position, const SimId& id, std::unique_ptr<VehicleDesign> design);
    ~CaptureSim() override;

    void Update(int elapsedMs) override;
    int GetKind() override;
    // Always queued, though the unit carries no weapon.
    void OrderAttack(const SimId& target, int append, int allowManoeuvres, int finishOnArrival,
                     int toBack, int toFront) override;
    // A capture unit runs no manoeuvres, whoever owns it.
    void BuildManoeuvreList() override {}

    // The end of a capture run. On the owning machine the target (null: none) is tested; on a
    // copy the owner's decision (null: the attempt failed) is applied as it comes.
    void TakeOver(GameObject* target);
    // The hostile object under the unit's own control team that it has reached, or null.
    GameObject* FindCaptureTarget();

private:
    // The target may be taken (not a factory, not a carrier, not already captured, and the
    // team owns a capture structure).
    bool MayCapture(GameObject* target);
    void Fail();
};
