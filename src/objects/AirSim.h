#pragma once
// The base of every unit that can leave the ground (carriers, capture units, aircraft). It
// lives on the low layer while landed and on the air layer while flying, raised above its map
// position by its altitude; it takes off and lands one altitude step at a time, holds its place
// on the other layer before it moves there, and keeps the other machines' copies in step: the
// owner moves into the held place only once every other player's copy has acknowledged.
#include <cstdint>
#include <memory>

#include "core/Point.h"
#include "core/SimId.h"
#include "objects/Sim.h"

class AirSim : public Sim {
public:
    // An altitude step waits this long (the climb for longer than it, the descent at least it).
    static constexpr int32_t kStepMs = 75;

    AirSim(const Point& position, const SimId& id, std::unique_ptr<VehicleDesign> design);
    ~AirSim() override;

    void Update(int elapsedMs) override;
    void Draw(ScreenBase& view) override;
    void DrawUnder(ScreenBase& view) override;
    void DrawSensed(ScreenBase& view, const ShadeTable* table) override;
    int IsLanded() override { return Landed() ? 1 : 0; }
    int CanBeLoaded() override { return Landed() ? 1 : 0; }
    void Parse(char key, const char* text) override;
    void Write(ResourceFile& file, char* buffer, int bufferSize) override;
    int IsFlyer() override { return 1; }
    Point GetDrawOrigin() override;
    int GetCruiseAltitude() override { return groundAltitude; }
    void SetAirLayer() override;
    int StepMovement() override;
    int AdvanceGoals() override;
    // Lets a held place go, so that a flyer that dies in a layer change leaves none behind.
    void Destroy() override;

    virtual void Land();
    virtual int ShouldLand();
    virtual int ShouldTakeOff();

    // Receivers of the altitude commands on the copies, and the owner's count of answers.
    void StartAltitudeChange(int targetLayer, const Point& p);
    void EndAltitudeChange(const Point& p);
    void ApplyAltitudeStep(const Point& at, const Point& p);
    void CountAltitudeAck() { ++acknowledgements; }

    int32_t climbing = 0;
    int32_t descending = 0;
    int32_t stepTime = 0;
    int32_t airLayer = 2;
    int32_t lowLayer = 1;
    int32_t groundAltitude = 10;
    int32_t altitude = 10;
    int32_t climbBlocked = 0;
    int32_t landingBlocked = 0;
    int32_t changeConfirmed = 1;
    Point pendingPoint;
    SimId reservation;
    int32_t pendingLayer = 0;
    int32_t acknowledgements = 0;

protected:
    bool Landed() const { return collision.layer != airLayer && climbing == 0 && descending == 0; }
    // Whether this machine simulates the flyer and it stands on the map (not carried).
    bool Steers() const { return local == 1 && onMap == 1; }
    // The owner goes on once every other player's copy has answered; a player who left lowers
    // the count, so nothing waits for a machine that is gone.
    static bool AllAnswered(int32_t answers);

private:
    void ClimbTick(int elapsedMs);
    void DescentTick(int elapsedMs);
    // Into the held place on the layer; the hold is used up.
    void MoveIntoReservation(int layer);
    // Announces a layer change just held for; copies must answer before the owner moves.
    void AnnounceChange(int layer);
};
