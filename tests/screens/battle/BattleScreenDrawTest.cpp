// Drawing and the per-frame update: nothing dropped from a crowded view, the forms an enemy is
// drawn in under stealth and sensors, the waypoint marker, and the voices.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <tuple>
#include <vector>

#include "core/Bitmap.h"
#include "core/ResourceFile.h"
#include "core/Sound.h"
#include "core/SpriteSet.h"
#include "core/TextWriter.h"
#include "map/PathGrid.h"
#include "map/TerrainMap.h"
#include "screens/battle/BattleScreenFixture.h"
#include "support/TextCheck.h"
#include "ui/TextField.h"

// Layer 1 holds a land feature object and a feature entry in every cell, layer 2 a unit.
TEST_F(BattleScreenTest, ACrowdedViewAtHalfSizeDrawsEveryObjectAndFeature) {
    LandLayout layout = OpenLand(200, 200);
    layout.withFeatures = true;
    for (int row = 60; row < 98; ++row) {
        for (int column = 80; column < 120; ++column)
            layout.features.push_back({row, column, 0});
    }
    Open(layout);
    screen->SetRevealMap(1);
    screen->SetZoom(1);
    screen->CentreOn(Point(100 * 32, 79 * 32));
    std::vector<TestObject*> units;
    for (int i = 0; i < 1500; ++i) {
        const int row = 60 + i / 40;
        const int column = 80 + i % 40;
        units.push_back(land->AddUnit(1, 10 + i, row, column, 1, 2));
    }
    Frame();
    const void* list = screen->drawList.data();
    Frame();
    for (TestObject* u : units)
        ASSERT_EQ(u->draws, 2) << u->id.serial;
    EXPECT_EQ(screen->drawList.data(), list);  // no allocation per frame
}

TEST_F(BattleScreenTest, StealthAndSensorsChooseHowAnEnemyIsDrawn) {
    // Team 2 hides its units while it owns a structure of code 1; team 1's sensors work while
    // it owns one of code 0.
    records.owned = {{2, 1}, {1, 0}};
    TerrainMap& terrain = *world().terrain;
    const int row = 20;
    const int column = 20;
    const Point at = land->Centre(row, column);
    struct Case {
        const char* name;
        bool seen;        // the cell is seen now
        int hidden;       // general stealth
        int hiddenA;      // stealth against sensor A
        int reveal;       // the reveal flag
        int controller;   // controlling team
        bool neighbour;   // an own unit stands next to it
        int detectable;   // index of the detection it answers (-1 none)
        int sensor;       // own sensor near it: 0 none, 1 A, 2 B, 3 C
        int kind;         // expected draw form, -1 not drawn
        int hiddenB = 0;  // stealth against sensor C
    } cases[] = {
        {"seen", true, 0, 0, 0, 2, false, -1, 0, 0},
        {"unseen", false, 0, 0, 0, 2, false, -1, 0, -1},
        {"hidden", true, 1, 0, 0, 2, false, -1, 0, -1},
        {"hidden, revealed", true, 1, 0, 1, 2, false, -1, 0, 0},
        {"hidden, captured", true, 1, 0, 0, 1, false, -1, 0, 0},
        {"hidden, a unit beside it", true, 1, 0, 0, 2, true, -1, 0, 0},
        {"sensor A", false, 0, 0, 0, 2, false, 0, 1, 1},
        {"sensor A, hidden from A", false, 0, 1, 0, 2, false, 0, 1, -1},
        {"sensor A, hidden", false, 1, 0, 0, 2, false, 0, 1, -1},
        {"sensor B through stealth", false, 1, 0, 0, 2, false, 1, 3, 2},
        {"detectable by B, no sensor", false, 0, 0, 0, 2, false, 1, 0, -1},
        {"sensor C, not detectable by it", false, 0, 0, 0, 2, false, -1, 3, -1},
        {"sensor C", false, 0, 0, 0, 2, false, 2, 2, 3},
        {"sensor C, hidden", false, 1, 0, 0, 2, false, 2, 2, -1},
        {"sensor C, hidden from C", false, 0, 0, 0, 2, false, 2, 2, -1, 1},
        {"sensor A, hidden from C", false, 0, 0, 0, 2, false, 0, 1, 1, 1},
        {"sensor of another kind", false, 0, 0, 0, 2, false, 2, 1, -1},
    };
    int serial = 100;
    for (const Case& c : cases) {
        RemoveObjects();
        screen->SetRevealMap(c.reveal);
        TestObject* enemy = Unit(serial++, at, 2);
        enemy->teamRecord.second = c.controller;
        enemy->stealth.hidden = c.hidden;
        enemy->stealth.hiddenA = c.hiddenA;
        enemy->stealth.hiddenB = c.hiddenB;
        if (c.detectable >= 0) enemy->detectable[c.detectable] = 1;
        if (c.neighbour) Unit(serial++, land->Centre(row, column + 1));
        if (c.sensor) AddSensor(serial++, land->Centre(row + 1, column), c.sensor);
        if (c.seen) terrain.AddVisibility(row, column, 1);
        EXPECT_EQ(screen->DrawKindOf(enemy, row, column), c.kind) << c.name;
        if (c.seen) terrain.AddVisibility(row, column, -1);
    }
}

