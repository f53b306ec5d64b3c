#pragma once
// What a computer opponent does with its team's factory beyond the operations every map object
// has: its job list, the unfolding that opens its exit, its credit. Cargo (ore) and store
// (second resource) are the object's own GetCargo and GetStored. The economy's factory
// provides it; tests use fakes.
#include <cstdint>
#include <memory>

class GameObject;
class VehicleDesign;

class FactoryControls {
public:
    virtual ~FactoryControls() = default;

    // The design of the job in progress, or null when there is none.
    virtual VehicleDesign* CurrentJobDesign() = 0;
    // 1 while the factory is busy (moving or folding).
    virtual int IsBusy() = 0;
    // 0 folded, 4 open (ready to roll out a product).
    virtual int UnfoldState() = 0;
    virtual void StepUnfold() = 0;
    // Takes the design as a job; front 1 puts it first, else last.
    virtual void QueueJob(std::unique_ptr<VehicleDesign> design, int front) = 0;
    // Cancels the job in progress; 1 when one was cancelled.
    virtual int CancelJob() = 0;
    // The paid amount (credit).
    virtual int32_t Credit() = 0;
    virtual void AddResources(int32_t cargo, int32_t credit) = 0;
    // The deposit it mines (the linked object), or null.
    virtual GameObject* MinedDeposit() = 0;
};

// The factory controls of a map object, or null when it has none.
FactoryControls* FactoryControlsOf(GameObject* object);
