#include "screens/FrontEndScreenFactory.h"

#include "screens/DesignScreen.h"
#include "screens/MainMenuScreen.h"
#include "screens/PictureScreen.h"
#include "screens/ResultsScreen.h"
#include "screens/TitleScreen.h"
#include "screens/battle/BattleScreen.h"
#include "world/World.h"

std::unique_ptr<ScreenBase> FrontEndScreenFactory::NewTitleScreen() {
    return std::make_unique<TitleScreen>();
}

std::unique_ptr<ScreenBase> FrontEndScreenFactory::NewMainMenuScreen() {
    return std::make_unique<MainMenuScreen>(*TheWorld());
}

std::unique_ptr<ScreenBase> FrontEndScreenFactory::NewBattleScreen() {
    return std::make_unique<BattleScreen>();
}

// The World holds the battle screen as a plain screen; a test may have put another there.
int FrontEndScreenFactory::LoadBattleScreen(ScreenBase& battleScreen, int team, char clanLetter) {
    if (auto* battle = dynamic_cast<BattleScreen*>(&battleScreen))
        return battle->LoadForTeam(team, clanLetter);
    return battleScreen.Load();
}

void FrontEndScreenFactory::StopBattleVoice(ScreenBase& battleScreen) {
    if (auto* battle = dynamic_cast<BattleScreen*>(&battleScreen)) battle->StopVoice();
}

void FrontEndScreenFactory::CentreBattleView(ScreenBase& battleScreen, const Point& p) {
    if (auto* battle = dynamic_cast<BattleScreen*>(&battleScreen)) battle->CentreOn(p);
}

std::unique_ptr<ScreenBase> FrontEndScreenFactory::NewDesignScreen(int fromMenu) {
    return std::make_unique<DesignScreen>(fromMenu);
}

std::unique_ptr<ScreenBase> FrontEndScreenFactory::NewResultsScreen(MissionStats* stats) {
    return std::make_unique<ResultsScreen>(*TheWorld(), stats);
}

std::unique_ptr<ScreenBase> FrontEndScreenFactory::NewPictureScreen() {
    return std::make_unique<PictureScreen>();
}

namespace {

// Registers during static initialisation; the World asks for the factory only when it first
// switches modes, after every static constructor has run.
struct Registration {
    Registration() { RegisterScreenFactory(&factory); }
    FrontEndScreenFactory factory;
};
Registration registration;

}  // namespace

// Referenced by the program's link so that this object (and with it the registration) is
// part of the program even though nothing calls into it by name.
extern "C" {
int qxFrontEndScreensLinked = 1;
}
