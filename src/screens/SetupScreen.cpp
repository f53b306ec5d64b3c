#include "screens/SetupScreen.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "catalogue/TemplateCatalogue.h"
#include "core/Bitmap.h"
#include "core/DisplayBase.h"
#include "core/EventQueue.h"
#include "core/FatalError.h"
#include "core/InputEvent.h"
#include "core/KeyCodes.h"
#include "core/RequiredResources.h"
#include "core/ResourceFile.h"
#include "core/Settings.h"
#include "core/SpriteSet.h"
#include "core/StringTable.h"
#include "core/TextWriter.h"
#include "map/TerrainMap.h"
#include "objects/CommandBuffer.h"
#include "screens/MainMenuScreen.h"
#include "screens/ResultsScreen.h"
#include "ui/Button.h"
#include "ui/ScrollList.h"
#include "ui/TextField.h"
#include "world/Campaign.h"
#include "world/CommLink.h"
#include "world/Scenario.h"
#include "world/World.h"

namespace {

constexpr int kButtonCursor = 34;
constexpr int kArrowCursor = 35;
constexpr int kTextColour = 10;
constexpr int kListHighlight = 55;
constexpr int kHeaderBytes = 256;
constexpr int kGroupRows[4] = {5, 6, 0, 8};
// The group each button belongs to (the artifacts switch answers in every role).
constexpr int kGroupOf[SetupScreen::kButtons] = {2, 2, 2, 2, 2, 2, 2, 2, 1, 1, 1, 1, 3, 3, 3};

struct Place {
    Rect rect;
    int travelLeft, travelRight;
};
const Place kPlaces[SetupScreen::kButtons] = {
    {Rect(Point(248, 162), Size(19, 18)), 0, 0},
    {Rect(Point(248, 194), Size(19, 18)), 0, 0},
    {Rect(Point(195, 276), Point(252, 302)), 0, 0},
    {Rect(Point(261, 276), Point(318, 302)), 0, 0},
    {Rect(Point(327, 276), Point(383, 302)), 0, 0},
    {Rect(Point(394, 276), Point(449, 302)), 0, 0},
    {Rect(Point(239, 323), Point(277, 350)), 0, 0},
    {Rect(Point(376, 318), Point(400, 352)), 0, 0},
    {Rect(Point(254, 36), Point(295, 58)), 0, 0},
    {Rect(Point(300, 36), Point(340, 58)), 0, 0},
    {Rect(Point(346, 36), Point(386, 58)), 0, 0},
    {Rect(Point(247, 65), Size(38, 27)), 247, 362},
    {Rect(Point(540, 308), Size(38, 27)), 507, 573},
    {Rect(Point(573, 172), Size(38, 27)), 507, 573},
    {Rect(Point(504, 219), Size(19, 18)), 0, 0},
};

void WriteOption(const char* key, const char* format, int value) {
    char text[16];
    std::snprintf(text, sizeof text, format, value);
    WriteProfileValue("QX", "OPTIONS", key, text);
}

// A value outside its range keeps the default, as one that is not a number does.
int ReadOption(const char* key, int lowest, int highest, int fallback) {
    int32_t number = fallback;
    if (!ReadProfileNumber("QX", "OPTIONS", key, INT32_MIN, INT32_MAX, number)) return fallback;
    return number >= lowest && number <= highest ? number : fallback;
}

int DifficultyOf(int v) {
    return (std::max(v, 1) + 19) / 20;
}
int ResourcesOf(int v) {
    return std::min(v * 100, 9900);
}
int TechOf(int v) {
    return std::max(v * 8 / 100, 1);
}

SetupSettings SettingsOf(const Scenario& r) {
    SetupSettings s;
    s.scenarioNumber = r.landNumber;
    s.clan = r.clanLetter;
    s.playerSlot = r.localTeam;
    s.colour = r.colour;
    s.enemies = r.computerPlayers;
    s.difficulty = r.difficulty;
    s.artifacts = r.artifacts;
    for (int slot = 1; slot <= 4; ++slot) {
        s.slotClan[slot - 1] = r.playerSlots[slot];
        s.slotColour[slot - 1] = r.teamColours[slot];
    }
    std::copy(std::begin(r.startOrder), std::end(r.startOrder), s.startOrder);
    s.techLevel = r.techLevel;
    s.resources = r.resources;
    return s;
}

}  // namespace

