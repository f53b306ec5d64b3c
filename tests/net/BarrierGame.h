#pragma once
// A network game of real programs on loopback, each side played by its computer player: the
// join, the barriers (the host pauses, the peers' last messages settle, every machine writes
// its checksum inside the pause) and the run itself, shared by the network runs.
#include <signal.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "screens/EndToEndGame.h"
#include "support/FreePort.h"

// Several real programs at once on the wall clock: under the sanitizers they run too slowly to
// keep the timetable, so the runs are left to the optimised build.
#if defined(__SANITIZE_ADDRESS__)
#define QX_BARRIER_RUNS_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QX_BARRIER_RUNS_SANITIZED 1
#endif
#endif

namespace barrier {

using e2e::GameFolder;

inline std::string Options(int player, int port) {
    return "[OPTIONS]\nMOVIES=NO\nCHEAT=YES\nHOST=127.0.0.1\n[COMMUNICATIONS]\nPORT=" +
           std::to_string(port) + "\nBIND=127.0.0." + std::to_string(player) + "\n";
}

// Up to the battle, the local team handed to the computer player (Ctrl+A, character 1) in the
// menu: the host opens its game and, once every guest is in, presses OK (the third guest starts
// it by itself) and then start until every report has come. A guest keeps pressing OK until
// the battle: a join asked for before the host listens is retried, and OK does nothing once
// linked. Each waits long enough for a loaded machine. With `markStart` the host waits 8 s
// more, captures the picture "start" half a second before its first press of start and
// "started" once in battle (a stall at the start waits for them), and every machine traces
// from the menu on (Ctrl+L), so that what its start did is told.
inline std::string ToBattle(int player, int machines, bool markStart = false) {
    std::string s = "wait 1000\ntext \"m\"\nawait 2 60000\nchar 1\n";
    if (markStart) s += "char 12\n";
    if (player == 1) {
        s += "wait 500\ntext \"h\"\nwait 500\nkey RETURN\nwait " +
             std::to_string(4000 + 2500 * machines) + "\n";
        if (machines < 4) s += "key RETURN\n";
        // Time for a loaded machine's guests to report before the mark.
        s += markStart ? "wait 9500\ncapture start\nwait 500\n" : "wait 1500\n";
        s += "await 3 150000 RETURN\n";
        return markStart ? s + "capture started\n" : s;
    }
    return s + "wait " + std::to_string(1500 + 2000 * player) +
           "\ntext \"j\"\nwait 500\nkey RETURN\nawait 3 150000 RETURN\n";
}

// A script line one machine runs at a time of the battle (ms from its start).
struct Act {
    int player;
    int atMs;
    std::string line;
};

// Every machine spares its own factory (`spare`) from early in the battle on, asking again
// while a slow start may not have made it yet: only the script's `destroy` or a machine's loss
// then beats a side, so that a run plays out its own order on a loaded machine too.
inline std::vector<Act> SpareEveryFactory(int machines) {
    std::vector<Act> acts;
    for (int player = 1; player <= machines; ++player)
        for (int atMs : {1000, 5000, 20000})
            acts.push_back({player, atMs, "spare " + std::to_string(player)});
    return acts;
}

// The barriers named PREFIX1, PREFIX2..., timed from the battle's start, and this player's
// acts among them. Every machine asks for each barrier's pause (`pause`): the one that answers
// for the game makes it, so that a barrier still pauses once the host is beaten. Every machine
// writes its checksum inside the pause (a machine running ahead of the pauser has its request
// held until the pause reaches it), and the pauser lifts it (`resume`). The checksum comes
// before any act of the same moment: a kill run's victim awaits the pause's end right after it.
inline std::string Barriers(int player, const std::vector<int>& at, const std::string& prefix,
                            const std::vector<Act>& acts = {}) {
    std::vector<std::pair<int, std::string>> timeline;
    for (size_t i = 0; i < at.size(); ++i) {
        timeline.emplace_back(at[i], "pause\n");
        timeline.emplace_back(at[i] + 1500, "checksum " + prefix + std::to_string(i + 1) + "\n");
        timeline.emplace_back(at[i] + 6000, "resume\n");
    }
    for (const Act& act : acts)
        if (act.player == player) timeline.emplace_back(act.atMs, act.line + "\n");
    std::stable_sort(timeline.begin(), timeline.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::string s;
    int now = 0;
    for (const auto& [time, lines] : timeline) {
        if (time > now) s += "wait " + std::to_string(time - now) + "\n";
        now = std::max(now, time);
        s += lines;
    }
    // Nobody leaves before all have written: a machine that leaves hands its team on.
    return s + "wait 8000\nquit\nwait 10000\n";
}

// The lines of one machine's listing for a barrier (empty without listings).
inline std::vector<std::string> Listing(const GameFolder& folder, const std::string& name) {
    std::vector<std::string> lines;
    const std::filesystem::path dir = folder.path / "listing";
    if (!std::filesystem::is_directory(dir)) return lines;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().filename().string().rfind(name + "-", 0) != 0) continue;
        std::istringstream in(e2e::ReadText(entry.path()));
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
    }
    return lines;
}

