#include "objects/DeployingSim.h"

#include "catalogue/DeployingChassisTemplate.h"
#include "catalogue/VehicleDesign.h"
#include "core/SpriteSet.h"
#include "core/Vector.h"
#include "map/ObjectKinds.h"
#include "map/TerrainMap.h"
#include "objects/CommandBuffer.h"
#include "objects/Goal.h"
#include "objects/ObjectWorld.h"
#include "objects/RecordLines.h"
#include "objects/SquadManoeuvre.h"
#include "objects/UnitMakers.h"
#include "ui/ScreenBase.h"

namespace {

constexpr double kWorkingAngle = 1.570795;
constexpr double kTurnMagnitude = 10.0;
constexpr int kRefuelDockOffset = 96;

SquadManoeuvre* Made(ManoeuvreType type, int32_t first) {
    ManoeuvreArguments arguments;
    arguments.first = first;
    return TheObjectWorld().Makers().MakeManoeuvre(static_cast<int>(type), arguments).release();
}

}  // namespace

DeployingSim::DeployingSim(const Point& position, const SimId& id,
                           std::unique_ptr<VehicleDesign> ownDesign)
    : Sim(position, id, std::move(ownDesign)) {
    warningTimer.period = kWarningMs;
    if (DeployingChassisTemplate* chassis = Chassis()) {
        deployedSprites = chassis->deployedPictures.get();
        underAnimation = chassis->underAnimation.get();
        underPicture = chassis->underPicture.get();
        structureCode = chassis->structureCode;
    }
    if (body && structureCode == kRefuelCode) {
        AppendDock(0, Point(-kRefuelDockOffset, 0));
        AppendDock(0, Point(kRefuelDockOffset, 0));
        if (local == 1) AddClearWay();
    }
}

DeployingSim::~DeployingSim() = default;

DeployingChassisTemplate* DeployingSim::Chassis() const {
    return design ? dynamic_cast<DeployingChassisTemplate*>(design->chassis) : nullptr;
}

int DeployingSim::LastFrameOf(int sequenceIndex) const {
    if (!spriteSet || sequenceIndex < 0 || sequenceIndex > spriteSet->LastFrameIndex()) return 0;
    Image* frames = spriteSet->SubImage(sequenceIndex);
    return frames ? frames->LastFrameIndex() : 0;
}

void DeployingSim::PlayChassisSound() {
    ObjectWorld& world = TheObjectWorld();
    DeployingChassisTemplate* chassis = Chassis();
    if (chassis && chassis->GetSound() && teamRecord.second == world.LocalTeam())
        world.PlaySound(chassis->GetSound());
}

void DeployingSim::AddClearWay() {
    AddManoeuvre(Made(ManoeuvreType::ClearWay, 1));
}

void DeployingSim::DeployNow() {
    ObjectWorld& world = TheObjectWorld();
    // Only a footprint wholly on buildable ground takes a structure.
    if (world.IsAreaBuildable(GetFootprint()) != 1) return;
    if (goals.Front()) ClearGoals();
    world.DeploySim(this);
    SetSelected(0);
    ClearManoeuvreList();
    if (local == 1) {
        AddManoeuvre(Made(ManoeuvreType::Retaliate, 0));
        if (structureCode == kRefuelCode) AddClearWay();
    }
    deployState = kDeploying;
    spriteSet = deployedSprites;
    deployFrame = 0;
    animationTimer.Start();
    PlayChassisSound();
    if (local == 1) world.Commands().SendDeploy(this);
}

void DeployingSim::UndeployNow() {
    ObjectWorld& world = TheObjectWorld();
    if (goals.Front()) ClearGoals();
    world.UndeploySim(this);
    deployState = kUndeploying;
    sequence = 1;
    deployFrame = LastFrameOf(1);
    PlayChassisSound();
    if (local == 1) world.Commands().SendUndeploy(this);
    ClearManoeuvreList();
    BuildManoeuvreList();
    if (local == 1 && structureCode == kRefuelCode) AddClearWay();
}

void DeployingSim::Update(int elapsedMs) {
    Sim::Update(elapsedMs);
    if (deployState == kDeploying || deployState == kDeployed) {
        // A deploying or deployed object drops move orders.
        if (Goal* front = goals.Front(); front && front->IsLocation() == 1) ClearGoals();
        if (facing == kWorkingFacing) {
            if (animationTimer.Expired()) {
                ++deployFrame;
                // Frame-count tests compare with >=, so a one-frame sequence still ends.
                if (deployFrame >= LastFrameOf(sequence)) {
                    deployFrame = 0;
                    if (deployState == kDeploying) {
                        deployState = kDeployed;
                        sequence = 0;
                    }
                }
                animationTimer.Start();
            }
        } else {
            facing = NormaliseFacing(
                GameObject::TurnToward(facing, Vector(kWorkingAngle, kTurnMagnitude), 1));
            animationTimer.Start();
        }
    } else if (deployState == kUndeploying) {
        if (animationTimer.Expired()) {
            --deployFrame;
            if (deployFrame <= 0) {
                deployFrame = 0;
                deployState = kMobile;
            }
            animationTimer.Start();
        }
    }
}

