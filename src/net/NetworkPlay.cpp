#include "net/NetworkPlay.h"

#include "catalogue/TemplateCatalogue.h"
#include "catalogue/VehicleDesign.h"
#include "catalogue/WeaponTemplate.h"
#include "core/Settings.h"
#include "core/Size.h"
#include "map/CollisionFilter.h"
#include "net/CommandExecutor.h"
#include "net/CommandReceivers.h"
#include "net/FactoryReceivers.h"
#include "net/TcpEndpoint.h"
#include "net/TcpLink.h"
#include "objects/AirSim.h"
#include "objects/Artifact.h"
#include "objects/CaptureSim.h"
#include "objects/CarrierSim.h"
#include "objects/Goal.h"
#include "objects/ObjectWorld.h"
#include "objects/Sim.h"
#include "objects/SimFactory.h"
#include "objects/SpriteAttachment.h"
#include "objects/UnitMakers.h"
#include "platform/Sockets.h"
#include "world/World.h"

namespace {

constexpr int kRefuelParam = 99;

class TodaysReceivers : public FactoryReceivers {
public:
    // The economy goals come from the makers their code installs (none: no goal), with the
    // constant arguments a received goal always has.
    std::unique_ptr<Goal> MakeGoal(int type, const SimId& owner, const SimId& object,
                                   const Point& p) override {
        GoalFields fields;
        switch (static_cast<GoalType>(type)) {
            case GoalType::Mining:
                fields.id = object;
                break;
            case GoalType::Scavenge:
                fields.id = object;
                fields.point = p;
                break;
            case GoalType::Repair:
                fields.id = object;
                fields.point = p;
                fields.amount = 1;
                break;
            case GoalType::Unload:
                break;
            case GoalType::Refuel:
                fields.point = p;
                fields.param = kRefuelParam;
                break;
            default:
                return nullptr;
        }
        return TheObjectWorld().Makers().MakeGoal(type, owner, fields, 1, 1);
    }
    void MakeArtifact(const SimId& id, const Point& p, int value) override {
        World* world = TheWorld();
        if (!world) return;
        // The catalogue's pictures and sound, as the host's own artifacts have.
        std::unique_ptr<GameObject> artifact =
            std::make_unique<Artifact>(p, Size(64, 64), ArtifactPictures, ArtifactSound,
                                       CollisionFilter(2, 1, 1, 1, 1), id, value);
        artifact->SetLocal(0);
        world->AddArtifact(artifact);
    }
    // The mirror of a shot another machine's unit fired: made here as there, but never owned.
    void FireWeapon(GameObject* shooter, GameObject* target, char clan, char role, int mount,
                    const SimId& shotId, int value) override {
        World* world = TheWorld();
        WeaponTemplate* weapon = FindWeaponTemplate(clan, role);
        if (!world || !weapon) return;
        std::unique_ptr<GameObject> shot(weapon->CreateShot(shooter, target, mount, shotId, value));
        if (!shot) return;
        shot->SetLocal(0);
        world->AddWeapon(std::move(shot));
    }
    // One more machine has made the shot: the mount may fire again once all have.
    void CountShotAck(GameObject* shooter, int mount) override {
        if (SpriteAttachment* part = shooter->GetArmedPart(mount)) part->AddAcknowledgement();
    }
    // A unit that fired shows through its stealth for a while on every machine.
    void StartFiringTimer(GameObject* object) override { object->stealth.Reveal(); }
    // A unit another machine's factory made: its mirror under the same id.
    void SpawnUnit(GameObject* /*factory*/, const SimId& id, const Point& p,
                   const char* designText) override {
        auto design = std::make_unique<VehicleDesign>(designText);
        SpawnSim(design, id, p, 0);
    }
    // Flyers, carriers and capture units: the executor found the object and decided mirror
    // or owner; an object of another class ignores the command.
    void StartAltitudeChange(GameObject* flyer, int layer, const Point& p) override {
        if (auto* air = dynamic_cast<AirSim*>(flyer)) air->StartAltitudeChange(layer, p);
    }
    void ApplyAltitudeStep(GameObject* flyer, const Point& position,
                           const Point& altitude) override {
        if (auto* air = dynamic_cast<AirSim*>(flyer)) air->ApplyAltitudeStep(position, altitude);
    }
    void EndAltitudeChange(GameObject* flyer, const Point& altitude) override {
        if (auto* air = dynamic_cast<AirSim*>(flyer)) air->EndAltitudeChange(altitude);
    }
    void CountAltitudeAck(GameObject* flyer) override {
        if (auto* air = dynamic_cast<AirSim*>(flyer)) air->CountAltitudeAck();
    }
    void ApplyPickUp(GameObject* carrier, const SimId& unitId) override {
        if (auto* c = dynamic_cast<CarrierSim*>(carrier)) c->ApplyPickUp(unitId);
    }
    void BeginCarry(GameObject* carrier, GameObject* unit, const Point& p) override {
        if (auto* c = dynamic_cast<CarrierSim*>(carrier)) c->BeginCarry(unit, p);
    }
    void CountDropAck(GameObject* carrier) override {
        if (auto* c = dynamic_cast<CarrierSim*>(carrier)) c->CountDropAck();
    }
    void MoveCarried(GameObject* carrier, const Point& p) override {
        if (auto* c = dynamic_cast<CarrierSim*>(carrier)) c->MoveCarried(p);
    }
    void ApplyDrop(GameObject* carrier) override {
        if (auto* c = dynamic_cast<CarrierSim*>(carrier)) c->ApplyDrop();
    }
    void ResetCarry(GameObject* carrier) override {
        if (auto* c = dynamic_cast<CarrierSim*>(carrier)) c->ResetCarry();
    }
    void TakeOver(GameObject* captureUnit, GameObject* target) override {
        if (auto* c = dynamic_cast<CaptureSim*>(captureUnit)) c->TakeOver(target);
    }
    void ApplyPeerSettings(const SetupSettings& settings, int start, int leave) override {
        if (TheNetworkHooks().applyPeerSettings)
            TheNetworkHooks().applyPeerSettings(settings, start, leave);
    }
    // A mended fault: the speed was a hook of the options menu, so a machine whose battle
    // screen was not loaded (every guest at the set-up's start, which tells the host's speed)
    // kept its own, and its shots and moves ran at another speed than its peers'. The speed
    // is the game's: it is taken whatever screen is showing.
    void SetGameSpeed(int speed) override {
        if (World* world = TheWorld()) world->PlaySpeed(speed);
    }
    void SetRevealMap(int value) override {
        if (TheNetworkHooks().setRevealMap) TheNetworkHooks().setRevealMap(value);
    }
};

std::unique_ptr<CommandReceivers>& Receivers() {
    static std::unique_ptr<CommandReceivers> receivers = std::make_unique<TodaysReceivers>();
    return receivers;
}

void InstallFromSettings(World& world) {
    InstallNetworkPlay(world);
}

// The World asks for network play the first time it makes a peer link.
struct Registration {
    Registration() { RegisterNetworkInstaller(&InstallFromSettings); }
} registration;

}  // namespace

