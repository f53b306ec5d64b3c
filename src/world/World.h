#pragma once
// The one object that holds the game in play: the lists of map objects, the team controllers,
// the screens and the game mode, the terrain and its grids, the scenario, the network command
// streams, the team records, the alliances and the interface assets. It is the application the
// main loop drives (built by a static constructor before the entry routine) and every
// subsystem reaches it through TheWorld().
//
// Its operations are split by concern: World.cpp (construction, pause, new game, clearing,
// designs), GameModes.cpp (the mode switch), WorldTick.cpp (the tick) and AssetStartup.cpp
// (asset start-up and shut-down).
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "catalogue/CatalogueServices.h"
#include "core/AppBase.h"
#include "core/NodeList.h"
#include "core/Point.h"
#include "core/ScriptRequests.h"
#include "core/Timer.h"
#include "core/ValueTriple.h"
#include "map/TerrainServices.h"
#include "objects/ObjectWorld.h"
#include "objects/UnitMakers.h"
#include "world/PathAskTally.h"
#include "world/PeerSlot.h"
#include "world/RecentDead.h"
#include "world/ScenarioMakers.h"
#include "world/SpeedPlayed.h"
#include "world/WreckMaker.h"

struct CraftRequest;
class CommandBuffer;
class BuildingTemplate;
class CommLink;
class DesignLibrary;
class GameObject;
class GameRecords;
class GameFlow;
class MissionStats;
class MusicPlayer;
class PaletteCycler;
class PathGrid;
class PathRequestNode;
class SavedGameIndex;
class SetupScreen;
class Scenario;
class ScreenBase;
class ScreenFactory;
class SightGrid;
class SimIdNode;
class Sound;
class TeamController;
class TerrainMap;
class TextWriter;
class VoicePool;
class WreckTemplate;

// The game modes. Screens request one by writing it into requestedMode.
enum class GameMode : int32_t {
    None = 0,
    Title = 1,
    MainMenu = 2,
    Battle = 3,
    DesignFromBattle = 4,
    DesignFromMenu = 5,
    Results = 6,
    Quit = 7,
    Movie = 8,
    StartScenario = 9,
    ExitPicture = 10,
};

// Installs the World as the map objects' services for as long as it lives.
class ObjectWorldRegistration {
public:
    explicit ObjectWorldRegistration(ObjectWorld* world);
    ~ObjectWorldRegistration();
    ObjectWorldRegistration(const ObjectWorldRegistration&) = delete;
    ObjectWorldRegistration& operator=(const ObjectWorldRegistration&) = delete;

private:
    ObjectWorld* world;
};

class World : public AppBase, public CatalogueServices, public TerrainServices, public ObjectWorld {
public:
    static constexpr int kTeams = 5;
    static constexpr int kPeerSlots = 3;
    static constexpr int kVoices = 10;
    static constexpr int kAllied = 2;
    // The tick's timing.
    static constexpr int kFrameFloorMs = 16;
    static constexpr int kInterfaceStepMs = 100;
    static constexpr int kSnapshotIntervalMs = 1000;
    static constexpr int kAiBudgetMs = 100;
    static constexpr int kHeartbeatMs = 2000;
    static constexpr int kPathRequestMaxAge = 10;
    static constexpr char kSnapshotFile[] = "xx.scn";
    // String-table lines of the scenario messages.
    static constexpr int kSaveFailedLine = 300;
    static constexpr int kDamagedSaveLine = 301;
    static constexpr int kDamagedPackLine = 302;
    static constexpr int kNoRoomLine = 303;
    static constexpr int kDamagedIndexLine = 314;
    static constexpr int kUnreadableIndexLine = 319;
    static constexpr int kIndexKeptLine = 322;
    // A game saved over its own file while the index cannot be read.
    static constexpr int kSavedIndexKeptLine = 323;
    static constexpr int kDeleteRefusedLine = 315;
    static constexpr int kDeleteUnreadableLine = 324;
    static constexpr int kMissingSaveLine = 317;
    // Followed by the file's name.
    static constexpr int kUnreadableSaveLine = 318;
    // ... and of the design library's.
    static constexpr int kDamagedDesignsLine = 320;
    static constexpr int kDesignsNotSavedLine = 321;
    static constexpr int kDesignsHeldLine = 325;
    // Followed by the library's name: read, and a change left unsaved, while it cannot be read.
    static constexpr int kUnreadableDesignsLine = 329;
    static constexpr int kDesignsNotWrittenLine = 330;

    World();
    ~World() override;
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    // The application's operations: Init is the asset start-up, OnDeactivate and OnActivate
    // pause and resume the sounds.
    int Init() override { return Startup(); }
    void Shutdown() override;
    int Tick(int nowMs) override;
    int MsUntilTickDue(int nowMs) const override;
    void OnDeactivate() override { Pause(); }
    void OnActivate() override { Resume(); }

    // What the catalogue asks of the World.
    int ClanTechLevel(char clan) const override;
    char PlayerClan() const override { return clanLetter; }
    VehicleDesign* LocalFactoryDesign() override;
    // The local team's factory rebuilds its parts and sends its design to the peers.
    void FactoryDesignChanged() override;
    const ShadeTable* TerrainColourTable() const override;

    // What the terrain and the grids ask of the World.
    int AreAllied(int teamA, int teamB) override;
    int LocalTeam() override { return localPlayer.first; }
    int LandNumber() override;
    const char* DiscDataDirectory() override { return dataDir.c_str(); }
    const char* LocalAssetDirectory() override { return localDir.c_str(); }
    void AddLandFeatureAt(const Point& centre) override;

