#include "screens/MainMenuScreen.h"

#include <vector>

#include "core/Bitmap.h"
#include "core/ColourBox.h"
#include "core/DisplayBase.h"
#include "core/EventQueue.h"
#include "core/InputEvent.h"
#include "core/KeyCodes.h"
#include "core/OutlineRect.h"
#include "core/RequiredResources.h"
#include "core/ResourceFile.h"
#include "core/TextWriter.h"
#include "core/WindowProc.h"
#include "net/NetworkPlay.h"
#include "net/NetworkScreen.h"
#include "screens/LoadGameScreen.h"
#include "ui/Button.h"
#include "world/Campaign.h"
#include "world/CommLink.h"
#include "world/SavedGameIndex.h"
#include "world/Scenario.h"
#include "world/World.h"

namespace {

constexpr int kButtonCursor = 34;
constexpr int kArrowCursor = 35;
constexpr int kItemLeft = 219;
constexpr int kItemTops[MainMenuScreen::kItems] = {105, 141, 177, 213, 249, 285, 321, 357};
constexpr int kItemRows[MainMenuScreen::kItems] = {6, 7, 1, 2, 5, 3, 4, 8};
constexpr int kItemKeys[7] = {'T', 'D', 'S', 'L', 'O', 'J', 'H'};

}  // namespace

MainMenuScreen::MainMenuScreen(World& world)
    : world(world), screenRect(Point(0, 0), Size(640, 480)) {}

MainMenuScreen::~MainMenuScreen() {
    if (world.setupScreen == setup.get()) world.setupScreen = nullptr;
}

int MainMenuScreen::Load() {
    // The probe: a peer link made and closed again; without a link maker nobody can connect.
    CommLink* probe = world.AddPeer();
    networkUsable = probe ? 1 : 0;
    if (probe) world.ClosePeers(probe);
    InstallPackPalette(kPaletteRow);
    ResourceFile pack;
    OpenRequiredPack(pack, kPack);
    SelectRequiredEntry(pack, 0, 0);
    background = std::make_unique<Bitmap>(&pack);
    for (int item = 0; item < kItems; ++item) {
        ButtonEntries faces;
        faces.pressed = faces.highlighted = PackEntry{0, kItemRows[item]};
        if (item == kCampaign || item == kLoadGame || item == kJoin || item == kHost)
            faces.disabled = PackEntry{2, kItemRows[item]};
        items[item] = std::make_unique<Button>(
            &pack, faces, Rect(Point(kItemLeft, kItemTops[item]), Size(208, 20)), Button::kPlain,
            Point(), Point(), 0);
    }
    items[kJoin]->SetEnabled(networkUsable);
    items[kHost]->SetEnabled(networkUsable);
    EnableLoadItem();
    // A saved game refused on its way to the battle: back to the list it was chosen from.
    if (world.loadGameRefused) {
        world.loadGameRefused = 0;
        if (items[kLoadGame]->enabled) {
            loadGame = std::make_unique<LoadGameScreen>(world);
            loadGame->Load();
            loadGame->AdoptStatusLine();
            loadGame->Activate();
        }
    }
    // The command executor reaches the open set-up screen through the World; while the
    // link-up still runs, its screen keeps what comes for the set-up.
    TheNetworkHooks().applyPeerSettings = [](const SetupSettings& s, int start, int leave) {
        World* w = TheWorld();
        if (!w) return;
        if (w->setupScreen) {
            w->setupScreen->ApplyPeerSettings(s, start, leave);
        } else if (NetworkScreen* linkUp = NetworkScreen::Current(*w)) {
            linkUp->HoldSetup(s, start, leave);
        }
    };
    return 1;
}

void MainMenuScreen::Activate() {
    EnableLoadItem();
}

void MainMenuScreen::EnableLoadItem() {
    if (items[kLoadGame])
        items[kLoadGame]->SetEnabled(world.savedGames && world.savedGames->Count() > 0 ? 1 : 0);
}

void MainMenuScreen::Unload() {
    background.reset();
    for (auto& item : items)
        item.reset();
    CloseLoadGame();
    CloseSetupScreen();
    if (network) {
        network->Unload();
        network.reset();
    }
}

void MainMenuScreen::CloseSetupScreen() {
    if (!setup) return;
    if (world.setupScreen == setup.get()) world.setupScreen = nullptr;
    setup->Unload();
    setup.reset();
}

void MainMenuScreen::CloseLoadGame() {
    if (!loadGame) return;
    loadGame->Unload();
    loadGame.reset();
}

int MainMenuScreen::LoadGameResult(int result) {
    if (result == 0 && loadGame->exitCode == 1) {
        CloseLoadGame();
        return 1;
    }
    return result;
}

int MainMenuScreen::HitTest(const Point& point) const {
    for (int item = 0; item < kItems; ++item)
        if (items[item] && items[item]->enabled && items[item]->HitTest(point)) return item;
    return kNone;
}

