// The factory's unfold states and the geometry that follows them, the ore it draws from a
// deposit under it, its self-repair, its explosions and alert, and its drawing.
#include <algorithm>

#include "catalogue/BuildingTemplate.h"
#include "catalogue/TemplateCatalogue.h"
#include "core/DisplayBase.h"
#include "core/Settings.h"
#include "core/SpriteSet.h"
#include "core/Vector.h"
#include "map/TerrainMap.h"
#include "objects/ClearWayManoeuvre.h"
#include "objects/CommandBuffer.h"
#include "objects/ExplosionEffect.h"
#include "objects/FactoryBuilding.h"
#include "objects/Goal.h"
#include "objects/ObjectWorld.h"
#include "objects/SelectionMarker.h"
#include "objects/SpriteAttachment.h"
#include "objects/UnitMakers.h"
#include "ui/ScreenBase.h"

namespace {

constexpr int kTurning = 1;
constexpr int kStartUnfolding = 2;
constexpr int kBodyForward = 3;
constexpr int kStartFolding = 5;
constexpr int kBodyBackward = 6;
constexpr int kDoorOpening = 7;
constexpr int kDoorOpen = 8;
constexpr int kDoorClosing = 9;
constexpr double kOpenAngle = 2.3561925;
constexpr double kTurnMagnitude = 200.0;
constexpr int kRepairFloorPercent = 5;
constexpr int kAlertBank = 6;
const Point kShadowOffset(10, 10);
const Point kLevelBarOffset(32, 32);

struct DelayedBlast {
    Point offset;
    int32_t delayMs;
};
// The explosions of a destroyed factory about its position.
constexpr int kBlasts = 4;
const DelayedBlast kBlastTable[kBlasts] = {
    {Point(50, -50), 300}, {Point(130, -80), 400}, {Point(25, -125), 500}, {Point(50, 25), 600}};
constexpr int32_t kCentreBlastDelayMs = 450;
constexpr int kExplosionMode = 1;

bool Inside(const Rect& r, const Point& p) {
    const Point last = r.BottomRight();
    return p.x >= r.origin.x && p.y >= r.origin.y && p.x <= last.x && p.y <= last.y;
}

int LastFrame(Image* sprites) {
    return sprites ? sprites->LastFrameIndex() : 0;
}

}  // namespace

// --- Geometry

Size FactoryBuilding::UnfoldedSize() {
    Image* body = bodyAnimation.sprites;
    return body ? body->SizeOf(LastFrame(body)) : Size();
}

int FactoryBuilding::CanUnfoldAt(const Point& p) {
    return TheObjectWorld().CanPlace(this, UnfoldedCentreAt(p), nullptr, 1, kUnfoldedRadius);
}

int FactoryBuilding::IsBuildAreaFreeAt(const Point& p) {
    const Rect area(p + kRollOutOffset, Size(kBuildArea, kBuildArea), 'c');
    const Point last = area.BottomRight();
    if (area.origin.x < 0 || area.origin.y < 0) return 0;
    TerrainMap* terrain = TheObjectWorld().Terrain();
    if (terrain) {
        const Size map = terrain->PixelExtent();
        if (last.x >= map.w || last.y >= map.h) return 0;
    }
    return TheObjectWorld().IsAreaBuildable(area);
}

GameObject* FactoryBuilding::MinedDeposit() {
    return minedDeposit.IsNull() ? nullptr : TheObjectWorld().FindObject(minedDeposit);
}

Rect FactoryBuilding::GetBounds() {
    if (IsFolded()) return GameObject::GetBounds();
    return Rect(UnfoldedCentre(), UnfoldedSize(), 'c');
}

Size FactoryBuilding::GetSize() {
    return IsFolded() ? Sim::GetSize() : UnfoldedSize();
}

Point FactoryBuilding::GetCentre() {
    return IsFolded() ? position : UnfoldedCentre();
}