    // --- World.cpp
    void Pause();
    void Resume();
    // 0 when the pending scenario's file is damaged: nothing was cleared or built, and the
    // message is on the status line.
    int NewGame();
    // The message (and the trace line) for a scenario that cannot be started; a saved game
    // also sends the main menu back to the load-game screen.
    void RefuseDamagedScenario(bool save);
    void ClearObjects();
    // Takes ownership of the controller (null empties the slot); the previous one is deleted.
    void SetTeamController(int team, std::unique_ptr<TeamController> controller);
    // Non-zero when the design file was read (or written).
    // A damaged library is refused whole, moved aside under the first free "%c.vdf.bad" name
    // (ResourceFile::SetAside) and named on the status line; the sample library is read in its
    // place, as for a missing one. One that cannot be moved stays as it is, and no library is
    // written over it for the rest of the run. One that cannot be read is named on the status
    // line and stays as it is; the designs stored this run while it cannot be read stand in
    // for it (the sample library before any), and no library is written over it while it
    // cannot be read. Once it reads, the designs stored meanwhile are added and written.
    int LoadClanDesigns();
    // At start-up: the temporaries a save killed half-way left beside its target.
    void RemoveLeftoverTemporaries();
    // Writes the library only when it differs from what was read (or last written): 1 when
    // nothing needed writing or the write succeeded, 0 when the designs could not be saved
    // (also when a damaged library that could not be moved aside, or one that could not be
    // read, holds the file's place).
    int SaveClanDesigns();
    // What the player reads when SaveClanDesigns failed.
    std::string DesignsNotSavedLine();
    // 1 pauses, 0 resumes the game; nothing while the pause lock is on or nothing changes.
    void SetPaused(int state);
    // Writes the game in play as a scenario file; 0 when there is none or the file could not
    // be written (the old file is kept).
    int SaveGame(const char* name);
    // Network peer slots in use.
    int PeerCount() const;
    // 1 when a linked peer's machine plays `team`: that machine still owns the team's objects.
    int PeerPlays(int team) const;
    // The slot whose link stands and plays `team` (its machine not seen lost here), or -1.
    int SlotPlaying(int team) const;
    // Who answers for what no player owns and for the teams whose machines are gone: the
    // lowest-numbered player whose factory has not died and whose machine this machine has not
    // seen lost (itself, or a peer whose link stands), leaving `except` out; -1 for none. Every
    // machine learns of a death from the death pass and of a loss from the lost machine's own
    // link only, so all of them name the same player.
    int Authority(int except = -1) const;
    // Whether this machine saw the team's factory fall: the death pass took it, or it was
    // destroyed (here, or by its owner's word) and the pass has yet to bury it (a beaten
    // machine's results screen runs none).
    int FactoryFell(int team);

    // --- WorldScenario.cpp: the scenario in play, saved games and the team records.
    // Installs the makers whose classes are part of the game so far: units from a design code
    // (the Sim's CreateSim) and the purpose word every map object keeps.
    void InstallScenarioMakers();
    // --- WorldUnitVariants.cpp: the deploying units, carriers, capture units and aircraft.
    void InstallSpecialUnits();
    // --- WorldFactory.cpp: the factory's makers (building creation, resources, its job and
    // deposit for the records).
    void InstallFactoryMakers();
    // Takes the scenario the next game starts from (mode 9); the previous one is deleted.
    void SetPendingScenario(std::unique_ptr<Scenario> next);
    // Loads the land of the scenario in play (its land number) with its land features.
    int LoadLand();
    // The autosave snapshot; a run of failures shows one message.
    void Autosave();
    // Saves the game under the title the player typed (a new entry of the saved-game index
    // when the title is new); 0 with a message when it could not be saved.
    int SaveGameUnderTitle(const char* title);
    // Play starts: the teams' mission clocks start; when a network game's play starts (every
    // factory placed), the computer players' first decision is due at the first tick too.
    void StartClocks(int networkPlayStarts = 0);
    void StopClocks();
    // The text of one of the scenario message lines; the game's own words when the string
    // table lacks it.
    static const char* MessageLine(int line);

    // --- GameModes.cpp
    // Leaves the current mode for the requested one, if it differs and is not 0.
    void ApplyModeChange();

