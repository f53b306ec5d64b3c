#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "AIFixture.h"
#include "AITestManagers.h"
#include "ai/InfluenceGrid.h"
#include "catalogue/DesignRules.h"
#include "catalogue/HardpointItemTemplates.h"
#include "catalogue/PartRule.h"
#include "catalogue/WeaponTemplate.h"
#include "objects/Squad.h"

namespace {

// A controller of team 2 with a factory, recording managers and the kit's parts listed.
struct Production {
    Production() {
        land.kit.List();
        factory = land.AddFactory(2, Point(300, 300));
        ai = land.AddController(2);
        ai->SetStrategyBits(0x01);
        ai->SetAggressiveness(2);
        ai->Setup(3);
        managers = InstallRecordingManagers(*ai);
        factory->cargo = 5000;
        factory->stored = 5000;
    }
    // Rules asking for a chassis of that role, from a squad, with a priority.
    static DesignRules Request(char role, int32_t squad = 0, int32_t priority = 3) {
        DesignRules rules;
        rules.AddPartLetter(kChassisCategory, role, 1);
        AIController::SetOrderSquad(rules, squad);
        AIController::SetOrderPriority(rules, priority);
        return rules;
    }
    std::vector<int32_t> QueuedPriorities() const {
        std::vector<int32_t> keys;
        for (ListNode* n = ai->buildOrders.First(); n; n = ai->buildOrders.Next(n))
            keys.push_back(AIController::OrderPriority(*static_cast<DesignRules*>(n)));
        return keys;
    }

    AIWorld land;
    FakeFactory* factory;
    AIController* ai;
    std::vector<RecordingManager*> managers;
};

}  // namespace

TEST(AIProduction, RequestsQueueByPriorityUpToElevenAndNeverWithTheHigherFlag) {
    Production p;
    EXPECT_EQ(p.ai->RequestUnits(Production::Request('t', 0, 3), 0, nullptr, 0, 0), nullptr);
    p.ai->RequestUnits(Production::Request('t', 0, 1), 0, nullptr, 0, 0);
    p.ai->RequestUnits(Production::Request('t', 0, 2), 0, nullptr, 0, 0);
    p.ai->RequestUnits(Production::Request('t', 0, 2), 1, nullptr, 0, 0);
    EXPECT_EQ(p.QueuedPriorities(), (std::vector<int32_t>{1, 2, 3}));
    for (int i = 0; i < 20; ++i)
        p.ai->RequestUnits(Production::Request('t'), 0, nullptr, 0, 0);
    EXPECT_EQ(p.ai->buildOrders.Count(), AIController::kMaxQueuedOrders);
}

TEST(AIProduction, AnIdleUnitThatFitsIsHandedOverNearestFirst) {
    Production p;
    AIUnit* far = p.land.AddUnit(2, Point(600, 300), 't');
    AIUnit* near = p.land.AddUnit(2, Point(350, 300), 't');
    p.land.AddUnit(2, Point(310, 300), 'a');
    const Point at(300, 300);
    DesignRules request = Production::Request('t');
    request.presets[3] = 20;
    EXPECT_EQ(p.ai->RequestUnits(request, 0, &at, 100, 0), near);
    ASSERT_FALSE(near->given.empty());
    EXPECT_EQ(near->given.back().code, 9);
    EXPECT_EQ(near->clears, 1);
    EXPECT_EQ(near->rebuilds, 1);
    EXPECT_EQ(near->GetDesign()->parameters[3], 20);
    // Beyond the distance only the rest; without a point, list order (newest first).
    EXPECT_EQ(p.ai->RequestUnits(request, 0, &at, 51, 0), near);
    EXPECT_EQ(p.ai->RequestUnits(request, 0, nullptr, 0, 0), near);
    EXPECT_EQ(p.ai->RequestUnits(request, 0, &at, 0, 1), nullptr);
    (void)far;
}