int FactoryBuilding::GetRadius() {
    return IsFolded() ? GetFootprintRadius() : GetUnfoldedRadius();
}

// The door mount table is read through the catalogue's bounded lookup: a frame or a part past
// the table gives (0, 0) rather than a read beyond it.
Point FactoryBuilding::GetMountOffset(int index) {
    if (unfoldState == kFolded || unfoldState == kTurning || !buildingTemplate)
        return Sim::GetMountOffset(index);
    if (InBodyState()) {
        const Point base = Sim::GetMountOffset(index);
        return index >= buildingTemplate->partCount ? base + bodyDrawOffset : base;
    }
    return buildingTemplate->DoorMountPoint(doorAnimation.frame, index) + doorDrawOffset;
}

// --- Overrides gated by the state

int FactoryBuilding::StepMovement() {
    if (unfoldState == kFolded) return Sim::StepMovement();
    moveTime = 0;
    return 1;
}

void FactoryBuilding::UpdateParts(int elapsedMs) {
    if (unfoldState == kOpen) {
        Sim::UpdateParts(elapsedMs);
        return;
    }
    if (unfoldState != kFolded && unfoldState != kTurning) return;
    if (Goal* front = goals.Front()) front->Step();
    if (local != 1 || !buildingTemplate) return;
    for (int i = 0; i < buildingTemplate->partCount; ++i) {
        if (SpriteAttachment* a = GetArmedPart(i)) a->Update(elapsedMs, *this);
    }
}

void FactoryBuilding::RunManoeuvreList() {
    if (unfoldState == kFolded || unfoldState == kTurning || unfoldState == kOpen)
        Sim::RunManoeuvreList();
}

int FactoryBuilding::IsWaiting() {
    return unfoldState == kFolded ? GameObject::IsWaiting() : 0;
}

int FactoryBuilding::IsMoving() {
    return unfoldState == kOpen ? 0 : GameObject::IsMoving();
}

int FactoryBuilding::FindFreeDock(GameObject* object, int flags) {
    return InOpenState() ? GameObject::FindFreeDock(object, flags) : -1;
}

// --- Unfolding

void FactoryBuilding::StepUnfold() {
    ObjectWorld& world = TheObjectWorld();
    GameObject* blocker = nullptr;
    if (unfoldState == kFolded) {
        if (world.IsAreaBuildable(GetFootprint()) == 1 &&
            world.CanPlace(this, UnfoldedCentre(), &blocker, 0, kUnfoldedRadius) == 1) {
            world.RemoveFromGrids(this, position, 0);
            unfoldState = kTurning;
            world.AddToGrids(this, UnfoldedCentre(), kUnfoldedRadius);
            world.Commands().SendFactoryState(this, kTurning);
        } else if (blocker) {
            ClearWayManoeuvre::AskAside(*this, *blocker, AsideCaller::Factory);
        }
    } else if (unfoldState == kOpen) {
        if (world.CanPlace(this, position, &blocker, 0, kFoldedRadius) == 1) {
            world.RemoveFromGrids(this, UnfoldedCentre(), kUnfoldedRadius);
            unfoldState = kStartFolding;
            world.AddToGrids(this, position, kFoldedRadius);
            world.Commands().SendFactoryState(this, kStartFolding);
        } else if (blocker) {
            ClearWayManoeuvre::AskAside(*this, *blocker, AsideCaller::Factory);
        }
    }
}

