#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "catalogue/DesignGroup.h"
#include "catalogue/DesignLibrary.h"
#include "catalogue/VehicleDesign.h"
#include "core/KeyCodes.h"
#include "core/Settings.h"
#include "objects/CommandBuffer.h"
#include "objects/Goal.h"
#include "screens/battle/BattleScreenFixture.h"
#include "screens/battle/FakeFactory.h"
#include "support/MemoryLink.h"
#include "ui/ScrollList.h"
#include "ui/TextField.h"

namespace {

constexpr int32_t kCtrlK = 11;
constexpr int32_t kCtrlZ = 26;
constexpr int32_t kCtrlQ = 17;

class BattleScreenKeysTest : public BattleScreenTest {
protected:
    void SetUp() override {
        BattleScreenTest::SetUp();
        cheatsOn = 0;
    }
    void TearDown() override {
        cheatsOn = 0;
        aiHalted = 0;
        BattleScreenTest::TearDown();
    }
    struct Answer {
        int32_t result, silent, voice;
    };
    Answer Key(int32_t code) {
        int32_t silent = 0;
        screen->voicePlayed = 0;
        const int32_t result =
            screen->HandleKey(InputEvent(InputKind::Key, Point(200, 200), code), silent);
        return {result, silent, screen->voicePlayed};
    }
    std::string Selected() {
        std::string ids;
        for (GameObject* o : screen->SelectedObjects())
            ids += std::to_string(o->id.serial) + " ";
        return ids;
    }
};

TEST_F(BattleScreenKeysTest, KeysAnswerByTableWhetherPausedAndWithCheats) {
    TestObject* unit = Unit(1, Point(300, 300));
    unit->SetSelected(1);
    screen->buildPanelOpen = 0;
    const struct {
        int32_t key;
        int paused, cheat;
        Answer answer;
    } cases[] = {
        {'v', 1, 0, {1, 0, 0}},         // the first table works while paused
        {'Z', 1, 0, {1, 0, 0}},         //
        {'g', 1, 0, {0, 0, 0}},         // orders wait for the game to run
        {'g', 0, 0, {1, 0, 1}},         // with the guard voice
        {'s', 0, 0, {1, 0, 0}},         // stop has no voice
        {'r', 0, 0, {1, 0, 1}},         // off to repair, with the repair voice
        {'y', 0, 0, {1, 0, 0}},         // no special action to take: used, no voice
        {'+', 0, 0, {0, 0, 0}},         // debug keys refused without CHEAT
        {'+', 0, 1, {1, 0, 0}},         // with it, nothing without the debug scenario
        {'b', 0, 0, {0, 0, 0}},         // build panel closed
        {kKeyUp, 0, 0, {1, 0, 0}},      // nothing to move
        {'q', 0, 0, {0, 0, 0}},         // no such key
        {kKeyF1 + 2, 1, 0, {0, 0, 0}},  // part keys are orders
        {kKeyF1 + 2, 0, 0, {1, 0, 0}},  //
        {kCtrlZ, 0, 0, {1, 0, 0}},      // nothing watched without CHEAT
        {'t', 0, 0, {1, 0, 1}},         // tracking on, with its voice
        {'t', 0, 0, {1, 0, 0}},         // and off
        {kCtrlK, 0, 0, {1, 0, 1}},      // the selection destroyed, with its voice
    };
    for (const auto& c : cases) {
        world().paused = c.paused;
        cheatsOn = c.cheat;
        const Answer a = Key(c.key);
        EXPECT_EQ(a.result, c.answer.result) << c.key << " paused " << c.paused;
        EXPECT_EQ(a.silent, c.answer.silent) << c.key;
        EXPECT_EQ(a.voice, c.answer.voice) << c.key;
    }
    // The keys that work while paused are all taken, with or without anything to act on.
    world().paused = 1;
    cheatsOn = 0;
    for (int32_t key : {int32_t(' '), int32_t('u'), kKeyHome, int32_t('h'), 'C' - 64, 'V' - 64,
                        'E' - 64, 'D' - 64, kCtrlZ, kKeyF1 + 8, kKeyCtrlF1 + 8, int32_t('v'),
                        int32_t('v'), int32_t('p'), int32_t('p'), kKeyEscape, kKeyEscape}) {
        const Answer a = Key(key);
        EXPECT_EQ(a.result, 1) << key;
        EXPECT_EQ(a.silent, 0) << key;
    }
    world().paused = 0;
    EXPECT_EQ(screen->showAllMarkers, 1);
    EXPECT_EQ(screen->zoom, 1);
    ASSERT_EQ(unit->given.size(), 3u);
    EXPECT_EQ(unit->given[0].code, BattleScreen::kOrderGuard);
    EXPECT_EQ(unit->given[1].code, BattleScreen::kOrderStop);
    EXPECT_EQ(unit->given[2].code, BattleScreen::kOrderRepair);
    EXPECT_TRUE(screen->debugWatch.IsNull());
    EXPECT_EQ(unit->hits, std::vector<int>{0});
}

TEST_F(BattleScreenKeysTest, ESelectsWhatTheViewShows) {
    TestObject* seen = Unit(1, Point(300, 300));
    TestObject* away = Unit(2, Point(3000, 3000));
    away->SetSelected(1);
    EXPECT_EQ(Key('e').voice, 1);
    EXPECT_EQ(seen->selected, 1);
    EXPECT_EQ(away->selected, 0);
}

// A goal that stays; the cheat keys mark it for repeating.
class StandingGoal : public Goal {
public:
    explicit StandingGoal(const SimId& owner) : Goal(owner, 1, 1) {}
    int GetType() const override { return 1; }
    int IsDone() override { return 0; }
};

TEST_F(BattleScreenKeysTest, CheatKeysActOnlyWithCheats) {
    TestObject* unit = Unit(1, Point(300, 300));
    unit->goals.PushFront(std::make_unique<StandingGoal>(unit->id));
    for (int cheat : {0, 1}) {
        cheatsOn = cheat;
        unit->SetSelected(1);
        for (int32_t ctrl : {'D' - 64, 'C' - 64, 'V' - 64})
            Key(ctrl);
        EXPECT_EQ(unit->invulnerable, cheat);
        EXPECT_EQ(unit->goals.Front()->repeat, cheat);
        EXPECT_EQ(screen->revealMap, cheat);
    }
}

TEST_F(BattleScreenKeysTest, BuildListKeysWrapSilentlyAndRefuseWhenNothingBuilds) {
    DesignLibrary& library = *world().designLibrary;
    for (int i = 0; i < 3; ++i)
        library.AddDesign('V')->complete = 1;
    screen->buildPanelOpen = 1;
    screen->buildList->SetCount(3);
    screen->buildList->SetSelection(0);
    EXPECT_EQ(Key(kKeyUp).silent, 1);
    EXPECT_EQ(screen->buildList->selection, 2);
    EXPECT_EQ(Key(kKeyDown).silent, 1);
    EXPECT_EQ(screen->buildList->selection, 0);
    Key(kKeyDown);
    EXPECT_EQ(screen->buildList->selection, 1);
    Key(kKeyUp);
    EXPECT_EQ(screen->buildList->selection, 0);
    // No factory to build in.
    EXPECT_EQ(Key('b').result, 0);
}

TEST_F(BattleScreenKeysTest, GroupKeysStoreAndRecallTheSelection) {
    TestObject* a = Unit(1, Point(300, 300));
    TestObject* b = Unit(2, Point(400, 300));
    TestObject* c = Unit(3, Point(500, 300));
    a->SetSelected(1);
    c->SetSelected(1);
    const Answer stored = Key(kKeyCtrl0 + 1);
    EXPECT_EQ(stored.voice, 1);
    EXPECT_EQ(stored.result, 1);  // accepted: no refusal sound
    screen->DeselectAll();
    b->SetSelected(1);
    const Answer recalled = Key('1');
    EXPECT_EQ(recalled.voice, 1);
    EXPECT_EQ(recalled.result, 1);
    EXPECT_EQ(a->selected, 1);
    EXPECT_EQ(b->selected, 0);
    EXPECT_EQ(c->selected, 1);
    // A group stored empty clears the flag everywhere and recalls as nothing, silently.
    screen->DeselectAll();
    const Answer storedEmpty = Key(kKeyCtrl0 + 1);
    EXPECT_EQ(storedEmpty.voice, 0);
    EXPECT_EQ(storedEmpty.result, 1);
    a->SetSelected(1);
    const Answer recalledEmpty = Key('1');
    EXPECT_EQ(recalledEmpty.voice, 0);
    EXPECT_EQ(recalledEmpty.result, 1);
    EXPECT_EQ(Selected(), "");
}

TEST_F(BattleScreenKeysTest, NCyclesTheUnitsAndSelectsAGroupOnlyWhileItExists) {
    EXPECT_EQ(Key('n').result, 0);
    TestObject* a = Unit(1, Point(300, 300));
    TestObject* b = Unit(2, Point(400, 300));
    // b belongs to a group that is gone: it is selected on its own.
    b->groupId = SimId(1, 77);
    const std::vector<GameObject*> list = screen->TeamObjects();
    ASSERT_EQ(list.size(), 2u);
    for (int round = 0; round < 4; ++round) {
        const Answer answer = Key('n');
        EXPECT_EQ(answer.result, 1);
        EXPECT_EQ(answer.voice, 1);
        GameObject* expected = list[static_cast<size_t>(round % 2)];
        EXPECT_EQ(Selected(), std::to_string(expected->id.serial) + " ") << round;
        EXPECT_EQ(screen->lastCycled, expected->id);
    }
    // A living group is selected in the unit's place.
    auto group = std::make_unique<TestObject>(1, 77, Point(450, 300));
    TestObject* g = group.get();
    ASSERT_EQ(world().AddGroup(std::move(group)), 1);
    screen->lastCycled = a->id;
    Key('n');
    EXPECT_EQ(g->selected, 1);
    EXPECT_EQ(b->selected, 0);
}

TEST_F(BattleScreenKeysTest, DOpensTheHighlightedDesignWhenAnIncompleteOnePrecedesIt) {
    DesignLibrary& library = *world().designLibrary;
    VehicleDesign* names[3];
    for (int i = 0; i < 3; ++i) {
        names[i] = library.AddDesign('V');
        std::snprintf(names[i]->name, sizeof names[i]->name, "design %d", i);
    }
    // Whatever order AddDesign keeps, the first available one is not listed for building.
    VehicleDesign* first = library.FirstAvailable();
    ASSERT_NE(first, nullptr);
    for (VehicleDesign* d : names)
        d->complete = d == first ? 0 : 1;
    VehicleDesign* highlighted = library.NextAvailable(library.NextAvailable(first));
    VehicleDesign* scratch = library.current;
    screen->designListFlag = 1;
    screen->buildList->SetCount(2);
    screen->buildList->SetSelection(1);
    ASSERT_EQ(screen->SelectedBuildDesign(), highlighted);
    EXPECT_EQ(Key('d').result, 1);
    EXPECT_EQ(library.selected, highlighted);
    EXPECT_EQ(library.current, scratch);
    EXPECT_EQ(world().requestedMode, static_cast<int>(GameMode::DesignFromBattle));
    EXPECT_EQ(screen->goOn, 0);
    // The design button hands over the same design.
    library.selected = nullptr;
    Click(screen->buttons[BattleScreen::kDesignButton]->Bounds().Centre());
    EXPECT_EQ(library.selected, highlighted);
    // The groups view opens the design screen too, handing nothing over.
    library.selected = nullptr;
    screen->designListFlag = 0;
    screen->goOn = 1;
    Key('d');
    EXPECT_EQ(library.selected, nullptr);
    EXPECT_EQ(screen->goOn, 0);
}

TEST_F(BattleScreenKeysTest, EscapeTogglesTheOptionsOverlayAndCtrlQLeaves) {
    Key(kKeyEscape);
    EXPECT_EQ(screen->optionsOpen, 1);
    Key(kKeyEscape);
    EXPECT_EQ(screen->optionsOpen, 0);
    Key(kCtrlQ);
    EXPECT_EQ(screen->goOn, 0);
    EXPECT_EQ(world().requestedMode, static_cast<int>(GameMode::MainMenu));
}

// A peer link that only names this machine.
class NamedLink : public MemoryLink {
public:
    explicit NamedLink(std::string name) : name(std::move(name)) {}
    const char* HostName() override { return name.c_str(); }
    std::string name;
};

TEST_F(BattleScreenKeysTest, AChatLineIsBoundedWhateverTheHostNameAndTextLength) {
    // Outside a network game there is nobody to chat with.
    Key(kKeyCtrlF1 + 3);
    EXPECT_FALSE(screen->chatField);
    world().networkGame = 1;
    NamedLink link(std::string(400, 'h'));
    world().peerSlots[0].peerLink = &link;
    world().Commands().SetEnabled(1);
    EXPECT_EQ(Key(kKeyCtrlF1 + 3).result, 1);
    ASSERT_TRUE(screen->chatField);
    EXPECT_EQ(screen->chatRecipient, 4);
    for (int i = 0; i < 300; ++i)
        EXPECT_EQ(Key('x').silent, 1);
    EXPECT_EQ(std::strlen(screen->chatText), static_cast<size_t>(TextField::kMaxLength));
    const size_t before = world().Commands().Size();
    Key(kKeyEnter);
    EXPECT_FALSE(screen->chatField);
    EXPECT_EQ(screen->chatRecipient, 0);
    EXPECT_GT(world().Commands().Size(), before);
    const std::string sent(reinterpret_cast<const char*>(world().Commands().Data()) + before,
                           world().Commands().Size() - before);
    // The host name is cut to 127 characters, and the line to what one command carries.
    const std::string line = "[" + std::string(127, 'h') + "]: ";
    const size_t room = CommandBuffer::kMaxCommand - CommandBuffer::kHeaderSize - 3;
    EXPECT_NE(sent.find(line + std::string(room - line.size(), 'x') + '\0'), std::string::npos);
    world().peerSlots[0].peerLink = nullptr;
}

TEST_F(BattleScreenKeysTest, ViewKeysMoveTheViewWhereTheyPoint) {
    TestObject* unit = Unit(1, land->Centre(60, 70));
    unit->SetSelected(1);
    const Size extent = screen->ViewExtent();
    auto centredOn = [&](const Point& p) {
        return Point(p.x - (extent.w >> 1), p.y - (extent.h >> 1));
    };
    screen->tracking = 1;
    // Space goes to the last local event, when there was one.
    screen->wantedOrigin = Point(64, 64);
    world().lastLocalPosition = Point(0, 0);
    Key(' ');
    EXPECT_EQ(screen->wantedOrigin, Point(64, 64));
    EXPECT_EQ(screen->tracking, 1);
    world().lastLocalPosition = Point(2000, 1800);
    Key(' ');
    EXPECT_EQ(screen->wantedOrigin, centredOn(Point(2000, 1800)));
    EXPECT_EQ(screen->tracking, 0);
    // Home goes to the selection.
    screen->tracking = 1;
    Key(kKeyHome);
    EXPECT_EQ(screen->wantedOrigin, centredOn(unit->position));
    EXPECT_EQ(screen->tracking, 0);
    // Ctrl+F9 to Ctrl+F12 keep the view's place; F9 to F12 go back to a kept one.
    Scenario& scenario = *world().scenario;
    for (int k = 0; k < 4; ++k)
        scenario.viewPoints[k] = Point(-1, 0);
    screen->viewOrigin = Point(320, 640);
    Key(kKeyCtrlF1 + 9);
    EXPECT_EQ(scenario.viewPoints[1], Point(320, 640));
    screen->viewOrigin = Point(96, 96);
    Key(kKeyCtrlF1 + 11);
    EXPECT_EQ(scenario.viewPoints[3], Point(96, 96));
    EXPECT_EQ(scenario.viewPoints[0], Point(-1, 0));
    EXPECT_EQ(scenario.viewPoints[2], Point(-1, 0));
    const struct {
        int32_t key;
        Point wanted;
    } recalls[] = {{kKeyF1 + 8, Point(7, 7)},
                   {kKeyF1 + 9, Point(320, 640)},
                   {kKeyF1 + 10, Point(320, 640)},
                   {kKeyF1 + 11, Point(96, 96)}};
    screen->wantedOrigin = Point(7, 7);
    for (const auto& r : recalls) {
        screen->tracking = 1;
        EXPECT_EQ(Key(r.key).result, 1) << r.key;
        EXPECT_EQ(screen->wantedOrigin, r.wanted) << r.key;
        EXPECT_EQ(screen->tracking, r.key == kKeyF1 + 8 || r.key == kKeyF1 + 10 ? 1 : 0) << r.key;
    }
}

TEST_F(BattleScreenKeysTest, OrderAndDebugKeysActOnTheSelection) {
    TestObject* factory = AddFactory(land->Centre(100, 100));
    TestObject* first = Unit(1, land->Centre(40, 40));
    TestObject* second = Unit(2, land->Centre(40, 44));
    first->SetSelected(1);
    second->SetSelected(1);
    // X sends the selection away from its centre; M to the factory.
    Key('x');
    ASSERT_EQ(first->given.size(), 1u);
    EXPECT_EQ(first->given[0].code, BattleScreen::kOrderMoveAway);
    EXPECT_EQ(first->given[0].p, second->given[0].p);
    EXPECT_EQ(first->given[0].p, land->Centre(40, 42));
    Key('m');
    ASSERT_EQ(second->given.size(), 2u);
    EXPECT_EQ(second->given[1].code, BattleScreen::kOrderTarget);
    EXPECT_EQ(second->given[1].target, factory->id);
    // + and - step the purpose of the selection, never below 0, only with CHEAT in a debug
    // scenario.
    cheatsOn = 1;
    world().scenario->debugFlag = 1;
    first->SetPurpose(0);
    second->SetPurpose(3);
    for (int32_t key : {'+', '-', '-', '-', '-'})
        EXPECT_EQ(Key(key).result, 1) << key;
    EXPECT_EQ(first->Purpose(), 0);
    EXPECT_EQ(second->Purpose(), 0);
    Key('+');
    EXPECT_EQ(first->Purpose(), 1);
    EXPECT_EQ(second->Purpose(), 1);
    world().scenario->debugFlag = 0;
    Key('+');
    EXPECT_EQ(first->Purpose(), 1);
    // Ctrl+E halts the computer players and starts them again; never without CHEAT.
    Key(5);
    EXPECT_EQ(aiHalted, 1);
    Key(5);
    EXPECT_EQ(aiHalted, 0);
    cheatsOn = 0;
    Key(5);
    EXPECT_EQ(aiHalted, 0);
    // Ctrl+Z watches the object under the pointer, and a second Ctrl+Z stops.
    cheatsOn = 1;
    screen->mousePoint = screen->MapToScreen(first->position);
    Key(kCtrlZ);
    EXPECT_EQ(screen->debugWatch, first->id);
    Key(kCtrlZ);
    EXPECT_TRUE(screen->debugWatch.IsNull());
    screen->mousePoint = screen->MapToScreen(land->Centre(10, 10));
    Key(kCtrlZ);
    EXPECT_TRUE(screen->debugWatch.IsNull());
}

TEST_F(BattleScreenKeysTest, WithoutAPeerLinkTheChatLineIsTheTextAlone) {
    world().networkGame = 1;
    world().localPlayer.third = 5;
    world().Commands().SetEnabled(1);
    EXPECT_EQ(Key('u').result, 1);
    ASSERT_TRUE(screen->chatField);
    EXPECT_EQ(screen->chatRecipient, 0);
    Key('h');
    Key('i');
    const size_t before = world().Commands().Size();
    Key(kKeyEnter);
    EXPECT_FALSE(screen->chatField);
    const std::string sent(reinterpret_cast<const char*>(world().Commands().Data()) + before,
                           world().Commands().Size() - before);
    // The sender's colour, everybody, the text.
    EXPECT_NE(sent.find(std::string("\x05\x00hi\0", 5)), std::string::npos);
    EXPECT_EQ(sent.find('['), std::string::npos);
    // An empty line sends nothing.
    Key('u');
    const size_t after = world().Commands().Size();
    Key(kKeyEnter);
    EXPECT_EQ(world().Commands().Size(), after);
    world().Commands().SetEnabled(0);
    world().networkGame = 0;
}

// A unit that keeps the part choices it is given.
class Picker : public TestObject {
public:
    using TestObject::TestObject;
    void SelectPart(int index) override { picked.push_back(index); }
    void SelectNextPart() override { ++stepped; }
    std::vector<int> picked;
    int stepped = 0;
};

// Keys on what they name: A selects every selectable unit and lets the factory and tracking go;
// Tab steps the selection's parts; F1 .. F8 pick parts 0 .. 7; H centres on the factory; P
// toggles the build panel and tells the controller; Z toggles the zoom both ways; Ctrl+J pauses
// production only in a debug scenario; Ctrl+V sends the peers the new reveal flag.
TEST_F(BattleScreenKeysTest, EachKeyActsOnWhatItNames) {
    auto owned = std::make_unique<FakeFactory>(land->Centre(100, 100));
    FakeFactory* factory = owned.get();
    world().AddBuilding(std::move(owned));
    auto picker = [&](int serial, const Point& at) {
        auto made = std::make_unique<Picker>(1, serial, Point(160, 160));
        Picker* u = made.get();
        std::unique_ptr<GameObject> unit = std::move(made);
        EXPECT_EQ(world().AddSim(unit), 1);
        world().RemoveFromGrids(u, u->position, 0);
        u->position = at;
        world().AddToGrids(u, at, 0);
        return u;
    };
    Picker* a = picker(1, land->Centre(40, 40));
    Picker* b = picker(2, land->Centre(44, 40));
    Picker* c = picker(3, land->Centre(48, 40));
    b->selectable = 0;
    b->SetSelected(1);
    factory->SetSelected(1);
    screen->tracking = 1;
    EXPECT_EQ(Key('a').voice, 1);
    EXPECT_EQ(Selected(), "3 1 ");  // the list runs newest first
    EXPECT_EQ(factory->selected, 0);
    EXPECT_EQ(screen->tracking, 0);
    c->SetSelected(0);
    Key(kKeyTab);
    EXPECT_EQ(a->stepped, 1);
    EXPECT_EQ(c->stepped, 0);
    for (int32_t k : {kKeyF1, kKeyF1 + 7, kKeyF1 + 3})
        EXPECT_EQ(Key(k).result, 1);
    EXPECT_EQ(a->picked, (std::vector<int>{0, 7, 3}));
    EXPECT_TRUE(c->picked.empty());
    // H works while paused.
    world().paused = 1;
    screen->tracking = 1;
    Key('h');
    const Size extent = screen->ViewExtent();
    EXPECT_EQ(screen->wantedOrigin,
              Point(factory->position.x - extent.w / 2, factory->position.y - extent.h / 2));
    EXPECT_EQ(screen->tracking, 0);
    auto controller = std::make_unique<RecordingController>();
    RecordingController* told = controller.get();
    world().SetTeamController(1, std::move(controller));
    screen->buildPanelOpen = 1;
    Key('p');
    EXPECT_EQ(screen->buildPanelOpen, 0);
    Key('p');
    EXPECT_EQ(screen->buildPanelOpen, 1);
    EXPECT_EQ(told->kinds, (std::vector<int32_t>{BattleScreen::kEventBuildPanelClosed,
                                                 BattleScreen::kEventBuildPanelOpened}));
    screen->SetZoom(0);
    Key('z');
    EXPECT_EQ(screen->zoom, 1);
    Key('z');
    EXPECT_EQ(screen->zoom, 0);
    world().paused = 0;
    // Ctrl+J only in a debug scenario.
    Key(10);
    EXPECT_EQ(factory->productionPaused, 0);
    world().scenario->debugFlag = 1;
    Key(10);
    EXPECT_EQ(factory->productionPaused, 1);
    Key(10);
    EXPECT_EQ(factory->productionPaused, 0);
    world().scenario->debugFlag = 0;
    // Ctrl+V: length, kind, and the flag as the command's last byte.
    cheatsOn = 1;
    world().Commands().SetEnabled(1);
    for (int flag : {1, 0}) {
        const size_t before = world().Commands().Size();
        Key('V' - 64);
        EXPECT_EQ(screen->revealMap, flag);
        ASSERT_EQ(world().Commands().Size(), before + CommandBuffer::kHeaderSize + 1);
        const uint8_t* sent = world().Commands().Data() + before;
        EXPECT_EQ(sent[0], CommandBuffer::kHeaderSize + 1);
        EXPECT_EQ(sent[1], static_cast<int>(CommandKind::DebugToggle));
        EXPECT_EQ(sent[CommandBuffer::kHeaderSize], flag);
    }
    world().Commands().SetEnabled(0);
}

// A selected factory counts in the selection's centre for Home (not for X), and is tracked when
// it is all that is selected; a group whose job cannot be queued, or a row without a design,
// refuses B.
TEST_F(BattleScreenKeysTest, ASelectedFactoryIsCentredTrackedAndBuildsForTheSelection) {
    auto owned = std::make_unique<FakeFactory>(land->Centre(100, 100));
    FakeFactory* factory = owned.get();
    world().AddBuilding(std::move(owned));
    factory->SetSelected(1);
    const Size extent = screen->ViewExtent();
    auto centredOn = [&](const Point& p) {
        return Point(p.x - (extent.w >> 1), p.y - (extent.h >> 1));
    };
    Key(kKeyHome);
    EXPECT_EQ(screen->wantedOrigin, centredOn(factory->position));
    TestObject* unit = Unit(1, land->Centre(40, 40));
    unit->SetSelected(1);
    Key(kKeyHome);
    const Point mean((unit->position.x + factory->position.x) / 2,
                     (unit->position.y + factory->position.y) / 2);
    EXPECT_EQ(screen->wantedOrigin, centredOn(mean));
    Key('x');
    ASSERT_EQ(unit->given.size(), 1u);
    EXPECT_EQ(unit->given[0].p, unit->position);
    unit->SetSelected(0);
    EXPECT_EQ(Key('t').result, 1);
    EXPECT_EQ(screen->trackedUnit, factory->id);
    Key('t');
    // Nothing selected: tracking goes on, with nothing to follow.
    factory->SetSelected(0);
    screen->trackedUnit = SimId();
    EXPECT_EQ(Key('t').result, 0);
    EXPECT_EQ(screen->tracking, 1);
    EXPECT_TRUE(screen->trackedUnit.IsNull());
    // A group whose jobs the factory refuses.
    DesignLibrary& library = *world().designLibrary;
    DesignGroup* group = library.AddGroup();
    ASSERT_NE(group, nullptr);
    VehicleDesign* member = library.AddDesign('V');
    member->complete = 1;
    group->Add(member);
    screen->buildPanelOpen = 1;
    screen->designListFlag = 0;
    screen->buildList->SetCount(library.IndexOfGroup(group) + 1);
    screen->buildList->SetSelection(library.IndexOfGroup(group));
    factory->queueResult = 0;
    EXPECT_EQ(Key('b').result, 0);
    factory->queueResult = 1;
    EXPECT_EQ(Key('b').result, 1);
    EXPECT_EQ(factory->queue.size(), 1u);
    // Single designs: a row past the listed designs has nothing to build.
    screen->designListFlag = 1;
    screen->buildList->SetCount(library.CountAvailable() + 1);
    screen->buildList->SetSelection(library.CountAvailable());
    ASSERT_EQ(screen->SelectedBuildDesign(), nullptr);
    EXPECT_EQ(Key('b').result, 0);
    EXPECT_EQ(factory->queue.size(), 1u);
}

}  // namespace
