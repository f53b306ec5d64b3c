#pragma once
// A World on a small land holding owned and mirrored objects of every kind the executor acts
// on, with receivers and objects that write every action they get into one log.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "core/Clock.h"
#include "core/StringTable.h"
#include "net/CommandBytes.h"
#include "net/CommandExecutor.h"
#include "net/CommandReceivers.h"
#include "objects/CommandBuffer.h"
#include "objects/Goal.h"
#include "support/MemoryLink.h"
#include "world/RegistryTestFixture.h"

using Log = std::vector<std::string>;

inline std::string Id(const SimId& id) {
    return std::to_string(id.team) + ":" + std::to_string(id.serial);
}
inline std::string Pt(const Point& p) {
    return std::to_string(p.x) + "," + std::to_string(p.y);
}
inline std::string Of(GameObject* o) {
    return o ? Id(o->id) : "null";
}

// A goal of any type naming an object, as the economy goals will.
class FakeGoal : public Goal {
public:
    FakeGoal(int type, const SimId& owner, const SimId& object)
        : Goal(owner, 1, 1), type(type), object(object) {}
    int GetType() const override { return type; }
    int IsDone() override { return 0; }
    GoalFields StoredFields() const override {
        GoalFields f;
        f.id = object;
        return f;
    }
    int type;
    SimId object;
};

class RecordingObject : public TestObject {
public:
    RecordingObject(Log& log, int team, int serial, const Point& at, int kind, int local)
        : TestObject(team, serial, at, kind), log(log) {
        this->local = local;
        cargoCapacity = 100000;
    }
    void ApplyDamageState(int32_t a, int32_t b, char p, char q, char r) override {
        Add("Damage " + std::to_string(a) + " " + std::to_string(b) + " " + p + q + r);
    }
    void ApplyHit(char w, char e, char c, const SimId& attacker) override {
        Add(std::string("Hit ") + w + e + c + " " + Id(attacker));
    }
    void SetGoal(std::unique_ptr<Goal> goal) override {
        Add(goal ? "Goal " + std::to_string(goal->GetType()) + " " + Pt(goal->GetLocation())
                 : std::string("Goal none"));
    }
    void ApplyMoveState(const Point& p, int f, const int32_t* facings, int count) override {
        std::string s = "Move " + Pt(p) + " " + std::to_string(f) + " [";
        for (int i = 0; i < count; ++i)
            s += std::to_string(facings[i]) + (i + 1 < count ? "," : "");
        Add(s + "]");
    }
    void SetMoving(int flag) override { Add("Moving " + std::to_string(flag)); }
    void GainSkill(int kill) override { Add("Skill " + std::to_string(kill)); }
    void ChangeTeam(const ValueTriple& t, int flag) override {
        Add("Team " + std::to_string(t.first) + "," + std::to_string(t.second) + "," +
            std::to_string(t.third) + " " + std::to_string(flag));
    }
    void DeployNow() override { Add("Deploy"); }
    void UndeployNow() override { Add("Undeploy"); }
    void Destroy() override { Add("Destroy"); }

    void Add(const std::string& what) { log.push_back(Id(id) + " " + what); }
    Log& log;
};

