#include "net/CommandExecutor.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "catalogue/CatalogueFigures.h"
#include "catalogue/MountTemplate.h"
#include "catalogue/PictureTemplates.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/VehicleDesign.h"
#include "catalogue/WeaponTemplate.h"
#include "core/Clock.h"
#include "core/Rect.h"
#include "core/SpriteSet.h"
#include "core/WindowProc.h"
#include "map/ObjectKinds.h"
#include "net/CommandReceivers.h"
#include "net/NetworkScreen.h"
#include "objects/Artifact.h"
#include "objects/CommandBuffer.h"
#include "objects/CommandReader.h"
#include "objects/FactoryProduction.h"
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
#include "world/ShotFlight.h"
#include "world/World.h"

namespace {

constexpr int kLastKind = 59;
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
    "l",        // 58 pause mark
    "l",        // 59 deposit amount
};

// Who may send each kind. A peer changes only what its machine answers for; the host, or once it
// is lost the lowest player left, decides what no player owns.
enum class From : uint8_t {
    // Nobody's state; an answer that only the owner's copy takes (22, 36, 39, 43, 49); or a
    // kind checked on what it names in its own case (7, 13, 35, 37, 54) or before it (42).
    kAnyone,
    // The machine answering for the object the command changes (its subject, below): the one
    // playing its current team (a captured unit keeps its id, not its team), a wreck's maker,
    // and for a team whose machine is gone the player who took it over.
    kAnswerer,
    // The host, or once it is lost the lowest player left.
    kAuthority,
    // The player who took over the lost team the payload names.
    kTaker,
    // The set-up and the lobby only; kHostLobby from the host only.
    kLobby,
    kHostLobby,
};

// What a kAnswerer kind changes: the object of the header id, the factory of the header team,
// the shooter the payload names, or (nothing made yet) the header team itself.
enum class Subject : uint8_t { kNone, kObject, kFactory, kShooter, kTeam };

struct SenderRule {
    From from;
    Subject subject;
};

constexpr SenderRule kAnyoneRule{From::kAnyone, Subject::kNone};
constexpr SenderRule kObjectRule{From::kAnswerer, Subject::kObject};
constexpr SenderRule kFactoryRule{From::kAnswerer, Subject::kFactory};

const SenderRule kSenders[kLastKind + 1] = {
    kAnyoneRule,                           // 0 heartbeat
    kFactoryRule,                          // 1 factory state
    kAnyoneRule,                           // 2 never written, no action
    kFactoryRule,                          // 3 factory job
    kFactoryRule,                          // 4 product position
    kFactoryRule,                          // 5 release product
    kObjectRule,                           // 6 damage
    kAnyoneRule,                           // 7 damage report: the sender's own shooter
    kObjectRule,                           // 8 goal
    kObjectRule,                           // 9 state
    kFactoryRule,                          // 10 create unit
    {From::kAnswerer, Subject::kTeam},     // 11 create factory
    {From::kAnswerer, Subject::kShooter},  // 12 fire weapon
    kAnyoneRule,                           // 13 create wreck: under the sender's ids
    kObjectRule,                           // 14 mine ore
    kObjectRule,                           // 15 repair
    kObjectRule,                           // 16 deliver cargo
    kObjectRule,                           // 17 salvage
    kObjectRule,                           // 18 altitude change
    kObjectRule,                           // 19 altitude step
    kObjectRule,                           // 20 altitude reached
    kObjectRule,                           // 21 firing timer
    kAnyoneRule,                           // 22 credit hit (owner's copy)
    kObjectRule,                           // 23 reclaim wreck
    {From::kLobby, Subject::kNone},        // 24 set-up settings
    {From::kHostLobby, Subject::kNone},    // 25 set-up start
    {From::kLobby, Subject::kNone},        // 26 set-up leave
    kFactoryRule,                          // 27 design update
    kObjectRule,                           // 28 moving flag
    kAnyoneRule,                           // 29 pause
    {From::kAuthority, Subject::kNone},    // 30 all placed
    kAnyoneRule,                           // 31 debug toggle
    kObjectRule,                           // 32 deploy
    kObjectRule,                           // 33 undeploy
    {From::kAuthority, Subject::kNone},    // 34 artifact
    kAnyoneRule,                           // 35 artifact touched: the sender's own unit
    kAnyoneRule,                           // 36 shot answer (owner's copy)
    kAnyoneRule,                           // 37 change owner: to the sender's own team
    kFactoryRule,                          // 38 exit point
    kAnyoneRule,                           // 39 exit clear (owner's copy)
    kAnyoneRule,                           // 40 game speed
    kAnyoneRule,                           // 41 message
    kAnyoneRule,                           // 42 ore amount: growth or withdrawal
    kAnyoneRule,                           // 43 altitude answer (owner's copy)
    {From::kLobby, Subject::kNone},        // 44 game set-up
    {From::kTaker, Subject::kNone},        // 45 player dropped
    {From::kLobby, Subject::kNone},        // 46 player number
    kObjectRule,                           // 47 pick up
    kObjectRule,                           // 48 drop
    kAnyoneRule,                           // 49 drop answer (owner's copy)
    kObjectRule,                           // 50 carried position
    kObjectRule,                           // 51 release
    kObjectRule,                           // 52 reset
    kObjectRule,                           // 53 capture
    kAnyoneRule,                           // 54 nominal hit: land features only
    kFactoryRule,                          // 55 factory ledger
    {From::kAuthority, Subject::kNone},    // 56 artifact award
    kObjectRule,                           // 57 unit snapshot
    kAnyoneRule,                           // 58 pause mark: about the sender's own stream
    {From::kAuthority, Subject::kNone},    // 59 deposit amount
};

