#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "AIFixture.h"
#include "ai/MissionControllers.h"
#include "ai/TutorialScript.h"
#include "catalogue/DesignLibrary.h"
#include "core/StringTable.h"
#include "map/SightGrid.h"
#include "objects/TargetGoal.h"
#include "world/ScenarioFixture.h"

namespace {

// The local factory, standing on whatever deposit the test says.
class DepositFactory : public FakeFactory {
public:
    using FakeFactory::FakeFactory;
    GameObject* MinedDeposit() override { return mined; }
    GameObject* mined = nullptr;
};

// A viewer of team 1 for the sight grid only.
struct Eye : TestObject {
    explicit Eye(const Point& at) : TestObject(1, 990, at) {
        viewingPlayer = 1;
        sensors.viewer = 1;
    }
};

// The tutorial on local team 1; every string line n reads "hint n".
struct Tutorial {
    explicit Tutorial(bool withFactory = true) {
        std::string text;
        for (int i = 0; i < kStringTableLines; ++i)
            text += "hint " + std::to_string(i) + "\r";
        SetStringTableText(text);
        land.kit.List();
        if (withFactory) {
            auto made = std::make_unique<DepositFactory>(land.world.NewSimId(1), Point(300, 300));
            factory = made.get();
            land.world.AddBuilding(std::move(made));
        }
        land.world.SetTeamController(1, std::make_unique<TutorialScript>(1, 'V', 1));
        script = static_cast<TutorialScript*>(land.world.controllers[1].get());
        script->Setup(1);
        std::unique_ptr<GameObject> deposit = std::make_unique<TestObject>(0, 127, kOre, 3);
        ore = deposit.get();
        EXPECT_EQ(land.world.AddOreDeposit(deposit), 1);
    }
    ~Tutorial() {
        See(Point(-1, -1));
        ClearStringTable();
    }
    int Shown() const {
        int line = -1;
        return std::sscanf(land.world.statusText, "hint %d", &line) == 1 ? line : -1;
    }
    AIUnit* Unit(int team, const char* name, const ChassisTemplate* chassis, int serial = 0,
                 const Point& at = Point(200, 200)) {
        const SimId id = serial ? SimId(team, serial) : land.world.NewSimId(team);
        AIUnit* unit = land.List(std::make_unique<AIUnit>(id, at, chassis, 1));
        std::snprintf(unit->ownDesign->name, VehicleDesign::kNameSize, "%s", name);
        return unit;
    }
    void Remove(GameObject* object) {
        NodeList& list = land.world.sims[object->id.team];
        const SimId id = object->id;
        for (ListNode* n = list.First(); n; n = list.Next(n)) {
            if (static_cast<ObjectNode*>(n)->Object() != object) continue;
            delete n;
            break;
        }
        land.world.ReindexObject(id);
    }
    // Moves the team's only viewer there (nowhere for x = -1).
    void See(const Point& at) {
        if (eye) land.world.sight->RemoveViewer(eye.get(), eye->GetPosition());
        eye = at.x < 0 ? nullptr : std::make_unique<Eye>(at);
        if (eye) land.world.sight->AddViewer(eye.get(), at);
    }
    void Event(int32_t kind, const void* b = nullptr) {
        script->OnEvent(kind, nullptr, const_cast<void*>(b));
    }
    void Tick() {
        Timer budget(0);
        script->Update(budget);
    }

    static inline const Point kOre{600, 400};
    AIWorld land;
    DepositFactory* factory = nullptr;
    TutorialScript* script;
    GameObject* ore = nullptr;
    std::unique_ptr<Eye> eye;
};

}  // namespace

