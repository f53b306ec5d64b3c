// The World's tick: one frame of the game under the 16 ms floor, and the network step.
#include <memory>
#include <utility>
#include <vector>

#include "catalogue/TemplateCatalogue.h"
#include "core/Clock.h"
#include "core/DisplayBase.h"
#include "core/MusicPlayer.h"
#include "core/PaletteCycler.h"
#include "core/ScriptRequests.h"
#include "core/Settings.h"
#include "core/WindowProc.h"
#include "map/CollisionFilter.h"
#include "map/ObjectKinds.h"
#include "map/PathGrid.h"
#include "objects/Artifact.h"
#include "objects/CommandBuffer.h"
#include "objects/FactoryBuilding.h"
#include "objects/GameObject.h"
#include "ui/ScreenBase.h"
#include "world/CommLink.h"
#include "world/GameFlow.h"
#include "world/ObjectNode.h"
#include "world/PathRequestNode.h"
#include "world/TeamController.h"
#include "world/World.h"

int32_t aiHalted = 0;

// A crafted peer's word, for tests: this machine's copies of another team, told as only its
// taker may.
void World::ForgeTakersWord(int team) {
    if (networkGame != 1 || team == LocalTeam() || team < 1 || team >= kTeams) return;
    if (GameObject* factory = TeamFactory(team)) commands->SendSimSnapshot(factory);
    for (ListNode* n = sims[team].First(); n; n = sims[team].Next(n))
        commands->SendSimSnapshot(static_cast<ObjectNode*>(n)->Object());
}

// As destroying the selection does: invulnerable objects are made vulnerable first, then each
// takes the damage that kills. Gathered first: the damage may move objects between lists.
void World::DestroyOwnObjects(int team, DestroyScope scope) {
    if (team < 0 || team >= kTeams) return;
    std::vector<GameObject*> doomed;
    GameObject* factory = TeamFactory(team);
    for (NodeList* list : {&sims[team], &buildings[team]}) {
        for (ListNode* n = list->First(); n; n = list->Next(n)) {
            GameObject* object = static_cast<ObjectNode*>(n)->Object();
            if (!object || object->local != 1) continue;
            if (scope == DestroyScope::kFactory && object != factory) continue;
            if (scope == DestroyScope::kUnits && object == factory) continue;
            doomed.push_back(object);
        }
    }
    for (GameObject* object : doomed) {
        if (object->IsInvulnerable()) object->ToggleInvulnerable();
        object->TakeDamage(nullptr, SimId(), nullptr, 0);
    }
}

// What the cheat key that makes a selection invulnerable needs, the script line needs too: in
// a network game every hit on the factory is its owner's to judge, so the peers could not
// refuse what a spared factory never takes.
void World::SpareOwnFactory(int team) {
    if (networkGame == 1 && cheatsOn == 0) return;
    GameObject* factory = TeamFactory(team);
    if (factory && factory->local == 1 && factory->IsInvulnerable() == 0)
        factory->ToggleInvulnerable();
}

void World::WoundOwnFactory(int team) {
    GameObject* factory = TeamFactory(team);
    if (!factory || factory->local != 1 || factory->IsDestroyed() != 0) return;
    if (factory->IsInvulnerable() != 0) factory->ToggleInvulnerable();
    // Damage passes its maximum only with the next hit: up to it the factory stands.
    const int32_t left = factory->damage.Max() - factory->damage.Value();
    if (left > 0) factory->TakeDamage(nullptr, SimId(), nullptr, left);
}

void World::ReportScriptTeams() {
    for (int team = 1; team < kTeams; ++team) {
        int units = 0;
        bool stands = false;
        if (inGame == 1) {
            for (ListNode* n = sims[team].First(); n; n = sims[team].Next(n)) {
                GameObject* object = static_cast<ObjectNode*>(n)->Object();
                if (object && object->IsDestroyed() == 0 &&
                    object->GetKind() != ObjectKind::kFactory)
                    ++units;
            }
            GameObject* factory = TeamFactory(team);
            stands = factory && factory->IsDestroyed() == 0;
        }
        ReportScriptTeam(team, units, stands);
    }
}

