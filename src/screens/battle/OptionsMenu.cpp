#include "screens/battle/OptionsMenu.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "catalogue/TemplateCatalogue.h"
#include "core/Bitmap.h"
#include "core/DisplayBase.h"
#include "core/EventQueue.h"
#include "core/FatalError.h"
#include "core/InputEvent.h"
#include "core/KeyCodes.h"
#include "core/MusicPlayer.h"
#include "core/ResourceFile.h"
#include "core/Settings.h"
#include "core/SoundBase.h"
#include "core/TextWriter.h"
#include "objects/CommandBuffer.h"
#include "screens/battle/BattleOverlays.h"
#include "ui/Button.h"
#include "ui/TextField.h"
#include "world/Campaign.h"
#include "world/GameFlow.h"
#include "world/SavedGameIndex.h"
#include "world/Scenario.h"
#include "world/World.h"

namespace {

constexpr int32_t kWidgetCursor = 0x22;
constexpr int32_t kArrowCursor = 0x23;
constexpr PackEntry kLamp{0, 0};
constexpr PackEntry kKnob{0, 1};

struct WidgetPlace {
    Point picture;
    Rect hit;
};
// The five buttons' lamps and the rows that press them.
const WidgetPlace kButtonPlaces[5] = {
    {Point(271, 152), Rect(Point(269, 150), Point(386, 171))},
    {Point(271, 104), Rect(Point(269, 101), Point(386, 122))},
    {Point(271, 184), Rect(Point(269, 182), Point(386, 202))},
    {Point(271, 215), Rect(Point(269, 214), Point(386, 235))},
    {Point(271, 248), Rect(Point(269, 246), Point(386, 267))},
};
const Point kSliderTravel[2][2] = {{Point(233, 298), Point(376, 298)},
                                   {Point(233, 347), Point(376, 347)}};
const Rect kTitleRect(Point(238, 127), Point(400, 140));

void OpenPackOrFail(ResourceFile& pack, const char* name) {
    if (!pack.Open(name, ResourceFile::OpenMode::Pack)) ResourceMissing(name);
}

std::unique_ptr<Bitmap> PictureAt(ResourceFile& pack, const char* name, int row) {
    if (!pack.SelectEntry(0, row))
        ResourceMissing(std::string(name) + " entry " + std::to_string(row));
    return std::make_unique<Bitmap>(&pack);
}

void WriteOption(const char* key, const char* value) {
    WriteProfileValue("QX", "OPTIONS", key, value);
}

int32_t MasterVolume() {
    return soundDevice ? soundDevice->masterVolume : 100;
}

}  // namespace

OptionsMenu::OptionsMenu() : overlayRect(Bounds()) {}

OptionsMenu::~OptionsMenu() = default;

bool OptionsMenu::SaveAllowed(World& world) {
    return !world.networkGame && world.MissionNumber() != Campaign::kTutorial;
}

int32_t OptionsMenu::SpeedOfSlider(int32_t value) {
    if (value == 0) value = 1;
    return (value + 19) / 20;
}

Button* OptionsMenu::WidgetOf(int32_t index) const {
    return index >= 0 && index < kWidgets ? widgets[index].get() : nullptr;
}

int OptionsMenu::Load() {
    ResourceFile widgetPack;
    OpenPackOrFail(widgetPack, kWidgetPack);
    ResourceFile picturePack;
    OpenPackOrFail(picturePack, kPicturePack);
    background = PictureAt(picturePack, kPicturePack, 0);
    saveUnavailable = PictureAt(picturePack, kPicturePack, 1);

    ButtonEntries lamp;
    lamp.highlighted = lamp.pressed = kLamp;
    for (int i = 0; i < 5; ++i) {
        widgets[i] = std::make_unique<Button>(&widgetPack, lamp,
                                              Rect(kButtonPlaces[i].picture, Size(19, 18)),
                                              Button::kPlain, Point(), Point(), i);
        widgets[i]->hitRect = kButtonPlaces[i].hit;
    }
    ButtonEntries knob;
    knob.highlighted = knob.pressed = knob.normal = kKnob;
    for (int s = 0; s < 2; ++s) {
        const Point* travel = kSliderTravel[s];
        widgets[kSpeedSlider + s] = std::make_unique<Button>(
            &widgetPack, knob, Rect(travel[0], Size(38, 27)), Button::kHorizontalSlider, travel[0],
            travel[1], kSpeedSlider + s);
    }

    World* world = TheWorld();
    if (world && SaveAllowed(*world)) {
        titleField = std::make_unique<TextField>(kTitleRect, 0, kFieldColour, world->font.get());
    } else {
        widgets[kSave]->SetEnabled(0);
    }
    return 1;
}

