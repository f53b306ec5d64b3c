// The factory's resources, its production state machine, cancelling, the mirror operations of
// the other machines' copies and its record lines.
#include "objects/FactoryBuilding.h"
#include "objects/ClearWayManoeuvre.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "catalogue/BuildingTemplate.h"
#include "catalogue/ChassisTemplate.h"
#include "catalogue/VehicleDesign.h"
#include "core/EventReceiver.h"
#include "core/ResourceFile.h"
#include "core/SpriteSet.h"
#include "core/Vector.h"
#include "objects/CommandBuffer.h"
#include "objects/ObjectWorld.h"
#include "objects/RecordLines.h"
#include "objects/SelectionMarker.h"
#include "objects/SimBody.h"
#include "objects/SimFactory.h"
#include "objects/SquadManoeuvre.h"
#include "objects/TargetGoal.h"
#include "objects/UnitMakers.h"

const Point FactoryBuilding::kRollOutOffset(-128, 128);
const Point FactoryBuilding::kUnfoldedOffset(32, -32);
const FactoryBuilding::DockPlace FactoryBuilding::kDocks[3] = {
    {2, Point(0, -128)}, {1, Point(-64, -96)}, {1, Point(128, 32)}};

namespace {

constexpr int kCarrierChassis = 'g';
constexpr int kWreckKind = 3;
constexpr int kDoorOpening = 7;
constexpr int kDoorOpen = 8;
constexpr int kDoorClosing = 9;
constexpr int kLowLayer = 1;
constexpr int kAirLayer = 2;
constexpr int32_t kWholeWreck = 100000;
constexpr int kReclaimRange = 16;
constexpr double kRollOutStep = 4.0;
constexpr double kFacingAngle = 0.39269875;
constexpr int kClearWayPriority = 5;
// How long a product waits at the door before a friend standing in a line on the roll-out square
// is asked aside, and again between such asks: a line on the move clears the square by itself
// well within it, and a friend asked aside has the time to take its step.
constexpr int32_t kLineWaitMs = 5000;
constexpr int kRetaliatePriority = 3;

// A decimal number at the start of the text, held to [lowest, highest]; 0 when none.
int ReadClamped(const char* text, int32_t lowest, int32_t highest, int32_t& out) {
    int32_t v = 0;
    if (ReadRecordNumbers(text, &v, 1) != 1) return 0;
    out = std::clamp(v, lowest, highest);
    return 1;
}

// The design a text stands for, or null when it names no chassis: a code from a file or a peer
// counts only then.
std::unique_ptr<VehicleDesign> DesignFrom(const char* text) {
    if (!text || !*text) return nullptr;
    auto design = std::make_unique<VehicleDesign>(text);
    if (!design->chassis) return nullptr;
    return design;
}

}  // namespace

FactoryBuilding::FactoryBuilding(const Point& position, const SimId& id,
                                 BuildingTemplate* buildingTemplate,
                                 std::unique_ptr<VehicleDesign> design, EffectTemplate*)
    : Sim(position, id, std::move(design)),
      buildingTemplate(buildingTemplate),
      bodyAnimation(buildingTemplate ? buildingTemplate->bodyAnimation.get() : nullptr),
      doorAnimation(buildingTemplate ? buildingTemplate->doorAnimation.get() : nullptr) {
    SetCargoCapacity(kCapacity);
    moveDelay = kMoveDelayMs;
    if (buildingTemplate) {
        spriteSet = buildingTemplate->buildingPictures.get();
        bodyDrawOffset = buildingTemplate->bodyOffset;
        doorDrawOffset = buildingTemplate->doorOffset;
        damage.SetMax(buildingTemplate->hitPoints);
    }
    if (spriteSet) selectionMarker->SetSize(spriteSet->SizeOf(0));
    miningTimer.Start();
    ClearManoeuvreList();
    UnitMakers& makers = TheObjectWorld().Makers();
    if (auto clearWay = makers.MakeManoeuvre(static_cast<int>(ManoeuvreType::ClearWay),
                                             ManoeuvreArguments{1, 0, 0})) {
        clearWay->SetPriority(kClearWayPriority);
        AddManoeuvre(clearWay.release());
    }
    if (auto retaliate = makers.MakeManoeuvre(static_cast<int>(ManoeuvreType::Retaliate),
                                              ManoeuvreArguments{})) {
        retaliate->SetPriority(kRetaliatePriority);
        AddManoeuvre(retaliate.release());
    }
    docks.DeleteAll();
    for (const DockPlace& dock : kDocks)
        AppendDock(dock.flags, dock.offset);
    selfRepairTimer.Start();
}

