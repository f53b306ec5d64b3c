#pragma once
// The special units' test kit: a fake World that deploys, holds places on layers, places on a
// layer, plays voices and counts each object's grid marks; catalogue records for deploying,
// carrier, capture and air designs with pictures made in memory; and the units built from them.
#include <map>
#include <memory>
#include <vector>

#include "catalogue/CarrierChassisTemplate.h"
#include "catalogue/CatalogueMedia.h"
#include "catalogue/DeployingChassisTemplate.h"
#include "catalogue/PartTemplate.h"
#include "catalogue/VehicleDesign.h"
#include "core/Bitmap.h"
#include "core/Sound.h"
#include "core/SpriteSet.h"
#include "objects/AirSim.h"
#include "objects/AircraftSim.h"
#include "objects/CaptureSim.h"
#include "objects/CarrierSim.h"
#include "objects/DeployingSim.h"
#include "objects/Goal.h"
#include "objects/UnitVariants.h"
#include "support/FakeClock.h"
#include "support/FakeObjectWorld.h"

// Pictures are made by the kit; the catalogue loads none.
class NoMedia : public CatalogueMedia {
public:
    NoMedia() { SetCatalogueMedia(this); }
    ~NoMedia() override { SetCatalogueMedia(nullptr); }
    std::unique_ptr<SpriteSet> LoadGrid(const std::string&) override { return nullptr; }
    std::unique_ptr<SpriteSet> LoadColumn(const std::string&) override { return nullptr; }
    std::unique_ptr<SpriteSet> LoadRow(const std::string&) override { return nullptr; }
    std::unique_ptr<SpriteSet> OpenStreamed(const std::string&) override { return nullptr; }
    std::unique_ptr<Sound> MakeSound(int32_t) override { return nullptr; }
};

// A grid of sequences with the given frame counts, blank 8 x 8 frames.
inline std::unique_ptr<SpriteSet> Grid(const std::vector<int>& frames) {
    auto grid = std::make_unique<SpriteSet>(static_cast<int32_t>(frames.size()));
    for (size_t s = 0; s < frames.size(); ++s) {
        auto sequence = std::make_unique<SpriteSet>(frames[s]);
        for (int f = 0; f < frames[s]; ++f)
            sequence->SetFrame(std::make_unique<Bitmap>(Size(8, 8)), f);
        grid->SetFrame(std::move(sequence), static_cast<int32_t>(s));
    }
    return grid;
}

class SpecialWorld : public FakeObjectWorld {
public:
    struct Held {
        Point p;
        int layer = -1;
        GameObject* object = nullptr;
    };

    SpecialWorld() : FakeObjectWorld(40, 40) {
        commands.SetEnabled(1);
        makers.playVoice = [this](int bank) { voices.push_back(bank); };
    }

    int DeploySim(GameObject* sim) override {
        SetDeployKind(sim, 7);
        return 0;
    }
    int UndeploySim(GameObject* sim) override {
        SetDeployKind(sim, 1);
        return 0;
    }
    // Granted codes, and the standing structures of the Sim list.
    int TeamHasStructure(int team, int code) override {
        if (FakeObjectWorld::TeamHasStructure(team, code)) return 1;
        for (GameObject* o : sims) {
            if (o->GetTeam() == team && o->GetKind() == 7 && o->IsDestroyed() == 0 &&
                StructureCodeOf(o) == code)
                return 1;
        }
        return 0;
    }
    GameObject* NearestStructure(int, int, const Point&) override { return structure; }
    // A point of `blocked` is taken (by placementBlocker).
    SimId ReservePlace(GameObject* o, const Point& p, GameObject** blocker) override {
        SimId out;
        return ReservePlaceOnLayer(out, o, p, -1, blocker);
    }
    SimId ReservePlaceOnLayer(SimId& out, GameObject* o, const Point& p, int layer,
                              GameObject** blocker) override {
        if (blocker) *blocker = nullptr;
        out = SimId();
        if (std::find(blocked.begin(), blocked.end(), p) != blocked.end()) {
            if (blocker) *blocker = placementBlocker;
            return out;
        }
        out = SimId(0, nextSerial++);
        held[out.serial] = Held{p, layer, o};
        return out;
    }
    void MoveReservation(const SimId& id, GameObject* o) override {
        MoveReservationOnLayer(id, o, -1);
    }
    void MoveReservationOnLayer(const SimId& id, GameObject* o, int layer) override {
        auto it = held.find(id.serial);
        if (id.IsNull() || it == held.end()) return;
        if (o) {
            if (layer >= 0) o->collision.layer = layer;
            o->SetPosition(it->second.p);
            AddToGrids(o, o->GetPosition(), 0);
        }
        held.erase(it);
    }
    int PlaceOnLayer(GameObject* o, const Point& p, int layer, GameObject** blocker) override {
        if (blocker) *blocker = nullptr;
        if (refuseLayer) return 0;
        o->collision.layer = layer;
        o->SetPosition(p);
        return 1;
    }
    void AddToGrids(GameObject* o, const Point& p, int r) override {
        FakeObjectWorld::AddToGrids(o, p, r);
        ++marks[o];
    }
    void RemoveFromGrids(GameObject* o, const Point& p, int r) override {
        FakeObjectWorld::RemoveFromGrids(o, p, r);
        --marks[o];
    }

