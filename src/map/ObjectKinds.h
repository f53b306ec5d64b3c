#pragma once
// The kind numbers a map object answers (and its collision filter carries), and the layers it
// stands on: the World's lists, the grids, scenario files and the command stream share them.

namespace ObjectKind {
constexpr int kOther = 0;  // effects, shots and everything else
constexpr int kUnit = 1;
constexpr int kRepairUnit = 2;
constexpr int kWreck = 3;
constexpr int kFactory = 4;
constexpr int kDestructible = 5;
constexpr int kCaptureUnit = 6;
constexpr int kDeployed = 7;
constexpr int kArtifact = 8;
constexpr int kOreDeposit = 9;
constexpr int kLandFeature = 10;
}  // namespace ObjectKind

namespace MapLayer {
constexpr int kGround = 0;
constexpr int kLow = 1;
constexpr int kAir = 2;
}  // namespace MapLayer
