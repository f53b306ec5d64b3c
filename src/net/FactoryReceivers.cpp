#include "net/FactoryReceivers.h"

#include "objects/FactoryBuilding.h"

namespace {

FactoryBuilding* AsBuilding(GameObject* object) {
    return dynamic_cast<FactoryBuilding*>(object);
}

}  // namespace

void FactoryReceivers::ApplyUnfoldState(GameObject* factory, int state) {
    if (FactoryBuilding* f = AsBuilding(factory)) f->ApplyUnfoldState(state);
}

void FactoryReceivers::ApplyNewProduct(GameObject* factory, const char* designText,
                                       const SimId& unitId, int colour) {
    if (FactoryBuilding* f = AsBuilding(factory)) f->ApplyNewProduct(designText, unitId, colour);
}

void FactoryReceivers::MoveProduct(GameObject* factory, const Point& p) {
    if (FactoryBuilding* f = AsBuilding(factory)) f->MoveProduct(p);
}

void FactoryReceivers::ReleaseProduct(GameObject* factory) {
    if (FactoryBuilding* f = AsBuilding(factory)) f->ReleaseProduct();
}

void FactoryReceivers::RefitFactory(GameObject* factory, const char* designText) {
    if (FactoryBuilding* f = AsBuilding(factory)) f->RefitFromText(designText);
}

void FactoryReceivers::ReserveExit(GameObject* factory, const Point& p) {
    if (FactoryBuilding* f = AsBuilding(factory)) f->ReserveExit(p);
}

void FactoryReceivers::CountExitAck(GameObject* factory) {
    if (FactoryBuilding* f = AsBuilding(factory)) f->CountExitAck();
}

void FactoryReceivers::ApplyLedger(GameObject* factory, int32_t cargo, int32_t store,
                                   int32_t credit) {
    if (FactoryBuilding* f = AsBuilding(factory)) f->ApplyLedger(cargo, store, credit);
}
