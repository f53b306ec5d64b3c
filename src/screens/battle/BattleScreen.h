#pragma once
// The battle screen: where a mission is played. A 512 x 480 map view at the screen origin, a
// 128-pixel side panel at x 512 .. 639 and a strip of order buttons along the bottom; edge
// scrolling, zoom and tracking; selection by click, Shift-click, rubber band and group keys;
// left-click orders spread on rings (the right button clears the selection); the build panel,
// the unit panel, the debug panel, chat, the mini-map, the acknowledgement voices and the two
// overlays (options menu, mission text). One screen lives as long as the mission and survives
// the switches to the design screen and back.
//
// Split by topic:
//   BattleScreen.cpp            class, lifecycle, resources, voices, cursor choice
//   BattleScreenView.cpp        map view, scrolling, zoom; the debug panel; TileSize
//   BattleScreenEvents.cpp      event handling, hit testing, rubber band, button releases
//   BattleScreenOrders.cpp      mouse orders, and the operations keys and mouse share (orders
//                               to the selection, tracking, centring, overlays, unit panel)
//   BattleScreenProduction.cpp  the build action and the production list against the factory
//   BattleScreenDraw.cpp        per-frame update and the drawing of the map and the screen
//   BattleScreenKeys.cpp        HandleKey: the keyboard commands
//   BattleScreenPanel.cpp       the side panel: DrawControlPanel, its tabs and the unit panel
// The overlays' makers (BattleOverlays.h) are defined beside OptionsMenu and MissionTextDialog.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/Point.h"
#include "core/Rect.h"
#include "core/SimId.h"
#include "core/Size.h"
#include "ui/ScreenBase.h"

class Bitmap;
class Button;
class ControlPanel;
class FactoryProduction;
class GameObject;
class Image;
class InputEvent;
class PathGrid;
class ResourceFile;
class ScrollList;
class ShadeTable;
class Sound;
class SpriteSet;
class TerrainMap;
class TextField;
class VehicleDesign;
class World;

// The fixed size of a map cell in pixels.
Size TileSize();

class BattleScreen : public ScreenBase {
public:
    // --- Layout
    static constexpr int32_t kViewWidth = 512;
    static constexpr int32_t kViewHeight = 480;
    static constexpr int32_t kScreenWidth = 640;
    static constexpr int32_t kScreenHeight = 480;
    static constexpr int32_t kPanelWidth = 128;
    static constexpr int32_t kCellSize = 32;
    // Edge zones: x < 16, x > 624, y < 16, y > 464.
    static constexpr int32_t kEdgeLow = 16;
    static constexpr int32_t kEdgeRight = 624;
    static constexpr int32_t kEdgeBottom = 464;
    static constexpr int32_t kDrawMargin = 4;
    static constexpr int32_t kLayers = 3;
    static constexpr int32_t kPanelRedrawPeriod = 1000;

    // --- Panel buttons (ids are their region codes)
    static constexpr int kButtons = 23;
    enum ButtonId : int32_t {
        kDesignButton = 0,
        kUnitPanelButton = 1,
        kBuildButton = 2,
        kOptionsButton = 3,
        kMiniMapScale2Button = 4,
        kMiniMapScale1Button = 5,
        kZoom1Button = 6,
        kZoom2Button = 7,
        kNextTabButton = 8,
        kSingleDesignsButton = 9,
        kDesignGroupsButton = 10,
        kStripToggleButton = 11,
        kOpenBuildPanelButton = 12,
        kCloseBuildPanelButton = 13,
        kDestroyButton = 14,
        kSpecialActionButton = 15,
        kGuardButton = 16,
        kCentreFactoryButton = 17,
        kToFactoryButton = 18,
        kRepairButton = 19,
        kMarkersButton = 20,
        kTrackingButton = 21,
        kPauseButton = 22,
    };

