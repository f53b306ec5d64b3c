// A machine lost in the middle of the battle, not inside a pause: three real programs on
// loopback, each side played by its computer player, and player 3 SIGKILLed while the units of
// every side move and fire, so that its last messages are still on their way. The survivors may
// each have received a different part of them; at both barriers after the loss they must agree.
// Long (five games of about three and a half minutes): outside the suite, run by
// scripts/network-lost-in-flight.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "net/BarrierGame.h"

namespace {

constexpr int kMachines = 3;
constexpr int kVictim = 3;
constexpr int kTimeoutSeconds = 360;

// Plays one game: the barrier b1 for a reference, the victim killed `killAfterMs` after every
// machine wrote it (the host lifts that pause 3 s after its own checksum, so well after it),
// then the barriers b2 and b3 among the survivors.
void RunKilledMidBattle(barrier::Game& game, const std::vector<int>& at, int killAfterMs) {
    const int port = barrier::FreePort();
    ASSERT_GT(port, 0) << "no free port";
    for (int n = 1; n <= kMachines; ++n) {
        game.games.push_back(
            std::make_unique<e2e::GameFolder>(game.scratch, "m" + std::to_string(n)));
        if (n == 1) {
            ASSERT_TRUE(game.games[0]->MakeAssets()) << game.games[0]->File("mkassets.log");
        } else {
            game.games.back()->LinkAssets(*game.games[0]);
        }
        game.games.back()->WriteOptions(barrier::Options(n, port));
        std::filesystem::create_directory(game.games.back()->path / "listing");
    }
    std::vector<std::thread> programs;
    for (int player = 1; player <= kMachines; ++player) {
        const e2e::GameFolder& folder = *game.games[static_cast<size_t>(player - 1)];
        std::string command = folder.Command(
            barrier::ToBattle(player, kMachines) + barrier::Barriers(player, at, "b"),
            e2e::GameFolder::Clock::Real, kTimeoutSeconds);
        const std::string video = "SDL_VIDEODRIVER=";
        command.insert(command.find(video), "QX_CHECKSUM_LISTING=listing ");
        // The shell becomes the program itself, so that its id is the program's.
        if (player == kVictim) {
            const std::string marker = "timeout " + std::to_string(kTimeoutSeconds) + " '";
            command.replace(command.find(marker), marker.size(), "exec '");
            command = "echo $$ > '" + (folder.path / "pid.txt").string() + "'; " + command;
        }
        programs.emplace_back([command] {
            const int status = std::system(command.c_str());
            (void)status;
        });
    }
    bool done = false;
    auto written = std::chrono::steady_clock::time_point::max();
    for (int tenth = 0; tenth < 10 * kTimeoutSeconds && !done; ++tenth) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (written == std::chrono::steady_clock::time_point::max()) {
            bool allWritten = true;
            for (const auto& folder : game.games)
                allWritten = allWritten && folder->Checksum("b1").size() == 17u;
            if (allWritten) written = std::chrono::steady_clock::now();
            continue;
        }
        if (std::chrono::steady_clock::now() - written < std::chrono::milliseconds(killAfterMs))
            continue;
        int pid = 0;
        std::istringstream(game.games[kVictim - 1]->File("pid.txt")) >> pid;
        done = pid > 0 && ::kill(pid, SIGKILL) == 0;
    }
    for (std::thread& program : programs)
        program.join();
    game.killed = done;
}

// The computer players fight from about a minute into the battle; the kill falls between 78 s
// and 106 s of it, at another moment in each game, and the survivors compare at 150 s and 165 s.
// What the host held at the barrier after the loss is printed: the wrecks (three or four are
// the lost team's factory pieces) and the hurt units of each side.
TEST(NetworkLostInFlight, DISABLED_SurvivorsOfAMidBattleKillAgreeAtTwoLaterBarriers) {
    if (!e2e::ProgramsBuilt()) GTEST_SKIP() << "the programs are not built";
#ifdef QX_BARRIER_RUNS_SANITIZED
    GTEST_SKIP() << "left to the optimised build";
#endif
    const std::vector<int> at = {15000, 150000, 165000};
    for (int killAfterMs : {60000, 67000, 74000, 81000, 88000}) {
        SCOPED_TRACE(testing::Message() << "killed " << killAfterMs << " ms after b1");
        barrier::Game game;
        RunKilledMidBattle(game, at, killAfterMs);
        const std::vector<std::string> sums = barrier::Agreed(game, at.size(), "b", kVictim);
        ASSERT_EQ(sums.size(), at.size());
        EXPECT_NE(sums[0], sums[1]) << "the game stood still";
        int wrecks = 0;
        int hurt[5] = {};
        for (const std::string& line : barrier::Listing(*game.games[0], "b2")) {
            std::istringstream in(line);
            long list = 0, idTeam = 0, serial = 0, kind = 0, first = 0, second = 0, third = 0;
            long x = 0, y = 0, damage = 0;
            if (!(in >> list >> idTeam >> serial >> kind >> first >> second >> third >> x >> y >>
                  damage))
                continue;
            if (list == 10) ++wrecks;
            if (list == 1 && damage > 0 && first >= 0 && first < 5) ++hurt[first];
        }
        std::cout << "killed " << killAfterMs << " ms after b1: at b2 " << wrecks
                  << " wrecks, hurt units by team " << hurt[1] << " " << hurt[2] << " " << hurt[3]
                  << " " << hurt[4] << "\n";
    }
}

}  // namespace
