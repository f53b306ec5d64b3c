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
    int FindFreeDock(GameObject*, int) override { return freeDock; }
    int GetStored() override { return stored; }

    int kind;
    int destroyed = 0;
    int updates = 0;
    int freeDock = 0;
    int stored = 0;
    VehicleDesign* design = nullptr;
    int* deletions = nullptr;
    std::vector<IssuedOrder> orders;
    std::function<void(TestObject&, int)> onUpdate;
};
