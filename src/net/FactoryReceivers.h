#pragma once
// The factory's part of the command receivers: the mirror of another machine's factory replays
// its unfold states, products, roll-out and refits (kinds 1, 3, 4, 5, 27, 38) and its ledger (55),
// and the owner counts the copies' answers (39). Anything that is not a factory building is left
// alone.
#include "net/CommandReceivers.h"

class FactoryReceivers : public CommandReceivers {
public:
    void ApplyUnfoldState(GameObject* factory, int state) override;
    void ApplyNewProduct(GameObject* factory, const char* designText, const SimId& unitId,
                         int colour) override;
    void MoveProduct(GameObject* factory, const Point& p) override;
    void ReleaseProduct(GameObject* factory) override;
    void RefitFactory(GameObject* factory, const char* designText) override;
    void ReserveExit(GameObject* factory, const Point& p) override;
    void CountExitAck(GameObject* factory) override;
    void ApplyLedger(GameObject* factory, int32_t cargo, int32_t store, int32_t credit) override;
};
