#include "objects/UnitMakers.h"

#include "objects/SquadManoeuvre.h"

std::unique_ptr<SquadManoeuvre> UnitMakers::MakeManoeuvre(int type,
                                                          const ManoeuvreArguments& arguments) {
    if (type < 1 || type >= kManoeuvreTypes || !manoeuvreMakers[type]) return nullptr;
    return manoeuvreMakers[type](arguments);
}

std::unique_ptr<Goal> UnitMakers::MakeGoal(int type, const SimId& owner, const GoalFields& fields,
                                           int allowManoeuvres, int finishOnArrival) {
    if (type < 1 || type >= kGoalTypes || !goalMakers[type]) return nullptr;
    return goalMakers[type](owner, fields, allowManoeuvres, finishOnArrival);
}

int UnitMakers::MoveBlockerAside(GameObject* unit, GameObject* blocker, int distance,
                                 AsideCaller caller) {
    if (!moveBlockerAside || !unit || !blocker) return 0;
    const int pushed = moveBlockerAside(unit, blocker, distance);
    if (pushed == 1 && asideObserver) asideObserver(*unit, *blocker, caller);
    return pushed;
}

void UnitMakers::SetCarrierPartner(GameObject* carrier, const SimId& partner) {
    if (setCarrierPartner && carrier) setCarrierPartner(carrier, partner);
}

void UnitMakers::PlayVoice(int bank) {
    if (playVoice) playVoice(bank);
}