TEST_F(BattleScreenTest, TheVoicesOfEachClanAndTheirUnload) {
    for (char clan : {'V', 'T'}) {
        Open(OpenLand(20, 20), clan);
        const auto& attack = screen->soundBanks[BattleScreen::kAttackVoice];
        ASSERT_EQ(attack.size(), 2u);
        const int first = clan == 'V' ? 27 : 29;
        EXPECT_EQ(attack[0]->PackEntry(), first);
        EXPECT_EQ(attack[1]->PackEntry(), first + 1);
        EXPECT_EQ(screen->soundBanks[BattleScreen::kDestroyVoice][0]->PackEntry(),
                  clan == 'V' ? 14 : 16);
    }
    // A voice plays through the pool; unloading during it leaves the pool holding nothing.
    screen->PlayVoice(BattleScreen::kSelectVoice);
    EXPECT_EQ(screen->voicePlaying, screen->soundBanks[0][0].get());
    EXPECT_EQ(world().voices->Count(), 1);
    screen->PlayVoice(BattleScreen::kMoveVoice);
    EXPECT_EQ(world().voices->Count(), 1);  // the first gave way
    // The map objects' voices and the network's reveal reach the screen while it is loaded.
    world().unitMakers.PlayVoice(BattleScreen::kFactoryHitVoice);
    EXPECT_EQ(screen->voicePlaying, screen->soundBanks[6][0].get());
    screen->Unload();
    EXPECT_EQ(world().voices->Count(), 0);
    EXPECT_FALSE(world().unitMakers.playVoice);
}

// The ground is drawn at the view's own zoom: with the map revealed and nothing on it, the view
// shows exactly what the terrain draws for that zoom at the view's origin.
TEST_F(BattleScreenTest, TheGroundIsDrawnAtTheViewsZoom) {
    screen->SetRevealMap(1);
    TerrainMap& terrain = *world().terrain;
    for (int zoom : {0, 1}) {
        screen->SetZoom(zoom);
        screen->CentreOn(Point(100 * 32 + 7, 90 * 32 + 5));
        Frame();
        auto view = [&] {
            uint8_t* pixels = nullptr;
            Size size;
            int32_t pitch = 0;
            display->GetFrameBuffer(pixels, size, pitch);
            std::vector<uint8_t> rows;
            for (int y = 100; y < 300; ++y)
                rows.insert(rows.end(), pixels + y * pitch + 100, pixels + y * pitch + 400);
            return rows;
        };
        const std::vector<uint8_t> shown = view();
        display->SetClipRect(screen->viewRect);
        if (zoom == 0)
            terrain.DrawViewZoom0(screen->viewOrigin);
        else
            terrain.DrawViewZoom1(screen->viewOrigin);
        display->ResetClipRect();
        EXPECT_EQ(shown, view()) << zoom;
    }
}

