#include "screens/MainMenuScreen.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "core/EventQueue.h"
#include "core/KeyCodes.h"
#include "core/ResourceFile.h"
#include "net/NetworkPlay.h"
#include "net/NetworkScreen.h"
#include "objects/CommandBuffer.h"
#include "screens/FrontEndTestFixture.h"
#include "screens/LoadGameScreen.h"
#include "screens/SetupScreen.h"
#include "support/MemoryLink.h"
#include "ui/ScrollList.h"
#include "world/Campaign.h"
#include "world/SavedGameIndex.h"
#include "world/Scenario.h"

namespace {

constexpr uint8_t kHighlight = 18;
constexpr uint8_t kText = 10;

class MainMenuTest : public FrontEndTest {
protected:
    MainMenuScreen& Menu() {
        if (!menu) menu = &Open<MainMenuScreen>(*f->world);
        return *menu;
    }
    int Requested() const { return f->world->requestedMode; }
    // The colour in the middle of an item's bar, left of its caption.
    uint8_t ItemColour(int item) { return Pixel(222, 105 + 36 * item + 10); }
    // Pixels of the item's bar in the caption colour of an enabled item, and in any colour but
    // the menu's black.
    std::pair<int, int> ItemInk(int item) {
        int caption = 0, drawn = 0;
        for (int y = 105 + 36 * item; y < 125 + 36 * item; ++y) {
            for (int x = 219; x < 427; ++x) {
                caption += Pixel(x, y) == kText;
                drawn += Pixel(x, y) != 0;
            }
        }
        return {caption, drawn};
    }
    MainMenuScreen* menu = nullptr;
};

TEST_F(MainMenuTest, ItemsShowTheirStateAndTheArrowsWalkAllEightRound) {
    MainMenuScreen& m = Menu();
    Frame();
    // No saved game, no link maker: load, join and host are greyed (drawn darker than the
    // rest, without the caption colour), the rest show the label in it.
    for (int item = 0; item < 8; ++item) {
        const bool greyed = item == 3 || item == 5 || item == 6;
        EXPECT_EQ(m.ItemButton(item)->enabled, greyed ? 0 : 1) << item;
        const auto [caption, drawn] = ItemInk(item);
        EXPECT_EQ(caption == 0, greyed) << item;
        EXPECT_GT(drawn, 20) << item;
        EXPECT_NE(ItemColour(item), kHighlight) << item;
    }
    Key(kKeyUp);
    EXPECT_EQ(m.Hovered(), 7);
    EXPECT_EQ(ItemColour(7), kHighlight);
    Key(kKeyDown);
    EXPECT_EQ(m.Hovered(), 0);
    EXPECT_EQ(ItemColour(0), kHighlight);
    EXPECT_NE(ItemColour(7), kHighlight);
    Key(kKeyUp);
    EXPECT_EQ(m.Hovered(), 7);
    // Enter with nothing hovered does nothing; Esc leaves through the exit picture.
    Post(InputKind::MouseMove, Point(5, 5), 0);
    EXPECT_EQ(Key(kKeyEnter), 1);
    EXPECT_EQ(Key(kKeyEscape), 0);
    EXPECT_EQ(Requested(), static_cast<int>(GameMode::ExitPicture));
}

TEST_F(MainMenuTest, AClickActsOnTheNextTickOnlyWhenReleasedOverTheSameItem) {
    MainMenuScreen& m = Menu();
    Frame();
    Post(InputKind::MouseMove, m.ItemButton(4)->Centre(), 0);
    Post(InputKind::ButtonDown, m.ItemButton(4)->Centre(), 'L');
    Post(InputKind::MouseMove, m.ItemButton(7)->Centre(), 0);
    Post(InputKind::ButtonUp, m.ItemButton(7)->Centre(), 'L');
    EXPECT_EQ(Frame(), 1);
    EXPECT_EQ(m.OpenSetup(), nullptr);
    EXPECT_EQ(Click(m.ItemButton(4)), 1);
    ASSERT_NE(m.OpenSetup(), nullptr);
    EXPECT_EQ(f->world->setupScreen, m.OpenSetup());
    // Back: the pointer the command executor uses goes with the screen.
    EXPECT_EQ(Key(kKeyEscape), 1);
    EXPECT_EQ(m.OpenSetup(), nullptr);
    EXPECT_EQ(f->world->setupScreen, nullptr);
    // Alt+F4 over the set-up screen ends the menu's pass at once, as over the load-game one.
    EXPECT_EQ(Click(m.ItemButton(4)), 1);
    ASSERT_NE(m.OpenSetup(), nullptr);
    f->events.altDown = 1;
    Post(InputKind::Key, Point(320, 240), kKeyF4);
    EXPECT_EQ(m.HandleEvents(16), 0);
    f->events.altDown = 0;
    EXPECT_EQ(f->world->requestedMode, static_cast<int>(GameMode::Quit));
}

TEST_F(MainMenuTest, ANewCampaignStartsMissionOneOfTheChosenClan) {
    for (const char clan : {'V', 'T'}) {
        MainMenuScreen& m = Menu();
        Frame();
        Key('s');
        ASSERT_NE(m.OpenSetup(), nullptr);
        if (clan == 'T') Click(m.OpenSetup()->ButtonOf(1));
        EXPECT_EQ(Key(kKeyEnter), 0);
        ASSERT_NE(f->world->pendingScenario, nullptr);
        Scenario& s = *f->world->pendingScenario;
        EXPECT_EQ(s.missionNumber, 1);
        EXPECT_EQ(s.clanLetter, clan);
        s.TakeMissionRow();
        EXPECT_EQ(s.packEntry, Campaign::GetMissionEntry(clan, 1)->packEntry);
        EXPECT_EQ(Requested(), static_cast<int>(GameMode::StartScenario));
        screen->Unload();
        screen.reset();
        menu = nullptr;
    }
}

TEST_F(MainMenuTest, EachItemsLetterInEitherCaseCarriesItOut) {
    enum Opens { kNothing, kTutorial, kSkirmish, kCampaign, kDesign, kExit };
    const struct {
        int32_t key;
        Opens opens;
    } cases[] = {{'t', kTutorial}, {'T', kTutorial}, {'o', kSkirmish},    {'O', kSkirmish},
                 {'s', kCampaign}, {'S', kCampaign}, {'d', kDesign},      {'D', kDesign},
                 {'e', kExit},     {'E', kExit},     {kKeyEscape, kExit}, {17, kExit},
                 {'x', kNothing},  {'q', kNothing}};
    for (const auto& c : cases) {
        if (screen) {
            screen->Unload();
            screen.reset();
            menu = nullptr;
        }
        f->world->pendingScenario.reset();
        MainMenuScreen& m = Menu();
        f->world->requestedMode = 0;
        sounds.Clear();
        const int result = Key(c.key);
        EXPECT_EQ(result, c.opens == kTutorial || c.opens == kExit ? 0 : 1) << c.key;
        EXPECT_EQ(sounds.accepted, c.opens == kNothing ? 0 : 1) << c.key;
        const GameMode modes[] = {GameMode::None,           GameMode::StartScenario,
                                  GameMode::StartScenario,  GameMode::StartScenario,
                                  GameMode::DesignFromMenu, GameMode::ExitPicture};
        EXPECT_EQ(Requested(), static_cast<int>(modes[c.opens])) << c.key;
        const bool setup = c.opens == kSkirmish || c.opens == kCampaign || c.opens == kDesign;
        ASSERT_EQ(m.OpenSetup() != nullptr, setup) << c.key;
        if (c.opens == kTutorial) {
            ASSERT_NE(f->world->pendingScenario, nullptr);
            EXPECT_EQ(f->world->pendingScenario->missionNumber, Campaign::kTutorial);
        }
        if (!setup) continue;
        // Only the skirmish lists the lands; only the campaign starts at mission 1.
        EXPECT_EQ(m.OpenSetup()->List() != nullptr, c.opens == kSkirmish) << c.key;
        EXPECT_EQ(m.OpenSetup()->Record().missionNumber, c.opens == kCampaign ? 1 : 0) << c.key;
    }
}

TEST_F(MainMenuTest, TheDesignEntryHandsTheWorldTheClanSlotAndColour) {
    MainMenuScreen& m = Menu();
    Frame();
    Key('d');
    ASSERT_NE(m.OpenSetup(), nullptr);
    Click(m.OpenSetup()->ButtonOf(1));
    Click(m.OpenSetup()->ButtonOf(4));
    EXPECT_EQ(Key(kKeyEnter), 0);
    EXPECT_EQ(Requested(), static_cast<int>(GameMode::DesignFromMenu));
    EXPECT_EQ(f->world->clanLetter, 'T');
    EXPECT_EQ(f->world->localPlayer.first, 1);
    EXPECT_EQ(f->world->localPlayer.third, 7);
}

TEST_F(MainMenuTest, NetworkItemsNeedALinkAndBadNumbersOpenNoSetUp) {
    int made = 0;
    f->world->makeLink = [&made] {
        ++made;
        return std::unique_ptr<CommLink>(std::make_unique<MemoryLink>());
    };
    MainMenuScreen& m = Menu();
    EXPECT_EQ(m.NetworkUsable(), 1);
    EXPECT_EQ(m.ItemButton(5)->enabled, 1);
    EXPECT_EQ(f->world->PeerCount(), 0);
    EXPECT_EQ(Key('h'), 1);  // the menu goes on under the network screen
    ASSERT_NE(m.OpenNetwork(), nullptr);
    EXPECT_EQ(f->world->PeerCount(), 1);
    // Hosting waits for joiners.
    EXPECT_EQ(m.OpenNetwork()->StatusString(), NetworkScreen::kHostWaitingString);
    // A network screen that ends with a player number the slot tables do not hold.
    m.OpenNetwork()->SetGameSetup(5, 1, 0, 0, "", "");
    m.OpenNetwork()->exitCode = 0;
    m.OpenNetwork()->OnButton(NetworkScreen::kCancel);
    m.OpenNetwork()->exitCode = 0;
    Frame();
    EXPECT_EQ(m.OpenNetwork(), nullptr);
    EXPECT_EQ(m.OpenSetup(), nullptr);
    EXPECT_EQ(f->world->PeerCount(), 0);
    // Without a link at the moment of the action both items go grey.
    f->world->makeLink = [] { return std::unique_ptr<CommLink>(); };
    EXPECT_EQ(Key('j'), 1);
    EXPECT_EQ(m.OpenNetwork(), nullptr);
    EXPECT_EQ(m.ItemButton(5)->enabled + m.ItemButton(6)->enabled, 0);
}

// A network screen's game opens the set-up for players 1 to 4 with one to three peers: the
// joiner plays in its own slot, the host in slot 1, and commands are recorded from then on.
// Any other numbers close every link.
TEST_F(MainMenuTest, ANetworkGameOpensItsSetUpOnlyForSlotsAndPeersTheTablesHold) {
    f->world->makeLink = [] { return std::unique_ptr<CommLink>(std::make_unique<MemoryLink>()); };
    const struct {
        int32_t key;
        int player, peers;
        bool opens;
    } cases[] = {
        {'j', 1, 1, true},  {'j', 4, 3, true},  {'h', 1, 2, true},  {'j', 0, 1, false},
        {'j', 5, 1, false}, {'j', 2, 0, false}, {'j', 2, 4, false}, {'h', 1, 4, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.player << " " << c.peers);
        if (screen) {
            screen->Unload();
            screen.reset();
            menu = nullptr;
        }
        f->world->ClosePeers(nullptr);
        f->world->networkGame = 0;
        f->world->requestedMode = 0;
        MainMenuScreen& m = Menu();
        ASSERT_EQ(Key(c.key), 1);
        ASSERT_NE(m.OpenNetwork(), nullptr);
        m.OpenNetwork()->SetGameSetup(c.player, c.peers, 0, 0, "", "");
        m.OpenNetwork()->OnButton(NetworkScreen::kCancel);
        m.OpenNetwork()->exitCode = 0;
        Frame();
        EXPECT_EQ(m.OpenNetwork(), nullptr);
        ASSERT_EQ(m.OpenSetup() != nullptr, c.opens);
        if (c.opens) {
            EXPECT_EQ(m.OpenSetup()->Record().localTeam, c.key == 'h' ? 1 : c.player);
            EXPECT_EQ(f->world->requestedMode, static_cast<int>(GameMode::StartScenario));
            EXPECT_EQ(f->world->networkGame, 1);
            EXPECT_EQ(f->world->networkHost, c.key == 'h' ? 1 : 0);
        } else {
            EXPECT_EQ(f->world->PeerCount(), 0);
        }
    }
    f->world->ClosePeers(nullptr);
    f->world->networkGame = 0;
}

// Leaving the set-up of a network game ends the network part: every peer link is closed and
// nothing is recorded any more.
TEST_F(MainMenuTest, APeersLeaveReachesTheOpenSetUpThroughTheHooksAndClosesIt) {
    f->world->makeLink = [] { return std::unique_ptr<CommLink>(std::make_unique<MemoryLink>()); };
    MainMenuScreen& m = Menu();
    EXPECT_EQ(Key('j'), 1);
    ASSERT_NE(m.OpenNetwork(), nullptr);
    m.OpenNetwork()->SetGameSetup(2, 1, 0, 0, "", "");
    m.OpenNetwork()->OnButton(NetworkScreen::kCancel);
    m.OpenNetwork()->exitCode = 0;
    Frame();
    ASSERT_NE(m.OpenSetup(), nullptr);
    ASSERT_TRUE(TheNetworkHooks().applyPeerSettings);
    // The host (slot 1) leaves: the guest's set-up ends and the menu closes it with the peers.
    TheNetworkHooks().applyPeerSettings(SetupSettings(), 0, 1);
    EXPECT_EQ(m.OpenSetup()->Finished(), 1);
    EXPECT_EQ(Frame(), 1);
    EXPECT_EQ(m.OpenSetup(), nullptr);
    EXPECT_EQ(f->world->PeerCount(), 0);
    // With no set-up open the hook reaches nothing.
    TheNetworkHooks().applyPeerSettings(SetupSettings(), 0, 1);
    EXPECT_EQ(m.OpenSetup(), nullptr);
}

// A peer that ends the link-up first opens its set-up and reports while this machine's link-up
// still runs: the link-up keeps what comes (sixteen messages at most) and the set-up it opens
// applies it in order, so the host counts a guest that reported early and may start.
TEST_F(MainMenuTest, SetUpMessagesThatComeDuringTheLinkUpReachTheSetUpInOrder) {
    f->world->makeLink = [] { return std::unique_ptr<CommLink>(std::make_unique<MemoryLink>()); };
    struct Held {
        int slot;
        char clan;
        int colour;
        int leave;
    };
    const struct {
        int32_t key;
        int player, peers;
        std::vector<Held> held;
        int waiting;  // guests the host still waits for
        int slot;     // the slot looked at, its clan and colour
        char clan;
        int colour;
        bool closes;  // a peer left: the set-up closes with every link
    } cases[] = {
        // A guest's first report names its clan; its colour comes with the next.
        {'h', 1, 2, {{2, 'T', 3, 0}}, 1, 2, 'T', -1, false},
        {'h', 1, 2, {{2, 'T', 3, 0}, {3, 'V', 4, 0}}, 0, 3, 'V', -1, false},
        {'h', 1, 1, {{2, 'V', 2, 0}, {2, 'V', 4, 0}}, 0, 2, 'V', 4, false},
        {'h', 1, 1, {}, 1, 2, 'X', -1, false},
        {'j', 2, 1, {{1, 'T', 5, 0}}, -1, 1, 'T', 5, false},
        {'j', 3, 2, {{2, 'V', 1, 0}, {1, 'V', 1, 1}}, -1, 2, 'V', 1, true},
        {'h', 1, 1, std::vector<Held>(16, {2, 'V', 2, 0}), 0, 2, 'V', 2, false},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(i);
        if (screen) {
            screen->Unload();
            screen.reset();
            menu = nullptr;
        }
        f->world->ClosePeers(nullptr);
        f->world->networkGame = 0;
        MainMenuScreen& m = Menu();
        ASSERT_EQ(Key(c.key), 1);
        ASSERT_NE(m.OpenNetwork(), nullptr);
        m.OpenNetwork()->SetGameSetup(c.player, c.peers, 0, 0, "", "");
        std::vector<Held> held = c.held;
        // One past the bound: never applied.
        if (held.size() == NetworkScreen::kHeldSetups) held.push_back({2, 'T', 4, 0});
        for (const Held& h : held) {
            SetupSettings report;
            report.playerSlot = h.slot;
            report.clan = h.clan;
            report.colour = h.colour;
            TheNetworkHooks().applyPeerSettings(report, 0, h.leave);
        }
        EXPECT_EQ(m.OpenNetwork()->HeldSetups().size(),
                  std::min(held.size(), NetworkScreen::kHeldSetups));
        m.OpenNetwork()->OnButton(NetworkScreen::kCancel);
        m.OpenNetwork()->exitCode = 0;
        Frame();
        if (c.closes) {
            EXPECT_EQ(m.OpenSetup(), nullptr);
            EXPECT_EQ(f->world->PeerCount(), 0);
            continue;
        }
        ASSERT_NE(m.OpenSetup(), nullptr);
        SetupScreen& setup = *m.OpenSetup();
        if (c.waiting >= 0) {
            EXPECT_EQ(setup.GuestsWaiting(), c.waiting);
        }
        EXPECT_EQ(setup.Record().playerSlots[c.slot], c.clan);
        EXPECT_EQ(setup.Record().teamColours[c.slot], c.colour);
        EXPECT_EQ(setup.Finished(), 0);
    }
    if (screen) {
        screen->Unload();
        screen.reset();
    }
    f->world->ClosePeers(nullptr);
    f->world->networkGame = 0;
}

TEST_F(MainMenuTest, LeavingANetworkSetUpClosesThePeers) {
    f->world->makeLink = [] { return std::unique_ptr<CommLink>(std::make_unique<MemoryLink>()); };
    MainMenuScreen& m = Menu();
    EXPECT_EQ(Key('j'), 1);
    ASSERT_NE(m.OpenNetwork(), nullptr);
    // Joining asks for the host's name first.
    EXPECT_EQ(m.OpenNetwork()->StatusString(), NetworkScreen::kJoinTypingString);
    m.OpenNetwork()->SetGameSetup(2, 1, 0, 0, "", "");
    m.OpenNetwork()->OnButton(NetworkScreen::kCancel);
    m.OpenNetwork()->exitCode = 0;
    Frame();
    ASSERT_NE(m.OpenSetup(), nullptr);
    EXPECT_EQ(f->world->PeerCount(), 1);
    EXPECT_EQ(f->world->networkGame, 1);
    f->events.ctrlDown = 1;
    Key('q');
    f->events.ctrlDown = 0;
    Frame();
    EXPECT_EQ(m.OpenSetup(), nullptr);
    EXPECT_EQ(f->world->PeerCount(), 0);
    EXPECT_EQ(f->world->networkGame, 0);
    EXPECT_EQ(f->world->Commands().IsEnabled(), 0);
}

TEST_F(MainMenuTest, LoadGameListsTheIndexDeletesClampedAndClosesWhenEmpty) {
    AddGame("first", GoodGame());
    AddGame("%s%n #1", GoodGame());
    AddGame("third", GoodGame('T'));
    MainMenuScreen& m = Menu();
    Frame();
    EXPECT_EQ(m.ItemButton(3)->enabled, 1);
    Key('l');
    LoadGameScreen* g = m.OpenLoadGame();
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->List()->count, 3);
    // The list rows hold text: something other than the background in each of the three.
    for (int row = 0; row < 3; ++row) {
        int inked = 0;
        for (int x = 193; x < 300; ++x)
            inked += Pixel(x, 133 + row * 12 + 6) == 41 || Pixel(x, 133 + row * 12 + 6) == 10;
        EXPECT_GT(inked, 0) << row;
    }
    // Each title on its own row, the chosen one in its own colour (41, the others 10); Down
    // walks to the last and stops there.
    const char* titles[3] = {"first", "%s%n #1", "third"};
    for (int chosen = 0; chosen < 4; ++chosen) {
        if (chosen > 0) Key(kKeyDown);
        EXPECT_EQ(g->List()->selection, std::min(chosen, 2));
        for (int row = 0; row < 3; ++row) {
            const int y = 147 + 12 * row;
            const bool picked = row == std::min(chosen, 2);
            int other = 0;
            for (int x = 193; x < 449; ++x)
                for (int yy = y - 11; yy <= y; ++yy)
                    other += Pixel(x, yy) == (picked ? 10 : 41);
            EXPECT_EQ(other, 0) << chosen << " " << row;
        }
        for (int row = 0; row < 3; ++row) {
            const int y = 147 + 12 * row;
            const bool picked = row == std::min(chosen, 2);
            EXPECT_TRUE(Shows(*f->world->font, Point(194, y), titles[row], picked ? 41 : 10, 193,
                              y - 11, 448, y))
                << chosen << " " << row;
        }
        Frame();
    }
    EXPECT_EQ(g->List()->selection, 2);
    Click(g->ButtonOf(LoadGameScreen::kDelete));
    EXPECT_EQ(f->world->savedGames->Count(), 2);
    EXPECT_EQ(g->List()->selection, 1);
    EXPECT_STREQ(f->world->savedGames->At(1)->Title(), "%s%n #1");
    Click(g->ButtonOf(LoadGameScreen::kDelete));
    Click(g->ButtonOf(LoadGameScreen::kDelete));
    EXPECT_EQ(f->world->savedGames->Count(), 0);
    EXPECT_EQ(m.OpenLoadGame(), nullptr);
    EXPECT_EQ(m.ItemButton(3)->enabled, 0);
}

