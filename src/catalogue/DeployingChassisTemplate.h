#pragma once
// The chassis of a unit that deploys into a structure (catalogue section 9): the structure's
// pictures, the structure code it gives its team, and the mount points of its hardpoints when
// deployed and in each frame of the deploy animation.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/ChassisTemplate.h"

struct DeployingValues {
    static constexpr int kMaxHardpoints = 2;
    static constexpr int kMaxFramePoints = 50;

    std::string deployedPicturesName;  // grid
    std::string underAnimationName;    // grid
    std::string underPictureName;      // column set
    int32_t structureCode = 0;
    int32_t deployHardpoints = 0;            // 0..2
    std::vector<Point> deployedMountPoints;  // as in the file
    int32_t deployFrameCount = 0;            // deployHardpoints × frames at most 50
    std::vector<Point> frameMountPoints;     // hardpoint × frame count + frame
    int32_t soundNumber = -1;
};

class DeployingChassisTemplate : public ChassisTemplate {
public:
    DeployingChassisTemplate(const ChassisValues& values, const DeployingValues& deploying);
    ~DeployingChassisTemplate() override;

    int IsDeployable() const override { return 1; }
    Sound* GetSound() const override { return sound.get(); }

    // Deployed mount point of hardpoint h; (0, 0) outside the table.
    Point DeployedMountPoint(int h) const;
    // Mount point of hardpoint h in deploy frame f; (0, 0) outside the table.
    Point FrameMountPoint(int h, int f) const;

    std::unique_ptr<SpriteSet> deployedPictures;
    std::unique_ptr<SpriteSet> underAnimation;
    std::unique_ptr<SpriteSet> underPicture;
    int32_t structureCode;
    std::vector<Point> deployedMountPoints;
    int32_t deployFrameCount;
    std::vector<Point> frameMountPoints;
    std::unique_ptr<Sound> sound;
};
