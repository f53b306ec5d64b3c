#include "objects/CommandBuffer.h"

#include <algorithm>
#include <cstring>

#include "core/Point.h"
#include "core/ValueTriple.h"
#include "objects/FactoryProduction.h"
#include "objects/GameObject.h"
#include "objects/Goal.h"
#include "objects/ObjectWorld.h"

// Writes one command's fields into the room its header reserved; it never writes past that
// room, so a miscounted payload cannot spill into the next command.
class CommandBuffer::Writer {
public:
    void U8(int v) {
        if (p < end) *p++ = static_cast<uint8_t>(v);
    }
    void I16(int32_t v) {
        const uint32_t u = static_cast<uint32_t>(v);
        U8(static_cast<int>(u & 0xFF));
        U8(static_cast<int>((u >> 8) & 0xFF));
    }
    void W32(int32_t v) {
        const uint32_t u = static_cast<uint32_t>(v);
        I16(static_cast<int32_t>(u & 0xFFFF));
        I16(static_cast<int32_t>(u >> 16));
    }
    void Pt(const Point& point) {
        I16(point.x);
        I16(point.y);
    }
    void Id(const SimId& id) {
        U8(id.team);
        W32(id.serial);
    }
    // The first n bytes of the text and a NUL.
    void Text(const char* text, int n) {
        for (int i = 0; i < n; ++i)
            U8(static_cast<uint8_t>(text[i]));
        U8(0);
    }

    uint8_t* p = nullptr;
    uint8_t* end = nullptr;
};

namespace {

constexpr int kGoalPayload[9] = {2, 6, 11, 6, 10, 11, 2, 7, 6};

// The length of a text as it goes out when `fixed` other payload bytes share the command.
int TextLength(const char* text, int fixed) {
    if (!text) return 0;
    const int room = CommandBuffer::kMaxCommand - CommandBuffer::kHeaderSize - fixed - 1;
    return static_cast<int>(strnlen(text, static_cast<size_t>(std::max(room, 0))));
}

}  // namespace

SimId IdOf(const GameObject* object) {
    return object ? object->id : SimId();
}

int CommandBuffer::MakeRoom(int bytes) {
    if (Size() + static_cast<size_t>(bytes) <= kCapacity) return 1;
    // Only the World's outgoing stream can go out early; it then starts empty again.
    ObjectWorld& world = TheObjectWorld();
    if (Size() > 0 && &world.Commands() == this) world.SendCommands(-1);
    return Size() + static_cast<size_t>(bytes) <= kCapacity ? 1 : 0;
}

int CommandBuffer::BeginCommand(int payload, CommandKind kind, const SimId& id) {
    if (payload < 0 || kHeaderSize + payload > kMaxCommand) return 0;
    if (!MakeRoom(kHeaderSize + payload)) return 0;
    Writer w;
    w.p = cursor;
    w.end = cursor + kHeaderSize;
    w.U8(kHeaderSize + payload);
    w.U8(static_cast<int>(kind));
    w.Id(id);
    cursor = w.p;
    return 1;
}

int CommandBuffer::ReadByte() {
    if (cursor < start || cursor >= start + kCapacity) return -1;
    const int v = *cursor++;
    return v == 255 ? -1 : v;
}

int CommandBuffer::Open(Writer& w, CommandKind kind, const SimId& id, int payload,
                        GameObject* stateOf) {
    if (!enabled) return 0;
    if (payload < 0 || kHeaderSize + payload > kMaxCommand) return 0;
    int32_t facings[kMaxPartFacings] = {};
    int facingCount = 0;
    int stateBytes = 0;
    if (stateOf) {
        stateOf->GetPartFacings(facings, kMaxPartFacings, facingCount);
        facingCount = std::clamp(facingCount, 0, kMaxPartFacings);
        stateBytes = kHeaderSize + 5 + facingCount;
    }
    // The state and its command travel together.
    if (!MakeRoom(stateBytes + kHeaderSize + payload)) return 0;
    if (stateOf) {
        BeginCommand(5 + facingCount, CommandKind::SimState, stateOf->id);
        Writer s;
        s.p = cursor;
        s.end = cursor + 5 + facingCount;
        s.Pt(stateOf->GetPosition());
        s.U8(stateOf->facing);
        for (int i = 0; i < facingCount; ++i)
            s.U8(facings[i]);
        cursor = s.end;
    }
    BeginCommand(payload, kind, id);
    // Fields a caller leaves out stay zero, never stale bytes of an earlier tick.
    std::memset(cursor, 0, static_cast<size_t>(payload));
    w.p = cursor;
    w.end = cursor + payload;
    cursor = w.end;
    return 1;
}