int MainMenuScreen::HandleEvents(int elapsedMs) {
    auto quitting = [this] { return world.requestedMode == static_cast<int>(GameMode::Quit); };
    if (network) {
        int result = network->HandleEvents(elapsedMs);
        if (result == 0) result = OnNetworkScreenDone();
        return quitting() ? 0 : result;
    }
    int result = 1;
    if (loadGame) {
        result = LoadGameResult(loadGame->HandleEvents(elapsedMs));
        if (quitting()) return 0;
    }
    if (setup) {
        result = setup->HandleEvents(elapsedMs);
        if (result == 0) result = OnSetupScreenDone();
        if (quitting()) return 0;
    }
    while (result == 1 && eventQueue) {
        std::unique_ptr<InputEvent> event = eventQueue->Take();
        if (!event) break;
        switch (event->kind) {
            case InputKind::MouseMove:
                if (hovered != kNone) items[hovered]->SetPressed(0);
                hovered = HitTest(event->position);
                if (display) display->cursorShape = hovered == kNone ? kArrowCursor : kButtonCursor;
                if (hovered != kNone) items[hovered]->SetPressed(1);
                break;
            case InputKind::ButtonDown:
                if (hovered != kNone && items[hovered]->HitTest(event->position)) {
                    pressed = hovered;
                    items[pressed]->SetHighlighted(1);
                } else {
                    world.PlayUiSound(0);
                }
                break;
            case InputKind::ButtonUp:
                if (pressed != kNone) {
                    items[pressed]->SetHighlighted(0);
                    if (items[pressed]->HitTest(event->position)) pending = pressed;
                }
                pressed = kNone;
                break;
            case InputKind::Key:
                result = HandleKey(*event);
                break;
        }
    }
    return result;
}

void MainMenuScreen::ClearPressed() {
    if (pressed != kNone) items[pressed]->SetHighlighted(0);
    if (hovered != kNone) items[hovered]->SetPressed(0);
    pressed = kNone;
    hovered = kNone;
}

int MainMenuScreen::HandleKey(const InputEvent& event) {
    int key = event.param;
    const bool ctrl = eventQueue && eventQueue->ctrlDown;
    if (key == kKeyF4 && eventQueue && eventQueue->altDown) {
        RequestGameMode(GameMode::Quit);
        return 0;
    }
    if (key >= 'a' && key <= 'z') key -= 'a' - 'A';
    if (key == 'E' || key == kKeyEscape || key == 17 || (ctrl && key == 'Q'))
        return DoAction(kExit);
    if (key == kKeyEnter || key == 300) {
        if (hovered == kNone) return 1;
        const int item = hovered;
        ClearPressed();
        return DoAction(item);
    }
    if (key == kKeyUp || key == kKeyDown) {
        if (hovered == kNone) {
            hovered = key == kKeyUp ? kExit : kTutorial;
        } else {
            items[hovered]->SetPressed(0);
            hovered = (hovered + (key == kKeyUp ? kItems - 1 : 1)) % kItems;
        }
        items[hovered]->SetPressed(1);
        return 1;
    }
    for (int item = 0; item < 7; ++item) {
        if (key != kItemKeys[item]) continue;
        ClearPressed();
        return DoAction(item);
    }
    return 1;
}

void MainMenuScreen::OpenSetupScreen(const SetupParams& params, int missionNumber) {
    setup = std::make_unique<SetupScreen>(world, params);
    world.setupScreen = setup.get();
    setup->Load();
    setup->Activate();
    if (missionNumber) setup->Record().missionNumber = missionNumber;
}

int MainMenuScreen::DoAction(int item) {
    world.PlayUiSound(1);
    SetupParams params;
    switch (item) {
        case kTutorial: {
            world.LocateDisc(nullptr);
            auto scenario = std::make_unique<Scenario>();
            scenario->missionNumber = Campaign::kTutorial;
            scenario->clanLetter = 'V';
            scenario->playerSlots[1] = 'V';
            scenario->teamColours[1] = 1;
            scenario->colour = 1;
            if (const MissionEntry* entry = Campaign::GetMissionEntry('V', Campaign::kTutorial))
                scenario->SelectPackEntry(entry->packEntry);
            world.SetPendingScenario(std::move(scenario));
            RequestGameMode(GameMode::StartScenario);
            return 0;
        }
        case kDesign:
            RequestGameMode(GameMode::DesignFromMenu);
            params.clanGroup = 1;
            OpenSetupScreen(params, 0);
            return 1;
        case kCampaign:
            RequestGameMode(GameMode::StartScenario);
            params.clanGroup = 1;
            OpenSetupScreen(params, 1);
            return 1;
        case kLoadGame:
            loadGame = std::make_unique<LoadGameScreen>(world);
            loadGame->Load();
            loadGame->Activate();
            return 1;
        case kSkirmish:
            world.LocateDisc(nullptr);
            RequestGameMode(GameMode::StartScenario);
            params.scenarioList = params.enemiesGroup = params.clanGroup = params.techGroup = 1;
            OpenSetupScreen(params, 0);
            return 1;
        case kJoin:
        case kHost: {
            networkItem = item;
            world.LocateDisc(nullptr);
            CommLink* link = world.AddPeer();
            if (!link) {
                items[kJoin]->SetEnabled(0);
                items[kHost]->SetEnabled(0);
                return 1;
            }
            network = std::make_unique<NetworkScreen>(world, item == kJoin ? 'J' : 'H', link);
            network->Load();
            network->Activate();
            return 1;
        }
        case kExit:
            RequestGameMode(GameMode::ExitPicture);
            return 0;
        default:
            return 1;
    }
}

