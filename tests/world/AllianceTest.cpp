// Alliances, the pause lock, the status line and the timed cell effects.
#include <string>

#include <gtest/gtest.h>

#include "catalogue/PictureTemplates.h"
#include "catalogue/TemplateCatalogue.h"
#include "core/Settings.h"
#include "core/Sound.h"
#include "core/VoicePool.h"
#include "objects/CommandBuffer.h"
#include "objects/TimerNode.h"
#include "ui/ScreenBase.h"
#include "world/MemoryCatalogueMedia.h"
#include "world/RegistryTestFixture.h"
#include "world/TeamController.h"

namespace {

class CountingController : public TeamController {
public:
    explicit CountingController(int& pauses) : pauses(pauses) {}
    void Update(Timer&) override {}
    void PauseTimers() override { ++pauses; }
    int& pauses;
};

LandLayout DecoratedLand() {
    LandLayout layout = OpenLand(12, 10);
    layout.withDecorations = true;
    return layout;
}

class AllianceTest : public ::testing::Test {
protected:
    WorldOnLand land{DecoratedLand()};
    World& world = land.world;
};

TEST_F(AllianceTest, AllyingTwiceOrWithItselfAnswers0AndBadTeamsChangeNothing) {
    EXPECT_EQ(world.Ally(SimId(1, 5), SimId(3, 9)), 1);
    EXPECT_EQ(world.AreAllied(SimId(3, 0), SimId(1, 0)), 1);
    EXPECT_EQ(world.AreAllied(ValueTriple(1), ValueTriple(3)), 1);
    EXPECT_EQ(world.Ally(SimId(1, 5), SimId(3, 9)), 0);
    EXPECT_EQ(world.Ally(SimId(2, 1), SimId(2, 2)), 0);
    EXPECT_EQ(world.Ally(SimId(7, 1), SimId(2, 2)), 0);
    EXPECT_EQ(world.Ally(SimId(-1, -1), SimId(2, 2)), 0);
    EXPECT_EQ(world.AreAllied(SimId(9, 1), SimId(9, 1)), 0);
    world.Unally(SimId(1, 0), SimId(3, 0));
    EXPECT_EQ(world.AreAllied(1, 3), 0);
    EXPECT_EQ(world.AreAllied(3, 1), 0);
    world.Unally(SimId(1, 0), SimId(12, 0));
    EXPECT_EQ(world.AreAllied(1, 1), 1);
    // Teams 0 and 4 are the ends of the range; 5 and -1 lie past them.
    EXPECT_EQ(world.Ally(SimId(0, 1), SimId(4, 2)), 1);
    EXPECT_EQ(world.AreAllied(4, 0), 1);
    EXPECT_EQ(world.Ally(SimId(4, 1), SimId(5, 2)), 0);
    EXPECT_EQ(world.Ally(SimId(5, 1), SimId(4, 2)), 0);
    EXPECT_EQ(world.AreAllied(4, 5), 0);
    EXPECT_EQ(world.AreAllied(5, 4), 0);
    EXPECT_EQ(world.AreAllied(-1, 0), 0);
    EXPECT_EQ(world.AreAllied(0, -1), 0);
    // Breaking an alliance with a team past the range breaks none.
    EXPECT_EQ(world.Ally(SimId(1, 0), SimId(4, 0)), 1);
    world.Unally(SimId(2, 0), SimId(-1, 0));
    EXPECT_EQ(world.AreAllied(1, 4), 1);
    EXPECT_EQ(world.AreAllied(4, 1), 1);
}

TEST_F(AllianceTest, ThePauseLockRefusesTogglingAndRecordsNothing) {
    world.commands->SetEnabled(1);
    world.paused = 0;
    world.pauseLocked = 1;
    world.TogglePause();
    EXPECT_EQ(world.paused, 0);
    EXPECT_EQ(world.commands->Size(), 0u);
    world.pauseLocked = 0;
    int pauses = 0;
    world.SetTeamController(2, std::make_unique<CountingController>(pauses));
    world.TogglePause();
    EXPECT_EQ(world.paused, 1);
    EXPECT_EQ(pauses, 1);
    EXPECT_GT(world.commands->Size(), 0u);
    world.SetPaused(1);
    EXPECT_EQ(pauses, 1);
    world.commands->SetEnabled(0);
}

TEST_F(AllianceTest, TheStatusLineKeeps1023CharactersAndDefaultsToColour10) {
    world.SetStatusMessage("", 0);
    EXPECT_EQ(world.statusColour, 10);
    EXPECT_EQ(world.statusText[0], 0);
    const std::string longText(2000, 'a');
    world.SetStatusMessage(longText.c_str(), 3);
    EXPECT_EQ(std::string(world.statusText), std::string(1023, 'a'));
    EXPECT_EQ(world.statusColour, 3);
    // The colour table has nine entries; other numbers give black, readable on the default box.
    EXPECT_EQ(world.ColourOf(1), 11);
    EXPECT_EQ(world.ColourOf(8), 16);
    EXPECT_EQ(world.ColourOf(9), 0);
    EXPECT_EQ(world.ColourOf(10), 0);
    EXPECT_EQ(world.ColourOf(-1), 0);
    EXPECT_EQ(world.ColourOf(-4), 0);
    EXPECT_EQ(world.PlayUiSound(0), 0);
    EXPECT_EQ(world.PlayUiSound(1), 1);
    // A refusal sounds the refuse sound, anything else the confirm sound.
    world.voices = std::make_unique<VoicePool>(4);
    world.confirmSound = std::make_unique<Sound>(1);
    world.refuseSound = std::make_unique<Sound>(2);
    auto newest = [&] { return static_cast<VoiceNode*>(world.voices->First())->sound; };
    EXPECT_EQ(world.PlayUiSound(0), 0);
    ASSERT_EQ(world.voices->Count(), 1);
    EXPECT_EQ(newest(), world.refuseSound.get());
    EXPECT_EQ(world.PlayUiSound(2), 2);
    ASSERT_EQ(world.voices->Count(), 2);
    EXPECT_EQ(newest(), world.confirmSound.get());
}

TEST_F(AllianceTest, TheFirstCellEffectToExpireClearsTheCellBit) {
    const Point at = land.Centre(4, 4);
    world.AddCellEffect(at);
    world.UpdateCellEffects(4000);
    world.AddCellEffect(at + Point(3, 3));
    ASSERT_EQ(world.cellEffects.Count(), 2);
    EXPECT_TRUE(world.pathGrid->CellWord(4, 4) & 0x40u);
    world.UpdateCellEffects(6000);
    EXPECT_FALSE(world.pathGrid->CellWord(4, 4) & 0x40u);
    EXPECT_EQ(world.cellEffects.Count(), 1);
    world.UpdateCellEffects(3999);
    EXPECT_EQ(world.cellEffects.Count(), 1);
    world.UpdateCellEffects(1);
    EXPECT_EQ(world.cellEffects.Count(), 0);
}

TEST_F(AllianceTest, ImpactsLeaveNoCellEffectInLowDetailOrOffTheMap) {
    const int32_t saved = lowDetail;
    lowDetail = 1;
    world.AddCellEffect(land.Centre(4, 4));
    lowDetail = saved;
    EXPECT_EQ(world.cellEffects.Count(), 0);
    world.AddCellEffect(Point(-10, 40));
    world.AddCellEffect(Point(40, 99999));
    EXPECT_EQ(world.cellEffects.Count(), 0);
}

TEST_F(AllianceTest, LocalPositionsAndKillsAreNoted) {
    TestObject* own = land.AddUnit(1, 1, 3, 3);
    TestObject* enemy = land.AddUnit(2, 2, 5, 5);
    world.NoteLocalPosition(enemy);
    EXPECT_EQ(world.lastLocalPosition, Point(0, 0));
    world.NoteLocalPosition(own);
    EXPECT_EQ(world.lastLocalPosition, own->GetPosition());
    world.AddTeamCount(enemy);
    EXPECT_EQ(land.records.kills[2], 1);
    world.ClearObjects();
    EXPECT_EQ(world.lastLocalPosition, Point(0, 0));
}

TEST_F(AllianceTest, OnlyTheFirstMarkOfACellIsDrawnAndItsAnimationCycles) {
    MemoryCatalogueMedia media;
    media.gridFrames = 3;
    SetCatalogueMedia(&media);
    ListNode* mark = new RoleTemplate('X', 'x', "marks");
    RoleList.PushBack(mark);
    ScreenBase screen;
    const Point at = land.Centre(4, 4);
    world.AddCellEffect(at);
    world.AddCellEffect(at + Point(2, 2));
    for (int i = 0; i < 4; ++i)
        world.DrawCellEffect(4, 4, screen);
    world.DrawCellEffect(4, 5, screen);
    EXPECT_EQ(media.draws, std::vector<int>({0, 1, 2, 0}));
    // With low detail nothing is drawn; once the bit is gone neither.
    const int32_t saved = lowDetail;
    lowDetail = 1;
    world.DrawCellEffect(4, 4, screen);
    lowDetail = saved;
    world.UpdateCellEffects(10000);
    world.DrawCellEffect(4, 4, screen);
    EXPECT_EQ(media.draws.size(), 4u);
    // Two marks on one row: each cell draws its own, with its own animation.
    world.AddCellEffect(land.Centre(6, 6));
    world.AddCellEffect(land.Centre(6, 2));
    world.DrawCellEffect(6, 6, screen);
    world.DrawCellEffect(6, 6, screen);
    world.DrawCellEffect(6, 2, screen);
    EXPECT_EQ(media.draws, std::vector<int>({0, 1, 2, 0, 0, 1, 0}));
    delete mark;
    SetCatalogueMedia(nullptr);
}

TEST_F(AllianceTest, ARectangleIsVisibleWhereTheLocalPlayersUnitsSeeNow) {
    // The local team's unit lifts the fog 8 cells round itself; another team's does not.
    land.AddUnit(2, 1, 2, 9);
    EXPECT_EQ(world.IsRectVisible(Rect(Point(32 * 9, 32 * 2), Size(32, 32))), 0);
    TestObject* own = land.AddUnit(1, 2, 2, 2);
    EXPECT_EQ(world.IsRectVisible(Rect(Point(32 * 9, 32 * 2), Size(32, 32))), 1);
    // Clipped to the map: a rectangle reaching outside still counts its inside part.
    EXPECT_EQ(world.IsRectVisible(Rect(Point(-100, -100), Size(140, 140))), 1);
    EXPECT_EQ(world.IsRectVisible(Rect(Point(-300, -300), Size(100, 100))), 0);
    world.RemoveFromGrids(own, own->GetPosition(), 0);
    EXPECT_EQ(world.IsRectVisible(Rect(Point(32 * 9, 32 * 2), Size(32, 32))), 0);
    // Without a land nothing is visible.
    World bare;
    EXPECT_EQ(bare.IsRectVisible(Rect(Point(0, 0), Size(64, 64))), 0);
}

}  // namespace