SetupScreen::SetupScreen(World& world, const SetupParams& params)
    : world(world),
      params(params),
      record(std::make_unique<Scenario>()),
      screenRect(Point(0, 0), Size(640, 480)) {
    ReadOptions();
}

SetupScreen::~SetupScreen() = default;

void SetupScreen::ReadOptions() {
    Scenario& r = *record;
    char text[64] = {};
    ReadProfileValue("QX", "OPTIONS", "CLAN", text, sizeof text);
    r.clanLetter = (text[0] == 'T' || text[0] == 't') ? 'T' : 'V';
    r.computerPlayers = ReadOption("ENEMIES", 1, 3, 1);
    r.difficulty = ReadOption("DIFFICULTY", 1, 5, 1);
    text[0] = 0;
    ReadProfileValue("QX", "OPTIONS", "ARTIFACTS", text, sizeof text);
    r.artifacts = (text[0] == 'N' || text[0] == 'n') ? 0 : 1;
    const int shift = r.clanLetter == 'T' ? 4 : 0;
    r.colour = 1 + shift;
    if (params.network)
        r.colour = -1;
    else
        r.colour = ReadOption("COLOR", 1, 4, 1) + shift;
    r.techLevel = ReadOption("TECH", 1, 8, 1);
    r.resources = ReadOption("RESOURCES", 0, 9900, 5000);
    r.landNumber = ReadOption("SCENARIO", 0, 100, 0);
    r.missionNumber = 0;
    SelectMissionEntry();
    for (int slot = 1; slot < Scenario::kTeams; ++slot) {
        r.playerSlots[slot] = 'X';
        r.teamColours[slot] = Scenario::kDroppedPlayerColour;
    }
    r.localTeam = params.network && !params.host ? params.ownSlot : 1;
    if (params.network) {
        // The other players' slots stay unchosen until their reports arrive.
        for (int slot = 1; slot <= params.players && slot < Scenario::kTeams; ++slot) {
            r.playerSlots[slot] = 'X';
            r.teamColours[slot] = -1;
        }
        r.networkPlayers = params.players;
        if (params.host) guestsWaiting = params.players - 1;
    }
    r.playerSlots[r.localTeam] = r.clanLetter;
    r.teamColours[r.localTeam] = r.colour;
}

void SetupScreen::SelectMissionEntry() {
    const MissionEntry* entry =
        Campaign::GetMissionEntry(record->clanLetter, record->missionNumber);
    record->SelectPackEntry(entry ? entry->packEntry : -1);
}

bool SetupScreen::EntryTitle(const char* header, size_t length, int hideSpecial,
                             std::string& title) {
    length = std::min<size_t>(length, kHeaderBytes);
    std::string line(header, length);
    line = line.substr(0, line.find('\0'));
    const size_t end = line.find_first_of("\r\n");
    if (end != std::string::npos) line.resize(end);
    if (!line.empty() && line[0] == '@') {
        if (hideSpecial || line.size() > static_cast<size_t>(kMaxTitle) + 1) return false;
        for (const char c : line)
            if (static_cast<unsigned char>(c) < 32) return false;
        title = line;
        return true;
    }
    char* rest = nullptr;
    const long number = std::strtol(line.c_str(), &rest, 10);
    if (rest == line.c_str() || number < 0 || number > 9999) return false;
    const char* text = GetString(static_cast<int32_t>(number));
    if (!text || !*text) return false;
    title = text;
    return true;
}

bool SetupScreen::ReadLandList(int hideSpecial, std::vector<ListEntry>& out, std::string* fault) {
    out.clear();
    ResourceFile lands;
    if (!lands.Open(TerrainMap::kLandPack, ResourceFile::OpenMode::Pack)) {
        if (fault) *fault = lands.Fault();
        return false;
    }
    for (int index = 0; lands.SelectEntry(0, index); ++index) {
        char header[kHeaderBytes] = {};
        int32_t count = std::min<int32_t>(lands.Size(), kHeaderBytes);
        if (count <= 0) continue;
        lands.Read(count, header);
        std::string title;
        if (EntryTitle(header, static_cast<size_t>(count), hideSpecial, title))
            out.push_back({title, index});
    }
    return true;
}