// The link-up numbers the host 1 and its joiners from 2.
constexpr int kHostPlayer = 1;
// What AnsweringTeam gives an object every player may change.
constexpr int kAnyPlayer = 0;

// A withdrawal comes from the factory mining the deposit: its unfolded centre lies inside it.
// Its copy here may still stand folded, and where its owner was a moment before: a factory
// crawls sqrt(2) px a step of 65 ms, so a copy that trails its owner's word by up to a second
// stands within 22 px of it. The check measures from the copy's unfolded centre, whatever its
// state, with a cell's slack for that lag. Once the factory died here, its pieces lie about
// where it stood (up to a piece's offset and size from its centre).
constexpr int kMinerSlackPixels = 32;
constexpr int kPieceSlackPixels = 160;

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

bool IsPlayerTeam(int team) {
    return InRange(team, 1, World::kTeams - 1);
}

int64_t KeyOf(const SimId& id) {
    return (static_cast<int64_t>(id.team) << 32) | static_cast<uint32_t>(id.serial);
}

// A pause command that pauses (kind 29, not its lift).
bool IsPauseStart(const CommandReader& r, const CommandHeader& h) {
    if (static_cast<CommandKind>(h.kind) != CommandKind::Pause) return false;
    CommandReader payload = r;
    return payload.ReadU8() != 0;
}

// A factory's wreck piece: its id carries the factory's team.
bool IsPieceId(const SimId& id) {
    const auto serial = static_cast<uint32_t>(id.serial);
    return serial >= World::kPieceSerialBase && serial < 2 * World::kPieceSerialBase;
}

bool NearBounds(const Rect& r, const Point& p, int margin) {
    return p.x >= r.origin.x - margin && p.x <= r.origin.x + r.extent.w - 1 + margin &&
           p.y >= r.origin.y - margin && p.y <= r.origin.y + r.extent.h - 1 + margin;
}

// The distance from a point to the nearest point of a rectangle, squared; 0 inside.
int64_t DistanceSquared(const Point& p, const Rect& r) {
    const int64_t dx = p.x < r.origin.x                    ? r.origin.x - p.x
                       : p.x > r.origin.x + r.extent.w - 1 ? p.x - (r.origin.x + r.extent.w - 1)
                                                           : 0;
    const int64_t dy = p.y < r.origin.y                    ? r.origin.y - p.y
                       : p.y > r.origin.y + r.extent.h - 1 ? p.y - (r.origin.y + r.extent.h - 1)
                                                           : 0;
    return dx * dx + dy * dy;
}

// The most a wreck another machine makes may hold: three quarters of the dearest design the
// catalogue allows, plus a full carrier's cargo.
int64_t DearestWreckValue() {
    return static_cast<int64_t>(static_cast<double>(TheCatalogueFigures.dearestDesign) *
                                RecentDead::kWreckShare) +
           GameObject::kStartCargoCapacity;
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
        if (slot >= 0 && slot < World::kPeerSlots && world.peerSlots[slot].peerLink)
            world.peerSlots[slot].peerLink->Drop(CommLink::kDroppedDamaged);
        return 0;
    }
    CommandReader reader(message.start, size);
    CommandHeader header;
    current = message.start;
    FiredShots* shots =
        InRange(slot, 0, World::kPeerSlots - 1) ? &world.peerSlots[slot].firedShots : nullptr;
    // A message the link did not deliver just now is a held word's, applied again: each of its
    // commands came when it was held.
    const uint32_t nowMs = GetTimeMs();
    const int fresh =
        shots ? shots->Heard(world.peerSlots[slot].frames, world.recentDead.nowMs, nowMs) : 1;
    while (reader.NextCommand(header)) {
        if (shots && HoldsForStart(header, slot)) {
            const uint8_t* command = current + (reader.CommandEnd() - header.length);
            // Past the bound the word is not kept: it is refused.
            if (world.peerSlots[slot].HoldForStart(command, header.length) == 0)
                Refuse(header, slot);
            reader.SkipCommand();
            continue;
        }
        if (shots) arrival = fresh == 1 ? shots->Latest() : shots->TakeHeld(nowMs);
        // Behind a command that waits, the rest of the link's commands wait too, in order.
        const bool holding = shots && world.peerSlots[slot].Holding() == 1;
        const bool pauseStart = IsPauseStart(reader, header);
        if (holding && PassesHeldWord(reader, header) == 0) {
            Wait(current, reader, header, slot);
            continue;
        }
        // The pointer keeps moving during long decodes.
        PumpMouseMove();
        Apply(reader, header, slot);
        if (holding && pauseStart) world.peerSlots[slot].passedPause = world.markedPause;
        // At once, before the next command: a later one may tell the winner's state with the
        // effect already in it.
        if (!world.awaitedWinners.empty()) GiveAwaitedAwards();
    }
    return 1;
}