// The units (not factories) team `team` has in a machine's listing at a barrier.
inline int UnitsOf(const GameFolder& folder, const std::string& name, int team) {
    int units = 0;
    for (const std::string& line : Listing(folder, name)) {
        std::istringstream in(line);
        long list = 0, idTeam = 0, serial = 0, kind = 0, first = 0;
        in >> list >> idTeam >> serial >> kind >> first;
        if (list == 1 && kind != 4 && first == team) ++units;
    }
    return units;
}

// A player's program SIGKILLed as soon as every machine not yet killed has written `barrier`
// (1 the first), inside that barrier's pause. Player 0: the one `among` those given with the
// most units there in the host's listing (the last of equals), so that the lost team has units
// to hand on.
struct Kill {
    int player;
    size_t barrier;
    std::vector<int> among = {};
};

// A player's program stopped (SIGSTOP) for `forMs` once `afterMs` have passed since every
// machine wrote `barrier`: it reads and sends nothing meanwhile, and its peers' words wait on
// its links, as on a stalled link. Barrier 0: from the host's mark before it starts the
// battle (ToBattle's `markStart`), and not before the host is in battle (a press of start is
// refused until every guest has reported, which a loaded machine may do late), so that the
// machine comes to its start late; at most kLongestStartStallMs, which keeps its links up.
struct Stall {
    static constexpr int kLongestStartStallMs = 8000;
    int player;
    size_t barrier;
    int afterMs;
    int forMs;
};

// The folders of one game after it ran, and the kills done (their players named).
struct Game {
    TempDirectory scratch;
    std::vector<std::unique_ptr<GameFolder>> games;
    std::vector<Kill> killed;
};

// After which barrier `player` writes nothing (0: never killed).
inline size_t KilledAfter(const std::vector<Kill>& kills, int player) {
    for (const Kill& kill : kills)
        if (kill.player == player) return kill.barrier;
    return 0;
}

// The player among `among` with the most units at a barrier, by the host's listing.
inline int MostUnits(const Game& game, const std::string& name, const std::vector<int>& among) {
    int best = among.empty() ? 0 : among.front();
    for (int player : among)
        if (UnitsOf(*game.games[0], name, player) >= UnitsOf(*game.games[0], name, best))
            best = player;
    return best;
}

// The program's id its shell wrote (0 while none).
inline int ProgramId(const Game& game, int player) {
    int pid = 0;
    std::istringstream(game.games[static_cast<size_t>(player - 1)]->File("pid.txt")) >> pid;
    return pid;
}

