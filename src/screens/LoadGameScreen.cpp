#include "screens/LoadGameScreen.h"

#include "core/Bitmap.h"
#include "core/DisplayBase.h"
#include "core/EventQueue.h"
#include "core/InputEvent.h"
#include "core/KeyCodes.h"
#include "core/RequiredResources.h"
#include "core/ResourceFile.h"
#include "screens/MainMenuScreen.h"
#include "ui/Button.h"
#include "ui/ScrollList.h"
#include "world/Campaign.h"
#include "world/SavedGameIndex.h"
#include "world/Scenario.h"
#include "world/ScenarioCheck.h"
#include "world/World.h"

namespace {

constexpr int kButtonCursor = 34;
constexpr int kArrowCursor = 35;
constexpr int kTextColour = 10;
constexpr int kSelectedColour = 41;
constexpr int kBarColour = 55;
constexpr int kRowHeight = 12;

}  // namespace

LoadGameScreen::LoadGameScreen(World& world)
    : world(world), screenRect(Point(0, 0), Size(640, 480)) {}

LoadGameScreen::~LoadGameScreen() = default;

int LoadGameScreen::Count() const {
    return world.savedGames ? world.savedGames->Count() : 0;
}

int LoadGameScreen::Load() {
    ResourceFile large, small;
    OpenRequiredPack(large, kLargePack);
    SelectRequiredEntry(large, 0, 0);
    OpenRequiredPack(small, kSmallPack);
    background = std::make_unique<Bitmap>(&large);
    const struct {
        Rect rect;
        int row;
    } places[3] = {{Rect(Point(394, 314), Point(422, 343)), 4},
                   {Rect(Point(285, 314), Point(354, 343)), 6},
                   {Rect(Point(211, 314), Point(251, 343)), 5}};
    for (int n = 0; n < 3; ++n) {
        ButtonEntries faces;
        faces.pressed = PackEntry{0, places[n].row};
        buttons[n] = std::make_unique<Button>(&small, faces, places[n].rect, Button::kOrigin,
                                              Point(), Point(), n);
    }
    ButtonEntries knob;
    knob.normal = PackEntry{0, 3};
    buttons[kKnob] =
        std::make_unique<Button>(&small, knob, Rect(Point(451, 149), Size(18, 17)),
                                 Button::kVerticalSlider, Point(451, 149), Point(451, 249), kKnob);
    ButtonEntries up, down;
    up.pressed = PackEntry{0, 1};
    down.pressed = PackEntry{0, 2};
    list = std::make_unique<ScrollList>(
        Rect(Point(192, 133), Point(449, 283)), Rect(Point(449, 132), Point(472, 146)),
        Rect(Point(449, 269), Point(472, 283)), &small, Button::kOrigin, up, Button::kOrigin, down,
        kRowHeight, world.font.get(), kBarColour);
    list->SetCount(Count());
    list->SetSelection(0);
    PlaceKnob();
    // While the index cannot be read, every visit says why the games show by file name. A
    // damaged one is told once: the next save writes it whole.
    if (IndexUnreadable())
        SayStandingLine();
    else if (world.savedGames && world.savedGames->TakeDamageNotice())
        Say(World::MessageLine(World::kDamagedIndexLine), nullptr);
    return 1;
}

// What the screen says goes with it: a refusal naming one game must not stay over the next
// screen, or over the battle of another game, nor beside another row.
void LoadGameScreen::Say(const std::string& text, const char* aboutFile) {
    world.SetStatusMessage(text.c_str(), 0);
    said = world.statusText;
    saidAbout = aboutFile ? aboutFile : "";
}

int LoadGameScreen::Unsay() {
    const bool ours = !said.empty() && said == world.statusText;
    if (ours) world.SetStatusMessage("", 0);
    said.clear();
    saidAbout.clear();
    return ours ? 1 : 0;
}

bool LoadGameScreen::IndexUnreadable() const {
    return world.savedGames && world.savedGames->Unreadable();
}

