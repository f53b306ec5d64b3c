#pragma once
// One peer slot of a network game: the link to another machine and everything this machine
// keeps about it, so that opening, closing and packing the slots move or reset it whole.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "objects/CommandBuffer.h"
#include "world/FiredShots.h"

class CommLink;

struct PeerSlot {
    // The most a held word may keep waiting behind it: reaching it ends the wait
    // (World::EndWait).
    static constexpr size_t kMaxWaitingBytes = 1 << 18;

    // Owned (World::ClosePeers deletes it); null while the slot is free.
    CommLink* peerLink = nullptr;
    // The receive buffer, made with the link, and how much of its message in progress came.
    std::unique_ptr<CommandBuffer> peerCommands;
    size_t held = 0;
    size_t payload = 0;
    // The team its player plays (-1 unknown).
    int32_t peerTeam = -1;
    // The link's frame count when this machine last looked, and when it last grew.
    int32_t frames = 0;
    uint32_t heardAt = 0;
    // The held word: commands of a player who would take a team over and may speak for it
    // before this machine sees that team's machine lost. Once something is held, everything
    // after it from the link is held behind it, in order. The team whose loss they wait for,
    // and since when.
    std::vector<uint8_t> waiting;
    int32_t waitingFor = -1;
    uint32_t waitingSince = 0;
    // 1 when the team's factory falling here ends the wait too: a growth word waits for the
    // fall or the loss that made its sender the authority.
    int32_t fallEndsWait = 0;
    // While the held commands are applied after the wait ran out: the team about which they
    // are refused.
    int32_t refusing = -1;
    // The number this machine gave the last pause that passed the held word (0: none). The
    // waited-for team's machine marking that pause was still linked to the sender after the
    // word: the wait is over (World::ApplyWaitingCommands).
    int32_t passedPause = 0;
    // The number of the last pause mark the player's machine sent behind the held word (0:
    // none): it got that pause after the word.
    int32_t heldMark = 0;
    // The pause the player's machine marked, once it was the pause this machine is in; and
    // the last mark it sent that was not (taken if this machine comes to that pause).
    int32_t mark = 0;
    int32_t offeredMark = 0;
    // The player's shots this machine saw announced, which its hit reports answer to.
    FiredShots firedShots;
    // The player's factory word (and everything behind it on the link, in order) that came
    // while this machine had not built its game yet: the start clears every object, so the
    // words wait for it (World::ApplyWordsHeldForStart).
    std::vector<uint8_t> beforeStart;

    int Holding() const { return waiting.empty() ? 0 : 1; }
    // Holds one whole command behind those already held (the first starts the wait for
    // `forTeam` at `now`). 0 when it would take the queue past kMaxWaitingBytes: it is not kept,
    // and the wait is to end.
    int Hold(const uint8_t* command, size_t length, int32_t forTeam, uint32_t now);
    // Gives up the held commands (the wait is over) and returns them; what told about that wait
    // goes with them, so a word held next starts its wait afresh.
    std::vector<uint8_t> TakeHeld();
    // Keeps one whole command behind those already kept for the start; 0 when it would take
    // them past kMaxWaitingBytes (it is not kept).
    int HoldForStart(const uint8_t* command, size_t length);
    // A free slot: no link (the caller closed it), nothing held, nothing marked.
    void Reset();
};