NetworkHooks& TheNetworkHooks() {
    static NetworkHooks hooks;
    return hooks;
}

CommandReceivers& GameReceivers() {
    return *Receivers();
}

void SetGameReceivers(std::unique_ptr<CommandReceivers> receivers) {
    Receivers() = receivers ? std::move(receivers) : std::make_unique<TodaysReceivers>();
}

void InstallNetworkPlay(World& world, const std::string& bindAddress, int port) {
    auto endpoint = std::make_shared<TcpEndpoint>(
        sockets::IsDottedAddress(bindAddress.c_str()) ? bindAddress : std::string(), port);
    world.makeLink = [endpoint]() -> std::unique_ptr<CommLink> {
        return std::make_unique<TcpLink>(endpoint);
    };
    world.executeCommands = [&world](CommandBuffer& message, int slot) {
        CommandExecutor(world, GameReceivers()).Execute(message, slot);
    };
}

void InstallNetworkPlay(World& world) {
    InstallNetworkPlay(world, BindSetting(), tcpPort);
}

std::string BindSetting() {
    char value[64] = {};
    ReadProfileValue("QX", "COMMUNICATIONS", "BIND", value, sizeof value);
    return sockets::IsDottedAddress(value) ? std::string(value) : std::string();
}

// Referenced by the program's link so that the registration is part of the program.
extern "C" {
int qxNetworkPlayLinked = 1;
}