// The copies' factories go with this one: its placeholder leaves the grid without a word to
// them.
FactoryBuilding::~FactoryBuilding() {
    jobs.DeleteAll();
    product.reset();
    currentJob.reset();
    if (!exitReservation.IsNull()) TheObjectWorld().MoveReservation(exitReservation, nullptr);
}

// --- Resources

int FactoryBuilding::Deposit(int n) {
    int added = n;
    if (static_cast<int64_t>(store) + n > storeCapacity) {
        added = storeCapacity - store;
        store = storeCapacity;
    } else {
        store += n;
    }
    AnnounceLedger();
    return added;
}

int FactoryBuilding::Withdraw(int n) {
    int taken = 0;
    if (credit > 0) {
        const int fromCredit = std::min(credit, n);
        credit -= fromCredit;
        taken += fromCredit;
    }
    const int fromStore = std::clamp(n - taken, 0, std::max(store, 0));
    store -= fromStore;
    AnnounceLedger();
    return taken + fromStore;
}

int FactoryBuilding::AddCargo(int n) {
    const int added = Sim::AddCargo(n);
    AnnounceLedger();
    return added;
}

int FactoryBuilding::TakeCargo(int n) {
    const int taken = Sim::TakeCargo(n);
    AnnounceLedger();
    return taken;
}

// Every change goes out as it happens, so a copy holds what the owner held at each point of
// its stream: a payment when the job starts, a free job by sending nothing, a refund at once.
void FactoryBuilding::AnnounceLedger() {
    if (local != 1) return;
    if (cargo == sentCargo && store == sentStore && credit == sentCredit) return;
    ObjectWorld& world = TheObjectWorld();
    if (world.IsNetworkGame() != 1) return;
    world.Commands().SendFactoryLedger(this, cargo, store, credit);
    sentCargo = cargo;
    sentStore = store;
    sentCredit = credit;
}

void FactoryBuilding::ApplyLedger(int32_t cargoAmount, int32_t storeAmount, int32_t creditAmount) {
    cargo = std::clamp(cargoAmount, 0, std::max(cargoCapacity, 0));
    store = std::clamp(storeAmount, 0, std::max(storeCapacity, 0));
    credit = std::clamp(creditAmount, 0, kMaxRecordAmount);
}

int FactoryBuilding::GetStored() {
    return static_cast<int>(std::clamp<int64_t>(static_cast<int64_t>(store) + credit,
                                                std::numeric_limits<int>::min(),
                                                std::numeric_limits<int>::max()));
}

int FactoryBuilding::GetStoredPercent() {
    if (storeCapacity <= 0) return 0;
    return static_cast<int>(100.0 * store / storeCapacity + 0.5);
}

void FactoryBuilding::AddResources(int32_t cargoAmount, int32_t creditAmount) {
    AddCargo(cargoAmount);
    credit = static_cast<int32_t>(
        std::clamp<int64_t>(static_cast<int64_t>(credit) + creditAmount, 0, kMaxRecordAmount));
    AnnounceLedger();
}

int32_t FactoryBuilding::ReceiveDelivery(int32_t n, int32_t factor) {
    if (n <= 0 || factor <= 0) return 0;
    const int64_t amount = std::min<int64_t>(static_cast<int64_t>(n) * factor, kCapacity);
    return AddCargo(static_cast<int>(amount));
}

// --- Jobs

VehicleDesign* FactoryBuilding::CurrentJob() {
    if (product) return product->GetDesign();
    return currentJob.get();
}

VehicleDesign* FactoryBuilding::QueuedJob(int index) {
    return static_cast<VehicleDesign*>(jobs.At(index));
}

int FactoryBuilding::QueueJob(std::unique_ptr<VehicleDesign> job, int front) {
    if (!job) return 0;
    VehicleDesign* node = job.release();
    if (front == 1)
        jobs.PushFront(node);
    else
        jobs.PushBack(node);
    return 1;
}