void LoadGameScreen::SayStandingLine() {
    if (IndexUnreadable()) Say(World::MessageLine(World::kUnreadableIndexLine), nullptr);
}

void LoadGameScreen::UnsayOtherRow() {
    if (saidAbout.empty()) return;
    const SavedGameEntry* entry = Selected();
    if (entry && saidAbout == entry->FileName()) return;
    // Once the line about one game has gone, the line about the whole list stands again.
    if (Unsay()) SayStandingLine();
}

void LoadGameScreen::AdoptStatusLine() {
    if (const SavedGameEntry* entry = Selected()) Say(world.statusText, entry->FileName());
}

SavedGameEntry* LoadGameScreen::Selected() const {
    return world.savedGames && list ? world.savedGames->At(list->selection) : nullptr;
}

void LoadGameScreen::Unload() {
    Unsay();
    background.reset();
    for (auto& b : buttons)
        b.reset();
    list.reset();
}

void LoadGameScreen::PlaceKnob() {
    if (list && buttons[kKnob]) buttons[kKnob]->SetValue(list->ScrollPercent());
}

int LoadGameScreen::ButtonAt(const Point& point) const {
    for (int n = 0; n < kButtons; ++n)
        if (buttons[n] && buttons[n]->enabled && buttons[n]->HitTest(point)) return n;
    return kNone;
}

// Stops at the first event that ends the screen: the rest stay queued for the menu.
int LoadGameScreen::HandleEvents(int /*elapsedMs*/) {
    int result = 1;
    while (result == 1 && eventQueue) {
        std::unique_ptr<InputEvent> event = eventQueue->Take();
        if (!event) break;
        int listUsed = 0;
        if (event->kind != InputKind::Key && list->HandleMouse(*event)) {
            listUsed = 1;
            PlaceKnob();
        }
        switch (event->kind) {
            case InputKind::MouseMove: {
                hovered = ButtonAt(event->position);
                const bool over = hovered != kNone || list->Contains(event->position);
                if (display) display->cursorShape = over ? kButtonCursor : kArrowCursor;
                if (pressed == kKnob) {
                    Button& knob = *buttons[kKnob];
                    knob.MoveBy(0, event->position.y - knob.Bounds().origin.y);
                    list->SetScrollPercent(knob.GetValue());
                }
                break;
            }
            case InputKind::ButtonDown:
                if (hovered != kNone && buttons[hovered]->HitTest(event->position)) {
                    buttons[hovered]->SetHighlighted(1);
                    buttons[hovered]->SetPressed(1);
                    pressed = hovered;
                } else if (!listUsed) {
                    world.PlayUiSound(0);
                }
                break;
            case InputKind::ButtonUp:
                if (pressed != kNone) {
                    buttons[pressed]->SetHighlighted(0);
                    buttons[pressed]->SetPressed(0);
                    if (buttons[pressed]->HitTest(event->position)) pending = pressed;
                }
                pressed = kNone;
                break;
            case InputKind::Key:
                result = HandleKey(*event);
                break;
        }
        UnsayOtherRow();
    }
    return result;
}

int LoadGameScreen::HandleKey(const InputEvent& event) {
    const int key = event.param;
    const bool ctrl = eventQueue && eventQueue->ctrlDown;
    if (key == kKeyF4 && eventQueue && eventQueue->altDown) {
        RequestGameMode(GameMode::Quit);
        return 0;
    }
    if (key == kKeyUp && list->selection > 0) {
        list->SetSelection(list->selection - 1);
        list->ShowSelection();
        PlaceKnob();
    } else if (key == kKeyDown && list->selection < list->count - 1) {
        list->SetSelection(list->selection + 1);
        list->ShowSelection();
        PlaceKnob();
    } else if (key == kKeyEscape || key == 17 || (ctrl && (key == 'Q' || key == 'q'))) {
        return DoAction(kBack);
    } else if (key == kKeyEnter || key == 300) {
        return DoAction(kLoad);
    }
    return 1;
}

