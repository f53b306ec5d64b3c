// Another player's factory copy is drawn in the colour that player chose in the set-up: the
// create message carries none, but every machine learnt each player's colour at the start.
#include <gtest/gtest.h>

#include "net/ExecutorFixture.h"
#include "world/Scenario.h"

namespace {

TEST(MirrorFactoryColour, TheCopyTakesItsOwnersSetUpColourWhenOneWasChosen) {
    // The colour the set-up recorded for team 3 (none: no scenario), and the copy's colour:
    // without a chosen one it keeps the maker's, its team number.
    const struct {
        bool scenario;
        int recorded, expected;
    } cases[] = {
        {true, 7, 7}, {true, 2, 2}, {true, -1, 3}, {true, Scenario::kDroppedPlayerColour, 3},
        {true, 0, 3}, {true, 9, 3}, {false, 0, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.recorded);
        ExecutorFixture f;
        // Announced by team 3's own machine.
        f.world.peerSlots[0].peerTeam = 3;
        if (c.scenario) {
            f.world.scenario = std::make_unique<Scenario>();
            f.world.scenario->teamColours[3] = c.recorded;
            f.world.scenario->teamColours[2] = 5;
        }
        ASSERT_EQ(f.Execute(CommandBytes(11, SimId(3, 50))
                                .P(Point(100, 200))
                                .L(1)
                                .L(2)
                                .L(3)
                                .B('F')
                                .B(9)
                                .Done()),
                  1);
        GameObject* copy = f.world.TeamFactory(3);
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(copy->teamRecord.third, c.expected);
        EXPECT_EQ(copy->teamRecord.first, 3);
    }
}

}  // namespace