int FactoryBuilding::CancelJob(VehicleDesign* job) {
    VehicleDesign* current = CurrentJob();
    if (!job || job == current) {
        if (!current || productionState == 4) return 0;
        if (unfoldState == kDoorOpening || unfoldState == kDoorOpen) unfoldState = kOpen;
        Deposit(paidSecond);
        AddCargo(paidFirst);
        paidFirst = 0;
        paidSecond = 0;
        currentJob.reset();
        product.reset();
        DropReservation();
        remainingTime = 0;
        productionState = 0;
        TheObjectWorld().Commands().SendFactoryJob(this, "", SimId(), 0);
        return 1;
    }
    for (ListNode* n = jobs.First(); n; n = jobs.Next(n)) {
        if (n != job) continue;
        delete n;
        carrierPartner = SimId();
        return 1;
    }
    return 0;
}

// --- The tick

void FactoryBuilding::Update(int elapsedMs) {
    ObjectWorld& world = TheObjectWorld();
    // 1, 2.
    Sim::Update(elapsedMs);
    StepMining();
    // 3.
    if (local == 1) {
        Goal* front = goals.Front();
        const int frontType = front ? front->GetType() : 0;
        const int target = static_cast<int>(GoalType::Target);
        if ((!front || frontType == target) && unfoldState == kFolded) {
            StepUnfold();
        } else if (front && frontType != target && unfoldState == kOpen) {
            StepUnfold();
            if (productionState == 3) productionState = 2;
        }
    }
    // 4.
    StepUnfoldAnimation();
    if (unfoldState != kFolded) {
        bodyAnimation.Tick();
        doorAnimation.Tick();
    }
    // 5, 6.
    UpdateProduction(elapsedMs);
    StepSelfRepair();
    // 7.
    if (local != 1 && reservationPending == 1) ReserveExit(rollOutPoint);
    // 8. A player who leaves lowers the count the owner waits for.
    if (acknowledgements >= world.PlayerCount() - 1) exitAgreed = 1;
}

void FactoryBuilding::UpdateProduction(int elapsedMs) {
    if (local != 1 || productionPaused == 1) return;
    switch (productionState) {
        case 0:
            StartJob();
            break;
        case 1:
            StepBuild(elapsedMs);
            break;
        case 2: {
            DropReservation();
            if (unfoldState != kOpen) break;
            rollOutPoint = position + kRollOutOffset;
            if (product) product->SetPosition(position);
            productionState = 3;
            doorWaitMs = 0;
            break;
        }
        case 3:
            doorWaitMs += elapsedMs;
            StepReserveAndOpen();
            break;
        case 4:
            StepRollOut();
            break;
        default:
            break;
    }
}

void FactoryBuilding::StartJob() {
    if (unfoldState != kOpen || jobs.IsEmpty()) return;
    auto* job = static_cast<VehicleDesign*>(jobs.Last());
    const int first = job->SumPartField5();
    const int second = job->SumPartField6();
    // The last job waits until it can be paid for, and blocks the others.
    if (GetCargo() < first || GetStored() < second) return;
    // 1.
    jobs.PopBack();
    currentJob.reset(job);
    // 2, 3.
    int64_t share = 0;
    if (static_cast<int64_t>(second) - credit > 0 && second > 0)
        share = (static_cast<int64_t>(second) - credit) * 100 / second;
    remainingTime = static_cast<int32_t>(static_cast<int64_t>(job->SumPartField7()) * share / 100);
    if (EventReceiver* controller = TheObjectWorld().ControllerOf(GetTeam()))
        remainingTime = controller->ScaleByLevel(remainingTime);
    // 4, 5.
    paidSecond = Withdraw(second);
    paidFirst = TakeCargo(first);
    productionState = 1;
}

void FactoryBuilding::StepBuild(int elapsedMs) {
    if (unfoldState != kOpen) return;
    remainingTime -= elapsedMs;
    if (remainingTime >= 1) return;
    remainingTime = 0;
    ObjectWorld& world = TheObjectWorld();
    const SimId productId = world.NewSimId(GetTeam());
    product = CreateSim(currentJob, productId, position);
    if (!product) {
        // A job without a chassis makes no unit: it is refunded and dropped, as a cancel would,
        // rather than rolling out nothing.
        Deposit(paidSecond);
        AddCargo(paidFirst);
        paidFirst = 0;
        paidSecond = 0;
        currentJob.reset();
        productionState = 0;
        return;
    }
    product->teamRecord.third = teamRecord.third;
    product->facing = kOpenFacing;
    if (product->GetCollision()->layer == kAirLayer) {
        product->GetCollision()->layer = kLowLayer;
        productWasFlying = 1;
    }
    world.Commands().SendFactoryJob(this, product->GetDesign()->CodeString(), productId,
                                    teamRecord.third);
    productionState = 2;
}

