#include "ai/TutorialScript.h"

#include <cstring>

#include "ai/ManagerTools.h"
#include "ai/UnitTraits.h"
#include "catalogue/DesignLibrary.h"
#include "catalogue/VehicleDesign.h"
#include "core/StringTable.h"
#include "map/SightGrid.h"
#include "objects/FactoryProduction.h"
#include "objects/GameObject.h"
#include "objects/GoalQueue.h"
#include "world/SimIdNode.h"
#include "world/World.h"

namespace {

constexpr int kUnitKind = 1;
constexpr int kFactoryKind = 4;
constexpr int kDeployedKind = 7;
constexpr int kRelayStructure = 0;
constexpr int kWeaponStructure = 3;

constexpr const char* kMiner = "Miner";
constexpr const char* kScout = "Scout Infrared";
constexpr const char* kDetectionRelay = "Detection Relay";
constexpr const char* kHover = "Assault Hover";
constexpr const char* kWeaponRelay = "Weapon Relay";

struct TutorialDesign {
    const char* code;
    const char* name;
    // The chassis role letter a library design of the name must have; 0 for any.
    char role;
};

// In the order missing designs are appended.
constexpr TutorialDesign kDesigns[] = {
    {"VPfaa-----399199212299Miner", kMiner, 'f'},
    {"VWav------250130104299Scout Infrared", kScout, 0},
    {"VPmdd-----399199212299Detection Relay", kDetectionRelay, 'm'},
    {"VHcedb----399199212299Assault Hover", kHover, 0},
    {"VPqhh-----399199212299Weapon Relay", kWeaponRelay, 'q'},
};
constexpr int kDesignCount = static_cast<int>(sizeof kDesigns / sizeof kDesigns[0]);

constexpr int32_t kEnemySerials[] = {176, 177, 179, 180, 182, 183};

bool Named(const VehicleDesign* design, const char* name) {
    return design && std::strcmp(design->name, name) == 0;
}

bool Named(GameObject* object, const char* name) {
    return object && Named(object->GetDesign(), name);
}

char Role(const VehicleDesign* design) {
    return design && design->chassis ? design->chassis->role : 0;
}

bool IsUnitOrStructure(GameObject* object) {
    const int kind = object->GetKind();
    return kind == kUnitKind || kind == kDeployedKind;
}

bool IsRelay(GameObject* object) {
    return unit_traits::StructureType(object) == kRelayStructure;
}

bool IsWeaponRelayStanding(GameObject* object) {
    return object->GetKind() == kDeployedKind &&
           unit_traits::StructureType(object) == kWeaponStructure;
}

bool IsHover(GameObject* object) {
    return object->GetKind() == kUnitKind && Named(object, kHover);
}

}  // namespace

TutorialScript::TutorialScript(int32_t team, char clan, int32_t techLevel)
    : AIPlayer(team, clan, techLevel) {}

TutorialScript::~TutorialScript() = default;

void TutorialScript::Hint(int line) {
    world.SetStatusMessage(GetString(line), team);
}

bool TutorialScript::FactoryOnDeposit() const {
    FactoryProduction* controls = FactoryControls();
    GameObject* linked = controls ? controls->MinedDeposit() : nullptr;
    return linked && linked->id == DepositId();
}

bool TutorialScript::VisibleToTeam(GameObject* object) const {
    return object && world.sight && world.sight->IsVisible(object->GetPosition(), team) != 0;
}

void TutorialScript::Setup(int level) {
    AIPlayer::Setup(level);
    if (FactoryControls()) {
        if (GameObject* linked = FactoryControls()->MinedDeposit()) factoryLink = linked->id;
    }
    watchList.DeleteAll();
    for (int32_t serial : kEnemySerials)
        watchList.PushBack(new SimIdNode(SimId(kEnemyTeam, serial)));
    step = 0;
}

