#include "screens/battle/BattleScreen.h"

#include <algorithm>

#include "catalogue/ChassisTemplate.h"
#include "catalogue/VehicleDesign.h"
#include "core/Bitmap.h"
#include "core/DisplayBase.h"
#include "core/EventQueue.h"
#include "core/FatalError.h"
#include "core/Palette.h"
#include "core/Random.h"
#include "core/RequiredResources.h"
#include "core/ResourceFile.h"
#include "core/Settings.h"
#include "core/ShadeTable.h"
#include "core/Sound.h"
#include "core/SpriteSet.h"
#include "core/TextWriter.h"
#include "core/VoicePool.h"
#include "map/SightGrid.h"
#include "map/TerrainMap.h"
#include "net/NetworkPlay.h"
#include "objects/GameObject.h"
#include "screens/battle/BattleOverlays.h"
#include "screens/battle/ControlPanel.h"
#include "ui/Button.h"
#include "ui/ScrollList.h"
#include "ui/TextField.h"
#include "world/Scenario.h"
#include "world/World.h"

namespace {

constexpr char kLargeUnitPack[] = "7a1unxxx99s999.msp";
constexpr char kSmallUnitPack[] = "7a0unxxx99s999.msp";
constexpr char kLargePanelPack[] = "7a1ugxxx99s999.msp";
constexpr char kSmallPanelPack[] = "7a0ugxxx99s999.msp";
constexpr char kMarkerPack[] = "7a0atxxx99s999.msp";
constexpr int32_t kListTextColour = 254;
constexpr int32_t kListRowHeight = 12;
constexpr PackEntry kNone{};

PackEntry E(int row) {
    return PackEntry{0, row};
}

// Both corners inclusive.
Rect Corners(int x0, int y0, int x1, int y1) {
    return Rect(Point(x0, y0), Size(x1 - x0 + 1, y1 - y0 + 1));
}

std::unique_ptr<Bitmap> PictureAt(ResourceFile& pack, int row) {
    return RequiredPicture(pack, 0, row);
}

std::unique_ptr<SpriteSet> RowAt(ResourceFile& pack, int row) {
    std::unique_ptr<SpriteSet> set = LoadSpriteSetFromRow(row, &pack);
    if (!set) ResourceMissing(pack.Path() + ": has no bar at row " + std::to_string(row));
    return set;
}

struct PanelButton {
    int id;
    Rect rect;
    bool large;  // 7a1ug, else 7a0ug
    int highlighted, pressed, normal;
};

const PanelButton kPanelButtons[BattleScreen::kButtons] = {
    {0, Corners(573, 67, 637, 89), true, 5, -1, -1},
    {1, Corners(512, 67, 573, 89), true, 6, 8, -1},
    {2, Corners(582, 344, 639, 368), true, 11, -1, -1},
    {3, Corners(573, 46, 637, 67), true, 1, 7, -1},
    {4, Corners(558, 292, 588, 322), false, 4, -1, -1},
    {5, Corners(558, 292, 588, 322), false, 6, -1, 5},
    {6, Corners(518, 292, 543, 322), false, 1, -1, -1},
    {7, Corners(518, 292, 543, 322), false, 3, -1, 2},
    {8, Corners(599, 292, 628, 322), false, 68, -1, -1},
    {9, Corners(527, 255, 624, 270), true, 14, -1, 13},
    {10, Corners(527, 255, 624, 270), true, 12, -1, -1},
    {11, Corners(490, 383, 512, 447), false, 7, -1, -1},
    {12, Corners(512, 46, 573, 89), true, 4, -1, 3},
    {13, Corners(512, 46, 573, 89), true, 2, -1, -1},
    {14, Corners(8, 448, 68, 472), true, 16, -1, -1},
    {15, Corners(75, 448, 138, 472), true, 17, -1, -1},
    {16, Corners(145, 448, 210, 472), true, 18, -1, -1},
    {17, Corners(429, 448, 494, 472), true, 22, -1, -1},
    {18, Corners(216, 448, 280, 472), true, 19, -1, -1},
    {19, Corners(288, 448, 351, 472), true, 20, -1, -1},
    {20, Corners(356, 448, 422, 472), true, 21, 64, -1},
    {21, Corners(500, 448, 564, 472), true, 23, 25, -1},
    {22, Corners(572, 448, 632, 472), true, 24, 26, -1},
};

struct BankRow {
    int count, firstV, firstT;
};
const BankRow kBanks[BattleScreen::kVoiceBanks] = {
    {1, 25, 25}, {1, 26, 26}, {2, 27, 29}, {1, 39, 40}, {2, 31, 33}, {2, 35, 37},
    {1, 41, 42}, {1, 43, 44}, {2, 45, 47}, {1, 49, 49}, {1, 14, 16},
};

// The sensed forms are tinted toward the mini-map's sensed colours: kinds 1, 2, 3 toward
// palette 100, 67, 41.
constexpr int32_t kSensedColours[3] = {100, 67, 41};

// Every colour mixed half and half with the target colour, mapped back into the palette.
std::unique_ptr<ShadeTable> MakeTintToward(int32_t target, const Palette& palette) {
    auto table = std::make_unique<ShadeTable>();
    const Rgb t = palette.entries[target];
    for (int i = 0; i < 256; ++i) {
        const Rgb c = palette.entries[i];
        const Rgb mixed{static_cast<uint8_t>((c.r + t.r) / 2),
                        static_cast<uint8_t>((c.g + t.g) / 2),
                        static_cast<uint8_t>((c.b + t.b) / 2)};
        table->entries[i] = palette.FindNearestColour(mixed);
    }
    return table;
}

PackEntry EntryOrNone(int row) {
    return row < 0 ? kNone : E(row);
}

}  // namespace

