#include "screens/FrontEndScreenFactory.h"

#include "screens/DesignScreen.h"
#include "screens/MainMenuScreen.h"
#include "screens/PictureScreen.h"
#include "screens/PlaceholderScreen.h"
#include "screens/ResultsScreen.h"
#include "screens/TitleScreen.h"
#include "world/World.h"

std::unique_ptr<ScreenBase> FrontEndScreenFactory::NewTitleScreen() {
    return std::make_unique<TitleScreen>();
}

std::unique_ptr<ScreenBase> FrontEndScreenFactory::NewMainMenuScreen() {
    return std::make_unique<MainMenuScreen>(*TheWorld());
}

std::unique_ptr<ScreenBase> FrontEndScreenFactory::NewBattleScreen() {
    return std::make_unique<PlaceholderScreen>("BATTLE");
}

int FrontEndScreenFactory::LoadBattleScreen(ScreenBase& battleScreen, int /*team*/,
                                            char /*clanLetter*/) {
    return battleScreen.Load();
}

void FrontEndScreenFactory::StopBattleVoice(ScreenBase& /*battleScreen*/) {}

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