// Shots and effects are drawn only where the player sees them now, not where he saw them once.
TEST_F(BattleScreenTest, ShotsAndEffectsAreDrawnOnlyWhereSeen) {
    TerrainMap& terrain = *world().terrain;
    terrain.AddVisibility(20, 20, 1);
    terrain.AddVisibility(40, 40, 1);
    terrain.AddVisibility(40, 40, -1);
    ASSERT_EQ(terrain.Visibility(40, 40), 0);
    const struct {
        bool shot;
        int row, column;
        int draws;
    } cases[] = {{true, 20, 20, 1},  {true, 40, 40, 0},  {true, 60, 60, 0},
                 {false, 20, 20, 1}, {false, 40, 40, 0}, {false, 60, 60, 0}};
    std::vector<TestObject*> made;
    int serial = 300;
    for (const auto& c : cases) {
        auto object = std::make_unique<TestObject>(2, serial++, land->Centre(c.row, c.column));
        made.push_back(object.get());
        if (c.shot)
            world().AddWeapon(std::move(object));
        else
            world().AddEffect(std::move(object));
    }
    screen->Draw(16);
    for (size_t i = 0; i < made.size(); ++i)
        EXPECT_EQ(made[i]->draws, cases[i].draws) << i;
    terrain.AddVisibility(20, 20, -1);
}

// The waypoint marker shows its frames twice, one a tenth of a second, and is gone after.
TEST_F(BattleScreenTest, TheWaypointMarkerPlaysItsFramesTwiceThenGoes) {
    ASSERT_NE(screen->markerSprites, nullptr);
    const int frames = screen->markerSprites->LastFrameIndex() + 1;
    screen->SetWaypointMarker(Point(300, 300));
    const Point at = screen->markerPoint;
    ASSERT_NE(at, Point());
    for (int tenth = 1; tenth < 2 * frames; ++tenth) {
        ++world().lastTenth;
        screen->Update(16);
        // Within one tenth the marker stays on its frame.
        screen->Update(16);
        EXPECT_EQ(screen->markerFrame, tenth % frames) << tenth;
        EXPECT_EQ(screen->markerPoint, at) << tenth;
    }
    ++world().lastTenth;
    screen->Update(16);
    EXPECT_EQ(screen->markerPoint, Point());
}

// Tracking keeps an own unit in the middle of the view; a unit that changed sides is let go.
TEST_F(BattleScreenTest, TrackingFollowsAnOwnUnitAndLetsGoOfAnother) {
    TestObject* own = Unit(1, land->Centre(80, 90));
    TestObject* taken = Unit(2, land->Centre(40, 50), 2);
    screen->tracking = 1;
    screen->trackedUnit = own->id;
    screen->Update(16);
    const Point middle =
        screen->wantedOrigin + Point(screen->ViewExtent().w / 2, screen->ViewExtent().h / 2);
    EXPECT_LE(std::abs(middle.x - own->position.x), 1);
    EXPECT_LE(std::abs(middle.y - own->position.y), 1);
    EXPECT_EQ(screen->trackedUnit, own->id);
    const Point kept = screen->wantedOrigin;
    screen->trackedUnit = taken->id;
    screen->Update(16);
    EXPECT_TRUE(screen->trackedUnit.IsNull());
    EXPECT_EQ(screen->wantedOrigin, kept);
}

// The reveal switch reaches the land when there is one, and is kept without one.
TEST_F(BattleScreenTest, RevealingTheMapReachesTheLandAndNeedsNone) {
    screen->SetRevealMap(1);
    EXPECT_EQ(world().terrain->RevealAll(), 1);
    screen->SetRevealMap(0);
    EXPECT_EQ(world().terrain->RevealAll(), 0);
    std::unique_ptr<TerrainMap> land = std::move(world().terrain);
    screen->SetRevealMap(1);
    EXPECT_EQ(screen->revealMap, 1);
    world().terrain = std::move(land);
    screen->SetRevealMap(0);
    EXPECT_EQ(screen->revealMap, 0);
}

