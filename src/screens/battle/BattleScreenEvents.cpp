// Event handling and hit testing: the order in which an event reaches the overlay, the lists,
// the keys, edge scrolling, the rubber band, the panel buttons, the mini-map and the map.
#include <memory>

#include "catalogue/DesignLibrary.h"
#include "catalogue/VehicleDesign.h"
#include "core/EventQueue.h"
#include "core/InputEvent.h"
#include "core/KeyCodes.h"
#include "map/SightGrid.h"
#include "map/TerrainMap.h"
#include "objects/GameObject.h"
#include "screens/battle/BattleOverlays.h"
#include "screens/battle/BattleScreen.h"
#include "screens/battle/ControlPanel.h"
#include "screens/battle/DesignPanels.h"
#include "ui/Button.h"
#include "ui/ScrollList.h"
#include "world/World.h"

namespace {

bool Inside(const Rect& r, const Point& p) {
    return p.x >= r.origin.x && p.y >= r.origin.y && p.x < r.origin.x + r.extent.w &&
           p.y < r.origin.y + r.extent.h;
}

bool InList(const ScrollList* list, const Point& p) {
    return list &&
           (Inside(list->listRect, p) || Inside(list->upRect, p) || Inside(list->downRect, p));
}

// The settings page code of a page region, and back.
constexpr int32_t kPageRegions[4] = {BattleScreen::kPage9Region, BattleScreen::kPage10Region,
                                     BattleScreen::kPage12Region, BattleScreen::kPage13Region};

int32_t PageCodeOf(int32_t region) {
    return region - BattleScreen::kPage9Region + 9;
}

bool IsPageRegion(int32_t region) {
    for (int32_t r : kPageRegions) {
        if (r == region) return true;
    }
    return false;
}

enum class Feedback { None, Accepted, Refused };

}  // namespace

int32_t BattleScreen::HitTest(const Point& p) const {
    auto hit = [&](int id) { return buttons[id] && Inside(buttons[id]->Bounds(), p); };
    // 1. The unit panel.
    if (unitPanelOpen) {
        if (DesignPanels* panels = FindDesignPanels()) {
            for (int32_t region : kPageRegions) {
                Button* page = panels->SettingsPageButton(PageCodeOf(region));
                if (page && page->HitTest(p)) return region;
            }
        }
        const Rect area(Point(kControlAreaX, kControlAreaY),
                        Size(kControlAreaWidth, kControlAreaHeight));
        if (Inside(area, p)) return kControlAreaRegion;
    }
    // 2. The options overlay.
    if (optionsOpen && Inside(OptionsMenuBounds(), p)) return kOptionsRegion;
    // 3, 4. The buttons always shown, and the bottom strip's.
    for (int id : {kDesignButton, kUnitPanelButton, kOptionsButton, kStripToggleButton}) {
        if (hit(id)) return id;
    }
    if (bottomStripShown) {
        for (int id = kDestroyButton; id <= kPauseButton; ++id) {
            if (hit(id)) return id;
        }
    }
    if (!buildPanelOpen) {
        // 5. The tabs.
        if (Inside(miniMapRect, p)) return sideTab == 0 ? kMiniMapRegion : kNoRegion;
        const int scale = miniMapScale == 2 ? kMiniMapScale1Button : kMiniMapScale2Button;
        const int zoomButton = zoom == 0 ? kZoom2Button : kZoom1Button;
        for (int id : {static_cast<int>(kNextTabButton), scale, zoomButton,
                       static_cast<int>(kOpenBuildPanelButton)}) {
            if (hit(id)) return id;
        }
        for (int i = 0; i < partSelectorCount && i < kPartSelectors; ++i) {
            if (Inside(partSelectors[i], p)) return PartSelectorRegion(i);
        }
    } else {
        // 6. The build panel.
        const int listButton = designListFlag == 1 ? kDesignGroupsButton : kSingleDesignsButton;
        for (int id : {static_cast<int>(kBuildButton), listButton,
                       static_cast<int>(kCloseBuildPanelButton)}) {
            if (hit(id)) return id;
        }
        if (InList(productionList.get(), p)) return kProductionListRegion;
        if (InList(buildList.get(), p)) return kBuildListRegion;
    }
    // 7. The edge zones.
    if (!rubberBanding) {
        const bool top = p.y < kEdgeLow;
        const bool bottom = p.y > kEdgeBottom;
        if (p.x < kEdgeLow) return top ? kTopLeftEdge : bottom ? kBottomLeftEdge : kLeftEdge;
        if (p.x > kEdgeRight) return top ? kTopRightEdge : bottom ? kBottomRightEdge : kRightEdge;
        if (top) return kTopEdge;
        if (bottom) return kBottomEdge;
    }
    // 8. The map.
    return Inside(viewRect, p) ? kMapViewRegion : kNoRegion;
}

