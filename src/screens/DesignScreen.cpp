#include "screens/DesignScreen.h"

#include <vector>

#include "catalogue/ChassisTemplate.h"
#include "catalogue/DesignGroup.h"
#include "catalogue/DesignLibrary.h"
#include "catalogue/VehicleDesign.h"
#include "core/Bitmap.h"
#include "core/DisplayBase.h"
#include "core/Palette.h"
#include "core/RequiredResources.h"
#include "core/ResourceFile.h"
#include "core/SpriteSet.h"
#include "map/TerrainMap.h"
#include "screens/HardpointPanel.h"
#include "screens/battle/ControlPanel.h"
#include "ui/Button.h"
#include "ui/ScrollList.h"
#include "ui/TextField.h"
#include "world/GameRecords.h"
#include "world/World.h"

namespace {

constexpr int kSmall = 0;
constexpr int kLarge = 1;
constexpr int kNoPack = -1;
constexpr PackEntry kNone{};
constexpr int kFieldColour = 34;
constexpr int kFieldMark = 54;
constexpr int kListColour = 254;

PackEntry E(int row) {
    return PackEntry{0, row};
}

// Both corners inclusive.
Rect Corners(int x0, int y0, int x1, int y1) {
    return Rect(Point(x0, y0), Size(x1 - x0 + 1, y1 - y0 + 1));
}

struct ButtonRow {
    int index;
    Rect rect;
    int pack;
    PackEntry highlighted, pressed, disabled;
    int group;
};

const ButtonRow kButtonRows[] = {
    {0, Rect(Point(0, 6), Size(114, 58)), kLarge, E(1), E(2), E(1), 1},
    {1, Rect(Point(0, 66), Size(113, 58)), kLarge, E(3), E(4), E(3), 1},
    {2, Rect(Point(0, 366), Size(113, 57)), kLarge, E(13), E(14), E(13), 1},
    {3, Rect(Point(0, 126), Size(113, 57)), kLarge, E(5), E(6), E(5), 1},
    {4, Rect(Point(0, 186), Size(113, 57)), kLarge, E(7), E(8), E(7), 1},
    {5, Rect(Point(0, 246), Size(113, 57)), kLarge, E(9), E(10), E(9), 1},
    {6, Rect(Point(0, 306), Size(113, 57)), kLarge, E(11), E(12), E(11), 1},
    {7, Rect(Point(517, 139), Size(107, 13)), kSmall, E(27), kNone, kNone, 7},
    {8, Rect(Point(518, 413), Size(112, 18)), kSmall, E(28), kNone, kNone, 8},
    {9, Rect(Point(0, 25), Size(118, 64)), kLarge, E(37), E(38), kNone, 2},
    {10, Rect(Point(0, 186), Size(118, 64)), kLarge, E(41), E(42), kNone, 2},
    {12, Rect(Point(0, 106), Size(118, 64)), kLarge, E(39), E(40), kNone, 2},
    {13, Rect(Point(0, 258), Size(118, 64)), kLarge, E(43), E(44), kNone, 2},
    {14, Rect(Point(434, 384), Size(69, 43)), kLarge, E(25), kNone, kNone, 14},
    {15, Rect(Point(208, 400), Size(65, 28)), kLarge, E(53), kNone, kNone, 15},
    {16, Rect(Point(143, 400), Size(65, 28)), kLarge, E(88), kNone, kNone, 16},
    {17, Rect(Point(287, 224), Size(59, 51)), kSmall, E(55), kNone, kNone, 17},
    {18, Rect(Point(288, 281), Size(62, 52)), kSmall, E(56), kNone, kNone, 18},
    {19, Corners(368, 403, 427, 425), kLarge, E(86), kNone, kNone, 19},
    {20, Corners(524, 255, 588, 323), kNoPack, kNone, kNone, kNone, 20},
    {21, Corners(432, 403, 491, 425), kLarge, E(54), kNone, kNone, 21},
    {22, Rect(Point(481, 439), Size(156, 40)), kLarge, E(21), E(22), kNone, 0},
    {23, Rect(Point(481, 439), Size(156, 40)), kLarge, E(58), E(59), kNone, 0},
    {24, Rect(Point(160, 438), Size(158, 41)), kLarge, E(17), E(18), kNone, 0},
    {25, Rect(Point(321, 438), Size(158, 41)), kLarge, E(19), E(20), kNone, 0},
    {26, Rect(Point(1, 438), Size(157, 41)), kLarge, E(15), E(16), kNone, 0},
    {27, Rect(Point(518, 156), Size(106, 80)), kNoPack, kNone, kNone, kNone, 27},
    {28, Rect(Point(518, 243), Size(106, 81)), kNoPack, kNone, kNone, kNone, 28},
    {29, Rect(Point(518, 332), Size(106, 78)), kNoPack, kNone, kNone, kNone, 29},
    {30, Rect(Point(279, 108), Size(83, 17)), kLarge, E(23), kNone, kNone, 30},
    {31, Rect(Point(242, 275), Size(19, 18)), kSmall, E(65), E(65), kNone, 3},
    {32, Rect(Point(318, 275), Size(19, 18)), kSmall, E(65), E(65), kNone, 3},
};

struct OptionRow {
    int x, y;
    Rect row;
};
struct PanelRows {
    int panel;  // index in the panel array: codes 9, 10, 13, 12
    int group;
    std::vector<OptionRow> rows;
};

const PanelRows kOptionRows[] = {
    {0,
     0,
     {{169, 339, Corners(167, 338, 450, 358)},
      {169, 303, Corners(167, 301, 450, 321)},
      {169, 249, Corners(167, 247, 450, 283)},
      {169, 195, Corners(167, 194, 450, 230)},
      {169, 159, Corners(167, 158, 450, 178)}}},
    {1,
     4,
     {{169, 293, Corners(167, 291, 450, 311)},
      {169, 257, Corners(167, 256, 450, 276)},
      {169, 203, Corners(167, 201, 450, 238)}}},
    {2,
     6,
     {{169, 343, Corners(167, 341, 450, 361)},
      {169, 307, Corners(167, 305, 450, 325)},
      {169, 271, Corners(167, 269, 450, 289)},
      {169, 236, Corners(167, 235, 450, 255)}}},
    {2, 5, {{169, 189, Corners(167, 187, 450, 207)}, {169, 153, Corners(167, 152, 450, 172)}}},
};

struct HardpointRow {
    int number;
    int x, y;
    int size;
    int side;
};
struct Layout {
    int background;
    std::vector<HardpointRow> hardpoints;
};
const std::vector<HardpointRow> kSixMounts = {{0, 545, 105, 3, 0}, {1, 565, 82, 4, 1},
                                              {2, 565, 44, 4, 1},  {3, 525, 44, 4, 0},
                                              {4, 525, 82, 4, 0},  {5, 545, 63, 3, 1}};
const Layout kLayouts[DesignScreen::kHardpointPanels] = {
    {71, {{0, 545, 57, 2, 1}}},
    {72, {{0, 545, 91, 1, 1}, {1, 545, 58, 3, 1}}},
    {77, {{0, 583, 58, 2, 1}, {1, 507, 58, 2, 0}}},
    {78, {{0, 570, 89, 2, 1}, {1, 545, 53, 3, 1}, {2, 520, 89, 2, 0}}},
    {74, {{0, 560, 87, 2, 1}, {1, 569, 57, 4, 1}, {2, 520, 57, 4, 0}, {3, 529, 86, 2, 0}}},
    {79, {{0, 545, 105, 3, 1}, {1, 576, 77, 3, 1}, {2, 545, 55, 4, 1}, {3, 514, 77, 3, 0}}},
    {75,
     {{0, 565, 100, 2, 1},
      {1, 564, 50, 4, 1},
      {2, 526, 50, 4, 0},
      {3, 526, 100, 2, 0},
      {4, 545, 74, 3, 0}}},
    {80,
     {{0, 545, 99, 2, 1},
      {1, 563, 75, 3, 1},
      {2, 582, 57, 4, 1},
      {3, 508, 57, 4, 0},
      {4, 527, 75, 3, 0}}},
    {82, {{0, 532, 84, 4, 0}, {1, 558, 84, 4, 1}}},
    {81, {{0, 545, 91, 4, 1}, {1, 560, 66, 4, 1}, {2, 530, 66, 4, 0}}},
    {73, {{0, 545, 79, 3, 1}, {1, 559, 53, 2, 1}, {2, 531, 53, 2, 0}}},
    {76, {{0, 545, 68, 2, 1}}},
    {83, {{0, 498, 75, 4, 0}, {1, 592, 75, 4, 1}}},
    {84, kSixMounts},
    {85, kSixMounts},
};

// The mount-size icons are rows 67 to 70 for sizes 1 to 4.
int IconRow(int size) {
    return 66 + size;
}

}  // namespace