BattleScreen::BattleScreen() {
    scrollStep = Size(::scrollStep, ::scrollStep);
    miniMapColours.fill(254);
    miniMapColours['p'] = 97;
    miniMapColours['e'] = 97;
    miniMapColours['w'] = 92;
    miniMapColours['r'] = 45;
    miniMapColours['c'] = 27;
    miniMapColours[' '] = 27;
}

// The loaded objects are released by Unload; what is left here goes with the members.
BattleScreen::~BattleScreen() {
    RemoveHooks();
}

void BattleScreen::RemoveHooks() {
    if (!hooksInstalled) return;
    TheNetworkHooks().setRevealMap = {};
    if (World* world = TheWorldOrNull()) world->unitMakers.playVoice = {};
    hooksInstalled = 0;
}

int BattleScreen::LoadForTeam(int32_t player, char clanLetter) {
    World* world = TheWorldOrNull();
    // 1. The team, the view rectangle and the buttons.
    localTeam = player;
    clan = clanLetter;
    viewRect = FitViewToMap(zoom);
    if (world && world->terrain) world->terrain->SetView(viewRect);
    CreatePanelButtons();

    // 2. The mini-map and the panel.
    miniMapRect = Corners(521, 332, 630, 438);
    panelRect = Rect(Point(512, 0), Size(kPanelWidth, kScreenHeight));
    panelBitmap = std::make_unique<Bitmap>(panelRect.extent);

    // 3. The scenario's view origin, snapped and clamped.
    wantedOrigin = world && world->scenario ? world->scenario->viewOrigin : Point();
    ClampScroll();

    // 4. Pictures, pack by pack.
    {
        ResourceFile pack;
        OpenRequiredPack(pack, kLargeUnitPack);
        unitPanelBackground = PictureAt(pack, 36);
    }
    {
        ResourceFile pack;
        OpenRequiredPack(pack, kSmallUnitPack);
        singleUnitOverlay = PictureAt(pack, 47);
        controlBackdrop = PictureAt(pack, 48);
    }
    {
        ResourceFile pack;
        OpenRequiredPack(pack, kLargePanelPack);
        sidePanelPicture = PictureAt(pack, 0);
        for (int row = kFirstRolePicture; row <= kLastRolePicture; ++row)
            rolePictures[row] = PictureAt(pack, row);
        for (int i = 0; i < 6; ++i)
            structurePictures[i] = PictureAt(pack, 42 + i);
        buildPanelPicture = PictureAt(pack, 10);
        bottomStripPicture = PictureAt(pack, 15);
    }
    TextWriter* font = world ? world->font.get() : nullptr;
    {
        ResourceFile pack;
        OpenRequiredPack(pack, kSmallPanelPack);
        const int headers[3] = {56, 59, 72};
        for (int i = 0; i < 3; ++i)
            tabHeaders[i] = PictureAt(pack, headers[i]);
        mapFramePicture = PictureAt(pack, 0);
        for (int i = 0; i < 6; ++i)
            dockPictures[i] = PictureAt(pack, 8 + i);
        rankBar = RowAt(pack, 19);
        damageBar = RowAt(pack, 20);
        progressBar = RowAt(pack, 18);
        productionList = std::make_unique<ScrollList>(
            Corners(523, 377, 632, 428), Corners(518, 371, 635, 377), Corners(518, 431, 635, 440),
            &pack, Button::kOrigin, ButtonEntries{E(16), kNone, kNone, kNone}, Button::kOrigin,
            ButtonEntries{E(17), kNone, kNone, kNone}, kListRowHeight, font, kListTextColour);
        buildList = std::make_unique<ScrollList>(
            Corners(523, 281, 632, 333), Corners(518, 274, 635, 282), Corners(518, 335, 635, 342),
            &pack, Button::kOrigin, ButtonEntries{E(14), kNone, kNone, kNone}, Button::kOrigin,
            ButtonEntries{E(15), kNone, kNone, kNone}, kListRowHeight, font, kListTextColour);
        const int markers[kPartSelectors] = {57, 58, 60, 61, 62, 63, 64};
        for (int i = 0; i < kPartSelectors; ++i)
            hardpointMarkers[i] = PictureAt(pack, markers[i]);
        for (int i = 0; i < 3; ++i)
            structureDockPictures[i] = PictureAt(pack, 69 + i);
        const int warningsV[3] = {21, 23, 22};
        const int warningsT[3] = {24, 26, 25};
        for (int i = 0; i < 3; ++i)
            factoryWarnings[i] = PictureAt(pack, clan == 'V' ? warningsV[i] : warningsT[i]);
    }

    // 5. The voices of the clan.
    for (int bank = 0; bank < kVoiceBanks; ++bank) {
        const BankRow& row = kBanks[bank];
        MakeSoundBank(bank, row.count, clan == 'V' ? row.firstV : row.firstT);
    }

    // 6. The waypoint marker.
    markerSprites = LoadSpriteSetRow(kMarkerPack);

    // 7. The build list is current; the panel is drawn on the first frame.
    currentList = buildList.get();
    panelRedrawAccumulator = panelRedrawPeriod;

    // 8. The options overlay.
    optionsMenu = MakeOptionsMenu();
    if (optionsMenu) optionsMenu->Load();

    // 9. Start state.
    buildPanelOpen = 1;
    optionsOpen = 0;
    bottomStripShown = 1;
    unitPanelOpen = 0;
    voicePlaying = nullptr;
    mouseButtonHeld = 0;
    playerCount = std::max(1, world && world->scenario ? world->scenario->PlayerCount() : 1);
    MakeSensedTints();
    SizeDrawList();
    // Command 31 of a peer (the reveal toggle) and the map objects' voices reach this screen.
    TheNetworkHooks().setRevealMap = [this](int flag) { SetRevealMap(flag); };
    if (world) world->unitMakers.playVoice = [this](int bank) { PlayVoice(bank); };
    hooksInstalled = 1;
    return 1;
}

