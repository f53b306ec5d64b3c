#include "net/CommandExecutor.h"

#include <algorithm>
#include <memory>

#include "catalogue/PictureTemplates.h"
#include "catalogue/TemplateCatalogue.h"
#include "core/SpriteSet.h"
#include "core/WindowProc.h"
#include "map/ObjectKinds.h"
#include "net/CommandReceivers.h"
#include "net/NetworkScreen.h"
#include "objects/Artifact.h"
#include "objects/CommandBuffer.h"
#include "objects/CommandReader.h"
#include "objects/GameObject.h"
#include "objects/Goal.h"
#include "objects/LocationGoal.h"
#include "objects/OreDeposit.h"
#include "objects/TargetGoal.h"
#include "objects/TransportGoal.h"
#include "platform/Sockets.h"
#include "world/CommLink.h"
#include "world/GameRecords.h"
#include "world/ObjectNode.h"
#include "world/Scenario.h"
#include "world/ScenarioMakers.h"
#include "world/World.h"

namespace {

constexpr int kLastKind = 57;
constexpr int kFacingsBase = 12;

// The payload of each kind in wire order: b byte, w 16 bits, l 32 bits, p point, i id,
// s text to the command's end, f part facings to the command's end, g goal, S settings block,
// A address field.
const char* const kLayouts[kLastKind + 1] = {
    "",         // 0 heartbeat
    "w",        // 1 factory state
    "",         // 2 never written
    "ibs",      // 3 factory job
    "p",        // 4 product position
    "",         // 5 release product
    "llbbb",    // 6 damage
    "bbbi",     // 7 damage report
    "g",        // 8 goal
    "pbf",      // 9 state
    "ps",       // 10 create unit
    "plllbb",   // 11 create factory
    "bbpiibb",  // 12 fire weapon
    "bbplb",    // 13 create wreck
    "l",        // 14 mine ore
    "l",        // 15 repair
    "ll",       // 16 deliver cargo
    "l",        // 17 salvage
    "wp",       // 18 altitude change
    "pp",       // 19 altitude step
    "p",        // 20 altitude reached
    "",         // 21 firing timer
    "b",        // 22 credit hit
    "il",       // 23 reclaim wreck
    "S",        // 24 set-up settings
    "Sb",       // 25 set-up start
    "",         // 26 set-up leave
    "s",        // 27 design update
    "b",        // 28 moving flag
    "b",        // 29 pause
    "",         // 30 all placed
    "b",        // 31 debug toggle
    "",         // 32 deploy
    "",         // 33 undeploy
    "pb",       // 34 artifact
    "i",        // 35 artifact touched
    "b",        // 36 shot answer
    "bb",       // 37 change owner
    "p",        // 38 exit point
    "",         // 39 exit clear
    "b",        // 40 game speed
    "bbs",      // 41 message
    "l",        // 42 ore amount
    "",         // 43 altitude answer
    "bbbbAA",   // 44 game set-up
    "bb",       // 45 player dropped
    "b",        // 46 player number
    "i",        // 47 pick up
    "ip",       // 48 drop
    "",         // 49 drop answer
    "p",        // 50 carried position
    "",         // 51 release
    "",         // 52 reset
    "i",        // 53 capture
    "",         // 54 nominal hit
    "lll",      // 55 factory ledger
    "i",        // 56 artifact award
    "pblll",    // 57 unit snapshot
};

// The fields after the goal type, by type 0 .. 8.
const char* const kGoalLayouts[] = {"", "p", "ip", "p", "pp", "ip", "", "i", "p"};

bool InRange(int v, int low, int high) {
    return v >= low && v <= high;
}

bool IsColour(int c) {
    return InRange(c, -1, 8) || c == 254;
}

bool IsSlotLetter(int c) {
    return c == 'V' || c == 'T' || c == 'X';
}

// Reads the settings block into `s` and checks every value against its range; 0 when any is
// out. The four slots' letters and colours come whole from the block. The start order is a
// shuffled permutation only once the host starts the game; before that every set-up screen
// sends its unshuffled one, whose entries repeat.
int ReadSettings(CommandReader& r, SetupSettings& s, bool shuffled) {
    s.scenarioNumber = r.ReadByte();
    s.clan = static_cast<char>(r.ReadU8());
    s.playerSlot = r.ReadByte();
    s.colour = r.ReadByte();
    s.enemies = r.ReadByte();
    s.difficulty = r.ReadByte();
    s.artifacts = r.ReadU8();
    int ok = InRange(s.scenarioNumber, -1, 100) && (s.clan == 'V' || s.clan == 'T') &&
             InRange(s.playerSlot, 1, 4) && IsColour(s.colour) && s.colour != 254 &&
             InRange(s.enemies, 0, 3) && InRange(s.difficulty, 1, 5) && InRange(s.artifacts, 0, 1);
    for (int i = 0; i < 4; ++i) {
        const int letter = r.ReadU8();
        const int slotColour = r.ReadByte();
        ok = ok && IsSlotLetter(letter) && IsColour(slotColour);
        s.slotClan[i] = static_cast<char>(letter);
        s.slotColour[i] = slotColour;
    }
    bool seen[20] = {};
    for (int i = 0; i < 20; ++i) {
        const int entry = r.ReadByte();
        ok = ok && InRange(entry, 0, 19) && !(shuffled && seen[entry]);
        if (InRange(entry, 0, 19)) seen[entry] = true;
        s.startOrder[i] = entry;
    }
    s.techLevel = r.ReadByte();
    s.resources = r.ReadI16();
    return ok && InRange(s.techLevel, 1, 8) && InRange(s.resources, 0, 9900) ? 1 : 0;
}

// An address field: 16 bytes, NUL by byte 15. `dotted` asks for a dotted IPv4 address.
int ReadAddress(CommandReader& r, char* out, int dotted) {
    for (int i = 0; i < CommandBuffer::kAddressField; ++i)
        out[i] = static_cast<char>(r.ReadU8());
    const int terminated = out[CommandBuffer::kAddressField - 1] == '\0';
    out[CommandBuffer::kAddressField - 1] = '\0';
    return terminated && (!dotted || sockets::IsDottedAddress(out)) ? 1 : 0;
}

// Reads the fields of a layout; 0 when a text has no NUL or a facing count is out of range.
int ReadLayout(CommandReader& r, const char* layout, int length) {
    for (const char* f = layout; *f; ++f) {
        switch (*f) {
            case 'b':
                r.ReadU8();
                break;
            case 'w':
                r.ReadU16();
                break;
            case 'l':
                r.ReadW32();
                break;
            case 'p':
                r.ReadPoint();
                break;
            case 'i':
                r.ReadId();
                break;
            case 's':
                r.ReadText(nullptr, 0);
                break;
            case 'f': {
                const int count = length - kFacingsBase;
                if (!InRange(count, 0, CommandBuffer::kMaxPartFacings)) return 0;
                for (int i = 0; i < count; ++i)
                    r.ReadU8();
                break;
            }
            case 'g': {
                const int type = r.ReadU16();
                if (!InRange(type, 0, 8)) return 0;
                if (!ReadLayout(r, kGoalLayouts[type], length)) return 0;
                break;
            }
            case 'S': {
                SetupSettings s;
                if (!ReadSettings(r, s, false)) return 0;
                break;
            }
            default:
                break;
        }
    }
    return 1;
}

int CheckCommand(CommandReader& r, const CommandHeader& h) {
    if (!InRange(h.kind, 0, kLastKind)) return 0;
    const auto kind = static_cast<CommandKind>(h.kind);
    int ok = 1;
    switch (kind) {
        case CommandKind::SetupStart: {
            SetupSettings s;
            ok = ReadSettings(r, s, true) && InRange(r.ReadByte(), 1, 5);
            break;
        }
        case CommandKind::GameSpeed:
            ok = InRange(r.ReadByte(), 1, 5);
            break;
        case CommandKind::GameSetup: {
            const int player = r.ReadByte();
            const int peers = r.ReadByte();
            const int accept = r.ReadByte();
            const int connect = r.ReadByte();
            char address[CommandBuffer::kAddressField];
            ok = (player == -1 || InRange(player, 1, 4)) && InRange(peers, 1, 3) &&
                 InRange(accept, 0, 2) && InRange(connect, 0, 2) && accept + connect <= peers;
            // Only the addresses to connect to must be addresses.
            const int first = ReadAddress(r, address, player != -1 && connect >= 1);
            const int second = ReadAddress(r, address, player != -1 && connect >= 2);
            ok = ok && first && second;
            break;
        }
        case CommandKind::PlayerDropped: {
            const int count = r.ReadByte();
            ok = InRange(count, 1, 4) && InRange(r.ReadByte(), 1, 4);
            break;
        }
        case CommandKind::PlayerNumber:
            ok = InRange(r.ReadByte(), 1, 4);
            break;
        case CommandKind::ChangeOwner:
            // The owner's team picks the team lists and records of every machine.
            ok = InRange(r.ReadByte(), 0, World::kTeams - 1);
            r.ReadByte();
            break;
        case CommandKind::CreateFactory:
            ok = InRange(h.id.team, 1, 4) && ReadLayout(r, kLayouts[h.kind], h.length);
            break;
        default:
            ok = ReadLayout(r, kLayouts[h.kind], h.length);
            break;
    }
    return ok && !r.Failed() && r.Position() == r.CommandEnd() ? 1 : 0;
}

bool IsMirror(GameObject* o) {
    return o && o->local == 0;
}

bool IsOwned(GameObject* o) {
    return o && o->local == 1;
}

GameObject* ObjectOf(ListNode* n) {
    return static_cast<ObjectNode*>(n)->Object();
}

GameObject* FirstAt(const NodeList& list, const Point& p) {
    for (ListNode* n = list.First(); n; n = list.Next(n))
        if (ObjectOf(n)->GetPosition() == p) return ObjectOf(n);
    return nullptr;
}

}  // namespace

