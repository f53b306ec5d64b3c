#pragma once
// A World on a small open land for the computer opponents' tests: units that answer kind,
// design, firepower and health and record their orders, a factory with a job list behind the
// controller's factory interface, chassis records of every role the controller sorts by, and
// helpers that list objects the way the World does.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ai/AIController.h"
#include "catalogue/CatalogueMedia.h"
#include "catalogue/ChassisTemplate.h"
#include "catalogue/DeployingChassisTemplate.h"
#include "catalogue/PartTemplate.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/VehicleDesign.h"
#include "core/Bitmap.h"
#include "core/Random.h"
#include "core/Sound.h"
#include "core/SpriteSet.h"
#include "objects/FactoryProduction.h"
#include "objects/GameObject.h"
#include "objects/ObjectWorld.h"
#include "world/ObjectNode.h"
#include "world/TestObject.h"
#include "world/World.h"
#include "world/WorldLand.h"

struct AIOrder {
    int code;
    int flags;
    Point p;
    SimId target;
};

// A unit of a test: its design is its own, its firepower and health are set.
class AIUnit : public TestObject {
public:
    AIUnit(const SimId& id, const Point& at, const ChassisTemplate* chassis, int kind = 1)
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
    std::vector<AIOrder> given;
};

// The team's factory: a job list, the unfolding and the credit a test sets.
class FakeFactory : public AIUnit, public FactoryProduction {
public:
    FakeFactory(const SimId& id, const Point& at) : AIUnit(id, at, nullptr, 4) {}
    int GetCargo() override { return cargo; }
    int AddCargo(int n) override {
        cargo += n;
        return n;
    }
    int Deposit(int n) override {
        stored += n;
        return n;
    }
    int IsMoving() override { return busy; }
    GameObject* AsObject() override { return this; }
    VehicleDesign* CurrentJob() override { return current.get(); }
    int32_t RemainingTime() override { return 0; }
    int QueuedJobCount() override { return 0; }
    VehicleDesign* QueuedJob(int) override { return nullptr; }
    int QueueJob(std::unique_ptr<VehicleDesign> job, int front) override {
        ++queued;
        queuedFront = front;
        if (!current) current = std::move(job);
        return 1;
    }
    int CancelJob(VehicleDesign* job) override {
        if (job || !current || refuseCancel) return 0;
        current.reset();
        ++cancels;
        return 1;
    }
    int HasProduct() override { return 0; }
    int ProductionState() override { return current ? 1 : 0; }
    int IsProductionPaused() override { return 0; }
    void SetProductionPaused(int) override {}
    int32_t GetCredit() override { return credit; }
    int32_t GetStore() override { return stored; }
    void AddResources(int32_t cargoAmount, int32_t creditAmount) override {
        addedCargo += cargoAmount;
        addedCredit += creditAmount;
    }
    int UnfoldState() override { return unfold; }
    void StepUnfold() override { ++unfoldSteps; }
    Point UnfoldedCentre() override { return position + Point(32, -32); }
    Point UnfoldedCentreAt(const Point& p) override { return p + Point(32, -32); }
    Size UnfoldedSize() override { return Size(160, 160); }
    int CanUnfoldAt(const Point&) override { return 1; }
    int IsBuildAreaFreeAt(const Point&) override { return 1; }
    int IsBuildAreaFree() override { return 1; }
    int HasProductReady() override { return 0; }
    GameObject* MinedDeposit() override { return nullptr; }
    int FindUnloadDock() override { return -1; }
    Point DockPoint(int) override { return position; }
    int32_t ReceiveDelivery(int32_t, int32_t) override { return 0; }

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

// Records built in a test load no pictures or sounds.
class NoCatalogueMedia : public CatalogueMedia {
public:
    NoCatalogueMedia() { SetCatalogueMedia(this); }
    ~NoCatalogueMedia() override { SetCatalogueMedia(nullptr); }
    std::unique_ptr<SpriteSet> LoadGrid(const std::string&) override { return nullptr; }
    std::unique_ptr<SpriteSet> LoadColumn(const std::string&) override { return nullptr; }
    std::unique_ptr<SpriteSet> LoadRow(const std::string&) override { return nullptr; }
    std::unique_ptr<SpriteSet> OpenStreamed(const std::string&) override { return nullptr; }
    std::unique_ptr<Bitmap> LoadBitmap(const std::string&) override { return nullptr; }
    std::unique_ptr<Sound> MakeSound(int32_t) override { return nullptr; }
};

// Chassis records of every role the controller sorts by, a structure chassis per type 0..5 and
// one drive, listed in the catalogue while they live so the designer can build from them.
class AIKit {
public:
    AIKit() {
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
    ~AIKit() {
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

    NoCatalogueMedia media;
    std::vector<std::unique_ptr<ChassisTemplate>> chassis;
    std::vector<std::unique_ptr<DeployingChassisTemplate>> structures;
    std::unique_ptr<PartTemplate> drive;
};

// A World on an open land of 32-pixel cells (sight cells of 64) with nothing on it.
class AIWorld {
public:
    explicit AIWorld(int columns = 24, int rows = 20) {
        LoadLand(world, files, OpenLand(columns, rows));
        SeedRandom(7);
    }
    ~AIWorld() { world.ClearObjects(); }

    AIUnit* AddUnit(int team, const Point& at, char role = 'a', int fire = 10) {
        auto unit = std::make_unique<AIUnit>(world.NewSimId(team), at, kit.Role(role));
        unit->fire = fire;
        return List(std::move(unit));
    }
    AIUnit* AddStructure(int team, const Point& at, int code) {
        return List(std::make_unique<AIUnit>(world.NewSimId(team), at, kit.Structure(code), 7));
    }
    template <class T>
    T* List(std::unique_ptr<T> object) {
        T* raw = object.get();
        ObjectNode* node = new ObjectNode(std::move(object));
        world.sims[raw->GetTeam()].PushFront(node);
        world.ReindexObject(raw->id);
        world.NoteTeamSimsChanged(raw->GetTeam());
        return raw;
    }
    FakeFactory* AddFactory(int team, const Point& at) {
        auto factory = std::make_unique<FakeFactory>(world.NewSimId(team), at);
        FakeFactory* raw = factory.get();
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
    AIKit kit;
};