void TutorialScript::PrepareDesigns() {
    DesignLibrary* library = world.designLibrary.get();
    if (!library) return;
    // 1.
    if (VehicleDesign* first = library->FirstAvailable()) chosenDesign = first->name;
    // 2. The next design is taken before this one may go: nothing is skipped or seen twice.
    bool present[kDesignCount] = {};
    VehicleDesign* next = nullptr;
    for (VehicleDesign* d = library->FirstAvailable(); d; d = next) {
        next = library->NextAvailable(d);
        if (!d->complete) continue;
        for (int i = 0; i < kDesignCount; ++i) {
            if (std::strcmp(d->name, kDesigns[i].name) != 0) continue;
            if (kDesigns[i].role == 0 || Role(d) == kDesigns[i].role) {
                present[i] = true;
            } else {
                library->DeleteDesign(d);
            }
            break;
        }
    }
    // 3.
    for (int i = 0; i < kDesignCount; ++i)
        if (!present[i]) library->AppendDesign(new VehicleDesign(kDesigns[i].code));
    // 4.
    Hint(Chosen(kMiner) ? 230 : 229);
}

void TutorialScript::OnEvent(int32_t kind, void*, void* b) {
    if (!world.TeamFactory(world.LocalTeam())) return;
    switch (kind) {
        case kUnitReleased: {
            GameObject* unit = b ? world.FindSim(*static_cast<SimId*>(b)) : nullptr;
            if (step == 0 && unit && Role(unit->GetDesign()) == 'f') {
                step = 1;
                Hint(Chosen(kScout) ? 233 : 232);
            }
            break;
        }
        case kDesignChosen:
            OnDesignChosen(static_cast<const char*>(b));
            break;
        case kDesignQueued:
            if (b) OnDesignQueued(static_cast<VehicleDesign*>(b));
            break;
        case kSelected:
            if (b) OnSelected(static_cast<GameObject*>(b));
            break;
        case kDeselected:
            if (b) OnDeselected(static_cast<GameObject*>(b));
            break;
        case kOrderGiven:
            if (b) OnOrderGiven(static_cast<GameObject*>(b));
            break;
        case kPanelOpened:
            OnPanelOpened();
            break;
        case kPanelClosed:
            OnPanelClosed();
            break;
        default:
            break;
    }
}

void TutorialScript::OnDesignChosen(const char* name) {
    chosenDesign = name ? name : "";
    switch (step) {
        case 0:
            Hint(Chosen(kMiner) ? 230 : 229);
            break;
        case 1:
            Hint(Chosen(kScout) ? 233 : 232);
            break;
        case 2:
            Hint(Chosen(kDetectionRelay) ? 235 : 234);
            break;
        case 6:
            Hint(Chosen(kHover) ? 250 : 249);
            break;
        case 7:
            Hint(Chosen(kWeaponRelay) ? 252 : 251);
            break;
        default:
            break;
    }
}

void TutorialScript::OnDesignQueued(VehicleDesign* design) {
    switch (step) {
        case 0:
            if (Role(design) == 'f') Hint(231);
            break;
        case 1:
            if (Named(design, kScout)) {
                step = 2;
                Hint(Chosen(kDetectionRelay) ? 235 : 234);
            }
            break;
        case 2:
            if (Named(design, kDetectionRelay)) {
                step = 3;
                Hint(236);
            }
            break;
        case 6:
            if (Named(design, kHover) && ++count == kHovers) {
                count = 0;
                step = 7;
                Hint(Chosen(kWeaponRelay) ? 252 : 251);
            }
            break;
        case 7:
            if (Named(design, kWeaponRelay)) Hint(253);
            break;
        case 9:
            if (Named(design, kHover)) {
                seen = 0;
                Hint(262);
            }
            break;
        default:
            break;
    }
}