int CommandExecutor::Check(const uint8_t* data, size_t size) {
    CommandReader reader(data, size);
    CommandHeader header;
    while (reader.NextCommand(header)) {
        if (!CheckCommand(reader, header)) return 0;
    }
    return reader.Failed() ? 0 : 1;
}

int CommandExecutor::Execute(CommandBuffer& message, int slot) {
    const size_t size = message.Size();
    message.cursor = message.start + size;
    if (!Check(message.start, size)) {
        if (slot >= 0 && slot < World::kPeerSlots && world.peerLinks[slot])
            world.peerLinks[slot]->Drop(CommLink::kDroppedDamaged);
        return 0;
    }
    CommandReader reader(message.start, size);
    CommandHeader header;
    while (reader.NextCommand(header)) {
        // The pointer keeps moving during long decodes.
        PumpMouseMove();
        Apply(reader, header, slot);
    }
    return 1;
}

void CommandExecutor::Apply(CommandReader& r, const CommandHeader& h, int slot) {
    const SimId& id = h.id;
    GameObject* factory = world.TeamFactory(id.team);
    GameObject* mirrorFactory = IsMirror(factory) ? factory : nullptr;
    char text[CommandBuffer::kMaxCommand];
    switch (static_cast<CommandKind>(h.kind)) {
        case CommandKind::Heartbeat:
            break;
        case CommandKind::FactoryState: {
            const int state = r.ReadI16();
            if (mirrorFactory) receivers.ApplyUnfoldState(mirrorFactory, state);
            break;
        }
        case CommandKind::FactoryJob: {
            const SimId unit = r.ReadId();
            const int colour = r.ReadByte();
            r.ReadText(text, sizeof text);
            if (mirrorFactory) receivers.ApplyNewProduct(mirrorFactory, text, unit, colour);
            break;
        }
        case CommandKind::FactoryUnitPosition: {
            const Point p = r.ReadPoint();
            if (mirrorFactory) receivers.MoveProduct(mirrorFactory, p);
            break;
        }
        case CommandKind::FactoryReleaseUnit:
            if (mirrorFactory) receivers.ReleaseProduct(mirrorFactory);
            break;
        case CommandKind::Damage: {
            const int32_t a = r.ReadW32();
            const int32_t b = r.ReadW32();
            // The wire carries p, r, q.
            const char p = static_cast<char>(r.ReadU8());
            const char rr = static_cast<char>(r.ReadU8());
            const char q = static_cast<char>(r.ReadU8());
            GameObject* o = world.FindObject(id);
            if (IsMirror(o)) o->ApplyDamageState(a, b, p, q, rr);
            break;
        }
        case CommandKind::DamageReport: {
            const char weaponRole = static_cast<char>(r.ReadU8());
            const char explosionRole = static_cast<char>(r.ReadU8());
            const char clan = static_cast<char>(r.ReadU8());
            const SimId attacker = r.ReadId();
            GameObject* o = world.FindObject(id);
            if (IsOwned(o)) o->ApplyHit(weaponRole, explosionRole, clan, attacker);
            break;
        }
        case CommandKind::Goal:
            ApplyGoal(r, h);
            break;
        case CommandKind::SimState: {
            const Point p = r.ReadPoint();
            const int newFacing = r.ReadByte();
            int32_t facings[CommandBuffer::kMaxPartFacings] = {};
            const int count = h.length - kFacingsBase;
            for (int i = 0; i < count; ++i)
                facings[i] = r.ReadByte();
            GameObject* o = world.FindObject(id);
            if (!IsMirror(o)) break;
            o->ApplyMoveState(p, newFacing, facings, count);
            // Where the owner says, even onto this machine's copies (which move on its own
            // clock) or a wreck the owner's unit stands over.
            if (o->GetPosition() != p) world.PlaceOver(o, p);
            break;
        }
        case CommandKind::CreateUnit: {
            const Point p = r.ReadPoint();
            r.ReadText(text, sizeof text);
            if (mirrorFactory) receivers.SpawnUnit(mirrorFactory, id, p, text);
            break;
        }
        case CommandKind::CreateFactory: {
            const Point p = r.ReadPoint();
            const int32_t stored = r.ReadW32();
            const int32_t reserve = r.ReadW32();
            const int32_t cargo = r.ReadW32();
            const char letter = static_cast<char>(r.ReadByte());
            const int factoryByte = r.ReadByte();
            // Never a second factory for a team.
            if (factory) break;
            ScenarioMakers& makers = world.scenarioMakers;
            std::unique_ptr<GameObject> building =
                makers.createBuildingSim ? makers.createBuildingSim(letter, id, p, 0) : nullptr;
            if (building) {
                // The message carries no colour, but every machine learnt each player's from
                // the set-up's start: without it the copy would show its owner in another's.
                if (world.scenario && InRange(id.team, 1, Scenario::kTeams - 1) &&
                    InRange(world.scenario->teamColours[id.team], 1, 8))
                    building->teamRecord.third = world.scenario->teamColours[id.team];
                building->Deposit(stored);
                building->AddCargo(cargo);
                if (makers.addFactoryResources)
                    makers.addFactoryResources(building.get(), 0, reserve);
                receivers.SetFactoryByte(building.get(), factoryByte);
                world.AddBuilding(std::move(building));
            }
            if (world.scenario) {
                world.scenario->factoryPlaced[id.team] = 1;
                world.scenario->NextRound(world);
            }
            break;
        }
        case CommandKind::FireWeapon: {
            const char clan = static_cast<char>(r.ReadByte());
            const char role = static_cast<char>(r.ReadByte());
            r.ReadPoint();
            GameObject* shooter = world.FindObject(r.ReadId());
            GameObject* target = world.FindObject(r.ReadId());
            const int mount = r.ReadByte();
            const int value = r.ReadU8();
            if (!IsMirror(shooter)) break;
            if (target) receivers.FireWeapon(shooter, target, clan, role, mount, id, value);
            // Answered whether a shot was made or not.
            world.Commands().SendShotAck(shooter, mount);
            break;
        }
        case CommandKind::CreateWreck:
            MakeWreck(r, h);
            break;
        case CommandKind::MineOre: {
            const int32_t amount = r.ReadW32();
            GameObject* o = world.FindObject(id);
            Goal* front = IsMirror(o) ? o->goals.Front() : nullptr;
            if (!front || front->GetType() != static_cast<int>(GoalType::Mining)) break;
            GameObject* field = world.FindDestructible(front->StoredFields().id);
            if (!field) break;
            field->TakeCargo(amount);
            o->AddCargo(amount);
            field->ChangeTeam(o->teamRecord, 1);
            break;
        }
        case CommandKind::Repair: {
            const int32_t amount = r.ReadW32();
            GameObject* o = world.FindObject(id);
            if (IsMirror(o) && o->IsInvulnerable() == 0) o->damage.Add(amount);
            break;
        }
        case CommandKind::DeliverCargo: {
            const int32_t amount = r.ReadW32();
            const int32_t factor = r.ReadW32();
            (void)factor;
            GameObject* o = world.FindObject(id);
            GameObject* home = IsMirror(o) ? world.TeamFactory(o->GetTeam()) : nullptr;
            if (!home) break;
            // The factory's side comes with its owner's ledger (kind 55): a copy that added the
            // delivery itself would count it twice, or differently once the store is full.
            o->TakeCargo(amount);
            break;
        }
        case CommandKind::Salvage: {
            const int32_t amount = r.ReadW32();
            GameObject* o = world.FindObject(id);
            Goal* front = IsMirror(o) ? o->goals.Front() : nullptr;
            if (!front || front->GetType() != static_cast<int>(GoalType::Scavenge)) break;
            GameObject* wreck = world.FindWreckById(front->StoredFields().id);
            if (!wreck) break;
            wreck->TakeCargo(amount);
            o->AddCargo(amount);
            if (amount == 0) wreck->Destroy();
            break;
        }
        case CommandKind::AltitudeChange: {
            const int direction = r.ReadI16();
            const Point p = r.ReadPoint();
            GameObject* o = world.FindObject(id);
            if (IsMirror(o)) receivers.StartAltitudeChange(o, direction, p);
            break;
        }
        case CommandKind::AltitudeStep: {
            const Point position = r.ReadPoint();
            const Point altitude = r.ReadPoint();
            GameObject* o = world.FindObject(id);
            if (IsMirror(o)) receivers.ApplyAltitudeStep(o, position, altitude);
            break;
        }
        case CommandKind::AltitudeReached: {
            const Point altitude = r.ReadPoint();
            GameObject* o = world.FindObject(id);
            if (IsMirror(o)) receivers.EndAltitudeChange(o, altitude);
            break;
        }
        case CommandKind::FiringTimer: {
            GameObject* o = world.FindObject(id);
            if (IsMirror(o)) receivers.StartFiringTimer(o);
            break;
        }
        case CommandKind::CreditHit: {
            const int value = r.ReadU8();
            GameObject* o = world.FindObject(id);
            if (IsOwned(o)) o->GainSkill(value);
            break;
        }
        case CommandKind::ReclaimWreck: {
            const SimId wreckId = r.ReadId();
            const int32_t amount = r.ReadW32();
            GameObject* o = world.FindObject(id);
            GameObject* wreck = IsMirror(o) ? world.FindWreckById(wreckId) : nullptr;
            if (!wreck) break;
            // The factory's gain comes with its owner's ledger (kind 55).
            wreck->TakeCargo(amount);
            break;
        }
        case CommandKind::SetupSettings:
        case CommandKind::SetupStart: {
            SetupSettings s;
            ReadSettings(r, s, false);
            if (h.kind == static_cast<int>(CommandKind::SetupStart))
                receivers.SetGameSpeed(3 - r.ReadByte());
            receivers.ApplyPeerSettings(
                s, h.kind == static_cast<int>(CommandKind::SetupStart) ? 1 : 0, 0);
            break;
        }
        case CommandKind::SetupLeave:
            receivers.ApplyPeerSettings(SetupSettings(), 0, 1);
            break;
        case CommandKind::DesignUpdate:
            r.ReadText(text, sizeof text);
            if (mirrorFactory) receivers.RefitFactory(mirrorFactory, text);
            break;
        case CommandKind::SimFlag: {
            const int value = r.ReadU8();
            GameObject* o = world.FindObject(id);
            if (IsMirror(o)) o->SetMoving(value);
            break;
        }
        case CommandKind::Pause: {
            const int pause = r.ReadU8() != 0 ? 1 : 0;
            const int was = world.paused;
            world.SetPaused(pause);
            if (pause == 1 && was == 0) world.SendOwnStates();
            break;
        }
        case CommandKind::AllPlaced:
            world.pauseLocked = 0;
            // Play starts here as on the host: the time spent waiting for the factories is no
            // part of the mission's time.
            world.StartClocks();
            break;
        case CommandKind::DebugToggle:
            receivers.SetRevealMap(r.ReadU8());
            break;
        case CommandKind::Deploy:
        case CommandKind::Undeploy: {
            GameObject* o = world.FindObject(id);
            if (!IsMirror(o)) break;
            if (h.kind == static_cast<int>(CommandKind::Deploy))
                o->DeployNow();
            else
                o->UndeployNow();
            break;
        }
        case CommandKind::CreateScenarioObject: {
            const Point p = r.ReadPoint();
            receivers.MakeArtifact(id, p, r.ReadU8());
            break;
        }
        case CommandKind::ScenarioObjectTrigger: {
            // A claim: only the host decides, and its award (kind 56) tells everybody.
            GameObject* toucher = world.FindObject(r.ReadId());
            auto* artifact = dynamic_cast<Artifact*>(world.FindObject(id));
            if (world.networkHost == 1 && artifact &&
                artifact->GetKind() == ObjectKind::kArtifact && IsMirror(toucher))
                artifact->PickUp(toucher);
            break;
        }
        case CommandKind::ArtifactAward: {
            GameObject* winner = world.FindObject(r.ReadId());
            auto* artifact = dynamic_cast<Artifact*>(world.FindObject(id));
            if (world.networkHost != 1 && artifact && winner) artifact->Take(winner);
            break;
        }
        case CommandKind::ShotAck: {
            const int mount = r.ReadByte();
            GameObject* o = world.FindObject(id);
            if (IsOwned(o)) receivers.CountShotAck(o, mount);
            break;
        }
        case CommandKind::ChangeOwner: {
            const int first = r.ReadByte();
            const int third = r.ReadByte();
            if (GameObject* o = world.FindObject(id)) o->ChangeTeam(ValueTriple(first, third), 0);
            break;
        }
        case CommandKind::FactoryExitPoint: {
            const Point p = r.ReadPoint();
            if (mirrorFactory) receivers.ReserveExit(mirrorFactory, p);
            break;
        }
        case CommandKind::FactoryExitClear:
            if (IsOwned(factory)) receivers.CountExitAck(factory);
            break;
        case CommandKind::GameSpeed:
            receivers.SetGameSpeed(3 - r.ReadByte());
            break;
        case CommandKind::Message: {
            const int colour = r.ReadByte();
            const int addressee = r.ReadByte();
            r.ReadText(text, sizeof text);
            if (addressee == 0 || addressee == world.LocalTeam())
                world.SetStatusMessage(text, colour);
            break;
        }
        case CommandKind::OreAmount: {
            const int32_t change = r.ReadW32();
            if (auto* deposit = dynamic_cast<OreDeposit*>(world.FindOreDeposit(id)))
                deposit->ApplyChange(change);
            break;
        }
        case CommandKind::FactoryLedger: {
            const int32_t cargo = r.ReadW32();
            const int32_t store = r.ReadW32();
            const int32_t credit = r.ReadW32();
            if (mirrorFactory) receivers.ApplyLedger(mirrorFactory, cargo, store, credit);
            break;
        }
        case CommandKind::SimSnapshot: {
            const Point p = r.ReadPoint();
            const int newFacing = r.ReadByte();
            const int32_t value = r.ReadW32();
            const int32_t most = r.ReadW32();
            const int32_t cargo = r.ReadW32();
            GameObject* o = world.FindObject(id);
            // A factory's owner tells its pieces as it makes them, which may be before this
            // machine's death pass has made them here.
            if (!o) world.KeepEarlyPieceValue(id, cargo);
            if (!IsMirror(o)) break;
            // The object stands where its owner says and stays there: a goal the copy still
            // pursued would move it on.
            o->ClearGoals();
            o->ApplyMoveState(p, newFacing, nullptr, 0);
            if (o->GetPosition() != p) world.PlaceOver(o, p);
            o->damage.SetMax(most);
            o->damage.SetValue(std::clamp(value, 0, std::max(most, 0)));
            // A wreck piece holds what its owner valued it at, though the factory this
            // machine held may have been worth less when it died.
            if (o->GetKind() == ObjectKind::kWreck && cargo > o->cargoCapacity)
                o->SetCargoCapacity(cargo);
            o->cargo = std::clamp(cargo, 0, std::max(o->cargoCapacity, 0));
            break;
        }
        case CommandKind::AltitudeAck: {
            GameObject* o = world.FindObject(id);
            if (IsOwned(o)) receivers.CountAltitudeAck(o);
            break;
        }
        case CommandKind::GameSetup: {
            const int player = r.ReadByte();
            const int peers = r.ReadByte();
            const int accept = r.ReadByte();
            const int connect = r.ReadByte();
            char first[CommandBuffer::kAddressField];
            char second[CommandBuffer::kAddressField];
            ReadAddress(r, first, 0);
            ReadAddress(r, second, 0);
            if (NetworkScreen* screen = NetworkScreen::Current(world))
                screen->SetGameSetup(player, peers, accept, connect, first, second);
            break;
        }
        case CommandKind::PlayerDropped: {
            const int count = r.ReadByte();
            const int team = r.ReadByte();
            GameRecords* records = world.gameRecords;
            if (!records || records->HasScenario() != 1) break;
            records->SetPlayerCount(count);
            records->EmptyPlayerSlot(team);
            break;
        }
        case CommandKind::PlayerNumber:
            world.peerTeams[slot] = r.ReadByte();
            break;
        case CommandKind::CarrierPickUp: {
            const SimId unit = r.ReadId();
            GameObject* o = world.FindObject(id);
            if (IsMirror(o)) receivers.ApplyPickUp(o, unit);
            break;
        }
        case CommandKind::CarrierDrop: {
            GameObject* unit = world.FindObject(r.ReadId());
            const Point p = r.ReadPoint();
            GameObject* o = world.FindObject(id);
            if (IsMirror(o) && unit) receivers.BeginCarry(o, unit, p);
            break;
        }
        case CommandKind::CarrierDropAck: {
            GameObject* o = world.FindObject(id);
            if (IsOwned(o)) receivers.CountDropAck(o);
            break;
        }
        case CommandKind::CarrierCargoPosition: {
            const Point p = r.ReadPoint();
            GameObject* o = world.FindObject(id);
            if (IsMirror(o)) receivers.MoveCarried(o, p);
            break;
        }
        case CommandKind::CarrierRelease:
        case CommandKind::CarrierReset: {
            GameObject* o = world.FindObject(id);
            if (!IsMirror(o)) break;
            if (h.kind == static_cast<int>(CommandKind::CarrierRelease))
                receivers.ApplyDrop(o);
            else
                receivers.ResetCarry(o);
            break;
        }
        case CommandKind::Capture: {
            GameObject* target = world.FindObject(r.ReadId());
            GameObject* o = world.FindObject(id);
            if (IsMirror(o) && o->GetKind() == ObjectKind::kCaptureUnit)
                receivers.TakeOver(o, target);
            break;
        }
        case CommandKind::NominalHit:
            if (GameObject* o = world.FindObject(id)) o->ApplyDamageState(1, 1, 'X', 'X', 'X');
            break;
        default:
            break;
    }
    // Whatever a kind left unread is skipped: the next command starts at its own header.
    r.SkipCommand();
}

