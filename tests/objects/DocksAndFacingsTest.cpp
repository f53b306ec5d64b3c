#include <gtest/gtest.h>

#include "core/Vector.h"
#include "objects/GameObject.h"
#include "objects/ObjectTestSupport.h"
#include "support/FakeObjectWorld.h"

namespace {

class Docks : public ::testing::Test {
protected:
    // A 10 x 10 cell map: 320 x 320 pixels, sight cells of 64.
    FakeObjectWorld world;
    TestUnit base{1, 1, Point(64, 300)};
    TestUnit visitor{1, 2, Point(0, 0)};
};

Vector Towards(int facing) {
    // The middle of the facing's sector.
    return Vector((facing - 8) * 0.39269875, 10.0);
}

}  // namespace

TEST_F(Docks, DockPointsAreClampedToTheMap) {
    base.AppendDock(2, Point(0, -128));
    base.AppendDock(8, Point(-100, 64));
    EXPECT_EQ(base.GetDockPoint(0), Point(64, 172));
    EXPECT_EQ(base.GetDockPoint(1), Point(0, 319));
    EXPECT_EQ(base.GetDockOffset(1), Point(-100, 64));
    // Each edge of the map, a pixel inside and a pixel over: the last row and column are the
    // map's 319th pixels.
    const struct {
        Point offset, point;
    } edges[] = {
        {{-65, 0}, {0, 300}}, {{-64, 0}, {0, 300}}, {{255, 0}, {319, 300}}, {{256, 0}, {319, 300}},
        {{0, -301}, {64, 0}}, {{0, -300}, {64, 0}}, {{0, 19}, {64, 319}},   {{0, 20}, {64, 319}},
    };
    for (const auto& edge : edges) {
        TestUnit docked{1, 3, Point(64, 300)};
        docked.AppendDock(2, edge.offset);
        EXPECT_EQ(docked.GetDockPoint(0), edge.point) << edge.offset.x << "," << edge.offset.y;
    }
    // An index outside the list is refused rather than read.
    EXPECT_EQ(base.GetDockPoint(2), Point());
    EXPECT_EQ(base.GetDockOffset(-1), Point());
    EXPECT_EQ(base.IsDockAreaFree(5, base.position), 0);
}

TEST_F(Docks, WithoutAnObjectTheFirstMatchingDockIsTaken) {
    base.AppendDock(2, Point(0, -128));
    base.AppendDock(8 | 2, Point(64, 0));
    base.AppendDock(8, Point(-64, 0));
    world.blocked = {base.GetDockPoint(1)};
    EXPECT_EQ(base.FindFreeDock(nullptr, 8), 1);
    EXPECT_EQ(base.FindFreeDock(nullptr, 0), 0);
    EXPECT_EQ(base.FindFreeDock(nullptr, 4), -1);
}

TEST_F(Docks, NearestFreeDockWinsAndTheEarlierWinsRoundedTies) {
    // Docks where the visitor may not stand are passed over.
    base.position = Point(100, 100);
    visitor.position = Point(100, 100);
    base.AppendDock(8, Point(0, 0));
    base.AppendDock(8, Point(4, 9));
    base.AppendDock(8, Point(104, 0));
    world.blocked = {Point(100, 100), Point(104, 109)};
    EXPECT_EQ(base.FindFreeDock(&visitor, 8), 2);
    world.blocked.push_back(Point(204, 100));
    EXPECT_EQ(base.FindFreeDock(&visitor, 8), -1);

    // Docks 10.44 and 10.20 pixels away: the best distance is kept as 10, and 10.20 is not
    // below it, so the first stays chosen.
    TestUnit other(1, 3, Point(100, 100));
    other.AppendDock(8, Point(10, 3));
    other.AppendDock(8, Point(-10, 2));
    world.blocked.clear();
    world.canPlaceRelaxed.clear();
    visitor.position = Point(100, 100);
    EXPECT_EQ(other.FindFreeDock(&visitor, 8), 0);
    // The parking test counts the visitor's own occupancy; other services do not.
    EXPECT_EQ(world.canPlaceRelaxed, (std::vector<int>{0, 0}));
    other.AppendDock(2 | 8, Point(3, 3));
    world.canPlaceRelaxed.clear();
    EXPECT_EQ(other.FindFreeDock(&visitor, 2), 2);
    EXPECT_EQ(world.canPlaceRelaxed, (std::vector<int>{1}));
}

TEST_F(Docks, DockAreasMustLieInsideTheMapOnBuildableGround) {
    EXPECT_EQ(base.DocksInsideMap(Point(64, 64)), 1);  // no docks
    base.AppendDock(2, Point(0, -64));
    // One 64 x 64 sight cell centred on (p + offset).
    EXPECT_EQ(base.DocksInsideMap(Point(160, 160)), 1);
    EXPECT_EQ(base.DocksInsideMap(Point(160, 95)), 0);
    EXPECT_EQ(base.IsDockAreaFree(0, Point(160, 96)), 1);
    // Each edge of the 320 x 320 map, a pixel inside and a pixel over.
    const struct {
        Point p;
        int fits;
    } edges[] = {{{32, 160}, 1}, {{31, 160}, 0},  {{288, 160}, 1}, {{289, 160}, 0},
                 {{160, 96}, 1}, {{160, 352}, 1}, {{160, 353}, 0}, {{31, 353}, 0}};
    for (const auto& edge : edges)
        EXPECT_EQ(base.DocksInsideMap(edge.p), edge.fits) << edge.p.x << "," << edge.p.y;
    world.buildable = [](const Rect&) { return 0; };
    EXPECT_EQ(base.IsDockAreaFree(0, Point(160, 160)), 0);
    EXPECT_EQ(base.DocksInsideMap(Point(160, 160)), 0);
}

TEST(Facings, AnglesBecomeFacingsWithTheGamesConstants) {
    EXPECT_EQ(GameObject::FacingFromAngle(0.0), 8);
    EXPECT_EQ(GameObject::FacingFromAngle(-3.14159), 0);
    EXPECT_EQ(GameObject::FacingFromAngle(3.14159), 0);
    EXPECT_EQ(GameObject::FacingFromAngle(1.5707963), 12);
    // A floor below zero would leave a negative remainder: it is brought into range.
    EXPECT_EQ(GameObject::FacingFromAngle(-4.0), 14);
    for (int f = 0; f < 16; ++f)
        EXPECT_EQ(GameObject::FacingFromAngle(Towards(f).angle), f) << f;
}

TEST(Facings, TurnTowardTakesTheShorterWayAndStopsOnTarget) {
    EXPECT_EQ(GameObject::TurnToward(2, Towards(10), 1), 1);
    EXPECT_EQ(GameObject::TurnToward(10, Towards(2), 1), 11);
    EXPECT_EQ(GameObject::TurnToward(14, Towards(1), 2), 0);
    EXPECT_EQ(GameObject::TurnToward(3, Towards(5), 2), 5);
    EXPECT_EQ(GameObject::TurnToward(7, Towards(7), 3), 7);
    EXPECT_EQ(GameObject::TurnToward(1, Towards(14), 2), 15);
}