    // --- Region codes of the hit test
    enum Region : int32_t {
        kPage9Region = 0x17,
        kPage10Region = 0x18,
        kPage12Region = 0x1a,
        kPage13Region = 0x1b,
        kControlAreaRegion = 0x1c,
        kMapViewRegion = 0x1d,
        kMiniMapRegion = 0x1e,
        kLeftEdge = 0x1f,
        kRightEdge = 0x20,
        kTopEdge = 0x21,
        kBottomEdge = 0x22,
        kTopLeftEdge = 0x23,
        kTopRightEdge = 0x24,
        kBottomLeftEdge = 0x25,
        kBottomRightEdge = 0x26,
        kProductionListRegion = 0x27,
        kBuildListRegion = 0x28,
        kOptionsRegion = 0x29,
        // Part selectors 0 .. 5 of the unit panel are kPartSelectorRegion + i.
        kPartSelectorRegion = 0x2a,
        kNoRegion = 0x30,
        // A chassis has up to seven hardpoints; the seventh selector's code would be "none".
        kSeventhPartSelectorRegion = 0x31,
    };
    static constexpr int32_t kPartSelectors = 7;
    // The region code of part selector i (0 .. 6), and the selector of a region (-1 none).
    static constexpr int32_t PartSelectorRegion(int32_t i) {
        return i < 6 ? kPartSelectorRegion + i : kSeventhPartSelectorRegion;
    }
    static constexpr int32_t PartSelectorOf(int32_t region) {
        if (region >= kPartSelectorRegion && region < kNoRegion)
            return region - kPartSelectorRegion;
        return region == kSeventhPartSelectorRegion ? 6 : -1;
    }
    // The unit panel's control area on the screen.
    static constexpr int32_t kControlAreaX = 156;
    static constexpr int32_t kControlAreaY = 136;
    static constexpr int32_t kControlAreaWidth = 323;
    static constexpr int32_t kControlAreaHeight = 243;

    // --- Voice banks (PlayVoice)
    static constexpr int kVoiceBanks = 11;
    enum VoiceBank : int32_t {
        kSelectVoice = 0,
        kMoveVoice = 1,
        kAttackVoice = 2,
        kTrackVoice = 3,
        kGuardVoice = 4,
        kGuardUnitVoice = 5,
        kFactoryHitVoice = 6,
        kStructureHitVoice = 7,
        kToFactoryVoice = 8,
        kRepairVoice = 9,
        kDestroyVoice = 10,
    };

    // --- Order codes and flags given to GameObject::IssueOrder
    static constexpr int32_t kOrderMoveShift = 1;
    static constexpr int32_t kOrderTarget = 2;
    static constexpr int32_t kOrderGuard = 3;
    static constexpr int32_t kOrderMoveAway = 6;
    static constexpr int32_t kOrderRepair = 7;
    static constexpr int32_t kOrderEscort = 8;
    static constexpr int32_t kOrderMove = 10;
    static constexpr int32_t kOrderBoard = 11;
    static constexpr int32_t kOrderStop = 12;
    static constexpr int32_t kFlagsCtrl = 4;
    static constexpr int32_t kFlagsPlain = 6;
    static constexpr int32_t kFlagsShift = 9;

    // --- Controller events the screen sends to the local team's controller
    static constexpr int32_t kEventDesignChosen = 0xe;
    static constexpr int32_t kEventDesignQueued = 15;
    static constexpr int32_t kEventOrderGiven = 0x12;
    static constexpr int32_t kEventBuildPanelOpened = 0x13;
    static constexpr int32_t kEventBuildPanelClosed = 0x14;

    // --- Cursor shapes
    static constexpr int32_t kNoCursor = -1;
    static constexpr int32_t kPointerCursor = 34;
    static constexpr int32_t kArrowCursor = 35;
    static constexpr int32_t kPausedCursor = 36;

    // --- Draw list entry kinds
    static constexpr int32_t kDrawPlain = 0;
    static constexpr int32_t kDrawLandFeature = 99;