// Whether a unit in another manager's squad may be lent: the higher-priority flag reaches the
// holder only when the requesting manager runs first; a request without a squad has none.
TEST(AIProduction, TheAvailabilityFlagFollowsTheManagerIds) {
    struct Case {
        int requester;  // index of the requesting manager, -1 no squad
        int holder;
        int higher;
        int flag;
    };
    const Case cases[] = {{0, 2, 1, 1}, {2, 0, 1, 0}, {0, 2, 0, 0}, {-1, 2, 1, 0}, {1, 1, 1, 0}};
    for (const Case& c : cases) {
        Production p;
        Squad* holding = p.managers[c.holder]->NewSquad();
        AIUnit* unit = p.land.AddUnit(2, Point(400, 400), 't');
        unit->SetOwner(p.ai);
        ASSERT_EQ(holding->AddMember(*unit, 1), 1);
        const int32_t squad = c.requester < 0 ? 0 : p.managers[c.requester]->NewSquad()->Id();
        EXPECT_EQ(p.ai->RequestUnits(Production::Request('t', squad), c.higher, nullptr, 0, 0),
                  unit);
        EXPECT_EQ(p.managers[c.holder]->availabilityFlags, std::vector<int>{c.flag});
    }
}

TEST(AIProduction, HandOutDropsOrdersOfVanishedSquadsAndFillsTheRest) {
    Production p;
    RecordingManager* pool = p.managers[0];
    Squad* gone = pool->NewSquad();
    Squad* kept = pool->NewSquad();
    const int32_t goneId = gone->Id();
    p.ai->RequestUnits(Production::Request('t', goneId, 1), 0, nullptr, 0, 1);
    p.ai->RequestUnits(Production::Request('t', kept->Id(), 2), 0, nullptr, 0, 1);
    p.ai->RequestUnits(Production::Request('t', kept->Id(), 3), 0, nullptr, 0, 1);
    EXPECT_EQ(p.ai->CountOrders(pool, 0, 0), 3);
    EXPECT_EQ(p.ai->CountOrders(pool, 0, kept->Id()), 2);
    EXPECT_EQ(p.ai->CountOrders(p.managers[1], 0, 0), 0);
    pool->DeleteChild(gone);
    pool->lend = 0;
    AIUnit* unit = p.land.AddUnit(2, Point(400, 400), 't');
    p.ai->NextBuild(*p.factory, *p.factory);
    // The vanished squad's order went, the first live one took the unit, the last one (no unit
    // left for it) went into production.
    EXPECT_TRUE(p.ai->buildOrders.IsEmpty());
    ASSERT_NE(p.ai->pendingOrder, nullptr);
    EXPECT_EQ(AIController::OrderPriority(*p.ai->pendingOrder), 3);
    EXPECT_TRUE(unit->IsCurrent(kept->Id()));
    EXPECT_EQ(pool->built, std::vector<SimId>{unit->id});
}

TEST(AIProduction, WithoutAMinerAndOreAFighterIsDiscardedAndAMinerHeld) {
    Production p;
    p.ai->minerCost = 1000;
    p.factory->cargo = 200;
    p.ai->RequestUnits(Production::Request('a'), 0, nullptr, 0, 1);
    EXPECT_EQ(p.ai->NextBuild(*p.factory, *p.factory), nullptr);
    EXPECT_EQ(p.ai->heldDesign, nullptr);
    EXPECT_EQ(p.ai->pendingOrder, nullptr);
    EXPECT_TRUE(p.ai->buildOrders.IsEmpty());
    // A miner costing more than the ore waits, and is retried each time until it is paid.
    p.ai->RequestUnits(Production::Request('f'), 0, nullptr, 0, 1);
    const int32_t first = p.ai->firstProductionCounter;
    EXPECT_EQ(p.ai->NextBuild(*p.factory, *p.factory), nullptr);
    ASSERT_NE(p.ai->heldDesign, nullptr);
    ASSERT_NE(p.ai->pendingOrder, nullptr);
    EXPECT_EQ(p.ai->NextBuild(*p.factory, *p.factory), nullptr);
    p.factory->cargo = 300;
    p.factory->stored = 0;
    std::unique_ptr<VehicleDesign> miner = p.ai->NextBuild(*p.factory, *p.factory);
    ASSERT_NE(miner, nullptr);
    EXPECT_EQ(miner->chassis->role, 'f');
    EXPECT_EQ(p.ai->heldDesign, nullptr);
    EXPECT_EQ(p.ai->firstProductionCounter, first + 1);
}