// Each machine places its own factory as it builds its game and tells it once: a peer's word
// of it that comes before this machine's start has built the game would be cleared by the
// start, and the game would go on without that factory here for good. It waits for the start,
// and what the peer sent behind it waits behind it, in order.
int CommandExecutor::HoldsForStart(const CommandHeader& h, int slot) const {
    if (world.StartInProgress() == 0) return 0;
    return !world.peerSlots[slot].beforeStart.empty() ||
                   static_cast<CommandKind>(h.kind) == CommandKind::CreateFactory
               ? 1
               : 0;
}

// What passes a held word; everything else from its link waits behind it, in order:
// | command                     | what happens                  | why                           |
// |-----------------------------|-------------------------------|-------------------------------|
// | a pause                     | applied at once, its number   | the player's to make whatever |
// |                             |   kept (PeerSlot::passedPause)|   else waits: it stands here  |
// |                             |                               |   when it stands elsewhere    |
// | a lift, this machine's      | applied at once               | held, it kept this machine    |
// |   pause settled             |                               |   paused up to the wait's     |
// |                             |                               |   limit after the others ran  |
// | a lift before that          | held                          | never ahead of the states and |
// |                             |                               |   mark it follows             |
// The pause's states and mark stay behind the word, so its checksum waits for them, and the
// waited-for team's mark of it ends the wait. A pause settled here has every mark in, the
// sender's too: its states and mark came before the word.
int CommandExecutor::PassesHeldWord(const CommandReader& r, const CommandHeader& h) {
    if (IsPauseStart(r, h)) return 1;
    if (static_cast<CommandKind>(h.kind) != CommandKind::Pause) return 0;
    return world.paused == 1 && world.markedPause != 0 && world.SettlePause() == 1 ? 1 : 0;
}

int CommandExecutor::SenderTeam(int slot) const {
    return InRange(slot, 0, World::kPeerSlots - 1) ? world.peerSlots[slot].peerTeam : -1;
}

int CommandExecutor::SlotPlaying(int team) const {
    return world.SlotPlaying(team);
}

// A sender whose link is lost here still counts as playing: its word comes in link order, all
// of it sent before the link went. It is judged among the players left here now, not those of
// when it sent, which this machine cannot know: a player lost since stands ahead of it no more.
int CommandExecutor::IsLowestLeft(int sender, int except) const {
    if (!IsPlayerTeam(sender) || sender == except || world.factoryDied[sender] != 0) return 0;
    const int lowest = world.Authority(except);
    return lowest == -1 || sender <= lowest ? 1 : 0;
}

int CommandExecutor::HasAuthority(int sender) const {
    return sender != world.LocalTeam() && IsLowestLeft(sender, -1) == 1 ? 1 : 0;
}

// Whose growth (a kind 42 change of 0 or more) this machine takes. The given executor takes it
// from the authority as this machine names it; the machines name it from the factories and links
// they have seen fall, each in its own order, so one took a word another refused and their
// deposits parted. The sender grows only while its own factory stands (OreDeposit::IsGrower),
// and its word of that factory's fall goes out as it falls: every word before that word on its
// link is taken, none after it is sent.
// | case                                  | what happens         | why                           |
// |---------------------------------------|----------------------|-------------------------------|
// | the sender's factory fell here        | refused              | its word of the fall came     |
// |                                       |                      |   first: nothing honest after |
// | a lower team plays here, its factory  | held (everything     | the sender saw it fall or its |
// |   standing (a peer's)                 |   behind it too)     |   link go on a link of its    |
// |                                       |   until the team's   |   own; applied once this      |
// |                                       |   fall or loss is    |   machine sees either,        |
// |                                       |   seen here          |   refused at the wait's limit |
// | this machine's own team is lower and  | refused              | its fall is seen here first   |
// |   its factory stands                  |                      |                               |
// | otherwise                             | taken                | as given                      |
int CommandExecutor::GrowthVerdict(int sender) {
    const int local = world.LocalTeam();
    if (!IsPlayerTeam(sender) || sender == local || world.FactoryFell(sender) == 1) return 0;
    for (int team = 1; team < sender; ++team) {
        if (world.FactoryFell(team) == 1) continue;
        if (team == local) return 0;
        if (SlotPlaying(team) == -1) continue;
        waitingFor = team;
        waitEndsAtFall = 1;
        return kWait;
    }
    return 1;
}