int BattleScreen::HandleEvents(int elapsedMs) {
    World* world = TheWorldOrNull();
    auto quitting = [&] {
        return world && world->requestedMode == static_cast<int32_t>(GameMode::Quit);
    };
    // 1. The mission text dialog takes everything.
    if (missionText) {
        if (missionText->HandleEvents(elapsedMs) == 0) {
            missionText->Unload();
            missionText.reset();
        }
        return quitting() ? 0 : 1;
    }
    // 2.
    goOn = 1;
    wantedOrigin = viewOrigin;
    // 3. Each event, oldest first.
    while (eventQueue) {
        std::unique_ptr<InputEvent> event = eventQueue->Take();
        if (!event) break;
        // a.
        voicePlayed = 0;
        hoverRegion = HitTest(event->position);
        mousePoint = event->position;
        Feedback feedback = Feedback::None;
        // b. The overlay first.
        if (hoverRegion == kOptionsRegion && optionsMenu && optionsMenu->HandleEvent(*event) == 1) {
            if (quitting()) return 0;
            continue;
        }
        // c. The lists, while they show.
        if (buildPanelOpen && productionList && buildList) {
            productionList->HandleMouse(*event);
            const int32_t before = buildList->selection;
            if (buildList->HandleMouse(*event) == 1 && buildList->selection != before) {
                if (VehicleDesign* design = SelectedBuildDesign())
                    TellController(kEventDesignChosen, design->name);
            }
        }
        switch (event->kind) {
            case InputKind::Key: {
                // d.
                panelRedrawAccumulator = panelRedrawPeriod;
                const int32_t code = event->param;
                if (code == kKeyAlt || code == kKeyShift || code == kKeyCtrl) break;
                int32_t silent = 0;
                const int32_t result = HandleKey(*event, silent);
                if (result != 1)
                    feedback = Feedback::Refused;
                else if (!silent)
                    feedback = Feedback::Accepted;
                if (quitting()) return 0;
                break;
            }
            case InputKind::MouseMove:
                // e.
                if (hoverRegion == kControlAreaRegion) {
                    if (activePanel) activePanel->HandleMouse(*event);
                } else if (hoverRegion >= kLeftEdge && hoverRegion <= kBottomRightEdge) {
                    ScrollForZone(hoverRegion);
                } else if (hoverRegion == kMapViewRegion) {
                    DragRubberBand(*event);
                    StopScroll();
                } else {
                    if (hoverRegion == kMiniMapRegion) MiniMapMove(*event);
                    StopScroll();
                }
                break;
            case InputKind::ButtonDown:
                feedback = ButtonDown(*event) ? Feedback::Accepted : Feedback::Refused;
                if (lastPressSilent) feedback = Feedback::None;
                break;
            case InputKind::ButtonUp: {
                const int32_t result = ButtonUp(*event);
                feedback = result < 0 ? Feedback::None
                           : result   ? Feedback::Accepted
                                      : Feedback::Refused;
                if (quitting()) return 0;
                break;
            }
        }
        // h. The feedback sound, unless a voice spoke.
        if (!voicePlayed && world && feedback != Feedback::None)
            world->PlayUiSound(feedback == Feedback::Accepted ? 1 : 0);
    }
    // 4. After the batch.
    ChooseCursor(ScreenToMap(mousePoint));
    if (hoverRegion == kMapViewRegion) MarkHover();
    ClampScroll();
    if (!goOn) cursorShape = kNoCursor;
    return goOn;
}

