#pragma once
// What the battle screen's unit panel uses of the design screen: its four settings panels,
// the lines that describe a design's behaviour settings, and the page buttons that switch
// between the panels. The design screen implements it; the battle screen finds it through the
// World's design screen.
#include <cstdint>

class Button;
class ControlPanel;
class VehicleDesign;

class DesignPanels {
public:
    // The settings pages, by the command numbers of their page buttons.
    static constexpr int32_t kPageCodes[4] = {9, 10, 12, 13};

    virtual ~DesignPanels() = default;
    // The settings panel of code 9, 10, 12 or 13; null for any other code.
    virtual ControlPanel* GetControlPanel(int32_t code) = 0;
    // The six lines of a design's behaviour settings at their fixed places.
    virtual void DrawDesignSettings(const VehicleDesign& design) = 0;
    // The page button of code 9, 10, 12 or 13; null for any other code.
    virtual Button* SettingsPageButton(int32_t code) = 0;
};

// The World's design screen as design panels; null without a World or a design screen.
DesignPanels* FindDesignPanels();