int World::PlaceTestArtifact(int team, int effect, SimId* placed) {
    if (networkGame && !networkHost) return 1;
    if (team < 1 || team >= kTeams) return 1;
    // A guest's factory may not be known here yet at the battle's start, and a factory on the
    // move has no roll-out point yet: the computer player may drive it to a site first.
    auto* factory = dynamic_cast<FactoryBuilding*>(TeamFactory(team));
    if (!factory || factory->IsDestroyed() != 0 || factory->InOpenState() != 1) return 0;
    std::unique_ptr<GameObject> artifact = std::make_unique<Artifact>(
        factory->GetPosition() + FactoryBuilding::kRollOutOffset, Size(64, 64), ArtifactPictures,
        ArtifactSound, CollisionFilter(2, 1, 1, 1, 1), NewSimId(0), effect);
    GameObject* made = artifact.get();
    const SimId id = made->id;
    if (AddArtifact(artifact) != 1) return 0;
    if (commands) commands->SendCreateScenarioObject(made, effect);
    if (placed) *placed = id;
    return 1;
}

int World::KeepTestArtifact(TestArtifactRequest& wanted) {
    if (!wanted.placed.IsNull()) {
        // A taken artifact is no longer found.
        GameObject* lying = FindObject(wanted.placed);
        if (!lying || lying->IsDestroyed() != 0) return 1;
        auto* factory = dynamic_cast<FactoryBuilding*>(TeamFactory(wanted.team));
        if (!factory || factory->InOpenState() != 1 || !pathGrid) return 0;
        short row = 0, column = 0, pointRow = 0, pointColumn = 0;
        pathGrid->PixelToCell(lying->GetPosition(), row, column);
        pathGrid->PixelToCell(factory->GetPosition() + FactoryBuilding::kRollOutOffset, pointRow,
                              pointColumn);
        if (row == pointRow && column == pointColumn) return 0;
    }
    SimId placed;
    const int done = PlaceTestArtifact(wanted.team, wanted.effect, &placed);
    if (placed.IsNull()) return done;
    wanted.placed = placed;
    return 0;
}

