#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "core/PtrNode.h"
#include "core/SquadDirectory.h"
#include "objects/ObjectTestSupport.h"
#include "objects/Squad.h"
#include "objects/SquadManoeuvre.h"
#include "support/FakeClock.h"

namespace {

// The squads of one team, as its controller keeps them.
class Directory : public SquadDirectory {
public:
    SquadMembership* FindSquad(int32_t id) override {
        for (Squad* s : squads) {
            if (s->Id() == id) return s;
        }
        return nullptr;
    }
    Squad& Make(int32_t purpose = 0) {
        owned.push_back(std::make_unique<Squad>(1));
        owned.back()->purpose = purpose;
        squads.push_back(owned.back().get());
        return *owned.back();
    }

    std::vector<Squad*> squads;
    std::vector<std::unique_ptr<Squad>> owned;
};

class CountingManoeuvre : public SquadManoeuvre {
public:
    explicit CountingManoeuvre(int* runs) : runs(runs) {}
    int GetType() const override { return 2; }
    int ExecuteForSquad(Squad&) override { return ++*runs, 0; }
    int* runs;
};

class Squads : public ::testing::Test {
protected:
    Squads() {
        for (auto* u : {&a, &b, &c})
            u->SetOwner(&directory);
    }

    // [memberCount, currentCount, otherCount]
    static std::vector<int> Counts(const Squad& s) {
        return {s.MemberCount(), s.CurrentCount(), s.OtherCount()};
    }

    Directory directory;
    TestUnit a{1, 1, Point(0, 0)};
    TestUnit b{1, 2, Point(10, 20)};
    TestUnit c{1, 3, Point(21, 41)};
};

}  // namespace

TEST_F(Squads, MembersAreCountedOnBothSidesAndDuplicatesRefused) {
    Squad& squad = directory.Make(7);
    EXPECT_EQ(squad.AddMember(a, 1), 1);
    EXPECT_EQ(squad.AddMember(b, 0), 1);
    EXPECT_EQ(squad.AddMember(a, 0), 0);
    EXPECT_EQ(squad.AddMember(b, 1), 0);
    EXPECT_EQ(Counts(squad), (std::vector<int>{2, 1, 1}));
    EXPECT_EQ(squad.MemberAt(0), &b);
    EXPECT_EQ(squad.MemberAt(1), &a);
    EXPECT_EQ(squad.MemberAt(2), nullptr);
    EXPECT_TRUE(a.IsCurrent(squad.Id()));
    EXPECT_EQ(a.Purpose(), 7);
    EXPECT_EQ(b.Purpose(), 0);
    ASSERT_NE(b.FindNode(squad.Id()), nullptr);

    // A Sim whose owner does not know the squad would keep it after it is gone.
    Squad stray(1);
    EXPECT_EQ(stray.AddMember(c, 1), 0);
    c.SetOwner(nullptr);
    EXPECT_EQ(squad.AddMember(c, 0), 0);
    EXPECT_EQ(Counts(squad), (std::vector<int>{2, 1, 1}));

    squad.RemoveMember(c);
    EXPECT_EQ(Counts(squad), (std::vector<int>{2, 1, 1}));
    squad.RemoveMember(a);
    EXPECT_EQ(Counts(squad), (std::vector<int>{1, 0, 1}));
    EXPECT_FALSE(a.IsCurrent(0));
    squad.RemoveMember(b);
    EXPECT_EQ(Counts(squad), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(b.FindNode(squad.Id()), nullptr);
}

TEST_F(Squads, ANewCommandingSquadTakesTheSimFromThePreviousOneOnly) {
    Squad& first = directory.Make();
    Squad& plain = directory.Make();
    Squad& second = directory.Make(4);
    first.AddMember(a, 1);
    plain.AddMember(a, 0);
    second.AddMember(a, 1);
    EXPECT_EQ(Counts(first), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(Counts(plain), (std::vector<int>{1, 0, 1}));
    EXPECT_EQ(Counts(second), (std::vector<int>{1, 1, 0}));
    EXPECT_TRUE(a.IsCurrent(second.Id()));
    EXPECT_EQ(a.Purpose(), 4);
}

TEST_F(Squads, ASimThatGoesLeavesEverySquadAndASquadThatGoesLeavesItsMembers) {
    auto doomed = std::make_unique<TestUnit>(1, 9, Point(5, 5));
    doomed->SetOwner(&directory);
    Squad& first = directory.Make();
    Squad& second = directory.Make();
    first.AddMember(*doomed, 1);
    second.AddMember(*doomed, 0);
    second.AddMember(b, 1);
    doomed.reset();
    EXPECT_EQ(Counts(first), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(Counts(second), (std::vector<int>{1, 1, 0}));
    EXPECT_EQ(second.MemberAt(0), &b);

    first.AddMember(b, 0);
    first.AddMember(c, 1);
    directory.squads.clear();
    directory.owned.clear();
    EXPECT_FALSE(b.IsCurrent(0));
    EXPECT_TRUE(b.Memberships().IsEmpty());
    EXPECT_FALSE(c.IsCurrent(0));
}

TEST_F(Squads, CentroidAndStampCoverTheCommandedMembersOnly) {
    Squad& squad = directory.Make();
    squad.AddMember(c, 0);
    EXPECT_EQ(squad.Centroid(), Point(0, 0));
    squad.AddMember(a, 1);
    squad.AddMember(b, 1);
    EXPECT_EQ(squad.Centroid(), Point(5, 10));
    squad.purpose = 3;
    squad.StampMembers();
    EXPECT_EQ(a.Purpose(), 3);
    EXPECT_EQ(b.Purpose(), 3);
    EXPECT_EQ(c.Purpose(), 0);
}

TEST_F(Squads, RulesRunEveryPeriodAndAnUnfinishedPassResumesAtOnce) {
    FakeClock clock(10000);
    Squad& squad = directory.Make();
    int runs = 0;
    for (int i = 0; i < 2; ++i)
        squad.manoeuvres.Add(std::make_unique<CountingManoeuvre>(&runs));

    clock.Advance(Squad::kPeriodMs - 1);
    EXPECT_EQ(squad.Update(nullptr), 1);
    EXPECT_EQ(runs, 0);
    clock.Advance(1);
    EXPECT_EQ(squad.Update(nullptr), 1);
    EXPECT_EQ(runs, 2);
    clock.Advance(500);
    EXPECT_EQ(squad.Update(nullptr), 1);
    EXPECT_EQ(runs, 2);

    clock.Advance(Squad::kPeriodMs);
    Timer spent(0);
    spent.Start();
    EXPECT_EQ(squad.Update(&spent), 0);
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(squad.Update(nullptr), 1);
    EXPECT_EQ(runs, 4);
    EXPECT_EQ(squad.Update(nullptr), 1);
    EXPECT_EQ(runs, 4);
}
