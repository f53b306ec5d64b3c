#pragma once
// A rectangle with up to four pictures, one per visual state (highlighted, pressed, disabled,
// normal). The same class is the knob of a horizontal or vertical slider that reports its
// position as a percentage. Screens keep their buttons in a NodeList.
#include <cstdint>
#include <memory>

#include "core/Image.h"
#include "core/ListNode.h"
#include "core/Point.h"
#include "core/Rect.h"

class ResourceFile;

// A pack entry; a column of -1 means "no picture".
struct PackEntry {
    int32_t column = -1;
    int32_t row = 0;
};

// The pack entries of a button's four state pictures.
struct ButtonEntries {
    PackEntry highlighted;
    PackEntry pressed;
    PackEntry disabled;
    PackEntry normal;
};

class Button : public ListNode {
public:
    enum Mode : int32_t {
        kPlain = 1,             // pictures centred on the rectangle
        kOrigin = 2,            // pictures placed by their own origin
        kHorizontalSlider = 3,  // a knob moving in x between the travel points
        kVerticalSlider = 4,    // a knob moving in y
    };

    Button() = default;
    // The pictures are read from the entries of an open pack.
    Button(ResourceFile* pack, const ButtonEntries& entries, const Rect& rect, int32_t mode,
           const Point& travelMin, const Point& travelMax, int32_t id);
    ~Button() override;

    // Reads each named picture file (a null name keeps the picture; a missing file is fatal)
    // and sets the rest; the value is computed from the position again.
    virtual void SetImages(const char* highlightedName, const char* pressedName,
                           const char* disabledName, const char* normalName, const Rect& rect,
                           int32_t mode, const Point& travelMin, const Point& travelMax,
                           int32_t id);
    virtual void Refresh() {}

    // Takes ownership of ready-made state pictures (null leaves a state without one).
    void SetPictures(std::unique_ptr<Image> highlighted, std::unique_ptr<Image> pressed,
                     std::unique_ptr<Image> disabled, std::unique_ptr<Image> normal);

    // Highlight and press change only while the button is enabled.
    void SetHighlighted(int32_t flag);
    void SetPressed(int32_t flag);
    void SetEnabled(int32_t flag) { enabled = flag; }
    // 1 when the point is in the rectangle or the second hit area, edges included.
    int32_t HitTest(const Point& point) const;
    void MoveTo(const Point& point);
    // Moves the knob, each coordinate kept within the travel points.
    void MoveBy(int32_t dx, int32_t dy);
    int32_t GetValue() const;
    void SetValue(int32_t percent);
    // Draws the picture of the current state; `offset` is subtracted from every position.
    void Draw(const Point* offset = nullptr);

    Rect Bounds() const { return rect; }
    Point Centre() const { return rect.Centre(); }
    Image* Picture(int index) const { return pictures[index].get(); }

    int32_t highlighted = 0;
    int32_t pressed = 0;
    int32_t enabled = 1;
    int32_t id = 0;
    int32_t mode = kPlain;
    Point travelMax;
    Point travelMin;
    Rect rect;
    Rect hitRect;
    int32_t value = 0;
    int32_t valueDirty = 1;

private:
    enum { kHighlighted, kPressed, kDisabled, kNormal };
    std::unique_ptr<Image> pictures[4];
};