class RecordingReceivers : public CommandReceivers {
public:
    explicit RecordingReceivers(Log& log) : log(log) {}
    void ApplyUnfoldState(GameObject* f, int s) override { Add("Unfold", f, std::to_string(s)); }
    void ApplyNewProduct(GameObject* f, const char* t, const SimId& u, int c) override {
        Add("NewProduct", f, std::string(t) + " " + Id(u) + " " + std::to_string(c));
    }
    void MoveProduct(GameObject* f, const Point& p) override { Add("MoveProduct", f, Pt(p)); }
    void ReleaseProduct(GameObject* f) override { Add("Release", f, ""); }
    void SpawnUnit(GameObject* f, const SimId& id, const Point& p, const char* t) override {
        Add("Spawn", f, Id(id) + " " + Pt(p) + " " + t);
    }
    void RefitFactory(GameObject* f, const char* t) override { Add("Refit", f, t); }
    void ReserveExit(GameObject* f, const Point& p) override { Add("ReserveExit", f, Pt(p)); }
    void CountExitAck(GameObject* f) override { Add("ExitAck", f, ""); }
    void ApplyLedger(GameObject* f, int32_t cargo, int32_t store, int32_t credit) override {
        Add("Ledger", f,
            std::to_string(cargo) + " " + std::to_string(store) + " " + std::to_string(credit));
    }
    void SetFactoryByte(GameObject* f, int value) override {
        Add("FactoryByte", f, std::to_string(value));
    }
    std::unique_ptr<Goal> MakeGoal(int type, const SimId& owner, const SimId& object,
                                   const Point& p) override {
        log.push_back("MakeGoal " + std::to_string(type) + " " + Id(owner) + " " + Id(object) +
                      " " + Pt(p));
        return nullptr;
    }
    void FireWeapon(GameObject* s, GameObject* t, char c, char r, int m, const SimId& shot,
                    int v) override {
        Add("Fire", s,
            Of(t) + " " + c + r + " " + std::to_string(m) + " " + Id(shot) + " " +
                std::to_string(v));
    }
    void CountShotAck(GameObject* s, int m) override { Add("ShotAck", s, std::to_string(m)); }
    void StartFiringTimer(GameObject* o) override { Add("FiringTimer", o, ""); }
    void StartAltitudeChange(GameObject* o, int d, const Point& p) override {
        Add("Climb", o, std::to_string(d) + " " + Pt(p));
    }
    void ApplyAltitudeStep(GameObject* o, const Point& a, const Point& b) override {
        Add("AltStep", o, Pt(a) + " " + Pt(b));
    }
    void EndAltitudeChange(GameObject* o, const Point& p) override { Add("AltEnd", o, Pt(p)); }
    void CountAltitudeAck(GameObject* o) override { Add("AltAck", o, ""); }
    void ApplyPickUp(GameObject* c, const SimId& u) override { Add("PickUp", c, Id(u)); }
    void BeginCarry(GameObject* c, GameObject* u, const Point& p) override {
        Add("Carry", c, Of(u) + " " + Pt(p));
    }
    void CountDropAck(GameObject* c) override { Add("DropAck", c, ""); }
    void MoveCarried(GameObject* c, const Point& p) override { Add("MoveCarried", c, Pt(p)); }
    void ApplyDrop(GameObject* c) override { Add("Drop", c, ""); }
    void ResetCarry(GameObject* c) override { Add("ResetCarry", c, ""); }
    void TakeOver(GameObject* c, GameObject* t) override { Add("TakeOver", c, Of(t)); }
    void MakeArtifact(const SimId& id, const Point& p, int v) override {
        log.push_back("Artifact " + Id(id) + " " + Pt(p) + " " + std::to_string(v));
    }
    void ApplyPeerSettings(const SetupSettings& s, int start, int leave) override {
        std::string order;
        for (int v : s.startOrder)
            order += std::to_string(v) + ".";
        log.push_back("Settings " + std::to_string(s.scenarioNumber) + " " + s.clan + " " +
                      std::to_string(s.playerSlot) + " " + s.slotClan[0] + s.slotClan[1] +
                      s.slotClan[2] + s.slotClan[3] + " " + std::to_string(s.techLevel) + " " +
                      std::to_string(s.resources) + " " + std::to_string(start) +
                      std::to_string(leave) + (start || leave ? "" : " " + order));
    }
    void SetGameSpeed(int speed) override { log.push_back("Speed " + std::to_string(speed)); }
    void SetRevealMap(int v) override { log.push_back("Reveal " + std::to_string(v)); }
    void Refused(const char* line) override { log.push_back(line); }
    // Kept apart from the log: a hit or wreck applied shows in what it did.
    void Applied(const char* line) override { applied.push_back(line); }

    void Add(const char* what, GameObject* o, const std::string& rest) {
        log.push_back(std::string(what) + " " + Of(o) + (rest.empty() ? "" : " " + rest));
    }
    Log& log;
    Log applied;
};

class ExecutorFixture {
public:
    ExecutorFixture() {
        // The drop messages the status line shows.
        std::string table;
        for (int line = 0; line < 304; ++line)
            table += "\r";
        table += "Player %d sent damaged data.\rPlayer %d stalled.\r";
        SetStringTableText(table);
        world.makeLink = [this]() -> std::unique_ptr<CommLink> {
            auto made = std::make_unique<MemoryLink>();
            link = made.get();
            return made;
        };
        world.AddPeer();
        world.peerSlots[0].peerTeam = 2;
        // Factories another machine announces, as the economy code will make them.
        world.scenarioMakers.createBuildingSim = [this](char letter, const SimId& id,
                                                        const Point& p, int flag) {
            log.push_back("CreateFactory " + Id(id) + " " + letter + " " + Pt(p) + " " +
                          std::to_string(flag));
            auto made = std::make_unique<RecordingObject>(log, id.team, id.serial, p, 4, flag);
            return std::unique_ptr<GameObject>(std::move(made));
        };
        world.scenarioMakers.addFactoryResources = [this](GameObject* f, int funds, int ore) {
            log.push_back("Resources " + Id(f->id) + " " + std::to_string(funds) + " " +
                          std::to_string(ore));
        };
        world.commands->SetEnabled(1);
        mirror = Add(2, 10, 2, 2, 1, 0);
        owned = Add(1, 11, 2, 5, 1, 1);
        capture = Add(2, 12, 5, 2, 6, 0);
        carrier = Add(1, 13, 5, 5, 1, 1);
        mirrorFactory = AddBuilding(2, 20, 8, 2, 0);
        ownedFactory = AddBuilding(1, 21, 8, 6, 1);
        field = std::make_unique<RecordingObject>(log, 0, 30, land.Centre(2, 8), 5, 1);
        field->cargo = 500;
        fieldRaw = field.get();
        std::unique_ptr<GameObject> f = std::move(field);
        world.AddDestructible(f);
        auto w = std::make_unique<RecordingObject>(log, 0, 40, land.Centre(6, 9), 3, 0);
        w->cargo = 300;
        wreck = w.get();
        world.AddWreck(std::move(w));
        auto lying = std::make_unique<RecordingObject>(log, 0, 45, land.Centre(10, 12), 10, 1);
        feature = lying.get();
        world.AddLandFeature(std::move(lying));
        // Slot 0's machine made it.
        world.wreckMakers[(int64_t{0} << 32) | 40] = 2;
    }
    ~ExecutorFixture() {
        world.ClosePeers(nullptr);
        ClearStringTable();
    }