// The status line: a box of the message's colour framed by an outline of the same colour and,
// inside it, one of the text colour; the text one pixel in from the box's left edge with its
// baseline three above the bottom, cut to the box. With the chat open the box takes the local
// player's colour. No message and no chat: nothing at all.
TEST_F(BattleScreenTest, TheStatusLineDrawsItsBoxFramesAndTextWhereTheRectPutsThem) {
    uint8_t* page = land->screen.BackPage();
    auto at = [&](int x, int y) { return static_cast<int>(page[y * 640 + x]); };
    const Rect r = screen->statusRect;
    auto draw = [&] {
        std::memset(page, 200, 640 * 480);
        display->SetClipRect(Rect(Point(0, 0), Size(640, 480)));
        screen->DrawStatusLine();
        display->ResetClipRect();
    };
    auto box = [&] {
        std::vector<uint8_t> rows;
        for (int y = r.origin.y; y < r.origin.y + r.extent.h; ++y)
            rows.insert(rows.end(), page + y * 640 + r.origin.x,
                        page + y * 640 + r.origin.x + r.extent.w);
        return rows;
    };
    world().statusText[0] = 0;
    draw();
    EXPECT_EQ(at(r.origin.x - 2, r.origin.y - 2), 200);
    EXPECT_EQ(at(r.origin.x + 100, r.origin.y + 5), 200);
    const char* message = "W|m Wl";
    world().SetStatusMessage(message, 3);
    const int boxColour = 3;
    const int textColour = world().ColourOf(3);
    ASSERT_NE(boxColour, textColour);
    draw();
    const int left = r.origin.x;
    const int top = r.origin.y;
    const int right = r.origin.x + r.extent.w - 1;
    const int bottom = r.origin.y + r.extent.h - 1;
    const struct {
        int x, y, colour;
    } frame[] = {
        {left - 3, top - 3, 200},
        {left - 2, top - 2, boxColour},
        {right + 2, bottom + 2, boxColour},
        {left - 2, bottom + 2, boxColour},
        {right + 3, bottom + 3, 200},
        {left - 1, top - 1, textColour},
        {right + 1, bottom + 1, textColour},
        {right + 1, top + 5, textColour},
        {left, top, boxColour},
        {right, bottom, boxColour},
    };
    for (const auto& f : frame)
        EXPECT_EQ(at(f.x, f.y), f.colour) << f.x << "," << f.y;
    const std::vector<uint8_t> shown = box();
    EXPECT_GT(std::count(shown.begin(), shown.end(), textColour), 10);
    // The same text drawn by the font at its place over a plain box.
    std::memset(page, 200, 640 * 480);
    for (int y = top; y <= bottom; ++y)
        std::memset(page + y * 640 + left, boxColour, static_cast<size_t>(r.extent.w));
    display->SetClipRect(r);
    world().font->DrawText(Point(left + 1, bottom - 2), message, textColour);
    display->ResetClipRect();
    EXPECT_EQ(shown, box());
    // The design library's lines, with either file's name, are whole in the box.
    for (const int line : {World::kUnreadableDesignsLine, World::kDesignsNotWrittenLine}) {
        for (const char* file : {"V.vdf", "T.vdf"}) {
            const std::string said = std::string(World::MessageLine(line)) + " " + file;
            EXPECT_LE(1 + world().font->TextWidth(said.c_str()), r.extent.w) << said;
            world().SetStatusMessage(said.c_str(), 3);
            draw();
            EXPECT_TRUE(ShowsText(land->screen, *world().font, Point(left + 1, bottom - 2), said,
                                  textColour, left, top, right, bottom))
                << said;
        }
    }
    // The chat box is the player's colour.
    world().localPlayer.third = 1;
    screen->OpenChat(0);
    draw();
    EXPECT_EQ(at(left - 2, top - 2), 1);
    EXPECT_EQ(at(right - 4, top + 4), 1);
    screen->chatField.reset();
    // Without a font there is no way to write the message, so not even the box is drawn.
    std::unique_ptr<TextWriter> font = std::move(world().font);
    world().SetStatusMessage(message, 3);
    draw();
    EXPECT_EQ(at(left - 2, top - 2), 200);
    EXPECT_EQ(at(left, top), 200);
    world().font = std::move(font);
}

