#include "screens/battle/MissionTextDialog.h"

#include <cstring>
#include <string>

#include "core/Bitmap.h"
#include "core/DisplayBase.h"
#include "core/EventQueue.h"
#include "core/FatalError.h"
#include "core/InputEvent.h"
#include "core/KeyCodes.h"
#include "core/ResourceFile.h"
#include "core/TextWriter.h"
#include "screens/battle/BattleOverlays.h"
#include "ui/Button.h"
#include "world/World.h"

namespace {

constexpr int32_t kButtonCursor = 0x22;
constexpr int32_t kArrowCursor = 0x23;
constexpr int32_t kCtrlQ = 17;
// Never produced by the input layer, but an Enter all the same.
constexpr int32_t kOtherEnter = 300;
const Rect kTextClip(Point(228, 178), Point(418, 241));
const Point kTextPoint(228, 188);

}  // namespace

MissionTextDialog::MissionTextDialog(const char* source) : screenRect(Point(0, 0), Size(640, 480)) {
    if (source) {
        const size_t n = strnlen(source, kMaxText);
        std::memcpy(text, source, n);
        text[n] = 0;
    }
}

MissionTextDialog::~MissionTextDialog() = default;

Button* MissionTextDialog::ButtonOf(int32_t index) const {
    return index == 0 || index == 1 ? buttons[index].get() : nullptr;
}

int MissionTextDialog::Load() {
    ResourceFile pack;
    if (!pack.Open(kPack, ResourceFile::OpenMode::Pack)) ResourceMissing(kPack);
    if (!pack.SelectEntry(0, 0)) ResourceMissing(std::string(kPack) + " entry 0");
    background = std::make_unique<Bitmap>(&pack);
    const Rect places[2] = {Rect(Point(238, 246), Point(277, 275)),
                            Rect(Point(376, 242), Point(399, 278))};
    for (int i = 0; i < 2; ++i) {
        ButtonEntries faces;
        faces.highlighted = PackEntry{0, i + 1};
        buttons[i] =
            std::make_unique<Button>(&pack, faces, places[i], Button::kPlain, Point(), Point(), i);
    }
    return 1;
}

void MissionTextDialog::Unload() {
    background.reset();
    buttons[0].reset();
    buttons[1].reset();
}

int32_t MissionTextDialog::ButtonAt(const InputEvent& event) const {
    for (int32_t i = 0; i < 2; ++i) {
        if (buttons[i] && buttons[i]->enabled && buttons[i]->HitTest(event.position)) return i;
    }
    return kNone;
}

int MissionTextDialog::HandleEvents(int /*elapsedMs*/) {
    // Every event of the batch is handled and each key's result replaces the one before, so a
    // quit (Alt+F4) that follows an answer in the same batch still requests its mode and reaches
    // the World in this pass: a quit is never swallowed by the dialog. (The window's own close
    // does not come through the event queue at all: the message loop ends the program.)
    int result = 1;
    while (eventQueue) {
        std::unique_ptr<InputEvent> event = eventQueue->Take();
        if (!event) break;
        const int handled = HandleOne(*event);
        if (event->kind == InputKind::Key) result = handled;
    }
    return result;
}

int MissionTextDialog::HandleOne(const InputEvent& event) {
    switch (event.kind) {
        case InputKind::MouseMove:
            hovered = ButtonAt(event);
            if (display) display->cursorShape = hovered == kNone ? kArrowCursor : kButtonCursor;
            return 1;
        case InputKind::ButtonDown:
            if (hovered == kNone || !buttons[hovered]->HitTest(event.position)) {
                if (World* world = TheWorld()) world->PlayUiSound(0);
                return 1;
            }
            buttons[hovered]->SetHighlighted(1);
            pressed = hovered;
            return 1;
        case InputKind::ButtonUp:
            if (pressed != kNone) {
                buttons[pressed]->SetHighlighted(0);
                if (buttons[pressed]->HitTest(event.position)) pending = pressed;
            }
            pressed = kNone;
            return 1;
        case InputKind::Key:
            return HandleKey(event);
    }
    return 1;
}

int MissionTextDialog::HandleKey(const InputEvent& event) {
    const int32_t key = event.param;
    if (key == kKeyF4 && eventQueue && eventQueue->altDown) {
        RequestGameMode(GameMode::Quit);
        return 1;
    }
    if (key == kKeyEscape || key == kCtrlQ) return Answer(0);
    if (key == kKeyEnter || key == kOtherEnter) return Answer(1);
    return 1;
}

int MissionTextDialog::Update(int /*elapsedMs*/) {
    if (pending == kNone) return 1;
    const int32_t answer = pending;
    pending = kNone;
    return Answer(answer);
}

int MissionTextDialog::Answer(int32_t answer) {
    if (World* world = TheWorld()) world->PlayUiSound(1);
    if (answer == 1) {
        exitCode = 0;
        return 0;
    }
    if (answer == 0) {
        exitCode = 1;
        return 0;
    }
    return 1;
}

void MissionTextDialog::Draw(int /*elapsedMs*/) {
    if (!display) return;
    display->SetClipRect(screenRect);
    if (background) background->DrawAt(Point(0, 0));
    for (auto& button : buttons)
        if (button) button->Draw();
    display->SetClipRect(kTextClip);
    World* world = TheWorld();
    if (world && world->font) world->font->DrawText(kTextPoint, text, kTextColour);
    display->ResetClipRect();
}

std::unique_ptr<ScreenBase> MakeMissionTextDialog(const char* text) {
    return std::make_unique<MissionTextDialog>(text);
}