    RecordingObject* Add(int team, int serial, int row, int column, int kind, int local) {
        auto o = std::make_unique<RecordingObject>(log, team, serial, land.Centre(row, column),
                                                   kind, local);
        RecordingObject* raw = o.get();
        std::unique_ptr<GameObject> owned = std::move(o);
        world.AddSim(owned);
        return raw;
    }
    RecordingObject* AddBuilding(int team, int serial, int row, int column, int local) {
        auto o = std::make_unique<RecordingObject>(log, team, serial, land.Centre(row, column), 4,
                                                   local);
        o->cargo = 1000;
        RecordingObject* raw = o.get();
        world.AddBuilding(std::move(o));
        return raw;
    }

    // Executes the bytes as the slot's message; whether it was applied.
    int Execute(const std::vector<uint8_t>& bytes, int slot = 0) {
        CommandBuffer& message = *world.peerSlots[slot].peerCommands;
        message.Rewind();
        std::copy(bytes.begin(), bytes.end(), message.start);
        message.cursor = message.start + bytes.size();
        const int result = executor.Execute(message, slot);
        EXPECT_EQ(message.cursor, message.start + bytes.size());
        return result;
    }
    // Executes the bytes as a message the slot's link just delivered, `battleMs` of the battle
    // after the last: the link's clock counts it.
    int Deliver(const std::vector<uint8_t>& bytes, int32_t battleMs = 0, int slot = 0) {
        world.recentDead.Elapse(battleMs);
        Delivered(slot);
        return Execute(bytes, slot);
    }
    // The slot's link has delivered one more frame, as the network step sees it.
    void Delivered(int slot = 0) {
        auto* made = static_cast<MemoryLink*>(world.peerSlots[slot].peerLink);
        world.peerSlots[slot].frames = ++made->framesReceived;
    }
    // Another peer slot, its machine playing the team; slot 0's link stays `link`.
    MemoryLink* AddPeerPlaying(int team) {
        MemoryLink* first = link;
        world.AddPeer();
        MemoryLink* made = link;
        link = first;
        for (int slot = 0; slot < World::kPeerSlots; ++slot)
            if (world.peerSlots[slot].peerLink == made) world.peerSlots[slot].peerTeam = team;
        return made;
    }
    // The death pass took the unit `id` at `at` here a moment ago: its wreck of those letters may
    // lie there, and a hit of the shot of its weapon (clan 'c', letter 'a', 100 px) that slot
    // 0's player announced before it died be reported.
    RecentDead::Death& Died(const SimId& id, const Point& at, char clan = 'V', char chassis = 'a') {
        FiredShots::Shot shot;
        shot.shooter = id;
        shot.team = id.team;
        shot.clan = 'c';
        shot.role = 'a';
        shot.reach = 100;
        shot.lifeMs = RecentDead::SpanMs();
        FiredShots::Arrival now = world.peerSlots[0].firedShots.Latest();
        now.wallMs = GetTimeMs();
        world.peerSlots[0].firedShots.Count(shot, 0, 0, 1, 1, now);
        RecentDead::Death d;
        d.id = id;
        d.team = id.team;
        d.kind = 1;
        d.diedAtMs = world.recentDead.nowMs;
        d.centre = d.wreckAt = at;
        d.reach = 100;
        d.wreckClan = clan;
        d.wreckChassis = chassis;
        d.mostWreckValue = 1000;
        d.wrecksLeft = 1;
        return world.recentDead.deaths.emplace_back(d);
    }
    // The trace line of a command dropped for its sender, at `battleMs` of the battle's clock.
    static std::string Refusal(int kind, int slot = 0, int player = 2, int battleMs = 0) {
        return "Refused command kind " + std::to_string(kind) + " from slot " +
               std::to_string(slot) + " (player " + std::to_string(player) + ") at battle ms " +
               std::to_string(battleMs);
    }

    WorldOnLand land{OpenLand(16, 12)};
    World& world = land.world;
    Log log;
    RecordingReceivers receivers{log};
    CommandExecutor executor{world, receivers};
    MemoryLink* link = nullptr;
    RecordingObject* mirror;
    RecordingObject* owned;
    RecordingObject* capture;
    RecordingObject* carrier;
    RecordingObject* mirrorFactory;
    RecordingObject* ownedFactory;
    std::unique_ptr<RecordingObject> field;
    RecordingObject* fieldRaw;
    RecordingObject* wreck;
    RecordingObject* feature;
};