// An enemy only a sensor finds is drawn in its sensed form, tinted by the table of the sensor
// that found it (A, C, B: draw kinds 1, 3, 2); one in plain sight is drawn plainly.
TEST_F(BattleScreenTest, ASensedEnemyIsDrawnWithItsSensorsTint) {
    struct Recorder : TestObject {
        using TestObject::TestObject;
        void DrawSensed(ScreenBase& view, const ShadeTable* table) override {
            tables.push_back(table);
            TestObject::DrawSensed(view, table);
        }
        std::vector<const ShadeTable*> tables;
    };
    records.owned = {{2, 1}, {1, 0}};
    const int row = 20;
    const int column = 20;
    screen->CentreOn(land->Centre(row, column));
    const struct {
        int sensor;      // 1 A, 2 B, 3 C
        int detectable;  // the detection the enemy answers
        int hidden;
        int kind;  // the expected draw kind
    } cases[] = {{1, 0, 0, 1}, {3, 1, 1, 2}, {2, 2, 0, 3}};
    int serial = 400;
    for (const auto& c : cases) {
        RemoveObjects();
        Recorder* enemy = Place(std::make_unique<Recorder>(2, serial++, Point(160, 160)),
                                land->Centre(row, column));
        enemy->teamRecord.second = 2;
        enemy->stealth.hidden = c.hidden;
        enemy->detectable[c.detectable] = 1;
        AddSensor(serial++, land->Centre(row + 1, column), c.sensor);
        ASSERT_EQ(screen->DrawKindOf(enemy, row, column), c.kind);
        screen->Draw(16);
        EXPECT_EQ(enemy->draws, 0) << c.kind;
        ASSERT_EQ(enemy->tables.size(), 1u) << c.kind;
        ASSERT_NE(screen->sensedTints[static_cast<size_t>(c.kind - 1)], nullptr);
        EXPECT_EQ(enemy->tables[0], screen->sensedTints[static_cast<size_t>(c.kind - 1)].get())
            << c.kind;
    }
}

// The side panel is redrawn once more than a second has gathered, and on the next frame after a
// key, a press or a release, or while a list is scrolled with the button held; a mouse move
// alone waits for the second.
TEST_F(BattleScreenTest, TheSidePanelIsRedrawnAfterInputOrOnceASecond) {
    const int period = screen->panelRedrawPeriod;
    ASSERT_EQ(period, 1000);
    screen->buildPanelOpen = 0;
    screen->sideTab = 0;
    Frame();
    auto panel = [&] {
        const uint8_t* p = screen->panelBitmap->Pixels();
        return std::vector<uint8_t>(p, p + screen->panelBitmap->ByteCount());
    };
    const std::vector<uint8_t> miniMapTab = panel();
    screen->sideTab = 2;
    screen->panelRedrawAccumulator = 0;
    screen->Draw(500);
    screen->Draw(500);
    EXPECT_EQ(screen->panelRedrawAccumulator, 1000);
    EXPECT_EQ(panel(), miniMapTab);
    screen->Draw(1);
    EXPECT_EQ(screen->panelRedrawAccumulator, 0);
    EXPECT_NE(panel(), miniMapTab);
    const struct {
        const char* name;
        InputKind kind;
        int32_t param;
        int redraws;
    } cases[] = {
        {"a key", InputKind::Key, 'v', 1},
        {"a press", InputKind::ButtonDown, 'R', 1},
        {"a release", InputKind::ButtonUp, 'R', 1},
        {"a mouse move", InputKind::MouseMove, 0, 0},
    };
    for (const auto& c : cases) {
        screen->panelRedrawAccumulator = 0;
        Post(c.kind, Point(300, 300), c.param);
        screen->HandleEvents(16);
        EXPECT_EQ(screen->panelRedrawAccumulator, c.redraws ? period : 0) << c.name;
    }
    // A list held down keeps the panel drawn every frame.
    for (int32_t region : {BattleScreen::kProductionListRegion, BattleScreen::kBuildListRegion,
                           BattleScreen::kMapViewRegion}) {
        for (int held : {0, 1}) {
            screen->panelRedrawAccumulator = 0;
            screen->mouseButtonHeld = held;
            screen->hoverRegion = region;
            screen->Update(16);
            const bool list = region != BattleScreen::kMapViewRegion;
            EXPECT_EQ(screen->panelRedrawAccumulator, held && list ? period : 0) << region;
        }
    }
    screen->mouseButtonHeld = 0;
}

