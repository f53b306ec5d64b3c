#pragma once
// The outgoing (or one peer's incoming) command stream of a network game: an 8192-byte block,
// its cursor and the switch that turns every encoder into a no-op in a single-player game,
// with one encoder per command kind. Each command is a 7-byte header (total length, kind, team
// and serial of the object concerned) and its payload, all little endian.
//
// The buffer lives with the map objects because they are its writers; the network layer above
// reads it and owns the links. When a command would not fit, the bytes already recorded go out
// first as one message (ObjectWorld::SendCommands), so the peers see the same stream in the same
// order and never a command cut in two; a command that still does not fit is dropped.
//
// The first four data members keep the layout of the World's placeholder for this class, so the
// two can stand side by side until the World includes this header instead.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "core/SimId.h"

class GameObject;
class Goal;
class Point;
class ValueTriple;

// The command kinds, numbered as on the wire.
enum class CommandKind : uint8_t {
    Heartbeat = 0,
    FactoryState = 1,
    FactoryJob = 3,
    FactoryUnitPosition = 4,
    FactoryReleaseUnit = 5,
    Damage = 6,
    DamageReport = 7,
    Goal = 8,
    SimState = 9,
    CreateUnit = 10,
    CreateFactory = 11,
    FireWeapon = 12,
    CreateWreck = 13,
    MineOre = 14,
    Repair = 15,
    DeliverCargo = 16,
    Salvage = 17,
    AltitudeChange = 18,
    AltitudeStep = 19,
    AltitudeReached = 20,
    FiringTimer = 21,
    CreditHit = 22,
    ReclaimWreck = 23,
    SetupSettings = 24,
    SetupStart = 25,
    SetupLeave = 26,
    DesignUpdate = 27,
    SimFlag = 28,
    Pause = 29,
    AllPlaced = 30,
    DebugToggle = 31,
    Deploy = 32,
    Undeploy = 33,
    CreateScenarioObject = 34,
    ScenarioObjectTrigger = 35,
    ShotAck = 36,
    ChangeOwner = 37,
    FactoryExitPoint = 38,
    FactoryExitClear = 39,
    GameSpeed = 40,
    Message = 41,
    OreAmount = 42,
    AltitudeAck = 43,
    GameSetup = 44,
    PlayerDropped = 45,
    PlayerNumber = 46,
    CarrierPickUp = 47,
    CarrierDrop = 48,
    CarrierDropAck = 49,
    CarrierCargoPosition = 50,
    CarrierRelease = 51,
    CarrierReset = 52,
    Capture = 53,
    NominalHit = 54,
    // Added for network games that build and mine: see the encoders below.
    FactoryLedger = 55,
    ArtifactAward = 56,
    SimSnapshot = 57,
    // What a pause settles: see the encoders below.
    PauseMark = 58,
    DepositAmount = 59,
};

// The game settings carried by kinds 24 and 25 (38 bytes on the wire).
struct SetupSettings {
    int32_t scenarioNumber = 0;
    char clan = 'V';
    int32_t playerSlot = 1;
    int32_t colour = 1;
    int32_t enemies = 1;
    int32_t difficulty = 1;
    int32_t artifacts = 1;
    // Player slots 1 .. 4: clan letter ('X' empty) and colour (254 empty).
    char slotClan[4] = {'X', 'X', 'X', 'X'};
    int32_t slotColour[4] = {254, 254, 254, 254};
    int32_t startOrder[20] = {};
    int32_t techLevel = 1;
    int32_t resources = 5000;
};

class CommandBuffer {
public:
    static constexpr size_t kCapacity = 8192;
    static constexpr int kHeaderSize = 7;
    // The length byte caps a command at 255 bytes.
    static constexpr int kMaxCommand = 255;
    static constexpr int kMaxPartFacings = 10;
    static constexpr int kAddressField = 16;
    static constexpr int kSettingsBytes = 38;

    CommandBuffer() : block(new uint8_t[kCapacity]()), start(block.get()), cursor(start) {}
    virtual ~CommandBuffer() = default;
    CommandBuffer(const CommandBuffer&) = delete;
    CommandBuffer& operator=(const CommandBuffer&) = delete;