// Plays one game of `machines` programs, the kills done in their order, and the stalls. With
// `listings`, each checksum also writes its listing into the folder's `listing` directory. Each
// program ends by its script or by `timeoutSeconds`, and the run with the last of them: a game
// that stood still ends all the same, for the verdict to name what stood.
inline void Run(Game& game, int machines, const std::vector<int>& at, const std::string& prefix,
                const std::vector<Kill>& kills, int timeoutSeconds,
                const std::vector<Act>& acts = {}, bool listings = false,
                const std::vector<Stall>& stalls = {}) {
    for (int n = 1; n <= machines; ++n) {
        game.games.push_back(std::make_unique<GameFolder>(game.scratch, "m" + std::to_string(n)));
        if (n == 1) {
            ASSERT_TRUE(game.games[0]->MakeAssets()) << game.games[0]->File("mkassets.log");
        } else {
            game.games.back()->LinkAssets(*game.games[0]);
        }
        if (listings) std::filesystem::create_directory(game.games.back()->path / "listing");
    }
    // Taken last, just before the host listens on it: the kernel hands a free port out again.
    const int port = FreePort(machines);
    ASSERT_GT(port, 0) << "no free port";
    for (int n = 1; n <= machines; ++n)
        game.games[static_cast<size_t>(n - 1)]->WriteOptions(Options(n, port));
    std::vector<std::thread> programs;
    std::atomic<int> ended{0};
    const bool markStart = std::any_of(stalls.begin(), stalls.end(),
                                       [](const Stall& stall) { return stall.barrier == 0; });
    for (int player = 1; player <= machines; ++player) {
        const GameFolder& folder = *game.games[static_cast<size_t>(player - 1)];
        std::string command = folder.Command(
            ToBattle(player, machines, markStart) + Barriers(player, at, prefix, acts),
            GameFolder::Clock::Real, timeoutSeconds);
        if (listings) {
            const std::string video = "SDL_VIDEODRIVER=";
            command.insert(command.find(video), "QX_CHECKSUM_LISTING=listing ");
        }
        // Any may be killed: the shell under the time limit becomes the program itself, so that
        // the id it writes is the program's.
        const std::string marker = "timeout " + std::to_string(timeoutSeconds) + " '";
        command.replace(
            command.find(marker), marker.size(),
            marker.substr(0, marker.size() - 1) + "sh -c 'echo $$ > pid.txt; exec \"$0\"' '");
        programs.emplace_back([command, &ended] {
            const int status = std::system(command.c_str());
            (void)status;
            ++ended;
        });
    }
    std::thread stalling([&game, &stalls, &ended, &prefix, machines] {
        for (const Stall& stall : stalls) {
            const std::string name = prefix + std::to_string(stall.barrier);
            auto written = [&] {
                if (stall.barrier == 0)
                    return std::filesystem::exists(game.games[0]->path / "captures" / "start.png");
                for (int player = 1; player <= machines; ++player)
                    if (game.games[static_cast<size_t>(player - 1)]->Checksum(name).size() != 17u)
                        return false;
                return true;
            };
            while (!written() && ended.load() == 0)
                std::this_thread::sleep_for(
                    std::chrono::milliseconds(stall.barrier == 0 ? 20 : 100));
            const int pid = ProgramId(game, stall.player);
            if (ended.load() != 0 || pid <= 0) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(stall.afterMs));
            if (::kill(pid, SIGSTOP) != 0) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(stall.forMs));
            const std::filesystem::path started = game.games[0]->path / "captures" / "started.png";
            for (int waited = stall.forMs;
                 stall.barrier == 0 && waited < Stall::kLongestStartStallMs &&
                 !std::filesystem::exists(started) && ended.load() == 0;
                 waited += 20)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            ::kill(pid, SIGCONT);
        }
    });
    // Not past the first program's end: a victim that never came to be killed is the
    // verdict's to name.
    while (game.killed.size() < kills.size() &&
           ended.load() <= static_cast<int>(game.killed.size())) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        // Only once every machine left has written the barrier: a machine that notices the
        // loss before it writes has already handed the lost team on.
        Kill kill = kills[game.killed.size()];
        const std::string name = prefix + std::to_string(kill.barrier);
        bool allWritten = true;
        for (int player = 1; player <= machines; ++player) {
            const size_t gone = KilledAfter(game.killed, player);
            const GameFolder& folder = *game.games[static_cast<size_t>(player - 1)];
            if (gone == 0 || gone >= kill.barrier)
                allWritten = allWritten && folder.Checksum(name).size() == 17u;
        }
        if (!allWritten) continue;
        if (kill.player == 0) kill.player = MostUnits(game, name, kill.among);
        if (kill.player < 1 || kill.player > machines) break;
        const int pid = ProgramId(game, kill.player);
        if (pid > 0 && ::kill(pid, SIGKILL) == 0) game.killed.push_back(kill);
    }
    for (std::thread& program : programs)
        program.join();
    stalling.join();
}

// The units each team 0 .. 4 had made by a barrier, from the records line of a machine's
// listing; empty without one.
inline std::vector<long> UnitsMade(const GameFolder& folder, const std::string& name) {
    for (const std::string& line : Listing(folder, name)) {
        if (line.rfind("records ", 0) != 0) continue;
        std::istringstream in(line.substr(8));
        std::vector<long> made;
        for (long losses = 0, units = 0, effort = 0, cost = 0;
             in >> losses >> units >> effort >> cost;)
            made.push_back(units);
        return made;
    }
    return {};
}

// Where two listings differ, for the failure's message: the lines only one side holds.
inline std::string ListingDifference(const std::vector<std::string>& host,
                                     const std::vector<std::string>& other) {
    std::string text;
    int shown = 0;
    for (const std::string& line : host)
        if (std::find(other.begin(), other.end(), line) == other.end() && shown++ < 30)
            text += "  host only: " + line + "\n";
    for (const std::string& line : other)
        if (std::find(host.begin(), host.end(), line) == host.end() && shown++ < 60)
            text += "  peer only: " + line + "\n";
    return text;
}

// Whether a machine's listing at a barrier holds the team's factory.
inline bool ListsFactory(const GameFolder& folder, const std::string& name, int team) {
    for (const std::string& line : Listing(folder, name)) {
        std::istringstream in(line);
        long list = 0, idTeam = 0, serial = 0, kind = 0, first = 0;
        in >> list >> idTeam >> serial >> kind >> first;
        if ((list == 1 || list == 2) && kind == 4 && first == team) return true;
    }
    return false;
}

