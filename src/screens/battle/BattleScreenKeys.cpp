// The battle screen's keyboard commands: chat entry, view keys, selection and group keys, the
// order hot-keys, the build-panel keys, the overlay key, the switches to the design screen and
// the menu, and the debug keys (with the CHEAT setting).
#include <cstdio>

#include "catalogue/DesignLibrary.h"
#include "catalogue/VehicleDesign.h"
#include "core/EventQueue.h"
#include "core/EventReceiver.h"
#include "core/InputEvent.h"
#include "core/KeyCodes.h"
#include "core/Settings.h"
#include "map/SightGrid.h"
#include "objects/CommandBuffer.h"
#include "objects/FactoryProduction.h"
#include "objects/GameObject.h"
#include "screens/battle/BattleScreen.h"
#include "ui/ScrollList.h"
#include "ui/TextField.h"
#include "world/CommLink.h"
#include "world/Scenario.h"
#include "world/World.h"

namespace {

// Control characters and the codes of keys with modifiers.
constexpr int32_t kCtrlB = 2;
constexpr int32_t kCtrlC = 3;
constexpr int32_t kCtrlD = 4;
constexpr int32_t kCtrlE = 5;
constexpr int32_t kCtrlJ = 10;
constexpr int32_t kCtrlK = 11;
constexpr int32_t kCtrlP = 16;
constexpr int32_t kCtrlQ = 17;
constexpr int32_t kCtrlV = 22;
constexpr int32_t kCtrlZ = 26;
// Never produced by the input layer, but an Enter all the same.
constexpr int32_t kOtherEnter = 300;
constexpr int32_t kKeyF9 = kKeyF1 + 8;
constexpr int32_t kKeyF12 = kKeyF1 + 11;
constexpr int32_t kKeyCtrlF4 = kKeyCtrlF1 + 3;
constexpr int32_t kKeyCtrlF9 = kKeyCtrlF1 + 8;
constexpr int32_t kKeyCtrlF12 = kKeyCtrlF1 + 11;
constexpr int32_t kChatFrameColour = 54;
// The chat line: the host name (at most 127 characters), the brackets, the typed text.
constexpr int kChatLineSize = 2 * TextField::kCapacity + 8;

bool Between(int32_t key, int32_t low, int32_t high) {
    return key >= low && key <= high;
}

// The local team's controller, told directly so that the argument may be any pointer.
void Tell(World& world, int32_t team, int32_t kind, void* argument) {
    if (EventReceiver* controller = world.ControllerOf(team))
        controller->OnEvent(kind, nullptr, argument);
}

}  // namespace

int32_t BattleScreen::HandleKey(const InputEvent& event, int32_t& silent) {
    World* world = TheWorldOrNull();
    if (!world) return 0;
    int32_t key = event.param;

    // 1. Alt+F4 quits from anywhere, the chat field included.
    if (key == kKeyF4 && AltHeld()) {
        RequestGameMode(GameMode::Quit);
        return 0;
    }

    // 2. While the chat field is open it takes every key.
    if (chatField) {
        if (chatField->HandleEvent(event, chatText)) {
            silent = 1;
        } else {
            chatField->Reset();
        }
        if (key == kKeyEnter || key == kOtherEnter) {
            if (chatText[0] != 0) {
                char line[kChatLineSize];
                const char* host = world->peerSlots[0].peerLink
                                       ? world->peerSlots[0].peerLink->HostName()
                                       : nullptr;
                // Bounded: a long host name shortens the line instead of overrunning it.
                if (world->peerSlots[0].peerLink) {
                    std::snprintf(line, sizeof line, "[%.127s]: %s", host ? host : "", chatText);
                } else {
                    std::snprintf(line, sizeof line, "%s", chatText);
                }
                if (world->commands)
                    world->Commands().SendMessage(world->localPlayer.third, chatRecipient, line);
            }
            chatField.reset();
            chatText[0] = 0;
            chatRecipient = 0;
            silent = 0;
        }
        return 1;
    }

    // 3. The keys that work while the game is paused.
    if (key >= 'a' && key <= 'z') key -= 'a' - 'A';
    const int32_t handled = HandlePausedKey(key);
    if (handled != -1) return handled;

    // 4. The rest only while the game runs; 5. anything else is refused.
    if (IsPaused()) return 0;
    return HandleRunningKey(key, silent);
}

void BattleScreen::OpenChat(int32_t recipient) {
    World* world = TheWorldOrNull();
    chatField = std::make_unique<TextField>(statusRect, 0, kChatFrameColour,
                                            world ? world->font.get() : nullptr);
    chatField->active = 1;
    chatText[0] = 0;
    chatRecipient = recipient;
    if (world) world->SetStatusMessage("", 0);
}

