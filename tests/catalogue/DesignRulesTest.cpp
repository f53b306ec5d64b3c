#include "catalogue/DesignRules.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <memory>
#include <set>

#include "CatalogueFakes.h"
#include "CatalogueFileBuilder.h"
#include "catalogue/ChassisTemplate.h"
#include "catalogue/DeployingChassisTemplate.h"
#include "catalogue/MountTemplate.h"
#include "catalogue/PartRule.h"
#include "catalogue/PartTemplate.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/VehicleDesign.h"
#include "catalogue/WeaponTemplate.h"
#include "core/Random.h"

namespace {

class DesignRulesTest : public ::testing::Test {
protected:
    void SetUp() override {
        env.Load(CatalogueFileBuilder::Standard().Text());
        SeedRandom(12345);
    }
    static ChassisTemplate* Chassis(char clan, char role) {
        return static_cast<ChassisTemplate*>(FindInList(ChassisList, clan, role));
    }
    // A design must be complete, paired, built only of parts its clan may use, and hold every
    // part on a hardpoint that takes it.
    static void ExpectValid(const VehicleDesign& d, char clan) {
        ASSERT_EQ(d.complete, 1);
        EXPECT_EQ(d.clan, clan);
        EXPECT_NE(d.chassis->role, 'g');
        EXPECT_EQ(d.drive->pairing, d.chassis->pairing);
        EXPECT_TRUE(IsAvailableTo(*d.chassis, clan));
        EXPECT_TRUE(IsAvailableTo(*d.drive, clan));
        for (int h = 0; h < VehicleDesign::kHardpoints; ++h) {
            const MountTemplate* m = d.hardpoints[h];
            if (!m) continue;
            EXPECT_LT(h, d.chassis->hardpointCount);
            EXPECT_TRUE(VehicleDesign::FitsHardpoint(m, h, d.chassis));
            EXPECT_TRUE(IsAvailableTo(*m, clan));
        }
    }
    CatalogueEnvironment env;
};

}  // namespace

TEST_F(DesignRulesTest, WithoutRulesEveryDesignIsValidAndNeverOnChassisG) {
    for (char clan : {'V', 'T'}) {
        for (int level : {1, 3, 8}) {
            env.services.varnokLevel = level;
            env.services.telmiraLevel = level;
            std::set<char> chassisSeen;
            for (int i = 0; i < 60; ++i) {
                DesignRules rules;
                std::unique_ptr<VehicleDesign> d(rules.BuildDesign(clan));
                ASSERT_NE(d, nullptr) << clan << level;
                ExpectValid(*d, clan);
                EXPECT_LE(d->requiredLevel, level);
                chassisSeen.insert(d->chassis->role);
            }
            // Random choice reaches every chassis the level offers (TELMIRA has one at 1).
            if (level >= 3) {
                EXPECT_GT(chassisSeen.size(), 3u) << clan << level;
            }
        }
    }
}

TEST_F(DesignRulesTest, ExactSizeWeaponsFillWhatTheRulesLeftEmpty) {
    DesignRules rules;
    rules.AddPartLetter(kChassisCategory, 'a', 1);
    rules.AddPartLetter(kWeaponCategory, 'q', 1);  // no weapon is called q
    for (int i = 0; i < 20; ++i) {
        std::unique_ptr<VehicleDesign> d(rules.BuildDesign('V'));
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->chassis->role, 'a');
        // Capacities 1, 2, 1: items may take two hardpoints, never the last free one.
        int weapons = 0, empty = 0;
        for (int h = 0; h < 3; ++h) {
            if (!d->hardpoints[h])
                ++empty;
            else if (d->hardpoints[h]->GetMountKind() == MountKind::Weapon)
                ++weapons;
        }
        EXPECT_EQ(empty, 0);
        EXPECT_GE(weapons, 1);
    }
}

TEST_F(DesignRulesTest, DriveRuleThatExcludesEverythingFallsBack) {
    DesignRules rules;
    rules.AddPartLetter(kDriveCategory, 'Q', 1);
    for (int i = 0; i < 20; ++i) {
        std::unique_ptr<VehicleDesign> d(rules.BuildDesign('T'));
        ASSERT_NE(d, nullptr);
        ExpectValid(*d, 'T');
    }
}

