// The design screen reached from the battle through the World's mode switch: the design the
// build list hands over, and the refit of the local team's real factory on the way back.
#include <gtest/gtest.h>

#include <vector>

#include "BattleScreenFixture.h"
#include "catalogue/BuildingTemplate.h"
#include "catalogue/ChassisTemplate.h"
#include "catalogue/DesignLibrary.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/VehicleDesign.h"
#include "catalogue/WeaponTemplate.h"
#include "core/KeyCodes.h"
#include "core/StringTable.h"
#include "core/WindowProc.h"
#include "objects/BuildingCreation.h"
#include "objects/CommandBuffer.h"
#include "objects/FactoryBuilding.h"
#include "screens/DesignScreen.h"
#include "screens/FrontEndScreenFactory.h"
#include "screens/HardpointPanel.h"
#include "ui/Button.h"
#include "ui/ScrollList.h"
#include "world/ScreenFactory.h"

namespace {

std::vector<int> Kinds(const CommandBuffer& buffer) {
    std::vector<int> kinds;
    const uint8_t* p = buffer.Data();
    for (size_t at = 0; at + 1 < buffer.Size() && p[at] > 0; at += p[at])
        kinds.push_back(p[at + 1]);
    return kinds;
}

TEST_F(BattleScreenTest, TheDesignScreenOpensFromTheBattleAndRefitsTheRealFactory) {
    ClearStringTable();
    ASSERT_EQ(LoadStringTable("7a1.str"), 1);
    ASSERT_EQ(LoadTemplateCatalogue("7a.pts"), 1);
    FrontEndScreenFactory screens;
    ScreenFactory* previous = RegisteredScreenFactory();
    RegisterScreenFactory(&screens);
    World& w = world();
    w.techLevelV = w.techLevelT = 8;
    std::unique_ptr<GameObject> made =
        CreateBuildingSim('V', w.NewSimId(1), land->Centre(60, 60), 1);
    ASSERT_TRUE(made);
    auto* factory = static_cast<FactoryBuilding*>(made.get());
    w.AddBuilding(std::move(made));
    ASSERT_EQ(w.LocalFactoryDesign(), factory->GetDesign());
    DesignLibrary& library = *w.designLibrary;
    ASSERT_EQ(library.Load("Vs.vdf"), 1);
    // The factory fit a design file with a hardpoint line gives.
    ASSERT_FALSE(library.current);
    library.current = new VehicleDesign('V');
    library.current->SetPrimaryPart(FindBuildingTemplate('V')->chassis.get());

    w.requestedMode = static_cast<int>(GameMode::Battle);
    w.ApplyModeChange();
    auto* battle = dynamic_cast<BattleScreen*>(w.currentScreen);
    ASSERT_TRUE(battle);
    driven = battle;
    battle->designListFlag = 1;
    battle->buildList->SetCount(library.CountAvailable());
    battle->buildList->SetSelection(1);
    VehicleDesign* handed = battle->SelectedBuildDesign();
    ASSERT_TRUE(handed);
    // The battle's own state, which the round trip through the design screen keeps. The
    // pointer rests over the map (screens post its place when they open), and the move that
    // the opening posted is taken first.
    const Point pointerBefore = cursorPosition;
    cursorPosition = Point(320, 240);
    while (events.Take()) {
    }
    battle->wantedOrigin = Point(64, 96);
    battle->ClampScroll();
    battle->sideTab = 2;
    battle->bottomStripShown = 0;
    factory->selected = 1;
    const Point origin = battle->viewOrigin;
    ASSERT_NE(origin, Point());
    Post(InputKind::Key, Point(320, 240), 'D');
    Frame();
    ASSERT_EQ(w.requestedMode, static_cast<int>(GameMode::DesignFromBattle));

    w.ApplyModeChange();
    auto* design = dynamic_cast<DesignScreen*>(w.currentScreen);
    ASSERT_TRUE(design);
    driven = design;
    EXPECT_EQ(design->EditedDesign()->CodeString(), std::string(handed->CodeString()));
    EXPECT_EQ(library.selected, handed);

    // The factory fit stands last; mount a weapon on its second hardpoint and leave with yes.
    Click(design->ButtonOf(26)->Centre());
    ScrollList& list = *design->DesignList();
    list.SetSelection(list.count - 2);
    Post(InputKind::Key, Point(320, 240), kKeyDown);
    Frame();
    Click(design->ButtonOf(24)->Centre());
    ASSERT_EQ(design->EditedDesign()->chassis, FindBuildingTemplate('V')->chassis.get());
    MountTemplate* gun = FindWeaponTemplate('V', 'a');
    design->PickEntry(gun, 3);
    HardpointPanel* panel = design->ShownHardpointPanel();
    ASSERT_TRUE(panel);
    Click(panel->picturePoints[1]);
    ASSERT_EQ(design->EditedDesign()->hardpoints[1], gun);
    const int partsBefore = factory->Parts().Count();
    w.networkGame = 1;
    w.commands->SetEnabled(1);
    w.commands->Rewind();
    w.requestedMode = 0;
    Click(design->ButtonOf(23)->Centre());
    EXPECT_EQ(design->question, 3);
    Post(InputKind::Key, Point(320, 240), 'y');
    Frame();
    ASSERT_EQ(w.requestedMode, static_cast<int>(GameMode::Battle));
    w.ApplyModeChange();
    EXPECT_EQ(w.currentScreen, battle);
    EXPECT_EQ(battle->viewOrigin, origin);
    EXPECT_EQ(battle->sideTab, 2);
    EXPECT_EQ(battle->bottomStripShown, 0);
    EXPECT_EQ(battle->designListFlag, 1);
    EXPECT_EQ(factory->selected, 1);
    cursorPosition = pointerBefore;
    EXPECT_EQ(factory->GetDesign()->hardpoints[1], gun);
    EXPECT_EQ(factory->Parts().Count(), partsBefore + 1);
    // The peers hear of the refit through command 27 and nothing else (the answer and the
    // hand-back each refit, so the same fit may go twice).
    const std::vector<int> sent = Kinds(*w.commands);
    ASSERT_FALSE(sent.empty());
    for (int kind : sent)
        EXPECT_EQ(kind, 27);
    w.commands->SetEnabled(0);

    driven = nullptr;
    w.requestedMode = static_cast<int>(GameMode::Quit);
    w.ApplyModeChange();
    RegisterScreenFactory(previous);
    RemoveObjects();
    ClearTemplateCatalogue();
    ClearStringTable();
}

}  // namespace
