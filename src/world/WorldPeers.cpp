// The network peer slots: up to three links to the other machines, each with its receive
// buffer and the team its player plays, kept packed at the front; the outgoing stream; and the
// takeover of a lost player's team.
#include <algorithm>
#include <cstdio>

#include "core/Clock.h"
#include "core/Settings.h"
#include "core/StringTable.h"
#include "core/Trace.h"
#include "objects/CommandBuffer.h"
#include "objects/GameObject.h"
#include "world/CommLink.h"
#include "world/GameRecords.h"
#include "world/ObjectNode.h"
#include "world/World.h"

namespace {

bool IsPlayerTeam(int team) {
    return team >= 1 && team < World::kTeams;
}

void (*networkInstaller)(World&) = nullptr;

// Low detail leaves the land features out, which changes the path grid and the serials of what
// is made next: every machine of a network game makes its land as in full detail. The player's
// setting comes back when the network game ends.
int32_t lowDetailOutsideNetworkGame = -1;

}  // namespace

void RegisterNetworkInstaller(void (*install)(World&)) {
    networkInstaller = install;
}

CommLink* World::AddPeer() {
    if (!makeLink && networkInstaller) networkInstaller(*this);
    // Never a fourth peer.
    if (PeerCount() == kPeerSlots || !makeLink) return nullptr;
    std::unique_ptr<CommLink> link = makeLink();
    if (!link) return nullptr;
    if (link->Init() == 0) {
        link->Disconnect();
        return nullptr;
    }
    return AdoptPeer(std::move(link));
}

CommLink* World::AdoptPeer(std::unique_ptr<CommLink> link) {
    if (!link) return nullptr;
    int slot = 0;
    while (slot < kPeerSlots && peerSlots[slot].peerLink)
        ++slot;
    if (slot == kPeerSlots) {
        link->Disconnect();
        return nullptr;
    }
    PeerSlot& peer = peerSlots[slot];
    peer.Reset();
    peer.peerLink = link.release();
    peer.peerCommands = std::make_unique<CommandBuffer>();
    peer.frames = peer.peerLink->FramesReceived();
    peer.heardAt = GetTimeMs();
    return peer.peerLink;
}

void World::StartRecording() {
    if (lowDetailOutsideNetworkGame == -1) lowDetailOutsideNetworkGame = lowDetail;
    lowDetail = 0;
    networkGame = 1;
    heartbeatTimer.Start();
    if (commands->IsEnabled() == 0) {
        commands->SetEnabled(1);
        commands->Rewind();
        commands->BeginRecording();
    }
}

void World::ClosePeers(CommLink* link) {
    for (int slot = 0; slot < kPeerSlots; ++slot) {
        if (!peerSlots[slot].peerLink || (link && peerSlots[slot].peerLink != link)) continue;
        peerSlots[slot].peerLink->Disconnect();
        delete peerSlots[slot].peerLink;
        peerSlots[slot].Reset();
    }
    if (PeerCount() == 0) {
        networkGame = 0;
        networkHost = 0;
        commands->SetEnabled(0);
        if (lowDetailOutsideNetworkGame != -1) lowDetail = lowDetailOutsideNetworkGame;
        lowDetailOutsideNetworkGame = -1;
    } else {
        CompactPeers();
    }
}

void World::CompactPeers() {
    for (int i = 0; i < kPeerSlots; ++i) {
        if (peerSlots[i].peerLink) continue;
        int j = i + 1;
        while (j < kPeerSlots && !peerSlots[j].peerLink)
            ++j;
        if (j == kPeerSlots) return;
        peerSlots[i] = std::move(peerSlots[j]);
        peerSlots[j].Reset();
    }
}

