#pragma once
// The design screen's small panel of one chassis layout: a button where the chassis carries
// each hardpoint, the picture and short label of the part mounted there, and a background.
// A carried part dropped on a button goes onto that hardpoint of the edited design; a right
// click without one clears it.
#include <array>
#include <cstdint>
#include <memory>

#include "core/NodeList.h"
#include "core/Point.h"
#include "ui/Button.h"

class Bitmap;
class Image;
class InputEvent;
class MountTemplate;
class ResourceFile;
class VehicleDesign;

class HardpointPanel {
public:
    static constexpr int kHardpoints = 7;
    static constexpr int32_t kLabelColour = 110;

    // The background is read from the pack's selected entry (none without a pack).
    explicit HardpointPanel(ResourceFile* pack);
    virtual ~HardpointPanel();
    HardpointPanel(const HardpointPanel&) = delete;
    HardpointPanel& operator=(const HardpointPanel&) = delete;

    // A disabled button for the hardpoint, its pictures centred in its rectangle; the
    // hardpoint's picture point becomes the button's centre. Buttons stay sorted by hardpoint.
    Button* AddHardpointButton(const Point& origin, int32_t width, int32_t height,
                               int32_t hardpoint, int32_t labelSide, ResourceFile* pack,
                               const PackEntry& highlighted, const PackEntry& pressed,
                               const PackEntry& disabled, int32_t identifier);
    void ClearPictures();
    void EnableAll(int32_t flag);
    void SetSlot(int32_t hardpoint, Image* picture, const char* label);
    // 1 when the event concerned a button. While a part is carried, a button under the cursor
    // shows pressed only when the part fits its hardpoint of the design's chassis.
    virtual int32_t HandleMouse(const InputEvent& event, const VehicleDesign& design,
                                const MountTemplate* carried);
    // Puts the carried part (none clears) on the hardpoint released last; 1 on success, 0
    // without a release or when the design refuses the part; 1 for a panel without buttons.
    virtual int32_t AssignPart(VehicleDesign& design, MountTemplate* carried);
    // Offset (0, 0) puts the background at its own place, any other centres it there.
    virtual void Draw(const Point& offset);

    int32_t ButtonCount() const { return buttons.Count(); }
    Button* ButtonOf(int32_t hardpoint) const;

    Button* releaseTarget = nullptr;
    int32_t releaseHardpoint = -1;
    std::array<Image*, kHardpoints> pictures{};
    std::array<Point, kHardpoints> picturePoints{};
    std::array<int32_t, kHardpoints> labelSides{1, 1, 1, 1, 1, 1, 1};
    std::array<const char*, kHardpoints> labels{};

private:
    std::unique_ptr<Bitmap> background;
    NodeList buttons;
};