int32_t BattleScreen::ButtonDown(const InputEvent& event) {
    lastPressSilent = 0;
    mouseButtonHeld = 1;
    panelRedrawAccumulator = panelRedrawPeriod;
    StopScroll();
    pressedRegion = HitTest(event.position);
    const int32_t region = pressedRegion;
    if (region == kMapViewRegion) return HandleMouseCommand(event) == 1 ? 1 : 0;
    if (region == kMiniMapRegion) return MiniMapClick(event);
    if (region >= 0 && region < kButtons) {
        Button& button = *buttons[region];
        if (!button.enabled) {
            // A disabled button answers nothing at all.
            pressedRegion = kNoRegion;
            lastPressSilent = 1;
            return 0;
        }
        button.SetHighlighted(1);
        if (region == kCloseBuildPanelButton) TellController(kEventBuildPanelClosed, nullptr);
        if (region == kOpenBuildPanelButton) TellController(kEventBuildPanelOpened, nullptr);
        return 1;
    }
    if (PartSelectorOf(region) >= 0) return 1;
    if (IsPageRegion(region)) {
        if (DesignPanels* panels = FindDesignPanels()) {
            for (int32_t r : kPageRegions) {
                if (Button* page = panels->SettingsPageButton(PageCodeOf(r))) {
                    page->SetPressed(r == region ? 1 : 0);
                    if (r == region) page->SetHighlighted(1);
                }
            }
        }
        return 1;
    }
    if (region == kControlAreaRegion) {
        if (!activePanel) return 0;
        activePanel->HandleMouse(event);
        return 1;
    }
    if (region == kProductionListRegion) {
        currentList = productionList.get();
        if (event.param != 'R') {
            lastPressSilent = 1;
            return 1;
        }
        return CancelSelectedJob();
    }
    if (region == kBuildListRegion) {
        currentList = buildList.get();
        lastPressSilent = 1;
        return 1;
    }
    return 0;
}

int32_t BattleScreen::ButtonUp(const InputEvent& event) {
    mouseButtonHeld = 0;
    panelRedrawAccumulator = panelRedrawPeriod;
    SelectInRubberBand(event);
    const int32_t pressed = pressedRegion;
    // Un-highlight what was pressed.
    if (pressed >= 0 && pressed < kButtons) {
        buttons[pressed]->SetHighlighted(0);
        if (pressed == kSingleDesignsButton || pressed == kDesignGroupsButton) {
            buttons[kSingleDesignsButton]->SetHighlighted(0);
            buttons[kDesignGroupsButton]->SetHighlighted(0);
        }
    } else if (IsPageRegion(pressed)) {
        if (DesignPanels* panels = FindDesignPanels()) {
            if (Button* page = panels->SettingsPageButton(PageCodeOf(pressed)))
                page->SetHighlighted(0);
        }
    }
    int32_t result = -1;
    if (pressed != kNoRegion && HitTest(event.position) == pressed)
        result = ReleaseAction(pressed, event);
    pressedRegion = kNoRegion;
    return result;
}

