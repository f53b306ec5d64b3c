#pragma once
// How the World's mode switch builds the screens of the front end and the battle: the screens
// live in a library above the World, so they register one factory that the World asks for when
// it first switches modes (never earlier: the registration runs during static initialisation,
// in an order that is not known).
#include <memory>

class MissionStats;
class Point;
class ScreenBase;

class ScreenFactory {
public:
    virtual ~ScreenFactory() = default;

    virtual std::unique_ptr<ScreenBase> NewTitleScreen() = 0;
    virtual std::unique_ptr<ScreenBase> NewMainMenuScreen() = 0;
    virtual std::unique_ptr<ScreenBase> NewBattleScreen() = 0;
    // The battle screen loads for a team and clan in place of Load; same result as Load.
    virtual int LoadBattleScreen(ScreenBase& battleScreen, int team, char clanLetter) = 0;
    // Silences the voice the battle screen is playing.
    virtual void StopBattleVoice(ScreenBase& battleScreen) = 0;
    // fromMenu: 1 when the design screen is opened from the main menu, 0 from the battle.
    virtual std::unique_ptr<ScreenBase> NewDesignScreen(int fromMenu) = 0;
    // stats: the local team's record, or null when there is none.
    virtual std::unique_ptr<ScreenBase> NewResultsScreen(MissionStats* stats) = 0;
    virtual std::unique_ptr<ScreenBase> NewPictureScreen() = 0;
    // Centres the battle screen's map view on a point (a lost mission's production building);
    // the battle screen forwards it. Nothing without one.
    virtual void CentreBattleView(ScreenBase& /*battleScreen*/, const Point& /*p*/) {}
};

// Replaces the registered factory (null removes it); the factory is borrowed, not owned.
void RegisterScreenFactory(ScreenFactory* factory);
// The registered factory, or null.
ScreenFactory* RegisteredScreenFactory();
