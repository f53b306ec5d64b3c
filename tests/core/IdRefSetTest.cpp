// IdRefSet against a scripted squad directory.
#include "core/IdRefSet.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "core/SquadDirectory.h"

namespace {
struct FakeSquad : SquadMembership {
    explicit FakeSquad(int32_t id) : id(id) {}
    void RemoveMember(IdRefSet& member) override {
        removals.push_back(&member);
        wasCurrent.push_back(member.IsCurrent(id));
    }
    int32_t id;
    std::vector<IdRefSet*> removals;
    std::vector<bool> wasCurrent;
};

struct FakeController : SquadDirectory {
    SquadMembership* FindSquad(int32_t id) override {
        auto it = squads.find(id);
        return it == squads.end() ? nullptr : it->second;
    }
    std::map<int32_t, FakeSquad*> squads;
};
}  // namespace

TEST(IdRefSet, AddAsCurrentHasTheOldSquadLetGo) {
    FakeController owner;
    FakeSquad s3(3);
    owner.squads[3] = &s3;
    IdRefSet object;
    object.SetOwner(&owner);
    object.Add(3, 1);
    EXPECT_TRUE(s3.removals.empty());
    object.Add(3, 1);  // the same id again still tells the squad
    ASSERT_EQ(s3.removals.size(), 1u);
    EXPECT_TRUE(s3.wasCurrent[0]);
    EXPECT_TRUE(object.IsCurrent(3));
    object.Add(9, 1);
    EXPECT_EQ(s3.removals.size(), 2u);
    EXPECT_TRUE(object.IsCurrent(9));
}

TEST(IdRefSet, RemoveZeroForgetsEverySquadSilently) {
    FakeController owner;
    FakeSquad s1(1);
    owner.squads[1] = &s1;
    IdRefSet object;
    object.SetOwner(&owner);
    object.Add(1, 1);
    object.Add(1, 0);
    object.Add(2, 0);
    object.Remove(0);
    EXPECT_FALSE(object.IsCurrent(0));
    EXPECT_TRUE(object.Memberships().IsEmpty());
    EXPECT_TRUE(s1.removals.empty());
}

TEST(IdRefSet, RemoveDropsOneMembershipOrTheCurrentSquad) {
    IdRefSet object;
    object.Add(7, 1);
    object.Add(8, 0);
    object.Add(8, 0);
    object.Add(9, 0);
    object.Remove(8);
    ASSERT_NE(object.FindNode(8), nullptr);  // the second node of a duplicate stays
    object.Remove(8);
    EXPECT_EQ(object.FindNode(8), nullptr);
    object.Remove(7);
    EXPECT_FALSE(object.IsCurrent(0));
    EXPECT_NE(object.FindNode(9), nullptr);
}

TEST(IdRefSet, ChangingOwnerLeavesEverySquadAndSkipsDisbandedOnes) {
    FakeController owner;
    FakeSquad s1(1);
    FakeSquad s2(2);
    owner.squads[1] = &s1;
    owner.squads[2] = &s2;
    IdRefSet object;
    object.SetOwner(&owner);
    object.Add(1, 1);
    object.Add(2, 0);
    object.Add(5, 0);         // squad 5 is gone by now
    object.SetOwner(&owner);  // same owner: nothing happens
    EXPECT_TRUE(s1.removals.empty());
    FakeController other;
    object.SetOwner(&other);
    EXPECT_EQ(s1.removals.size(), 1u);
    EXPECT_EQ(s2.removals.size(), 1u);
    EXPECT_FALSE(object.IsCurrent(0));
    EXPECT_TRUE(object.Memberships().IsEmpty());
    EXPECT_EQ(object.Owner(), &other);
}

TEST(IdRefSet, DisbandedCurrentSquadIsSkippedOnAdd) {
    FakeController owner;
    IdRefSet object;
    object.SetOwner(&owner);
    object.Add(6, 1);
    object.Add(7, 1);  // squad 6 does not resolve: nothing to tell, no crash
    EXPECT_TRUE(object.IsCurrent(7));
}

TEST(IdRefSet, DestructionLeavesTheSquads) {
    FakeController owner;
    FakeSquad s1(1);
    owner.squads[1] = &s1;
    {
        IdRefSet object;
        object.SetOwner(&owner);
        object.Add(1, 0);
    }
    EXPECT_EQ(s1.removals.size(), 1u);
    EXPECT_FALSE(s1.wasCurrent[0]);
}