// A damaged index is told once, when the load-game screen opens; a delete it cannot write (it
// cannot go aside) is refused with a line and leaves the game; once it can, the delete is done.
TEST_F(MainMenuTest, ADamagedIndexIsToldOnceAndADeleteItCannotWriteIsRefused) {
    AddGame("first", GoodGame());
    AddGame("second", GoodGame('T'));
    const std::string damaged = "0.scn\nfirst\n1.scn\nsec";
    WriteFile(Path(SavedGameIndex::kIndexFile), damaged);
    for (int n = 1; n <= ResourceFile::kSetAsideNames; ++n)
        WriteFile(Path("GAMES.SAV.bad" + (n > 1 ? "." + std::to_string(n) : std::string())),
                  "older");
    f->world->savedGames = std::make_unique<SavedGameIndex>();
    MainMenuScreen& m = Menu();
    Frame();
    Key('l');
    LoadGameScreen* g = m.OpenLoadGame();
    ASSERT_NE(g, nullptr);
    EXPECT_STREQ(f->world->statusText, World::MessageLine(World::kDamagedIndexLine));
    EXPECT_EQ(g->List()->count, 2);
    // The menu goes on, the screen open.
    EXPECT_EQ(Click(g->ButtonOf(LoadGameScreen::kDelete)), 1);
    EXPECT_STREQ(f->world->statusText, World::MessageLine(World::kDeleteRefusedLine));
    EXPECT_EQ(f->world->savedGames->Count(), 2);
    EXPECT_FALSE(ReadFile(Path("0.scn")).empty());
    EXPECT_EQ(ReadFile(Path(SavedGameIndex::kIndexFile)), damaged);
    // Told once: opened again, the screen says nothing of it.
    Key(kKeyEscape);
    Frame();
    f->world->statusText[0] = 0;
    Key('l');
    g = m.OpenLoadGame();
    ASSERT_NE(g, nullptr);
    EXPECT_STREQ(f->world->statusText, "");
    std::filesystem::remove(Path("GAMES.SAV.bad"));
    Click(g->ButtonOf(LoadGameScreen::kDelete));
    EXPECT_EQ(f->world->savedGames->Count(), 1);
    EXPECT_FALSE(std::filesystem::exists(Path("0.scn")));
    EXPECT_EQ(ReadFile(Path(SavedGameIndex::kIndexFile)), "1.scn\nsec\n");
    EXPECT_EQ(ReadFile(Path("GAMES.SAV.bad")), damaged);
    // An index that cannot be read has a line of its own, on every visit and whenever the
    // screen's other lines have gone; a delete is refused, as the list cannot be read.
    AddGame("third", GoodGame());
    Key(kKeyEscape);
    std::filesystem::remove(Path(SavedGameIndex::kIndexFile));
    std::filesystem::create_directory(Path(SavedGameIndex::kIndexFile));
    f->world->savedGames = std::make_unique<SavedGameIndex>();
    for (int visit = 0; visit < 2; ++visit) {
        f->world->statusText[0] = 0;
        Key('l');
        g = m.OpenLoadGame();
        ASSERT_NE(g, nullptr);
        EXPECT_STREQ(f->world->statusText, World::MessageLine(World::kUnreadableIndexLine))
            << visit;
        EXPECT_EQ(Click(g->ButtonOf(LoadGameScreen::kDelete)), 1) << visit;
        EXPECT_STREQ(f->world->statusText, World::MessageLine(World::kDeleteUnreadableLine))
            << visit;
        EXPECT_EQ(f->world->savedGames->Count(), 2) << visit;
        Key(kKeyDown);
        EXPECT_STREQ(f->world->statusText, World::MessageLine(World::kUnreadableIndexLine))
            << visit;
        Key(kKeyEscape);
        Frame();
        EXPECT_STREQ(f->world->statusText, "") << visit;
    }
    EXPECT_TRUE(std::filesystem::is_empty(Path(SavedGameIndex::kIndexFile)));
}

