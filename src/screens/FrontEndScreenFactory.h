#pragma once
// The screen factory of this build: the title, main menu, battle, design, results and
// exit-picture screens. An object in FrontEndScreenFactory.cpp registers
// one with the World during static initialisation.
#include "world/ScreenFactory.h"

class FrontEndScreenFactory : public ScreenFactory {
public:
    std::unique_ptr<ScreenBase> NewTitleScreen() override;
    std::unique_ptr<ScreenBase> NewMainMenuScreen() override;
    std::unique_ptr<ScreenBase> NewBattleScreen() override;
    int LoadBattleScreen(ScreenBase& battleScreen, int team, char clanLetter) override;
    void StopBattleVoice(ScreenBase& battleScreen) override;
    void CentreBattleView(ScreenBase& battleScreen, const Point& p) override;
    std::unique_ptr<ScreenBase> NewDesignScreen(int fromMenu) override;
    std::unique_ptr<ScreenBase> NewResultsScreen(MissionStats* stats) override;
    std::unique_ptr<ScreenBase> NewPictureScreen() override;
};
