#pragma once
// A map object whose kind, design, destruction, docks and stored amount a test sets, and which
// counts its updates and deletions and keeps the orders it is given.
#include <functional>
#include <vector>

#include "core/Point.h"
#include "map/CollisionFilter.h"
#include "objects/GameObject.h"

struct IssuedOrder {
    int code;
    int flags;
    Point p;
};

// A player's order (IssueOrder) as the object got it.
struct PlayerOrder {
    int code;
    int flags;
    Point p;
    SimId target;
};

class TestObject : public GameObject {
public:
    // Kinds 2 and 4 of the filter mark a footprint; the object's size is twice the radius.
    TestObject(int team, int serial, const Point& at, int kind = 1, int radius = 16, int layer = 0,
               int filterKind = 2)
        : GameObject(at, 0, Size(2 * radius, 2 * radius), nullptr, 0,
                     CollisionFilter(filterKind, layer, 0, 0, 0), SimId(team, serial), 100, 1),
          kind(kind) {}
    ~TestObject() override {
        if (deletions) ++*deletions;
    }

    int GetKind() override { return kind; }
    int IsDestroyed() override { return destroyed; }
    void Update(int elapsedMs) override {
        ++updates;
        if (onUpdate) onUpdate(*this, elapsedMs);
    }
    VehicleDesign* GetDesign() override { return design; }
    void ExecuteOrder(int code, int flags, const Point& p, const SimId&, int) override {
        orders.push_back({code, flags, p});
    }
    void IssueOrder(int code, int flags, const Point& p, const SimId& target) override {
        given.push_back({code, flags, p, target});
        GameObject::IssueOrder(code, flags, p, target);
    }
    int FindFreeDock(GameObject*, int) override { return freeDock; }
    int GetStored() override { return stored; }
    int CountActiveWeapons() override { return weapons; }
    int IsSelectable() override { return selectable; }
    int HasSpecialAction() override { return special; }
    int IsDetectableA() override { return detectable[0]; }
    int IsDetectableB() override { return detectable[1]; }
    int IsDetectableC() override { return detectable[2]; }
    void SpecialAction() override { ++specialActions; }
    void DeployNow() override { ++deploys; }
    void UndeployNow() override { ++undeploys; }
    void TakeDamage(WeaponTemplate*, const SimId&, EffectTemplate*, int amount) override {
        hits.push_back(amount);
    }
    void ChangeTeam(const ValueTriple& record, int) override { newTeams.push_back(record.first); }
    int IsInvulnerable() override { return invulnerable; }
    void Draw(ScreenBase& view) override {
        ++draws;
        GameObject::Draw(view);
    }
    void DrawSensed(ScreenBase& view, const ShadeTable* table) override {
        ++sensedDraws;
        GameObject::DrawSensed(view, table);
    }
    void ToggleInvulnerable() override { invulnerable = invulnerable ? 0 : 1; }

    int kind;
    int destroyed = 0;
    int updates = 0;
    int freeDock = 0;
    int stored = 0;
    VehicleDesign* design = nullptr;
    int* deletions = nullptr;
    std::vector<IssuedOrder> orders;
    std::vector<PlayerOrder> given;
    int weapons = 0;
    int selectable = 1;
    int special = 0;
    int specialActions = 0;
    int deploys = 0;
    int undeploys = 0;
    std::vector<int> hits;
    int draws = 0;
    int detectable[3] = {};
    int sensedDraws = 0;
    std::vector<int> newTeams;
    std::function<void(TestObject&, int)> onUpdate;
};
