#pragma once
// What the battle screen needs of its two overlays, the in-game options menu and the mission
// text dialog. Both are screens of their own (driven through the ScreenBase operations); these
// makers and questions are defined beside the overlays' classes, so the battle screen holds
// them as plain screens and never depends on their insides.
#include <cstdint>
#include <memory>

#include "core/Rect.h"

class ScreenBase;

// A new options menu, not yet loaded.
std::unique_ptr<ScreenBase> MakeOptionsMenu();
// The rectangle the options menu covers on the screen (edges included).
Rect OptionsMenuBounds();
// 1 when the options menu closed asking for the mission text.
int32_t OptionsMenuWantsMissionText(ScreenBase& menu);
// A new mission text dialog showing the text (null: empty), not yet loaded.
std::unique_ptr<ScreenBase> MakeMissionTextDialog(const char* text);