TEST_F(DesignRulesTest, ChassisRulesByLetterAndProperty) {
    DesignRules scavenger;
    scavenger.SetPartFlags(kChassisCategory, 0x20, 1);
    std::unique_ptr<VehicleDesign> d(scavenger.BuildDesign('V'));
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->chassis->role, 'h');

    DesignRules structure3;
    structure3.SetPartFlags(kChassisCategory, 0x2000, 1);
    EXPECT_EQ(structure3.BuildDesign('V'), nullptr);
    d.reset(structure3.BuildDesign('T'));
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->chassis->role, 'd');

    DesignRules noTracksOrScavengers;
    noTracksOrScavengers.SetPartFlags(kChassisCategory, 0x20, 0);
    noTracksOrScavengers.SetPartFlags(kDriveCategory, 0x8000, 0);
    for (int i = 0; i < 30; ++i) {
        d.reset(noTracksOrScavengers.BuildDesign('V'));
        ASSERT_NE(d, nullptr);
        EXPECT_NE(d->chassis->role, 'h');
        EXPECT_NE(d->drive->role, 'T');
    }

    // The only candidate of the oldest rule is taken even when a newer rule refuses it.
    DesignRules onlyA;
    onlyA.AddPartLetter(kChassisCategory, 'a', 1);
    onlyA.AddPartLetter(kChassisCategory, 'a', 0);
    d.reset(onlyA.BuildDesign('V'));
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->chassis->role, 'a');

    DesignRules capped;
    capped.buildTimeCap = 100;  // below every chassis' build time
    capped.SetPartFlags(kChassisCategory, 1, 1);
    EXPECT_EQ(capped.BuildDesign('V'), nullptr);
}

TEST_F(DesignRulesTest, ChoiceByScoreFollowsTheWeights) {
    DesignRules rules;
    rules.SetPartFlags(kChassisCategory, 0x2, 1);
    rules.weights[3] = 10;  // hardpoint capacity
    std::unique_ptr<VehicleDesign> d(rules.BuildDesign('V'));
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->chassis->role, 'b');
    // Equal scores keep the first candidate; no weights at all score every chassis 0.
    std::vector<ChassisTemplate*> two{Chassis('V', 'a'), Chassis('V', 'h')};
    DesignRules flat;
    EXPECT_EQ(flat.PickChassis(two), Chassis('V', 'a'));
    EXPECT_EQ(flat.PickChassis({}), nullptr);

    std::vector<PartTemplate*> drives;
    for (ListNode* n = PartList.First(); n; n = PartList.Next(n)) {
        auto* p = static_cast<PartTemplate*>(n);
        if (p->pairing == 1 && IsAvailableTo(*p, 'V')) drives.push_back(p);
    }
    ASSERT_GE(drives.size(), 2u);
    DesignRules fast;
    fast.weights[5] = 10;  // move delay counts against
    PartTemplate* quick = fast.PickDrive(drives);
    for (PartTemplate* p : drives)
        EXPECT_LE(quick->moveValue, p->moveValue);

    // The drive class: 5 in the air, else 4 (3 on the first terrain flag), one less for each of
    // the other two flags. Of two drives alike but for one such property, weight 6 takes the
    // higher class; the other takes the lower with the weight turned round.
    PartTemplate* first = drives[0];
    PartTemplate* second = drives[1];
    struct Case {
        int32_t PartTemplate::*field;
        int32_t value;
        bool higher;  // the property raises the class
    };
    for (const Case& c :
         {Case{&PartTemplate::layer, 2, true}, Case{&PartTemplate::terrainFlag1, 1, false},
          Case{&PartTemplate::terrainFlag2, 1, false},
          Case{&PartTemplate::terrainFlag3, 1, false}}) {
        for (PartTemplate* p : {first, second}) {
            p->layer = 0;
            p->terrainFlag1 = p->terrainFlag2 = p->terrainFlag3 = 0;
            p->moveValue = 30;
            p->firstCost = p->secondCost = p->buildTime = 10;
        }
        first->*c.field = c.value;
        DesignRules byClass;
        byClass.weights[6] = 10;
        EXPECT_EQ(byClass.PickDrive({first, second}), c.higher ? first : second) << c.value;
    }
    // A drive rule of layer 1 takes only drives of that layer.
    PartRule layer1(kDriveCategory, 1);
    layer1.flags = 0x8;
    first->layer = 1;
    second->layer = 0;
    EXPECT_TRUE(fast.IsDriveAllowed(first, &layer1));
    EXPECT_FALSE(fast.IsDriveAllowed(second, &layer1));
    // Rules of either layer that refuse a terrain flag (0x8000, 0x10000) refuse only the drives
    // that have it.
    for (const uint32_t refused : {0x8000u, 0x10000u}) {
        PartRule noTerrain(kDriveCategory, 1);
        noTerrain.flags = 0x8 | 0x10 | refused;
        first->terrainFlag1 = first->terrainFlag2 = 1;
        second->terrainFlag1 = second->terrainFlag2 = 0;
        EXPECT_FALSE(fast.IsDriveAllowed(first, &noTerrain)) << refused;
        EXPECT_TRUE(fast.IsDriveAllowed(second, &noTerrain)) << refused;
    }
}

