#include "screens/NextMissionPrompt.h"

#include "core/Bitmap.h"
#include "core/DisplayBase.h"
#include "core/EventQueue.h"
#include "core/InputEvent.h"
#include "core/KeyCodes.h"
#include "core/RequiredResources.h"
#include "core/ResourceFile.h"
#include "ui/Button.h"
#include "world/GameFlow.h"
#include "world/World.h"

namespace {

constexpr int kButtonCursor = 0x22;
constexpr int kArrowCursor = 0x23;

}  // namespace

NextMissionPrompt::NextMissionPrompt(World& world)
    : world(world), screenRect(Point(0, 0), Size(640, 480)) {}

NextMissionPrompt::~NextMissionPrompt() = default;

int NextMissionPrompt::Load() {
    ResourceFile pack, knobs;
    OpenRequiredPack(pack, kPack);
    SelectRequiredEntry(pack, 0, 0);
    prompt = std::make_unique<Bitmap>(&pack);
    SelectRequiredEntry(pack, 0, 1);
    networkOverlay = std::make_unique<Bitmap>(&pack);
    OpenRequiredPack(knobs, kKnobPack);
    ButtonEntries faces;
    faces.pressed = faces.highlighted = PackEntry{0, kKnobRow};
    const Point corners[2] = {Point(271, 222), Point(271, 253)};
    const Rect areas[2] = {Rect(Point(269, 220), Point(386, 240)),
                           Rect(Point(269, 253), Point(386, 273))};
    for (int n = 0; n < 2; ++n) {
        buttons[n] = std::make_unique<Button>(&knobs, faces, Rect(corners[n], Size(19, 18)),
                                              Button::kPlain, Point(), Point(), n);
        buttons[n]->hitRect = areas[n];
    }
    if (world.networkGame) buttons[kGoOn]->SetEnabled(0);
    return 1;
}

void NextMissionPrompt::Unload() {
    prompt.reset();
    networkOverlay.reset();
    buttons[0].reset();
    buttons[1].reset();
}

int NextMissionPrompt::HandleEvent(const InputEvent& event) {
    auto buttonAt = [this](const Point& p) {
        for (int n = 0; n < 2; ++n)
            if (buttons[n] && buttons[n]->enabled && buttons[n]->HitTest(p)) return n;
        return kNone;
    };
    switch (event.kind) {
        case InputKind::MouseMove:
            hovered = buttonAt(event.position);
            if (display) display->cursorShape = hovered == kNone ? kArrowCursor : kButtonCursor;
            return 1;
        case InputKind::ButtonDown:
            if (hovered != kNone && buttons[hovered]->HitTest(event.position)) {
                buttons[hovered]->SetHighlighted(1);
                pressed = hovered;
            }
            return 1;
        case InputKind::ButtonUp:
            if (pressed != kNone) {
                buttons[pressed]->SetHighlighted(0);
                if (buttons[pressed]->HitTest(event.position)) chosen = pressed;
            }
            pressed = kNone;
            return 1;
        case InputKind::Key: {
            const int key = event.param;
            const bool ctrl = eventQueue && eventQueue->ctrlDown;
            if (key == kKeyF4 && eventQueue && eventQueue->altDown) {
                RequestGameMode(GameMode::Quit);
                return 0;
            }
            if (key == kKeyEscape || key == 17 || (ctrl && (key == 'Q' || key == 'q'))) {
                chosen = kLeave;
                return 1;
            }
            if (key == kKeyEnter || key == 300) {
                chosen = kGoOn;
                return 1;
            }
            return 0;
        }
    }
    return 0;
}

int NextMissionPrompt::Update(int /*elapsedMs*/) {
    if (chosen == kNone) return 1;
    const int choice = chosen;
    chosen = kNone;
    return Answer(choice);
}

int NextMissionPrompt::Answer(int choice) {
    world.PlayUiSound(1);
    if (choice == kGoOn) {
        if (world.networkGame || !world.gameFlow || !world.gameFlow->RestartMission(0))
            RequestGameMode(GameMode::MainMenu);
        return 0;
    }
    if (choice == kLeave) {
        RequestGameMode(GameMode::MainMenu);
        return 0;
    }
    return 1;
}

void NextMissionPrompt::Draw(int /*elapsedMs*/) {
    if (!display) return;
    display->SetClipRect(screenRect);
    if (prompt) prompt->DrawAt(Point(0, 0));
    for (auto& b : buttons)
        if (b) b->Draw();
    if (world.networkGame && networkOverlay) networkOverlay->DrawAt(Point(0, 0));
}
