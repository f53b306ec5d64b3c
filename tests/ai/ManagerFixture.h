#pragma once
// The managers' test bed: a World on an open land with test units, a factory and chassis of
// every role the controller sorts by; squad rules whose manoeuvres keep what the managers set
// (centre, spacing, target, search mode, mining target), and pool units that answer for deploying,
// landing and their own manoeuvres.
#include <memory>
#include <vector>

#include "ai/AIController.h"
#include "ai/FactoryControls.h"
#include "ai/InfluenceGrid.h"
#include "ai/SquadRules.h"
#include "catalogue/ChassisTemplate.h"
#include "catalogue/DeployingChassisTemplate.h"
#include "catalogue/DesignRules.h"
#include "catalogue/PartTemplate.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/VehicleDesign.h"
#include "core/Random.h"
#include "objects/GameObject.h"
#include "objects/LocationGoal.h"
#include "objects/ManoeuvreList.h"
#include "objects/SquadManoeuvre.h"
#include "world/MemoryCatalogueMedia.h"
#include "world/ObjectNode.h"
#include "world/TestObject.h"
#include "world/World.h"
#include "world/WorldLand.h"

struct ManagedOrder {
    int code;
    int flags;
    Point p;
    SimId target;
};

// A unit of a test: its design is its own, its firepower and health are set.
class ManagedUnit : public TestObject {
public:
    ManagedUnit(const SimId& id, const Point& at, const ChassisTemplate* chassis, int kind = 1)
        : TestObject(id.team, id.serial, at, kind) {
        ownDesign = std::make_unique<VehicleDesign>('V');
        ownDesign->chassis = const_cast<ChassisTemplate*>(chassis);
        design = chassis ? ownDesign.get() : nullptr;
    }
    int GetFirePower() override { return fire; }
    int CanEngage(GameObject*) override { return canEngage; }
    void ClearGoals() override { ++clears; }
    void BuildManoeuvreList() override { ++rebuilds; }
    GameObject* GetLastAttacker() override { return lastAttacker; }
    void SetLastAttacker(GameObject* attacker) override { lastAttacker = attacker; }
    void UndeployNow() override { ++undeploys; }
    int IsMoving() override { return movingNow; }
    void ExecuteOrder(int code, int flags, const Point& p, const SimId& target, int) override {
        given.push_back({code, flags, p, target});
    }
    // As a unit does: it moves to the new team's list.
    void ChangeTeam(const ValueTriple& record, int) override {
        const int oldTeam = GetTeam();
        teamRecord = ValueTriple(record.first, record.third);
        TheObjectWorld().MoveSimToTeam(this, oldTeam, record.first);
    }
    void SetHealth(int max, int taken) {
        damage.SetMax(max);
        damage.SetValue(taken);
    }

    std::unique_ptr<VehicleDesign> ownDesign;
    int fire = 0;
    int canEngage = 1;
    int clears = 0;
    int rebuilds = 0;
    int undeploys = 0;
    int movingNow = 0;
    GameObject* lastAttacker = nullptr;
    std::vector<ManagedOrder> given;
};

// The team's factory: a job list, the unfolding and the credit a test sets.
class ManagedFactory : public ManagedUnit, public FactoryControls {
public:
    ManagedFactory(const SimId& id, const Point& at) : ManagedUnit(id, at, nullptr, 4) {}
    int GetCargo() override { return cargo; }
    int AddCargo(int n) override {
        cargo += n;
        return n;
    }
    VehicleDesign* CurrentJobDesign() override { return current.get(); }
    int IsBusy() override { return busy; }
    int UnfoldState() override { return unfold; }
    void StepUnfold() override { ++unfoldSteps; }
    void QueueJob(std::unique_ptr<VehicleDesign> job, int front) override {
        ++queued;
        queuedFront = front;
        if (!current) current = std::move(job);
    }
    int CancelJob() override {
        if (!current || refuseCancel) return 0;
        current.reset();
        ++cancels;
        return 1;
    }
    int32_t Credit() override { return credit; }
    void AddResources(int32_t cargoAmount, int32_t creditAmount) override {
        addedCargo += cargoAmount;
        addedCredit += creditAmount;
    }
    GameObject* MinedDeposit() override { return nullptr; }

