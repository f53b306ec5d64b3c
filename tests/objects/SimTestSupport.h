#pragma once
// Catalogue records made in memory for the unit tests (a drive, a chassis with hardpoints and
// mount offsets, weapons, defence, sensor and stealth items), designs built from them, and a
// weapon record whose shot strikes its target on its first update.
#include <memory>
#include <vector>

#include "catalogue/ChassisTemplate.h"
#include "catalogue/HardpointItemTemplates.h"
#include "catalogue/PartTemplate.h"
#include "catalogue/VehicleDesign.h"
#include "catalogue/WeaponTemplate.h"
#include "core/EventReceiver.h"
#include "objects/CommandBuffer.h"
#include "objects/GameObject.h"
#include "objects/ObjectWorld.h"
#include "objects/Sim.h"

// A shot that hits its target on its first update and then is gone.
class StrikingShot : public GameObject {
public:
    StrikingShot(WeaponTemplate* weapon, const SimId& id, const SimId& shooter, const SimId& target)
        : GameObject(Point(), 0, Size(1, 1), nullptr, 0, CollisionFilter(0, 0, 0, 0, 0), id, 0, 1),
          weapon(weapon),
          shooter(shooter),
          target(target) {}
    void Update(int) override {
        if (GameObject* t = TheObjectWorld().FindObject(target))
            t->TakeDamage(weapon, shooter, nullptr, 0);
        Destroy();
    }
    WeaponTemplate* weapon;
    SimId shooter;
    SimId target;
};

class StrikingWeapon : public WeaponTemplate {
public:
    using WeaponTemplate::WeaponTemplate;
    GameObject* CreateShot(GameObject* shooter, GameObject* targetObject, int, const SimId& id,
                           int) override {
        ++made;
        return new StrikingShot(this, id, shooter->id, targetObject->id);
    }
    int made = 0;
};

// Records an event's code and its third argument as a SimId where it carries one.
class EventLog : public EventReceiver {
public:
    void OnEvent(int32_t kind, void*, void* b) override {
        codes.push_back(kind);
        arguments.push_back(b);
    }
    int Count(int code) const {
        int n = 0;
        for (int c : codes)
            n += c == code ? 1 : 0;
        return n;
    }
    // The blockers of refused steps it was told of.
    void OnStepRefused(GameObject*, GameObject* blocker) override { refusedBy.push_back(blocker); }
    std::vector<int> codes;
    std::vector<void*> arguments;
    std::vector<GameObject*> refusedBy;
};

struct WeaponSpec {
    char role = 'a';
    int range = 200;
    int firePower = 20;
    int reload = 100;
    int shotLayer = 1;
    char kind = 'b';
    bool striking = false;
};

class SimKit {
public:
    static constexpr int kHardpoints = 7;

    SimKit() {
        drive = std::make_unique<PartTemplate>('V', 'W', 1, 1, 0, 100, 1);
        drive->moveValue = 10;
        ChassisValues c;
        c.clan = 'V';
        c.role = 'a';
        c.strength = 100;
        c.moveValue = 10;
        c.hardpointCount = kHardpoints;
        c.capacities.assign(kHardpoints, 9);
        for (int h = 0; h < kHardpoints; ++h) {
            for (int f = 0; f < 16; ++f)
                c.mountOffsets.push_back(Point(h, 0));
        }
        chassis = std::make_unique<ChassisTemplate>(c);
    }

    WeaponTemplate* Weapon(const WeaponSpec& shape) {
        WeaponValues v;
        v.mount.clan = 'V';
        v.mount.role = shape.role;
        v.reloadField = shape.reload;
        v.rangeField = shape.range;
        v.firePowerField = shape.firePower;
        v.kindLetter = shape.kind;
        v.shotLayerField = shape.shotLayer;
        std::unique_ptr<WeaponTemplate> w =
            shape.striking ? std::make_unique<StrikingWeapon>(WeaponClass::Beam, v)
                           : std::make_unique<WeaponTemplate>(WeaponClass::Beam, v);
        records.push_back(std::move(w));
        return static_cast<WeaponTemplate*>(records.back().get());
    }

    MountTemplate* Defence(char letter) {
        MountValues v;
        v.clan = 'V';
        v.role = letter;
        const int32_t frames[1] = {0};
        records.push_back(std::make_unique<DefenceItemTemplate>(v, 0, 10, 1, frames, ""));
        return static_cast<MountTemplate*>(records.back().get());
    }

    MountTemplate* Sensor(char letter) {
        MountValues v;
        v.clan = 'V';
        v.role = letter;
        records.push_back(std::make_unique<SensorItemTemplate>(v, 0));
        return static_cast<MountTemplate*>(records.back().get());
    }

    MountTemplate* Stealth(char letter) {
        MountValues v;
        v.clan = 'V';
        v.role = letter;
        records.push_back(std::make_unique<StealthItemTemplate>(v));
        return static_cast<MountTemplate*>(records.back().get());
    }

    // A design with the kit's drive and chassis and the given hardpoint parts.
    std::unique_ptr<VehicleDesign> Design(std::vector<MountTemplate*> parts = {}) {
        auto d = std::make_unique<VehicleDesign>('V');
        d->drive = drive.get();
        d->chassis = chassis.get();
        for (size_t i = 0; i < parts.size() && i < kHardpoints; ++i)
            d->hardpoints[i] = parts[i];
        return d;
    }

    std::unique_ptr<Sim> MakeSim(int team, int serial, const Point& at,
                                 std::vector<MountTemplate*> parts = {}) {
        return std::make_unique<Sim>(at, SimId(team, serial), Design(std::move(parts)));
    }

    std::unique_ptr<PartTemplate> drive;
    std::unique_ptr<ChassisTemplate> chassis;
    std::vector<std::unique_ptr<Template>> records;
};

// The kinds of the commands recorded in a buffer, in order.
inline std::vector<int> CommandKinds(const CommandBuffer& buffer) {
    std::vector<int> kinds;
    const uint8_t* p = buffer.Data();
    size_t at = 0;
    while (at + 1 < buffer.Size() && p[at] > 0) {
        kinds.push_back(p[at + 1]);
        at += p[at];
    }
    return kinds;
}