void CommandBuffer::SendBare(CommandKind kind, const SimId& id, GameObject* stateOf) {
    Writer w;
    Open(w, kind, id, 0, stateOf);
}

void CommandBuffer::SendPointCommand(CommandKind kind, GameObject* object, const Point& p) {
    Writer w;
    if (Open(w, kind, IdOf(object), 4)) w.Pt(p);
}

void CommandBuffer::SendAmount(CommandKind kind, GameObject* sim, int32_t amount) {
    Writer w;
    if (Open(w, kind, IdOf(sim), 4, sim)) w.W32(amount);
}

void CommandBuffer::SendSettings(CommandKind kind, const SetupSettings& s, int extraBytes,
                                 int extra) {
    Writer w;
    if (!Open(w, kind, SimId(), kSettingsBytes + extraBytes)) return;
    w.U8(s.scenarioNumber);
    w.U8(s.clan);
    w.U8(s.playerSlot);
    w.U8(s.colour);
    w.U8(s.enemies);
    w.U8(s.difficulty);
    w.U8(s.artifacts);
    for (int slot = 0; slot < 4; ++slot) {
        w.U8(s.slotClan[slot]);
        w.U8(s.slotColour[slot]);
    }
    for (int32_t entry : s.startOrder)
        w.U8(entry);
    w.U8(s.techLevel);
    w.I16(s.resources);
    if (extraBytes > 0) w.U8(extra);
}

// --- Stream control and game set-up

void CommandBuffer::SendHeartbeat() {
    SendBare(CommandKind::Heartbeat, SimId());
}

void CommandBuffer::SendSetupSettings(const SetupSettings& settings) {
    SendSettings(CommandKind::SetupSettings, settings, 0, 0);
}

void CommandBuffer::SendSetupStart(const SetupSettings& settings, int gameSpeed) {
    SendSettings(CommandKind::SetupStart, settings, 1, 3 - gameSpeed);
}

void CommandBuffer::SendSetupLeave() {
    SendBare(CommandKind::SetupLeave, SimId());
}

void CommandBuffer::SendPause(int paused) {
    Writer w;
    if (Open(w, CommandKind::Pause, SimId(), 1)) w.U8(paused);
}

void CommandBuffer::SendPauseMark(int32_t pauseNumber) {
    Writer w;
    if (Open(w, CommandKind::PauseMark, SimId(), 4)) w.W32(pauseNumber);
}

void CommandBuffer::SendAllPlaced() {
    SendBare(CommandKind::AllPlaced, SimId());
}

void CommandBuffer::SendDebugToggle(int value) {
    Writer w;
    if (Open(w, CommandKind::DebugToggle, SimId(), 1)) w.U8(value);
}

void CommandBuffer::SendGameSpeed(int menuSpeed) {
    Writer w;
    if (Open(w, CommandKind::GameSpeed, SimId(), 1)) w.U8(menuSpeed);
}

void CommandBuffer::SendMessage(int colour, int addressee, const char* text) {
    const int n = TextLength(text, 2);
    Writer w;
    if (!Open(w, CommandKind::Message, SimId(), n + 3)) return;
    w.U8(colour);
    w.U8(addressee);
    w.Text(text, n);
}

void CommandBuffer::SendGameSetup(int playerNumber, int peerCount, int toAccept, int toMake,
                                  const char* address1, const char* address2) {
    Writer w;
    if (!Open(w, CommandKind::GameSetup, SimId(), 4 + 2 * kAddressField)) return;
    w.U8(playerNumber);
    w.U8(peerCount);
    w.U8(toAccept);
    w.U8(toMake);
    for (const char* address : {address1, address2}) {
        // Byte 15 is always the NUL; an address not given stays all zero.
        const int n = address ? static_cast<int>(strnlen(address, kAddressField - 1)) : 0;
        uint8_t* field = w.p;
        w.Text(address ? address : "", n);
        w.p = std::min(field + kAddressField, w.end);
    }
}

void CommandBuffer::SendPlayerDropped(int playerCount, int team) {
    Writer w;
    if (!Open(w, CommandKind::PlayerDropped, SimId(), 2)) return;
    w.U8(playerCount);
    w.U8(team);
}

void CommandBuffer::SendPlayerNumber(int playerNumber) {
    Writer w;
    if (Open(w, CommandKind::PlayerNumber, SimId(), 1)) w.U8(playerNumber);
}