    std::unique_ptr<VehicleDesign> current;
    int busy = 0;
    int unfold = 4;
    int unfoldSteps = 0;
    int queued = 0;
    int queuedFront = -1;
    int cancels = 0;
    int refuseCancel = 0;
    int32_t credit = 0;
    int32_t addedCargo = 0;
    int32_t addedCredit = 0;
};

// Chassis records of every role the controller sorts by, a structure chassis per type 0..5 and
// one drive, listed in the catalogue while they live so the designer can build from them.
class ManagedKit {
public:
    ManagedKit() {
        for (char role : {'a', 'f', 'h', 'k', 't'}) {
            ChassisValues v;
            v.clan = 'V';
            v.role = role;
            v.firstCost = role == 'f' ? 300 : 100;
            v.pairing = 1;
            v.buildTime = 500;
            chassis.push_back(std::make_unique<ChassisTemplate>(v));
        }
        for (int code = 0; code < 6; ++code) {
            ChassisValues v;
            v.clan = 'V';
            v.role = 'm';
            DeployingValues d;
            d.structureCode = code;
            structures.push_back(std::make_unique<DeployingChassisTemplate>(v, d));
        }
        drive = std::make_unique<PartTemplate>('V', 'W', 1, 1, 0, 100, 1);
    }
    ~ManagedKit() {
        for (auto& c : chassis)
            c->Unlink();
        drive->Unlink();
    }
    // The designer builds from the plain chassis and the drive.
    void List() {
        for (auto& c : chassis) {
            ListNode* node = c.get();
            ChassisList.PushBack(node);
        }
        ListNode* node = drive.get();
        PartList.PushBack(node);
    }
    const ChassisTemplate* Role(char role) const {
        for (const auto& c : chassis)
            if (c->role == role) return c.get();
        return nullptr;
    }
    const ChassisTemplate* Structure(int code) const { return structures[code].get(); }

    std::vector<std::unique_ptr<ChassisTemplate>> chassis;
    std::vector<std::unique_ptr<DeployingChassisTemplate>> structures;
    std::unique_ptr<PartTemplate> drive;
};

// A World on an open land of 32-pixel cells (sight cells of 64) with nothing on it.
class ManagedLand {
public:
    explicit ManagedLand(int columns = 24, int rows = 20) {
        LoadLand(world, files, OpenLand(columns, rows));
        SeedRandom(7);
    }
    ~ManagedLand() { world.ClearObjects(); }

    ManagedUnit* AddUnit(int team, const Point& at, char role = 'a', int fire = 10) {
        auto unit = std::make_unique<ManagedUnit>(world.NewSimId(team), at, kit.Role(role));
        unit->fire = fire;
        return List(std::move(unit));
    }
    ManagedUnit* AddStructure(int team, const Point& at, int code) {
        return List(
            std::make_unique<ManagedUnit>(world.NewSimId(team), at, kit.Structure(code), 7));
    }
    template <class T>
    T* List(std::unique_ptr<T> object) {
        T* raw = object.get();
        auto* node = new ObjectNode(std::move(object));
        world.sims[raw->GetTeam()].PushFront(node);
        world.ReindexObject(raw->id);
        world.NoteTeamSimsChanged(raw->GetTeam());
        return raw;
    }
    ManagedFactory* AddFactory(int team, const Point& at) {
        auto factory = std::make_unique<ManagedFactory>(world.NewSimId(team), at);
        ManagedFactory* raw = factory.get();
        world.AddBuilding(std::move(factory));
        return raw;
    }
    AIController* AddController(int team, int techLevel = 5) {
        auto controller = std::make_unique<AIController>(team, 'V', techLevel);
        AIController* raw = controller.get();
        world.SetTeamController(team, std::move(controller));
        return raw;
    }

    LandFixture files;
    World world;
    ManagedKit kit;
};

class RuleManoeuvre : public SquadManoeuvre {
public:
    explicit RuleManoeuvre(int type, const Point& centre = Point(), int spacing = 0)
        : type(type), centre(centre), spacing(spacing) {}
    int GetType() const override { return type; }

    int type;
    Point centre;
    int spacing;
    SimId target;
    int seeking = 0;
    SimId miningTarget;
};

class FakeSquadRules : public SquadRules {
public:
    FakeSquadRules() { SetSquadRules(this); }
    ~FakeSquadRules() override { SetSquadRules(nullptr); }

