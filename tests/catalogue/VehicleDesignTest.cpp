#include "catalogue/VehicleDesign.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "CatalogueFakes.h"
#include "CatalogueFileBuilder.h"
#include "catalogue/BuildingTemplate.h"
#include "catalogue/ChassisTemplate.h"
#include "catalogue/MountTemplate.h"
#include "catalogue/PartTemplate.h"
#include "catalogue/TemplateCatalogue.h"
#include "core/Random.h"
#include "core/ShadeTable.h"

namespace {

class VehicleDesignTest : public ::testing::Test {
protected:
    void SetUp() override { env.Load(CatalogueFileBuilder::Standard().Text()); }
    static ChassisTemplate* Chassis(char clan, char role) {
        return static_cast<ChassisTemplate*>(FindInList(ChassisList, clan, role));
    }
    static PartTemplate* Drive(char clan, char role) {
        return static_cast<PartTemplate*>(FindInList(PartList, clan, role));
    }
    static std::string Code(VehicleDesign& d) { return std::string(d.CodeString(), 22); }
    CatalogueEnvironment env;
};

}  // namespace

TEST_F(VehicleDesignTest, CodesParseFieldByFieldAndWriteBackWhole) {
    struct Case {
        const char* code;
        const char* written;
        int complete;
    };
    const Case cases[] = {
        // Blank digits read as zero, save where a parameter's minimum holds.
        {"V?\?-------            ", "V?\?-------000000002000", 0},
        // Dashes give defaults and the fields keep their positions.
        {"V?\?-------5--0--3050--", "V?\?-------599099305099", 0},
        // Short codes take defaults for what is missing; a digit cut short reads as zero.
        {"", "V?\?-------399199212299", 0},
        {"T", "T?\?-------399199212299", 0},
        {"VWa", "VWa-------399199212299", 1},
        {"V?\?-------52", "V?\?-------520199212299", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        VehicleDesign d(c.code);
        EXPECT_EQ(Code(d), c.written);
        EXPECT_EQ(d.complete, c.complete);
    }
    EXPECT_TRUE(VehicleDesign("").IsDefault());
    EXPECT_FALSE(VehicleDesign("V?\?-------            ").IsDefault());
}

TEST_F(VehicleDesignTest, NamedCodesKeepTheirNameAcrossChassisChanges) {
    VehicleDesign named("VWa-------399199212299Hunter");
    EXPECT_EQ(named.named, 1);
    EXPECT_STREQ(named.name, "Hunter");
    EXPECT_EQ(named.complete, 1);
    ASSERT_EQ(named.SetPrimaryPart(Chassis('V', 'b')), 1);
    EXPECT_STREQ(named.name, "Hunter");
    EXPECT_STREQ(named.CodeString(), "VWb-------399199212299Hunter");

    VehicleDesign plain("VWa-------399199212299");
    EXPECT_EQ(plain.named, 0);
    EXPECT_STREQ(plain.name, "Text 40");
    ASSERT_EQ(plain.SetPrimaryPart(Chassis('V', 'b')), 1);
    EXPECT_STREQ(plain.name, "Text 41");
}

TEST_F(VehicleDesignTest, FactoryCodeTakesTheBuildingsParts) {
    VehicleDesign d("TPz-------399199212299");
    BuildingTemplate* building = FindBuildingTemplate('T');
    ASSERT_NE(building, nullptr);
    EXPECT_EQ(d.chassis, building->chassis.get());
    EXPECT_EQ(d.drive, building->part);
    EXPECT_EQ(d.complete, 1);
    EXPECT_EQ(Code(d), "TPz-------399199212299");
    // A clan without a building gets no parts.
    VehicleDesign none("QPz-------399199212299");
    EXPECT_EQ(none.chassis, nullptr);
    EXPECT_EQ(none.complete, 0);
}

TEST_F(VehicleDesignTest, NewChassisEmptiesHardpointsEvenWhenRefused) {
    VehicleDesign d("VWaaba----399199212299");
    ASSERT_NE(d.hardpoints[0], nullptr);
    ASSERT_NE(d.hardpoints[1], nullptr);
    ASSERT_NE(d.hardpoints[2], nullptr);
    // No wheels pair with the aircraft chassis.
    EXPECT_EQ(d.SetPrimaryPart(Chassis('V', 'p')), 0);
    EXPECT_EQ(d.chassis, Chassis('V', 'a'));
    EXPECT_EQ(d.hardpoints[0], nullptr);
    EXPECT_EQ(Code(d), "VWa-------399199212299");
    // The same chassis again keeps the parts.
    ASSERT_EQ(d.SetHardpoint(FindHardpointTemplate('V', 'a'), 0), 1);
    EXPECT_EQ(d.SetPrimaryPart(Chassis('V', 'a')), 1);
    EXPECT_NE(d.hardpoints[0], nullptr);
}

TEST_F(VehicleDesignTest, DriveIsRepairedByPairingNumber) {
    VehicleDesign d("VWa-------399199212299");
    ASSERT_NE(d.drive, nullptr);
    EXPECT_EQ(d.drive->pairing, 1);
    ASSERT_EQ(d.SetPrimaryPart(Chassis('V', 'b')), 1);
    ASSERT_NE(d.drive, nullptr);
    EXPECT_EQ(d.drive->role, 'W');
    EXPECT_EQ(d.drive->pairing, 2);
    // Hover pairs only with chassis of pairing 1: refused, the drive stays.
    PartTemplate* before = d.drive;
    EXPECT_EQ(d.SetSecondaryPart(Drive('V', 'H')), 0);
    EXPECT_EQ(d.drive, before);
    // The same letter of the other pairing; nothing without a chassis or a drive to match.
    PartTemplate* matched = d.FindMatchingSecondaryPart(Chassis('V', 'a'), before);
    ASSERT_NE(matched, nullptr);
    EXPECT_EQ(matched->role, 'W');
    EXPECT_EQ(matched->pairing, 1);
    EXPECT_EQ(d.FindMatchingSecondaryPart(Chassis('V', 'a'), nullptr), nullptr);
    EXPECT_EQ(d.FindMatchingSecondaryPart(nullptr, before), nullptr);
    EXPECT_EQ(d.SetSecondaryPart(nullptr), 1);
    EXPECT_EQ(d.complete, 0);
    EXPECT_EQ(Code(d)[1], '?');
}

TEST_F(VehicleDesignTest, ParametersAreLimited) {
    // In order on one design: values are held to the range, and a change to nothing answers 0.
    struct Case {
        int index, value, accepted, stored;
    };
    const Case cases[] = {{8, 100, 0, 99}, {6, 0, 0, 2}, {2, 7, 0, 1}, {0, 9, 1, 5},
                          {4, 7, 1, 3},    {6, 9, 1, 5}, {1, 7, 1, 7}};
    VehicleDesign d('V');
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.index << " = " << c.value);
        EXPECT_EQ(d.SetParameter(c.index, c.value), c.accepted);
        EXPECT_EQ(d.parameters[c.index], c.stored);
    }
    EXPECT_EQ(Code(d), "V?\?-------507199315299");
    EXPECT_EQ(d.SetParameter(9, 1), 0);
    EXPECT_EQ(d.SetParameter(-1, 1), 0);
    // Each parameter's limits, on both sides, each on a fresh design.
    const struct {
        int index, value, stored;
    } limits[] = {{0, 5, 5}, {0, 6, 5}, {1, 99, 99}, {1, 100, 99}, {3, 99, 99}, {3, 100, 99},
                  {8, 0, 0}, {2, 0, 0}, {2, 1, 1},   {2, 2, 1},    {4, 3, 3},   {4, 4, 3},
                  {5, 0, 0}, {5, 1, 1}, {5, 2, 1},   {6, 1, 2},    {6, 2, 2},   {6, 5, 5},
                  {6, 6, 5}, {7, 3, 3}, {7, 4, 3},   {7, 0, 0}};
    for (const auto& c : limits) {
        SCOPED_TRACE(::testing::Message() << c.index << " = " << c.value);
        VehicleDesign fresh('V');
        fresh.SetParameter(c.index, c.value);
        EXPECT_EQ(fresh.parameters[c.index], c.stored);
    }
}

