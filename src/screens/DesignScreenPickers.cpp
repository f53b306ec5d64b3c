// The design screen's catalogue pages and the upkeep of the edited design, the library's lists
// and the panels.
#include <algorithm>

#include "catalogue/CatalogueServices.h"
#include "catalogue/ChassisTemplate.h"
#include "catalogue/DesignGroup.h"
#include "catalogue/DesignLibrary.h"
#include "catalogue/MountTemplate.h"
#include "catalogue/PartTemplate.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/VehicleDesign.h"
#include "core/Bitmap.h"
#include "core/SpriteSet.h"
#include "screens/DesignScreen.h"
#include "screens/HardpointPanel.h"
#include "screens/battle/ControlPanel.h"
#include "ui/ScrollList.h"
#include "ui/TextField.h"

namespace {

const NodeList& ListOf(int32_t category) {
    switch (category) {
        case 0:
        case 2:
            return ChassisList;
        case 1:
            return PartList;
        case 3:
            return WeaponList;
        case 4:
            return DefenceItemList;
        case 5:
            return StealthItemList;
        default:
            return SensorItemList;
    }
}

bool Wraps(int32_t category) {
    return category >= 0 && category <= 3;
}

// The catalogue keeps no drive class: the drives a player picks are the section's own drive
// kinds, one record per kind (the base row of each group, which carries the kind's name), not
// the size variants, nor the bare drives of aircraft, carriers, relays and factories, nor the
// paired drives ('P') that the special chassis bring with them.
bool IsPlayerDrive(const PartTemplate& part) {
    return !part.parent && part.name.has_value() && part.role != 'P';
}

}  // namespace

bool DesignScreen::IsSpecialChassis(const ChassisTemplate& chassis) {
    switch (chassis.role) {
        case 'k':
        case 'h':
        case 'f':
        case 't':
        case 'g':
        case 'z':
            return true;
        default:
            return chassis.IsDeployable() == 1;
    }
}

bool DesignScreen::IsOffered(int32_t forCategory, const Template& entry) const {
    if (!IsAvailableTo(entry, static_cast<char>(clan))) return false;
    switch (forCategory) {
        case 0:
            return !IsSpecialChassis(static_cast<const ChassisTemplate&>(entry));
        case 1:
            return IsPlayerDrive(static_cast<const PartTemplate&>(entry));
        case 2:
            return IsSpecialChassis(static_cast<const ChassisTemplate&>(entry));
        default:
            return true;
    }
}

Template* DesignScreen::Walk(int32_t forCategory, Template* current, bool forwardWalk) const {
    const NodeList& list = ListOf(forCategory);
    auto step = [&](const ListNode* n) { return forwardWalk ? list.Next(n) : list.Prev(n); };
    ListNode* const end = forwardWalk ? list.First() : list.Last();
    auto offered = [&](ListNode* n) { return IsOffered(forCategory, *static_cast<Template*>(n)); };
    if (!Wraps(forCategory)) {
        if (!current && !forwardWalk) return nullptr;
        for (ListNode* n = current ? step(current) : end; n; n = step(n))
            if (offered(n)) return static_cast<Template*>(n);
        return nullptr;
    }
    ListNode* n = current ? step(current) : nullptr;
    if (!n) n = end;
    // One pass at most: back at the current entry, nothing else is offered.
    for (int32_t i = list.Count(); i > 0 && n; --i) {
        if (n == current) return nullptr;
        if (offered(n)) return static_cast<Template*>(n);
        n = step(n);
        if (!n) n = end;
    }
    return nullptr;
}

Template* DesignScreen::Next(int32_t forCategory, Template* current) const {
    return Walk(forCategory, current, true);
}

Template* DesignScreen::Previous(int32_t forCategory, Template* current) const {
    return Walk(forCategory, current, false);
}

PartTemplate* DesignScreen::FirstPairedDrive() const {
    for (ListNode* n = PartList.First(); n; n = PartList.Next(n)) {
        auto* part = static_cast<PartTemplate*>(n);
        if (part->role == 'P' && IsAvailableTo(*part, static_cast<char>(clan))) return part;
    }
    return nullptr;
}

Image* DesignScreen::PictureOf(int32_t forCategory, Template* entry) const {
    if (!entry) return nullptr;
    switch (forCategory) {
        case 0:
        case 2:
            return static_cast<ChassisTemplate*>(entry)->panelPictures.get();
        case 1:
            return static_cast<PartTemplate*>(entry)->OwnOrParentSprites();
        default:
            return static_cast<MountTemplate*>(entry)->panelPictures.get();
    }
}

Image* DesignScreen::DrivePictureOf(int32_t forCategory, Template* entry) const {
    if (forCategory != 2 || !entry || !editedDesign) return nullptr;
    PartTemplate* drive = editedDesign->FindMatchingSecondaryPart(
        static_cast<ChassisTemplate*>(entry), FirstPairedDrive());
    return drive ? drive->OwnOrParentSprites() : nullptr;
}

