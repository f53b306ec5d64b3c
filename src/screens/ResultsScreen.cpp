#include "screens/ResultsScreen.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "core/Bitmap.h"
#include "core/ColourBox.h"
#include "core/DisplayBase.h"
#include "core/EventQueue.h"
#include "core/InputEvent.h"
#include "core/KeyCodes.h"
#include "core/OutlineRect.h"
#include "core/RequiredResources.h"
#include "core/ResourceFile.h"
#include "core/SpriteSet.h"
#include "core/StringTable.h"
#include "core/TextWriter.h"
#include "objects/CommandBuffer.h"
#include "screens/MainMenuScreen.h"
#include "screens/NextMissionPrompt.h"
#include "ui/Button.h"
#include "ui/ScrollList.h"
#include "ui/TextField.h"
#include "world/CommLink.h"
#include "world/GameFlow.h"
#include "world/MissionStats.h"
#include "world/Scenario.h"
#include "world/World.h"

namespace {

constexpr int kButtonCursor = 0x22;
constexpr int kArrowCursor = 0x23;
constexpr int kValueColour = 126;
constexpr int kNameColour = 34;
constexpr int kRowColour = 10;
constexpr int kListBar = 55;
constexpr int kFrames = 8;
constexpr int kValueX[4] = {92, 214, 343, 465};
constexpr int kBarX[4] = {124, 246, 375, 496};
const Rect kColumns[4] = {
    Rect(Point(110, 106), Point(158, 346)), Rect(Point(232, 106), Point(279, 346)),
    Rect(Point(361, 106), Point(407, 346)), Rect(Point(482, 106), Point(530, 346))};

const char* Line(int line, const char* fallback) {
    const char* text = GetString(line);
    return text && *text ? text : fallback;
}

}  // namespace

ResultsScreen::ResultsScreen(World& world, MissionStats* stats)
    : world(world),
      stats(stats),
      screenRect(Point(0, 0), Size(640, 480)),
      nameRow(Point(182, 200), Point(453, 213)),
      chatRect(Point(10, 10), Size(620, 15)) {}

ResultsScreen::~ResultsScreen() = default;

std::string ResultsScreen::ChatLine(const char* host, const char* text) {
    std::string line = host ? "[" + std::string(host) + "]: " + text : std::string(text);
    return line.substr(0, kMaxChat);
}

int ResultsScreen::Load() {
    InstallPackPalette(kPaletteRow);
    ResourceFile small, large;
    OpenRequiredPack(small, kSmallPack);
    OpenRequiredPack(large, kLargePack);
    auto picture = [](ResourceFile& pack, int column, int row) {
        SelectRequiredEntry(pack, column, row);
        return std::make_unique<Bitmap>(&pack);
    };
    background = picture(large, 0, 0);
    tableBackground = picture(large, 0, 4);
    bar = picture(small, 0, 3);
    animation = std::make_unique<SpriteSet>(kFrames);
    for (int frame = 0; frame < kFrames; ++frame)
        if (small.SelectEntry(frame, 2))
            animation->SetFrame(std::make_unique<Bitmap>(&small), frame);
    ButtonEntries done, save;
    done.pressed = done.highlighted = PackEntry{0, 1};
    save.pressed = save.highlighted = PackEntry{0, 5};
    save.disabled = PackEntry{2, 5};
    buttons[kDone] = std::make_unique<Button>(&small, done, Rect(Point(508, 372), Point(553, 442)),
                                              Button::kPlain, Point(), Point(), kDone);
    buttons[kSave] = std::make_unique<Button>(&small, save, Rect(Point(441, 256), Point(465, 291)),
                                              Button::kPlain, Point(), Point(), kSave);
    buttons[kSave]->SetEnabled(0);
    font = std::make_unique<TextWriter>(kFontPack);
    if (display) display->cursorShape = kArrowCursor;
    if (stats) {
        const Scenario* s = world.scenario.get();
        const int mission = s ? s->missionNumber : 0;
        const int players = s ? s->PlayerCount() : 2;
        targets[0] = stats->CombatRating();
        targets[1] = stats->TimeRating(mission, players);
        targets[2] = stats->kills;
        targets[3] = stats->losses;
        totalScore = HighScoreTable::ClampScore(stats->TotalScore(mission, players));
    }
    // A lost game asks whether to play it again; a won one leads on through the table.
    if (world.gameFlow && !world.gameFlow->won) {
        prompt = std::make_unique<NextMissionPrompt>(world);
        prompt->Load();
    }
    return 1;
}

