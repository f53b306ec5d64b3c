#include "objects/SensorSet.h"

#include "objects/ObjectWorld.h"

namespace {

// The structure query is made only when the flag already allows the answer 1.
int Active(int32_t flag, int team) {
    return flag == 1 && TheObjectWorld().TeamHasStructure(team, SensorSet::kSensorStructure) ? 1
                                                                                             : 0;
}

}  // namespace

int SensorSet::ExtraAActive(int team) const {
    return Active(sensorA, team);
}
int SensorSet::ExtraBActive(int team) const {
    return Active(sensorB, team);
}
int SensorSet::ExtraCActive(int team) const {
    return Active(sensorC, team);
}

void SensorSet::FitSensor(char letter) {
    if (letter == 'u') sensorA = 1;
    if (letter == 'v') sensorB = 1;
    if (letter == 'w') sensorC = 1;
}