void DesignScreen::FillFirstPage(int32_t forCategory) {
    ClearEntries();
    if (forCategory < 0 || forCategory >= kCategories) return;
    Template* top = Wraps(forCategory) ? rememberedTop[forCategory] : nullptr;
    if (top && !IsOffered(forCategory, *top)) top = nullptr;
    if (!top) top = Next(forCategory, nullptr);
    if (Wraps(forCategory)) rememberedTop[forCategory] = top;
    Template* middle = top ? Next(forCategory, top) : nullptr;
    Template* bottom = middle ? Next(forCategory, middle) : nullptr;
    // A short list is not shown twice.
    if (Wraps(forCategory)) {
        if (middle == top) middle = nullptr;
        if (bottom == top || !middle) bottom = nullptr;
    }
    Template* page[3] = {top, middle, bottom};
    for (int i = 0; i < 3; ++i) {
        entries[i] = page[i];
        entryPictures[i] = PictureOf(forCategory, page[i]);
        drivePictures[i] = DrivePictureOf(forCategory, page[i]);
    }
}

void DesignScreen::PageForward(int32_t forCategory) {
    if (forCategory < 0 || forCategory >= kCategories || !entries[0]) return;
    Template* last = entries[2] ? entries[2] : entries[1] ? entries[1] : entries[0];
    Template* candidate = Next(forCategory, last);
    if (Wraps(forCategory) && (candidate == entries[0] || candidate == entries[1])) {
        candidate = nullptr;
    }
    if (!candidate) return;
    for (int i = 0; i < 2; ++i) {
        entries[i] = entries[i + 1];
        entryPictures[i] = entryPictures[i + 1];
        drivePictures[i] = drivePictures[i + 1];
    }
    entries[2] = candidate;
    entryPictures[2] = PictureOf(forCategory, candidate);
    drivePictures[2] = DrivePictureOf(forCategory, candidate);
    if (Wraps(forCategory)) rememberedTop[forCategory] = entries[0];
}

void DesignScreen::PageBack(int32_t forCategory) {
    if (forCategory < 0 || forCategory >= kCategories || !entries[0]) return;
    Template* candidate = Previous(forCategory, entries[0]);
    if (Wraps(forCategory) && (candidate == entries[2] || candidate == entries[1])) {
        candidate = nullptr;
    }
    if (!candidate) return;
    for (int i = 2; i > 0; --i) {
        entries[i] = entries[i - 1];
        entryPictures[i] = entryPictures[i - 1];
        drivePictures[i] = drivePictures[i - 1];
    }
    entries[0] = candidate;
    entryPictures[0] = PictureOf(forCategory, candidate);
    drivePictures[0] = DrivePictureOf(forCategory, candidate);
    if (Wraps(forCategory)) rememberedTop[forCategory] = entries[0];
}

void DesignScreen::PickEntry(Template* entry, int32_t forCategory) {
    if (!entry || !editedDesign) return;
    VehicleDesign& design = *editedDesign;
    const bool special = design.chassis && IsSpecialChassis(*design.chassis);
    switch (forCategory) {
        case 0:
            if (special) design.SetSecondaryPart(nullptr);
            if (design.SetPrimaryPart(static_cast<ChassisTemplate*>(entry))) {
                ShowHardpointPanel(design.chassis->designPanelIndex);
                if (editState == kUnchanged) editState = kChanged;
            }
            SetPanelMode(kParts);
            break;
        case 1:
            if (special) {
                design.SetSecondaryPart(nullptr);
                design.SetPrimaryPart(nullptr);
                ShowHardpointPanel(-1);
            }
            if (design.SetSecondaryPart(static_cast<PartTemplate*>(entry)) &&
                editState == kUnchanged) {
                editState = kChanged;
            }
            SetPanelMode(kParts);
            break;
        case 2:
            if (design.drive) design.SetSecondaryPart(nullptr);
            if (design.SetPrimaryPart(static_cast<ChassisTemplate*>(entry))) {
                design.SetSecondaryPart(FirstPairedDrive());
                ShowHardpointPanel(design.chassis->designPanelIndex);
                if (editState == kUnchanged) editState = kChanged;
            }
            SetPanelMode(kParts);
            break;
        default:
            carried = static_cast<MountTemplate*>(entry);
            carriedPicture = carried->panelBitmap.get();
            if (HardpointPanel* panel = ShownHardpointPanel()) panel->EnableAll(1);
            break;
    }
}

void DesignScreen::ShowHardpointPanel(int32_t index) {
    if (HardpointPanel* shown = ShownHardpointPanel()) {
        shown->ClearPictures();
        shown->EnableAll(0);
    }
    // A chassis naming a layout the screen does not have shows no panel.
    shownHardpointPanel = index >= 0 && index < kHardpointPanels ? index : -1;
    HardpointPanel* panel = ShownHardpointPanel();
    if (!panel) return;
    panel->ClearPictures();
    panel->EnableAll(1);
    for (int h = 0; h < VehicleDesign::kHardpoints; ++h) {
        MountTemplate* part = editedDesign ? editedDesign->hardpoints[h] : nullptr;
        panel->SetSlot(h, part ? part->panelBitmap.get() : nullptr,
                       part && part->shortText ? part->shortText->c_str() : nullptr);
    }
}

