// The design screen's input and per-frame update.
#include "catalogue/ChassisTemplate.h"
#include "catalogue/DesignGroup.h"
#include "catalogue/DesignLibrary.h"
#include "catalogue/PartTemplate.h"
#include "catalogue/VehicleDesign.h"
#include "core/DisplayBase.h"
#include "core/EventQueue.h"
#include "core/InputEvent.h"
#include "core/KeyCodes.h"
#include "core/SpriteSet.h"
#include "screens/DesignScreen.h"
#include "screens/HardpointPanel.h"
#include "screens/battle/ControlPanel.h"
#include "ui/Button.h"
#include "ui/ScrollList.h"
#include "ui/TextField.h"
#include "world/World.h"

namespace {

const Point kPreviewOrigin(320, 257);
constexpr int32_t kRepeatMs = 250;
constexpr int32_t kHeldAtOnce = 99999;

bool Inside(const Rect& r, const Point& p) {
    return p.x >= r.origin.x && p.y >= r.origin.y && p.x <= r.origin.x + r.extent.w - 1 &&
           p.y <= r.origin.y + r.extent.h - 1;
}

// Both corners of the field lie in the list's area.
bool WhollyInside(const Rect& field, const Rect& area) {
    return Inside(area, field.origin) &&
           Inside(area, field.origin + Point(field.extent.w - 1, field.extent.h - 1));
}

void SetCursor(int32_t shape) {
    if (display) display->cursorShape = shape;
}

void Feedback(int flag) {
    if (World* world = TheWorld()) world->PlayUiSound(flag);
}

}  // namespace

bool DesignScreen::PreviewTest(const Point& p) const {
    return Inside(previewRect, p);
}

void DesignScreen::RedirectToHardpoint(InputEvent& event) const {
    HardpointPanel* panel = ShownHardpointPanel();
    if (!panel || panelMode != kParts || !PreviewTest(event.position) || !editedDesign) return;
    const int h = editedDesign->HardpointNear(kPreviewOrigin, event.position);
    if (h >= 0 && h < HardpointPanel::kHardpoints) event.position = panel->picturePoints[h];
}

int DesignScreen::HandleEvents(int /*elapsedMs*/) {
    int result = 1;
    int32_t deferredMode = -1;
    while (eventQueue && result != 0) {
        std::unique_ptr<InputEvent> event = eventQueue->Take();
        if (!event) break;
        if (question != -1) {
            HandleQuestionEvent(*event);
            continue;
        }
        cursorPoint = event->position;
        switch (event->kind) {
            case InputKind::MouseMove:
                HandleMove(*event);
                break;
            case InputKind::ButtonDown:
                HandleButtonDown(*event, deferredMode);
                break;
            case InputKind::ButtonUp:
                HandleButtonUp(*event);
                break;
            case InputKind::Key:
                // A key that ends the screen ends the batch: the rest waits in the queue, so
                // a later key cannot undo the request.
                result = HandleKey(*event);
                break;
        }
    }
    if (deferredMode != -1) {
        Feedback(1);
        SetPanelMode(deferredMode);
    }
    return result;
}

void DesignScreen::HandleQuestionEvent(const InputEvent& event) {
    SetCursor(kPointerCursor);
    const bool answer = hoveredButton == 31 || hoveredButton == 32;
    switch (event.kind) {
        case InputKind::MouseMove:
            hoveredButton = ButtonAt(event.position);
            SetCursor(hoveredButton == 31 || hoveredButton == 32 ? kPointerCursor : kArrowCursor);
            break;
        case InputKind::ButtonDown:
            repeatAccumulator = kHeldAtOnce;
            if (answer && buttons[hoveredButton]->HitTest(event.position)) {
                buttons[hoveredButton]->SetHighlighted(1);
                pressedButton = hoveredButton;
            } else {
                Feedback(0);
            }
            break;
        case InputKind::ButtonUp:
            if (pressedButton >= 0) buttons[pressedButton]->SetHighlighted(0);
            if (answer && buttons[hoveredButton]->HitTest(event.position))
                pendingCommand = pressedButton;
            pressedButton = -1;
            break;
        case InputKind::Key: {
            const int32_t key = event.param;
            if (key == 'Y' || key == 'y' || key == 300 || key == kKeyEnter) {
                pendingCommand = 31;
                pressedButton = -1;
            } else if (key == 'N' || key == 'n' || key == kKeyEscape) {
                pendingCommand = 32;
                pressedButton = -1;
            }
            break;
        }
    }
}