TEST_F(DesignRulesTest, WeaponCriteriaPickTheBest) {
    std::vector<WeaponTemplate*> weapons;
    for (ListNode* n = WeaponList.First(); n; n = WeaponList.Next(n))
        if (IsAvailableTo(*static_cast<Template*>(n), 'V'))
            weapons.push_back(static_cast<WeaponTemplate*>(n));
    DesignRules rules;
    for (int i = 0; i < 10; ++i) {
        WeaponTemplate* quick = rules.PickWeapon(weapons, 4);
        for (WeaponTemplate* w : weapons)
            EXPECT_LE(quick->GetTravelDelay(), w->GetTravelDelay());
        WeaponTemplate* far = rules.PickWeapon(weapons, 3);
        for (WeaponTemplate* w : weapons)
            EXPECT_GE(far->GetRange(), w->GetRange());
        WeaponTemplate* strong = rules.PickWeapon(weapons, 1);
        for (WeaponTemplate* w : weapons)
            EXPECT_GE(strong->GetFirePower(), w->GetFirePower());
    }
    // Criterion 2 is fire power per reload time: the weakest weapon, reloading fastest, wins.
    auto* rapid = static_cast<WeaponTemplate*>(FindHardpointTemplate('V', 'a'));
    rapid->reloadField = 50;
    EXPECT_EQ(rules.PickWeapon(weapons, 2), rapid);
    EXPECT_NE(rules.PickWeapon(weapons, 1), rapid);
    EXPECT_EQ(rules.PickWeapon({}, 1), nullptr);
}

// Items are placed by kind (sensors, then stealth, then defence). A sensor or stealth letter is
// a flag on the unit, so each is placed at most once while different letters share the design;
// defence items stack. On seven hardpoints of capacity 1 the last stays for a weapon.
TEST_F(DesignRulesTest, SensorAndStealthLettersOnceDefenceItemsStackLastHardpointForAWeapon) {
    CatalogueFileBuilder b = CatalogueFileBuilder::Standard();
    ChassisRecord seven;
    seven.clan = 'V';
    seven.role = 'c';
    seven.level = 1;
    seven.name = 42;
    for (int h = 0; h < 7; ++h)
        seven.hardpoints.push_back({1, 10, 4});
    b.chassis.push_back(seven);
    // Besides the standard sensor 's', stealth 'n' and defence 'd': three letters of each.
    for (char letter : {'u', 'v', 'w'})
        b.items.push_back({.section = 10, .role = letter});
    for (char letter : {'k', 'y', 'z'})
        b.items.push_back({.section = 12, .name = 73, .role = letter});
    ClearTemplateCatalogue();
    env.Load(b.Text());

    struct Case {
        std::vector<int32_t> excluded;  // item categories refused outright
        int sensors, stealth, defence;  // hardpoints each kind takes
    };
    // 's', 'u', 'v', 'w' fit (the standard 'c' is too big); then 'k', 'y', 'z', 'n'.
    const Case cases[] = {{{}, 4, 2, 0},
                          {{kSensorCategory}, 0, 4, 2},
                          {{kSensorCategory, kStealthCategory}, 0, 0, 6}};
    for (const Case& c : cases) {
        DesignRules rules;
        rules.AddPartLetter(kChassisCategory, 'c', 1);
        for (int32_t category : c.excluded)
            rules.SetPartFlags(category, 0, 0);
        for (int i = 0; i < 10; ++i) {
            std::unique_ptr<VehicleDesign> d(rules.BuildDesign('V'));
            ASSERT_NE(d, nullptr);
            ASSERT_EQ(d->chassis->role, 'c');
            std::map<MountKind, std::set<char>> letters;
            std::map<MountKind, int> placed;
            for (int h = 0; h < 7; ++h) {
                ASSERT_NE(d->hardpoints[h], nullptr) << h;
                const MountKind kind = d->hardpoints[h]->GetMountKind();
                ++placed[kind];
                letters[kind].insert(d->hardpoints[h]->role);
            }
            EXPECT_EQ(placed[MountKind::Sensor], c.sensors);
            EXPECT_EQ(placed[MountKind::Stealth], c.stealth);
            EXPECT_EQ(placed[MountKind::Defence], c.defence);
            EXPECT_EQ(placed[MountKind::Weapon], 1);
            EXPECT_EQ(letters[MountKind::Sensor].size(), size_t(c.sensors)) << "a letter twice";
            EXPECT_EQ(letters[MountKind::Stealth].size(), size_t(c.stealth)) << "a letter twice";
        }
    }

    // Filling the sensor hardpoints of a design that already carries an 'u' (a computer
    // factory re-equipped at set-up) adds no second 'u', but another letter.
    VehicleDesign factory('V');
    ASSERT_EQ(factory.SetPrimaryPart(Chassis('V', 'c')), 1);
    ASSERT_EQ(factory.SetHardpoint(FindHardpointTemplate('V', 'u'), 0), 1);
    DesignRules rules(factory);
    rules.AddPartLetter(kSensorCategory, 'u', 1);
    rules.FillKind2Hardpoints(factory, 'V');
    int sensors = 0;
    for (const MountTemplate* m : factory.hardpoints)
        sensors += m != nullptr;
    EXPECT_EQ(sensors, 1);
    rules.AddPartLetter(kSensorCategory, 'v', 1);
    rules.FillKind2Hardpoints(factory, 'V');
    EXPECT_EQ(factory.hardpoints[1] ? factory.hardpoints[1]->role : '-', 'v');
    EXPECT_EQ(factory.hardpoints[2], nullptr);
}