    std::map<int32_t, Held> held;
    // Each object's grid marks less its removals, counted from 0 (listed units start at 1).
    std::map<GameObject*, int> marks;
    int refuseLayer = 0;
    std::vector<int> voices;
    GameObject* structure = nullptr;
};

// A goal of any type that never ends by itself.
class PlainGoal : public Goal {
public:
    PlainGoal(const SimId& owner, GoalType type) : Goal(owner, 1, 1), type(type) {}
    int GetType() const override { return static_cast<int>(type); }
    int IsDone() override { return 0; }
    GoalType type;
};

class SpecialKit {
public:
    static constexpr int kMaxAltitude = 30;

    SpecialKit() {
        ground = std::make_unique<PartTemplate>('V', 'W', 1, 1, 0, 100, 1);
        air = std::make_unique<PartTemplate>('V', 'A', 1, 2, kMaxAltitude, 100, 1);
        lander = std::make_unique<PartTemplate>('V', 'L', 1, 1, kMaxAltitude, 100, 1);
        flat = std::make_unique<PartTemplate>('V', 'G', 1, 0, 0, 100, 1);
        for (auto* d : {ground.get(), air.get(), lander.get(), flat.get()})
            d->moveValue = 10;
        plain = std::make_unique<ChassisTemplate>(Values('a'));
        capture = std::make_unique<ChassisTemplate>(Values('t'));
        capture->mapPictures = Grid({1});
        carrier = std::make_unique<CarrierChassisTemplate>(Values('g'), "", -1);
        carrier->deployedPictures = Grid({4, 2, 3, 4});
        for (int code = 0; code <= 5; ++code) {
            DeployingValues d;
            d.structureCode = code;
            d.deployHardpoints = 1;
            d.deployedMountPoints = {Point(3, 4)};
            d.deployFrameCount = 4;
            d.frameMountPoints = {Point(0, 1), Point(0, 2), Point(0, 3), Point(0, 4)};
            ChassisValues c = Values('r');
            c.hardpointCount = 1;
            c.capacities = {9};
            c.mountOffsets.assign(16, Point(1, 1));
            structures.push_back(std::make_unique<DeployingChassisTemplate>(c, d));
            structures.back()->deployedPictures = Grid({2, 4});
        }
    }

    static ChassisValues Values(char role) {
        ChassisValues c;
        c.clan = 'V';
        c.role = role;
        c.strength = 100;
        c.moveValue = 10;
        return c;
    }

    std::unique_ptr<VehicleDesign> Design(PartTemplate* drive, ChassisTemplate* chassis) {
        auto d = std::make_unique<VehicleDesign>('V');
        d->drive = drive;
        d->chassis = chassis;
        return d;
    }

    // Each unit is listed in the world's Sim list and owned by it.
    template <class Unit>
    Unit* Make(SpecialWorld& world, PartTemplate* drive, ChassisTemplate* chassis, int team,
               int serial, const Point& at) {
        std::unique_ptr<GameObject> unit =
            std::make_unique<Unit>(at, SimId(team, serial), Design(drive, chassis));
        Unit* raw = static_cast<Unit*>(unit.get());
        world.AddSim(unit);
        world.marks[raw] = 1;
        return raw;
    }
    DeployingSim* Structure(SpecialWorld& w, int code, int team, int serial, const Point& at) {
        return Make<DeployingSim>(w, ground.get(), structures[code].get(), team, serial, at);
    }
    AirSim* Flyer(SpecialWorld& w, int team, int serial, const Point& at) {
        return Make<AirSim>(w, lander.get(), plain.get(), team, serial, at);
    }
    AircraftSim* Aircraft(SpecialWorld& w, int team, int serial, const Point& at) {
        return Make<AircraftSim>(w, air.get(), plain.get(), team, serial, at);
    }
    CaptureSim* Capturer(SpecialWorld& w, int team, int serial, const Point& at) {
        return Make<CaptureSim>(w, lander.get(), capture.get(), team, serial, at);
    }
    CarrierSim* Carrier(SpecialWorld& w, int team, int serial, const Point& at) {
        return Make<CarrierSim>(w, flat.get(), carrier.get(), team, serial, at);
    }
    Sim* Unit(SpecialWorld& w, int team, int serial, const Point& at) {
        return Make<Sim>(w, ground.get(), plain.get(), team, serial, at);
    }

    NoMedia media;
    std::unique_ptr<PartTemplate> ground, air, lander, flat;
    std::unique_ptr<ChassisTemplate> plain, capture;
    std::unique_ptr<CarrierChassisTemplate> carrier;
    std::vector<std::unique_ptr<DeployingChassisTemplate>> structures;
};
