#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
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
        auto made = std::make_unique<TutorialScript>(1, 'V', 1);
        script = made.get();
        land.world.SetTeamController(1, std::move(made));
        script->Setup(1);
    }
    ~Tutorial() {
        if (eye) land.world.sight->RemoveViewer(eye.get(), eye->GetPosition());
        ClearStringTable();
    }
    int Shown() const {
        int line = -1;
        return std::sscanf(land.world.statusText, "hint %d", &line) == 1 ? line : -1;
    }
    AIUnit* Unit(int team, const char* name, const ChassisTemplate* chassis, int kind = 1,
                 int serial = 0, const Point& at = Point(200, 200)) {
        const SimId id = serial ? SimId(team, serial) : land.world.NewSimId(team);
        AIUnit* unit = land.List(std::make_unique<AIUnit>(id, at, chassis, kind));
        std::snprintf(unit->ownDesign->name, VehicleDesign::kNameSize, "%s", name);
        return unit;
    }
    void Remove(GameObject* object) {
        const SimId id = object->id;
        for (ListNode* n = land.world.sims[id.team].First(); n;
             n = land.world.sims[id.team].Next(n))
            if (static_cast<ObjectNode*>(n)->Object() == object) {
                delete n;
                break;
            }
        land.world.ReindexObject(id);
    }
    void See(const Point& at) {
        if (eye) land.world.sight->RemoveViewer(eye.get(), eye->GetPosition());
        eye = std::make_unique<Eye>(at);
        land.world.sight->AddViewer(eye.get(), at);
    }
    void Event(int32_t kind, const void* b = nullptr) {
        script->OnEvent(kind, nullptr, const_cast<void*>(b));
    }
    void Tick() {
        Timer budget(0);
        script->Update(budget);
    }

    AIWorld land;
    DepositFactory* factory = nullptr;
    TutorialScript* script;
    std::unique_ptr<Eye> eye;
};

std::unique_ptr<VehicleDesign> Named(const char* name, const ChassisTemplate* chassis) {
    auto design = std::make_unique<VehicleDesign>('V');
    design->chassis = const_cast<ChassisTemplate*>(chassis);
    std::snprintf(design->name, sizeof design->name, "%s", name);
    return design;
}

}  // namespace

