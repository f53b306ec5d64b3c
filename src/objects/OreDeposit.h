#pragma once
// An ore well (kind 9) that refills by itself: 1 unit per 500 ms, 3 once a minute has passed
// without a withdrawal. A factory standing on it draws from it. It never dies. In a network
// game only the host grows it; every change is sent as a change (kind 42).
#include <cstdint>

#include "core/Timer.h"
#include "map/ObjectKinds.h"
#include "objects/GameObject.h"

class OreDeposit : public GameObject {
public:
    static constexpr int32_t kGrowMs = 500;
    static constexpr int32_t kAnimMs = 100;
    static constexpr int32_t kRegrowMs = 60000;
    static constexpr int32_t kSlowGrowth = 1;
    static constexpr int32_t kFastGrowth = 3;
    // The depleted look, and the last frame of the deposit's pictures.
    static constexpr int32_t kDepletedFrame = 14;

    OreDeposit(const Point& position, const Size& size, SpriteSet* sprites,
               const CollisionFilter& filter, const SimId& id);
    ~OreDeposit() override;

    void Update(int elapsedMs) override;
    int Deposit(int n) override { return AddOre(n); }
    int Withdraw(int n) override { return TakeOre(n); }
    int GetStored() override { return amount; }
    int GetKind() override { return ObjectKind::kOreDeposit; }
    int IsDetectableC() override { return 1; }

    int AddOre(int n);
    // At most what it holds; any withdrawal returns it to slow growth.
    int TakeOre(int n);
    // Another machine's change (kind 42): added to this count as it is.
    void ApplyChange(int32_t change);

    int32_t amount = 0;
    Timer growTimer{kGrowMs};
    Timer animTimer{kAnimMs};
    int32_t animUp = 1;
    int32_t animStep = 0;
    Timer regrowTimer{kRegrowMs};
    int32_t growth = kSlowGrowth;

private:
    // 1 on the machine that grows the deposits: the host, or any machine outside a network game.
    int IsGrower();
    void AnnounceChange(int32_t change);
    void NoteWithdrawal();
};
