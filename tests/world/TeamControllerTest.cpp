// A team's controller is the owner of the Sims the World lists for it: it takes their events,
// it resolves their squads, and a Sim that dies or is handed to another controller leaves
// every squad it was in.
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "objects/Squad.h"
#include "world/RegistryTestFixture.h"
#include "world/TeamController.h"

namespace {

class SquadKeeper : public TeamController {
public:
    void Update(Timer&) override {}
    SquadMembership* FindSquad(int32_t id) override {
        for (auto& s : squads) {
            if (s->Id() == id) return s.get();
        }
        return nullptr;
    }
    Squad& Make() { return *squads.emplace_back(std::make_unique<Squad>(2)); }

    std::vector<std::unique_ptr<Squad>> squads;
};

class TeamControllers : public ::testing::Test {
protected:
    TeamControllers() {
        auto made = std::make_unique<SquadKeeper>();
        keeper = made.get();
        world.SetTeamController(2, std::move(made));
    }

    WorldOnLand land{OpenLand(12, 10)};
    World& world = land.world;
    SquadKeeper* keeper = nullptr;
};

}  // namespace

TEST_F(TeamControllers, TheTeamsControllerOwnsItsListedSimsAndAnswersAsItsDirectory) {
    TestObject* unit = land.AddUnit(2, 1, 3, 3);
    TestObject* other = land.AddUnit(3, 2, 5, 5);
    EXPECT_EQ(unit->Owner(), keeper);
    EXPECT_EQ(other->Owner(), nullptr);
    EXPECT_EQ(world.DirectoryOf(2), keeper);
    EXPECT_EQ(world.ControllerOf(2), keeper);
    EXPECT_EQ(world.DirectoryOf(5), nullptr);

    // Handed to a new controller, the unit leaves the squads of the old one.
    auto plain = std::make_unique<SquadKeeper>();
    SquadKeeper* next = plain.get();
    Squad& squad = keeper->Make();
    ASSERT_EQ(squad.AddMember(*unit, 1), 1);
    world.SetTeamController(2, std::move(plain));
    EXPECT_EQ(unit->Owner(), next);
    EXPECT_FALSE(unit->IsCurrent(0));
}

TEST_F(TeamControllers, ASimInTwoSquadsKilledInTheDeathPassLeavesBoth) {
    TestObject* unit = land.AddUnit(2, 1, 3, 3);
    TestObject* mate = land.AddUnit(2, 2, 5, 5);
    Squad& first = keeper->Make();
    Squad& second = keeper->Make();
    first.AddMember(*unit, 1);
    second.AddMember(*unit, 0);
    second.AddMember(*mate, 1);
    unit->destroyed = 1;
    world.UpdateObjects(16);
    EXPECT_EQ(land.deletions, 1);
    EXPECT_EQ(first.MemberCount(), 0);
    EXPECT_EQ(first.CurrentCount(), 0);
    EXPECT_EQ(second.MemberCount(), 1);
    EXPECT_EQ(second.OtherCount(), 0);
    EXPECT_EQ(second.MemberAt(0), mate);
}
