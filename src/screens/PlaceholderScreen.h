#pragma once
// PLACEHOLDER for the screens not built yet (main menu, battle, design, results): a blank
// screen that names its mode, so that the mode switch runs end to end. Esc asks for the exit
// picture (mode 10), any other key for the title (mode 1). Nothing may depend on it; each
// mode's real screen replaces it in the screen factory.
#include <cstdint>
#include <string>

#include "ui/ScreenBase.h"

class PlaceholderScreen : public ScreenBase {
public:
    static constexpr int32_t kTextColour = 255;

    explicit PlaceholderScreen(std::string modeName);
    ~PlaceholderScreen() override;

    int HandleEvents(int elapsedMs) override;
    void Draw(int elapsedMs) override;

    const std::string& ModeName() const { return modeName; }

private:
    std::string modeName;
};