int32_t BattleScreen::ReleaseAction(int32_t region, const InputEvent& event) {
    World* world = TheWorldOrNull();
    const std::vector<GameObject*> selected = SelectedObjects();
    const int n = static_cast<int>(selected.size());
    auto setBuildListCount = [&](int32_t count) {
        if (!buildList) return;
        buildList->SetCount(count);
        buildList->SetSelection(0);
    };
    switch (region) {
        case kDesignButton:
            // Either list view opens the design screen; only single designs hand one over.
            if (world && world->designLibrary && designListFlag == 1)
                world->designLibrary->selected = SelectedBuildDesign();
            RequestGameMode(GameMode::DesignFromBattle);
            goOn = 0;
            CloseUnitPanel();
            return 1;
        case kUnitPanelButton:
            if (unitPanelOpen) {
                CloseUnitPanel();
                return 1;
            }
            if (n == 0) return 0;
            CloseOptionsMenu();
            unitPanelOpen = 1;
            if (DesignPanels* panels = FindDesignPanels()) {
                for (int32_t r : kPageRegions) {
                    if (Button* page = panels->SettingsPageButton(PageCodeOf(r)))
                        page->SetEnabled(1);
                }
            }
            return 1;
        case kBuildButton:
            return BuildSelected(CtrlHeld()) ? 1 : 0;
        case kOptionsButton:
            if (optionsOpen)
                CloseOptionsMenu();
            else
                OpenOptionsMenu();
            return 1;
        case kMiniMapScale2Button:
        case kMiniMapScale1Button:
            if (sideTab == 0) {
                miniMapScale = region == kMiniMapScale2Button ? 2 : 1;
                miniMapMarkFactor = miniMapScale * 2;
            } else {
                sideTab = 0;
            }
            return 1;
        case kZoom1Button:
            SetZoom(0);
            return 1;
        case kZoom2Button:
            SetZoom(1);
            return 1;
        case kNextTabButton:
            sideTab = (sideTab + 1) % 3;
            return 1;
        case kSingleDesignsButton:
            designListFlag = 1;
            setBuildListCount(world && world->designLibrary ? world->designLibrary->CountAvailable()
                                                            : 0);
            return 1;
        case kDesignGroupsButton:
            designListFlag = 0;
            setBuildListCount(world && world->designLibrary ? world->designLibrary->groups.Count()
                                                            : 0);
            return 1;
        case kStripToggleButton:
            bottomStripShown = !bottomStripShown;
            return 1;
        case kOpenBuildPanelButton:
            buildPanelOpen = 1;
            return 1;
        case kCloseBuildPanelButton:
            buildPanelOpen = 0;
            return 1;
        case kDestroyButton:
            DestroySelected();
            return 1;
        case kSpecialActionButton:
            OrderSpecialAction();
            return 1;
        case kGuardButton:
            OrderGuard();
            return 1;
        case kCentreFactoryButton:
            if (GameObject* factory = Factory()) {
                WantCentreAt(factory->position);
                tracking = 0;
            }
            return 1;
        case kToFactoryButton:
            OrderToFactory();
            return 1;
        case kRepairButton:
            SendForRepair();
            return 1;
        case kMarkersButton:
            showAllMarkers = !showAllMarkers;
            return 1;
        case kTrackingButton:
            ToggleTracking();
            return 1;
        case kPauseButton:
            if (world) world->TogglePause();
            return 1;
        case kControlAreaRegion:
            if (activePanel) activePanel->HandleMouse(event);
            return 1;
        default:
            break;
    }
    if (const int32_t part = PartSelectorOf(region); part >= 0) {
        for (GameObject* o : selected)
            o->SelectPart(part);
        if (FactorySelected()) Factory()->SelectPart(part);
        return 1;
    }
    if (IsPageRegion(region)) {
        ShowSettingsPage(region);
        return 1;
    }
    // The map, the mini-map and the lists act on the press; their release is no answer, so it
    // must not sound as a refusal after every order.
    return -1;
}

namespace {

// The groups and sliders each settings page shows, with the design setting behind each. The
// sliders stand at list positions 2 (setting 1) and 3 (setting 3) of page 12.
struct PageControl {
    bool slider;
    int32_t group;     // a group, or a slider's group
    int32_t position;  // a slider's list position
    int32_t setting;
};
struct PageControls {
    int32_t code;
    PageControl controls[3];
    int count;
};
const PageControls kPageControls[4] = {
    {9, {{false, 0, 0, 0}}, 1},
    {10, {{false, 4, 0, 4}}, 1},
    {12, {{true, 1, 2, 1}, {true, 3, 3, 3}, {false, 2, 0, 2}}, 3},
    {13, {{false, 5, 0, 5}, {false, 6, 0, 6}}, 2},
};

// Shows a design's settings on a page's controls; null shows nothing chosen.
void ShowSettings(ControlPanel& panel, const PageControls& page, const VehicleDesign* design) {
    for (int i = 0; i < page.count; ++i) {
        const PageControl& c = page.controls[i];
        const int32_t value = design ? design->parameters[static_cast<size_t>(c.setting)] : -1;
        if (c.slider)
            panel.SetSliderValue(c.group, c.position, value);
        else
            panel.SelectInGroup(c.group, value);
    }
}

}  // namespace

