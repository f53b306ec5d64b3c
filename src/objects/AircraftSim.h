#pragma once
// A flying unit that burns fuel while airborne and needs its team's refuelling structure (a
// deployed structure of code 4): without fuel, or without such a structure, it cannot take off,
// lands by itself and moves at half speed. Its special action sends it to the nearest such
// structure to refuel.
#include <cstdint>
#include <memory>

#include "objects/AirSim.h"

class AircraftSim : public AirSim {
public:
    static constexpr int32_t kFullTankMs = 120000;
    static constexpr int kRefuelCode = 4;
    static constexpr int kRefuelPercent = 50;
    static constexpr int kRefuelPriority = 4;
    static constexpr int kFuelMeterColour = 111;
    static constexpr int kFuelMeterDrop = 64;
    static constexpr int kRefuelParam = 99;

    AircraftSim(const Point& position, const SimId& id, std::unique_ptr<VehicleDesign> design);
    ~AircraftSim() override;

    void Update(int elapsedMs) override;
    void DrawUnder(ScreenBase& view) override;
    void BuildManoeuvreList() override;
    int GetMoveDelay() override;
    void SetFuelCapacity(int n) override { fuelCapacity = n; }
    int GetFuel() override { return fuel; }
    int AddFuel(int n) override;
    int IsFuelFull() override { return fuel >= fuelCapacity ? 1 : 0; }
    int GetFuelPercent() override;
    void Parse(char key, const char* text) override;
    void Write(ResourceFile& file, char* buffer, int bufferSize) override;
    int IsFlyer() override;
    int HasSpecialAction() override { return 1; }
    void SpecialAction() override;
    void SetAirLayer() override;
    int ShouldLand() override;
    int ShouldTakeOff() override;

    int32_t fuel = kFullTankMs;
    int32_t fuelCapacity = kFullTankMs;

private:
    // Fuel left and a refuelling structure standing: the aircraft may fly.
    bool MayFly();
    void AddRefuelManoeuvre();
};
