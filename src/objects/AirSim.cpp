#include "objects/AirSim.h"

#include "catalogue/VehicleDesign.h"

#include "objects/CommandBuffer.h"
#include "objects/Goal.h"
#include "objects/ObjectWorld.h"
#include "objects/RecordLines.h"
#include "objects/SimBody.h"
#include "objects/UnitMakers.h"

namespace {

bool IsRepairOrTransport(const Goal* goal) {
    const int type = goal->GetType();
    return type == static_cast<int>(GoalType::Repair) ||
           type == static_cast<int>(GoalType::Transport);
}

Point AltitudePoint(int altitude) {
    return Point(altitude, altitude);
}

}  // namespace

AirSim::AirSim(const Point& position, const SimId& id, std::unique_ptr<VehicleDesign> ownDesign)
    : Sim(position, id, std::move(ownDesign)) {}

AirSim::~AirSim() {
    ClearGoals();
}

bool AirSim::AllAnswered(int32_t answers) {
    return answers >= TheObjectWorld().PlayerCount() - 1;
}

void AirSim::Update(int elapsedMs) {
    Sim::Update(elapsedMs);
    if (local == 1 && AllAnswered(acknowledgements)) changeConfirmed = 1;
    if (Steers()) {
        if (ShouldLand() == 1)
            Land();
        else if (ShouldTakeOff() == 1)
            SetAirLayer();
        if (descending == 1)
            DescentTick(elapsedMs);
        else if (climbing == 1)
            ClimbTick(elapsedMs);
    }
    if (local != 1 && changeConfirmed == 0) StartAltitudeChange(pendingLayer, pendingPoint);
}

void AirSim::AnnounceChange(int layer) {
    ObjectWorld& world = TheObjectWorld();
    world.Commands().SendAltitudeChange(this, layer, pendingPoint);
    if (world.IsNetworkGame() == 1) {
        changeConfirmed = 0;
        acknowledgements = 0;
    }
}

void AirSim::MoveIntoReservation(int layer) {
    TheObjectWorld().MoveReservationOnLayer(reservation, this, layer);
    reservation = SimId();
    pendingPoint = Point();
}

void AirSim::ClimbTick(int elapsedMs) {
    stepTime += elapsedMs;
    if (stepTime <= kStepMs) return;
    ObjectWorld& world = TheObjectWorld();
    if (collision.layer == airLayer) {
        ++altitude;
        stepTime = 0;
        world.Commands().SendAltitudeStep(this, position, AltitudePoint(altitude));
        if (altitude >= GetMaxAltitude()) {
            climbing = 0;
            altitude = GetMaxAltitude();
            goals.DropFinished();
            world.Commands().SendAltitudeReached(this, AltitudePoint(altitude));
        }
        return;
    }
    // Still below: the step time stays, so this runs every update until the flyer is up.
    pendingPoint = position - Point(0, GetMaxAltitude() - groundAltitude);
    if (!reservation.IsNull()) {
        if (changeConfirmed == 1) MoveIntoReservation(airLayer);
        return;
    }
    GameObject* blocker = nullptr;
    world.ReservePlaceOnLayer(reservation, this, pendingPoint, airLayer, &blocker);
    if (!reservation.IsNull()) {
        AnnounceChange(airLayer);
        climbBlocked = 0;
        return;
    }
    if (blocker) world.Makers().MoveBlockerAside(this, blocker, 0);
    climbBlocked = 1;
}

void AirSim::DescentTick(int elapsedMs) {
    stepTime += elapsedMs;
    if (stepTime < kStepMs) return;
    stepTime = 0;
    ObjectWorld& world = TheObjectWorld();
    if (collision.layer != airLayer) {
        if (altitude > groundAltitude) {
            --altitude;
            world.Commands().SendAltitudeStep(this, position, AltitudePoint(altitude));
        } else {
            descending = 0;
            world.Commands().SendAltitudeReached(this, AltitudePoint(altitude));
            altitude = groundAltitude;
            goals.DropFinished();
        }
        return;
    }
    if (!reservation.IsNull()) {
        if (changeConfirmed == 1) MoveIntoReservation(lowLayer);
        return;
    }
    pendingPoint = position + Point(0, altitude - groundAltitude);
    GameObject* blocker = nullptr;
    world.ReservePlaceOnLayer(reservation, this, pendingPoint, lowLayer, &blocker);
    if (!reservation.IsNull()) {
        AnnounceChange(lowLayer);
        landingBlocked = 0;
        return;
    }
    if (goals.Front()) {
        // An order came while no room was found: the flyer stays up.
        descending = 0;
        return;
    }
    const bool groundMover =
        blocker && blocker->collision.secondLayer != airLayer && blocker->IsMobile() == 1;
    if (groundMover) {
        world.Makers().MoveBlockerAside(this, blocker, 0);
    } else if (landingBlocked == 0) {
        world.Makers().MoveBlockerAside(this, blocker, 0);
        landingBlocked = 1;
    }
}

