#include "objects/OreDeposit.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "core/SpriteSet.h"
#include "objects/CommandBuffer.h"
#include "objects/ObjectWorld.h"

namespace {

// The frame for each animation step, by how much ore is left.
constexpr int32_t kRichFrames[14] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
constexpr int32_t kMiddleFrames[14] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6};
constexpr int32_t kPoorFrames[14] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3};

}  // namespace

OreDeposit::OreDeposit(const Point& position, const Size& size, SpriteSet* sprites,
                       const CollisionFilter& filter, const SimId& id)
    : GameObject(position, 0, size, sprites, 0, filter, id, 0, 1) {
    growTimer.Start();
    animTimer.Start();
    regrowTimer.Start();
}

OreDeposit::~OreDeposit() = default;

// Each deposit has two kinds of writers: the host grows it, and the owner of the factory at
// its feet takes from it. Each sends its change (kind 42) and every machine adds the others'
// changes to its own count; sums commute, so all counts meet once the messages are in.
int OreDeposit::IsGrower() {
    ObjectWorld& world = TheObjectWorld();
    return world.IsNetworkGame() != 1 || world.IsNetworkHost() == 1 ? 1 : 0;
}

void OreDeposit::AnnounceChange(int32_t change) {
    ObjectWorld& world = TheObjectWorld();
    if (change != 0 && world.IsNetworkGame() == 1) world.Commands().SendOreAmount(this, change);
}

void OreDeposit::ApplyChange(int32_t change) {
    amount = static_cast<int32_t>(std::clamp<int64_t>(static_cast<int64_t>(amount) + change,
                                                      std::numeric_limits<int32_t>::min(),
                                                      std::numeric_limits<int32_t>::max()));
    // A withdrawal elsewhere slows the growth here as one made here would.
    if (change < 0) NoteWithdrawal();
}

void OreDeposit::NoteWithdrawal() {
    regrowTimer.period = kRegrowMs;
    regrowTimer.Start();
    growth = kSlowGrowth;
}

void OreDeposit::Update(int /*elapsedMs*/) {
    if (regrowTimer.Expired()) {
        growth = kFastGrowth;
        // A timer that has expired stays expired whatever its period: it must leave that
        // state too, or the host would announce the amount on every update.
        regrowTimer.period = -1;
        regrowTimer.state = TimerState::Stopped;
    }
    if (growTimer.Expired()) {
        if (IsGrower() == 1) {
            amount += growth;
            AnnounceChange(growth);
        }
        growTimer.Start();
    }
    if (animTimer.Expired()) {
        const int last = spriteSet ? spriteSet->LastFrameIndex() : kDepletedFrame;
        if (animUp) {
            ++animStep;
            if (animStep >= last - 1) animUp = 0;
        } else {
            --animStep;
            if (animStep <= 0) animUp = 1;
        }
        const int step = std::clamp<int>(animStep, 0, 13);
        if (amount > 10000) {
            frame = kRichFrames[step];
        } else if (amount > 1000) {
            frame = kMiddleFrames[step];
        } else if (amount > 100) {
            frame = kPoorFrames[step];
        } else {
            frame = kDepletedFrame;
        }
        animTimer.Start();
    }
}

// Every machine fills its deposits alike when it builds the map: nothing to tell.
int OreDeposit::AddOre(int n) {
    amount += n;
    return n;
}

int OreDeposit::TakeOre(int n) {
    const int taken = std::clamp(n, 0, std::max(amount, 0));
    amount -= taken;
    NoteWithdrawal();
    AnnounceChange(-taken);
    return taken;
}
