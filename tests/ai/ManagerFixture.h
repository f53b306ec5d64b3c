#pragma once
// The managers' test bed: the computer opponents' test World (AIFixture.h), squad rules whose
// manoeuvres keep what the managers set (centre, spacing, target, search mode, mining target),
// and pool units that answer for deploying, landing and their own manoeuvres.
#include <memory>
#include <vector>

#include "ai/AIController.h"
#include "ai/AIFixture.h"
#include "ai/InfluenceGrid.h"
#include "ai/SquadRules.h"
#include "catalogue/DesignRules.h"
#include "objects/LocationGoal.h"
#include "objects/ManoeuvreList.h"
#include "objects/SquadManoeuvre.h"
#include "world/World.h"

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
    void SetRepairReturn(GameObject& repairer, const Point& p) override {
        repairer.returnPoint = p;
    }
};

// A unit with manoeuvres of its own that deploys, lands and docks as a test says.
class PoolUnit : public AIUnit {
public:
    using AIUnit::AIUnit;
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

// A World with a factory and the set-up controller of team 2 against team 1.
class ManagerWorld : public AIWorld {
public:
    static constexpr int kTeam = 2;

    explicit ManagerWorld(int level = 3, int techLevel = 5, int32_t strategy = 0x20,
                          int32_t aggressiveness = 3, int columns = 40, int rows = 40)
        : AIWorld(columns, rows) {
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
    FakeFactory* factory;
    AIController* controller;
};
