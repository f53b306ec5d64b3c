#pragma once
// A settings panel: option rows grouped into radio groups and sliders over a background
// picture. Each group stands for one behaviour parameter of a design: an option's value is its
// position in the panel's button list, a slider's its knob position in percent. A release is
// written into a design on the next OnRelease. The design screen edits designs through four of
// these; the battle screen's unit panel shows the same four.
#include <cstdint>
#include <memory>

#include "core/NodeList.h"
#include "core/Point.h"
#include "core/Rect.h"
#include "ui/Button.h"

class Bitmap;
class InputEvent;
class ResourceFile;
class VehicleDesign;

class ControlPanel {
public:
    // The highest value a slider shows.
    static constexpr int32_t kShownValueCap = 99;
    static constexpr int32_t kValueColour = 10;

    // The background is read from the pack's selected entry (none without a pack).
    explicit ControlPanel(ResourceFile* pack);
    virtual ~ControlPanel();
    ControlPanel(const ControlPanel&) = delete;
    ControlPanel& operator=(const ControlPanel&) = delete;

    // Adds a button at the front of the list. A slider (mode 3 or 4) moves between the travel
    // points, starts enabled and pressed and becomes the current button; an option starts
    // disabled and is also hit anywhere on its row.
    Button* AddButton(const Point& origin, int32_t width, int32_t height, ResourceFile* pack,
                      const PackEntry& highlighted, const PackEntry& pressed,
                      const PackEntry& disabled, int32_t mode, const Point& travelMin,
                      const Point& travelMax, int32_t group, const Rect& row);
    void EnableAll(int32_t flag);
    // Shows the option at that list position as its group's choice. A position that holds no
    // button of the group selects nothing and changes no other group.
    void SelectInGroup(int32_t group, int32_t position);
    // Places the slider at that list position; -1 hides every slider value instead.
    void SetSliderValue(int32_t group, int32_t position, int32_t value);
    // 1 when the event concerned the panel.
    virtual int32_t HandleMouse(const InputEvent& event);
    // Writes the released button's value into the design; 1 when a parameter changed. The
    // release stays, so calling again reports no change.
    virtual int32_t OnRelease(VehicleDesign& design);
    // Offset (0, 0) puts the background at its own place, any other centres it there.
    virtual void Draw(const Point& offset);

    Button* ButtonAt(int32_t position) const;
    int32_t Count() const { return buttons.Count(); }
    // The value a button of group g stands for: its list position, or a slider's percent.
    int32_t ValueOf(const Button& button) const;

    Button* current = nullptr;
    Button* released = nullptr;
    Point anchor;
    int32_t valuesVisible = 0;

private:
    static bool IsSlider(const Button& button);

    std::unique_ptr<Bitmap> background;
    NodeList buttons;
};
