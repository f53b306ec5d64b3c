#include "catalogue/CatalogueFigures.h"

#include <algorithm>

#include "catalogue/ChassisTemplate.h"
#include "catalogue/MountTemplate.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/VehicleDesign.h"
#include "catalogue/WeaponTemplate.h"

CatalogueFigures TheCatalogueFigures;

namespace {

// The dearest record of a part list; with a chassis, of the mounts hardpoint h of it takes.
int64_t DearestOf(const NodeList& list, const ChassisTemplate* chassis = nullptr, int h = 0) {
    int64_t dearest = 0;
    for (ListNode* n = list.First(); n; n = list.Next(n)) {
        const auto* t = static_cast<const Template*>(n);
        if (chassis &&
            !VehicleDesign::FitsHardpoint(static_cast<const MountTemplate*>(t), h, chassis))
            continue;
        dearest = std::max(dearest, int64_t{t->firstCost});
    }
    return dearest;
}

}  // namespace

void CatalogueFigures::WorkOut() {
    Clear();
    // A shot's flight is the shots' own model's (ShotFlight), which knows each class's steps.
    for (ListNode* n = WeaponList.First(); n; n = WeaponList.Next(n)) {
        const auto* weapon = static_cast<const WeaponTemplate*>(n);
        longestReach = std::max(longestReach, weapon->GetRange());
    }
    for (ListNode* n = ChassisList.First(); n; n = ChassisList.Next(n)) {
        const auto* chassis = static_cast<const ChassisTemplate*>(n);
        int64_t value = int64_t{chassis->firstCost} + DearestOf(PartList);
        for (int h = 0; h < chassis->hardpointCount; ++h) {
            int64_t part = 0;
            for (const NodeList* list :
                 {&WeaponList, &SensorItemList, &DefenceItemList, &StealthItemList})
                part = std::max(part, DearestOf(*list, chassis, h));
            value += part;
        }
        dearestDesign = std::max(dearestDesign, value);
    }
}