void SetupScreen::BuildList() {
    std::string fault;
    if (!ReadLandList(hideSpecial, entries, &fault)) ResourceMissing(fault);
    if (list) list->SetCount(static_cast<int32_t>(entries.size()));
}

int SetupScreen::Load() {
    ResourceFile small, large, knobs;
    OpenRequiredPack(small, kSmallPack);
    OpenRequiredPack(large, kLargePack);
    OpenRequiredPack(knobs, kKnobPack);
    const int on[4] = {params.scenarioList, params.enemiesGroup, params.clanGroup,
                       params.techGroup};
    for (int g = 0; g < 4; ++g)
        if (on[g]) groupPictures[g] = RequiredPicture(large, 0, kGroupRows[g]);
    if (params.clanGroup) {
        marker = RequiredPicture(small, 0, 4);
        swatchNormal = std::make_unique<SpriteSet>(9);
        swatchPressed = std::make_unique<SpriteSet>(9);
        for (int c = 0; c < 9; ++c) {
            if (small.SelectEntry(c, 3))
                swatchNormal->SetFrame(std::make_unique<Bitmap>(&small), c);
            if (small.SelectEntry(c, 9))
                swatchPressed->SetFrame(std::make_unique<Bitmap>(&small), c);
        }
    }
    if (params.enemiesGroup) enemyMarker = RequiredPicture(small, 0, 7);
    for (int n = 0; n < kButtons; ++n) {
        const int group = kGroupOf[n];
        if (!on[group] && n != kArtifacts) continue;
        if (n == kArtifacts && !params.techGroup) continue;
        const Place& place = kPlaces[n];
        ButtonEntries faces;
        ResourceFile* pack = &small;
        int mode = Button::kPlain;
        Point low = place.rect.origin, high = place.rect.origin;
        if (n <= 1 || n == kArtifacts) {
            pack = &knobs;
            faces.pressed = faces.highlighted = PackEntry{0, kKnobRow};
        } else if (n == kBack || n == kStart) {
            faces.pressed = faces.highlighted = PackEntry{0, n == kBack ? 0 : 1};
        } else if (n >= 8 && n <= 10) {
            faces.pressed = faces.highlighted = PackEntry{0, 2};
        } else if (n >= kDifficulty && n <= kTech) {
            faces.pressed = faces.highlighted = faces.normal = PackEntry{0, 5};
            mode = Button::kHorizontalSlider;
            low = Point(place.travelLeft, place.rect.origin.y);
            high = Point(place.travelRight, place.rect.origin.y);
        } else {
            pack = nullptr;  // swatches: drawn by the screen in the clan's colours
        }
        buttons[n] = std::make_unique<Button>(pack, faces, place.rect, mode, low, high, n);
    }
    if (params.scenarioList) {
        list = std::make_unique<ScrollList>(Rect(Point(20, 162), Point(144, 334)), 12,
                                            world.font.get(), kListHighlight);
        BuildList();
    }
    // The start state.
    Scenario& r = *record;
    if (buttons[0]) PressOnly(0, 1, r.clanLetter == 'T' ? 1 : 0);
    if (buttons[2] && r.colour >= 1 && r.colour <= 8) PressOnly(2, 5, 2 + (r.colour - 1) % 4);
    if (buttons[8] && r.computerPlayers >= 1) PressOnly(8, 10, 7 + r.computerPlayers);
    if (buttons[kDifficulty]) buttons[kDifficulty]->SetValue(r.difficulty * 20);
    if (buttons[kTech]) buttons[kTech]->SetValue(r.techLevel * 100 / 8 + 6);
    if (buttons[kResources]) buttons[kResources]->SetValue(r.resources / 100);
    if (buttons[kArtifacts]) buttons[kArtifacts]->SetPressed(r.artifacts);
    lastDifficulty = r.difficulty;
    lastTech = r.techLevel;
    lastResources = r.resources;
    if (list) {
        int selected = 0;
        for (size_t i = 0; i < entries.size(); ++i)
            if (entries[i].packIndex == r.landNumber) selected = static_cast<int>(i);
        if (!entries.empty()) SelectListEntry(selected);
    }
    SelectMissionEntry();
    // The host alone lifts the start's pause once every factory is placed, and tells the
    // others what the ore deposits hold.
    world.networkHost = params.network && params.host ? 1 : 0;
    if (params.network) {
        world.localPlayer.first = r.localTeam;
        Broadcast();
    }
    return 1;
}

