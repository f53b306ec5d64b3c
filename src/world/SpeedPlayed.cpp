#include "world/SpeedPlayed.h"

#include <algorithm>

#include "catalogue/TemplateCatalogue.h"

void SpeedPlayed::Change(int adjustment, int32_t battleMs) {
    const int speed = std::clamp(adjustment, kFastest, kSlowest);
    const int left = std::clamp(SpeedAdjustment, kFastest, kSlowest);
    if (speed != left) leftAtMs[static_cast<size_t>(left - kFastest)] = battleMs;
    SpeedAdjustment = speed;
}

bool SpeedPlayed::InPlay(int adjustment, int32_t battleMs, int32_t flownMs) const {
    if (adjustment < kFastest || adjustment > kSlowest) return false;
    if (adjustment == std::clamp(SpeedAdjustment, kFastest, kSlowest)) return true;
    const int32_t left = leftAtMs[static_cast<size_t>(adjustment - kFastest)];
    return left != kNever && int64_t{battleMs} - left <= flownMs;
}

void SpeedPlayed::Clear() {
    leftAtMs.fill(kNever);
}