// Growth is the authority's (GrowthVerdict); a withdrawal the miner's, the owner of the factory
// on the deposit. About a deposit not here, nothing changes.
int CommandExecutor::MayChangeOre(const CommandReader& r, const CommandHeader& h, int sender) {
    CommandReader payload = r;
    const int32_t change = payload.ReadW32();
    GameObject* deposit = world.FindOreDeposit(h.id);
    if (!deposit) return 1;
    return change >= 0 ? GrowthVerdict(sender) : MinesDeposit(sender, deposit);
}

int CommandExecutor::AnsweringTeam(GameObject* o) const {
    if (o->GetKind() == ObjectKind::kWreck) {
        auto maker = world.wreckMakers.find(KeyOf(o->id));
        if (maker != world.wreckMakers.end()) return maker->second;
        // A factory's pieces are made by every machine's death pass; the factory's owner
        // answers for them.
        return IsPieceId(o->id) ? o->id.team : -1;
    }
    // A field answers to whichever machine's shot hits it.
    if (o->GetKind() == ObjectKind::kDestructible) return kAnyPlayer;
    const int team = o->GetTeam();
    return IsPlayerTeam(team) ? team : -1;
}

// A team's machine that is gone is answered for by the authority, who took its objects over
// (the World's peer check). This machine may not have seen the loss yet when the taker's word
// arrives: the links to the lost machine close on each survivor in its own time. The taker's
// first command about the lost team is its snapshot of the team's factory or units (57) or, for
// a team with neither, the player's drop (45): with `lossSign`, such a command from the player
// who would take the team over waits (kWait, for `waitingFor`) until this machine sees the loss
// from that machine's own link; a peer's word never closes another's link. Every other command
// comes behind that first one on the taker's link, so nothing else needs the sign.
int CommandExecutor::SpeaksFor(int sender, int team, int lossSign) {
    if (!IsPlayerTeam(sender)) return 0;
    if (team == sender || team == kAnyPlayer) return 1;
    if (!IsPlayerTeam(team)) return 0;
    if (team == world.LocalTeam()) return 0;
    if (SlotPlaying(team) == -1) return IsLowestLeft(sender, -1);
    if (lossSign == 0 || IsLowestLeft(sender, team) == 0) return 0;
    waitingFor = team;
    return kWait;
}

int CommandExecutor::MaySend(const CommandReader& r, const CommandHeader& h, int slot) {
    const SenderRule rule = kSenders[h.kind];
    const int sender = SenderTeam(slot);
    const auto kind = static_cast<CommandKind>(h.kind);
    const int lossSign =
        kind == CommandKind::SimSnapshot || kind == CommandKind::PlayerDropped ? 1 : 0;
    waitEndsAtFall = 0;
    switch (rule.from) {
        case From::kAnyone:
            return kind == CommandKind::OreAmount ? MayChangeOre(r, h, sender) : 1;
        case From::kAuthority:
            return HasAuthority(sender);
        case From::kLobby:
            return world.inGame == 0 ? 1 : 0;
        case From::kHostLobby:
            return world.inGame == 0 && sender == kHostPlayer ? 1 : 0;
        case From::kTaker: {
            CommandReader payload = r;
            payload.ReadByte();
            const int team = payload.ReadByte();
            return team != sender ? SpeaksFor(sender, team, lossSign) : 0;
        }
        case From::kAnswerer:
            break;
    }
    // Only what the command would change is checked: a command about an object this machine
    // owns, or does not have, changes nothing (an honest peer's word in flight after a
    // hand-over lands there) and is let through to be read and skipped.
    GameObject* subject = nullptr;
    switch (rule.subject) {
        case Subject::kFactory:
            subject = world.TeamFactory(h.id.team);
            break;
        case Subject::kShooter: {
            CommandReader payload = r;
            payload.ReadByte();
            payload.ReadByte();
            payload.ReadPoint();
            subject = world.FindObject(payload.ReadId());
            break;
        }
        case Subject::kTeam:
            return world.TeamFactory(h.id.team) || SpeaksFor(sender, h.id.team, 0) ? 1 : 0;
        case Subject::kObject:
            subject = world.FindObject(h.id);
            // A piece's value its factory's owner tells before this machine made the piece.
            if (!subject && kind == CommandKind::SimSnapshot && IsPieceId(h.id))
                return SpeaksFor(sender, h.id.team, lossSign);
            break;
        case Subject::kNone:
            return 1;
    }
    if (!IsMirror(subject)) return 1;
    if (kind == CommandKind::SimSnapshot) return MaySendSnapshot(sender, subject, lossSign);
    return SpeaksFor(sender, AnsweringTeam(subject), lossSign);
}

