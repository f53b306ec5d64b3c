// Two real programs on one machine, each on its own loopback address and in its own folder,
// play one game: host and join, each picks a colour in the set-up, the host starts; the host
// pauses and both write the digest of the state they hold; unpaused, the guest destroys its
// factory: the host wins into the table, the guest gets the prompt that leads only to the menu.
// They run on the real clock; where one machine's step must follow the other's, it awaits
// the battle's state the other's step brings about.
#include "screens/EndToEndGame.h"
#include "support/FreePort.h"
#include "support/Sanitized.h"

namespace {

using e2e::GameFolder;

// Both machines on one port of their own from the kernel, so that parallel runs of the suite
// do not meet this game. The guest has never joined: no host is stored.
std::string Options(int player, int port) {
    return "[OPTIONS]\nMOVIES=NO\n[COMMUNICATIONS]\nPORT=" + std::to_string(port) +
           "\nBIND=127.0.0." + std::to_string(player) + "\n";
}

// Up to the battle: the host opens its game, and once the guest has joined takes both into
// the set-up with OK; each picks a colour there, and the host presses start until the guest's
// report has come (a press before is refused). The set-up reaches a loaded guest late, so the
// guest clicks its colour once a second until the battle (the join screen has nothing there,
// and a second pick is the first again), and the host gives it time to before starting. The
// guest first presses Enter on the empty join field, which connects nowhere, then types the
// host's address without a click and presses Enter once.
std::string ToBattle(bool host) {
    std::string s = "wait 1000\ntext \"m\"\nawait 2 30000\n";
    if (host)
        return s +
               "wait 500\ntext \"h\"\nwait 500\nkey RETURN\nwait 5000\nkey RETURN\nwait 1500\n"
               "move 290 289\nwait 100\nclick L 290 289\nwait 6500\nawait 3 60000 RETURN\n";
    return s +
           "wait 3000\ntext \"j\"\nwait 500\nkey RETURN\nwait 300\ntext \"127.0.0.1\"\n"
           "key RETURN\nwait 2000\nmove 355 289\n"
           "await 3 60000 click L 355 289\n";
}

constexpr char kPause[] = "keydown CTRL\nkey P\nkeyup CTRL\n";

TEST(FrontEndNetworkRun, HostAndGuestAgreeWhilePausedAndEndWithTableAndPrompt) {
    QX_LONG_RUN_OPTIMISED_ONLY();
    if (!e2e::ProgramsBuilt()) GTEST_SKIP() << "the programs are not built";
    TempDirectory scratch;
    GameFolder host(scratch, "host"), guest(scratch, "guest");
    ASSERT_TRUE(host.MakeAssets()) << host.File("mkassets.log");
    guest.LinkAssets(host);
    const int port = FreePort(2);
    ASSERT_GT(port, 0) << "no free port";
    host.WriteOptions(Options(1, port));
    guest.WriteOptions(Options(2, port));
    // The machines enter the battle and see its play begin each at its own moment, the slower
    // one seconds later under load: the guest waits for the host's pause to write its digest,
    // and for play again to destroy its factory, which no click or key can do while paused.
    const std::string hostScript = ToBattle(true) + "await running 30000\nwait 1000\n" + kPause +
                                   "wait 1500\nchecksum paused\nwait 3500\n" + kPause +
                                   "await 6 30000\n"
                                   "wait 3000\n"
                                   "capture table\n"
                                   "wait 100\n"
                                   "text \"host\"\n"
                                   "key RETURN\n"
                                   "wait 300\n"
                                   "key RETURN\n"
                                   "await 2 5000\n"
                                   "wait 300\n" +
                                   e2e::kOutFromMenu;
    const std::string guestScript = ToBattle(false) +
                                    "await running 30000\n"
                                    "await paused 30000\n"
                                    "checksum paused\n"
                                    "await running 30000\n"
                                    "wait 500\n"
                                    "key H\n"
                                    "wait 500\n"
                                    "click L 270 240\n"
                                    "wait 300\n"
                                    "keydown CONTROL\n"
                                    "key K\n"
                                    "keyup CONTROL\n"
                                    "await 6 30000\n"
                                    "wait 1000\n"
                                    "capture prompt\n"
                                    "wait 100\n"
                                    // "Go on" is struck out: Enter leads to the menu.
                                    "key RETURN\n"
                                    "await 2 5000\n"
                                    "wait 300\n" +
                                    e2e::kOutFromMenu;
    e2e::RunTogether({&host, &guest}, {hostScript, guestScript}, GameFolder::Clock::Real, 240);
    // Each names the other's errors too: one machine's fault shows as the other's timeout.
    ASSERT_EQ(host.ExitCode(), 0) << "host: " << host.Errors() << "guest: " << guest.Errors();
    ASSERT_EQ(guest.ExitCode(), 0) << "guest: " << guest.Errors() << "host: " << host.Errors();
    // Both wrote the state they held while paused, and the two agree.
    EXPECT_EQ(host.Checksum("paused").find_first_not_of("0123456789abcdef"), 16u);
    EXPECT_EQ(guest.Checksum("paused"), host.Checksum("paused"));
    EXPECT_EQ(host.File("Assets/score.dat").substr(0, 5), "host\n") << "no table on the host";
    EXPECT_FALSE(guest.Capture("prompt").empty());
    // The colours picked: blue for the host, yellow for the guest.
    EXPECT_NE(host.File("QX.INI").find("COLOR=2"), std::string::npos);
    EXPECT_NE(guest.File("QX.INI").find("COLOR=3"), std::string::npos);
    // The host the guest typed is kept.
    EXPECT_NE(guest.File("QX.INI").find("HOST=127.0.0.1\n"), std::string::npos);
}

}  // namespace
