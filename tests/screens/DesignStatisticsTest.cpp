#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/BuildingTemplate.h"
#include "catalogue/ChassisTemplate.h"
#include "catalogue/MountTemplate.h"
#include "catalogue/PartTemplate.h"
#include "catalogue/WeaponTemplate.h"
#include "screens/DesignScreenTestFixture.h"

namespace {

struct Text {
    Point at;
    std::string text;
    int colour;
};

std::string Number(const char* format, int value) {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

// What the statistics area shows for a design, described from the templates' own fields.
// The factory's own line stands in the parts panel only.
std::vector<Text> Describe(const VehicleDesign& d, bool partsPanel = true) {
    if (partsPanel && d.chassis && d.chassis->role == 'z')
        return {{Point(212, 15), GetString(227), 10}};
    std::vector<Text> out = {{Point(212, 15), GetString(9), 110},
                             {Point(290, 15), GetString(10), 110},
                             {Point(320, 15), GetString(11), 110}};
    int field5 = 0, field6 = 0, field7 = 0;
    auto row = [&](int y, const std::string& label, const Template* part, bool required) {
        if (!part) {
            out.push_back({Point(212, y), label, required ? 9 : 10});
            out.push_back({Point(285, y), GetString(required ? 226 : 228), required ? 9 : 110});
            return;
        }
        out.push_back({Point(212, y), label, 10});
        out.push_back({Point(285, y), Number("%3d", part->secondCost), 10});
        out.push_back({Point(315, y), Number("%3d", part->firstCost), 10});
        field5 += part->firstCost;
        field6 += part->secondCost;
        field7 += part->buildTime;
    };
    row(28, GetString(12), d.chassis, true);
    row(38, GetString(13), d.drive, true);
    for (int i = 0; d.chassis && i < d.chassis->hardpointCount; ++i)
        row(48 + 10 * i, "Mount " + std::to_string(i + 1), d.hardpoints[i], false);
    if (d.noCharge) field5 = field6 = field7 = 0;
    out.push_back({Point(370, 15), GetString(15), 9});
    out.push_back({Point(350, 27), GetString(16), 10});
    out.push_back({Point(410, 27), std::to_string(field7 / 1000), 10});
    out.push_back({Point(350, 37), GetString(17), 10});
    out.push_back({Point(410, 37), std::to_string(field6), 10});
    out.push_back({Point(350, 47), GetString(18), 10});
    out.push_back({Point(410, 47), std::to_string(field5), 10});
    return out;
}

class DesignStatisticsTest : public DesignScreenTest {
protected:
    std::vector<uint8_t> Page() const {
        return std::vector<uint8_t>(f->display.BackPage(), f->display.BackPage() + 640 * 480);
    }
    void ClearPage() { std::fill(f->display.BackPage(), f->display.BackPage() + 640 * 480, 0); }
    std::vector<uint8_t> Drawn(const VehicleDesign& design) {
        Edited().CopyFrom(design);
        Edited().noCharge = design.noCharge;
        ClearPage();
        screen->DrawStats();
        return Page();
    }
    std::vector<uint8_t> Expected(const VehicleDesign& design, bool partsPanel = true) {
        return ExpectedTexts(Describe(design, partsPanel));
    }
    std::vector<uint8_t> ExpectedTexts(const std::vector<Text>& texts) {
        ClearPage();
        f->display.SetClipRect(Rect(Point(206, 0), Size(240, 106)));
        for (const Text& t : texts)
            f->world->font->DrawText(t.at, t.text.c_str(), t.colour);
        return Page();
    }
};

TEST_F(DesignStatisticsTest, RowsAndTotalsComeFromThePartsTemplates) {
    Open();
    ASSERT_STREQ(GetString(14), "Mount %d");
    VehicleDesign empty('V');
    VehicleDesign armed('V');
    ASSERT_EQ(
        armed.SetPrimaryPart(static_cast<ChassisTemplate*>(FindInList(ChassisList, 'V', 'b'))), 1);
    ASSERT_EQ(armed.SetSecondaryPart(static_cast<PartTemplate*>(FindInList(PartList, 'V', 'W'))),
              1);
    ASSERT_EQ(armed.SetHardpoint(FindWeaponTemplate('V', 'a'), 0), 1);
    ASSERT_EQ(armed.SetHardpoint(FindWeaponTemplate('V', 'd'), 1), 1);
    VehicleDesign onePart('V');
    onePart.CopyFrom(armed);
    onePart.SetHardpoint(nullptr, 0);
    VehicleDesign free('V');
    free.CopyFrom(armed);
    free.noCharge = 1;
    VehicleDesign factory('V');
    ASSERT_EQ(factory.SetPrimaryPart(FindBuildingTemplate('V')->chassis.get()), 1);
    ASSERT_GT(armed.SumPartField5(), 0);

    int index = 0;
    for (const VehicleDesign* design : {&empty, &armed, &onePart, &free, &factory}) {
        SCOPED_TRACE(index++);
        const std::vector<uint8_t> drawn = Drawn(*design);
        EXPECT_TRUE(drawn == Expected(*design));
        EXPECT_GT(std::count_if(drawn.begin(), drawn.end(), [](uint8_t v) { return v != 0; }), 0);
    }
}

TEST_F(DesignStatisticsTest, SettingsLinesCoverTheValuesNoPanelSets) {
    Open();
    VehicleDesign design('V');
    design.SetParameter(0, 5);
    design.SetParameter(4, 3);
    design.SetParameter(2, 0);
    design.SetParameter(1, 40);
    design.SetParameter(3, 60);
    design.SetParameter(5, 1);
    ClearPage();
    f->display.SetClipRect(Rect(Point(0, 0), Size(640, 480)));
    screen->DrawDesignSettings(design);
    const std::vector<uint8_t> drawn = Page();
    ClearPage();
    const Text expected[] = {
        {Point(212, 15), GetString(19), 110},
        {Point(212, 30), GetString(DesignScreen::kExploreLine), 10},
        {Point(212, 40), GetString(DesignScreen::kAutomaticAttackLine), 10},
        {Point(212, 50), Number(GetString(28), 40), 10},
        {Point(212, 60), Number(GetString(30), 60), 10},
        {Point(212, 70), GetString(32), 10},
    };
    for (const Text& t : expected)
        f->world->font->DrawText(t.at, t.text.c_str(), t.colour);
    EXPECT_TRUE(drawn == Page());
    // The statistics area shows the edited design's settings on the settings panel, and
    // nothing on the library panel with no design selected.
    screen->panelMode = DesignScreen::kSettings;
    const std::vector<uint8_t> onSettings = Drawn(design);
    ClearPage();
    f->display.SetClipRect(Rect(Point(206, 0), Size(240, 106)));
    screen->DrawDesignSettings(Edited());
    EXPECT_TRUE(onSettings == Page());
    screen->panelMode = DesignScreen::kLibrary;
    screen->selectedDesign = nullptr;
    EXPECT_TRUE(Drawn(design) == std::vector<uint8_t>(640 * 480, 0));
    // The two lines of their own say something of their own.
    EXPECT_STRNE(GetString(DesignScreen::kExploreLine), GetString(25));
    EXPECT_STRNE(GetString(DesignScreen::kAutomaticAttackLine), GetString(28));
}

// Each value a panel sets names its own line; a value outside the rows leaves its line empty.
TEST_F(DesignStatisticsTest, EachSettingValueShowsItsOwnLine) {
    Open();
    const struct {
        int standing, range, rangeKind, retreat, attack, pursuit;
        int standingLine, attackLine, rangeLine, pursuitLine;  // 0: nothing on that line
    } cases[] = {
        {0, 10, 0, 20, 0, 0, 20, 25, 28, 31}, {1, 11, 1, 21, 1, 1, 21, 26, 29, 32},
        {2, 12, 2, 22, 2, 2, 22, 27, 29, 0},  {3, 13, 0, 23, 0, 0, 23, 25, 28, 31},
        {4, 14, 1, 24, 1, 1, 24, 26, 29, 32},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.standing);
        VehicleDesign design('V');
        for (const auto& [index, value] : std::vector<std::pair<int, int>>{{0, c.standing},
                                                                           {1, c.range},
                                                                           {2, c.rangeKind},
                                                                           {3, c.retreat},
                                                                           {4, c.attack},
                                                                           {5, c.pursuit}}) {
            design.parameters[index] = value;
        }
        ClearPage();
        f->display.SetClipRect(Rect(Point(0, 0), Size(640, 480)));
        screen->DrawDesignSettings(design);
        const std::vector<uint8_t> drawn = Page();
        ClearPage();
        std::vector<Text> expected = {
            {Point(212, 15), GetString(19), 110},
            {Point(212, 30), GetString(c.standingLine), 10},
            {Point(212, 40), GetString(c.attackLine), 10},
            {Point(212, 50), Number(GetString(c.rangeLine), c.range), 10},
            {Point(212, 60), Number(GetString(30), c.retreat), 10},
        };
        if (c.pursuitLine) expected.push_back({Point(212, 70), GetString(c.pursuitLine), 10});
        for (const Text& t : expected)
            f->world->font->DrawText(t.at, t.text.c_str(), t.colour);
        EXPECT_TRUE(drawn == Page());
    }
}

// A hovered entry's help takes the area on any panel: its name as the heading, its help text
// and its second one beside it when it has one. The library shows its selected design's rows,
// the factory's too.
TEST_F(DesignStatisticsTest, TheHelpOfAnEntryAndTheLibrarysDesignTakeTheArea) {
    Open();
    VehicleDesign factory('V');
    ASSERT_EQ(factory.SetPrimaryPart(FindBuildingTemplate('V')->chassis.get()), 1);
    const char* name = "Crawler";
    const char* help = "Slow";
    const char* second = "Cheap";
    for (const auto panel : {DesignScreen::kParts, DesignScreen::kLibrary}) {
        SCOPED_TRACE(panel);
        screen->panelMode = panel;
        screen->selectedDesign = &factory;
        for (const char* more : {second, static_cast<const char*>(nullptr)}) {
            screen->helpState = 3;
            screen->helpTexts[0] = help;
            screen->helpTexts[1] = more;
            screen->helpTexts[2] = name;
            std::vector<Text> texts = {{Point(212, 15), name, 110}, {Point(212, 30), help, 10}};
            if (more) texts.push_back({Point(330, 30), more, 10});
            EXPECT_TRUE(Drawn(factory) == ExpectedTexts(texts));
        }
        screen->helpState = 1;
        screen->helpTexts[0] = screen->helpTexts[1] = screen->helpTexts[2] = nullptr;
        EXPECT_TRUE(Drawn(factory) == Expected(factory, panel == DesignScreen::kParts));
    }
    screen->selectedDesign = nullptr;
    screen->helpState = 0;
    screen->panelMode = DesignScreen::kParts;
}

}  // namespace