// A snapshot places a copy wherever it says, and the claim and reach checks measure the copies:
// it comes from the taker of a lost team, from a factory's owner for the factory's wreck pieces,
// and from a team's own player only for its units once its factory died here (its machine
// tells where they came to rest; the factory's fatal damage comes ahead of that on its link).
int CommandExecutor::MaySendSnapshot(int sender, GameObject* subject, int lossSign) {
    const int team = AnsweringTeam(subject);
    if (!IsPlayerTeam(team)) return 0;
    if (subject->GetKind() == ObjectKind::kWreck)
        return IsPieceId(subject->id) ? SpeaksFor(sender, team, lossSign) : 0;
    if (team != sender) return SpeaksFor(sender, team, lossSign);
    GameObject* factory = world.TeamFactory(team);
    return !factory || factory->IsDestroyed() == 1 ? 1 : 0;
}

// What a peer's hit report (7) and wreck (13) must answer to here; the given executor applies
// both as they come:
// | case                                  | what happens         | why                         |
// |---------------------------------------|----------------------|-----------------------------|
// | shooter never here, or dead longer    | refused              | a made-up id hit from       |
// |   than the longest flight and slack   |                      |   anywhere                  |
// | hit answering to no shot the sender   | refused; each shot   | a dead factory's hits by    |
// |   announced (12) of that shooter and  |   answers one hit,   |   the hundred won a beaten  |
// |   weapon                              |   whatever it struck |   guest the game            |
// | hit coming, by the link's clock,      | refused; a hit held  | shots saved up for 20 s     |
// |   later after its shot than the       |   behind a taker's   |   were answered in one      |
// |   shot's weapon flies and the         |   word is judged     |   frame, and forged hits    |
// |   sender's tick (FiredShots)          |   when it came       |   claimed honest shots that |
// |                                       |                      |   had missed                |
// | shot of a mount that has as many      | its oldest is out    | the same saving up, within  |
// |   unanswered as its weapon has in     |                      |   the flight of a slow shot |
// |   flight at once at the speed played  |                      |                             |
// |   (ShotFlight)                        |                      |                             |
// | shot of a shooter not standing here,  | not counted          | shots announced after the   |
// |   or of a hardpoint its copy does not |                      |   shooter died, or of a     |
// |   arm with that weapon                |                      |   weapon it never mounted   |
// | shot of a factory whose copy may not  | counted per factory  | seven allowances for one    |
// |   know its turrets: of a weapon its   |   turret, whatever   |   turret: a forged factory  |
// |   clan has at this tech level, of no  |   weapon it names:   |   shot 7 hits at once, and  |
// |   known hardpoint                     |   no more a reload   |   one naming eight letters  |
// |                                       |   than the           |   15 a reload               |
// |                                       |   hardpoints that    |                             |
// |                                       |   take the weapon    |                             |
// | shot sooner than its weapon reloads   | not counted          | shots banked faster than    |
// |   (at the speed played), one reload   |                      |   they can be fired; a      |
// |   early allowed, by this machine's    |                      |   stalled link delivers at  |
// |   clock (FiredShots)                  |                      |   most one shot a mount     |
// | shooter captured since its shot       | the hit lands, as    | the shot was the sender's;  |
// |                                       |   the old owner's    |   its hit was on its way    |
// | wreck with no death it matches        | refused              | wrecks minted from none     |
// | a matched death's pieces used up      | refused              | one death, many wrecks      |
//
// Honest machines report hits of their own shooters only, with the weapon of a shot they
// announced first on the same link (every shot hurts one object at most; a missile may strike
// another object in its cell than the one it flew at, so the target is not matched), at no
// friend, from within the reach and the slack for its copy's lag. A shooter that is gone here
// died with its shot in flight: this machine saw it die no longer ago than the longest shot
// flies (and a link's slack), and its reach is measured from where it stood. The shot ties the
// hit to the sender: it was counted only while the sender answered for the shooter, so a
// capture applied here before the hit came takes nothing from it.
int CommandExecutor::MayReportHit(int slot, GameObject* target, const SimId& attackerId, char clan,
                                  char weapon) {
    RecentDead::Death shooter;
    if (GameObject* attacker = world.FindObject(attackerId))
        shooter = RecentDead::Describe(attacker);
    else if (const RecentDead::Death* dead = world.recentDead.Find(attackerId))
        shooter = *dead;
    else
        return 0;
    // Judged when the hit came, a held one too: the hold is not the shot's flight.
    FiredShots::Shot* shot =
        world.peerSlots[slot].firedShots.Unanswered(attackerId, clan, weapon, arrival.linkMs);
    if (!shot) return 0;
    const int targetTeam = target->GetTeam();
    if (IsPlayerTeam(targetTeam) && world.AreAllied(targetTeam, shot->team) == 1) return 0;
    const int64_t reach = int64_t{std::max(shooter.reach, shot->reach)} + kHitReachSlackPixels;
    if (DistanceSquared(shooter.centre, target->GetBounds()) > reach * reach) return 0;
    shot->answered = true;
    return 1;
}