void BattleScreen::MakeSensedTints() {
    World* world = TheWorldOrNull();
    Palette* palette = world && world->terrain ? world->terrain->GetPalette() : nullptr;
    for (int i = 0; i < 3; ++i) {
        sensedTints[i].reset();
        if (palette) sensedTints[i] = MakeTintToward(kSensedColours[i], *palette);
    }
}

void BattleScreen::Unload() {
    if (optionsMenu) optionsMenu->Unload();
    optionsMenu.reset();
    unitPanelBackground.reset();
    singleUnitOverlay.reset();
    controlBackdrop.reset();
    sidePanelPicture.reset();
    tabHeaders = {};
    mapFramePicture.reset();
    dockPictures = {};
    rankBar.reset();
    damageBar.reset();
    progressBar.reset();
    hardpointMarkers = {};
    structureDockPictures = {};
    factoryWarnings = {};
    markerSprites.reset();
    rolePictures = {};
    structurePictures = {};
    productionList.reset();
    buildList.reset();
    // The voice pool borrows the bank sounds: take them out of it before they go.
    World* world = TheWorldOrNull();
    for (auto& bank : soundBanks) {
        for (auto& sound : bank) {
            if (world && world->voices) world->voices->StopSound(sound.get());
            sound.reset();
        }
        bank.clear();
    }
    voicePlaying = nullptr;
    for (auto& button : buttons)
        button.reset();
    currentList = nullptr;
    activePanel = nullptr;
    debugWatch = SimId();
    panelBitmap.reset();
    buildPanelPicture.reset();
    bottomStripPicture.reset();
    sensedTints = {};
    chatField.reset();
    if (world) world->SetStatusMessage("", 0);
    if (missionText) {
        missionText->Unload();
        missionText.reset();
    }
    RemoveHooks();
}

