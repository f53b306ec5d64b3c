// Mouse orders on the map view, and the operations the keys and the mouse share: orders to the
// selection, tracking, centring, the overlays' opening and closing.
#include <cmath>
#include <map>
#include <vector>

#include "catalogue/DesignLibrary.h"
#include "catalogue/VehicleDesign.h"
#include "core/EventReceiver.h"
#include "core/InputEvent.h"
#include "core/SpriteSet.h"
#include "core/StringTable.h"
#include "map/CollisionFilter.h"
#include "map/SightGrid.h"
#include "map/TerrainMap.h"
#include "objects/GameObject.h"
#include "screens/battle/BattleOverlays.h"
#include "screens/battle/BattleScreen.h"
#include "screens/battle/ControlPanel.h"
#include "screens/battle/DesignPanels.h"
#include "ui/Button.h"
#include "ui/ScrollList.h"
#include "world/Campaign.h"
#include "world/World.h"

namespace {

// A selected object the ring spread orders, by its whole-pixel distance to the click.
struct Candidate {
    int32_t distance;
    int32_t order;  // later inserted first among equal distances
    GameObject* object;
};

}  // namespace

// --- Small shared operations

void BattleScreen::TellController(int32_t kind, void* argument) {
    World* world = TheWorldOrNull();
    if (!world) return;
    if (EventReceiver* controller = world->ControllerOf(localTeam))
        controller->OnEvent(kind, nullptr, argument);
}

int32_t BattleScreen::IsPointVisible(const Point& p) const {
    World* world = TheWorldOrNull();
    if (!world) return 0;
    if (revealMap) return 1;
    if (world->sight && world->sight->IsVisible(p, localTeam)) return 1;
    return world->terrain && world->terrain->VisibilityAtPixel(p) > 0 ? 1 : 0;
}

GameObject* BattleScreen::PickTarget(const Point& p) {
    World* world = TheWorldOrNull();
    if (!world || !IsPointVisible(p)) return nullptr;
    GameObject* target = world->PickObjectAt(p);
    if (!target) return nullptr;
    int32_t row = 0;
    int32_t column = 0;
    if (world->sight) world->sight->PointToCell(p, row, column);
    if (!IsTargetVisible(target, row, column)) return nullptr;
    if (!target->delegateId.IsNull()) target = world->FindObject(target->delegateId);
    if (target && target->GetKind() == 9) return nullptr;
    return target;
}

void BattleScreen::DeselectAll() {
    for (GameObject* o : SelectedObjects())
        o->SetSelected(0);
    if (FactorySelected()) Factory()->SetSelected(0);
}

int32_t BattleScreen::IsTargetVisible(GameObject* object, int32_t row, int32_t column) {
    // 1.
    if (!object) return 0;
    World* world = TheWorldOrNull();
    // 2. Whatever is not hidden, or is revealed by something standing next to it.
    if (!object->stealth.IsHidden(object->GetTeam())) return 1;
    if (object->GetTeam() == localTeam) return 1;
    if (object->teamRecord.second != object->GetTeam()) return 1;
    if (revealMap) return 1;
    if (world && world->HasObjectAround(object, -1)) return 1;
    // 3. The sensors that see through stealth.
    return world && world->sight && world->sight->SeenInLayer3(row, column, localTeam) ? 1 : 0;
}

int32_t BattleScreen::SelectionCentre(Point& out, int32_t withFactory) {
    int64_t sx = 0;
    int64_t sy = 0;
    int64_t n = 0;
    for (GameObject* o : SelectedObjects()) {
        sx += o->position.x;
        sy += o->position.y;
        ++n;
    }
    if (withFactory && FactorySelected()) {
        sx += Factory()->position.x;
        sy += Factory()->position.y;
        ++n;
    }
    if (n == 0) return 0;
    out = Point(static_cast<int32_t>(sx / n), static_cast<int32_t>(sy / n));
    return 1;
}

void BattleScreen::SetRevealMap(int32_t flag) {
    if (flag == revealMap) return;
    revealMap = flag;
    World* world = TheWorldOrNull();
    if (world && world->terrain) world->terrain->SetRevealAll(flag);
}

void BattleScreen::CentreOn(const Point& p) {
    WantCentreAt(p);
    tracking = 0;
    ClampScroll();
}

void BattleScreen::SetWaypointMarker(const Point& screenPoint) {
    if (!markerSprites) return;
    World* world = TheWorldOrNull();
    markerStamp = world ? world->lastTenth : 0;
    markerFrame = 0;
    markerPhase = 0;
    markerPoint = ScreenToMap(screenPoint);
}

