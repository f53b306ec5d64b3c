#include "screens/TitleScreen.h"

#include <string>

#include "core/Bitmap.h"
#include "core/DisplayBase.h"
#include "core/EventQueue.h"
#include "core/KeyCodes.h"
#include "core/MovieBase.h"
#include "core/Settings.h"
#include "world/World.h"

TitleScreen::TitleScreen()
    : screenRect(Point(0, 0), Size(DisplayBase::kScreenWidth, DisplayBase::kScreenHeight)) {}

TitleScreen::~TitleScreen() = default;

int TitleScreen::Load() {
    InstallPackPalette(kTitlePaletteRow);
    titlePicture = std::make_unique<Bitmap>(kTitlePicturePack);
    if (display) display->cursorShape = kNoCursor;
    return 1;
}

void TitleScreen::Unload() {
    titlePicture.reset();
}

// Until the title shows, events stay queued: they are handled once it does.
int TitleScreen::HandleEvents(int /*elapsedMs*/) {
    if (phase != Phase::ShowTitle || !eventQueue) return 1;
    int result = 1;
    while (std::unique_ptr<InputEvent> event = eventQueue->Take()) {
        if (event->kind == InputKind::ButtonDown) {
            RequestGameMode(GameMode::MainMenu);
            result = 0;
            continue;
        }
        if (event->kind != InputKind::Key) continue;
        const int32_t key = event->param;
        if (key == kKeyF4 && eventQueue->altDown) {
            RequestGameMode(GameMode::Quit);
            return 0;
        }
        if (key == kKeyEscape) {
            RequestGameMode(GameMode::Quit);
            result = 0;
        } else if (IsModifierKey(key)) {
            // A modifier alone is no choice.
        } else if (key == 'I' || key == 'i') {
            phase = Phase::StartIntro;
        } else {
            RequestGameMode(GameMode::MainMenu);
            result = 0;
        }
    }
    return result;
}

int TitleScreen::Update(int /*elapsedMs*/) {
    switch (phase) {
        case Phase::StartIntro: {
            phase = Phase::StartWait;
            if (moviesOff || !moviePlayer) break;
            const World* world = TheWorld();
            const std::string path = (world ? world->moviesDir : std::string()) + kIntroMovie;
            if (moviePlayer->Open(path.c_str()) == 1) {
                // The main loop plays it to its end (or until a key) before the next tick.
                moviePlayer->RequestPlay();
                phase = Phase::IntroPlaying;
            }
            break;
        }
        case Phase::IntroPlaying:
            if (!moviePlayer || moviePlayer->playing == 0) phase = Phase::StartWait;
            break;
        case Phase::StartWait:
            if (display) display->cursorShape = kArrowCursor;
            waitTimer.Start();
            phase = Phase::ShowTitle;
            break;
        case Phase::ShowTitle:
            if (waitTimer.Expired()) {
                RequestGameMode(GameMode::MainMenu);
                return 0;
            }
            break;
    }
    return 1;
}

void TitleScreen::Draw(int /*elapsedMs*/) {
    if (!display) return;
    if (phase != Phase::ShowTitle) {
        display->RedrawAll();
        return;
    }
    display->SetClipRect(screenRect);
    if (titlePicture) titlePicture->DrawAt(Point(0, 0));
    display->ResetClipRect();
}
