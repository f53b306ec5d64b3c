#include "core/BusyIndicator.h"

#include "core/DisplayBase.h"
#include "core/Image.h"

BusyIndicator* busyIndicator = nullptr;

BusyIndicator::BusyIndicator(std::unique_ptr<Image> animation) : animation(std::move(animation)) {
    busyIndicator = this;
}

BusyIndicator::~BusyIndicator() {
    if (busyIndicator == this) busyIndicator = nullptr;
    // Only an open wait has a hidden cursor to give back.
    if (nesting > 0 && display) display->cursorShape = savedCursorShape;
}

void BusyIndicator::Enable(int32_t flag) {
    if (flag == 1) {
        if (++nesting == 1) {
            if (display) {
                savedCursorShape = display->cursorShape;
                display->cursorShape = -1;
                display->RedrawAll();
            }
            frame = 0;
        }
        return;
    }
    // An unpaired close has nothing to undo.
    if (nesting <= 0) return;
    if (--nesting == 0) {
        if (display) display->cursorShape = savedCursorShape;
        timer.Stop();
    }
}

int32_t BusyIndicator::Tick() {
    // Without an open wait nothing is shown: a stopped timer would still report expiry.
    if (nesting <= 0) return 1;
    if (timer.IsRunning() && !timer.Expired()) return 1;
    if (display) {
        display->SetClipRect(
            Rect(Point(0, 0), Size(DisplayBase::kScreenWidth, DisplayBase::kScreenHeight)));
        if (animation) {
            if (Image* picture = animation->SubImage(frame)) picture->Draw(Point(320, 240));
        }
        display->ResetClipRect();
        display->Present();
    }
    if (++frame > (animation ? animation->LastFrameIndex() : 0)) frame = 0;
    timer.Start();
    return 1;
}