    // One entry of the per-layer draw list.
    struct DrawEntry {
        GameObject* object;
        int16_t row;
        int16_t column;
        int32_t kind;
    };

    BattleScreen();
    ~BattleScreen() override;

    // --- BattleScreen.cpp: lifecycle, resources and voices
    // Loads everything for the local team and clan; the World calls it in place of Load.
    int LoadForTeam(int32_t player, char clanLetter);
    // Deletes everything LoadForTeam made; safe on a screen whose load did not complete.
    void Unload() override;
    void CreatePanelButtons();
    // Bank k becomes count Sounds of consecutive sound-pack entries from the first.
    void MakeSoundBank(int32_t bank, int32_t count, int32_t firstEntry);
    // Plays one acknowledgement voice of the bank (nothing for a bank out of range or empty).
    void PlayVoice(int32_t bank);
    void StopVoice();
    // The cursor shape for the region under the mouse (map point under it for the map view).
    void ChooseCursor(const Point& mapPoint);
    // The cursor shape for a region; the map view's by what lies at the map point.
    int32_t CursorFor(int32_t region, const Point& mapPoint);
    int32_t MapCursor(const Point& mapPoint);
    // 1 when the object's design has a chassis that deploys into a structure.
    static bool HasDeployingChassis(GameObject* object);
    // The tint tables of the sensed forms, made from the land's palette.
    void MakeSensedTints();
    // Takes the screen out of the network and voice hooks it installed.
    void RemoveHooks();

    // --- BattleScreenView.cpp: map view, scrolling and zoom
    Point MapToScreen(const Point& mapPoint) override;
    Point ScreenToMap(const Point& screenPoint) const;
    // Only the point is snapped to the zoom; the offset is added after.
    Point SnapToZoom(const Point& point, const Point& offset) override;
    // Applies the scroll velocity to the wanted origin, snaps and clamps it and makes it
    // current (the scenario keeps the origin).
    void ClampScroll();
    void StopScroll();
    // Sets the scroll velocity for an edge zone (a region code 0x1f .. 0x26).
    void ScrollForZone(int32_t region);
    // Changes the zoom keeping the view centre.
    void SetZoom(int32_t newZoom);
    // The view rectangle for a zoom: the map-view area, cut to the map and centred on an axis
    // where the map is smaller.
    Rect FitViewToMap(int32_t forZoom) const;
    // The map's size in pixels ((0, 0) without a land).
    Size MapPixelSize() const;
    // The view's extent in map pixels at the current zoom.
    Size ViewExtent() const;
    // Sets the wanted origin so that the point lies at the view's centre (not clamped).
    void WantCentreAt(const Point& mapPoint);
    // --- BattleScreenView.cpp: debug panel
    void DrawSimDebugPanel();

    // --- BattleScreenEvents.cpp: events and hit testing
    int HandleEvents(int elapsedMs) override;
    int32_t HitTest(const Point& screenPoint) const;
    void DragRubberBand(const InputEvent& event);
    void SelectInRubberBand(const InputEvent& event);
    void MarkHover();
    void MiniMapMove(const InputEvent& event);
    int32_t MiniMapClick(const InputEvent& event);
    void RefreshUnitButtons();
    int32_t BuildSelected(int32_t ctrl);
    // The release action of a panel button, page button or part selector; 1 accepted, 0
    // refused, -1 for a region whose release does nothing (no feedback).
    int32_t ReleaseAction(int32_t region, const InputEvent& event);
    // Makes the design screen's settings panel of the page active and shows the selection's
    // settings on it.
    void ShowSettingsPage(int32_t region);
    // A button press and release; 1 accepted, 0 refused, and for a release -1 when nothing
    // was released on what was pressed.
    int32_t ButtonDown(const InputEvent& event);
    int32_t ButtonUp(const InputEvent& event);
    // Right click on the production list: cancels the job of its selected row.
    int32_t CancelSelectedJob();
    // The debug panel's production line of a factory; the height it took.
    int32_t DrawBuildingLine(GameObject* factory, int32_t y);

