#include "world/CollisionFilter.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "world/TerrainFakes.h"

namespace {
CollisionFilter Filter(int kind, int layer, int team, int secondLayer = 0, int extra = 0,
                       int noWater = 0, int noR = 0) {
    CollisionFilter f(kind, layer, noWater, noR, extra);
    f.team = team;
    f.secondLayer = secondLayer;
    return f;
}
}  // namespace

TEST(CollisionFilter, TerrainLettersAndMoveFlagsFollowTheLayerAndTheTerrainFlags) {
    struct Case {
        const char* name;
        CollisionFilter filter;
        const char* refused;  // of "epwrcX"
        uint32_t moveFlags;
    };
    const Case cases[] = {
        {"ground", Filter(2, 0, 0), "ep", 0x09u},
        {"no water", Filter(2, 0, 0, 0, 0, 1), "epw", 0x0Bu},
        {"no water nor r", Filter(2, 0, 0, 0, 0, 1, 1), "epwr", 0x0Fu},
        {"no r", Filter(2, 0, 0, 0, 0, 0, 1), "epr", 0x0Du},
        // A second layer in the air passes all but the edge; other kinds pass everything.
        {"flying", Filter(2, 0, 0, 2, 0, 1, 1), "e", 0x0Fu},
        {"building", Filter(4, 0, 0, 0, 0, 1, 1), "", 0x0Fu},
        {"air", Filter(2, 2, 0, 0, 0, 1, 1), "epwr", 0x08u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (char letter : std::string("epwrcX")) {
            const int refused = std::string(c.refused).find(letter) != std::string::npos;
            EXPECT_EQ(c.filter.CanEnter(letter), 1 - refused) << letter;
        }
        EXPECT_EQ(c.filter.MoveFlags(), c.moveFlags);
    }
}

// LayerMask(1) looks at the second layer, which is the ground unless set.
TEST(CollisionFilter, OwnAndLayerMasksFollowTheLayerAndTheExtraFlag) {
    struct Case {
        CollisionFilter filter;
        uint32_t own, layer0, layer1;
    };
    const Case cases[] = {
        {Filter(2, 0, 2), 0x00040000u, 0x001F0000u, 0x001F0000u},
        {Filter(2, 1, 2), 0x00800000u, 0x03E00000u, 0x001F0000u},
        {Filter(2, 1, 3, 2, 0), 0x01000000u, 0x03E00000u, 0x7C000000u},
        // The extra flag puts the low layer on the ground too.
        {Filter(2, 1, 3, 2, 1), 0x00080000u | 0x01000000u, 0x03FF0000u, 0x7C1F0000u},
        {Filter(2, 2, 4, 0, 1), 0x40000000u, 0x7C000000u, 0x001F0000u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "layer " << c.filter.layer << " team " << c.filter.team
                                          << " extra " << c.filter.extra);
        EXPECT_EQ(c.filter.OwnMask(), c.own);
        EXPECT_EQ(c.filter.LayerMask(0), c.layer0);
        EXPECT_EQ(c.filter.LayerMask(1), c.layer1);
    }
}

TEST(CollisionFilter, AlliedAndEnemyMasksSplitTheTeamsOfTheChosenLayer) {
    struct Case {
        const char* name;
        CollisionFilter filter;
        std::pair<int, int> alliance;
        int useSecond;
        uint32_t allied, enemy;
    };
    const Case cases[] = {
        {"air",
         Filter(2, 2, 1),
         {1, 3},
         0,
         (0x04000000u << 1) | (0x04000000u << 3),
         0x7C000000u & ~((0x04000000u << 1) | (0x04000000u << 3))},
        // On the ground every ground bit counts as allied; the enemies are teams 0, 1 and 3.
        {"ground",
         Filter(2, 0, 2),
         {2, 4},
         0,
         0x001F0000u,
         0x00010000u | 0x00020000u | 0x00080000u},
        {"low with extra",
         Filter(2, 1, 2, 0, 1),
         {2, 4},
         0,
         0x001F0000u | 0x00800000u | 0x02000000u,
         0x000B0000u | 0x00200000u | 0x00400000u | 0x01000000u},
        // Without the extra flag the ground does not count on the low layer.
        {"low",
         Filter(2, 1, 2),
         {2, 4},
         0,
         0x00800000u | 0x02000000u,
         0x00200000u | 0x00400000u | 0x01000000u},
        {"second layer",
         Filter(2, 0, 1, 2),
         {0, 0},
         1,
         0x04000000u << 1,
         0x7C000000u & ~(0x04000000u << 1)},
        {"first layer",
         Filter(2, 0, 1, 2),
         {0, 0},
         0,
         0x001F0000u,
         0x001F0000u & ~(0x00010000u << 1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeTerrainServices services;
        services.Ally(c.alliance.first, c.alliance.second);
        EXPECT_EQ(c.filter.AlliedMask(c.useSecond), c.allied);
        EXPECT_EQ(c.filter.EnemyMaskFor(c.useSecond), c.enemy);
    }
}

TEST(CollisionFilter, WithoutServicesOnlyTheOwnTeamIsAllied) {
    ASSERT_EQ(terrainServices, nullptr);
    EXPECT_EQ(Filter(2, 2, 3).AlliedMask(0), 0x04000000u << 3);
}
