// The host and join screen's own input and drawing: the buttons under the pointer, a click
// carried out on the next tick, the keys, the host text kept in QX.INI, and the pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/EventQueue.h"
#include "core/InputEvent.h"
#include "core/KeyCodes.h"
#include "core/MemoryDisplay.h"
#include "core/Settings.h"
#include "core/StringTable.h"
#include "net/Mesh.h"
#include "net/WaitingRoom.h"
#include "support/MemoryLink.h"

namespace {

class NetworkScreenEventsTest : public MeshTest {
protected:
    void Click(const Point& p) {
        events.Post(InputKind::ButtonDown, p, 'L');
        events.Post(InputKind::ButtonUp, p, 'L');
    }
    uint8_t Pixel(const Point& p) const { return display.BackPage()[640 * p.y + p.x]; }

    MemoryDisplay display;
    EventQueue events;
    World world;
    MemoryLink link;
};

const Point kOkPlace(380, 250);
const Point kCancelPlace(240, 250);
// The name box's frame, one pixel round the box (257, 200)-(385, 215), in the text colour.
const Point kNameFrame[] = {{256, 199}, {386, 199}, {256, 216}, {386, 216}, {320, 199}};
constexpr uint8_t kFrameColour = 10;

TEST_F(NetworkScreenEventsTest, AJoinerConnectsToTheHostItConfirmedAndEscapeCancels) {
    WriteProfileValue("QX", "OPTIONS", "HOST", "127.0.0.9");
    NetworkScreen screen(world, 'J', &link);
    ASSERT_EQ(screen.Load(), 1);
    // The menu passes events one by one; every kind is used.
    EXPECT_EQ(screen.HandleEvent(InputEvent(InputKind::MouseMove, kOkPlace, 0)), 1);
    EXPECT_EQ(display.cursorShape, 34);
    events.Post(InputKind::MouseMove, Point(10, 10), 0);
    screen.HandleEvents(16);
    EXPECT_EQ(display.cursorShape, 35);
    // The press shows the button's face; the release makes the click, carried out next tick.
    EXPECT_EQ(screen.HandleEvent(InputEvent(InputKind::ButtonDown, kOkPlace, 'L')), 1);
    screen.Draw(16);
    EXPECT_EQ(Pixel(Point(2, 2)), 1);
    EXPECT_EQ(Pixel(Point(378, 244)), 3);
    // Waiting for the address, the name box shows its frame before any click.
    for (const Point& p : kNameFrame)
        EXPECT_EQ(Pixel(p), kFrameColour) << p.x << ", " << p.y;
    EXPECT_NE(Pixel(Point(320, 207)), kFrameColour);
    events.Post(InputKind::ButtonUp, kOkPlace, 'L');
    ASSERT_EQ(screen.HandleEvents(16), 1);
    EXPECT_EQ(screen.State(), 0);
    EXPECT_EQ(screen.Update(16), 1);
    EXPECT_EQ(screen.State(), 1);
    // Connecting, it is gone.
    std::fill(display.BackPage(), display.BackPage() + 640 * 480, uint8_t{0});
    screen.Draw(16);
    for (const Point& p : kNameFrame)
        EXPECT_NE(Pixel(p), kFrameColour) << p.x << ", " << p.y;
    EXPECT_EQ(link.connectedTo, "127.0.0.9");
    char host[32] = {};
    ReadProfileValue("QX", "OPTIONS", "HOST", host, sizeof host);
    EXPECT_STREQ(host, "127.0.0.9");
    // A click that leaves the button before its release does nothing.
    events.Post(InputKind::ButtonDown, kCancelPlace, 'L');
    events.Post(InputKind::ButtonUp, Point(10, 10), 'L');
    screen.HandleEvents(16);
    EXPECT_EQ(screen.Update(16), 1);
    link.connected = 1;
    EXPECT_EQ(screen.Update(16), 1);
    EXPECT_EQ(screen.State(), 5);
    EXPECT_EQ(world.networkGame, 1);
    EXPECT_EQ(screen.StatusString(), NetworkScreen::kConnectedString);
    events.Post(InputKind::Key, Point(), kKeyEscape);
    EXPECT_EQ(screen.HandleEvents(16), 0);
    EXPECT_EQ(screen.exitCode, 1);
}

// What QX.INI holds as the host; "-" when the key is not there at all.
std::string StoredHost() {
    std::ifstream file("QX.INI");
    std::string line;
    while (std::getline(file, line))
        if (line.rfind("HOST=", 0) == 0) return line.substr(5);
    return "-";
}

// Only the joiner has the host field, open for typing from the start. A row's input: its
// characters typed, \n Enter, \b Backspace, ~ Escape, @ a click in the field, # a click beside
// it, ! a click on OK. Then the screen runs its ticks: the host it connects to ("" none), what
// QX.INI holds after ("-" no key), and the status line.
TEST_F(NetworkScreenEventsTest, AJoinerTypesTheHostAddressItConnectsTo) {
    struct Row {
        const char* what;
        const char* stored;
        const char* input;
        const char* connected;
        const char* host;
        int status;
    };
    const int typing = NetworkScreen::kJoinTypingString;
    const int connecting = NetworkScreen::kConnectingString;
    const int noHost = NetworkScreen::kNoHostString;
    const Row rows[] = {
        // A click in the open field puts the cursor after its text, as in any open field.
        {"a click, Backspace, a digit, one Enter", "127.0.0.9", "@\b5\n", "127.0.0.5", "127.0.0.5",
         connecting},
        {"typing on open replaces the stored host", "127.0.0.9", "10.0.0.5\n", "10.0.0.5",
         "10.0.0.5", connecting},
        {"typing on open with none stored", nullptr, "10.0.0.5\n", "10.0.0.5", "10.0.0.5",
         connecting},
        {"a click beside the field keeps the typing", nullptr, "10.0#.0.5\n", "10.0.0.5",
         "10.0.0.5", connecting},
        {"OK clicked after typing", nullptr, "10.0.0.5!", "10.0.0.5", "10.0.0.5", connecting},
        {"blanks round the address are dropped", nullptr, " 10.0.0.5 \n", "10.0.0.5", "10.0.0.5",
         connecting},
        {"Enter alone takes the stored host shown", "127.0.0.9", "\n", "127.0.0.9", "127.0.0.9",
         connecting},
        {"an empty Enter with none stored", nullptr, "\n", "", "-", noHost},
        {"an empty OK keeps the stored host", "127.0.0.9", "\b!", "", "127.0.0.9", noHost},
        {"blanks alone are empty", "127.0.0.9", "   \n", "", "127.0.0.9", noHost},
        {"typing after an empty Enter, one Enter", nullptr, "\n10.0.0.5\n", "10.0.0.5", "10.0.0.5",
         connecting},
        {"Escape leaves while typing", "127.0.0.9", "10.0~", "", "127.0.0.9", typing},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::filesystem::remove("QX.INI");
        if (row.stored) WriteProfileValue("QX", "OPTIONS", "HOST", row.stored);
        World joiner;
        MemoryLink hostLink;
        NetworkScreen screen(joiner, 'J', &hostLink);
        ASSERT_EQ(screen.Load(), 1);
        int ended = 0;
        for (const char* c = row.input; *c; ++c) {
            switch (*c) {
                case '\n':
                    events.Post(InputKind::Key, Point(), kKeyEnter);
                    break;
                case '\b':
                    events.Post(InputKind::Key, Point(), kKeyBackspace);
                    break;
                case '~':
                    events.Post(InputKind::Key, Point(), kKeyEscape);
                    break;
                case '@':
                    Click(Point(300, 207));
                    break;
                case '#':
                    Click(Point(10, 10));
                    break;
                case '!':
                    Click(kOkPlace);
                    break;
                default:
                    events.Post(InputKind::Key, Point(), *c);
            }
            // The menu hands the screen its events and ticks it every frame.
            if (screen.HandleEvents(16) == 0 || screen.Update(16) == 0) ended = 1;
        }
        if (!ended) ended = screen.Update(16) == 0;
        EXPECT_EQ(ended, row.input[std::strlen(row.input) - 1] == '~');
        EXPECT_EQ(hostLink.connectedTo, row.connected);
        EXPECT_EQ(screen.State(), *row.connected ? 1 : 0);
        EXPECT_EQ(StoredHost(), row.host);
        if (!ended) {
            EXPECT_EQ(screen.StatusString(), row.status);
        }
    }
}

TEST_F(NetworkScreenEventsTest, AScreenGoneIsNoLongerTheWorldsScreen) {
    World other;
    auto first = std::make_unique<NetworkScreen>(world, 'H', nullptr);
    NetworkScreen second(other, 'J', nullptr);
    EXPECT_EQ(NetworkScreen::Current(world), first.get());
    first.reset();
    EXPECT_EQ(NetworkScreen::Current(world), nullptr);
    EXPECT_EQ(NetworkScreen::Current(other), &second);
}

TEST_F(NetworkScreenEventsTest, TheHostStartsListeningOnEnterAndShowsItsState) {
    NetworkScreen screen(world, 'H', &link);
    ASSERT_EQ(screen.Load(), 1);
    EXPECT_EQ(screen.StatusString(), NetworkScreen::kHostWaitingString);
    // The host types no address: its name box has no frame.
    screen.Draw(16);
    for (const Point& p : kNameFrame)
        EXPECT_NE(Pixel(p), kFrameColour) << p.x << ", " << p.y;
    events.Post(InputKind::Key, Point(), kKeyEnter);
    screen.HandleEvents(16);
    EXPECT_EQ(screen.State(), 3);
    EXPECT_EQ(screen.PlayerNumber(), 1);
    EXPECT_EQ(screen.StatusString(), NetworkScreen::kJoinedString);
    // The count of joiners so far: links that sent a whole frame (none here).
    SetStringTableText(std::string(199, '\r') + "%d joined\r");
    EXPECT_EQ(screen.StatusText(), "0 joined");
    ClearStringTable();
    EXPECT_EQ(screen.StatusText(), "");
    Click(kCancelPlace);
    screen.HandleEvents(16);
    EXPECT_EQ(screen.Update(16), 0);
    EXPECT_EQ(screen.exitCode, 1);
}

TEST_F(NetworkScreenEventsTest, TheHostListensAgainWhenItsListenerIsLostBeforeAnyoneJoins) {
    std::vector<MemoryLink*> made;
    int disconnects = 0;
    world.makeLink = [&]() -> std::unique_ptr<CommLink> {
        auto fresh = std::make_unique<MemoryLink>();
        fresh->disconnectTally = &disconnects;
        made.push_back(fresh.get());
        return fresh;
    };
    NetworkScreen screen(world, 'H', world.AddPeer());
    ASSERT_EQ(screen.Load(), 1);
    events.Post(InputKind::Key, Point(), kKeyEnter);
    screen.HandleEvents(16);
    // The lobby listens from links of its own: the menu's link holds no slot.
    EXPECT_EQ(disconnects, 1);
    EXPECT_EQ(world.PeerCount(), 0);
    EXPECT_EQ(screen.Update(16), 1);
    ASSERT_EQ(made.size(), 2u);
    ASSERT_NE(screen.Room(), nullptr);
    EXPECT_EQ(screen.Room()->Listener(), made[1]);
    EXPECT_EQ(screen.JoinersIn(), 0);
    // The listener fails with nobody on it: it is closed and a fresh one takes its place.
    made[1]->lost = 1;
    EXPECT_EQ(screen.Update(16), 1);
    EXPECT_EQ(disconnects, 2);
    ASSERT_EQ(made.size(), 3u);
    EXPECT_EQ(screen.Room()->Listener(), made[2]);
    EXPECT_EQ(world.PeerCount(), 0);
    // The fresh listener takes the next joiner, which has spoken and takes a slot, and another
    // listens behind it.
    made[2]->connected = 1;
    EXPECT_EQ(screen.Update(16), 1);
    EXPECT_EQ(screen.JoinersIn(), 1);
    EXPECT_EQ(world.peerSlots[0].peerLink, made[2]);
    EXPECT_EQ(screen.Room()->Waiting(), 0);
    EXPECT_EQ(made.size(), 4u);
    EXPECT_EQ(screen.Room()->Listener(), made[3]);
    EXPECT_EQ(screen.State(), 3);
    world.ClosePeers(nullptr);
}

TEST_F(NetworkScreenEventsTest, APressBesideTheButtonsIsTakenAndAltF4Quits) {
    NetworkScreen screen(world, 'J', &link);
    ASSERT_EQ(screen.Load(), 1);
    const int before = screen.State();
    // Used (the menu passes it no further), but no button lights and no click follows.
    EXPECT_EQ(screen.HandleEvent(InputEvent(InputKind::ButtonDown, Point(10, 10), 'L')), 1);
    EXPECT_EQ(screen.HandleEvent(InputEvent(InputKind::ButtonUp, kOkPlace, 'L')), 1);
    EXPECT_EQ(screen.Update(16), 1);
    EXPECT_EQ(screen.State(), before);
    EXPECT_EQ(link.connectedTo, "");
    // F4 alone is an ordinary key; with Alt held it ends the program from this screen too.
    world.requestedMode = 0;
    screen.HandleEvent(InputEvent(InputKind::Key, Point(), kKeyF4));
    EXPECT_EQ(world.requestedMode, 0);
    EXPECT_EQ(screen.HandleEvents(16), 1);
    events.altDown = 1;
    EXPECT_EQ(screen.HandleEvent(InputEvent(InputKind::Key, Point(), kKeyF4)), 1);
    events.altDown = 0;
    EXPECT_EQ(world.requestedMode, static_cast<int>(GameMode::Quit));
    EXPECT_EQ(screen.HandleEvents(16), 0);
}

}  // namespace