TEST(TutorialScript, WalksFromTheMinerToVictoryShowingEachHintInTurn) {
    Tutorial t;
    const AIKit& kit = t.land.kit;
    auto miner = Named("Miner", kit.Role('f'));
    auto scout = Named("Scout Infrared", kit.Role('a'));
    auto relayDesign = Named("Detection Relay", kit.Structure(0));
    auto hover = Named("Assault Hover", kit.Role('a'));
    auto weaponDesign = Named("Weapon Relay", kit.Structure(3));
    AIUnit* minerUnit = t.Unit(1, "Miner", kit.Role('f'));
    AIUnit* scoutUnit = t.Unit(1, "Scout Infrared", kit.Role('a'));
    AIUnit* relay = t.Unit(1, "Detection Relay", kit.Structure(0));
    AIUnit* weapon = t.Unit(1, "Weapon Relay", kit.Structure(3));
    std::vector<AIUnit*> hovers;
    for (int i = 0; i < 3; ++i)
        hovers.push_back(t.Unit(1, "Assault Hover", kit.Role('a')));
    AIUnit* watched = t.Unit(2, "Lancer", kit.Role('a'), 1, 176, Point(610, 410));
    AIUnit* guard = t.Unit(2, "Lancer", kit.Role('a'), 1, 300, Point(40, 600));
    auto deposit = std::make_unique<TestObject>(0, 127, Point(600, 400), 3);
    GameObject* ore = deposit.get();
    std::unique_ptr<GameObject> listed = std::move(deposit);
    ASSERT_EQ(t.land.world.AddOreDeposit(listed), 1);
    const SimId minerId = minerUnit->id;

    struct Row {
        std::function<void()> act;
        int step;
        int hint;
    };
    auto select = [](GameObject* o, int flag) { return [o, flag] { o->SetSelected(flag); }; };
    auto event = [&t](int32_t kind, const void* b = nullptr) {
        return [&t, kind, b] { t.Event(kind, b); };
    };
    auto tick = [&t] { t.Tick(); };
    const std::vector<Row> walk = {
        {event(14, "Scout Infrared"), 0, 229},
        {event(14, "Miner"), 0, 230},
        {event(15, scout.get()), 0, 230},
        {event(15, miner.get()), 0, 231},
        {event(1, &minerId), 1, 232},
        {event(14, "Scout Infrared"), 1, 233},
        {event(15, scout.get()), 2, 234},
        {event(14, "Detection Relay"), 2, 235},
        {event(15, relayDesign.get()), 3, 236},
        {select(relay, 1), 3, 237},
        {event(18, relay), 3, 238},
        {select(relay, 0), 3, 236},
        {[relay] { relay->kind = 7; }, 3, 236},
        {select(relay, 1), 4, 241},
        {event(20), 4, 239},
        {select(scoutUnit, 1), 4, 240},
        {event(18, scoutUnit), 4, 242},
        {tick, 4, 242},
        {[&t, ore] { t.See(ore->GetPosition()); }, 4, 242},
        {tick, 5, 243},
        {select(t.factory, 1), 5, 245},
        {event(18, t.factory), 5, 246},
        {tick, 5, 246},
        {[&t, ore] { t.factory->mined = ore; }, 5, 246},
        {tick, 5, 247},
        {select(scoutUnit, 0), 5, 243},
        {select(t.factory, 0), 6, 248},
        {event(19), 6, 249},
        {event(14, "Assault Hover"), 6, 250},
        {event(15, hover.get()), 6, 250},
        {event(15, hover.get()), 6, 250},
        {event(15, hover.get()), 7, 251},
        {event(14, "Weapon Relay"), 7, 252},
        {event(15, weaponDesign.get()), 7, 253},
        {event(18, weapon), 7, 254},
        {select(weapon, 1), 7, 254},
        {select(weapon, 0), 7, 254},
        {[weapon] { weapon->kind = 7; }, 7, 254},
        {select(weapon, 1), 7, 255},
        {select(weapon, 0), 8, 256},
        {select(hovers[0], 1), 8, 256},
        {select(hovers[1], 1), 8, 256},
        {select(hovers[2], 1), 8, 257},
        {select(hovers[2], 0), 8, 256},
        {select(hovers[2], 1), 8, 257},
        {event(20), 8, 258},
        {event(18, hovers[0]), 8, 258},
        {[&] {
             hovers[0]->goals.PushBack(
                 std::make_unique<TargetGoal>(hovers[0]->id, watched->id, Point(), 1, 1));
         },
         8, 258},
        {event(18, hovers[0]), 8, 260},
        {event(20), 8, 258},
        {event(18, hovers[0]), 8, 258},
        {tick, 8, 259},
        {select(hovers[1], 0), 8, 256},
        {select(hovers[1], 1), 8, 260},
        {[&] { t.Remove(watched); }, 8, 260},
        {tick, 8, 260},
        {tick, 9, 261},
        {event(15, hover.get()), 9, 262},
        {tick, 9, 262},
        {[&] { t.See(guard->GetPosition()); }, 9, 262},
        {tick, 9, 263},
        {[&] { t.Remove(guard); }, 9, 263},
        {tick, 10, 264},
        {event(15, hover.get()), 10, 264},
        {select(hovers[0], 0), 10, 264},
    };
    for (size_t i = 0; i < walk.size(); ++i) {
        walk[i].act();
        ASSERT_EQ(t.script->step, walk[i].step) << "row " << i;
        ASSERT_EQ(t.Shown(), walk[i].hint) << "row " << i;
    }
    EXPECT_EQ(t.land.world.statusColour, 1);
    // The deposit's SimId is the one the factory's link had at set-up: none here.
    EXPECT_TRUE(t.script->factoryLink.IsNull());
}

