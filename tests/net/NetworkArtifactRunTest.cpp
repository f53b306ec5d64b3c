// Real programs on loopback with artifacts on the map (the set-up's default), each side played
// by its computer player: at each barrier the host pauses, the peers' last messages settle, and
// every machine writes its checksum and the listing of what it counted. The host scatters the
// artifacts, the guest builds them from the announcements with the host's effect values, and a
// pick-up has one winner: every machine holds the same artifacts at every barrier.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "screens/EndToEndGame.h"

// Several real programs at once on the wall clock: under the sanitizers they run too slowly to
// keep the timetable, so the runs are left to the optimised build.
#if defined(__SANITIZE_ADDRESS__)
#define QX_ARTIFACT_RUNS_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QX_ARTIFACT_RUNS_SANITIZED 1
#endif
#endif

namespace {

using e2e::GameFolder;
namespace fs = std::filesystem;

constexpr char kPause[] = "keydown CTRL\nkey P\nkeyup CTRL\n";
// The artifacts' list number in the checksum's listing.
constexpr char kArtifactList[] = "13";

std::string Options(int player, int port) {
    return "[OPTIONS]\nMOVIES=NO\nCHEAT=YES\nHOST=127.0.0.1\n[COMMUNICATIONS]\nPORT=" +
           std::to_string(port) + "\nBIND=127.0.0." + std::to_string(player) + "\n";
}

// Up to the battle with the local team handed to the computer player (Ctrl+A): the host opens
// its game, presses OK once the guest is in, then start until every report has come.
std::string ToBattle(int player) {
    std::string s = "wait 1000\ntext \"m\"\nawait 2 30000\nchar 1\n";
    if (player == 1)
        return s + "wait 500\ntext \"h\"\nwait 500\nkey RETURN\nwait 9000\n" +
               "key RETURN\nwait 1500\nawait 3 90000 RETURN\n";
    return s + "wait 5500\ntext \"j\"\nwait 500\nkey RETURN\nawait 3 90000\n";
}

// The host pauses at each barrier and every machine writes its checksum inside the pause.
std::string Barriers(int player, const std::vector<int>& at) {
    std::string s;
    int now = 0;
    for (size_t i = 0; i < at.size(); ++i) {
        const std::string name = "a" + std::to_string(i + 1);
        if (player == 1) {
            s += "wait " + std::to_string(at[i] - now) + "\n" + kPause + "wait 3000\nchecksum " +
                 name + "\nwait 3000\n" + kPause;
            now = at[i] + 6000;
        } else {
            s += "wait " + std::to_string(at[i] + 1500 - now) + "\nchecksum " + name + "\n";
            now = at[i] + 1500;
        }
    }
    return s + "wait 8000\nquit\nwait 10000\n";
}

// The listing's artifact lines of one machine at one barrier (sorted, as the listing is).
std::vector<std::string> ArtifactLines(const GameFolder& game, const std::string& name) {
    std::vector<std::string> lines;
    for (const auto& entry : fs::directory_iterator(game.path / "listing")) {
        const std::string file = entry.path().filename().string();
        if (file.rfind(name + "-", 0) != 0) continue;
        std::istringstream in(e2e::ReadText(entry.path()));
        for (std::string line; std::getline(in, line);)
            if (line.rfind(std::string(kArtifactList) + " ", 0) == 0) lines.push_back(line);
    }
    return lines;
}

// Left out of the suite until its join is sure under a loaded machine: in one full run of three
// the guest never reached the game. Run it with --gtest_also_run_disabled_tests.
TEST(NetworkArtifactRun, DISABLED_TwoMachinesHoldTheSameArtifactsAtEveryBarrier) {
    if (!e2e::ProgramsBuilt()) GTEST_SKIP() << "the programs are not built";
#ifdef QX_ARTIFACT_RUNS_SANITIZED
    GTEST_SKIP() << "left to the optimised build";
#endif
    const std::vector<int> at = {3000, 13000, 23000};
    TempDirectory scratch;
    const int port = 20000 + static_cast<int>(::getpid() % 20000);
    GameFolder host(scratch, "m1");
    GameFolder guest(scratch, "m2");
    ASSERT_TRUE(host.MakeAssets()) << host.File("mkassets.log");
    guest.LinkAssets(host);
    std::vector<std::string> scripts;
    for (GameFolder* game : {&host, &guest}) {
        const int player = game == &host ? 1 : 2;
        game->WriteOptions(Options(player, port));
        fs::create_directory(game->path / "listing");
        scripts.push_back(ToBattle(player) + Barriers(player, at));
    }
    std::vector<std::thread> programs;
    for (const GameFolder* game : {&host, &guest}) {
        std::string command = game->Command(scripts[programs.size()], GameFolder::Clock::Real, 120);
        // Every checksum also lists what it counted, for the artifacts' lines below.
        const std::string video = "SDL_VIDEODRIVER=";
        command.insert(command.find(video), "QX_CHECKSUM_LISTING=listing ");
        programs.emplace_back([command] {
            const int status = std::system(command.c_str());
            (void)status;
        });
    }
    for (std::thread& program : programs)
        program.join();
    EXPECT_EQ(host.ExitCode(), 0) << host.Errors();
    EXPECT_EQ(guest.ExitCode(), 0) << guest.Errors();
    size_t first = 0;
    size_t before = 0;
    for (size_t barrier = 1; barrier <= at.size(); ++barrier) {
        const std::string name = "a" + std::to_string(barrier);
        const std::string sum = host.Checksum(name);
        EXPECT_EQ(sum.size(), 17u) << name;
        EXPECT_EQ(guest.Checksum(name), sum) << name;
        const std::vector<std::string> held = ArtifactLines(host, name);
        EXPECT_EQ(ArtifactLines(guest, name), held) << name;
        if (barrier == 1) first = held.size();
        // Artifacts only go away, and a taken one is gone on both machines alike.
        if (barrier > 1) {
            EXPECT_LE(held.size(), before) << name;
        }
        before = held.size();
        std::cout << "barrier " << name << ": " << sum.substr(0, 16) << ", " << held.size()
                  << " artifacts\n";
    }
    // The host scattered them before the first barrier, and the guest heard of every one.
    EXPECT_GT(first, 0u);
}

}  // namespace