void TutorialScript::OnSelected(GameObject* object) {
    switch (step) {
        case 3:
            if (!IsUnitOrStructure(object)) break;
            if (!IsRelay(object)) {
                Hint(236);
            } else if (object->GetKind() == kDeployedKind) {
                step = 4;
                Hint(panelClosed == 1 ? 239 : 241);
            } else {
                Hint(237);
            }
            break;
        case 4:
            if (IsUnitOrStructure(object) && Named(object, kScout)) Hint(240);
            break;
        case 5:
            if (object->GetKind() == kFactoryKind) Hint(245);
            break;
        case 7:
            if (IsWeaponRelayStanding(object)) Hint(255);
            break;
        case 8:
            if (IsHover(object) && ++count >= kHovers) {
                if (seen == 1) {
                    Hint(260);
                } else {
                    Hint(panelClosed == 0 ? 257 : 258);
                }
            }
            break;
        default:
            break;
    }
}

void TutorialScript::OnDeselected(GameObject* object) {
    switch (step) {
        case 3:
            Hint(236);
            break;
        case 4:
            Hint(239);
            break;
        case 5:
            if (object->GetKind() != kFactoryKind) {
                Hint(243);
            } else if (FactoryOnDeposit()) {
                step = 6;
                if (panelClosed == 1) {
                    Hint(248);
                } else {
                    Hint(Chosen(kHover) ? 250 : 249);
                }
            }
            break;
        case 7:
            if (IsWeaponRelayStanding(object)) {
                count = 0;
                step = 8;
                Hint(256);
            }
            break;
        case 8:
            if (IsHover(object)) {
                if (count > 0) --count;
                if (count < kHovers) Hint(256);
            }
            break;
        default:
            break;
    }
}

void TutorialScript::OnOrderGiven(GameObject* object) {
    switch (step) {
        case 3:
            if (IsRelay(object)) Hint(238);
            break;
        case 4:
            if (Named(object, kScout)) Hint(242);
            break;
        case 5:
            if (object->GetKind() == kFactoryKind) Hint(246);
            break;
        case 7:
            if (Named(object, kWeaponRelay)) Hint(254);
            break;
        case 8:
            if (attackHintShown == 0 && object->goals.AttackTarget(object, 1)) {
                attackHintShown = 1;
                Hint(260);
            }
            break;
        default:
            break;
    }
}

void TutorialScript::OnPanelOpened() {
    panelClosed = 0;
    if (step == 6) Hint(Chosen(kHover) ? 250 : 249);
}

void TutorialScript::OnPanelClosed() {
    panelClosed = 1;
    if (step == 4) Hint(239);
    if (step == 8) Hint(258);
}

void TutorialScript::Update(Timer&) {
    GameObject* factory = world.TeamFactory(world.LocalTeam());
    if (!factory) return;
    switch (step) {
        case 4: {
            GameObject* deposit = world.FindOreDeposit(DepositId());
            if (VisibleToTeam(deposit)) {
                step = 5;
                Hint(243);
            }
            break;
        }
        case 5:
            if (factory->selected && FactoryOnDeposit()) {
                const char* onTheOre = GetString(kOnTheOreHint);
                if (!onTheOre || std::strcmp(world.statusText, onTheOre) != 0) Hint(kOnTheOreHint);
            }
            break;
        case 8:
            WatchEnemy();
            break;
        case 9:
            FightEnemy();
            break;
        default:
            break;
    }
}

void TutorialScript::WatchEnemy() {
    if (watchList.IsEmpty()) {
        step = 9;
        Hint(261);
        return;
    }
    ListNode* next = nullptr;
    for (ListNode* n = watchList.First(); n; n = next) {
        next = watchList.Next(n);
        if (!world.FindObject(static_cast<SimIdNode*>(n)->id)) delete n;
    }
    if (seen != 0) return;
    for (ListNode* n = watchList.First(); n; n = watchList.Next(n)) {
        if (VisibleToTeam(world.FindObject(static_cast<SimIdNode*>(n)->id))) {
            seen = 1;
            Hint(259);
            return;
        }
    }
}

void TutorialScript::FightEnemy() {
    if (world.sims[kEnemyTeam].IsEmpty()) {
        step = 10;
        Hint(264);
        return;
    }
    if (seen != 0) return;
    for (GameObject* o : manager_tools::Objects(world.sims[kEnemyTeam])) {
        if (VisibleToTeam(o)) {
            Hint(263);
            seen = 1;
            return;
        }
    }
}