void BattleScreen::CreatePanelButtons() {
    ResourceFile large;
    ResourceFile small;
    OpenRequiredPack(large, kLargePanelPack);
    OpenRequiredPack(small, kSmallPanelPack);
    for (const PanelButton& row : kPanelButtons) {
        const ButtonEntries entries{EntryOrNone(row.highlighted), EntryOrNone(row.pressed), kNone,
                                    EntryOrNone(row.normal)};
        buttons[row.id] = std::make_unique<Button>(row.large ? &large : &small, entries, row.rect,
                                                   Button::kOrigin, Point(), Point(), row.id);
    }
    World* world = TheWorldOrNull();
    if (world && world->scenario && world->scenario->missionNumber == 12) {
        buttons[kDesignButton]->SetEnabled(0);
        buttons[kDesignGroupsButton]->SetEnabled(0);
    }
}

void BattleScreen::MakeSoundBank(int32_t bank, int32_t count, int32_t firstEntry) {
    if (bank < 0 || bank >= kVoiceBanks) return;
    soundBanks[bank].clear();
    for (int i = 0; i < count; ++i)
        soundBanks[bank].push_back(std::make_unique<Sound>(firstEntry + i));
}

void BattleScreen::PlayVoice(int32_t bank) {
    if (bank < 0 || bank >= kVoiceBanks || soundBanks[bank].empty()) return;
    World* world = TheWorldOrNull();
    // 1. A team whose factory was placed and is gone hears nothing.
    if (world && world->scenario && localTeam >= 0 && localTeam < Scenario::kTeams &&
        world->scenario->factoryPlaced[localTeam] == 1 && !world->TeamFactory(localTeam)) {
        return;
    }
    // 2. A random pick, also in banks of one.
    const int count = static_cast<int>(soundBanks[bank].size());
    Sound* picked = soundBanks[bank][RandomRange(0, count - 1)].get();
    // 3. Another voice gives way.
    if (voicePlaying && voicePlaying != picked) StopVoice();
    // 4. Play it once.
    voicePlaying = picked;
    if (world && world->voices)
        world->voices->Play(picked);
    else
        picked->Play(0);
    voicePlayed = 1;
}

void BattleScreen::StopVoice() {
    if (!voicePlaying) return;
    World* world = TheWorldOrNull();
    if (world && world->voices)
        world->voices->StopSound(voicePlaying);
    else
        voicePlaying->Stop();
    voicePlaying = nullptr;
}

void BattleScreen::ChooseCursor(const Point& mapPoint) {
    cursorShape = CursorFor(hoverRegion, mapPoint);
    if (display) display->cursorShape = cursorShape;
}

int32_t BattleScreen::CursorFor(int32_t region, const Point& mapPoint) {
    switch (region) {
        case kLeftEdge:
            return 17;
        case kTopLeftEdge:
            return 18;
        case kBottomLeftEdge:
            return 24;
        case kRightEdge:
            return 21;
        case kTopRightEdge:
            return 20;
        case kBottomRightEdge:
            return 22;
        case kTopEdge:
            return 19;
        case kBottomEdge:
            return 23;
        case kMiniMapRegion:
            return 33;
        case kMapViewRegion:
            return MapCursor(mapPoint);
        default:
            return kPointerCursor;
    }
}