// --- Goals, moves and owners

void CommandBuffer::SendSimState(GameObject* object) {
    if (!object) return;
    int32_t facings[kMaxPartFacings] = {};
    int count = 0;
    object->GetPartFacings(facings, kMaxPartFacings, count);
    count = std::clamp(count, 0, kMaxPartFacings);
    Writer w;
    if (!Open(w, CommandKind::SimState, object->id, 5 + count)) return;
    w.Pt(object->GetPosition());
    w.U8(object->facing);
    for (int i = 0; i < count; ++i)
        w.U8(facings[i]);
}

void CommandBuffer::SendGoal(GameObject* object, Goal* goal) {
    if (!object) return;
    int type = goal ? goal->GetType() : 0;
    if (type < 0 || type > 8) type = 0;
    const GoalFields f = goal && type != 0 ? goal->StoredFields() : GoalFields();
    Writer w;
    if (!Open(w, CommandKind::Goal, object->id, kGoalPayload[type], object)) return;
    w.I16(type);
    ObjectWorld& world = TheObjectWorld();
    switch (static_cast<GoalType>(type)) {
        case GoalType::Location:
        case GoalType::Refuel:
            w.Pt(f.point);
            break;
        case GoalType::Target:
        case GoalType::Repair:
            w.Id(f.id);
            w.Pt(f.point);
            break;
        case GoalType::Mining: {
            // A field that is gone has no position to give: the receivers get (-1, -1).
            GameObject* field = world.FindDestructible(f.id);
            w.Pt(field ? field->GetPosition() : Point(-1, -1));
            break;
        }
        case GoalType::Scavenge: {
            GameObject* wreck = world.FindWreckById(f.id);
            w.Pt(wreck ? wreck->GetPosition() : Point(-1, -1));
            w.Pt(f.point);
            break;
        }
        case GoalType::Transport:
            w.Id(f.id);
            break;
        default:
            break;
    }
}

void CommandBuffer::SendSimFlag(GameObject* sim) {
    if (!sim) return;
    Writer w;
    if (Open(w, CommandKind::SimFlag, sim->id, 1, sim)) w.U8(sim->IsMoving());
}

void CommandBuffer::SendChangeOwner(GameObject* object, const ValueTriple& teamRecord) {
    Writer w;
    if (!Open(w, CommandKind::ChangeOwner, IdOf(object), 2)) return;
    w.U8(teamRecord.first);
    w.U8(teamRecord.third);
}

void CommandBuffer::SendDeploy(GameObject* sim) {
    if (sim) SendBare(CommandKind::Deploy, sim->id, sim);
}

void CommandBuffer::SendUndeploy(GameObject* sim) {
    if (sim) SendBare(CommandKind::Undeploy, sim->id, sim);
}

void CommandBuffer::SendCapture(GameObject* captureUnit, GameObject* target) {
    Writer w;
    if (Open(w, CommandKind::Capture, IdOf(captureUnit), 5)) w.Id(IdOf(target));
}

// --- Damage and skill

void CommandBuffer::SendDamage(GameObject* object, int32_t a, int32_t b, char p, char q, char r) {
    if (!object) return;
    const int kind = object->GetKind();
    GameObject* stateOf = kind == 3 || kind == 5 ? nullptr : object;
    Writer w;
    if (!Open(w, CommandKind::Damage, object->id, 11, stateOf)) return;
    w.W32(a);
    w.W32(b);
    // The last two letters travel swapped; the receiver swaps them back.
    w.U8(static_cast<uint8_t>(p));
    w.U8(static_cast<uint8_t>(r));
    w.U8(static_cast<uint8_t>(q));
}

void CommandBuffer::SendDamageReport(const SimId& objectId, char weaponRole, char explosionRole,
                                     char weaponClan, const SimId& attacker) {
    Writer w;
    if (!Open(w, CommandKind::DamageReport, objectId, 8)) return;
    w.U8(static_cast<uint8_t>(weaponRole));
    w.U8(static_cast<uint8_t>(explosionRole));
    w.U8(static_cast<uint8_t>(weaponClan));
    w.Id(attacker);
}

void CommandBuffer::SendNominalHit(GameObject* object) {
    SendBare(CommandKind::NominalHit, IdOf(object));
}

void CommandBuffer::SendCreditHit(const SimId& objectId, int kill) {
    Writer w;
    if (Open(w, CommandKind::CreditHit, objectId, 1)) w.U8(kill);
}

