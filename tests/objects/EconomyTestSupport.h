#pragma once
// Units of the economy built from in-memory designs (chassis 'f', 'h', 'k' or a plain one),
// plain objects standing in for fields, wrecks and factories, and work pictures that record
// what is drawn from them.
#include <memory>
#include <utility>
#include <vector>

#include "catalogue/ChassisTemplate.h"
#include "catalogue/PartTemplate.h"
#include "catalogue/PictureTemplates.h"
#include "catalogue/VehicleDesign.h"
#include "core/SpriteSet.h"
#include "objects/GameObject.h"
#include "objects/MinerSim.h"
#include "objects/RepairSim.h"
#include "objects/ScavengerSim.h"
#include "objects/SimBody.h"

// A field (kind 5), a wreck (3) or a factory (4) with a load and, for a factory, docks.
class Thing : public GameObject {
public:
    Thing(int kind, const SimId& id, const Point& at, int load, int capacity = 100000)
        : GameObject(at, 0, Size(32, 32), nullptr, 0, CollisionFilter(1, 0, 0, 0, 0), id, 100, 1),
          kind(kind) {
        teamRecord.first = teamRecord.second = id.team;
        SetCargoCapacity(capacity);
        AddCargo(load);
    }
    int GetKind() override { return kind; }
    // A field shows the colour of the team that mined it last.
    void ChangeTeam(const ValueTriple& record, int) override { teamRecord.third = record.third; }
    int kind;
};

// A work-picture sequence that records the frames drawn from it.
class SequenceProbe : public Image {
public:
    explicit SequenceProbe(int frames) : Image(Size(16, 16)), frames(frames) {}
    int32_t LastFrameIndex() override { return frames - 1; }
    void DrawFrameShadeFilled(const Point& at, int32_t frame, int32_t colour) override {
        drawn.push_back({frame, colour});
        points.push_back(at);
    }
    void DrawFrameTinted(const Point& at, int32_t frame, const ShadeTable&, int32_t) override {
        drawn.push_back({frame, -1});
        points.push_back(at);
    }
    int frames;
    // Each drawing's frame and team colour (-1: tinted), and where it was drawn.
    std::vector<std::pair<int, int>> drawn;
    std::vector<Point> points;
};

class EconomyKit {
public:
    EconomyKit() { drive = std::make_unique<PartTemplate>('V', 'W', 1, 1, 0, 100, 1); }

    std::unique_ptr<VehicleDesign> Design(char role) {
        ChassisValues c;
        c.clan = 'V';
        c.role = role;
        c.strength = 100;
        chassis.push_back(std::make_unique<ChassisTemplate>(c));
        auto d = std::make_unique<VehicleDesign>('V');
        d->drive = drive.get();
        d->chassis = chassis.back().get();
        return d;
    }

    // Work pictures of `sequences` sequences with `frames` frames each.
    PictureTemplate* Pictures(int sequences, int frames) {
        auto set = std::make_unique<SpriteSet>(sequences);
        for (int s = 0; s < sequences; ++s)
            set->SetFrame(std::make_unique<SequenceProbe>(frames), s);
        roles.push_back(std::make_unique<PictureTemplate>('V', 'f', std::move(set)));
        return roles.back().get();
    }
    static SequenceProbe* Probe(WorkCycle& cycle, int sequence) {
        return static_cast<SequenceProbe*>(cycle.pictures->SubImage(sequence));
    }

    // Units 32 pixels square, as their pictures would make them.
    template <class Unit>
    static std::unique_ptr<Unit> Sized(std::unique_ptr<Unit> unit) {
        if (unit->body) unit->body->extent = Size(32, 32);
        return unit;
    }
    std::unique_ptr<MinerSim> Miner(const SimId& id, const Point& at,
                                    PictureTemplate* role = nullptr) {
        return Sized(std::make_unique<MinerSim>(at, id, Design('f'), role));
    }
    std::unique_ptr<ScavengerSim> Scavenger(const SimId& id, const Point& at,
                                            PictureTemplate* role = nullptr) {
        return Sized(std::make_unique<ScavengerSim>(at, id, Design('h'), role));
    }
    std::unique_ptr<RepairSim> Repairer(const SimId& id, const Point& at,
                                        PictureTemplate* role = nullptr) {
        return Sized(std::make_unique<RepairSim>(at, id, Design('k'), role));
    }
    std::unique_ptr<Sim> Plain(const SimId& id, const Point& at) {
        return Sized(std::make_unique<Sim>(at, id, Design('a')));
    }

    std::unique_ptr<PartTemplate> drive;
    std::vector<std::unique_ptr<ChassisTemplate>> chassis;
    std::vector<std::unique_ptr<PictureTemplate>> roles;
};
