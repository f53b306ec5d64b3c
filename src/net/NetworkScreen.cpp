#include "net/NetworkScreen.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/DisplayBase.h"
#include "core/EventQueue.h"
#include "core/InputEvent.h"
#include "core/KeyCodes.h"
#include "core/OutlineRect.h"
#include "core/Settings.h"
#include "core/SpriteSet.h"
#include "core/StringTable.h"
#include "core/TextWriter.h"
#include "net/WaitingRoom.h"
#include "objects/CommandBuffer.h"
#include "ui/Button.h"
#include "ui/TextField.h"
#include "world/CommLink.h"
#include "world/World.h"

namespace {

// The open screens (one per World; tests run several Worlds in one process).
constexpr int kOpenScreens = 8;
NetworkScreen* openScreens[kOpenScreens] = {};

constexpr int kButtonCursor = 34;
constexpr int kArrowCursor = 35;
// Key code 300 acts as OK, as Enter does.
constexpr int kAcceptKey = 300;
constexpr int kTextColour = 10;
// The join field's frame, cursor and selection: the text is drawn in kTextColour over them.
constexpr int kFieldColour = 55;

// A host name or address never begins or ends with a blank: a text of blanks names no host.
std::string Trimmed(const char* text) {
    constexpr char kBlanks[] = " \t\n\v\f\r";
    const std::string host(text);
    const size_t first = host.find_first_not_of(kBlanks);
    if (first == std::string::npos) return {};
    return host.substr(first, host.find_last_not_of(kBlanks) - first + 1);
}

void CopyAddress(char* out, const char* text) {
    std::snprintf(out, NetworkScreen::kAddressRoom, "%s", text ? text : "");
}

// The set-up the host sends the joiner of each slot when `peers` joined: player number, links
// to accept, links to make, and which slots' addresses it connects to (-1 none).
struct SetupRow {
    int player, accept, connect, address1, address2;
};
const SetupRow kSetups[3][3] = {
    {{2, 0, 0, -1, -1}},
    {{2, 0, 1, 1, -1}, {3, 1, 0, -1, -1}},
    {{2, 0, 2, 1, 2}, {3, 1, 1, 2, -1}, {4, 2, 0, -1, -1}},
};

}  // namespace

NetworkScreen::NetworkScreen(World& world, char mode, CommLink* link)
    : world(world), mode(mode), currentLink(link) {
    ReadProfileValue("QX", "OPTIONS", "HOST", hostText, sizeof hostText);
    for (NetworkScreen*& open : openScreens) {
        if (open) continue;
        open = this;
        break;
    }
}

NetworkScreen::~NetworkScreen() {
    for (NetworkScreen*& open : openScreens)
        if (open == this) open = nullptr;
}

NetworkScreen* NetworkScreen::Current(World& world) {
    for (NetworkScreen* open : openScreens)
        if (open && &open->world == &world) return open;
    return nullptr;
}

int NetworkScreen::Load() {
    state = mode == 'H' ? 2 : 0;
    pictures = LoadSpriteSetColumn(kBackgroundPack);
    busy = LoadSpriteSetColumn(kBusyPack);
    const Rect places[2] = {Rect(Point(238, 246), Point(277, 275)),
                            Rect(Point(376, 242), Point(399, 278))};
    for (int i = 0; i < 2; ++i) {
        buttons[i] = std::make_unique<Button>();
        buttons[i]->rect = places[i];
        buttons[i]->id = i;
    }
    if (mode == 'J')
        hostField = std::make_unique<TextField>(nameBox, 0, kFieldColour, world.font.get());
    FitHostField();
    return 1;
}

void NetworkScreen::Unload() {
    pictures.reset();
    busy.reset();
    buttons[0].reset();
    buttons[1].reset();
    hostField.reset();
}

void NetworkScreen::SetHostText(const char* text) {
    std::snprintf(hostText, sizeof hostText, "%s", text ? text : "");
}

int NetworkScreen::HandleEvents(int /*elapsedMs*/) {
    if (!eventQueue) return finished ? 0 : 1;
    while (!finished) {
        std::unique_ptr<InputEvent> event = eventQueue->Take();
        if (!event) break;
        HandleEvent(*event);
    }
    return finished ? 0 : 1;
}

