// Both sides of a computer-played skirmish get their miners' ore home: the local team, whose
// miners search only ground it has explored, as well as the opponent; and on the land where a
// crowd at the dock once held a side's ore still for minutes, no side's ore stands still that
// long while the fields hold ore and a miner of it lives; and where a crowd of a side's units
// crossing one another's ways on its factory's roll-out square held a finished product for a minute
// and a half, no product waits at the door a minute while its own side stands there.
#include <cstdio>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "SkirmishRun.h"
#include "map/PathGrid.h"
#include "support/MadeAssets.h"
#include "support/Sanitized.h"

namespace {

class SkirmishEconomy : public MadeAssetsTest {};

// Whether the terrain lets a unit with these move flags go cell by cell from one point's cell to
// the other's.
bool Connected(const PathGrid& grid, uint32_t moveFlags, const Point& from, const Point& to) {
    short row = 0, column = 0, toRow = 0, toColumn = 0;
    grid.PixelToCell(from, row, column);
    grid.PixelToCell(to, toRow, toColumn);
    std::vector<char> seen(static_cast<size_t>(grid.Rows() * grid.Columns()), 0);
    std::vector<std::pair<int, int>> open{{row, column}};
    while (!open.empty()) {
        const auto [r, c] = open.back();
        open.pop_back();
        if (!grid.IsInside(r, c) || seen[static_cast<size_t>(r * grid.Columns() + c)] ||
            (grid.CellWord(r, c) & moveFlags) != 0)
            continue;
        if (r == toRow && c == toColumn) return true;
        seen[static_cast<size_t>(r * grid.Columns() + c)] = 1;
        open.insert(open.end(), {{r + 1, c}, {r - 1, c}, {r, c + 1}, {r, c - 1}});
    }
    return false;
}

TEST_F(SkirmishEconomy, BothSidesMinersUnloadWithinTheFirstMinutes) {
    skirmish::SkirmishRun run(Local(), 4001u, 1, 1);
    ASSERT_EQ(run.Start(), 1);
    const skirmish::Outcome out = run.Run(150, false);
    for (int team : {skirmish::kLocalTeam, skirmish::kOpponentTeam}) {
        const skirmish::Side& side = out.sides[team];
        std::printf("team %d: %d miners, unloaded %d, first at %d ms\n", team, side.minersBorn,
                    side.unloaded, side.firstUnloadTick * skirmish::kStepMs);
        EXPECT_GT(side.unloaded, 0) << "team " << team;
    }
}

// Seed 9002 as the level sweep plays it (level 1 local on the first clan against level 2):
// the local team's miner and four scavengers stood round the dock from 1213 s to the end.
TEST_F(SkirmishEconomy, NoSidesOreStandsStillForTwoMinutesOnTheLandOfTheDockCrowd) {
    QX_LONG_RUN_OPTIMISED_ONLY();
    skirmish::SkirmishRun run(Local(), 9002u, 1, 2, nullptr, 'V', true);
    ASSERT_EQ(run.Start(), 1);
    const skirmish::Outcome out = run.Run(27 * 60, false);
    for (int team : {skirmish::kLocalTeam, skirmish::kOpponentTeam}) {
        // Counted while a miner of the side lives: a side being beaten loses its miners too, and
        // its ore then stands still with no crowd at any dock (seen once the armies pressed their
        // attacks: the local side lost every unit and stood 139 s with none before its factory
        // fell). A side whose factory fell is counted while it stood.
        const skirmish::StillSpan& still = out.sides[team].stillWithMiner;
        const int seconds = still.longest * skirmish::kStepMs / 1000;
        std::printf("team %d: ore still with a miner at most %d s, from %d s (%d s in all)\n", team,
                    seconds, still.longestFrom * skirmish::kStepMs / 1000,
                    out.sides[team].still.longest * skirmish::kStepMs / 1000);
        EXPECT_LT(seconds, 120) << "team " << team;
        EXPECT_GT(out.sides[team].unloaded, 0) << "team " << team;
    }
}

// Island Maze, seed 9001, as the sweep's row of skirmish lands plays it (level 5 local on the
// first clan against level 1): from 1326 s a crowd of the local side's units, each held by a
// friend held by the next, stood on the roll-out square of its factory for 91 s.
TEST_F(SkirmishEconomy, NoProductWaitsAMinuteAtADoorItsOwnSideCrowdsOnTheIslandLand) {
    QX_LONG_RUN_OPTIMISED_ONLY();
    constexpr int kIslandMaze = 2;
    skirmish::SkirmishRun run(Local(), 9001u, 5, 1, nullptr, 'V', true, kIslandMaze);
    ASSERT_EQ(run.Start(), 1);
    const skirmish::Outcome out = run.Run(25 * 60, true);
    for (int team : {skirmish::kLocalTeam, skirmish::kOpponentTeam}) {
        const skirmish::HeldSpan& held = out.sides[team].atDoorHeld;
        const int seconds = held.longest * skirmish::kStepMs / 1000;
        std::printf("team %d: a product at the door, its side on the roll-out, %d s at most\n",
                    team, seconds);
        EXPECT_LT(seconds, 60) << "team " << team;
        EXPECT_GT(static_cast<int>(out.sides[team].born.size()), out.sides[team].atStart)
            << "team " << team << " made no unit";
    }
}

// The level sweep's lands, both seed sets: each side's first miner can reach every ore field
// (a pond over one once kept a side's miner sent back to it all game).
TEST_F(SkirmishEconomy, EveryFieldOfTheSweepsLandsCanBeReachedByBothSidesMiners) {
    for (const uint32_t base : {9000u, 7300u}) {
        for (uint32_t seed = base + 1; seed <= base + 20; ++seed) {
            SCOPED_TRACE(seed);
            skirmish::SkirmishRun run(Local(), seed, 1, 1);
            ASSERT_EQ(run.Start(), 1);
            World& world = run.GetWorld();
            auto firstMiner = [&world](int team) -> GameObject* {
                NodeList& units = world.sims[team];
                for (ListNode* n = units.First(); n; n = units.Next(n)) {
                    GameObject* unit = static_cast<ObjectNode*>(n)->Object();
                    if (unit && !unit->IsDestroyed() && unit->GetDesign() &&
                        ClassForDesign(*unit->GetDesign()) == SimClass::Miner)
                        return unit;
                }
                return nullptr;
            };
            // The sides build their first miners within the first minutes.
            for (int seconds = 0; seconds < 300 && !(firstMiner(skirmish::kLocalTeam) &&
                                                     firstMiner(skirmish::kOpponentTeam));
                 seconds += 5)
                run.Run(5, false);
            int fields = 0;
            for (int team : {skirmish::kLocalTeam, skirmish::kOpponentTeam}) {
                GameObject* miner = firstMiner(team);
                ASSERT_NE(miner, nullptr) << "team " << team;
                fields = 0;
                for (ListNode* n = world.destructibles.First(); n;
                     n = world.destructibles.Next(n)) {
                    GameObject* field = static_cast<ObjectNode*>(n)->Object();
                    ++fields;
                    EXPECT_TRUE(Connected(*world.Paths(), miner->GetCollision()->MoveFlags(),
                                          miner->GetPosition(), field->GetPosition()))
                        << "team " << team << ", field at " << field->GetPosition().x << ","
                        << field->GetPosition().y;
                }
            }
            EXPECT_EQ(fields, 3);
        }
    }
}

}  // namespace
