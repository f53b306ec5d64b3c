#pragma once
// Applies the commands one peer sent in one message to this machine's copies of the game. The
// whole message is checked first, command by command against its kind's layout and the ranges
// of its fields; a message that fails anywhere changes nothing and drops its peer (the status
// line names the player). Commands about objects this machine does not have are read and
// skipped. Mirror-only kinds act on copies another machine owns, the answering kinds on the
// owner's copy; what the unit classes do goes through CommandReceivers.
//
// A well-formed command is still applied only from a sender that may send it (the table beside
// the layouts in the source): a peer changes only what its machine answers for. A refused
// command is dropped and traced, and its peer stays: an honest peer's commands in flight after a
// capture, a loss or a hand-over land there too.
#include <cstddef>
#include <cstdint>

#include "world/FiredShots.h"
#include "world/RecentDead.h"

class CommandBuffer;
class CommandReader;
class CommandReceivers;
class GameObject;
class World;
struct CommandHeader;

class CommandExecutor {
public:
    CommandExecutor(World& world, CommandReceivers& receivers)
        : world(world), receivers(receivers) {}

    // The message is the buffer's bytes from its start to its cursor; afterwards the cursor
    // stands at that end. 1 applied; 0 refused (the slot's link was dropped).
    int Execute(CommandBuffer& message, int slot);
    // 1 when every command of the bytes is well formed.
    static int Check(const uint8_t* data, size_t size);

    // How far (in cells, either axis) the host's copy of a claiming unit may stand from the
    // artifact's cell. The guest's unit stands on the cell when it claims; the host's copy
    // follows the same goals on its own clock and is set back onto its owner's place only at
    // each goal and pause, so it may trail by a step or two. A claim from further off is not a
    // touch.
    static constexpr int kClaimReachCells = 3;
    // How far past its longest weapon's reach the copy of a hit report's shooter may stand from
    // the target's bounds (measured from the copy's centre): the copy trails its owner by up to
    // three cells between states, as a claiming copy may, and the shooter may have driven on a
    // cell or two while its shot flew.
    static constexpr int kHitReachSlackPixels = 160;

private:
    void Apply(CommandReader& reader, const CommandHeader& header, int slot);
    void ApplyGoal(CommandReader& reader, const CommandHeader& header);
    void MakeWreck(CommandReader& reader, const CommandHeader& header);
    void ApplyClaim(CommandReader& reader, const CommandHeader& header, int slot);
    void ApplyAward(CommandReader& reader, const CommandHeader& header);
    // The awards waiting for a winner this machine did not know: applied once it is here.
    void GiveAwaitedAwards();

    // Who sent it: the player of the slot (-1 while not known).
    int SenderTeam(int slot) const;
    // Whether the slot may send the command, by the kind's row of the sender table: 1, 0 or
    // kWait.
    int MaySend(const CommandReader& reader, const CommandHeader& header, int slot);
    // Drops the command with a trace line naming the slot, its player and the kind.
    void Refuse(const CommandHeader& header, int slot);
    // Traces a peer's hit or wreck applied, with the shooter's or the dead object's kind and a
    // measure of how near the check came to refusing it.
    void NoteApplied(const CommandHeader& header, int slot, int32_t objectKind, const char* measure,
                     int32_t amount);
    // The player whose machine answers for the object: its current team; a wreck's maker; 0
    // for a field, which every player's shots hit; -1 for what nobody answers for (land
    // features, deposits, artifacts).
    int AnsweringTeam(GameObject* object) const;
    // Whether `sender` speaks for `team` here: it plays it, or the team's machine is gone and
    // the sender took it over (1); or it would take the team over and the command must wait
    // for this machine to see the loss (kWait; `lossSign`: see the source).
    static constexpr int kWait = 2;
    int SpeaksFor(int sender, int team, int lossSign);
    // Keeps the command in the slot's waiting queue (PeerSlot::Hold), for `waitingFor`; one
    // that reaches its bound ends the wait and is applied after what was held.
    void Wait(const uint8_t* data, CommandReader& reader, const CommandHeader& header, int slot);
    // Whether the slot's command waits for this machine's start (PeerSlot::beforeStart).
    int HoldsForStart(const CommandHeader& header, int slot) const;
    // Whether a command from a slot that holds a word is applied at once (see the source).
    int PassesHeldWord(const CommandReader& reader, const CommandHeader& header);
    // The authority (World::Authority), when it is the sender.
    int HasAuthority(int sender) const;
    // Whether the sender is the authority (World::Authority, leaving `except` out), its own
    // team counted as playing.
    int IsLowestLeft(int sender, int except) const;
    // The slot whose standing link plays the team, or -1.
    int SlotPlaying(int team) const;
    // Whether the sender may tell a copy's state (kind 57) here.
    int MaySendSnapshot(int sender, GameObject* subject, int lossSign);
    // Counts a shot the slot's player announced (PeerSlot::firedShots) for the hits it may
    // answer, when its shooter and hardpoint could have fired it.
    void CountShot(int slot, GameObject* shooter, char clan, char role, int hardpoint);
    // Whether the slot's player may report a hit of the attacker on this machine's target with
    // the weapon of those letters; the shot it answers to is answered then.
    int MayReportHit(int slot, GameObject* target, const SimId& attackerId, char clan, char weapon);
    // The death this machine saw of an object the sender answered for that leaves a wreck of
    // those letters, there, worth that; null when none.
    RecentDead::Death* DeathLeaving(int sender, char clan, char chassis, const Point& at,
                                    int64_t value);
    // Whether the sender's factory takes ore from the deposit.
    int MinesDeposit(int sender, GameObject* deposit);
    // Whether the sender may change the deposit's amount by the payload's change: 1, 0 or
    // kWait (a growth word waiting for a fall; see GrowthVerdict).
    int MayChangeOre(const CommandReader& reader, const CommandHeader& header, int sender);
    // Whether this machine takes the sender's growth now: 1, 0 or kWait.
    int GrowthVerdict(int sender);

    World& world;
    CommandReceivers& receivers;
    // The message being executed, and the team the last kWait answer waits for.
    const uint8_t* current = nullptr;
    int waitingFor = -1;
    // Whether that wait also ends when the team's factory falls here (a growth word's).
    int waitEndsAtFall = 0;
    // When the command being applied came on its link (FiredShots::Heard): a held one, when
    // it was held.
    FiredShots::Arrival arrival;
};