    // Empties the buffer (or restarts reading).
    void Rewind() { cursor = start; }
    // Hooks around every send of the outgoing stream; they do nothing.
    void BeginRecording() {}
    void EndRecording() {}
    // Bytes between the start and the cursor.
    size_t Size() const { return static_cast<size_t>(cursor - start); }
    const uint8_t* Data() const { return start; }
    int IsEnabled() const { return enabled; }
    void SetEnabled(int on) { enabled = on; }

    // Appends a command header; the caller then writes exactly `payload` bytes. Refused (0)
    // when the command is longer than 255 bytes or the block has no room even when empty.
    int BeginCommand(int payload, CommandKind kind, const SimId& id);
    // The byte at the cursor, advancing it; 255 comes back as -1, and so does a read past the
    // block.
    int ReadByte();

    // Stream control and game set-up.
    void SendHeartbeat();
    void SendSetupSettings(const SetupSettings& settings);
    // gameSpeed: the speed global; the wire carries 3 minus it.
    void SendSetupStart(const SetupSettings& settings, int gameSpeed);
    void SendSetupLeave();
    void SendPause(int paused);
    // Kind 58, null id: w32 the number of the pause (4 bytes). Sent on every link after the
    // states of the objects this machine owns at that pause: nothing it sent before the pause
    // is still on its way behind it. A machine numbers its pauses by the pause commands it sent
    // or received, so that every machine gives one pause the same number.
    void SendPauseMark(int32_t pauseNumber);
    void SendAllPlaced();
    void SendDebugToggle(int value);
    void SendGameSpeed(int menuSpeed);
    // Texts longer than fit in one command are cut.
    void SendMessage(int colour, int addressee, const char* text);
    // A null or empty address is sent as zeros; at most 15 characters of each go out.
    void SendGameSetup(int playerNumber, int peerCount, int toAccept, int toMake,
                       const char* address1, const char* address2);
    void SendPlayerDropped(int playerCount, int team);
    void SendPlayerNumber(int playerNumber);

    // The state of an object (kind 9): position, facing and up to ten part facings.
    void SendSimState(GameObject* object);
    // Kind 8: the goal the object now pursues (null: type 0, the receiver clears its goals).
    void SendGoal(GameObject* object, Goal* goal);
    void SendSimFlag(GameObject* sim);
    void SendChangeOwner(GameObject* object, const ValueTriple& teamRecord);
    void SendDeploy(GameObject* sim);
    void SendUndeploy(GameObject* sim);
    void SendCapture(GameObject* captureUnit, GameObject* target);

    // Damage and skill. SendDamage's byte arguments p, q, r go out as p, r, q.
    void SendDamage(GameObject* object, int32_t a, int32_t b, char p, char q, char r);
    void SendDamageReport(const SimId& objectId, char weaponRole, char explosionRole,
                          char weaponClan, const SimId& attacker);
    void SendNominalHit(GameObject* object);
    void SendCreditHit(const SimId& objectId, int kill);
    void SendFiringTimer(GameObject* shooter);

    // Weapons: the header names the new shot; the shooter's state goes first.
    void SendFireWeapon(char templateClan, char templateRole, GameObject* target,
                        GameObject* shooter, GameObject* shot, int mount, int hitRoll);
    void SendShotAck(GameObject* shooter, int mount);

    // Economy.
    void SendMineOre(GameObject* sim, int32_t amount);
    void SendRepair(GameObject* sim, int32_t amount);
    void SendDeliverCargo(GameObject* sim, int32_t amount, int32_t factor);
    void SendSalvage(GameObject* sim, int32_t amount);
    void SendReclaimWreck(GameObject* factory, const SimId& wreckId, int32_t amount);
    // Kind 42: a change of the deposit's ore (grown, or taken by a factory), applied by every
    // other machine on top of its own count. Changes commute where absolute amounts would race.
    void SendOreAmount(GameObject* deposit, int32_t change);
    // Kind 55, sent by a factory's owner whenever one of the three changes: w32 cargo, w32 store,
    // w32 credit (12 bytes). The copies take the amounts as they are and compute none of them.
    void SendFactoryLedger(GameObject* factory, int32_t cargo, int32_t store, int32_t credit);
    // Kind 59, sent by the authority at a pause once every peer's mark is in: w32 the deposit's
    // amount (4 bytes), which every machine takes as it is. With no deposit (the null id) it
    // closes the list, and its w32 is how many amounts went before it.
    void SendDepositAmount(GameObject* deposit, int32_t amount);