// What the screen loads for each clan: every picture is its pack's entry, the bars are the
// sprite rows, the factory warnings are the clan's, and each voice bank holds its count of
// sounds from the clan's first entry.
TEST_F(BattleScreenTest, EachClanLoadsThePicturesBarsAndVoicesOfTheTables) {
    auto same = [](Bitmap* shown, ResourceFile& pack, int row) {
        if (!shown || !pack.SelectEntry(0, row)) return false;
        Bitmap entry(&pack);
        return shown->Origin() == entry.Origin() && shown->GetSize() == entry.GetSize() &&
               std::equal(entry.Pixels(), entry.Pixels() + entry.ByteCount(), shown->Pixels(),
                          shown->Pixels() + shown->ByteCount());
    };
    const struct {
        int count, firstV, firstT;
    } banks[] = {{1, 25, 25}, {1, 26, 26}, {2, 27, 29}, {1, 39, 40}, {2, 31, 33}, {2, 35, 37},
                 {1, 41, 42}, {1, 43, 44}, {2, 45, 47}, {1, 49, 49}, {1, 14, 16}};
    for (char clan : {'V', 'T'}) {
        Open(OpenLand(20, 20), clan);
        BattleScreen& s = *screen;
        ResourceFile largeUnit, smallUnit, large, small;
        ASSERT_EQ(largeUnit.Open("7a1unxxx99s999.msp", ResourceFile::OpenMode::Pack), 1);
        ASSERT_EQ(smallUnit.Open("7a0unxxx99s999.msp", ResourceFile::OpenMode::Pack), 1);
        ASSERT_EQ(large.Open("7a1ugxxx99s999.msp", ResourceFile::OpenMode::Pack), 1);
        ASSERT_EQ(small.Open("7a0ugxxx99s999.msp", ResourceFile::OpenMode::Pack), 1);
        std::vector<std::tuple<const char*, Bitmap*, ResourceFile*, int>> pictures = {
            {"unit panel", s.unitPanelBackground.get(), &largeUnit, 36},
            {"one unit", s.singleUnitOverlay.get(), &smallUnit, 47},
            {"backdrop", s.controlBackdrop.get(), &smallUnit, 48},
            {"side panel", s.sidePanelPicture.get(), &large, 0},
            {"build panel", s.buildPanelPicture.get(), &large, 10},
            {"bottom strip", s.bottomStripPicture.get(), &large, 15},
            {"map frame", s.mapFramePicture.get(), &small, 0},
        };
        for (int row = 27; row <= 41; ++row)
            pictures.push_back(
                {"role", s.rolePictures[static_cast<size_t>(row)].get(), &large, row});
        for (int i = 0; i < 6; ++i) {
            pictures.push_back(
                {"structure", s.structurePictures[static_cast<size_t>(i)].get(), &large, 42 + i});
            pictures.push_back(
                {"dock", s.dockPictures[static_cast<size_t>(i)].get(), &small, 8 + i});
        }
        const int headers[3] = {56, 59, 72};
        const int structureDocks[3] = {69, 70, 71};
        const int warnings[3] = {clan == 'V' ? 21 : 24, clan == 'V' ? 23 : 26,
                                 clan == 'V' ? 22 : 25};
        for (size_t i = 0; i < 3; ++i) {
            pictures.push_back({"tab", s.tabHeaders[i].get(), &small, headers[i]});
            pictures.push_back(
                {"structure dock", s.structureDockPictures[i].get(), &small, structureDocks[i]});
            pictures.push_back({"warning", s.factoryWarnings[i].get(), &small, warnings[i]});
        }
        const int markers[7] = {57, 58, 60, 61, 62, 63, 64};
        for (size_t i = 0; i < 7; ++i)
            pictures.push_back({"marker", s.hardpointMarkers[i].get(), &small, markers[i]});
        for (const auto& [name, shown, pack, row] : pictures)
            EXPECT_TRUE(same(shown, *pack, row)) << clan << " " << name << " " << row;
        for (int i = 0; i < 27; ++i)
            EXPECT_EQ(s.rolePictures[static_cast<size_t>(i)], nullptr) << i;
        // The bars: each a whole sprite row.
        const struct {
            SpriteSet* bar;
            int row;
        } bars[] = {{s.rankBar.get(), 19}, {s.damageBar.get(), 20}, {s.progressBar.get(), 18}};
        for (const auto& b : bars) {
            std::unique_ptr<SpriteSet> row = LoadSpriteSetFromRow(b.row, &small);
            ASSERT_NE(row, nullptr);
            ASSERT_NE(b.bar, nullptr);
            EXPECT_EQ(b.bar->Count(), row->Count()) << b.row;
        }
        for (size_t bank = 0; bank < std::size(banks); ++bank) {
            const auto& sounds = s.soundBanks[bank];
            ASSERT_EQ(static_cast<int>(sounds.size()), banks[bank].count) << clan << " " << bank;
            const int first = clan == 'V' ? banks[bank].firstV : banks[bank].firstT;
            for (int k = 0; k < banks[bank].count; ++k)
                EXPECT_EQ(sounds[static_cast<size_t>(k)]->PackEntry(), first + k)
                    << clan << " " << bank;
        }
    }
}