    // --- BattleScreenOrders.cpp: mouse orders
    int32_t HandleMouseCommand(const InputEvent& event);
    void DestroySelected();
    // A left click on open ground: a rubber band, or the selection moved on rings round p.
    int32_t OrderMove(const InputEvent& event, const Point& p);
    // A left click on an own object: escort, guard, repair, board, or selection.
    void OrderToOwn(GameObject* target, const std::vector<GameObject*>& selected);
    // --- BattleScreenOrders.cpp: what the keys and the mouse share
    int32_t SelectionCentre(Point& out, int32_t withFactory);
    int32_t IsTargetVisible(GameObject* object, int32_t row, int32_t column);
    int32_t OrderAttack(GameObject* target);
    void SetRevealMap(int32_t flag);
    void CloseOptionsMenu();
    void CloseUnitPanel();
    // Opens the options overlay (after closing the unit panel).
    void OpenOptionsMenu();
    void CentreOn(const Point& mapPoint);
    void SetWaypointMarker(const Point& screenPoint);
    // The design of the build list's selected row: the n-th available design that is listed
    // for building (complete); null when there is none.
    VehicleDesign* SelectedBuildDesign();
    void OrderGuard();
    void OrderToFactory();
    void SendForRepair();
    void OrderSpecialAction();
    void OrderStop();
    int32_t ToggleTracking();
    // Tells the local team's controller an event (nothing without one).
    void TellController(int32_t kind, void* argument);
    // 1 when the point is visible to the local team (sight, reveal flag or terrain).
    int32_t IsPointVisible(const Point& mapPoint) const;
    // The object the player points at on the map: visible, its delegate in its place, no ore
    // deposit; null for none.
    GameObject* PickTarget(const Point& mapPoint);
    // Deselects every selected object of the local team and the factory.
    void DeselectAll();

    // --- BattleScreenDraw.cpp: per-frame update and drawing
    int Update(int elapsedMs) override;
    void Draw(int elapsedMs) override;
    // Sizes the draw list to twice the cells of the window at the current zoom and view.
    void SizeDrawList();
    // The plain / sensed form an object is drawn in (kDrawPlain, 1, 2, 3), or -1 for not drawn.
    int32_t DrawKindOf(GameObject* object, int32_t row, int32_t column);
    // Whether a shot, effect or taken artifact is drawn: its rectangle is seen now.
    int32_t IsSeenNow(GameObject* object);
    void DrawStatusLine();
    // The objects, land features, cell effects and artifacts of the cells in and around the
    // view, layer by layer.
    void DrawMapObjects(PathGrid& paths, TerrainMap* terrain);
    void DrawUnitPanelOverlay();

    // --- BattleScreenKeys.cpp: the keyboard commands
    // 1 accepted, 0 refused; silent 1 asks for no feedback sound.
    int32_t HandleKey(const InputEvent& event, int32_t& silent);

    // --- BattleScreenPanel.cpp: the side panel, drawn into the panel bitmap
    void DrawControlPanel();
    void DrawMiniMap();
    void DrawStatusTab();
    void DrawPlayersTab();
    // Exactly one of factory and unit is given.
    void DrawUnitPanel(VehicleDesign* design, int32_t rank, int32_t damagePercent,
                       GameObject* factory, GameObject* unit);