DesignScreen::DesignScreen(int32_t openedFromMenu)
    : openedFromMenu(openedFromMenu),
      screenRect(Point(0, 0), Size(DisplayBase::kScreenWidth, DisplayBase::kScreenHeight)),
      statsRect(Point(206, 0), Size(240, 106)),
      previewRect(Point(170, 156), Size(299, 202)),
      statusRect(Point(10, 10), Size(620, 15)) {
    World* world = TheWorld();
    TextWriter* font = world ? world->font.get() : nullptr;
    nameField = std::make_unique<TextField>(Point(229, 407), 185, 17, 0, kFieldColour, font);
    designRowField = std::make_unique<TextField>(Point(114, 431), 153, 12, 0, kFieldColour, font);
    groupRowField = std::make_unique<TextField>(Point(114, 431), 149, 12, 0, kFieldColour, font);
    (void)kFieldMark;
    backdropTimer.Start();
}

DesignScreen::~DesignScreen() = default;

World* DesignScreen::TheWorldOrNull() const {
    return TheWorld();
}

DesignLibrary* DesignScreen::Library() const {
    World* world = TheWorld();
    return world ? world->designLibrary.get() : nullptr;
}

bool DesignScreen::InMissionOrFromMenu() const {
    World* world = TheWorld();
    return (world && world->inGame) || openedFromMenu;
}

