// The design screen's statistics area, keys, command dispatcher and panel switch.
#include <algorithm>
#include <cstdio>
#include <string>

#include "catalogue/ChassisTemplate.h"
#include "catalogue/DesignGroup.h"
#include "catalogue/DesignLibrary.h"
#include "catalogue/MountTemplate.h"
#include "catalogue/PartTemplate.h"
#include "catalogue/TextScan.h"
#include "catalogue/VehicleDesign.h"
#include "core/DisplayBase.h"
#include "core/EventQueue.h"
#include "core/InputEvent.h"
#include "core/KeyCodes.h"
#include "core/StringTable.h"
#include "core/TextWriter.h"
#include "core/WindowProc.h"
#include "objects/CommandBuffer.h"
#include "screens/DesignScreen.h"
#include "screens/HardpointPanel.h"
#include "screens/battle/ControlPanel.h"
#include "ui/Button.h"
#include "ui/ScrollList.h"
#include "ui/TextField.h"
#include "world/CommLink.h"
#include "world/World.h"

namespace {

constexpr int kText = 10;
constexpr int kSelectedText = 9;
constexpr int kHeading = 110;
constexpr int kChatMessageSize = 256;

void Write(const Point& at, const char* text, int colour) {
    World* world = TheWorld();
    if (world && world->font && text) world->font->DrawText(at, text, colour);
}

void WriteLine(const Point& at, int line, int colour) {
    Write(at, GetString(line), colour);
}

void WriteNumber(const Point& at, const char* format, int value, int colour) {
    Write(at, FormatIntegers(format, {value}).c_str(), colour);
}

bool IsEnter(int32_t key) {
    return key == kKeyEnter || key == 300;
}

int PlayFeedback(int flag) {
    World* world = TheWorld();
    return world ? world->PlayUiSound(flag) : flag;
}

}  // namespace

// --- statistics ---------------------------------------------------------------------------

void DesignScreen::DrawPartRow(int32_t y, const char* label, const Template* part,
                               bool chassisOrDrive) {
    if (part) {
        Write(Point(212, y), label, kText);
        WriteNumber(Point(285, y), "%3d", part->secondCost, kText);
        WriteNumber(Point(315, y), "%3d", part->firstCost, kText);
    } else if (chassisOrDrive) {
        Write(Point(212, y), label, kSelectedText);
        WriteLine(Point(285, y), 226, kSelectedText);
    } else {
        Write(Point(212, y), label, kText);
        WriteLine(Point(285, y), 228, kHeading);
    }
}

void DesignScreen::DrawStats() {
    if (!display) return;
    display->SetClipRect(statsRect);
    int32_t mode = helpState;
    if (mode == 0) mode = panelMode == kParts ? 1 : panelMode == kSettings ? 2 : 0;
    const VehicleDesign* shown = panelMode == kParts     ? editedDesign.get()
                                 : panelMode == kLibrary ? selectedDesign
                                                         : nullptr;
    if (mode == 3) {
        Write(Point(212, 15), helpTexts[2], kHeading);
        Write(Point(212, 30), helpTexts[0], kText);
        if (helpTexts[1]) Write(Point(330, 30), helpTexts[1], kText);
    } else if (mode == 1 && panelMode == kParts && editedDesign && editedDesign->chassis &&
               editedDesign->chassis->role == 'z') {
        WriteLine(Point(212, 15), 227, kText);
    } else if (mode == 1 && shown) {
        WriteLine(Point(212, 15), 9, kHeading);
        WriteLine(Point(290, 15), 10, kHeading);
        WriteLine(Point(320, 15), 11, kHeading);
        DrawPartRow(28, GetString(12), shown->chassis, true);
        DrawPartRow(38, GetString(13), shown->drive, true);
        const int count = shown->chassis ? std::min(shown->chassis->hardpointCount,
                                                    int32_t{VehicleDesign::kHardpoints})
                                         : 0;
        for (int i = 0; i < count; ++i) {
            const std::string label = FormatIntegers(GetString(14), {i + 1});
            DrawPartRow(48 + 10 * i, label.c_str(), shown->hardpoints[i], false);
        }
        WriteLine(Point(370, 15), 15, kSelectedText);
        WriteLine(Point(350, 27), 16, kText);
        WriteNumber(Point(410, 27), "%d", shown->SumPartField7() / 1000, kText);
        WriteLine(Point(350, 37), 17, kText);
        WriteNumber(Point(410, 37), "%d", shown->SumPartField6(), kText);
        WriteLine(Point(350, 47), 18, kText);
        WriteNumber(Point(410, 47), "%d", shown->SumPartField5(), kText);
    } else if (mode == 2 && editedDesign) {
        DrawDesignSettings(*editedDesign);
    }
    display->SetClipRect(screenRect);
    if (activePanel) activePanel->Draw(Point(0, 0));
}