void FactoryBuilding::ApplyUnfoldState(int state) {
    ObjectWorld& world = TheObjectWorld();
    switch (state) {
        case kDoorOpening:
            doorAnimation.PlayForward(kDoorFps);
            PlayAnimationSound(1);
            unfoldState = kDoorOpening;
            break;
        case kDoorClosing:
            doorAnimation.PlayBackward(kDoorFps);
            PlayAnimationSound(1);
            unfoldState = kDoorClosing;
            break;
        case kTurning:
            if (unfoldState != kFolded) break;
            world.RemoveFromGrids(this, position, 0);
            unfoldState = kTurning;
            world.AddToGrids(this, UnfoldedCentre(), kUnfoldedRadius);
            break;
        case kStartFolding:
            if (IsFolded()) break;
            world.RemoveFromGrids(this, UnfoldedCentre(), kUnfoldedRadius);
            unfoldState = kStartFolding;
            world.AddToGrids(this, position, kFoldedRadius);
            break;
        default:
            break;
    }
}

void FactoryBuilding::StepUnfoldAnimation() {
    switch (unfoldState) {
        case kFolded:
            if (spriteSet) selectionMarker->SetSize(spriteSet->SizeOf(0));
            break;
        case kTurning:
            facing = GameObject::TurnToward(facing, Vector(kOpenAngle, kTurnMagnitude), 1);
            if (facing == kOpenFacing) unfoldState = kStartUnfolding;
            break;
        case kStartUnfolding:
            selectionMarker->SetSize(UnfoldedSize());
            bodyAnimation.PlayForward(kBodyFps);
            PlayAnimationSound(0);
            unfoldState = kBodyForward;
            break;
        case kBodyForward:
            if (bodyAnimation.frame == LastFrame(bodyAnimation.sprites)) {
                unfoldState = kOpen;
                GameObject* deposit = TheObjectWorld().NearestOreDeposit(this);
                if (deposit && Inside(deposit->GetBounds(), GetCentre()))
                    minedDeposit = deposit->id;
            }
            break;
        case kStartFolding:
            bodyAnimation.PlayBackward(kBodyFps);
            PlayAnimationSound(0);
            unfoldState = kBodyBackward;
            minedDeposit = SimId();
            break;
        case kBodyBackward:
            if (bodyAnimation.frame == 0) unfoldState = kFolded;
            break;
        case kDoorOpening:
            if (doorAnimation.frame == LastFrame(doorAnimation.sprites)) unfoldState = kDoorOpen;
            break;
        case kDoorClosing:
            if (doorAnimation.playing == 0) unfoldState = kOpen;
            break;
        default:
            break;
    }
}

void FactoryBuilding::PlayAnimationSound(int door) {
    ObjectWorld& world = TheObjectWorld();
    if (!buildingTemplate || world.LocalTeam() != GetTeam()) return;
    Sound* sound = door ? buildingTemplate->secondSound.get() : buildingTemplate->firstSound.get();
    if (sound) world.PlaySound(sound);
}

// --- Mining and self-repair

// Only what the store has room for leaves the deposit: a full store takes nothing.
void FactoryBuilding::StepMining() {
    if (local != 1 || unfoldState != kOpen || !miningTimer.Expired()) return;
    GameObject* deposit = MinedDeposit();
    if (!deposit) return;
    const int room = std::max(0, storeCapacity - store);
    if (room > 0) {
        const int amount = deposit->Withdraw(std::min(kMiningAmount, room));
        if (amount > 0) Deposit(amount);
    }
    miningTimer.Start();
}

void FactoryBuilding::StepSelfRepair() {
    if (local != 1 || !selfRepairTimer.Expired()) return;
    if (damage.Percent() > kRepairFloorPercent) {
        if (IsInvulnerable() == 0) damage.Add(-kRepairAmount);
        TheObjectWorld().Commands().SendDamage(this, damage.Value(), -kRepairAmount, '-', '-', '-');
    }
    selfRepairTimer.Start();
}

// --- Explosions