    // Objects made on every machine.
    void SendCreateFactory(GameObject* factory, char buildingLetter);
    // Kind 13: n8 clan, n8 chassis, pt position, w32 value, n8 colour (11 bytes). The colour is
    // the wreck's own, which its maker took from the dead unit: a copy could not tell it (the
    // unit may have changed hands, or its factory died before its owner's did).
    void SendCreateWreck(GameObject* wreck, char clan, char chassis);
    void SendCreateScenarioObject(GameObject* artifact, int value);
    void SendScenarioObjectTrigger(GameObject* artifact, GameObject* toucher);
    // Kind 56, sent by the host alone: id of the one unit that won the artifact (5 bytes).
    void SendArtifactAward(GameObject* artifact, const SimId& winner);
    // Kind 57: what a copy may lack of an object: pt position, n8 facing, w32 damage, w32 damage
    // limit, w32 cargo (17 bytes). The taker of a lost team sends it for every unit it takes.
    void SendSimSnapshot(GameObject* object);

    // Factory.
    void SendFactoryState(GameObject* factory, int state);
    // Writes nothing.
    void SendFactoryStub(GameObject* factory, int32_t amount);
    void SendFactoryJob(GameObject* factory, const char* designText, const SimId& productId,
                        int colour);
    void SendFactoryUnitPosition(GameObject* factory, const Point& p);
    void SendFactoryReleaseUnit(GameObject* factory);
    void SendFactoryExitPoint(GameObject* factory, const Point& p);
    void SendFactoryExitClear(GameObject* factory);
    void SendDesignUpdate(GameObject* factory, const char* designText);

    // Flying units and carriers.
    void SendAltitudeChange(GameObject* flyer, int direction, const Point& p);
    void SendAltitudeStep(GameObject* flyer, const Point& position, const Point& altitude);
    void SendAltitudeReached(GameObject* flyer, const Point& altitude);
    void SendAltitudeAck(GameObject* flyer);
    void SendCarrierPickUp(GameObject* carrier, const SimId& unitId);
    void SendCarrierDrop(GameObject* carrier, const SimId& unitId, const Point& p);
    void SendCarrierDropAck(GameObject* carrier);
    void SendCarrierCargoPosition(GameObject* carrier, const Point& p);
    void SendCarrierRelease(GameObject* carrier);
    void SendCarrierReset(GameObject* carrier);

    // Storage: owned; start is the block's first byte. The bytes in use are start .. cursor.
    std::unique_ptr<uint8_t[]> block;
    uint8_t* start;
    uint8_t* cursor;
    // 0 after construction: every encoder is a no-op.
    int32_t enabled = 0;

private:
    class Writer;
    // Opens a command of that payload length: 0 when switched off or when it cannot be
    // placed; with stateOf, the object's state command goes first and the room is made for both.
    int Open(Writer& w, CommandKind kind, const SimId& id, int payload,
             GameObject* stateOf = nullptr);
    // Makes room for `bytes` more, flushing what is recorded when needed; 0 when impossible.
    int MakeRoom(int bytes);
    void WriteState(GameObject* object);
    // Kinds whose payload is nothing but the header.
    void SendBare(CommandKind kind, const SimId& id, GameObject* stateOf = nullptr);
    void SendPointCommand(CommandKind kind, GameObject* object, const Point& p);
    void SendAmount(CommandKind kind, GameObject* sim, int32_t amount);
    void SendSettings(CommandKind kind, const SetupSettings& settings, int extraBytes, int extra);
};

// The id of an object, or the null id for none.
SimId IdOf(const GameObject* object);
