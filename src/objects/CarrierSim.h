#pragma once
// One of a linked pair of carriers. A carrier that has come to rest unfolds; a unit whose
// transport goal brought it here is taken in, pulled to the centre and, after a pause, handed
// to the partner, which holds a place at one of its docks, shows the unit at its own centre
// and lets it roll out there. Both must be unfolded and idle, and their team must own a
// refuelling structure (code 4). A carrier whose partner is gone destroys itself and its cargo.
//
// The carried unit is named by its id and looked up on every use: it stays listed while
// aboard and may be shot or destroyed there.
#include <cstdint>
#include <memory>

#include "core/Point.h"
#include "core/SimId.h"
#include "core/Timer.h"
#include "objects/AirSim.h"

class CarrierChassisTemplate;

class CarrierSim : public AirSim {
public:
    // The carrier states (see the source for the road between them).
    enum State : int32_t {
        kFolded = 0,
        kUnfolding = 1,
        kFolding = 2,
        kReady = 3,
        kTakingIn = 4,
        kLettingOut = 5,
        kSending = 7,
    };
    enum Phase : int32_t { kNoTransfer = 0, kTakingUnitIn = 1, kLettingUnitOut = 2 };
    static constexpr int32_t kUnfoldMs = 50;
    static constexpr int32_t kReadyMs = 100;
    static constexpr int32_t kSendMs = 1000;
    static constexpr int kRefuelCode = 4;
    static constexpr int kDockFlags = 16;
    static constexpr double kPullStep = 2.0;

    CarrierSim(const Point& position, const SimId& id, std::unique_ptr<VehicleDesign> design);
    ~CarrierSim() override;

    void Update(int elapsedMs) override;
    void Draw(ScreenBase& view) override;
    void DrawUnder(ScreenBase& view) override;
    void DrawSensed(ScreenBase& view, const ShadeTable* table) override;
    int IsSelectable() override { return 0; }
    void Parse(char key, const char* text) override;
    void Write(ResourceFile& file, char* buffer, int bufferSize) override;
    int StepMovement() override;
    // Lets a held drop place go.
    void Destroy() override;

    // Called by the transport goal of a unit that has reached the carrier: 1 when the unit is
    // taken (on a copy: when it may be; command 47 takes it there).
    int TryLoad(GameObject* unit);
    int CanLoad(int checkPartner, GameObject* unit);
    // Asked of the partner when a unit is handed over: 1 when a dock place was held for it.
    int Receive(GameObject* unit);
    void SetPartner(const SimId& id) { partner = id; }
    const SimId& Partner() const { return partner; }
    // The unit aboard, or null (also when it is gone or destroyed).
    GameObject* Carried();

    // Receivers of the carrier commands on the copies, and the owner's count of answers.
    void ApplyPickUp(const SimId& unitId);
    void BeginCarry(GameObject* unit, const Point& p);
    void MoveCarried(const Point& p);
    void ApplyDrop();
    void ResetCarry();
    void CountDropAck() { ++dropAcknowledgements; }

    int32_t transferPhase = kNoTransfer;
    int32_t carrierState = kFolded;
    int32_t carrierFrame = 0;
    int32_t overlayFrame = 0;
    int32_t sequence = 0;
    Timer animationTimer{kUnfoldMs};
    Timer sendTimer{kSendMs};
    SimId partner;
    SimId carried;
    int32_t sendPending = 0;
    int32_t released = 1;
    int32_t overlayRunning = 1;
    Point dropPoint;
    SimId dropReservation;
    int32_t dropConfirmed = 1;
    int32_t dropAcknowledgements = 0;
    // 1 while the partner read from a record waits for the pairing check.
    int32_t partnerUnchecked = 0;

private:
    // A partner read from a file holds only when it is another carrier that names this one:
    // two carriers naming one partner would overwrite each other's hand-overs. A link that
    // cannot hold is dropped (both stay, unpaired) with a trace line.
    void CheckReadPartner();
    CarrierChassisTemplate* Chassis() const;
    SpriteSet* Pictures() const;
    // The last frame index of a sequence of the unfolded pictures (0 without them, so every
    // frame test passes and the states still advance).
    int LastFrameOf(int sequenceIndex) const;
    void StepCarrierState();
    void StepTransfer(GameObject* unit);
    // Moves the unit at most two pixels toward the point and tells the copies.
    void PullToward(GameObject* unit, const Point& p);
    // The unit stands on the map again at the held place.
    void SetDown(GameObject* unit);
    // The unit aboard was lost: the held place goes, and the carrier is ready again.
    void LoseCargo();
    void LetPlaceGo();
    void PlayChassisSound();
    void StartTimer(int32_t period);
    void DrawFrames(ScreenBase& view, const ShadeTable* sensed);
};