TEST(AIProduction, TheProductionStepQueuesUnfoldsAndCancelsToSaveForAMiner) {
    Production p;
    p.ai->RequestUnits(Production::Request('a'), 0, nullptr, 0, 1);
    p.factory->credit = 10;
    p.ai->firstProductionCounter = 7;
    p.ai->ProductionStep(*p.factory, *p.factory);
    ASSERT_NE(p.factory->current, nullptr);
    EXPECT_EQ(p.factory->queuedFront, 1);
    EXPECT_EQ(p.ai->oreAtLastJob, 5000);
    EXPECT_EQ(p.ai->firstProductionCounter, 0);
    // Folded and idle: the factory unfolds.
    p.factory->current.reset();
    p.factory->unfold = 0;
    p.ai->ProductionStep(*p.factory, *p.factory);
    EXPECT_EQ(p.factory->unfoldSteps, 1);
    // A fighter in production while the team has no miner and too little ore is cancelled,
    // its order back in the queue; a job from the scenario file has no order to put back.
    p.factory->current = std::make_unique<VehicleDesign>('V');
    p.factory->current->chassis = const_cast<ChassisTemplate*>(p.land.kit.Role('a'));
    // Ore enough for exactly one miner: the fighter goes on.
    p.ai->minerCost = p.factory->GetCargo();
    p.ai->ProductionStep(*p.factory, *p.factory);
    EXPECT_EQ(p.factory->cancels, 0);
    EXPECT_NE(p.factory->current, nullptr);
    p.ai->minerCost = 9000;
    p.ai->ProductionStep(*p.factory, *p.factory);
    EXPECT_EQ(p.factory->cancels, 1);
    EXPECT_EQ(p.ai->buildOrders.Count(), 1);
    EXPECT_EQ(p.ai->pendingOrder, nullptr);
    p.factory->current = std::make_unique<VehicleDesign>('V');
    p.factory->current->chassis = const_cast<ChassisTemplate*>(p.land.kit.Role('a'));
    p.ai->ProductionStep(*p.factory, *p.factory);
    EXPECT_EQ(p.factory->cancels, 2);
    EXPECT_EQ(p.ai->buildOrders.Count(), 1);
}

TEST(AIProduction, PlanningSetsTheResourceFlagsAndDefaultLetters) {
    Production p;
    p.factory->cargo = 100;
    p.factory->stored = 100;
    DesignRules order = Production::Request('a');
    p.ai->PlanOrder(order, p.factory);
    EXPECT_EQ(order.weights[0], 1);
    EXPECT_EQ(order.weights[1], 1);
    EXPECT_EQ(order.weights[2], 0);
    // The local team is team 1 with no units: nothing examined; type 2 is wanted (Q 0x01), so
    // the defence entry exists; the stealth entry is emptied without type 1.
    EXPECT_NE(order.FindEntry(kDefenceCategory), nullptr);
    ASSERT_NE(order.FindEntry(kStealthCategory), nullptr);
    EXPECT_FALSE(order.FindEntry(kStealthCategory)->HasLetters());
    EXPECT_NE(order.FindEntry(kDriveCategory, 1)->flags & 8, 0u);
    // No aircraft seen: no weapon asked to reach them.
    const PartRule* weapons = order.FindEntry(kWeaponCategory, 1);
    EXPECT_TRUE(!weapons || (weapons->flags & 0x10) == 0);
    p.ai->needsWaterCrossing = 1;
    p.factory->credit = 5;
    DesignRules paid = Production::Request('a');
    p.ai->PlanOrder(paid, p.factory);
    EXPECT_EQ(paid.weights[0], 0);
    EXPECT_NE(paid.FindEntry(kDriveCategory, 1)->flags & 0x8000, 0u);
}

