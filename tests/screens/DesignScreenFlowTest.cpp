#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "catalogue/BuildingTemplate.h"
#include "catalogue/CatalogueServices.h"
#include "catalogue/ChassisTemplate.h"
#include "catalogue/DesignGroup.h"
#include "catalogue/WeaponTemplate.h"
#include "core/KeyCodes.h"
#include "core/PtrNode.h"
#include "core/Sound.h"
#include "core/SpriteSet.h"
#include "core/VoicePool.h"
#include "objects/CommandBuffer.h"
#include "objects/ObjectTestSupport.h"
#include "screens/DesignScreenTestFixture.h"
#include "screens/HardpointPanel.h"
#include "screens/UiSoundCount.h"
#include "screens/battle/ControlPanel.h"
#include "support/MemoryLink.h"
#include "ui/ScrollList.h"
#include "ui/TextField.h"
#include "world/Scenario.h"

namespace {

class DesignFlowTest : public DesignScreenTest {
protected:
    int Designs() { return Library().CountAvailable(); }
    VehicleDesign* Selected() { return Library().selected; }
    // Picks the Trooper from the first category on the parts panel: a change.
    void PickTrooper() {
        ClickButton(0);
        for (int page = 0; page < 20 && screen->VisibleEntry(0) != Trooper(); ++page)
            ClickButton(8);
        ASSERT_EQ(screen->VisibleEntry(0), Trooper());
        ClickButton(27);
    }
    static Template* Trooper() { return FindInList(ChassisList, 'V', 'b'); }
    // Every key the name field takes keeps the screen.
    void TypeName(const char* name) {
        Click(Point(300, 415));
        for (const char* c = name; *c; ++c)
            EXPECT_EQ(Key(*c), 1) << *c;
        Key(kKeyEnter);
    }
};

TEST_F(DesignFlowTest, ActivationShowsTheLastDesignAndTheDrawnPartsPanel) {
    Open();
    EXPECT_EQ(screen->editState, DesignScreen::kUnchanged);
    EXPECT_EQ(Selected(), Library().AvailableAt(Designs() - 1));
    // Leave and design buttons share one place: the other look while opened from the menu.
    EXPECT_EQ(screen->ButtonOf(22)->enabled + screen->ButtonOf(23)->enabled, 1);
    EXPECT_EQ(screen->ButtonOf(23)->enabled, 1);
    EXPECT_EQ(Frame(), 1);
    EXPECT_EQ(f->display.cursorShape, DesignScreen::kArrowCursor);
    // The pointer over a widget, the arrow elsewhere, nothing while a part is carried.
    Move(screen->ButtonOf(26)->Centre());
    Frame();
    EXPECT_EQ(f->display.cursorShape, DesignScreen::kPointerCursor);
    Move(Point(150, 200));
    Frame();
    EXPECT_EQ(f->display.cursorShape, DesignScreen::kArrowCursor);
    screen->carried = FindWeaponTemplate('V', 'a');
    Move(Point(150, 210));
    screen->HandleEvents(16);
    EXPECT_EQ(f->display.cursorShape, DesignScreen::kNoCursor);
    // A carried part without a picture of its own is carried unseen over the parts panel.
    screen->SetPanelMode(DesignScreen::kParts);
    screen->carried = FindWeaponTemplate('V', 'a');
    ASSERT_EQ(screen->carriedPicture, nullptr);
    EXPECT_EQ(Frame(), 1);
    EXPECT_NE(screen->carried, nullptr);
    EXPECT_EQ(f->display.cursorShape, DesignScreen::kNoCursor);
}

TEST_F(DesignFlowTest, NewDesignAsksOnlyAboutChangesAndKeepsANewDesignsName) {
    Open();
    const int before = Designs();
    ClickButton(14);  // unchanged: a new design at once
    EXPECT_EQ(Designs(), before + 1);
    EXPECT_EQ(screen->editState, DesignScreen::kNew);
    TypeName("Lancer");
    VehicleDesign* named = Selected();
    ClickButton(14);  // new: stored first
    EXPECT_EQ(Designs(), before + 2);
    EXPECT_STREQ(named->name, "lancer");

    // Through the library and back the design counts as stored; a chassis changes it.
    ClickButton(26);
    ClickButton(24);
    ASSERT_EQ(screen->editState, DesignScreen::kUnchanged);
    PickTrooper();
    ASSERT_EQ(screen->editState, DesignScreen::kChanged);
    VehicleDesign* asked = Selected();
    ClickButton(14);
    EXPECT_EQ(screen->question, 14);
    EXPECT_EQ(Key('n'), 1);
    EXPECT_EQ(screen->question, -1);
    EXPECT_EQ(asked->chassis, nullptr);
    EXPECT_EQ(Designs(), before + 3);
    EXPECT_EQ(screen->editState, DesignScreen::kNew);

    ClickButton(26);
    ClickButton(24);
    PickTrooper();
    asked = Selected();
    ClickButton(14);
    // The pointer shows over the answers only; a click beside them is refused; yes stores.
    Move(screen->ButtonOf(32)->Centre());
    Frame();
    EXPECT_EQ(f->display.cursorShape, DesignScreen::kPointerCursor);
    Move(Point(20, 20));
    Frame();
    EXPECT_EQ(f->display.cursorShape, DesignScreen::kArrowCursor);
    EXPECT_EQ(Click(Point(20, 20)), 1);
    EXPECT_EQ(screen->question, 14);
    // A press on a button that is not an answer takes no hold of it.
    Move(screen->ButtonOf(14)->Centre());
    Post(InputKind::ButtonDown, screen->ButtonOf(14)->Centre(), 'L');
    Frame();
    EXPECT_EQ(screen->pressedButton, -1);
    Post(InputKind::ButtonUp, screen->ButtonOf(14)->Centre(), 'L');
    Frame();
    EXPECT_EQ(screen->question, 14);
    // Nor does a press on an answer released over another button answer.
    Move(screen->ButtonOf(31)->Centre());
    Post(InputKind::ButtonDown, screen->ButtonOf(31)->Centre(), 'L');
    Frame();
    Move(screen->ButtonOf(14)->Centre());
    Post(InputKind::ButtonUp, screen->ButtonOf(14)->Centre(), 'L');
    Frame();
    EXPECT_EQ(screen->question, 14);
    EXPECT_EQ(ClickButton(31), 1);
    EXPECT_EQ(asked->chassis, FindInList(ChassisList, 'V', 'b'));
    EXPECT_EQ(Designs(), before + 4);
}

// A name typed into a stored design is a change, and it stays through a new chassis; a new
// design stays new.
TEST_F(DesignFlowTest, ATypedNameIsAChangeThatAChassisKeeps) {
    Open();
    ClickButton(26);
    ClickButton(24);
    ASSERT_EQ(screen->editState, DesignScreen::kUnchanged);
    TypeName("Rook");
    EXPECT_EQ(screen->editState, DesignScreen::kChanged);
    EXPECT_EQ(Edited().named, 1);
    PickTrooper();
    EXPECT_STREQ(Edited().name, "rook");
    ClickButton(14);
    ASSERT_EQ(screen->question, 14);
    Key('n');
    ASSERT_EQ(screen->editState, DesignScreen::kNew);
    TypeName("Pawn");
    EXPECT_EQ(screen->editState, DesignScreen::kNew);
}

TEST_F(DesignFlowTest, LeavingWithChangesAsksAndBothAnswersLeave) {
    for (int yes : {1, 0}) {
        SCOPED_TRACE(yes);
        Open();
        ClickButton(26);
        ClickButton(24);
        VehicleDesign* asked = Selected();
        PickTrooper();
        f->world->requestedMode = 0;
        EXPECT_EQ(ClickButton(23), 1);
        EXPECT_EQ(screen->question, 3);
        EXPECT_EQ(Key(yes ? 'y' : kKeyEscape), 0);
        EXPECT_EQ(f->world->requestedMode, static_cast<int>(GameMode::MainMenu));
        EXPECT_EQ(asked->chassis, yes ? FindInList(ChassisList, 'V', 'b') : nullptr);
        EXPECT_EQ(Edited().chassis, asked->chassis);
        screen->Deactivate();
        screen->Unload();
        screen.reset();
    }
    // A new design leaves without a question and is kept as it was made.
    Open();
    ClickButton(14);
    ASSERT_EQ(screen->editState, DesignScreen::kNew);
    VehicleDesign* made = Selected();
    PickTrooper();
    ASSERT_EQ(screen->editState, DesignScreen::kNew);
    f->world->requestedMode = 0;
    EXPECT_EQ(ClickButton(23), 0);
    EXPECT_EQ(screen->question, -1);
    EXPECT_EQ(f->world->requestedMode, static_cast<int>(GameMode::MainMenu));
    EXPECT_EQ(made->chassis, FindInList(ChassisList, 'V', 'b'));
}

// With no library design chosen there is nothing to store into or go back to: either answer
// keeps the edited design as it is, and the leave still happens.
TEST_F(DesignFlowTest, AnAnswerWithoutAChosenDesignKeepsTheEditedOne) {
    for (const int answer : {31, 32}) {
        SCOPED_TRACE(answer);
        Open();
        PickTrooper();
        screen->selectedDesign = nullptr;
        screen->question = 3;
        f->world->requestedMode = 0;
        EXPECT_EQ(screen->SelectCategory(answer, 1), 0);
        EXPECT_EQ(f->world->requestedMode, static_cast<int>(GameMode::MainMenu));
        EXPECT_EQ(Edited().chassis, Trooper());
        EXPECT_EQ(screen->question, -1);
        EXPECT_EQ(screen->editState, DesignScreen::kUnchanged);
        screen->Unload();
        screen.reset();
    }
}

TEST_F(DesignFlowTest, TheLibraryAfterChangesAsksAndYesStoresThemNoDropsThem) {
    // Y, y and both Enter codes answer yes; N, n and Esc no.
    for (const auto& [key, yes] : std::vector<std::pair<int32_t, int>>{
             {'y', 1}, {'Y', 1}, {300, 1}, {kKeyEnter, 1}, {'n', 0}, {'N', 0}, {kKeyEscape, 0}}) {
        SCOPED_TRACE(key);
        Open();
        ClickButton(26);
        ClickButton(24);
        VehicleDesign* asked = Selected();
        ASSERT_EQ(asked->chassis, nullptr);
        PickTrooper();
        ASSERT_EQ(screen->editState, DesignScreen::kChanged);
        EXPECT_EQ(ClickButton(26), 1);
        EXPECT_EQ(screen->panelMode, DesignScreen::kLibrary);
        EXPECT_EQ(screen->question, 1);
        // Any other key leaves the question open.
        EXPECT_EQ(Key('x'), 1);
        EXPECT_EQ(screen->question, 1);
        EXPECT_EQ(Key(key), 1);
        EXPECT_EQ(screen->question, -1);
        EXPECT_EQ(screen->editState, DesignScreen::kUnchanged);
        EXPECT_EQ(screen->panelMode, DesignScreen::kLibrary);
        EXPECT_EQ(asked->chassis, yes ? Trooper() : nullptr);
        EXPECT_EQ(Edited().chassis, asked->chassis);
        screen->Deactivate();
        screen->Unload();
        screen.reset();
    }
}

TEST_F(DesignFlowTest, TheAnswersTakeClicksAcrossTheirWholeRowsAndNowhereBeside) {
    // Yes over (241,273)-(309,293), no over (317,273)-(411,293), corners included.
    const struct {
        Point at;
        int answer;  // 1 yes, 0 no, -1 the question stays
    } cases[] = {{{241, 273}, 1},  {{309, 293}, 1}, {{240, 280}, -1}, {{310, 280}, -1},
                 {{317, 273}, 0},  {{411, 293}, 0}, {{412, 280}, -1}, {{350, 294}, -1},
                 {{350, 272}, -1}, {{260, 294}, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.at.x << "," << c.at.y);
        Open();
        ClickButton(26);
        ClickButton(24);
        VehicleDesign* asked = Selected();
        PickTrooper();
        ClickButton(26);
        ASSERT_EQ(screen->question, 1);
        EXPECT_EQ(Click(c.at), 1);
        EXPECT_EQ(screen->question, c.answer < 0 ? 1 : -1);
        if (c.answer >= 0) {
            EXPECT_EQ(asked->chassis, c.answer ? Trooper() : nullptr);
        }
        screen->Unload();
        screen.reset();
    }
}

TEST_F(DesignFlowTest, DeletingTheLastDesignLeavesAFreshOneInItsPlace) {
    Open();
    ClickButton(26);
    const int count = Designs();
    ASSERT_GE(count, 1);
    for (int n = 0; n < count; ++n) {
        screen->DesignList()->SetSelection(0);
        ClickButton(15);
        EXPECT_EQ(Designs(), std::max(count - n - 1, 1)) << n;
    }
    ASSERT_EQ(Designs(), 1);
    EXPECT_EQ(Selected(), Library().AvailableAt(0));
    EXPECT_EQ(Selected()->chassis, nullptr);
    EXPECT_EQ(screen->selectedDesign, Selected());
    EXPECT_EQ(screen->DesignList()->selection, 0);
}

TEST_F(DesignFlowTest, EachCommandIsHeardOncePagingIsSilentAndAFactoryDeleteIsRefused) {
    VehicleDesign* factory = Library().AddDesign('V');
    factory->SetPrimaryPart(FindBuildingTemplate('V')->chassis.get());
    Open();
    UiSounds sounds;
    sounds.Install(*f->world);
    const struct {
        const char* what;
        int button, accepted, refused;
    } cases[] = {
        {"chassis", 0, 1, 0},      {"page forward", 8, 0, 0}, {"page back", 7, 0, 0},
        {"help", 30, 1, 0},        {"settings", 25, 1, 0},    {"parts", 24, 1, 0},
        {"library", 26, 1, 0},     {"new group", 19, 1, 0},   {"open group", 20, 1, 0},
        {"close group", 20, 1, 0},
    };
    for (const auto& c : cases) {
        sounds.Clear();
        EXPECT_EQ(ClickButton(c.button), 1) << c.what;
        EXPECT_EQ(sounds.accepted, c.accepted) << c.what;
        EXPECT_EQ(sounds.refused, c.refused) << c.what;
    }
    ASSERT_EQ(screen->panelMode, DesignScreen::kLibrary);
    screen->DesignList()->SetSelection(Library().IndexOfAvailable(factory));
    sounds.Clear();
    ClickButton(15);
    EXPECT_EQ(sounds.accepted, 0);
    EXPECT_EQ(sounds.refused, 1);
    // Ctrl+Q leaves, heard.
    sounds.Clear();
    EXPECT_EQ(Key(17), 0);
    EXPECT_EQ(sounds.accepted, 1);
    UiSounds::Remove(*f->world);
}

TEST_F(DesignFlowTest, LeavingGoesBackToTheBattleWhileAScenarioIsInPlayByItsOwnButton) {
    // From the menu or in a mission the leave button is 23, else 22; with a scenario in play
    // the screen leaves for the battle, else for the menu.
    const struct {
        int fromMenu, inGame;
        bool scenario;
        GameMode mode;
        int button;
    } cases[] = {
        {1, 0, false, GameMode::MainMenu, 23},
        {0, 0, false, GameMode::MainMenu, 22},
        {0, 1, true, GameMode::Battle, 23},
        {0, 0, true, GameMode::Battle, 22},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.fromMenu << c.inGame << c.scenario);
        f->world->inGame = c.inGame;
        if (c.scenario) f->world->scenario = std::make_unique<Scenario>();
        Open(c.fromMenu);
        f->world->requestedMode = 0;
        EXPECT_EQ(Key('b'), 0);
        EXPECT_EQ(f->world->requestedMode, static_cast<int>(c.mode));
        EXPECT_EQ(screen->ButtonOf(c.button)->pressed, 1);
        EXPECT_EQ(screen->ButtonOf(45 - c.button)->pressed, 0);
        screen->Unload();
        screen.reset();
        f->world->scenario.reset();
    }
    f->world->inGame = 0;
}

