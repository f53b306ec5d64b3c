#include "catalogue/DeployingChassisTemplate.h"

#include <algorithm>

#include "catalogue/CatalogueMedia.h"
#include "catalogue/TemplatePictures.h"
#include "core/Sound.h"
#include "core/SpriteSet.h"

DeployingChassisTemplate::DeployingChassisTemplate(const ChassisValues& values,
                                                   const DeployingValues& d)
    : ChassisTemplate(values),
      deployedPictures(Media().LoadGrid(d.deployedPicturesName)),
      underAnimation(Media().LoadGrid(d.underAnimationName)),
      underPicture(Media().LoadColumn(d.underPictureName)),
      structureCode(std::clamp<int32_t>(d.structureCode, 0, 5)),
      sound(Media().MakeSound(d.soundNumber)) {
    // Both tables are indexed by hardpoint, so they are sized by the hardpoint count whatever
    // the file claimed for its deploy tables; points it did not give stay (0, 0).
    const int hardpoints = hardpointCount;
    deployFrameCount =
        hardpoints > 0
            ? std::clamp<int32_t>(d.deployFrameCount, 0,
                                  DeployingValues::kMaxFramePoints / hardpoints)
            : std::clamp<int32_t>(d.deployFrameCount, 0, DeployingValues::kMaxFramePoints);

    const Size firstDeployed = GridFrameSize(deployedPictures.get(), 0, 0);
    const Size mapFrame = FirstFrameSize(mapPictures.get());
    deployedMountPoints.assign(hardpoints, Point());
    for (int h = 0; h < hardpoints && h < static_cast<int>(d.deployedMountPoints.size()); ++h)
        deployedMountPoints[h] =
            CentredOn(d.deployedMountPoints[h], Size(firstDeployed.w, mapFrame.h));

    frameMountPoints.assign(static_cast<size_t>(hardpoints) * deployFrameCount, Point());
    const int givenFrames = std::max(0, d.deployFrameCount);
    for (int h = 0; h < hardpoints; ++h) {
        for (int f = 0; f < deployFrameCount; ++f) {
            const size_t from = static_cast<size_t>(h) * givenFrames + f;
            if (from >= d.frameMountPoints.size()) continue;
            frameMountPoints[static_cast<size_t>(h) * deployFrameCount + f] =
                CentredOn(d.frameMountPoints[from], GridFrameSize(deployedPictures.get(), 1, f));
        }
    }
}

DeployingChassisTemplate::~DeployingChassisTemplate() = default;

Point DeployingChassisTemplate::DeployedMountPoint(int h) const {
    if (h < 0 || h >= static_cast<int>(deployedMountPoints.size())) return Point();
    return deployedMountPoints[h];
}

Point DeployingChassisTemplate::FrameMountPoint(int h, int f) const {
    if (h < 0 || h >= static_cast<int>(deployedMountPoints.size()) || f < 0 ||
        f >= deployFrameCount)
        return Point();
    return frameMountPoints[static_cast<size_t>(h) * deployFrameCount + f];
}
