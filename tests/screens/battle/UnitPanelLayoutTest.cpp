// The unit panel of every chassis of the sample catalogue, drawn by the real panel: each part's
// name stands whole inside the picture box, and nothing else is drawn inside the name's box -
// neither the chassis picture, nor a part's picture or its selection ring (its own included),
// nor another name.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/BuildingTemplate.h"
#include "catalogue/ChassisTemplate.h"
#include "catalogue/MountTemplate.h"
#include "catalogue/TemplateCatalogue.h"
#include "catalogue/VehicleDesign.h"
#include "core/MemoryDisplay.h"
#include "core/NodeList.h"
#include "core/StringTable.h"
#include "screens/battle/BattleScreenFixture.h"
#include "support/TextCheck.h"

namespace {

// A unit whose chosen hardpoint is the test's: the panel rings it.
class PartPickingUnit : public TestObject {
public:
    PartPickingUnit() : TestObject(1, 1, Point(160, 160), 1, 24) {}
    int SelectedPartIndex() override { return part; }
    int part = -1;
};

class UnitPanelLayoutTest : public BattleScreenTest {
protected:
    void SetUp() override {
        BattleScreenTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        ASSERT_EQ(LoadStringTable("7a1.str"), 1);
        ASSERT_EQ(LoadTemplateCatalogue("7a.pts"), 1);
        unit = Place(std::make_unique<PartPickingUnit>(), Point(300, 300));
        unit->SetSelected(1);
        screen->buildPanelOpen = 0;
    }
    void TearDown() override {
        ClearTemplateCatalogue();
        BattleScreenTest::TearDown();
    }

    // The side panel as drawn with the unit showing the design and hardpoint `ringed` chosen.
    std::vector<uint8_t> Panel(VehicleDesign& design, int ringed = -1) {
        unit->design = &design;
        unit->part = ringed;
        screen->DrawControlPanel();
        unit->design = nullptr;
        return PanelPixels();
    }