TEST_F(DesignFlowTest, TheFactoryDesignCannotBeDeleted) {
    VehicleDesign* factory = Library().AddDesign('V');
    factory->SetPrimaryPart(FindBuildingTemplate('V')->chassis.get());
    Open();
    ClickButton(26);
    const int count = Designs();
    screen->DesignList()->SetSelection(Library().IndexOfAvailable(factory));
    ClickButton(15);
    EXPECT_EQ(Designs(), count);
    screen->DesignList()->SetSelection(0);
    VehicleDesign* second = Library().AvailableAt(1);
    ClickButton(15);
    EXPECT_EQ(Designs(), count - 1);
    EXPECT_EQ(Selected(), second);
}

TEST_F(DesignFlowTest, GroupsTakeDesignsInOrderAndRemoveTheShownMember) {
    Open();
    ClickButton(26);
    ClickButton(19);
    DesignGroup* group = Library().GroupAt(Library().groups.Count() - 1);
    ASSERT_EQ(screen->selectedGroup, group);
    VehicleDesign* d[4];
    for (int i = 0; i < 4; ++i)
        d[i] = Library().AvailableAt(i);
    auto add = [&](VehicleDesign* design, int memberLine, bool ctrl) {
        screen->DesignList()->SetSelection(Library().IndexOfAvailable(design));
        screen->GroupList()->SetSelection(memberLine);
        f->events.ctrlDown = ctrl ? 1 : 0;
        ClickButton(17);
        f->events.ctrlDown = 0;
    };
    add(d[0], -1, false);  // closed: appended
    ClickButton(20);
    ASSERT_EQ(screen->groupOpen, 1);
    add(d[1], 0, false);  // after line 0
    add(d[2], 0, true);   // at line 0
    ASSERT_EQ(group->CountAvailable(), 3);
    EXPECT_EQ(group->AvailableAt(0), d[2]);
    EXPECT_EQ(group->AvailableAt(1), d[0]);
    EXPECT_EQ(group->AvailableAt(2), d[1]);

    // A member the tech level does not reach stands first, unseen: line 1 is still d[0].
    d[3]->requiredLevel = 99;
    group->Insert(d[3], static_cast<PtrNode*>(group->members.First()));
    screen->GroupList()->SetSelection(1);
    ClickButton(18);
    EXPECT_EQ(group->CountAvailable(), 2);
    EXPECT_EQ(group->AvailableAt(0), d[2]);
    EXPECT_EQ(group->AvailableAt(1), d[1]);
    EXPECT_EQ(group->members.Count(), 3);
    ClickButton(20);
    EXPECT_EQ(screen->groupOpen, 0);
}

