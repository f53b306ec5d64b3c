#pragma once
// What the battle screen, the computer opponents, the economy goals and the scenario code ask of
// a team's factory: its production (the job in progress and its time left, the queue, the
// resources that pay for it, the hold flag), its unfolding and roll-out place, and its unloading
// dock. The factory building implements it; tests put a fake behind it. Reach it from a map
// object with AsFactoryProduction (null for anything that is not a factory) or from a team with
// TeamFactoryProduction.
#include <cstdint>
#include <memory>

#include "core/Point.h"
#include "core/Size.h"

class GameObject;
class VehicleDesign;

class FactoryProduction {
public:
    // The unfold states (the "exit state" of the computer opponents): 0 folded and movable,
    // 4 open (builds, mines, offers docks); 1 .. 3 unfolding, 5 and 6 folding, 7 .. 9 the door.
    static constexpr int kFolded = 0;
    static constexpr int kOpen = 4;
    // The dock flag bits the unloading units ask for.
    static constexpr int kUnloadDock = 2;

    virtual ~FactoryProduction() = default;

    // The factory as a map object (its cargo is the ore that pays a design's first cost).
    virtual GameObject* AsObject() = 0;

    // --- Production
    // The design being paid for and built, or null when idle.
    virtual VehicleDesign* CurrentJob() = 0;
    // Build time left for the current job, in ms.
    virtual int32_t RemainingTime() = 0;
    // The queued jobs in list order, index 0 the first; the LAST is built next. Null outside.
    virtual int QueuedJobCount() = 0;
    virtual VehicleDesign* QueuedJob(int index) = 0;
    // Takes the job. front 1: the job goes to the front of the list (built after all others);
    // 0: it is appended and built next. Answers 1.
    virtual int QueueJob(std::unique_ptr<VehicleDesign> job, int front) = 0;
    // Null: the current job (refunding what was paid); else a queued job. 1 done, 0 refused
    // (nothing to cancel, a job not queued here, or the product already rolling out).
    virtual int CancelJob(VehicleDesign* job) = 0;
    // 1 while a made unit is inside the factory (production states 2 .. 4).
    virtual int HasProduct() = 0;
    // The production state: 0 idle, 1 building (paid), 2 product made, 3 waiting for the exit,
    // 4 rolling out.
    virtual int ProductionState() = 0;
    // The hold flag: while 1 production does not advance.
    virtual int IsProductionPaused() = 0;
    virtual void SetProductionPaused(int flag) = 0;

    // --- Resources: cargo (GameObject::GetCargo) pays the first cost, credit then store the
    // second.
    virtual int32_t GetCredit() = 0;
    // The store alone, without the credit.
    virtual int32_t GetStore() = 0;
    // Adds to the cargo and to the credit.
    virtual void AddResources(int32_t cargo, int32_t credit) = 0;

    // --- Unfolding and placement
    virtual int UnfoldState() = 0;
    // The local request to unfold (state 0) or fold (state 4); nothing in other states.
    virtual void StepUnfold() = 0;
    // The centre of the unfolded factory: its position, or the given point, + (32, -32).
    virtual Point UnfoldedCentre() = 0;
    virtual Point UnfoldedCentreAt(const Point& p) = 0;
    virtual Size UnfoldedSize() = 0;
    // 1 when a factory standing at p could unfold there.
    virtual int CanUnfoldAt(const Point& p) = 0;
    // 1 when the square a product rolls out to (for a factory at p) is inside the map and
    // buildable.
    virtual int IsBuildAreaFreeAt(const Point& p) = 0;
    virtual int IsBuildAreaFree() = 0;
    // 1 while open on an ore deposit (the unit panel's "product ready" question).
    virtual int HasProductReady() = 0;
    // The ore deposit it draws from while open, or null (the "linked object").
    virtual GameObject* MinedDeposit() = 0;

    // --- Unloading
    // A free unloading dock (index into the factory's docks), or -1 while none is free or the
    // factory is not open.
    virtual int FindUnloadDock() = 0;
    // The map point of a dock (GameObject::GetDockPoint).
    virtual Point DockPoint(int index) = 0;
    // Takes a delivery of n units at the factor into the cargo; answers what was added (the
    // cargo stops at its capacity).
    virtual int32_t ReceiveDelivery(int32_t n, int32_t factor) = 0;
};

// The factory behind a map object, or null.
FactoryProduction* AsFactoryProduction(GameObject* object);
// The team's factory (ObjectWorld::TeamFactory), or null.
FactoryProduction* TeamFactoryProduction(int team);