int World::Tick(int nowMs) {
    // A determinism check asked for the state as this tick finds it. Machines of a network game
    // are comparable only at a pause, once every peer's last messages are in, so there the
    // request waits for one: a machine whose script runs ahead of the host's pause then still
    // writes the state the others write.
    for (std::string name = TakeChecksumRequest(); !name.empty(); name = TakeChecksumRequest())
        pendingChecksums.push_back(name);
    // Before the checksum: what a peer destroyed here since the last pass is gone in it. Only a
    // network game has peers: a battle played alone updates nothing while it stands paused.
    if (networkGame == 1 && inGame == 1 && paused != 0) CollectTheDead();
    if (SettlePause() == 1) WritePendingChecksums();
    ReportScriptGameMode(currentMode);
    ReportScriptBattle(inGame == 1, paused != 0);
    ReportScriptTeams();
    DestroyScope scope = DestroyScope::kAll;
    for (int team = TakeDestroyRequest(scope); team >= 0; team = TakeDestroyRequest(scope))
        DestroyOwnObjects(team, scope);
    for (int team = TakeSpareRequest(); team >= 0; team = TakeSpareRequest())
        SpareOwnFactory(team);
    for (int team = TakeWoundRequest(); team >= 0; team = TakeWoundRequest()) {
        if (team >= 1 && team < kTeams) factoryWounded[team] = 1;
    }
    for (int team = 1; team < kTeams; ++team) {
        if (factoryWounded[team] != 0) WoundOwnFactory(team);
    }
    for (int team = TakeAttackRequest(); team >= 0; team = TakeAttackRequest()) {
        const int local = LocalTeam();
        if (inGame == 1 && local >= 1 && local < kTeams && controllers[local] && team != local)
            controllers[local]->SendAllAgainst(team);
    }
    for (int team = TakeForgeRequest(); team >= 0; team = TakeForgeRequest())
        ForgeTakersWord(team);
    for (CraftRequest craft; TakeCraftRequest(craft);)
        CraftWord(craft);
    SendCraftedMarks();
    for (int pause = TakeBarrierRequest(); pause >= 0; pause = TakeBarrierRequest())
        BarrierPause(pause);
    int effect = 0;
    for (int team = TakeArtifactRequest(effect); team >= 0; team = TakeArtifactRequest(effect))
        pendingArtifacts.push_back({team, effect, SimId()});
    // Placed as early as the battle allows, so that the team's first unit takes it; asked for
    // outside a battle, or for a team that never has a factory, it goes with the battle.
    if (inGame != 1) pendingArtifacts.clear();
    if (inGame == 1) {
        std::erase_if(pendingArtifacts, [this](TestArtifactRequest& wanted) {
            return KeepTestArtifact(wanted) == 1;
        });
    }
    PumpMouseMove();
    if (gameFlow && gameFlow->Step(currentMode) == 1) {
        ApplyModeChange();
        return 1;
    }
    // Faster passes do nothing; their time counts in the next tick that passes the floor.
    const int elapsed = nowMs - lastTickMs;
    if (elapsed < kFrameFloorMs) return 1;
    lastTickMs = nowMs;
    const int tenth = nowMs / kInterfaceStepMs;
    if (tenth != lastTenth) {
        lastTenth = tenth;
        if (display) ++display->cursorFrame;
        if (paletteCycler) paletteCycler->Tick(kInterfaceStepMs);
    }
    PumpMouseMove();
    // Gathered during a battle whether paused or not.
    if (inGame == 1 && autosaveOn == 1 && ScenarioInPlay() && GatherSnapshotTime(elapsed)) {
        Autosave();
    }
    PumpMouseMove();
    aiBudget.Start();
    pathSearchesThisTick = 0;
    searchToFinish = SimId();
    if (music) music->Tick();
    PumpMouseMove();
    if (inGame == 1 && paused == 0) {
        AgePathRequests(elapsed);
        // As the queue stands once aged, the same on every machine.
        pathTurnsThisTick = PathTurnsFor(static_cast<int>(pathRequestIndex.size()));
        pathAsks.StartTick(static_cast<int32_t>(pathRequestIndex.size()));
        // The terrain has no animation of its own.
        PumpMouseMove();
        UpdateCellEffects(elapsed);
        PumpMouseMove();
        UpdateObjects(elapsed);
        PumpMouseMove();
        if (!aiHalted) RunComputerTurns();
        PumpMouseMove();
    }
    if (NetworkStep() == 0 && currentMode != static_cast<int>(GameMode::Results)) {
        requestedMode = static_cast<int>(GameMode::MainMenu);
        ApplyModeChange();
        return running;
    }
    if (RunScreen(elapsed) == 0) ApplyModeChange();
    return running;
}

int World::MsUntilTickDue(int nowMs) const {
    const int wait = kFrameFloorMs - (nowMs - lastTickMs);
    if (wait <= 0) return 0;
    // A clock that stepped back must not put the next tick further off than one floor.
    return wait < kFrameFloorMs ? wait : kFrameFloorMs;
}

int World::GatherSnapshotTime(int elapsedMs) {
    autosaveAccumMs += elapsedMs;
    if (autosaveAccumMs <= kSnapshotIntervalMs) return 0;
    autosaveAccumMs = 0;
    return 1;
}

// The request at the front (the last node, the list running newest first, unless a search goes
// on or one is overdue) is dropped once it has waited more than ten ticks there: its unit did
// not ask for its turn. The request behind it then starts its own count. A dropped request keeps
// what it had waited for when its unit queues again.
void World::AgePathRequests(int elapsedMs) {
    if (pathRequests.IsEmpty()) return;
    for (ListNode* n = pathRequests.First(); n; n = pathRequests.Next(n))
        if (auto* request = dynamic_cast<PathRequestNode*>(n)) request->waitedMs += elapsedMs;
    overdueKnown = false;
    SimIdNode* head = PathRequestHead();
    if (head->id != frontRequest) {
        frontRequest = head->id;
        frontRequestAge = 0;
    }
    if (++frontRequestAge <= kPathRequestMaxAge) return;
    for (auto it = droppedRequestWaits.begin(); it != droppedRequestWaits.end();)
        it = FindObject(SimId(static_cast<int32_t>(it->first >> 32),
                              static_cast<int32_t>(it->first & 0xFFFFFFFF)))
                 ? std::next(it)
                 : droppedRequestWaits.erase(it);
    if (auto* request = dynamic_cast<PathRequestNode*>(head))
        droppedRequestWaits[PathRequestNode::KeyOf(request->id)] = request->waitedMs;
    delete head;
    frontRequestAge = 0;
}