void FactoryBuilding::StepReserveAndOpen() {
    if (unfoldState != kOpen || !product) return;
    ObjectWorld& world = TheObjectWorld();
    GameObject* blocker = nullptr;
    // 1.
    if (exitReservation.IsNull()) {
        exitReservation = world.ReservePlace(product.get(), rollOutPoint, &blocker);
        if (!exitReservation.IsNull()) {
            world.Commands().SendFactoryExitPoint(this, rollOutPoint);
            if (world.IsNetworkGame() == 1) {
                exitAgreed = 0;
                acknowledgements = 0;
            }
        }
    }
    // 2.
    if (!exitReservation.IsNull() && exitAgreed == 1) {
        doorAnimation.PlayForward(kDoorFps);
        PlayAnimationSound(1);
        unfoldState = kDoorOpening;
        world.Commands().SendFactoryState(this, kDoorOpening);
        productionState = 4;
        if (product->body) product->body->StartAnimation();
        return;
    }
    // 3. One attack on a wreck in the way is enough: a goal each tick would pile up.
    if (!blocker || blocker == this) return;
    if (blocker->GetKind() == kWreckKind) {
        auto* front = dynamic_cast<TargetGoal*>(goals.Front());
        if (!front || front->targetId != blocker->id)
            AddGoal(std::make_unique<TargetGoal>(id, blocker->id, Point(), 1, 1), 1);
    } else if (doorWaitMs < kLineWaitMs || blocker->IsHostileTo(this) == 1) {
        ClearWayManoeuvre::AskAside(*this, *blocker, AsideCaller::Factory);
    } else {
        // The product has waited a while: the blocker and every other friend on the roll-out
        // square are asked off it, at most once in kLineWaitMs. The one the reservation names
        // is often boxed in by friends whose ways cross there, each waiting on the next, and
        // can step nowhere while they stay.
        doorWaitMs = 0;
        AskOffRollOut(blocker);
        const Rect square(rollOutPoint, Size(kBuildArea, kBuildArea), 'c');
        for (int team = 1; team < kTeamCount; ++team) {
            world.ForEachSim(team, [this, blocker, &square](GameObject* unit) {
                if (unit != blocker && unit != this && !unit->IsDestroyed() &&
                    unit->GetBounds().Intersect(square) != Rect())
                    AskOffRollOut(unit);
            });
        }
    }
}

// The one exception to "a unit on its errand is never pushed by a friend": once the product has
// waited at the door, a friend on its way that stands on the roll-out square behind another
// unit is neither idle nor blocked, and the shared push would pass it over, so a line or crowd
// of them, each waiting on the next, held the door for minutes. Such a one counts as blocked
// for this push alone (its errand keeps no failed route); the push replaces a step aside it
// still holds. An idle or blocked friend is pushed as the shared rule has it; an enemy, or a
// friend on the move, is left alone.
void FactoryBuilding::AskOffRollOut(GameObject* unit) {
    ObjectWorld& world = TheObjectWorld();
    if (unit->IsMobile() != 1 || unit->IsHostileTo(this) == 1) return;
    // Sent aside lately, by the door or anyone, it has its time to take that step, as
    // ClearWayManoeuvre::AskAside gives it: asked off here besides, a unit the door asked aside
    // every 4 s was pushed 26 times a minute at the square's edge.
    auto* friendSim = dynamic_cast<Sim*>(unit);
    if (friendSim && friendSim->friendWay.asideMs > 0) return;
    SimId ahead;
    unit->GetBlockingSim(ahead);
    Goal* front = unit->goals.Front();
    GameObject* standing = world.FindObject(ahead);
    const bool marked =
        front && standing && standing->IsMobile() == 1 && unit->goals.IsFrontBlocked() == 0;
    // A step aside the push replaces is gone after it; an errand stays to be unmarked.
    const bool errand = marked && front->movedAside == 0;
    if (marked) unit->goals.BlockFront();
    if (world.Makers().MoveBlockerAside(this, unit, 0, AsideCaller::Factory) != 1) return;
    if (friendSim) friendSim->friendWay.asideMs = Sim::kAsideMs;
    if (errand) unit->goals.Unblock(front);
}