    // --- WorldTick.cpp
    // 0 when a network game has no peer left, else 1.
    int NetworkStep();
    // Sends a heartbeat alone to every peer at once; commands recorded and not yet sent are
    // dropped.
    void SendEmptyCommand();
    // Destroys every object of the team that this machine owns (the script's `destroy`), its
    // factory alone, or all but its factory.
    void DestroyOwnObjects(int team, DestroyScope scope = DestroyScope::kAll);
    // Makes the team's factory invulnerable if this machine owns it (the script's `spare`):
    // the computer players cannot beat the side before the script destroys the factory.
    void SpareOwnFactory(int team);
    // A `wound TEAM` script line: the team's factory, if this machine owns it, is spared no
    // more and left one hit from its end (its owner tells the others), so that a run sees it
    // felled by shots rather than by a `destroy`; a repair is undone at the next tick.
    void WoundOwnFactory(int team);
    // Tells the script each team's units and whether its factory stands (for its awaits).
    void ReportScriptTeams();
    // A `forge TEAM` script line (a crafted peer, for tests): kind 57 for this machine's copies
    // of the team's factory and units, in a network game and for another team only.
    void ForgeTakersWord(int team);
    // --- WorldCraftedWords.cpp: a crafted peer's other words (`craft`, for tests) and the
    // barriers' pauses of a network run (`pause`, `resume`); the README's script table tells
    // what each sends. Network games only.
    void CraftWord(const CraftRequest& request);
    // A `craft mark` line's marks go out once a tick for as many ticks as it asked.
    void SendCraftedMarks();
    // 1 `pause`: the machine that answers for the game pauses it, so that a barrier pauses
    // while any machine plays; 0 `resume`: the machine whose `pause` made the pause lifts it.
    void BarrierPause(int pause);
    struct CraftedMarks {
        // 0 old (the pause before this machine's), 1 future (the one after), 2 huge.
        int which = 0;
        int ticksLeft = 0;
    };
    CraftedMarks craftedMarks;
    int barrierPauseMine = 0;
    // A test's artifact (the script's `artifact`): on the host (or outside a network game) it
    // is placed at the point where the team's factory rolls its units out, and announced as a
    // scattered one is. 1 once placed or given up (not the host), 0 while the team has no
    // unfolded factory or the point is taken: it is tried again at the next tick.
    int PlaceTestArtifact(int team, int effect, SimId* placed = nullptr);
    // A test artifact asked for: its team, effect and the last one placed for it.
    struct TestArtifactRequest {
        int team = 0;
        int effect = 0;
        SimId placed;
    };
    // Keeps one on the team's roll-out point until one is taken: a computer player may fold its
    // factory and drive it elsewhere before its first unit rolls out, and then another is
    // placed at the new point. 1 once done (taken, or given up as above), 0 while waiting.
    int KeepTestArtifact(TestArtifactRequest& wanted);
    // Gathers elapsed time towards the next autosave snapshot; 1 when one is due now.
    int GatherSnapshotTime(int elapsedMs);

    // --- AssetStartup.cpp
    // Locates the volume, loads the interface assets, enters the first mode and reads the
    // catalogue; the running flag.
    int Startup();
    // Null label: the first clan's volume label, then the second clan's.
    void LocateDisc(const char* label);
    void SetDiscDirectories(const char* label);

    // --- WorldRegistry.cpp: the object lists, lookups and serials. Every list adds at the front,
    // so scans run newest first. Additions that answer 0 leave the object with the caller.
    void AddEffect(std::unique_ptr<GameObject> effect) override;
    void AddWeapon(std::unique_ptr<GameObject> weapon) override;
    int AddSim(std::unique_ptr<GameObject>& sim) override;
    void AddBuilding(std::unique_ptr<GameObject> building);
    int AddDestructible(std::unique_ptr<GameObject>& object);
    int AddOreDeposit(std::unique_ptr<GameObject>& deposit);
    int AddArtifact(std::unique_ptr<GameObject>& artifact);
    void RetireArtifact(GameObject* artifact) override;
    // A wreck that is neither listed nor merged is destroyed.
    int AddWreck(std::unique_ptr<GameObject> wreck);
    int AddGroup(std::unique_ptr<GameObject> group);
    int AddLandFeature(std::unique_ptr<GameObject> feature);
    // Through the id index; the scan is the same answer found by walking the lists.
    GameObject* FindObject(const SimId& id) override;
    GameObject* ScanForObject(const SimId& id);
    GameObject* FindSim(const SimId& id) override;
    GameObject* FindWreckById(const SimId& id) override;
    GameObject* FindDestructible(const SimId& id) override;
    GameObject* FindOreDeposit(const SimId& id);
    GameObject* FindGroup(const SimId& id) override;
    GameObject* FindCargoCarrier(const SimId& id) override;
    GameObject* TeamFactory(int team) override;
    // Through the team's gathered structures; the scan walks the team's Sim list.
    int TeamHasStructure(int team, int code) override;
    int ScanForStructure(int team, int code);
    // Every change to the searched lists calls these: the id's index entry is found again, and
    // the team's structures are gathered again before they are next asked for.
    void ReindexObject(const SimId& id);
    void NoteTeamSimsChanged(int team);
    // The team's (0 .. 4) Sims that were deployed structures when last gathered, in list order.
    const std::vector<GameObject*>& TeamStructures(int team);
    // Before the lists are emptied: lookups made while the objects go find nothing rather than
    // an object already deleted.
    void ForgetObjectLookups();
    GameObject* NearestStructure(int team, int code, const Point& p) override;
    int CountTeamDestructibles(int team) override;
    WreckTemplate* FindTemplateForDesign(GameObject* object);
    GameObject* NearestDestructible(GameObject* object, int limit) override;
    GameObject* NearestFieldInReach(GameObject* from, GameObject* miner, int limit) override;
    GameObject* NearestOreDeposit(GameObject* object) override;
    GameObject* NearestWreck(GameObject* object, const Point& p, int limit) override;
    GameObject* NearestWreckInReach(GameObject* object, const Point& p, int limit,
                                    GameObject* scavenger) override;
    // 1 when the terrain joins the worker's cell to the site's for the worker's own drive (or
    // nothing tells: no grid, no worker).
    bool InReachOf(GameObject* worker, GameObject* site);
    bool InReachOf(GameObject* worker, const Point& site) override;
    GameObject* FindNearestWreck(GameObject* object, int limit) override;
    SimId NewSimId(int team) override;
    void ReserveSerial(int32_t serial);