// The authority (World::Authority) takes a lost team over; a peer whose team is not known (or
// not a player's) is only closed.
void World::CheckPeers() {
    // A taker's word held on a lost link, about a team whose link is lost or closed here too,
    // is applied before any slot closes: the sender is still seen as the taker it was when it
    // sent, whichever of the two links comes first. About a team that still plays here the
    // word waits on, and its link with it: a forger that goes gains nothing by going.
    for (int slot = 0; slot < kPeerSlots; ++slot) {
        const PeerSlot& peer = peerSlots[slot];
        if (peer.peerLink && peer.peerLink->ConnectionLost() == 1 && peer.Holding() == 1 &&
            SlotPlaying(peer.waitingFor) == -1)
            ReleaseHeld(slot, -1);
    }
    int lost = 0;
    for (int slot = 0; slot < kPeerSlots; ++slot) {
        CommLink* link = peerSlots[slot].peerLink;
        if (!link || link->ConnectionLost() != 1 || peerSlots[slot].Holding() == 1) continue;
        const int team = peerSlots[slot].peerTeam;
        ++peersLost;
        lastLostTeam = team;
        // A player's machine that went away, or one this side dropped (damaged data, stalled),
        // is named on the status line; a connection that never joined as a player (a port
        // scan, a browser, a silent or garbled client in the lobby) has nobody to name.
        int reason = link->DropReason();
        if (reason == 0) reason = CommLink::kDroppedStalled;
        if (IsPlayerTeam(team)) {
            if (const char* format = GetString(reason)) {
                char text[256];
                std::snprintf(text, sizeof text, format, team);
                SetStatusMessage(text, 0);
            }
        }
        ClosePeers(link);
        // Closing packed the slots: look at this slot again.
        --slot;
        if (!IsPlayerTeam(team) || !gameRecords || gameRecords->HasScenario() != 1) continue;
        gameRecords->EmptyPlayerSlot(team);
        lost = 1;
        // The authority also does what only the host did: it grows the deposits (kind 42) and
        // awards the artifacts (kind 56), or after the host's loss nobody would, and the
        // survivors' deposits would stop while their players mine.
        const int taker = Authority() == LocalTeam();
        if (networkGame == 1) networkHost = taker ? 1 : 0;
        if (taker) TakeOverTeam(team, 1);
    }
    if (networkGame != 1) return;
    const int authority = Authority();
    // In the battle, and on the results screen where a beaten player's machine stands linked.
    if (inGame == 1 || (scenario && currentMode == static_cast<int>(GameMode::Results)))
        networkHost = authority == LocalTeam() ? 1 : 0;
    if (lost == 1 || authority != lastAuthority) HandLostTeamsOn();
    lastAuthority = authority;
}

void World::TakeOverTeam(int team, int dropped) {
    GameObject* factory = TeamFactory(team);
    if (factory && factory->local == 1) factory = nullptr;
    for (ListNode* n = sims[team].First(); n; n = sims[team].Next(n)) {
        GameObject* unit = static_cast<ObjectNode*>(n)->Object();
        if (unit->local == 1) continue;
        unit->SetLocal(1);
        // A team whose factory is already gone tells its units' state here: the death pass
        // that would have told it ran while another machine owned them.
        if (!factory && networkGame == 1) commands->SendSimSnapshot(unit);
    }
    if (factory) {
        factory->SetLocal(1);
        // The survivors may each hold a different part of the lost machine's last messages:
        // the factory's cargo as this machine holds it goes first, so that every machine
        // values the wreck pieces alike.
        commands->SendSimSnapshot(factory);
        if (factory->IsInvulnerable() == 1) factory->ToggleInvulnerable();
        factory->TakeDamage(nullptr, SimId(), nullptr, 0);
    }
    if (dropped == 0 || !gameRecords) return;
    gameRecords->SetPlayerCount(gameRecords->PlayerCount() - 1);
    commands->SendPlayerDropped(gameRecords->PlayerCount(), team);
}

void World::HandLostTeamsOn() {
    const int local = LocalTeam();
    const int taker = Authority() == local ? 1 : 0;
    for (int team = 1; team < kTeams; ++team) {
        if (team == local || SlotPlaying(team) != -1) continue;
        if (taker == 1) {
            TakeOverTeam(team, 0);
            continue;
        }
        for (ListNode* n = sims[team].First(); n; n = sims[team].Next(n))
            static_cast<ObjectNode*>(n)->Object()->SetLocal(0);
    }
}

// When a held word's wait ends, and how:
//   the team's link is lost or closed here           applied: the sender took the team over
//   the team's link silent past the limit            that link dropped; applied once it closes
//   the team's machine marked a pause that the       refused at once, the rest applied: that
//   sender sent after the word                       machine got the pause, so it was linked to
//                                                    the sender after the word, which no taker
//                                                    sends while the team's machine is linked
//   the sender marked, after the word, the pause     refused at once, the rest applied: the
//   this machine got from the team's machine         sender got that pause after the word
//   the team's link delivers past the limit          refused, the rest applied
//   what is held reaches PeerSlot::kMaxWaitingBytes  as past the limit, then the command that
//                                                    reached it (CommandExecutor::Wait)
//   a growth word's team's factory fell here         applied: the sender saw that fall too
// The third and fourth stand beside the limit: a sender that forged and then paused, or forged
// just before the team's machine paused, kept everything after its word here, its pause's
// states and mark too, while the others had taken them; their pause's state was settled and
// this machine's was not, so its checksum came from a later state once they ran on. Past the
// bound, the command that reached it was once refused alone and shorter ones after it held: the
// machines that held nothing applied all of them, and parted from this one over the sender's
// own units.
void World::ApplyWaitingCommands() {
    const uint32_t now = GetTimeMs();
    for (int slot = 0; slot < kPeerSlots; ++slot) {
        PeerSlot& watch = peerSlots[slot];
        if (watch.Holding() == 0 || !watch.peerLink) continue;
        const int playing = SlotPlaying(watch.waitingFor);
        if (playing != -1 && now - peerSlots[playing].heardAt >= CommLink::kSilentMs) {
            // Silent past the limit: this machine sees the loss itself. The next peer check
            // hands the team on, and the commands follow it.
            peerSlots[playing].peerLink->Drop(CommLink::kDroppedStalled);
            continue;
        }
        const bool answered =
            playing != -1 &&
            ((watch.passedPause != 0 && peerSlots[playing].mark == watch.passedPause) ||
             (markedPause != 0 && markedPauseFrom == watch.waitingFor &&
              watch.heldMark == markedPause));
        const bool fell = watch.fallEndsWait == 1 && FactoryFell(watch.waitingFor) == 1;
        if (playing != -1 && !answered && !fell && now - watch.waitingSince < CommLink::kSilentMs)
            continue;
        EndWait(slot);
    }
}