TEST_F(MainMenuTest, LoadAndDeleteWithNoRowChosenOnlyPlayTheSound) {
    AddGame("kept", GoodGame());
    MainMenuScreen& m = Menu();
    Key('l');
    LoadGameScreen* g = m.OpenLoadGame();
    ASSERT_NE(g, nullptr);
    f->world->requestedMode = 0;
    for (const int button : {LoadGameScreen::kDelete, LoadGameScreen::kLoad}) {
        g->List()->SetSelection(-1);
        sounds.Clear();
        EXPECT_EQ(Click(g->ButtonOf(button)), 1) << button;
        EXPECT_EQ(m.OpenLoadGame(), g) << button;
        EXPECT_EQ(f->world->savedGames->Count(), 1) << button;
        EXPECT_EQ(f->world->pendingScenario, nullptr) << button;
        EXPECT_EQ(Requested(), 0) << button;
        EXPECT_EQ(sounds.accepted, 1) << button;
    }
}

TEST_F(MainMenuTest, CtrlQInEitherCaseClosesTheLoadGameScreenAndAPlainQDoesNot) {
    AddGame("first", GoodGame());
    MainMenuScreen& m = Menu();
    Frame();
    for (int32_t key : {'q', 'Q'}) {
        Key('l');
        ASSERT_NE(m.OpenLoadGame(), nullptr) << key;
        Key(key);
        Frame();
        EXPECT_NE(m.OpenLoadGame(), nullptr) << key;
        f->events.ctrlDown = 1;
        Key(key);
        f->events.ctrlDown = 0;
        Frame();
        EXPECT_EQ(m.OpenLoadGame(), nullptr) << key;
    }
    // Alt+F4 over the open load-game screen ends the menu's event pass at once.
    Key('l');
    ASSERT_NE(m.OpenLoadGame(), nullptr);
    f->events.altDown = 1;
    Post(InputKind::Key, Point(320, 240), kKeyF4);
    Post(InputKind::Key, Point(320, 240), kKeyDown);
    EXPECT_EQ(m.HandleEvents(16), 0);
    f->events.altDown = 0;
    EXPECT_EQ(f->world->requestedMode, static_cast<int>(GameMode::Quit));
    // The rest stays queued.
    std::unique_ptr<InputEvent> rest = f->events.Take();
    ASSERT_NE(rest, nullptr);
    EXPECT_EQ(rest->param, kKeyDown);
}