// The human player's designs tune an order: letters against their sensors, stealth and weapons,
// a weapon flag against their aircraft, and a chassis as strong as theirs.
TEST(AIProduction, PlanningAnswersTheHumanPlayersDesigns) {
    Production p;
    p.ai->typeQueue.DeleteAll();
    for (int type : {0, 1, 2}) {
        auto* node = new ListNode;
        node->key = type;
        p.ai->typeQueue.PushBack(node);
    }
    MountValues sensorValues;
    sensorValues.clan = 'V';
    sensorValues.role = 'u';
    SensorItemTemplate sensor(sensorValues, 1);
    MountValues stealthValues;
    stealthValues.clan = 'V';
    stealthValues.role = 'y';
    StealthItemTemplate stealth(stealthValues);
    WeaponValues weaponValues;
    weaponValues.mount.clan = 'V';
    weaponValues.mount.role = 'a';
    weaponValues.kindLetter = 'b';
    weaponValues.shotLayerField = 1;
    WeaponTemplate weapon(WeaponClass::Beam, weaponValues);
    PartTemplate wings('V', 'A', 1, 2, 100, 100, 1);
    AIUnit* human = p.land.AddUnit(1, Point(600, 500));
    VehicleDesign& design = *human->GetDesign();
    design.hardpoints[0] = &sensor;
    design.hardpoints[1] = &stealth;
    design.hardpoints[2] = &weapon;
    design.drive = &wings;
    DesignRules order = Production::Request('a');
    p.ai->PlanOrder(order, p.factory);
    auto letters = [&](int category) {
        PartRule* rule = order.FindEntry(category);
        return rule ? std::string(rule->letters) : std::string("-");
    };
    EXPECT_EQ(letters(kSensorCategory), "u");
    EXPECT_EQ(letters(kStealthCategory), "k");
    EXPECT_EQ(letters(kDefenceCategory), "b");
    EXPECT_NE(order.FindEntry(kWeaponCategory, 1)->flags & 0x10, 0u);
    EXPECT_EQ(order.buildTimeCap, 500 + 2000);
    design.hardpoints = {};
    design.drive = nullptr;
}

// A controller of the second clan playing strategy type 4 answers a player whose weapons cannot
// reach aircraft with aircraft; weapons that reach them keep it on the ground.
TEST(AIProduction, TheSecondClanFliesAgainstAPlayerWhoCannotShootUp) {
    for (int layer : {1, 2}) {
        Production p;
        p.ai->clan = 'T';
        p.ai->SetStrategyBits(AIController::kStrategyType4);
        WeaponValues values;
        values.mount.clan = 'V';
        values.mount.role = 'a';
        values.kindLetter = 'b';
        values.shotLayerField = layer;
        WeaponTemplate weapon(WeaponClass::Beam, values);
        VehicleDesign& design = *p.land.AddUnit(1, Point(600, 500))->GetDesign();
        design.hardpoints[0] = &weapon;
        DesignRules order = Production::Request('a');
        p.ai->PlanOrder(order, p.factory);
        const PartRule* drive = order.FindEntry(kDriveCategory, 1);
        ASSERT_NE(drive, nullptr);
        EXPECT_EQ((drive->flags & 0x10) != 0, layer == 1) << layer;
        design.hardpoints = {};
    }
}

// The human player's sensor parts choose the stealth an order asks for, and their stealth parts
// the sensor: by the set of letters a design carries (u, v, w and k, y, z), none for a full set
// but the first two, and 'z' and 'u' when nothing was noted.
TEST(AIProduction, TheHumanPlayersSensorsAndStealthChooseTheLettersAsked) {
    struct Case {
        const char* sensors;  // letters of the sensor parts on the human player's design
        const char* stealth;
        const char* stealthAsked;
        const char* sensorAsked;
    };
    const Case cases[] = {
        {"", "", "z", "u"},     {"w", "z", "z", "w"},     {"v", "y", "y", "u"},
        {"vw", "yz", "y", "w"}, {"u", "k", "k", "v"},     {"uw", "kz", "k", "w"},
        {"uv", "ky", "z", "u"}, {"uvw", "kyz", "z", "w"},
    };
    for (const Case& c : cases) {
        Production p;
        p.ai->typeQueue.DeleteAll();
        for (int type : {0, 1}) {
            auto* node = new ListNode;
            node->key = type;
            p.ai->typeQueue.PushBack(node);
        }
        std::vector<std::unique_ptr<MountTemplate>> parts;
        for (const char* letter = c.sensors; *letter; ++letter) {
            MountValues v;
            v.clan = 'V';
            v.role = *letter;
            parts.push_back(std::make_unique<SensorItemTemplate>(v, 1));
        }
        for (const char* letter = c.stealth; *letter; ++letter) {
            MountValues v;
            v.clan = 'V';
            v.role = *letter;
            parts.push_back(std::make_unique<StealthItemTemplate>(v));
        }
        VehicleDesign& design = *p.land.AddUnit(1, Point(600, 500))->GetDesign();
        for (size_t i = 0; i < parts.size(); ++i)
            design.hardpoints[i] = parts[i].get();
        DesignRules order = Production::Request('a');
        p.ai->PlanOrder(order, p.factory);
        ASSERT_NE(order.FindEntry(kStealthCategory), nullptr);
        ASSERT_NE(order.FindEntry(kSensorCategory), nullptr);
        EXPECT_EQ(std::string(order.FindEntry(kStealthCategory)->letters), c.stealthAsked)
            << c.sensors << " " << c.stealth;
        EXPECT_EQ(std::string(order.FindEntry(kSensorCategory)->letters), c.sensorAsked)
            << c.sensors << " " << c.stealth;
        design.hardpoints = {};
    }
}