void CommandExecutor::ApplyGoal(CommandReader& r, const CommandHeader& h) {
    const int type = r.ReadU16();
    SimId object;
    Point p;
    Point second;
    for (const char* f = kGoalLayouts[type]; *f; ++f) {
        if (*f == 'i')
            object = r.ReadId();
        else if (f == kGoalLayouts[type] || f[-1] == 'i')
            p = r.ReadPoint();
        else
            second = r.ReadPoint();
    }
    GameObject* o = world.FindObject(h.id);
    // A goal for an object this machine owns, or does not have, is not built.
    if (!IsMirror(o)) return;
    std::unique_ptr<Goal> goal;
    switch (static_cast<GoalType>(type)) {
        case GoalType::Location:
            goal = std::make_unique<LocationGoal>(h.id, p, 10, 1, 1);
            break;
        case GoalType::Target:
            goal = std::make_unique<TargetGoal>(h.id, object, p, 1, 1);
            break;
        case GoalType::Transport:
            goal = std::make_unique<TransportGoal>(h.id, object, 1);
            break;
        case GoalType::Mining:
            if (GameObject* field = FirstAt(world.destructibles, p))
                goal = receivers.MakeGoal(type, h.id, field->id, p);
            break;
        case GoalType::Scavenge:
            if (p.x == -1) break;
            if (GameObject* wreck = FirstAt(world.wrecks, p))
                goal = receivers.MakeGoal(type, h.id, wreck->id, second);
            break;
        case GoalType::Repair:
        case GoalType::Unload:
        case GoalType::Refuel:
            goal = receivers.MakeGoal(type, h.id, object, p);
            break;
        default:
            break;
    }
    o->SetGoal(std::move(goal));
}

