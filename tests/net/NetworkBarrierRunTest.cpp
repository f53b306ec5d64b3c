// Real programs on loopback, each side played by its computer player so that everybody builds,
// mines and fights: at each barrier the host pauses, the peers' last messages settle, and every
// machine writes the checksum of the state it holds; all must agree. A machine killed after the
// first barrier leaves the others agreeing at every later one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "net/BarrierGame.h"
#include "objects/CommandBuffer.h"
#include "world/PeerSlot.h"

namespace {

// The most a held word kept waiting behind it on the machine of `folder`, in bytes, by its trace
// (-1 when no wait ended there).
long MostHeld(const barrier::GameFolder& folder) {
    std::istringstream in(folder.File("zvd.out"));
    long most = -1;
    for (std::string line; std::getline(in, line);) {
        const size_t at = line.find(" ended: ");
        if (line.rfind("Held word of player ", 0) == 0 && at != std::string::npos)
            most = std::max(most, std::stol(line.substr(at + 8)));
    }
    return most;
}

// The weapon player 2's crafted factory shots named, by its own trace: its reload at the
// speed played, how many shots of a turret of it fly at once there, and the hardpoints that
// take it. False when the factory never shot.
struct CraftedShots {
    char clan = 0, role = 0;
    int reloadMs = 0, inFlight = 0, taking = 0;
};
bool ReadCraftedShots(const barrier::GameFolder& guest, CraftedShots& shots) {
    const std::string trace = guest.File("zvd.out");
    const size_t told = trace.find("Crafted factory shots of weapon ");
    return told != std::string::npos &&
           std::sscanf(trace.c_str() + told,
                       "Crafted factory shots of weapon %c%c, reloading in %d ms at the speed "
                       "played, %d in flight at once a turret, %d hardpoints",
                       &shots.clan, &shots.role, &shots.reloadMs, &shots.inFlight,
                       &shots.taking) == 5;
}

// The host's judgements of the hits (kind 7) of player 2's factory, in its order: the battle ms
// of each and whether it was taken. Refusals of other players' hits are counted apart.
std::vector<std::pair<long, bool>> FactoryHitsOfPlayerTwo(const barrier::GameFolder& host,
                                                          int& refusedOthers) {
    std::vector<std::pair<long, bool>> hits;
    refusedOthers = 0;
    std::istringstream trace(host.File("zvd.out"));
    for (std::string line; std::getline(trace, line);) {
        const bool fromGuest = line.find("(player 2)") != std::string::npos;
        const bool refusal = line.rfind("Refused command kind 7 ", 0) == 0;
        if (refusal && !fromGuest) ++refusedOthers;
        const bool byFactory = line.rfind("Applied command kind 7 ", 0) == 0 &&
                               line.find(" of kind 4, standing ") != std::string::npos;
        if (fromGuest && (refusal || byFactory))
            hits.emplace_back(std::stol(line.substr(line.rfind(' ') + 1)), byFactory);
    }
    return hits;
}

// One game of `machines` programs; `killed` (0: none) is SIGKILLed inside the first pause.
// Every program left must end well, and all that still play must agree at each barrier they
// wrote (the killed one at the first), at `compared` barriers past the kill at least (all by
// default). The checksums by barrier; the units each side had made by the last barrier, and
// the most each machine held behind a word (-1: none), are printed.
std::vector<std::string> Play(int machines, const std::vector<int>& at, int killed,
                              int timeoutSeconds, size_t compared = SIZE_MAX) {
    barrier::Game game;
    const std::vector<barrier::Kill> kills =
        killed ? std::vector<barrier::Kill>{{killed, 1}} : std::vector<barrier::Kill>{};
    std::vector<barrier::Act> acts;
    for (int player = 1; player <= machines; ++player)
        acts.push_back({player, 0, "char 12"});  // Ctrl+L: the trace on
    barrier::Run(game, machines, at, "b", kills, timeoutSeconds, acts, true);
    std::vector<std::string> sums = barrier::Agreed(game, at.size(), "b", kills.size(), compared);
    if (game.games.empty()) return sums;
    const std::vector<long> made =
        barrier::UnitsMade(*game.games[0], "b" + std::to_string(at.size()));
    std::cout << machines << " machines, units made by the last barrier:";
    for (size_t team = 1; team <= static_cast<size_t>(machines) && team < made.size(); ++team)
        std::cout << " team " << team << " " << made[team];
    std::cout << "\n" << machines << " machines, most held behind a taker's word:";
    for (const auto& folder : game.games)
        std::cout << " " << MostHeld(*folder);
    std::cout << " bytes\n";
    return sums;
}

using barrier::ListsFactory;

// A computer factory first drives to a deposit of its own when the one it starts on is not the
// best it sees, and builds once it stands open there: most sides have built a minute into the
// battle. The barriers come after that, so that they compare states the sides have built into.
// Some start arrangements keep a side from building far longer (a factory that finds no site at
// the deposit it chose stands where it is), so no barrier waits for every side.
TEST(NetworkBarrierRun, TwoComputerPlayersAgreeAtThreeBarriers) {
    if (!e2e::ProgramsBuilt()) GTEST_SKIP() << "the programs are not built";
#ifdef QX_BARRIER_RUNS_SANITIZED
    GTEST_SKIP() << "left to the optimised build";
#endif
    const std::vector<std::string> sums = Play(2, {75000, 90000, 105000}, 0, 240);
    // The game moved on between the barriers.
    ASSERT_EQ(sums.size(), 3u);
    EXPECT_NE(sums[0], sums[1]);
    EXPECT_NE(sums[1], sums[2]);
}

// The host, the lowest-numbered player left, takes player 3's team over and tells player 2 the
// state of its units and factory. By the third barrier the fighting has begun: the wrecks and
// the factory pieces must come out alike on both. On a loaded machine the computer players may
// beat a side early: the two agree at every later barrier at which both still play, and at one
// at least.
TEST(NetworkBarrierRun, AfterPlayerThreeIsKilledTheOthersAgreeAtEveryLaterBarrier) {
    if (!e2e::ProgramsBuilt()) GTEST_SKIP() << "the programs are not built";
#ifdef QX_BARRIER_RUNS_SANITIZED
    GTEST_SKIP() << "left to the optimised build";
#endif
    Play(3, {75000, 90000, 105000}, 3, 240, 1);
}

// Four machines, player 2 (a guest that other guests connect to and accept) killed; those that
// still play agree at the later barrier.
TEST(NetworkBarrierRun, AfterOneOfFourIsKilledTheOthersAgreeAtEveryLaterBarrier) {
    if (!e2e::ProgramsBuilt()) GTEST_SKIP() << "the programs are not built";
#ifdef QX_BARRIER_RUNS_SANITIZED
    GTEST_SKIP() << "left to the optimised build";
#endif
    Play(4, {75000, 90000}, 2, 240, 1);
}

// Outside the suite (scripts/network-long --late): player 3's program stopped for 2.5 s as the
// host starts the battle, so that the start and the others' factory words wait on its links
// and come to it together. Every machine lists every side's factory at the first barrier and
// all agree at both; each machine's listed factories are printed, and the words its start kept
// (by its trace, on from the menu).
TEST(NetworkBarrierRun, DISABLED_FourMachinesWithOneLateToTheStartListEveryFactory) {
    if (!e2e::ProgramsBuilt()) GTEST_SKIP() << "the programs are not built";
#ifdef QX_BARRIER_RUNS_SANITIZED
    GTEST_SKIP() << "left to the optimised build";
#endif
    const std::vector<int> at = {25000, 45000};
    barrier::Game game;
    barrier::Run(game, 4, at, "l", {}, 240, barrier::SpareEveryFactory(4), true, {{3, 0, 0, 2500}});
    ASSERT_EQ(game.games.size(), 4u);
    for (int player = 1; player <= 4; ++player) {
        const barrier::GameFolder& folder = *game.games[static_cast<size_t>(player - 1)];
        std::istringstream trace(folder.File("zvd.out"));
        int kept = 0;
        for (std::string line; std::getline(trace, line);) {
            if (line.rfind("Words of player ", 0) != 0) continue;
            ++kept;
            std::cout << "player " << player << ": " << line << "\n";
        }
        // Otherwise the run came to no start in progress.
        if (player == 3) {
            EXPECT_GT(kept, 0) << "player 3 was not late to its start";
        }
        std::cout << "player " << player << " lists at l1 the factories of:";
        for (int team = 1; team <= 4; ++team) {
            if (ListsFactory(folder, "l1", team)) std::cout << " " << team;
            EXPECT_TRUE(ListsFactory(folder, "l1", team))
                << "player " << player << " lacks team " << team << "'s factory";
        }
        std::cout << "\n";
    }
    barrier::Agreed(game, at.size(), "l", 0);
}

// Outside the suite (scripts/network-long): a crafted next-in-line guest and a beaten host. The
// host's factory dies before the first barrier: its machine stands paused on the results screen,
// still linked, so player 2 makes the barriers' pauses and is the authority, next in line for
// the host's team and player 3's were either machine lost. After the first barrier player 2
// tells both teams' factories and units from its own copies (kind 57), as only their taker may:
// the others keep its word while the teams' machines stay and then refuse it, closing no link.
// Players 2 and 3 agree at every barrier, and every program ends well.
TEST(NetworkBarrierRun, DISABLED_ACraftedNextInLineGuestChangesNothingAfterTheHostIsBeaten) {
    if (!e2e::ProgramsBuilt()) GTEST_SKIP() << "the programs are not built";
#ifdef QX_BARRIER_RUNS_SANITIZED
    GTEST_SKIP() << "left to the optimised build";
#endif
    const std::vector<int> at = {75000, 100000, 115000};
    barrier::Game game;
    barrier::Run(game, 3, at, "c", {}, 300,
                 {{1, 55000, "destroy 1 factory"}, {2, 84000, "forge 3"}, {2, 85000, "forge 1"}},
                 true);
    ASSERT_EQ(game.games.size(), 3u);
    for (const auto& folder : game.games)
        EXPECT_EQ(folder->ExitCode(), 0) << folder->Errors();
    const barrier::GameFolder& second = *game.games[1];
    const barrier::GameFolder& third = *game.games[2];
    for (size_t barrier = 1; barrier <= at.size(); ++barrier) {
        const std::string name = "c" + std::to_string(barrier);
        EXPECT_EQ(second.Checksum(name).size(), 17u) << name;
        EXPECT_EQ(third.Checksum(name), second.Checksum(name))
            << name << "\n"
            << barrier::ListingDifference(barrier::Listing(second, name),
                                          barrier::Listing(third, name));
        std::cout << "3 machines, host beaten, barrier " << name << ": " << second.Checksum(name);
    }
    // The host's factory is gone by the first barrier, player 3's stands at the last.
    EXPECT_FALSE(ListsFactory(second, "c1", 1));
    EXPECT_TRUE(ListsFactory(second, "c3", 3));
}

// Outside the suite (scripts/network-crafted): three machines, player 2 a crafted guest
// between the barriers the host makes. Before g2: 300 hit reports on the host's factory naming
// attackers never made (enough to destroy it), a hit with a weapon its unit does not mount, and 61
// wrecks of no death. Inside g2's pause and before g3: marks for an old and a huge pause number.
// Between g3 and g4: a pause and its lift on the link to player 3 only. g5 is player 2's own pause
// right after it forged the host's team. Every pause settles and all three agree at each barrier;
// the host's factory line and the crafted guest's wrecks are printed for every machine.
TEST(NetworkBarrierRun, DISABLED_CraftedGuestWordsChangeNothingAndEveryPauseSettles) {
    if (!e2e::ProgramsBuilt()) GTEST_SKIP() << "the programs are not built";
#ifdef QX_BARRIER_RUNS_SANITIZED
    GTEST_SKIP() << "left to the optimised build";
#endif
    const std::vector<int> at = {75000, 95000, 115000, 135000};
    const std::string ctrlP = "keydown CTRL\nkey P\nkeyup CTRL";
    barrier::Game game;
    barrier::Run(game, 3, at, "g", {}, 420,
                 {{2, 80000, "craft hits 1 300"},
                  {2, 80500, "craft weapon 1"},
                  {2, 81000, "craft wrecks 61 835"},
                  {2, 96500, "craft mark old 100"},
                  {2, 110000, "craft mark huge 3"},
                  {2, 120000, "craft pause 3"},
                  {2, 124000, "craft pause 3"},
                  {2, 145000, "forge 1"},
                  {2, 145100, ctrlP},
                  {1, 147500, "checksum g5"},
                  {2, 147500, "checksum g5"},
                  {3, 147500, "checksum g5"},
                  {2, 151500, ctrlP}},
                 true);
    ASSERT_EQ(game.games.size(), 3u);
    // g5 is player 2's pause: a player 2 the computer players beat by g4 makes none.
    const bool pauserPlays = barrier::Played(*game.games[1], "g4", 2);
    if (!pauserPlays) std::cout << "player 2 was beaten by g4: no forge and pause at g5\n";
    barrier::Agreed(game, at.size() + (pauserPlays ? 1 : 0), "g", 0);
    EXPECT_TRUE(ListsFactory(*game.games[0], pauserPlays ? "g5" : "g4", 1))
        << "the crafted hits beat the host";
    for (size_t b = 1; b <= at.size() + 1; ++b) {
        const std::string name = "g" + std::to_string(b);
        for (size_t player = 1; player <= 3; ++player) {
            std::string factory = "none";
            int wrecks = 0;
            for (const std::string& line : barrier::Listing(*game.games[player - 1], name)) {
                std::istringstream in(line);
                long list = 0, idTeam = 0, serial = 0, kind = 0, first = 0;
                in >> list >> idTeam >> serial >> kind >> first;
                if (list == 2 && kind == 4 && first == 1) factory = line;
                if (list == 10 && idTeam == 2) ++wrecks;
            }
            std::cout << name << " player " << player << ": host factory [" << factory
                      << "], team-2 wrecks " << wrecks << "\n";
        }
    }
}

// Outside the suite (scripts/network-crafted): three and four machines, player 2 destroys its
// own factory and 2.8 s later sends 100 hit reports on the host's factory naming that dead
// factory; then 100 shots of the dead factory it never fired, and 100 such hits again. The
// host refuses all 200 hits (and no other), takes none naming a factory dead for seconds, and
// all agree at the barrier after.
TEST(NetworkBarrierRun, DISABLED_ADeadFactorysHitsAreRefusedWithOrWithoutItsShots) {
    if (!e2e::ProgramsBuilt()) GTEST_SKIP() << "the programs are not built";
#ifdef QX_BARRIER_RUNS_SANITIZED
    GTEST_SKIP() << "left to the optimised build";
#endif
    for (int machines : {3, 4}) {
        SCOPED_TRACE(machines);
        barrier::Game game;
        barrier::Run(game, machines, {75000}, "d", {}, 240,
                     {{1, 0, "char 12"},
                      {2, 60000, "destroy 2 factory"},
                      {2, 62800, "craft factoryhits 1 100"},
                      {2, 65000, "craft factoryshots 1 100"},
                      {2, 65500, "craft factoryhits 1 100"}},
                     true);
        barrier::Agreed(game, 1, "d", 0);
        ASSERT_FALSE(game.games.empty());
        int refused = 0, refusedOthers = 0, takenDead = 0;
        std::istringstream trace(game.games[0]->File("zvd.out"));
        for (std::string line; std::getline(trace, line);) {
            const bool fromGuest = line.find("(player 2)") != std::string::npos;
            if (line.rfind("Refused command kind 7 ", 0) == 0)
                ++(fromGuest ? refused : refusedOthers);
            const size_t dead = line.find(" of kind 4, dead ms ");
            if (fromGuest && line.rfind("Applied command kind 7 ", 0) == 0 &&
                dead != std::string::npos && std::stol(line.substr(dead + 20)) >= 2000)
                ++takenDead;
        }
        EXPECT_EQ(refused, 200);
        EXPECT_EQ(refusedOthers, 0);
        EXPECT_EQ(takenDead, 0);
        std::cout << machines << " machines: the host refused " << refused << " hits of player 2, "
                  << refusedOthers << " of others, took " << takenDead
                  << " naming a factory dead 2 s or more\n";
    }
}

// Outside the suite (scripts/network-crafted): three machines, every factory spared. Player 2's
// factory, armed by its computer player with no word to the others, announces the first weapon
// it mounts from all seven hardpoints once a second for half a minute, told standing beside the
// host's factory, and reports a hit of each. The host takes no more of them than the hardpoints
// of that factory that take the weapon fire in a reload (one early each), and refuses nothing
// of player 3.
TEST(NetworkBarrierRun, DISABLED_AFactorysVolleysOnAllSevenHardpointsCountOnlyAsItsTurretsReload) {
    if (!e2e::ProgramsBuilt()) GTEST_SKIP() << "the programs are not built";
#ifdef QX_BARRIER_RUNS_SANITIZED
    GTEST_SKIP() << "left to the optimised build";
#endif
    constexpr int kFirstMs = 60000, kVolleys = 30, kApartMs = 1000;
    std::vector<barrier::Act> acts = barrier::SpareEveryFactory(3);
    for (int player = 1; player <= 3; ++player)
        acts.push_back({player, 0, "char 12"});  // Ctrl+L: the trace on
    for (int volley = 0; volley < kVolleys; ++volley) {
        acts.push_back({2, kFirstMs + volley * kApartMs, "craft factoryshots 1 7"});
        acts.push_back({2, kFirstMs + volley * kApartMs, "craft factoryhits 1 7"});
    }
    // A barrier after the volleys keeps every machine playing until they are judged.
    barrier::Game game;
    barrier::Run(game, 3, {kFirstMs + kVolleys * kApartMs + 2000}, "t", {}, 240, acts);
    ASSERT_EQ(game.games.size(), 3u);
    CraftedShots shots;
    ASSERT_TRUE(ReadCraftedShots(*game.games[1], shots)) << "player 2's factory never shot";
    const int reloadMs = shots.reloadMs, taking = shots.taking;
    ASSERT_GT(reloadMs, 0);
    // Player 2's hits by its factory, taken or refused, in the host's order: a volley's seven
    // come first in their message, on one battle ms; the factory's honest hits come alone.
    int refusedOthers = 0;
    const std::vector<std::pair<long, bool>> hits =
        FactoryHitsOfPlayerTwo(*game.games[0], refusedOthers);
    int volleys = 0, taken = 0, honest = 0;
    long firstMs = -1, lastMs = -1;
    for (size_t i = 0; i < hits.size();) {
        size_t end = i;
        while (end < hits.size() && hits[end].first == hits[i].first)
            ++end;
        // Messages the host read in one tick share the ms.
        const size_t inVolleys = (end - i) / 7 * 7;
        for (size_t k = i; k < end; ++k)
            if (hits[k].second) ++(k < i + inVolleys ? taken : honest);
        if (inVolleys > 0) {
            volleys += static_cast<int>(inVolleys / 7);
            if (firstMs < 0) firstMs = hits[i].first;
            lastMs = hits[i].first;
        }
        i = end;
    }
    const long spanMs = std::max<long>((volleys - 1) * kApartMs, lastMs - firstMs);
    std::cout << "player 2's factory: weapon " << shots.clan << shots.role << " reloading in "
              << reloadMs << " ms, " << taking << " hardpoints taking it; " << volleys
              << " volleys of 7 shots and hits over " << spanMs << " ms, the host took " << taken
              << " (" << taken * reloadMs / std::max(spanMs, 1L) << " a reload) and " << honest
              << " honest hits of the factory; refused " << refusedOthers << " of player 3\n";
    EXPECT_GT(volleys, kVolleys / 2) << "the volleys did not come through";
    EXPECT_GT(taken, 0) << "no volley came within reach";
    // A volley's spacing more: the host's clock for the reloads is the wall's, the trace's
    // the battle's.
    EXPECT_LE(taken, taking * ((spanMs + kApartMs) / reloadMs + 2));
    EXPECT_EQ(refusedOthers, 0);
}

// Outside the suite (scripts/network-crafted): three machines, every factory spared, at speed 3.
// Player 2's factory announces the first weapon it mounts, then the Twin Gun (`V b`, its
// hardpoints of size 1 taking it), from all seven hardpoints twice a second for 20 s, told
// standing beside the host's factory, with no hit; then 400 hits of it in one frame. The host
// takes, in the millisecond it reads them and in the reload after, no more than the factory's
// turrets that take the weapon may have in flight at the speed played, and refuses nothing of
// player 3.
TEST(NetworkBarrierRun, DISABLED_AFactorysShotsSavedUpAreAnsweredOnlyWhileTheyMayFly) {
    if (!e2e::ProgramsBuilt()) GTEST_SKIP() << "the programs are not built";
#ifdef QX_BARRIER_RUNS_SANITIZED
    GTEST_SKIP() << "left to the optimised build";
#endif
    constexpr int kFirstMs = 60000, kVolleys = 40, kApartMs = 500, kHits = 400;
    for (const std::string named : {"", " Vb"}) {
        SCOPED_TRACE(named);
        std::vector<barrier::Act> acts = barrier::SpareEveryFactory(3);
        for (int player = 1; player <= 3; ++player)
            acts.push_back({player, 0, "char 12"});  // Ctrl+L: the trace on
        for (int volley = 0; volley < kVolleys; ++volley)
            acts.push_back({2, kFirstMs + volley * kApartMs, "craft factoryshots 1 7" + named});
        const int burstMs = kFirstMs + kVolleys * kApartMs;
        acts.push_back({2, burstMs, "craft factoryhits 1 " + std::to_string(kHits) + named});
        barrier::Game game;
        barrier::Run(game, 3, {burstMs + 5000}, "s", {}, 240, acts);
        ASSERT_EQ(game.games.size(), 3u);
        CraftedShots shots;
        ASSERT_TRUE(ReadCraftedShots(*game.games[1], shots)) << "player 2's factory never shot";
        const int reloadMs = shots.reloadMs, taking = shots.taking;
        // Player 2's hits by its factory, taken or refused, per battle ms of the host.
        std::map<long, std::pair<int, int>> byMs;
        int refusedOthers = 0;
        for (const auto& [ms, taken] : FactoryHitsOfPlayerTwo(*game.games[0], refusedOthers))
            ++(taken ? byMs[ms].first : byMs[ms].second);
        // The burst: the millisecond with the most of them.
        auto burst = std::max_element(byMs.begin(), byMs.end(), [](const auto& a, const auto& b) {
            return a.second.first + a.second.second < b.second.first + b.second.second;
        });
        ASSERT_NE(burst, byMs.end()) << "no hit of player 2's factory came";
        const auto [taken, refused] = burst->second;
        int inReload = 0;
        for (auto it = burst; it != byMs.end() && it->first < burst->first + reloadMs; ++it)
            inReload += it->second.first;
        std::cout << "player 2's factory: weapon " << shots.clan << shots.role << " reloading in "
                  << reloadMs << " ms, " << shots.inFlight << " in flight at once a turret, "
                  << taking << " hardpoints taking it; " << kVolleys << " volleys of 7 shots over "
                  << (kVolleys - 1) * kApartMs << " ms with no hit, then " << kHits
                  << " hits in one frame: the host took " << taken << " and refused " << refused
                  << " at battle ms " << burst->first << ", " << inReload
                  << " in the reload from it; refused " << refusedOthers << " of player 3\n";
        // An honest hit of the factory (its computer player fights on) may share the ms.
        EXPECT_GE(taken + refused, kHits) << "the frame's hits were not read at once";
        EXPECT_GT(taken, 0) << "no shot came within reach";
        EXPECT_LE(inReload, taking * shots.inFlight);
        EXPECT_EQ(refusedOthers, 0);
        if (!named.empty()) {
            EXPECT_EQ(shots.clan, 'V');
            EXPECT_EQ(shots.role, 'b');
        }
    }
}

// Player 2 tells the host's factory as its taker while the host plays, and pauses right after:
// player 3 holds that word, the pause passes it, and the host's mark of the pause ends the
// wait. All three stand in the pause, settle it and agree.
TEST(NetworkBarrierRun, AForgeThenAPauseStopsAndSettlesEveryMachine) {
    if (!e2e::ProgramsBuilt()) GTEST_SKIP() << "the programs are not built";
#ifdef QX_BARRIER_RUNS_SANITIZED
    GTEST_SKIP() << "left to the optimised build";
#endif
    const std::string ctrlP = "keydown CTRL\nkey P\nkeyup CTRL";
    barrier::Game game;
    barrier::Run(game, 3, {}, "f", {}, 200,
                 {{2, 30000, "forge 1"},
                  {2, 30100, ctrlP},
                  {1, 32500, "checksum f1"},
                  {2, 32500, "checksum f1"},
                  {3, 32500, "checksum f1"},
                  {2, 36500, ctrlP}},
                 true);
    const std::vector<std::string> sums = barrier::Agreed(game, 1, "f", 0);
    ASSERT_EQ(sums.size(), 1u);
    EXPECT_EQ(sums[0].size(), 16u) << "nobody wrote f1";
}

// The soak outside the suite (scripts/network-soak): four machines for ten game-minutes, a
// barrier every two. Factories die on the way: player 3's just before the first barrier, which
// every machine waits for, so that its pieces lie as they fell, and player 3 is killed after it:
// a machine that plays takes a team without a factory over and tells the others its units.
// Player 4's is spared no more after the second barrier and left one hit from its end, its
// units destroyed, and players 1 and 2 send their units against it until the fourth barrier, which
// waits until another machine's shots have felled it while its owner's words are on the way; player
// 4 stands beaten from then on. The other factories are spared, so only the script beats a side:
// players 1 and 2 play to the end, and every barrier compares them. The wreck pieces of player 3's
// factory come out alike everywhere.
TEST(NetworkBarrierRun, DISABLED_FourMachinesAgreeForTenMinutes) {
    if (!e2e::ProgramsBuilt()) GTEST_SKIP() << "the programs are not built";
#ifdef QX_BARRIER_RUNS_SANITIZED
    GTEST_SKIP() << "left to the optimised build";
#endif
    const std::vector<int> at = {120000, 240000, 360000, 480000, 600000};
    std::vector<barrier::Act> acts = barrier::SpareEveryFactory(4);
    acts.push_back({3, 118000, "destroy 3 factory"});
    acts.push_back({4, 250000, "wound 4"});
    // Its units gone too, so that the attackers meet no army of it on the way.
    acts.push_back({4, 250000, "destroy 4 units"});
    // Again and again: the attackers' computer players may turn their units elsewhere, and a
    // side may have built defenders again by the time the first come.
    for (int atMs = 250000; atMs <= 470000; atMs += 20000) {
        acts.push_back({1, atMs, "attack 4"});
        acts.push_back({2, atMs, "attack 4"});
    }
    for (int player = 1; player <= 4; ++player) {
        acts.push_back({player, 118000, "await fallen 3 60000"});
        acts.push_back({player, 475000, "await fallen 4 600000"});
    }
    barrier::Game game;
    barrier::Run(game, 4, at, "b", {{3, 1}}, 1500, acts, true);
    barrier::Agreed(game, at.size(), "b", 1);
    ASSERT_EQ(game.games.size(), 4u);
    // The factories died when asked, on the first machine that still played at the barrier.
    auto playing = [&](const std::string& name) -> const barrier::GameFolder* {
        for (int player = 1; player <= 4; ++player) {
            const barrier::GameFolder& folder = *game.games[static_cast<size_t>(player - 1)];
            if (player != 3 && barrier::Played(folder, name, player)) return &folder;
        }
        return nullptr;
    };
    for (const auto& [name, team] : {std::pair<std::string, int>{"b1", 3}, {"b4", 4}}) {
        const barrier::GameFolder* folder = playing(name);
        ASSERT_NE(folder, nullptr) << "nobody played at " << name;
        EXPECT_FALSE(ListsFactory(*folder, name, team)) << name << " team " << team;
    }
    // Only the script beat a side: the two it spared play at the last barrier.
    for (int player : {1, 2})
        EXPECT_TRUE(barrier::Played(*game.games[static_cast<size_t>(player - 1)], "b5", player))
            << "player " << player << " was beaten before the last barrier";
    int pieces = 0;
    for (const std::string& line : barrier::Listing(*playing("b1"), "b1"))
        if (line.rfind("10 3 ", 0) == 0 && std::stol(line.substr(5)) >= 0x40000000L) ++pieces;
    EXPECT_GE(pieces, 3) << "team 3's factory left no pieces";
}

// Whether a machine's trace says checksum `name` waited for its pause's lift: the pause never
// settled there (some peer's mark of this machine's count never came).
bool WrittenAsThePauseLifted(const barrier::GameFolder& folder, const std::string& name) {
    return folder.File("zvd.out").find("Checksum " + name + " written as the pause lifted") !=
           std::string::npos;
}

// Player 2 sends a pause and its lift to player 3 alone between two barriers, so that players
// 2 and 3 count a pause more than the host. Player 3's checksum asked for inside it waits for
// the lift: the host never marked that pause. At the next barrier the host's mark sets their
// count: every machine's pause settles (each checksum written inside it, its trace says) and
// all three agree, there and at the barrier after.
TEST(NetworkBarrierRun, AfterAPauseOnOneLinkOnlyEveryMachineSettlesTheNextPauses) {
    if (!e2e::ProgramsBuilt()) GTEST_SKIP() << "the programs are not built";
#ifdef QX_BARRIER_RUNS_SANITIZED
    GTEST_SKIP() << "left to the optimised build";
#endif
    const std::vector<int> at = {55000, 75000, 85000};
    std::vector<barrier::Act> acts = {
        {2, 63000, "craft pause 3"}, {3, 64000, "checksum s1"}, {2, 68000, "craft pause 3"}};
    for (int player = 1; player <= 3; ++player)
        acts.push_back({player, 0, "char 12"});  // Ctrl+L: the trace on
    barrier::Game game;
    barrier::Run(game, 3, at, "p", {}, 240, acts, true);
    barrier::Agreed(game, at.size(), "p", 0);
    ASSERT_EQ(game.games.size(), 3u);
    const barrier::GameFolder& third = *game.games[2];
    EXPECT_EQ(third.Checksum("s1").size(), 17u);
    EXPECT_TRUE(WrittenAsThePauseLifted(third, "s1")) << "player 3 never paused alone";
    for (int player = 1; player <= 3; ++player) {
        for (const std::string name : {"p1", "p2", "p3"})
            EXPECT_FALSE(
                WrittenAsThePauseLifted(*game.games[static_cast<size_t>(player - 1)], name))
                << "player " << player << ": " << name << " never settled";
    }
}

// Outside the suite (scripts/network-crafted): player 2 forges the host's team just before the
// host's first barrier, and again before the second with a flood of its own units' goals behind
// the word, past what player 3 holds behind one. Player 3 settles the first pause (the host's
// pause, marked by player 2 after its word, ends the wait), and at the bound applies the flood
// as the others do: every pause settles and all three agree at both barriers.
TEST(NetworkBarrierRun, DISABLED_AForgedWordBeforeTheHostsPauseOrAFloodBehindOneSettles) {
    if (!e2e::ProgramsBuilt()) GTEST_SKIP() << "the programs are not built";
#ifdef QX_BARRIER_RUNS_SANITIZED
    GTEST_SKIP() << "left to the optimised build";
#endif
    const std::vector<int> at = {60000, 90000};
    std::vector<barrier::Act> acts = {
        {2, 59800, "forge 1"}, {2, 80000, "forge 1"}, {2, 80000, "craft goals 20000"}};
    for (int player = 1; player <= 3; ++player)
        acts.push_back({player, 0, "char 12"});  // Ctrl+L: the trace on
    barrier::Game game;
    barrier::Run(game, 3, at, "w", {}, 300, acts, true);
    barrier::Agreed(game, at.size(), "w", 0);
    ASSERT_EQ(game.games.size(), 3u);
    for (int player = 1; player <= 3; ++player) {
        const barrier::GameFolder& folder = *game.games[static_cast<size_t>(player - 1)];
        for (const std::string name : {"w1", "w2"})
            EXPECT_FALSE(WrittenAsThePauseLifted(folder, name))
                << "player " << player << ": " << name << " never settled";
        std::cout << "player " << player << ": most held behind a word " << MostHeld(folder)
                  << " bytes\n";
    }
    EXPECT_GT(MostHeld(*game.games[2]),
              static_cast<long>(PeerSlot::kMaxWaitingBytes) - CommandBuffer::kMaxCommand)
        << "the flood never reached the bound";
}

// Outside the suite (scripts/network-host-gone): the lost teams need units to show who runs
// them, and the computer players of four sides build their first ones a minute or two into the
// battle, later on a loaded machine: every machine waits until some side has three before the
// first barrier. Every factory is spared, so that no computer player beats a side before the
// script's order has played out. Four machines: the guest with the most units
// killed inside the first barrier's pause, the host taking its team; the host's factory destroyed
// after it (the lowest-numbered guest left answers for the game from then on and runs the lost
// team); the host's program killed inside the second (that guest takes team 1 as well). Who runs a
// lost team shows by `destroy TEAM`, which destroys only what its own machine runs: each guest asks
// it for every other team inside a pause of its own, the highest-numbered first. The lost teams'
// units stand after the other survivor's turn and are gone after the taker's, and the survivors
// agree at every barrier.
TEST(NetworkBarrierRun,
     DISABLED_ALostPlayerThenABeatenHostThenTheHostGoneLeaveEachLostTeamToOneMachine) {
    if (!e2e::ProgramsBuilt()) GTEST_SKIP() << "the programs are not built";
#ifdef QX_BARRIER_RUNS_SANITIZED
    GTEST_SKIP() << "left to the optimised build";
#endif
    const std::vector<int> at = {150000, 160000, 167000, 174000, 181000, 188000};
    // Player p's turn is inside barrier 7 - p; the barrier after it shows what it destroyed.
    auto turn = [](int player) { return static_cast<size_t>(7 - player); };
    std::vector<barrier::Act> acts = barrier::SpareEveryFactory(4);
    for (int player = 1; player <= 4; ++player)
        acts.push_back({player, 145000, "await units any 3 400000"});
    acts.push_back({1, 157000, "destroy 1 factory"});
    for (int player = 2; player <= 4; ++player) {
        for (int team = 1; team <= 4; ++team) {
            if (team != player)
                acts.push_back(
                    {player, at[turn(player) - 1] + 3000, "destroy " + std::to_string(team)});
        }
    }
    barrier::Game game;
    barrier::Run(game, 4, at, "h", {{0, 1, {2, 3, 4}}, {1, 2}}, 840, acts, true);
    barrier::Agreed(game, at.size(), "h", 2);
    ASSERT_EQ(game.killed.size(), 2u);
    const int lost = game.killed[0].player;
    const int taker = lost == 2 ? 3 : 2;
    const int other = lost == 4 ? 3 : 4;
    auto units = [&](int survivor, int team, size_t barrier) {
        return barrier::UnitsOf(*game.games[static_cast<size_t>(survivor - 1)],
                                "h" + std::to_string(barrier), team);
    };
    const barrier::GameFolder& first = *game.games[static_cast<size_t>(taker - 1)];
    EXPECT_FALSE(ListsFactory(first, "h2", 1)) << "the host was not beaten";
    EXPECT_FALSE(ListsFactory(first, "h2", lost));
    int shown = 0;
    for (int team : {1, lost}) {
        std::cout << "lost team " << team << " units:";
        for (size_t b = 1; b <= at.size(); ++b)
            std::cout << " h" << b << " " << units(taker, team, b);
        std::cout << " (player " << other << "'s turn in h" << turn(other) << ", player " << taker
                  << "'s in h" << turn(taker) << ")\n";
        if (units(taker, team, 3) == 0) continue;
        ++shown;
        // Alike on both survivors: a lost team run by both would differ.
        for (int survivor : {taker, other}) {
            EXPECT_GT(units(survivor, team, turn(other) + 1), 0)
                << "player " << other << " ran team " << team << ", by player " << survivor;
            EXPECT_EQ(units(survivor, team, turn(taker) + 1), 0)
                << "player " << taker << " ran not all of team " << team << ", by player "
                << survivor;
        }
    }
    EXPECT_GT(shown, 0) << "no lost team had units left to show who runs it";
}

}  // namespace
