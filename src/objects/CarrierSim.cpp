#include "objects/CarrierSim.h"

#include <cmath>
#include <cstdio>

#include "catalogue/CarrierChassisTemplate.h"
#include "catalogue/VehicleDesign.h"
#include "core/SpriteSet.h"
#include "core/Trace.h"
#include "core/Vector.h"
#include "map/TerrainMap.h"
#include "objects/CommandBuffer.h"
#include "objects/ObjectWorld.h"
#include "objects/RecordLines.h"
#include "objects/SimGroup.h"
#include "objects/UnitMakers.h"
#include "ui/ScreenBase.h"

namespace {

const Point kDockOffsets[] = {{0, -74}, {-65, 20}, {65, 20}};

int RoundHalfUp(double v) {
    return static_cast<int>(std::floor(v + 0.5));
}

// The members of the unit's group gather round their mean position again.
void RecentreGroup(GameObject* unit) {
    ObjectWorld& world = TheObjectWorld();
    if (unit->groupId.IsNull()) return;
    GameObject* group = world.FindGroup(unit->groupId);
    if (!group) return;
    if (auto* members = dynamic_cast<SimGroup*>(group)) {
        if (members->MemberCount() > 0) group->SetPosition(members->Centroid());
        return;
    }
    // A group of another kind: its members are the team's units that name it.
    int64_t x = 0;
    int64_t y = 0;
    int64_t count = 0;
    world.ForEachSim(unit->GetTeam(), [&](GameObject* o) {
        if (o->groupId != unit->groupId || o->IsDestroyed() == 1) return;
        x += o->GetPosition().x;
        y += o->GetPosition().y;
        ++count;
    });
    if (count > 0)
        group->SetPosition(Point(static_cast<int>(x / count), static_cast<int>(y / count)));
}

}  // namespace

CarrierSim::CarrierSim(const Point& position, const SimId& id,
                       std::unique_ptr<VehicleDesign> ownDesign)
    : AirSim(position, id, std::move(ownDesign)) {
    airLayer = 2;
    lowLayer = 0;
    groundAltitude = 0;
    altitude = 0;
    animationTimer.Start();
    docks.DeleteAll();
    for (const Point& offset : kDockOffsets)
        AppendDock(kDockFlags, offset);
}

CarrierSim::~CarrierSim() = default;

CarrierChassisTemplate* CarrierSim::Chassis() const {
    return design ? dynamic_cast<CarrierChassisTemplate*>(design->chassis) : nullptr;
}

SpriteSet* CarrierSim::Pictures() const {
    CarrierChassisTemplate* chassis = Chassis();
    return chassis ? chassis->deployedPictures.get() : nullptr;
}

int CarrierSim::LastFrameOf(int sequenceIndex) const {
    SpriteSet* pictures = Pictures();
    if (!pictures || sequenceIndex < 0 || sequenceIndex > pictures->LastFrameIndex()) return 0;
    Image* frames = pictures->SubImage(sequenceIndex);
    return frames ? frames->LastFrameIndex() : 0;
}

GameObject* CarrierSim::Carried() {
    if (carried.IsNull()) return nullptr;
    GameObject* unit = TheObjectWorld().FindObject(carried);
    return unit && unit->IsDestroyed() == 0 ? unit : nullptr;
}

void CarrierSim::PlayChassisSound() {
    ObjectWorld& world = TheObjectWorld();
    CarrierChassisTemplate* chassis = Chassis();
    if (chassis && chassis->GetSound() && teamRecord.second == world.LocalTeam())
        world.PlaySound(chassis->GetSound());
}

void CarrierSim::StartTimer(int32_t period) {
    animationTimer.period = period;
    animationTimer.Start();
}

void CarrierSim::LetPlaceGo() {
    if (dropReservation.IsNull()) return;
    TheObjectWorld().MoveReservation(dropReservation, nullptr);
    dropReservation = SimId();
}

void CarrierSim::LoseCargo() {
    LetPlaceGo();
    carried = SimId();
    transferPhase = kNoTransfer;
    carrierState = kReady;
    sequence = 1;
    carrierFrame = 0;
    overlayFrame = 0;
    sendPending = 0;
    overlayRunning = 1;
    released = 1;
    dropConfirmed = 1;
    if (local == 1) TheObjectWorld().Commands().SendCarrierReset(this);
}