// The sender answers for a mirrored shooter (MaySend let the command through); a destroyed copy
// fires no more. A copy knows what each hardpoint mounts, but for a factory whose owner never
// told it (a computer player's, armed as the game was built): a shot of it counts if its clan
// may mount the weapon here, on one of the factory's turrets, whatever weapon each shot names:
// never more a reload than its hardpoints that take the weapon could fire.
void CommandExecutor::CountShot(int slot, GameObject* shooter, char clan, char role,
                                int hardpoint) {
    if (!InRange(slot, 0, World::kPeerSlots - 1) || !IsMirror(shooter) ||
        shooter->IsDestroyed() == 1 || !InRange(hardpoint, 0, RecentDead::kWeapons - 1))
        return;
    VehicleDesign* design = shooter->GetDesign();
    if (!design) return;
    const MountTemplate* weapon = design->hardpoints[static_cast<size_t>(hardpoint)];
    int turrets = 0;
    if (!weapon || weapon->GetMountKind() != MountKind::Weapon || weapon->clan != clan ||
        weapon->role != role) {
        const int team = shooter->GetTeam();
        weapon = nullptr;
        if (shooter->GetKind() == ObjectKind::kFactory && IsPlayerTeam(team) &&
            world.factoryFitTold[team] == 0) {
            weapon = FindWeaponTemplate(design->clan, role);
            if (weapon && weapon->clan != clan) weapon = nullptr;
        }
        turrets = design->HardpointsTaking(weapon);
        if (turrets == 0) return;
    }
    FiredShots::Shot shot;
    shot.shooter = shooter->id;
    shot.team = shooter->GetTeam();
    shot.clan = clan;
    shot.role = role;
    shot.reach = weapon->GetRange();
    // At the speed every machine plays, and at one left lately for the shots fired before the
    // change (its word may reach the sender after this machine): its weapon's flight and the
    // sender's tick are the longest an honest hit of it comes after it on the link's clock.
    const ShotFlight::Measure measure = ShotFlight::AtSpeedsPlayed(
        weapon, world.speedPlayed, world.recentDead.nowMs, RecentDead::kLinkSlackMs);
    shot.lifeMs = measure.flightMs + RecentDead::kLinkSlackMs;
    world.peerSlots[slot].firedShots.Count(shot, hardpoint, turrets, measure.reloadMs,
                                           measure.mostInFlight, arrival);
}

// The kill may have come in this very message, ahead of the death pass: the destroyed copies
// are noted here first.
RecentDead::Death* CommandExecutor::DeathLeaving(int sender, char clan, char chassis,
                                                 const Point& at, int64_t value) {
    auto answered = [this, sender](int32_t team) {
        return IsPlayerTeam(team) && SpeaksFor(sender, team, 0) == 1;
    };
    for (int team = 0; team < World::kTeams; ++team)
        for (NodeList* list : {&world.sims[team], &world.buildings[team]})
            for (ListNode* n = list->First(); n; n = list->Next(n))
                if (ObjectOf(n)->IsDestroyed() == 1) world.recentDead.Note(ObjectOf(n));
    return world.recentDead.MatchWreck(clan, chassis, at, value, answered);
}

// Both lines end with the battle's own time, which stands still in a pause: a word placed
// against the barriers' pauses.
void CommandExecutor::Refuse(const CommandHeader& h, int slot) {
    char line[128];
    std::snprintf(line, sizeof line,
                  "Refused command kind %d from slot %d (player %d) at battle ms %d", h.kind, slot,
                  SenderTeam(slot), world.recentDead.nowMs);
    receivers.Refused(line);
}

void CommandExecutor::NoteApplied(const CommandHeader& h, int slot, int32_t objectKind,
                                  const char* measure, int32_t amount) {
    char line[160];
    std::snprintf(line, sizeof line,
                  "Applied command kind %d from slot %d (player %d) of kind %d, %s %d at battle "
                  "ms %d",
                  h.kind, slot, SenderTeam(slot), objectKind, measure, amount,
                  world.recentDead.nowMs);
    receivers.Applied(line);
}

int CommandExecutor::MinesDeposit(int sender, GameObject* deposit) {
    const Rect bounds = deposit->GetBounds();
    if (GameObject* factory = world.TeamFactory(sender)) {
        FactoryProduction* production = AsFactoryProduction(factory);
        const Point mines = production ? production->UnfoldedCentre() : factory->GetCentre();
        return NearBounds(bounds, mines, kMinerSlackPixels) ? 1 : 0;
    }
    // The factory died here while its owner's last withdrawals were on their way.
    for (ListNode* n = world.wrecks.First(); n; n = world.wrecks.Next(n)) {
        GameObject* piece = ObjectOf(n);
        if (piece->id.team == sender && IsPieceId(piece->id) &&
            NearBounds(bounds, piece->GetCentre(), kPieceSlackPixels))
            return 1;
    }
    return 0;
}