void FactoryBuilding::Explode(int amount, EffectTemplate* explosion, const Point& offset) {
    Sim::Explode(amount, explosion, offset);
    ObjectWorld& world = TheObjectWorld();
    if (IsDestroyed() == 1 && deathEffect) {
        for (const DelayedBlast& blast : kBlastTable)
            world.AddEffect(std::make_unique<ExplosionEffect>(
                deathEffect, position, world.NewSimId(0), blast.delayMs, offset + blast.offset,
                SimId(), kExplosionMode));
        world.AddEffect(std::make_unique<ExplosionEffect>(deathEffect, GetCentre(),
                                                          world.NewSimId(0), kCentreBlastDelayMs,
                                                          offset, SimId(), kExplosionMode));
        if (product)
            world.AddEffect(std::make_unique<ExplosionEffect>(deathEffect, product->GetCentre(),
                                                              world.NewSimId(0), offset, SimId(),
                                                              kExplosionMode));
    }
    if (GetTeam() == world.LocalTeam() && display && noShake == 0) display->shakeFlag = 1;
    if (IsDestroyed() == 0 && teamRecord.second == world.LocalTeam()) {
        if (alertTimer.IsRunning() && !alertTimer.Expired()) return;
        world.Makers().PlayVoice(kAlertBank);
        alertTimer.Start();
    }
}

// --- Drawing

void FactoryBuilding::Draw(ScreenBase& view) {
    if (unfoldState == kDoorOpen && product) product->Draw(view);
    if (unfoldState == kFolded || unfoldState == kTurning) {
        Sim::Draw(view);
        return;
    }
    if (InDoorState()) {
        doorAnimation.DrawShadeFilled(view, position + doorDrawOffset, teamRecord.third);
    } else {
        bodyAnimation.DrawShadeFilled(view, position + bodyDrawOffset, teamRecord.third);
    }
    DrawParts(view);
    DrawAttachedEffect(view);
}

void FactoryBuilding::DrawParts(ScreenBase& view) {
    if (!buildingTemplate) {
        Sim::DrawParts(view);
        return;
    }
    int count = buildingTemplate->partCount;
    if (InOpenState()) count += buildingTemplate->extraPartCount;
    const int hidden = HiddenFromOwnTeam();
    for (int i = 0; i < count; ++i) {
        if (SpriteAttachment* a = GetPart(i))
            a->Draw(view, view.SnapToZoom(position, GetMountOffset(i)), hidden);
    }
}

void FactoryBuilding::DrawSensed(ScreenBase& view, const ShadeTable* table) {
    if (unfoldState == kDoorOpen && product) product->DrawSensed(view, table);
    if (!table || (!InDoorState() && !InBodyState())) {
        Sim::DrawSensed(view, table);
        return;
    }
    if (InDoorState())
        doorAnimation.DrawTinted(view, position + doorDrawOffset, *table);
    else
        bodyAnimation.DrawTinted(view, position + bodyDrawOffset, *table);
}

void FactoryBuilding::DrawUnder(ScreenBase& view) {
    if (unfoldState == kDoorOpen && product) product->DrawUnder(view);
    if (!InDoorState() && !InBodyState()) {
        Sim::DrawUnder(view);
        return;
    }
    TerrainMap* terrain = TheObjectWorld().Terrain();
    if (terrain && terrain->ShadeTable1()) {
        Animation& shown = InDoorState() ? doorAnimation : bodyAnimation;
        const Point offset = InDoorState() ? doorDrawOffset : bodyDrawOffset;
        shown.DrawTinted(view, position + offset + kShadowOffset, *terrain->ShadeTable1());
    }
    if (selected == 1 && selectionMarker) {
        const Size unfolded = UnfoldedSize();
        selectionMarker->TakeMeter(damage);
        selectionMarker->SetSize(Size(unfolded.w >> view.zoom, unfolded.h >> view.zoom));
        selectionMarker->Draw(view.MapToScreen(GetCentre()));
    }
    if (selected == 1 || drawFlag == 1) {
        const Size s = GetSize();
        DrawLevelBar(damage.Percent(),
                     view.MapToScreen(position - Point(s.w / 2, s.h / 2) + kLevelBarOffset));
    }
    drawFlag = 0;
}
