// Temporary: empty definitions of the keyboard commands, the side panel and the overlay makers
// until their own files land; deleted when they do.
#include "screens/battle/BattleOverlays.h"
#include "screens/battle/BattleScreen.h"
#include "ui/ScreenBase.h"

int32_t BattleScreen::HandleKey(const InputEvent& /*event*/, int32_t& /*silent*/) {
    return 0;
}
void BattleScreen::DrawControlPanel() {}
void BattleScreen::DrawMiniMap() {}
void BattleScreen::DrawStatusTab() {}
void BattleScreen::DrawPlayersTab() {}
void BattleScreen::DrawUnitPanel(VehicleDesign* /*design*/, int32_t /*rank*/,
                                 int32_t /*damagePercent*/, GameObject* /*factory*/,
                                 GameObject* /*unit*/) {}

std::unique_ptr<ScreenBase> MakeOptionsMenu() {
    return nullptr;
}
Rect OptionsMenuBounds() {
    return Rect(Point(142, 88), Point(497, 390));
}
int32_t OptionsMenuWantsMissionText(ScreenBase& /*menu*/) {
    return 0;
}
std::unique_ptr<ScreenBase> MakeMissionTextDialog(const char* /*text*/) {
    return nullptr;
}