    // --- WorldPlacement.cpp: the only road onto, across and off the map.
    int CanPlace(GameObject* object, const Point& p, GameObject** blocker, int ignoreLayer,
                 int passMovers, int radius);
    int CanPlace(GameObject* object, const Point& p, GameObject** blocker, int ignoreLayer,
                 int radius) override;
    int PlaceObject(GameObject* object, const Point& p, GameObject** blocker) override;
    // Moves the object there whatever stands in the way (a copy going where its owner says).
    void PlaceOver(GameObject* object, const Point& p);
    int TradePlaces(GameObject* a, GameObject* b) override;
    int PlaceOnLayer(GameObject* object, const Point& p, int layer, GameObject** blocker) override;
    SimId ReservePlace(SimId& out, GameObject* object, const Point& p, GameObject** blocker);
    SimId ReservePlaceOnLayer(SimId& out, GameObject* object, const Point& p, int layer,
                              GameObject** blocker) override;
    SimId ReservePlace(GameObject* object, const Point& p, GameObject** blocker) override;
    void MoveReservation(const SimId& id, GameObject* object) override;
    void MoveReservationOnLayer(const SimId& id, GameObject* object, int layer) override;
    void AddToGrids(GameObject* object, const Point& p, int radius) override;
    void RemoveFromGrids(GameObject* object, const Point& p, int radius) override;
    int IsAreaBuildable(const Rect& r) override;
    GameObject* ArtifactAt(const Point& p) override;
    GameObject* PickObjectAt(const Point& p);
    GameObject* FindObjectNear(GameObject* object, int radius) override;
    int HasObjectAround(GameObject* object, int team) override;
    // A deploying unit becomes a structure (7) or a unit again (1) while its team's units and
    // factory are off the grids; always 0.
    int DeploySim(GameObject* sim) override;
    int UndeploySim(GameObject* sim) override;

    // --- WorldPaths.cpp: the path-request queue (its last node is the head) and routes.
    void QueuePathRequest(GameObject* object) override;
    int TakePathTurn(GameObject* object) override;
    static int PathTurnsFor(int queueLength);
    int FindPathRequest(const SimId& id, int priority);
    int RequestPath(GameObject* object, const Point& goal, NodeList& route, int flag,
                    int radius) override;
    int RouteSearchGoesOn() override;
    void FollowWaypoints(GameObject* object, NodeList& route, int flags) override;
    GameObject* PickNearestPoint(const Point& p, NodeList& candidates, int byRoute, int remove);
    double PathCostScore(const NodeList& route);
    int MakeRingPoints(const Point& centre, unsigned radius, unsigned count, NodeList& out,
                       double offset) override;
    int PathPriority(GameObject* object);
    // Whether the id waits in the queue under that priority; a request under another priority
    // is dropped (as FindPathRequest does, without counting places).
    int HasPathRequest(const SimId& id, int priority);
    // The request served next: a search that goes on, then the one that has waited longest once
    // any has waited longer than kPathWaitBoundMs, else the last node (the rule is at
    // QueuePathRequest).
    SimIdNode* PathRequestHead();
    // The queued request of the unit whose search was cut short on its node budget and waits to
    // go on, or null.
    PathRequestNode* SearchGoingOnRequest();
    // The request that has waited longest past kPathWaitBoundMs, or null (cached: overdueKnown).
    PathRequestNode* OverdueRequest();
    // Each tick of play: every request waits the tick's time; a front request not asked for is
    // dropped.
    void AgePathRequests(int elapsedMs);
    // Past this wait a request goes ahead of every request that has waited less, whatever the
    // priorities (flagged requests wait their turn among the overdue too), a search that goes on
    // excepted: with new requests every tick, priority and newest first alone never reach an old
    // one.
    static constexpr int32_t kPathWaitBoundMs = 3000;

    // --- WorldUpdate.cpp: the per-tick update and the death pass.
    void UpdateObjects(int elapsedMs);
    // The death pass alone, for the objects destroyed while the battle stands paused.
    void CollectTheDead();
    // `owned`: whether this machine owned the factory (and so owns its pieces).
    void ScatterWrecks(BuildingTemplate* building, const Point& centre, int value,
                       const SimId& factoryId, int owned = 1);
    // The id of a factory's wreck piece 0 .. 3: the same on every machine, and above every
    // serial a machine hands out itself.
    static SimId WreckPieceId(const SimId& factoryId, int piece);
    static constexpr uint32_t kPieceSerialBase = 0x40000000u;
    static constexpr uint32_t kPieceSerialMask = 0x03FFFFFFu;
    static constexpr uint32_t kMaxPieces = 4;
    // What a piece holds, told by the factory's owner before this machine's death pass made
    // the piece (the owner's snapshot overtakes it): applied as the piece is made. Bounded:
    // the oldest goes first.
    void KeepEarlyPieceValue(const SimId& id, int32_t cargo);
    static constexpr size_t kMaxEarlyPieceValues = 64;
    std::vector<std::pair<SimId, int32_t>> earlyPieceValues;
    // The units and factories the death pass took lately, on the battle's own clock.
    RecentDead recentDead;
    // The game speed every machine plays at, and the speeds left lately.
    SpeedPlayed speedPlayed;
    // Plays at the speed global `adjustment` from now on: the options menu's change, or a
    // peer's word of one, whatever screen is showing.
    void PlaySpeed(int adjustment) { speedPlayed.Change(adjustment, recentDead.nowMs); }

    // --- WorldAlliances.cpp: alliances, pause, status line, sounds and cell effects.
    int Ally(const SimId& a, const SimId& b);
    int AreAllied(const SimId& a, const SimId& b);
    int AreAllied(const ValueTriple& a, const ValueTriple& b);
    void Unally(const SimId& a, const SimId& b);
    void TogglePause();
    void SetStatusMessage(const char* text, int colour);
    // The palette index of a colour number; numbers outside 0 .. 8 (the default 10 among them)
    // answer black (0), readable on a status box of the ordinary text colour 10.
    int ColourOf(int colourNumber) const;
    int PlayUiSound(int flag);
    void AddCellEffect(const Point& p) override;
    void UpdateCellEffects(int elapsedMs);
    void DrawCellEffect(int row, int column, ScreenBase& screen);
    void NoteLocalPosition(GameObject* object) override;
    void AddTeamCount(GameObject* object) override;
    int IsRectVisible(const Rect& r) override;
    void SetGameRecords(GameRecords* records) { gameRecords = records; }