void CarrierSim::Update(int elapsedMs) {
    ObjectWorld& world = TheObjectWorld();
    GameObject* unit = Carried();
    if (!unit && !carried.IsNull()) LoseCargo();
    if (unit) ClearGoals();
    AirSim::Update(elapsedMs);
    StepCarrierState();
    if (local == 1 && (unit = Carried()) != nullptr) {
        StepTransfer(unit);
        if (AllAnswered(dropAcknowledgements)) dropConfirmed = 1;
    }
    if (local == 1) CheckReadPartner();
    if (local == 1 && !partner.IsNull()) {
        GameObject* other = world.FindSim(partner);
        if ((!other || other->IsDestroyed() == 1) && IsDestroyed() == 0) {
            if (invulnerable != 0) ToggleInvulnerable();
            GameObject* cargo = Carried();
            // No attacker: a carrier that loses its partner earns its own team no kill.
            TakeDamage(nullptr, SimId(), nullptr, 0);
            if (cargo) cargo->Destroy();
            LetPlaceGo();
        }
    } else if (local != 1 && dropConfirmed == 0) {
        if (GameObject* cargo = Carried()) BeginCarry(cargo, dropPoint);
    }
}

void CarrierSim::StepCarrierState() {
    ObjectWorld& world = TheObjectWorld();
    GameObject* unit = Carried();
    switch (carrierState) {
        case kFolded:
            if (!goals.Front() && climbing == 0 && descending == 0 &&
                world.IsAreaBuildable(GetBounds()) == 1) {
                carrierState = kUnfolding;
                sequence = 0;
                StartTimer(kUnfoldMs);
                PlayChassisSound();
            }
            break;
        case kUnfolding:
            if (!animationTimer.Expired()) break;
            ++carrierFrame;
            if (carrierFrame >= LastFrameOf(sequence)) {
                sequence = 1;
                carrierState = kReady;
                carrierFrame = 0;
                StartTimer(kReadyMs);
            } else {
                animationTimer.Start();
            }
            break;
        case kReady:
            if (goals.Front()) {
                sequence = 0;
                carrierState = kFolding;
                PlayChassisSound();
                carrierFrame = LastFrameOf(0);
                StartTimer(kUnfoldMs);
                break;
            }
            if (!animationTimer.Expired()) break;
            if (world.TeamHasStructure(GetTeam(), kRefuelCode) != 1) {
                // Idle without a refuelling structure: the timer stays expired.
                carrierFrame = 0;
                break;
            }
            ++carrierFrame;
            if (carrierFrame >= LastFrameOf(sequence)) {
                carrierFrame = 0;
                if (unit && transferPhase == kTakingUnitIn) {
                    sequence = 2;
                    carrierState = kTakingIn;
                    overlayFrame = 0;
                } else if (unit && transferPhase == kLettingUnitOut) {
                    sequence = 2;
                    carrierState = kLettingOut;
                    overlayFrame = 0;
                }
            }
            animationTimer.Start();
            break;
        case kFolding:
            if (!animationTimer.Expired()) break;
            --carrierFrame;
            if (carrierFrame < 1) {
                carrierFrame = 0;
                carrierState = kFolded;
            }
            animationTimer.Start();
            break;
        case kTakingIn:
            if (unit && unit->GetPosition() == position) {
                carrierState = kSending;
                if (local == 1) world.Commands().SendCarrierCargoPosition(this, position);
            }
            break;
        case kLettingOut:
            if (!unit) {
                carrierState = kReady;
                sequence = 1;
                carrierFrame = 0;
                overlayFrame = 0;
                overlayRunning = 1;
                animationTimer.Start();
                break;
            }
            if (!animationTimer.Expired()) break;
            if (carrierFrame < LastFrameOf(sequence)) ++carrierFrame;
            if (overlayRunning == 1) ++overlayFrame;
            if (overlayFrame >= LastFrameOf(3)) {
                overlayFrame = 0;
                overlayRunning = 0;
                released = 1;
            }
            animationTimer.Start();
            break;
        case kSending:
            if (!animationTimer.Expired()) break;
            if (carrierFrame < LastFrameOf(sequence)) ++carrierFrame;
            ++overlayFrame;
            if (overlayFrame >= LastFrameOf(3)) {
                overlayFrame = LastFrameOf(sequence);
                if (sendPending == 0) {
                    sendTimer.Start();
                    sendPending = 1;
                } else if (!unit) {
                    carrierState = kReady;
                    sequence = 1;
                    carrierFrame = 0;
                    overlayFrame = 0;
                    sendPending = 0;
                }
            }
            animationTimer.Start();
            break;
        default:
            break;
    }
}

void CarrierSim::PullToward(GameObject* unit, const Point& p) {
    Vector v(p - unit->GetPosition());
    if (v.magnitude > kPullStep) v.SetMagnitude(kPullStep);
    const Point next = unit->GetPosition() + Point(RoundHalfUp(v.x), RoundHalfUp(v.y));
    unit->SetPosition(next);
    TheObjectWorld().Commands().SendCarrierCargoPosition(this, next);
}