TEST_F(DesignRulesTest, WeaponRulesByProperty) {
    auto* shotLayer2 = static_cast<WeaponTemplate*>(FindHardpointTemplate('V', 'b'));
    auto* big = static_cast<WeaponTemplate*>(FindHardpointTemplate('V', 'c'));
    auto* small = static_cast<WeaponTemplate*>(FindHardpointTemplate('V', 'a'));
    shotLayer2->shotLayerField = 2;
    struct Case {
        uint32_t flags;
        int32_t polarity;
        bool layer2, big, small;  // allowed?
    };
    const Case cases[] = {{0x10, 1, true, false, false},
                          {0x10, 0, false, true, true},
                          {0x20000, 0, true, false, true},
                          {0x20000, 1, true, true, true}};
    for (const Case& c : cases) {
        PartRule rule(kWeaponCategory, c.polarity);
        rule.flags = c.flags;
        DesignRules rules;
        EXPECT_EQ(rules.IsWeaponAllowed(shotLayer2, &rule), c.layer2) << c.flags << c.polarity;
        EXPECT_EQ(rules.IsWeaponAllowed(big, &rule), c.big) << c.flags << c.polarity;
        EXPECT_EQ(rules.IsWeaponAllowed(small, &rule), c.small) << c.flags << c.polarity;
    }
    // The designer keeps big weapons off hardpoints big enough for them (items refused, so
    // all four hardpoints of capacity 3 take weapons).
    DesignRules noBig;
    noBig.AddPartLetter(kChassisCategory, 'b', 1);
    for (int32_t category : {kSensorCategory, kStealthCategory, kDefenceCategory})
        noBig.SetPartFlags(category, 0, 0);
    noBig.SetPartFlags(kWeaponCategory, 0x20000, 0);
    for (int i = 0; i < 20; ++i) {
        std::unique_ptr<VehicleDesign> d(noBig.BuildDesign('V'));
        ASSERT_NE(d, nullptr);
        for (int h = 0; h < 4; ++h) {
            EXPECT_EQ(d->hardpoints[h]->GetMountKind(), MountKind::Weapon);
            EXPECT_LE(d->hardpoints[h]->mountSize, 2);
        }
    }
}

