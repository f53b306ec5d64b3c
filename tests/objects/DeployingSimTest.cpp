#include <gtest/gtest.h>

#include "objects/EconomyTestSupport.h"
#include "objects/LocationGoal.h"
#include "objects/ManoeuvreMakers.h"
#include "objects/ObjectLand.h"
#include "objects/SimTestSupport.h"
#include "objects/SquadManoeuvre.h"
#include "objects/UnitVariantsSupport.h"
#include "ui/ScreenBase.h"

namespace {

class DeployingUnits : public ::testing::Test {
protected:
    // One update after 50 ms of the clock.
    void Step(Sim* sim, int ms = 50) {
        clock.Advance(static_cast<uint32_t>(ms));
        sim->Update(ms);
    }
    // Deploys and plays the animation to its end.
    void Stand(DeployingSim* unit) {
        unit->facing = DeployingSim::kWorkingFacing;
        unit->DeployNow();
        for (int i = 0; i < 10 && unit->DeployState() != DeployingSim::kDeployed; ++i)
            Step(unit);
    }

    FakeClock clock{1000};
    SpecialKit kit;
    SpecialWorld world;
    const Point at{320, 320};
};

TEST_F(DeployingUnits, TurnTheShortWayToTheWorkingFacingThenPlayTheDeployOnce) {
    // A standing loop of three frames, so that the loop shows more than its first frame.
    kit.structures[0]->deployedPictures = Grid({3, 4});
    DeployingSim* unit = kit.Structure(world, 0, 1, 1, at);
    unit->facing = 4;
    unit->DeployNow();
    EXPECT_EQ(unit->GetKind(), 7);
    std::vector<int> facings;
    for (int i = 0; i < 8; ++i) {
        Step(unit);
        facings.push_back(unit->facing);
    }
    EXPECT_EQ(facings, (std::vector<int>{3, 2, 1, 0, 15, 14, 13, 12}));
    std::vector<int> frames;
    while (unit->DeployState() == DeployingSim::kDeploying && frames.size() < 10) {
        Step(unit);
        frames.push_back(unit->deployFrame);
    }
    // Sequence 1 has four frames (last index 3): 1, 2, then the loop begins.
    EXPECT_EQ(frames, (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(unit->sequence, 0);
    // The standing loop (last index 2) goes round and round.
    frames.clear();
    for (int i = 0; i < 4; ++i) {
        Step(unit);
        frames.push_back(unit->deployFrame);
    }
    EXPECT_EQ(frames, (std::vector<int>{1, 0, 1, 0}));
    EXPECT_EQ(unit->DeployState(), DeployingSim::kDeployed);
    unit->deployFrame = 0;
    // The mounts follow the animation's own table while it plays, the deployed table after.
    EXPECT_EQ(unit->GetMountOffset(0), Point(3, 4));
    unit->sequence = 1;
    unit->deployFrame = 2;
    EXPECT_EQ(unit->GetMountOffset(0), Point(0, 3));
    EXPECT_EQ(unit->GetMountOffset(1), Point());
    // Folding plays sequence 1 backwards from its last frame and is mobile on reaching frame 0.
    unit->UndeployNow();
    EXPECT_EQ(unit->deployFrame, 3);
    std::vector<std::pair<int, int>> folding;
    for (int i = 0; i < 4; ++i) {
        Step(unit);
        folding.emplace_back(unit->deployFrame, unit->DeployState());
    }
    EXPECT_EQ(folding, (std::vector<std::pair<int, int>>{{2, DeployingSim::kUndeploying},
                                                         {1, DeployingSim::kUndeploying},
                                                         {0, DeployingSim::kMobile},
                                                         {0, DeployingSim::kMobile}}));
}

// Without deployed pictures a structure stands after one frame and folds away from frame 0.
TEST_F(DeployingUnits, WithoutPicturesDeployInOneFrameAndUndeployAtOnce) {
    kit.structures[2]->deployedPictures = nullptr;
    DeployingSim* unit = kit.Structure(world, 2, 1, 1, at);
    unit->facing = DeployingSim::kWorkingFacing;
    unit->DeployNow();
    Step(unit);
    EXPECT_EQ(unit->DeployState(), DeployingSim::kDeployed);
    EXPECT_EQ(unit->deployFrame, 0);
    unit->UndeployNow();
    EXPECT_EQ(unit->sequence, 1);
    EXPECT_EQ(unit->deployFrame, 0);
    Step(unit);
    EXPECT_EQ(unit->DeployState(), DeployingSim::kMobile);
}

TEST_F(DeployingUnits, AFootprintOffBuildableGroundChangesNothing) {
    DeployingSim* unit = kit.Structure(world, 0, 1, 1, at);
    world.buildable = [](const Rect&) { return 0; };
    unit->DeployNow();
    EXPECT_EQ(unit->GetKind(), 1);
    EXPECT_EQ(unit->DeployState(), DeployingSim::kMobile);
    EXPECT_TRUE(CommandKinds(world.commands).empty());
    EXPECT_TRUE(world.played.empty());
}

TEST_F(DeployingUnits, DropMovesAndRefuseAttacksOnFriendsWhileDeployed) {
    DeployingSim* unit = kit.Structure(world, 0, 1, 1, at);
    Sim* friendUnit = kit.Unit(world, 1, 2, Point(100, 100));
    Stand(unit);
    struct Case {
        int code;
        SimId target;
    } cases[] = {{Sim::kOrderMove, SimId()}, {Sim::kOrderAttack, friendUnit->id}};
    for (const Case& c : cases) {
        unit->IssueOrder(c.code, 0, Point(40, 40), c.target);
        EXPECT_TRUE(unit->goals.IsEmpty()) << c.code;
        EXPECT_EQ(unit->ordered, 0) << c.code;
    }
    // An attack on an enemy passes: the structure takes it as its order.
    Sim* enemy = kit.Unit(world, 2, 3, Point(200, 200));
    unit->IssueOrder(Sim::kOrderAttack, 0, Point(), enemy->id);
    EXPECT_EQ(unit->ordered, 1);
    unit->ordered = 0;
    unit->ClearGoals();
    // A move goal that reaches it anyway is dropped at the next update; a structure that still
    // counted as moving stops in that update and tells the copies so.
    unit->goals.PushBack(std::make_unique<LocationGoal>(unit->id, Point(40, 40), 10, 1, 1));
    unit->moving = 1;
    world.commands.Rewind();
    Step(unit);
    EXPECT_TRUE(unit->goals.IsEmpty());
    EXPECT_EQ(unit->moving, 0);
    std::vector<int> kinds = CommandKinds(world.commands);
    EXPECT_EQ(std::count(kinds.begin(), kinds.end(), 28), 1);
    EXPECT_EQ(unit->IsSelectable(), 0);
    EXPECT_EQ(unit->IsMobile(), 0);
}

TEST_F(DeployingUnits, SoundTheWarningOnceInTenSeconds) {
    DeployingSim* unit = kit.Structure(world, 0, 1, 1, at);
    Stand(unit);
    const int gaps[] = {0, 9000, 1500, 100};
    for (int gap : gaps) {
        clock.Advance(static_cast<uint32_t>(gap));
        unit->Explode(5, nullptr, Point());
    }
    // At 0 and after 10500 ms.
    EXPECT_EQ(world.voices, (std::vector<int>{7, 7}));
    world.localTeam = 2;
    clock.Advance(20000);
    unit->Explode(5, nullptr, Point());
    EXPECT_EQ(world.voices.size(), 2u);
}

TEST_F(DeployingUnits, GiveTheirCodeOnlyWhileTheyStand) {
    for (int code = 0; code <= 5; ++code) {
        DeployingSim* unit = kit.Structure(world, code, 1, 10 + code, at);
        Stand(unit);
        EXPECT_EQ(world.TeamHasStructure(1, code), 1) << code;
        EXPECT_EQ(world.TeamHasStructure(2, code), 0) << code;
        unit->UndeployNow();
        EXPECT_EQ(world.TeamHasStructure(1, code), 0) << code;
        for (int i = 0; i < 6; ++i)
            Step(unit);
        EXPECT_EQ(unit->DeployState(), DeployingSim::kMobile) << code;
        Stand(unit);
        if (code % 2 == 0)
            unit->Destroy();
        else
            unit->TakeDamage(nullptr, SimId(), nullptr, 0);
        // Destroyed while standing: counted as a mobile unit's loss.
        EXPECT_EQ(unit->GetKind(), 1) << code;
        EXPECT_EQ(unit->IsDestroyed(), 1) << code;
        EXPECT_EQ(world.TeamHasStructure(1, code), 0) << code;
    }
}

TEST_F(DeployingUnits, ARefuellingStructureOffersTwoDocks) {
    DeployingSim* refuel = kit.Structure(world, 4, 1, 1, at);
    DeployingSim* sensor = kit.Structure(world, 0, 1, 2, at);
    ASSERT_EQ(refuel->DockCount(), 2);
    EXPECT_EQ(refuel->GetDockOffset(0), Point(-96, 0));
    EXPECT_EQ(refuel->GetDockOffset(1), Point(96, 0));
    EXPECT_EQ(sensor->DockCount(), 0);
}

// Standing, a structure shows its deployed frame in its team's colour; hidden from its own
// team it shows as a ghost where the land has the ghost's shades, and not at all elsewhere.
TEST_F(DeployingUnits, DrawTheirFrameInTheTeamColourOrAsAGhostWhileHidden) {
    auto grid = std::make_unique<SpriteSet>(2);
    grid->SetFrame(std::make_unique<SequenceProbe>(2), 0);
    grid->SetFrame(std::make_unique<SequenceProbe>(4), 1);
    auto* standing = static_cast<SequenceProbe*>(grid->SubImage(0));
    kit.structures[0]->deployedPictures = std::move(grid);
    DeployingSim* unit = kit.Structure(world, 0, 1, 1, at);
    Stand(unit);
    ASSERT_EQ(unit->sequence, 0);
    unit->teamRecord.third = 3;
    world.GrantStructure(1, 1);
    LandFixture files;
    struct Row {
        int hidden;
        bool land;
        int colour;  // -1 a ghost, -2 nothing
    };
    const Row rows[] = {{0, false, 3}, {0, true, 3}, {1, true, -1}, {1, false, -2}};
    for (const Row& row : rows) {
        world.terrain = row.land ? PlainTerrain(files, 10, 10) : nullptr;
        unit->stealth.hidden = row.hidden;
        standing->drawn.clear();
        standing->points.clear();
        ScreenBase view;
        unit->Draw(view);
        if (row.colour == -2) {
            EXPECT_TRUE(standing->drawn.empty()) << row.hidden << row.land;
            continue;
        }
        ASSERT_EQ(standing->drawn.size(), 1u) << row.hidden << row.land;
        EXPECT_EQ(standing->drawn[0], std::make_pair(unit->deployFrame, row.colour));
        EXPECT_EQ(standing->points[0], view.MapToScreen(at));
    }
    world.terrain.reset();
}

// A picture that notes each tinted drawing.
class TintProbe : public Image {
public:
    explicit TintProbe(std::vector<Point>& log) : Image(Size(8, 8)), log(log) {}
    void DrawTinted(const Point& at, const ShadeTable&, int32_t) override { log.push_back(at); }
    std::vector<Point>& log;
};

// A standing structure's shadow is its under-animation's frame, and its still under-picture
// at its facing while it shows no structure; none while hidden from its own team or on a land
// without shades. Sensed, it shows its frame tinted.
TEST_F(DeployingUnits, CastTheShadowOfTheirUnderPicturesAndShowTheirFrameWhenSensed) {
    auto grid = std::make_unique<SpriteSet>(2);
    grid->SetFrame(std::make_unique<SequenceProbe>(2), 0);
    grid->SetFrame(std::make_unique<SequenceProbe>(4), 1);
    auto* standing = static_cast<SequenceProbe*>(grid->SubImage(0));
    kit.structures[0]->deployedPictures = std::move(grid);
    // The under-animation has the standing sequence only.
    auto under = std::make_unique<SpriteSet>(1);
    under->SetFrame(std::make_unique<SequenceProbe>(2), 0);
    auto* underStanding = static_cast<SequenceProbe*>(under->SubImage(0));
    std::vector<Point> still;
    auto picture = std::make_unique<SpriteSet>(16);
    for (int f = 0; f < 16; ++f)
        picture->SetFrame(std::make_unique<TintProbe>(still), f);
    kit.structures[0]->underPicture = std::move(picture);
    kit.structures[0]->underAnimation = std::move(under);
    DeployingSim* animated = kit.Structure(world, 0, 1, 1, at);
    Stand(animated);
    world.GrantStructure(1, 1);
    LandFixture files;
    ScreenBase view;
    struct Row {
        int hidden;
        bool land;
        bool cast;
    };
    const Row rows[] = {{0, true, true}, {1, true, false}, {0, false, false}};
    for (const Row& row : rows) {
        world.terrain = row.land ? PlainTerrain(files, 10, 10) : nullptr;
        animated->stealth.hidden = row.hidden;
        underStanding->drawn.clear();
        underStanding->points.clear();
        animated->DrawUnder(view);
        ASSERT_EQ(underStanding->drawn.size(), row.cast ? 1u : 0u) << row.hidden << row.land;
        if (row.cast) {
            EXPECT_EQ(underStanding->drawn[0], std::make_pair(animated->deployFrame, -1));
            EXPECT_EQ(underStanding->points[0], view.MapToScreen(at));
        }
    }
    EXPECT_TRUE(still.empty());
    // Turned away from its working facing it shows no structure: the still picture is drawn.
    world.terrain = PlainTerrain(files, 10, 10);
    animated->stealth.hidden = 0;
    animated->facing = 5;
    animated->DrawUnder(view);
    EXPECT_EQ(still, std::vector<Point>{view.MapToScreen(at)});
    EXPECT_TRUE(underStanding->drawn.empty());
    // Sensed: the frame tinted, and nothing without a table.
    animated->facing = DeployingSim::kWorkingFacing;
    standing->drawn.clear();
    animated->DrawSensed(view, nullptr);
    EXPECT_TRUE(standing->drawn.empty());
    animated->DrawSensed(view, world.terrain->ShadeTable1());
    ASSERT_FALSE(standing->drawn.empty());
    EXPECT_EQ(standing->drawn[0], std::make_pair(animated->deployFrame, -1));
    // The last sequence is shown as well.
    auto* deploying = static_cast<SequenceProbe*>(kit.structures[0]->deployedPictures->SubImage(1));
    animated->sequence = 1;
    animated->DrawSensed(view, world.terrain->ShadeTable1());
    ASSERT_FALSE(deploying->drawn.empty());
    EXPECT_EQ(deploying->drawn[0], std::make_pair(animated->deployFrame, -1));
    animated->sequence = 0;
    world.terrain.reset();
}

TEST_F(DeployingUnits, CopiesDeployOnlyByCommand) {
    InstallManoeuvreMakers(world.makers);
    DeployingSim* unit = kit.Structure(world, 0, 1, 1, at);
    unit->DeployNow();
    // The owner's structure fights back when hit.
    EXPECT_NE(unit->FindManoeuvre(static_cast<int>(ManoeuvreType::Retaliate)), nullptr);
    unit->UndeployNow();
    std::vector<int> kinds = CommandKinds(world.commands);
    std::erase_if(kinds, [](int k) { return k != 32 && k != 33; });
    EXPECT_EQ(kinds, (std::vector<int>{32, 33}));
    world.commands.Rewind();
    unit->local = 0;
    unit->DeployNow();
    EXPECT_EQ(unit->GetKind(), 7);
    EXPECT_TRUE(CommandKinds(world.commands).empty());
}

}  // namespace
