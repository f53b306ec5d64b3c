// What a pause of a network game settles before the machines compare their states. Each machine
// numbers the pause commands it sends and receives, so every machine gives a pause the same
// number; at a pause it sends the states of what it owns and then its mark of that number on
// every link. A link delivers in order, so a peer's mark says that everything it sent before
// its pause is in. Once every mark is in, the authority tells each deposit's amount: a change
// (kind 42) that one machine refused or never had would otherwise stay wrong there for good.
// The others hold the amounts until their own marks are in, or a withdrawal still on its way
// from a third machine would count twice.
#include <algorithm>
#include <cstdio>
#include <string>

#include "core/ScriptRequests.h"
#include "core/Trace.h"
#include "objects/CommandBuffer.h"
#include "objects/GameObject.h"
#include "objects/OreDeposit.h"
#include "world/CommLink.h"
#include "world/ObjectNode.h"
#include "world/World.h"

void World::MarkPause(int32_t from) {
    ++pauseNumber;
    if (networkGame != 1 || paused != 1 || !commands) return;
    // A pause command within a pause starts the wait again, under the new number everywhere.
    ForgetMarkedPause();
    markedPause = pauseNumber;
    markedPauseFrom = from;
    SendOwnStates();
    commands->SendPauseMark(pauseNumber);
    TakeOfferedMarks();
}

// Which marks count, and whose number this machine's pause count follows:
//   a peer's mark of the pause this machine is in    taken, once
//   a peer's mark of another pause (old, future, any) offered only: taken if this machine
//                                                    comes to that pause (marks may come
//                                                    before the pause on another link); a
//                                                    pause this machine starts drops them
//   the authority's mark, within a pause, when the   this machine's count (and the pause it
//   counts differ                                    marked, its mark sent again) follow it
//   the authority's mark below 1, or more than       offered only, as another's: the count
//   kMostPausesAhead past this machine's count       never follows it
// Every mark was once stored as it came, and a mark at or past the pause counted; an old mark
// sent again kept every machine from settling, a huge one counted for every later pause, and a
// pause that reached one machine only left its count one off for the rest of the game. A pause
// within a pause that comes here before the authority's mark of the first sets the count back
// for a moment: the authority's mark of the second follows on its link, as it got that pause.
// The authority's mark of INT32_MAX once set the count, and the next pause overflowed it; an
// honest count runs ahead of another only by the pauses that reached some machines only.
void World::NotePauseMark(int slot, int32_t number) {
    if (slot < 0 || slot >= kPeerSlots || !peerSlots[slot].peerLink) return;
    const int team = peerSlots[slot].peerTeam;
    // Only within a pause: outside one, the authority's mark may be of the pause still on its
    // way here on another link, which this machine will number alike once it comes.
    const bool counted = number > 0 && int64_t{number} <= int64_t{pauseNumber} + kMostPausesAhead;
    if (markedPause != 0 && number != pauseNumber && counted && team != LocalTeam() &&
        team == Authority()) {
        // The pause this machine is in keeps its meaning under the authority's number: a held
        // word it passed is answered by a mark of that number.
        for (PeerSlot& peer : peerSlots) {
            if (peer.passedPause == markedPause) peer.passedPause = number;
        }
        const int32_t from = markedPauseFrom;
        pauseNumber = number;
        ForgetMarkedPause();
        markedPause = number;
        markedPauseFrom = from;
        if (commands) commands->SendPauseMark(number);
    }
    peerSlots[slot].offeredMark = number;
    TakeOfferedMarks();
    SettlePause();
}

void World::TakeOfferedMarks() {
    if (markedPause == 0) return;
    for (PeerSlot& peer : peerSlots) {
        if (peer.offeredMark == markedPause) peer.mark = markedPause;
    }
}