void CommandBuffer::SendFiringTimer(GameObject* shooter) {
    SendBare(CommandKind::FiringTimer, IdOf(shooter));
}

// --- Weapons

void CommandBuffer::SendFireWeapon(char templateClan, char templateRole, GameObject* target,
                                   GameObject* shooter, GameObject* shot, int mount, int hitRoll) {
    if (!shot) return;
    Writer w;
    if (!Open(w, CommandKind::FireWeapon, shot->id, 18, shooter)) return;
    w.U8(static_cast<uint8_t>(templateClan));
    w.U8(static_cast<uint8_t>(templateRole));
    w.Pt(shot->GetPosition());
    w.Id(IdOf(shooter));
    w.Id(IdOf(target));
    w.U8(mount);
    w.U8(hitRoll);
}

void CommandBuffer::SendShotAck(GameObject* shooter, int mount) {
    Writer w;
    if (Open(w, CommandKind::ShotAck, IdOf(shooter), 1)) w.U8(mount);
}

// --- Economy

void CommandBuffer::SendMineOre(GameObject* sim, int32_t amount) {
    if (sim) SendAmount(CommandKind::MineOre, sim, amount);
}

void CommandBuffer::SendRepair(GameObject* sim, int32_t amount) {
    if (sim) SendAmount(CommandKind::Repair, sim, amount);
}

void CommandBuffer::SendSalvage(GameObject* sim, int32_t amount) {
    if (sim) SendAmount(CommandKind::Salvage, sim, amount);
}

void CommandBuffer::SendDeliverCargo(GameObject* sim, int32_t amount, int32_t factor) {
    if (!sim) return;
    Writer w;
    if (!Open(w, CommandKind::DeliverCargo, sim->id, 8, sim)) return;
    w.W32(amount);
    w.W32(factor);
}

void CommandBuffer::SendReclaimWreck(GameObject* factory, const SimId& wreckId, int32_t amount) {
    Writer w;
    if (!Open(w, CommandKind::ReclaimWreck, IdOf(factory), 9)) return;
    w.Id(wreckId);
    w.W32(amount);
}

void CommandBuffer::SendOreAmount(GameObject* deposit, int32_t change) {
    Writer w;
    if (Open(w, CommandKind::OreAmount, IdOf(deposit), 4)) w.W32(change);
}

void CommandBuffer::SendDepositAmount(GameObject* deposit, int32_t amount) {
    Writer w;
    if (Open(w, CommandKind::DepositAmount, IdOf(deposit), 4)) w.W32(amount);
}

void CommandBuffer::SendFactoryLedger(GameObject* factory, int32_t cargo, int32_t store,
                                      int32_t credit) {
    Writer w;
    if (!Open(w, CommandKind::FactoryLedger, IdOf(factory), 12)) return;
    w.W32(cargo);
    w.W32(store);
    w.W32(credit);
}

// --- Objects made on every machine

// The store, the credit and the cargo of the factory, so that every copy starts with the same
// amounts. The factory byte that follows names no field: it is always 0.
void CommandBuffer::SendCreateFactory(GameObject* factory, char buildingLetter) {
    if (!factory) return;
    FactoryProduction* production = AsFactoryProduction(factory);
    Writer w;
    if (!Open(w, CommandKind::CreateFactory, factory->id, 18)) return;
    w.Pt(factory->GetPosition());
    w.W32(production ? production->GetStore() : factory->GetStored());
    w.W32(production ? production->GetCredit() : 0);
    w.W32(factory->GetCargo());
    w.U8(static_cast<uint8_t>(buildingLetter));
    w.U8(0);
}

void CommandBuffer::SendCreateWreck(GameObject* wreck, char clan, char chassis) {
    if (!wreck) return;
    Writer w;
    if (!Open(w, CommandKind::CreateWreck, wreck->id, 11)) return;
    w.U8(static_cast<uint8_t>(clan));
    w.U8(static_cast<uint8_t>(chassis));
    w.Pt(wreck->GetPosition());
    w.W32(wreck->GetCargo());
    w.U8(static_cast<uint8_t>(wreck->teamRecord.third));
}

void CommandBuffer::SendCreateScenarioObject(GameObject* artifact, int value) {
    if (!artifact) return;
    Writer w;
    if (!Open(w, CommandKind::CreateScenarioObject, artifact->id, 5)) return;
    w.Pt(artifact->GetPosition());
    w.U8(value);
}

void CommandBuffer::SendScenarioObjectTrigger(GameObject* artifact, GameObject* toucher) {
    Writer w;
    if (Open(w, CommandKind::ScenarioObjectTrigger, IdOf(artifact), 5)) w.Id(IdOf(toucher));
}