void OptionsMenu::Unload() {
    background.reset();
    saveUnavailable.reset();
    for (auto& widget : widgets)
        widget.reset();
    titleField.reset();
}

void OptionsMenu::Activate() {
    if (widgets[kSpeedSlider]) widgets[kSpeedSlider]->SetValue(SliderOfSpeed(3 - SpeedAdjustment));
    if (widgets[kVolumeSlider]) widgets[kVolumeSlider]->SetValue(MasterVolume());

    title[0] = 0;
    if (titleField) {
        std::snprintf(title, sizeof title, "%s", "untitled");
        World* world = TheWorld();
        const char* file = world && world->scenario ? world->scenario->FileName() : nullptr;
        SavedGameEntry* known =
            file && world->savedGames ? world->savedGames->FindByFile(file) : nullptr;
        if (known) std::snprintf(title, sizeof title, "%.*s", kShownTitle, known->Title());
    }
    hovered = pressed = pending = kNone;
    missionTextRequested = 0;
}

int32_t OptionsMenu::WidgetAt(const InputEvent& event) const {
    for (int32_t i = 0; i < kWidgets; ++i) {
        const Button* w = widgets[i].get();
        if (w && w->enabled && w->HitTest(event.position)) return i;
    }
    return kNone;
}

int OptionsMenu::HandleEvent(const InputEvent& event) {
    switch (event.kind) {
        case InputKind::MouseMove: {
            hovered = WidgetAt(event);
            if (display) display->cursorShape = hovered == kNone ? kArrowCursor : kWidgetCursor;
            if (pressed == kSpeedSlider || pressed == kVolumeSlider) {
                Button& knob = *widgets[pressed];
                knob.MoveBy(event.position.x - knob.Centre().x, 0);
            }
            return 1;
        }
        case InputKind::ButtonDown: {
            if (titleField && titleField->HandleEvent(event, title)) return 1;
            if (titleField) titleField->Reset();
            if (hovered == kNone || !widgets[hovered]->HitTest(event.position)) {
                if (World* world = TheWorld()) world->PlayUiSound(0);
                return 1;
            }
            widgets[hovered]->SetHighlighted(1);
            pressed = hovered;
            return 1;
        }
        case InputKind::ButtonUp:
            if (pressed != kNone) {
                widgets[pressed]->SetHighlighted(0);
                if (widgets[pressed]->HitTest(event.position)) pending = pressed;
            }
            pressed = kNone;
            return 1;
        case InputKind::Key:
            return HandleKey(event);
    }
    return 0;
}

int OptionsMenu::HandleKey(const InputEvent& event) {
    if (event.param == kKeyF4 && eventQueue && eventQueue->altDown) {
        RequestGameMode(GameMode::Quit);
        return 1;
    }
    if (!titleField) return 0;
    if (titleField->HandleEvent(event, title)) return 1;
    // Not typing: the key is the battle screen's (Esc closes the overlay).
    titleField->Reset();
    return 0;
}