int32_t DesignScreen::LeaveRequest() const {
    World* world = TheWorld();
    // The scenario in play is the World's own or the one the installed game records hold.
    const bool scenario = world && (world->scenario ||
                                    (world->gameRecords && world->gameRecords->HasScenario() == 1));
    return static_cast<int32_t>(scenario ? GameMode::Battle : GameMode::MainMenu);
}

void DesignScreen::CreatePartButtons(ResourceFile& small, ResourceFile& large) {
    for (const ButtonRow& row : kButtonRows) {
        ResourceFile* pack = row.pack == kSmall ? &small : row.pack == kLarge ? &large : nullptr;
        const ButtonEntries entries{row.highlighted, row.pressed, row.disabled, kNone};
        const int32_t mode = row.index == 31 || row.index == 32 ? Button::kPlain : Button::kOrigin;
        buttons[row.index] =
            std::make_unique<Button>(pack, entries, row.rect, mode, Point(), Point(), row.group);
    }
    buttons[31]->hitRect = Corners(241, 273, 309, 293);
    buttons[32]->hitRect = Corners(317, 273, 411, 293);
    buttons[31]->SetEnabled(0);
    buttons[32]->SetEnabled(0);
}

void DesignScreen::CreatePanels(ResourceFile& small, ResourceFile& large) {
    questionPicture = RequiredPicture(large, 0, 65);
    const int backgrounds[kSettingsPanels] = {60, 62, 63, 61};
    for (int i = 0; i < kSettingsPanels; ++i) {
        SelectRequiredEntry(large, 0, backgrounds[i]);
        settingsPanels[i] = std::make_unique<ControlPanel>(&large);
    }
    auto addOptions = [&](const PanelRows& rows) {
        for (const OptionRow& row : rows.rows) {
            settingsPanels[rows.panel]->AddButton(Point(row.x, row.y), 19, 18, &small, kNone, E(65),
                                                  kNone, Button::kPlain, Point(), Point(),
                                                  rows.group, row.row);
        }
    };
    auto addSlider = [&](int y, int group) {
        settingsPanels[3]->AddButton(Point(227, y), 38, 27, &small, E(66), E(66), kNone,
                                     Button::kHorizontalSlider, Point(227, y), Point(374, y), group,
                                     Rect());
    };
    for (int i = 0; i < 3; ++i)
        addOptions(kOptionRows[i]);
    addOptions(kOptionRows[3]);
    // Panel 12: the parameter-3 slider, the parameter-1 slider, then the repair-mode rows, so
    // that the sliders stand at list positions 3 and 2.
    addSlider(346, 3);
    addSlider(180, 1);
    addOptions(PanelRows{
        3, 2, {{169, 258, Corners(167, 257, 450, 277)}, {169, 223, Corners(167, 222, 450, 242)}}});
    ResetSettingsPanels();

    for (int n = 0; n < kHardpointPanels; ++n) {
        SelectRequiredEntry(small, 0, kLayouts[n].background);
        hardpointPanels[n] = std::make_unique<HardpointPanel>(&small);
        for (const HardpointRow& h : kLayouts[n].hardpoints) {
            const PackEntry icon = E(IconRow(h.size));
            hardpointPanels[n]->AddHardpointButton(Point(h.x, h.y), 17, 17, h.number, h.side,
                                                   &small, icon, icon, kNone, h.number);
        }
    }
    for (int size = 1; size <= 4; ++size)
        sizeIcons[size] = RequiredPicture(small, 0, IconRow(size));
}