void BattleScreen::ShowSettingsPage(int32_t region) {
    DesignPanels* panels = FindDesignPanels();
    if (!panels) return;
    if (activePanel) activePanel->EnableAll(0);
    const int32_t code = PageCodeOf(region);
    activePanel = panels->GetControlPanel(code);
    if (!activePanel) return;
    activePanel->EnableAll(1);
    const std::vector<GameObject*> selected = SelectedObjects();
    for (const PageControls& page : kPageControls) {
        if (page.code != code) continue;
        ShowSettings(*activePanel, page, selected.size() == 1 ? selected[0]->GetDesign() : nullptr);
    }
}

void BattleScreen::RefreshUnitButtons() {
    const std::vector<GameObject*> selected = SelectedObjects();
    DesignPanels* panels = FindDesignPanels();
    if (selected.empty()) {
        // Nothing left to set: the unit panel closes.
        unitPanelOpen = 0;
        if (panels) {
            for (int32_t r : kPageRegions) {
                if (Button* page = panels->SettingsPageButton(PageCodeOf(r))) {
                    page->SetHighlighted(0);
                    page->SetPressed(0);
                    page->SetEnabled(0);
                }
            }
        }
        if (activePanel) activePanel->EnableAll(0);
        activePanel = nullptr;
    } else if (panels) {
        const VehicleDesign* design = selected.size() == 1 ? selected[0]->GetDesign() : nullptr;
        for (const PageControls& page : kPageControls) {
            if (ControlPanel* panel = panels->GetControlPanel(page.code))
                ShowSettings(*panel, page, design);
        }
    }
    if (!unitPanelOpen) {
        for (GameObject* o : selected)
            o->BuildManoeuvreList();
    }
}

void BattleScreen::DragRubberBand(const InputEvent& event) {
    if (IsPaused()) return;
    if (rubberBanding) {
        band = Rect(bandAnchor, event.position);
        return;
    }
    const Point p = ScreenToMap(event.position);
    for (GameObject* o : SelectedObjects())
        o->AimSelectedPart(p);
    if (FactorySelected()) Factory()->AimSelectedPart(p);
}

void BattleScreen::SelectInRubberBand(const InputEvent& /*event*/) {
    if (!rubberBanding) return;
    const Point a = ScreenToMap(band.origin);
    const Point b = ScreenToMap(band.BottomRight());
    bool first = true;
    for (GameObject* o : TeamObjects()) {
        const Point p = o->position;
        if (p.x < a.x || p.x > b.x || p.y < a.y || p.y > b.y) continue;
        o->SetSelected(1);
        if (first) PlayVoice(kSelectVoice);
        first = false;
        if (unitPanelOpen) RefreshUnitButtons();
    }
    rubberBanding = 0;
}

void BattleScreen::MarkHover() {
    const Point p = ScreenToMap(mousePoint);
    World* world = TheWorldOrNull();
    if (!world || !IsPointVisible(p)) return;
    if (GameObject* o = world->PickObjectAt(p)) o->drawFlag = 1;
}

void BattleScreen::MiniMapMove(const InputEvent& /*event*/) {}

int32_t BattleScreen::MiniMapClick(const InputEvent& event) {
    Point p(event.position.x - (miniMapRect.origin.x + miniMapOffset.x),
            event.position.y - (miniMapRect.origin.y + miniMapOffset.y));
    const int32_t scale = miniMapScale > 0 ? miniMapScale : 1;
    p = Point(p.x / scale * TileSize().w, p.y / scale * TileSize().h);
    WantCentreAt(Point(miniMapOrigin.x + p.x, miniMapOrigin.y + p.y));
    tracking = 0;
    return 1;
}