int MainMenuScreen::OnSetupScreenDone() {
    if (setup->exitCode == 1) {
        CloseSetupScreen();
        PostCursorMoveEvent();
        world.ClosePeers(nullptr);
        return 1;
    }
    const int requested = world.requestedMode;
    if (requested == static_cast<int>(GameMode::Quit)) return 1;
    if (requested == static_cast<int>(GameMode::StartScenario)) return StartConfiguredGame();
    if (requested == static_cast<int>(GameMode::DesignFromMenu)) {
        const Scenario& r = setup->Record();
        world.clanLetter = r.clanLetter;
        world.localPlayer = ValueTriple(r.localTeam, r.colour);
        return 0;
    }
    return 1;
}

int MainMenuScreen::StartConfiguredGame() {
    const Scenario& r = setup->Record();
    const MissionEntry* entry = Campaign::GetMissionEntry(r.clanLetter, r.missionNumber);
    world.LocateDisc(entry ? entry->discLabel : nullptr);
    auto scenario = std::make_unique<Scenario>();
    scenario->CopyFrom(r);
    world.SetPendingScenario(std::move(scenario));
    RequestGameMode(GameMode::StartScenario);
    return 0;
}

int MainMenuScreen::OnNetworkScreenDone() {
    int code = network->exitCode;
    const int player = network->PlayerNumber();
    const int peers = network->PeerCount();
    const std::vector<NetworkScreen::HeldSetup> held = network->HeldSetups();
    network->Unload();
    network.reset();
    PostCursorMoveEvent();
    if (world.requestedMode == static_cast<int>(GameMode::Quit)) code = 1;
    // The slot tables hold players 1 .. 4 and up to three peers: anything else is no game.
    if (code == 0 && player >= 1 && player <= 4 && peers >= 1 && peers <= 3) {
        world.StartRecording();
        RequestGameMode(GameMode::StartScenario);
        SetupParams params;
        params.scenarioList = params.clanGroup = params.techGroup = 1;
        params.network = 1;
        params.host = networkItem == kHost ? 1 : 0;
        params.ownSlot = player;
        params.players = peers + 1;
        OpenSetupScreen(params, 0);
        for (const NetworkScreen::HeldSetup& h : held)
            setup->ApplyPeerSettings(h.settings, h.start, h.leave);
    } else {
        world.ClosePeers(nullptr);
    }
    return 1;
}

int MainMenuScreen::Update(int elapsedMs) {
    if (network) {
        if (network->Update(elapsedMs) == 0) OnNetworkScreenDone();
        return 1;
    }
    int result = 1;
    if (loadGame) result = LoadGameResult(loadGame->Update(elapsedMs));
    if (setup && setup->Update(elapsedMs) == 0) result = OnSetupScreenDone();
    if (pending != kNone && result == 1) {
        const int item = pending;
        pending = kNone;
        result = DoAction(item);
    }
    EnableLoadItem();
    return result;
}

void MainMenuScreen::Draw(int elapsedMs) {
    if (!display) return;
    display->SetClipRect(screenRect);
    if (background) background->DrawAt(Point(0, 0));
    if (loadGame) {
        loadGame->Draw(elapsedMs);
    } else if (setup) {
        setup->Draw(elapsedMs);
    } else {
        for (auto& item : items)
            if (item) item->Draw();
        DrawStatusLine(world);
    }
    if (network) network->Draw(elapsedMs);
}

void MainMenuScreen::DrawStatusLine(World& world) {
    if (!display || !world.statusText[0]) return;
    const Rect box(Point(kStatusLeft, kStatusTop), Size(kStatusWidth, kStatusHeight));
    display->SetClipRect(Rect(Point(0, 0), Size(640, 480)));
    const int32_t colour = world.statusColour;
    const int32_t textColour = world.ColourOf(colour);
    ColourBox(colour, box.extent).DrawAt(box.origin);
    OutlineRect(colour, Size(box.extent.w + 4, box.extent.h + 4)).DrawAt(box.origin - Point(2, 2));
    OutlineRect(textColour, Size(box.extent.w + 2, box.extent.h + 2))
        .DrawAt(box.origin - Point(1, 1));
    if (!world.font) return;
    display->SetClipRect(box);
    world.font->DrawText(Point(box.origin.x + 1, box.origin.y + box.extent.h - 3), world.statusText,
                         textColour);
    display->SetClipRect(Rect(Point(0, 0), Size(640, 480)));
}
