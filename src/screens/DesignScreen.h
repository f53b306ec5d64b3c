#pragma once
// The vehicle design screen: the player assembles designs of the own clan from a chassis, a
// drive and catalogue parts on the hardpoints, sets the behaviour settings on four panels,
// names them and keeps them in the clan's design library with named groups; in a mission it
// also refits the factory's hardpoints. One screen survives the switches among the battle and
// the two design modes.
//
// Split by topic: DesignScreen.cpp (lifecycle and layout), DesignScreenPickers.cpp (catalogue
// pages and library upkeep), DesignScreenCommands.cpp (statistics, keys, commands, panels),
// DesignScreenEvents.cpp (input and tick) and DesignScreenDraw.cpp (drawing).
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "core/Point.h"
#include "core/Rect.h"
#include "core/Timer.h"
#include "screens/battle/DesignPanels.h"
#include "ui/ScreenBase.h"

class Bitmap;
class Button;
class ChassisTemplate;
class ControlPanel;
class DesignGroup;
class DesignLibrary;
class HardpointPanel;
class Image;
class InputEvent;
class MountTemplate;
class Palette;
class PartTemplate;
class ResourceFile;
class ScrollList;
class SpriteSet;
class Template;
class TextField;
class VehicleDesign;
class World;

class DesignScreen : public ScreenBase, public DesignPanels {
public:
    static constexpr int kButtons = 33;
    static constexpr int kHardpointPanels = 15;
    static constexpr int kSettingsPanels = 4;
    static constexpr int kCategories = 7;
    static constexpr int kNoCursor = -1;
    static constexpr int kPointerCursor = 34;
    static constexpr int kArrowCursor = 35;
    static constexpr char kPalettePack[] = "7a0txxxx99s999.pal";
    static constexpr int kPaletteRow = 22;
    static constexpr char kSmallPack[] = "7a0unxxx99s999.msp";
    static constexpr char kLargePack[] = "7a1unxxx99s999.msp";
    static constexpr int kStatusColourText = 10;
    // Lines of the string table for the settings values no panel sets.
    static constexpr int kExploreLine = 310;
    static constexpr int kAutomaticAttackLine = 311;
    // The status box for a text that fits it (DrawStatusLine): between the statistics (bottom
    // 105) and the settings panel (top 128), right of the library's design picture (132) and
    // left of the mounts box (448), frames included.
    inline static const Rect kFreeStatusBand{Point(136, 110), Size(308, 15)};

    enum PanelMode : int32_t { kParts = 0, kLibrary = 1, kSettings = 2, kLeave = 3 };
    enum Edit : int32_t { kNew = 0, kUnchanged = 1, kChanged = 2 };

    explicit DesignScreen(int32_t openedFromMenu);
    ~DesignScreen() override;

    int Load() override;
    void Unload() override;
    void Activate() override;
    void Deactivate() override;
    int HandleEvents(int elapsedMs) override;
    int Update(int elapsedMs) override;
    void Draw(int elapsedMs) override;

    // What the battle screen's unit panel uses.
    ControlPanel* GetControlPanel(int32_t code) override;
    void DrawDesignSettings(const VehicleDesign& design) override;
    Button* SettingsPageButton(int32_t code) override;

    // --- DesignScreenCommands.cpp
    void DrawStats();
    int32_t ButtonAt(const Point& point) const;
    int32_t HandleKey(const InputEvent& event);
    int32_t SelectCategory(int32_t command, int32_t silent);
    int32_t SetPanelMode(int32_t mode);

    // --- DesignScreenPickers.cpp
    Template* Next(int32_t category, Template* current) const;
    Template* Previous(int32_t category, Template* current) const;
    PartTemplate* FirstPairedDrive() const;
    void FillFirstPage(int32_t category);
    void PageForward(int32_t category);
    void PageBack(int32_t category);
    void PickEntry(Template* entry, int32_t category);
    int32_t RefreshPanels();
    void ResetSettingsPanels();
    void ShowHardpointPanel(int32_t index);
    void NewDesign();
    void StoreScratch();
    void HandBack();
    void RefitFactory();
    void SelectGroupMember();
    VehicleDesign* DesignAtSelection() const;
    DesignGroup* GroupAtSelection() const;
    int32_t SetHardpoint(MountTemplate* part, int32_t hardpoint);
    static bool IsSpecialChassis(const ChassisTemplate& chassis);
    // Whether an entry of a category's list is offered to this screen's clan.
    bool IsOffered(int32_t category, const Template& entry) const;

    // The state the tests and the battle screen read.
    int32_t PanelModeNow() const { return panelMode; }
    Button* ButtonOf(int32_t index) const { return buttons[index].get(); }
    HardpointPanel* ShownHardpointPanel() const;
    VehicleDesign* EditedDesign() const { return editedDesign.get(); }
    ScrollList* DesignList() const { return designList.get(); }
    ScrollList* GroupList() const { return groupList.get(); }
    TextField* GroupRowField() const { return groupRowField.get(); }
    Template* VisibleEntry(int32_t i) const { return entries[i]; }