void DesignScreen::DrawDesignSettings(const VehicleDesign& design) {
    const auto& p = design.parameters;
    WriteLine(Point(212, 15), 19, kHeading);
    // Explore (0 = 5) and automatic attack (4 = 3) are settings a design code carries but no
    // panel sets: they have lines of their own.
    if (p[0] >= 0 && p[0] <= 4) WriteLine(Point(212, 30), 20 + p[0], kText);
    if (p[0] == 5) WriteLine(Point(212, 30), kExploreLine, kText);
    if (p[4] >= 0 && p[4] <= 2) WriteLine(Point(212, 40), 25 + p[4], kText);
    if (p[4] == 3) WriteLine(Point(212, 40), kAutomaticAttackLine, kText);
    Write(Point(212, 50), FormatIntegers(GetString(p[2] == 0 ? 28 : 29), {p[1]}).c_str(), kText);
    Write(Point(212, 60), FormatIntegers(GetString(30), {p[3]}).c_str(), kText);
    if (p[5] == 0 || p[5] == 1) WriteLine(Point(212, 70), 31 + p[5], kText);
}

// --- keys -----------------------------------------------------------------------------------

int32_t DesignScreen::ButtonAt(const Point& point) const {
    for (int i = kButtons - 1; i >= 0; --i) {
        const Button* b = buttons[i].get();
        if (b && b->enabled && b->HitTest(point)) return i;
    }
    return -1;
}

void DesignScreen::OpenChat(int32_t addressee) {
    World* world = TheWorld();
    chatField = std::make_unique<TextField>(statusRect, 0, 34, world ? world->font.get() : nullptr);
    chatField->active = 1;
    chatText[0] = 0;
    chatAddressee = addressee;
    if (world) world->SetStatusMessage("", 0);
    PlayFeedback(1);
}

int32_t DesignScreen::EndChat() {
    World* world = TheWorld();
    if (chatText[0] && world && world->commands) {
        // The host name the link in the first peer slot reports, when there is one.
        CommLink* link = world->peerSlots[0].peerLink;
        const char* name = link ? link->HostName() : nullptr;
        const std::string host = name ? name : "";
        // The message is cut to what one command carries, whatever the host name's length.
        char message[kChatMessageSize];
        if (!host.empty()) {
            std::snprintf(message, sizeof message, "[%s]: %s", host.c_str(), chatText);
        } else {
            std::snprintf(message, sizeof message, "%s", chatText);
        }
        world->commands->SendMessage(world->localPlayer.third, chatAddressee, message);
    }
    chatField.reset();
    chatText[0] = 0;
    PlayFeedback(1);
    return 1;
}

int32_t DesignScreen::EditGroupName(const InputEvent& event) {
    if (!selectedGroup) return 0;
    const bool wasActive = groupRowField->active != 0;
    if (!wasActive) {
        groupNameBefore = selectedGroup->name;
        nameEditGroup = selectedGroup;
    }
    const int32_t used = groupRowField->HandleEvent(event, selectedGroup->name);
    // A name the design file cannot read back is refused when the field ends.
    if (wasActive && !groupRowField->active) {
        if (!DesignGroup::IsStorableName(selectedGroup->name))
            selectedGroup->SetName(groupNameBefore.c_str());
        nameEditGroup = nullptr;
    }
    return used;
}

void DesignScreen::ResetGroupRowField() {
    DesignLibrary* library = Library();
    // The group may have gone while its name was being typed.
    if (groupRowField->active && nameEditGroup && library &&
        library->IndexOfGroup(nameEditGroup) >= 0 &&
        !DesignGroup::IsStorableName(nameEditGroup->name)) {
        nameEditGroup->SetName(groupNameBefore.c_str());
    }
    nameEditGroup = nullptr;
    groupRowField->Reset();
}

void DesignScreen::SelectLibraryRow(int32_t row) {
    DesignLibrary* library = Library();
    const int32_t count = library ? library->CountAvailable() : 0;
    if (count <= 0) return;
    designList->SetCount(count);
    designList->SetSelection((row % count + count) % count);
    selectedDesign = DesignAtSelection();
    library->selected = selectedDesign;
    designRowField->Reset();
    MoveDesignRowField();
}