void DesignScreen::HandleMove(const InputEvent& event) {
    const Point& p = event.position;
    hoveredButton = ButtonAt(p);
    if (!PreviewTest(p)) {
        previewAnimating = 0;
    } else if (panelMode == kParts && editedDesign &&
               (editedDesign->drive || editedDesign->chassis)) {
        previewAnimating = 1;
    }
    if (hoveredButton >= 27 && hoveredButton <= 29) {
        if (Template* entry = entries[hoveredButton - 27]) {
            helpTexts[0] = entry->HelpText();
            helpTexts[1] = entry->HelpText2();
            helpTexts[2] = entry->Name();
            helpState = 3;
        } else {
            helpTexts[0] = helpTexts[1] = helpTexts[2] = nullptr;
            helpState = 0;
        }
    } else {
        helpTexts[0] = helpTexts[1] = nullptr;
        if (helpState != 1 && helpState != 2) helpState = 0;
    }
    if (helpTexts[0]) activePanel = nullptr;
    const int32_t hidden = carried ? kNoCursor : -2;
    if (hoveredButton == -1) {
        const int32_t r = activePanel ? activePanel->HandleMouse(event) : 0;
        if (HardpointPanel* panel = ShownHardpointPanel()) {
            InputEvent redirected(event.kind, event.position, event.param);
            RedirectToHardpoint(redirected);
            panel->HandleMouse(redirected, *editedDesign, carried);
        }
        SetCursor(hidden != -2 ? hidden : r ? kPointerCursor : kArrowCursor);
    } else {
        SetCursor(hidden != -2 ? hidden : kPointerCursor);
    }
}

int32_t DesignScreen::LibraryListsMouse(const InputEvent& event, bool buttonDown) {
    DesignLibrary* library = Library();
    if (!library) return 0;
    const int32_t designTop = designList->top;
    if (designList->HandleMouse(event)) {
        designList->SetCount(library->CountAvailable());
        VehicleDesign* design = DesignAtSelection();
        bool changed = false;
        if (design && design != selectedDesign) {
            selectedDesign = design;
            library->selected = design;
            changed = true;
        }
        if (changed || designList->top != designTop) {
            designRowField->Reset();
            MoveDesignRowField();
        }
        return 1;
    }
    const int32_t groupTop = groupList->top;
    if (!groupOpen) {
        groupList->SetCount(library->groups.Count());
        if (!groupList->HandleMouse(event)) return 0;
        groupList->SetCount(library->groups.Count());
        DesignGroup* group = GroupAtSelection();
        bool changed = false;
        if (group && group != selectedGroup) {
            selectedGroup = group;
            groupOpen = 0;
            changed = true;
        }
        if (changed || groupList->top != groupTop) {
            ResetGroupRowField();
            MoveGroupRowField();
        }
        return 1;
    }
    if (!selectedGroup) return 0;
    groupList->SetCount(selectedGroup->CountAvailable());
    if (!groupList->HandleMouse(event)) return 0;
    if (buttonDown) SelectGroupMember();
    return 1;
}