// Every team may use as much of the shared budget as it wants; the team whose turn used it up
// runs first again next tick (not the team after it), so a slow team cannot starve the others
// for ever and the rotation starts over at team 0 once every team ran within the budget.
void World::RunComputerTurns() {
    int team = nextAiTeam;
    nextAiTeam = 0;
    for (; team < kTeams; ++team) {
        if (controllers[team]) controllers[team]->Update(aiBudget);
        if (aiBudget.Expired()) {
            nextAiTeam = team;
            break;
        }
    }
}

int World::RunScreen(int elapsedMs) {
    int handled = 1;
    int updated = 1;
    // Modes 8 and 9 may leave no screen until the game flow asks for the next mode.
    if (currentScreen) {
        handled = currentScreen->HandleEvents(elapsedMs);
        PumpMouseMove();
        updated = currentScreen->Update(elapsedMs);
        PumpMouseMove();
        currentScreen->Draw(elapsedMs);
    }
    if (display) display->Present();
    return handled != 0 && updated != 0 ? 1 : 0;
}

int World::NetworkStep() {
    if (networkGame == 0) return 1;
    CheckPeers();
    // Read first: a link whose frames wait after a local stall is heard before any wait on it
    // is judged.
    for (int slot = 0; slot < kPeerSlots; ++slot)
        ReceiveFromPeer(slot);
    ApplyWaitingCommands();
    if (heartbeatTimer.Expired()) {
        commands->SendHeartbeat();
        ClaimArtifactsStoodOn();
        heartbeatTimer.Start();
    }
    SendCommands(-1);
    return PeerCount() > 0 ? 1 : 0;
}

// A unit or factory claims as it steps onto the artifact; one that stopped there claims again
// here, so a claim the host refused while its copy still lagged behind is granted once the copy
// has caught up.
void World::ClaimArtifactsStoodOn() {
    if (networkGame != 1 || networkHost == 1 || !commands || artifacts.IsEmpty()) return;
    for (int team = 0; team < kTeams; ++team) {
        for (NodeList* list : {&sims[team], &buildings[team]}) {
            for (ListNode* n = list->First(); n; n = list->Next(n)) {
                GameObject* taker = static_cast<ObjectNode*>(n)->Object();
                if (!taker || taker->local != 1 || taker->IsDestroyed() != 0 ||
                    Artifact::MayBeTakenBy(taker) == 0)
                    continue;
                auto* artifact = dynamic_cast<Artifact*>(ArtifactAt(taker->GetPosition()));
                if (artifact && artifact->takerId.IsNull())
                    commands->SendScenarioObjectTrigger(artifact, taker);
            }
        }
    }
}

void World::ReceiveFromPeer(int slot) {
    PeerSlot& peer = peerSlots[slot];
    CommLink* link = peer.peerLink;
    CommandBuffer* message = peer.peerCommands.get();
    if (!link || !message) return;
    for (;;) {
        link->Receive(message->start, CommandBuffer::kCapacity, peer.held, peer.payload);
        if (link->FramesReceived() != peer.frames) {
            peer.frames = link->FramesReceived();
            peer.heardAt = GetTimeMs();
        }
        // The link never holds more than the buffer's capacity.
        if (peer.held > CommandBuffer::kCapacity) peer.held = CommandBuffer::kCapacity;
        message->cursor = message->start + peer.held;
        if (peer.payload == 0 || peer.held != peer.payload) return;
        if (executeCommands) executeCommands(*message, slot);
        message->Rewind();
        peer.held = 0;
        peer.payload = 0;
    }
}

void World::SendEmptyCommand() {
    const int recording = commands->IsEnabled();
    commands->SetEnabled(1);
    commands->Rewind();
    commands->BeginRecording();
    commands->SendHeartbeat();
    commands->EndRecording();
    for (PeerSlot& peer : peerSlots) {
        if (CommLink* link = peer.peerLink) link->Send(commands->Data(), commands->Size());
    }
    commands->Rewind();
    commands->BeginRecording();
    commands->SetEnabled(recording);
}
