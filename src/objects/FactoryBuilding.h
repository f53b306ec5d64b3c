#pragma once
// A team's factory: a unit that drives about folded, unfolds where it stops, draws ore from a
// deposit under it, pays for queued designs from its cargo, credit and store, counts their build
// time down, makes each unit inside itself and rolls it out through its door to a reserved
// point. Every step the other machines must see goes out as a factory command, and the mirrored
// copies replay them through the mirror operations.
//
// Split by concern: FactoryBuilding.cpp (resources, production, cancelling, mirrors, records)
// and FactoryUnfolding.cpp (unfold states, geometry, mining, self-repair, explosions, drawing).
#include <cstdint>
#include <memory>

#include "core/Animation.h"
#include "core/NodeList.h"
#include "core/Point.h"
#include "core/SimId.h"
#include "core/Size.h"
#include "core/Timer.h"
#include "objects/FactoryProduction.h"
#include "objects/Sim.h"

class BuildingTemplate;
class EffectTemplate;

class FactoryBuilding : public Sim, public FactoryProduction {
public:
    static constexpr int32_t kCapacity = 100000;
    static constexpr int kFoldedRadius = 48;
    static constexpr int kUnfoldedRadius = 80;
    static constexpr int32_t kMiningPeriodMs = 500;
    static constexpr int32_t kMiningAmount = 10;
    static constexpr int32_t kRepairPeriodMs = 500;
    static constexpr int32_t kRepairAmount = 5;
    static constexpr int32_t kAlertPeriodMs = 10000;
    static constexpr int kOpenFacing = 14;
    static constexpr int kBodyFps = 10;
    static constexpr int kDoorFps = 2;
    static constexpr int32_t kMoveDelayMs = 65;
    // Where a product rolls out to, from the factory's position; the unfolded centre.
    static const Point kRollOutOffset;
    // The side of the square round the roll-out point that must be open ground for the factory
    // to unfold (its build area), in pixels.
    static constexpr int kBuildArea = 128;
    static const Point kUnfoldedOffset;
    // The docks, from the factory's position, with their flags.
    struct DockPlace {
        int flags;
        Point offset;
    };
    static const DockPlace kDocks[3];
    // Amounts read from records and peers stay within these.
    static constexpr int32_t kMaxRecordAmount = 100000;

    // Takes the design; the template is the catalogue's. The effect record is not used.
    FactoryBuilding(const Point& position, const SimId& id, BuildingTemplate* buildingTemplate,
                    std::unique_ptr<VehicleDesign> design, EffectTemplate* effect);
    ~FactoryBuilding() override;

    // --- FactoryProduction
    GameObject* AsObject() override { return this; }
    VehicleDesign* CurrentJob() override;
    int32_t RemainingTime() override { return remainingTime; }
    int QueuedJobCount() override { return jobs.Count(); }
    VehicleDesign* QueuedJob(int index) override;
    int QueueJob(std::unique_ptr<VehicleDesign> job, int front) override;
    int CancelJob(VehicleDesign* job) override;
    int HasProduct() override { return product ? 1 : 0; }
    int ProductionState() override { return productionState; }
    int IsProductionPaused() override { return productionPaused; }
    void SetProductionPaused(int flag) override { productionPaused = flag; }
    int32_t GetCredit() override { return credit; }
    int32_t GetStore() override { return store; }
    void AddResources(int32_t cargoAmount, int32_t creditAmount) override;
    int UnfoldState() override { return unfoldState; }
    void StepUnfold() override;
    Point UnfoldedCentre() override { return position + kUnfoldedOffset; }
    Point UnfoldedCentreAt(const Point& p) override { return p + kUnfoldedOffset; }
    Size UnfoldedSize() override;
    int CanUnfoldAt(const Point& p) override;
    int IsBuildAreaFreeAt(const Point& p) override;
    int IsBuildAreaFree() override { return IsBuildAreaFreeAt(position); }
    int HasProductReady() override { return IsMining(); }
    GameObject* MinedDeposit() override;
    int FindUnloadDock() override { return FindFreeDock(nullptr, kUnloadDock); }
    Point DockPoint(int index) override { return GetDockPoint(index); }
    int32_t ReceiveDelivery(int32_t n, int32_t factor) override;

