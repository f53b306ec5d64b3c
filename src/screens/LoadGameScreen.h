#pragma once
// The saved games of the World's index in a scrolling list, with load, delete and back. A game
// is checked before it is chosen: a damaged one stays listed and says so on the status line.
// Exit code 1: back (or the list became empty); 0: a game was chosen and mode 9 requested.
#include <cstdint>
#include <memory>
#include <string>

#include "core/Rect.h"
#include "ui/ScreenBase.h"

class Bitmap;
class Button;
class InputEvent;
class SavedGameEntry;
class Scenario;
class ScrollList;
class World;

class LoadGameScreen : public ScreenBase {
public:
    static constexpr int kButtons = 4;
    static constexpr int kNone = 5;
    enum : int { kLoad = 0, kDelete = 1, kBack = 2, kKnob = 3 };
    static constexpr char kLargePack[] = "7a1uexxx99s999.msp";
    static constexpr char kSmallPack[] = "7a0uexxx99s999.msp";

    explicit LoadGameScreen(World& world);
    ~LoadGameScreen() override;

    int Load() override;
    void Unload() override;
    int HandleEvents(int elapsedMs) override;
    int Update(int elapsedMs) override;
    void Draw(int elapsedMs) override;

    int ButtonAt(const Point& point) const;
    int HandleKey(const InputEvent& event);
    int DoAction(int button);

    Button* ButtonOf(int n) const { return buttons[n].get(); }
    ScrollList* List() const { return list.get(); }
    // Takes the line already on the status line (a game refused on its way to the battle) as
    // one this screen said of the selected row.
    void AdoptStatusLine();

private:
    // Empty when the chosen game's file reads and passes the checks (its mission and clan then
    // given); else the status line that says why it does not load.
    static std::string WhyNotLoadable(const char* fileName, Scenario& scenario, int& mission,
                                      char& clan);
    void PlaceKnob();
    int Count() const;
    // The entry of the selected row, or null.
    SavedGameEntry* Selected() const;
    // A line this screen puts on the status line is its own: about one game (aboutFile) or,
    // with null, about the whole list.
    void Say(const std::string& text, const char* aboutFile);
    // Clears the status line when it still shows this screen's line: 1 when it did.
    int Unsay();
    // The index could not be read: the games show by file name, and a delete is refused.
    bool IndexUnreadable() const;
    // The line about the whole list that stands whenever no other line of this screen does:
    // while the index cannot be read, why the games show by file name.
    void SayStandingLine();
    // A line about one game goes once that game is no longer the selected row; the standing
    // line then comes back.
    void UnsayOtherRow();

    World& world;
    std::unique_ptr<Bitmap> background;
    Rect screenRect;
    std::unique_ptr<Button> buttons[kButtons];
    int hovered = kNone;
    int pressed = kNone;
    int pending = kNone;
    std::unique_ptr<ScrollList> list;
    std::string said;
    std::string saidAbout;
};