TEST_F(DesignRulesTest, FreeHardpointRulesKeepRoomForWeapons) {
    DesignRules rules;
    VehicleDesign d("VWa-------399199212299");  // capacities 1, 2, 1
    MountTemplate* small = FindHardpointTemplate('V', 'a');
    // Three free: the smallest capacity that fits, first on a tie.
    EXPECT_EQ(rules.FindFreeHardpoint(2, 1, d), 0);
    EXPECT_EQ(rules.FindFreeHardpoint(2, 2, d), 1);
    EXPECT_EQ(rules.FindFreeHardpoint(2, 3, d), -1);
    // Two free (1 and 2): an item may not take the larger when the other is smaller...
    ASSERT_EQ(d.SetHardpoint(small, 0), 1);
    EXPECT_EQ(rules.FindFreeHardpoint(3, 2, d), -1);
    EXPECT_EQ(rules.FindFreeHardpoint(3, 1, d), 2);
    // ...unless the second setting is 6.
    rules.settings[1] = 6;
    EXPECT_EQ(rules.FindFreeHardpoint(3, 2, d), 1);
    // One free: it stays for a weapon.
    ASSERT_EQ(d.SetHardpoint(small, 2), 1);
    EXPECT_EQ(rules.FindFreeHardpoint(4, 1, d), -1);
    EXPECT_EQ(rules.FindFreeHardpoint(5, 1, d), 1);
    VehicleDesign bare('V');
    EXPECT_EQ(rules.FindFreeHardpoint(5, 1, bare), -1);
}

TEST_F(DesignRulesTest, BigWeaponsNeedTwoHardpointsEach) {
    DesignRules rules;
    VehicleDesign d("VWb-------399199212299");  // four hardpoints of capacity 3
    MountTemplate* big = FindHardpointTemplate('V', 'c');
    ASSERT_EQ(big->GetMountKind(), MountKind::Weapon);
    EXPECT_EQ(rules.FindFreeHardpoint(5, 3, d), 0);  // (0 + 1) × 2 <= 4
    ASSERT_EQ(d.SetHardpoint(big, 0), 1);
    EXPECT_EQ(rules.FindFreeHardpoint(5, 3, d), 1);  // (1 + 1) × 2 <= 4
    ASSERT_EQ(d.SetHardpoint(big, 1), 1);
    EXPECT_EQ(rules.FindFreeHardpoint(5, 3, d), -1);  // (2 + 1) × 2 > 4
    EXPECT_EQ(rules.FindFreeHardpoint(5, 2, d), 2);
    // A big item and a small weapon are not big weapons.
    VehicleDesign mixed("VWb-------399199212299");
    auto* bigSensor = static_cast<MountTemplate*>(FindInList(SensorItemList, 'V', 'c'));
    ASSERT_NE(bigSensor, nullptr);
    ASSERT_EQ(bigSensor->mountSize, 3);
    ASSERT_EQ(mixed.SetHardpoint(bigSensor, 0), 1);
    ASSERT_EQ(mixed.SetHardpoint(FindHardpointTemplate('V', 'a'), 1), 1);
    EXPECT_EQ(rules.FindFreeHardpoint(5, 3, mixed), 2);  // still (0 + 1) × 2 <= 4
}

TEST_F(DesignRulesTest, ItemRulesWithoutLettersRefuseItemsAndSingleHardpointChassis) {
    DesignRules rules;
    rules.SetPartFlags(kSensorCategory, 0, 1);
    const PartRule* rule = rules.FindEntry(kSensorCategory, 1);
    ASSERT_NE(rule, nullptr);
    EXPECT_EQ(rule->flags, 0u);
    EXPECT_FALSE(rules.IsSensorItemAllowed(FindHardpointTemplate('V', 's'), rule));
    EXPECT_FALSE(rules.IsPartAllowed(Chassis('V', 'h'), rule));
    EXPECT_TRUE(rules.IsPartAllowed(Chassis('V', 'a'), rule));
    EXPECT_TRUE(rules.IsStealthItemAllowed(FindHardpointTemplate('V', 'n'), rule));
    rules.AddPartLetter(kSensorCategory, 's', 1);
    EXPECT_TRUE(rules.IsSensorItemAllowed(FindHardpointTemplate('V', 's'), rule));
    EXPECT_FALSE(rules.IsSensorItemAllowed(FindHardpointTemplate('V', 'c'), rule));
    // A null rule lets everything through but chassis 'g'.
    EXPECT_TRUE(rules.IsPartAllowed(Chassis('V', 'h'), nullptr));
    EXPECT_FALSE(rules.IsPartAllowed(Chassis('V', 'g'), nullptr));
    // Only the three item kinds claim the single hardpoint, and only when they are asked for.
    const struct {
        int32_t category;
        int32_t polarity;
        bool singleAllowed;
    } kinds[] = {{kSensorCategory, 1, false},  {kStealthCategory, 1, false},
                 {kDefenceCategory, 1, false}, {kSensorCategory, 0, true},
                 {kStealthCategory, 0, true},  {kDefenceCategory, 0, true},
                 {kDriveCategory, 1, true},    {kWeaponCategory, 1, true}};
    for (const auto& k : kinds) {
        const PartRule itemRule(k.category, k.polarity);
        EXPECT_EQ(rules.IsPartAllowed(Chassis('V', 'h'), &itemRule), k.singleAllowed)
            << k.category << ' ' << k.polarity;
        EXPECT_TRUE(rules.IsPartAllowed(Chassis('V', 'a'), &itemRule)) << k.category;
    }
}