void CommandExecutor::GiveAwaitedAwards() {
    auto& awaited = world.awaitedWinners;
    for (auto it = awaited.begin(); it != awaited.end();) {
        GameObject* winner = world.FindObject(it->winner);
        if (!winner) {
            ++it;
            continue;
        }
        Artifact::ApplyEffectOf(it->effect, winner);
        it = awaited.erase(it);
    }
}

void CommandExecutor::Wait(const uint8_t* data, CommandReader& r, const CommandHeader& h,
                           int slot) {
    const uint8_t* command = data + (r.CommandEnd() - static_cast<size_t>(h.length));
    PeerSlot& peer = world.peerSlots[slot];
    const FiredShots::Arrival came = arrival;
    while (peer.Hold(command, h.length, waitingFor, GetTimeMs()) == 0) {
        // Reaching the bound ends the wait (World::ApplyWaitingCommands has the rule). The held
        // commands run through this executor again; each round takes at least the first.
        world.EndWait(slot);
        current = data;
        arrival = came;
        if (peer.Holding() == 0) {
            Apply(r, h, slot);
            return;
        }
    }
    peer.firedShots.Hold(came);
    if (static_cast<CommandKind>(h.kind) == CommandKind::PauseMark) {
        CommandReader payload = r;
        peer.heldMark = payload.ReadW32();
    }
    r.SkipCommand();
}

void CommandExecutor::Apply(CommandReader& r, const CommandHeader& h, int slot) {
    const int may = MaySend(r, h, slot);
    if (may == kWait && InRange(slot, 0, World::kPeerSlots - 1) &&
        world.peerSlots[slot].refusing != waitingFor) {
        PeerSlot& peer = world.peerSlots[slot];
        const int starts = peer.Holding() == 0 ? 1 : 0;
        Wait(current, r, h, slot);
        if (starts == 1 && peer.Holding() == 1) peer.fallEndsWait = waitEndsAtFall;
        return;
    }
    if (may != 1) {
        Refuse(h, slot);
        r.SkipCommand();
        return;
    }
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
            if (!IsOwned(o)) break;
            if (MayReportHit(slot, o, attacker, clan, weaponRole) == 0) {
                Refuse(h, slot);
                break;
            }
            // With how long ago a shooter gone here died: the margin the span leaves.
            if (GameObject* shooter = world.FindObject(attacker))
                NoteApplied(h, slot, shooter->GetKind(), "standing", 0);
            else if (const RecentDead::Death* dead = world.recentDead.Find(attacker))
                NoteApplied(h, slot, dead->kind, "dead ms",
                            world.recentDead.nowMs - dead->diedAtMs);
            o->ApplyHit(weaponRole, explosionRole, clan, attacker);
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
            // Its hit may come whether or not this copy makes the shot.
            CountShot(slot, shooter, clan, role, mount);
            if (!IsMirror(shooter)) break;
            if (target) receivers.FireWeapon(shooter, target, clan, role, mount, id, value);
            // Answered whether a shot was made or not.
            world.Commands().SendShotAck(shooter, mount);
            break;
        }
        case CommandKind::CreateWreck: {
            // Under an id of a team the sender answers for (a factory's piece carries the
            // factory's team), that nothing here holds (its sender would become its maker, or
            // a unit and a wreck would share it), worth what a wreck can be, and left by a death
            // this machine saw of an object the sender answered for: once per piece.
            CommandReader payload = r;
            const char clan = static_cast<char>(payload.ReadU8());
            const char chassis = static_cast<char>(payload.ReadU8());
            const Point at = payload.ReadPoint();
            const int32_t value = payload.ReadW32();
            const int sender = SenderTeam(slot);
            RecentDead::Death* death = nullptr;
            if (IsPlayerTeam(id.team) && SpeaksFor(sender, id.team, 0) != 0 &&
                !world.FindObject(id) && !world.FindWreckById(id) && value >= 0 &&
                value <= DearestWreckValue())
                death = DeathLeaving(sender, clan, chassis, at, value);
            if (!death) {
                Refuse(h, slot);
                break;
            }
            --death->wrecksLeft;
            NoteApplied(h, slot, death->kind, "away px", RecentDead::WreckDistance(*death, at));
            MakeWreck(r, h);
            if (world.FindWreckById(id) && IsPlayerTeam(sender))
                world.wreckMakers[KeyOf(id)] = sender;
            break;
        }
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
            if (mirrorFactory) {
                receivers.RefitFactory(mirrorFactory, text);
                world.factoryFitTold[h.id.team] = 1;
            }
            break;
        case CommandKind::SimFlag: {
            const int value = r.ReadU8();
            GameObject* o = world.FindObject(id);
            if (IsMirror(o)) o->SetMoving(value);
            break;
        }
        case CommandKind::Pause: {
            const int pause = r.ReadU8() != 0 ? 1 : 0;
            world.SetPaused(pause);
            // Also a machine that stood paused already answers with its mark: the peers count
            // this pause and wait for it.
            if (pause == 1) world.MarkPause(SenderTeam(slot));
            break;
        }
        case CommandKind::PauseMark:
            world.NotePauseMark(slot, r.ReadW32());
            break;
        case CommandKind::DepositAmount: {
            const int32_t amount = r.ReadW32();
            world.NoteDepositAmount(slot, id, amount);
            break;
        }
        case CommandKind::AllPlaced:
            world.pauseLocked = 0;
            // Play starts here as on the host: the time spent waiting for the factories is no
            // part of the mission's time.
            world.StartClocks(1);
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
        case CommandKind::ScenarioObjectTrigger:
            ApplyClaim(r, h, slot);
            break;
        case CommandKind::ArtifactAward:
            ApplyAward(r, h);
            break;
        case CommandKind::ShotAck: {
            const int mount = r.ReadByte();
            GameObject* o = world.FindObject(id);
            if (IsOwned(o)) receivers.CountShotAck(o, mount);
            break;
        }
        case CommandKind::ChangeOwner: {
            const int first = r.ReadByte();
            const int third = r.ReadByte();
            GameObject* o = world.FindObject(id);
            if (!o) break;
            // Only to the sender's own team, and only what it answers for already or took with
            // its capture unit (kind 53 marked the unit as under its control).
            const int sender = SenderTeam(slot);
            if (first != sender ||
                (o->teamRecord.second != sender && SpeaksFor(sender, AnsweringTeam(o), 0) == 0)) {
                Refuse(h, slot);
                break;
            }
            o->ChangeTeam(ValueTriple(first, third), 0);
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
            // Its sender checked in MayChangeOre.
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
            world.peerSlots[slot].peerTeam = r.ReadByte();
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
        case CommandKind::NominalHit: {
            // Any machine's shot may bring a land feature down; nothing else takes this hit.
            GameObject* o = world.FindObject(id);
            if (!o) break;
            if (o->GetKind() != ObjectKind::kLandFeature) {
                Refuse(h, slot);
                break;
            }
            o->ApplyDamageState(1, 1, 'X', 'X', 'X');
            break;
        }
        default:
            break;
    }
    // Whatever a kind left unread is skipped: the next command starts at its own header.
    r.SkipCommand();
}