    PartPickingUnit* unit = nullptr;
};

// Every part a hardpoint of the chassis takes, of the chassis' clan or of both.
std::vector<MountTemplate*> Fitting(const ChassisTemplate& chassis, int h, char clan) {
    std::vector<MountTemplate*> fit;
    for (const NodeList* list :
         {&WeaponList, &SensorItemList, &DefenceItemList, &StealthItemList}) {
        for (ListNode* n = list->First(); n; n = list->Next(n)) {
            auto* m = static_cast<MountTemplate*>(n);
            if (m->mountSize <= chassis.Capacity(h) && (m->clan == clan || m->clan == 'X') &&
                m->Name())
                fit.push_back(m);
        }
    }
    return fit;
}

struct Hull {
    ChassisTemplate* chassis;
    char clan;
    std::string name;
};

// The vehicles' chassis, then the buildings'.
std::vector<Hull> SampleHulls() {
    std::vector<Hull> hulls;
    for (ListNode* n = ChassisList.First(); n; n = ChassisList.Next(n)) {
        auto* c = static_cast<ChassisTemplate*>(n);
        hulls.push_back({c, c->clan, c->Name() ? c->Name() : "?"});
    }
    for (ListNode* n = BuildingList.First(); n; n = BuildingList.Next(n)) {
        auto* b = static_cast<BuildingTemplate*>(n);
        if (b->chassis) hulls.push_back({b->chassis.get(), b->clan, b->Name() ? b->Name() : "?"});
    }
    return hulls;
}

TEST_F(UnitPanelLayoutTest, EveryPartNameOfEverySampleChassisReadsWholeAndClear) {
    const PanelBox box{9, 112, 116, 213};
    auto* shown = dynamic_cast<MemoryDisplay*>(display);
    ASSERT_TRUE(shown);
    MemoryDisplay& memory = *shown;
    int names = 0, hullsWithParts = 0, factories = 0;
    for (const Hull& hull : SampleHulls()) {
        ChassisTemplate& c = *hull.chassis;
        if (c.hardpointCount == 0) continue;
        ++hullsWithParts;
        if (c.role == 'z') ++factories;
        // Each hardpoint takes each part it fits in turn, the others their longest-named one.
        std::vector<std::vector<MountTemplate*>> fits;
        for (int h = 0; h < c.hardpointCount; ++h) {
            fits.push_back(Fitting(c, h, hull.clan));
            ASSERT_FALSE(fits.back().empty()) << hull.name << " " << h;
            std::stable_sort(fits.back().begin(), fits.back().end(), [](auto* a, auto* b) {
                return std::strlen(a->Name()) > std::strlen(b->Name());
            });
        }
        for (int turn = 0; turn < c.hardpointCount; ++turn) {
            for (MountTemplate* part : fits[static_cast<size_t>(turn)]) {
                VehicleDesign design(hull.clan);
                design.chassis = &c;
                UnitPanelShot shot;
                const int icon = c.unitPanelIcon;
                c.unitPanelIcon = -1;
                shot.ground = Panel(design);
                c.unitPanelIcon = icon;
                shot.hull = Panel(design);
                for (int h = 0; h < c.hardpointCount; ++h)
                    design.hardpoints[static_cast<size_t>(h)] =
                        h == turn ? part : fits[static_cast<size_t>(h)].front();
                for (int h = 0; h < c.hardpointCount; ++h) {
                    VehicleDesign one(hull.clan);
                    one.chassis = &c;
                    MountTemplate* m = design.hardpoints[static_cast<size_t>(h)];
                    one.hardpoints[static_cast<size_t>(h)] = m;
                    shot.named.push_back(Panel(one, h));
                    std::optional<std::string> name = m->name;
                    m->name = std::string();
                    shot.pictured.push_back(Panel(one, h));
                    m->name = name;
                    shot.texts.push_back(m->Name());
                }
                EXPECT_EQ(UnitPanelProblem(shot, screen->panelBitmap->RowStride(), box, memory,
                                           *world().font),
                          "")
                    << hull.name << ", " << part->Name() << " on " << turn;
                ++names;
            }
        }
    }
    // Both clans' vehicles and factories, every part of each.
    EXPECT_GE(hullsWithParts, 20);
    EXPECT_EQ(factories, 2);
    EXPECT_GT(names, 500);
}

// The panel rings the chosen hardpoint's part: the ring is drawn, where the part is.
TEST_F(UnitPanelLayoutTest, TheChosenHardpointIsRingedAroundItsPart) {
    ChassisTemplate* chassis = nullptr;
    for (const Hull& hull : SampleHulls()) {
        if (hull.chassis->hardpointCount >= 3 && hull.clan == 'V') chassis = hull.chassis;
    }
    ASSERT_TRUE(chassis);
    std::vector<MountTemplate*> fit = Fitting(*chassis, 0, 'V');
    ASSERT_FALSE(fit.empty());
    VehicleDesign design('V');
    design.chassis = chassis;
    for (int h = 0; h < chassis->hardpointCount; ++h)
        design.hardpoints[static_cast<size_t>(h)] = fit.front();
    const std::vector<uint8_t> plain = Panel(design);
    const int stride = screen->panelBitmap->RowStride();
    for (int h = 0; h < chassis->hardpointCount; ++h) {
        const std::vector<uint8_t> ringed = Panel(design, h);
        const Point p = chassis->secondPoints[static_cast<size_t>(h)];
        int inside = 0, outside = 0;
        for (size_t i = 0; i < plain.size(); ++i) {
            if (plain[i] == ringed[i]) continue;
            const int x = static_cast<int>(i) % stride, y = static_cast<int>(i) / stride;
            (std::abs(x - p.x) <= 14 && y >= p.y - 22 && y <= p.y + 4 ? inside : outside)++;
        }
        EXPECT_GT(inside, 20) << h;
        EXPECT_EQ(outside, 0) << h;
    }
}

}  // namespace