void ResultsScreen::Unload() {
    background.reset();
    tableBackground.reset();
    animation.reset();
    bar.reset();
    buttons[0].reset();
    buttons[1].reset();
    font.reset();
    if (prompt) prompt->Unload();
    prompt.reset();
    nameField.reset();
    scoreList.reset();
    table.Clear();
    chatField.reset();
    world.SetStatusMessage("", 0);
}

void ResultsScreen::Activate() {
    if (prompt) prompt->Activate();
}

void ResultsScreen::Deactivate() {
    if (prompt) prompt->Deactivate();
}

int ResultsScreen::Target(int value) const {
    return targets[value];
}

void ResultsScreen::OpenTable() {
    tableLoaded = 1;
    if (!stats) return;
    // Nothing has moved yet: the damaged file stays where it is until a save sets it aside.
    const HighScoreTable::Outcome read = table.Load();
    if (read == HighScoreTable::Outcome::Damaged) {
        rowsKept = table.Rows().size();
        world.SetStatusMessage(
            HighScoreTable::DamagedMessage(HighScoreTable::kLeftInPlaceLine, rowsKept).c_str(), 0);
    } else if (read == HighScoreTable::Outcome::Unreadable) {
        world.SetStatusMessage(
            HighScoreTable::UnreadableMessage(HighScoreTable::kUnreadableLine).c_str(), 0);
    }
    if (table.AddCurrent(totalScore) < 0) return;
    nameField = std::make_unique<TextField>(nameRow, 0, kNameColour, world.font.get());
    nameField->active = 1;
    typedName[0] = 0;
    buttons[kSave]->SetEnabled(1);
    NameChanged();
    ButtonEntries up, down;
    up.pressed = PackEntry{0, 6};
    down.pressed = PackEntry{0, 7};
    ResourceFile small;
    OpenRequiredPack(small, kSmallPack);
    scoreList = std::make_unique<ScrollList>(
        Rect(Point(212, 303), Point(423, 367)), Rect(Point(425, 303), Point(439, 317)),
        Rect(Point(425, 353), Point(439, 367)), &small, Button::kOrigin, up, Button::kOrigin, down,
        12, world.font.get(), kListBar);
    scoreList->SetCount(static_cast<int32_t>(table.Rows().size()));
    scoreList->SetSelection(0);
}

void ResultsScreen::NameChanged() {
    table.SetCurrentName(typedName);
}

void ResultsScreen::SaveTable() {
    if (!nameField) return;
    NameChanged();
    const bool damaged = table.Damaged();
    // The row was shown this game; a file that cannot be read is never written over.
    if (table.Unreadable())
        world.SetStatusMessage(
            HighScoreTable::UnreadableMessage(HighScoreTable::kNotWrittenLine).c_str(), 0);
    else if (!table.Save())
        world.SetStatusMessage(
            Line(HighScoreTable::kSaveFailedLine, "The high-score table could not be saved."), 0);
    else if (damaged)
        world.SetStatusMessage(
            HighScoreTable::DamagedMessage(HighScoreTable::kKeptAsideLine, rowsKept).c_str(), 0);
    nameField.reset();
    buttons[kSave]->SetEnabled(0);
    table.Clear();
    scoreList.reset();
}

void ResultsScreen::OpenChat(int addressee) {
    chatField = std::make_unique<TextField>(chatRect, 0, kRowColour, world.font.get());
    chatField->active = 1;
    chatText[0] = 0;
    chatAddressee = addressee;
    world.SetStatusMessage("", 0);
    world.PlayUiSound(1);
}

