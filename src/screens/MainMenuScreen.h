#pragma once
// The screen of game mode 2: eight items leading to the tutorial, the design screen, a new
// campaign, the saved games, a skirmish, the network games and the exit. The set-up, load-game
// and network screens are its children: it serves the open one first and reacts to its end.
// The menu never switches screens itself; it requests a mode and returns 0.
#include <cstdint>
#include <memory>

#include "core/Rect.h"
#include "screens/SetupScreen.h"
#include "ui/ScreenBase.h"

class Bitmap;
class Button;
class InputEvent;
class LoadGameScreen;
class NetworkScreen;
class World;

class MainMenuScreen : public ScreenBase {
public:
    static constexpr int kItems = 8;
    static constexpr int kNone = 9;
    static constexpr char kPack[] = "7a1usxxx99s999.msp";
    static constexpr int32_t kPaletteRow = 23;
    // The status line, as the set-up screen draws it.
    static constexpr int32_t kStatusLeft = 10;
    static constexpr int32_t kStatusTop = 10;
    static constexpr int32_t kStatusWidth = 620;
    static constexpr int32_t kStatusHeight = 15;
    enum Item : int {
        kTutorial = 0,
        kDesign = 1,
        kCampaign = 2,
        kLoadGame = 3,
        kSkirmish = 4,
        kJoin = 5,
        kHost = 6,
        kExit = 7
    };

    explicit MainMenuScreen(World& world);
    ~MainMenuScreen() override;

    int Load() override;
    void Unload() override;
    void Activate() override;
    int HandleEvents(int elapsedMs) override;
    int Update(int elapsedMs) override;
    void Draw(int elapsedMs) override;

    int HitTest(const Point& point) const;
    int HandleKey(const InputEvent& event);
    int DoAction(int item);

    Button* ItemButton(int item) const { return items[item].get(); }
    int Hovered() const { return hovered; }
    int NetworkUsable() const { return networkUsable; }
    SetupScreen* OpenSetup() const { return setup.get(); }
    LoadGameScreen* OpenLoadGame() const { return loadGame.get(); }
    NetworkScreen* OpenNetwork() const { return network.get(); }

    // Draws the World's status text in its colour in the box at (10, 10), 620 x 15; shared
    // with the children so that every front-end message shows.
    static void DrawStatusLine(World& world);

private:
    int OnSetupScreenDone();
    int OnNetworkScreenDone();
    int StartConfiguredGame();
    void OpenSetupScreen(const SetupParams& params, int missionNumber);
    void CloseSetupScreen();
    void CloseLoadGame();
    // The load-game child's result: a back closes it and the menu goes on.
    int LoadGameResult(int result);
    void EnableLoadItem();
    void ClearPressed();

    World& world;
    std::unique_ptr<Bitmap> background;
    Rect screenRect;
    std::unique_ptr<Button> items[kItems];
    int hovered = kNone;
    int pressed = kNone;
    int pending = kNone;
    std::unique_ptr<LoadGameScreen> loadGame;
    std::unique_ptr<SetupScreen> setup;
    int networkItem = kNone;
    std::unique_ptr<NetworkScreen> network;
    int networkUsable = 0;
};