void CarrierSim::StepTransfer(GameObject* unit) {
    ObjectWorld& world = TheObjectWorld();
    if (transferPhase == kTakingUnitIn) {
        if (sendPending == 1 && sendTimer.Expired()) {
            auto* other = dynamic_cast<CarrierSim*>(world.FindSim(partner));
            if (other && other->Receive(unit) == 1) {
                carried = SimId();
                transferPhase = kNoTransfer;
                world.Commands().SendCarrierReset(this);
            } else {
                sendTimer.Start();
            }
        } else if (unit->GetPosition() != position) {
            PullToward(unit, position);
        }
        return;
    }
    if (transferPhase != kLettingUnitOut || released != 1 || dropConfirmed != 1) return;
    if (unit->GetPosition() != dropPoint) {
        PullToward(unit, dropPoint);
        return;
    }
    SetDown(unit);
    world.Commands().SendCarrierRelease(this);
}

void CarrierSim::SetDown(GameObject* unit) {
    unit->onMap = 1;
    unit->gridFlag = 1;
    TheObjectWorld().MoveReservation(dropReservation, unit);
    dropReservation = SimId();
    transferPhase = kNoTransfer;
    RecentreGroup(unit);
    carried = SimId();
}

int CarrierSim::CanLoad(int checkPartner, GameObject* unit) {
    ObjectWorld& world = TheObjectWorld();
    if (world.TeamHasStructure(GetTeam(), kRefuelCode) != 1 || partner.IsNull() || goals.Front() ||
        !carried.IsNull() || transferPhase != kNoTransfer || carrierState != kReady)
        return 0;
    bool dockFree = false;
    for (int i = 0; i < DockCount() && !dockFree; ++i)
        dockFree = IsDockAreaFree(i, position) == 1;
    if (!dockFree) return 0;
    if (checkPartner != 1) return 1;
    auto* other = dynamic_cast<CarrierSim*>(world.FindSim(partner));
    return other && other->IsDestroyed() == 0 && other->CanLoad(0, unit) == 1 ? 1 : 0;
}

int CarrierSim::TryLoad(GameObject* unit) {
    if (!unit || CanLoad(1, unit) != 1) return 0;
    // A copy takes nothing itself: command 47 brings the unit aboard there.
    if (local != 1) return 1;
    ObjectWorld& world = TheObjectWorld();
    world.RemoveFromGrids(unit, unit->GetCentre(), unit->GetRadius());
    carried = unit->id;
    transferPhase = kTakingUnitIn;
    unit->onMap = 0;
    unit->gridFlag = 0;
    world.Commands().SendCarrierPickUp(this, unit->id);
    return 1;
}

void CarrierSim::CheckReadPartner() {
    if (partnerUnchecked == 0) return;
    partnerUnchecked = 0;
    if (partner.IsNull()) return;
    GameObject* other = TheObjectWorld().FindSim(partner);
    // A partner already gone is a lost partner: the carrier goes as any other would.
    if (!other) return;
    auto* pair = dynamic_cast<CarrierSim*>(other);
    if (pair && pair != this && pair->partner == id) return;
    char line[96];
    std::snprintf(line, sizeof line, "Carrier %d,%d: partner %d,%d does not name it; link dropped",
                  id.team, id.serial, partner.team, partner.serial);
    Trace(line);
    partner = SimId();
}

int CarrierSim::Receive(GameObject* unit) {
    // One unit at a time: a second hand-over would leave the first unit hidden off the map.
    if (!unit || transferPhase != kNoTransfer || !carried.IsNull()) return 0;
    ObjectWorld& world = TheObjectWorld();
    for (int i = 0; i < DockCount(); ++i) {
        const Point dock = GetDockPoint(i);
        GameObject* blocker = nullptr;
        dropReservation = world.ReservePlace(unit, dock, &blocker);
        if (!dropReservation.IsNull()) {
            dropPoint = dock;
            carried = unit->id;
            unit->SetPosition(position);
            transferPhase = kLettingUnitOut;
            released = 0;
            world.Commands().SendCarrierDrop(this, unit->id, dropPoint);
            if (world.IsNetworkGame() == 1) {
                dropConfirmed = 0;
                dropAcknowledgements = 0;
            }
            return 1;
        }
        if (blocker && blocker != unit) world.Makers().MoveBlockerAside(this, blocker, 0);
    }
    return 0;
}

void CarrierSim::ApplyPickUp(const SimId& unitId) {
    ObjectWorld& world = TheObjectWorld();
    GameObject* unit = world.FindObject(unitId);
    if (!unit || unit->IsDestroyed() == 1) return;
    if (unit->gridFlag == 1) world.RemoveFromGrids(unit, unit->GetCentre(), unit->GetRadius());
    carried = unitId;
    transferPhase = kTakingUnitIn;
    unit->onMap = 0;
    unit->gridFlag = 0;
    released = 1;
}