int32_t BattleScreen::HandlePausedKey(int32_t key) {
    World& world = *TheWorldOrNull();
    Scenario* scenario = world.scenario.get();
    switch (key) {
        case kCtrlP:
            world.TogglePause();
            return 1;
        case ' ':
            if (world.lastLocalPosition != Point(0, 0)) {
                WantCentreAt(world.lastLocalPosition);
                tracking = 0;
            }
            return 1;
        case 'U':
            if (world.networkGame) OpenChat(0);
            return 1;
        case kCtrlV:
            if (cheatsOn) {
                SetRevealMap(!revealMap);
                if (world.commands) world.Commands().SendDebugToggle(revealMap);
            }
            return 1;
        case 'V':
            showAllMarkers = !showAllMarkers;
            return 1;
        case kKeyHome: {
            Point centre;
            if (SelectionCentre(centre, 1)) WantCentreAt(centre);
            tracking = 0;
            return 1;
        }
        case 'H':
            if (GameObject* factory = Factory()) {
                WantCentreAt(factory->position);
                tracking = 0;
            }
            return 1;
        case kCtrlC:
            if (cheatsOn) {
                for (GameObject* o : SelectedObjects())
                    o->goals.RepeatAll();
            }
            return 1;
        case kCtrlQ:
            RequestGameMode(GameMode::MainMenu);
            goOn = 0;
            return 1;
        case kCtrlZ:
            if (cheatsOn) {
                if (debugWatch.IsNull()) {
                    // Over nothing there is nothing to watch.
                    if (GameObject* o = world.PickObjectAt(ScreenToMap(mousePoint)))
                        debugWatch = o->id;
                } else {
                    debugWatch = SimId();
                }
            }
            return 1;
        case 'Z':
            if (zoom == 0) {
                SetZoom(1);
            } else if (zoom == 1) {
                SetZoom(0);
            }
            return 1;
        case kKeyEscape:
            if (optionsOpen) {
                CloseOptionsMenu();
            } else {
                OpenOptionsMenu();
            }
            return 1;
        case 'D':
            // The highlighted row of the build list, counted as the list shows it, becomes the
            // design the design screen opens with; the library's own scratch design is left
            // alone.
            if (designListFlag == 1 && world.designLibrary)
                world.designLibrary->selected = SelectedBuildDesign();
            RequestGameMode(GameMode::DesignFromBattle);
            goOn = 0;
            CloseUnitPanel();
            CloseOptionsMenu();
            return 1;
        case kCtrlE:
            if (cheatsOn) aiHalted = !aiHalted;
            return 1;
        case 'P':
            buildPanelOpen = !buildPanelOpen;
            Tell(world, localTeam, buildPanelOpen ? kEventBuildPanelOpened : kEventBuildPanelClosed,
                 nullptr);
            return 1;
        case kCtrlD:
            if (cheatsOn) {
                for (GameObject* o : SelectedObjects())
                    o->ToggleInvulnerable();
            }
            return 1;
        default:
            break;
    }
    if (Between(key, kKeyF9, kKeyF12)) {
        const Point p = scenario ? scenario->viewPoints[key - kKeyF9] : Point(-1, 0);
        if (p.x != -1) {
            wantedOrigin = p;
            tracking = 0;
        }
        return 1;
    }
    if (Between(key, kKeyCtrlF9, kKeyCtrlF12)) {
        if (scenario) scenario->viewPoints[key - kKeyCtrlF9] = viewOrigin;
        return 1;
    }
    return -1;
}

int32_t BattleScreen::HandleRunningKey(int32_t key, int32_t& silent) {
    World& world = *TheWorldOrNull();
    Scenario* scenario = world.scenario.get();
    const int32_t debugScenario = scenario && scenario->debugFlag ? 1 : 0;
    switch (key) {
        case 'G':
            OrderGuard();
            return 1;
        case '+':
        case '-': {
            if (!cheatsOn) return 0;
            if (!debugScenario) return 1;
            for (GameObject* o : SelectedObjects()) {
                if (key == '+') {
                    o->SetPurpose(o->Purpose() + 1);
                } else if (o->Purpose() > 0) {
                    o->SetPurpose(o->Purpose() - 1);
                }
            }
            PlayVoice(kSelectVoice);
            return 1;
        }
        case 'X': {
            Point centre;
            if (SelectionCentre(centre, 0)) {
                for (GameObject* o : SelectedObjects())
                    o->IssueOrder(kOrderMoveAway, kFlagsPlain, centre, SimId());
            }
            return 1;
        }
        case 'R':
            SendForRepair();
            return 1;
        case 'Y':
            OrderSpecialAction();
            return 1;
        case 'S':
            OrderStop();
            return 1;
        case 'M':
            if (Factory()) OrderToFactory();
            return 1;
        case 'E':
            SelectInView();
            return 1;
        case 'A':
            SelectAll();
            return 1;
        case 'N':
            return SelectNextUnit();
        case 'T':
            return ToggleTracking();
        case kKeyTab:
            for (GameObject* o : SelectedObjects())
                o->SelectNextPart();
            return 1;
        case kCtrlK:
            DestroySelected();
            return 1;
        case kCtrlJ:
            if (debugScenario) {
                if (FactoryProduction* production = Production())
                    production->SetProductionPaused(!production->IsProductionPaused());
            }
            return 1;
        case 'B':
        case kCtrlB:
            // A build that cannot be queued (no factory, no design) is refused as the build
            // button's is.
            if (!buildPanelOpen) return 0;
            return BuildSelected(key == kCtrlB ? 1 : 0) ? 1 : 0;
        case kKeyUp:
        case kKeyDown:
            if (buildPanelOpen) {
                MoveBuildSelection(key == kKeyUp ? -1 : 1);
                silent = 1;
            }
            return 1;
        default:
            break;
    }
    if (Between(key, kKeyCtrl0 + 1, kKeyCtrl0 + 9)) return StoreGroup(key - kKeyCtrl0);
    if (Between(key, '1', '9')) return RecallGroup(key - '0');
    if (Between(key, kKeyF1, kKeyF1 + 7)) {
        for (GameObject* o : SelectedObjects())
            o->SelectPart(key - kKeyF1);
        if (FactorySelected()) Factory()->SelectPart(key - kKeyF1);
        return 1;
    }
    if (Between(key, kKeyCtrlF1, kKeyCtrlF4)) {
        if (world.networkGame && !chatField) OpenChat(key - kKeyCtrlF1 + 1);
        return 1;
    }
    return 0;
}