int LoadGameScreen::Update(int /*elapsedMs*/) {
    if (pending == kNone) return 1;
    const int n = pending;
    pending = kNone;
    const int result = DoAction(n);
    UnsayOtherRow();
    return result;
}

// The word the player reads beside DELETE: only a file that was read and failed the checks is
// called damaged. Case: line shown (instead of 301 "damaged"), and why.
//   nothing at the name: 317 "missing"; a stop between writing the index and the game leaves a
//     title without its file.
//   something there that gives no bytes (no permission, a link to nothing, a directory, a FIFO,
//     a failed read): 318 "cannot be read" and the file's name; the game may be whole, and
//     "damaged" would lead the player to delete it.
//   a file read whole that fails the checks: 301 "damaged", as given.
std::string LoadGameScreen::WhyNotLoadable(const char* fileName, Scenario& scenario, int& mission,
                                           char& clan) {
    if (!ResourceFile().Present(fileName)) return World::MessageLine(World::kMissingSaveLine);
    const ScenarioFault fault = ScenarioCheck::Check(scenario);
    if (fault == ScenarioFault::CannotRead)
        return std::string(World::MessageLine(World::kUnreadableSaveLine)) + " " + fileName;
    if (fault != ScenarioFault::None || !scenario.PeekHeader(mission, clan))
        return World::MessageLine(World::kDamagedSaveLine);
    return std::string();
}

int LoadGameScreen::DoAction(int button) {
    world.PlayUiSound(1);
    const int row = list ? list->selection : -1;
    SavedGameEntry* entry = Selected();
    switch (button) {
        case kLoad: {
            if (!entry) return 1;
            auto scenario = std::make_unique<Scenario>();
            scenario->SetSaveFileName(entry->FileName());
            // A missing or damaged file would give any mission and clan: check it first and
            // leave everything as it is.
            int mission = 0;
            char clan = 'V';
            const std::string refusal = WhyNotLoadable(entry->FileName(), *scenario, mission, clan);
            if (!refusal.empty()) {
                Say(refusal, entry->FileName());
                return 1;
            }
            const MissionEntry* missionEntry = Campaign::GetMissionEntry(clan, mission);
            world.LocateDisc(missionEntry ? missionEntry->discLabel : nullptr);
            scenario->briefingShown = 1;
            world.SetPendingScenario(std::move(scenario));
            RequestGameMode(GameMode::StartScenario);
            exitCode = 0;
            return 0;
        }
        case kDelete:
            if (!entry) return 1;
            // Refused when the index cannot be read (it may still name the game) or cannot be
            // written: the game stays listed and on disk.
            if (IndexUnreadable()) {
                Say(World::MessageLine(World::kDeleteUnreadableLine), entry->FileName());
                return 1;
            }
            if (!world.savedGames->Remove(row)) {
                Say(World::MessageLine(World::kDeleteRefusedLine), entry->FileName());
                return 1;
            }
            list->SetCount(Count());
            if (Count() == 0) {
                exitCode = 1;
                return 0;
            }
            return 1;
        case kBack:
            exitCode = 1;
            return 0;
        default:
            return 1;
    }
}

void LoadGameScreen::Draw(int /*elapsedMs*/) {
    if (!display) return;
    display->SetClipRect(screenRect);
    if (background) background->DrawAt(Point(0, 0));
    list->SetCount(Count());
    for (int i = 0; i < Count(); ++i) {
        const SavedGameEntry* entry = world.savedGames->At(i);
        list->Draw(i, entry ? entry->Title() : "",
                   i == list->selection ? kSelectedColour : kTextColour);
    }
    display->SetClipRect(screenRect);
    list->Tick();
    PlaceKnob();
    for (auto& b : buttons)
        if (b) b->Draw();
    MainMenuScreen::DrawStatusLine(world);
}