int ResultsScreen::HandleEvents(int /*elapsedMs*/) {
    int result = 1;
    while (result == 1 && eventQueue) {
        std::unique_ptr<InputEvent> event = eventQueue->Take();
        if (!event) break;
        if (prompt && !chatField) {
            const int used = prompt->HandleEvent(*event);
            if (world.requestedMode == static_cast<int>(GameMode::Quit)) return 0;
            if (used) continue;
        }
        int listUsed = 0;
        if (scoreList && event->kind != InputKind::Key) listUsed = scoreList->HandleMouse(*event);
        switch (event->kind) {
            case InputKind::MouseMove: {
                hovered = kNone;
                for (int n = 0; n < 2; ++n)
                    if (buttons[n]->enabled && buttons[n]->HitTest(event->position)) {
                        hovered = n;
                        break;
                    }
                const bool over =
                    hovered != kNone || (scoreList && scoreList->Contains(event->position));
                if (display) display->cursorShape = over ? kButtonCursor : kArrowCursor;
                break;
            }
            case InputKind::ButtonDown: {
                int taken = 0;
                if (nameField) {
                    taken = nameField->HandleEvent(*event, typedName);
                    if (taken)
                        NameChanged();
                    else
                        nameField->Reset();
                }
                if (taken) break;
                if (hovered != kNone && buttons[hovered]->HitTest(event->position)) {
                    buttons[hovered]->SetHighlighted(1);
                    pressed = hovered;
                } else if (!listUsed) {
                    world.PlayUiSound(0);
                }
                break;
            }
            case InputKind::ButtonUp:
                if (pressed != kNone) {
                    buttons[pressed]->SetHighlighted(0);
                    if (buttons[pressed]->HitTest(event->position)) chosen = pressed;
                }
                pressed = kNone;
                break;
            case InputKind::Key:
                result = HandleKey(*event);
                break;
        }
    }
    return result;
}

int ResultsScreen::HandleKey(const InputEvent& event) {
    const int key = event.param;
    const bool ctrl = eventQueue && eventQueue->ctrlDown;
    if (key == kKeyF4 && eventQueue && eventQueue->altDown) {
        RequestGameMode(GameMode::Quit);
        return 0;
    }
    const bool enter = key == kKeyEnter || key == 300;
    if (chatField) {
        if (enter) {
            if (chatText[0]) {
                const char* host =
                    world.peerSlots[0].peerLink ? world.peerSlots[0].peerLink->HostName() : nullptr;
                world.Commands().SendMessage(world.localPlayer.third, chatAddressee,
                                             ChatLine(host, chatText).c_str());
            }
            chatField.reset();
            chatAddressee = 0;
            world.PlayUiSound(1);
        } else if (!chatField->HandleEvent(event, chatText)) {
            chatField->Reset();
        }
        return 1;
    }
    if (nameField) {
        if (!enter && key != kKeyEscape && nameField->HandleEvent(event, typedName)) {
            NameChanged();
            return 1;
        }
    }
    if (enter || key == kKeyEscape) {
        if (!nameField) {
            world.PlayUiSound(1);
            return 0;
        }
        SaveTable();
        return 1;
    }
    if (ctrl && (key == 'Q' || key == 'q' || key == 17)) {
        RequestGameMode(GameMode::MainMenu);
        world.PlayUiSound(1);
        return 0;
    }
    if (scoreList && (key == kKeyUp || key == kKeyDown)) {
        const int next = scoreList->selection + (key == kKeyUp ? -1 : 1);
        if (next >= 0 && next < scoreList->count) {
            scoreList->SetSelection(next);
            scoreList->ShowSelection();
        }
        return 1;
    }
    if (!nameField && world.networkGame) {
        if (key == 'U' || key == 'u') OpenChat(0);
        if (key >= kKeyCtrlF1 && key < kKeyCtrlF1 + 4) OpenChat(key - kKeyCtrlF1 + 1);
    }
    return 1;
}