    // --- BattleScreenKeys.cpp and BattleScreenPanel.cpp: their steps
    // The keys that work while paused, and the rest; -1 from the first: not one of its keys.
    int32_t HandlePausedKey(int32_t key);
    int32_t HandleRunningKey(int32_t key, int32_t& silent);
    void OpenChat(int32_t recipient);
    // Up (-1) and Down (1) in the build list, wrapping at its ends.
    void MoveBuildSelection(int32_t step);
    void SelectInView();
    void SelectAll();
    // Group keys n = 1 .. 9: Ctrl+n stores, n recalls.
    int32_t StoreGroup(int32_t n);
    int32_t RecallGroup(int32_t n);
    // Key N: the unit after the last one cycled, or its group.
    int32_t SelectNextUnit();
    // The bars' frames for a bar of n frames, always within them; -1 draws no bar.
    static int32_t RankBarFrame(int32_t rank, int32_t frames);
    static int32_t DamageBarFrame(int32_t damagePercent, int32_t frames);
    static int32_t ProgressBarFrame(int32_t buildTime, int32_t remaining, int32_t frames);
    // The build panel's lists and the preview of the design they mark.
    void DrawBuildPanel();
    void DrawPanelButtons();
    // Where pictures placed by their screen position land in the panel bitmap.
    Point PanelPictureOrigin() const;

    // --- What the screen reads of the World
    World* TheWorldOrNull() const;
    // The local team's factory as a map object and as production; null without one.
    GameObject* Factory() const;
    FactoryProduction* Production() const;
    // The selected objects of the local team's Sim list, in list order (no factory).
    std::vector<GameObject*> SelectedObjects() const;
    // Every object of the local team's Sim list, in list order.
    std::vector<GameObject*> TeamObjects() const;
    int32_t FactorySelected() const;
    int32_t IsPaused() const;
    // The event queue's modifier flags.
    static int32_t ShiftHeld();
    static int32_t CtrlHeld();
    static int32_t AltHeld();

    // --- Fields (start values as the constructor sets them)
    Point viewOrigin;
    Point wantedOrigin;
    Point miniMapOrigin;
    Point miniMapOffset;
    Size scrollVelocity;
    Size scrollStep;
    int32_t revealMap = 0;
    Rect viewRect{Point(0, 0), Size(kViewWidth, kViewHeight)};
    const Rect mapViewArea{Point(0, 0), Size(kViewWidth, kViewHeight)};
    Rect miniMapRect;
    int32_t rubberBanding = 0;
    Point bandAnchor;
    Rect band;
    Point mousePoint;
    int32_t pressedRegion = kNoRegion;
    int32_t hoverRegion = kNoRegion;
    int32_t goOn = 1;
    int32_t localTeam = 1;
    char clan = 'V';
    SimId trackedUnit;
    int32_t tracking = 0;
    int32_t unitPanelOpen = 0;
    ControlPanel* activePanel = nullptr;  // not owned: one of the design screen's panels

    // Pictures (owned; null until loaded).
    std::unique_ptr<Bitmap> unitPanelBackground;  // 7a1un 36
    std::unique_ptr<Bitmap> singleUnitOverlay;    // 7a0un 47
    std::unique_ptr<Bitmap> controlBackdrop;      // 7a0un 48
    std::unique_ptr<Bitmap> sidePanelPicture;     // 7a1ug 0
    // Unit-panel role pictures by chassis picture index (27 .. 41 loaded).
    static constexpr int kRolePictureSlots = 46;
    static constexpr int kFirstRolePicture = 27;
    static constexpr int kLastRolePicture = 41;
    std::array<std::unique_ptr<Bitmap>, kRolePictureSlots> rolePictures;
    // Structure indicators of structure codes 3, 4, 2, 0, 1, 5 (7a1ug 42 .. 47).
    static constexpr int32_t kStructureOrder[6] = {3, 4, 2, 0, 1, 5};
    std::array<std::unique_ptr<Bitmap>, 6> structurePictures;
    std::unique_ptr<Bitmap> buildPanelPicture;          // 7a1ug 10
    std::unique_ptr<Bitmap> bottomStripPicture;         // 7a1ug 15
    std::array<std::unique_ptr<Bitmap>, 3> tabHeaders;  // 7a0ug 56, 59, 72
    std::unique_ptr<Bitmap> mapFramePicture;            // 7a0ug 0
    // Dock pictures 7a0ug 8 .. 13: carrier docks 0 .. 2, repair unit docks 0 .. 1, spare.
    std::array<std::unique_ptr<Bitmap>, 6> dockPictures;
    // Bars (rows of frames): 7a0ug 19 rank, 20 damage, 18 build progress.
    std::unique_ptr<SpriteSet> rankBar;
    std::unique_ptr<SpriteSet> damageBar;
    std::unique_ptr<SpriteSet> progressBar;
    // Selected-hardpoint markers of hardpoints 0 .. 6 (7a0ug 57, 58, 60 .. 64).
    std::array<std::unique_ptr<Bitmap>, kPartSelectors> hardpointMarkers;
    // Docks 0 .. 1 of a deployed structure of code 4 and a spare (7a0ug 69, 70, 71).
    std::array<std::unique_ptr<Bitmap>, 3> structureDockPictures;
    // The factory warnings of the clan: build area blocked, no free dock, product not ready.
    std::array<std::unique_ptr<Bitmap>, 3> factoryWarnings;