void FactoryBuilding::StepRollOut() {
    if (unfoldState != kDoorOpen || !product) return;
    ObjectWorld& world = TheObjectWorld();
    // 1.
    const Point p = product->GetPosition();
    if (p.x > rollOutPoint.x && p.y < rollOutPoint.y) {
        const Vector step((facing - 8) * kFacingAngle, kRollOutStep);
        const Point next(p.x + static_cast<int>(std::floor(step.x + 0.5)),
                         p.y + static_cast<int>(std::floor(step.y + 0.5)));
        product->SetPosition(next);
        world.Commands().SendFactoryUnitPosition(this, next);
        return;
    }
    // 2.
    world.MoveReservation(exitReservation, product.get());
    exitReservation = SimId();
    Sim* released = product.get();
    std::unique_ptr<GameObject> owned = std::move(product);
    if (world.AddSim(owned) != 1) {
        // The World could not place it: it stays inside and is offered again next tick, so a
        // paid unit is never lost.
        product.reset(static_cast<Sim*>(owned.release()));
        return;
    }
    if (EventReceiver* controller = world.ControllerOf(GetTeam())) {
        SimId releasedId = released->id;
        controller->OnEvent(1, this, &releasedId);
    }
    world.Commands().SendFactoryReleaseUnit(this);
    if (productWasFlying == 1) {
        released->SetAirLayer();
        productWasFlying = 0;
    }
    world.Makers().MoveBlockerAside(this, released, 0, AsideCaller::Factory);
    PairCarrier(released, 1);
    currentJob.reset();
    paidFirst = 0;
    paidSecond = 0;
    doorAnimation.PlayBackward(kDoorFps);
    PlayAnimationSound(1);
    unfoldState = kDoorClosing;
    world.Commands().SendFactoryState(this, kDoorClosing);
    productionState = 0;
}

void FactoryBuilding::PairCarrier(Sim* released, int queuePartner) {
    VehicleDesign* design = released->GetDesign();
    if (!design || !design->chassis || design->chassis->role != kCarrierChassis) return;
    ObjectWorld& world = TheObjectWorld();
    if (carrierPartner.IsNull()) {
        carrierPartner = released->id;
        if (queuePartner == 1) {
            auto partner = std::make_unique<VehicleDesign>(design->clan);
            partner->CopyFrom(*design);
            partner->noCharge = 1;
            QueueJob(std::move(partner), 0);
        }
        return;
    }
    world.Makers().SetCarrierPartner(released, carrierPartner);
    if (GameObject* first = world.FindSim(carrierPartner))
        world.Makers().SetCarrierPartner(first, released->id);
    carrierPartner = SimId();
}

void FactoryBuilding::DropReservation() {
    if (exitReservation.IsNull()) return;
    TheObjectWorld().MoveReservation(exitReservation, nullptr);
    exitReservation = SimId();
    if (local == 1) TheObjectWorld().Commands().SendFactoryExitPoint(this, Point(-1, -1));
}

void FactoryBuilding::DropProduct() {
    if (unfoldState == kDoorOpening || unfoldState == kDoorOpen) unfoldState = kOpen;
    product.reset();
    productWasFlying = 0;
    DropReservation();
}

// --- Reclaiming wrecks on the way

void FactoryBuilding::MoveTo(const Point& p) {
    Sim::MoveTo(p);
    if (local != 1) return;
    ObjectWorld& world = TheObjectWorld();
    GameObject* wreck = world.FindNearestWreck(this, kReclaimRange);
    if (!wreck || wreck->IsDestroyed() == 1) return;
    const int amount = wreck->TakeCargo(kWholeWreck);
    if (amount <= 0) return;
    AddCargo(2 * amount);
    world.Commands().SendReclaimWreck(this, wreck->id, amount);
}

// --- The copies

void FactoryBuilding::ApplyNewProduct(const char* code, const SimId& productId, int colour) {
    if (productId.IsNull()) {
        DropProduct();
        return;
    }
    std::unique_ptr<VehicleDesign> design = DesignFrom(code);
    if (!design) return;
    // A product still held (its release never came) goes before the next.
    DropProduct();
    product = CreateSim(design, productId, position);
    if (!product) return;
    product->facing = kOpenFacing;
    if (product->GetCollision()->layer == kAirLayer) {
        product->GetCollision()->layer = kLowLayer;
        productWasFlying = 1;
    }
    product->teamRecord.third = colour;
    product->SetLocal(0);
}

