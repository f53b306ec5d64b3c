#pragma once
// The picture packs the template catalogue names: vehicles by facing, drives with their
// running frames, weapons and hardpoint items, the design-screen pictures, effects, shots,
// carrier and relay sequences, the factory folded and unfolded, wrecks and the catalogue's
// fixed packs. Each pack is described by a request; the catalogue's records say which.
#include <cstdint>
#include <vector>

#include "UnitPainter.h"

namespace mkassets {

class AssetPalette;

namespace CataloguePictures {

constexpr int kFacings = 16;
constexpr int kRunningFrames = 4;  // frame 0 standing, 1 to 3 while moving
constexpr int kWorkFrames = 25;    // the work animations of the fixed role records
constexpr int kDeployFrames = 4;

enum class Body : uint8_t {
    Scout,
    Tank,
    Assault,
    Heavy,
    Miner,
    Scavenger,
    Repair,
    Capture,
    Gunship,
    Bomber,
    Carrier,
    Relay,
    Factory
};
enum class Running : uint8_t { Wheels, Tracks, Hover, Skimmer, Legs, Pads };
enum class Arm : uint8_t { Gun, Twin, Cannon, Missile, Beam, Rocket, Spinner, Pulse };
enum class Device : uint8_t { Sensor, Shield, Cloak };
enum class Blast : uint8_t { Fire, Spark, Energy, Smoke, Huge };
enum class Projectile : uint8_t { Bullet, Shell, Bolt, Missile };

enum class PackKind : uint8_t {
    BodyMap,        // column set, one frame per facing (variant: Body)
    BodyPanel,      // streamed set: the design-screen picture
    RunningMap,     // grid: a row per facing, the running frames across (variant: Running)
    RunningPanel,   // streamed set: the running frames at the design-screen facing
    ArmMap,         // column set per facing (variant: Arm, size: mount size)
    ArmPanel,       // streamed set
    DeviceMap,      // column set per facing (variant: Device)
    DevicePanel,    // streamed set
    PanelBitmap,    // a single picture: the part's design-screen icon (variant, size as above;
                    // frames 0 for an Arm, 1 for a Device)
    ShieldGlow,     // row set: the defence item's shield flash
    Explosion,      // grid: a row per frame (variant: Blast, frames)
    Shot,           // grid: a row per facing, frames across (variant: Projectile, frames)
    FiringFlash,    // grid: a row per facing, the flash across (variant: Blast, frames)
    CarrierDeck,    // grid: unfold, ready, transfer and overlay sequences
    RelayDeployed,  // grid: the standing relay, then its deploy frames (variant: Body)
    RelayUnder,     // grid: the ground under the deploy animation
    RelayPad,       // column set per facing: the ground under the relay
    FactoryFolded,  // column set per facing
    FactoryPanel,   // column set
    FactoryPieces,  // grid: four wreck pieces, one per row
    FactoryBody,    // row set: the unfolding, the open factory last
    FactoryDoor,    // row set: the door opening
    Wreck,          // column set: a burnt-out hull, salvaged step by step (variant: Body)
    WorkGrid,       // grid: a row per working facing, the work frames across (variant: Body)
    SmokeGrid,      // grid: two rows of smoke
    Artifact,       // grid: six rows
    OreDeposit,     // row set
    OreField,       // row set
    LevelBar,       // column set
    LevelMeter,     // column set
};

struct PackRequest {
    PackKind kind = PackKind::BodyMap;
    int variant = 0;
    char clan = 'X';
    int size = 0;  // mount size, hull size class, or a relay's structure code
    int frames = 1;
};

std::vector<uint8_t> MakePack(const PackRequest& request, const AssetPalette& palette);

// Geometry the catalogue's offset tables are written from.
int BodyBox(Body body);
int RunningBox(int sizeClass);
int ArmBox(int mountSize);
constexpr int kDeviceBox = 24;
constexpr int kPanelScale = 2;
constexpr int kPanelFacing = 14;
// The unit panel's chassis icons are drawn this big (the heavier heavy chassis a little bigger).
constexpr int kIconBox = 84;
// Hardpoint `index` of `count` on a body, in the unit's frame.
UnitPainter::Offset MountPoint(Body body, int count, int index);
// The muzzle of a weapon, in the weapon's frame.
UnitPainter::Offset MuzzlePoint(Arm arm, int mountSize);
// A body at the panel facing, as big as fits a box x box canvas: the unit panel's icon.
Canvas BodyIcon(Body body, int box, const AssetPalette& palette);

}  // namespace CataloguePictures

}  // namespace mkassets