TEST_F(MainMenuTest, ADamagedGameSaysSoAndAGoodOneStartsWithoutItsBriefing) {
    namespace fs = std::filesystem;
    AddGame("broken", ": H\nJ = 13\nL = V\n");
    AddGame("good", GoodGame('T'));
    // What stands at a listed game's name, and the line LOAD shows for it: a title whose file
    // was never written (a stop between the index and the game) is missing; something there
    // that gives no bytes is named as unreadable, never as damaged (a sysfs file opens as 4096
    // bytes and gives a few: a read that fails once open).
    enum class At { Damaged, Good, Nothing, Directory, Fifo, LinkToNothing, LinkLoop, ShortRead };
    const struct {
        At at;
        int line;
    } rows[] = {
        {At::Damaged, World::kDamagedSaveLine},     {At::Good, 0},
        {At::Nothing, World::kMissingSaveLine},     {At::Directory, World::kUnreadableSaveLine},
        {At::Fifo, World::kUnreadableSaveLine},     {At::LinkToNothing, World::kUnreadableSaveLine},
        {At::LinkLoop, World::kUnreadableSaveLine}, {At::ShortRead, World::kUnreadableSaveLine}};
    for (size_t n = 2; n < std::size(rows); ++n) {
        SavedGameEntry* entry = f->world->savedGames->FindOrCreate(std::to_string(n).c_str());
        ASSERT_NE(entry, nullptr);
        const fs::path path = Path(entry->FileName());
        if (rows[n].at == At::Directory) fs::create_directory(path);
        if (rows[n].at == At::Fifo) {
            ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
        }
        if (rows[n].at == At::LinkToNothing) fs::create_symlink(Path("nowhere"), path);
        if (rows[n].at == At::LinkLoop) fs::create_symlink(path, path);
        if (rows[n].at == At::ShortRead) fs::create_symlink("/sys/devices/system/cpu/online", path);
    }
    MainMenuScreen& m = Menu();
    Key('l');
    LoadGameScreen* g = m.OpenLoadGame();
    ASSERT_NE(g, nullptr);
    const std::string damaged = ReadFile(Path(f->world->savedGames->At(0)->FileName()));
    for (size_t n = 0; n < std::size(rows); ++n) {
        // Another row picked: the line of the last one is gone.
        if (n > 0) Key(kKeyDown);
        EXPECT_STREQ(f->world->statusText, "") << n;
        if (rows[n].at == At::Good) continue;
        const char* name = f->world->savedGames->At(static_cast<int>(n))->FileName();
        const fs::file_status before = fs::symlink_status(Path(name));
        EXPECT_EQ(Key(kKeyEnter), 1) << n;
        const std::string said = World::MessageLine(rows[n].line);
        EXPECT_EQ(f->world->statusText,
                  rows[n].line == World::kUnreadableSaveLine ? said + " " + name : said)
            << n;
        EXPECT_EQ(m.OpenLoadGame(), g) << n;
        EXPECT_EQ(f->world->pendingScenario, nullptr) << n;
        EXPECT_EQ(f->world->savedGames->Count(), static_cast<int>(std::size(rows))) << n;
        // Whatever stood there is left as it was.
        EXPECT_EQ(fs::symlink_status(Path(name)).type(), before.type()) << n;
    }
    EXPECT_EQ(ReadFile(Path(f->world->savedGames->At(0)->FileName())), damaged);
    EXPECT_EQ(fs::read_symlink(Path(f->world->savedGames->At(5)->FileName())), Path("nowhere"));
    // The status line shows on the load-game screen, and goes with it; DELETE of the refused
    // game takes its line too, while a line the screen did not say stays.
    Frame();
    EXPECT_EQ(Pixel(300, 12), f->world->statusColour);
    Key(kKeyEscape);
    EXPECT_STREQ(f->world->statusText, "");
    Key('l');
    g = m.OpenLoadGame();
    for (size_t n = 1; n < std::size(rows); ++n)
        Key(kKeyDown);
    Key(kKeyEnter);
    Click(g->ButtonOf(LoadGameScreen::kDelete));
    EXPECT_STREQ(f->world->statusText, "");
    f->world->SetStatusMessage("not the screen's", 0);
    for (size_t n = 1; n < std::size(rows); ++n)
        Key(kKeyUp);
    EXPECT_STREQ(f->world->statusText, "not the screen's");
    Key(kKeyDown);
    EXPECT_EQ(Key(kKeyEnter), 0);
    ASSERT_NE(f->world->pendingScenario, nullptr);
    EXPECT_STREQ(f->world->pendingScenario->FileName(), f->world->savedGames->At(1)->FileName());
    EXPECT_EQ(f->world->pendingScenario->briefingShown, 1);
    EXPECT_EQ(Requested(), static_cast<int>(GameMode::StartScenario));
}