void DesignScreen::HandleButtonDown(InputEvent& event, int32_t& deferredMode) {
    const Point p = event.position;
    repeatAccumulator = kHeldAtOnce;
    int32_t handled = 0;
    if (panelMode == kLibrary) {
        if (Inside(designRowField->rect, p) &&
            WhollyInside(designRowField->rect, designList->listRect)) {
            handled = 1;
            deferredMode = kParts;
            ResetGroupRowField();
        } else {
            designRowField->Reset();
            if (selectedGroup) {
                if (!groupOpen) {
                    if (Inside(groupRowField->rect, p) &&
                        WhollyInside(groupRowField->rect, groupList->listRect)) {
                        SelectCategory(20, 0);
                        handled = 1;
                    }
                } else {
                    handled = EditGroupName(event);
                }
            }
            if (!handled) ResetGroupRowField();
        }
        if (!handled) handled = LibraryListsMouse(event, true);
    }
    if (!handled && (panelMode == kParts || panelMode == kSettings) && editedDesign) {
        handled = nameField->HandleEvent(event, editedDesign->name);
        if (!handled) nameField->Reset();
    }
    if (!handled && hoveredButton >= 0 && buttons[hoveredButton] &&
        buttons[hoveredButton]->HitTest(p)) {
        buttons[hoveredButton]->SetHighlighted(1);
        pressedButton = hoveredButton;
        handled = 1;
    }
    HardpointPanel* panel = ShownHardpointPanel();
    if (!handled && panel) {
        if (carried && event.param == 'R') {
            carried = nullptr;
            carriedPicture = nullptr;
            SetCursor(kArrowCursor);
            handled = 1;
        }
        RedirectToHardpoint(event);
        if (!handled && ((carried && event.param == 'L') || event.param == 'R')) {
            handled = panel->HandleMouse(event, *editedDesign, carried);
            if (handled) Feedback(1);
        }
    }
    if (!handled && activePanel) handled = activePanel->HandleMouse(event);
    if (!handled) Feedback(0);
}

void DesignScreen::HandleButtonUp(InputEvent& event) {
    if (panelMode == kLibrary) LibraryListsMouse(event, false);
    if (pressedButton == -1) {
        if (HardpointPanel* panel = ShownHardpointPanel()) {
            InputEvent redirected(event.kind, event.position, event.param);
            RedirectToHardpoint(redirected);
            if ((carried && event.param == 'L') || event.param == 'R')
                panel->HandleMouse(redirected, *editedDesign, carried);
        }
        if (activePanel) activePanel->HandleMouse(event);
        return;
    }
    Button* button = buttons[pressedButton].get();
    button->SetHighlighted(0);
    if (button->HitTest(event.position) && pressedButton != 7 && pressedButton != 8) {
        pendingCommand = pressedButton;
        PressInGroup(pressedButton);
    }
    pressedButton = -1;
}

void DesignScreen::StepPreview() {
    World* world = TheWorld();
    const int32_t t = world ? world->lastTenth : 0;
    if (previewAnimating && t != lastTenth && editedDesign) {
        previewFrame += pingPong && !forward ? -1 : 1;
        Image* source = nullptr;
        if (editedDesign->drive && editedDesign->drive->PanelSprites()) {
            source = editedDesign->drive->PanelSprites();
        } else if (editedDesign->chassis) {
            source = editedDesign->chassis->panelPictures.get();
        }
        const int32_t last = source ? source->LastFrameIndex() : 0;
        if (previewFrame > last) {
            if (pingPong) {
                forward = 0;
                previewFrame = last;
            } else {
                previewFrame = 0;
            }
        }
        if (pingPong && !forward && previewFrame <= 0) {
            previewFrame = 0;
            forward = 1;
        }
    }
    lastTenth = t;
}

int DesignScreen::Update(int elapsedMs) {
    int result = 1;
    if (backdropTimer.Expired()) {
        if (++backdropFrame > 6) backdropFrame = 0;
        backdropTimer.Start();
    }
    StepPreview();
    if (pendingCommand != -1) {
        const int32_t command = pendingCommand;
        pendingCommand = -1;
        result = SelectCategory(command, 0);
    }
    repeatAccumulator += elapsedMs;
    if ((pressedButton == 7 || pressedButton == 8) && repeatAccumulator > kRepeatMs) {
        SelectCategory(pressedButton, 0);
        repeatAccumulator = 0;
    }
    if (activePanel && result == 1 && editedDesign && activePanel->OnRelease(*editedDesign) &&
        editState == kUnchanged) {
        editState = kChanged;
    }
    HardpointPanel* panel = ShownHardpointPanel();
    if (panel && result == 1 && editedDesign && panel->AssignPart(*editedDesign, carried) &&
        editState == kUnchanged) {
        editState = kChanged;
    }
    if (carried && question == -1) SetCursor(kNoCursor);
    return result;
}