    // --- StateChecksum.cpp: a digest of what every machine of a network game must share (the
    // listed objects' id, kind, team record, position, damage, cargo, store, credit and facing,
    // the alliances, the pause flag, the player count), independent of list order and free of
    // what each machine keeps for itself (local flags, selection, timers, goals, shots, sight).
    // The file names the fields and the list numbers. With `listing`, also the counted fields as
    // text, one sorted line per object, for finding where two machines differ.
    uint64_t StateChecksum(std::string* listing = nullptr);
    static constexpr int kChecksumUnits = 1;
    static constexpr int kChecksumBuildings = 2;
    static constexpr int kChecksumWrecks = 10;
    // The pick-ups: each artifact taken, where it lay and its taker, in the order this machine
    // took them.
    static constexpr int kChecksumAwards = 15;
    struct ArtifactAward {
        SimId artifact;
        Point at;
        SimId taker;
    };
    std::vector<ArtifactAward> artifactAwards;
    // Awards whose winner this machine did not know yet (a third machine's unit whose making had
    // not arrived): the artifact is retired at once, and the effect waits for the winner's copy.
    struct AwaitedWinner {
        SimId winner;
        int32_t effect;
    };
    static constexpr size_t kMaxAwaitedWinners = 64;
    std::vector<AwaitedWinner> awaitedWinners;
    // The player whose machine made each wreck another machine announced (kind 13): that machine
    // alone tells the wreck's hits and state. A captured unit's wreck keeps the victim's team in
    // its id, so the id cannot tell. Keyed by team << 32 | serial.
    std::unordered_map<int64_t, int32_t> wreckMakers;

    // --- WorldPeers.cpp: the network peer slots and the outgoing stream.
    CommLink* AddPeer();
    // Puts a link that is already connected (and Init'ed) into the first free peer slot; null
    // (and the link closed) when every slot is held.
    CommLink* AdoptPeer(std::unique_ptr<CommLink> link);
    void StartRecording();
    void ClosePeers(CommLink* link);
    // Closes the lost links and hands their teams on. A lost link's held word is settled first
    // when the team it waits for is gone here too; otherwise the link stays until the wait
    // ends (ApplyWaitingCommands), so its word is judged by the same rule either way.
    void CheckPeers();
    // Applies the commands that waited for a loss once this machine saw it (the link closed, or
    // silent past CommLink::kSilentMs, which drops it), or, when that link still delivers
    // kSilentMs after the first of them or that team's machine marked a pause sent after them,
    // refuses those about its team and applies the rest.
    void ApplyWaitingCommands();
    // Ends the slot's wait as its time limit does: the held commands about the team it waits
    // for are refused while that team plays here, the rest applied in order.
    void EndWait(int slot);
    // Executes the slot's held commands again, refusing those about `refusing` (-1 none).
    void ReleaseHeld(int slot, int32_t refusing);
    // Executes commands a slot held back, as many whole ones as a message holds at a time.
    void ExecuteHeldWords(int slot, const std::vector<uint8_t>& words);
    // 1 in a network game while this machine has no game built, or is building it: a peer's
    // factory word then waits (PeerSlot::beforeStart) rather than be cleared by the start.
    int StartInProgress() const;
    // The start has built the game: the words each peer's slot kept for it are applied, in
    // their order.
    void ApplyWordsHeldForStart();
    void SendCommands(int slot) override;
    void CompactPeers();
    // Reads and executes what every peer has sent, as the network step does (the host and join
    // screen, before the game's network step runs).
    void ReceiveFromPeers();
    // Records the state (kind 9) of every object this machine owns: at a pause, so that the
    // copies stand where their owners stopped.
    void SendOwnStates();
    // A guest's claim the host refused (its copy of the unit stood too far off) is made again
    // while the unit still stands on the artifact: kind 35 for every own unit on one.
    void ClaimArtifactsStoodOn();

    // --- WorldPauseMarks.cpp: what a pause of a network game settles before its checksums.
    // A pause command this machine sent or received (from the machine of team `from`; -1 this
    // one): the pause gets the next number, and a machine that stands paused sends the states
    // of what it owns and then its mark (kind 58).
    void MarkPause(int32_t from = -1);
    // The slot's machine marked its pause `number`: everything it sent before is in. Taken
    // once it is the pause this machine is in; the authority's mark also sets this machine's
    // pause count (see the source).
    void NotePauseMark(int slot, int32_t number);
    // Takes every slot's offered mark of the pause this machine marked.
    void TakeOfferedMarks();
    // The authority's word at this pause (kind 59): a deposit's amount, or with the null id the
    // end of the list and how many amounts it held. Only after the sender's own mark of this
    // pause and while it lasts; an earlier pause's list is dropped.
    void NoteDepositAmount(int slot, const SimId& deposit, int32_t amount);
    // Every peer marked this pause; a peer whose link is closed or lost counts as marked.
    int AllPeersMarked();
    // Once every mark is in, the authority sends the deposit amounts and the others take the
    // ones it sent. 1 when the state may be compared: outside a network game, in a pause this
    // machine did not number (the battle's start, the results), or once marks and amounts are
    // in; 0 while the game runs or they are awaited.
    int SettlePause();