TEST_F(MainMenuTest, EscThenDownInOneBatchClosesTheChildAndMovesTheMenu) {
    AddGame("one", GoodGame());
    MainMenuScreen& m = Menu();
    Key('l');
    ASSERT_NE(m.OpenLoadGame(), nullptr);
    Post(InputKind::Key, Point(), kKeyEscape);
    Post(InputKind::Key, Point(), kKeyDown);
    EXPECT_EQ(Frame(), 1);
    EXPECT_EQ(m.OpenLoadGame(), nullptr);
    EXPECT_EQ(m.Hovered(), 0);
}

TEST_F(MainMenuTest, TheLoadGameKnobScrollsTheListAndTheCursorShowsWhatCanBeClicked) {
    for (int n = 0; n < 20; ++n)
        AddGame(("game " + std::to_string(n)).c_str(), GoodGame());
    MainMenuScreen& m = Menu();
    Key('l');
    LoadGameScreen* g = m.OpenLoadGame();
    ASSERT_NE(g, nullptr);
    ScrollList& list = *g->List();
    ASSERT_EQ(list.count, 20);
    ASSERT_LT(list.visibleRows, 20);
    // The pointer is a hand over the buttons and the list, the arrow elsewhere.
    const struct {
        Point at;
        int shape;
    } places[] = {{g->ButtonOf(LoadGameScreen::kLoad)->Centre(), 34},
                  {g->ButtonOf(LoadGameScreen::kDelete)->Centre(), 34},
                  {g->ButtonOf(LoadGameScreen::kBack)->Centre(), 34},
                  {Point(250, 200), 34},
                  {Point(100, 100), 35},
                  {Point(320, 400), 35}};
    for (const auto& place : places) {
        Post(InputKind::MouseMove, place.at, 0);
        Frame();
        EXPECT_EQ(f->display.cursorShape, place.shape) << place.at.x << "," << place.at.y;
    }
    // Up on the first game stays there.
    Key(kKeyUp);
    EXPECT_EQ(list.selection, 0);
    // The knob dragged past the end of its track shows the last games.
    Button& knob = *g->ButtonOf(LoadGameScreen::kKnob);
    const Point grip = knob.Centre();
    Post(InputKind::MouseMove, grip, 0);
    Post(InputKind::ButtonDown, grip, 'L');
    Post(InputKind::MouseMove, grip + Point(0, 300), 0);
    Frame();
    EXPECT_EQ(list.top, list.count - list.visibleRows);
    Post(InputKind::ButtonUp, grip + Point(0, 300), 'L');
    Frame();
    EXPECT_EQ(knob.Bounds().origin.y, 249);
    // A click on the list's third line picks the game shown there.
    Click(Point(250, 133 + 2 + 2 * 12 + 6));
    EXPECT_EQ(list.selection, list.count - list.visibleRows + 2);
    // Up walks back one game.
    Key(kKeyUp);
    EXPECT_EQ(list.selection, list.count - list.visibleRows + 1);
    // Dragged back up, the list shows the first games again.
    Post(InputKind::MouseMove, knob.Centre(), 0);
    Post(InputKind::ButtonDown, knob.Centre(), 'L');
    Post(InputKind::MouseMove, Point(460, 0), 0);
    Post(InputKind::ButtonUp, Point(460, 0), 'L');
    Frame();
    EXPECT_EQ(list.top, 0);
    EXPECT_EQ(knob.Bounds().origin.y, 149);
    // A click on the knob where it stands changes nothing.
    EXPECT_EQ(Click(knob.Centre()), 1);
    EXPECT_EQ(m.OpenLoadGame(), g);
    EXPECT_EQ(list.top, 0);
    // A press beside the list and the buttons is refused, one on the list is silent, and the
    // knob released over itself is heard like any button.
    sounds.Clear();
    Click(Point(100, 100));
    EXPECT_EQ(sounds.refused, 1);
    Click(Point(250, 133 + 2 + 12 + 6));
    EXPECT_EQ(sounds.accepted, 0);
    Click(knob.Centre());
    EXPECT_EQ(sounds.refused, 1);
    EXPECT_EQ(sounds.accepted, 1);
    // Back leaves, heard, and keeps every game.
    Click(g->ButtonOf(LoadGameScreen::kBack));
    EXPECT_EQ(sounds.accepted, 2);
    EXPECT_EQ(m.OpenLoadGame(), nullptr);
    EXPECT_EQ(f->world->savedGames->Count(), 20);
    EXPECT_EQ(f->world->pendingScenario, nullptr);
}