int NetworkScreen::HandleEvent(const InputEvent& event) {
    auto buttonAt = [this](const Point& p) {
        for (int i = 0; i < 2; ++i)
            if (buttons[i] && buttons[i]->enabled && buttons[i]->HitTest(p)) return i;
        return kNoButton;
    };
    switch (event.kind) {
        case InputKind::MouseMove:
            hovered = buttonAt(event.position);
            if (display) display->cursorShape = hovered == kNoButton ? kArrowCursor : kButtonCursor;
            return 1;
        case InputKind::ButtonDown: {
            // A click beside the open field leaves it as it is (see FitHostField).
            if (TypingHost()) hostField->HandleEvent(event, hostText);
            const int b = buttonAt(event.position);
            if (b == kNoButton) {
                world.PlayUiSound(0);
                return 1;
            }
            buttons[b]->SetHighlighted(1);
            pressed = b;
            return 1;
        }
        case InputKind::ButtonUp:
            if (pressed != kNoButton) {
                buttons[pressed]->SetHighlighted(0);
                if (buttonAt(event.position) == pressed) pending = pressed;
            }
            pressed = kNoButton;
            return 1;
        case InputKind::Key: {
            const int key = event.param;
            if (key == kKeyF4 && eventQueue && eventQueue->altDown) {
                RequestGameMode(GameMode::Quit);
                finished = 1;
                return 1;
            }
            // The open field would take every key: cancel and OK come first, and Enter OKs
            // the text the field has already copied out (see FitHostField).
            const bool ctrl = eventQueue && eventQueue->ctrlDown;
            if (key == kKeyEscape || (ctrl && (key == 'Q' || key == 'q')))
                OnButton(kCancel);
            else if (key == kKeyEnter || key == kAcceptKey)
                OnButton(kOk);
            else if (TypingHost())
                hostField->HandleEvent(event, hostText);
            return 1;
        }
    }
    return 0;
}

void NetworkScreen::Finish(int code) {
    exitCode = code;
    finished = 1;
}

void NetworkScreen::OnButton(int button) {
    world.PlayUiSound(1);
    if (button == kCancel) {
        Finish(1);
        return;
    }
    switch (state) {
        case 0: {
            lostShown = 0;
            refusedShown = 0;
            // No host named: nothing to connect to, and the stored one stays as it was.
            const std::string host = Trimmed(hostText);
            hostAsked = host.empty() ? 1 : 0;
            if (hostAsked) break;
            SetHostText(host.c_str());
            WriteProfileValue("QX", "OPTIONS", "HOST", hostText);
            state = 1;
            break;
        }
        case 2:
            ownPlayer = 1;
            // The lobby listens from links of its own: the menu's link would only hold a slot.
            if (HoldsLink(currentLink)) world.ClosePeers(currentLink);
            currentLink = nullptr;
            state = 3;
            break;
        case 3:
            // The joiners in are the game; the spare link and connections that never sent a
            // whole frame go.
            if (JoinersIn() >= 1) {
                // Gathered first: each close packs the slots.
                std::vector<CommLink*> others;
                for (const PeerSlot& peer : world.peerSlots)
                    if (CommLink* link = peer.peerLink; link && !IsJoiner(link))
                        others.push_back(link);
                for (CommLink* link : others)
                    world.ClosePeers(link);
                currentLink = nullptr;
                state = 4;
            }
            break;
        default:
            break;
    }
    FitHostField();
}

bool NetworkScreen::TypingHost() const {
    return hostField && state == 0;
}

// The join field departs from a field that opens on a click and closes on any key or click it
// does not take:
//   case                          here                           given            why
//   the join screen waits         open, the stored host          closed until a   the line says
//   for the host (state 0)        selected (typing replaces it)  click in it      "type"
//   a click beside it, or a key   it stays open                  closed, emptied  typing was lost
//   it does not take
//   Enter                         OK with the text shown         the field first  one Enter
//   Esc, Ctrl+Q                   cancel                         the field first  it takes all keys
//   any other state               closed                         as it was left
void NetworkScreen::FitHostField() {
    if (!hostField) return;
    if (!TypingHost()) {
        if (hostField->active) hostField->Reset();
        return;
    }
    // As a click in the box opens it: with the owner's text, whole.
    if (!hostField->active)
        hostField->HandleEvent(InputEvent(InputKind::ButtonDown, nameBox.origin, 'L'), hostText);
}

void NetworkScreen::SetGameSetup(int player, int peers, int accept, int connect,
                                 const char* address1, const char* address2) {
    if (player == -1) {
        ++readyCount;
        return;
    }
    // Only the first set-up counts.
    if (ownPlayer != -1) return;
    ownPlayer = player;
    peerCount = peers;
    acceptCount = accept;
    connectCount = connect;
    if (connect >= 1) CopyAddress(addresses[0], address1);
    if (connect >= 2) CopyAddress(addresses[1], address2);
}