    // --- WorldObjectServices.cpp: the rest of what the map objects ask.
    // networkHost, while this machine's own factory has not fallen (see the source).
    int IsNetworkHost() override;
    EventReceiver* ControllerOf(int team) override;
    int LocalTeamAutoPlayed() override { return localTeamAutoPlayed; }
    SquadDirectory* DirectoryOf(int team) override;
    int MissionNumber() override;
    char MissionClan() override;
    int RouteRequestsDeferred() override { return 0; }
    TerrainMap* Terrain() override { return terrain.get(); }
    PathGrid* Paths() override { return pathGrid.get(); }
    SightGrid* Sight() override { return sight.get(); }
    void PlaySound(Sound* sound) override;
    CommandBuffer& Commands() override { return *commands; }
    UnitMakers& Makers() override { return unitMakers; }
    int MoveSimToTeam(GameObject* sim, int oldTeam, int newTeam) override;
    void ForEachSim(int team, const std::function<void(GameObject*)>& visit) override;
    // The network players, or 1 outside a network game.
    int PlayerCount() override;
    int HasPeer() override { return peerSlots[0].peerLink ? 1 : 0; }
    int32_t TickCount() override { return tickCount; }
    int IsNetworkGame() override { return networkGame; }
    // The scenario code installs the debug flag; until then every game runs without it.
    int DebugMode() override { return 0; }
    // The PERFORMANCE DETAIL setting.
    int LowDetail() override;

    // Makes each wreck of the death pass; without one the game's Wreck is made (MakeWreck).
    WreckMaker makeWreck;
    // The unit classes, manoeuvres, goals and shared unit rules that other parts of the game
    // supply; each stays empty (neutral answers) until its owner installs it.
    UnitMakers unitMakers;
    // Makes the link of a new peer slot (the network code installs the TCP link).
    std::function<std::unique_ptr<CommLink>()> makeLink;
    // Applies one complete message of a peer slot (0 .. 2) to this machine's copies; the
    // network code installs the command executor. Without one a message is dropped.
    std::function<void(CommandBuffer& message, int slot)> executeCommands;
    // The deploying unit's structure code (-1: not a structure), and the setting of its deploy
    // kind (1 mobile, 7 deployed); the deploying units install them.
    std::function<int(GameObject*)> structureCodeOf;
    std::function<void(GameObject*, int)> setDeployKind;
    // Makes the units, buildings, groups and controllers a scenario holds; each answers null
    // until the piece that owns the class installs it.
    ScenarioMakers scenarioMakers;
    // The computer opponents' route analysis, made once per game for all of them: cleared at
    // the start of each game and whenever a controller goes.
    struct RouteAnalysis {
        int32_t done = 0;
        int32_t water = 0;
        int32_t r = 0;
        int32_t either = 0;
    };
    RouteAnalysis routeAnalysis;
    // Not owned; the World's own records (ownRecords) unless a test installs others.
    GameRecords* gameRecords = nullptr;
    std::unique_ptr<GameRecords> ownRecords;
    // The teams whose factory died here (the death pass): they answer for no other team.
    uint8_t factoryDied[kTeams] = {};
    // The teams whose destroyed factory an update took to its dead list: it fell, though the
    // death pass at the update's end has yet to bury it (FactoryFell).
    uint8_t factoryFalling[kTeams] = {};
    // The teams whose factory's owner told this machine the factory's hardpoints (kind 27): its
    // copy here mounts what the factory mounts. A computer player arms its factory as the game
    // is built and tells nobody; only a design library with a hardpoint line tells it after.
    uint8_t factoryFitTold[kTeams] = {};
    // The teams a `wound` line named: their factory is kept one hit from its end, whatever its
    // repairers mend, until it falls.
    uint8_t factoryWounded[kTeams] = {};
    // The queued path requests by object id (team << 32 | serial), kept by the request nodes
    // themselves, so that a unit asking for its turn need not walk the whole queue. Declared
    // before the queue: it outlives the nodes.
    std::unordered_multimap<int64_t, SimIdNode*> pathRequestIndex;
    // FindObject's answer for every id that names a listed object (team << 32 | serial), and
    // each team's deployed structures in list order (gathered again while the stale flag is 1).
    // Objects may die before the lists forget them: both forget them first.
    std::unordered_map<int64_t, GameObject*> objectIndex;
    std::vector<GameObject*> teamStructures[kTeams];
    // The code of each gathered structure (-1: not known when gathered), and all of a team's
    // codes, one bit per code (all bits when one was not known).
    static constexpr int kStructureCodeBits = 8;
    std::vector<int> gatheredCodes[kTeams];
    uint32_t structureCodes[kTeams] = {};
    int32_t structuresStale[kTeams] = {1, 1, 1, 1, 1};