void World::EndWait(int slot) {
    const PeerSlot& watch = peerSlots[slot];
    const int32_t team = watch.waitingFor;
    const bool fell = watch.fallEndsWait == 1 && FactoryFell(team) == 1;
    ReleaseHeld(slot, SlotPlaying(team) != -1 && !fell ? team : -1);
}

void World::ReleaseHeld(int slot, int32_t refusing) {
    PeerSlot& watch = peerSlots[slot];
    watch.refusing = refusing;
    // How much an honest taker's word keeps waiting beside the bound.
    char line[96];
    std::snprintf(line, sizeof line, "Held word of player %d ended: %zu bytes in %u ms",
                  watch.peerTeam, watch.waiting.size(), GetTimeMs() - watch.waitingSince);
    Trace(line);
    // One that must wait again (for another team) takes the rest back into the queue.
    ExecuteHeldWords(slot, watch.TakeHeld());
    peerSlots[slot].refusing = -1;
}

void World::ExecuteHeldWords(int slot, const std::vector<uint8_t>& words) {
    CommandBuffer message;
    size_t at = 0;
    while (at < words.size() && executeCommands && peerSlots[slot].peerLink) {
        size_t end = at;
        while (end < words.size() && words[end] > 0 &&
               end + words[end] - at <= CommandBuffer::kCapacity)
            end += words[end];
        if (end == at) break;
        message.Rewind();
        std::copy(words.begin() + static_cast<std::ptrdiff_t>(at),
                  words.begin() + static_cast<std::ptrdiff_t>(end), message.start);
        message.cursor = message.start + (end - at);
        executeCommands(message, slot);
        at = end;
    }
}

// Outside a game (the set-up, and between games) the world holds neither a scenario nor a
// land; the start installs both before it builds the objects, so its own run counts too.
int World::StartInProgress() const {
    return networkGame == 1 && (gameStarting == 1 || (!scenario && !terrain)) ? 1 : 0;
}

void World::ApplyWordsHeldForStart() {
    gameStarting = 0;
    for (int slot = 0; slot < kPeerSlots; ++slot) {
        if (peerSlots[slot].beforeStart.empty()) continue;
        std::vector<uint8_t> words = std::move(peerSlots[slot].beforeStart);
        peerSlots[slot].beforeStart.clear();
        char line[80];
        std::snprintf(line, sizeof line, "Words of player %d kept for the start: %zu bytes",
                      peerSlots[slot].peerTeam, words.size());
        Trace(line);
        ExecuteHeldWords(slot, words);
    }
}

// Each machine moves its copies of the others' units on its own clock, so at a pause they stand
// a step or two from where their owners stopped them: every machine then tells where its own
// units and buildings stand.
void World::SendOwnStates() {
    if (networkGame != 1 || !commands) return;
    for (int team = 0; team < kTeams; ++team) {
        for (NodeList* list : {&sims[team], &buildings[team]}) {
            for (ListNode* n = list->First(); n; n = list->Next(n)) {
                GameObject* object = static_cast<ObjectNode*>(n)->Object();
                if (object && object->local == 1 && object->IsDestroyed() == 0)
                    commands->SendSimState(object);
            }
        }
    }
}

void World::ReceiveFromPeers() {
    for (int slot = 0; slot < kPeerSlots; ++slot)
        ReceiveFromPeer(slot);
}

// Commands recorded are dropped after the send, also when the slot asked for is empty.
void World::SendCommands(int slot) {
    if (!commands || commands->Size() == 0) return;
    commands->EndRecording();
    for (int i = 0; i < kPeerSlots; ++i) {
        if (!peerSlots[i].peerLink || (slot != -1 && slot != i)) continue;
        peerSlots[i].peerLink->Send(commands->Data(), commands->Size());
    }
    commands->Rewind();
    commands->BeginRecording();
}