TEST_F(MainMenuTest, EnterCarriesOutTheHighlightedItemAndAltF4Quits) {
    MainMenuScreen& m = Menu();
    Frame();
    f->world->requestedMode = 0;
    // The pointer is a hand over an enabled item, the arrow elsewhere and over a greyed one.
    for (const auto& [at, shape] :
         std::vector<std::pair<Point, int>>{{m.ItemButton(0)->Centre(), 34},
                                            {m.ItemButton(7)->Centre(), 34},
                                            {m.ItemButton(3)->Centre(), 35},
                                            {Point(20, 20), 35}}) {
        Post(InputKind::MouseMove, at, 0);
        Frame();
        EXPECT_EQ(f->display.cursorShape, shape) << at.y;
    }
    Post(InputKind::MouseMove, Point(20, 20), 0);
    Frame();
    // Nothing highlighted: Enter does nothing, silently; a press off the items is refused.
    sounds.Clear();
    EXPECT_EQ(Key(kKeyEnter), 1);
    EXPECT_EQ(Requested(), 0);
    Post(InputKind::ButtonDown, Point(20, 20), 'L');
    EXPECT_EQ(Frame(), 1);
    Post(InputKind::ButtonUp, Point(20, 20), 'L');
    EXPECT_EQ(Frame(), 1);
    EXPECT_EQ(sounds.accepted, 0);
    EXPECT_EQ(sounds.refused, 1);
    // Down highlights the first item, the tutorial, which Enter starts with the accept sound.
    Key(kKeyDown);
    EXPECT_EQ(m.Hovered(), 0);
    EXPECT_EQ(Key(kKeyEnter), 0);
    EXPECT_EQ(sounds.accepted, 1);
    EXPECT_EQ(sounds.refused, 1);
    EXPECT_EQ(Requested(), static_cast<int>(GameMode::StartScenario));
    ASSERT_NE(f->world->pendingScenario, nullptr);
    EXPECT_EQ(f->world->pendingScenario->missionNumber, Campaign::kTutorial);
    EXPECT_EQ(f->world->pendingScenario->colour, 1);
    f->world->requestedMode = 0;
    f->events.altDown = 1;
    EXPECT_EQ(Key(kKeyF4), 0);
    f->events.altDown = 0;
    EXPECT_EQ(Requested(), static_cast<int>(GameMode::Quit));
}