VehicleDesign* BattleScreen::SelectedBuildDesign() {
    World* world = TheWorldOrNull();
    if (!world || !world->designLibrary || !buildList) return nullptr;
    DesignLibrary& library = *world->designLibrary;
    // The list shows only the designs listed for building; count as it does.
    int32_t n = 0;
    for (VehicleDesign* d = library.FirstAvailable(); d; d = library.NextAvailable(d)) {
        if (d->complete != 1) continue;
        if (n == buildList->selection) return d;
        ++n;
    }
    return nullptr;
}

// --- The overlays and the unit panel

void BattleScreen::OpenOptionsMenu() {
    CloseUnitPanel();
    optionsOpen = 1;
    if (optionsMenu) optionsMenu->Activate();
}

void BattleScreen::CloseOptionsMenu() {
    if (!optionsOpen) return;
    optionsOpen = 0;
    if (!optionsMenu) return;
    if (OptionsMenuWantsMissionText(*optionsMenu) == 1) {
        World* world = TheWorldOrNull();
        const int line = world ? Campaign::GetMissionTextId(*world) : -1;
        missionText = MakeMissionTextDialog(line >= 0 ? GetString(line) : "");
        if (missionText) missionText->Load();
    }
    optionsMenu->Deactivate();
}

void BattleScreen::CloseUnitPanel() {
    if (!unitPanelOpen) return;
    unitPanelOpen = 0;
    if (DesignPanels* panels = FindDesignPanels()) {
        for (int32_t code : DesignPanels::kPageCodes) {
            if (Button* page = panels->SettingsPageButton(code)) {
                page->SetHighlighted(0);
                page->SetPressed(0);
                page->SetEnabled(0);
            }
        }
    }
    if (activePanel) activePanel->EnableAll(0);
    activePanel = nullptr;
    for (GameObject* o : SelectedObjects())
        o->BuildManoeuvreList();
}

// --- Orders to the selection

int32_t BattleScreen::OrderAttack(GameObject* target) {
    if (!target) return 0;
    World* world = TheWorldOrNull();
    const int32_t flags = (CtrlHeld() ? kFlagsCtrl : kFlagsPlain) | (ShiftHeld() ? kFlagsShift : 0);
    bool ordered = false;
    auto order = [&](GameObject* o) {
        o->IssueOrder(kOrderTarget, flags, Point(), target->id);
        if (!ordered) PlayVoice(kAttackVoice);
        ordered = true;
    };
    // 1, 2. The selection up to the first grouped object, which orders its group instead.
    GameObject* group = nullptr;
    bool grouped = false;
    for (GameObject* o : SelectedObjects()) {
        if (!o->groupId.IsNull()) {
            grouped = true;
            group = world ? world->FindGroup(o->groupId) : nullptr;
            break;
        }
        order(o);
        TellController(kEventOrderGiven, o);
    }
    // 3.
    if (grouped && group) order(group);
    if (FactorySelected()) order(Factory());
    // 4.
    return ordered ? 1 : 0;
}

void BattleScreen::OrderGuard() {
    bool ordered = false;
    for (GameObject* o : SelectedObjects()) {
        o->IssueOrder(kOrderGuard, kFlagsPlain, o->position, SimId());
        ordered = true;
    }
    if (ordered) PlayVoice(kGuardVoice);
}

void BattleScreen::OrderToFactory() {
    GameObject* factory = Factory();
    if (!factory) return;
    bool ordered = false;
    for (GameObject* o : SelectedObjects()) {
        o->IssueOrder(kOrderTarget, kFlagsPlain, Point(), factory->id);
        ordered = true;
    }
    if (ordered) PlayVoice(kToFactoryVoice);
}

void BattleScreen::SendForRepair() {
    bool ordered = false;
    for (GameObject* o : SelectedObjects()) {
        if (o->GetKind() == 2) continue;
        o->IssueOrder(kOrderRepair, kFlagsPlain, Point(), SimId());
        ordered = true;
    }
    if (ordered) PlayVoice(kRepairVoice);
}

void BattleScreen::OrderSpecialAction() {
    bool acted = false;
    for (GameObject* o : SelectedObjects()) {
        if (o->HasSpecialAction() != 1) continue;
        o->SpecialAction();
        acted = true;
    }
    if (acted) PlayVoice(kRepairVoice);
}