TEST(TutorialScript, WalksFromTheMinerToVictoryShowingEachHintInTurn) {
    Tutorial t;
    const AIKit& kit = t.land.kit;
    AIUnit* miner = t.Unit(1, "Miner", kit.Role('f'));
    AIUnit* scout = t.Unit(1, "Scout Infrared", kit.Role('a'));
    AIUnit* relay = t.Unit(1, "Detection Relay", kit.Structure(0));
    AIUnit* weapon = t.Unit(1, "Weapon Relay", kit.Structure(3));
    AIUnit* hovers[3] = {t.Unit(1, "Assault Hover", kit.Role('a')),
                         t.Unit(1, "Assault Hover", kit.Role('a')),
                         t.Unit(1, "Assault Hover", kit.Role('a'))};
    AIUnit* fourth = t.Unit(1, "Assault Hover", kit.Role('a'));
    AIUnit* watched = t.Unit(2, "Lancer", kit.Role('a'), 176, Point(610, 410));
    AIUnit* guard = t.Unit(2, "Lancer", kit.Role('a'), 300, Point(40, 600));
    const SimId minerId = miner->id;
    const VehicleDesign* hover = hovers[0]->ownDesign.get();

    auto on = [](GameObject* o, int flag) { return [o, flag] { o->SetSelected(flag); }; };
    auto ev = [&t](int32_t kind, const void* b = nullptr) {
        return [&t, kind, b] { t.Event(kind, b); };
    };
    auto tick = [&t] { t.Tick(); };
    const struct {
        std::function<void()> act;
        int step, hint;
    } walk[] = {
        {ev(14, "Scout Infrared"), 0, 229},
        {ev(14, "Miner"), 0, 230},
        {ev(15, scout->ownDesign.get()), 0, 230},
        {ev(15, miner->ownDesign.get()), 0, 231},
        {ev(1, &minerId), 1, 232},
        {ev(14, "Scout Infrared"), 1, 233},
        {ev(15, scout->ownDesign.get()), 2, 234},
        {ev(14, "Detection Relay"), 2, 235},
        {ev(15, relay->ownDesign.get()), 3, 236},
        {on(relay, 1), 3, 237},
        {ev(18, relay), 3, 238},
        // Only units and structures count.
        {on(t.factory, 1), 3, 238},
        {on(t.factory, 0), 3, 236},
        {on(relay, 0), 3, 236},
        {[relay] { relay->kind = 7; }, 3, 236},
        {on(relay, 1), 4, 241},
        {ev(20), 4, 239},
        // Only the scout is meant.
        {on(miner, 1), 4, 239},
        {on(scout, 1), 4, 240},
        {ev(18, scout), 4, 242},
        {tick, 4, 242},
        {[&t] { t.See(Tutorial::kOre); }, 4, 242},
        {tick, 5, 243},
        {on(t.factory, 1), 5, 245},
        {ev(18, t.factory), 5, 246},
        {tick, 5, 246},
        {[&t] { t.factory->mined = t.ore; }, 5, 246},
        {tick, 5, 247},
        // Not posted again while it shows (the colour tells a new post).
        {[&t] { t.land.world.statusColour = 6; }, 5, 247},
        {tick, 5, 247},
        {on(scout, 0), 5, 243},
        {tick, 5, 247},
        {on(t.factory, 0), 6, 248},
        {ev(19), 6, 249},
        {ev(14, "Assault Hover"), 6, 250},
        {ev(15, hover), 6, 250},
        {ev(15, hover), 6, 250},
        {ev(15, hover), 7, 251},
        {ev(14, "Weapon Relay"), 7, 252},
        {ev(15, weapon->ownDesign.get()), 7, 253},
        {ev(18, weapon), 7, 254},
        {on(weapon, 1), 7, 254},
        {on(weapon, 0), 7, 254},
        {[weapon] { weapon->kind = 7; }, 7, 254},
        {on(hovers[0], 1), 7, 254},
        {on(weapon, 1), 7, 255},
        {on(weapon, 0), 8, 256},
        // Deselected before any is counted: the count stays at 0.
        {on(hovers[0], 0), 8, 256},
        {on(hovers[0], 1), 8, 256},
        {on(hovers[1], 1), 8, 256},
        {on(hovers[2], 1), 8, 257},
        {on(hovers[2], 0), 8, 256},
        {on(hovers[2], 1), 8, 257},
        // A fourth and back to three: still enough.
        {on(fourth, 1), 8, 257},
        {on(fourth, 0), 8, 257},
        {ev(20), 8, 258},
        {ev(18, hovers[0]), 8, 258},
        {[&] {
             hovers[0]->goals.PushBack(
                 std::make_unique<TargetGoal>(hovers[0]->id, watched->id, Point(), 1, 1));
         },
         8, 258},
        {ev(18, hovers[0]), 8, 260},
        {ev(20), 8, 258},
        {ev(18, hovers[0]), 8, 258},
        {tick, 8, 259},
        {on(hovers[1], 0), 8, 256},
        {on(hovers[1], 1), 8, 260},
        {[&] { t.Remove(watched); }, 8, 260},
        {tick, 8, 260},
        {tick, 9, 261},
        {ev(15, hover), 9, 262},
        {tick, 9, 262},
        {[&] { t.See(guard->GetPosition()); }, 9, 262},
        {tick, 9, 263},
        {[&] { t.Remove(guard); }, 9, 263},
        {tick, 10, 264},
        {ev(15, hover), 10, 264},
        {on(hovers[0], 0), 10, 264},
    };
    for (size_t i = 0; i < std::size(walk); ++i) {
        walk[i].act();
        ASSERT_EQ(t.script->step, walk[i].step) << "row " << i;
        ASSERT_EQ(t.Shown(), walk[i].hint) << "row " << i;
        ASSERT_EQ(t.land.world.statusColour, i >= 28 && i <= 29 ? 6 : 1) << "row " << i;
    }
}

