#include "screens/PlaceholderScreen.h"

#include <utility>

#include "core/ColourBox.h"
#include "core/DisplayBase.h"
#include "core/EventQueue.h"
#include "core/KeyCodes.h"
#include "core/TextWriter.h"
#include "world/World.h"

PlaceholderScreen::PlaceholderScreen(std::string modeName) : modeName(std::move(modeName)) {}

PlaceholderScreen::~PlaceholderScreen() = default;

int PlaceholderScreen::HandleEvents(int /*elapsedMs*/) {
    if (!eventQueue) return 1;
    int result = 1;
    while (std::unique_ptr<InputEvent> event = eventQueue->Take()) {
        if (event->kind != InputKind::Key) continue;
        const int32_t key = event->param;
        if (IsModifierKey(key)) continue;
        RequestGameMode(key == kKeyEscape ? GameMode::ExitPicture : GameMode::Title);
        result = 0;
    }
    return result;
}

void PlaceholderScreen::Draw(int /*elapsedMs*/) {
    if (!display) return;
    const Size screen(DisplayBase::kScreenWidth, DisplayBase::kScreenHeight);
    display->SetClipRect(Rect(Point(0, 0), screen));
    ColourBox(0, screen).DrawAt(Point(0, 0));
    World* world = TheWorld();
    if (world && world->font) {
        TextWriter& font = *world->font;
        const int32_t width = font.TextWidth(modeName.c_str());
        font.DrawText(Point((screen.w - width) / 2, screen.h / 2), modeName.c_str(), kTextColour);
    }
    display->ResetClipRect();
}
