// Real programs on loopback, each side played by its computer player so that everybody builds,
// mines and fights: at each barrier the host pauses, the peers' last messages settle, and every
// machine writes the checksum of the state it holds; all must agree. A machine killed after the
// first barrier leaves the others agreeing at every later one.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/types.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "screens/EndToEndGame.h"

namespace {

using e2e::GameFolder;

constexpr char kPause[] = "keydown CTRL\nkey P\nkeyup CTRL\n";

std::string Options(int player, int port) {
    return "[OPTIONS]\nMOVIES=NO\nCHEAT=YES\nHOST=127.0.0.1\n[COMMUNICATIONS]\nPORT=" +
           std::to_string(port) + "\nBIND=127.0.0." + std::to_string(player) + "\n";
}

// Up to the battle, the local team handed to the computer player (Ctrl+A, character 1) in the
// menu: the host opens its game and, once every guest is in, presses OK (the third guest starts
// it by itself) and then start until every report has come.
std::string ToBattle(int player, int machines) {
    std::string s = "wait 1000\ntext \"m\"\nawait 2 30000\nchar 1\n";
    if (player == 1) {
        s += "wait 500\ntext \"h\"\nwait 500\nkey RETURN\nwait " +
             std::to_string(4000 + 2500 * machines) + "\n";
        if (machines < 4) s += "key RETURN\n";
        return s + "wait 1500\nawait 3 90000 RETURN\n";
    }
    return s + "wait " + std::to_string(1500 + 2000 * player) +
           "\ntext \"j\"\nwait 500\nkey RETURN\nawait 3 90000\n";
}

// The barriers, timed from the battle's start: the host pauses at each, every machine writes
// its checksum inside the pause, the host lifts it.
std::string Barriers(int player, const std::vector<int>& at, int killedAfter = -1) {
    std::string s;
    int now = 0;
    for (size_t i = 0; i < at.size(); ++i) {
        const int pauseAt = at[i];
        if (player == 1) {
            s += "wait " + std::to_string(pauseAt - now) + "\n" + kPause;
            s += "wait 3000\nchecksum b" + std::to_string(i + 1) + "\nwait 3000\n" + kPause;
            now = pauseAt + 6000;
        } else {
            s += "wait " + std::to_string(pauseAt + 3000 - now) + "\nchecksum b" +
                 std::to_string(i + 1) + "\n";
            now = pauseAt + 3000;
        }
        (void)killedAfter;
    }
    // Nobody leaves before all have written: a machine that leaves hands its team on.
    return s + "wait 8000\nquit\nwait 10000\n";
}

struct Machines {
    explicit Machines(int machines) : port(20000 + static_cast<int>(::getpid() % 20000)) {
        for (int n = 1; n <= machines; ++n)
            games.push_back(std::make_unique<GameFolder>(scratch, "m" + std::to_string(n)));
    }
    bool Prepare() {
        if (!games[0]->MakeAssets()) return false;
        for (size_t i = 0; i < games.size(); ++i) {
            if (i > 0) games[i]->LinkAssets(*games[0]);
            games[i]->WriteOptions(Options(static_cast<int>(i) + 1, port));
        }
        return true;
    }
    std::string Checksum(int player, int barrier) const {
        return games[static_cast<size_t>(player - 1)]->Checksum("b" + std::to_string(barrier));
    }
    TempDirectory scratch;
    const int port;
    std::vector<std::unique_ptr<GameFolder>> games;
};

TEST(NetworkBarrierRun, TwoComputerPlayersAgreeAtThreeBarriers) {
    if (!e2e::ProgramsBuilt()) GTEST_SKIP() << "the programs are not built";
    Machines run(2);
    ASSERT_TRUE(run.Prepare()) << run.games[0]->File("mkassets.log");
    const std::vector<int> at = {20000, 45000, 70000};
    std::vector<std::string> scripts;
    std::vector<const GameFolder*> folders;
    for (int player = 1; player <= 2; ++player) {
        scripts.push_back(ToBattle(player, 2) + Barriers(player, at));
        folders.push_back(run.games[static_cast<size_t>(player - 1)].get());
    }
    e2e::RunTogether(folders, scripts, GameFolder::Clock::Real, 200);
    for (int player = 1; player <= 2; ++player)
        ASSERT_EQ(run.games[static_cast<size_t>(player - 1)]->ExitCode(), 0)
            << "player " << player << ": " << run.games[static_cast<size_t>(player - 1)]->Errors();
    for (int barrier = 1; barrier <= 3; ++barrier) {
        const std::string host = run.Checksum(1, barrier);
        EXPECT_EQ(host.size(), 17u) << "barrier " << barrier;
        EXPECT_EQ(run.Checksum(2, barrier), host) << "barrier " << barrier;
        std::cout << "barrier " << barrier << ": " << host;
    }
}

}  // namespace