TEST(TutorialScript, PrepareDesignsReplacesWrongDesignsAndKeepsTheChosenNameItsOwn) {
    Tutorial t;
    t.land.world.designLibrary = std::make_unique<DesignLibrary>();
    DesignLibrary& library = *t.land.world.designLibrary;
    const AIKit& kit = t.land.kit;
    // A wrong Miner first (the chosen design), a Scout, a Detection Relay of the wrong role,
    // another design and an unfinished Weapon Relay.
    const struct {
        const char* name;
        const ChassisTemplate* chassis;
        int complete;
    } entries[] = {{"Miner", kit.Role('a'), 1},
                   {"Scout Infrared", nullptr, 1},
                   {"Detection Relay", kit.Role('f'), 1},
                   {"Trooper", kit.Role('a'), 1},
                   {"Weapon Relay", nullptr, 0}};
    for (const auto& e : entries) {
        auto* d = new VehicleDesign('V');
        d->chassis = const_cast<ChassisTemplate*>(e.chassis);
        d->complete = e.complete;
        std::snprintf(d->name, sizeof d->name, "%s", e.name);
        library.AppendDesign(d);
    }
    auto names = [&library] {
        std::vector<std::string> out;
        for (VehicleDesign* d = library.FirstAvailable(); d; d = library.NextAvailable(d))
            out.push_back(d->name);
        return out;
    };
    const std::vector<std::string> expected = {"Scout Infrared", "Trooper",         "Weapon Relay",
                                               "Miner",          "Detection Relay", "Assault Hover",
                                               "Weapon Relay"};
    t.script->PrepareDesigns();
    EXPECT_EQ(names(), expected);
    EXPECT_EQ(library.AvailableAt(3)->chassis, kit.Role('f'));
    // The chosen name outlived the design it was read from.
    EXPECT_EQ(t.script->chosenDesign, "Miner");
    EXPECT_EQ(t.Shown(), 230);
    // With every design in place (the test kit lacks their drives and relay chassis: marked
    // whole, relays deleted and added again) nothing more is added, and the chosen design is the
    // first listed.
    for (int i = 3; i < 7; ++i)
        library.AvailableAt(i)->complete = 1;
    t.script->PrepareDesigns();
    EXPECT_EQ(library.CountAvailable(), 7);
    EXPECT_EQ(t.Shown(), 229);
    // The design screen renames the chosen design: the tutorial keeps the name it was told.
    t.Event(14, library.AvailableAt(1)->name);
    std::snprintf(library.AvailableAt(1)->name, VehicleDesign::kNameSize, "%s", "Renamed");
    EXPECT_EQ(t.script->chosenDesign, "Trooper");
}

TEST(TutorialScript, WithoutALocalFactoryNothingChanges) {
    Tutorial t(false);
    AIUnit* unit = t.Unit(1, "Miner", t.land.kit.Role('f'));
    const SimId id = unit->id;
    const void* arguments[] = {&id, "Miner", unit->ownDesign.get(), unit, unit, unit, unit, unit};
    const int32_t kinds[] = {1, 14, 15, 16, 17, 18, 19, 20};
    for (int i = 0; i < 8; ++i)
        t.Event(kinds[i], arguments[i]);
    t.script->step = 4;
    t.See(Tutorial::kOre);
    t.Tick();
    EXPECT_EQ(t.script->step, 4);
    EXPECT_EQ(t.script->panelClosed, 0);
    EXPECT_EQ(t.script->chosenDesign, "");
    EXPECT_EQ(t.Shown(), -1);
}

TEST(TutorialScript, APlayersRecordOfTheLocalTeamLeavesTheTutorialInPlace) {
    ScenarioWorld s;
    s.world->scenarioMakers.makeController = MakeMissionController;
    s.WriteSave("t.scn", ": H\nJ = 12\nL = V\nK = 0\nI = 1\nn = 1\n: E\nI = 1\nL = V\n");
    auto descriptor = std::make_unique<Scenario>();
    descriptor->SetFileName("t.scn");
    ASSERT_EQ(s.Start(std::move(descriptor)), 1);
    auto* tutorial = dynamic_cast<TutorialScript*>(s.world->controllers[1].get());
    ASSERT_NE(tutorial, nullptr);
    EXPECT_EQ(tutorial->ClanLetter(), 'V');
    EXPECT_EQ(tutorial->watchList.Count(), 6);
}