// A claim: only the host decides, and its award (kind 56) tells everybody. The host grants it
// only for a unit of the sender's that stands on the artifact here too, within the reach a
// lagging copy needs; a refused claim leaves the artifact to be claimed again.
void CommandExecutor::ApplyClaim(CommandReader& r, const CommandHeader& h, int slot) {
    GameObject* toucher = world.FindObject(r.ReadId());
    auto* artifact = dynamic_cast<Artifact*>(world.FindObject(h.id));
    if (world.networkHost != 1 || !artifact || artifact->GetKind() != ObjectKind::kArtifact ||
        !artifact->takerId.IsNull() || !IsMirror(toucher))
        return;
    const Point at = artifact->GetPosition();
    const Point from = toucher->GetPosition();
    constexpr int kCell = 32;
    const bool near = std::abs(at.x / kCell - from.x / kCell) <= kClaimReachCells &&
                      std::abs(at.y / kCell - from.y / kCell) <= kClaimReachCells;
    if (!near || Artifact::MayBeTakenBy(toucher) == 0 ||
        SpeaksFor(SenderTeam(slot), AnsweringTeam(toucher), 0) == 0) {
        Refuse(h, slot);
        return;
    }
    artifact->PickUp(toucher);
}

// The host's award. A winner this machine does not know yet (its maker's word has not arrived)
// still takes the artifact off the map here, as on every other machine; its effect waits for
// the winner's copy.
void CommandExecutor::ApplyAward(CommandReader& r, const CommandHeader& h) {
    const SimId winnerId = r.ReadId();
    auto* artifact = dynamic_cast<Artifact*>(world.FindObject(h.id));
    if (world.networkHost == 1 || !artifact || !artifact->takerId.IsNull() || winnerId.IsNull())
        return;
    if (GameObject* winner = world.FindObject(winnerId)) {
        artifact->Take(winner);
        return;
    }
    artifact->Retire(winnerId);
    auto& awaited = world.awaitedWinners;
    if (awaited.size() >= World::kMaxAwaitedWinners) awaited.erase(awaited.begin());
    awaited.push_back({winnerId, artifact->effectType});
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
