#include "ui/ScrollList.h"

#include <string>

#include <algorithm>

#include "core/ColourBox.h"
#include "core/DisplayBase.h"
#include "core/InputEvent.h"
#include "core/TextWriter.h"

namespace {
bool Inside(const Rect& r, const Point& p) {
    return p.x >= r.origin.x && p.y >= r.origin.y && p.x <= r.origin.x + r.extent.w - 1 &&
           p.y <= r.origin.y + r.extent.h - 1;
}
}  // namespace

ScrollList::ScrollList(const Rect& listRect, int32_t lineHeight, TextWriter* font,
                       int32_t highlightColour)
    : listRect(listRect),
      lineHeight(lineHeight > 0 ? lineHeight : 1),
      visibleRows(listRect.extent.h / this->lineHeight),
      font(font),
      highlightColour(highlightColour) {}

ScrollList::ScrollList(const Rect& listRect, const Rect& upRect, const Rect& downRect,
                       ResourceFile* pack, int32_t upMode, const ButtonEntries& upEntries,
                       int32_t downMode, const ButtonEntries& downEntries, int32_t lineHeight,
                       TextWriter* font, int32_t highlightColour)
    : ScrollList(listRect, lineHeight, font, highlightColour) {
    this->upRect = upRect;
    this->downRect = downRect;
    upButton = std::make_unique<Button>(pack, upEntries, upRect, upMode, Point(), Point(), 0);
    downButton =
        std::make_unique<Button>(pack, downEntries, downRect, downMode, Point(), Point(), 0);
}

ScrollList::~ScrollList() = default;

int32_t ScrollList::Contains(const Point& point) const {
    return Inside(upRect, point) || Inside(downRect, point) || Inside(listRect, point) ? 1 : 0;
}

int32_t ScrollList::HandleMouse(const InputEvent& event) {
    const Point& p = event.position;
    if (event.kind == InputKind::ButtonDown) {
        if (Inside(upRect, p)) {
            if (upButton) upButton->SetHighlighted(1);
            repeatCount = 0;
            scrollingUp = 1;
            released = 0;
            return 1;
        }
        if (Inside(downRect, p)) {
            if (downButton) downButton->SetHighlighted(1);
            repeatCount = 0;
            scrollingDown = 1;
            released = 0;
            return 1;
        }
        if (Inside(listRect, p)) {
            selection = top + (p.y - (listRect.origin.y + 2)) / lineHeight;
            selection = std::min(selection, count - 1);
            // A click on the margin above the first line picks the first line.
            if (count > 0) selection = std::max(selection, 0);
            Point below = SelectedItemPosition() + Point(0, lineHeight);
            if (!Inside(listRect, below)) ShowSelection();
            return 1;
        }
        return 0;
    }
    if (event.kind == InputKind::ButtonUp) {
        if (upButton) upButton->SetHighlighted(0);
        if (downButton) downButton->SetHighlighted(0);
        released = 1;
        if (Inside(upRect, p)) {
            ScrollUp();
            return 1;
        }
        if (Inside(downRect, p)) {
            ScrollDown();
            return 1;
        }
        return 0;
    }
    return 0;
}

int32_t ScrollList::Tick(const Point* offset) {
    if (upButton) upButton->Draw(offset);
    if (downButton) downButton->Draw(offset);
    auto repeat = [this](int32_t& scrolling, bool down) {
        if (!scrolling) return;
        if (++repeatCount < kRepeatDelay) return;
        if (released) {
            scrolling = 0;
            repeatCount = 0;
        } else if (down) {
            ScrollDown();
        } else {
            ScrollUp();
        }
    };
    repeat(scrollingDown, true);
    repeat(scrollingUp, false);
    return 1;
}

int32_t ScrollList::Draw(int32_t index, const char* text, int32_t textColour, const Point* offset) {
    const Point origin = listRect.origin - (offset ? *offset : Point());
    const int32_t row = index - top;
    if (row < 0 || row >= visibleRows || !display) return 0;
    display->SetClipRect(Rect(origin, listRect.extent));
    if (index == selection) {
        ColourBox bar(highlightColour, Size(listRect.extent.w - 2, lineHeight));
        bar.DrawAt(origin + Point(1, row * lineHeight + 4));
    }
    if (font) {
        const std::string shown = FitLine(text);
        font->DrawText(origin + Point(2, 2 + (row + 1) * lineHeight), shown.c_str(), textColour);
    }
    display->ResetClipRect();
    return 1;
}

std::string ScrollList::FitLine(const char* text) const {
    std::string line = text ? text : "";
    if (!font || font->TextWidth(line.c_str()) <= listRect.extent.w) return line;
    // Cut where the mark still fits, so that a clipped name never reads as a whole one.
    while (!line.empty() && font->TextWidth((line + kCutMark).c_str()) > listRect.extent.w)
        line.pop_back();
    return line + kCutMark;
}

int32_t ScrollList::ScrollUp() {
    if (top == 0) return 0;
    --top;
    return 1;
}

int32_t ScrollList::ScrollDown() {
    if (top + visibleRows >= count) return 0;
    ++top;
    return 1;
}

void ScrollList::ScrollToEnd() {
    top = std::max(count - visibleRows, 0);
}

void ScrollList::ShowSelection() {
    top = selection >= top ? selection - visibleRows + 1 : selection;
    top = std::max(top, 0);
}

void ScrollList::SetSelection(int32_t n) {
    selection = std::min(n, count - 1);
    Point middle = SelectedItemPosition() + Point(0, lineHeight / 2);
    if (!Inside(listRect, middle)) ShowSelection();
}

void ScrollList::SetCount(int32_t n) {
    count = n;
    if (top + visibleRows > count) ScrollToEnd();
    if (selection >= n) selection = n - 1;
}

int32_t ScrollList::ScrollPercent() const {
    if (top == 0) return 0;
    const int32_t range = count - visibleRows;
    return range > 0 ? top * 100 / range : 0;
}

void ScrollList::SetScrollPercent(int32_t percent) {
    const int32_t range = std::max(count - visibleRows, 0);
    top = std::clamp(range * percent / 100, 0, range);
}

Point ScrollList::SelectedItemPosition() const {
    return listRect.origin + Point(1, (selection - top) * lineHeight + 4);
}