TEST_F(VehicleDesignTest, NullOrRandomCodesStillWriteAWholeCode) {
    VehicleDesign nullCode(static_cast<const char*>(nullptr));
    EXPECT_EQ(nullCode.complete, 0);
    // Random bytes of every length: whatever they say, the code stays 22 characters long.
    SeedRandom(99);
    for (int length = 0; length < 60; ++length) {
        std::string text;
        for (int i = 0; i < length; ++i)
            text += static_cast<char>(RandomRange(1, 255));
        VehicleDesign d(text.c_str());
        EXPECT_GE(std::strlen(d.CodeString()), 22u);
        for (int i = 0; i < 9; ++i)
            EXPECT_GE(d.parameters[i], 0);
    }
}

TEST_F(VehicleDesignTest, ParserKeepsAnItemOverAWeaponOfTheSameLetter) {
    VehicleDesign d("VWbc------399199212299");
    ASSERT_NE(d.hardpoints[0], nullptr);
    EXPECT_EQ(d.hardpoints[0]->GetMountKind(), MountKind::Sensor);
    // Below the item's level the weapon of that letter is not there either.
    env.services.varnokLevel = 2;
    VehicleDesign low("VWac------399199212299");
    EXPECT_EQ(low.hardpoints[0], nullptr);
    EXPECT_EQ(Code(low)[3], '-');
}