TEST_F(DesignFlowTest, GroupNamesTheDesignFileCannotReadBackAreRefused) {
    Open();
    ClickButton(26);
    ClickButton(19);
    ClickButton(20);
    DesignGroup* group = screen->selectedGroup;
    ASSERT_NE(group, nullptr);
    const Point field = screen->GroupRowField()->rect.Centre();
    auto rename = [&](const char* text) {
        Click(field);
        EXPECT_EQ(Key(kKeyBackspace), 1);
        for (const char* c = text; *c; ++c)
            EXPECT_EQ(Key(*c), 1) << *c;
        Key(kKeyEnter);
        return std::string(group->name);
    };
    EXPECT_EQ(rename("tanks"), "tanks");
    for (const char* refused : {"", "*x", "#x"})
        EXPECT_EQ(rename(refused), "tanks") << refused;
    EXPECT_EQ(rename("scouts"), "scouts");
    // Ended by a click elsewhere instead of Enter, the empty name is refused all the same.
    Click(field);
    Key(kKeyBackspace);
    ASSERT_STREQ(group->name, "");
    Click(screen->DesignList()->listRect.origin + Point(10, 10));
    EXPECT_STREQ(group->name, "scouts");

    // The first group of the file likewise: picked in the closed list, opened by its row field.
    ClickButton(20);
    ASSERT_EQ(screen->groupOpen, 0);
    Click(screen->GroupList()->listRect.origin + Point(10, 6));
    DesignGroup* first = Library().GroupAt(0);
    ASSERT_EQ(screen->selectedGroup, first);
    Click(screen->GroupRowField()->rect.Centre());
    ASSERT_EQ(screen->groupOpen, 1);
    const std::string before = first->name;
    Click(screen->GroupRowField()->rect.Centre());
    EXPECT_EQ(Key(kKeyBackspace), 1);
    ASSERT_STREQ(first->name, "");
    Click(screen->DesignList()->listRect.origin + Point(10, 10));
    EXPECT_EQ(std::string(first->name), before);
}

