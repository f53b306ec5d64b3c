#pragma once
// The game set-up: clan, colour, enemies, difficulty, tech level, resources, artifacts and
// land, shown in groups by the role the menu opens it in (skirmish, new campaign, design
// entry, network game). Every change goes to QX.INI at once and, in a network game, to the
// peers; the peers' records arrive through ApplyPeerSettings, which decides colour conflicts.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/Rect.h"
#include "ui/ScreenBase.h"

class Bitmap;
class Button;
class Image;
class InputEvent;
class Scenario;
class ScrollList;
class SpriteSet;
class TextField;
class World;
struct SetupSettings;

struct SetupParams {
    int32_t scenarioList = 0;
    int32_t enemiesGroup = 0;
    int32_t clanGroup = 0;
    int32_t techGroup = 0;
    int32_t network = 0;
    int32_t host = 0;
    int32_t ownSlot = 0;
    int32_t players = 0;
};

class SetupScreen : public ScreenBase {
public:
    static constexpr int kButtons = 15;
    static constexpr int kNone = 16;
    static constexpr int kBack = 6;
    static constexpr int kStart = 7;
    static constexpr int kDifficulty = 11;
    static constexpr int kResources = 12;
    static constexpr int kTech = 13;
    static constexpr int kArtifacts = 14;
    static constexpr char kSmallPack[] = "7a0upxxx99s999.msp";
    static constexpr char kLargePack[] = "7a1upxxx99s999.msp";
    static constexpr char kKnobPack[] = "7a0unxxx99s999.msp";
    static constexpr int32_t kKnobRow = 65;
    static constexpr int kMaxTitle = 63;

    struct ListEntry {
        std::string text;
        int32_t packIndex;
    };

    SetupScreen(World& world, const SetupParams& params);
    ~SetupScreen() override;

    int Load() override;
    void Unload() override;
    void Activate() override;
    int HandleEvents(int elapsedMs) override;
    int Update(int elapsedMs) override;
    void Draw(int elapsedMs) override;

    int HandleButton(int n);
    int HandleKey(const InputEvent& event);
    void ApplyPeerSettings(const SetupSettings& record, int start, int leave);

    Scenario& Record() { return *record; }
    Button* ButtonOf(int n) const { return buttons[n].get(); }
    const std::vector<ListEntry>& Entries() const { return entries; }
    ScrollList* List() const { return list.get(); }
    int GuestsWaiting() const { return guestsWaiting; }
    int Finished() const { return finished; }
    int ChatOpen() const { return chatField != nullptr; }

    // The list entry of a land pack entry's header (at most 256 bytes): its first line, '@'
    // and up to 63 characters, or a number naming a string line; false when it names nothing.
    static bool EntryTitle(const char* header, size_t length, int hideSpecial, std::string& title);
    // The entries of the land pack; false when it cannot be opened.
    static bool ReadLandList(int hideSpecial, std::vector<ListEntry>& out,
                             std::string* fault = nullptr);
    // Two colours conflict when both are player colours (1 .. 8) and equal or 4 apart.
    static bool Conflict(int a, int b);

private:
    void ReadOptions();
    void BuildList();
    void SelectListEntry(int index);
    void Broadcast();
    void PressOnly(int first, int last, int chosen);
    void SetClan(char clan);
    void SetOwnColour(int colour);
    void SetSlotLetter(int slot, char letter);
    void SyncControls();
    // The colour an unchosen slot takes at the start: its clan's first colour from the slot
    // number up that conflicts with no other player's.
    int FreeColourFor(int slot) const;
    void SelectMissionEntry();
    int ButtonAt(const Point& point) const;

    World& world;
    SetupParams params;
    std::unique_ptr<Scenario> record;
    std::unique_ptr<Button> buttons[kButtons];
    std::unique_ptr<ScrollList> list;
    std::vector<ListEntry> entries;
    std::unique_ptr<Bitmap> groupPictures[4];
    std::unique_ptr<Image> marker;
    std::unique_ptr<Image> enemyMarker;
    std::unique_ptr<SpriteSet> swatchNormal;
    std::unique_ptr<SpriteSet> swatchPressed;
    Rect screenRect;
    int hovered = kNone;
    int pressed = kNone;
    int pending = kNone;
    int finished = 0;
    int hideSpecial = 1;
    int guestsWaiting = 0;
    int lastDifficulty = -1;
    int lastResources = -1;
    int lastTech = -1;
    std::unique_ptr<TextField> chatField;
    char chatText[128] = {};
    int chatAddressee = 0;
};