TEST_F(VehicleDesignTest, SumsCountEveryPartUnlessFree) {
    VehicleDesign d("VWaa------399199212299");
    ASSERT_EQ(d.complete, 1);
    EXPECT_EQ(d.SumPartField5(), 40 + 10 + 16);
    EXPECT_EQ(d.SumPartField6(), 20 + 5 + 8);
    EXPECT_EQ(d.SumPartField7(), 3000 + 1000 + 2000);
    EXPECT_EQ(d.MoveDelay(), 20 + 20);
    d.noCharge = 1;
    EXPECT_EQ(d.SumPartField5(), 0);
    EXPECT_EQ(d.SumPartField7(), 0);
    SpeedAdjustment = -5;
    EXPECT_EQ(d.MoveDelay(), 2);
    SpeedAdjustment = 0;
    VehicleDesign empty('V');
    EXPECT_EQ(empty.MoveDelay(), 0);
}

TEST_F(VehicleDesignTest, RequiredLevelFollowsTheParts) {
    VehicleDesign d("VWah------399199212299");
    ASSERT_NE(d.hardpoints[0], nullptr);
    EXPECT_EQ(d.requiredLevel, 5);
    d.DropPartsAboveLevel(4);
    EXPECT_EQ(d.hardpoints[0], nullptr);
    EXPECT_EQ(d.requiredLevel, 4);  // the level-4 wheels
    EXPECT_EQ(Code(d)[3], '-');
}

TEST_F(VehicleDesignTest, HardpointsTakeOnlyPartsThatFit) {
    VehicleDesign d("VWa-------399199212299");
    MountTemplate* big = FindHardpointTemplate('V', 'b');  // size 2
    EXPECT_EQ(d.SetHardpoint(big, 0), 0);
    EXPECT_EQ(d.SetHardpoint(big, 1), 1);
    EXPECT_EQ(d.SetHardpoint(FindHardpointTemplate('V', 'a'), 3), 0);  // no fourth hardpoint
    EXPECT_EQ(d.SetHardpoint(FindHardpointTemplate('V', 'a'), 7), 0);
    EXPECT_EQ(d.SetHardpoint(nullptr, 1), 1);
    EXPECT_EQ(d.hardpoints[1], nullptr);
    VehicleDesign noChassis('V');
    EXPECT_EQ(noChassis.SetHardpoint(big, 0), 0);
}