    // Waypoint marker.
    std::unique_ptr<SpriteSet> markerSprites;
    Point markerPoint;
    int32_t markerFrame = 0;
    int32_t markerStamp = 0;
    int32_t markerPhase = 0;

    int32_t cursorShape = kNoCursor;
    int32_t miniMapScale = 1;
    int32_t miniMapMarkFactor = 2;
    std::array<std::unique_ptr<Button>, kButtons> buttons;
    std::unique_ptr<ScrollList> productionList;
    std::unique_ptr<ScrollList> buildList;
    ScrollList* currentList = nullptr;  // not owned: one of the two lists
    std::array<std::vector<std::unique_ptr<Sound>>, kVoiceBanks> soundBanks;
    Sound* voicePlaying = nullptr;  // not owned: a sound of a bank
    // The object the debug panel watches; null when none.
    SimId debugWatch;
    // Mini-map palette index by terrain letter.
    std::array<uint8_t, 256> miniMapColours{};
    std::unique_ptr<Bitmap> panelBitmap;
    Rect panelRect;
    int32_t panelRedrawAccumulator = 0;
    int32_t panelRedrawPeriod = kPanelRedrawPeriod;
    SimId lastCycled;
    // 0 mini-map, 1 status, 2 players.
    int32_t sideTab = 0;
    // 1: the build list shows single designs, 0 design groups.
    int32_t designListFlag = 1;
    int32_t showAllMarkers = 0;
    int32_t voicePlayed = 0;
    int32_t buildPanelOpen = 1;
    int32_t bottomStripShown = 1;
    int32_t optionsOpen = 0;
    std::unique_ptr<ScreenBase> optionsMenu;
    int32_t mouseButtonHeld = 0;
    // 1 when the last press wants no feedback sound (a disabled button, a list).
    int32_t lastPressSilent = 0;
    // Reused for each layer; sized by SizeDrawList, never per frame.
    std::vector<DrawEntry> drawList;
    int32_t drawCount = 0;
    // Filled by the unit panel's drawing; hit as PartSelectorRegion(i).
    int32_t partSelectorCount = 0;
    std::array<Rect, kPartSelectors> partSelectors{};
    std::unique_ptr<TextField> chatField;
    char chatText[128] = {};
    Rect statusRect{Point(10, 10), Size(492, 15)};
    int32_t chatRecipient = 0;
    std::unique_ptr<ScreenBase> missionText;
    int32_t playerCount = 1;
    // Tint tables toward the mini-map's sensed colours for draw kinds 1, 2, 3, made once per
    // palette.
    std::array<std::unique_ptr<ShadeTable>, 3> sensedTints;
    // 1 while the network's reveal toggle and the objects' voices are routed to this screen.
    int32_t hooksInstalled = 0;
};