int32_t DesignScreen::HandleKey(const InputEvent& event) {
    const int32_t key = event.param;
    World* world = TheWorld();
    if (key == kKeyF4 && eventQueue && eventQueue->altDown) {
        RequestGameMode(GameMode::Quit);
        return 0;
    }
    if (chatField) {
        const int32_t used = chatField->HandleEvent(event, chatText);
        if (IsEnter(key)) return EndChat();
        if (!used) chatField->Reset();
        return 1;
    }
    int32_t used = 0;
    if (panelMode == kParts || panelMode == kSettings) {
        if (editedDesign && nameField->HandleEvent(event, editedDesign->name)) {
            used = 1;
            editedDesign->named = 1;
            if (editState == kUnchanged) editState = kChanged;
        }
    } else {
        if (selectedDesign && designRowField->HandleEvent(event, selectedDesign->name)) {
            used = 1;
            selectedDesign->named = 1;
        } else if (selectedGroup && EditGroupName(event)) {
            used = 1;
        }
    }
    if (used) return 1;
    if (panelMode == kLibrary) {
        designRowField->Reset();
        ResetGroupRowField();
    } else {
        nameField->Reset();
    }

    const bool network = world && world->networkGame;
    int32_t result = 1;
    if ((key == 'U' || key == 'u') && network) {
        OpenChat(0);
    } else if (key >= kKeyCtrlF1 && key <= kKeyCtrlF1 + 3 && network) {
        OpenChat(key - kKeyCtrlF1 + 1);
    } else if (key == 17) {
        RequestGameMode(GameMode::MainMenu);
        PlayFeedback(1);
        return 0;
    } else if (key == 'B' || key == 'b' || key == kKeyEscape) {
        hoveredButton = InMissionOrFromMenu() ? 23 : 22;
        result = SetPanelMode(kLeave);
        PlayFeedback(1);
    } else if (key == kKeyUp || key == kKeyDown) {
        const int32_t step = key == kKeyUp ? -1 : 1;
        if (panelMode == kParts) SelectCategory(key == kKeyUp ? 7 : 8, 0);
        if (panelMode == kLibrary) SelectLibraryRow(designList->selection + step);
        PostCursorMoveEvent();
    }
    return result;
}

// --- commands -------------------------------------------------------------------------------

void DesignScreen::ClearEntries() {
    for (int i = 0; i < 3; ++i) {
        entries[i] = nullptr;
        entryPictures[i] = nullptr;
        drivePictures[i] = nullptr;
    }
}

void DesignScreen::AskQuestion(int32_t kind) {
    question = kind;
    buttons[31]->SetEnabled(1);
    buttons[32]->SetEnabled(1);
}

void DesignScreen::CloseQuestion() {
    question = -1;
    for (int i : {31, 32}) {
        buttons[i]->SetHighlighted(0);
        buttons[i]->SetPressed(0);
        buttons[i]->SetEnabled(0);
    }
}