int OptionsMenu::Update(int /*elapsedMs*/) {
    int result = 1;
    if (pending != kNone) {
        const int32_t action = pending;
        pending = kNone;
        result = DoAction(action);
    }
    World* world = TheWorld();

    const int32_t speed = SpeedOfSlider(widgets[kSpeedSlider]->GetValue());
    // The speed is the game's: the World notes the change (the speed left still measures the
    // peers' shots fired before it).
    if (world && speed != 3 - SpeedAdjustment) {
        world->PlaySpeed(3 - speed);
        if (world->commands) world->Commands().SendGameSpeed(speed);
        char text[16];
        std::snprintf(text, sizeof text, "%d", speed);
        WriteOption("SPEED", text);
    }

    const int32_t volume = widgets[kVolumeSlider]->GetValue();
    if (volume != MasterVolume()) {
        if (soundDevice) soundDevice->masterVolume = volume;
        if (world && world->music) world->music->SetVolume(volume);
        char text[16];
        std::snprintf(text, sizeof text, "%d", volume);
        WriteOption("VOLUME", text);
    }

    const int musicOn = world && world->music && world->music->IsOn();
    widgets[kMusic]->pressed = musicOn ? 1 : 0;
    return result;
}

int OptionsMenu::SaveUnderTitle(World& world) {
    if (!titleField) return 1;
    // A title the index refuses or a file that could not be written leaves the overlay open
    // with the message on the status line, so the player can try another title.
    const int saved = world.SaveGameUnderTitle(title);
    world.PlayUiSound(saved ? 1 : 0);
    return 1;
}

int OptionsMenu::DoAction(int32_t index) {
    World* world = TheWorld();
    if (!world) return 1;
    if (index == kSave) return SaveUnderTitle(*world);
    world->PlayUiSound(1);
    switch (index) {
        case kQuit:
            RequestGameMode(GameMode::MainMenu);
            return 0;
        case kRestart:
            // Without a game in play there is nothing to start again: leave for the menu.
            if (!world->gameFlow || !world->gameFlow->RestartMission(0))
                RequestGameMode(GameMode::MainMenu);
            return 0;
        case kMissionText:
            if (Campaign::GetMissionTextId(*world) == -1) return 1;
            missionTextRequested = 1;
            return 0;
        case kMusic:
            if (!world->music) return 1;
            if (world->music->IsOn()) {
                WriteOption("MUSIC", "NO");
                world->music->SetEnabled(0);
            } else {
                WriteOption("MUSIC", "YES");
                world->music->SetEnabled(1);
            }
            return 1;
        default:
            return 1;
    }
}

void OptionsMenu::Draw(int /*elapsedMs*/) {
    if (!display) return;
    World* world = TheWorld();
    TextWriter* font = world ? world->font.get() : nullptr;
    display->SetClipRect(overlayRect);
    if (background) background->DrawAt(Point(0, 0));
    for (auto& widget : widgets)
        if (widget) widget->Draw();
    if (titleField) {
        titleField->Draw(kTitleColour);
        const Rect& r = titleField->rect;
        display->SetClipRect(r);
        if (font)
            font->DrawText(Point(r.origin.x + 1, r.origin.y + r.extent.h - 2), title, kTitleColour);
        display->SetClipRect(overlayRect);
    }
    if (font && widgets[kSpeedSlider] && widgets[kVolumeSlider]) {
        char text[16];
        std::snprintf(text, sizeof text, "%1d", SpeedOfSlider(widgets[kSpeedSlider]->GetValue()));
        font->DrawText(widgets[kSpeedSlider]->Centre() + Point(-7, 3), text, kValueColour);
        std::snprintf(text, sizeof text, "%3d", widgets[kVolumeSlider]->GetValue());
        font->DrawText(widgets[kVolumeSlider]->Centre() + Point(-7, 3), text, kValueColour);
    }
    if (world && !SaveAllowed(*world) && saveUnavailable) saveUnavailable->DrawAt(Point(0, 0));
}

std::unique_ptr<ScreenBase> MakeOptionsMenu() {
    return std::make_unique<OptionsMenu>();
}

Rect OptionsMenuBounds() {
    return OptionsMenu::Bounds();
}

int32_t OptionsMenuWantsMissionText(ScreenBase& menu) {
    auto* options = dynamic_cast<OptionsMenu*>(&menu);
    return options ? options->MissionTextRequested() : 0;
}