    int32_t clan = 'V';
    int32_t panelMode = kParts;
    int32_t helpState = 0;
    int32_t editState = kNew;
    int32_t question = -1;
    int32_t hoveredButton = -1;
    int32_t pressedButton = -1;
    int32_t pendingCommand = -1;
    int32_t category = 0;
    int32_t shownHardpointPanel = -1;
    int32_t rememberedIndex = -1;
    int32_t rememberedCount = 0;
    int32_t repeatAccumulator = 0;
    int32_t previewFrame = 0;
    int32_t lastTenth = 0;
    int32_t previewAnimating = 0;
    int32_t pingPong = 0;
    int32_t forward = 1;
    int32_t backdropFrame = 0;
    int32_t groupOpen = 0;
    int32_t openedFromMenu;
    VehicleDesign* selectedDesign = nullptr;  // not owned: a library design
    DesignGroup* selectedGroup = nullptr;     // not owned
    ControlPanel* activePanel = nullptr;      // not owned
    MountTemplate* carried = nullptr;
    Image* carriedPicture = nullptr;
    Point cursorPoint;
    const char* helpTexts[3] = {};
    char chatText[128] = {};
    int32_t chatAddressee = 0;

private:
    friend class DesignScreenTestAccess;

    // --- DesignScreen.cpp
    void CreatePartButtons(ResourceFile& small, ResourceFile& large);
    void CreatePanels(ResourceFile& small, ResourceFile& large);
    void LoadBackdropAnimation(ResourceFile& small);
    World* TheWorldOrNull() const;
    DesignLibrary* Library() const;
    void PressInGroup(int32_t index);
    void MoveDesignRowField();
    void MoveGroupRowField();
    bool InMissionOrFromMenu() const;
    int32_t LeaveRequest() const;
    ControlPanel* PanelOfCode(int32_t code) const;

    // --- DesignScreenCommands.cpp
    void AskQuestion(int32_t kind);
    void CloseQuestion();
    void ClearEntries();
    void LimitCategoriesByChassis();
    void SelectLibraryRow(int32_t row);
    void OpenChat(int32_t addressee);
    int32_t EndChat();
    // The group-row field on the selected group's name; a name the design file cannot read
    // back is refused when the field ends, and the name before the edit comes back.
    int32_t EditGroupName(const InputEvent& event);
    // Ends the group-row field; a name being typed that the file cannot read back is refused
    // here too, however the field ends.
    void ResetGroupRowField();
    void DrawPartRow(int32_t y, const char* label, const Template* part, bool chassisOrDrive);

    // --- DesignScreenEvents.cpp
    void HandleQuestionEvent(const InputEvent& event);
    void HandleMove(const InputEvent& event);
    void HandleButtonDown(InputEvent& event, int32_t& deferredMode);
    void HandleButtonUp(InputEvent& event);
    int32_t LibraryListsMouse(const InputEvent& event, bool buttonDown);
    void RedirectToHardpoint(InputEvent& event) const;
    bool PreviewTest(const Point& p) const;
    void StepPreview();

    // --- DesignScreenDraw.cpp
    void DrawLibraryPanel();
    void DrawPartsPanel();
    void DrawQuestion();
    void DrawStatusLine();
    // The box a status text is drawn in (no chat line open): the free band when it fits there,
    // else the status-line rectangle.
    Rect StatusBoxFor(const char* text) const;
    void DrawEntry(int32_t i);

    // --- DesignScreenPickers.cpp
    Template* Walk(int32_t category, Template* current, bool forwardWalk) const;
    Image* PictureOf(int32_t category, Template* entry) const;
    Image* DrivePictureOf(int32_t category, Template* entry) const;
    void PickIntoDesign(VehicleDesign* design);

    std::unique_ptr<Bitmap> background;
    std::unique_ptr<Bitmap> libraryBackdrop;
    std::unique_ptr<Bitmap> settingsBackdrop;
    std::unique_ptr<Bitmap> leaveOverlay;
    std::unique_ptr<Bitmap> openGroupOverlay;
    Rect screenRect;
    Rect entryRects[3];
    Rect statsRect;
    std::array<std::unique_ptr<Button>, kButtons> buttons;
    std::unique_ptr<TextField> nameField;
    Rect previewRect;
    std::unique_ptr<TextField> designRowField;
    std::unique_ptr<TextField> groupRowField;
    std::unique_ptr<Bitmap> questionPicture;
    // Panel codes 9, 10, 13, 12 in that order.
    std::unique_ptr<ControlPanel> settingsPanels[kSettingsPanels];
    std::unique_ptr<HardpointPanel> hardpointPanels[kHardpointPanels];
    std::unique_ptr<VehicleDesign> editedDesign;
    std::unique_ptr<ScrollList> designList;
    std::unique_ptr<ScrollList> groupList;
    Template* entries[3] = {};
    Image* entryPictures[3] = {};
    Image* drivePictures[3] = {};
    Template* rememberedTop[4] = {};
    std::unique_ptr<Palette> palette;
    std::unique_ptr<SpriteSet> backdrop;
    Timer backdropTimer{200};
    std::unique_ptr<TextField> chatField;
    Rect statusRect;
    std::unique_ptr<Bitmap> sizeIcons[5];
    std::string groupNameBefore;
    DesignGroup* nameEditGroup = nullptr;  // not owned: the group whose name is being typed
};