void World::NoteDepositAmount(int slot, const SimId& deposit, int32_t amount) {
    if (slot < 0 || slot >= kPeerSlots || networkGame != 1 || paused != 1 || markedPause == 0 ||
        peerSlots[slot].mark != markedPause)
        return;
    if (deposit.IsNull()) {
        // A list shorter than it says, or than this machine's deposits, leaves amounts untold:
        // the pause does not settle on it.
        const size_t told = heldAmounts.size();
        const bool shortList =
            heldAmountCount < amount || told < static_cast<size_t>(oreDeposits.Count());
        if (amount != heldAmountCount || shortList) {
            char line[96];
            std::snprintf(line, sizeof line, "Deposit amounts: %d of %d came, %zu known here",
                          heldAmountCount, amount, told);
            Trace(line);
        }
        if (shortList) {
            heldAmounts.clear();
            heldAmountCount = 0;
            return;
        }
        heldAmountCount = 0;
        heldAmountsEnded = 1;
        SettlePause();
        return;
    }
    ++heldAmountCount;
    // As many as this machine has deposits: an honest list names each once.
    if (FindOreDeposit(deposit) && heldAmounts.size() < static_cast<size_t>(oreDeposits.Count()))
        heldAmounts.emplace_back(deposit, amount);
}

int World::AllPeersMarked() {
    for (const PeerSlot& peer : peerSlots) {
        CommLink* link = peer.peerLink;
        if (!link || link->ConnectionLost() == 1) continue;
        if (peer.mark != markedPause) return 0;
    }
    return 1;
}

int World::SettlePause() {
    if (networkGame != 1) return 1;
    if (paused != 1) return 0;
    if (markedPause == 0) return 1;
    if (AllPeersMarked() == 0) return 0;
    if (networkHost == 1) {
        if (amountsSent == 0 && commands) {
            int32_t count = 0;
            for (ListNode* n = oreDeposits.First(); n; n = oreDeposits.Next(n)) {
                GameObject* deposit = static_cast<ObjectNode*>(n)->Object();
                commands->SendDepositAmount(deposit, deposit->GetStored());
                ++count;
            }
            commands->SendDepositAmount(nullptr, count);
            amountsSent = 1;
        }
        amountsIn = 1;
    } else if (heldAmountsEnded == 1) {
        for (const auto& [id, amount] : heldAmounts) {
            if (auto* deposit = dynamic_cast<OreDeposit*>(FindOreDeposit(id)))
                deposit->amount = amount;
        }
        heldAmounts.clear();
        heldAmountsEnded = 0;
        amountsIn = 1;
    }
    return amountsIn;
}

void World::WritePendingChecksums() {
    for (const std::string& name : pendingChecksums) {
        // On the battle's clock, as the refused and applied words are: a word placed against
        // the barriers.
        const std::string line =
            "Checksum " + name + " written at battle ms " + std::to_string(recentDead.nowMs);
        Trace(line.c_str());
        if (ChecksumListingWanted()) {
            std::string listing;
            WriteChecksumFile(name, StateChecksum(&listing));
            WriteChecksumListing(name, listing);
        } else {
            WriteChecksumFile(name, StateChecksum());
        }
    }
    pendingChecksums.clear();
}

// Never carried to the next pause, where it would name a later state.
void World::LiftPause() {
    if (networkGame == 1 && !pendingChecksums.empty()) {
        if (SettlePause() == 0) {
            for (const std::string& name : pendingChecksums) {
                const std::string line =
                    "Checksum " + name +
                    " written as the pause lifted, before every peer's mark or the deposit "
                    "amounts were in";
                Trace(line.c_str());
            }
        }
        WritePendingChecksums();
    }
    ForgetMarkedPause();
}

void World::ForgetMarkedPause() {
    markedPause = 0;
    markedPauseFrom = -1;
    amountsSent = 0;
    amountsIn = 0;
    heldAmounts.clear();
    heldAmountCount = 0;
    heldAmountsEnded = 0;
}

void World::ForgetPauses() {
    ForgetMarkedPause();
    pauseNumber = 0;
    for (PeerSlot& peer : peerSlots) {
        peer.mark = 0;
        peer.offeredMark = 0;
    }
}