    // --- Production (FactoryBuilding.cpp)
    void Update(int elapsedMs) override;
    void UpdateProduction(int elapsedMs);
    int Deposit(int n) override;
    int Withdraw(int n) override;
    int AddCargo(int n) override;
    int TakeCargo(int n) override;
    int GetStored() override;
    int GetStoredPercent() override;
    int GetKind() override { return 4; }
    int IsMobile() override { return 0; }
    void MoveTo(const Point& p) override;
    void BuildManoeuvreList() override {}
    void Parse(char key, const char* text) override;
    void Write(ResourceFile& file, char* buffer, int bufferSize) override;
    // Takes the hardpoints of the design a text stands for (those the factory's chassis has)
    // and rebuilds the parts; 0 (nothing changes) when the text names no design with a chassis.
    int RefitFromText(const char* text);
    // The mirror operations the command executor calls on the copies.
    void ApplyNewProduct(const char* code, const SimId& productId, int colour);
    void MoveProduct(const Point& p);
    void ReleaseProduct();
    void ReserveExit(const Point& p);
    void CountExitAck() { ++acknowledgements; }
    // The owner tells the copies its cargo, store and credit whenever one of them changed since
    // it last did; the copies take them as they come (ApplyLedger) and compute none themselves.
    void AnnounceLedger();
    void ApplyLedger(int32_t cargoAmount, int32_t storeAmount, int32_t creditAmount);

    // --- Unfolding, mining, drawing (FactoryUnfolding.cpp)
    virtual int GetUnfoldedRadius() { return kUnfoldedRadius; }
    void StepUnfoldAnimation();
    void ApplyUnfoldState(int state);
    void StepMining();
    void StepSelfRepair();
    int IsMining() { return unfoldState == kOpen && MinedDeposit() ? 1 : 0; }
    int IsFolded() const { return unfoldState == 0 || unfoldState == 5 || unfoldState == 6; }
    int InBodyState() const { return unfoldState >= 2 && unfoldState <= 6; }
    int InDoorState() const { return unfoldState >= 7 && unfoldState <= 9; }
    int InOpenState() const { return unfoldState == kOpen || InDoorState(); }
    Rect GetBounds() override;
    Size GetSize() override;
    Point GetCentre() override;
    int GetRadius() override;
    int GetFootprintRadius() override { return kFoldedRadius; }
    Point GetDrawOrigin() override { return position; }
    Point GetMountOffset(int index) override;
    int StepMovement() override;
    void UpdateParts(int elapsedMs) override;
    void RunManoeuvreList() override;
    int IsWaiting() override;
    int IsMoving() override;
    int FindFreeDock(GameObject* object, int flags) override;
    void Explode(int amount, EffectTemplate* explosion, const Point& offset) override;
    void Draw(ScreenBase& view) override;
    void DrawParts(ScreenBase& view) override;
    void DrawSensed(ScreenBase& view, const ShadeTable* table) override;
    void DrawUnder(ScreenBase& view) override;

    // Not owned: the catalogue's.
    BuildingTemplate* buildingTemplate;
    SimId minedDeposit;
    int32_t store = 0;
    int32_t storeCapacity = kCapacity;
    Timer miningTimer{kMiningPeriodMs};
    // VehicleDesign nodes, owned; the last is built next.
    NodeList jobs;
    // Owned until the product is made, which takes it.
    std::unique_ptr<VehicleDesign> currentJob;
    int32_t remainingTime = 0;
    std::unique_ptr<Sim> product;
    int32_t productWasFlying = 0;
    SimId exitReservation;
    Point rollOutPoint;
    int32_t productionState = 0;
    Animation bodyAnimation;
    Animation doorAnimation;
    int32_t unfoldState = 0;
    Point bodyDrawOffset;
    Point doorDrawOffset;
    Timer selfRepairTimer{kRepairPeriodMs};
    SimId carrierPartner;
    int32_t credit = 0;
    Timer alertTimer{kAlertPeriodMs};
    int32_t productionPaused = 0;
    int32_t exitAgreed = 1;
    // How long the finished product has waited at the door (production state 3) since it came
    // there or a standing friend was last asked off the roll-out square, in ms.
    int32_t doorWaitMs = 0;
    int32_t reservationPending = 0;
    int32_t acknowledgements = 0;
    // What the current job took from the resources, given back by a cancel.
    int32_t paidFirst = 0;
    int32_t paidSecond = 0;
    // The ledger last told to the copies; -1 before the first word.
    int32_t sentCargo = -1;
    int32_t sentStore = -1;
    int32_t sentCredit = -1;

private:
    // The product is out: it joins the World, and the carrier pairing runs.
    void PairCarrier(Sim* released, int queuePartner);
    // Drops the product inside (and its design), the exit reservation and an open door.
    void DropProduct();
    void DropReservation();
    // The sound of an animation, on the machine whose local team owns the factory.
    void PlayAnimationSound(int door);
    // The step of the roll-out (production state 4).
    void StepRollOut();
    void StepReserveAndOpen();
    // Asks a friend off the roll-out square once the product has waited at the door.
    void AskOffRollOut(GameObject* unit);
    void StepBuild(int elapsedMs);
    void StartJob();
};