void CarrierSim::BeginCarry(GameObject* unit, const Point& p) {
    if (!unit) return;
    ObjectWorld& world = TheObjectWorld();
    LetPlaceGo();
    dropReservation = world.ReservePlace(unit, p, nullptr);
    if (dropReservation.IsNull()) {
        // Retried on every update until the place is free; only then answered.
        dropConfirmed = 0;
        dropPoint = p;
        carried = unit->id;
        return;
    }
    dropPoint = p;
    carried = unit->id;
    unit->onMap = 0;
    unit->gridFlag = 0;
    unit->SetPosition(position);
    transferPhase = kLettingUnitOut;
    released = 0;
    world.Commands().SendCarrierDropAck(this);
    dropConfirmed = 1;
}

void CarrierSim::MoveCarried(const Point& p) {
    if (GameObject* unit = Carried()) unit->SetPosition(p);
}

void CarrierSim::ApplyDrop() {
    GameObject* unit = Carried();
    if (!unit) {
        transferPhase = kNoTransfer;
        return;
    }
    SetDown(unit);
    carrierState = kReady;
    sequence = 1;
    carrierFrame = 0;
    overlayFrame = 0;
    overlayRunning = 1;
    sendPending = 0;
}

void CarrierSim::ResetCarry() {
    // A copy that held a drop place for a unit that is gone lets it go too.
    LetPlaceGo();
    carried = SimId();
    transferPhase = kNoTransfer;
    carrierState = kReady;
    sequence = 1;
    overlayFrame = 0;
    carrierFrame = 0;
    sendPending = 0;
    dropConfirmed = 1;
}

// What is aboard goes with the carrier: it would stay listed, hidden and off the map for good.
void CarrierSim::Destroy() {
    LetPlaceGo();
    if (GameObject* cargo = Carried()) cargo->Destroy();
    AirSim::Destroy();
}

int CarrierSim::StepMovement() {
    if (carrierState == kFolded) return AirSim::StepMovement();
    moveTime = 0;
    return 1;
}

void CarrierSim::Parse(char key, const char* text) {
    int32_t n[2] = {};
    if (key == 't' && ReadRecordNumbers(text, n, 2) == 2) {
        partner = SimId(n[0], n[1]);
        partnerUnchecked = 1;
    }
    AirSim::Parse(key, text);
}

void CarrierSim::Write(ResourceFile& file, char* buffer, int bufferSize) {
    WriteRecordLine(file, buffer, bufferSize, "t = %d,%d", partner.team, partner.serial);
    AirSim::Write(file, buffer, bufferSize);
}

// --- Drawing

void CarrierSim::DrawFrames(ScreenBase& view, const ShadeTable* sensed) {
    SpriteSet* pictures = Pictures();
    GameObject* unit = Carried();
    const Point at = view.MapToScreen(position);
    auto frame = [&](int sequenceIndex, int index) {
        if (!pictures || sequenceIndex > pictures->LastFrameIndex()) return;
        Image* frames = pictures->SubImage(sequenceIndex);
        if (!frames) return;
        if (sensed)
            frames->DrawFrameTinted(at, index, *sensed, 0);
        else
            frames->DrawFrameShadeFilled(at, index, teamRecord.third);
    };
    frame(sequence, carrierFrame);
    if (unit && released == 1) {
        if (sensed) {
            unit->DrawSensed(view, sensed);
        } else {
            unit->DrawUnder(view);
            unit->Draw(view);
        }
    }
    if (unit) frame(3, overlayFrame);
}

void CarrierSim::Draw(ScreenBase& view) {
    if (carrierState == kFolded || !Pictures()) {
        AirSim::Draw(view);
        return;
    }
    const Point kept = position;
    SetPosition(GetDrawOrigin());
    DrawFrames(view, nullptr);
    DrawAttachedEffect(view);
    DrawFlash(view);
    SetPosition(kept);
}

void CarrierSim::DrawSensed(ScreenBase& view, const ShadeTable* table) {
    if (carrierState == kFolded || !Pictures()) {
        AirSim::DrawSensed(view, table);
        return;
    }
    if (table) DrawFrames(view, table);
}

void CarrierSim::DrawUnder(ScreenBase& view) {
    SpriteSet* pictures = Pictures();
    if (carrierState == kFolded || !pictures) {
        AirSim::DrawUnder(view);
        return;
    }
    const Point kept = position;
    SetPosition(GetDrawOrigin());
    TerrainMap* terrain = TheObjectWorld().Terrain();
    const ShadeTable* shadow = terrain ? terrain->ShadeTable1() : nullptr;
    if (shadow && sequence <= pictures->LastFrameIndex()) {
        if (Image* frames = pictures->SubImage(sequence)) {
            const Point lift(altitude >> view.zoom, altitude >> view.zoom);
            frames->DrawFrameTinted(view.MapToScreen(position) + lift, carrierFrame, *shadow, 0);
        }
    }
    DrawMarks(view);
    SetPosition(kept);
}