void BattleScreen::OrderStop() {
    for (GameObject* o : SelectedObjects()) {
        if (o->GetKind() != 2) o->IssueOrder(kOrderStop, kFlagsPlain, Point(), SimId());
    }
    if (FactorySelected()) Factory()->IssueOrder(kOrderStop, kFlagsPlain, Point(), SimId());
}

int32_t BattleScreen::ToggleTracking() {
    if (tracking) {
        tracking = 0;
        return 1;
    }
    tracking = 1;
    PlayVoice(kTrackVoice);
    const std::vector<GameObject*> selected = SelectedObjects();
    if (!selected.empty()) {
        trackedUnit = selected.front()->id;
        return 1;
    }
    if (FactorySelected()) {
        trackedUnit = Factory()->id;
        return 1;
    }
    return 0;
}

void BattleScreen::DestroySelected() {
    bool first = true;
    auto destroy = [](GameObject* o) {
        if (o->IsInvulnerable() == 1) o->ToggleInvulnerable();
        o->TakeDamage(nullptr, SimId(), nullptr, 0);
    };
    for (GameObject* o : SelectedObjects()) {
        destroy(o);
        if (first) PlayVoice(kDestroyVoice);
        first = false;
    }
    if (FactorySelected()) destroy(Factory());
}

// --- The mouse on the map

int32_t BattleScreen::HandleMouseCommand(const InputEvent& event) {
    World* world = TheWorldOrNull();
    // 1.
    if (IsPaused() || !world) return 0;
    // 2. The right button clears the selection.
    if (event.param == 'R') {
        DeselectAll();
        if (unitPanelOpen) RefreshUnitButtons();
        return 1;
    }
    // 3. What was clicked.
    const Point p = ScreenToMap(event.position);
    GameObject* target = PickTarget(p);
    const int shift = ShiftHeld();
    const int ctrl = CtrlHeld();
    if (!target) return OrderMove(event, p) ? 1 : 0;
    const std::vector<GameObject*> selected = SelectedObjects();
    const int kind = target->GetKind();
    // 5. Wrecks, destructibles and land features.
    if (kind == 3 || kind == 5 || kind == 10) {
        if (ctrl) {
            OrderAttack(target);
        } else {
            for (GameObject* o : selected)
                o->IssueOrder(kOrderMove, kFlagsCtrl, p, SimId());
        }
    } else if (target->GetCollision()->kind == 2 || target->GetCollision()->kind == 4) {
        // 6. Objects with a footprint.
        const bool own = target->GetTeam() == localTeam;
        if (own && HasDeployingChassis(target) && target->selected == 1 && !shift) {
            // a. Deploy or undeploy.
            if (kind == 7)
                target->UndeployNow();
            else
                target->DeployNow();
        } else if (own) {
            // b.
            OrderToOwn(target, selected);
        } else if (target->teamRecord.second == localTeam) {
            // c. Ours to take over.
            target->SetSelected(1);
            target->ChangeTeam(ValueTriple(localTeam, world->localPlayer.third), 1);
        } else {
            // d.
            OrderAttack(target);
        }
    }
    // 8.
    if (unitPanelOpen) RefreshUnitButtons();
    return 1;
}

void BattleScreen::OrderToOwn(GameObject* target, const std::vector<GameObject*>& selected) {
    World* world = TheWorldOrNull();
    const int shift = ShiftHeld();
    if (AltHeld()) {
        // Escort, or guard with Ctrl.
        for (GameObject* o : selected) {
            if (o->id == target->id) continue;
            if (CtrlHeld()) {
                o->IssueOrder(kOrderGuard, 0, Point(), target->id);
                PlayVoice(kGuardUnitVoice);
            } else {
                o->IssueOrder(kOrderEscort, 0, Point(), target->id);
            }
        }
        return;
    }
    if (shift) {
        const int now = target->selected == 1 ? 0 : 1;
        target->SetSelected(now);
        if (now) PlayVoice(kSelectVoice);
        return;
    }
    GameObject* repairer = nullptr;
    if (selected.size() == 1 && selected[0]->GetKind() == 2 && !target->IsCarrierChassis() &&
        !FactorySelected()) {
        repairer = selected[0];
    }
    if (repairer) {
        if (target->GetKind() == 2) {
            repairer->SetSelected(0);
            target->SetSelected(1);
        } else {
            repairer->IssueOrder(kOrderRepair, kFlagsPlain, target->position, target->id);
        }
        return;
    }
    bool anyOrdered = false;
    for (GameObject* o : TeamObjects()) {
        if (o->selected != 1) continue;
        bool ordered = false;
        if (target->GetKind() == 2 && o->GetKind() != 2 && !HasDeployingChassis(o)) {
            o->IssueOrder(kOrderRepair, kFlagsPlain, Point(), target->id);
            PlayVoice(kRepairVoice);
            ordered = true;
        } else if (target->IsCarrierChassis() && !o->IsCarrierChassis() && o->GetKind() != 7 &&
                   world->TeamHasStructure(o->GetTeam(), 4)) {
            o->IssueOrder(kOrderBoard, kFlagsPlain, Point(), target->id);
            ordered = true;
        }
        if (ordered)
            anyOrdered = true;
        else
            o->SetSelected(0);
    }
    if (!anyOrdered) {
        if (FactorySelected()) Factory()->SetSelected(0);
        target->SetSelected(1);
        PlayVoice(kSelectVoice);
    }
}

