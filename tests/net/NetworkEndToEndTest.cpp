// Four real programs on one machine, each on its own loopback address and in its own folder,
// meet through the host and join screen, set up one game, start and pause it; each then writes
// the digest of the state it holds, and all four must agree. The processes run on the real clock:
// the fixed-step clock would let each one race through its script at its own pace.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "screens/EndToEndGame.h"
#include "support/FreePort.h"
#include "support/Sanitized.h"
#include "support/TempDirectory.h"

namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The guests join once the host listens; the host, once they are all in, starts the game,
// pressing again until every guest's report has come (a press before is refused). Each waits
// for play to begin (a pause asked for before is refused), one guest then pauses the game for
// everybody, each writes its digest well into the pause (every machine tells the others its own
// units' states when it sees the pause, and a loaded machine sees it late), and nobody leaves
// before all have written, since a machine that leaves hands its team to another.
std::string ScriptFor(int player) {
    std::string s = "wait 1000\ntext \"m\"\nawait 2 30000\n";
    if (player == 1)
        s += "wait 500\ntext \"h\"\nwait 500\nkey RETURN\nwait 15000\nawait 3 120000 RETURN\n";
    else
        s += "wait 4000\ntext \"j\"\nwait 500\nkey RETURN\nawait 3 120000\n";
    s += "await running 120000\n";
    if (player == 2) s += "wait 3000\nkeydown CTRL\nkey P\nkeyup CTRL\n";
    s += "await paused 60000\nwait 8000\nchecksum net\nwait 20000\nquit\nwait 10000\n";
    return s;
}

TEST(NetworkEndToEnd, FourProgramsJoinOneGameAndStartFromTheSameState) {
    QX_LONG_RUN_OPTIMISED_ONLY();
    const fs::path maker = fs::path(QX_BINARY_DIR) / "qx-mkassets";
    const fs::path binary = fs::path(QX_BINARY_DIR) / "quarnex";
    if (!fs::exists(maker) || !fs::exists(binary)) GTEST_SKIP() << "the programs are not built";
    TempDirectory directory;
    const fs::path root(directory.Path());
    e2e::GameFolder made(directory, "assets");
    ASSERT_TRUE(made.MakeAssets()) << made.File("mkassets.log");
    const fs::path assets = made.path;
    // A port of its own per run from the kernel, so that parallel runs of the suite, and the
    // connections other programs make meanwhile, do not meet this game.
    const int port = FreePort(4);
    ASSERT_GT(port, 0) << "no free port";
    std::vector<std::thread> players;
    std::array<int, 4> exitCodes{-1, -1, -1, -1};
    for (int n = 1; n <= 4; ++n) {
        const fs::path game = root / ("net" + std::to_string(n));
        fs::create_directories(game / "captures");
        fs::create_directory_symlink(assets / "Assets", game / "Assets");
        fs::create_directory_symlink(assets / "volumes", game / "volumes");
        std::ofstream(game / "QX.INI")
            << "[OPTIONS]\nMOVIES=NO\nHOST=127.0.0.1\n"
            << "[COMMUNICATIONS]\nPORT=" << port << "\nBIND=127.0.0." << n << "\n";
        std::ofstream(game / "script.txt") << ScriptFor(n);
        const std::string command =
            "cd '" + game.string() +
            "' && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy QX_SCRIPT=script.txt "
            "QX_CAPTURE=captures timeout 240 '" +
            binary.string() + "' > stdout.txt 2> stderr.txt";
        players.emplace_back([command, &exitCodes, n] {
            const int status = std::system(command.c_str());
            exitCodes[n - 1] = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        });
    }
    for (std::thread& player : players)
        player.join();
    // Every player's end is told before any digest is read: one that stopped early leaves the
    // others waiting, and only its own error says why.
    for (int n = 1; n <= 4; ++n) {
        const fs::path game = root / ("net" + std::to_string(n));
        EXPECT_EQ(exitCodes[n - 1], 0) << "player " << n << ": " << ReadText(game / "stderr.txt");
    }
    if (HasFailure()) return;
    std::string first;
    for (int n = 1; n <= 4; ++n) {
        const fs::path game = root / ("net" + std::to_string(n));
        const std::string digest = ReadText(game / "captures" / "net.txt");
        ASSERT_EQ(digest.size(), 17u) << "player " << n << " wrote no digest";
        if (n == 1) first = digest;
        EXPECT_EQ(digest, first) << "player " << n;
    }
}

}  // namespace
