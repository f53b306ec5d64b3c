// A unit moving with its group searches its route with room to pass round the group: the
// distance to its goal plus a margin, while the group still moves at more than half its width.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "objects/SimGroup.h"
#include "objects/SimTestSupport.h"
#include "support/FakeObjectWorld.h"

namespace {

// Notes the width of every route search.
class RadiusWorld : public FakeObjectWorld {
public:
    RadiusWorld() : FakeObjectWorld(30, 30) {}
    int RequestPath(GameObject* object, const Point& goal, NodeList& route, int flag,
                    int radius) override {
        radii.push_back(radius);
        return FakeObjectWorld::RequestPath(object, goal, route, flag, radius);
    }
    std::vector<int> radii;
};

TEST(UnitsGroupRoute, AUnitMovingWithItsGroupSearchesWideEnoughToPassRoundIt) {
    struct Row {
        bool grouped;
        double scale;
        int radius;
    };
    // The goal is 500 pixels away (a 300 by 400 step); the margin is 192 pixels.
    const Row rows[] = {{true, 1.0, 692}, {true, 0.6, 692}, {true, 0.5, 0}, {false, 1.0, 0}};
    for (const Row& row : rows) {
        RadiusWorld world;
        SimKit kit;
        std::unique_ptr<GameObject> owned = kit.MakeSim(1, 1, Point(400, 400));
        auto* sim = static_cast<Sim*>(owned.get());
        world.AddSim(owned);
        SimGroup group(SimId(1, 50));
        world.groups.push_back(&group);
        if (row.grouped) {
            group.AddMember(*sim, 1);
            group.routeScale = row.scale;
        }
        EXPECT_EQ(sim->InMovingGroup(), row.radius > 0 ? 1 : 0) << row.scale;
        sim->OrderMove(Point(700, 800), 0, 0, 0, 0, 1, 0);
        sim->RequestRoute(sim->goals.Front());
        EXPECT_EQ(world.radii, std::vector<int>{row.radius}) << row.grouped << " " << row.scale;
        group.RemoveMember(*sim);
        std::erase(world.groups, &group);
    }
}

}  // namespace