void BattleScreen::MoveBuildSelection(int32_t step) {
    if (!buildList) return;
    ScrollList& list = *buildList;
    int32_t n = list.selection + step;
    if (step < 0 && n < 0) n = list.count - 1;
    if (step > 0 && n > list.count - 1) n = 0;
    list.SetSelection(n);
    if (VehicleDesign* design = SelectedBuildDesign())
        Tell(*TheWorldOrNull(), localTeam, kEventDesignChosen, design->name);
}

void BattleScreen::SelectInView() {
    World& world = *TheWorldOrNull();
    const Size cell = world.sight ? world.sight->CellSize() : Size(64, 64);
    const Point last =
        viewOrigin + Point((viewRect.extent.w - 1) << zoom, (viewRect.extent.h - 1) << zoom);
    auto cellOf = [&cell](const Point& p) {
        return Point(cell.w > 0 ? p.x / cell.w : 0, cell.h > 0 ? p.y / cell.h : 0);
    };
    const Point first = cellOf(viewOrigin);
    const Point final = cellOf(last);
    bool any = false;
    for (GameObject* o : TeamObjects()) {
        const Point c = cellOf(o->position);
        const bool inside = c.x >= first.x && c.x <= final.x && c.y >= first.y && c.y <= final.y;
        const int pick = inside && o->IsSelectable() ? 1 : 0;
        o->SetSelected(pick);
        any = any || pick;
    }
    if (FactorySelected()) Factory()->SetSelected(0);
    tracking = 0;
    if (unitPanelOpen) RefreshUnitButtons();
    if (any) PlayVoice(kSelectVoice);
}

void BattleScreen::SelectAll() {
    for (GameObject* o : TeamObjects())
        o->SetSelected(o->IsSelectable() ? 1 : 0);
    if (FactorySelected()) Factory()->SetSelected(0);
    tracking = 0;
    if (unitPanelOpen) RefreshUnitButtons();
    PlayVoice(kSelectVoice);
}

int32_t BattleScreen::StoreGroup(int32_t n) {
    bool any = false;
    auto store = [&](GameObject* o) {
        o->groupFlags[n - 1] = o->selected;
        any = any || o->selected;
    };
    for (GameObject* o : TeamObjects())
        store(o);
    if (GameObject* factory = Factory()) store(factory);
    if (any) PlayVoice(kSelectVoice);
    return 1;
}

int32_t BattleScreen::RecallGroup(int32_t n) {
    bool any = false;
    auto recall = [&](GameObject* o) {
        o->SetSelected(o->groupFlags[n - 1]);
        any = any || o->groupFlags[n - 1];
    };
    for (GameObject* o : TeamObjects())
        recall(o);
    if (GameObject* factory = Factory()) recall(factory);
    if (unitPanelOpen) RefreshUnitButtons();
    if (any) PlayVoice(kSelectVoice);
    return 1;
}

int32_t BattleScreen::SelectNextUnit() {
    const std::vector<GameObject*> list = TeamObjects();
    if (list.empty()) return 0;
    size_t next = 0;
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i]->id == lastCycled) {
            next = (i + 1) % list.size();
            break;
        }
    }
    DeselectAll();
    GameObject* unit = list[next];
    World& world = *TheWorldOrNull();
    // A group that is gone leaves the unit on its own.
    GameObject* group = unit->groupId.IsNull() ? nullptr : world.FindGroup(unit->groupId);
    GameObject* chosen = group ? group : unit;
    chosen->SetSelected(1);
    WantCentreAt(chosen->position);
    lastCycled = unit->id;
    if (tracking) trackedUnit = unit->id;
    if (unitPanelOpen) RefreshUnitButtons();
    PlayVoice(kSelectVoice);
    return 1;
}
