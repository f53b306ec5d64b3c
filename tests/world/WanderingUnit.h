#pragma once
// Units that wander a generated land with ponds and walls of water: each picks random goals,
// waits its turn for a search, follows the route's location orders one small placement at a
// time, and gives up a goal when it stays blocked. The soak test and the tick benchmark use
// them.
#include <algorithm>
#include <deque>
#include <random>
#include <string>
#include <vector>

#include "core/NodeList.h"
#include "world/TestObject.h"
#include "world/World.h"
#include "world/WorldLand.h"

constexpr int kWanderStep = 4;
constexpr int kWanderPatience = 24;

// A unit that picks random goals, waits its turn for a route, and walks the location orders
// that following the route gives it, one small placement at a time.
class WanderingUnit : public TestObject {
public:
    WanderingUnit(World& world, std::mt19937& random, int team, int serial, const Point& at)
        : TestObject(team, serial, at, 1, 17), world(world), random(random) {
        collision.noWater = 1;
        PickGoal();
    }

    void ExecuteOrder(int code, int, const Point& p, const SimId&, int) override {
        if (code == 1) waypoints.push_back(p);
    }

    void Update(int) override {
        if (waypoints.empty()) {
            Route();
            return;
        }
        const Point at = GetPosition();
        const Point target = waypoints.front();
        const Point step(std::clamp(target.x - at.x, -kWanderStep, kWanderStep),
                         std::clamp(target.y - at.y, -kWanderStep, kWanderStep));
        if (world.PlaceObject(this, at + step, nullptr) == 1) {
            stuck = 0;
            if (GetPosition() == target) waypoints.pop_front();
            ++moves;
        } else if (++stuck > kWanderPatience) {
            waypoints.clear();
            stuck = 0;
            PickGoal();
        }
    }

    int moves = 0;
    int routes = 0;

private:
    void PickGoal() {
        std::uniform_int_distribution<int> row(1, world.pathGrid->Rows() - 2);
        std::uniform_int_distribution<int> column(1, world.pathGrid->Columns() - 2);
        goal = world.pathGrid->CellCenter(row(random), column(random));
    }

    void Route() {
        if (world.TakePathTurn(this) != 1) return;
        NodeList route;
        if (world.RequestPath(this, goal, route, 1, 0) == 1) {
            ++routes;
            world.FollowWaypoints(this, route, 8);
            PickGoal();
        } else if (world.pathGrid->IsCutShort()) {
            // The same request next turn carries the search on.
            world.QueuePathRequest(this);
        } else {
            PickGoal();
        }
    }

    World& world;
    std::mt19937& random;
    Point goal;
    std::deque<Point> waypoints;
    int stuck = 0;
};

// Open ground with ponds and two long walls of water with gaps.
inline LandLayout GeneratedLand(std::mt19937& random, int columns, int rows) {
    std::vector<std::string> lines(static_cast<size_t>(rows),
                                   std::string(static_cast<size_t>(columns), 'c'));
    std::uniform_int_distribution<int> where(4, columns - 5);
    // About one pond per 230 cells.
    for (int pond = 0; pond < columns * rows / 230; ++pond) {
        const int r = where(random);
        const int c = where(random);
        for (int dr = -2; dr <= 2; ++dr) {
            for (int dc = -2; dc <= 2; ++dc) {
                if (dr * dr + dc * dc <= 5) lines[r + dr][c + dc] = 'w';
            }
        }
    }
    for (int r = 10; r < rows - 10; ++r) {
        if (r % 17 != 0) lines[r][columns / 3] = 'w';
        if (r % 23 != 0) lines[r][2 * columns / 3] = 'w';
    }
    return OpenLand(columns, rows, lines);
}