// Whether a player still played at a barrier: with listings, its own factory stood in its
// state (a beaten machine stands on the results screen and writes the state it was beaten
// in); without, whether it wrote the barrier at all.
inline bool Played(const GameFolder& folder, const std::string& name, int player) {
    if (folder.Checksum(name).size() != 17u) return false;
    return !std::filesystem::is_directory(folder.path / "listing") ||
           ListsFactory(folder, name, player);
}

// Every program left ended well; at each barrier every machine that still played wrote it and
// agrees with the lowest-numbered of them (a killed one writes up to its kill's barrier and
// nothing after; a beaten machine's results screen keeps the state it was beaten in, and is not
// compared), and each machine's world moved on between two barriers it played at. A barrier at
// which fewer than two sides still play compares nothing: the computer players may end the
// battle early on a loaded machine. At least `compared` barriers past the last kill must
// compare (by default all of them). A failure names what stood: the barriers by which the
// battle was over, the machine still playing that wrote nothing, the one whose world stood
// still, a kill of the `kills` the run asked for that was not done. The reference checksums
// by barrier (empty where nothing compared).
inline std::vector<std::string> Agreed(const Game& game, size_t barriers, const std::string& prefix,
                                       size_t kills, size_t compared = SIZE_MAX) {
    EXPECT_EQ(game.killed.size(), kills) << "not every kill was done";
    const int machines = static_cast<int>(game.games.size());
    auto folder = [&](int player) -> const GameFolder& {
        return *game.games[static_cast<size_t>(player - 1)];
    };
    for (int player = 1; player <= machines; ++player) {
        if (KilledAfter(game.killed, player) == 0) {
            EXPECT_EQ(folder(player).ExitCode(), 0)
                << "player " << player << ": " << folder(player).Errors();
        }
    }
    size_t lastKill = 0;
    for (const Kill& kill : game.killed)
        lastKill = std::max(lastKill, kill.barrier);
    std::vector<std::string> sums;
    std::string over;
    size_t comparedPast = 0;
    // Who was seen beaten: a beaten machine may write nothing more (no pause reaches it).
    std::vector<bool> beaten(static_cast<size_t>(machines) + 1, false);
    for (size_t barrier = 1; barrier <= barriers; ++barrier) {
        const std::string name = prefix + std::to_string(barrier);
        int reference = 0, playing = 0;
        for (int player = machines; player >= 1; --player) {
            if (!Played(folder(player), name, player)) continue;
            reference = player;
            ++playing;
        }
        // One side left has won: its battle ends, and nothing is left to compare.
        if (playing < 2 && machines > 1) {
            over += " " + name +
                    (reference ? " (only player " + std::to_string(reference) + ")"
                               : std::string(" (nobody)"));
            std::cout << "the battle was over by " << name << "\n";
            sums.emplace_back();
            continue;
        }
        if (barrier > lastKill) ++comparedPast;
        const std::string sum = folder(reference).Checksum(name);
        for (int player = 1; player <= machines; ++player) {
            const GameFolder& peer = folder(player);
            const std::string own = peer.Checksum(name);
            const size_t killedAfter = KilledAfter(game.killed, player);
            if (killedAfter != 0 && barrier > killedAfter) {
                EXPECT_EQ(own, "") << "the killed player " << player << " wrote " << name;
            } else if (own.empty()) {
                if (!beaten[static_cast<size_t>(player)])
                    ADD_FAILURE() << "player " << player << " wrote no " << name
                                  << " (its pause never came or never settled)";
            } else if (Played(peer, name, player)) {
                EXPECT_EQ(own, sum)
                    << "player " << player << " at " << name << " against player " << reference
                    << "\n"
                    << ListingDifference(Listing(folder(reference), name), Listing(peer, name));
            } else {
                beaten[static_cast<size_t>(player)] = true;
                std::cout << "player " << player << " was beaten by " << name << "\n";
            }
            const std::string before = prefix + std::to_string(barrier - 1);
            if (barrier > 1 && !own.empty() && Played(peer, name, player) &&
                Played(peer, before, player)) {
                EXPECT_NE(own, peer.Checksum(before))
                    << "player " << player << ": the world stood still from " << before << " to "
                    << name;
            }
        }
        sums.push_back(sum.substr(0, 16));
        std::cout << machines << " machines, barrier " << name << " (player " << reference
                  << "): " << sum;
    }
    EXPECT_GE(comparedPast, std::min(compared, barriers - std::min(lastKill, barriers)))
        << "too few barriers compared two sides still playing; the battle was over by" << over;
    return sums;
}

}  // namespace barrier
