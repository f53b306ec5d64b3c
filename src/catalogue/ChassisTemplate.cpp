#include "catalogue/ChassisTemplate.h"

#include <algorithm>

#include "catalogue/CatalogueMedia.h"
#include "catalogue/TemplatePictures.h"
#include "core/Sound.h"
#include "core/SpriteSet.h"

ChassisTemplate::ChassisTemplate(const ChassisValues& v)
    : Template(v),
      strength(v.strength),
      moveValue(v.moveValue),
      hardpointCount(std::clamp<int32_t>(v.hardpointCount, 0, kMaxHardpoints)),
      designPanelIndex(v.designPanelIndex),
      pairing(v.pairing),
      unitPanelIcon(v.unitPanelIcon) {
    if (!v.mapPicturesName.empty()) mapPictures = Media().LoadColumn(v.mapPicturesName);
    if (!v.panelPicturesName.empty()) panelPictures = Media().OpenStreamed(v.panelPicturesName);

    // The tables always hold exactly hardpointCount entries, whatever the caller gave.
    capacities.assign(hardpointCount, 0);
    for (int h = 0; h < hardpointCount && h < static_cast<int>(v.capacities.size()); ++h)
        capacities[h] = v.capacities[h];
    mountOffsets.assign(static_cast<size_t>(hardpointCount) * 16, Point());
    const Size mapFrame = FirstFrameSize(mapPictures.get());
    for (size_t i = 0; i < mountOffsets.size() && i < v.mountOffsets.size(); ++i)
        mountOffsets[i] = CentredOn(v.mountOffsets[i], mapFrame);

    const Size panelFrame = FirstFrameSize(panelPictures.get());
    for (int h = 0; h < hardpointCount; ++h) {
        designMountPoints[h] = CentredOn(v.designMountPoints[h], panelFrame);
        slotOrder[h] = v.hasSlotOrder ? v.slotOrder[h] : h;
        secondPoints[h] = v.secondPoints[h];
    }
}

ChassisTemplate::~ChassisTemplate() = default;

Point ChassisTemplate::PreviewMountPoint(int h) const {
    if (h < 0 || h >= kMaxHardpoints) return Point();
    return designMountPoints[h];
}

Point ChassisTemplate::MountOffset(int h, int facing) const {
    if (h < 0 || h >= hardpointCount || facing < 0 || facing >= 16) return Point();
    return mountOffsets[static_cast<size_t>(h) * 16 + facing];
}

int32_t ChassisTemplate::Capacity(int h) const {
    if (h < 0 || h >= hardpointCount) return 0;
    return capacities[h];
}

int32_t ChassisTemplate::SlotAt(int k) const {
    if (k < 0 || k >= kMaxHardpoints) return 0;
    return slotOrder[k];
}