void CommandBuffer::SendArtifactAward(GameObject* artifact, const SimId& winner) {
    Writer w;
    if (Open(w, CommandKind::ArtifactAward, IdOf(artifact), 5)) w.Id(winner);
}

void CommandBuffer::SendSimSnapshot(GameObject* object) {
    if (!object) return;
    Writer w;
    if (!Open(w, CommandKind::SimSnapshot, object->id, 17)) return;
    w.Pt(object->GetPosition());
    w.U8(object->facing);
    w.W32(object->damage.Value());
    w.W32(object->damage.Max());
    w.W32(object->GetCargo());
}

// --- Factory

void CommandBuffer::SendFactoryState(GameObject* factory, int state) {
    Writer w;
    if (Open(w, CommandKind::FactoryState, IdOf(factory), 2)) w.I16(state);
}

void CommandBuffer::SendFactoryStub(GameObject* /*factory*/, int32_t /*amount*/) {}

void CommandBuffer::SendFactoryJob(GameObject* factory, const char* designText,
                                   const SimId& productId, int colour) {
    const int n = TextLength(designText, 6);
    Writer w;
    if (!Open(w, CommandKind::FactoryJob, IdOf(factory), n + 7)) return;
    w.Id(productId);
    w.U8(colour);
    w.Text(designText ? designText : "", n);
}

void CommandBuffer::SendFactoryUnitPosition(GameObject* factory, const Point& p) {
    SendPointCommand(CommandKind::FactoryUnitPosition, factory, p);
}

void CommandBuffer::SendFactoryReleaseUnit(GameObject* factory) {
    SendBare(CommandKind::FactoryReleaseUnit, IdOf(factory));
}

void CommandBuffer::SendFactoryExitPoint(GameObject* factory, const Point& p) {
    SendPointCommand(CommandKind::FactoryExitPoint, factory, p);
}

void CommandBuffer::SendFactoryExitClear(GameObject* factory) {
    SendBare(CommandKind::FactoryExitClear, IdOf(factory));
}

void CommandBuffer::SendDesignUpdate(GameObject* factory, const char* designText) {
    const int n = TextLength(designText, 0);
    Writer w;
    if (Open(w, CommandKind::DesignUpdate, IdOf(factory), n + 1))
        w.Text(designText ? designText : "", n);
}

// --- Flying units and carriers

void CommandBuffer::SendAltitudeChange(GameObject* flyer, int direction, const Point& p) {
    Writer w;
    if (!Open(w, CommandKind::AltitudeChange, IdOf(flyer), 6)) return;
    w.I16(direction);
    w.Pt(p);
}

void CommandBuffer::SendAltitudeStep(GameObject* flyer, const Point& position,
                                     const Point& altitude) {
    Writer w;
    if (!Open(w, CommandKind::AltitudeStep, IdOf(flyer), 8)) return;
    w.Pt(position);
    w.Pt(altitude);
}

void CommandBuffer::SendAltitudeReached(GameObject* flyer, const Point& altitude) {
    SendPointCommand(CommandKind::AltitudeReached, flyer, altitude);
}

void CommandBuffer::SendAltitudeAck(GameObject* flyer) {
    SendBare(CommandKind::AltitudeAck, IdOf(flyer));
}

void CommandBuffer::SendCarrierPickUp(GameObject* carrier, const SimId& unitId) {
    Writer w;
    if (Open(w, CommandKind::CarrierPickUp, IdOf(carrier), 5)) w.Id(unitId);
}

void CommandBuffer::SendCarrierDrop(GameObject* carrier, const SimId& unitId, const Point& p) {
    Writer w;
    if (!Open(w, CommandKind::CarrierDrop, IdOf(carrier), 9)) return;
    w.Id(unitId);
    w.Pt(p);
}

void CommandBuffer::SendCarrierDropAck(GameObject* carrier) {
    SendBare(CommandKind::CarrierDropAck, IdOf(carrier));
}

void CommandBuffer::SendCarrierCargoPosition(GameObject* carrier, const Point& p) {
    SendPointCommand(CommandKind::CarrierCargoPosition, carrier, p);
}

void CommandBuffer::SendCarrierRelease(GameObject* carrier) {
    SendBare(CommandKind::CarrierRelease, IdOf(carrier));
}

void CommandBuffer::SendCarrierReset(GameObject* carrier) {
    SendBare(CommandKind::CarrierReset, IdOf(carrier));
}