    // The screens (the battle and design screens survive the switches among modes 3, 4, 5).
    std::unique_ptr<ScreenBase> battleScreen;
    std::unique_ptr<ScreenBase> designScreen;
    // Owned by the World unless it is the battle or the design screen.
    ScreenBase* currentScreen = nullptr;
    std::unique_ptr<TeamController> controllers[kTeams];
    // Map objects by kind, each list newest first; team lists are indexed by team.
    NodeList effects[kTeams];
    NodeList sims[kTeams];
    NodeList buildings[kTeams];
    NodeList weapons[kTeams];
    NodeList wrecks;
    NodeList destructibles;
    NodeList oreDeposits;
    NodeList artifacts;
    NodeList takenArtifacts;
    NodeList groups;
    NodeList landFeatures;
    NodeList reservations;
    ValueTriple localPlayer{1};
    // 1 while the local team's controller is the autoplay cheat's (the scenario installs it).
    int32_t localTeamAutoPlayed = 0;
    char clanLetter = 'X';
    int32_t lastTickMs = 0;
    int32_t paused = 1;
    int32_t pauseLocked = 0;
    int32_t inGame = 0;
    // The result of the last screen Load, returned by the tick: 0 quits.
    int32_t running = 1;
    // The clock / 100 at the last interface step; screens animate by it.
    int32_t lastTenth = 0;
    std::unique_ptr<CommandBuffer> commands;
    int32_t nextSerial = 1;
    std::unique_ptr<TerrainMap> terrain;
    // The emptied map of the last game, kept for the next land: its tables are made once.
    std::unique_ptr<TerrainMap> spareTerrain;
    std::unique_ptr<SightGrid> sight;
    // The game in play, and the one the next game starts from.
    std::unique_ptr<Scenario> scenario;
    std::unique_ptr<Scenario> pendingScenario;
    std::unique_ptr<GameFlow> gameFlow;
    int32_t currentMode = 0;
    int32_t requestedMode = 1;
    // The open game set-up screen, set and cleared by the main menu that owns it; the command
    // executor hands the peers' set-up records to it.
    SetupScreen* setupScreen = nullptr;
    // Each link to another machine with what this machine keeps about it, kept packed at the
    // front; the links are set by the network screens.
    PeerSlot peerSlots[kPeerSlots];
    // 1 while World::NewGame builds a game.
    int32_t gameStarting = 0;
    // Peers CheckPeers found lost so far, and the team of the last one (-1 unknown).
    int32_t peersLost = 0;
    int32_t lastLostTeam = -1;
    std::unique_ptr<PathGrid> pathGrid;
    std::unique_ptr<DesignLibrary> designLibrary;
    std::unique_ptr<TextWriter> font;
    Timer aiBudget{kAiBudgetMs};
    Timer heartbeatTimer{kHeartbeatMs};
    int32_t nextAiTeam = 0;
    // Queued path requests (SimIdNode), newest first.
    NodeList pathRequests;
    std::unique_ptr<VoicePool> voices;
    Point lastLocalPosition;
    // Made by a new game.
    std::unique_ptr<MissionStats> teamStats[kTeams];
    int32_t alliance[kTeams][kTeams] = {};
    std::unique_ptr<Sound> confirmSound;
    std::unique_ptr<Sound> refuseSound;
    NodeList cellEffects;
    std::unique_ptr<MusicPlayer> music;
    int32_t networkGame = 0;
    // Set by the set-up screen on the machine that hosts; once a host is lost it follows the
    // authority (World::Authority), who then does what only the host did.
    int32_t networkHost = 0;
    // Checksums asked for in a network game, written once the pause has settled (SettlePause),
    // or as it lifts.
    std::vector<std::string> pendingChecksums;
    // Pause commands sent or received in this game; the number of the pause this machine
    // marked and stands in (0 while it runs, or stands paused without one); each slot's last
    // mark is in its peer slot.
    int32_t pauseNumber = 0;
    int32_t markedPause = 0;
    // The team whose machine's pause command started the marked pause (-1: this machine's).
    int32_t markedPauseFrom = -1;
    // The most the authority's mark may run ahead of this machine's pause count.
    static constexpr int32_t kMostPausesAhead = 8;
    // At the marked pause: whether the authority's deposit amounts were sent (by this machine)
    // or taken; the amounts held until every mark is in (no more than this machine has
    // deposits), how many came, and whether their list has ended.
    int32_t amountsSent = 0;
    int32_t amountsIn = 0;
    std::vector<std::pair<SimId, int32_t>> heldAmounts;
    int32_t heldAmountCount = 0;
    int32_t heldAmountsEnded = 0;
    // Test artifacts asked for and not yet placed: team, effect.
    std::vector<TestArtifactRequest> pendingArtifacts;
    // The movie that mode 8 plays, relative to the movie directory.
    std::string movieFile;
    char driveLetter = '?';
    // The asset directories, each empty or ending in a backslash.
    std::string moviesDir;
    std::string soundsDir;
    std::string dataDir;
    std::string localDir;
    int32_t techLevelT = 1;
    int32_t techLevelV = 1;
    std::unique_ptr<PaletteCycler> paletteCycler;
    // Read at start-up.
    std::unique_ptr<SavedGameIndex> savedGames;
    // Always zero-terminated in its last character.
    char statusText[1024] = {};
    int32_t colourTable[9] = {0, 11, 15, 254, 254, 16, 254, 254, 16};
    int32_t statusColour = 0;
    int32_t autosaveAccumMs = 0;
    // 1 after a failed autosave, until one succeeds: one message per run of failures.
    int32_t autosaveFailing = 0;
    // 1 when a saved game was refused as damaged on its way to the battle: the main menu
    // opens the load-game screen again, where the player chose it.
    int32_t loadGameRefused = 0;
    // The design library as it was read or last written (DesignLibrary::Listing).
    std::string designsAsRead;
    // Per clan library ([0] V, [1] T): 1 once that damaged library could not be moved aside,
    // so it is never written over this run; the other clan's library is not held by it.
    int32_t designFileHeld[2] = {0, 0};
    int32_t& DesignFileHeld(char clan) { return designFileHeld[clan == 'T' ? 1 : 0]; }
    // Per clan library: 1 while its last read found something in its place that gives no
    // bytes. It may hold every design whole: it is neither moved aside nor written over, and
    // the sample designs stand in for it until a design is stored (RunDesigns).
    int32_t designFileUnreadable[2] = {0, 0};
    int32_t& DesignFileUnreadable(char clan) { return designFileUnreadable[clan == 'T' ? 1 : 0]; }
    // Per clan: the designs stored this run that could not be written because the library
    // could not be read. While it cannot be read they are the clan's library, at every visit
    // to the design screen and in every new game; once it reads, the designs stored this run
    // that it lacks are added to it and it is written. Cleared once written.
    struct RunDesigns {
        // The library as the player last left it (DesignLibrary::Listing); empty when none.
        std::string listing;
        // The library it grew from (the sample designs): its designs are not the run's own.
        std::string grewFrom;
    };
    RunDesigns runDesigns[2];
    RunDesigns& RunDesignsOf(char clan) { return runDesigns[clan == 'T' ? 1 : 0]; }
    // Adds the designs stored this run that the library lacks; how many were added.
    int AddRunDesigns(const RunDesigns& run);
    int32_t frontRequestAge = 0;
    // The request frontRequestAge counts for.
    SimId frontRequest;
    // What a request dropped at the front had waited, by the id's key (PathRequestNode::KeyOf):
    // queued again it keeps that wait, so a unit dropped while its route timer ran is not sent to
    // the back each time. Forgotten once the unit is served or gone.
    std::map<int64_t, int32_t> droppedRequestWaits;
    // The oldest overdue request the last walk of the queue found (none when empty), while
    // overdueKnown. Waits change only as the tick ages them or a request comes back with its old
    // wait, and a new request never starts overdue, so the walk is needed again only then or
    // once that request has left: every unit asking for its turn would otherwise walk the queue.
    std::optional<SimId> overdueRequest;
    bool overdueKnown = false;
    int32_t pathSearchesThisTick = 0;
    // The searches the queue serves this tick (PathTurnsFor the queue as the tick starts).
    int32_t pathTurnsThisTick = 1;
    PathAskTally pathAsks;
    // The unit whose search that goes on was given its turn while another request was overdue,
    // or any unit given a turn while the queue serves more than one a tick: its next RequestPath
    // runs to the search's end (TakePathTurn sets it, RequestPath spends it).
    SimId searchToFinish;
    // Placements recount an object's whole sight (removed, then added) instead of moving it:
    // the old way, kept as the measure the tick benchmark and the sight tests compare with.
    bool recountSightOnMove = false;
    // Object updates so far (the animation's tick count).
    int32_t tickCount = 0;

