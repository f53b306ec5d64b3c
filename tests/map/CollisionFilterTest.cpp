#include "map/CollisionFilter.h"

#include <gtest/gtest.h>

#include <string>

#include "map/TerrainFakes.h"

// Bits by team t: ground 0x00010000 << t, low 0x00200000 << t, air 0x04000000 << t.
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
        int kind, layer, secondLayer, noWater, noR;
        const char* refused;  // of "epwrcX"
        uint32_t moveFlags;
    };
    const Case cases[] = {
        {2, 0, 0, 0, 0, "ep", 0x09u},
        {2, 0, 0, 1, 0, "epw", 0x0Bu},
        {2, 0, 0, 1, 1, "epwr", 0x0Fu},
        {2, 0, 0, 0, 1, "epr", 0x0Du},
        // A second layer in the air passes all but the edge; other kinds pass everything.
        {2, 0, 2, 1, 1, "e", 0x0Fu},
        {4, 0, 0, 1, 1, "", 0x0Fu},
        {2, 2, 0, 1, 1, "epwr", 0x08u},
    };
    for (const Case& c : cases) {
        const CollisionFilter f = Filter(c.kind, c.layer, 0, c.secondLayer, 0, c.noWater, c.noR);
        SCOPED_TRACE(::testing::Message()
                     << "kind " << c.kind << " layer " << c.layer << " second " << c.secondLayer
                     << " no water " << c.noWater << " no r " << c.noR);
        for (char letter : std::string("epwrcX")) {
            const bool refused = std::string(c.refused).find(letter) != std::string::npos;
            EXPECT_EQ(f.CanEnter(letter), refused ? 0 : 1) << letter;
        }
        EXPECT_EQ(f.MoveFlags(), c.moveFlags);
    }
}

// LayerMask(1) looks at the second layer, which is the ground unless set; the extra flag puts
// the low layer on the ground too.
TEST(CollisionFilter, OwnAndLayerMasksFollowTheLayerAndTheExtraFlag) {
    struct Case {
        int layer, team, secondLayer, extra;
        uint32_t own, layer0, layer1;
    };
    const Case cases[] = {
        {0, 2, 0, 0, 0x00040000u, 0x001F0000u, 0x001F0000u},
        {1, 2, 0, 0, 0x00800000u, 0x03E00000u, 0x001F0000u},
        {1, 3, 2, 0, 0x01000000u, 0x03E00000u, 0x7C000000u},
        {1, 3, 2, 1, 0x00080000u | 0x01000000u, 0x03FF0000u, 0x7C1F0000u},
        {2, 4, 0, 1, 0x40000000u, 0x7C000000u, 0x001F0000u},
    };
    for (const Case& c : cases) {
        const CollisionFilter f = Filter(2, c.layer, c.team, c.secondLayer, c.extra);
        SCOPED_TRACE(::testing::Message() << "layer " << c.layer << " team " << c.team << " second "
                                          << c.secondLayer << " extra " << c.extra);
        EXPECT_EQ(f.OwnMask(), c.own);
        EXPECT_EQ(f.LayerMask(0), c.layer0);
        EXPECT_EQ(f.LayerMask(1), c.layer1);
    }
}

TEST(CollisionFilter, AlliedAndEnemyMasksSplitTheTeamsOfTheChosenLayer) {
    struct Case {
        int layer, team, secondLayer, extra, ally, useSecond;
        uint32_t allied, enemy;
    };
    const Case cases[] = {
        // Air: teams 1 and 3 against 0, 2 and 4.
        {2, 1, 0, 0, 3, 0, 0x28000000u, 0x54000000u},
        // Where the ground counts every ground bit is allied; the enemies are 0, 1 and 3.
        {0, 2, 0, 0, 4, 0, 0x001F0000u, 0x000B0000u},
        {1, 2, 0, 1, 4, 0, 0x001F0000u | 0x02800000u, 0x000B0000u | 0x01600000u},
        // Without the extra flag the ground does not count on the low layer.
        {1, 2, 0, 0, 4, 0, 0x02800000u, 0x01600000u},
        // The second layer (air) or the first (ground) by useSecond.
        {0, 1, 2, 0, 1, 1, 0x08000000u, 0x74000000u},
        {0, 1, 2, 0, 1, 0, 0x001F0000u, 0x001D0000u},
    };
    for (const Case& c : cases) {
        const CollisionFilter f = Filter(2, c.layer, c.team, c.secondLayer, c.extra);
        SCOPED_TRACE(::testing::Message()
                     << "layer " << c.layer << " team " << c.team << " allied with " << c.ally
                     << " extra " << c.extra << " use second " << c.useSecond);
        FakeTerrainServices services;
        services.Ally(c.team, c.ally);
        EXPECT_EQ(f.AlliedMask(c.useSecond), c.allied);
        EXPECT_EQ(f.EnemyMaskFor(c.useSecond), c.enemy);
    }
}

TEST(CollisionFilter, WithoutServicesOnlyTheOwnTeamIsAllied) {
    ASSERT_EQ(terrainServices, nullptr);
    EXPECT_EQ(Filter(2, 2, 3).AlliedMask(0), 0x04000000u << 3);
}