int DeployingSim::StepMovement() {
    if (deployState == kMobile) return Sim::StepMovement();
    moveTime = 0;
    return 1;
}

void DeployingSim::IssueOrder(int code, int flags, const Point& p, const SimId& target) {
    if (kind == ObjectKind::kDeployed) {
        if (code != kOrderAttack) return;
        if (IsHostileTo(TheObjectWorld().FindObject(target)) != 1) return;
    }
    Sim::IssueOrder(code, flags, p, target);
}

Point DeployingSim::GetMountOffset(int index) {
    if (!ShowsStructure()) return Sim::GetMountOffset(index);
    DeployingChassisTemplate* chassis = Chassis();
    if (!chassis) return Point();
    if (sequence == 0) return chassis->DeployedMountPoint(index);
    return chassis->FrameMountPoint(index, deployFrame);
}

void DeployingSim::ChangeTeam(const ValueTriple& record, int announce) {
    if (kind != ObjectKind::kDeployed) {
        Sim::ChangeTeam(record, announce);
        return;
    }
    // The grids are marked again under the new team.
    ObjectWorld& world = TheObjectWorld();
    world.UndeploySim(this);
    Sim::ChangeTeam(record, announce);
    world.DeploySim(this);
}

int DeployingSim::IsMobile() {
    return kind == ObjectKind::kUnit ? Sim::IsMobile() : 0;
}

int DeployingSim::IsSelectable() {
    return kind == ObjectKind::kUnit ? GameObject::IsSelectable() : 0;
}

void DeployingSim::Destroy() {
    // Undeployed first, so the death pass counts the loss as a mobile unit's; alive for the
    // round trip of the grids, so that it is marked again as a unit and then leaves them.
    if (kind == ObjectKind::kDeployed) {
        damage.SetValue(damage.Max() - 1);
        TheObjectWorld().UndeploySim(this);
    }
    Sim::Destroy();
}

void DeployingSim::Parse(char key, const char* text) {
    if (key == 'b') DeployNow();
    Sim::Parse(key, text);
}

void DeployingSim::Write(ResourceFile& file, char* buffer, int bufferSize) {
    if (kind == ObjectKind::kDeployed) WriteRecordLine(file, buffer, bufferSize, "b = Y");
    Sim::Write(file, buffer, bufferSize);
}

void DeployingSim::Explode(int amount, EffectTemplate* explosion, const Point& offset) {
    Sim::Explode(amount, explosion, offset);
    ObjectWorld& world = TheObjectWorld();
    if (IsDestroyed() == 1 || teamRecord.second != world.LocalTeam()) return;
    if (warningTimer.IsRunning() && !warningTimer.Expired()) return;
    world.Makers().PlayVoice(kWarningVoiceBank);
    warningTimer.Start();
}

void DeployingSim::Draw(ScreenBase& view) {
    if (!ShowsStructure()) {
        Sim::Draw(view);
        return;
    }
    if (spriteSet && sequence <= spriteSet->LastFrameIndex()) {
        if (Image* frames = spriteSet->SubImage(sequence)) {
            const Point at = view.MapToScreen(position);
            TerrainMap* terrain = TheObjectWorld().Terrain();
            if (HiddenFromOwnTeam() == 1) {
                if (terrain && terrain->ShadeTable2())
                    frames->DrawFrameTinted(at, deployFrame, *terrain->ShadeTable2(), 0);
            } else {
                frames->DrawFrameShadeFilled(at, deployFrame, teamRecord.third);
            }
        }
    }
    DrawParts(view);
    DrawAttachedEffect(view);
    DrawFlash(view);
}

void DeployingSim::DrawUnder(ScreenBase& view) {
    TerrainMap* terrain = TheObjectWorld().Terrain();
    const ShadeTable* shadow = terrain ? terrain->ShadeTable1() : nullptr;
    if (HiddenFromOwnTeam() == 0 && shadow) {
        const Point at = view.MapToScreen(position);
        Image* under = nullptr;
        if (ShowsStructure() && underAnimation && sequence <= underAnimation->LastFrameIndex())
            under = underAnimation->SubImage(sequence);
        if (under)
            under->DrawFrameTinted(at, deployFrame, *shadow, 0);
        else if (underPicture)
            underPicture->DrawFrameTinted(at, facing, *shadow, 0);
    }
    DrawMarks(view);
}

void DeployingSim::DrawSensed(ScreenBase& view, const ShadeTable* table) {
    if (!ShowsStructure()) {
        Sim::DrawSensed(view, table);
        return;
    }
    if (!table || !spriteSet || sequence > spriteSet->LastFrameIndex()) return;
    const Point at = view.MapToScreen(position);
    if (Image* frames = spriteSet->SubImage(sequence))
        frames->DrawFrameTinted(at, deployFrame, *table, 0);
    spriteSet->DrawFrameTinted(at, spriteSet->Current(), *table, 0);
}
