#pragma once
// The sensor parts a map object carries, and whether each special sensor works for a team:
// only while the team owns a working structure of code 0.
#include <cstdint>

class SensorSet {
public:
    static constexpr int kSensorStructure = 0;

    SensorSet() = default;
    virtual ~SensorSet() = default;

    int ExtraAActive(int team) const;
    int ExtraBActive(int team) const;
    int ExtraCActive(int team) const;
    // Clears the three sensor flags, then sets the one a part letter names ('u' A, 'v' B,
    // 'w' C); other letters set nothing.
    void ClearSensors() { sensorA = sensorB = sensorC = 0; }
    void FitSensor(char letter);

    // A sight disc of its own in the sight grid.
    int32_t viewer = 1;
    int32_t sensorA = 0;
    int32_t sensorB = 0;
    int32_t sensorC = 0;
};