    ObjectWorldRegistration objectWorldRegistration{this};

private:
    // Pass 2 of the update: each object of the dead list, in order, by kind.
    void BuryTheDead(NodeList& dead);
    // The screens' factory, asked for on first use (it registers during static initialisation).
    ScreenFactory* Screens();
    // Runs Load on a screen just made (0 when there was none to make).
    int LoadNewScreen(std::unique_ptr<ScreenBase> screen);
    // Unload and delete the current screen when the World owns it; current screen = null.
    void DiscardCurrentScreen();
    void DiscardBattleAndDesignScreens();
    void ResetAlliances();
    void SetMusic(int on);
    // 1 while a scenario is in play (the World's own or the installed game records').
    int ScenarioInPlay() const;
    // The local team's record, or null.
    MissionStats* LocalTeamStats() const;
    // The status line leaving the mode has to say (empty for none), set once the new mode is
    // entered.
    std::string LeaveMode(int oldMode, int newMode);
    void EnterMode(int newMode);
    // A request for the id, with the wait it kept when it was last dropped.
    PathRequestNode* NewPathRequest(const SimId& id, int priority);
    // 1 when the object's turn is among the next `remaining` the queue serves (its request,
    // taken from the queue, had waited `waited`), or it waits nowhere and fewer than that wait.
    int TurnAmongTheNext(GameObject* object, int remaining, int32_t& waited);
    // Takes every complete message waiting on the slot's link and has it executed.
    void ReceiveFromPeer(int slot);
    // Makes this machine run the team's objects (taken, 1) or leave them to their new taker (0):
    // the units, and a factory it kills. `dropped` also tells the peers that the player left.
    void TakeOverTeam(int team, int dropped);
    // The teams no standing link plays go to the authority: to this machine when it is that
    // (a taker lost or beaten passes its teams on), away from it when it is no longer.
    void HandLostTeamsOn();
    // Writes every pending checksum (and its listing when asked for).
    void WritePendingChecksums();
    // The pause lifted: what is pending is written now, traced when the pause had not settled,
    // and the pause's marks and amounts are forgotten.
    void LiftPause();
    // The pause's marks and amounts; and with ForgetPauses, a new game's: no pause numbered yet.
    void ForgetMarkedPause();
    void ForgetPauses();
    void RunComputerTurns();
    // The current screen's events, update and drawing; 0 when it asked for a mode change.
    int RunScreen(int elapsedMs);

    ScreenFactory* screenFactory = nullptr;
    // The authority at the last peer check.
    int32_t lastAuthority = -1;
};

// The World, through the application pointer; null before it is built and after it is gone.
World* TheWorld();

// Screens ask for the next mode through this (nothing happens without a World); the World
// applies it once the screen's HandleEvents or Update has returned 0.
void RequestGameMode(GameMode mode);

// The network code registers how it puts network play into a World; the World runs it when it
// makes its first peer link without a link maker.
void RegisterNetworkInstaller(void (*install)(World&));

// The computer opponents register how they install their controller maker; each game's start
// runs it on a World that has no controller maker yet.
void RegisterOpponentsInstaller(void (*install)(World&));
void InstallRegisteredOpponents(World& world);

// Set by the battle screen's debug key: while it is 1 the computer teams get no turns.
extern int32_t aiHalted;