int32_t DesignScreen::SelectCategory(int32_t command, int32_t silent) {
    carried = nullptr;
    carriedPicture = nullptr;
    activePanel = nullptr;
    DesignLibrary* library = Library();
    int32_t result = 1;
    bool refused = false;
    auto copyIntoSelected = [&]() {
        if (selectedDesign && editedDesign) selectedDesign->CopyFrom(*editedDesign);
    };
    switch (command) {
        case 0:
        case 1:
        case 2:
        case 3:
        case 4:
        case 5:
        case 6:
            if (Next(command, nullptr) && category != command) {
                category = command;
                FillFirstPage(command);
                buttons[7]->SetEnabled(command <= 3);
                buttons[8]->SetEnabled(command <= 3);
                if (command == 2) pingPong = 1;
                if (command <= 1) pingPong = 0;
            }
            break;
        case 7:
            buttons[8]->SetEnabled(1);
            PageBack(category);
            repeatAccumulator = 0;
            break;
        case 8:
            buttons[7]->SetEnabled(1);
            PageForward(category);
            repeatAccumulator = 0;
            break;
        case 9:
        case 10:
        case 12:
        case 13:
            activePanel = PanelOfCode(command);
            activePanel->EnableAll(1);
            break;
        case 14:
            if (editState == kChanged) {
                AskQuestion(14);
            } else {
                if (editState == kNew) copyIntoSelected();
                NewDesign();
            }
            SetPanelMode(kParts);
            break;
        case 15: {
            VehicleDesign* doomed = DesignAtSelection();
            if (!doomed || !library || (doomed->chassis && doomed->chassis->role == 'z')) {
                if (!silent) PlayFeedback(0);
                refused = true;
                break;
            }
            VehicleDesign* next = library->NextAvailable(doomed);
            if (!next) next = library->PrevAvailable(doomed);
            const bool fresh = !next;
            if (fresh) next = library->AddDesign(static_cast<char>(clan));
            library->DeleteDesign(doomed);
            designList->SetCount(library->CountAvailable());
            designList->SetSelection(fresh ? 0 : library->IndexOfAvailable(next));
            MoveDesignRowField();
            selectedDesign = next;
            library->selected = next;
            break;
        }
        case 16:
            NewDesign();
            SetPanelMode(kParts);
            break;
        case 17: {
            VehicleDesign* design = DesignAtSelection();
            if (!selectedGroup || !design || (design->chassis && design->chassis->role == 'z'))
                break;
            if (!groupOpen) {
                selectedGroup->Add(design);
                break;
            }
            const bool ctrl = eventQueue && eventQueue->ctrlDown;
            const int32_t at = ctrl ? std::max(groupList->selection, 0) : groupList->selection + 1;
            selectedGroup->Insert(design, at);
            groupList->SetCount(selectedGroup->CountAvailable());
            groupList->SetSelection(at);
            break;
        }
        case 18:
            if (!selectedGroup || !groupOpen) break;
            // The list shows the available members: the selected line counts only those.
            selectedGroup->RemoveAvailableAt(groupList->selection);
            groupList->SetCount(selectedGroup->CountAvailable());
            SelectGroupMember();
            break;
        case 19:
            if (!library) break;
            library->AddGroup();
            groupList->SetCount(library->groups.Count());
            groupList->SetSelection(library->groups.Count() - 1);
            selectedGroup = GroupAtSelection();
            groupOpen = 0;
            ResetGroupRowField();
            MoveGroupRowField();
            break;
        case 20:
            if (!selectedGroup || !library) break;
            if (groupOpen) {
                groupOpen = 0;
                groupList->SetCount(library->groups.Count());
                groupList->SetSelection(library->IndexOfGroup(selectedGroup));
                MoveGroupRowField();
            } else {
                groupOpen = 1;
                groupList->SetCount(selectedGroup->CountAvailable());
                groupList->SetSelection(-1);
                groupRowField->rect = Rect(Point(375, 140), Size(117, 12));
            }
            break;
        case 21: {
            if (!selectedGroup || !library) break;
            library->DeleteGroup(selectedGroup);
            const int32_t count = library->groups.Count();
            groupList->SetCount(count);
            groupList->SetSelection(std::max(std::min(groupList->selection - 1, count - 1), 0));
            selectedGroup = GroupAtSelection();
            groupOpen = 0;
            MoveGroupRowField();
            break;
        }
        case 22:
        case 23:
            result = SetPanelMode(kLeave);
            break;
        case 24:
            if (panelMode != kParts) SetPanelMode(kParts);
            break;
        case 25:
            SetPanelMode(kSettings);
            break;
        case 26:
            if (panelMode != kLibrary) SetPanelMode(kLibrary);
            break;
        case 27:
        case 28:
        case 29:
            PickEntry(entries[command - 27], category);
            break;
        case 30:
            if (panelMode == kParts) helpState = 1;
            if (panelMode == kSettings) helpState = 2;
            break;
        case 31: {
            const int32_t asked = question;
            if (asked == 14) {
                copyIntoSelected();
                NewDesign();
                SetPanelMode(kParts);
            } else if (asked == 1) {
                copyIntoSelected();
                editState = kUnchanged;
            } else if (asked == 3) {
                copyIntoSelected();
                RequestGameMode(static_cast<GameMode>(LeaveRequest()));
                result = 0;
                editState = kUnchanged;
            }
            if (editedDesign && editedDesign->chassis && editedDesign->chassis->role == 'z')
                RefitFactory();
            CloseQuestion();
            break;
        }
        case 32: {
            const int32_t asked = question;
            if (selectedDesign && editedDesign) editedDesign->CopyFrom(*selectedDesign);
            editState = kUnchanged;
            RefreshPanels();
            if (asked == 14) {
                NewDesign();
                SetPanelMode(kParts);
            } else if (asked == 3) {
                RequestGameMode(static_cast<GameMode>(LeaveRequest()));
                result = 0;
            }
            CloseQuestion();
            break;
        }
        default:
            category = -1;
            buttons[7]->SetEnabled(0);
            buttons[8]->SetEnabled(0);
            ClearEntries();
            break;
    }
    if (!silent && !refused && command != 7 && command != 8) PlayFeedback(1);
    return result;
}