int NetworkScreen::Update(int /*elapsedMs*/) {
    if (pending != kNoButton) {
        const int b = pending;
        pending = kNoButton;
        OnButton(b);
    }
    if (finished) return 0;
    switch (state) {
        case 1:
            lastLinkResult = currentLink ? currentLink->Connect(hostText) : 0;
            if (lastLinkResult == 1) {
                world.StartRecording();
                state = 5;
            }
            break;
        case 3:
            world.SendEmptyCommand();
            world.ReceiveFromPeers();
            world.CheckPeers();
            world.CompactPeers();
            AdmitJoiners();
            if (JoinersIn() == World::kPeerSlots) state = 4;
            break;
        case 4: {
            world.StartRecording();
            peerCount = world.PeerCount();
            CommandBuffer& commands = world.Commands();
            lostSeen = world.peersLost;
            for (int slot = 0; slot < peerCount; ++slot) {
                const SetupRow& row = kSetups[peerCount - 1][slot];
                // Known here already: a joiner lost before its number arrives is named too.
                world.peerSlots[slot].peerTeam = row.player;
                auto addressOf = [this](int s) {
                    return s >= 0 && world.peerSlots[s].peerLink
                               ? world.peerSlots[s].peerLink->PeerAddress()
                               : nullptr;
                };
                commands.SendGameSetup(row.player, peerCount, row.accept, row.connect,
                                       addressOf(row.address1), addressOf(row.address2));
                world.SendCommands(slot);
            }
            // No fourth machine: nobody else may connect.
            room.reset();
            if (world.peerSlots[0].peerLink) world.peerSlots[0].peerLink->CloseListener();
            state = 7;
            break;
        }
        case 5:
            if (LeaveHostOfOtherVersion()) break;
            world.SendEmptyCommand();
            world.CheckPeers();
            world.CompactPeers();
            if (world.PeerCount() == 0) {
                Finish(1);
                break;
            }
            if (ownPlayer != -1) state = 6;
            break;
        case 6:
            // The first link is the host's.
            world.peerSlots[0].peerTeam = 1;
            lostSeen = world.peersLost;
            if (acceptCount > 0) acceptLink = world.AddPeer();
            if (connectCount > 0) connectLink = world.AddPeer();
            state = 7;
            break;
        case 7:
            // A peer lost now leaves a mesh that can never stand: every side starts over.
            if (world.peersLost != lostSeen) {
                CancelLinkUp();
                break;
            }
            if (connectLink && connectCount > 0 &&
                connectLink->Connect(addresses[connectCount - 1]) == 1) {
                --connectCount;
                connectLink = connectCount > 0 ? world.AddPeer() : nullptr;
            }
            if (acceptLink && acceptCount > 0 && acceptLink->Listen() == 1) {
                --acceptCount;
                acceptLink = acceptCount > 0 ? world.AddPeer() : nullptr;
            }
            SendReadyWhenLinked();
            if (readySent && readyCount >= peerCount) state = 8;
            break;
        case 8:
            Finish(0);
            break;
        default:
            break;
    }
    FitHostField();
    return finished ? 0 : 1;
}

// A connection counts as a joiner from its first whole frame, its hello: until then it waits in
// the lobby's room and holds no slot, so silent ones cannot keep a player out however many come.
// One of another version is turned away before it holds a slot.
void NetworkScreen::AdmitJoiners() {
    if (!room) {
        room = std::make_unique<WaitingRoom>([this]() -> std::unique_ptr<CommLink> {
            return world.makeLink ? world.makeLink() : nullptr;
        });
    }
    for (std::unique_ptr<CommLink>& link : room->Step()) {
        const int version = link->PeerVersion();
        if (version != kWireVersion) {
            link->Disconnect();
            refusedVersion = version;
            refusedShown = 1;
            lostShown = 0;
            continue;
        }
        // A joiner past the third finds every slot held and is closed.
        if (world.AdoptPeer(std::move(link))) refusedShown = 0;
    }
}

// The host's hello is the first thing it sends, so its version is known here before the host
// can have been found lost (the link is read after the lost links are checked).
int NetworkScreen::LeaveHostOfOtherVersion() {
    if (!HoldsLink(currentLink)) return 0;
    const int version = currentLink->PeerVersion();
    if (version < 0 || version == kWireVersion) return 0;
    world.ClosePeers(nullptr);
    currentLink = world.AddPeer();
    ownPlayer = -1;
    refusedVersion = version;
    refusedShown = 1;
    lostShown = 0;
    state = 0;
    return 1;
}

bool NetworkScreen::HoldsLink(const CommLink* link) const {
    if (!link) return false;
    for (const PeerSlot& peer : world.peerSlots)
        if (peer.peerLink == link) return true;
    return false;
}

bool NetworkScreen::IsJoiner(CommLink* link) const {
    return link && link != currentLink && link->ConnectionLost() == 0 && link->FramesReceived() > 0;
}

int NetworkScreen::JoinersIn() const {
    int joiners = 0;
    for (const PeerSlot& peer : world.peerSlots)
        if (IsJoiner(peer.peerLink)) ++joiners;
    return joiners;
}