TEST_F(DesignFlowTest, QuitKeysEndTheBatchAndLeaveLaterKeysQueued) {
    Open();
    for (int quit : {17, kKeyF4}) {
        f->world->requestedMode = 0;
        f->events.altDown = quit == kKeyF4 ? 1 : 0;
        Post(InputKind::Key, Point(1, 1), quit);
        Post(InputKind::Key, Point(1, 1), 'x');
        EXPECT_EQ(screen->HandleEvents(16), 0);
        EXPECT_EQ(f->world->requestedMode,
                  static_cast<int>(quit == 17 ? GameMode::MainMenu : GameMode::Quit));
        EXPECT_FALSE(f->events.IsEmpty());
        f->events.Take();
    }
}

TEST_F(DesignFlowTest, EverySettingShownRoundTripsAndAnotherRowChangesTheDesign) {
    Open();
    ClickButton(26);
    ClickButton(24);
    ClickButton(25);
    ASSERT_EQ(screen->PanelModeNow(), DesignScreen::kSettings);
    for (int code : {9, 10, 12, 13}) {
        SCOPED_TRACE(code);
        ClickButton(code);
        ControlPanel* panel = screen->GetControlPanel(code);
        ASSERT_EQ(screen->activePanel, panel);
        for (int k = 0; k < panel->Count(); ++k) {
            Button* b = panel->ButtonAt(k);
            const int group = b->id;
            const int before = Edited().parameters[group];
            const bool shown = b->pressed != 0;
            ASSERT_EQ(screen->editState, DesignScreen::kUnchanged);
            Click(b->mode == Button::kHorizontalSlider ? b->Centre()
                                                       : b->hitRect.origin + Point(100, 5));
            Frame();
            if (shown) {
                // The value the panel shows is the design's own: nothing changes.
                EXPECT_EQ(Edited().parameters[group], before) << k;
                EXPECT_EQ(screen->editState, DesignScreen::kUnchanged) << k;
            } else {
                EXPECT_EQ(Edited().parameters[group], panel->ValueOf(*b)) << k;
                EXPECT_EQ(screen->editState, DesignScreen::kChanged) << k;
                // Back to the stored design for the next row.
                Edited().CopyFrom(*Selected());
                screen->RefreshPanels();
                screen->editState = DesignScreen::kUnchanged;
            }
        }
    }
}