// --- panels ---------------------------------------------------------------------------------

void DesignScreen::LimitCategoriesByChassis() {
    auto disable = [this](std::initializer_list<int> list) {
        for (int i : list)
            buttons[i]->SetEnabled(0);
    };
    const ChassisTemplate* chassis = editedDesign ? editedDesign->chassis : nullptr;
    if (!chassis) {
        disable({1, 3, 4, 5, 6});
        if (category != 2) SelectCategory(0, 1);
    } else if (chassis->role == 'z') {
        disable({0, 1, 2, 5});
        if (category == 0 || category == 1 || category == 2 || category == 5) SelectCategory(3, 1);
    } else if (chassis->role == 'k' || chassis->role == 't' || chassis->role == 'g') {
        disable({0, 1, 3, 4, 5, 6});
        if (category != 2) SelectCategory(2, 1);
    } else if (IsSpecialChassis(*chassis)) {
        disable({0, 1});
        if (category == 0 || category == 1) SelectCategory(3, 1);
    } else {
        disable({2});
        if (!editedDesign->drive) {
            disable({3, 4, 5, 6});
            if (category != 1) SelectCategory(1, 1);
        } else if (category == 2) {
            SelectCategory(3, 1);
        }
    }
}

int32_t DesignScreen::SetPanelMode(int32_t mode) {
    helpState = 0;
    switch (panelMode) {
        case kParts:
            for (int i : {0, 1, 2, 3, 4, 5, 6, 7, 8, 14, 27, 28, 29, 30})
                buttons[i]->SetEnabled(0);
            buttons[24]->SetPressed(0);
            break;
        case kLibrary:
            for (int i = 15; i <= 21; ++i)
                buttons[i]->SetEnabled(0);
            buttons[26]->SetPressed(0);
            if (selectedDesign && editedDesign) editedDesign->CopyFrom(*selectedDesign);
            editState = kUnchanged;
            RefreshPanels();
            RefreshPanels();
            break;
        case kSettings:
            for (int code : kPageCodes) {
                buttons[code]->SetHighlighted(0);
                buttons[code]->SetPressed(0);
                buttons[code]->SetEnabled(0);
            }
            buttons[25]->SetPressed(0);
            break;
        default:
            break;
    }
    int32_t pressed = -1;
    int32_t result = 1;
    switch (mode) {
        case kParts: {
            for (int i = 0; i <= 3; ++i)
                buttons[i]->SetEnabled(1);
            for (int i = 4; i <= 6; ++i)
                buttons[i]->SetEnabled(Next(i, nullptr) ? 1 : 0);
            for (int i : {7, 8, 14, 27, 28, 29, 30})
                buttons[i]->SetEnabled(1);
            buttons[24]->SetPressed(1);
            pressed = 24;
            LimitCategoriesByChassis();
            for (int i = 0; i <= 6; ++i)
                buttons[i]->pressed = 0;
            if (category >= 0 && category < kButtons) buttons[category]->SetPressed(1);
            break;
        }
        case kLibrary:
            for (int i = 15; i <= 21; ++i)
                buttons[i]->SetEnabled(1);
            buttons[26]->SetPressed(1);
            pressed = 26;
            helpState = 1;
            if (editState == kChanged) AskQuestion(1);
            if (editState == kNew && selectedDesign && editedDesign)
                selectedDesign->CopyFrom(*editedDesign);
            break;
        case kSettings:
            for (int code : kPageCodes)
                buttons[code]->SetEnabled(1);
            buttons[25]->SetPressed(1);
            pressed = 25;
            helpState = 2;
            SelectCategory(9, 1);
            buttons[9]->SetPressed(1);
            break;
        case kLeave:
            if (editState == kChanged) {
                AskQuestion(3);
                break;
            }
            if (editState == kNew && selectedDesign && editedDesign)
                selectedDesign->CopyFrom(*editedDesign);
            pressed = InMissionOrFromMenu() ? 23 : 22;
            buttons[pressed]->SetPressed(1);
            RequestGameMode(static_cast<GameMode>(LeaveRequest()));
            result = 0;
            break;
        default:
            break;
    }
    if (pressed >= 0) PressInGroup(pressed);
    if (mode == kSettings) PressInGroup(9);
    if (mode != kLeave) panelMode = mode;
    return result;
}