void SetupScreen::Unload() {
    for (auto& b : buttons)
        b.reset();
    for (auto& g : groupPictures)
        g.reset();
    list.reset();
    entries.clear();
    marker.reset();
    enemyMarker.reset();
    swatchNormal.reset();
    swatchPressed.reset();
    chatField.reset();
    world.SetStatusMessage("", 0);
}

void SetupScreen::Activate() {
    finished = 0;
}

void SetupScreen::SelectListEntry(int index) {
    if (!list || index < 0 || index >= static_cast<int>(entries.size())) return;
    list->SetSelection(index);
    list->ShowSelection();
    record->landNumber = entries[static_cast<size_t>(index)].packIndex;
}

void SetupScreen::Broadcast() {
    if (params.network) world.Commands().SendSetupSettings(SettingsOf(*record));
}

void SetupScreen::PressOnly(int first, int last, int chosen) {
    for (int n = first; n <= last; ++n)
        if (buttons[n]) buttons[n]->SetPressed(n == chosen ? 1 : 0);
}

void SetupScreen::SetOwnColour(int colour) {
    record->colour = colour;
    record->teamColours[record->localTeam] = colour;
}

void SetupScreen::SetClan(char clan) {
    record->clanLetter = clan;
    record->playerSlots[record->localTeam] = clan;
    const int c = record->colour;
    if (clan == 'V' && c > 4) SetOwnColour(c - 4);
    if (clan == 'T' && c >= 1 && c <= 4) SetOwnColour(c + 4);
}

bool SetupScreen::Conflict(int a, int b) {
    if (a < 1 || a > 8 || b < 1 || b > 8) return false;
    return a == b || std::abs(a - b) == 4;
}

int SetupScreen::FreeColourFor(int slot) const {
    const int base = record->playerSlots[slot] == 'T' ? 4 : 0;
    for (int step = 0; step < 4; ++step) {
        const int colour = base + 1 + (slot - 1 + step) % 4;
        bool taken = false;
        for (int other = 1; other < Scenario::kTeams; ++other)
            if (other != slot && Conflict(colour, record->teamColours[other])) taken = true;
        if (!taken) return colour;
    }
    return base + slot;
}

int SetupScreen::HandleButton(int n) {
    world.PlayUiSound(1);
    Scenario& r = *record;
    const bool ownGroup = buttons[n] != nullptr;
    if (!ownGroup) return 1;
    if (n <= 1) {
        PressOnly(0, 1, n);
        SetClan(n == 0 ? 'V' : 'T');
        SelectMissionEntry();
        Broadcast();
        WriteOption("CLAN", "%c", r.clanLetter);
    } else if (n <= 5) {
        PressOnly(2, 5, n);
        SetOwnColour(n - 1 + (r.clanLetter == 'T' ? 4 : 0));
        Broadcast();
        WriteOption("COLOR", "%d", n - 1);
    } else if (n >= 8 && n <= 10) {
        PressOnly(8, 10, n);
        r.computerPlayers = n - 7;
        Broadcast();
        WriteOption("ENEMIES", "%d", r.computerPlayers);
    } else if (n == kArtifacts) {
        r.artifacts = r.artifacts ? 0 : 1;
        WriteProfileValue("QX", "OPTIONS", "ARTIFACTS", r.artifacts ? "YES" : "NO");
        buttons[kArtifacts]->SetPressed(r.artifacts);
        Broadcast();
    } else if (n == kBack) {
        exitCode = 1;
        world.Commands().SendSetupLeave();
        world.SendCommands(-1);
        return 0;
    } else if (n == kStart) {
        // Only the host starts a network game, once every guest has reported.
        if ((params.network && !params.host) || guestsWaiting > 0) {
            world.PlayUiSound(0);
            return 1;
        }
        r.ShuffleStartOrder();
        for (int slot = 1; slot < Scenario::kTeams; ++slot)
            if (r.teamColours[slot] == -1) r.teamColours[slot] = FreeColourFor(slot);
        r.colour = r.teamColours[r.localTeam];
        if (cheatsOn && eventQueue && eventQueue->ctrlDown && eventQueue->altDown) r.debugFlag = 1;
        if (params.network) {
            world.Commands().SendSetupStart(SettingsOf(r), SpeedAdjustment);
            world.SendCommands(-1);
        }
        exitCode = 0;
        return 0;
    }
    return 1;
}

