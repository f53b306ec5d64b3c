#include "screens/HardpointPanel.h"

#include <cstring>

#include "catalogue/MountTemplate.h"
#include "catalogue/VehicleDesign.h"
#include "core/Bitmap.h"
#include "core/InputEvent.h"
#include "core/TextWriter.h"
#include "world/World.h"

namespace {
bool IsHardpoint(int32_t h) {
    return h >= 0 && h < HardpointPanel::kHardpoints;
}
}  // namespace

HardpointPanel::HardpointPanel(ResourceFile* pack) {
    if (pack) background = std::make_unique<Bitmap>(pack);
}

HardpointPanel::~HardpointPanel() = default;

Button* HardpointPanel::AddHardpointButton(const Point& origin, int32_t width, int32_t height,
                                           int32_t hardpoint, int32_t labelSide, ResourceFile* pack,
                                           const PackEntry& highlighted, const PackEntry& pressed,
                                           const PackEntry& disabled, int32_t identifier) {
    if (!IsHardpoint(hardpoint)) return nullptr;
    ButtonEntries entries{highlighted, pressed, disabled, PackEntry{}};
    auto* button = new Button(pack, entries, Rect(origin, Size(width, height)), Button::kPlain,
                              Point(), Point(), identifier);
    button->SetEnabled(0);
    button->key = hardpoint;
    labelSides[hardpoint] = labelSide;
    picturePoints[hardpoint] = button->Centre();
    buttons.InsertSorted(button, 1);
    return button;
}

Button* HardpointPanel::ButtonOf(int32_t hardpoint) const {
    for (ListNode* n = buttons.First(); n; n = buttons.Next(n))
        if (n->key == hardpoint) return static_cast<Button*>(n);
    return nullptr;
}

void HardpointPanel::ClearPictures() {
    pictures.fill(nullptr);
}

void HardpointPanel::EnableAll(int32_t flag) {
    for (ListNode* n = buttons.First(); n; n = buttons.Next(n))
        static_cast<Button*>(n)->SetEnabled(flag);
}

void HardpointPanel::SetSlot(int32_t hardpoint, Image* picture, const char* label) {
    if (!IsHardpoint(hardpoint)) return;
    pictures[hardpoint] = picture;
    labels[hardpoint] = label;
}

int32_t HardpointPanel::HandleMouse(const InputEvent& event, const VehicleDesign& design,
                                    const MountTemplate* carried) {
    int32_t handled = 0;
    for (ListNode* n = buttons.First(); n; n = buttons.Next(n)) {
        auto* button = static_cast<Button*>(n);
        const int32_t hardpoint = button->key;
        const bool inside = button->HitTest(event.position) != 0;
        switch (event.kind) {
            case InputKind::MouseMove:
                if (!inside) {
                    button->SetPressed(0);
                    break;
                }
                handled = 1;
                // A layout may have more buttons than the chassis has hardpoints: nothing fits
                // on those.
                if (carried && design.chassis) {
                    button->SetPressed(
                        VehicleDesign::FitsHardpoint(carried, hardpoint, design.chassis) ? 1 : 0);
                }
                break;
            case InputKind::ButtonDown:
                if (inside && button->enabled) {
                    button->SetHighlighted(1);
                    handled = 1;
                }
                break;
            case InputKind::ButtonUp:
                if (button->highlighted) {
                    button->SetHighlighted(0);
                    releaseTarget = button;
                    releaseHardpoint = hardpoint;
                    handled = 1;
                }
                break;
            default:
                break;
        }
    }
    return handled;
}

int32_t HardpointPanel::AssignPart(VehicleDesign& design, MountTemplate* carried) {
    if (buttons.IsEmpty()) return 1;
    if (!releaseTarget) return 0;
    int32_t result = 0;
    const int32_t h = releaseHardpoint;
    if (IsHardpoint(h) && design.SetHardpoint(carried, h)) {
        releaseTarget->SetPressed(0);
        MountTemplate* mounted = carried ? design.hardpoints[h] : nullptr;
        pictures[h] = mounted ? mounted->panelBitmap.get() : nullptr;
        labels[h] = mounted && mounted->shortText ? mounted->shortText->c_str() : nullptr;
        result = 1;
    }
    releaseTarget = nullptr;
    releaseHardpoint = -1;
    return result;
}

void HardpointPanel::Draw(const Point& offset) {
    if (background) {
        if (offset == Point(0, 0)) {
            background->DrawAt(Point(0, 0));
        } else {
            background->Draw(offset);
        }
    }
    World* world = TheWorld();
    TextWriter* font = world ? world->font.get() : nullptr;
    for (int h = 0; h < kHardpoints; ++h) {
        if (!pictures[h]) continue;
        const Point at = picturePoints[h];
        pictures[h]->Draw(at);
        if (!labels[h] || !font) continue;
        const int32_t length = static_cast<int32_t>(std::strlen(labels[h]));
        const Point textAt =
            labelSides[h] ? at + Point(12, 3) : Point(at.x - 6 * length - 12, at.y + 3);
        font->DrawText(textAt, labels[h], kLabelColour);
    }
    for (ListNode* n = buttons.First(); n; n = buttons.Next(n))
        static_cast<Button*>(n)->Draw();
}