TEST_F(DesignFlowTest, AClickNearAHardpointOnThePreviewMountsTheCarriedPart) {
    Open();
    screen->PickEntry(FindInList(ChassisList, 'V', 'b'), 0);
    ASSERT_NE(screen->ShownHardpointPanel(), nullptr);
    MountTemplate* gun = FindWeaponTemplate('V', 'a');
    screen->PickEntry(gun, 3);
    // A point of the preview nearest to hardpoint 0, away from every button.
    Point near(-1, -1);
    for (int y = 160; y < 350 && near.x < 0; y += 3)
        for (int x = 175; x < 465 && near.x < 0; x += 3)
            if (Edited().HardpointNear(Point(320, 257), Point(x, y)) == 0 &&
                screen->ButtonAt(Point(x, y)) == -1)
                near = Point(x, y);
    ASSERT_GE(near.x, 0);
    // A right click puts the carried part down: nothing is mounted, the arrow is back.
    Click(near, 'R');
    EXPECT_EQ(screen->carried, nullptr);
    EXPECT_EQ(Edited().hardpoints[0], nullptr);
    EXPECT_EQ(f->display.cursorShape, DesignScreen::kArrowCursor);
    screen->PickEntry(gun, 3);
    Click(near);
    EXPECT_EQ(Edited().hardpoints[0], gun);
    EXPECT_EQ(Edited().hardpoints[1], nullptr);
    // The battle screen finds the settings pages and panels by code, nothing else.
    for (int code = 8; code <= 14; ++code) {
        const bool page = code == 9 || code == 10 || code == 12 || code == 13;
        EXPECT_EQ(screen->SettingsPageButton(code), page ? screen->ButtonOf(code) : nullptr);
        EXPECT_EQ(screen->GetControlPanel(code) != nullptr, page) << code;
    }
}

}  // namespace