TEST(TutorialScript, PrepareDesignsReplacesWrongDesignsAndKeepsTheChosenNameItsOwn) {
    Tutorial t;
    t.land.world.designLibrary = std::make_unique<DesignLibrary>();
    DesignLibrary& library = *t.land.world.designLibrary;
    const AIKit& kit = t.land.kit;
    // Name, chassis, complete: a wrong Miner first (the chosen design), a right Scout, a
    // Detection Relay of the wrong role, another design, and an unfinished Weapon Relay.
    struct Entry {
        const char* name;
        const ChassisTemplate* chassis;
        int complete;
    };
    for (const Entry& e : {Entry{"Miner", kit.Role('a'), 1}, Entry{"Scout Infrared", nullptr, 1},
                           Entry{"Detection Relay", kit.Role('f'), 1},
                           Entry{"Trooper", kit.Role('a'), 1}, Entry{"Weapon Relay", nullptr, 0}}) {
        auto* d = new VehicleDesign('V');
        d->chassis = const_cast<ChassisTemplate*>(e.chassis);
        d->complete = e.complete;
        std::snprintf(d->name, sizeof d->name, "%s", e.name);
        library.AppendDesign(d);
    }
    t.script->PrepareDesigns();
    std::vector<std::string> names;
    for (VehicleDesign* d = library.FirstAvailable(); d; d = library.NextAvailable(d))
        names.push_back(d->name);
    EXPECT_EQ(names,
              (std::vector<std::string>{"Scout Infrared", "Trooper", "Weapon Relay", "Miner",
                                        "Detection Relay", "Assault Hover", "Weapon Relay"}));
    // The appended Miner is of the miner's role.
    EXPECT_EQ(library.AvailableAt(3)->chassis, kit.Role('f'));
    // The chosen name outlived the design it was read from.
    EXPECT_EQ(t.script->chosenDesign, "Miner");
    EXPECT_EQ(t.Shown(), 230);
    // A second start finds every design in place (the test kit lacks their drives: they are
    // marked whole here): nothing is added, and the chosen one is the first listed.
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
    const AIKit& kit = t.land.kit;
    auto miner = Named("Miner", kit.Role('f'));
    AIUnit* unit = t.Unit(1, "Miner", kit.Role('f'));
    const SimId id = unit->id;
    for (int32_t kind : {1, 14, 15, 16, 17, 18, 19, 20}) {
        const void* argument = kind == 1    ? static_cast<const void*>(&id)
                               : kind == 14 ? static_cast<const void*>("Miner")
                               : kind == 15 ? static_cast<const void*>(miner.get())
                                            : static_cast<const void*>(unit);
        t.Event(kind, argument);
    }
    t.script->step = 4;
    t.See(Point(600, 400));
    auto deposit = std::make_unique<TestObject>(0, 127, Point(600, 400), 3);
    std::unique_ptr<GameObject> listed = std::move(deposit);
    ASSERT_EQ(t.land.world.AddOreDeposit(listed), 1);
    t.Tick();
    EXPECT_EQ(t.script->step, 4);
    EXPECT_EQ(t.script->panelClosed, 0);
    EXPECT_EQ(t.script->chosenDesign, "");
    EXPECT_EQ(t.Shown(), -1);
}

TEST(TutorialScript, OnTheOreHintIsNotPostedAgainWhileItShows) {
    Tutorial t;
    auto deposit = std::make_unique<TestObject>(0, 127, Point(600, 400), 3);
    t.factory->mined = deposit.get();
    std::unique_ptr<GameObject> listed = std::move(deposit);
    ASSERT_EQ(t.land.world.AddOreDeposit(listed), 1);
    t.script->step = 5;
    t.factory->SetSelected(1);
    t.Tick();
    EXPECT_EQ(t.Shown(), 247);
    // The status colour tells a new post from the old text.
    t.land.world.statusColour = 6;
    t.Tick();
    EXPECT_EQ(t.land.world.statusColour, 6);
    t.land.world.SetStatusMessage("other", 6);
    t.Tick();
    EXPECT_EQ(t.Shown(), 247);
    EXPECT_EQ(t.land.world.statusColour, 1);
    EXPECT_EQ(t.script->step, 5);
}

TEST(TutorialScript, APlayersRecordOfTheLocalTeamLeavesTheTutorialInPlace) {
    ScenarioWorld s;
    s.world->scenarioMakers.makeController = MakeMissionController;
    s.WriteFile("t.scn",
                ": H\nJ = 12\nL = V\nK = 0\nI = 1\nn = 1\n: E\nI = 1\nL = V\n"
                ": E\nI = 2\nL = T\n");
    auto descriptor = std::make_unique<Scenario>();
    descriptor->SetFileName("t.scn");
    ASSERT_EQ(s.Start(std::move(descriptor)), 1);
    auto* tutorial = dynamic_cast<TutorialScript*>(s.world->controllers[1].get());
    ASSERT_NE(tutorial, nullptr);
    EXPECT_EQ(tutorial->ClanLetter(), 'V');
    EXPECT_EQ(tutorial->watchList.Count(), 6);
    EXPECT_EQ(s.world->controllers[2], nullptr);
}
