#pragma once
// The screen of game mode 6: counts up the local team's ratings, counters and score, shows the
// playing time, and then either asks whether to play a lost mission again or, after a win,
// opens the high-score table with a row for this game's score when it ranks among the five
// best. In a network game a chat line stays open to the other players.
#include <cstdint>
#include <memory>

#include "core/Rect.h"
#include "screens/HighScoreTable.h"
#include "ui/ScreenBase.h"

class Bitmap;
class Button;
class InputEvent;
class MissionStats;
class NextMissionPrompt;
class ScrollList;
class SpriteSet;
class TextField;
class TextWriter;
class World;

class ResultsScreen : public ScreenBase {
public:
    static constexpr int kDone = 0;
    static constexpr int kSave = 1;
    static constexpr int kNone = 3;
    static constexpr int32_t kScoreStep = 20000;
    static constexpr int32_t kPaletteRow = 21;
    static constexpr char kSmallPack[] = "7a0uaxxx99s999.msp";
    static constexpr char kLargePack[] = "7a1uaxxx99s999.msp";
    static constexpr char kFontPack[] = "7a0fxxbx99s999.msp";
    static constexpr size_t kMaxChat = 127;

    // Without a record the screen shows zeros and no table.
    ResultsScreen(World& world, MissionStats* stats);
    ~ResultsScreen() override;

    int Load() override;
    void Unload() override;
    void Activate() override;
    void Deactivate() override;
    int HandleEvents(int elapsedMs) override;
    int Update(int elapsedMs) override;
    void Draw(int elapsedMs) override;

    // The chat text as it goes out: "[host]: text" (the text alone without a link), cut to 127.
    static std::string ChatLine(const char* host, const char* text);

    int Shown(int value) const { return shown[value]; }
    int ShownScore() const { return shownScore; }
    int TotalScore() const { return totalScore; }
    NextMissionPrompt* Prompt() const { return prompt.get(); }
    TextField* NameField() const { return nameField.get(); }
    const HighScoreTable& Table() const { return table; }
    Button* ButtonOf(int n) const { return buttons[n].get(); }
    int ChatOpen() const { return chatField != nullptr; }

private:
    int HandleKey(const InputEvent& event);
    void OpenTable();
    void SaveTable();
    void NameChanged();
    void OpenChat(int addressee);
    void DrawChatLine();
    int Target(int value) const;

    World& world;
    MissionStats* stats;
    std::unique_ptr<Bitmap> background;
    std::unique_ptr<Bitmap> tableBackground;
    std::unique_ptr<SpriteSet> animation;
    std::unique_ptr<Bitmap> bar;
    Rect screenRect;
    std::unique_ptr<Button> buttons[2];
    int hovered = kNone;
    int pressed = kNone;
    int chosen = kNone;
    std::unique_ptr<TextWriter> font;
    int32_t shown[4] = {};
    int32_t shownScore = 0;
    int32_t totalScore = 0;
    int32_t targets[4] = {};
    int tableLoaded = 0;
    // The rows a damaged table still held when it was read.
    size_t rowsKept = 0;
    std::unique_ptr<NextMissionPrompt> prompt;
    std::unique_ptr<TextField> nameField;
    char typedName[128] = {};
    Rect nameRow;
    std::unique_ptr<ScrollList> scoreList;
    HighScoreTable table;
    std::unique_ptr<TextField> chatField;
    char chatText[128] = {};
    Rect chatRect;
    int chatAddressee = 0;
};