// Every link goes (the other machines see theirs lost and start over too); the host waits for
// joiners again, a joiner for the host's address and OK.
void NetworkScreen::CancelLinkUp() {
    lostPlayer = world.lastLostTeam;
    lostShown = 1;
    refusedShown = 0;
    world.ClosePeers(nullptr);
    acceptLink = nullptr;
    connectLink = nullptr;
    acceptCount = 0;
    connectCount = 0;
    readyCount = 0;
    readySent = 0;
    peerCount = 0;
    heldSetups.clear();
    std::memset(addresses, 0, sizeof addresses);
    // The host's lobby listens from its own links again.
    currentLink = mode == 'H' ? nullptr : world.AddPeer();
    if (mode == 'H') {
        state = 3;
    } else {
        ownPlayer = -1;
        state = 0;
    }
}

void NetworkScreen::HoldSetup(const SetupSettings& settings, int start, int leave) {
    if (heldSetups.size() < kHeldSetups) heldSetups.push_back({settings, start, leave});
}

void NetworkScreen::SendReadyWhenLinked() {
    if (readySent || acceptCount > 0 || connectCount > 0) return;
    CommandBuffer& commands = world.Commands();
    commands.SendGameSetup(-1, peerCount, 0, 0, nullptr, nullptr);
    commands.SendPlayerNumber(ownPlayer);
    world.SendCommands(-1);
    readySent = 1;
}

int NetworkScreen::StatusString() const {
    switch (state) {
        case 0:
            return hostAsked ? kNoHostString : kJoinTypingString;
        case 1:
            return kConnectingString;
        case 2:
            return kHostWaitingString;
        case 3:
        case 4:
            return kJoinedString;
        case 5:
            return kConnectedString;
        default:
            return kLinkingString;
    }
}

std::string NetworkScreen::StatusText() const {
    char status[256];
    if (refusedShown && (state == 0 || state == 3)) {
        const char* line = GetString(mode == 'H' ? kJoinerRefusedString : kHostRefusedString);
        if (line) {
            std::snprintf(status, sizeof status, line, refusedVersion, kWireVersion);
            return status;
        }
    }
    // Until somebody joins again (or the joiner presses OK), the line says who was lost.
    if (lostShown && (state == 0 || (state == 3 && JoinersIn() == 0))) {
        const char* line = GetString(lostPlayer >= 1 ? kPlayerLostString : kPeerLostString);
        if (line) {
            std::snprintf(status, sizeof status, line, lostPlayer);
            return status;
        }
    }
    const char* format = GetString(StatusString());
    if (!format) return {};
    if (StatusString() != kJoinedString) return format;
    std::snprintf(status, sizeof status, format, JoinersIn());
    return status;
}

void NetworkScreen::Draw(int /*elapsedMs*/) {
    if (!display) return;
    display->SetClipRect(
        Rect(Point(0, 0), Size(DisplayBase::kScreenWidth, DisplayBase::kScreenHeight)));
    DrawPictures();
    display->ResetClipRect();
}

void NetworkScreen::DrawPictures() {
    if (pictures) pictures->DrawFrameAt(Point(0, 0), 0);
    if ((state == 1 || state == 3) && busy && busy->Count() > 0)
        busy->DrawFrame(statusBox.origin, world.lastTenth % busy->Count());
    // The background shows both buttons; a pressed one shows its face.
    for (int i = 0; i < 2; ++i)
        if (pictures && buttons[i] && buttons[i]->highlighted)
            pictures->DrawFrameAt(buttons[i]->rect.origin, i + 1);
    const Rect screen(Point(0, 0), Size(DisplayBase::kScreenWidth, DisplayBase::kScreenHeight));
    TextWriter* font = world.font.get();
    // The field is open while the join screen waits for the address (FitHostField). Beyond the
    // screen's own drawing list, its frame is in the text's colour, so the player sees where
    // the typing goes. Only here: the mission-text dialog shares the picture, and the box lies
    // inside its text.
    if (hostField) hostField->Draw(kTextColour);
    // The field leaves the clip empty behind it; the prompt above it stays while the player types.
    display->SetClipRect(screen);
    if (TypingHost())
        OutlineRect(kTextColour, Size(nameBox.extent.w + 2, nameBox.extent.h + 2))
            .DrawAt(nameBox.origin - Point(1, 1));
    if (!font) return;
    CommLink* listener = room && room->Listener() ? room->Listener() : world.peerSlots[0].peerLink;
    if (mode == 'H' && (state == 2 || state == 3) && listener) {
        const char* address = listener->LocalAddress();
        if (address) font->DrawText(nameBox.origin, address, kTextColour);
    }
    font->DrawText(statusBox.origin, StatusText().c_str(), kTextColour);
}
