#include "objects/AircraftSim.h"

#include "catalogue/VehicleDesign.h"

#include <algorithm>

#include "catalogue/TemplateCatalogue.h"
#include "objects/CommandBuffer.h"
#include "objects/EconomyManoeuvres.h"
#include "objects/Goal.h"
#include "objects/ObjectWorld.h"
#include "objects/RecordLines.h"
#include "objects/SelectionMarker.h"
#include "objects/SquadManoeuvre.h"
#include "objects/TargetGoal.h"
#include "objects/UnitMakers.h"
#include "ui/ScreenBase.h"

namespace {

bool IsRefuel(const Goal* goal) {
    return goal && goal->GetType() == static_cast<int>(GoalType::Refuel);
}

}  // namespace

AircraftSim::AircraftSim(const Point& position, const SimId& id,
                         std::unique_ptr<VehicleDesign> ownDesign)
    : AirSim(position, id, std::move(ownDesign)) {
    // Also on copies; BuildManoeuvreList adds it again only where the aircraft is simulated.
    AddRefuelManoeuvre();
}

AircraftSim::~AircraftSim() {
    ClearGoals();
}

void AircraftSim::AddRefuelManoeuvre() {
    ManoeuvreArguments arguments;
    arguments.first = kRefuelPercent;
    std::unique_ptr<SquadManoeuvre> refuel =
        TheObjectWorld().Makers().MakeManoeuvre(static_cast<int>(ManoeuvreType::Refuel), arguments);
    if (!refuel) return;
    refuel->SetPriority(kRefuelPriority);
    AddManoeuvre(refuel.release());
}

bool AircraftSim::MayFly() {
    return fuel > 0 && TheObjectWorld().TeamHasStructure(GetTeam(), kRefuelCode) == 1;
}

void AircraftSim::Update(int elapsedMs) {
    AirSim::Update(elapsedMs);
    if (collision.layer == airLayer) {
        fuel -= elapsedMs;
        if (fuel < 1) fuel = 0;
    }
}

void AircraftSim::DrawUnder(ScreenBase& view) {
    if (selected == 1 && selectionMarker) {
        const Point shift = GetDrawOrigin() - position + Point(0, kFuelMeterDrop);
        DrawLevelMeter(100 - GetFuelPercent(), view.MapToScreen(GetBounds().origin + shift),
                       kFuelMeterColour);
    }
    AirSim::DrawUnder(view);
}

void AircraftSim::BuildManoeuvreList() {
    if (local != 1) return;
    Sim::BuildManoeuvreList();
    AddRefuelManoeuvre();
}

int AircraftSim::GetMoveDelay() {
    const int delay = Sim::GetMoveDelay();
    return MayFly() ? delay : 2 * delay;
}

int AircraftSim::AddFuel(int n) {
    // In 64 bits: an amount near the int limit must not wrap the comparison.
    if (int64_t{fuel} < int64_t{fuelCapacity} - n) {
        fuel += n;
        return n;
    }
    const int32_t missing = fuelCapacity - fuel;
    fuel = fuelCapacity;
    return missing;
}

int AircraftSim::GetFuelPercent() {
    if (fuelCapacity <= 0) return 0;
    return static_cast<int>(int64_t{fuel} * 100 / fuelCapacity);
}

void AircraftSim::Parse(char key, const char* text) {
    int32_t n = 0;
    // From a file: the tank holds between nothing and its capacity.
    if (key == 'V' && ReadRecordNumbers(text, &n, 1) == 1)
        fuel = std::clamp(n, int32_t{0}, std::max(fuelCapacity, int32_t{0}));
    AirSim::Parse(key, text);
}

void AircraftSim::Write(ResourceFile& file, char* buffer, int bufferSize) {
    WriteRecordLine(file, buffer, bufferSize, "V = %d", fuel);
    AirSim::Write(file, buffer, bufferSize);
}

int AircraftSim::IsFlyer() {
    return MayFly() ? 1 : 0;
}

void AircraftSim::SetAirLayer() {
    if (MayFly()) AirSim::SetAirLayer();
}

int AircraftSim::ShouldLand() {
    if (AirSim::ShouldLand() == 1) return 1;
    if (Landed() || descending == 1 || landingBlocked != 0) return 0;
    if (MayFly()) return IsRefuel(goals.Front()) ? 1 : 0;
    return 1;
}

int AircraftSim::ShouldTakeOff() {
    return AirSim::ShouldTakeOff() == 1 && IsFlyer() == 1 && !IsRefuel(goals.Front()) ? 1 : 0;
}

void AircraftSim::SpecialAction() {
    ObjectWorld& world = TheObjectWorld();
    if (auto* refuel =
            dynamic_cast<RefuelManoeuvre*>(FindManoeuvre(static_cast<int>(ManoeuvreType::Refuel))))
        refuel->routeFailed = 0;
    GameObject* dock = world.NearestStructure(GetTeam(), kRefuelCode, position);
    if (!dock) return;
    const int index = dock->FindFreeDock(this, 0);
    if (index == -1) return;
    GoalFields fields;
    fields.point = dock->GetDockPoint(index);
    fields.param = kRefuelParam;
    std::unique_ptr<Goal> refuel =
        world.Makers().MakeGoal(static_cast<int>(GoalType::Refuel), id, fields, 1, 1);
    if (!refuel) return;
    AddGoal(std::move(refuel), 0);
    Point lift;
    if (collision.layer == airLayer) lift = Point(0, GetCruiseAltitude() - GetMaxAltitude());
    AddGoal(std::make_unique<TargetGoal>(id, dock->id, dock->GetDockOffset(index) + lift, 1, 1), 0);
    world.Commands().SendGoal(this, goals.Front());
}