namespace {

// A link that reports the host name a test gives it.
class NamedLink : public MemoryLink {
public:
    const char* HostName() override { return name.c_str(); }
    std::string name;
};

class DesignChatTest : public DesignScreenTest {
protected:
    std::string Sent() const {
        const CommandBuffer& out = *f->world->commands;
        return std::string(reinterpret_cast<const char*>(out.Data()), out.Size());
    }
    void Chat(const char* text) {
        Key('U');
        for (const char* c = text; *c; ++c)
            Key(*c);
        // The line ends, the screen goes on.
        EXPECT_EQ(Key(kKeyEnter), 1);
    }
};

TEST_F(DesignChatTest, AChatLineIsSentWithTheHostNameAndCutToOneCommand) {
    Open();
    // Not in a network game: U is no chat key.
    Key('U');
    EXPECT_EQ(Sent(), "");
    f->world->networkGame = 1;
    f->world->commands->SetEnabled(1);
    // Only U opens a chat line.
    Key('x');
    Key('o');
    Key(kKeyEnter);
    EXPECT_EQ(Sent(), "");
    Chat("");
    EXPECT_EQ(Sent(), "");
    Chat("hi");
    EXPECT_NE(Sent().find("hi"), std::string::npos);
    EXPECT_EQ(Sent().find('['), std::string::npos);
    f->world->commands->Rewind();

    NamedLink link;
    f->world->peerSlots[0].peerLink = &link;
    link.name = "alpha";
    Chat("go");
    EXPECT_NE(Sent().find("[alpha]: go"), std::string::npos);
    f->world->commands->Rewind();
    link.name = std::string(400, 'h');
    Chat("go");
    EXPECT_NE(Sent().find("[hhh"), std::string::npos);
    EXPECT_LT(Sent().size(), 300u);
    f->world->peerSlots[0].peerLink = nullptr;
    // Ctrl+F1 .. Ctrl+F4 address one player, the own colour first; Ctrl+F5 opens no line.
    f->world->localPlayer.third = 3;
    for (const auto& [key, to] : std::vector<std::pair<int32_t, int>>{
             {kKeyCtrlF1, 1}, {kKeyCtrlF1 + 3, 4}, {kKeyCtrlF1 + 4, -1}}) {
        f->world->commands->Rewind();
        Key(key);
        Key('o');
        EXPECT_EQ(Key(kKeyEnter), 1);
        const std::string line = std::string(1, '\x03') + static_cast<char>(to) + "o";
        EXPECT_EQ(Sent().find(line) != std::string::npos, to > 0) << key;
    }
}

TEST_F(DesignFlowTest, TheArrowKeysPageThePartsAndHelpAndNewFollowThePanel) {
    Open();
    ClickButton(0);
    Template* first = screen->VisibleEntry(0);
    Template* second = screen->VisibleEntry(1);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    // Down pages one entry on and makes Up usable; Up pages back and makes Down usable.
    screen->ButtonOf(7)->SetEnabled(0);
    Key(kKeyDown);
    EXPECT_EQ(screen->VisibleEntry(0), second);
    EXPECT_EQ(screen->ButtonOf(7)->enabled, 1);
    screen->ButtonOf(8)->SetEnabled(0);
    Key(kKeyUp);
    EXPECT_EQ(screen->VisibleEntry(0), first);
    EXPECT_EQ(screen->ButtonOf(8)->enabled, 1);
    // Help shows the parts' help on the parts panel, the settings' on the settings panel.
    ClickButton(30);
    EXPECT_EQ(screen->helpState, 1);
    ClickButton(25);
    ASSERT_EQ(screen->panelMode, DesignScreen::kSettings);
    ClickButton(30);
    EXPECT_EQ(screen->helpState, 2);
    // New from the library: one design more, the last in the list, edited on the parts panel.
    ClickButton(26);
    ASSERT_EQ(screen->panelMode, DesignScreen::kLibrary);
    const int before = Designs();
    screen->SelectCategory(16, 1);
    EXPECT_EQ(Designs(), before + 1);
    EXPECT_EQ(screen->panelMode, DesignScreen::kParts);
    EXPECT_EQ(screen->DesignList()->selection, before);
    EXPECT_EQ(screen->EditedDesign()->chassis, nullptr);
}

TEST_F(DesignFlowTest, HoveringAnEntryShowsItsHelpAndMovingOffClearsIt) {
    Open();
    screen->FillFirstPage(0);
    Frame();
    for (int i = 0; i < 3; ++i) {
        Template* entry = screen->VisibleEntry(i);
        ASSERT_NE(entry, nullptr) << i;
        Move(screen->ButtonOf(27 + i)->Centre());
        Frame();
        EXPECT_EQ(screen->helpState, 3) << i;
        EXPECT_EQ(screen->helpTexts[0], entry->HelpText()) << i;
        EXPECT_EQ(screen->helpTexts[1], entry->HelpText2()) << i;
        EXPECT_EQ(screen->helpTexts[2], entry->Name()) << i;
    }
    // Off the entries the help goes; the help button's own state stays while the pointer moves.
    Move(Point(20, 20));
    Frame();
    EXPECT_EQ(screen->helpState, 0);
    EXPECT_EQ(screen->helpTexts[0], nullptr);
    EXPECT_EQ(screen->helpTexts[1], nullptr);
    ClickButton(30);
    ASSERT_EQ(screen->helpState, 1);
    Move(Point(20, 20));
    Frame();
    EXPECT_EQ(screen->helpState, 1);
}

TEST_F(DesignFlowTest, ThePreviewRunsRoundOrBackAndForthOncePerTenth) {
    Open();
    PickTrooper();
    ChassisTemplate* chassis = Edited().chassis;
    ASSERT_NE(chassis, nullptr);
    // A chassis whose preview has five frames.
    std::unique_ptr<SpriteSet> kept = std::move(chassis->panelPictures);
    chassis->panelPictures = std::make_unique<SpriteSet>(5);
    const int last = 4;
    // The frames shown over 2 * last + 2 tenths.
    auto run = [&](int pingPong) {
        screen->pingPong = pingPong;
        screen->forward = 1;
        screen->previewFrame = 0;
        screen->previewAnimating = 1;
        std::vector<int> frames;
        for (int t = 1; t <= 2 * last + 2; ++t) {
            f->world->lastTenth = 1000 + 100 * pingPong + t;
            screen->Update(16);
            frames.push_back(screen->previewFrame);
            // A second update within the same tenth keeps the frame.
            screen->Update(16);
            EXPECT_EQ(screen->previewFrame, frames.back()) << t;
        }
        return frames;
    };
    // Past the last frame: round to the first, or back from the last, which shows again; a way
    // back that reaches the first frame turns forward.
    const std::vector<int> round{1, 2, 3, 4, 0, 1, 2, 3, 4, 0};
    const std::vector<int> backAndForth{1, 2, 3, 4, 4, 3, 2, 1, 0, 1};
    EXPECT_EQ(run(0), round);
    EXPECT_EQ(run(1), backAndForth);
    // The backdrop steps one frame every 200 ms, round its seven frames.
    const int backdrop = screen->backdropFrame;
    f->clock.Advance(199);
    screen->Update(16);
    EXPECT_EQ(screen->backdropFrame, backdrop);
    for (int step = 1; step <= 7; ++step) {
        f->clock.Advance(201);
        screen->Update(16);
        screen->Update(16);
        EXPECT_EQ(screen->backdropFrame, (backdrop + step) % 7) << step;
    }
    // Without animation nothing moves.
    screen->previewAnimating = 0;
    screen->previewFrame = 1;
    f->world->lastTenth += 5;
    screen->Update(16);
    EXPECT_EQ(screen->previewFrame, 1);
    chassis->panelPictures = std::move(kept);
}

// The preview turns while the pointer is over it, edges included, in the parts panel with a
// chassis or drive chosen; the pointer leaving it stops it in any panel.
TEST_F(DesignFlowTest, ThePointerOverThePreviewTurnsItOnlyWithAPartInThePartsPanel) {
    Open();
    PickTrooper();
    const struct {
        Point at;
        int animating;
    } moves[] = {{Point(170, 156), 1}, {Point(468, 357), 1}, {Point(169, 200), 0},
                 {Point(300, 155), 0}, {Point(469, 200), 0}, {Point(300, 358), 0}};
    for (const auto& m : moves) {
        screen->previewAnimating = 1 - m.animating;
        Move(m.at);
        Frame();
        EXPECT_EQ(screen->previewAnimating, m.animating) << m.at.x << "," << m.at.y;
    }
    // Over the preview in the library panel, or with no part chosen, it does not start.
    ASSERT_EQ(screen->SetPanelMode(DesignScreen::kLibrary), 1);
    screen->previewAnimating = 0;
    Move(Point(320, 257));
    Frame();
    EXPECT_EQ(screen->previewAnimating, 0);
    screen->SelectCategory(16, 1);
    ASSERT_EQ(screen->panelMode, DesignScreen::kParts);
    ASSERT_EQ(Edited().chassis, nullptr);
    ASSERT_EQ(Edited().drive, nullptr);
    Move(Point(320, 257));
    Frame();
    EXPECT_EQ(screen->previewAnimating, 0);
}

// Counts the plays of the World's accept or refusal sound.
class CountedUiSound : public Sound {
public:
    CountedUiSound(int entry, int& plays) : Sound(entry), plays(plays) {}
    void Play(int /*loop*/) override { ++plays; }
    int& plays;
};

TEST_F(DesignFlowTest, AClickOnADesignAGroupOrAMemberLinePicksItWithoutARefusal) {
    Open();
    World& w = *f->world;
    int accepted = 0, refused = 0;
    w.voices = std::make_unique<VoicePool>(8);
    w.confirmSound = std::make_unique<CountedUiSound>(23, accepted);
    w.refuseSound = std::make_unique<CountedUiSound>(24, refused);
    ClickButton(26);
    ClickButton(19);
    DesignGroup* group = screen->selectedGroup;
    ASSERT_NE(group, nullptr);
    for (int i = 0; i < 2; ++i) {
        screen->DesignList()->SetSelection(i);
        ClickButton(17);
    }
    // A click on a design's line picks it, without a refusal.
    ScrollList& designs = *screen->DesignList();
    designs.top = 0;
    refused = 0;
    Click(designs.listRect.origin + Point(10, 2 + designs.lineHeight + 2));
    EXPECT_EQ(designs.selection, 1);
    EXPECT_EQ(screen->selectedDesign, Library().AvailableAt(1));
    EXPECT_EQ(refused, 0);
    // A second click on the picked line opens that design on the parts panel.
    Click(designs.listRect.origin + Point(10, 2 + designs.lineHeight + 2));
    EXPECT_EQ(screen->panelMode, DesignScreen::kParts);
    ClickButton(26);
    ASSERT_EQ(screen->panelMode, DesignScreen::kLibrary);
    // A click on the group's own line in the closed list picks it, without a refusal.
    ScrollList& groups = *screen->GroupList();
    const int line = Library().IndexOfGroup(group) - groups.top;
    ASSERT_GE(line, 0);
    ASSERT_LT(line, groups.visibleRows);
    screen->selectedGroup = nullptr;
    refused = 0;
    Click(groups.listRect.origin + Point(10, 2 + line * groups.lineHeight + 2));
    EXPECT_EQ(screen->selectedGroup, group);
    EXPECT_EQ(refused, 0);
    ClickButton(20);
    ASSERT_EQ(screen->groupOpen, 1);
    ASSERT_EQ(group->CountAvailable(), 2);
    ScrollList& members = *screen->GroupList();
    refused = 0;
    Click(members.listRect.origin + Point(10, 2 + members.lineHeight + members.lineHeight / 2));
    EXPECT_EQ(members.selection, 1);
    EXPECT_EQ(screen->selectedDesign, group->AvailableAt(1));
    EXPECT_EQ(refused, 0);
    w.voices->StopAll();
}

TEST_F(DesignFlowTest, ADesignChosenOutOfReachOpensTheScreenOnANewOne) {
    VehicleDesign* unreachable = Library().AvailableAt(0);
    ASSERT_NE(unreachable, nullptr);
    unreachable->requiredLevel = 99;
    const int before = Designs();
    // Chosen by the battle screen between the screen's loading and its showing.
    screen = std::make_unique<DesignScreen>(1);
    ASSERT_EQ(screen->Load(), 1);
    Library().selected = unreachable;
    screen->Activate();
    // A new, empty design, last in the list.
    EXPECT_EQ(screen->editState, DesignScreen::kNew);
    EXPECT_GT(Designs(), before);
    EXPECT_EQ(screen->DesignList()->selection, Designs() - 1);
    EXPECT_EQ(Edited().chassis, nullptr);
    EXPECT_NE(Selected(), unreachable);
    // The first design chosen is shown as it is.
    screen->Deactivate();
    VehicleDesign* first = Library().AvailableAt(0);
    Library().selected = first;
    const int count = Designs();
    screen->Activate();
    EXPECT_EQ(screen->DesignList()->selection, 0);
    EXPECT_EQ(Selected(), first);
    EXPECT_EQ(screen->editState, DesignScreen::kUnchanged);
    EXPECT_EQ(Designs(), count);
}

}  // namespace