// The rubber band is drawn as an outline of colour 100 round exactly its rectangle, and not at
// all once it has no width.
TEST_F(BattleScreenTest, TheRubberBandIsOutlinedRoundItsRectangle) {
    screen->SetRevealMap(1);
    screen->rubberBanding = 1;
    screen->band = Rect(Point(100, 120), Point(220, 200));
    const Rect band = screen->band;
    ASSERT_GT(band.extent.w, 2);
    screen->Draw(16);
    const uint8_t* page = land->screen.BackPage();
    auto at = [&](int x, int y) { return static_cast<int>(page[y * 640 + x]); };
    const Point a = band.origin;
    const Point b = band.origin + Point(band.extent.w - 1, band.extent.h - 1);
    for (const Point& p : {a, b, Point(a.x, b.y), Point(b.x, a.y), Point((a.x + b.x) / 2, a.y)})
        EXPECT_EQ(at(p.x, p.y), 100) << p.x << "," << p.y;
    screen->rubberBanding = 0;
    screen->Draw(16);
    const std::vector<uint8_t> without(page, page + 640 * 480);
    EXPECT_NE(at(a.x, a.y), 100);
    // Inside and outside the outline the band changes nothing.
    screen->rubberBanding = 1;
    screen->Draw(16);
    for (const Point& p :
         {Point(a.x + 1, a.y + 1), Point(a.x - 1, a.y), Point(b.x + 1, b.y), Point(a.x, b.y + 1)})
        EXPECT_EQ(at(p.x, p.y), without[static_cast<size_t>(p.y * 640 + p.x)]) << p.x << "," << p.y;
    screen->band = Rect(a, Size(0, 40));
    screen->Draw(16);
    EXPECT_EQ(std::vector<uint8_t>(page, page + 640 * 480), without);
    screen->rubberBanding = 0;
}

