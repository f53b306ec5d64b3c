#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "catalogue/ChassisTemplate.h"
#include "catalogue/DesignLibrary.h"
#include "catalogue/MountTemplate.h"
#include "catalogue/VehicleDesign.h"
#include "core/Bitmap.h"
#include "core/ColourBox.h"
#include "core/DisplayBase.h"
#include "core/InputEvent.h"
#include "core/KeyCodes.h"
#include "objects/Goal.h"
#include "screens/battle/BattleScreenFixture.h"
#include "ui/ScrollList.h"
#include "world/MissionStats.h"

namespace {

class TestMount : public MountTemplate {
public:
    TestMount() : MountTemplate(Values()) {}
    MountKind GetMountKind() const override { return MountKind::Weapon; }
    static MountValues Values() {
        MountValues v;
        v.name = "GUN";
        return v;
    }
};

// A goal the debug panel lists as a place.
class ListedGoal : public Goal {
public:
    explicit ListedGoal(const SimId& owner) : Goal(owner, 1, 1) {}
    int GetType() const override { return 1; }
    int IsDone() override { return 0; }
};

using BattleScreenPanelTest = BattleScreenTest;

TEST(BattleScreenBars, FramesStayWithinTheBar) {
    const int n = 11;
    const struct {
        int32_t (*frame)(int32_t, int32_t);
        int32_t value, expected;
    } cases[] = {
        {BattleScreen::RankBarFrame, 64, -1},    {BattleScreen::RankBarFrame, 65, 0},
        {BattleScreen::RankBarFrame, 83, 6},     {BattleScreen::RankBarFrame, 100, 10},
        {BattleScreen::RankBarFrame, 500, 10},   {BattleScreen::DamageBarFrame, 0, -1},
        {BattleScreen::DamageBarFrame, 1, 0},    {BattleScreen::DamageBarFrame, 50, 5},
        {BattleScreen::DamageBarFrame, 99, 10},  {BattleScreen::DamageBarFrame, 100, 10},
        {BattleScreen::DamageBarFrame, 101, 10},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.frame(c.value, n), c.expected) << c.value;
    // Progress over a build time of 10 s: time left 0 is a full bar, more than the build time
    // an empty one.
    const struct {
        int32_t remaining, expected;
    } progress[] = {{0, 10}, {1, 10}, {5000, 5}, {10000, 0}, {25000, 0}};
    for (const auto& p : progress)
        EXPECT_EQ(BattleScreen::ProgressBarFrame(10000, p.remaining, n), p.expected) << p.remaining;
    EXPECT_EQ(BattleScreen::ProgressBarFrame(0, 0, n), -1);
    EXPECT_EQ(BattleScreen::RankBarFrame(90, 0), -1);
}

TEST_F(BattleScreenPanelTest, ASevenHardpointChassisGetsSevenSelectorsAndItsOwnSeventhRegion) {
    ChassisValues values;
    values.hardpointCount = 7;
    for (int i = 0; i < 7; ++i)
        values.secondPoints[static_cast<size_t>(i)] = Point(20 + 12 * i, 130 + 10 * i);
    values.unitPanelIcon = 30;
    ChassisTemplate chassis(values);
    TestMount gun;
    VehicleDesign design('V');
    design.chassis = &chassis;
    for (auto& h : design.hardpoints)
        h = &gun;
    design.hardpoints[3] = nullptr;
    TestObject* unit = Unit(1, Point(300, 300));
    unit->design = &design;
    unit->SetSelected(1);
    screen->buildPanelOpen = 0;
    screen->DrawControlPanel();
    ASSERT_EQ(screen->partSelectorCount, 7);
    for (int i = 0; i < 7; ++i) {
        const Point screenPoint = values.secondPoints[static_cast<size_t>(i)] + Point(512, 0);
        // A hardpoint without a part is no selector.
        if (i == 3) {
            EXPECT_EQ(screen->partSelectors[3], Rect());
            continue;
        }
        EXPECT_EQ(screen->partSelectors[static_cast<size_t>(i)].Centre(), screenPoint) << i;
        EXPECT_EQ(screen->HitTest(screenPoint), BattleScreen::PartSelectorRegion(i)) << i;
    }
    EXPECT_NE(BattleScreen::PartSelectorRegion(6), BattleScreen::kNoRegion);
    // Nothing selected, nothing to hit.
    unit->SetSelected(0);
    screen->DrawControlPanel();
    EXPECT_EQ(screen->partSelectorCount, 0);
}

TEST_F(BattleScreenPanelTest, AnIconOutsideTheLoadedOnesDrawsNothing) {
    ChassisValues values;
    TestObject* unit = Unit(1, Point(300, 300));
    auto pixels = [&](int32_t icon) {
        values.unitPanelIcon = icon;
        ChassisTemplate chassis(values);
        VehicleDesign design('V');
        design.chassis = &chassis;
        screen->panelBitmap->RedirectDrawing();
        display->SetClipRect(Rect(Point(0, 0), Size(128, 480)));
        ColourBox(0, Size(128, 480)).DrawAt(Point(0, 0));
        screen->DrawUnitPanel(&design, 0, 0, nullptr, unit);
        display->ClearRedirect();
        const uint8_t* p = screen->panelBitmap->Pixels();
        return std::vector<uint8_t>(p, p + screen->panelBitmap->ByteCount());
    };
    const std::vector<uint8_t> none = pixels(-1);
    EXPECT_NE(pixels(27), none);
    EXPECT_NE(pixels(41), none);
    for (int32_t icon : {26, 42, 45, 1000})
        EXPECT_EQ(pixels(icon), none) << icon;
}

TEST_F(BattleScreenPanelTest, TheMiniMapCentresAMapNarrowerThanItsWindow) {
    Open(OpenLand(60, 200));
    screen->buildPanelOpen = 0;
    screen->sideTab = 0;
    const struct {
        int scale, offsetX, originX;
    } cases[] = {{1, (110 - 60) / 2, 0}, {2, 0, 60 * 32 - 55 * 32}};
    for (const auto& c : cases) {
        screen->miniMapScale = c.scale;
        screen->viewOrigin = Point(60 * 32 - 512, 0);
        screen->DrawControlPanel();
        EXPECT_EQ(screen->miniMapOffset.x, c.offsetX) << c.scale;
        EXPECT_EQ(screen->miniMapOrigin.x, c.originX) << c.scale;
        EXPECT_EQ(screen->miniMapOffset.y, 0);
    }
    // At 1:1 the revealed map fills exactly its 60 columns of the tab.
    world().terrain->SetRevealAll(1);
    screen->miniMapScale = 1;
    screen->DrawControlPanel();
    const uint8_t* row = screen->panelBitmap->Pixels() + 380 * screen->panelBitmap->RowStride();
    int ground = 0;
    for (int x = 0; x < 128; ++x)
        ground += row[x] == screen->miniMapColours['c'] || row[x] == screen->miniMapColours['e'];
    EXPECT_EQ(ground, 60);
}

// The margins that centre a short map are taken off before the click becomes a cell.
TEST_F(BattleScreenPanelTest, AClickOnTheMiniMapCentresTheViewOnTheCellUnderIt) {
    Open(OpenLand(200, 20));
    screen->buildPanelOpen = 0;
    screen->sideTab = 0;
    screen->miniMapScale = 1;
    screen->DrawControlPanel();
    ASSERT_GT(screen->miniMapOffset.y, 0);
    const Point cell(7, 5);
    const Point at = screen->miniMapRect.origin + screen->miniMapOffset + cell;
    EXPECT_EQ(screen->MiniMapClick(InputEvent(InputKind::ButtonDown, at, 'L')), 1);
    const Size tile = TileSize();
    const Size view = screen->ViewExtent();
    EXPECT_EQ(screen->wantedOrigin,
              Point(screen->miniMapOrigin.x + cell.x * tile.w - (view.w >> 1),
                    screen->miniMapOrigin.y + cell.y * tile.h - (view.h >> 1)));
}

TEST_F(BattleScreenPanelTest, TheDebugPanelGivesASquadAndAPurposeALineEach) {
    TestObject* unit = Unit(1, Point(300, 300));
    screen->debugWatch = unit->id;
    const int width = static_cast<int>(screen->panelBitmap->ByteCount() / 480);
    // The panel's rows from y on, n rows of them.
    auto rows = [&](int y, int n) {
        screen->DrawSimDebugPanel();
        display->ClearRedirect();
        const uint8_t* p = screen->panelBitmap->Pixels() + y * width;
        return std::vector<uint8_t>(p, p + n * width);
    };
    // From y 20 the centre, radius, damage and ore lines; each line a squad or a purpose adds
    // above them moves them down 10 rows.
    const std::vector<uint8_t> plain = rows(20, 40);
    ASSERT_NE(plain, std::vector<uint8_t>(plain.size(), 254));
    unit->Add(7, 1);
    EXPECT_EQ(rows(30, 40), plain);
    unit->SetPurpose(3);
    EXPECT_EQ(rows(40, 40), plain);
    unit->Remove(0);
    unit->SetPurpose(0);
    EXPECT_EQ(rows(20, 40), plain);
    // Goal lines stop at the panel's foot: the last one stands on row 470, none on 480.
    for (int i = 0; i < 60; ++i)
        unit->goals.PushFront(std::make_unique<ListedGoal>(unit->id));
    EXPECT_NE(rows(462, 8), std::vector<uint8_t>(8 * width, 254));
    EXPECT_EQ(rows(472, 8), std::vector<uint8_t>(8 * width, 254));
    unit->goals.Clear();
    screen->debugWatch = SimId();
}

TEST_F(BattleScreenPanelTest, TheScaleAndZoomButtonsShowTheFacesOfTheOtherSetting) {
    screen->buildPanelOpen = 0;
    auto panel = [&] {
        const uint8_t* p = screen->panelBitmap->Pixels();
        return std::vector<uint8_t>(p, p + screen->panelBitmap->ByteCount());
    };
    const struct {
        int scale, zoom;
        int scaleButton, zoomButton;
    } cases[] = {{1, 0, BattleScreen::kMiniMapScale2Button, BattleScreen::kZoom2Button},
                 {2, 1, BattleScreen::kMiniMapScale1Button, BattleScreen::kZoom1Button}};
    for (const auto& c : cases) {
        screen->miniMapScale = c.scale;
        screen->zoom = c.zoom;
        screen->DrawControlPanel();
        // A click lands on the button that shows, wherever the two faces share a place.
        for (int button : {c.scaleButton, c.zoomButton})
            EXPECT_EQ(
                screen->HitTest(screen->buttons[static_cast<size_t>(button)]->Bounds().Centre()),
                button);
        const std::vector<uint8_t> drawn = panel();
        // Drawing the expected faces over the panel changes nothing; the 1:1 face over the 1:2
        // one does (the sample zoom faces, and the 1:2 face over the 1:1, look alike).
        const int otherScale = c.scaleButton == BattleScreen::kMiniMapScale1Button
                                   ? BattleScreen::kMiniMapScale2Button
                                   : BattleScreen::kMiniMapScale1Button;
        for (const auto& [button, expected] :
             {std::pair{c.scaleButton, true}, std::pair{c.zoomButton, true},
              std::pair{otherScale, c.scale == 2}}) {
            ASSERT_EQ(screen->panelBitmap->RedirectDrawing(), 1);
            display->SetClipRect(Rect(Point(0, 0), screen->panelRect.extent));
            const Point offset = screen->panelRect.origin;
            screen->buttons[static_cast<size_t>(button)]->Draw(&offset);
            display->ClearRedirect();
            EXPECT_EQ(panel() == drawn, expected) << c.scale << " " << button;
            screen->DrawControlPanel();
        }
        // A click on the scale face that shows takes its scale; the marks grow with it.
        const Point at = screen->buttons[static_cast<size_t>(c.scaleButton)]->Bounds().Centre();
        screen->sideTab = 0;
        Click(at);
        const int taken = c.scale == 1 ? 2 : 1;
        EXPECT_EQ(screen->miniMapScale, taken) << c.scale;
        EXPECT_EQ(screen->miniMapMarkFactor, 2 * taken) << c.scale;
    }
}

TEST_F(BattleScreenPanelTest, TheBuildListCountsTheDesignsItShowsAndSelectsItsFirstRow) {
    DesignLibrary& library = *world().designLibrary;
    for (int i = 0; i < 4; ++i)
        library.AddDesign('V')->complete = i == 2 ? 1 : 0;
    screen->buildPanelOpen = 1;
    screen->designListFlag = 1;
    screen->currentList = screen->buildList.get();
    screen->buildList->SetSelection(-1);
    screen->DrawControlPanel();
    EXPECT_EQ(screen->buildList->count, 1);
    EXPECT_EQ(screen->buildList->selection, 0);
    EXPECT_NE(screen->SelectedBuildDesign(), nullptr);
    EXPECT_EQ(screen->SelectedBuildDesign()->complete, 1);
}

TEST_F(BattleScreenPanelTest, TabsWithoutAGameRecordOrAFactoryStayEmpty) {
    screen->buildPanelOpen = 0;
    world().scenario->factoryPlaced[1] = 1;
    world().teamStats[1].reset();
    auto tabArea = [&](int tab) {
        screen->sideTab = tab;
        screen->DrawControlPanel();
        std::vector<uint8_t> out;
        const uint8_t* p = screen->panelBitmap->Pixels();
        const int stride = screen->panelBitmap->RowStride();
        for (int y = 332; y <= 438; ++y)
            out.insert(out.end(), p + y * stride + 9, p + y * stride + 119);
        return out;
    };
    const std::vector<uint8_t> miniMap = tabArea(0);
    EXPECT_EQ(tabArea(1), miniMap);
    EXPECT_NE(tabArea(2), miniMap);
    world().scenario->factoryPlaced[1] = 0;
    EXPECT_NE(tabArea(0), miniMap);
    world().teamStats[1] = std::make_unique<MissionStats>();
    EXPECT_NE(tabArea(1), miniMap);
}

}  // namespace