void FactoryBuilding::MoveProduct(const Point& p) {
    if (product) product->SetPosition(p);
}

void FactoryBuilding::ReleaseProduct() {
    ObjectWorld& world = TheObjectWorld();
    reservationPending = 0;
    if (!product) {
        // Nothing to release: only the placeholder goes.
        if (!exitReservation.IsNull()) world.MoveReservation(exitReservation, nullptr);
        exitReservation = SimId();
        return;
    }
    world.MoveReservation(exitReservation, product.get());
    exitReservation = SimId();
    Sim* released = product.get();
    std::unique_ptr<GameObject> owned = std::move(product);
    if (world.AddSim(owned) != 1) return;
    if (productWasFlying == 1) {
        released->SetAirLayer();
        productWasFlying = 0;
    }
    PairCarrier(released, 0);
}

void FactoryBuilding::ReserveExit(const Point& p) {
    ObjectWorld& world = TheObjectWorld();
    // Any new word from the owner replaces the last: an old placeholder or a pending retry would
    // otherwise hold a place on the grid and answer for the wrong exit.
    if (!exitReservation.IsNull()) world.MoveReservation(exitReservation, nullptr);
    exitReservation = SimId();
    reservationPending = 0;
    if (p == Point(-1, -1)) return;
    rollOutPoint = p;
    exitReservation = world.ReservePlace(product.get(), p, nullptr);
    if (exitReservation.IsNull()) {
        reservationPending = 1;
        return;
    }
    world.Commands().SendFactoryExitClear(this);
}

// --- Refitting and records

int FactoryBuilding::RefitFromText(const char* text) {
    std::unique_ptr<VehicleDesign> fit = DesignFrom(text);
    VehicleDesign* own = GetDesign();
    if (!fit || !own || !own->chassis) return 0;
    const int count = std::min<int>(own->chassis->hardpointCount, VehicleDesign::kHardpoints);
    for (int h = 0; h < count; ++h)
        own->SetHardpoint(fit->hardpoints[h], h);
    BuildParts();
    return 1;
}

void FactoryBuilding::Write(ResourceFile& file, char* buffer, int bufferSize) {
    if (VehicleDesign* own = GetDesign())
        WriteRecordLine(file, buffer, bufferSize, "i = %s", own->CodeString());
    WriteRecordLine(file, buffer, bufferSize, "a = %d", credit);
    WriteRecordLine(file, buffer, bufferSize, "O = %d", store);
    if (VehicleDesign* job = CurrentJob())
        WriteRecordLine(file, buffer, bufferSize, "W = %d %s", remainingTime, job->CodeString());
    for (ListNode* n = jobs.First(); n; n = jobs.Next(n))
        WriteRecordLine(file, buffer, bufferSize, "H = %s",
                        static_cast<VehicleDesign*>(n)->CodeString());
    Sim::Write(file, buffer, bufferSize);
}

void FactoryBuilding::Parse(char key, const char* text) {
    int32_t n = 0;
    switch (key) {
        case 'i':
            RefitFromText(text);
            return;
        case 'a':
            if (ReadClamped(text, 0, kMaxRecordAmount, n) == 1) credit = n;
            return;
        case 'O':
            if (ReadClamped(text, 0, kMaxRecordAmount, n) == 1) Deposit(n);
            return;
        case 'W': {
            if (CurrentJob() || productionState != 0 || !text) return;
            const char* blank = std::strchr(text, ' ');
            if (!blank || ReadClamped(text, 0, std::numeric_limits<int32_t>::max(), n) == 0) return;
            std::unique_ptr<VehicleDesign> job = DesignFrom(blank + 1);
            if (!job) return;
            // The costs count as paid; a cancel refunds what the design costs.
            paidFirst = job->SumPartField5();
            paidSecond = job->SumPartField6();
            remainingTime = n;
            currentJob = std::move(job);
            productionState = 1;
            return;
        }
        case 'H':
            QueueJob(DesignFrom(text), 0);
            return;
        default:
            Sim::Parse(key, text);
    }
}