// An artifact on a seen cell shows its first picture at the cell's centre; once taken, its cell
// keeps the artifact mark but draws nothing, and the taken artifact draws itself.
TEST_F(BattleScreenTest, AnArtifactIsDrawnAtItsCellUntilItIsTaken) {
    RemoveObjects();
    world().terrain->SetRevealAll(1);
    const Point centre = land->Centre(20, 20);
    screen->CentreOn(centre);
    uint8_t* page = land->screen.BackPage();
    auto frame = [&] {
        screen->Draw(16);
        return std::vector<uint8_t>(page, page + 640 * 480);
    };
    const std::vector<uint8_t> without = frame();
    Image* picture = screen->markerSprites->SubImage(0);
    ASSERT_NE(picture, nullptr);
    display->SetClipRect(screen->viewRect);
    picture->Draw(screen->MapToScreen(centre));
    display->ResetClipRect();
    const std::vector<uint8_t> expected(page, page + 640 * 480);
    ASSERT_NE(expected, without);
    auto made = std::make_unique<TestObject>(0, 950, centre);
    made->spriteSet = screen->markerSprites.get();
    TestObject* artifact = made.get();
    std::unique_ptr<GameObject> owned = std::move(made);
    ASSERT_EQ(world().AddArtifact(owned), 1);
    EXPECT_EQ(frame(), expected);
    world().RetireArtifact(artifact);
    ASSERT_EQ(world().ArtifactAt(centre), nullptr);
    // Taken, it draws itself (as its taking is shown) while its cell draws nothing more.
    const int draws = artifact->draws;
    EXPECT_EQ(frame(), expected);
    EXPECT_EQ(artifact->draws, draws + 1);
    artifact->spriteSet = nullptr;
    EXPECT_EQ(frame(), without);
    world().terrain->SetRevealAll(0);
}

// Objects anchored in the margin of cells round the view are drawn (a large one reaches into
// it); those one cell further out are not.
TEST_F(BattleScreenTest, ObjectsAreDrawnUpToTheMarginRoundTheView) {
    screen->SetRevealMap(1);
    screen->CentreOn(land->Centre(100, 100));
    PathGrid& paths = *world().pathGrid;
    short r0 = 0, c0 = 0, r1 = 0, c1 = 0;
    paths.PixelToCell(screen->viewOrigin, r0, c0);
    paths.PixelToCell(
        screen->viewOrigin + Point(screen->ViewExtent().w - 1, screen->ViewExtent().h - 1), r1, c1);
    const int m = BattleScreen::kDrawMargin;
    const struct {
        int row, column;
        bool drawn;
    } cases[] = {{r0 - m, c0, true},      {r0 - m - 1, c0, false}, {r1 + m, c1, true},
                 {r1 + m + 1, c1, false}, {r0, c0 - m, true},      {r0, c0 - m - 1, false},
                 {r1, c1 + m, true},      {r1, c1 + m + 1, false}};
    std::vector<TestObject*> units;
    int serial = 10;
    for (const auto& c : cases)
        units.push_back(land->AddUnit(1, serial++, c.row, c.column));
    Frame();
    for (size_t i = 0; i < units.size(); ++i)
        EXPECT_EQ(units[i]->draws > 0, cases[i].drawn) << cases[i].row << "," << cases[i].column;
}

// The open unit panel lays the one-unit overlay over its background only while exactly one
// unit is selected.
TEST_F(BattleScreenTest, TheUnitPanelShowsTheOneUnitOverlayForOneSelectedUnit) {
    TestObject* first = Unit(1, land->Centre(150, 150));
    TestObject* second = Unit(2, land->Centre(150, 160));
    screen->CentreOn(Point(0, 0));
    screen->unitPanelOpen = 1;
    auto view = [&](int selected) {
        first->selected = selected >= 1 ? 1 : 0;
        second->selected = selected >= 2 ? 1 : 0;
        screen->Draw(16);
        const uint8_t* page = land->screen.BackPage();
        std::vector<uint8_t> pixels;
        const Rect& area = screen->mapViewArea;
        for (int y = area.origin.y; y < area.origin.y + area.extent.h; ++y)
            pixels.insert(pixels.end(), page + y * 640 + area.origin.x,
                          page + y * 640 + area.origin.x + area.extent.w);
        return pixels;
    };
    const std::vector<uint8_t> one = view(1);
    const std::vector<uint8_t> two = view(2);
    std::unique_ptr<Bitmap> overlay = std::move(screen->singleUnitOverlay);
    EXPECT_EQ(view(1), two);
    EXPECT_NE(one, two);
    screen->singleUnitOverlay = std::move(overlay);
    screen->unitPanelOpen = 0;
}