void DesignScreen::LoadBackdropAnimation(ResourceFile& small) {
    backdrop = std::make_unique<SpriteSet>(7);
    for (int i = 0; i < 7; ++i)
        backdrop->SetFrame(RequiredPicture(small, i + 1, 0), i);
}

int DesignScreen::Load() {
    {
        ResourceFile palettes;
        OpenRequiredPack(palettes, kPalettePack);
        SelectRequiredEntry(palettes, 0, kPaletteRow);
        palette = std::make_unique<Palette>(&palettes);
        palettes.Close();
    }
    ResourceFile small;
    ResourceFile large;
    OpenRequiredPack(small, kSmallPack);
    OpenRequiredPack(large, kLargePack);
    background = RequiredPicture(large, 0, 0);
    libraryBackdrop = RequiredPicture(large, 0, 29);
    settingsBackdrop = RequiredPicture(large, 0, 30);
    leaveOverlay = RequiredPicture(large, 0, 57);
    openGroupOverlay = RequiredPicture(small, 0, 87);
    CreatePartButtons(small, large);
    CreatePanels(small, large);
    LoadBackdropAnimation(small);

    World* world = TheWorld();
    DesignLibrary* library = Library();
    clan = world ? world->clanLetter : 'V';
    if (library) library->AddDesign(static_cast<char>(clan));

    TextWriter* font = world ? world->font.get() : nullptr;
    const ButtonEntries up{E(51), kNone, kNone, kNone};
    const ButtonEntries down{E(52), kNone, kNone, kNone};
    groupList = std::make_unique<ScrollList>(
        Rect(Point(364, 198), Size(151, 162)), Rect(Point(378, 162), Size(110, 16)),
        Rect(Point(376, 375), Size(112, 21)), &small, Button::kPlain, up, Button::kPlain, down, 12,
        font, kListColour);
    designList = std::make_unique<ScrollList>(
        Rect(Point(128, 196), Size(155, 163)), Rect(Point(154, 161), Size(109, 17)),
        Rect(Point(152, 376), Size(113, 19)), &small, Button::kPlain, up, Button::kPlain, down, 12,
        font, kListColour);

    const int32_t designs = library ? library->CountAvailable() : 0;
    designList->SetCount(designs);
    designList->SetSelection(designs - 1);
    const int32_t groups = library ? library->groups.Count() : 0;
    groupList->SetCount(groups);
    groupList->SetSelection(groups - 1);
    MoveDesignRowField();
    MoveGroupRowField();

    selectedDesign = DesignAtSelection();
    if (library) library->selected = selectedDesign;
    editedDesign = std::make_unique<VehicleDesign>(static_cast<char>(clan));
    if (selectedDesign) editedDesign->CopyFrom(*selectedDesign);
    RefreshPanels();
    editState = kUnchanged;

    selectedGroup = GroupAtSelection();
    groupOpen = 0;

    PressInGroup(0);
    for (int i = 0; i < 3; ++i)
        entryRects[i] = buttons[27 + i]->Bounds();
    previewFrame = 0;
    category = 0;
    ClearEntries();
    FillFirstPage(0);
    for (int i = 15; i <= 21; ++i)
        buttons[i]->SetEnabled(0);
    for (int code : kPageCodes) {
        buttons[code]->SetHighlighted(0);
        buttons[code]->SetPressed(0);
        buttons[code]->SetEnabled(0);
    }
    small.Close();
    large.Close();
    return 1;
}

