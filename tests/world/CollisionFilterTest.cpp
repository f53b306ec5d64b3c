#include "world/CollisionFilter.h"

#include <gtest/gtest.h>

#include "world/TerrainFakes.h"

TEST(CollisionFilter, GroundUnitObeysTerrainLetters) {
    CollisionFilter f(2, 0, 0, 0, 0);
    for (char refused : {'e', 'p'})
        EXPECT_EQ(f.CanEnter(refused), 0) << refused;
    for (char accepted : {'w', 'r', 'c', 'X'})
        EXPECT_EQ(f.CanEnter(accepted), 1) << accepted;
    EXPECT_EQ(f.MoveFlags(), 0x09u);

    f.noWater = 1;
    EXPECT_EQ(f.CanEnter('w'), 0);
    EXPECT_EQ(f.MoveFlags(), 0x0Bu);
    f.noR = 1;
    EXPECT_EQ(f.CanEnter('r'), 0);
    EXPECT_EQ(f.MoveFlags(), 0x0Fu);
    f.noWater = 0;
    EXPECT_EQ(f.MoveFlags(), 0x0Du);
}

TEST(CollisionFilter, SecondLayerAirAndOtherKindsPassAllButTheEdge) {
    CollisionFilter flying(2, 0, 1, 1, 0);
    flying.secondLayer = 2;
    for (char accepted : {'p', 'w', 'r', 'c'})
        EXPECT_EQ(flying.CanEnter(accepted), 1);
    EXPECT_EQ(flying.CanEnter('e'), 0);

    CollisionFilter building(4, 0, 1, 1, 0);
    EXPECT_EQ(building.CanEnter('e'), 1);
    EXPECT_EQ(building.CanEnter('w'), 1);

    CollisionFilter air(2, 2, 1, 1, 0);
    EXPECT_EQ(air.MoveFlags(), 0x08u);
}

TEST(CollisionFilter, OwnMaskPerLayer) {
    CollisionFilter f(2, 0, 0, 0, 0);
    f.team = 2;
    EXPECT_EQ(f.OwnMask(), 0x00040000u);
    f.layer = 1;
    EXPECT_EQ(f.OwnMask(), 0x00800000u);
    f.team = 3;
    f.extra = 1;
    EXPECT_EQ(f.OwnMask(), 0x00080000u | 0x01000000u);
    f.layer = 2;
    f.team = 4;
    EXPECT_EQ(f.OwnMask(), 0x40000000u);
}

TEST(CollisionFilter, LayerMaskCoversAllTeamsOfTheChosenLayer) {
    CollisionFilter f(2, 1, 0, 0, 0);
    f.secondLayer = 2;
    EXPECT_EQ(f.LayerMask(0), 0x03E00000u);
    EXPECT_EQ(f.LayerMask(1), 0x7C000000u);
    f.extra = 1;
    EXPECT_EQ(f.LayerMask(0), 0x03FF0000u);
    EXPECT_EQ(f.LayerMask(1), 0x7C1F0000u);
    CollisionFilter ground(2, 0, 0, 0, 0);
    EXPECT_EQ(ground.LayerMask(0), 0x001F0000u);
}

TEST(CollisionFilter, AlliedAndEnemyAirMasksSplitTheTeams) {
    FakeTerrainServices services;
    services.Ally(1, 3);
    CollisionFilter f(2, 2, 0, 0, 0);
    f.team = 1;
    const uint32_t allied = f.AlliedMask(0);
    const uint32_t enemy = f.EnemyMaskFor(0);
    EXPECT_EQ(allied, (0x04000000u << 1) | (0x04000000u << 3));
    EXPECT_EQ(allied & enemy, 0u);
    EXPECT_EQ(allied | enemy, 0x7C000000u);
}

TEST(CollisionFilter, GroundMasksKeepEveryGroundBitWhenAllied) {
    FakeTerrainServices services;
    services.Ally(2, 4);
    CollisionFilter f(2, 0, 0, 0, 0);
    f.team = 2;
    EXPECT_EQ(f.AlliedMask(0), 0x001F0000u);
    // Enemies of team 2 on the ground: teams 0, 1 and 3.
    EXPECT_EQ(f.EnemyMaskFor(0), 0x00010000u | 0x00020000u | 0x00080000u);

    // Low layer with the extra flag: enemy ground and low-layer bits.
    CollisionFilter hover(2, 1, 0, 0, 1);
    hover.team = 2;
    EXPECT_EQ(hover.EnemyMaskFor(0), 0x000B0000u | 0x00200000u | 0x00400000u | 0x01000000u);
    EXPECT_EQ(hover.AlliedMask(0), 0x001F0000u | 0x00800000u | 0x02000000u);
    // Without the extra flag the ground does not count on the low layer.
    hover.extra = 0;
    EXPECT_EQ(hover.EnemyMaskFor(0) & 0x001F0000u, 0u);
}

TEST(CollisionFilter, UseSecondChoosesTheSecondLayer) {
    FakeTerrainServices services;
    CollisionFilter f(2, 0, 0, 0, 0);
    f.team = 1;
    f.secondLayer = 2;
    EXPECT_EQ(f.EnemyMaskFor(1), 0x7C000000u & ~(0x04000000u << 1));
    EXPECT_EQ(f.EnemyMaskFor(0), 0x001F0000u & ~(0x00010000u << 1));
}

TEST(CollisionFilter, WithoutServicesOnlyTheOwnTeamIsAllied) {
    ASSERT_EQ(terrainServices, nullptr);
    CollisionFilter f(2, 2, 0, 0, 0);
    f.team = 3;
    EXPECT_EQ(f.AlliedMask(0), 0x04000000u << 3);
}
