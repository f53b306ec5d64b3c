#include "screens/PictureScreen.h"

#include "core/DisplayBase.h"
#include "core/EventQueue.h"
#include "core/KeyCodes.h"
#include "core/SpriteSet.h"
#include "world/World.h"

namespace {
constexpr int32_t kNoCursor = -1;
}  // namespace

PictureScreen::PictureScreen()
    : screenRect(Point(0, 0), Size(DisplayBase::kScreenWidth, DisplayBase::kScreenHeight)) {}

PictureScreen::~PictureScreen() = default;

int PictureScreen::Load() {
    InstallPackPalette(kExitPaletteRow);
    pictures = LoadSpriteSetColumn(kExitPicturePack);
    if (display) display->cursorShape = kNoCursor;
    page = 1;
    elapsed = 0;
    return 1;
}

void PictureScreen::Unload() {
    pictures.reset();
}

int PictureScreen::HandleEvents(int /*elapsedMs*/) {
    if (!eventQueue) return 1;
    int result = 1;
    while (std::unique_ptr<InputEvent> event = eventQueue->Take()) {
        if (event->kind == InputKind::ButtonDown) {
            result = 0;
            continue;
        }
        if (event->kind != InputKind::Key) continue;
        const int32_t key = event->param;
        if (key == kKeyF4 && eventQueue->altDown) {
            RequestGameMode(GameMode::Quit);
            return 0;
        }
        if (!IsModifierKey(key)) result = 0;
    }
    return result;
}

int PictureScreen::Update(int elapsedMs) {
    elapsed += elapsedMs;
    if (elapsed > kPageMs) {
        ++page;
        elapsed = 0;
    }
    return page > LastPage() ? 0 : 1;
}

// With pages, the screen ends once the last one has had its time. A pack holding only the
// background would otherwise end on the first tick; it shows the background for one page's
// time instead.
int32_t PictureScreen::LastPage() const {
    const int32_t last = pictures ? pictures->LastFrameIndex() : 0;
    return last < 1 ? 1 : last;
}

void PictureScreen::Draw(int /*elapsedMs*/) {
    if (!display || !pictures) return;
    display->SetClipRect(screenRect);
    pictures->DrawFrameAt(Point(0, 0), 0);
    if (page <= pictures->LastFrameIndex()) pictures->DrawFrameAt(Point(0, 0), page);
    display->ResetClipRect();
}
