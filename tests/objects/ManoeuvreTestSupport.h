#pragma once
// What the manoeuvre tests share: armed units of the kit on a land of 30 by 30 cells, a
// controller that notes its events, a queued repair goal, and squads of units that note the
// orders they are given.
#include <algorithm>
#include <memory>
#include <vector>

#include "core/EventReceiver.h"
#include "core/SquadDirectory.h"
#include "objects/ObjectLand.h"
#include "objects/ObjectTestSupport.h"
#include "objects/ObjectWorld.h"
#include "objects/SimTestSupport.h"
#include "objects/Squad.h"

class Events : public EventReceiver {
public:
    void OnEvent(int32_t kind, void*, void*) override { kinds.push_back(kind); }
    std::vector<int> kinds;
};

// The economy's repair goal, as far as the queue asks.
class RepairWait : public FieldsGoal {
public:
    explicit RepairWait(const SimId& owner) : FieldsGoal(owner, 5, GoalFields{}) {}
    int IsRepair() override { return 1; }
};

class UnitField {
public:
    // The goal attacks the unit, or (while it is unseen) approaches its centre.
    static bool Aims(Goal* goal, GameObject* at) {
        return goal && (goal->GetTarget() == at || goal->GetLocation() == at->GetCentre());
    }

    // An armed unit of the team (range 100), listed in the World.
    Sim* Unit(int team, const Point& at) {
        std::unique_ptr<GameObject> owned =
            kit.MakeSim(team, ++serial, at, {kit.Weapon({.range = 100})});
        Sim* raw = static_cast<Sim*>(owned.get());
        world.AddSim(owned);
        // Every team sees round its units.
        world.sight.AddViewer(raw, raw->GetPosition());
        units.push_back(raw);
        return raw;
    }

    ObjectLand land{30, 30};
    FakeObjectWorld& world = land.world;
    SimKit kit;
    std::vector<Sim*> units;
    int serial = 0;
};

// A unit that notes the orders it is given and answers a settable last attacker.
class Trooper : public TestUnit {
public:
    using TestUnit::TestUnit;
    struct Order {
        int code;
        int flags;
        Point p;
        SimId target;
    };
    void ExecuteOrder(int code, int flags, const Point& p, const SimId& target, int) override {
        orders.push_back({code, flags, p, target});
    }
    void IssueOrder(int code, int flags, const Point& p, const SimId& target) override {
        issued.push_back({code, flags, p, target});
    }
    int CanEngage(GameObject*) override { return engages; }
    GameObject* GetLastAttacker() override { return attacker; }
    void SetLastAttacker(GameObject* a) override { attacker = a; }
    int GetEngageRange() override { return 100; }
    int IsMobile() override { return mobile; }
    int GetBreakOffPercent() override { return breakOff; }
    // As a unit's: its group's while it is in one.
    int GetMoveDelay() override {
        GameObject* group = TheObjectWorld().FindGroup(groupId);
        return group ? group->GetMoveDelay() : ownDelay;
    }
    int Attacks(const SimId& id) const {
        return static_cast<int>(std::count_if(orders.begin(), orders.end(), [&](const Order& o) {
            return o.code == 2 && o.target == id;
        }));
    }

    // Orders executed (as from the network or a manoeuvre) and issued (as by a group).
    std::vector<Order> orders;
    std::vector<Order> issued;
    int engages = 0;
    GameObject* attacker = nullptr;
    int breakOff = 0;
    int mobile = 1;
    int ownDelay = 10;
};

// A squad of team 1 whose members join through their team's directory.
class SquadField {
public:
    class Directory : public SquadDirectory {
    public:
        explicit Directory(Squad& squad) : squad(squad) {}
        SquadMembership* FindSquad(int32_t id) override {
            return id == squad.Id() ? &squad : nullptr;
        }
        Squad& squad;
    };

    Trooper* Member(const Point& at, bool current) {
        Trooper* t = Make(1, at);
        t->SetOwner(&directory);
        squad.AddMember(*t, current ? 1 : 0);
        return t;
    }
    Trooper* Enemy(const Point& at) { return Make(2, at); }
    Trooper* Make(int team, const Point& at) {
        owned.push_back(std::make_unique<Trooper>(team, 100 + static_cast<int>(owned.size()), at));
        world.Add(owned.back().get(), true);
        return owned.back().get();
    }

    ObjectLand land{30, 30};
    FakeObjectWorld& world = land.world;
    Squad squad{1};
    Directory directory{squad};
    std::vector<std::unique_ptr<Trooper>> owned;
};