// The switch words of an unpaid order: the queue word once the human player has more than five
// objects beyond the queued orders, otherwise the ore word below 2000 ore and the second
// resource's below 2000 in store.
TEST(AIProduction, AnUnpaidOrdersSwitchWordsFollowStockAndTheHumanPlayersNumbers) {
    struct Case {
        int32_t credit;
        int humans;
        int queued;
        int cargo;
        int stored;
        int words[3];
    };
    const Case cases[] = {
        {0, 0, 0, 1999, 1999, {1, 1, 0}}, {0, 0, 0, 2000, 2000, {0, 0, 0}},
        {0, 5, 0, 100, 100, {1, 1, 0}},   {0, 6, 0, 100, 100, {0, 0, 1}},
        {0, 7, 2, 100, 100, {1, 1, 0}},   {0, 8, 2, 100, 100, {0, 0, 1}},
        {1, 8, 0, 100, 100, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        Production p;
        p.factory->credit = c.credit;
        p.factory->cargo = c.cargo;
        p.factory->stored = c.stored;
        for (int i = 0; i < c.humans; ++i)
            p.land.AddUnit(1, Point(600 + 10 * i, 500));
        for (int i = 0; i < c.queued; ++i)
            p.ai->RequestUnits(Production::Request('t'), 0, nullptr, 0, 1);
        DesignRules order = Production::Request('a');
        p.ai->PlanOrder(order, p.factory);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(order.weights[static_cast<size_t>(i)], c.words[i])
                << "word " << i << " credit " << c.credit << " humans " << c.humans << " queued "
                << c.queued << " cargo " << c.cargo << " stored " << c.stored;
    }
}

// Against the human player's defence parts an order forbids, every other time, the weapons of
// its own clan (or of no clan) that the defence's letter answers, their letters sorted.
TEST(AIProduction, DefencePartsOfThePlayerForbidTheWeaponsTheyAnswerEveryOtherTime) {
    struct Listed {
        char clan;
        char role;
        char kind;
    };
    std::vector<std::unique_ptr<WeaponTemplate>> weapons;
    for (const Listed& l : {Listed{'V', 'c', 'b'}, Listed{'X', 'a', 'b'}, Listed{'T', 'd', 'b'},
                            Listed{'V', 'e', 'q'}}) {
        WeaponValues v;
        v.mount.clan = l.clan;
        v.mount.role = l.role;
        v.kindLetter = l.kind;
        weapons.push_back(std::make_unique<WeaponTemplate>(WeaponClass::Beam, v));
        ListNode* node = weapons.back().get();
        WeaponList.PushBack(node);
    }
    MountValues shieldValues;
    shieldValues.clan = 'V';
    shieldValues.role = 'b';
    DefenceItemTemplate shield(shieldValues, 0, 0, 0, nullptr, "");
    int forbidden = 0;
    for (uint32_t seed = 1; seed <= 20; ++seed) {
        Production p;
        SeedRandom(seed * 35711);
        VehicleDesign& design = *p.land.AddUnit(1, Point(600, 500))->GetDesign();
        design.hardpoints[0] = &shield;
        DesignRules order = Production::Request('a');
        p.ai->PlanOrder(order, p.factory);
        const PartRule* weaponsOut = order.FindEntry(kWeaponCategory, 0);
        ASSERT_NE(weaponsOut, nullptr);
        const std::string letters(weaponsOut->letters);
        if (!letters.empty()) {
            ++forbidden;
            EXPECT_EQ(letters, "ac");
        }
        design.hardpoints = {};
    }
    EXPECT_GT(forbidden, 3);
    EXPECT_LT(forbidden, 17);
}

// Orders are counted for the manager whose squad asked, by purpose (0: any) and squad (0: any),
// the pending order included; orders of no squad count for nobody.
TEST(AIProduction, OrdersAreCountedByManagerPurposeAndSquadWithThePendingOne) {
    Production p;
    Squad* a = p.managers[0]->NewSquad();
    Squad* a2 = p.managers[0]->NewSquad();
    Squad* b = p.managers[1]->NewSquad();
    auto order = [](int32_t squad, int32_t purpose) {
        auto rules = std::make_unique<DesignRules>();
        AIController::SetOrderSquad(*rules, squad);
        AIController::SetOrderPurpose(*rules, purpose);
        return rules;
    };
    p.ai->RequestUnits(*order(a->Id(), 2), 0, nullptr, 0, 1);
    p.ai->RequestUnits(*order(a2->Id(), 3), 0, nullptr, 0, 1);
    p.ai->RequestUnits(*order(b->Id(), 2), 0, nullptr, 0, 1);
    p.ai->RequestUnits(*order(0, 2), 0, nullptr, 0, 1);
    p.ai->pendingOrder = order(a->Id(), 2);
    struct Case {
        int manager;
        int32_t purpose;
        int32_t squad;  // 0 any, 1 a, 2 a2, 3 b
        int count;
    };
    const Case cases[] = {{0, 0, 0, 3}, {0, 2, 0, 2}, {0, 3, 0, 1}, {0, 2, 1, 2}, {0, 3, 1, 0},
                          {0, 0, 2, 1}, {0, 0, 3, 0}, {1, 2, 0, 1}, {1, 3, 0, 0}, {2, 0, 0, 0}};
    const int32_t squads[] = {0, a->Id(), a2->Id(), b->Id()};
    for (const Case& c : cases)
        EXPECT_EQ(p.ai->CountOrders(p.managers[static_cast<size_t>(c.manager)], c.purpose,
                                    squads[c.squad]),
                  c.count)
            << c.manager << " " << c.purpose << " " << c.squad;
    p.ai->pendingOrder.reset();
    EXPECT_EQ(p.ai->CountOrders(p.managers[0], 0, 0), 2);
}

// A chassis as strong as the player's: the mean build time of the player's combat units, less
// workers, structures and chassis without a build time, plus 2000.
TEST(AIProduction, TheChassisCapIsThePlayersMeanCombatBuildTimePlusTwoThousand) {
    ChassisValues v;
    v.clan = 'V';
    v.role = 'a';
    v.buildTime = 0;
    ChassisTemplate instant(v);
    v.buildTime = 900;
    ChassisTemplate slow(v);
    Production p;
    p.land.AddUnit(1, Point(600, 500));  // 500
    p.land.List(std::make_unique<AIUnit>(p.land.world.NewSimId(1), Point(620, 500), &slow));
    p.land.List(std::make_unique<AIUnit>(p.land.world.NewSimId(1), Point(640, 500), &instant));
    p.land.AddUnit(1, Point(660, 500), 'f');
    p.land.AddStructure(1, Point(680, 500), 2);
    DesignRules order = Production::Request('a');
    p.ai->PlanOrder(order, p.factory);
    EXPECT_EQ(order.buildTimeCap, (500 + 900) / 2 + 2000);
}

// The second clan flies once at least a quarter of the objects examined carry weapons that
// cannot reach aircraft.
TEST(AIProduction, TheSecondClanFliesWhenAQuarterOfThePlayersObjectsCannotShootUp) {
    WeaponValues values;
    values.mount.clan = 'V';
    values.mount.role = 'a';
    values.kindLetter = 'b';
    values.shotLayerField = 1;
    WeaponTemplate groundOnly(WeaponClass::Beam, values);
    for (int unarmed : {3, 4}) {
        Production p;
        p.ai->clan = 'T';
        p.ai->SetStrategyBits(AIController::kStrategyType4);
        VehicleDesign& design = *p.land.AddUnit(1, Point(600, 500))->GetDesign();
        design.hardpoints[0] = &groundOnly;
        for (int i = 0; i < unarmed; ++i)
            p.land.AddUnit(1, Point(620 + 20 * i, 500));
        DesignRules order = Production::Request('a');
        p.ai->PlanOrder(order, p.factory);
        const PartRule* drive = order.FindEntry(kDriveCategory, 1);
        ASSERT_NE(drive, nullptr);
        EXPECT_EQ((drive->flags & 0x10) != 0, unarmed == 3) << unarmed;
        design.hardpoints = {};
    }
}