int32_t BattleScreen::MapCursor(const Point& p) {
    World* world = TheWorldOrNull();
    // 1. Paused.
    if (IsPaused()) return kPausedCursor;
    // 2. Gather.
    GameObject* target = PickTarget(p);
    const int shift = ShiftHeld();
    const int ctrl = CtrlHeld();
    TerrainMap* terrain = world ? world->terrain.get() : nullptr;
    const char letter = terrain ? terrain->TerrainTypeAtPixel(p) : 'X';
    const bool known = revealMap || (terrain && terrain->VisibilityAtPixel(p) >= 0);
    const std::vector<GameObject*> selected = SelectedObjects();
    int n = static_cast<int>(selected.size());
    bool canFire = false;
    bool canEnter = true;
    int repairers = 0;
    bool allCapture = n > 0;
    for (GameObject* o : selected) {
        if (o->CountActiveWeapons() > 0) canFire = true;
        if (o->GetKind() == 2) ++repairers;
        if (o->GetKind() != 6) allCapture = false;
        if (known && !o->GetCollision()->CanEnter(letter)) canEnter = false;
    }
    bool oneRepairer = repairers > 0 && n == 1;
    if (FactorySelected()) {
        GameObject* factory = Factory();
        ++n;
        if (factory->CountActiveWeapons() > 0) canFire = true;
        if (known && !factory->GetCollision()->CanEnter(letter)) canEnter = false;
        oneRepairer = false;
    }
    // 3. No target.
    if (!target) {
        if (n == 0) return kPointerCursor;
        if (!canEnter) return 6;
        if (shift && ctrl) return 5;
        if (shift) return 3;
        if (ctrl) return 4;
        return 2;
    }
    // 4. Wrecks, destructibles, land features.
    const int kind = target->GetKind();
    if (kind == 3 || kind == 5 || kind == 10) return ctrl ? 7 : canEnter ? 2 : 6;
    // 5. Targets that occupy no footprint.
    const int filterKind = target->GetCollision()->kind;
    if (filterKind != 2 && filterKind != 4) return kPointerCursor;
    // 6. Own targets.
    if (target->GetTeam() == localTeam) {
        if (AltHeld() && !target->selected) return n == 0 ? kPointerCursor : ctrl ? 11 : 14;
        if (shift) return 1;
        if (kind == 2) {
            for (GameObject* o : selected) {
                if (o->GetKind() != 2 && !HasDeployingChassis(o)) return 13;
            }
            return 0;
        }
        if (target->IsCarrierChassis()) {
            for (GameObject* o : selected) {
                if (!o->IsCarrierChassis() && o->GetKind() != 7 &&
                    world->TeamHasStructure(o->GetTeam(), 4)) {
                    return 38;
                }
            }
            return 0;
        }
        if (target->selected && HasDeployingChassis(target) &&
            world->IsAreaBuildable(target->GetFootprint())) {
            return 39;
        }
        return oneRepairer ? 13 : 0;
    }
    // 7. Another team's own object.
    if (target->teamRecord.second == target->GetTeam()) {
        if (n == 0 || !canFire) return allCapture ? 40 : kPointerCursor;
        if (shift && ctrl) return 10;
        if (shift) return 8;
        if (ctrl) return 9;
        return 7;
    }
    // 8. A captured object.
    return 41;
}

bool BattleScreen::HasDeployingChassis(GameObject* object) {
    VehicleDesign* design = object ? object->GetDesign() : nullptr;
    return design && design->chassis && design->chassis->IsDeployable();
}

// --- What the screen reads of the World

World* BattleScreen::TheWorldOrNull() const {
    return TheWorld();
}

GameObject* BattleScreen::Factory() const {
    World* world = TheWorldOrNull();
    return world ? world->TeamFactory(localTeam) : nullptr;
}

std::vector<GameObject*> BattleScreen::TeamObjects() const {
    std::vector<GameObject*> out;
    World* world = TheWorldOrNull();
    if (!world || localTeam < 0 || localTeam >= World::kTeams) return out;
    world->ForEachSim(localTeam, [&](GameObject* o) { out.push_back(o); });
    return out;
}

std::vector<GameObject*> BattleScreen::SelectedObjects() const {
    std::vector<GameObject*> out = TeamObjects();
    std::erase_if(out, [](GameObject* o) { return o->selected != 1; });
    return out;
}

int32_t BattleScreen::FactorySelected() const {
    GameObject* factory = Factory();
    return factory && factory->selected == 1 ? 1 : 0;
}

int32_t BattleScreen::IsPaused() const {
    World* world = TheWorldOrNull();
    return world && world->paused ? 1 : 0;
}

int32_t BattleScreen::ShiftHeld() {
    return eventQueue && eventQueue->shiftDown ? 1 : 0;
}

int32_t BattleScreen::CtrlHeld() {
    return eventQueue && eventQueue->ctrlDown ? 1 : 0;
}

int32_t BattleScreen::AltHeld() {
    return eventQueue && eventQueue->altDown ? 1 : 0;
}
