#include "screens/battle/ControlPanel.h"

#include <algorithm>
#include <cstdio>

#include "catalogue/VehicleDesign.h"
#include "core/Bitmap.h"
#include "core/InputEvent.h"
#include "core/TextWriter.h"
#include "world/World.h"

namespace {
// Groups whose value is the slider's percentage; every other group takes the list position.
bool IsSliderParameter(int32_t group) {
    return group == 1 || group == 3 || group == 8;
}
}  // namespace

ControlPanel::ControlPanel(ResourceFile* pack) {
    if (pack) background = std::make_unique<Bitmap>(pack);
}

ControlPanel::~ControlPanel() = default;

bool ControlPanel::IsSlider(const Button& button) {
    return button.mode == Button::kHorizontalSlider || button.mode == Button::kVerticalSlider;
}

Button* ControlPanel::AddButton(const Point& origin, int32_t width, int32_t height,
                                ResourceFile* pack, const PackEntry& highlighted,
                                const PackEntry& pressed, const PackEntry& disabled, int32_t mode,
                                const Point& travelMin, const Point& travelMax, int32_t group,
                                const Rect& row) {
    ButtonEntries entries{highlighted, pressed, disabled, PackEntry{}};
    auto* button = new Button(pack, entries, Rect(origin, Size(width, height)), mode, travelMin,
                              travelMax, group);
    button->hitRect = row;
    if (IsSlider(*button)) {
        button->SetEnabled(1);
        button->SetPressed(1);
        current = button;
    } else {
        button->SetEnabled(0);
    }
    Button* added = button;
    buttons.PushFront(button);
    return added;
}

Button* ControlPanel::ButtonAt(int32_t position) const {
    return static_cast<Button*>(buttons.At(position));
}

void ControlPanel::EnableAll(int32_t flag) {
    for (ListNode* n = buttons.First(); n; n = buttons.Next(n))
        static_cast<Button*>(n)->SetEnabled(flag);
}

void ControlPanel::SelectInGroup(int32_t group, int32_t position) {
    released = nullptr;
    Button* chosen = ButtonAt(position);
    // A position that holds no row of the group (-1 for several units that differ, or a value a
    // design code carries) shows nothing chosen: keeping the previous choice pressed would show
    // a setting that the selection does not have.
    if (chosen && chosen->id != group) chosen = nullptr;
    if (chosen) {
        chosen->SetPressed(1);
        current = chosen;
    } else if (current && current->id == group && !IsSlider(*current)) {
        current = nullptr;
    }
    for (ListNode* n = buttons.First(); n; n = buttons.Next(n)) {
        auto* button = static_cast<Button*>(n);
        if (button != chosen && button->id == group) button->SetPressed(0);
    }
}

void ControlPanel::SetSliderValue(int32_t group, int32_t position, int32_t value) {
    released = nullptr;
    if (value == -1) {
        valuesVisible = 0;
        return;
    }
    valuesVisible = 1;
    Button* slider = ButtonAt(position);
    if (slider && slider->id == group && IsSlider(*slider)) slider->SetValue(value);
}

int32_t ControlPanel::HandleMouse(const InputEvent& event) {
    int32_t handled = 0;
    for (ListNode* n = buttons.First(); n; n = buttons.Next(n)) {
        auto* button = static_cast<Button*>(n);
        switch (event.kind) {
            case InputKind::MouseMove:
                if (button->highlighted && button->mode == Button::kHorizontalSlider) {
                    valuesVisible = 1;
                    button->MoveBy(event.position.x - anchor.x, 0);
                    button->SetPressed(1);
                    anchor = event.position;
                    handled = 1;
                } else if (button->highlighted && button->mode == Button::kVerticalSlider) {
                    valuesVisible = 1;
                    button->MoveBy(0, event.position.y - anchor.y);
                    button->SetPressed(1);
                    anchor = event.position;
                    handled = 1;
                } else if (button->enabled && button->HitTest(event.position)) {
                    handled = 1;
                }
                break;
            case InputKind::ButtonDown:
                // A disabled button is never hit, as everywhere else.
                if (button->enabled && button->HitTest(event.position)) {
                    button->SetHighlighted(1);
                    button->SetPressed(1);
                    current = button;
                    released = button;
                    anchor = event.position;
                    handled = 1;
                    if (World* world = TheWorld()) world->PlayUiSound(1);
                }
                break;
            case InputKind::ButtonUp:
                if (button->highlighted) {
                    button->SetHighlighted(0);
                    released = button;
                    handled = 1;
                }
                break;
            default:
                break;
        }
    }
    return handled;
}

int32_t ControlPanel::ValueOf(const Button& button) const {
    if (IsSliderParameter(button.id)) return button.GetValue();
    return buttons.IndexOf(&button);
}

int32_t ControlPanel::OnRelease(VehicleDesign& design) {
    int32_t changed = 0;
    for (ListNode* n = buttons.First(); n; n = buttons.Next(n)) {
        auto* button = static_cast<Button*>(n);
        if (current && button != current && button->id == current->id) button->SetPressed(0);
        if (button == released && design.SetParameter(button->id, ValueOf(*button))) changed = 1;
    }
    return changed;
}

void ControlPanel::Draw(const Point& offset) {
    if (background) {
        if (offset == Point(0, 0)) {
            background->DrawAt(Point(0, 0));
        } else {
            background->Draw(offset);
        }
    }
    World* world = TheWorld();
    TextWriter* font = world ? world->font.get() : nullptr;
    for (ListNode* n = buttons.First(); n; n = buttons.Next(n)) {
        auto* button = static_cast<Button*>(n);
        button->Draw();
        if (!IsSlider(*button) || !valuesVisible || !font) continue;
        char text[16];
        std::snprintf(text, sizeof text, "%2d", std::min(button->GetValue(), kShownValueCap));
        font->DrawText(button->Centre() + Point(-7, 3), text, kValueColour);
    }
}