void AirSim::StartAltitudeChange(int targetLayer, const Point& p) {
    if (collision.layer < targetLayer) {
        climbing = 1;
        descending = 0;
    } else {
        climbing = 0;
        descending = 1;
    }
    ObjectWorld& world = TheObjectWorld();
    if (world.PlaceOnLayer(this, p, targetLayer, nullptr) == 1) {
        world.Commands().SendAltitudeAck(this);
        changeConfirmed = 1;
        return;
    }
    changeConfirmed = 0;
    pendingLayer = targetLayer;
    pendingPoint = p;
}

void AirSim::EndAltitudeChange(const Point& p) {
    climbing = 0;
    descending = 0;
    altitude = p.x;
}

void AirSim::ApplyAltitudeStep(const Point& at, const Point& p) {
    TheObjectWorld().PlaceObject(this, at, nullptr);
    altitude = p.x;
}

void AirSim::Land() {
    if (local != 1 || Landed()) return;
    // A climb that holds its place above, or stands there already, goes on to its height: the
    // copies stand above already, a held place would be neither used nor let go, and a
    // landing from below the height would set down that far from where the unit rose.
    if (!reservation.IsNull() || (climbing == 1 && collision.layer == airLayer)) return;
    if (Goal* order = goals.FirstUnfinished()) order->retried = 0;
    descending = 1;
    climbing = 0;
}

int AirSim::ShouldLand() {
    if (Landed() || descending == 1 || landingBlocked == 1) return 0;
    Goal* front = goals.Front();
    return !front || IsRepairOrTransport(front) ? 1 : 0;
}

int AirSim::ShouldTakeOff() {
    if (collision.layer == airLayer || climbing == 1) return 0;
    Goal* front = goals.Front();
    return front && !IsRepairOrTransport(front) ? 1 : 0;
}

void AirSim::SetAirLayer() {
    if (local != 1 || collision.layer == airLayer) return;
    climbing = 1;
    descending = 0;
}

int AirSim::StepMovement() {
    const bool free =
        (descending == 0 || landingBlocked == 1) && (climbing == 0 || climbBlocked == 1);
    if (free) return Sim::StepMovement();
    moveTime = 0;
    return 1;
}

int AirSim::AdvanceGoals() {
    const int advanced = Sim::AdvanceGoals();
    if (advanced == 1) landingBlocked = 0;
    return advanced;
}

void AirSim::Destroy() {
    if (!reservation.IsNull()) {
        TheObjectWorld().MoveReservation(reservation, nullptr);
        reservation = SimId();
    }
    Sim::Destroy();
}

Point AirSim::GetDrawOrigin() {
    const bool onAir = collision.layer == airLayer;
    if (descending == 1 && !onAir) return position - Point(0, altitude - groundAltitude);
    if (climbing == 1 && onAir) return position + Point(0, GetMaxAltitude() - altitude);
    if (climbing == 1 && !onAir && altitude != groundAltitude)
        return position - Point(0, altitude - groundAltitude);
    return position;
}

void AirSim::Draw(ScreenBase& view) {
    const Point kept = position;
    SetPosition(GetDrawOrigin());
    Sim::Draw(view);
    SetPosition(kept);
}

void AirSim::DrawSensed(ScreenBase& view, const ShadeTable* table) {
    const Point kept = position;
    SetPosition(GetDrawOrigin());
    Sim::DrawSensed(view, table);
    SetPosition(kept);
}

void AirSim::DrawUnder(ScreenBase& view) {
    const Point kept = position;
    const Point origin = GetDrawOrigin();
    if (body && HiddenFromOwnTeam() == 0)
        body->DrawShadow(view, origin, bob, facing, AltitudePoint(altitude));
    // The marks follow the picture: the marker at the draw origin, the bar moved with it.
    SetPosition(origin);
    DrawMarks(view);
    SetPosition(kept);
}

void AirSim::Parse(char key, const char* text) {
    if (key == 'h') {
        collision.layer = airLayer;
        // The file keeps no altitude: an airborne unit is read at its flying height, so its
        // shadow and its next landing start from there.
        altitude = GetMaxAltitude();
    }
    Sim::Parse(key, text);
}

void AirSim::Write(ResourceFile& file, char* buffer, int bufferSize) {
    if (collision.layer == airLayer) WriteRecordLine(file, buffer, bufferSize, "h = Y");
    Sim::Write(file, buffer, bufferSize);
}