TEST_F(DesignRulesTest, RulesFromADesignCopyAndAllowIt) {
    VehicleDesign source("VWbbc-----150221345199Raider");
    source.noCharge = 1;
    DesignRules rules(source);
    // The presets take the parameters and nothing that follows them.
    EXPECT_EQ(rules.weights, (std::array<uint16_t, 7>{}));
    EXPECT_EQ(rules.presets[0], 1);
    EXPECT_EQ(rules.presets[1], 50);
    ASSERT_NE(rules.FindEntry(kChassisCategory, 1), nullptr);
    EXPECT_STREQ(rules.FindEntry(kChassisCategory, 1)->letters, "b");
    EXPECT_STREQ(rules.FindEntry(kWeaponCategory, 1)->letters, "b");
    EXPECT_STREQ(rules.FindEntry(kSensorCategory, 1)->letters, "c");
    EXPECT_TRUE(rules.AllowsDesign(source));
    VehicleDesign other("VWa-------399199212299");
    EXPECT_FALSE(rules.AllowsDesign(other));
    // Units answer by their designs; one without a design is never allowed nor refitted.
    struct Unit {
        VehicleDesign* design;
        int rebuilds = 0;
        VehicleDesign* GetDesign() { return design; }
        void BuildManoeuvreList() { ++rebuilds; }
    };
    Unit allowed{&source}, refused{&other}, bare{nullptr};
    EXPECT_TRUE(rules.AllowsSim(allowed));
    EXPECT_FALSE(rules.AllowsSim(refused));
    EXPECT_FALSE(rules.AllowsSim(bare));
    rules.ApplyPresetsToSim(bare);
    EXPECT_EQ(bare.rebuilds, 0);

    DesignRules copy(rules);
    ASSERT_EQ(copy.rules.Count(), rules.rules.Count());
    for (int i = 0; i < rules.rules.Count(); ++i) {
        auto* a = static_cast<PartRule*>(rules.rules.At(i));
        auto* b = static_cast<PartRule*>(copy.rules.At(i));
        EXPECT_EQ(a->category, b->category);
        EXPECT_STREQ(a->letters, b->letters);
    }
    EXPECT_EQ(copy.presets, rules.presets);

    VehicleDesign target('V');
    rules.ApplyPresets(target);
    EXPECT_EQ(target.parameters, source.parameters);
    rules.ClearPresets();
    target.SetParameter(0, 4);
    rules.ApplyPresets(target);
    EXPECT_EQ(target.parameters[0], 4);

    std::unique_ptr<VehicleDesign> rebuilt(copy.BuildDesign('V'));
    ASSERT_NE(rebuilt, nullptr);
    EXPECT_EQ(rebuilt->chassis->role, 'b');
    EXPECT_EQ(rebuilt->parameters, source.parameters);
}

TEST_F(DesignRulesTest, LetterListsHoldAtMostTen) {
    PartRule rule(kWeaponCategory, 1);
    for (char c = 'a'; c <= 'z'; ++c)
        rule.AddLetter(c);
    EXPECT_STREQ(rule.letters, "abcdefghij");
    EXPECT_TRUE(rule.LetterTest('c'));
    EXPECT_FALSE(rule.LetterTest('z'));
    EXPECT_FALSE(rule.LetterTest('\0'));
    PartRule exclude(kWeaponCategory, 0);
    exclude.AddLetter('c');
    EXPECT_FALSE(exclude.LetterTest('c'));
    EXPECT_TRUE(exclude.LetterTest('d'));
}