int ResultsScreen::Update(int elapsedMs) {
    int result = 1;
    if (chosen != kNone) {
        const int n = chosen;
        chosen = kNone;
        world.PlayUiSound(1);
        if (n == kDone) {
            SaveTable();
            return 0;
        }
        SaveTable();
    }
    if (prompt) result = prompt->Update(elapsedMs);
    if (animation) animation->SelectFrame(world.lastTenth);
    bool grew = false;
    for (int v = 0; v < 4; ++v) {
        if (shown[v] < Target(v)) {
            ++shown[v];
            grew = true;
        }
    }
    if (shownScore < totalScore) {
        shownScore = std::min(shownScore + kScoreStep, totalScore);
        grew = true;
    }
    if (grew) world.PlayUiSound(0);
    if (!prompt && !tableLoaded && shownScore == totalScore) OpenTable();
    return result;
}

void ResultsScreen::Draw(int /*elapsedMs*/) {
    if (!display) return;
    display->SetClipRect(screenRect);
    if (background) background->DrawAt(Point(0, 0));
    if (animation) animation->DrawFrameAt(Point(0, 0), animation->Current());
    char text[64];
    if (font) {
        for (int v = 0; v < 4; ++v) {
            std::snprintf(text, sizeof text, "%d", shown[v]);
            font->DrawText(Point(kValueX[v], 92), text, kValueColour);
        }
        std::snprintf(text, sizeof text, "%d", shownScore);
        font->DrawText(Point(268, 442), text, kValueColour);
        const int seconds = stats ? std::max(stats->ElapsedTotal(), 0) / 1000 : 0;
        std::snprintf(text, sizeof text, "%2d:%02d:%02d", seconds / 3600, seconds / 60 % 60,
                      seconds % 60);
        font->DrawText(Point(92, 427), text, kValueColour);
    }
    if (bar) {
        const int height = bar->GetSize().h;
        for (int v = 0; v < 4; ++v) {
            display->SetClipRect(kColumns[v]);
            const int value = std::clamp(shown[v], 0, 100);
            bar->DrawAt(Point(kBarX[v], 346 - height * value / 100));
        }
        display->SetClipRect(screenRect);
    }
    if (!prompt && nameField && scoreList) {
        tableBackground->DrawAt(Point(0, 0));
        nameField->Draw(kNameColour);
        if (world.font) {
            display->SetClipRect(nameRow);
            world.font->DrawText(
                Point(nameRow.origin.x + 1, nameRow.origin.y + nameRow.extent.h - 2), typedName,
                kNameColour);
            display->SetClipRect(screenRect);
            const auto& rows = table.Rows();
            for (size_t i = 0; i < rows.size(); ++i)
                scoreList->Draw(static_cast<int32_t>(i),
                                HighScoreTable::RowText(rows[rows.size() - 1 - i]).c_str(),
                                kRowColour);
        }
        display->SetClipRect(screenRect);
        scoreList->Tick();
    }
    display->SetClipRect(screenRect);
    for (auto& b : buttons)
        if (b) b->Draw();
    if (prompt) prompt->Draw(0);
    DrawChatLine();
}

void ResultsScreen::DrawChatLine() {
    if (!chatField) {
        MainMenuScreen::DrawStatusLine(world);
        return;
    }
    const int32_t colour = world.localPlayer.third;
    const int32_t textColour = world.ColourOf(colour);
    display->SetClipRect(screenRect);
    ColourBox(colour, chatRect.extent).DrawAt(chatRect.origin);
    OutlineRect(colour, Size(chatRect.extent.w + 4, chatRect.extent.h + 4))
        .DrawAt(chatRect.origin - Point(2, 2));
    OutlineRect(textColour, Size(chatRect.extent.w + 2, chatRect.extent.h + 2))
        .DrawAt(chatRect.origin - Point(1, 1));
    chatField->Draw(textColour);
}