int32_t BattleScreen::OrderMove(const InputEvent& event, const Point& p) {
    World* world = TheWorldOrNull();
    // a. Can the selection go there?
    TerrainMap* terrain = world->terrain.get();
    const char letter = terrain ? terrain->TerrainTypeAtPixel(p) : 'X';
    const bool known = revealMap || (terrain && terrain->VisibilityAtPixel(p) >= 0);
    const std::vector<GameObject*> selected = SelectedObjects();
    GameObject* factory = FactorySelected() ? Factory() : nullptr;
    const int n = static_cast<int>(selected.size()) + (factory ? 1 : 0);
    bool canEnter = true;
    if (known) {
        for (GameObject* o : selected) {
            if (!o->GetCollision()->CanEnter(letter)) canEnter = false;
        }
        if (factory && !factory->GetCollision()->CanEnter(letter)) canEnter = false;
    }
    // b. Nothing selected: a rubber band starts.
    if (n == 0) {
        rubberBanding = 1;
        bandAnchor = event.position;
        band = Rect(event.position, event.position);
        return 1;
    }
    // c.
    if (!canEnter) return 0;
    const int shift = ShiftHeld();
    const int32_t flags = CtrlHeld() ? kFlagsCtrl : kFlagsPlain;
    const int32_t code = shift ? kOrderMoveShift : kOrderMove;
    const int32_t codeFlags = shift ? (flags | kFlagsShift) : flags;
    bool first = true;
    auto firstOrder = [&] {
        if (!first) return;
        first = false;
        PlayVoice(kMoveVoice);
        SetWaypointMarker(event.position);
    };
    // d. Nearest first; a later object goes before earlier ones at the same distance.
    std::vector<Candidate> sorted;
    GameObject* delegate = nullptr;
    int32_t order = 0;
    for (GameObject* o : selected) {
        if (!o->delegateId.IsNull()) {
            delegate = world->FindObject(o->delegateId);
            sorted.clear();
            break;
        }
        const double dx = o->position.x - p.x;
        const double dy = o->position.y - p.y;
        sorted.push_back({static_cast<int32_t>(std::sqrt(dx * dx + dy * dy)), order--, o});
    }
    if (delegate) {
        // g. The delegate takes the order alone.
        delegate->IssueOrder(code, kFlagsCtrl, p, SimId());
        firstOrder();
        return 1;
    }
    std::stable_sort(sorted.begin(), sorted.end(), [](const Candidate& a, const Candidate& b) {
        return a.distance != b.distance ? a.distance < b.distance : a.order < b.order;
    });
    // e. Rings: the first at the click, then ever wider rings holding ever more objects.
    int32_t r = 0;
    float c = 1.0f;
    int32_t k = 1;
    for (const Candidate& candidate : sorted) {
        GameObject* o = candidate.object;
        double vx = o->position.x - p.x;
        double vy = o->position.y - p.y;
        const double length = std::sqrt(vx * vx + vy * vy);
        if (static_cast<int32_t>(length) > r) {
            vx = vx / length * r;
            vy = vy / length * r;
        }
        const Point destination(p.x + static_cast<int32_t>(std::floor(vx + 0.5)),
                                p.y + static_cast<int32_t>(std::floor(vy + 0.5)));
        o->IssueOrder(code, codeFlags, destination, SimId());
        TellController(kEventOrderGiven, o);
        firstOrder();
        if (c <= static_cast<float>(k)) {
            r += 64;
            c *= 1.75f;
        }
        ++k;
    }
    // f. The factory goes to the click itself.
    if (factory) {
        factory->IssueOrder(code, codeFlags, p, SimId());
        TellController(kEventOrderGiven, factory);
        firstOrder();
    }
    return 1;
}