    std::unique_ptr<SquadManoeuvre> Formation(const Point& centre, int spacing) override {
        return std::make_unique<RuleManoeuvre>(1, centre, spacing);
    }
    void Recentre(SquadManoeuvre& formation, const Point& centre) override {
        static_cast<RuleManoeuvre&>(formation).centre = centre;
    }
    int CentreOf(SquadManoeuvre& formation, Point& out) override {
        out = static_cast<RuleManoeuvre&>(formation).centre;
        return 1;
    }
    std::unique_ptr<SquadManoeuvre> AssignTarget() override {
        return std::make_unique<RuleManoeuvre>(2);
    }
    std::unique_ptr<SquadManoeuvre> Retaliate() override {
        return std::make_unique<RuleManoeuvre>(12);
    }
    std::unique_ptr<SquadManoeuvre> Attack(const SimId& target) override {
        auto attack = std::make_unique<RuleManoeuvre>(3);
        attack->target = target;
        return attack;
    }
    GameObject* TargetOf(SquadManoeuvre& attack) override {
        GameObject* o = TheWorld()->FindObject(static_cast<RuleManoeuvre&>(attack).target);
        return o && !o->IsDestroyed() ? o : nullptr;
    }
    void SeekOutOfSight(SquadManoeuvre& explore) override {
        static_cast<RuleManoeuvre&>(explore).seeking = 1;
    }
    void SetMiningTarget(SquadManoeuvre& mining, const SimId& id) override {
        static_cast<RuleManoeuvre&>(mining).miningTarget = id;
    }
};

// A unit with manoeuvres of its own that deploys, lands and docks as a test says.
class PoolUnit : public ManagedUnit {
public:
    using ManagedUnit::ManagedUnit;
    SquadManoeuvre* FindManoeuvre(int type) override { return own.Find(type); }
    int IsLanded() override { return 1; }
    int DocksInsideMap(const Point&) override { return docksInside; }
    void DeployNow() override { ++deploys; }
    RuleManoeuvre* Give(int type) {
        auto m = std::make_unique<RuleManoeuvre>(type);
        RuleManoeuvre* raw = m.get();
        own.Add(std::move(m));
        return raw;
    }
    void AddGoal(const Point& at) {
        goals.PushBack(std::make_unique<LocationGoal>(id, at, 0, 1, 1));
    }

    ManoeuvreList own;
    int docksInside = 1;
    int deploys = 0;
};

// Catalogue pictures made in memory while the test bed lives (the structure chassis load
// theirs when made).
class MemoryMedia {
public:
    MemoryMedia() { SetCatalogueMedia(&media); }
    ~MemoryMedia() { SetCatalogueMedia(nullptr); }
    MemoryCatalogueMedia media;
};

// A World with a factory and the set-up controller of team 2 against team 1.
class ManagerWorld : private MemoryMedia, public ManagedLand {
public:
    static constexpr int kTeam = 2;

    explicit ManagerWorld(int level = 3, int techLevel = 5, int32_t strategy = 0x20,
                          int32_t aggressiveness = 3, int columns = 40, int rows = 40)
        : ManagedLand(columns, rows) {
        factory = AddFactory(kTeam, Point(640, 640));
        controller = AddController(kTeam, techLevel);
        controller->strategyBits = strategy;
        controller->aggressiveness = aggressiveness;
        controller->Setup(level);
    }

    PoolUnit* AddPoolUnit(int team, const Point& at, const ChassisTemplate* chassis, int kind = 1) {
        return List(std::make_unique<PoolUnit>(world.NewSimId(team), at, chassis, kind));
    }
    // A unit of the controller's team that a squad may take (its owner is the controller).
    PoolUnit* AddOwned(const Point& at, char role = 'a', int fire = 10) {
        PoolUnit* unit = AddPoolUnit(kTeam, at, kit.Role(role));
        unit->fire = fire;
        unit->SetOwner(controller);
        return unit;
    }
    void Refresh() { controller->Grid()->Refresh(kTeam, *controller); }
    // Orders (pending and queued) with that purpose.
    std::vector<const DesignRules*> Orders(int32_t purpose) const {
        std::vector<const DesignRules*> out;
        for (ListNode* n = controller->buildOrders.First(); n; n = controller->buildOrders.Next(n))
            if (AIController::OrderPurpose(*static_cast<DesignRules*>(n)) == purpose)
                out.push_back(static_cast<DesignRules*>(n));
        return out;
    }

    FakeSquadRules rules;
    ManagedFactory* factory;
    AIController* controller;
};