TEST_F(MainMenuTest, TheStatusLineIsABoxInItsColourFramedTwiceWithItsTextInside) {
    Menu();
    World& w = *f->world;
    Frame();
    const uint8_t bare = Pixel(8, 8), bareRight = Pixel(632, 17);
    // The box (10,10) 620 x 15, an outline two pixels out in its colour and one pixel out in
    // the colour's text colour; the text at (11, 22), cut at the box. Colour 0 is the default
    // (10), whose text is black.
    const struct {
        int colour, box, text;
        std::string line;
    } cases[] = {{3, 3, 254, "Ready"}, {0, 10, 0, "Ready"}, {5, 5, 16, std::string(150, 'W')}};
    for (const auto& c : cases) {
        w.SetStatusMessage(c.line.c_str(), c.colour);
        Frame();
        EXPECT_EQ(Pixel(8, 8), c.box) << c.colour;
        EXPECT_EQ(Pixel(631, 26), c.box) << c.colour;
        EXPECT_EQ(Pixel(9, 9), c.text) << c.colour;
        EXPECT_EQ(Pixel(630, 25), c.text) << c.colour;
        EXPECT_EQ(Pixel(10, 10), c.box) << c.colour;
        EXPECT_EQ(Pixel(629, 24), c.box) << c.colour;
        EXPECT_EQ(Pixel(632, 17), bareRight) << c.colour;
        EXPECT_NE(Pixel(7, 7), c.box) << c.colour;
        EXPECT_TRUE(Shows(*w.font, Point(11, 22), c.line, c.text, 10, 10, 629, 24)) << c.colour;
    }
    // An empty status shows no box.
    w.SetStatusMessage("", 3);
    Frame();
    EXPECT_EQ(Pixel(8, 8), bare);
}

TEST_F(MainMenuTest, ASavedGameRefusedOnItsWayBackReopensTheListWhileThereIsOne) {
    for (const bool games : {false, true}) {
        if (screen) {
            screen->Unload();
            screen.reset();
            menu = nullptr;
        }
        if (games) AddGame("kept", GoodGame());
        f->world->loadGameRefused = 1;
        f->world->SetStatusMessage(World::MessageLine(World::kDamagedSaveLine), 10);
        MainMenuScreen& m = Menu();
        EXPECT_EQ(f->world->loadGameRefused, 0) << games;
        EXPECT_EQ(m.OpenLoadGame() != nullptr, games) << games;
        // The refusal is the reopened list's line: it goes with the list.
        EXPECT_STREQ(f->world->statusText, World::MessageLine(World::kDamagedSaveLine)) << games;
        Key(kKeyEscape);
        EXPECT_EQ(f->world->statusText[0] == 0, games) << games;
    }
}

}  // namespace
