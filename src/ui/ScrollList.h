#pragma once
// A window of text lines over a longer list: optional up and down arrows that scroll on click
// and repeat while held, a selected line drawn on a coloured bar, and the scroll position as a
// percentage for a slider. The owner hands it events, sets its count and draws each line.
#include <cstdint>
#include <memory>
#include <string>

#include "core/Point.h"
#include "core/Rect.h"
#include "ui/Button.h"

class InputEvent;
class ResourceFile;
class TextWriter;

class ScrollList {
public:
    // Ticks an arrow must be held before it repeats.
    static constexpr int32_t kRepeatDelay = 4;

    // A list without arrows. A line height of 0 counts as 1.
    ScrollList(const Rect& listRect, int32_t lineHeight, TextWriter* font, int32_t highlightColour);
    // A list with arrow buttons read from an open pack.
    ScrollList(const Rect& listRect, const Rect& upRect, const Rect& downRect, ResourceFile* pack,
               int32_t upMode, const ButtonEntries& upEntries, int32_t downMode,
               const ButtonEntries& downEntries, int32_t lineHeight, TextWriter* font,
               int32_t highlightColour);
    virtual ~ScrollList();

    int32_t Contains(const Point& point) const;
    // 1 when the event was used.
    int32_t HandleMouse(const InputEvent& event);
    // Draws the arrows and runs the auto-repeat; answers 1.
    int32_t Tick(const Point* offset = nullptr);
    // The text as a line shows it: whole when it fits the list's width, else cut and ended by
    // the cut mark.
    static constexpr char kCutMark[] = "..";
    std::string FitLine(const char* text) const;
    // Draws line `index` when it is visible; 1 when drawn.
    int32_t Draw(int32_t index, const char* text, int32_t textColour,
                 const Point* offset = nullptr);
    int32_t ScrollUp();
    int32_t ScrollDown();
    void ScrollToEnd();
    void ShowSelection();
    void SetSelection(int32_t n);
    void SetCount(int32_t n);
    int32_t ScrollPercent() const;
    // Keeps the first line within 0 ... max(0, count - visibleRows).
    void SetScrollPercent(int32_t percent);
    // The top-left of the selection bar.
    Point SelectedItemPosition() const;

    Button* UpButton() const { return upButton.get(); }
    Button* DownButton() const { return downButton.get(); }

    Rect listRect;
    Rect upRect;
    Rect downRect;
    int32_t scrollingUp = 0;
    int32_t scrollingDown = 0;
    int32_t repeatCount = 0;
    int32_t released = 1;
    int32_t lineHeight;
    int32_t selection = -1;
    int32_t top = 0;
    int32_t count = 0;
    int32_t visibleRows;
    TextWriter* font;
    int32_t highlightColour;

private:
    std::unique_ptr<Button> upButton;
    std::unique_ptr<Button> downButton;
};