int SetupScreen::ButtonAt(const Point& point) const {
    for (int n = 0; n < kButtons; ++n)
        if (buttons[n] && buttons[n]->enabled && buttons[n]->HitTest(point)) return n;
    return kNone;
}

int SetupScreen::HandleEvents(int /*elapsedMs*/) {
    if (finished) return 0;
    if (!eventQueue) return 1;
    int result = 1;
    while (result == 1) {
        std::unique_ptr<InputEvent> event = eventQueue->Take();
        if (!event) break;
        int listUsed = 0;
        if (list && event->kind != InputKind::Key) {
            const int before = list->selection;
            listUsed = list->HandleMouse(*event);
            if (list->selection != before && list->selection >= 0) {
                SelectListEntry(list->selection);
                Broadcast();
                WriteOption("SCENARIO", "%d", record->landNumber);
            }
        }
        switch (event->kind) {
            case InputKind::MouseMove:
                hovered = ButtonAt(event->position);
                if (display) display->cursorShape = hovered == kNone ? kArrowCursor : kButtonCursor;
                if (pressed >= kDifficulty && pressed <= kTech)
                    buttons[pressed]->MoveBy(event->position.x - buttons[pressed]->Centre().x, 0);
                break;
            case InputKind::ButtonDown:
                if (hovered != kNone && buttons[hovered]->HitTest(event->position)) {
                    buttons[hovered]->SetHighlighted(1);
                    pressed = hovered;
                } else if (!listUsed) {
                    world.PlayUiSound(0);
                }
                break;
            case InputKind::ButtonUp:
                if (pressed != kNone) {
                    buttons[pressed]->SetHighlighted(0);
                    if (buttons[pressed]->HitTest(event->position)) pending = pressed;
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

int SetupScreen::HandleKey(const InputEvent& event) {
    const int key = event.param;
    const bool ctrl = eventQueue && eventQueue->ctrlDown;
    if (key == kKeyF4 && eventQueue && eventQueue->altDown) {
        RequestGameMode(GameMode::Quit);
        return 0;
    }
    if (chatField) {
        if (key == kKeyEnter || key == 300) {
            if (chatText[0]) {
                const char* host =
                    world.peerSlots[0].peerLink ? world.peerSlots[0].peerLink->HostName() : nullptr;
                world.Commands().SendMessage(record->colour, chatAddressee,
                                             ResultsScreen::ChatLine(host, chatText).c_str());
            }
            chatField.reset();
            world.PlayUiSound(1);
        } else if (!chatField->HandleEvent(event, chatText)) {
            chatField->Reset();
        }
        return 1;
    }
    const bool chatKey = key == 'U' || key == 'u' || (key >= kKeyCtrlF1 && key < kKeyCtrlF1 + 4);
    if (params.network && chatKey) {
        chatField = std::make_unique<TextField>(
            Rect(Point(MainMenuScreen::kStatusLeft, MainMenuScreen::kStatusTop),
                 Size(MainMenuScreen::kStatusWidth, MainMenuScreen::kStatusHeight)),
            0, kTextColour, world.font.get());
        chatField->active = 1;
        chatText[0] = 0;
        chatAddressee = key >= kKeyCtrlF1 ? key - kKeyCtrlF1 + 1 : 0;
        world.SetStatusMessage("", 0);
        world.PlayUiSound(1);
        return 1;
    }
    if (key == kKeyEscape || key == 17 || (ctrl && (key == 'Q' || key == 'q')))
        return HandleButton(kBack);
    if (key == kKeyEnter || key == 300) return HandleButton(kStart);
    if ((key == kKeyUp || key == kKeyDown) && list && !entries.empty()) {
        const int next = list->selection + (key == kKeyUp ? -1 : 1);
        if (next < 0 || next >= static_cast<int>(entries.size())) return 1;
        SelectListEntry(next);
        Broadcast();
        WriteOption("SCENARIO", "%d", record->landNumber);
        return 1;
    }
    if (!cheatsOn) return 1;
    if (key == 'E' || key == 'e') {
        record->landNumber = -1;
        if (list) list->SetSelection(-1);
        Broadcast();
    } else if (key == '0') {
        record->computerPlayers = 0;
        PressOnly(8, 10, -1);
        Broadcast();
    } else if (key == 'M' || key == 'm') {
        hideSpecial = hideSpecial ? 0 : 1;
        if (list) {
            BuildList();
            SelectListEntry(0);
            WriteOption("SCENARIO", "%d", record->landNumber);
        }
    } else if (key >= kKeyF1 && key <= kKeyF1 + 10) {
        record->missionNumber = key - kKeyF1 + 1;
        SelectMissionEntry();
    }
    return 1;
}

int SetupScreen::Update(int /*elapsedMs*/) {
    if (finished) return 0;
    if (params.network && world.PeerCount() == 0) {
        exitCode = 1;
        return 0;
    }
    if (buttons[kArtifacts]) buttons[kArtifacts]->SetPressed(record->artifacts);
    if (pending == kNone) return 1;
    const int n = pending;
    pending = kNone;
    return HandleButton(n);
}

void SetupScreen::SyncControls() {
    Scenario& r = *record;
    if (buttons[kDifficulty]) {
        r.difficulty = DifficultyOf(buttons[kDifficulty]->GetValue());
        if (r.difficulty != lastDifficulty) {
            lastDifficulty = r.difficulty;
            Broadcast();
            WriteOption("DIFFICULTY", "%d", r.difficulty);
        }
    }
    if (buttons[kResources]) {
        r.resources = ResourcesOf(buttons[kResources]->GetValue());
        if (r.resources != lastResources) {
            lastResources = r.resources;
            Broadcast();
            WriteOption("RESOURCES", "%04d", r.resources);
        }
    }
    if (buttons[kTech]) {
        r.techLevel = TechOf(buttons[kTech]->GetValue());
        if (r.techLevel != lastTech) {
            lastTech = r.techLevel;
            Broadcast();
            WriteOption("TECH", "%02d", r.techLevel);
        }
    }
}

void SetupScreen::ApplyPeerSettings(const SetupSettings& s, int start, int leave) {
    Scenario& r = *record;
    // The host's start settled every slot and colour. A machine held up reads its links one
    // after another, so a guest's report sent before the start may come after it here: it
    // would give this machine other colours than every other machine has.
    if (finished) return;
    if (s.playerSlot == r.localTeam) return;
    if (leave) {
        exitCode = 1;
        finished = 1;
        return;
    }
    // A sender outside the four slots, or with no clan, names nothing this screen holds.
    if (s.playerSlot < 1 || s.playerSlot > 4 || (s.clan != 'V' && s.clan != 'T')) return;
    const int slot = s.playerSlot;
    if (!start) {
        const char before = r.playerSlots[slot];
        r.playerSlots[slot] = s.clan;
        if (before == 'X' && slot != 1) {
            if (guestsWaiting > 0) --guestsWaiting;
            return;
        }
        r.teamColours[slot] = s.colour;
    }
    if (s.techLevel != r.techLevel && s.techLevel >= 1 && s.techLevel <= 8) {
        r.techLevel = lastTech = s.techLevel;
        if (buttons[kTech]) buttons[kTech]->SetValue(r.techLevel * 100 / 8 + 6);
    }
    if (s.resources != r.resources && s.resources >= 0 && s.resources <= 9900) {
        r.resources = lastResources = s.resources;
        if (buttons[kResources]) buttons[kResources]->SetValue(r.resources / 100);
    }
    if (s.artifacts != r.artifacts) r.artifacts = s.artifacts ? 1 : 0;
    if (s.scenarioNumber != r.landNumber) {
        r.landNumber = s.scenarioNumber;
        if (list) {
            list->SetSelection(-1);
            for (size_t i = 0; i < entries.size(); ++i)
                if (entries[i].packIndex == r.landNumber) list->SetSelection(static_cast<int>(i));
        }
    }
    if (!start) {
        for (int n = 2; n <= 5; ++n)
            if (buttons[n]) buttons[n]->SetEnabled(1);
        for (int other = 1; other <= 4; ++other) {
            if (other == r.localTeam) continue;
            const int colour = r.teamColours[other];
            if (colour < 1 || colour > 8) continue;
            if (r.colour != -1 && Conflict(r.colour, colour)) {
                SetOwnColour(-1);
                PressOnly(2, 5, -1);
                Broadcast();
            }
            const int swatch = 2 + (colour - 1) % 4;
            if (buttons[swatch]) buttons[swatch]->SetEnabled(0);
        }
        return;
    }
    std::copy(std::begin(s.startOrder), std::end(s.startOrder), r.startOrder);
    for (int n = 1; n <= 4; ++n) {
        r.playerSlots[n] = s.slotClan[n - 1];
        r.teamColours[n] = s.slotColour[n - 1];
    }
    r.colour = r.teamColours[r.localTeam];
    exitCode = 0;
    finished = 1;
}

void SetupScreen::Draw(int /*elapsedMs*/) {
    SyncControls();
    if (!display) return;
    display->SetClipRect(screenRect);
    // The clan group's picture is the backdrop; the others lie on it.
    for (const int g : {2, 0, 1, 3})
        if (groupPictures[g]) groupPictures[g]->DrawAt(Point(0, 0));
    const Scenario& r = *record;
    if (params.clanGroup && swatchNormal) {
        const int shift = r.clanLetter == 'T' ? 4 : 0;
        for (int n = 2; n <= 5; ++n) {
            const Button& b = *buttons[n];
            SpriteSet& set = b.pressed ? *swatchPressed : *swatchNormal;
            set.DrawFrame(b.Centre(), b.enabled ? n - 1 + shift : 0);
        }
        if (r.colour >= 1 && r.colour <= 8 && marker)
            marker->Draw(buttons[2 + (r.colour - 1) % 4]->Centre());
    }
    for (int n = 0; n < kButtons; ++n)
        if (buttons[n] && (n < 2 || n > 5)) buttons[n]->Draw();
    if (enemyMarker) {
        const int xs[3] = {255, 301, 347};
        for (int e = 0; e < r.computerPlayers && e < 3; ++e)
            enemyMarker->DrawAt(Point(xs[e], 37));
    }
    TextWriter* font = world.font.get();
    char text[16];
    if (font) {
        // right: the last column inside the frame of the slider's panel.
        const struct {
            int button;
            const char* format;
            int value;
            int right;
        } values[3] = {{kDifficulty, "%1d", r.difficulty, 458},
                       {kResources, "%04d", r.resources, 628},
                       {kTech, "%02d", r.techLevel, 628}};
        for (const auto& v : values) {
            if (!buttons[v.button]) continue;
            std::snprintf(text, sizeof text, v.format, v.value);
            const Rect knob = buttons[v.button]->Bounds();
            // Beside the knob on its right while that stays inside the panel; at the far end
            // of the travel a wide value ("9900") would run over the frame, so it goes left.
            const int width = font->TextWidth(text);
            int x = knob.origin.x + 40;
            if (x + width > v.right + 1) x = knob.origin.x - 2 - width;
            font->DrawText(Point(x, knob.origin.y + 18), text, kTextColour);
        }
    }
    if (list && font) {
        for (size_t i = 0; i < entries.size(); ++i)
            list->Draw(static_cast<int32_t>(i), entries[i].text.c_str(), kTextColour);
        display->SetClipRect(screenRect);
        list->Tick();
    }
    if (chatField)
        chatField->Draw(world.ColourOf(record->colour));
    else
        MainMenuScreen::DrawStatusLine(world);
}