TEST_F(VehicleDesignTest, CodeStringCutsLongNamesAndEndsThem) {
    std::string longName(127, 'n');
    VehicleDesign d(("V?\?-------399199212299" + longName + "tail").c_str());
    EXPECT_EQ(std::strlen(d.name), 127u);
    EXPECT_EQ(std::strlen(d.CodeString()), 22u + 64u);
    VehicleDesign shortName("V?\?-------399199212299ab");
    VehicleDesign target('V');
    target.CopyFrom(d);
    target.CodeString();
    target.CopyFrom(shortName);
    EXPECT_STREQ(target.CodeString(), "V?\?-------399199212299ab");
}

TEST_F(VehicleDesignTest, HardpointNearFindsTheClosestMountPoint) {
    VehicleDesign d("VWa-------399199212299");
    // Mount points (30, 30), (40, 35), (50, 40) centred on a 20 x 10 panel frame, then moved
    // by the chassis anchor (0, 20) and (0, -25).
    EXPECT_EQ(d.HardpointNear(Point(0, 0), Point(31, 24)), 1);
    EXPECT_EQ(d.HardpointNear(Point(0, 0), Point(-100, -100)), 0);
    EXPECT_EQ(d.HardpointNear(Point(100, 0), Point(141, 31)), 2);
    VehicleDesign none('V');
    EXPECT_EQ(none.HardpointNear(Point(0, 0), Point(0, 0)), -1);
}

TEST_F(VehicleDesignTest, DrawPlacesDriveChassisAndMounts) {
    VehicleDesign d("VWaa------399199212299");
    ASSERT_EQ(d.complete, 1);
    env.media.draws.clear();
    d.Draw(Point(100, 100), 3, 1);
    ASSERT_EQ(env.media.draws.size(), 3u);
    // The level-4 wheels draw with their parent's pictures, raised by 8 less half of 10.
    EXPECT_EQ(env.media.draws[0].pack, "7a0RVTwX99s999.msp");
    EXPECT_EQ(env.media.draws[0].at, Point(100, 97));
    EXPECT_EQ(env.media.draws[1].pack, "7a0RVCaX99s999.msp");
    EXPECT_EQ(env.media.draws[1].at, Point(100, 100));
    // Mount offset of facing 3: (10 + 3, 4) less half of 20 x 10.
    EXPECT_EQ(env.media.draws[2].pack, "7a0RVWaX99s999.msp");
    EXPECT_EQ(env.media.draws[2].at, Point(103, 99));
    // A ground drive takes the terrain's colours when the land has them; nothing else does.
    const ShadeTable colours;
    for (const ShadeTable* terrain : {static_cast<const ShadeTable*>(nullptr), &colours}) {
        env.services.terrainColours = terrain;
        env.media.draws.clear();
        d.Draw(Point(100, 100), 3, 1);
        ASSERT_EQ(env.media.draws.size(), 3u);
        EXPECT_EQ(env.media.draws[0].shade, terrain);
        EXPECT_EQ(env.media.draws[1].shade, nullptr);
        EXPECT_EQ(env.media.draws[2].shade, nullptr);
    }
    env.services.terrainColours = nullptr;
}

TEST_F(VehicleDesignTest, PreviewStacksPanelsByAnchorAndSlot) {
    VehicleDesign d("VWaa------399199212299");
    env.media.draws.clear();
    d.DrawPreview(Point(0, 0), 5, 0);
    ASSERT_EQ(env.media.draws.size(), 3u);
    EXPECT_EQ(env.media.draws[0].pack, "7a0uVTwX99s999.msp");
    EXPECT_EQ(env.media.draws[0].at, Point(0, 60 - 3));
    EXPECT_EQ(env.media.draws[1].pack, "7a0uVCaX99s999.msp");
    EXPECT_EQ(env.media.draws[1].at, Point(0, 20));
    // Hardpoint 0's design point (30, 30) centred on 20 x 10, from the anchor, 25 up.
    EXPECT_EQ(env.media.draws[2].pack, "7a0uVWaX99s999.msp");
    EXPECT_EQ(env.media.draws[2].at, Point(20, 20));
    VehicleDesign empty('V');
    env.media.draws.clear();
    empty.Draw(Point(0, 0), 0, 0);
    empty.DrawPreview(Point(0, 0), 0, 0);
    EXPECT_TRUE(env.media.draws.empty());
}
