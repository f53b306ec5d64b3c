#include "world/RecentDead.h"

#include <algorithm>
#include <cstdlib>

#include "catalogue/BuildingTemplate.h"
#include "catalogue/ChassisTemplate.h"
#include "catalogue/MountTemplate.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/VehicleDesign.h"
#include "map/ObjectKinds.h"
#include "objects/GameObject.h"
#include "world/ShotFlight.h"

namespace {

constexpr char kPieceChassis = 'Z';

int64_t KeyOf(const SimId& id) {
    return (static_cast<int64_t>(id.team) << 32) | static_cast<uint32_t>(id.serial);
}

}  // namespace

RecentDead::Death RecentDead::Describe(GameObject* o) {
    Death d;
    d.id = o->id;
    d.team = o->GetTeam();
    d.kind = o->GetKind();
    d.centre = o->GetCentre();
    d.wreckAt = o->GetPosition();
    VehicleDesign* design = o->GetDesign();
    const bool factory = d.kind == ObjectKind::kFactory;
    if (design) {
        static_assert(std::tuple_size_v<decltype(design->hardpoints)> == kWeapons);
        for (size_t h = 0; h < kWeapons; ++h) {
            const MountTemplate* m = design->hardpoints[h];
            if (!m || m->GetMountKind() != MountKind::Weapon) continue;
            d.reach = std::max(d.reach, m->GetRange());
        }
    }
    const int64_t capacity = std::max(o->cargoCapacity, 0);
    if (factory) {
        // Its pieces, as the death pass scatters them.
        BuildingTemplate* building = design ? FindBuildingTemplate(design->clan) : nullptr;
        if (building) {
            d.wreckAt = d.centre;
            d.wreckClan = building->clan;
            d.wreckChassis = kPieceChassis;
            d.wrecksLeft = building->clan == 'V' ? 3 : 4;
            // Each piece holds a share of the design's value and the cargo.
            d.mostWreckValue = (int64_t{design->SumPartField5()} + capacity) / d.wrecksLeft;
        }
    } else if (design && design->chassis && d.kind != ObjectKind::kCaptureUnit) {
        d.wreckClan = design->clan;
        d.wreckChassis = design->chassis->role;
        d.mostWreckValue = static_cast<int64_t>(design->SumPartField5() * kWreckShare) + capacity;
        d.wrecksLeft = 1;
    }
    return d;
}

void RecentDead::Elapse(int32_t elapsedMs) {
    nowMs += elapsedMs;
    if (deaths.empty()) return;
    const int32_t span = SpanMs();
    std::erase_if(deaths, [this, span](const Death& d) { return nowMs - d.diedAtMs > span; });
}

void RecentDead::Note(GameObject* o) {
    for (const Death& d : deaths)
        if (d.id == o->id) return;
    Death d = Describe(o);
    d.diedAtMs = nowMs;
    deaths.push_back(d);
}

const RecentDead::Death* RecentDead::Find(const SimId& id) const {
    for (const Death& d : deaths)
        if (d.id == id) return &d;
    return nullptr;
}

RecentDead::Death* RecentDead::MatchWreck(char clan, char chassis, const Point& at, int64_t value,
                                          const std::function<bool(int32_t)>& answered) {
    Death* best = nullptr;
    int bestAway = 0;
    for (Death& d : deaths) {
        if (d.wrecksLeft < 1 || d.wreckClan != clan || d.wreckChassis != chassis ||
            value > d.mostWreckValue || !answered(d.team))
            continue;
        const int away = WreckDistance(d, at);
        const int reach = d.kind == ObjectKind::kFactory ? kPieceReachPixels : kWreckLagPixels;
        if (away > reach) continue;
        if (!best || away < bestAway || (away == bestAway && KeyOf(d.id) < KeyOf(best->id))) {
            best = &d;
            bestAway = away;
        }
    }
    return best;
}

int RecentDead::WreckDistance(const Death& d, const Point& at) {
    const int dx = std::abs(at.x - d.wreckAt.x);
    const int dy = std::abs(at.y - d.wreckAt.y);
    if (d.kind == ObjectKind::kFactory) return std::max(dx, dy);
    // A unit's wreck lies where it stood, or below it if it flew: whether a copy's layer had
    // followed its owner's at the kill is not this check's to judge.
    const int dropped = std::abs(at.y - d.wreckAt.y - kAirWreckDrop);
    return std::max(dx, std::min(dy, dropped));
}

int32_t RecentDead::SpanMs() {
    return ShotFlight::LongestOfCatalogue() + kLinkSlackMs + kHeldMs;
}

void RecentDead::Clear() {
    nowMs = 0;
    deaths.clear();
}