int32_t DesignScreen::RefreshPanels() {
    for (auto& panel : settingsPanels)
        if (panel) panel->EnableAll(1);
    if (editedDesign && settingsPanels[0]) {
        const auto& p = editedDesign->parameters;
        settingsPanels[0]->SelectInGroup(0, p[0]);
        settingsPanels[1]->SelectInGroup(4, p[4]);
        settingsPanels[2]->SelectInGroup(5, p[5]);
        settingsPanels[2]->SelectInGroup(6, p[6]);
        settingsPanels[3]->SelectInGroup(2, p[2]);
        settingsPanels[3]->SetSliderValue(1, 2, p[1]);
        settingsPanels[3]->SetSliderValue(3, 3, p[3]);
    }
    for (auto& panel : settingsPanels)
        if (panel) panel->EnableAll(0);
    if (activePanel) activePanel->EnableAll(1);
    if (editedDesign && editedDesign->chassis)
        ShowHardpointPanel(editedDesign->chassis->designPanelIndex);
    return 1;
}

void DesignScreen::ResetSettingsPanels() {
    for (auto& panel : settingsPanels)
        if (panel) panel->EnableAll(1);
    settingsPanels[0]->SelectInGroup(0, 3);
    settingsPanels[1]->SelectInGroup(4, 2);
    settingsPanels[2]->SelectInGroup(5, 1);
    settingsPanels[2]->SelectInGroup(6, 2);
    settingsPanels[3]->SelectInGroup(2, 1);
    settingsPanels[3]->SetSliderValue(1, 2, 99);
    settingsPanels[3]->SetSliderValue(3, 3, 99);
    for (auto& panel : settingsPanels)
        if (panel) panel->EnableAll(0);
}

VehicleDesign* DesignScreen::DesignAtSelection() const {
    DesignLibrary* library = Library();
    return library && designList ? library->AvailableAt(designList->selection) : nullptr;
}

DesignGroup* DesignScreen::GroupAtSelection() const {
    DesignLibrary* library = Library();
    return library && groupList ? library->GroupAt(groupList->selection) : nullptr;
}

void DesignScreen::PickIntoDesign(VehicleDesign* design) {
    selectedDesign = design;
    if (DesignLibrary* library = Library()) library->selected = design;
    MoveDesignRowField();
    if (design && editedDesign) editedDesign->CopyFrom(*design);
    RefreshPanels();
}

void DesignScreen::NewDesign() {
    editState = kNew;
    DesignLibrary* library = Library();
    if (!library) return;
    library->AddDesign(static_cast<char>(clan));
    const int32_t count = library->CountAvailable();
    designList->SetCount(count);
    designList->SetSelection(count - 1);
    PickIntoDesign(DesignAtSelection());
}

void DesignScreen::StoreScratch() {
    DesignLibrary* library = Library();
    if (!library) return;
    library->StoreCurrent();
    const int32_t count = library->CountAvailable();
    designList->SetCount(count);
    designList->SetSelection(count - 1);
    selectedDesign = DesignAtSelection();
    MoveDesignRowField();
    if (selectedDesign) editedDesign->CopyFrom(*selectedDesign);
    editState = kUnchanged;
    RefreshPanels();
}

void DesignScreen::HandBack() {
    DesignLibrary* library = Library();
    if (!library) return;
    if (selectedDesign && selectedDesign->chassis && selectedDesign->chassis->role == 'z') {
        RefitFactory();
        library->EditIntoCurrent(editedDesign.get());
        VehicleDesign* next = library->NextAvailable(selectedDesign);
        if (!next) next = library->PrevAvailable(selectedDesign);
        if (!next) next = library->AddDesign(static_cast<char>(clan));
        selectedDesign = next;
        library->selected = next;
        editedDesign->CopyFrom(*next);
        RefreshPanels();
        editState = kUnchanged;
    }
    library->UnlistCurrent();
}

void DesignScreen::RefitFactory() {
    CatalogueServices& services = Services();
    VehicleDesign* factory = services.LocalFactoryDesign();
    if (!factory || !editedDesign) return;
    for (int h = 0; h < VehicleDesign::kHardpoints; ++h)
        factory->SetHardpoint(editedDesign->hardpoints[h], h);
    services.FactoryDesignChanged();
}

void DesignScreen::SelectGroupMember() {
    DesignLibrary* library = Library();
    if (!library || !selectedGroup) return;
    const int32_t line = std::min(groupList->selection, groupList->count - 1);
    VehicleDesign* member = selectedGroup->AvailableAt(line);
    if (!member) return;
    const int32_t index = library->IndexOfAvailable(member);
    if (index == -1) return;
    designList->SetCount(library->CountAvailable());
    designList->SetSelection(index);
    if (DesignAtSelection() != selectedDesign) {
        selectedDesign = DesignAtSelection();
        library->selected = selectedDesign;
        designRowField->Reset();
        MoveDesignRowField();
    }
}

int32_t DesignScreen::SetHardpoint(MountTemplate* part, int32_t hardpoint) {
    return editedDesign ? editedDesign->SetHardpoint(part, hardpoint) : 0;
}