void DesignScreen::Unload() {
    background.reset();
    libraryBackdrop.reset();
    settingsBackdrop.reset();
    leaveOverlay.reset();
    openGroupOverlay.reset();
    designList.reset();
    groupList.reset();
    activePanel = nullptr;
    for (auto& panel : settingsPanels)
        panel.reset();
    shownHardpointPanel = -1;
    for (auto& panel : hardpointPanels)
        panel.reset();
    for (auto& button : buttons)
        button.reset();
    selectedDesign = nullptr;
    editedDesign.reset();
    selectedGroup = nullptr;
    nameEditGroup = nullptr;
    groupOpen = 0;
    questionPicture.reset();
    palette.reset();
    backdrop.reset();
    if (World* world = TheWorld()) world->SetStatusMessage("", 0);
    for (auto& icon : sizeIcons)
        icon.reset();
    carried = nullptr;
    carriedPicture = nullptr;
    ClearEntries();
}

void DesignScreen::Activate() {
    if (display) {
        display->RedrawAll();
        display->SetPalette(new Palette(*palette));
    }
    StoreScratch();
    DesignLibrary* library = Library();
    const int32_t available = library ? library->CountAvailable() : 0;
    if (!library || !library->selected) {
        if (rememberedIndex >= 0 && available < rememberedCount)
            rememberedIndex -= rememberedCount - available;
    } else {
        // The battle screen may have chosen the design.
        rememberedIndex = library->IndexOfAvailable(library->selected);
    }
    if (rememberedIndex < 0) {
        NewDesign();
    } else {
        designList->SetCount(available);
        designList->SetSelection(rememberedIndex);
        selectedDesign = DesignAtSelection();
        if (library) library->selected = selectedDesign;
        MoveDesignRowField();
        if (selectedDesign) editedDesign->CopyFrom(*selectedDesign);
        RefreshPanels();
        editState = kUnchanged;
    }
    if (display) display->cursorShape = kArrowCursor;
    RefreshPanels();
    activePanel = nullptr;
    hoveredButton = 24;
    buttons[24]->SetPressed(1);
    SetPanelMode(kParts);
    if (InMissionOrFromMenu()) {
        buttons[22]->SetEnabled(0);
        buttons[23]->SetEnabled(1);
    } else {
        buttons[22]->SetEnabled(1);
        buttons[23]->SetEnabled(0);
    }
    repeatAccumulator = 0;
}

void DesignScreen::Deactivate() {
    if (display) display->cursorShape = kPointerCursor;
    // The World writes the design file next: a group name being typed ends here.
    ResetGroupRowField();
    HandBack();
    if (selectedDesign) {
        DesignLibrary* library = Library();
        rememberedCount = library ? library->CountAvailable() : 0;
        rememberedIndex = library ? library->IndexOfAvailable(selectedDesign) : -1;
        selectedDesign = nullptr;
    }
    World* world = TheWorld();
    if (world && world->terrain) world->terrain->InstallPalette();
}

void DesignScreen::PressInGroup(int32_t index) {
    Button* chosen = buttons[index].get();
    if (!chosen) return;
    chosen->SetPressed(1);
    for (int i = 0; i < kButtons; ++i) {
        Button* b = buttons[i].get();
        if (b && b != chosen && b->id == chosen->id) b->SetPressed(0);
    }
}

void DesignScreen::MoveDesignRowField() {
    if (!designList || !designRowField) return;
    designRowField->rect.origin = designList->SelectedItemPosition();
}

void DesignScreen::MoveGroupRowField() {
    if (!groupList || !groupRowField) return;
    groupRowField->rect = Rect(groupList->SelectedItemPosition(), Size(149, 12));
}

ControlPanel* DesignScreen::PanelOfCode(int32_t code) const {
    switch (code) {
        case 9:
            return settingsPanels[0].get();
        case 10:
            return settingsPanels[1].get();
        case 13:
            return settingsPanels[2].get();
        case 12:
            return settingsPanels[3].get();
        default:
            return nullptr;
    }
}

ControlPanel* DesignScreen::GetControlPanel(int32_t code) {
    return PanelOfCode(code);
}

Button* DesignScreen::SettingsPageButton(int32_t code) {
    for (int page : kPageCodes)
        if (page == code) return buttons[code].get();
    return nullptr;
}

HardpointPanel* DesignScreen::ShownHardpointPanel() const {
    if (shownHardpointPanel < 0 || shownHardpointPanel >= kHardpointPanels) return nullptr;
    return hardpointPanels[shownHardpointPanel].get();
}
