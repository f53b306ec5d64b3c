#pragma once
// Connects two to four machines into a full mesh of links before a network game and gives
// every machine its player number. The host (player 1) accepts joiners (each counts from its
// first whole frame, and waits outside the peer slots until then) until it presses OK or the
// third one is in, then tells each joiner its number, how many links to accept and which
// addresses to connect to; every machine reports ready to each peer once its links stand, and the
// screen ends when it has a ready report from every peer. A peer lost meanwhile cancels the
// link-up everywhere: the host waits for joiners again, a joiner for OK. A machine of another
// wire version is refused before any of this: the host turns such a joiner away, a joiner leaves
// such a host, and each names both versions on its status line.
// The main menu runs it as a child screen with a fresh peer link and reads its exit code, player
// number and peer count.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/Rect.h"
#include "objects/CommandBuffer.h"
#include "ui/ScreenBase.h"

class Button;
class CommLink;
class InputEvent;
class SpriteSet;
class TextField;
class WaitingRoom;
class World;

class NetworkScreen : public ScreenBase {
public:
    static constexpr char kBackgroundPack[] = "7a0ukxxx99s999.msp";
    static constexpr char kBusyPack[] = "7a0ucxxx99s999.msp";
    static constexpr int kCancel = 0;
    static constexpr int kOk = 1;
    static constexpr int kNoButton = 3;
    static constexpr int kAddressRoom = 16;
    static constexpr int kHostRoom = 128;
    // The status-line strings.
    static constexpr int kHostWaitingString = 197;
    static constexpr int kJoinTypingString = 198;
    static constexpr int kJoinedString = 199;
    static constexpr int kConnectingString = 200;
    // OK with no host typed (or only blanks): no connection is tried.
    static constexpr int kNoHostString = 308;
    static constexpr int kConnectedString = 220;
    static constexpr int kLinkingString = 225;
    // A peer was lost during the link-up: with its player number, or without one.
    static constexpr int kPlayerLostString = 312;
    static constexpr int kPeerLostString = 313;
    // A machine of another wire version was refused: by the host (the joiner's version, then
    // this one's), or by a joiner (the host's version, then this one's).
    static constexpr int kJoinerRefusedString = 333;
    static constexpr int kHostRefusedString = 334;

    // mode 'H' hosts, 'J' joins; the link is the menu's first peer link.
    NetworkScreen(World& world, char mode, CommLink* link);
    ~NetworkScreen() override;

    // The open screen of a World, for the command executor's set-up command; null when none.
    static NetworkScreen* Current(World& world);

    int Load() override;
    void Unload() override;
    int HandleEvents(int elapsedMs) override;
    int HandleEvent(const InputEvent& event) override;
    int Update(int elapsedMs) override;
    void Draw(int elapsedMs) override;

    // Cancel (0) or OK (1), as a click on the button does.
    void OnButton(int button);
    // The host's set-up command (player -1: a ready report).
    void SetGameSetup(int player, int peers, int accept, int connect, const char* address1,
                      const char* address2);
    // The host name or address to join (what the player types).
    void SetHostText(const char* text);

    int State() const { return state; }
    int PlayerNumber() const { return ownPlayer; }
    int PeerCount() const { return peerCount; }
    // The status line's string for the current state, and its text.
    int StatusString() const;
    std::string StatusText() const;

    // Connections that have sent a whole frame (the spare link never counts).
    int JoinersIn() const;
    // The host's connections that have not sent a whole frame yet; null outside the lobby.
    const WaitingRoom* Room() const { return room.get(); }

    // A peer that ends the link-up first opens its set-up at once and reports to the others,
    // whose set-up is not open yet: what comes is kept, in order, for the set-up that follows
    // (at most kHeldSetups; a cancelled link-up forgets it).
    struct HeldSetup {
        SetupSettings settings;
        int start = 0;
        int leave = 0;
    };
    static constexpr size_t kHeldSetups = 16;
    void HoldSetup(const SetupSettings& settings, int start, int leave);
    const std::vector<HeldSetup>& HeldSetups() const { return heldSetups; }

private:
    void SendReadyWhenLinked();
    bool HoldsLink(const CommLink* link) const;
    bool IsJoiner(CommLink* link) const;
    void CancelLinkUp();
    void AdmitJoiners();
    // Whether the host's hello named another version: the joiner then leaves it; 1 if so.
    int LeaveHostOfOtherVersion();
    // The join field is open exactly while the join screen waits for the host text.
    bool TypingHost() const;
    void FitHostField();
    void DrawPictures();
    void Finish(int code);

    World& world;
    int state = 2;
    char mode;
    CommLink* currentLink;
    int lastLinkResult = 0;
    std::unique_ptr<SpriteSet> pictures;
    std::unique_ptr<SpriteSet> busy;
    std::unique_ptr<Button> buttons[2];
    int hovered = kNoButton;
    int pressed = kNoButton;
    int pending = kNoButton;
    char hostText[kHostRoom] = {};
    std::unique_ptr<TextField> hostField;
    // 1 after an OK with no host typed, until the next OK.
    int hostAsked = 0;
    const Rect nameBox{Point(257, 200), Point(385, 215)};
    const Rect statusBox{Point(257, 165), Point(385, 195)};
    int ownPlayer = -1;
    int peerCount = 0;
    CommLink* acceptLink = nullptr;
    int acceptCount = 0;
    CommLink* connectLink = nullptr;
    int connectCount = 0;
    char addresses[2][kAddressRoom] = {};
    int readyCount = 0;
    int readySent = 0;
    int finished = 0;
    // The World's lost-peer count when the links began to form, and the player lost last.
    int lostSeen = 0;
    int lostPlayer = -1;
    int lostShown = 0;
    // The host's lobby: connections that have not yet sent a whole frame.
    std::unique_ptr<WaitingRoom> room;
    // The version of the last machine refused for it, shown until someone joins again.
    int refusedVersion = -1;
    int refusedShown = 0;
    std::vector<HeldSetup> heldSetups;
};