// A wreck another machine's death pass made, with the picture this machine's catalogue gives
// for its clan, chassis and tech level.
void CommandExecutor::MakeWreck(CommandReader& r, const CommandHeader& h) {
    const char clan = static_cast<char>(r.ReadU8());
    const char chassis = static_cast<char>(r.ReadU8());
    const Point p = r.ReadPoint();
    const int32_t value = r.ReadW32();
    const int colour = r.ReadByte();
    const int level = clan == 'T'   ? world.techLevelT
                      : clan == 'V' ? world.techLevelV
                                    : std::min(world.techLevelT, world.techLevelV);
    WreckTemplate* record = nullptr;
    for (ListNode* n = WreckList.First(); n && !record; n = WreckList.Next(n)) {
        auto* candidate = static_cast<WreckTemplate*>(n);
        if (candidate->minimumTechLevel <= level &&
            (candidate->clan == clan || candidate->clan == 'X') && candidate->role == chassis)
            record = candidate;
    }
    if (!record) return;
    WreckDescription description;
    description.position = p;
    description.id = h.id;
    description.clan = clan;
    description.chassis = chassis;
    if (record->pictures) {
        description.picture = record->pictures.get();
        description.size = record->pictures->SizeOf(0);
    }
    std::unique_ptr<GameObject> wreck =
        world.makeWreck ? world.makeWreck(description) : ::MakeWreck(description);
    if (!wreck) return;
    wreck->SetCargoCapacity(value);
    wreck->AddCargo(value);
    wreck->SetLocal(0);
    // As the maker's own: nobody's team, in the colour the maker gave it. Made whatever this
    // machine's units stand on, as on the maker's machine, so that every machine holds the
    // same wrecks.
    wreck->teamRecord.first = 0;
    wreck->teamRecord.third = colour;
    world.AddWreck(std::move(wreck));
}
